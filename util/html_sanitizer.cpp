#include "util/html_sanitizer.h"

#include "util/split.h"
#include "util/url.h"

namespace {

constexpr size_t kNone = TextView::npos;

// Space, tab, CR and LF end a tag name and an unquoted value, and so does a form feed for
// every browser: without it "face=x\fonclick=..." would carry a handler inside an allowed value.
bool IsTagSpace(char16_t c) { return IsAsciiSpace(c) || c == u'\f'; }

bool StartsTag(char16_t c) { return IsAsciiLetter(c) || c == u'!' || c == u'/' || c == u'?'; }

size_t SkipTagSpace(TextView text, size_t i) {
  while (i < text.size() && IsTagSpace(text[i])) ++i;
  return i;
}

// Elements a browser never expects a closing tag for; an appended "</br>" would even add a
// line break. They are void whether or not the whitelist marks them so.
constexpr TextView kVoidElements[] = {u"area",  u"base",   u"br",    u"col",  u"embed",
                                      u"hr",    u"img",    u"input", u"link", u"meta",
                                      u"param", u"source", u"track", u"wbr"};

// Attributes a browser follows as an address: when a whitelist allows one, a script link in it
// is blanked all the same.
constexpr TextView kUrlAttributes[] = {
    u"href", u"src",      u"lowsrc", u"dynsrc",   u"background", u"action", u"formaction",
    u"cite", u"longdesc", u"usemap", u"codebase", u"data",       u"poster",
    u"xlink:href"};

template <size_t N>
bool IsOneOf(TextView name, const TextView (&names)[N]) {
  for (TextView candidate : names)
    if (EqualsIgnoreCaseAscii(name, candidate)) return true;
  return false;
}

// The pages are served by this computer: an address that stayed relative (no web address to
// resolve it against) or names this computer would reach the local server from the page's own
// origin, and a value a browser reads differently after decoding references ("&#106;avascript:")
// never passes as absolute.
Text LinkForPage(TextView base, TextView value) {
  Text url = ResolveUrl(base, value);
  if (!url.empty() && !IsForeignUrl(url)) url.clear();
  return url;
}

// Writes a value between double quotes with the quote and "<" replaced, so that no value can
// end its attribute or a raw-text element such as textarea early. Addresses take percent
// escapes, other values character references.
void AppendQuoted(Text& out, TextView value, bool isUrl) {
  out += u'"';
  for (char16_t c : value) {
    if (c == u'"')
      out += isUrl ? u"%22" : u"&quot;";
    else if (c == u'<')
      out += isUrl ? u"%3C" : u"&lt;";
    else
      out += c;
  }
  out += u'"';
}

// A value already in single quotes keeps them; only "<" needs replacing there.
void AppendSingleQuoted(Text& out, TextView value) {
  out += u'\'';
  for (char16_t c : value) {
    if (c == u'<')
      out += u"&lt;";
    else
      out += c;
  }
  out += u'\'';
}

bool IsRewrittenLink(TextView tag, TextView attribute) {
  return (tag == u"img" && EqualsIgnoreCaseAscii(attribute, u"src")) ||
         (tag == u"a" && EqualsIgnoreCaseAscii(attribute, u"href"));
}

}  // namespace

struct CSecurHtml::TagName {
  Text key;  // lower-case, without the slashes
  bool closing = false;
  bool isElement = false;

  explicit TagName(TextView raw) {
    closing = StartsWith(raw, u"/");
    TextView core = raw.substr(closing ? 1 : 0);
    while (!core.empty() && core.back() == u'/') core.remove_suffix(1);
    // Declarations and processing instructions are never elements, and a browser reads a name
    // with a slash inside ("s/ub") as a shorter name followed by attributes.
    isElement = !core.empty() && IsAsciiLetter(core.front()) && core.find(u'/') == kNone;
    key = ToLowerAscii(core);
  }
};

struct CSecurHtml::Attribute {
  size_t nameBegin = 0;
  size_t nameEnd = 0;
  size_t valueBegin = kNone;  // inside the quotes
  size_t valueEnd = kNone;
  size_t end = 0;  // past the value and its closing quote
  char16_t quote = 0;

