// The top-level folders with their new figures, as the tray menu, the notices and the ticker's
// menu list them.
#pragma once

#include <vector>

#include "app/tray_texts.h"

class CChildView;

std::vector<TopFolderState> TopFolderStates(const CChildView& view);
