// The clipboard formats under which a dragged tree node travels: its 32-bit item id.
#pragma once

#include <windows.h>

inline UINT SiteDragFormat() {
  static const UINT format = ::RegisterClipboardFormatW(L"CF_RSSITEM_OF_PELUN");
  return format;
}

inline UINT FolderDragFormat() {
  static const UINT format = ::RegisterClipboardFormatW(L"CF_FOLDERITEM_OF_PELUN");
  return format;
}
