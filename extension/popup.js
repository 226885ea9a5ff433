// The pop-up: pelun's folders with their figures, the check of all sites, and the feeds of
// the page on screen. Texts from pelun and from the page only ever become text nodes.
import { collectLinks, feedsOfFrames } from "./feed_discovery.js";
import { fillTexts, text } from "./page_text.js";
import { checkAll, handOverFeed, readFolderPage, readFolders, serverPort, serverUrl } from "./pelun_server.js";

function element(tag, className, content) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (content !== undefined) node.textContent = content;
  return node;
}

function choice(className, children, onChoose) {
  const button = element("button", className);
  button.type = "button";
  button.append(...children);
  button.addEventListener("click", onChoose);
  button.addEventListener("auxclick", (event) => event.button === 1 && onChoose(event));
  return button;
}

function placeholder(list, name) {
  const button = element("button", "entry", text(name));
  button.disabled = true;
  list.replaceChildren(element("li"));
  list.firstChild.append(button);
}

function report(message) {
  document.getElementById("status").textContent = message;
}

// In the current tab; Control, Shift or the middle button open a new one, as the band opens
// a new window.
async function openPage(url, event) {
  if (event.ctrlKey || event.shiftKey || event.metaKey || event.button === 1) await chrome.tabs.create({ url });
  else await chrome.tabs.update({ url });
  window.close();
}

async function readFolder(port, folder, event) {
  const url = await readFolderPage(port, folder.url);
  if (url) await openPage(url, event);
  else report(text("notAnswering", port));
}

function folderEntry(port, folder, isDefault) {
  const figures = (folder.newCount ? text("newCount", folder.newCount) : "-") + " / " + folder.allCount;
  const open = choice("entry" + (isDefault ? " default" : ""),
                      [element("span", "title", `【${folder.title}】`), element("span", "count", figures)],
                      (event) => readFolder(port, folder, event));
  const item = element("li");
  item.append(open);
  if (folder.recentUrl)
    item.append(choice("recent", [text("recent")], (event) => openPage(serverUrl(port, folder.recentUrl), event)));
  return { item, open };
}

function showFolders(port, folders) {
  const list = document.getElementById("folders");
  const checkButton = document.getElementById("check-all");
  checkButton.disabled = folders === null;
  if (folders === null) {
    list.replaceChildren();
    report(text("notAnswering", port));
    return;
  }
  if (folders.length === 0) return placeholder(list, "noFolders");
  const defaultIndex = folders.findIndex((folder) => folder.newCount > 0);
  const entries = folders.map((folder, i) => folderEntry(port, folder, i === defaultIndex));
  list.replaceChildren(...entries.map((entry) => entry.item));
  if (defaultIndex >= 0) entries[defaultIndex].open.focus();
}

async function pageFeeds() {
  const [tab] = await chrome.tabs.query({ active: true, currentWindow: true });
  if (!tab) return [];
  try {
    const frames = await chrome.scripting.executeScript({ target: { tabId: tab.id, allFrames: true }, func: collectLinks });
    return feedsOfFrames(frames.map((frame) => frame.result).filter((result) => Array.isArray(result?.links)));
  } catch {
    return [];  // a page the extension may not read: the browser's own, another extension's
  }
}

// Without pelun the address goes to the clipboard, as the band does.
async function handOver(port, feed) {
  if (await handOverFeed(port, feed.url)) return window.close();
  try {
    await navigator.clipboard.writeText(feed.url);
    report(text("copied", feed.url));
  } catch {
    report(text("notAnswering", port));
  }
}

function showFeeds(port, feeds) {
  const list = document.getElementById("feeds");
  if (feeds.length === 0) return placeholder(list, "noFeeds");
  list.replaceChildren(...feeds.map((feed) => {
    const button = choice("entry", [element("span", "title", feed.title)], () => handOver(port, feed));
    button.title = feed.url;
    const item = element("li");
    item.append(button);
    return item;
  }));
}

async function start() {
  fillTexts();
  const port = await serverPort();
  document.getElementById("check-all").addEventListener("click", async () => {
    if (await checkAll(port)) window.close();
    else report(text("notAnswering", port));
  });
  const feeds = pageFeeds();
  showFolders(port, await readFolders(port));
  showFeeds(port, await feeds);
}

start();
