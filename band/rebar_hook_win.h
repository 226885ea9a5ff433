// The hook on the browser's rebar window that passes the toolbar's own commands and drop-down
// notices on to the toolbar (the rebar would otherwise keep them). `ParentHookTable` holds, per
// rebar, its previous procedure and the toolbar placed in it.
#pragma once

#include <windows.h>

// Hooks the rebar once; a rebar hooked already only gets the new toolbar.
[[nodiscard]] bool HookRebar(HWND rebar, HWND toolbar);
// Puts the previous procedure back, or, when another hook was put on top of ours meanwhile,
// leaves ours in the chain passing everything on.
void UnhookRebar(HWND rebar);
