// The toolbar the band puts into the browser's rebar: the articles button with the folder menu,
// and the feed button with the menu of the feeds found on the pages shown.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <vector>

#include "band/folder_menu.h"
#include "band/found_feeds.h"
#include "band/notify_catch_wnd_win.h"
#include "util/unique_handle_win.h"

class CRssToolbarCtrl {
 public:
  CRssToolbarCtrl() = default;
  CRssToolbarCtrl(const CRssToolbarCtrl&) = delete;
  CRssToolbarCtrl& operator=(const CRssToolbarCtrl&) = delete;
  ~CRssToolbarCtrl() { Destroy(); }

  // Makes the toolbar window in the rebar, with its buttons and the catch window; the browser
  // is reached by name through its dispatch interface.
  [[nodiscard]] bool Create(HWND rebar, com_ptr<IDispatch> browser);
  void Destroy();
  HWND hwnd() const { return window_; }
  void SetBandId(DWORD bandId) { bandId_ = static_cast<int>(bandId); }

  void AddFoundFeed(const Text& pageUrl, const Text& title, const Text& feedUrl);
  void ClearFoundFeeds();
  void ForgetPageFeeds(const Text& pageUrl);

 private:
  static LRESULT CALLBACK SubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR id, DWORD_PTR self) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void AddButtons();
  void OnSize();
  LRESULT OnNotify(const NMHDR& header);
  bool OnRightButtonUp(LPARAM lParam);
  void OnCommand(UINT id);
  void ShowMenuOf(int button, POINT screenPoint);
  void ShowFolderMenu(POINT screenPoint);
  void ShowFeedMenu(POINT screenPoint);
  void TrackMenu(HMENU menu, POINT screenPoint);
  void UpdateFeedButton();
  void SetButtonImage(int button, int image);
  POINT BelowButton(int button) const;
  void NavigateBrowser(const Text& url);

  HWND window_ = nullptr;
  HWND rebar_ = nullptr;
  int bandId_ = -1;
  com_ptr<IDispatch> browser_;
  unique_himagelist images_;
  std::unique_ptr<CNotifyCatchWnd> catchWindow_;
  CFoundFeeds feeds_;
  std::vector<FeedMenuEntry> feedMenuEntries_;
  std::vector<Text> folderMenuUrls_;
  bool sizing_ = false;
};
