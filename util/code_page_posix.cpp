// The system code page natively: CP932 through iconv, so that the tests behave as on a Japanese
// Windows; other Windows code pages through iconv's names for them. The UTF-16 side goes through
// our own UTF-8 codec to stay independent of byte order.
#include "util/code_page.h"

#include <cerrno>

#include <iconv.h>

namespace {

constexpr const char* kSystemCodePage = "CP932";

// One whole conversion; nullopt on any invalid, incomplete or unrepresentable sequence.
std::optional<std::string> Iconv(const char* to, const char* from, std::string_view input) {
  const iconv_t converter = iconv_open(to, from);
  if (converter == iconv_t(-1)) return std::nullopt;
  struct Closer {
    iconv_t converter;
    ~Closer() { iconv_close(converter); }
  } closer{converter};

  std::string output(input.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  size_t used = 0;
  for (;;) {
    char* out = output.data() + used;
    size_t outLeft = output.size() - used;
    const size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    used = static_cast<size_t>(out - output.data());
    // A positive count means characters were converted irreversibly: not an exact conversion.
    if (result != size_t(-1)) {
      if (result != 0) return std::nullopt;
      break;
    }
    if (errno != E2BIG) return std::nullopt;
    output.resize(output.size() * 2);
  }
  output.resize(used);
  return output;
}

struct IconvName {
  unsigned codePage;
  const char* name;
};

// Windows code pages and the iconv converters that read them the same way. For 20932 plain
// EUC-JP, not EUC-JP-MS: compared pair by pair with MultiByteToWideChar under Wine, EUC-JP gives
// the same character for every JIS X 0208 and 0212 code, EUC-JP-MS differs in six symbols (wave
// dash, minus sign, ...) and adds the NEC row that 20932 does not have.
constexpr IconvName kIconvNames[] = {
    {kCodePageShiftJis, "CP932"}, {kCodePageEucJp, "EUC-JP"}, {kCodePageUtf8, "UTF-8"},
    {936, "CP936"},         {949, "CP949"},         {950, "CP950"},         {54936, "GB18030"},
    {437, "CP437"},         {850, "CP850"},         {866, "CP866"},         {874, "CP874"},
    {1250, "CP1250"},       {1251, "CP1251"},       {1253, "CP1253"},       {1254, "CP1254"},
    {1255, "CP1255"},       {1256, "CP1256"},       {1257, "CP1257"},       {1258, "CP1258"},
    {10000, "MACINTOSH"},   {20866, "KOI8-R"},      {21866, "KOI8-U"},      {28591, "ISO-8859-1"},
    {28592, "ISO-8859-2"},  {28593, "ISO-8859-3"},  {28594, "ISO-8859-4"},  {28595, "ISO-8859-5"},
    {28596, "ISO-8859-6"},  {28597, "ISO-8859-7"},  {28598, "ISO-8859-8"},  {28599, "ISO-8859-9"},
    {28603, "ISO-8859-13"}, {28605, "ISO-8859-15"},
};

const char* IconvNameOf(unsigned codePage) {
  for (const IconvName& entry : kIconvNames)
    if (entry.codePage == codePage) return entry.name;
  return nullptr;
}

}  // namespace

std::optional<Text> FromCodePage(std::string_view bytes, unsigned codePage) {
  // glibc refuses the five bytes 1252 leaves undefined; Windows reads them as C1 controls.
  if (codePage == kCodePageWindows1252) return FromWindows1252(bytes);
  const char* name = IconvNameOf(codePage);
  if (name == nullptr) return std::nullopt;
  const auto utf8 = Iconv("UTF-8", name, bytes);
  if (!utf8) return std::nullopt;
  return FromUtf8(*utf8);
}

std::optional<std::string> ToSystemCodePage(TextView text) {
  const std::string utf8 = ToUtf8(text);
  auto bytes = Iconv(kSystemCodePage, "UTF-8", utf8);
  // glibc maps some characters to look-alikes (U+00A5 to a backslash, U+203E to a tilde) that
  // read back as something else; Windows refuses them under WC_NO_BEST_FIT_CHARS, and so do we.
  if (!bytes || Iconv("UTF-8", kSystemCodePage, *bytes) != utf8) return std::nullopt;
  return bytes;
}

std::optional<std::string> ToShiftJis(TextView text) {
  const std::string utf8 = ToUtf8(text);
  auto bytes = Iconv("CP932", "UTF-8", utf8);
  if (!bytes || Iconv("UTF-8", "CP932", *bytes) != utf8) return std::nullopt;
  return bytes;
}

std::optional<Text> FromSystemCodePage(std::string_view bytes) {
  const auto utf8 = Iconv("UTF-8", kSystemCodePage, bytes);
  if (!utf8) return std::nullopt;
  return FromUtf8(*utf8);
}
