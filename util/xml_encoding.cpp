#include "util/xml_encoding.h"

#include <initializer_list>

#include "util/code_page.h"

namespace {

// A declaration is a few dozen bytes; looking further for its end would scan the whole document.
constexpr size_t kMaxDeclarationBytes = 1024;

struct EncodingName {
  std::string_view name;  // lower case
  unsigned codePage;
};

constexpr EncodingName kEncodingNames[] = {
    {"utf-8", kCodePageUtf8},
    {"utf8", kCodePageUtf8},
    {"unicode-1-1-utf-8", kCodePageUtf8},
    {"utf-16", kCodePageUtf16Le},
    {"utf-16le", kCodePageUtf16Le},
    {"utf-16be", kCodePageUtf16Be},
    {"ucs-2", kCodePageUtf16Le},
    {"unicode", kCodePageUtf16Le},
    {"iso-10646-ucs-2", kCodePageUtf16Le},
    {"shift_jis", kCodePageShiftJis},
    {"shift-jis", kCodePageShiftJis},
    {"sjis", kCodePageShiftJis},
    {"x-sjis", kCodePageShiftJis},
    {"windows-31j", kCodePageShiftJis},
    {"cswindows31j", kCodePageShiftJis},
    {"cp932", kCodePageShiftJis},
    {"ms932", kCodePageShiftJis},
    {"x-ms-cp932", kCodePageShiftJis},
    {"ms_kanji", kCodePageShiftJis},
    {"csshiftjis", kCodePageShiftJis},
    {"euc-jp", kCodePageEucJp},
    {"x-euc-jp", kCodePageEucJp},
    {"eucjp", kCodePageEucJp},
    {"eucjp-win", kCodePageEucJp},
    {"eucjp-ms", kCodePageEucJp},
    {"euc-jp-ms", kCodePageEucJp},
    {"cseucpkdfmtjapanese", kCodePageEucJp},
    {"latin1", kCodePageWindows1252},
    {"l1", kCodePageWindows1252},
    {"csisolatin1", kCodePageWindows1252},
    {"cp819", kCodePageWindows1252},
    {"ibm819", kCodePageWindows1252},
    {"us-ascii", kCodePageWindows1252},
    {"ascii", kCodePageWindows1252},
    {"iso-ir-100", kCodePageWindows1252},
    {"latin2", 28592},
    {"latin9", 28605},
    {"gb2312", 936},
    {"gbk", 936},
    {"x-gbk", 936},
    {"cp936", 936},
    {"csgb2312", 936},
    {"euc-cn", 936},
    {"gb18030", 54936},
    {"big5", 950},
    {"csbig5", 950},
    {"x-x-big5", 950},
    {"big5-hkscs", 950},
    {"cp950", 950},
    {"euc-kr", 949},
    {"cseuckr", 949},
    {"ks_c_5601-1987", 949},
    {"ksc5601", 949},
    {"cp949", 949},
    {"windows-949", 949},
    {"koi8-r", 20866},
    {"cskoi8r", 20866},
    {"koi8-u", 21866},
    {"windows-874", 874},
    {"tis-620", 874},
    {"cp874", 874},
    {"ibm866", 866},
    {"cp866", 866},
    {"macintosh", 10000},
    {"x-mac-roman", 10000},
    {"mac", 10000},
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
char ToLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// A decimal number of up to four digits after one of the prefixes; -1 when the rest is not one.
int NumberAfter(std::string_view name, std::initializer_list<std::string_view> prefixes) {
  for (const std::string_view prefix : prefixes) {
    if (!StartsWith(name, prefix)) continue;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.empty() || digits.size() > 4) return -1;
    int value = 0;
    for (const char c : digits) {
      if (c < '0' || c > '9') return -1;
      value = value * 10 + (c - '0');
    }
    return value;
  }
  return -1;
}

// ISO-8859-N and windows-125N in their usual spellings.
unsigned NumberedCodePage(std::string_view name) {
  const int iso = NumberAfter(name, {"iso-8859-", "iso_8859-", "iso8859-", "iso8859_"});
  if (iso == 1) return kCodePageWindows1252;
  if (iso >= 2 && iso <= 9) return 28590 + iso;
  if (iso == 11) return 874;
  if (iso == 13) return 28603;
  if (iso == 15) return 28605;
  const int windows = NumberAfter(name, {"windows-", "cp", "x-cp"});
  if (windows >= 1250 && windows <= 1258) return unsigned(windows);
  return 0;
}

size_t SkipSpace(std::string_view text, size_t i) {
  while (i < text.size() && IsSpace(text[i])) ++i;
  return i;
}

// Japanese text read as EUC-JP: JIS X 0208 pairs in 0xA1-0xFE, half-width katakana after 0x8E,
// JIS X 0212 after 0x8F. Shift_JIS puts its hiragana and most kanji behind lead bytes 0x81-0x9F,
// so a byte in 0x80-0xA0 other than those two leads tells the two apart.
bool LooksLikeEucJp(std::string_view bytes) {
  const auto at = [&](size_t i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0; };
  const auto isEuc = [](unsigned char b) { return b >= 0xA1 && b <= 0xFE; };
  for (size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char b = at(i);
    if (b < 0x80) continue;
    if (b == 0x8E) {
      if (at(i + 1) < 0xA1 || at(i + 1) > 0xDF) return false;
      i += 1;
    } else if (b == 0x8F) {
      if (!isEuc(at(i + 1)) || !isEuc(at(i + 2))) return false;
      i += 2;
    } else if (isEuc(b) && isEuc(at(i + 1))) {
      i += 1;
    } else {
      return false;
    }
  }
  return true;
}

Text GuessAndDecode(std::string_view bytes) {
  if (LooksLikeEucJp(bytes)) {
    if (auto text = FromCodePage(bytes, kCodePageEucJp)) return std::move(*text);
  }
  if (auto text = FromCodePage(bytes, kCodePageShiftJis)) return std::move(*text);
  return FromWindows1252(bytes);
}

}  // namespace

