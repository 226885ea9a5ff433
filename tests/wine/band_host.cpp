// Test host of the toolbar band: creates the band by its class id in a window with a rebar,
// gives it a site and a stand-in browser, and plays the browser's events. Reads one command a
// line on stdin and answers on stdout, each answer ending with a line ".":
//   start | band-info | page URL FRAME LINK... | leave FRAME | open-menu articles|feed | menu
//   choose ID | close-menu | button-image ID | navigations | clipboard | close | reopen
//   catch-windows | second start|close (a second window with a band of its own)
//   click ID | hold ctrl|shift|none | util | addrss LOCATION HREF
// FRAME is "top" or a frame's address; LINK is "type|rel|href|title" ("-" for no title).
#include <windows.h>
#include <commctrl.h>
#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <shlobj.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "band/dispatch_call_win.h"
#include "tests/wine/band_host_fakes.h"
#include "util/code_page.h"
#include "util/wide_win.h"

namespace {

const CLSID kBandClsid = {0xDE2BA9C8, 0xCF2E, 0x41DF, {0x8B, 0x64, 0x44, 0x1C, 0x51, 0x6B, 0x64, 0xAE}};
constexpr UINT kCommandMessage = WM_APP + 1;  // sent: lParam a Command, answered in place
constexpr UINT kOpenMenuMessage = WM_APP + 2;  // posted: the menu's modal loop keeps the host busy
constexpr UINT kAddRssMessage = WM_APP + 3;    // posted: a message box may keep the host busy
const CLSID kUtilClsid = {0xA222643E, 0x744A, 0x46F8, {0x85, 0xFE, 0x02, 0x88, 0x3E, 0xC5, 0xC2, 0xE3}};
constexpr DWORD kBandId = 7;

struct Command {
  std::vector<std::wstring> words;
  std::wostringstream answer;
};

std::wstring FromUtf8Line(const std::string& line) {
  const Text text = FromUtf8(line);
  return std::wstring(text.begin(), text.end());
}

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
  std::vector<std::wstring> parts;
  std::wstringstream stream(text);
  for (std::wstring part; std::getline(stream, part, separator);) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.emplace_back();  // an empty last field
  return parts;
}

class CBandHost {
 public:
  bool CreateWindows();
  void Run(Command& command);
  void OpenMenu(int button);
  void AddRss(Command& c);
  HWND hwnd() const { return window_; }

 private:
  void Start(Command& c);
  void BandInfo(Command& c);
  void Page(Command& c);
  void Leave(Command& c);
  void Menu(Command& c);
  void Close(Command& c);
  void Reopen(Command& c);
  void InsertIntoRebar(HWND toolbar);
  CFakeDispatch* Frame(const std::wstring& name, const std::wstring& url, const std::vector<std::wstring>& links);
  void Fire(DISPID id, std::vector<VARIANT> argumentsLastFirst);
  HWND Toolbar() const;

  HWND window_ = nullptr;
  HWND rebar_ = nullptr;
  CFakeDispatch* browser_ = nullptr;
  std::vector<com_ptr<IDispatch>> keep_;  // frames and documents of the pages shown
  com_ptr<IDeskBand> band_;
  WNDPROC rebarProcedure_ = nullptr;
  std::vector<std::wstring> navigations_;
  com_ptr<IDispatch> util_;
};

CBandHost g_host;
CBandHost g_second;

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kCommandMessage) {
    g_host.Run(*reinterpret_cast<Command*>(lParam));
    return 0;
  }
  if (message == kAddRssMessage) {
    std::unique_ptr<Command> command(reinterpret_cast<Command*>(lParam));
    g_host.AddRss(*command);
    return 0;
  }
  if (message == kOpenMenuMessage) {
    g_host.OpenMenu(static_cast<int>(wParam));
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

bool CBandHost::CreateWindows() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &HostProcedure;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"pelun_band_host";
  ::RegisterClassW(&wc);
  window_ = ::CreateWindowExW(0, wc.lpszClassName, L"band host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 640, 120,
                              nullptr, nullptr, wc.hInstance, nullptr);
  rebar_ = ::CreateWindowExW(0, REBARCLASSNAMEW, nullptr,
                             WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | RBS_VARHEIGHT | CCS_NODIVIDER, 0, 0, 620, 30,
                             window_, nullptr, wc.hInstance, nullptr);
  return window_ && rebar_;
}

