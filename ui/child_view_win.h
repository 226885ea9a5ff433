// The central view: owns the settings, the folders with their sites, the subscription map and
// the tree control that shows them, and saves them.
#pragma once

#include <winsock2.h>  // before windows.h, which would bring the old socket header
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/directories.h"
#include "store/settings.h"
#include "app/subscription_defaults.h"
#include "check/check_runner.h"
#include "check/check_schedule.h"
#include "check/fetch_request.h"
#include "store/data_file.h"
#include "server/my_socket_win.h"
#include "server/request_router.h"
#include "check/xml_loader_win.h"
#include "store/item_tree.h"
#include "store/opml.h"
#include "store/unique_url_map.h"
#include "ui/item_id_table.h"
#include "util/unique_handle_win.h"
#include "util/window_win.h"

class CSiteDropTarget;
struct ItemSourceFields;

class CChildView : public CWindow, public IServerHost, private CheckRunnerHost {
 public:
  static constexpr int kTreeControlId = 1000;

  explicit CChildView(AppDirectories directories);
  ~CChildView() override;

  // Creates the view as a child of the main window; false when a creation step failed.
  bool Create(HWND parent, HINSTANCE instance);
  // The tree's pictures and font for the DPI of the monitor the main window is on.
  void ApplyDpi(UINT dpi);

  // Writes the data file and the settings; false when the data file or its lock failed.
  bool SaveSettingsAndData();

  const CSettings& Settings() const override { return settings_; }
  const FolderList& Folders() const { return folders_; }

  // Adds a folder at the end of the tree; the tree control shows it with its sites.
  CFolderItem* AppendFolder(std::unique_ptr<CFolderItem> folder);

  // Item ids: the one lookup between ids, tree nodes and items.
  CItemBase* ItemFromId(ItemId id) const override { return ids_.ItemOf(id); }
  HTREEITEM NodeFromId(ItemId id) const;
  ItemId IdFromNode(HTREEITEM node) const;
  ItemId IdOfItem(const CItemBase* item) const;  // 0 when the item has no node
  // The folder holding a site, from the model; 0 for a folder or an unknown id.
  ItemId ParentId(ItemId id) const;
  HWND TreeControl() const { return tree_; }

  // What the tree's replaced window procedure needs: the view its commands go to, and the
  // control's own procedure.
  struct TreeKeysHook {
    HWND view = nullptr;
    WNDPROC original = nullptr;
  };
  // Gives the tree its own procedure back; that procedure, or null when it was not hooked.
  static WNDPROC UnhookTreeKeys(HWND tree) noexcept;

  // The check schedule.
  void CheckAll();
  // Queues a site, or the sites of a folder (0: of every folder), and starts what may start.
  void CheckItem(ItemId id, bool force, bool recurse, bool manual);
  void StartChecks();
  void StopChecks();
  // Cancels at most one running check older than the timeout.
  void TimeoutScan();
  bool IsChecking() const { return checks_.Checking(); }
  // Whether this site or folder list is being downloaded or loaded right now.
  bool IsCheckRunning(ItemId id) const { return checks_.Find(id) != nullptr; }

  // What the local server reads and does (child_view_server_win.cpp).
  std::vector<ItemId> TopLevelFolderIds() const override { return ChildIds(0); }
  std::vector<ItemId> ChildIds(ItemId parent) const override;
  Text BodyWhitelist() const override;
  bool PageFileExists(ItemId id) const override;
  void MarkRead(ItemId id) override;
  const Text& ProgramDirectory() const override { return directories_.program; }
  const Text& DataDirectory() const override { return directories_.data; }
  const Text& TempDirectory() const override { return directories_.temp; }
  std::optional<std::string> ReadFile(const Text& path) const override;
  bool WriteFile(const Text& path, std::string_view bytes) override;
  void PostRegisterUrl(const Text& url) override;
  void PostCommand(Command command) override;
  void SelectAndShowItem(ItemId id) override;
  // The last page shown through "/top?" or "/ltop?"; 0 before any.
  ItemId LastPageId() const { return server_ ? server_->LastPageId() : 0; }

  // Opening pages in the browser (child_view_commands_win.cpp). Only web addresses are handed
  // over; anything else is refused.
  void OpenInBrowser(TextView text);
  // The tray's open action: the new-articles page (or with Control the page shown last; with
  // "browseAll" every folder with news at once).
  void OpenNewArticles();
  // The first top-level folder whose new flag is set; 0 when none.
  ItemId FirstItemWithNew() const;

