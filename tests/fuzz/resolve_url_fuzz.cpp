// Fuzzes ParseAbsoluteUrl and ResolveUrl; the text before the first line break is the base.
#include "tests/fuzz/fuzz_text.h"
#include "util/url.h"

namespace {

TextView TrimBlanks(TextView url) {
  while (!url.empty() && url.front() <= u' ') url.remove_prefix(1);
  while (!url.empty() && url.back() <= u' ') url.remove_suffix(1);
  return url;
}

bool IsWebScheme(TextView scheme) { return scheme == u"http" || scheme == u"https"; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Text input = FuzzText(data, size);
  const size_t split = input.find(u'\n');
  const TextView base = TextView(input).substr(0, split);
  const TextView reference = split == Text::npos ? TextView() : TextView(input).substr(split + 1);

  if (auto parts = ParseAbsoluteUrl(reference)) {
    FuzzCheck(!parts->scheme.empty());
    FuzzCheck(!parts->hasAuthority || StartsWith(parts->pathAndQuery, u"/"));
  }

  const Text result = ResolveUrl(base, reference);
  const TextView trimmed = TrimBlanks(reference);
  if (result.empty() || result == trimmed) return 0;

  // Anything built by resolution is a web address on the base's host (or, for "//host/..."
  // references, on the named host) and resolves to itself again.
  auto built = ParseAbsoluteUrl(result);
  auto from = ParseAbsoluteUrl(TrimBlanks(base));
  FuzzCheck(built && from);
  FuzzCheck(built->scheme == from->scheme && IsWebScheme(built->scheme));
  FuzzCheck(StartsWith(trimmed, u"//") || built->host == from->host);
  FuzzCheck(ResolveUrl(base, result) == result);
  return 0;
}
