// The sound of a notice, and the news broadcast to the browser toolbar bands.
#pragma once

#include <windows.h>

#include "util/text.h"

// Plays `soundFile` (relative to the program folder) asynchronously when it exists; otherwise,
// with `systemFallback`, the user's system notification sound; otherwise nothing.
void PlayNotifySound(TextView soundFile, const Text& programDirectory, bool systemFallback);

// Posts the news message with 1 (news) or 0 to every top-level window of the bands' catch
// window class. Posted, never sent: the program must not wait for a browser.
void BroadcastToolbarState(UINT newsMessage, bool hasNews);
