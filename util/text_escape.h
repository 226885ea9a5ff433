// Escaping of text for the places it is written into: HTML, script string literals, file names.
#pragma once

#include "util/text.h"

// "&", ">" and "<" become entities. Quotes are left alone: the result is meant for element
// content, not for attribute values.
Text EscapeHtml(TextView text);

// For a double-quoted attribute value: the escapes of EscapeHtml and a double quote as "&quot;".
Text EscapeAttribute(TextView text);

// For text inside a single-quoted script string in a page: the escapes of EscapeHtml, then a
// backslash doubled, a double quote as "&quot;", an apostrophe preceded by a backslash, and
// CR, LF, U+2028 and U+2029 as their script escapes.
Text EscapeForScript(TextView text);

// The nine characters file names forbid become their full-width look-alikes.
Text SafeFileName(TextView text);
