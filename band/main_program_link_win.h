// The band's link to the running main program: its window, its local server and the hand-over
// of a feed. The band never starts the main program.
#pragma once

#include <windows.h>

#include <optional>

#include "util/text.h"
#include "util/xml_element.h"

HWND FindMainProgram();
// "http://127.0.0.1:<port><path>" with the port from the main program's settings file.
Text MakeLocalUrl(TextView path);
// One GET of a command of the local server; false when the main program is not running or the
// server did not answer it.
bool SendServerCommand(TextView path);
// The main program's folder list; nothing when it is not running or the list did not load.
std::optional<XmlElement> LoadFolderList();

// How a failed copy to the clipboard is reported.
enum class HandOverFailure { kSilent, kMessage };
// To the main program, or to the clipboard when it is absent or Control is held.
void HandOverFeed(const Text& feedUrl, HWND owner, HandOverFailure failure);
