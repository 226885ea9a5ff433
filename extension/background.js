// The toolbar button's badge follows pelun's new figure (every minute, at start-up and when
// the port changes); the link menu hands a feed over.
import { handOverFeed, readFolders, serverPort } from "./pelun_server.js";

const kPollAlarm = "poll";
const kPollMinutes = 1;
const kAddLinkMenu = "add-link";

async function refresh() {
  await readFolders(await serverPort());
}

// Made anew at installation and at every start of the browser: Chromium keeps menus across
// restarts, Firefox's background pages need not.
async function start() {
  await chrome.contextMenus.removeAll();
  chrome.contextMenus.create({
    id: kAddLinkMenu,
    title: chrome.i18n.getMessage("addLink"),
    contexts: ["link"],
    targetUrlPatterns: ["http://*/*", "https://*/*"],
  });
  await refresh();
}

chrome.runtime.onInstalled.addListener(start);
chrome.runtime.onStartup.addListener(start);

chrome.contextMenus.onClicked.addListener(async (info) => {
  if (info.menuItemId === kAddLinkMenu && info.linkUrl) await handOverFeed(await serverPort(), info.linkUrl);
});

chrome.alarms.onAlarm.addListener((alarm) => {
  if (alarm.name === kPollAlarm) refresh();
});

chrome.storage.onChanged.addListener((changes, area) => {
  if (area === "local" && changes.port) refresh();
});

// The worker starts again and again; the alarm is made once, so its rhythm is kept.
chrome.alarms.get(kPollAlarm).then((alarm) => {
  if (!alarm) chrome.alarms.create(kPollAlarm, { periodInMinutes: kPollMinutes, delayInMinutes: kPollMinutes });
});
