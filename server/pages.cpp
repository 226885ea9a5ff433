#include "server/pages.h"

#include <optional>
#include <vector>

#include "server/outside_links.h"
#include "server/page_markup.h"
#include "server/page_script.h"
#include "server/site_block.h"
#include "util/text_escape.h"

namespace {

// Access keys of the first tabs; later folders have none.
constexpr TextView kTabAccessKeys = u"1234567890";

struct TopFolder {
  ItemId id;
  const CFolderItem* folder;
  CFolderItem::ChildCount count;
};

std::vector<TopFolder> TopFolders(const IPageSource& source) {
  std::vector<TopFolder> folders;
  for (ItemId id : source.TopLevelFolderIds()) {
    const CItemBase* item = source.ItemFromId(id);
    if (!item || item->kind != CItemBase::kKindFolder) continue;
    const auto* folder = static_cast<const CFolderItem*>(item);
    folders.push_back({id, folder, CountChildren(*folder)});
  }
  return folders;
}

Text Decimal(int value) { return DecimalText(value); }

Text SearchForm() {
  return u"<form class=\"top_header\" method=\"get\" action=\"" + Text(kWebSearchUrl) +
         u"\">\n<a class=\"pelun\" href=\"/\">pelun</a>\n"
         u"<input type=\"text\" size=\"41\" maxlength=\"100\" name=\"" +
         Text(kWebSearchQueryName) +
         u"\" id=\"q\" />\n"
         u"<input type=\"submit\" value=\"Google検索\" />\n"
         u"<input type=\"button\" value=\"Amazon検索\" onclick=\"location.href='" +
         Text(kShoppingSearchUrl) +
         u"' + encodeURIComponent(document.getElementById('q').value);\" />\n"
         u"</form>\n";
}

Text PageLinks() {
  return u"<span class=\"pelun_page\">\n<script><!--\n"
         u"if (navigator.userAgent.indexOf('MSIE') >= 0) document.write('<a id=\"sethomepage\" "
         u"href=\"#\" onclick=\"this.style.behavior=\\'url(#default#homepage)\\';"
         u"this.setHomePage(location.href);return false;\">スタートページに設定</a> | ');\n"
         u"//--></script>\n<a href=\"" +
         Text(kDownloadPageUrl) + u"\">ダウンロードページ</a>\n</span>\n";
}

// A folder page shows the sites with news in full and the others as title lines; without the
// with-new flag it must not hide news it would then mark read.
std::optional<Text> FolderBlocks(const IPageSource& source, ItemId folderId, bool withNew,
                                 TextView whitelist) {
  struct Child {
    ItemId id;
    const CRssSiteItem* site;
  };
  std::vector<Child> fresh, old;
  for (ItemId id : source.ChildIds(folderId)) {
    const CItemBase* item = source.ItemFromId(id);
    if (!item || item->kind != CItemBase::kKindSite) continue;
    (item->newFlag != 0 ? fresh : old).push_back({id, static_cast<const CRssSiteItem*>(item)});
  }
  if (!withNew && !fresh.empty()) return std::nullopt;
  const bool oldTitleOnly = source.Settings().titleOnly != 0 || !fresh.empty();
  Text out;
  int index = 0;
  for (const Child& child : fresh)
    out += BuildSiteBlock(*child.site, true, child.id, index++, static_cast<int>(fresh.size()),
                          whitelist, false);
  for (const Child& child : old)
    out += BuildSiteBlock(*child.site, false, child.id, index++, static_cast<int>(old.size()),
                          whitelist, oldTitleOnly);
  return out;
}

}  // namespace

Text BuildTopPage(const IPageSource& source) {
  Text out = CommonHead(u"<title>pelun</title>\n");
  out += u"</head>\n<body id=\"folder_body\">\n";
  out += SearchForm();
  out += PageLinks();
  out +=
      u"\u3000<br clear=\"all\" />\n<div class=\"top_titlebar\">フォルダ</div>\n"
      u"<ul class=\"folder\">\n";
  for (const TopFolder& top : TopFolders(source)) {
    const Text id = UnsignedDecimalText(top.id);
    out += u"<li><a href=\"./new?" + id + u"\">" + EscapeHtml(top.folder->GetTitle()) + u"</a>";
    out += u"<span>（" + Decimal(top.count.fresh) + u"）</span>\n";
    if (source.PageFileExists(top.id))
      out += u"<div class=\"folder_recent\">- <a href=\"./top?" + id + u"\">最近の表示</a></div>";
    out += u"</li>";
  }
  out += u"</ul>\n<br clear=\"all\" />\n</body>\n</html>\n";
  return out;
}