void CBandHost::Run(Command& c) {
  const std::wstring& verb = c.words[0];
  if (verb == L"start") return Start(c);
  if (verb == L"band-info") return BandInfo(c);
  if (verb == L"page" && c.words.size() >= 3) return Page(c);
  if (verb == L"leave" && c.words.size() == 2) return Leave(c);
  if (verb == L"menu") return Menu(c);
  if (verb == L"close") return Close(c);
  if (verb == L"reopen") return Reopen(c);
  if (verb == L"second" && c.words.size() == 2) {
    Command inner;
    inner.words = {c.words[1]};
    if (!g_second.hwnd()) g_second.CreateWindows();
    g_second.Run(inner);
    c.answer << inner.answer.str();
    return;
  }
  if (verb == L"click" && c.words.size() == 2) {
    // As the toolbar tells its parent of a click: through the rebar's hook.
    ::SendMessageW(rebar_, WM_COMMAND, MAKEWPARAM(std::stoul(c.words[1]), BN_CLICKED),
                   reinterpret_cast<LPARAM>(Toolbar()));
    return;
  }
  if (verb == L"hold" && c.words.size() == 2) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = c.words[1] == L"ctrl" ? 0x80 : 0;
    keys[VK_SHIFT] = c.words[1] == L"shift" ? 0x80 : 0;
    ::SetKeyboardState(keys);
    return;
  }
  if (verb == L"util") {
    util_.reset();
    ::CoCreateInstance(kUtilClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, util_.put_void());
    LPOLESTR name = const_cast<LPOLESTR>(L"AddRSS");
    DISPID id = 0;
    c.answer << L"created=" << (util_ ? 1 : 0) << L" dispid="
             << (util_ && SUCCEEDED(util_->GetIDsOfNames(IID_NULL, &name, 1, 0, &id)) ? id : -1) << L"\n";
    return;
  }
  if (verb == L"catch-windows") {
    int count = 0;
    ::EnumWindows([](HWND window, LPARAM counter) -> BOOL {
      wchar_t name[64] = {};
      DWORD process = 0;
      ::GetWindowThreadProcessId(window, &process);
      if (process == ::GetCurrentProcessId() && ::GetClassNameW(window, name, 64) &&
          lstrcmpW(name, L"p_e_l_u_n_catch_window_class") == 0)
        ++*reinterpret_cast<int*>(counter);
      return TRUE;
    }, reinterpret_cast<LPARAM>(&count));
    c.answer << L"catch-windows=" << count << L"\n";
    return;
  }
  if (verb == L"choose" && c.words.size() == 2) {
    ::EndMenu();
    ::PostMessageW(Toolbar(), WM_COMMAND, std::stoul(c.words[1]), 0);
    return;
  }
  if (verb == L"close-menu") {
    ::EndMenu();
    return;
  }
  if (verb == L"button-image" && c.words.size() == 2) {
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_IMAGE;
    ::SendMessageW(Toolbar(), TB_GETBUTTONINFOW, std::stoul(c.words[1]), reinterpret_cast<LPARAM>(&info));
    c.answer << L"image=" << info.iImage << L"\n";
    return;
  }
  if (verb == L"navigations") {
    for (const std::wstring& n : navigations_) c.answer << L"navigate=" << n << L"\n";
    return;
  }
  if (verb == L"clipboard") {
    std::string text;
    if (::OpenClipboard(window_)) {
      if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(::GlobalLock(data))) text = bytes;
        ::GlobalUnlock(data);
      }
      ::CloseClipboard();
    }
    const Text unicode = FromSystemCodePage(text).value_or(Text());
    c.answer << L"clipboard=" << W(unicode) << L"\n";
    return;
  }
  c.answer << L"error=unknown command\n";
}

HWND CBandHost::Toolbar() const {
  com_ptr<IOleWindow> window;
  HWND toolbar = nullptr;
  if (band_ && SUCCEEDED(band_->QueryInterface(IID_IOleWindow, window.put_void()))) window->GetWindow(&toolbar);
  return toolbar;
}

