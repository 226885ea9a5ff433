// The system code page natively: CP932 through iconv, so that the tests behave as on a Japanese
// Windows. The UTF-16 side goes through our own UTF-8 codec to stay independent of byte order.
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

}  // namespace

std::optional<std::string> ToSystemCodePage(TextView text) {
  const std::string utf8 = ToUtf8(text);
  auto bytes = Iconv(kSystemCodePage, "UTF-8", utf8);
  // glibc maps some characters to look-alikes (U+00A5 to a backslash, U+203E to a tilde) that
  // read back as something else; Windows refuses them under WC_NO_BEST_FIT_CHARS, and so do we.
  if (!bytes || Iconv("UTF-8", kSystemCodePage, *bytes) != utf8) return std::nullopt;
  return bytes;
}

std::optional<Text> FromSystemCodePage(std::string_view bytes) {
  const auto utf8 = Iconv("UTF-8", kSystemCodePage, bytes);
  if (!utf8) return std::nullopt;
  return FromUtf8(*utf8);
}
