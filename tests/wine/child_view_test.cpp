#include "ui/child_view_win.h"

#include <gtest/gtest.h>

#include "store/data_file_win.h"
#include "util/file_io_win.h"
#include "tests/wine/test_support_win.h"

namespace {

// A plain top-level window to host the view, as the main window does.
class HostWindow : public CWindow {
 public:
  bool Create() {
    RegisterWindowClass(::GetModuleHandleW(nullptr), L"pelun_test_host");
    return CreateWindowOfClass(L"pelun_test_host", L"host", WS_OVERLAPPEDWINDOW, 0,
                               RECT{0, 0, 300, 400}, nullptr, nullptr, ::GetModuleHandleW(nullptr));
  }
};

std::unique_ptr<CFolderItem> FolderWithSites(TextView title, std::initializer_list<TextView> sites) {
  auto folder = std::make_unique<CFolderItem>();
  folder->SetTitle(title);
  const CItemBase* last = nullptr;
  for (TextView siteTitle : sites) {
    auto site = std::make_unique<CRssSiteItem>();
    site->SetTitle(siteTitle);
    site->src = u"http://example.com/" + Text(siteTitle);
    last = InsertChildAfter(*folder, std::move(site), last);
  }
  return folder;
}

Text NodeText(HWND tree, HTREEITEM node) {
  wchar_t text[256] = {};
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = node;
  item.pszText = text;
  item.cchTextMax = 256;
  TreeView_GetItem(tree, &item);
  return FromWide(text);
}

LPARAM NodeData(HWND tree, HTREEITEM node) {
  TVITEMW item{};
  item.mask = TVIF_PARAM;
  item.hItem = node;
  TreeView_GetItem(tree, &item);
  return item.lParam;
}

class ChildViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host_.Create());
    // Any free port and no checks: a busy default port would stop the view at its error box.
    ASSERT_TRUE(ReplaceFileContents(directory_.Path() + u"pelun.ini", "[Option]\r\nport=0\r\ntimer=0\r\nfirst=0\r\n"));
    view_ = std::make_unique<CChildView>(AppDirectories{directory_.Path(), directory_.Path(), directory_.Path()});
    ASSERT_TRUE(view_->Create(host_.hwnd(), ::GetModuleHandleW(nullptr)));
  }

  ScratchDirectory directory_{u"pelun_view_test"};
  HostWindow host_;
  std::unique_ptr<CChildView> view_;
};

}  // namespace

TEST_F(ChildViewTest, TreeControlMirrorsFoldersAndSites) {
  HWND tree = ::GetDlgItem(view_->hwnd(), CChildView::kTreeControlId);
  ASSERT_EQ(tree, view_->TreeControl());
  CFolderItem* news = view_->AppendFolder(FolderWithSites(u"ニュース", {u"a", u"b"}));
  CFolderItem* blogs = view_->AppendFolder(FolderWithSites(u"ブログ", {u"c"}));
  EXPECT_EQ(TreeView_GetCount(tree), 5u);

  HTREEITEM first = TreeView_GetRoot(tree);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(NodeText(tree, first), u"ニュース");
  EXPECT_EQ(NodeData(tree, first), reinterpret_cast<LPARAM>(news));
  HTREEITEM second = TreeView_GetNextSibling(tree, first);
  EXPECT_EQ(NodeData(tree, second), reinterpret_cast<LPARAM>(blogs));

  HTREEITEM siteB = TreeView_GetNextSibling(tree, TreeView_GetChild(tree, first));
  EXPECT_EQ(NodeText(tree, siteB), u"b");
  EXPECT_EQ(NodeData(tree, siteB), reinterpret_cast<LPARAM>(news->Children()[1].get()));

  // Ids lead back to the same node and item, and are never 0.
  const ItemId id = view_->IdFromNode(siteB);
  EXPECT_NE(id, 0u);
  EXPECT_EQ(view_->NodeFromId(id), siteB);
  EXPECT_EQ(view_->ItemFromId(id), news->Children()[1].get());
  if (sizeof(void*) == 4) {
    EXPECT_EQ(id, reinterpret_cast<uintptr_t>(siteB));
  }
  EXPECT_EQ(view_->ItemFromId(0), nullptr);
}

TEST_F(ChildViewTest, SaveWritesSettingsAndLocksTheDataFile) {
  ASSERT_TRUE(view_->SaveSettingsAndData());
  const Text dataFile = directory_.Path() + kDataFileName;
  const std::string data = ReadFileBytes(dataFile);
  EXPECT_EQ(data.rfind("<?xml version='1.0' encoding='utf-8'?>", 0), 0u) << data;
  EXPECT_NE(data.find("<pelun "), std::string::npos);
  EXPECT_NE(ReadFileBytes(directory_.Path() + u"pelun.ini").find("[Option]"), std::string::npos);

  // Others may read the data file but neither change nor delete it while the view holds it.
  EXPECT_FALSE(::DeleteFileW(W(dataFile)));
  unique_hfile writer(::CreateFileW(W(dataFile), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(writer);
  // The lock is released for the next save and taken again after it.
  EXPECT_TRUE(view_->SaveSettingsAndData());
  view_.reset();
  EXPECT_TRUE(::DeleteFileW(W(dataFile)));
}

// A synchronised folder that drops a site cancels that site's check only: the checks of every
// other folder go on.
TEST_F(ChildViewTest, SyncStopsOnlyTheChecksOfTheSitesItDrops) {
  // A server that takes connections and never answers: checks against it stay running.
  SOCKET silent = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(silent, 16), 0);
  ASSERT_EQ(::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const Text server = u"http://127.0.0.1:" + UnsignedDecimalText(::ntohs(address.sin_port)) + u"/";

  auto following = std::make_unique<CFolderItem>();
  following->SetTitle(u"一覧");
  following->src = server + u"list.opml";
  const CItemBase* last = nullptr;
  for (TextView name : {u"kept", u"dropped"}) {
    auto site = std::make_unique<CRssSiteItem>();
    site->SetTitle(name);
    site->src = site->orgSrc = server + Text(name);
    last = InsertChildAfter(*following, std::move(site), last);
  }
  CFolderItem* synced = view_->AppendFolder(std::move(following));
  CFolderItem* other = view_->AppendFolder(FolderWithSites(u"他", {u"slow"}));
  static_cast<CRssSiteItem&>(*other->Children()[0]).src = server + u"slow";
  const ItemId syncedId = view_->IdOfItem(synced);
  const ItemId slowId = view_->IdOfItem(other->Children()[0].get());
  const ItemId droppedId = view_->IdOfItem(synced->Children()[1].get());
  view_->CheckItem(slowId, false, false, true);
  view_->CheckItem(droppedId, false, false, true);
  ASSERT_TRUE(view_->IsCheckRunning(slowId));
  ASSERT_TRUE(view_->IsCheckRunning(droppedId));

  OpmlOutline kept;
  kept.title = u"kept";
  kept.feedUrl = server + u"kept";
  EXPECT_TRUE(view_->SyncFolder(syncedId, {kept}, false, true));
  EXPECT_EQ(view_->ItemFromId(droppedId), nullptr);
  EXPECT_EQ(synced->Children().size(), 1u);
  EXPECT_TRUE(view_->IsCheckRunning(slowId)) << "another folder's check goes on";
  EXPECT_TRUE(view_->IsCheckRunning(view_->IdOfItem(synced->Children()[0].get()))) << "the list's sites are checked";
  EXPECT_TRUE(view_->IsChecking());
  view_->StopChecks();
  ::closesocket(silent);
}
