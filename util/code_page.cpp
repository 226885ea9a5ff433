#include "util/code_page.h"

#include <climits>
#include <cstring>
#include <new>

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(char(c));
  } else if (c < 0x800) {
    out.push_back(char(0xC0 | (c >> 6)));
    out.push_back(char(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(char(0xE0 | (c >> 12)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(char(0x80 | (c & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (c >> 18)));
    out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(char(0x80 | (c & 0x3F)));
  }
}

void AppendUtf16(Text& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(char16_t(c));
  } else {
    c -= 0x10000;
    out.push_back(char16_t(0xD800 | (c >> 10)));
    out.push_back(char16_t(0xDC00 | (c & 0x3FF)));
  }
}

// Length of a UTF-8 sequence by its first byte and the range its second byte must fall in; the
// narrowed ranges after E0, ED, F0 and F4 refuse overlong forms, surrogates and values above
// U+10FFFF. Length 0: the byte cannot start a sequence.
struct Utf8Lead {
  int length;
  unsigned char secondMin, secondMax;
};

Utf8Lead ClassifyUtf8Lead(unsigned char b) {
  if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};
  if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

using Converter = std::optional<std::string> (*)(TextView);

std::optional<std::string> ToUtf8Converter(TextView text) { return ToUtf8(text); }

// Where a cut at unit `pos` must move to so that it never separates a surrogate pair.
size_t CodePointBoundary(TextView text, size_t pos) {
  if (pos > 0 && pos < text.size() && IsHighSurrogate(text[pos - 1]) && IsLowSurrogate(text[pos]))
    return pos - 1;
  return pos;
}

// Byte count of the longest prefix of whole characters whose conversion fits in `limit`, for a
// text whose whole conversion does not. Both target encodings are stateless, so converting a
// prefix yields a prefix of the whole result, and its length grows with the prefix: a binary
// search over prefixes finds the cut without knowing the code page's lead bytes.
size_t FittingPrefixBytes(TextView text, size_t limit, Converter convert) {
  size_t fits = 0, fitsBytes = 0, tooLong = text.size();
  while (tooLong - fits > 1) {
    const size_t middle = fits + (tooLong - fits) / 2;
    const auto bytes = convert(text.substr(0, CodePointBoundary(text, middle)));
    if (bytes && bytes->size() <= limit) {
      fits = middle;
      fitsBytes = bytes->size();
    } else {
      tooLong = middle;
    }
  }
  return fitsBytes;
}

bool IsShiftJisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF); }

bool IsShiftJisTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

}  // namespace

std::string ToUtf8(TextView text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      // Encoding the surrogate itself would give bytes that strict UTF-8 readers reject.
      c = kReplacementCharacter;
    }
    AppendUtf8(out, c);
  }
  return out;
}

Text FromUtf8(std::string_view bytes) {
  Text out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    if (first < 0x80) {
      out.push_back(first);
      ++i;
      continue;
    }
    const Utf8Lead lead = ClassifyUtf8Lead(first);
    if (lead.length == 0) {
      out.push_back(char16_t(kReplacementCharacter));
      ++i;
      continue;
    }
    char32_t c = first & (0xFF >> (lead.length + 1));
    int taken = 1;
    for (; taken < lead.length && i + taken < bytes.size(); ++taken) {
      const auto b = static_cast<unsigned char>(bytes[i + taken]);
      const bool second = taken == 1;
      if (b < (second ? lead.secondMin : 0x80) || b > (second ? lead.secondMax : 0xBF)) break;
      c = (c << 6) | (b & 0x3F);
    }
    // A broken sequence is replaced as a whole, and the byte that broke it is read afresh.
    AppendUtf16(out, taken == lead.length ? c : kReplacementCharacter);
    i += taken;
  }
  return out;
}

Utf8Form ClassifyUtf8(std::string_view bytes) {
  Utf8Form form = Utf8Form::kAscii;
  const size_t size = bytes.size();
  size_t i = 0;
  while (i < size) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    if (first < 0x80) {
      ++i;
      continue;
    }
    const Utf8Lead lead = ClassifyUtf8Lead(first);
    if (lead.length == 0 || size - i < size_t(lead.length)) return Utf8Form::kIllFormed;
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    if (second < lead.secondMin || second > lead.secondMax) return Utf8Form::kIllFormed;
    for (int k = 2; k < lead.length; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return Utf8Form::kIllFormed;
    form = Utf8Form::kMultiByte;
    i += lead.length;
  }
  return form;
}

int ToMultiByte(TextView text, char* buffer, int size, bool utf8) {
  if (size < 0 || (size > 0 && buffer == nullptr)) return 0;
  try {
    const Converter convert = utf8 ? &ToUtf8Converter : &ToSystemCodePage;
    const auto bytes = convert(text);
    if (!bytes || bytes->size() >= size_t(INT_MAX)) {
      if (size > 0) buffer[0] = '\0';
      return 0;
    }
    if (size == 0) return static_cast<int>(bytes->size() + 1);
    const size_t limit = size_t(size) - 1;
    const size_t count = bytes->size() <= limit ? bytes->size() : FittingPrefixBytes(text, limit, convert);
    std::memcpy(buffer, bytes->data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count + 1);
  } catch (const std::bad_alloc&) {
    if (size > 0) buffer[0] = '\0';
    return -1;
  }
}

Text FromWindows1252(std::string_view bytes) {
  // 0x80-0x9F; the rest of the code page is ISO-8859-1.
  static constexpr char16_t kHighControls[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  Text text(bytes.size(), u'\0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    text[i] = (b >= 0x80 && b <= 0x9F) ? kHighControls[b - 0x80] : char16_t(b);
  }
  return text;
}

std::string ShiftJisToEucJp(std::string_view shiftJis) {
  std::string euc;
  euc.reserve(shiftJis.size());
  for (size_t i = 0; i < shiftJis.size(); ++i) {
    const auto lead = static_cast<unsigned char>(shiftJis[i]);
    if (lead < 0x80) {
      euc.push_back(char(lead));
      continue;
    }
    // Anything but a complete double-byte character fails the whole text: a dangling high byte
    // would swallow the ASCII byte after it on the receiving side.
    if (!IsShiftJisLeadByte(lead) || i + 1 == shiftJis.size()) return {};
    const auto trail = static_cast<unsigned char>(shiftJis[++i]);
    if (!IsShiftJisTrailByte(trail)) return {};
    // One Shift-JIS lead byte covers two JIS rows; the trail byte tells the odd row (cells from
    // 0x40) from the even one (cells from 0x9F). The trail range skips 0x7F.
    unsigned row = (lead >= 0xE0 ? lead - 0x40u : lead) - 0x81u;
    row = row * 2 + 0x21;
    unsigned cell = trail > 0x7F ? trail - 1u : trail;
    if (cell >= 0x9E) {
      ++row;
      cell = cell - 0x9E + 0x21;
    } else {
      cell = cell - 0x40 + 0x21;
    }
    euc.push_back(char(row + 0x80));
    euc.push_back(char(cell + 0x80));
  }
  return euc;
}
