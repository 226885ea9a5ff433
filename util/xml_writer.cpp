#include "util/xml_writer.h"

namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void AppendEscaped(std::string& out, TextView text, bool attribute) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    switch (c) {
      case u'&': out += "&amp;"; continue;
      case u'<': out += "&lt;"; continue;
      case u'>': out += "&gt;"; continue;
      case u'\r': out += "&#13;"; continue;
      case u'"':
        out += attribute ? "&quot;" : "\"";
        continue;
      case u'\t':
      case u'\n':
        if (attribute) {
          out += c == u'\t' ? "&#9;" : "&#10;";
        } else {
          out.push_back(static_cast<char>(c));
        }
        continue;
      default: break;
    }
    if (c < 0x20 || c == 0xFFFE || c == 0xFFFF) continue;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
      ++i;
      continue;
    }
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    AppendUtf8(out, c);
  }
}

void AppendElement(std::string& out, const XmlElement& element) {
  out.push_back('<');
  AppendEscaped(out, element.name, true);
  for (const auto& attribute : element.attributes) {
    out.push_back(' ');
    AppendEscaped(out, attribute.name, true);
    out += "=\"";
    AppendEscaped(out, attribute.value, true);
    out.push_back('"');
  }
  if (element.children.empty()) {
    out += "/>";
    return;
  }
  out.push_back('>');
  for (const XmlNode& child : element.children) {
    if (child.isText) AppendEscaped(out, child.text, false);
    else AppendElement(out, *child.element);
  }
  out += "</";
  AppendEscaped(out, element.name, true);
  out.push_back('>');
}

}  // namespace

std::string WriteXmlDocument(const XmlDocumentData& data) {
  std::string out;
  if (!data.declaration.empty()) {
    out += "<?xml ";
    AppendEscaped(out, data.declaration, false);
    out += "?>\n";
  }
  AppendElement(out, data.root);
  out.push_back('\n');
  return out;
}
