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

struct MarkupScan {
  // With checkUtf8: the form of the whole document, or kIllFormed as soon as a byte shows it (the
  // rest of the scan is then incomplete). Without: kAscii.
  Utf8Form utf8 = Utf8Form::kAscii;
  // Every <!DOCTYPE ...> outside comments, CDATA sections and processing instructions, with its
  // internal subset; an unterminated one runs to the end of the document.
  std::vector<ByteRange> doctypes;
  // Just after the name of the first start tag, where namespace declarations for the whole
  // document can go; npos without one.
  size_t rootNameEnd = std::string_view::npos;
  // Prefixes of element and attribute names that no xmlns:prefix attribute anywhere declares,
  // other than "xml" and "xmlns", in the order of first use; only those that are names.
  std::vector<std::string_view> unboundPrefixes;
};

// Each byte is looked at once (checkUtf8 included), so this is the whole cost of a document that
// needs nothing changed.
MarkupScan ScanMarkup(std::string_view document, bool checkUtf8);
