// A fast reader for the plain kind of XML documents the program mostly meets (its own data
// file, most feeds and lists): UTF-8, no document type, only the predefined entities. It builds
// the same tree the platform's DOM gives (white-space-only text dropped, line ends and attribute
// values normalised), at a fraction of the cost. Anything it is not certain of (a construct
// outside that subset, or any doubt about well-formedness) makes it decline, and the caller
// loads the document through the DOM, which then decides as before.
#pragma once

#include <optional>
#include <string_view>

#include "util/xml_element.h"

// nullopt: declined (not necessarily malformed). `maxDepth` counts the root as 1.
std::optional<XmlElement> ReadPlainXml(std::string_view utf8, int maxDepth);
