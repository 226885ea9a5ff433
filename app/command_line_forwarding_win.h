// Hands a command line to the running copy's main window.
#pragma once

#include "util/text.h"

// Step by step: ANSI conversion, the forwarding rule, the window lookup, the shared block, the
// handle duplicated into the receiver, and the synchronous request. False when nothing was sent.
bool ForwardCommandLine(TextView commandLine);
