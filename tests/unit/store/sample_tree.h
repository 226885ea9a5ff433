// A tree that uses every field the data file stores, shared by the tests of its reader and
// writer; tests/data/datafile/sample.dat is this tree as the file must be written.
#pragma once

#include <memory>

#include "store/data_file.h"

inline std::unique_ptr<CRssItem> SampleArticle(TextView title, TextView date, bool fresh) {
  auto article = std::make_unique<CRssItem>();
  article->title = title;
  article->link = u"http://example.jp/a?x=1&y=\"2\"";
  article->dateText = date;
  if (fresh) {
    article->newFlag = 1;
    article->creator = u"山田 <編集>";
    article->content = u"<p>本文 &amp; 'quote'</p>";
    article->enclosure = u"http://example.jp/a.mp3?a=1&b=2";
  }
  return article;
}

inline FolderList SampleTree() {
  FolderList folders;
  auto news = std::make_unique<CFolderItem>();
  news->title = u"ニュース & 話題";
  news->newFlag = 1;
  news->interval = 30;
  news->src = u"http://example.jp/list.opml";
  news->orgSrc = u"http://example.jp/old-list.opml";
  news->lastModified = u"Sat, 07 Sep 2002 00:00:01 GMT";
  news->user = u"ユーザー";
  news->pass = u"AAAAAGZha2U=";
  news->checkCount = 10;
  news->errorCount = 2;
  news->updateCount = 3;
  news->updateTime = 1700000000;
  news->errorCode = 404;
  news->filterMode = 9;
  news->filterKeywords = u"\"ス ポーツ\" 野球";
  news->filterFields = 4;

  auto full = std::make_unique<CRssSiteItem>();
  full->title = u"日本語のサイト";
  full->link = u"http://example.jp/";
  full->src = u"http://example.jp/rss.xml";
  full->orgSrc = u"http://example.jp/index.rdf";
  full->lastModified = u"Sun, 08 Sep 2002 00:00:01 GMT";
  full->etag = u"W/\"3e-5d&<\"";  // weak, with characters the file must escape
  full->user = u"user";
  full->pass = u"AQAAAGZha2U=";
  full->newFlag = 1;
  full->compareDate = 0;
  full->noCheck = 1;
  full->checkCount = 4000000000u;
  full->errorCount = 1;
  full->updateCount = 2;
  full->updateTime = -5;
  full->errorCode = 10012;
  full->articles = std::make_unique<CRssItemArray>(full->src, full->title, full->link,
                                                   u"2004-05-06T07:08:09+09:00");
  full->articles->Append(SampleArticle(u"新着 <記事>", u"2004-05-06T07:08:09+09:00", true));
  full->articles->Append(SampleArticle(u"既読", u"Thu, 06 May 2004 00:00:00 +0900", false));
  const CItemBase* last = InsertChildAfter(*news, std::move(full), nullptr);

  auto plain = std::make_unique<CRssSiteItem>();
  plain->title = u"plain";
  plain->src = u"http://example.com/feed";
  plain->orgSrc = plain->src;
  InsertChildAfter(*news, std::move(plain), last);
  folders.push_back(std::move(news));

  auto empty = std::make_unique<CFolderItem>();
  empty->title = u"空";
  empty->src = u"local.opml";  // not an address: not written
  folders.push_back(std::move(empty));
  return folders;
}
