#include "store/data_file.h"

XmlDocumentData BuildDataDocument(const FolderList& folders) {
  XmlDocumentData document;
  document.declaration = u"version='1.0' encoding='utf-8'";
  XmlElement& root = document.root;
  root.name = u"pelun";
  root.SetAttribute(u"xmlns:rdf", u"http://www.w3.org/1999/02/22-rdf-syntax-ns#");
  root.SetAttribute(u"xmlns:dc", u"http://purl.org/dc/elements/1.1/");
  root.SetAttribute(u"xmlns:content", u"http://purl.org/rss/1.0/modules/content/");
  root.children.reserve(folders.size());
  for (const auto& folder : folders)
    if (auto element = folder->SaveToXml()) root.children.push_back(XmlNode::OfElement(std::move(*element)));
  return document;
}

bool ReadDataDocument(const XmlElement& root, const ItemReadOptions& options, FolderList& folders) {
  if (root.name != u"pelun") return false;
  for (const XmlElement* element : root.Children(u"item")) {
    if (element->Attribute(u"type") != Text(u"folder")) continue;
    auto folder = std::make_unique<CFolderItem>();
    if (folder->LoadFromXml(*element, options)) folders.push_back(std::move(folder));
  }
  return true;
}
