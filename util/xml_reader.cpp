#include "util/xml_reader.h"

#include <string>
#include <vector>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':'; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-'; }

bool IsXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

void AppendCodePoint(Text& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

bool IsAllSpace(const Text& text) {
  for (char16_t c : text)
    if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r') return false;
  return true;
}

// Namespace prefixes in scope, so that a name the DOM would refuse for an unbound prefix is
// declined rather than accepted.
class PrefixScope {
 public:
  bool IsBound(std::string_view prefix) const {
    for (auto it = bound_.rbegin(); it != bound_.rend(); ++it)
      if (*it == prefix) return true;
    return false;
  }
  size_t Mark() const { return bound_.size(); }
  void Bind(std::string_view prefix) { bound_.push_back(prefix); }
  void Unwind(size_t mark) { bound_.resize(mark); }

 private:
  std::vector<std::string_view> bound_;
};

class PlainXmlReader {
 public:
  PlainXmlReader(std::string_view text, int maxDepth) : s_(text), maxDepth_(maxDepth) {}

  std::optional<XmlElement> Document() {
    if (s_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
    if (Ahead("<?xml") && pos_ + 5 < s_.size() && IsSpace(s_[pos_ + 5]) && !Declaration()) return std::nullopt;
    if (!Misc() || !Ahead("<")) return std::nullopt;
    XmlElement root;
    if (!Element(root, 1) || !Misc() || pos_ != s_.size()) return std::nullopt;
    return root;
  }

 private:
  bool Ahead(std::string_view what) const { return s_.compare(pos_, what.size(), what) == 0; }
  bool Skip(std::string_view what) {
    if (!Ahead(what)) return false;
    pos_ += what.size();
    return true;
  }
  void SkipSpace() {
    while (pos_ < s_.size() && IsSpace(s_[pos_])) ++pos_;
  }

  // One character of UTF-8 that XML allows; false for anything else.
  bool TakeChar(char32_t& c) {
    const auto byte = [this](size_t i) { return static_cast<unsigned char>(s_[i]); };
    if (pos_ >= s_.size()) return false;
    const unsigned char lead = byte(pos_);
    size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      c = lead;
      length = 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      c = lead & 0x1F, length = 2, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      c = lead & 0x0F, length = 3, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      c = lead & 0x07, length = 4, minimum = 0x10000;
    } else {
      return false;
    }
    if (pos_ + length > s_.size()) return false;
    for (size_t i = 1; i < length; ++i) {
      const unsigned char next = byte(pos_ + i);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3F);
    }
    if (c < minimum || !IsXmlChar(c)) return false;
    pos_ += length;
    return true;
  }

  // Character data up to `end` (not consumed), line ends normalised; false at a character XML
  // does not allow or when `end` never comes.
  bool TakeUntil(std::string_view end, Text* out) {
    for (;;) {
      if (pos_ >= s_.size()) return false;
      if (Ahead(end)) return true;
      if (!TakeNormalised(out)) return false;
    }
  }

  // One character, a line end as "\n".
  bool TakeNormalised(Text* out) {
    if (s_[pos_] == '\r') {
      pos_ += pos_ + 1 < s_.size() && s_[pos_ + 1] == '\n' ? 2 : 1;
      if (out) out->push_back(u'\n');
      return true;
    }
    const unsigned char ascii = static_cast<unsigned char>(s_[pos_]);
    if (ascii >= 0x20 && ascii < 0x80) {
      ++pos_;
      if (out) out->push_back(ascii);
      return true;
    }
    char32_t c = 0;
    if (!TakeChar(c)) return false;
    if (out) AppendCodePoint(*out, c);
    return true;
  }

  // ASCII names with at most one colon, inside.
  bool Name(std::string_view& name) {
    const size_t start = pos_;
    if (pos_ >= s_.size() || !IsNameStart(s_[pos_])) return false;
    while (pos_ < s_.size() && IsNameChar(s_[pos_])) ++pos_;
    if (pos_ < s_.size() && static_cast<unsigned char>(s_[pos_]) >= 0x80) return false;
    name = s_.substr(start, pos_ - start);
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ||
           (colon != 0 && colon + 1 != name.size() && name.find(':', colon + 1) == std::string_view::npos);
  }

  static std::string_view PrefixOf(std::string_view name) {
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
  }
  static std::string_view LocalOf(std::string_view name) {
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
  }

  // <?xml version="1.0" encoding="UTF-8" standalone="yes"?>, where any encoding must be UTF-8.
  bool Declaration() {
    pos_ += 5;
    bool first = true;
    std::string_view seen;
    while (true) {
      const size_t before = pos_;
      SkipSpace();
      if (Skip("?>")) return !first;
      if (pos_ == before) return false;
      std::string_view name, value;
      if (!Name(name)) return false;
      SkipSpace();
      if (!Skip("=")) return false;
      SkipSpace();
      if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) return false;
      const char quote = s_[pos_++];
      const size_t end = s_.find(quote, pos_);
      if (end == std::string_view::npos) return false;
      value = s_.substr(pos_, end - pos_);
      pos_ = end + 1;
      std::string lower(value);
      for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
      if (first) {
        if (name != "version" || value != "1.0") return false;
      } else if (name == "encoding" && seen.empty()) {
        if (lower != "utf-8") return false;
      } else if (name == "standalone" && seen != "standalone") {
        if (value != "yes" && value != "no") return false;
      } else {
        return false;
      }
      if (!first) seen = name;
      first = false;
    }
  }

  // White space, comments and processing instructions outside the root.
  bool Misc() {
    for (;;) {
      SkipSpace();
      if (Ahead("<!--")) {
        if (!Comment()) return false;
      } else if (Ahead("<?")) {
        if (!ProcessingInstruction()) return false;
      } else {
        return true;
      }
    }
  }

  bool Comment() {
    pos_ += 4;
    for (;;) {
      if (Ahead("--")) return Skip("-->");
      if (pos_ >= s_.size() || !TakeNormalised(nullptr)) return false;
    }
  }

  bool ProcessingInstruction() {
    pos_ += 2;
    std::string_view target;
    if (!Name(target) || target.find(':') != std::string_view::npos) return false;
    if (target.size() == 3 && (target[0] | 0x20) == 'x' && (target[1] | 0x20) == 'm' && (target[2] | 0x20) == 'l')
      return false;
    if (Skip("?>")) return true;
    if (pos_ >= s_.size() || !IsSpace(s_[pos_])) return false;
    if (!TakeUntil("?>", nullptr)) return false;
    pos_ += 2;
    return true;
  }

  // &lt; and the other four, or a character reference.
  bool Reference(Text& out) {
    ++pos_;
    static constexpr struct {
      std::string_view name;
      char16_t value;
    } kPredefined[] = {{"lt;", u'<'}, {"gt;", u'>'}, {"amp;", u'&'}, {"quot;", u'"'}, {"apos;", u'\''}};
    for (const auto& entity : kPredefined) {
      if (Skip(entity.name)) {
        out.push_back(entity.value);
        return true;
      }
    }
    if (!Skip("#")) return false;
    const bool hex = Skip("x");
    char32_t value = 0;
    size_t digits = 0;
    for (; pos_ < s_.size() && s_[pos_] != ';'; ++pos_, ++digits) {
      const char c = s_[pos_];
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0 || digits >= 8) return false;
      value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
    }
    if (digits == 0 || !Skip(";") || !IsXmlChar(value)) return false;
    AppendCodePoint(out, value);
    return true;
  }

  bool AttributeValue(Text& out) {
    if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) return false;
    const char quote = s_[pos_++];
    for (;;) {
      if (pos_ >= s_.size()) return false;
      const char c = s_[pos_];
      if (c == quote) {
        ++pos_;
        return true;
      }
      if (c == '<') return false;
      if (c == '&') {
        if (!Reference(out)) return false;
      } else if (IsSpace(c)) {
        if (!TakeNormalised(nullptr)) return false;
        out.push_back(u' ');
      } else if (!TakeNormalised(&out)) {
        return false;
      }
    }
  }

  // At "<name": the element, its attributes and its whole content.
  bool Element(XmlElement& element, int depth) {
    if (depth > maxDepth_) return false;
    ++pos_;
    std::string_view name;
    if (!Name(name)) return false;
    const size_t scopeMark = scope_.Mark();
    if (!Attributes(element)) return false;
    const std::string_view prefix = PrefixOf(name);
    if (prefix == "xmlns" || (!prefix.empty() && prefix != "xml" && !scope_.IsBound(prefix))) return false;
    element.name = AsText(name);
    bool fine = Skip("/>") || (Skip(">") && Content(element, depth) && EndTag(name));
    scope_.Unwind(scopeMark);
    return fine;
  }

  bool Attributes(XmlElement& element) {
    std::vector<std::string_view> names;
    for (;;) {
      const size_t before = pos_;
      SkipSpace();
      if (Ahead("/>") || Ahead(">")) break;
      std::string_view name;
      if (pos_ == before || !Name(name)) return false;
      SkipSpace();
      if (!Skip("=")) return false;
      SkipSpace();
      Text value;
      if (!AttributeValue(value)) return false;
      for (std::string_view other : names)
        if (other == name || LocalOf(other) == LocalOf(name)) return false;  // prefixes may share a namespace
      names.push_back(name);
      if (!Declare(name, value)) return false;
      element.attributes.push_back({AsText(name), std::move(value)});
    }
    for (std::string_view name : names) {
      const std::string_view prefix = PrefixOf(name);
      if (!prefix.empty() && prefix != "xmlns" && prefix != "xml" && !scope_.IsBound(prefix)) return false;
    }
    return true;
  }

  // Namespace declarations among the attributes; only ordinary ones are taken.
  bool Declare(std::string_view name, const Text& value) {
    if (name == "xmlns") return true;
    if (PrefixOf(name) != "xmlns") return true;
    const std::string_view declared = LocalOf(name);
    if (value.empty() || declared == "xml" || declared == "xmlns") return false;
    scope_.Bind(declared);
    return true;
  }

  bool Content(XmlElement& element, int depth) {
    Text run;
    bool referenced = false;
    const auto flush = [&]() {
      const bool fine = !(referenced && IsAllSpace(run));
      if (fine && !IsAllSpace(run)) element.AddText(run);
      run.clear();
      referenced = false;
      return fine;
    };
    for (;;) {
      if (pos_ >= s_.size()) return false;
      const char c = s_[pos_];
      if (c == '<') {
        if (!flush()) return false;
        if (Ahead("</")) return true;
        if (Ahead("<!--")) {
          if (!Comment()) return false;
        } else if (Ahead("<![CDATA[")) {
          pos_ += 9;
          Text section;
          if (!TakeUntil("]]>", &section) || IsAllSpace(section)) return false;
          pos_ += 3;
          element.AddText(section);
        } else if (Ahead("<?")) {
          if (!ProcessingInstruction()) return false;
        } else if (Ahead("<!")) {
          return false;
        } else {
          XmlElement& child = element.AddElement(Text());
          if (!Element(child, depth + 1)) return false;
        }
      } else if (c == '&') {
        if (!Reference(run)) return false;
        referenced = true;
      } else if (c == ']' && Ahead("]]>")) {
        return false;
      } else if (!TakeNormalised(&run)) {
        return false;
      }
    }
  }

  bool EndTag(std::string_view name) {
    if (!Skip("</") || !Skip(name)) return false;
    SkipSpace();
    return Skip(">");
  }

  static Text AsText(std::string_view ascii) { return Text(ascii.begin(), ascii.end()); }

  std::string_view s_;
  size_t pos_ = 0;
  int maxDepth_;
  PrefixScope scope_;
};

}  // namespace

std::optional<XmlElement> ReadPlainXml(std::string_view utf8, int maxDepth) {
  return PlainXmlReader(utf8, maxDepth).Document();
}