Text BuildFolderListXml(const IPageSource& source) {
  Text out = u"<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<folderlist>\r\n";
  for (const TopFolder& top : TopFolders(source)) {
    const Text id = UnsignedDecimalText(top.id);
    out += u"<folder><url>/new?" + id + u"</url><title>" + EscapeHtml(top.folder->GetTitle()) +
           u"</title>";
    if (source.PageFileExists(top.id)) out += u"<url2>/top?" + id + u"</url2>";
    out += u"<new>" + Decimal(top.count.fresh) + u"</new><all>" + Decimal(top.count.all) +
           u"</all></folder>\r\n";
  }
  out += u"</folderlist>\r\n";
  return out;
}

Text BuildBarScript(const IPageSource& source, ItemId id) {
  Text out = u"document.write('<div id=\"bar\">');\n";
  const std::vector<TopFolder> folders = TopFolders(source);
  bool anyNews = false;
  for (size_t k = 0; k < folders.size(); ++k) {
    const TopFolder& top = folders[k];
    anyNews = anyNews || top.count.fresh != 0;
    const TextView tabClass = top.id == id ? u"tab_active" : top.count.fresh ? u"tab" : u"tab2";
    const Text name = EscapeForScript(top.folder->GetTitle());
    const Text title = EscapeForScript(top.folder->GetTitle() + u" (" + Decimal(top.count.fresh) +
                                       u"/" + Decimal(top.count.all) + u")");
    out += u"document.write('<span class=\"" + Text(tabClass) + u"\"><a href=\"./new?" +
           UnsignedDecimalText(top.id) + u"\" target=\"_top\" title=\"" + title + u"\"";
    if (k < kTabAccessKeys.size()) out += u" accesskey=\"" + Text(1, kTabAccessKeys[k]) + u"\"";
    out += u">" + name + u"</a></span>');\n";
  }
  out +=
      u"document.write('<div class=\"tab_nextBox\">');\n"
      u"document.write('<span class=\"tab_next\"><a href=\"./\" target=\"_top\" "
      u"accesskey=\"t\">トップ</a></span>');\n";
  if (anyNews)
    out +=
        u"document.write('<span class=\"tab_next\"><a href=\"./new\" target=\"_top\" "
        u"accesskey=\"n\">次の未読</a></span>');\n";
  out +=
      u"document.write('</div>');\ndocument.write('</div>');\n"
      u"document.body.style.marginTop = document.getElementById('bar').scrollHeight + 6 + "
      u"'px';\n";
  return out;
}

Text BuildPage(IPageSource& source, ItemId id, bool withNew) {
  const Text whitelist = source.BodyWhitelist();
  const CItemBase* item = id ? source.ItemFromId(id) : nullptr;
  if (!item) return Text(kErrorPage);
  Text blocks;
  if (item->kind == CItemBase::kKindSite) {
    blocks = BuildSiteBlock(static_cast<const CRssSiteItem&>(*item), item->newFlag != 0, id, 0, 1,
                            whitelist, false);
  } else if (item->kind == CItemBase::kKindFolder) {
    auto folderBlocks = FolderBlocks(source, id, withNew, whitelist);
    if (!folderBlocks) return Text(kErrorPage);
    blocks = std::move(*folderBlocks);
  } else {
    return Text(kErrorPage);
  }
  Text out = CommonHead(u"<title>" + EscapeHtml(item->GetTitle()) + u"</title>\n");
  out += PageScript();
  out += u"<base target=\"";
  out += source.Settings().targetBlank != 0 ? u"_blank" : u"_top";
  out += u"\" />\n</head>\n<body id=\"feed_body\">\n<script src=\"./bar.js?" +
         UnsignedDecimalText(id) + u"\"></script>\n";
  out += blocks;
  out += u"</body></html>\n";
  source.MarkRead(id);
  return out;
}