  // The tree's pictures, news flags and structural changes (child_view_tree_win.cpp). Every
  // structural change stops the checks first, since the queue names items by id.
  void RefreshItemImage(ItemId id);
  void SetItemNewFlag(int32_t value, ItemId id, bool propagate);
  void ClearNewFlags(ItemId id);
  bool ItemHasNews(ItemId id) const;
  void DeleteItem(ItemId id, bool confirm);
  // Into a folder (first place) or after a site; false when nothing moved.
  bool MoveSite(ItemId site, ItemId target);
  // Before the folder under the point, or, on the lower half of its row, before the next one.
  bool MoveFolder(ItemId folder, ItemId target, bool lowerHalf);
  void SortFolder(ItemId id, bool byUpdateTime, bool normalOrder);
  void ResetArticles(ItemId id);
  // Makes a folder that follows an OPML list mirror `items`; true when a site went or came.
  // A site that leaves takes its running check with it. The folder's sites are then queued.
  bool SyncFolder(ItemId folderId, const std::vector<OpmlOutline>& items, bool force, bool manual);
  // A plain import of a list's outlines into `folder` after `after` (null: a new folder), with
  // the nodes of everything it added.
  OpmlImport ImportOpmlList(CFolderItem* folder, const CItemBase* after, const std::vector<OpmlOutline>& items);
  // Registering a site from text (a typed, pasted, dropped or forwarded address) next to node.
  void StartAddSiteFlow(TextView text, ItemId node);
  // The options sheet; OK applies the settings at once (the file is written with the next save).
  void ShowOptions();
  // The property sheet of the selected site or folder.
  void ShowItemProperties();
  // After a site's src, user or password changed: its node moves to its new subscription.
  void ResubscribeSite(ItemId id, TextView oldKey);
  // Drag feedback of the drop target (child_view_drag_win.cpp).
  ItemId NodeAtPoint(POINT client, bool* lowerHalf = nullptr) const;
  void HighlightDropTarget(ItemId id);
  void ShowFolderInsertMark(ItemId folder, bool lowerHalf);
  void ClearDropMarks();
  // One node up or down when the point is near the top or bottom edge; true when it scrolled.
  bool ScrollNearEdge(POINT client);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool OnCreate();
  // The data file, or on a first start the default subscriptions; false ends the program.
  bool LoadSubscriptions();
  [[nodiscard]] bool ImportDefaultSubscriptions();
  std::optional<std::string> DownloadDefaultList(const Text& url, bool* exiting) const;
  void OnSize(int width, int height);
  void OnExit();
  void OnCommand(WPARAM wParam);
  void MarkAllRead();
  void ShowSelectedArticles(bool storedPage);
  // Stops the checks, saves, and deletes the working files: at exit and before a suspension.
  void ExitCleanUp();

  // The check schedule (child_view_checks_win.cpp).
  void StartCheckTimers();
  void RestartCheckTimers(UINT startupDelay);
  void OnTimer(UINT_PTR id);
  void OnMinute();
  void OnPowerBroadcast(WPARAM event);
  void Enqueue(ItemId id, const CItemBase& item, bool force, bool manual);
  FetchRequest BuildRequest(const CItemBase& item, bool force) const;
  // What the check runner asks of the view.
  std::optional<Text> AddressOf(ItemId id) const override;
  std::unique_ptr<CheckWork> StartWork(RunningCheck& check) override;
  void CheckChanged(ItemId id) override;
  void CycleChanged(bool checking) override;
  // The body of a 200 answer goes to the loading thread; false when it cannot.
  bool StartLoading(RunningCheck& check, const CItemBase& item, std::string body);
  void RecordFailure(CItemBase& item, const std::optional<FetchResult>& result);
  void EndCheck(ItemId id);
  // Cancels the running check of one item, if any, without touching its node.
  void CancelCheck(ItemId id);
  void MoveSubscription(ItemId id, CItemBase& item, const Text& location);
  LRESULT OnTransferDone(WPARAM item, LPARAM result);
  LRESULT OnXmlLoaded(WPARAM item, LPARAM document);
  void OnFolderListLoaded(ItemId id, CItemBase& folder, std::optional<OpmlDocument> list,
                          const Text& lastModified, const Text& etag, bool force, bool manual);
  void DistributeArticles(ItemId id, CRssSiteItem& site, std::unique_ptr<CRssItemArray> articles,
                          const Text& lastModified, const Text& etag);
  // Pictures changed by checks are drawn together on a short timer (RefreshDuePictures).
  void RefreshLater(ItemId id);
  void RefreshDuePictures();
  bool OpenServer();
  // Tells the main window the check state; `updated` below 1 when only its icon may change
  // (the news state changed).
  void PostCheckingState(LPARAM updated);
  void PostCheckingState(bool checking, LPARAM updated);
  LRESULT OnRegisterUrl(WPARAM heapText, LPARAM source);
  // The add-site flow for the selected node (a folder: first in it; a site: after it).
  void RegisterSiteFromAddress(TextView address, ItemId placeAfter);

