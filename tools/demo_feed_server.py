#!/usr/bin/env python3
"""Demo feeds for `make run`, so that a first start has something to check without the internet.

Serves, on 127.0.0.1 only:
  /demo.opml          two folders with five made-up Japanese sites, pointing back to this server
  /<site>/<feed>      their feeds: RSS 2.0, RSS 1.0 (RDF) and Atom 1.0, UTF-8
  /<site>/            a home page per site, /<site>/<n>.html one per article, / an index

The articles follow the wall clock: every --new-item-seconds one of the feeds (in turn) gains an
article dated with that moment. A feed starts with its last 5 to 8 articles and grows to at most
15; older ones drop off the end. Because the content is a function of the time, a restarted
server serves the same articles again, and a program that kept its data since the last run sees
only what was really added while it was away. Feeds carry Last-Modified (the time of their newest
article) and answer If-Modified-Since with 304 when nothing was added since.

The server stops by itself after --lifetime seconds, or as soon as --parent-pid is gone.
Requests are logged to stderr, one line each.

    python3 tools/demo_feed_server.py --port 4480 --new-item-seconds 60 --parent-pid $$
"""
import argparse
import datetime
import email.utils
import html
import http.server
import os
import re
import sys
import threading
import time

HOST = "127.0.0.1"
DEFAULT_PORT = 4480
DEFAULT_NEW_ITEM_SECONDS = 60.0
MIN_NEW_ITEM_SECONDS = 1.0     # keeps the Last-Modified seconds of one feed distinct
DEFAULT_LIFETIME = 12 * 3600.0
MAX_FEED_ITEMS = 15
PARENT_POLL_SECONDS = 0.5

JST = datetime.timezone(datetime.timedelta(hours=9), "JST")
# Article numbers count from here, so that they stay small and the same across runs.
EPOCH = datetime.datetime(2024, 1, 1, tzinfo=JST).timestamp()


class Site:
    """One made-up site. Its articles are drawn from two lists whose lengths have no common
    factor, so a title comes back only after len(first) * len(second) articles."""

    def __init__(self, key, folder, dialect, feed_name, title, description, author, first, second,
                 seed):
        self.key, self.folder, self.dialect, self.feed_name = key, folder, dialect, feed_name
        self.title, self.description, self.author = title, description, author
        self.first, self.second = first, second
        self.seed = seed   # articles shown when the server starts

    def feed_path(self):
        return "/%s/%s" % (self.key, self.feed_name)

    def article(self, serial, created):
        """(title, body HTML) of the site's article number `serial`, created at `created`."""
        a = self.first[serial % len(self.first)]
        b = self.second[serial % len(self.second)]
        return ARTICLE_WRITERS[self.key](a, b, serial, created)


def _town(place, event, serial, created):
    headline, sentence = event
    return ("%s：%s" % (place, headline),
            "<p>%sからのお知らせです。%s</p><p>問い合わせ先: みなと町役場 広報係</p>" % (place, sentence))


def _weather(sky, note, serial, created):
    local = datetime.datetime.fromtimestamp(created, JST)
    temperature = 8 + (serial * 7) % 19
    wind = ("北", "南", "西")[serial % 3]
    return ("%d月%d日 %02d:%02d の空：%s" % (local.month, local.day, local.hour, local.minute, sky),
            "<p>%s。気温は%d度、%sの風。%s。</p>" % (sky, temperature, wind, note))


def _recipe(ingredient, dish, serial, created):
    name, hint = dish
    return ("%s%s" % (ingredient, name),
            "<p>材料は%sと、冷蔵庫にある野菜を少し。%s</p><p>調理時間: 約%d分</p>"
            % (ingredient, hint, 10 + 5 * (serial % 4)))


def _code(subject, angle, serial, created):
    suffix, sentence = angle
    return ("%s%s" % (subject, suffix), "<p>%s</p><p>今回の題材は「%s」です。</p>" % (sentence, subject))


def _build(topic, tip, serial, created):
    suffix, sentence = tip
    return ("%s%s" % (topic, suffix), "<p>%s</p>" % sentence)


ARTICLE_WRITERS = {"town": _town, "weather": _weather, "recipe": _recipe, "code": _code,
                   "build": _build}

