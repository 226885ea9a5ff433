// The extension's rules that need no browser: a page's feeds, the folder list, the addresses
// handed over. Run by node's test runner (ctest: native.extension).
import assert from "node:assert/strict";
import test from "node:test";

import { feedsOfFrames, kMaxFeeds } from "../../extension/feed_discovery.js";
import { parseFolderList } from "../../extension/folder_list.js";
import { webAddress } from "../../extension/pelun_server.js";

const rss = (href, title = null, rel = "alternate", type = "application/rss+xml") => ({ type, rel, href, title });

test("a page's feeds follow the band's rules, newest first", () => {
  const links = [
    rss("a.xml", "A\r\n1"),
    rss("../b.xml", null, "ALTERNATE", "Application/XML+Atom"),
    rss("c.css", "style", "stylesheet", "text/css"),
    rss("d.html", "page", "alternate", "text/html"),
    rss("e.xml", "two rels", "alternate feed"),
    rss("javascript:alert(1)", "script"),
    rss("", "empty"),
    rss(null, "no href"),
    rss("https://other.example/f.xml#top", "F"),
    rss("a.xml", "A again"),
  ];
  assert.deepEqual(feedsOfFrames([{ page: "http://host/dir/page.html", links }]), [
    { title: "A again", url: "http://host/dir/a.xml" },
    { title: "F", url: "https://other.example/f.xml" },
    { title: "../b.xml", url: "http://host/b.xml" },
  ]);
});

test("each frame resolves against its own address, and only the newest feeds are kept", () => {
  const many = Array.from({ length: kMaxFeeds + 3 }, (_, i) => rss(`f${i}.xml`));
  const feeds = feedsOfFrames([{ page: "http://host/top/", links: [rss("top.xml")] },
                               { page: "https://frame.example:8443/x/y", links: many }]);
  assert.equal(feeds.length, kMaxFeeds);
  assert.deepEqual(feeds[0], { title: `f${kMaxFeeds + 2}.xml`, url: `https://frame.example:8443/x/f${kMaxFeeds + 2}.xml` });
  assert.ok(!feeds.some((feed) => feed.url === "http://host/top/top.xml"));
});

test("the folder list is read as the server writes it, and nothing else", () => {
  const list = '<?xml version="1.0" encoding="utf-8" ?>\r\n<folderlist>\r\n'
    + "<folder><url>/new?11</url><title>R&amp;D &lt;b&gt; &#x30CB;&#12517;</title><url2>/top?11</url2>"
    + "<new>5</new><all>7</all></folder>\r\n"
    + "<folder><url>/new?12</url><title>B</title><url2>javascript:x</url2><new>x</new><all>2</all></folder>\r\n"
    + "<folder><url>http://evil.example/</url><title>C</title><new>1</new><all>1</all></folder>\r\n"
    + "</folderlist>\r\n";
  assert.deepEqual(parseFolderList(list), [
    { title: "R&D <b> ニュ", url: "/new?11", recentUrl: "/top?11", newCount: 5, allCount: 7 },
    { title: "B", url: "/new?12", recentUrl: null, newCount: 0, allCount: 2 },
  ]);
});

test("only web addresses are handed over", () => {
  assert.equal(webAddress("http://example.com/feed.xml#x"), "http://example.com/feed.xml");
  assert.equal(webAddress("HTTPS://Example.com/a b"), "https://example.com/a%20b");
  for (const text of ["javascript:alert(1)", "file:///etc/passwd", "feed.xml", "data:,x", ""])
    assert.equal(webAddress(text), null, text);
});