  bool HasValue() const { return valueBegin != kNone; }

  // Reads the attribute at `begin`, which is neither white space nor ">". False when the text
  // ends inside the value.
  bool Read(TextView html, size_t begin) {
    size_t i = begin;
    while (i < html.size() && !IsTagSpace(html[i]) && html[i] != u'=' && html[i] != u'>') ++i;
    nameBegin = begin;
    nameEnd = end = i;
    size_t equals = SkipTagSpace(html, i);
    if (equals >= html.size() || html[equals] != u'=') return true;
    size_t value = SkipTagSpace(html, equals + 1);
    if (value >= html.size()) return false;
    if (html[value] == u'"' || html[value] == u'\'') {
      size_t close = html.find(html[value], value + 1);
      if (close == kNone) return false;
      quote = html[value];
      valueBegin = value + 1;
      valueEnd = close;
      end = close + 1;
      return true;
    }
    size_t valueStop = value;
    while (valueStop < html.size() && !IsTagSpace(html[valueStop]) && html[valueStop] != u'>')
      ++valueStop;
    valueBegin = value;
    valueEnd = end = valueStop;
    return true;
  }
};

CSecurHtml::CSecurHtml(const Text* whitelist) {
  if (!whitelist) {
    allowEverything_ = true;
    return;
  }
  for (const Text& entry : SplitQuoted(*whitelist, u',')) {
    std::vector<Text> words = SplitQuoted(entry, u' ');
    if (words.empty()) continue;
    Text tag = ToLowerAscii(Trim(words.front()));
    const bool isVoid = EndsWith(tag, u"/");
    std::erase(tag, u'/');
    if (tag.empty()) continue;
    if (tag == u"!") {
      allowComments_ = true;
      continue;
    }
    std::vector<Text>* attributes = &everyTagAttributes_;
    if (tag != u"*") {
      TagRule& rule = rules_[tag];
      rule.isVoid = rule.isVoid || isVoid;
      attributes = &rule.attributes;
    }
    for (size_t i = 1; i < words.size(); ++i) {
      Text attribute = ToLowerAscii(Trim(words[i]));
      if (!attribute.empty()) attributes->push_back(std::move(attribute));
    }
  }
}

void CSecurHtml::Sanitize(Text& html, TextView base) {
  source_ = html;
  base_ = base;
  out_.clear();
  out_.reserve(html.size() + html.size() / 8);
  openTags_.clear();
  openIndexByName_.clear();

  for (size_t i = 0; i < source_.size();) {
    const size_t lt = source_.find(u'<', i);
    if (lt == kNone) {
      out_.append(source_.substr(i));
      break;
    }
    out_.append(source_.substr(i, lt - i));
    if (lt + 1 < source_.size() && StartsTag(source_[lt + 1])) {
      i = ScanTag(lt);  // a tag still open at the end is dropped with everything after it
    } else {
      // Escaped because removing a tag right after it could otherwise join it with the
      // following text into a new tag ("<<x>script>").
      out_ += allowEverything_ ? u"<" : u"&lt;";
      i = lt + 1;
    }
  }
  for (auto open = openTags_.rbegin(); open != openTags_.rend(); ++open) {
    if (open->closed) continue;
    out_ += u"</";
    out_ += open->name;
    out_ += u'>';
  }
  html.swap(out_);
  out_ = Text();
  source_ = base_ = TextView();
  openTags_.clear();
  openIndexByName_.clear();
}

// Returns the index after the tag, or the end of the text when the tag never closes.
size_t CSecurHtml::ScanTag(size_t lt) {
  const TextView html = source_;
  size_t nameEnd = lt + 1;
  while (nameEnd < html.size() && !IsTagSpace(html[nameEnd]) && html[nameEnd] != u'>') ++nameEnd;
  const TextView rawName = html.substr(lt + 1, nameEnd - lt - 1);
  if (StartsWith(rawName, u"!--")) return ScanComment(lt);

  const TagName name(rawName);
  const TagRule* rule = nullptr;
  if (!allowEverything_ && name.isElement) {
    auto found = rules_.find(name.key);
    if (found != rules_.end()) rule = &found->second;
  }
  Text tag(html.substr(lt, nameEnd - lt));
  size_t i = nameEnd;
  for (;;) {
    const size_t gap = i;
    i = SkipTagSpace(html, i);
    tag.append(html.substr(gap, i - gap));
    if (i >= html.size()) return html.size();
    if (html[i] == u'>') break;
    Attribute attribute;
    if (!attribute.Read(html, i)) return html.size();
    AppendAttribute(tag, attribute, name, rule);
    i = attribute.end;
  }
  tag += u'>';
  if (AcceptTag(name, rule)) out_ += tag;
  return i + 1;
}

