// Reads pelun's folder list ("/folderlist.xml"). Service workers have no DOMParser, and the
// list's form is fixed: one <folder> per line with plain child elements.
const kEntities = { amp: "&", lt: "<", gt: ">", quot: '"', apos: "'" };

function decodeText(text) {
  return text.replace(/&(#x[0-9a-fA-F]+|#[0-9]+|[a-z]+);/g, (whole, name) => {
    if (name[0] !== "#") return kEntities[name] ?? whole;
    const code = name[1] === "x" ? parseInt(name.slice(2), 16) : parseInt(name.slice(1), 10);
    return code <= 0x10ffff ? String.fromCodePoint(code) : whole;
  });
}

function childText(folder, name) {
  const match = folder.match(new RegExp(`<${name}>([^<]*)</${name}>`));
  return match ? decodeText(match[1]) : null;
}

function figure(text) {
  const value = parseInt(text ?? "", 10);
  return Number.isFinite(value) && value > 0 ? value : 0;
}

// [{title, url, recentUrl, newCount, allCount}] in the list's order; the urls are the server's
// paths ("/new?id", "/top?id"), recentUrl null where the folder has no page shown yet.
export function parseFolderList(text) {
  const folders = [];
  for (const [, body] of text.matchAll(/<folder>([\s\S]*?)<\/folder>/g)) {
    const url = childText(body, "url");
    if (!url?.startsWith("/new?")) continue;
    const recentUrl = childText(body, "url2");
    folders.push({
      title: childText(body, "title") ?? "",
      url,
      recentUrl: recentUrl?.startsWith("/top?") ? recentUrl : null,
      newCount: figure(childText(body, "new")),
      allCount: figure(childText(body, "all")),
    });
  }
  return folders;
}
