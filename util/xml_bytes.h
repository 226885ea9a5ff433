// The one preparation every document (feed, OPML, the program's data file) goes through before
// the platform's XML DOM loads it, so that it loads the same on Windows and under Wine, whatever
// its encoding, and safely. The encoding helpers are in util/xml_encoding.h.
#pragma once

#include <span>
#include <string>
#include <string_view>

// The document as UTF-8 the DOM loads:
// - decoded from UTF-16 (by byte-order mark or first bytes), from the declared code page, or,
//   when the declaration does not match the bytes, from what the bytes are (well-formed UTF-8,
//   EUC-JP, Shift_JIS, Windows-1252); a UTF-8 byte-order mark and white space before the XML
//   declaration are dropped, and the declaration's encoding is rewritten to "UTF-8";
// - every DOCTYPE declaration blanked (BlankDoctypes), so that no DTD, entity or external
//   reference reaches the DOM;
// - namespace prefixes used where no xmlns:prefix declaration is in scope declared on the start
//   tag that uses them: with the namespace name the document gives the prefix elsewhere, else the
//   common feed modules (dc, content, rdf, atom, ...) with their real names, so that names such
//   as "dc:date" read the same whether or not, or wherever, the document binds them.
// A document that needs none of this comes back byte for byte, after one pass over it.
std::string PrepareXmlForDom(std::string_view bytes);

// Overwrites every <!DOCTYPE ...> declaration, internal subset included, with spaces, keeping
// its line breaks so that line numbers stay; an unterminated one is blanked to the end. Comments,
// CDATA sections and processing instructions that merely contain the word stay. For bytes of any
// ASCII-compatible encoding (UTF-16 is left alone). True when something was blanked.
bool BlankDoctypes(std::span<char> bytes);
