// Commands that look at and drive the program's site tree from another process: the tree's
// items are read through memory allocated in the program (a tree control's messages carry
// pointers, which the system does not carry across processes), dialogs and message boxes are
// answered by caption, and a node is dropped on the tree by a real OLE drag from here.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "shared/names.h"
#include "ui/drag_formats_win.h"
#include "ui/tree_data_object_win.h"
#include "util/unique_handle_win.h"
#include "util/wide_win.h"
#include "tests/wine/wintool_poll.h"
#include "tests/wine/wintool_tree.h"

namespace {

constexpr DWORD kWaitMs = 15000;

std::string ToAnsi(const std::wstring& text) {
  const int size = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? size : 1, '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  bytes.resize(bytes.size() - 1);  // the terminator; the data object adds its own
  return bytes;
}

void PrintUtf8Line(const std::wstring& text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? size : 1, '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  std::printf("%s\n", bytes.c_str());
}

HWND MainWindow() { return ::FindWindowW(W(kMainWindowClass), W(kMainWindowTitle)); }

HWND TreeControl() {
  HWND view = ::FindWindowExW(MainWindow(), nullptr, L"pelun_view_class", nullptr);
  return view ? ::GetDlgItem(view, 1000) : nullptr;
}

template <typename Find>
HWND WaitFor(Find find) {
  HWND window = nullptr;
  PollFor(kWaitMs, [&] { return (window = find()) != nullptr; });
  return window;
}

// A scratch block inside the program's process for the tree's item structures.
class RemoteBlock {
 public:
  static constexpr SIZE_T kSize = 4096;
  explicit RemoteBlock(HWND window) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    process_.reset(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process));
    if (process_) address_ = ::VirtualAllocEx(process_.get(), nullptr, kSize, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteBlock() {
    if (address_) ::VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
  }
  bool ok() const { return address_ != nullptr; }
  char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool Write(size_t offset, const void* data, size_t size) const {
    return ::WriteProcessMemory(process_.get(), at(offset), data, size, nullptr) != FALSE;
  }
  bool Read(size_t offset, void* data, size_t size) const {
    return ::ReadProcessMemory(process_.get(), at(offset), data, size, nullptr) != FALSE;
  }

 private:
  unique_handle process_;
  void* address_ = nullptr;
};

struct NodeInfo {
  std::wstring text;
  int image = -1;
  bool bold = false;
  bool selected = false;
  RECT row{};  // on the screen; empty when the node is not shown
};

bool ReadNode(HWND tree, const RemoteBlock& block, HTREEITEM node, NodeInfo& info) {
  constexpr size_t kTextOffset = 512;
  constexpr int kTextChars = 1024;
  TVITEMW item{};
  item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_STATE | TVIF_HANDLE;
  item.hItem = node;
  item.stateMask = TVIS_BOLD | TVIS_SELECTED;
  item.pszText = reinterpret_cast<wchar_t*>(block.at(kTextOffset));
  item.cchTextMax = kTextChars;
  if (!block.Write(0, &item, sizeof item) || !::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(block.at(0))))
    return false;
  wchar_t text[kTextChars] = {};
  block.Read(0, &item, sizeof item);
  block.Read(kTextOffset, text, sizeof text - sizeof(wchar_t));
  info.text = text;
  info.image = item.iImage;
  info.bold = (item.state & TVIS_BOLD) != 0;
  info.selected = (item.state & TVIS_SELECTED) != 0;
  RECT rect{};
  block.Write(256, &node, sizeof node);  // the message takes the node in the rectangle's place
  if (::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(block.at(256)))) {
    block.Read(256, &rect, sizeof rect);
    ::MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    info.row = rect;
  }
  return true;
}

// Every node in tree order: "level image bold selected left top right bottom text", tab-separated.
int PrintTree() {
  HWND tree = TreeControl();
  RemoteBlock block(tree);
  if (!tree || !block.ok()) {
    std::puts(tree ? "no memory in the program's process" : "no tree");
    return 1;
  }
  for (HTREEITEM folder = TreeView_GetRoot(tree); folder; folder = TreeView_GetNextSibling(tree, folder)) {
    for (int level = 0; level < 2; ++level) {
      HTREEITEM first = level == 0 ? folder : TreeView_GetChild(tree, folder);
      for (HTREEITEM node = first; node; node = level == 0 ? nullptr : TreeView_GetNextSibling(tree, node)) {
        NodeInfo info;
        if (!ReadNode(tree, block, node, info)) {
          std::puts("a node could not be read");
          return 1;
        }
        wchar_t line[64];
        std::swprintf(line, 64, L"%d\t%d\t%d\t%d\t%ld\t%ld\t%ld\t%ld\t", level, info.image, info.bold ? 1 : 0,
                      info.selected ? 1 : 0, info.row.left, info.row.top, info.row.right, info.row.bottom);
        PrintUtf8Line(line + info.text);
      }
    }
  }
  return 0;
}

HTREEITEM FindNode(HWND tree, const RemoteBlock& block, const std::wstring& text) {
  for (HTREEITEM folder = TreeView_GetRoot(tree); folder; folder = TreeView_GetNextSibling(tree, folder)) {
    NodeInfo info;
    if (ReadNode(tree, block, folder, info) && info.text == text) return folder;
    for (HTREEITEM site = TreeView_GetChild(tree, folder); site; site = TreeView_GetNextSibling(tree, site))
      if (ReadNode(tree, block, site, info) && info.text == text) return site;
  }
  return nullptr;
}

