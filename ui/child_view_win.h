// The central view: owns the settings, the folders with their sites, the subscription map and
// the tree control that shows them, and saves them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/directories.h"
#include "app/settings.h"
#include "app/subscription_defaults.h"
#include "store/data_file.h"
#include "store/item_tree.h"
#include "store/unique_url_map.h"
#include "ui/item_id_table.h"
#include "util/unique_handle_win.h"
#include "util/window_win.h"

class CChildView : public CWindow {
 public:
  static constexpr int kTreeControlId = 1000;

  explicit CChildView(AppDirectories directories);
  ~CChildView() override;

  // Creates the view as a child of the main window; false when a creation step failed.
  bool Create(HWND parent, HINSTANCE instance);

  // Writes the data file and the settings; false when the data file or its lock failed.
  bool SaveSettingsAndData();

  const CSettings& Settings() const { return settings_; }
  const FolderList& Folders() const { return folders_; }

  // Adds a folder at the end of the tree; the tree control shows it with its sites.
  CFolderItem* AppendFolder(std::unique_ptr<CFolderItem> folder);

  // Item ids: the one lookup between ids, tree nodes and items.
  CItemBase* ItemFromId(ItemId id) const { return ids_.ItemOf(id); }
  HTREEITEM NodeFromId(ItemId id) const;
  ItemId IdFromNode(HTREEITEM node) const;
  HWND TreeControl() const { return tree_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool OnCreate();
  // The data file, or on a first start the default subscriptions; false ends the program.
  bool LoadSubscriptions();
  void ImportDefaultSubscriptions();
  std::optional<std::string> DownloadDefaultList(const Text& url) const;
  void OnSize(int width, int height);
  void OnExit();
  LRESULT OnRegisterUrl(WPARAM heapText);
  // Registering a site from an address arrives with the add-site flow; until then the text is
  // accepted and released.
  void RegisterSiteFromAddress(TextView address, ItemId placeAfter);

  bool CreateTreeControl();
  void FillTree();
  void AddFolderNodes(CFolderItem& folder);
  ItemId InsertNode(CItemBase& item, HTREEITEM parent);
  ItemId SelectedItemId() const;

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
  unique_hfile dataFileLock_;
};
