// Everything the extension asks of pelun's local server, and the toolbar button that shows
// its answer. Shared by the background and the pop-up.
import { parseFolderList } from "./folder_list.js";

export const kDefaultPort = 4474;
const kAnswerTimeoutMs = 5000;
const kBadgeLimit = 999;
const kNewsColour = "#d93025";
const kSilentColour = "#777777";

export function validPort(value) {
  const port = Number(value);
  return Number.isInteger(port) && port >= 1 && port <= 65535 ? port : null;
}

export async function serverPort() {
  const { port } = await chrome.storage.local.get({ port: kDefaultPort });
  return validPort(port) ?? kDefaultPort;
}

export function serverUrl(port, path) {
  return `http://127.0.0.1:${port}${path}`;
}

// The answer, or null when pelun does not answer or refuses (a redirect is refused unless
// followed).
async function answer(port, path, redirect) {
  try {
    const response = await fetch(serverUrl(port, path), {
      cache: "no-store", credentials: "omit", redirect, signal: AbortSignal.timeout(kAnswerTimeoutMs),
    });
    return response.ok ? response : null;
  } catch {
    return null;
  }
}

// The answer's text, or null.
async function request(port, path) {
  const response = await answer(port, path, "error");
  return response ? response.text().catch(() => null) : null;
}

// The folders with their figures, or null when pelun does not answer; the badge follows.
export async function readFolders(port) {
  const text = await request(port, "/folderlist.xml");
  const folders = text === null ? null : parseFolderList(text);
  await showOnButton(folders, port);
  return folders;
}

async function showOnButton(folders, port) {
  if (!folders) {
    await chrome.action.setBadgeBackgroundColor({ color: kSilentColour });
    await chrome.action.setBadgeText({ text: "!" });
    await chrome.action.setTitle({ title: chrome.i18n.getMessage("notAnswering", [String(port)]) });
    return;
  }
  const total = folders.reduce((sum, folder) => sum + folder.newCount, 0);
  await chrome.action.setBadgeBackgroundColor({ color: kNewsColour });
  await chrome.action.setBadgeText({ text: total === 0 ? "" : total > kBadgeLimit ? `${kBadgeLimit}+` : String(total) });
  await chrome.action.setTitle({ title: chrome.i18n.getMessage("actionTitle") });
}

export async function checkAll(port) {
  return (await request(port, "/reload")) !== null;
}

// Reads a folder ("/new?id"): pelun stores its page, marks it read and redirects to the stored
// page, whose address is returned to be shown. A tab the extension navigates to "/new?" counts
// as another site's navigation, which pelun refuses; the stored page it may show.
export async function readFolderPage(port, path) {
  const response = await answer(port, path, "follow");
  return response?.url.startsWith(serverUrl(port, "/")) ? response.url : null;
}

// An http or https address without its fragment (which never reaches a server), or null. Page
// text is hostile: nothing else may be handed to pelun or opened.
export function webAddress(text, base) {
  let url;
  try {
    url = new URL(text, base);
  } catch {
    return null;
  }
  if (url.protocol !== "http:" && url.protocol !== "https:") return null;
  url.hash = "";
  return url.href;
}

// pelun opens its add-site dialog with the address; false when it did not take it.
export async function handOverFeed(port, address) {
  const feed = webAddress(address);
  return feed !== null && (await request(port, "/add?" + feed)) !== null;
}