NEWS, TECH = "ニュース", "技術ブログ"
SITES = [
    Site("town", NEWS, "rss2", "rss.xml", "みなと町だより",
         "架空の港町「みなと町」の町内ニュースをお届けします。", "みなと町 広報係",
         ["港前商店街", "みなと公園", "町立図書館", "灯台広場", "公民館"],
         [("朝市のお知らせ", "とれたての野菜や干物が並ぶ朝市が開かれます。買い物袋をお持ちください。"),
          ("清掃活動にご協力を", "町内会による清掃活動を行います。軍手とごみ袋は受付で配ります。"),
          ("夏まつりの準備が始まりました", "ちょうちんの飾り付けが始まりました。当日は夕方から屋台が並びます。"),
          ("写真展を開いています", "町の人たちが撮った港の写真を展示しています。入場は無料です。"),
          ("ボランティアを募集しています", "子ども向け読み聞かせ会のお手伝いを募集しています。"),
          ("工事のため一部通行止め", "水道管の工事のため、平日の日中は一部の通路が通れません。"),
          ("落とし物のお知らせ", "青い傘と鍵の束が届いています。心当たりの方は町役場までどうぞ。")],
         seed=6),
    Site("code", TECH, "atom", "atom.xml", "コード散歩道",
         "小さなプログラムを書きながら考えたことを綴る技術ブログ。", "散歩道の管理人",
         ["文字コード変換", "日付の扱い", "設定ファイルの読み込み", "エラー処理", "ログ出力",
          "テストの書き方", "小さなHTTPサーバー"],
         [("でつまずいた話", "思い込みで書いたところから崩れていきました。原因と直し方をまとめます。"),
          ("を見直しました", "古いコードを読み返して、分かりにくい所を三つ直しました。"),
          ("の落とし穴", "境界の値を試してみると、思わぬ動きが見つかります。"),
          ("を標準ライブラリだけで", "外部の部品に頼らずに書くと、仕組みがよく分かります。"),
          ("についてのメモ", "あとで自分が読み返すための覚え書きです。")],
         seed=7),
    Site("weather", NEWS, "rss1", "index.rdf", "そらもよう観測ノート",
         "みなと町の空と風を書き留めている観測メモです。", "観測係 そら",
         ["晴れ", "薄曇り", "くもり", "にわか雨", "霧のち晴れ", "晴れ時々くもり", "小雨"],
         ["海からの風が心地よい", "洗濯物がよく乾きそう", "夕焼けがきれいに見えそう",
          "港の向こうがかすんで見える", "上着が一枚あると安心"],
         seed=8),
    Site("build", TECH, "rss2", "rss.xml", "ビルド待ちの間に",
         "ビルドの待ち時間に読める、短い技術メモ。", "ビルド待ち係",
         ["シェルスクリプト", "正規表現", "キャッシュ", "並行処理", "コードレビュー"],
         [("の小さなこつ", "毎日使うものほど、小さな工夫が効いてきます。"),
          ("で気をつけたいこと", "一度はまった落とし穴を、忘れないうちに書き残します。"),
          ("を三行で説明する", "長い説明より、短い例をひとつ。"),
          ("、まずはここから", "最初の一歩に必要なことだけを集めました。"),
          ("の失敗談", "やってしまったことと、次からどうするかを正直に。"),
          ("の道具箱", "手元に置いておくと便利な小道具を紹介します。"),
          ("を読み直す", "昔書いた記事を、いまの目で読み直してみました。")],
         seed=5),
    Site("recipe", NEWS, "atom", "atom.xml", "きょうのおかず帖",
         "冷蔵庫にあるもので作れる、かんたんな家庭料理のメモ。", "おかず帖 編集部",
         ["鶏むね肉", "豆腐", "キャベツ", "なす", "鮭", "じゃがいも", "きのこ"],
         [("のソテー", "焼き始めたらあまり動かさず、焼き色をしっかりつけます。"),
          ("の煮物", "弱火でじっくり煮ると、味がよくしみます。"),
          ("の炒めもの", "強火で短時間、水気を飛ばすのがこつです。"),
          ("のスープ", "味付けは最後に。火を止める前に味見をします。"),
          ("のグラタン", "チーズをのせて、焼き色がつくまで焼きます。")],
         seed=6),
]
FOLDERS = [NEWS, TECH]


