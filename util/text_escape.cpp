#include "util/text_escape.h"

#include <algorithm>
#include <initializer_list>
#include <span>

namespace {

struct Replacement {
  char16_t from;
  TextView to;
};

constexpr Replacement kHtmlEscapes[] = {{u'&', u"&amp;"}, {u'>', u"&gt;"}, {u'<', u"&lt;"}};

// Applied after kHtmlEscapes, in this order.
constexpr Replacement kQuoteEscape[] = {{u'"', u"&quot;"}};

// A line break ends a script string literal (U+2028 and U+2029 do in older engines too).
constexpr Replacement kScriptEscapes[] = {{u'\\', u"\\\\"}, {u'"', u"&quot;"}, {u'\'', u"\\'"},
                                          {u'\r', u"\\r"},  {u'\n', u"\\n"},     {u'\u2028', u"\\u2028"},
                                          {u'\u2029', u"\\u2029"}};

constexpr Replacement kFileNameLookAlikes[] = {
    {u'\\', u"\uFFE5"}, {u'"', u"\u201D"}, {u'/', u"\uFF0F"}, {u':', u"\uFF1A"}, {u'*', u"\uFF0A"},
    {u'?', u"\uFF1F"},  {u'<', u"\uFF1C"}, {u'>', u"\uFF1E"}, {u'|', u"\uFF5C"}};

// One pass over the text with the tables in their order. Each replacement holds only characters
// whose own step comes earlier (the "&" of an entity, the backslash before an apostrophe), so
// this equals replacing step by step, and nothing is escaped twice.
Text ReplaceCharacters(TextView text, std::initializer_list<std::span<const Replacement>> tables) {
  Text result;
  result.reserve(text.size());
  for (const char16_t c : text) {
    const Replacement* hit = nullptr;
    for (const auto& table : tables) {
      const auto found = std::find_if(table.begin(), table.end(),
                                      [c](const Replacement& r) { return r.from == c; });
      if (found != table.end()) hit = &*found;
    }
    if (hit)
      result.append(hit->to);
    else
      result.push_back(c);
  }
  return result;
}

}  // namespace

Text EscapeHtml(TextView text) { return ReplaceCharacters(text, {kHtmlEscapes}); }

Text EscapeAttribute(TextView text) { return ReplaceCharacters(text, {kHtmlEscapes, kQuoteEscape}); }

Text EscapeForScript(TextView text) { return ReplaceCharacters(text, {kHtmlEscapes, kScriptEscapes}); }

Text SafeFileName(TextView text) { return ReplaceCharacters(text, {kFileNameLookAlikes}); }