size_t CSecurHtml::ScanComment(size_t lt) {
  const size_t close = source_.find(u"-->", lt + 4);
  if (close == kNone) return source_.size();
  const size_t end = close + 3;
  // A kept comment must stay one for every browser: "<!-->" and "--!>" end it early, and a
  // conditional comment ("<!--[if IE]>") is markup to Internet Explorer.
  const TextView body = source_.substr(lt + 4, close - lt - 4);
  if (allowEverything_ || (allowComments_ && body.find_first_of(u"<>") == kNone))
    out_.append(source_.substr(lt, end - lt));
  return end;
}

void CSecurHtml::AppendAttribute(Text& tag, const Attribute& attribute, const TagName& name,
                                 const TagRule* rule) const {
  const TextView html = source_;
  const TextView attributeName =
      html.substr(attribute.nameBegin, attribute.nameEnd - attribute.nameBegin);
  // The slash of "<br />" marks the tag as self-closed; it is no attribute.
  if (attributeName == u"/" && !attribute.HasValue()) {
    tag += attributeName;
    return;
  }
  const bool isLink = IsRewrittenLink(name.key, attributeName);
  if (allowEverything_ && !isLink) {
    tag.append(html.substr(attribute.nameBegin, attribute.end - attribute.nameBegin));
    return;
  }
  if (!allowEverything_ && !(rule && IsAllowedAttribute(*rule, attributeName))) return;
  if (!attribute.HasValue()) {
    tag += attributeName;
    return;
  }
  // The name with "=" and any blanks around it, then the value in a form of our own.
  const size_t valueStart = attribute.valueBegin - (attribute.quote ? 1 : 0);
  tag.append(html.substr(attribute.nameBegin, valueStart - attribute.nameBegin));
  TextView value = html.substr(attribute.valueBegin, attribute.valueEnd - attribute.valueBegin);
  if (isLink || IsOneOf(attributeName, kUrlAttributes)) {
    AppendQuoted(tag, LinkForPage(base_, value), true);
    return;
  }
  // Unquoted values are quoted: old browsers end them at characters such as "`".
  if (attribute.quote == u'\'')
    AppendSingleQuoted(tag, value);
  else
    AppendQuoted(tag, value, false);
}

bool CSecurHtml::AcceptTag(const TagName& name, const TagRule* rule) {
  if (allowEverything_) return true;
  if (!rule) return false;
  if (name.closing) return CloseOpenTag(name.key);
  if (!rule->isVoid && !IsOneOf(name.key, kVoidElements)) PushOpenTag(name.key);
  return true;
}

bool CSecurHtml::IsAllowedAttribute(const TagRule& rule, TextView name) const {
  for (const auto* list : {&rule.attributes, &everyTagAttributes_})
    for (const Text& allowed : *list)
      if (EqualsIgnoreCaseAscii(name, allowed)) return true;
  return false;
}

void CSecurHtml::PushOpenTag(const Text& name) {
  openIndexByName_[name].push_back(openTags_.size());
  openTags_.push_back({name, false});
}

// Closes the innermost open tag of that name; false when none is open.
bool CSecurHtml::CloseOpenTag(const Text& name) {
  auto found = openIndexByName_.find(name);
  if (found == openIndexByName_.end() || found->second.empty()) return false;
  openTags_[found->second.back()].closed = true;
  found->second.pop_back();
  while (!openTags_.empty() && openTags_.back().closed) openTags_.pop_back();
  return true;
}

void SanitizeHtml(Text& html, TextView base, const Text* whitelist) {
  CSecurHtml(whitelist).Sanitize(html, base);
}