int SelectNode(const std::wstring& text) {
  HWND tree = TreeControl();
  RemoteBlock block(tree);
  HTREEITEM node = tree && block.ok() ? FindNode(tree, block, text) : nullptr;
  if (!node) return 1;
  TreeView_EnsureVisible(tree, node);
  return TreeView_SelectItem(tree, node) ? 0 : 1;
}

// Types into the label editor that the rename command opened, and accepts it.
int FinishLabelEdit(const wchar_t* text) {
  HWND tree = TreeControl();
  HWND edit = tree ? WaitFor([tree] { return TreeView_GetEditControl(tree); }) : nullptr;
  if (!edit) return 1;
  ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  ::SendMessageW(tree, TVM_ENDEDITLABELNOW, FALSE, 0);
  return 0;
}

HWND WaitForDialog(const wchar_t* title) {
  return WaitFor([title] {
    HWND dialog = ::FindWindowW(L"#32770", title);
    return dialog && ::IsWindowVisible(dialog) ? dialog : nullptr;
  });
}

// Prints a message box's text and its default button, then presses `button`.
int AnswerBox(const wchar_t* title, int button) {
  HWND box = WaitForDialog(title);
  if (!box) return 1;
  int defaultButton = 0;
  for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    wchar_t text[1024] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(child, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
    wchar_t className[32] = {};
    ::GetClassNameW(child, className, 32);
    if (_wcsicmp(className, L"Static") == 0 && *text) PrintUtf8Line(std::wstring(L"text=") + text);
    if ((::GetWindowLongW(child, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON && _wcsicmp(className, L"Button") == 0)
      defaultButton = ::GetDlgCtrlID(child);
  }
  std::printf("default=%d\n", defaultButton);
  return ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0) ? 0 : 1;
}

// Lets the drag reach the target for a few rounds of the drag loop, then drops.
class DropAfterAWhile final : public IDropSource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override {
    if (iid == IID_IUnknown || iid == IID_IDropSource) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 2; }  // lives on the stack
  ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) noexcept override {
    return ++rounds_ < 6 ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) noexcept override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  int rounds_ = 0;
};

// "drag site|folder ID X Y": drops an item id at a point of the screen, as a drag from the
// tree does; "drag text TEXT X Y" drops text, as a link dragged from a browser.
int Drag(const std::wstring& kind, const std::wstring& what, int x, int y) {
  if (FAILED(::OleInitialize(nullptr))) return 1;
  const bool text = kind == L"text";
  const UINT format = text ? 0 : kind == L"folder" ? FolderDragFormat() : SiteDragFormat();
  const ItemId id = text ? 0 : static_cast<ItemId>(std::wcstoul(what.c_str(), nullptr, 10));
  IDataObject* data = CTreeDataObject::Create(format, id, text ? ToAnsi(what) : "item");
  DropAfterAWhile source;
  ::SetCursorPos(x, y);
  DWORD effect = DROPEFFECT_NONE;
  POINT cursor{};
  ::GetCursorPos(&cursor);
  const HRESULT result = ::DoDragDrop(data, &source, text ? DROPEFFECT_COPY | DROPEFFECT_MOVE : DROPEFFECT_MOVE, &effect);
  data->Release();
  std::printf("result=0x%lx\neffect=%lu\ncursor=%ld,%ld\n", static_cast<unsigned long>(result),
              static_cast<unsigned long>(effect), cursor.x, cursor.y);
  ::OleUninitialize();
  return result == DRAGDROP_S_DROP ? 0 : 1;
}

// Posts a command while Shift is held down, as a user holding Shift on a menu would.
int PostWithShift(UINT command) {
  HWND main = MainWindow();
  if (!main) return 1;
  ::SetForegroundWindow(main);
  ::keybd_event(VK_SHIFT, 0, 0, 0);
  ::Sleep(400);
  const bool posted = ::PostMessageW(main, WM_COMMAND, command, 0) != FALSE;
  ::Sleep(800);
  ::keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
  return posted ? 0 : 1;
}

}  // namespace

// What the system sends when the main window goes to a monitor of another DPI: the new DPI and
// the suggested window rectangle, which lies in the program's memory.
int SendDpiChanged(UINT dpi, const RECT& suggested) {
  constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED
  HWND main = MainWindow();
  const RemoteBlock block(main);
  if (!main || !block.ok() || !block.Write(0, &suggested, sizeof suggested)) return 1;
  ::SendMessageW(main, kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(block.at(0)));
  return 0;
}

int RunTreeCommand(int argc, wchar_t** argv) {
  const std::wstring command = argc >= 2 ? argv[1] : L"";
  if (command == L"tree-items" && argc == 2) return PrintTree();
  if (command == L"tree-select" && argc == 3) return SelectNode(argv[2]);
  if (command == L"tree-label" && argc == 3) return FinishLabelEdit(argv[2]);
  if (command == L"answer-box" && argc == 4) return AnswerBox(argv[2], static_cast<int>(std::wcstol(argv[3], nullptr, 10)));
  if (command == L"drag" && argc == 6)
    return Drag(argv[2], argv[3], std::wcstol(argv[4], nullptr, 10), std::wcstol(argv[5], nullptr, 10));
  if (command == L"shift-post" && argc == 3) return PostWithShift(std::wcstoul(argv[2], nullptr, 10));
  if (command == L"dpi-changed" && argc == 7) {
    const auto number = [&](int i) { return static_cast<LONG>(std::wcstol(argv[i], nullptr, 10)); };
    return SendDpiChanged(static_cast<UINT>(number(2)), RECT{number(3), number(4), number(5), number(6)});
  }
  return -1;
}
