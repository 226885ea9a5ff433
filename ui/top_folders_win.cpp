#include "ui/top_folders_win.h"

#include "ui/child_view_win.h"

std::vector<TopFolderState> TopFolderStates(const CChildView& view) {
  std::vector<TopFolderState> states;
  for (ItemId id : view.TopLevelFolderIds()) {
    const auto* folder = dynamic_cast<const CFolderItem*>(view.ItemFromId(id));
    if (!folder) continue;
    states.push_back({folder->GetTitle(), static_cast<uint32_t>(CountChildren(*folder).fresh),
                      view.PageFileExists(id)});
  }
  return states;
}