void CBandHost::Start(Command& c) {
  browser_ = Frame(L"top", L"about:blank", {});
  browser_->OfferEvents();
  browser_->AddMember(L"Navigate", [this](const DISPPARAMS& params, VARIANT*) {
    std::wstring entry;
    for (UINT i = params.cArgs; i-- > 0;)
      entry += (params.rgvarg[i].vt == VT_BSTR ? std::wstring(params.rgvarg[i].bstrVal) : L"-") + L" ";
    navigations_.push_back(entry);
    return S_OK;
  });
  const HRESULT created = ::CoCreateInstance(kBandClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDeskBand, band_.put_void());
  c.answer << L"created=" << (SUCCEEDED(created) ? 1 : 0) << L"\n";
  if (FAILED(created)) return;
  rebarProcedure_ = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(rebar_, GWLP_WNDPROC));
  com_ptr<IObjectWithSite> withSite;
  band_->QueryInterface(IID_IObjectWithSite, withSite.put_void());
  auto* site = new CFakeSite(rebar_, browser_);
  c.answer << L"setsite=" << std::hex << withSite->SetSite(static_cast<IOleWindow*>(site)) << std::dec << L"\n";
  site->Release();
  HWND toolbar = Toolbar();
  wchar_t className[64] = {};
  ::GetClassNameW(toolbar, className, 64);
  c.answer << L"toolbar=" << (toolbar ? 1 : 0) << L" class=" << className
           << L" parent-is-rebar=" << (::GetParent(toolbar) == rebar_ ? 1 : 0) << L" buttons="
           << ::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0) << L"\n";
  InsertIntoRebar(toolbar);
  c.answer << L"visible=" << (::IsWindowVisible(toolbar) ? 1 : 0) << L"\n";
}

// As the browser does: the band's window goes into a rebar band of its own.
void CBandHost::InsertIntoRebar(HWND toolbar) {
  REBARBANDINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_ID | RBBIM_STYLE | RBBIM_SIZE;
  info.fStyle = RBBS_CHILDEDGE;
  info.hwndChild = toolbar;
  info.cxMinChild = 44;
  info.cyMinChild = 24;
  info.cx = 200;
  info.wID = kBandId;
  ::SendMessageW(rebar_, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&info));
  DESKBANDINFO bandInfo{};
  bandInfo.dwMask = DBIM_MINSIZE | DBIM_ACTUAL;
  band_->GetBandInfo(kBandId, DBIF_VIEWMODE_NORMAL, &bandInfo);
  band_->ShowDW(TRUE);
}

// The user hides the toolbar and shows it again: the browser closes the band and sites it anew.
void CBandHost::Reopen(Command& c) {
  band_->CloseDW(0);
  com_ptr<IObjectWithSite> withSite;
  band_->QueryInterface(IID_IObjectWithSite, withSite.put_void());
  withSite->SetSite(nullptr);
  c.answer << L"restored-on-close="
           << (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(rebar_, GWLP_WNDPROC)) == rebarProcedure_ ? 1 : 0)
           << L"\n";
  ::SendMessageW(rebar_, RB_DELETEBAND, 0, 0);
  auto* site = new CFakeSite(rebar_, browser_);
  withSite->SetSite(static_cast<IOleWindow*>(site));
  site->Release();
  HWND toolbar = Toolbar();
  c.answer << L"toolbar=" << (toolbar && ::GetParent(toolbar) == rebar_ ? 1 : 0) << L"\n";
  InsertIntoRebar(toolbar);
}

// Every mask bit set: the title and the background must stay as the host set them.
void CBandHost::BandInfo(Command& c) {
  DESKBANDINFO info{};
  info.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE | DBIM_MODEFLAGS | DBIM_BKCOLOR;
  info.ptMaxSize = {999, 999};
  info.ptIntegral = {5, 5};
  lstrcpyW(info.wszTitle, L"untouched");
  info.crBkgnd = RGB(1, 2, 3);
  info.dwModeFlags = 0xFF;
  const HRESULT result = band_->GetBandInfo(kBandId, DBIF_VIEWMODE_NORMAL, &info);
  c.answer << L"result=" << result << L" min=" << info.ptMinSize.x << L"x" << info.ptMinSize.y << L" max="
           << info.ptMaxSize.x << L"x" << info.ptMaxSize.y << L" integral=" << info.ptIntegral.x << L"x"
           << info.ptIntegral.y << L" actual=" << info.ptActual.x << L"x" << info.ptActual.y << L" modeflags="
           << info.dwModeFlags << L" title=" << info.wszTitle << L" background=" << info.crBkgnd << L"\n";
}

