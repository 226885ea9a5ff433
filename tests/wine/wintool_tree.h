// wintool's commands on the program's site tree and its dialogs (wintool_tree.cpp).
#pragma once

// Runs `argv[1]` when it is one of the tree commands; -1 when it is not.
int RunTreeCommand(int argc, wchar_t** argv);
