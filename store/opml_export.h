// OPML export: the whole tree or one folder as a subscription list others can read.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/data_file.h"
#include "util/xml_element.h"

enum class OpmlEncoding { kUtf8, kShiftJis };

inline constexpr char16_t kOpmlExportFileName[] = u"export.xml";
inline constexpr char16_t kOpmlExportTitle[] = u"pelun export";

// "utf-8" or "Shift-JIS", as the declaration names it.
TextView OpmlEncodingName(OpmlEncoding encoding);

// The folder's outline alone, or every top-level folder's in tree order when `folder` is null.
XmlDocumentData BuildOpmlExport(const FolderList& folders, const CFolderItem* folder,
                                OpmlEncoding encoding);

// The DOM serialises to UTF-8; this turns such a document into the bytes of the chosen encoding
// with a declaration naming it. Characters Shift-JIS lacks become character references, so no
// name is lost. Nullopt when the input is no UTF-8 document.
std::optional<std::string> EncodeOpmlExport(std::string_view utf8Document, OpmlEncoding encoding);
