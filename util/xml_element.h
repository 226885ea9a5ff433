// A loaded or to-be-saved XML document as plain data. The platform's DOM fills it when a
// document is read and builds its own document from it when one is written; everything that
// interprets documents (feeds, OPML, the data file) works on this tree alone.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "util/text.h"

struct XmlAttribute {
  Text name;  // qualified name as written
  Text value;
};

struct XmlNode;

class XmlElement {
 public:
  // Out of line: the node type is still incomplete here, which some compilers refuse.
  XmlElement();
  explicit XmlElement(Text qualifiedName);

  Text name;  // qualified name as written, prefix included ("dc:date")
  std::vector<XmlAttribute> attributes;
  std::vector<XmlNode> children;  // elements and text in document order

  // Reading. Children are found by their qualified name as written.
  const XmlElement* Child(TextView childName) const;
  std::vector<const XmlElement*> Children(TextView childName) const;
  std::vector<const XmlElement*> ChildElements() const;
  // The text of every descendant joined, without the white space at both ends.
  Text InnerText() const;
  // The text of the named child; empty when there is none.
  Text ChildText(TextView childName) const;
  std::optional<Text> Attribute(TextView attributeName) const;
  Text AttributeOr(TextView attributeName, TextView fallback = {}) const;
  // The element with its attributes and content serialised as markup.
  Text Markup() const;

  // Building.
  XmlElement& AddElement(Text childName);
  XmlElement& AddElement(Text childName, TextView text);
  void AddText(TextView text);
  void SetAttribute(Text attributeName, Text value);

 private:
  void AppendInnerText(Text& out) const;
  void AppendMarkup(Text& out) const;
};

struct XmlNode {
  // An element node when `isText` is false; the text node's content otherwise.
  bool isText = false;
  Text text;
  std::unique_ptr<XmlElement> element;

  static XmlNode OfText(Text content);
  static XmlNode OfElement(XmlElement element);
};

// A whole document: the data of the leading "xml" declaration and the root element.
struct XmlDocumentData {
  Text declaration;  // e.g. "version='1.0' encoding='utf-8'"; empty: none
  XmlElement root;
};
