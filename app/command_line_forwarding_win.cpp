#include "app/command_line_forwarding_win.h"

#include <windows.h>

#include "app/command_line.h"
#include "shared/names.h"
#include "shared/shared_text_block_win.h"
#include "util/code_page.h"
#include "util/wide_win.h"

bool ForwardCommandLine(TextView commandLine) {
  auto ansi = ToSystemCodePage(commandLine);
  if (!ansi || ansi->empty()) return false;
  if (!ShouldForwardCommandLine(commandLine)) return false;
  HWND receiver = ::FindWindowW(W(kMainWindowClass), W(kMainWindowTitle));
  if (!receiver) return false;
  unique_handle block = CreateSharedTextBlock(*ansi);
  if (!block) return false;
  HANDLE duplicate = DuplicateSharedTextBlockTo(receiver, block.get());
  if (!duplicate) return false;
  // The duplicate belongs to the receiver, which closes it; ours closes when `block` goes.
  ::SendMessageW(receiver, ::RegisterWindowMessageW(W(kRequestMessageName)),
                 static_cast<WPARAM>(RequestCommand::kForwardCommandLine),
                 reinterpret_cast<LPARAM>(duplicate));
  return true;
}
