// Fuzzes SanitizeHtml with the fixed title whitelist, a typical body whitelist and none.
#include <initializer_list>

#include "tests/fuzz/fuzz_text.h"
#include "util/html_sanitizer.h"

namespace {

const Text kTitleWhitelist =
    u"font face size color,b,strong,i,em,u,s,strike,del,tt,sub,sup,small,big";
const Text kBodyWhitelist =
    u"p,br/,hr/,div class,span class,a href title,img src alt width height,ul,ol,li,blockquote,"
    u"pre,code,table,tr,td,th,h1,h2,h3,textarea,area href,!,* class title";
constexpr TextView kBase = u"http://example.com/dir/feed.rdf?u=http://x/y";
constexpr TextView kTitleTags[] = {u"font",   u"b",   u"strong", u"i",   u"em",  u"u",     u"s",
                                   u"strike", u"del", u"tt",     u"sub", u"sup", u"small", u"big"};

bool IsTitleTag(TextView name) {
  for (TextView tag : kTitleTags)
    if (EqualsIgnoreCaseAscii(name, tag)) return true;
  return false;
}

// Every "<" the title whitelist leaves opens or closes one of its own tags, so no script,
// comment or other element can survive in any spelling.
bool OnlyTitleTags(TextView html) {
  for (size_t lt = html.find(u'<'); lt != TextView::npos; lt = html.find(u'<', lt + 1)) {
    size_t begin = lt + 1;
    if (begin < html.size() && html[begin] == u'/') ++begin;
    size_t end = begin;
    while (end < html.size() && IsAsciiLetter(html[end])) ++end;
    if (end == html.size() || !IsTitleTag(html.substr(begin, end - begin))) return false;
    const char16_t next = html[end];
    if (!(IsAsciiSpace(next) || next == u'\f' || next == u'/' || next == u'>')) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Text input = FuzzText(data, size);
  for (const Text* whitelist :
       {&kTitleWhitelist, &kBodyWhitelist, static_cast<const Text*>(nullptr)}) {
    Text once = input;
    SanitizeHtml(once, kBase, whitelist);
    if (whitelist == &kTitleWhitelist) FuzzCheck(OnlyTitleTags(once));
    // The output is already in the form the sanitizer produces: a second run keeps it.
    Text twice = once;
    SanitizeHtml(twice, kBase, whitelist);
    FuzzCheck(twice == once);
  }
  return 0;
}
