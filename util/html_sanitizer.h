// Whitelist HTML filter for the titles and bodies of articles written into the reading pages.
#pragma once

#include <unordered_map>
#include <vector>

#include "util/text.h"

class CSecurHtml {
 public:
  // Whitelist entries are separated by commas; each is a tag name followed by the attributes
  // allowed on it, separated by spaces. "br/" declares a void element, "*" lists attributes
  // allowed on every tag and "!" allows comments. A null whitelist allows everything: only the
  // links are rewritten then.
  explicit CSecurHtml(const Text* whitelist);

  // Removes what the whitelist refuses, makes addresses absolute against base (one to an
  // unknown scheme such as javascript:, one left relative and one to this computer become
  // empty) and closes elements left open.
  void Sanitize(Text& html, TextView base);

 private:
  struct TagRule {
    std::vector<Text> attributes;  // lower-case
    bool isVoid = false;
  };
  struct TagName;
  struct Attribute;
  struct OpenTag {
    Text name;
    bool closed = false;
  };

  size_t ScanTag(size_t lt);
  size_t ScanComment(size_t lt);
  void AppendAttribute(Text& tag, const Attribute& attribute, const TagName& name,
                       const TagRule* rule) const;
  bool AcceptTag(const TagName& name, const TagRule* rule);
  bool IsAllowedAttribute(const TagRule& rule, TextView name) const;
  void PushOpenTag(const Text& name);
  bool CloseOpenTag(const Text& name);

  std::unordered_map<Text, TagRule> rules_;  // by lower-case tag name
  std::vector<Text> everyTagAttributes_;
  bool allowComments_ = false;
  bool allowEverything_ = false;

  // State of one Sanitize call. Closed entries of the stack are only marked, so that closing
  // a tag deep in a long stack costs no search and no shifting.
  std::vector<OpenTag> openTags_;
  std::unordered_map<Text, std::vector<size_t>> openIndexByName_;
  TextView source_;
  TextView base_;
  Text out_;
};

// One-call form of CSecurHtml; a null whitelist allows everything.
void SanitizeHtml(Text& html, TextView base, const Text* whitelist);
