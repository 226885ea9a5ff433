// Fills the texts of a page of the extension from the user's language.
export function text(name, ...args) {
  return chrome.i18n.getMessage(name, args.map(String));
}

export function fillTexts() {
  document.documentElement.lang = chrome.i18n.getUILanguage();
  for (const element of document.querySelectorAll("[data-text]")) element.textContent = text(element.dataset.text);
}
