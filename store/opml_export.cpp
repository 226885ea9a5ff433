#include "store/opml_export.h"

#include "util/code_page.h"

namespace {

constexpr char16_t kDeclarationStart[] = u"<?xml";
constexpr char16_t kDeclarationEnd[] = u"?>";

void AppendOutline(XmlElement& parent, const CItemBase& item) {
  XmlElement& outline = parent.AddElement(u"outline");
  if (item.kind == CItemBase::kKindSite) {
    // Attribute order as other readers of our files have always seen it.
    outline.SetAttribute(u"title", item.title);
    outline.SetAttribute(u"text", item.title);
    outline.SetAttribute(u"htmlUrl", item.link);
    outline.SetAttribute(u"xmlUrl", item.src);
    outline.SetAttribute(u"type", u"rss");
    return;
  }
  outline.SetAttribute(u"title", item.title);
  for (const auto& child : static_cast<const CFolderItem&>(item).Children())
    AppendOutline(outline, *child);
}

Text Declaration(OpmlEncoding encoding) {
  return u"version='1.0' encoding='" + Text(OpmlEncodingName(encoding)) + u"'";
}

// One code point at `i` (a pair of surrogates counts as one).
size_t CodePointLength(TextView text, size_t i) {
  const char16_t unit = text[i];
  if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
      text[i + 1] <= 0xDFFF)
    return 2;
  return 1;
}

uint32_t CodePointAt(TextView text, size_t i, size_t length) {
  if (length == 1) return text[i];
  return 0x10000u + ((uint32_t(text[i]) - 0xD800u) << 10) + (uint32_t(text[i + 1]) - 0xDC00u);
}

// Whole runs are converted at once; only a run that fails is taken apart.
std::string ToShiftJisWithReferences(TextView text) {
  if (auto bytes = ToShiftJis(text)) return std::move(*bytes);
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const size_t length = CodePointLength(text, i);
    if (auto bytes = ToShiftJis(text.substr(i, length)))
      out += *bytes;
    else
      out += "&#" + std::to_string(CodePointAt(text, i, length)) + ";";
    i += length;
  }
  return out;
}

}  // namespace

TextView OpmlEncodingName(OpmlEncoding encoding) {
  return encoding == OpmlEncoding::kShiftJis ? TextView(u"Shift-JIS") : TextView(u"utf-8");
}

XmlDocumentData BuildOpmlExport(const FolderList& folders, const CFolderItem* folder,
                                OpmlEncoding encoding) {
  XmlDocumentData document;
  document.declaration = Declaration(encoding);
  document.root = XmlElement(u"opml");
  document.root.SetAttribute(u"version", u"1.0");
  document.root.AddElement(u"head").AddElement(u"title", kOpmlExportTitle);
  XmlElement& body = document.root.AddElement(u"body");
  if (folder) {
    AppendOutline(body, *folder);
  } else {
    for (const auto& top : folders) AppendOutline(body, *top);
  }
  return document;
}

std::optional<std::string> EncodeOpmlExport(std::string_view utf8Document, OpmlEncoding encoding) {
  if (ClassifyUtf8(utf8Document) == Utf8Form::kIllFormed) return std::nullopt;
  Text text = FromUtf8(utf8Document);
  if (!text.empty() && text.front() == u'\uFEFF') text.erase(0, 1);
  // Our own declaration replaces whatever the serialiser wrote, so the name is always ours.
  if (text.starts_with(kDeclarationStart)) {
    const size_t end = text.find(kDeclarationEnd);
    if (end == Text::npos) return std::nullopt;
    text.erase(0, end + 2);
  }
  text = kDeclarationStart + (u" " + Declaration(encoding)) + kDeclarationEnd + text;
  if (encoding == OpmlEncoding::kUtf8) return ToUtf8(text);
  return ToShiftJisWithReferences(text);
}
