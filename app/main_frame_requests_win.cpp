// The request message: second copies forward their command line, and toolbar bands ask for
// addresses, the folder list and the news state, or ask the program to act.
#include "app/main_frame_win.h"

#include "app/private_messages.h"
#include "app/program_requests.h"
#include "server/request_router.h"
#include "shared/names.h"
#include "shared/shared_text_block_win.h"
#include "util/code_page.h"

namespace {

// A folder name may hold characters the system code page lacks; the band still gets the list,
// with "?" for each such character.
std::string ToSystemCodePageOrQuestionMarks(TextView text) {
  if (auto whole = ToSystemCodePage(text)) return *whole;
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool pair = i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF;
    const auto one = ToSystemCodePage(text.substr(i, pair ? 2 : 1));
    bytes += one ? *one : std::string("?");
    if (pair) ++i;
  }
  return bytes;
}

}  // namespace

LRESULT CMainFrame::OnRequest(WPARAM command, LPARAM argument) {
  if (!view_) return 0;
  const uint16_t port = view_->Settings().portInUse;
  const HWND requester = reinterpret_cast<HWND>(argument);
  switch (static_cast<RequestCommand>(command)) {
    case RequestCommand::kNewArticlesAddress: return AnswerWithText(NewArticlesUrl(port) + u'\0', requester);
    case RequestCommand::kTopLevelItems: {
      std::vector<TopItemSummary> items;
      for (ItemId id : view_->TopLevelFolderIds())
        if (const auto* folder = dynamic_cast<const CFolderItem*>(view_->ItemFromId(id)))
          items.push_back({folder->GetTitle(), static_cast<uint32_t>(CountChildren(*folder).fresh), id});
      return AnswerWithText(BuildTopItemList(items, port), requester);
    }
    case RequestCommand::kLastPageAddress:
      return AnswerWithText(CurrentPageUrl(port, view_->LastPageId()) + u'\0', requester);
    case RequestCommand::kHasNews: return static_cast<LRESULT>(view_->FirstItemWithNew());
    case RequestCommand::kForwardCommandLine: {
      if (argument == 0) return 0;
      auto ansi = TakeSharedTextBlock(reinterpret_cast<HANDLE>(argument));
      if (!ansi) return 0;
      auto text = FromSystemCodePage(*ansi);
      if (!text) return 0;
      auto heapText = std::make_unique<char16_t[]>(text->size() + 1);
      std::copy(text->begin(), text->end(), heapText.get());
      // The receiver of the private message owns the buffer from here on.
      return ::SendMessageW(hwnd(), kMsgRegisterUrl, reinterpret_cast<WPARAM>(heapText.release()), 0);
    }
    case RequestCommand::kOpenMainWindow: ::PostMessageW(hwnd(), WM_COMMAND, ID_SHOW_MAIN_WINDOW, 0); return 0;
    case RequestCommand::kCheckAll: ::PostMessageW(hwnd(), WM_COMMAND, ID_CHECK_ALL, 0); return 0;
  }
  return 0;
}

// `text` carries its own terminators. The answer block is made over to the requester's process, which maps, reads and closes it;
// our own handle goes when this returns.
LRESULT CMainFrame::AnswerWithText(const Text& text, HWND requester) const {
  if (!requester) return 0;
  const unique_handle block = CreateSharedBytesBlock(ToSystemCodePageOrQuestionMarks(text));
  if (!block) return 0;
  return reinterpret_cast<LRESULT>(DuplicateSharedTextBlockTo(requester, block.get()));
}

LRESULT CMainFrame::OnRegisterUrl(WPARAM heapText) {
  std::unique_ptr<char16_t[]> text(reinterpret_cast<char16_t*>(heapText));
  if (!text || IsDialogOpen()) return 0;
  const TextView forwarded(text.get());
  // A running copy also obeys the program's own switches, so that scripts can end or refresh it.
  if (forwarded == u"/exit") {
    ::PostMessageW(hwnd(), WM_COMMAND, ID_APP_EXIT, 0);
    return 1;
  }
  if (forwarded == u"/reload") {
    ::PostMessageW(hwnd(), WM_COMMAND, ID_CHECK_ALL, 0);
    return 1;
  }
  ShowAndBringToFront();
  char16_t* handedOver = text.release();
  if (!::PostMessageW(view_->hwnd(), kMsgRegisterUrl, reinterpret_cast<WPARAM>(handedOver), 0)) {
    delete[] handedOver;
    return 0;
  }
  return 1;
}
