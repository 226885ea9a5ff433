#include "util/xml_bytes.h"

#include <algorithm>
#include <vector>

#include "util/code_page.h"
#include "util/xml_encoding.h"
#include "util/xml_markup.h"

namespace {

constexpr std::string_view kUnboundNamespacePrefix = "urn:x-pelun:unbound:";

struct KnownNamespace {
  std::string_view prefix;
  std::string_view name;
};

// Feed modules whose prefixes documents use without declaring them.
constexpr KnownNamespace kKnownNamespaces[] = {
    {"dc", "http://purl.org/dc/elements/1.1/"},
    {"dcterms", "http://purl.org/dc/terms/"},
    {"content", "http://purl.org/rss/1.0/modules/content/"},
    {"rdf", "http://www.w3.org/1999/02/22-rdf-syntax-ns#"},
    {"rss", "http://purl.org/rss/1.0/"},
    {"atom", "http://www.w3.org/2005/Atom"},
    {"sy", "http://purl.org/rss/1.0/modules/syndication/"},
    {"admin", "http://webns.net/mvcb/"},
    {"slash", "http://purl.org/rss/1.0/modules/slash/"},
    {"wfw", "http://wellformedweb.org/CommentAPI/"},
    {"trackback", "http://madskills.com/public/xml/rss/module/trackback/"},
    {"image", "http://purl.org/rss/1.0/modules/image/"},
    {"media", "http://search.yahoo.com/mrss/"},
    {"itunes", "http://www.itunes.com/dtds/podcast-1.0.dtd"},
    {"foaf", "http://xmlns.com/foaf/0.1/"},
    {"xhtml", "http://www.w3.org/1999/xhtml"},
};

struct Edit {
  size_t begin;
  size_t end;
  std::string_view replacement;
  bool blank;  // the bytes themselves, every one but CR and LF as a space
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void Blank(std::span<char> bytes) {
  for (char& c : bytes)
    if (c != '\n' && c != '\r') c = ' ';
}

// A prefix the document declares elsewhere keeps that namespace name.
void AppendDeclaration(const MissingDeclaration& missing, std::string& declarations) {
  declarations.append(" xmlns:").append(missing.prefix).append("=\"");
  const auto known = std::find_if(std::begin(kKnownNamespaces), std::end(kKnownNamespaces),
                                  [&](const KnownNamespace& entry) { return entry.prefix == missing.prefix; });
  if (!missing.declaredName.empty())
    declarations.append(missing.declaredName);
  else if (known != std::end(kKnownNamespaces))
    declarations.append(known->name);
  else
    declarations.append(kUnboundNamespacePrefix).append(missing.prefix);
  declarations.push_back('"');
}

// Every prefix used out of the scope of its declarations is declared, on the start tag that
// uses it: Windows' DOM refuses a document with a single one left. On that tag rather than all
// on the root, since the DOM checks each declaration of an element against its others: a
// document inventing prefixes by the thousand would take it minutes (measured under Wine,
// 50 000 prefixes: 16 s on the root, half a second on their own tags). One edit per tag; the
// edits point into `declarations`.
void AddDeclarationEdits(const std::vector<MissingDeclaration>& missing, std::string& declarations,
                         std::vector<Edit>& edits) {
  std::vector<size_t> starts;
  starts.reserve(missing.size());
  for (const MissingDeclaration& entry : missing) {
    starts.push_back(declarations.size());
    AppendDeclaration(entry, declarations);
  }
  const std::string_view text(declarations);
  for (size_t k = 0; k < missing.size();) {
    size_t next = k + 1;
    while (next < missing.size() && missing[next].at == missing[k].at) ++next;
    const size_t end = next < missing.size() ? starts[next] : text.size();
    edits.push_back({missing[k].at, missing[k].at, text.substr(starts[k], end - starts[k]), false});
    k = next;
  }
}

bool SaysUtf8(std::string_view name) {
  return name.size() == 5 && (name[0] | 0x20) == 'u' && (name[1] | 0x20) == 't' && (name[2] | 0x20) == 'f' &&
         name[3] == '-' && name[4] == '8';
}

// The document from its declaration on: a UTF-8 byte-order mark and white space before "<?xml" are
// dropped, as the DOM refuses a declaration anywhere but at the very start.
std::string_view FromDeclaration(std::string_view bytes, bool& hadUtf8Mark) {
  hadUtf8Mark = bytes.substr(0, 3) == "\xEF\xBB\xBF";
  if (hadUtf8Mark) bytes.remove_prefix(3);
  size_t i = 0;
  while (i < bytes.size() && IsSpace(bytes[i])) ++i;
  if (i > 0 && bytes.substr(i, 5) == "<?xml") bytes.remove_prefix(i);
  return bytes;
}

// The changes a scanned UTF-8 document needs, in order.
std::vector<Edit> EditsFor(std::string_view document, const MarkupScan& scan, std::string& declarations) {
  std::vector<Edit> edits;
  const XmlDeclaration declaration = FindXmlDeclaration(document);
  const std::string_view encoding = document.substr(declaration.encodingBegin, declaration.encodingLength);
  if (declaration.encodingBegin != 0 && !SaysUtf8(encoding))
    edits.push_back({declaration.encodingBegin, declaration.encodingBegin + encoding.size(), "UTF-8", false});
  for (const ByteRange& doctype : scan.doctypes) edits.push_back({doctype.begin, doctype.end, {}, true});
  AddDeclarationEdits(scan.missingDeclarations, declarations, edits);
  // A start tag cut short by "<!DOCTYPE" puts the insertion where the blanking begins: the
  // insertion goes first, or the blanked bytes would be copied a second time unblanked.
  std::sort(edits.begin(), edits.end(),
            [](const Edit& a, const Edit& b) { return a.begin != b.begin ? a.begin < b.begin : a.end < b.end; });
  return edits;
}

std::string ApplyEdits(std::string_view document, const std::vector<Edit>& edits) {
  std::string out;
  size_t extra = 0;
  for (const Edit& edit : edits) extra += edit.replacement.size();
  out.reserve(document.size() + extra);
  size_t copied = 0;
  for (const Edit& edit : edits) {
    out.append(document.substr(copied, edit.begin - copied));
    if (edit.blank) {
      const size_t at = out.size();
      out.append(document.substr(edit.begin, edit.end - edit.begin));
      Blank(std::span<char>(out).subspan(at));
    } else {
      out.append(edit.replacement);
    }
    copied = edit.end;
  }
  out.append(document.substr(copied));
  return out;
}

}  // namespace

std::string PrepareXmlForDom(std::string_view bytes) {
  std::string decoded;
  std::string_view document;
  MarkupScan scan;
  bool hadUtf8Mark = false;
  if (auto utf16 = Utf16DocumentToUtf8(bytes)) {
    decoded = std::move(*utf16);
    document = FromDeclaration(decoded, hadUtf8Mark);
    scan = ScanMarkup(document, false);
  } else {
    document = FromDeclaration(bytes, hadUtf8Mark);
    // The common case: UTF-8 already, whatever the declaration says (well-formed multi-byte UTF-8
    // is very unlikely to be text in another encoding), or plain ASCII.
    scan = ScanMarkup(document, true);
    if (scan.utf8 == Utf8Form::kIllFormed) {
      // After a UTF-8 byte-order mark, bad bytes are damage, not another encoding.
      decoded = hadUtf8Mark ? ToUtf8(FromUtf8(document))
                            : DecodeToUtf8(document, CodePageForEncodingName(DeclaredEncodingName(document)));
      document = decoded;
      scan = ScanMarkup(document, false);
    }
  }
  std::string declarations;
  const std::vector<Edit> edits = EditsFor(document, scan, declarations);
  if (!edits.empty()) return ApplyEdits(document, edits);
  const bool isWholeDecoded = !decoded.empty() && document.data() == decoded.data() && document.size() == decoded.size();
  return isWholeDecoded ? std::move(decoded) : std::string(document);
}

bool BlankDoctypes(std::span<char> bytes) {
  const MarkupScan scan = ScanMarkup(std::string_view(bytes.data(), bytes.size()), false);
  for (const ByteRange& doctype : scan.doctypes) Blank(bytes.subspan(doctype.begin, doctype.end - doctype.begin));
  return !scan.doctypes.empty();
}
