#include "util/xml_markup.h"

#include <unordered_map>

namespace {

constexpr auto npos = std::string_view::npos;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Bytes that end a name inside a tag; anything else, bytes of non-ASCII characters included,
// belongs to it.
bool EndsName(char c) {
  return IsSpace(c) || c == '>' || c == '/' || c == '=' || c == '"' || c == '\'' || c == '<';
}

bool IsNameStart(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
}

bool IsNameByte(unsigned char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// A prefix only gets a declaration when it can be written as one.
bool IsPrefixName(std::string_view prefix) {
  if (prefix.empty() || !IsNameStart(static_cast<unsigned char>(prefix[0]))) return false;
  for (const char c : prefix)
    if (!IsNameByte(static_cast<unsigned char>(c))) return false;
  return true;
}

bool StartsWithAt(std::string_view text, size_t at, std::string_view word) {
  return text.compare(at, word.size(), word) == 0;
}

// The DOM takes the keyword in capitals only; any spelling is blanked all the same.
bool StartsWithIgnoreCaseAt(std::string_view text, size_t at, std::string_view upperWord) {
  if (text.size() - at < upperWord.size()) return false;
  for (size_t k = 0; k < upperWord.size(); ++k) {
    char c = text[at + k];
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    if (c != upperWord[k]) return false;
  }
  return true;
}

// Just past the first `close` at or after `from`, or the end of the text.
size_t PastClose(std::string_view text, size_t from, std::string_view close) {
  const size_t at = text.find(close, from);
  return at == npos ? text.size() : at + close.size();
}

size_t PastQuote(std::string_view text, size_t quoteAt) {
  return PastClose(text, quoteAt + 1, text.substr(quoteAt, 1));
}

// From just after "<!DOCTYPE" to just past its '>'. Quoted literals, and in the internal subset
// comments and processing instructions, may hold '>' or ']' that do not end anything.
size_t PastDoctype(std::string_view text, size_t i) {
  bool inSubset = false;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '"' || c == '\'') {
      i = PastQuote(text, i);
    } else if (inSubset && StartsWithAt(text, i, "<!--")) {
      i = PastClose(text, i + 4, "-->");
    } else if (inSubset && StartsWithAt(text, i, "<?")) {
      i = PastClose(text, i + 2, "?>");
    } else if (inSubset) {
      inSubset = c != ']';
      ++i;
    } else if (c == '>') {
      return i + 1;
    } else {
      inSubset = c == '[';
      ++i;
    }
  }
  return text.size();
}

