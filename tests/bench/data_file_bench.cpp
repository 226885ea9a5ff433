// `make bench`: saving and loading a large data file through the platform's DOM, then the OPML
// benchmark. Prints each figure beside its target; it asserts nothing.
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "store/data_file_win.h"
#include "tests/bench/bench_support.h"
#include "util/file_io_win.h"
#include "util/wide_win.h"

namespace {

constexpr int kFolders = 40;
constexpr int kSitesPerFolder = 50;  // 2,000 sites
constexpr int kArticlesPerSite = 15;
constexpr int kRuns = 5;
constexpr double kTargetSeconds = 1.0;

// Sites as a check leaves them: a third of the articles new, with bodies.
FolderList LargeTree() {
  FolderList folders;
  for (int f = 0; f < kFolders; ++f) {
    auto folder = std::make_unique<CFolderItem>();
    folder->title = u"フォルダ " + DecimalText(f);
    const CItemBase* last = nullptr;
    for (int s = 0; s < kSitesPerFolder; ++s) {
      auto site = std::make_unique<CRssSiteItem>();
      const Text number = DecimalText(f * kSitesPerFolder + s);
      site->title = u"日本語のサイト " + number;
      site->link = u"https://example.jp/site/" + number + u"/";
      site->src = site->link + u"index.rdf";
      site->orgSrc = site->src;
      site->lastModified = u"Sat, 07 Sep 2002 00:00:01 GMT";
      site->checkCount = 1000;
      site->updateTime = 1700000000;
      site->articles = std::make_unique<CRssItemArray>(site->src, site->title, site->link,
                                                       u"2024-01-15T12:00:00+09:00");
      for (int a = 0; a < kArticlesPerSite; ++a) {
        auto article = std::make_unique<CRssItem>();
        article->title = u"記事の見出し、それなりの長さがあるもの " + DecimalText(a);
        article->link = site->link + u"entry/" + DecimalText(a) + u".html";
        article->dateText = u"2024-01-" + DecimalText(10 + a) + u"T12:00:00+09:00";
        if (a % 3 == 0) {
          article->newFlag = 1;
          article->creator = u"編集部";
          article->content = u"<p>本文の段落です。&lt;リンク&gt;や<b>強調</b>を含みます。</p>";
          for (int i = 0; i < 4; ++i) article->content += article->content;
        }
        site->articles->Append(std::move(article));
      }
      last = InsertChildAfter(*folder, std::move(site), last);
    }
    folders.push_back(std::move(folder));
  }
  return folders;
}

}  // namespace

int main() {
  if (FAILED(::OleInitialize(nullptr))) return 1;
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, temp);
  const Text path = FromWide(temp) + u"pelun_bench.dat";
  const FolderList tree = LargeTree();

  std::vector<double> saves, loads;
  for (int run = 0; run < kRuns; ++run) {
    const double start = Seconds();
    if (!SaveDataFile(path, tree)) return 2;
    saves.push_back(Seconds() - start);

    FolderList loaded;
    const double loadStart = Seconds();
    if (!LoadDataFile(path, ItemReadOptions{}, loaded)) return 3;
    loads.push_back(Seconds() - loadStart);
    if (loaded.size() != tree.size()) return 4;
  }
  const auto size = ReadWholeFile(path).value_or(std::string()).size();
  std::printf("data file: %d sites, %d articles each, %.1f MB; median of %d runs\n",
              kFolders * kSitesPerFolder, kArticlesPerSite, size / 1048576.0, kRuns);
  Report("save (SaveDataFile)", Median(saves), kTargetSeconds);
  Report("load (LoadDataFile)", Median(loads), kTargetSeconds);
  ::DeleteFileW(W(path));
  const bool opml = RunOpmlBench();
  ::OleUninitialize();
  return opml ? 0 : 5;
}
