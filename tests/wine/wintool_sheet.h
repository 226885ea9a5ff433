// wintool's commands on property sheets and the controls of their pages (wintool_sheet.cpp).
#pragma once

// Runs `argv[1]` when it is one of the sheet commands; -1 when it is not.
int RunSheetCommand(int argc, wchar_t** argv);
