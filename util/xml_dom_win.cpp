#include "util/xml_dom_win.h"

#include <new>
#include <utility>

#include "util/code_page.h"
#include "util/file_io_win.h"
#include "util/wide_win.h"
#include "util/variant_win.h"
#include "util/xml_bytes.h"
#include "util/xml_reader.h"
#include "util/xml_writer.h"

namespace {

// The MSXML 3 document and its second interface (for the parser properties).
constexpr CLSID kClsidDomDocument30 = {
    0xF6D90F11, 0x9C73, 0x11D3, {0xB3, 0x2E, 0x00, 0xC0, 0x4F, 0x99, 0x0B, 0xB4}};
constexpr IID kIidXmlDomDocument2 = {
    0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

unique_bstr MakeBstr(TextView text) {
  return unique_bstr(::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                         static_cast<UINT>(text.size())));
}

Text TakeBstr(BSTR raw) {
  unique_bstr owned(raw);
  return raw ? FromWide(raw, ::SysStringLen(raw)) : Text();
}

Text NodeName(IXMLDOMNode* node) {
  BSTR name = nullptr;
  return SUCCEEDED(node->get_nodeName(&name)) ? TakeBstr(name) : Text();
}

Text NodeValue(IXMLDOMNode* node) {
  VARIANT value;
  ::VariantInit(&value);
  Text text;
  if (SUCCEEDED(node->get_nodeValue(&value)) && value.vt == VT_BSTR && value.bstrVal)
    text = FromWide(value.bstrVal, ::SysStringLen(value.bstrVal));
  ::VariantClear(&value);
  return text;
}

void ReadAttributes(IXMLDOMNode* node, XmlElement& element) {
  com_ptr<IXMLDOMNamedNodeMap> attributes;
  long count = 0;
  if (FAILED(node->get_attributes(attributes.put())) || !attributes ||
      FAILED(attributes->get_length(&count)))
    return;
  element.attributes.reserve(static_cast<size_t>(count));
  for (long i = 0; i < count; ++i) {
    com_ptr<IXMLDOMNode> attribute;
    if (SUCCEEDED(attributes->get_item(i, attribute.put())) && attribute)
      element.attributes.push_back({NodeName(attribute.get()), NodeValue(attribute.get())});
  }
}

// Copies the children of `node` below `element`; false when the document nests too deeply.
bool ReadChildren(IXMLDOMNode* node, XmlElement& element, int depth) {
  if (depth > kMaxXmlDepth) return false;
  com_ptr<IXMLDOMNode> child;
  node->get_firstChild(child.put());
  while (child) {
    DOMNodeType type = NODE_INVALID;
    child->get_nodeType(&type);
    if (type == NODE_ELEMENT) {
      XmlElement& added = element.AddElement(NodeName(child.get()));
      ReadAttributes(child.get(), added);
      if (!ReadChildren(child.get(), added, depth + 1)) return false;
    } else if (type == NODE_TEXT || type == NODE_CDATA_SECTION) {
      element.AddText(NodeValue(child.get()));
    }
    com_ptr<IXMLDOMNode> next;
    child->get_nextSibling(next.put());
    child = std::move(next);
  }
  return true;
}

// The document is handed over as a byte array: the DOM parses it in place, while reading
// from a stream goes through many small copies.
struct ByteArray {
  SAFEARRAY* array = nullptr;
  explicit ByteArray(std::string_view bytes) {
    if (bytes.size() > ULONG(-1)) return;
    array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    void* data = nullptr;
    if (!array || FAILED(::SafeArrayAccessData(array, &data))) return;
    std::copy(bytes.begin(), bytes.end(), static_cast<char*>(data));
    ::SafeArrayUnaccessData(array);
  }
  ByteArray(const ByteArray&) = delete;
  ByteArray& operator=(const ByteArray&) = delete;
  ~ByteArray() {
    if (array) ::SafeArrayDestroy(array);
  }
};

void FillLoadError(IXMLDOMDocument2* document, XmlLoadError* error) {
  if (!error) return;
  *error = XmlLoadError{};
  com_ptr<IXMLDOMParseError> parseError;
  if (FAILED(document->get_parseError(parseError.put())) || !parseError) return;
  long line = 0, column = 0;
  BSTR reason = nullptr;
  parseError->get_line(&line);
  parseError->get_linepos(&column);
  if (SUCCEEDED(parseError->get_reason(&reason))) error->reason = Text(Trim(TakeBstr(reason)));
  error->line = line > 0 ? static_cast<uint32_t>(line) : 0;
  error->column = column > 0 ? static_cast<uint32_t>(column) : 0;
}

}  // namespace

