// The feeds a page offers through its <link> elements, as the browser band finds them: the
// four feed types and rel "alternate" (both in any case), the title or else the address as
// written, line breaks removed, the address resolved against the page's.
import { webAddress } from "./pelun_server.js";

const kFeedTypes = ["application/rss+xml", "application/xml+rss", "application/atom+xml", "application/xml+atom"];
export const kMaxFeeds = 11;

// Runs inside each frame of the page (in the extension's own isolated world, so the page's
// script cannot change what it reads); returns plain data only.
export function collectLinks() {
  const kMaxLinks = 1000;
  const links = Array.from(document.getElementsByTagName("link")).slice(0, kMaxLinks);
  return {
    page: location.href,
    links: links.map((link) => ({
      type: link.getAttribute("type"), rel: link.getAttribute("rel"),
      href: link.getAttribute("href"), title: link.getAttribute("title"),
    })),
  };
}

function lowerAscii(text) {
  return typeof text === "string" ? text.replace(/[A-Z]/g, (c) => c.toLowerCase()) : "";
}

function feedOfLink(page, link) {
  if (!kFeedTypes.includes(lowerAscii(link.type)) || lowerAscii(link.rel) !== "alternate") return null;
  if (typeof link.href !== "string" || link.href === "") return null;
  const url = webAddress(link.href, page);
  if (!url) return null;
  const title = typeof link.title === "string" && link.title !== "" ? link.title : link.href;
  return { title: title.replace(/[\r\n]/g, ""), url };
}

// The newest feeds first, at most kMaxFeeds, each address once (where it was found last).
export function feedsOfFrames(frames) {
  const found = [];
  for (const { page, links } of frames) {
    for (const link of links) {
      const feed = feedOfLink(page, link);
      if (!feed) continue;
      const earlier = found.findIndex((other) => other.url === feed.url);
      if (earlier >= 0) found.splice(earlier, 1);
      found.push(feed);
    }
  }
  return found.slice(-kMaxFeeds).reverse();
}
