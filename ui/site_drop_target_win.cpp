// The view's header first: it brings the socket header before windows.h.
#include "ui/child_view_win.h"
#include "ui/site_drop_target_win.h"

#include <shellapi.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "app/private_messages.h"
#include "ui/drag_formats_win.h"
#include "util/wide_win.h"

namespace {

constexpr DWORD kBringToFrontAfterMs = 1000;
constexpr DWORD kScrollEveryMs = 100;

FORMATETC GlobalFormat(UINT format) { return {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool Offers(IDataObject* data, UINT format) {
  FORMATETC wanted = GlobalFormat(format);
  return data && data->QueryGetData(&wanted) == S_OK;
}

// The bytes of one format; nothing when the data cannot be read.
std::optional<std::string> ReadBytes(IDataObject* data, UINT format) {
  FORMATETC wanted = GlobalFormat(format);
  STGMEDIUM medium{};
  if (!data || FAILED(data->GetData(&wanted, &medium))) return std::nullopt;
  std::optional<std::string> bytes;
  if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
    if (const void* memory = ::GlobalLock(medium.hGlobal)) {
      bytes.emplace(static_cast<const char*>(memory), ::GlobalSize(medium.hGlobal));
      ::GlobalUnlock(medium.hGlobal);
    }
  }
  ::ReleaseStgMedium(&medium);
  return bytes;
}

std::optional<ItemId> ReadId(IDataObject* data, UINT format) {
  const auto bytes = ReadBytes(data, format);
  if (!bytes || bytes->size() < sizeof(ItemId)) return std::nullopt;
  ItemId id = 0;
  std::memcpy(&id, bytes->data(), sizeof id);
  return id;
}

// Text in the system code page, as links dragged from a browser carry it.
std::optional<Text> ReadText(IDataObject* data) {
  if (auto bytes = ReadBytes(data, CF_TEXT)) {
    const std::string text(bytes->c_str());
    std::wstring wide(text.size() + 1, L'\0');
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                             static_cast<int>(wide.size()));
    return FromWide(wide.data(), static_cast<size_t>(length > 0 ? length : 0));
  }
  return std::nullopt;
}

std::optional<Text> ReadFirstFile(IDataObject* data) {
  FORMATETC wanted = GlobalFormat(CF_HDROP);
  STGMEDIUM medium{};
  if (!data || FAILED(data->GetData(&wanted, &medium))) return std::nullopt;
  std::optional<Text> name;
  auto drop = static_cast<HDROP>(medium.hGlobal);
  const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
  if (length > 0) {
    std::wstring buffer(length + 1, L'\0');
    ::DragQueryFileW(drop, 0, buffer.data(), length + 1);
    name = FromWide(buffer.c_str());
  }
  ::ReleaseStgMedium(&medium);
  return name;
}

// Our own drags allow a move only; links and files from elsewhere are copied.
DWORD Shown(DWORD allowed) { return (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : (allowed & DROPEFFECT_MOVE); }

}  // namespace

HRESULT CSiteDropTarget::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDropTarget) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}
ULONG CSiteDropTarget::AddRef() noexcept { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
ULONG CSiteDropTarget::Release() noexcept {
  const LONG left = ::InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

CSiteDropTarget::Kind CSiteDropTarget::KindOf(IDataObject* data) {
  if (Offers(data, SiteDragFormat())) return Kind::kSite;
  if (Offers(data, FolderDragFormat())) return Kind::kFolder;
  if (Offers(data, CF_TEXT) || Offers(data, CF_HDROP)) return Kind::kOutside;
  return Kind::kNone;
}

POINT CSiteDropTarget::TreePoint(POINTL screen) const {
  POINT point{screen.x, screen.y};
  ::ScreenToClient(view_.TreeControl(), &point);
  return point;
}

void CSiteDropTarget::ShowTarget(POINT client) {
  const DWORD now = ::GetTickCount();
  if (now - lastScrollTick_ >= kScrollEveryMs && view_.ScrollNearEdge(client)) lastScrollTick_ = now;
  bool lowerHalf = false;
  const ItemId target = view_.NodeAtPoint(client, &lowerHalf);
  if (kind_ == Kind::kFolder)
    view_.ShowFolderInsertMark(target, lowerHalf);
  else
    view_.HighlightDropTarget(target);
}

HRESULT CSiteDropTarget::DragEnter(IDataObject* data, DWORD, POINTL point, DWORD* effect) noexcept {
  if (!effect) return E_POINTER;
  kind_ = KindOf(data);
  enterTick_ = ::GetTickCount();
  broughtToFront_ = false;
  if (kind_ == Kind::kNone) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  ShowTarget(TreePoint(point));
  *effect = Shown(*effect);
  return S_OK;
}

// A drag that lingers brings the window up, so that a window covered by the browser can be
// reached by holding the link over its task-bar button.
HRESULT CSiteDropTarget::DragOver(DWORD, POINTL point, DWORD* effect) noexcept {
  if (!effect) return E_POINTER;
  if (!broughtToFront_ && ::GetTickCount() - enterTick_ > kBringToFrontAfterMs) {
    broughtToFront_ = true;
    // Once this call has returned: the dragging program waits for it.
    ::PostMessageW(view_.hwnd(), WM_COMMAND, ID_BRING_TO_FRONT, 0);
  }
  if (kind_ == Kind::kNone) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  ShowTarget(TreePoint(point));
  *effect = Shown(*effect);
  return S_OK;
}

HRESULT CSiteDropTarget::DragLeave() noexcept {
  view_.ClearDropMarks();
  kind_ = Kind::kNone;
  return S_OK;
}

HRESULT CSiteDropTarget::Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) noexcept {
  if (!effect) return E_POINTER;
  view_.ClearDropMarks();
  try {
    Accept(data, TreePoint(point));
  } catch (...) {
    // a drop that cannot be taken is ignored
  }
  kind_ = Kind::kNone;
  *effect = Shown(*effect);
  return S_OK;
}

// Moves within the tree are done at once. Text and files from other programs are posted: their
// flow asks with dialogs and downloads, while the dragging program waits in its drag loop until
// this call returns.
void CSiteDropTarget::Accept(IDataObject* data, POINT client) {
  bool lowerHalf = false;
  const ItemId target = view_.NodeAtPoint(client, &lowerHalf);
  HWND frame = ::GetParent(view_.hwnd());
  if (const auto site = ReadId(data, SiteDragFormat())) {
    BringToFront(frame);
    view_.MoveSite(*site, target);
  } else if (const auto folder = ReadId(data, FolderDragFormat())) {
    BringToFront(frame);
    view_.MoveFolder(*folder, target, lowerHalf);
  } else if (const auto text = ReadText(data)) {
    (void)PostHeapText(view_.hwnd(), kMsgTextDropped, *text, static_cast<LPARAM>(target));
  } else if (const auto file = ReadFirstFile(data)) {
    (void)PostHeapText(view_.hwnd(), kMsgFileDropped, *file, MAKELPARAM(client.x, client.y));
  }
}
