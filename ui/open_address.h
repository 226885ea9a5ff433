// Which texts may be handed to a browser. Addresses come from feeds and remote lists, so only
// web addresses pass: a share path, a file: address or a program path would start a program,
// and a quote would add arguments to the browser's command line.
#pragma once

#include <optional>
#include <vector>

#include "util/text.h"

// True for an absolute http or https address with a host, free of quotes, blanks and control
// characters.
bool IsOpenableAddress(TextView address);

// The addresses of `text` (separated by single spaces), each checked and quoted, joined by
// spaces; nullopt when any of them is refused or there is none.
std::optional<Text> BrowserArguments(TextView text);

// The command line that starts `browser` with `arguments`: the program path quoted.
Text BrowserCommandLine(TextView browser, TextView arguments);