class Schedule:
    """Which articles each feed shows at a given time.

    Article number k (the k-th interval since EPOCH) belongs to site k % len(SITES) and was
    created at EPOCH + k * interval; it is that site's article number k // len(SITES)."""

    def __init__(self, interval, started):
        self.interval = interval
        self.start_tick = self.tick(started)

    def tick(self, moment):
        return int((moment - EPOCH) // self.interval)

    def created(self, number):
        return int(EPOCH + number * self.interval)

    def site_index(self, site):
        return SITES.index(site)

    def belongs(self, site, number):
        return number >= 0 and number % len(SITES) == self.site_index(site)

    def _owned_up_to(self, site, tick):
        """How many article numbers 0..tick belong to the site."""
        index = self.site_index(site)
        return 0 if tick < index else (tick - index) // len(SITES) + 1

    def numbers(self, site, now):
        """The site's visible article numbers, newest first."""
        current = self.tick(now)
        added = self._owned_up_to(site, current) - self._owned_up_to(site, self.start_tick)
        count = min(MAX_FEED_ITEMS, site.seed + added, self._owned_up_to(site, current))
        newest = current - (current - self.site_index(site)) % len(SITES)
        return [newest - i * len(SITES) for i in range(count)]

    def last_modified(self, site, now):
        numbers = self.numbers(site, now)
        return self.created(numbers[0]) if numbers else int(EPOCH)

    def article(self, site, number):
        """(title, body, created) of one article."""
        created = self.created(number)
        title, body = site.article(number // len(SITES), created)
        return title, body, created


# Rendering --------------------------------------------------------------------------------------

def esc(text):
    return html.escape(text, quote=True)


def rfc822(moment):
    return email.utils.format_datetime(datetime.datetime.fromtimestamp(moment, JST))


def iso8601(moment):
    return datetime.datetime.fromtimestamp(moment, JST).isoformat()


class Renderer:
    def __init__(self, base, schedule):
        self.base = base          # "http://127.0.0.1:4480"
        self.schedule = schedule

    def home(self, site):
        return "%s/%s/" % (self.base, site.key)

    def link(self, site, number):
        return "%s/%s/%d.html" % (self.base, site.key, number)

    def opml(self):
        out = ['<?xml version="1.0" encoding="UTF-8"?>\n<opml version="2.0">\n<head>'
               "<title>pelun デモ用フィード</title><dateCreated>%s</dateCreated></head>\n<body>\n"
               % rfc822(time.time())]
        for folder in FOLDERS:
            out.append('<outline text="%s" title="%s">\n' % (esc(folder), esc(folder)))
            for site in (s for s in SITES if s.folder == folder):
                out.append('  <outline type="rss" text="%s" title="%s" xmlUrl="%s" htmlUrl="%s"/>\n'
                           % (esc(site.title), esc(site.title), esc(self.base + site.feed_path()),
                              esc(self.home(site))))
            out.append("</outline>\n")
        out.append("</body>\n</opml>\n")
        return "".join(out)

    def feed(self, site, now):
        articles = [(n,) + self.schedule.article(site, n) for n in self.schedule.numbers(site, now)]
        updated = self.schedule.last_modified(site, now)
        return {"rss2": self._rss2, "rss1": self._rss1, "atom": self._atom}[site.dialect](
            site, articles, updated)

    def _rss2(self, site, articles, updated):
        out = ['<?xml version="1.0" encoding="UTF-8"?>\n'
               '<rss version="2.0" xmlns:dc="http://purl.org/dc/elements/1.1/">\n<channel>\n'
               "<title>%s</title>\n<link>%s</link>\n<description>%s</description>\n"
               "<language>ja</language>\n<lastBuildDate>%s</lastBuildDate>\n"
               % (esc(site.title), esc(self.home(site)), esc(site.description), rfc822(updated))]
        for number, title, body, created in articles:
            link = esc(self.link(site, number))
            out.append("<item>\n<title>%s</title>\n<link>%s</link>\n"
                       '<guid isPermaLink="true">%s</guid>\n<pubDate>%s</pubDate>\n'
                       "<dc:creator>%s</dc:creator>\n<description>%s</description>\n</item>\n"
                       % (esc(title), link, link, rfc822(created), esc(site.author), esc(body)))
        out.append("</channel>\n</rss>\n")
        return "".join(out)

    def _rss1(self, site, articles, updated):
        out = ['<?xml version="1.0" encoding="UTF-8"?>\n'
               '<rdf:RDF xmlns="http://purl.org/rss/1.0/"'
               ' xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"'
               ' xmlns:dc="http://purl.org/dc/elements/1.1/"'
               ' xmlns:content="http://purl.org/rss/1.0/modules/content/" xml:lang="ja">\n'
               '<channel rdf:about="%s">\n<title>%s</title>\n<link>%s</link>\n'
               "<description>%s</description>\n<dc:date>%s</dc:date>\n<items><rdf:Seq>\n"
               % (esc(self.base + site.feed_path()), esc(site.title), esc(self.home(site)),
                  esc(site.description), iso8601(updated))]
        for number, *_ in articles:
            out.append('<rdf:li rdf:resource="%s"/>\n' % esc(self.link(site, number)))
        out.append("</rdf:Seq></items>\n</channel>\n")
        for number, title, body, created in articles:
            link = esc(self.link(site, number))
            out.append('<item rdf:about="%s">\n<title>%s</title>\n<link>%s</link>\n'
                       "<description>%s</description>\n<content:encoded><![CDATA[%s]]></content:encoded>\n"
                       "<dc:creator>%s</dc:creator>\n<dc:date>%s</dc:date>\n</item>\n"
                       % (link, esc(title), link, esc(_plain(body)), body, esc(site.author),
                          iso8601(created)))
        out.append("</rdf:RDF>\n")
        return "".join(out)

    def _atom(self, site, articles, updated):
        out = ['<?xml version="1.0" encoding="UTF-8"?>\n'
               '<feed xmlns="http://www.w3.org/2005/Atom" xml:lang="ja">\n'
               "<title>%s</title>\n<subtitle>%s</subtitle>\n"
               '<link rel="self" href="%s"/>\n<link rel="alternate" type="text/html" href="%s"/>\n'
               "<id>%s</id>\n<updated>%s</updated>\n<author><name>%s</name></author>\n"
               % (esc(site.title), esc(site.description), esc(self.base + site.feed_path()),
                  esc(self.home(site)), esc(self.home(site)), iso8601(updated), esc(site.author))]
        for number, title, body, created in articles:
            link = esc(self.link(site, number))
            out.append('<entry>\n<title>%s</title>\n<link rel="alternate" type="text/html" href="%s"/>\n'
                       "<id>%s</id>\n<updated>%s</updated>\n<author><name>%s</name></author>\n"
                       '<content type="html">%s</content>\n</entry>\n'
                       % (esc(title), link, link, iso8601(created), esc(site.author), esc(body)))
        out.append("</feed>\n")
        return "".join(out)

    # Pages for the browser: plain and small, only so that a clicked link lands somewhere.
    @staticmethod
    def _page(title, body):
        return ('<!DOCTYPE html>\n<html lang="ja">\n<head>\n<meta charset="utf-8">\n'
                "<title>%s</title>\n<style>body{font-family:sans-serif;max-width:40em;margin:2em auto;"
                "line-height:1.7}small{color:#666}</style>\n</head>\n<body>\n%s</body>\n</html>\n"
                % (esc(title), body))

    def index_page(self):
        parts = ["<h1>pelun デモ用フィード</h1>\n<p>このサーバーは <code>make run</code> のための"
                 "架空のサイトを配信しています。登録用の一覧: <a href=\"/demo.opml\">demo.opml</a></p>\n"]
        for folder in FOLDERS:
            parts.append("<h2>%s</h2>\n<ul>\n" % esc(folder))
            for site in (s for s in SITES if s.folder == folder):
                parts.append('<li><a href="%s">%s</a> — %s</li>\n'
                             % (esc(self.home(site)), esc(site.title), esc(site.description)))
            parts.append("</ul>\n")
        return self._page("pelun デモ用フィード", "".join(parts))

    def site_page(self, site, now):
        parts = ["<h1>%s</h1>\n<p>%s</p>\n<ul>\n" % (esc(site.title), esc(site.description))]
        for number in self.schedule.numbers(site, now):
            title, _, created = self.schedule.article(site, number)
            parts.append('<li><a href="%s">%s</a> <small>%s</small></li>\n'
                         % (esc(self.link(site, number)), esc(title), esc(_local_text(created))))
        parts.append('</ul>\n<p><a href="%s">フィード</a> ・ <a href="/">デモのトップへ</a></p>\n'
                     % esc(site.feed_path()))
        return self._page(site.title, "".join(parts))

    def article_page(self, site, number):
        title, body, created = self.schedule.article(site, number)
        return self._page("%s - %s" % (title, site.title),
                          '<p><a href="%s">%s</a></p>\n<h1>%s</h1>\n<p><small>%s ・ %s</small></p>\n%s\n'
                          % (esc(self.home(site)), esc(site.title), esc(title),
                             esc(_local_text(created)), esc(site.author), body))

    def missing_page(self):
        return self._page("見つかりません", '<h1>ページが見つかりません</h1>\n<p><a href="/">デモのトップへ</a></p>\n')


def _plain(markup):
    return re.sub(r"<[^>]*>", "", markup)


def _local_text(moment):
    local = datetime.datetime.fromtimestamp(moment, JST)
    return "%d年%d月%d日 %02d:%02d" % (local.year, local.month, local.day, local.hour, local.minute)


# Serving ----------------------------------------------------------------------------------------

FEED_TYPES = {"rss2": "application/rss+xml", "rss1": "application/rdf+xml", "atom": "application/atom+xml"}


class DemoServer(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, port, interval):
        super().__init__((HOST, port), DemoHandler)
        self.schedule = Schedule(interval, time.time())
        self.renderer = Renderer("http://%s:%d" % (HOST, self.server_address[1]), self.schedule)


class DemoHandler(http.server.BaseHTTPRequestHandler):
    server_version = "pelun-demo/1"

    def do_GET(self):
        self._answer(with_body=True)

    def do_HEAD(self):
        self._answer(with_body=False)

    def log_message(self, format, *args):
        sys.stderr.write("%s %s\n" % (time.strftime("%H:%M:%S"), format % args))

    def _answer(self, with_body):
        path = self.path.split("?", 1)[0]
        renderer, schedule, now = self.server.renderer, self.server.schedule, time.time()
        if path in ("/", "/index.html"):
            return self._send(200, "text/html", renderer.index_page(), with_body)
        if path == "/demo.opml":
            return self._send(200, "text/x-opml", renderer.opml(), with_body)
        for site in SITES:
            if path == site.feed_path():
                return self._send_feed(site, now, with_body)
            if path in ("/" + site.key, "/%s/" % site.key):
                return self._send(200, "text/html", renderer.site_page(site, now), with_body)
            prefix = "/%s/" % site.key
            if path.startswith(prefix) and path.endswith(".html"):
                number = path[len(prefix):-len(".html")]
                if number.isdigit() and schedule.belongs(site, int(number)) \
                        and int(number) <= schedule.tick(now):
                    return self._send(200, "text/html", renderer.article_page(site, int(number)),
                                      with_body)
        return self._send(404, "text/html", renderer.missing_page(), with_body)

    def _send_feed(self, site, now, with_body):
        modified = self.server.schedule.last_modified(site, now)
        headers = {"Last-Modified": email.utils.formatdate(modified, usegmt=True)}
        since = _parse_http_date(self.headers.get("If-Modified-Since"))
        if since is not None and modified <= since:
            return self._send(304, None, "", with_body=False, headers=headers)
        return self._send(200, FEED_TYPES[site.dialect], self.server.renderer.feed(site, now),
                          with_body, headers)

    def _send(self, status, content_type, text, with_body, headers=None):
        body = text.encode("utf-8")
        self.send_response(status)
        if content_type:
            self.send_header("Content-Type", content_type + "; charset=utf-8")
        for name, value in (headers or {}).items():
            self.send_header(name, value)
        if status != 304:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if with_body and status != 304:
            self.wfile.write(body)


def _parse_http_date(value):
    if not value:
        return None
    try:
        return email.utils.parsedate_to_datetime(value.split(";", 1)[0].strip()).timestamp()
    except (TypeError, ValueError, IndexError):
        return None


def _alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        pass
    return True


def main():
    parser = argparse.ArgumentParser(description="Demo feeds for `make run`, on 127.0.0.1.")
    parser.add_argument("--port", type=int, default=DEFAULT_PORT, help="0: any free port")
    parser.add_argument("--new-item-seconds", type=float, default=DEFAULT_NEW_ITEM_SECONDS,
                        help="seconds between new articles (one feed at a time, in turn)")
    parser.add_argument("--lifetime", type=float, default=DEFAULT_LIFETIME,
                        help="seconds before the server stops by itself")
    parser.add_argument("--parent-pid", type=int, help="stop as soon as this process is gone")
    args = parser.parse_args()
    if args.new_item_seconds < MIN_NEW_ITEM_SECONDS:
        parser.error("--new-item-seconds must be at least %g" % MIN_NEW_ITEM_SECONDS)

    try:
        server = DemoServer(args.port, args.new_item_seconds)
    except OSError as error:
        sys.exit("demo feed server: cannot listen on %s:%d: %s" % (HOST, args.port, error.strerror))
    # When the parent is our parent, being adopted by another process also means it is gone
    # (a pid can be reused; a parent link cannot come back).
    adopted_check = args.parent_pid is not None and args.parent_pid == os.getppid()
    threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True).start()
    print("demo feeds on %s/ (list: /demo.opml, a new article every %g s)"
          % (server.renderer.base, args.new_item_seconds), flush=True)

    deadline = time.monotonic() + args.lifetime
    try:
        while time.monotonic() < deadline:
            if args.parent_pid is not None and (not _alive(args.parent_pid) or
                                                (adopted_check and os.getppid() != args.parent_pid)):
                break
            time.sleep(PARENT_POLL_SECONDS)
    except KeyboardInterrupt:
        pass
    finally:
        server.shutdown()
        server.server_close()


if __name__ == "__main__":
    main()
