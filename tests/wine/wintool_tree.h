// wintool's commands on the program's site tree, its dialogs and its main window
// (wintool_tree.cpp).
#pragma once

// Runs `argv[1]` when it is one of the tree commands; -1 when it is not.
int RunTreeCommand(int argc, wchar_t** argv);
