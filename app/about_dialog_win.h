// The about box: version, user agent, where the data and the working files are, and a link.
#pragma once

#include <windows.h>

#include "util/text.h"

struct AboutBoxData {
  Text dataDirectory;
  Text tempDirectory;
  Text link;  // opened in the browser when clicked
};

// Modal; returns when the user closes it.
void ShowAboutDialog(HWND owner, HINSTANCE instance, const AboutBoxData& data);
