#include "util/xml_element.h"

#include <utility>

#include "util/text_escape.h"

XmlElement::XmlElement() = default;
XmlElement::XmlElement(Text qualifiedName) : name(std::move(qualifiedName)) {}

XmlNode XmlNode::OfText(Text content) {
  XmlNode node;
  node.isText = true;
  node.text = std::move(content);
  return node;
}

XmlNode XmlNode::OfElement(XmlElement element) {
  XmlNode node;
  node.element = std::make_unique<XmlElement>(std::move(element));
  return node;
}

const XmlElement* XmlElement::Child(TextView childName) const {
  for (const auto& child : children)
    if (!child.isText && child.element->name == childName) return child.element.get();
  return nullptr;
}

std::vector<const XmlElement*> XmlElement::Children(TextView childName) const {
  std::vector<const XmlElement*> found;
  for (const auto& child : children)
    if (!child.isText && child.element->name == childName) found.push_back(child.element.get());
  return found;
}

std::vector<const XmlElement*> XmlElement::ChildElements() const {
  std::vector<const XmlElement*> found;
  for (const auto& child : children)
    if (!child.isText) found.push_back(child.element.get());
  return found;
}

void XmlElement::AppendInnerText(Text& out) const {
  for (const auto& child : children) {
    if (child.isText)
      out += child.text;
    else
      child.element->AppendInnerText(out);
  }
}

// As the DOM's own text property gives it: white space around the content is layout, not data.
Text XmlElement::InnerText() const {
  if (children.size() == 1 && children.front().isText) return Text(Trim(children.front().text));
  Text joined;
  AppendInnerText(joined);
  return Text(Trim(joined));
}

Text XmlElement::ChildText(TextView childName) const {
  const XmlElement* child = Child(childName);
  return child ? child->InnerText() : Text();
}

std::optional<Text> XmlElement::Attribute(TextView attributeName) const {
  for (const auto& attribute : attributes)
    if (attribute.name == attributeName) return attribute.value;
  return std::nullopt;
}

Text XmlElement::AttributeOr(TextView attributeName, TextView fallback) const {
  auto value = Attribute(attributeName);
  return value ? std::move(*value) : Text(fallback);
}


void XmlElement::AppendMarkup(Text& out) const {
  out += u'<';
  out += name;
  for (const auto& attribute : attributes) {
    out += u' ';
    out += attribute.name;
    out += u"=\"";
    out += EscapeAttribute(attribute.value);
    out += u'"';
  }
  if (children.empty()) {
    out += u"/>";
    return;
  }
  out += u'>';
  for (const auto& child : children) {
    if (child.isText)
      out += EscapeHtml(child.text);
    else
      child.element->AppendMarkup(out);
  }
  out += u"</";
  out += name;
  out += u'>';
}

Text XmlElement::Markup() const {
  Text out;
  AppendMarkup(out);
  return out;
}

XmlElement& XmlElement::AddElement(Text childName) {
  children.push_back(XmlNode::OfElement(XmlElement(std::move(childName))));
  return *children.back().element;
}

XmlElement& XmlElement::AddElement(Text childName, TextView text) {
  XmlElement& child = AddElement(std::move(childName));
  child.AddText(text);
  return child;
}

void XmlElement::AddText(TextView text) {
  if (!text.empty()) children.push_back(XmlNode::OfText(Text(text)));
}

void XmlElement::SetAttribute(Text attributeName, Text value) {
  for (auto& attribute : attributes) {
    if (attribute.name == attributeName) {
      attribute.value = std::move(value);
      return;
    }
  }
  attributes.push_back({std::move(attributeName), std::move(value)});
}
