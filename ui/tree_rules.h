// Decisions of the site tree that need no window: which picture a node shows and what else
// changes with it, where a dragged folder lands, and the sort direction.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// Positions in the tree's image list.
enum TreeImage : int {
  kImageFolder = 0,
  kImageFolderNews = 1,
  kImageFolderChecking = 2,
  kImageSite = 3,
  kImageSiteNews = 4,
  kImageSiteChecking = 5,
  kImageSiteError = 6,
  kImageSyncFolder = 7,
  kImageSyncFolderNews = 8,
  kImageSyncFolderChecking = 9,
  kImageSiteCannotCheck = 10,
  kTreeImageCount = 11,
};

struct SiteState {
  bool checking = false;   // in the list of running checks
  bool checkable = true;   // has a feed URL and is not marked "do not check"
  bool hasError = false;   // the last check ended in an error
  bool isNew = false;      // new flag not 0
};

struct FolderState {
  bool synchronised = false;  // follows a remote OPML list
  bool checking = false;      // the folder or one of its sites is being checked
  bool isNew = false;
};

int SiteImage(const SiteState& state);
int FolderImage(const FolderState& state);

// What a node made anew shows at once, so that it needs no refresh after its insertion.
struct NodeLook {
  int image;
  bool bold;
};
NodeLook SiteLook(const SiteState& state);
NodeLook FolderLook(const FolderState& state);

// What refreshing a node changes besides its picture.
struct ImageChange {
  bool setImage = false;
  std::optional<bool> bold;   // the node's own bold state, when it changes
  bool parentBold = false;    // a site with news makes its folder bold at once
  bool refreshParent = false;
  bool notifyMainWindow = false;  // a folder's picture changed: the tray may change too
};

ImageChange SiteImageChange(int oldImage, int newImage, bool isNew);
ImageChange FolderImageChange(int oldImage, int newImage);

// Where a folder dropped on the row of the folder at `targetIndex` lands, as the new order of
// the top-level folders (indices into the old order); empty when nothing moves. The lower
// half of a row means "before the next folder", or after the last one.
std::vector<size_t> MoveFolderOrder(size_t folderCount, size_t movedIndex, size_t targetIndex,
                                    bool lowerHalf);

// Sorting by name is ascending and by update time newest first, unless Shift is held.
inline bool NormalSortOrder(bool shiftHeld) { return !shiftHeld; }
