// The system code page on Windows: CP_ACP, code page 932 on the machines this program targets.
#include "util/code_page.h"

#include <climits>

#include "util/wide_win.h"

namespace {

// Best-fit look-alikes are refused (U+00A5 would become a backslash, changing a path), and any
// character that needed the default character makes the whole conversion fail.
std::optional<std::string> Encode(TextView text, UINT codePage) {
  const wchar_t* wide = W(text.data());
  const int length = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  const int needed =
      WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, nullptr, &usedDefault);
  if (needed <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<size_t>(needed), '\0');
  if (WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, length, bytes.data(), needed, nullptr,
                          &usedDefault) != needed ||
      usedDefault)
    return std::nullopt;
  return bytes;
}

}  // namespace

std::optional<std::string> ToSystemCodePage(TextView text) {
  if (text.empty()) return std::string();
  if (text.size() > size_t(INT_MAX)) return std::nullopt;
  // A UTF-8 system code page (a Windows 10 option) takes neither flag below; our own encoder does
  // the same job, and a text that does not survive the round trip had lone surrogates.
  if (GetACP() == CP_UTF8) {
    std::string utf8 = ToUtf8(text);
    if (FromUtf8(utf8) != text) return std::nullopt;
    return utf8;
  }
  return Encode(text, CP_ACP);
}

std::optional<std::string> ToShiftJis(TextView text) {
  if (text.empty()) return std::string();
  if (text.size() > size_t(INT_MAX)) return std::nullopt;
  return Encode(text, kCodePageShiftJis);
}

namespace {

// MultiByteToWideChar refuses MB_ERR_INVALID_CHARS for these (its documentation lists them); for
// them an invalid byte cannot be told from a character.
bool TakesNoFlags(unsigned codePage) {
  return codePage == 42 || (codePage >= 50220 && codePage <= 50229) ||
         (codePage >= 57002 && codePage <= 57011) || codePage == 65000;
}

bool IsEucByte(unsigned char b) { return b >= 0xA1 && b <= 0xFE; }

// Code page 20932 reads malformed pairs as characters (0xC6 0x41 is a kanji) and takes JIS X 0212
// as a lead byte with a 7-bit trail byte instead of EUC-JP's 0x8F triple. Checking the bytes as
// EUC-JP and rewriting the triples first gives the same text as iconv's EUC-JP.
std::optional<std::string> EucJpForCodePage20932(std::string_view euc) {
  std::string bytes;
  bytes.reserve(euc.size());
  for (size_t i = 0; i < euc.size(); ++i) {
    const auto b = static_cast<unsigned char>(euc[i]);
    const auto next = [&](size_t k) { return i + k < euc.size() ? static_cast<unsigned char>(euc[i + k]) : 0; };
    if (b == 0x8E) {
      if (next(1) < 0xA1 || next(1) > 0xDF) return std::nullopt;
      bytes.append(euc.substr(i++, 2));
    } else if (b == 0x8F) {
      if (!IsEucByte(next(1)) || !IsEucByte(next(2))) return std::nullopt;
      bytes.push_back(char(next(1)));
      bytes.push_back(char(next(2) & 0x7F));
      i += 2;
    } else if (IsEucByte(b)) {
      if (!IsEucByte(next(1))) return std::nullopt;
      bytes.append(euc.substr(i++, 2));
    } else if (b == 0xA0 || b == 0xFF) {
      return std::nullopt;
    } else {
      bytes.push_back(char(b));  // ASCII and the C1 controls stand for themselves
    }
  }
  return bytes;
}

std::optional<Text> Decode(std::string_view bytes, UINT codePage) {
  if (bytes.empty()) return Text();
  if (bytes.size() > size_t(INT_MAX)) return std::nullopt;
  const int length = static_cast<int>(bytes.size());
  // Invalid bytes fail the conversion instead of turning silently into the default character.
  const DWORD flags = TakesNoFlags(codePage) ? 0 : MB_ERR_INVALID_CHARS;
  const int needed = MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  Text text(static_cast<size_t>(needed), u'\0');
  if (MultiByteToWideChar(codePage, flags, bytes.data(), length, reinterpret_cast<wchar_t*>(text.data()),
                          needed) != needed)
    return std::nullopt;
  return text;
}

}  // namespace

std::optional<Text> FromCodePage(std::string_view bytes, unsigned codePage) {
  // Never the system or thread code page by accident: those are asked for by name.
  if (codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_MACCP || codePage == CP_THREAD_ACP)
    return std::nullopt;
  if (codePage == kCodePageEucJp) {
    const auto windowsForm = EucJpForCodePage20932(bytes);
    if (!windowsForm) return std::nullopt;
    return Decode(*windowsForm, codePage);
  }
  return Decode(bytes, codePage);
}

std::optional<Text> FromSystemCodePage(std::string_view bytes) { return Decode(bytes, CP_ACP); }
