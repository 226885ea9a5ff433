// A rough, linear scan of an XML document's markup, for what must be fixed before the platform's
// DOM sees it: DOCTYPE declarations and namespace prefixes. Not a parser; where the document is
// not well-formed the DOM reports it. Works on any ASCII-compatible bytes.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "util/code_page.h"

struct ByteRange {
  size_t begin;
  size_t end;
};

// A namespace declaration the document lacks: `prefix` is used in the start tag whose name ends
// at `at`, and no declaration of it is in scope there (on the tag itself or an enclosing
// element). `declaredName` is the namespace name the first declaration of the prefix elsewhere
// in the document gives it, when there is one that can be written between double quotes.
struct MissingDeclaration {
  size_t at;
  std::string_view prefix;
  std::string_view declaredName;
};

struct MarkupScan {
  // With checkUtf8: the form of the whole document, or kIllFormed as soon as a byte shows it (the
  // rest of the scan is then incomplete). Without: kAscii.
  Utf8Form utf8 = Utf8Form::kAscii;
  // Every <!DOCTYPE ...> outside comments, CDATA sections and processing instructions, with its
  // internal subset; an unterminated one runs to the end of the document.
  std::vector<ByteRange> doctypes;
  // Prefixes of element and attribute names, other than "xml" and "xmlns" and only those that are
  // names, used where no declaration of them is in scope: one entry per start tag and prefix, in
  // document order. Once listed for a tag, a prefix counts as declared for the element's content.
  std::vector<MissingDeclaration> missingDeclarations;
};

// Each byte is looked at once (checkUtf8 included), so this is the whole cost of a document that
// needs nothing changed.
MarkupScan ScanMarkup(std::string_view document, bool checkUtf8);
