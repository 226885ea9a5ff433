// The platform's XML DOM (MSXML 3, by its class id) behind a small owner: documents are loaded
// from bytes into the plain tree of util/xml_element.h, and built from such a tree to be saved.
#pragma once

#include <windows.h>
#include <msxml2.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "util/file_io_win.h"
#include "util/text.h"
#include "util/unique_handle_win.h"
#include "util/xml_element.h"

// Why a document did not load. Line and column are 0 when the parser gave none.
struct XmlLoadError {
  uint32_t line = 0;
  uint32_t column = 0;
  Text reason;
};

// Deeper documents are refused: nothing the program reads nests this far, and the limit keeps
// every walk over the tree within a small stack.
inline constexpr int kMaxXmlDepth = 256;
// The largest document handed to the DOM, in kilobytes: the largest file the program reads, with
// room for re-encoding to UTF-8 (two bytes of Shift_JIS may become three).
inline constexpr long kMaxXmlKilobytes = static_cast<long>(kMaxDocumentFileBytes / 1024 * 2);

class CXmlDomDocument {
 public:
  // Creates the DOM document with external resources and document type definitions switched
  // off. False when the component is missing.
  [[nodiscard]] bool Create();
  explicit operator bool() const { return static_cast<bool>(document_); }
  IXMLDOMDocument2* get() const { return document_.get(); }

  // Loads UTF-8 bytes as they are, synchronously.
  [[nodiscard]] bool LoadBytes(std::string_view utf8, XmlLoadError* error);
  // The loaded document's root element as a plain tree; nullopt without one or when it nests
  // deeper than kMaxXmlDepth.
  std::optional<XmlElement> RootElement() const;

 private:
  HRESULT SetProperty(TextView name, const VARIANT& value);

  com_ptr<IXMLDOMDocument2> document_;
};

// Bytes from the network or a file: the encoding is settled and unsafe parts are removed
// before the DOM sees them.
std::optional<XmlElement> LoadXmlDocument(std::string_view bytes, XmlLoadError* error = nullptr);
std::optional<XmlElement> LoadXmlFile(const Text& path, XmlLoadError* error = nullptr);
std::optional<std::string> SaveXmlDocument(const XmlDocumentData& data);
