// The subscription tree as the document of the data file "pelun.dat".
#pragma once

#include <memory>
#include <vector>

#include "store/item_tree.h"
#include "util/xml_element.h"

inline constexpr char16_t kDataFileName[] = u"pelun.dat";
inline constexpr char16_t kDataBackupFileName[] = u"pelun.dat.bak";

using FolderList = std::vector<std::unique_ptr<CFolderItem>>;

// The declaration, the root with its three namespaces, and one element per folder.
XmlDocumentData BuildDataDocument(const FolderList& folders);

// Appends the folders of a data document to `folders`; false when the root is not the data
// file's. Elements that are not folders are ignored.
[[nodiscard]] bool ReadDataDocument(const XmlElement& root, const ItemReadOptions& options,
                                    FolderList& folders);
