// The one option: the port of pelun's local server (pelun's own setting, 4474 unless changed).
import { fillTexts, text } from "./page_text.js";
import { serverPort, validPort } from "./pelun_server.js";

async function start() {
  fillTexts();
  const input = document.getElementById("port");
  input.value = await serverPort();
  document.getElementById("form").addEventListener("submit", async (event) => {
    event.preventDefault();
    const port = validPort(input.value);
    if (port !== null) await chrome.storage.local.set({ port });
    document.getElementById("status").textContent = text(port === null ? "badPort" : "saved");
  });
}

start();
