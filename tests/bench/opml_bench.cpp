// `make bench`: a list of 10,000 outlines imported into a folder and followed by a synchronised
// folder, through the real view and its tree control, from the list's bytes to the last node.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "store/opml.h"
#include "tests/bench/bench_support.h"
#include "ui/child_view_win.h"
#include "util/file_io_win.h"
#include "util/wide_win.h"
#include "util/xml_dom_win.h"

namespace {

constexpr int kOutlines = 10000;
constexpr int kReplaced = 1000;  // the second synchronisation sees this many sites change
constexpr double kTargetSeconds = 1.0;

// Feeds on a port nobody answers: the checks a synchronisation queues end at once.
std::string OpmlList(int firstSite) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><opml version=\"1.0\"><head><title>大きな一覧</title>"
                     "</head><body>";
  for (int i = firstSite; i < firstSite + kOutlines; ++i) {
    const std::string number = std::to_string(i);
    text += "<outline type=\"rss\" text=\"サイト " + number + "\" xmlUrl=\"http://127.0.0.1:9/feed/" + number +
            ".xml\" htmlUrl=\"http://example.jp/" + number + "/\"/>";
  }
  return text + "</body></opml>";
}

class HostWindow : public CWindow {
 public:
  bool Create() {
    RegisterWindowClass(::GetModuleHandleW(nullptr), L"pelun_bench_host");
    return CreateWindowOfClass(L"pelun_bench_host", L"bench", WS_OVERLAPPEDWINDOW, 0, RECT{0, 0, 300, 400},
                               nullptr, nullptr, ::GetModuleHandleW(nullptr));
  }
};

std::optional<OpmlDocument> ReadList(const std::string& bytes) {
  auto root = LoadXmlDocument(bytes);
  return root ? ReadOpml(*root) : std::nullopt;
}

}  // namespace

bool RunOpmlBench() {
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, temp);
  const Text directory = FromWide(temp) + u"pelun_opml_bench_" + UnsignedDecimalText(::GetCurrentProcessId()) + u"\\";
  ::CreateDirectoryW(W(directory), nullptr);
  if (!ReplaceFileContents(directory + u"pelun.ini", "[Option]\r\nport=0\r\ntimer=0\r\nfirst=0\r\n")) return false;
  WSADATA sockets{};  // the view's local server needs them, as in the program
  if (::WSAStartup(MAKEWORD(1, 1), &sockets) != 0) return false;
  HostWindow host;
  if (!host.Create()) return false;
  auto view = std::make_unique<CChildView>(AppDirectories{directory, directory, directory});
  if (!view->Create(host.hwnd(), ::GetModuleHandleW(nullptr))) return false;

  const std::string first = OpmlList(0), second = OpmlList(kReplaced);
  std::printf("OPML list: %d outlines, %.1f MB\n", kOutlines, first.size() / 1048576.0);

  auto plain = std::make_unique<CFolderItem>();
  plain->title = u"取り込み先";
  CFolderItem* target = view->AppendFolder(std::move(plain));
  double start = Seconds();
  auto list = ReadList(first);
  if (!list || list->tooLarge) return false;
  const OpmlImport imported = view->ImportOpmlList(target, nullptr, list->items);
  Report("import into a folder", Seconds() - start, kTargetSeconds);
  if (imported.sites.size() != size_t(kOutlines)) return false;

  auto followed = std::make_unique<CFolderItem>();
  followed->title = u"同期フォルダ";
  followed->src = u"http://127.0.0.1:9/list.opml";
  const ItemId followedId = view->IdOfItem(view->AppendFolder(std::move(followed)));
  for (const auto& [name, bytes] : {std::pair{"synchronise: all new", &first}, std::pair{"synchronise: 10% changed", &second}}) {
    start = Seconds();
    list = ReadList(*bytes);
    if (!list || !view->SyncFolder(followedId, list->items, false, false)) return false;
    Report(name, Seconds() - start, kTargetSeconds);
  }
  const auto* folder = static_cast<const CFolderItem*>(view->ItemFromId(followedId));
  const bool whole = folder && folder->Children().size() == size_t(kOutlines);
  view->StopChecks();
  view.reset();
  WIN32_FIND_DATAW found{};
  if (HANDLE search = ::FindFirstFileW(W(directory + u"*"), &found); search != INVALID_HANDLE_VALUE) {
    do ::DeleteFileW(W(directory + FromWide(found.cFileName)));
    while (::FindNextFileW(search, &found));
    ::FindClose(search);
  }
  ::RemoveDirectoryW(W(directory));
  ::WSACleanup();
  return whole;
}