// A browser object: the top window (it has a window handle) or a frame (it has none).
CFakeDispatch* CBandHost::Frame(const std::wstring& name, const std::wstring& url,
                                const std::vector<std::wstring>& links) {
  auto* collection = new CFakeDispatch({});
  std::vector<IDispatch*> elements;
  for (const std::wstring& link : links) {
    std::vector<std::wstring> f = Split(link, L'|');
    f.resize(4);
    auto* element = new CFakeDispatch({IID_IHTMLElement, IID_IHTMLLinkElement});
    element->AddMember(L"type", TextMember(f[0]));
    element->AddMember(L"rel", TextMember(f[1]));
    element->AddMember(L"href", TextMember(f[2]));
    const std::wstring title = f[3];
    element->AddMember(L"getAttribute", [title](const DISPPARAMS&, VARIANT* result) {
      if (title == L"-") {
        result->vt = VT_NULL;
      } else {
        result->vt = VT_BSTR;
        result->bstrVal = ::SysAllocString(title.c_str());
      }
      return S_OK;
    });
    elements.push_back(element);
    keep_.push_back(com_ptr<IDispatch>::Attach(element));
  }
  collection->AddMember(L"length", [count = elements.size()](const DISPPARAMS&, VARIANT* result) {
    result->vt = VT_I4;
    result->lVal = static_cast<LONG>(count);
    return S_OK;
  });
  collection->AddMember(L"item", [elements](const DISPPARAMS& params, VARIANT* result) {
    const LONG index = params.cArgs ? params.rgvarg[params.cArgs - 1].lVal : -1;
    if (index < 0 || static_cast<size_t>(index) >= elements.size()) return E_INVALIDARG;
    return ObjectMember(elements[index])(params, result);
  });
  auto* document = new CFakeDispatch({IID_IHTMLDocument2, IID_IHTMLDocument3});
  document->AddMember(L"getElementsByTagName", ObjectMember(collection));
  auto* frame = new CFakeDispatch({IID_IWebBrowser2, IID_IWebBrowserApp, IID_IWebBrowser});
  frame->AddMember(L"Document", ObjectMember(document));
  frame->AddMember(L"LocationURL", TextMember(url));
  const bool top = name == L"top";
  HWND window = window_;
  frame->AddMember(L"HWND", [top, window](const DISPPARAMS&, VARIANT* result) {
    if (!top) return E_FAIL;
    result->vt = VT_I8;
    result->llVal = reinterpret_cast<LONG_PTR>(window);
    return S_OK;
  });
  keep_.push_back(com_ptr<IDispatch>::Attach(collection));
  keep_.push_back(com_ptr<IDispatch>::Attach(document));
  return frame;
}

