#include "server/page_script.h"

namespace {

// Function names, the ids l<i>, c<i>, i<P> and j<P> and the "/sync?" request are what the
// markup of site blocks and the toolbar band rely on.
constexpr TextView kPageScript = uR"JS(<script type='text/javascript'><!--
function getScrollPosition() {
  var d = document.documentElement, b = document.body;
  var x = d && d.scrollLeft ? d.scrollLeft : (b ? b.scrollLeft : 0);
  var y = d && d.scrollTop ? d.scrollTop : (b ? b.scrollTop : 0);
  return {x: x, y: y};
}
function getElementPosition(e) {
  if (typeof e == 'string') e = document.getElementById(e);
  var x = 0, y = 0;
  for (; e; e = e.offsetParent) { x += e.offsetLeft; y += e.offsetTop; }
  return {x: x, y: y};
}
function scrollSite(dir) {
  var my = getElementPosition('l0').y;
  var now = getScrollPosition().y;
  var prev = 0;
  for (var i = 0; ; i++) {
    var e = document.getElementById('l' + i);
    var top = (e ? getElementPosition(e).y : document.body.scrollHeight) - my;
    if (dir ? top > now : top >= now) {
      window.scrollTo(0, dir ? top : prev);
      return;
    }
    if (!e) return;
    prev = top;
  }
}
function scrollSite2(i) {
  window.scrollTo(0, getElementPosition('l' + i).y - getElementPosition('l0').y);
}
document.onkeydown = function(ev) {
  ev = ev || window.event;
  if (ev.shiftKey || ev.ctrlKey) return true;
  var code = ev.keyCode;
  if (code == 78) location.href = '/new';
  else if (code == 75) scrollSite(true);
  else if (code == 74) scrollSite(false);
  else return true;
  if (ev.preventDefault) ev.preventDefault();
  if (ev.stopPropagation) ev.stopPropagation();
  ev.returnValue = false;
  ev.cancelBubble = true;
  return false;
};
if (typeof XMLHttpRequest == 'undefined' && typeof ActiveXObject != 'undefined') {
  XMLHttpRequest = function() {
    try { return new ActiveXObject('Msxml2.XMLHTTP'); } catch (e) {}
    try { return new ActiveXObject('Microsoft.XMLHTTP'); } catch (e) {}
    return null;
  };
}
function sync(i) {
  var r = new XMLHttpRequest();
  if (!r) return;
  r.open('GET', '/sync?' + i, true);
  r.setRequestHeader('If-Modified-Since', 'Thu, 01 Jun 1970 00:00:00 GMT');
  r.send(null);
}
function syncWrite(i) {
  document.write('<a href="javascript:sync(\'' + i + '\');" target="_self" class="sync">設定</a>');
}
function expand(src) {
  var body = document.getElementById('i' + src), mark = document.getElementById('j' + src);
  if (!body) return;
  var shown = body.style.display == 'none';
  body.style.display = shown ? 'block' : 'none';
  if (mark) mark.innerHTML = shown ? '◆' : '◇';
}
function expand2(src) {
  var list = document.getElementById('c' + src);
  if (list) list.style.display = list.style.display == 'none' ? 'block' : 'none';
}
function expand2all(display) {
  for (var i = 0, e; (e = document.getElementById('c' + i)); i++) e.style.display = display;
}
// -->
</script>
)JS";

}  // namespace

TextView PageScript() { return kPageScript; }
