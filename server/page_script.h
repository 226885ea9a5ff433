// The script of every article page: moving between site blocks with J and K, N for the next
// unread folder, folding article lists and bodies, and the settings link that selects a site in
// the main window.
#pragma once

#include "util/text.h"

// The whole script element, from "<script" to "</script>\n".
TextView PageScript();
