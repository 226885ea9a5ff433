// The system code page on Windows: CP_ACP, code page 932 on the machines this program targets.
#include "util/code_page.h"

#include <climits>

#include "util/wide_win.h"

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
  const wchar_t* wide = W(text.data());
  const int length = static_cast<int>(text.size());
  // Best-fit look-alikes are refused (U+00A5 would become a backslash, changing a path), and any
  // character that needed the default character makes the whole conversion fail.
  BOOL usedDefault = FALSE;
  const int needed =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, nullptr, &usedDefault);
  if (needed <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<size_t>(needed), '\0');
  if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, bytes.data(), needed, nullptr,
                          &usedDefault) != needed ||
      usedDefault)
    return std::nullopt;
  return bytes;
}

std::optional<Text> FromSystemCodePage(std::string_view bytes) {
  if (bytes.empty()) return Text();
  if (bytes.size() > size_t(INT_MAX)) return std::nullopt;
  const int length = static_cast<int>(bytes.size());
  // Invalid bytes fail the conversion instead of turning silently into the default character.
  const int needed = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  Text text(static_cast<size_t>(needed), u'\0');
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), length,
                          reinterpret_cast<wchar_t*>(text.data()), needed) != needed)
    return std::nullopt;
  return text;
}