class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  // From `pos` to the end of the text run or the one piece of markup that starts there; always
  // past `pos`, and always at an ASCII byte or the end, so that no character is cut in two.
  size_t Segment(size_t pos) {
    if (text_[pos] != '<') {
      const size_t next = text_.find('<', pos);
      return next == npos ? text_.size() : next;
    }
    if (StartsWithAt(text_, pos, "<!--")) return PastClose(text_, pos + 4, "-->");
    if (StartsWithAt(text_, pos, "<![CDATA[")) return PastClose(text_, pos + 9, "]]>");
    if (StartsWithIgnoreCaseAt(text_, pos, "<!DOCTYPE")) {
      const size_t end = PastDoctype(text_, pos + 9);
      result_.doctypes.push_back({pos, end});
      return end;
    }
    if (StartsWithAt(text_, pos, "<!")) return PastTagEnd(pos + 2);  // not XML; the DOM refuses it
    if (StartsWithAt(text_, pos, "<?")) return PastClose(text_, pos + 2, "?>");
    if (StartsWithAt(text_, pos, "</")) return PastEndTag(pos + 2);
    if (pos + 1 < text_.size() && !EndsName(text_[pos + 1])) return PastStartTag(pos + 1);
    return pos + 1;  // a stray '<'
  }

  MarkupScan Finish() {
    for (MissingDeclaration& missing : result_.missingDeclarations) {
      const auto declared = namespaceNames_.find(missing.prefix);
      if (declared != namespaceNames_.end()) missing.declaredName = declared->second;
    }
    return std::move(result_);
  }

  MarkupScan& Result() { return result_; }

 private:
  size_t NameEnd(size_t i) const {
    while (i < text_.size() && !EndsName(text_[i])) ++i;
    return i;
  }

  static std::string_view PrefixOf(std::string_view name) {
    const size_t colon = name.find(':');
    return colon == npos || colon == 0 ? std::string_view() : name.substr(0, colon);
  }

  // Past the next '>', or up to a '<' that comes first and starts markup of its own.
  size_t PastTagEnd(size_t i) const {
    const size_t close = text_.find_first_of("<>", i);
    if (close == npos) return text_.size();
    return text_[close] == '>' ? close + 1 : close;
  }

  // An end tag names what its start tag named, where every prefix was in scope or was listed.
  size_t PastEndTag(size_t i) {
    CloseElement();
    return PastTagEnd(NameEnd(i));
  }

  // A tag's own declarations are in scope for its own names, wherever in the tag they stand.
  size_t PastStartTag(size_t i) {
    tagUses_.clear();
    tagDeclarations_.clear();
    size_t nameEnd = NameEnd(i);
    NoteUse(text_.substr(i, nameEnd - i));
    tagNameEnd_ = nameEnd;
    std::string_view declaring;  // the prefix of an xmlns:prefix attribute whose value comes next
    i = nameEnd;
    while (i < text_.size()) {
      const char c = text_[i];
      if (c == '>') {
        OpenElement(text_[i - 1] == '/');
        return i + 1;
      }
      if (c == '<') break;  // an unclosed tag; the DOM reports it
      if (c == '"' || c == '\'') {
        // No '<' can be inside an attribute value, so one ends the tag: whatever follows is read
        // the same way whether or not a DOCTYPE after the tag has been blanked.
        const size_t close = text_.find_first_of(c == '"' ? "\"<" : "'<", i + 1);
        if (close == npos || text_[close] == '<') {
          i = close == npos ? text_.size() : close;
          break;
        }
        if (!declaring.empty()) NoteNamespaceName(declaring, text_.substr(i + 1, close - i - 1));
        declaring = {};
        i = close + 1;
      } else if (IsSpace(c) || c == '/' || c == '=') {
        ++i;
      } else {
        nameEnd = NameEnd(i);
        declaring = NoteAttribute(text_.substr(i, nameEnd - i));
        i = nameEnd;
      }
    }
    OpenElement(false);
    return i;
  }

  void NoteUse(std::string_view name) {
    const std::string_view prefix = PrefixOf(name);
    if (!prefix.empty()) tagUses_.push_back(prefix);
  }

  // The declared prefix for an xmlns:prefix attribute, else empty.
  std::string_view NoteAttribute(std::string_view name) {
    constexpr std::string_view kDeclaration = "xmlns:";
    if (name.substr(0, kDeclaration.size()) != kDeclaration) {
      NoteUse(name);
      return {};
    }
    const std::string_view prefix = name.substr(kDeclaration.size());
    if (!prefix.empty()) tagDeclarations_.push_back(prefix);
    return prefix;
  }

  void NoteNamespaceName(std::string_view prefix, std::string_view name) {
    if (!name.empty() && name.find('"') == npos) namespaceNames_.emplace(prefix, name);
  }

  void OpenElement(bool selfClosing) {
    frameSizes_.push_back(0);
    for (const std::string_view prefix : tagDeclarations_) Declare(prefix);
    for (const std::string_view prefix : tagUses_) {
      if (prefix == "xml" || prefix == "xmlns" || !IsPrefixName(prefix)) continue;
      const auto declared = inScope_.find(prefix);
      if (declared != inScope_.end() && declared->second > 0) continue;
      result_.missingDeclarations.push_back({tagNameEnd_, prefix, {}});
      Declare(prefix);
    }
    if (selfClosing) CloseElement();
  }

  void Declare(std::string_view prefix) {
    ++inScope_[prefix];
    declaredStack_.push_back(prefix);
    ++frameSizes_.back();
  }

  // An end tag without its start tag closes nothing; the DOM reports it.
  void CloseElement() {
    if (frameSizes_.empty()) return;
    for (size_t k = frameSizes_.back(); k > 0; --k) {
      --inScope_[declaredStack_.back()];
      declaredStack_.pop_back();
    }
    frameSizes_.pop_back();
  }

  std::string_view text_;
  MarkupScan result_;
  // The name end, names and declarations of the start tag being read.
  size_t tagNameEnd_ = 0;
  std::vector<std::string_view> tagUses_;
  std::vector<std::string_view> tagDeclarations_;
  // The declarations of the open elements, innermost last, and how many each element made.
  std::vector<std::string_view> declaredStack_;
  std::vector<size_t> frameSizes_;
  std::unordered_map<std::string_view, int> inScope_;
  std::unordered_map<std::string_view, std::string_view> namespaceNames_;
};

}  // namespace

MarkupScan ScanMarkup(std::string_view document, bool checkUtf8) {
  Scanner scanner(document);
  size_t pos = 0;
  while (pos < document.size()) {
    const size_t next = scanner.Segment(pos);
    // Checked segment by segment right behind the scan, while the bytes are still in the cache.
    if (checkUtf8) {
      const Utf8Form form = ClassifyUtf8(document.substr(pos, next - pos));
      if (form == Utf8Form::kIllFormed) {
        scanner.Result().utf8 = Utf8Form::kIllFormed;
        return scanner.Finish();
      }
      if (form == Utf8Form::kMultiByte) scanner.Result().utf8 = Utf8Form::kMultiByte;
    }
    pos = next;
  }
  return scanner.Finish();
}
