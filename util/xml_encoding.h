// How the bytes of an XML document are encoded: its declaration, the names of encodings, and the
// decoding of any of them to UTF-8. Portable; PrepareXmlForDom (util/xml_bytes.h) puts it together.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Declarations and HTTP headers name UTF-16 too; the bytes then decide which order they are in.
constexpr unsigned kCodePageUtf16Le = 1200;
constexpr unsigned kCodePageUtf16Be = 1201;

// The Windows code page for an encoding name of an XML declaration or an HTTP charset, compared
// without regard to case: the Shift_JIS names give 932 (Windows' superset, as feeds declared
// Shift_JIS do contain ①, Ⅲ and ㈱), the EUC-JP names 20932, ISO-8859-1 and US-ASCII 1252 (as
// browsers read them). 0 when the name is unknown.
unsigned CodePageForEncodingName(std::string_view name);

// Where the XML declaration "<?xml ...?>" at the very start of an ASCII-compatible text is, and
// the value of its encoding pseudo-attribute.
struct XmlDeclaration {
  size_t end = 0;            // 0: there is no declaration
  size_t encodingBegin = 0;  // 0: it names no encoding
  size_t encodingLength = 0;
};
XmlDeclaration FindXmlDeclaration(std::string_view document);

// The encoding named by the declaration at the start of the bytes, after a UTF-8 byte-order mark
// and white space; empty when there is none (or the bytes are UTF-16).
std::string_view DeclaredEncodingName(std::string_view bytes);

// A UTF-16 document, recognised by its byte-order mark or by "<?" as its first two characters,
// as UTF-8 (the mark dropped); nullopt when the bytes are not UTF-16 by those signs.
std::optional<std::string> Utf16DocumentToUtf8(std::string_view bytes);

// Bytes that are not well-formed UTF-8 as UTF-8: in the declared code page when that reads them,
// otherwise as EUC-JP, Shift_JIS or, accepting any byte, Windows-1252, in that order of likelihood.
// Always well-formed UTF-8.
std::string DecodeToUtf8(std::string_view bytes, unsigned declaredCodePage);