void CBandHost::Fire(DISPID id, std::vector<VARIANT> argumentsLastFirst) {
  if (!browser_ || !browser_->Sink()) return;
  DISPPARAMS params{argumentsLastFirst.data(), nullptr, static_cast<UINT>(argumentsLastFirst.size()), 0};
  browser_->Sink()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

// "page URL FRAME LINK...": the document of that frame (or of the top window) has loaded.
void CBandHost::Page(Command& c) {
  const std::wstring& url = c.words[1];
  const std::wstring& name = c.words[2];
  std::vector<std::wstring> links(c.words.begin() + 3, c.words.end());
  CFakeDispatch* frame = Frame(name, url, links);
  keep_.push_back(com_ptr<IDispatch>::Attach(frame));
  Fire(DISPID_DOCUMENTCOMPLETE, {EmptyArgument(), ObjectArgument(frame)});
}

// "leave FRAME": the top window ("top") or the frame showing that address navigates away.
void CBandHost::Leave(Command& c) {
  const std::wstring& name = c.words[1];
  CFakeDispatch* frame = Frame(name, name == L"top" ? L"about:blank" : name, {});
  keep_.push_back(com_ptr<IDispatch>::Attach(frame));
  std::vector<VARIANT> arguments(6, EmptyArgument());
  arguments.push_back(ObjectArgument(frame));
  Fire(DISPID_BEFORENAVIGATE2, arguments);
}

// As the toolbar tells its parent when a button's arrow is pressed: through the rebar's hook.
void CBandHost::OpenMenu(int button) {
  HWND toolbar = Toolbar();
  NMTOOLBARW notice{};
  notice.hdr.hwndFrom = toolbar;
  notice.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(toolbar));
  notice.hdr.code = TBN_DROPDOWN;
  notice.iItem = button;
  ::SendMessageW(rebar_, WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
}

// AddRSS as the context-menu pages call it: by name, through the type library.
void CBandHost::AddRss(Command& c) {
  unique_bstr location(::SysAllocString(c.words[1].c_str()));
  unique_bstr href(::SysAllocString(c.words[2].c_str()));
  unique_variant ignored;
  CallByName(util_.get(), L"AddRSS", DISPATCH_METHOD, {TextArgument(location.get()), TextArgument(href.get())},
             ignored);
}

// The open menu's items: id, greyed, default, text.
void CBandHost::Menu(Command& c) {
  HWND popup = ::FindWindowW(L"#32768", nullptr);
  HMENU menu = popup && ::IsWindowVisible(popup) ? reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0))
                                                 : nullptr;
  if (!menu) {
    c.answer << L"menu=none\n";
    return;
  }
  const UINT defaultId = ::GetMenuDefaultItem(menu, FALSE, 0);
  for (int i = 0, count = ::GetMenuItemCount(menu); i < count; ++i) {
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
    const UINT state = ::GetMenuState(menu, i, MF_BYPOSITION);
    const UINT id = ::GetMenuItemID(menu, i);
    c.answer << L"item=" << (state & MF_SEPARATOR ? 0 : id) << L"|" << ((state & MF_GRAYED) ? 1 : 0) << L"|"
             << (id == defaultId && !(state & MF_SEPARATOR) ? 1 : 0) << L"|" << text << L"\n";
  }
}

// Closing as the browser does; the rebar must have its own procedure back.
void CBandHost::Close(Command& c) {
  band_->CloseDW(0);
  com_ptr<IObjectWithSite> withSite;
  band_->QueryInterface(IID_IObjectWithSite, withSite.put_void());
  withSite->SetSite(nullptr);
  band_.reset();
  c.answer << L"rebar-restored="
           << (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(rebar_, GWLP_WNDPROC)) == rebarProcedure_ ? 1 : 0)
           << L"\n";
  ::CoFreeUnusedLibraries();
}

void PrintUtf8(const std::wstring& text) {
  const std::string bytes = ToUtf8(Text(text.begin(), text.end()));
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fputs(".\n", stdout);
  std::fflush(stdout);
}

// Commands arrive on their own thread; they run on the window thread, also while a menu or a
// message box of the band holds it in a modal loop.
void ReadCommands(HWND host) {
  char line[4096];
  while (std::fgets(line, sizeof line, stdin)) {
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    Command command;
    command.words = Split(FromUtf8Line(text), L'\t');
    if (command.words.empty()) continue;
    if (command.words[0] == L"quit") break;
    if (command.words[0] == L"addrss" && command.words.size() == 3) {
      ::PostMessageW(host, kAddRssMessage, 0, reinterpret_cast<LPARAM>(new Command{std::move(command.words), {}}));
    } else if (command.words[0] == L"open-menu" && command.words.size() == 2) {
      ::PostMessageW(host, kOpenMenuMessage, command.words[1] == L"feed" ? 1005 : 1004, 0);
    } else {
      ::SendMessageW(host, kCommandMessage, 0, reinterpret_cast<LPARAM>(&command));
    }
    PrintUtf8(command.answer.str());
  }
  ::PostMessageW(host, WM_CLOSE, 0, 0);
}

}  // namespace

int main() {
  ::CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
  ::InitCommonControlsEx(&controls);
  if (!g_host.CreateWindows()) return 1;
  std::thread reader(ReadCommands, g_host.hwnd());
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_CLOSE && message.hwnd == g_host.hwnd()) break;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  reader.detach();
  std::fflush(stdout);
  ::ExitProcess(0);
}