unsigned CodePageForEncodingName(std::string_view name) {
  while (!name.empty() && IsSpace(name.front())) name.remove_prefix(1);
  while (!name.empty() && IsSpace(name.back())) name.remove_suffix(1);
  constexpr size_t kLongestName = 32;
  if (name.empty() || name.size() > kLongestName) return 0;
  std::string lower(name);
  for (char& c : lower) c = ToLower(c);
  for (const EncodingName& entry : kEncodingNames)
    if (entry.name == lower) return entry.codePage;
  return NumberedCodePage(lower);
}

XmlDeclaration FindXmlDeclaration(std::string_view document) {
  XmlDeclaration declaration;
  if (!StartsWith(document, "<?xml") || document.size() < 6 || !IsSpace(document[5])) return declaration;
  const size_t close = document.substr(0, kMaxDeclarationBytes).find("?>");
  if (close == std::string_view::npos) return declaration;
  declaration.end = close + 2;
  document = document.substr(0, close);
  // Pseudo-attributes: name = "value" or 'value', separated by white space.
  size_t i = 5;
  while (i < close) {
    i = SkipSpace(document, i);
    const size_t nameBegin = i;
    while (i < close && !IsSpace(document[i]) && document[i] != '=') ++i;
    const std::string_view name = document.substr(nameBegin, i - nameBegin);
    i = SkipSpace(document, i);
    if (i >= close || document[i] != '=') break;
    i = SkipSpace(document, i + 1);
    if (i >= close || (document[i] != '"' && document[i] != '\'')) break;
    const size_t valueEnd = document.find(document[i], i + 1);
    if (valueEnd == std::string_view::npos) break;
    if (name == "encoding") {
      declaration.encodingBegin = i + 1;
      declaration.encodingLength = valueEnd - i - 1;
      break;
    }
    i = valueEnd + 1;
  }
  return declaration;
}

std::string_view DeclaredEncodingName(std::string_view bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) bytes.remove_prefix(3);
  bytes.remove_prefix(SkipSpace(bytes, 0));
  const XmlDeclaration declaration = FindXmlDeclaration(bytes);
  return bytes.substr(declaration.encodingBegin, declaration.encodingLength);
}

std::optional<std::string> Utf16DocumentToUtf8(std::string_view bytes) {
  bool bigEndian = false;
  size_t start = 0;
  if (StartsWith(bytes, "\xFF\xFE")) {
    start = 2;
  } else if (StartsWith(bytes, "\xFE\xFF")) {
    bigEndian = true;
    start = 2;
  } else if (StartsWith(bytes, std::string_view("<\0?\0", 4))) {
  } else if (StartsWith(bytes, std::string_view("\0<\0?", 4))) {
    bigEndian = true;
  } else {
    return std::nullopt;
  }
  Text text;
  text.reserve((bytes.size() - start) / 2 + 1);
  size_t i = start;
  for (; i + 1 < bytes.size(); i += 2) {
    const auto high = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
    const auto low = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
    text.push_back(char16_t(high << 8 | low));
  }
  if (i < bytes.size()) text.push_back(u'\uFFFD');  // half a code unit at the end
  return ToUtf8(text);
}

std::string DecodeToUtf8(std::string_view bytes, unsigned declaredCodePage) {
  // A declared UTF-8 or UTF-16 is what the bytes are not, or they would not be here.
  const bool declaresOther = declaredCodePage != 0 && declaredCodePage != kCodePageUtf8 &&
                             declaredCodePage != kCodePageUtf16Le && declaredCodePage != kCodePageUtf16Be;
  if (declaresOther) {
    if (auto text = FromCodePage(bytes, declaredCodePage)) return ToUtf8(*text);
  }
  return ToUtf8(GuessAndDecode(bytes));
}
