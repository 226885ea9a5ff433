#include "ui/open_address.h"

#include "util/url.h"

bool IsOpenableAddress(TextView address) {
  for (char16_t c : address)
    if (c <= u' ' || c == u'"' || c == 0x7F) return false;
  const auto parts = ParseAbsoluteUrl(address);
  return parts && parts->hasAuthority && !parts->host.empty() &&
         (parts->scheme == u"http" || parts->scheme == u"https");
}

std::optional<Text> BrowserArguments(TextView text) {
  Text arguments;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(u' ', start);
    if (end == TextView::npos) end = text.size();
    const TextView address = text.substr(start, end - start);
    if (!IsOpenableAddress(address)) return std::nullopt;
    if (!arguments.empty()) arguments += u' ';
    arguments += u'"' + Text(address) + u'"';
    start = end + 1;
  }
  return arguments;
}

// A path the user already quoted is not quoted twice.
Text BrowserCommandLine(TextView browser, TextView arguments) {
  TextView program = Trim(browser);
  if (program.size() >= 2 && program.front() == u'"' && program.back() == u'"')
    program = program.substr(1, program.size() - 2);
  return u"\"" + Text(program) + u"\" " + Text(arguments);
}