bool CXmlDomDocument::Create() {
  if (FAILED(::CoCreateInstance(kClsidDomDocument30, nullptr, CLSCTX_INPROC_SERVER,
                                kIidXmlDomDocument2, document_.put_void())) ||
      !document_)
    return false;
  document_->put_async(VARIANT_FALSE);
  document_->put_validateOnParse(VARIANT_FALSE);
  document_->put_resolveExternals(VARIANT_FALSE);
  // Older parsers lack these properties and refuse them, which is no failure: their documents
  // never reach here with a DTD, and the depth is checked again when the tree is copied. Without
  // the depth, MSXML 3 on Windows nests without limit, deeper than the copy ever goes.
  SetProperty(u"ProhibitDTD", BoolArgument(true));
  SetProperty(u"MaxElementDepth", IntegerArgument(kMaxXmlDepth));
  SetProperty(u"MaxXMLSize", IntegerArgument(kMaxXmlKilobytes));
  return true;
}

HRESULT CXmlDomDocument::SetProperty(TextView name, const VARIANT& value) {
  return document_->setProperty(MakeBstr(name).get(), value);
}

bool CXmlDomDocument::LoadBytes(std::string_view utf8, XmlLoadError* error) {
  if (error) *error = XmlLoadError{};
  if (!document_) return false;
  ByteArray bytes(utf8);
  if (!bytes.array) return false;
  VARIANT source;
  ::VariantInit(&source);
  source.vt = VT_ARRAY | VT_UI1;
  source.parray = bytes.array;
  VARIANT_BOOL loaded = VARIANT_FALSE;
  if (FAILED(document_->load(source, &loaded)) || loaded != VARIANT_TRUE) {
    FillLoadError(document_.get(), error);
    return false;
  }
  return true;
}

std::optional<XmlElement> CXmlDomDocument::RootElement() const {
  if (!document_) return std::nullopt;
  com_ptr<IXMLDOMElement> root;
  if (FAILED(document_->get_documentElement(root.put())) || !root) return std::nullopt;
  XmlElement element(NodeName(root.get()));
  ReadAttributes(root.get(), element);
  if (!ReadChildren(root.get(), element, 1)) return std::nullopt;
  return element;
}

std::optional<XmlElement> LoadXmlDocument(std::string_view bytes, XmlLoadError* error) {
  if (error) *error = XmlLoadError{};
  const std::string prepared = PrepareXmlForDom(bytes);
  // Most documents are plain: read directly, several times faster than through the DOM.
  if (prepared.size() <= kMaxDocumentFileBytes) {
    if (auto root = ReadPlainXml(prepared, kMaxXmlDepth)) return root;
  }
  CXmlDomDocument document;
  if (!document.Create()) return std::nullopt;
  if (!document.LoadBytes(prepared, error)) return std::nullopt;
  return document.RootElement();
}

std::optional<XmlElement> LoadXmlFile(const Text& path, XmlLoadError* error) {
  if (error) *error = XmlLoadError{};
  auto bytes = ReadWholeFile(path);
  if (!bytes) return std::nullopt;
  return LoadXmlDocument(*bytes, error);
}

std::optional<std::string> SaveXmlDocument(const XmlDocumentData& data) {
  try {
    return WriteXmlDocument(data);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}
