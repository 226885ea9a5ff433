// Documents written as UTF-8 markup directly, byte for byte what the platform's DOM writes for
// them (the declaration on its own line, no indentation), without building a DOM first.
#pragma once

#include <string>

#include "util/xml_element.h"

// Text escapes &, < and >, and a carriage return, which a reader would otherwise turn into a
// line feed; attribute values also the double quote, tab and line breaks, which a reader would
// turn into spaces. Characters XML cannot hold (control characters, a lone surrogate) are left
// out, so that what is written can always be read again.
std::string WriteXmlDocument(const XmlDocumentData& data);