  // Registering sites and OPML lists (add_site_flow_win.cpp, folder_sync_win.cpp,
  // opml_commands_win.cpp).
  // `node` is a folder or a site; the new site goes first in the folder when `first` is set,
  // else after the site. With an empty tree the node is ignored.
  void AddFromUrl(TextView text, ItemId node, bool first);
  struct Placement {
    ItemId folder = 0;  // 0 only while the tree is empty
    ItemId after = 0;   // 0: first in the folder
  };
  std::optional<Placement> PlacementFor(ItemId node, bool first) const;
  void AddFetchedFeed(const Text& url, const FetchResult& fetched, std::unique_ptr<CRssItemArray> articles,
                      const Text& user, const Text& password, CFolderItem* folder, const CItemBase* after);
  void AddFetchedOpml(const Text& url, const FetchResult& fetched, const OpmlDocument& list, const Text& user,
                      const Text& password, CFolderItem* folder, const CItemBase* after);
  // The tree control's node for a site already in the model, at its model position, listed
  // under its subscription without a tick.
  ItemId AddSiteNode(CItemBase& site);
  // Nodes for every site of the folder that has none, at their model places.
  void AddMissingNodes(CFolderItem& folder);
  // Removes a site's node, id and subscription entry; the model keeps the item.
  void RemoveSiteNode(ItemId id);
  void BackUpDataFile();
  // Dialogs (child_view_dialogs_win.cpp).
  void ChangePassPhrase(const Text& passPhrase);
  void EditSiteProperties(ItemId id);
  void EditFolderProperties(ItemId id);
  void ApplySourceOfSite(ItemId id, CItemBase& item, const ItemSourceFields& before, const ItemSourceFields& after);
  void AddSearchSite();
  void ExportOpml(bool selectedOnly);
  void ImportOpml();
  void PasteSite();
  LRESULT OnFileDropped(WPARAM heapText, LPARAM point);
  LRESULT OnTextDropped(WPARAM heapText, LPARAM target);
  // Tree glue: pictures, notifications, commands, menus, dragging.
  void CreateImageList(UINT dpi);
  LRESULT OnTreeNotify(NMHDR* header);
  bool OnTreeCommand(UINT id);
  bool CreateTreeKeys();
  bool RegisterDropTarget();
  void RevokeDropTarget();
  // The check command: one node now, forced with Shift.
  void CheckNow(ItemId id);
  void NewFolder();
  void ShowContextMenu(ItemId id, POINT screen);
  void ShowContextMenuOfSelection();
  void BeginDrag(HTREEITEM node);
  std::unique_ptr<CItemBase> DetachSite(ItemId id);
  void RegisterSiteNode(ItemId id);
  void SetNodeImage(ItemId id, int image);
  void SetNodeBold(ItemId id, bool bold);
  bool FolderIsChecking(ItemId folder) const;

  // While one lives, the tree control neither draws nor updates its scroll bars: changes of
  // hundreds of nodes then cost one redraw. Nested pauses end with the outermost.
  class TreeRedrawPause {
   public:
    explicit TreeRedrawPause(CChildView& view);
    ~TreeRedrawPause();
    TreeRedrawPause(const TreeRedrawPause&) = delete;
    TreeRedrawPause& operator=(const TreeRedrawPause&) = delete;

   private:
    CChildView& view_;
  };
  int redrawPauses_ = 0;

  bool CreateTreeControl();
  void FillTree();
  void AddFolderNodes(CFolderItem& folder);
  ItemId InsertNode(CItemBase& item, HTREEITEM parent, HTREEITEM after = TVI_LAST);
  ItemId SelectedItemId() const;
  void SetNodeText(ItemId id, const Text& text);

  Text SettingsPath() const;
  Text DataFilePath() const;

  AppDirectories directories_;
  HINSTANCE instance_ = nullptr;
  CSettings settings_;
  SubscriptionDefaults subscriptionDefaults_;
  FolderList folders_;
  CUniqueURLMap subscriptions_;
  ItemIdTable ids_;
  HWND tree_ = nullptr;  // child control, destroyed with the view
  TreeKeysHook treeKeys_;  // the tree's user data while its keys are hooked
  unique_himagelist images_;
  unique_hgdiobj treeFont_;
  CSiteDropTarget* dropTarget_ = nullptr;  // registered with the platform, which holds a reference
  unique_hfile dataFileLock_;
  bool dataLoaded_ = false;  // nothing is saved over the data file before it has loaded whole
  bool registering_ = false;  // a registration is under way (its dialogs, its download)

  CXmlLoadService xmlLoader_;  // before the running checks, whose loaders post to it
  CheckRunner checks_{*this};
  std::unordered_set<ItemId> picturesDue_;
  uint32_t minuteCounter_ = 0;
  uint32_t updatedCount_ = 0;

  std::unique_ptr<CMySocket> server_;
};
