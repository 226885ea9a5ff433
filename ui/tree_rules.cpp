#include "ui/tree_rules.h"

#include <algorithm>
#include <numeric>

int SiteImage(const SiteState& state) {
  if (state.checking) return kImageSiteChecking;
  if (!state.checkable) return kImageSiteCannotCheck;
  if (state.hasError) return kImageSiteError;
  return state.isNew ? kImageSiteNews : kImageSite;
}

// Synchronised folders use the same three steps from their own base.
int FolderImage(const FolderState& state) {
  const int base = state.synchronised ? kImageSyncFolderChecking : kImageFolderChecking;
  if (state.checking) return base;
  return state.isNew ? base - 1 : base - 2;
}

NodeLook SiteLook(const SiteState& state) {
  const int image = SiteImage(state);
  const bool newsByLabel = image == kImageSiteCannotCheck || image == kImageSiteError;
  return {image, image == kImageSiteNews || (newsByLabel && state.isNew)};
}

NodeLook FolderLook(const FolderState& state) {
  const int image = FolderImage(state);
  return {image, image == kImageFolderNews || image == kImageSyncFolderNews};
}

// A site whose picture does not say "news" (cannot check, error) still shows news by its bold
// label; its folder is looked at again even when the picture stayed.
ImageChange SiteImageChange(int oldImage, int newImage, bool isNew) {
  ImageChange change;
  change.setImage = oldImage != newImage;
  if (change.setImage) {
    change.refreshParent = true;
    if (newImage == kImageSite) change.bold = false;
    if (newImage == kImageSiteNews) {
      change.bold = true;
      change.parentBold = true;
    }
  }
  if (newImage == kImageSiteCannotCheck || newImage == kImageSiteError) {
    change.bold = isNew;
    change.refreshParent = true;
  }
  return change;
}

ImageChange FolderImageChange(int oldImage, int newImage) {
  ImageChange change;
  if (oldImage == newImage) return change;
  change.setImage = true;
  change.notifyMainWindow = true;
  if (newImage == kImageFolderNews || newImage == kImageSyncFolderNews) change.bold = true;
  if (newImage == kImageFolder || newImage == kImageSyncFolder) change.bold = false;
  return change;
}

// Keys 2, 4, 6, ... for the folders in order; the moved one takes the target's key - 1, or the
// last key + 1 when there is no next folder, and a stable sort by key gives the new order.
std::vector<size_t> MoveFolderOrder(size_t folderCount, size_t movedIndex, size_t targetIndex,
                                    bool lowerHalf) {
  if (movedIndex >= folderCount || targetIndex >= folderCount) return {};
  // `before` == folderCount: after the last folder.
  const size_t before = lowerHalf ? targetIndex + 1 : targetIndex;
  if (before == movedIndex) return {};
  std::vector<long long> keys(folderCount);
  for (size_t k = 0; k < folderCount; ++k) keys[k] = 2 * static_cast<long long>(k + 1);
  keys[movedIndex] = before < folderCount ? keys[before] - 1 : 2 * static_cast<long long>(folderCount) + 1;
  std::vector<size_t> order(folderCount);
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
  if (std::is_sorted(order.begin(), order.end())) return {};
  return order;
}
