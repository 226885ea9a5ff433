// The prepared bytes of every corpus document in the platform's real MSXML 3 DOM: the readable
// ones load with their text intact, the hostile ones are refused.
#include <windows.h>

#include <msxml2.h>

#include <gtest/gtest.h>

#include "tests/unit/test_data.h"
#include "tests/unit/util/xml_corpus.h"
#include "util/code_page.h"
#include "util/unique_handle_win.h"
#include "util/wide_win.h"
#include "util/xml_bytes.h"

namespace {

// MSXML 3's DOMDocument and IXMLDOMDocument2; mingw declares the interfaces but has no library
// with their GUIDs.
constexpr CLSID kClsidDomDocument30 = {0xF6D90F11, 0x9C73, 0x11D3, {0xB3, 0x2E, 0x00, 0xC0, 0x4F, 0x99, 0x0B, 0xB4}};
constexpr IID kIidXmlDomDocument2 = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

class ComApartment {
 public:
  ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }

 private:
  HRESULT result_;
};

Text TakeBstr(unique_bstr& text) { return text ? FromWide(text.get(), ::SysStringLen(text.get())) : Text(); }

struct Loaded {
  bool ok = false;
  Text rootText;  // when loaded
  Text everything;  // the serialised document, or the parse error's reason and source text
  com_ptr<IXMLDOMDocument2> document;
};

Loaded LoadIntoDom(std::string_view bytes) {
  Loaded loaded;
  if (FAILED(::CoCreateInstance(kClsidDomDocument30, nullptr, CLSCTX_INPROC_SERVER, kIidXmlDomDocument2,
                                loaded.document.put_void())))
    return loaded;
  com_ptr<IStream> stream;
  if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) return loaded;
  ULONG written = 0;
  stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
  stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);

  loaded.document->put_async(VARIANT_FALSE);
  VARIANT source;
  ::VariantInit(&source);
  source.vt = VT_UNKNOWN;
  source.punkVal = stream.get();  // borrowed for the call, so not cleared
  VARIANT_BOOL success = VARIANT_FALSE;
  loaded.document->load(source, &success);
  loaded.ok = success == VARIANT_TRUE;

  unique_bstr text;
  if (loaded.ok) {
    com_ptr<IXMLDOMElement> root;
    if (SUCCEEDED(loaded.document->get_documentElement(root.put())) && root) root->get_text(text.put());
    loaded.rootText = TakeBstr(text);
    loaded.document->get_xml(text.put());
    loaded.everything = TakeBstr(text);
  } else {
    com_ptr<IXMLDOMParseError> error;
    if (SUCCEEDED(loaded.document->get_parseError(error.put())) && error) {
      error->get_reason(text.put());
      loaded.everything = TakeBstr(text);
      error->get_srcText(text.put());
      loaded.everything += TakeBstr(text);
    }
  }
  return loaded;
}

// The node a path of qualified names selects, as its name and text; empty when none.
std::pair<Text, Text> SelectNode(IXMLDOMDocument2* document, const Text& path) {
  unique_bstr query(::SysAllocString(W(path)));
  com_ptr<IXMLDOMNode> node;
  if (FAILED(document->selectSingleNode(query.get(), node.put())) || !node) return {};
  unique_bstr name, text;
  node->get_nodeName(name.put());
  node->get_text(text.put());
  return {TakeBstr(name), TakeBstr(text)};
}

}  // namespace

TEST(XmlBytesInDom, PreparedCorpusLoadsWithItsTextOrIsRefused) {
  ComApartment apartment;
  for (const CorpusFile& file : EncodingCorpus()) {
    SCOPED_TRACE(file.name);
    const std::string bytes = ReadTestData("feeds/encodings/" + std::string(file.name));
    ASSERT_FALSE(bytes.empty());
    const Loaded loaded = LoadIntoDom(PrepareXmlForDom(bytes));
    ASSERT_TRUE(loaded.document);
    EXPECT_EQ(loaded.ok, file.loads) << ToUtf8(loaded.everything);
    for (const std::string_view text : file.texts)
      EXPECT_NE(loaded.rootText.find(FromUtf8(text)), Text::npos) << text;
    // Nothing of the external file (win.ini of the prefix: "[mail]" and "MAPI=1") shows anywhere.
    EXPECT_EQ(ToLowerAscii(loaded.everything).find(u"mapi"), Text::npos);
  }
}

TEST(XmlBytesInDom, UnboundPrefixesKeepTheirQualifiedNames) {
  ComApartment apartment;
  const Loaded loaded = LoadIntoDom(PrepareXmlForDom(ReadTestData("feeds/encodings/unbound-prefix.xml")));
  ASSERT_TRUE(loaded.ok) << ToUtf8(loaded.everything);
  // Without the declarations Wine's DOM drops the prefixes ("date") and Windows' refuses the
  // document. (Wine's getElementsByTagName matches local names only, so paths are used here.)
  const std::pair<Text, Text> expected[] = {
      {u"dc:date", u"2024-01-02T03:04:05+09:00"},
      {u"dc:creator", u"山田太郎"},
      {u"content:encoded", u"<p>本文</p>"},
      {u"my:extra", u"extra"},
  };
  for (const auto& [name, text] : expected)
    EXPECT_EQ(SelectNode(loaded.document.get(), u"rss/channel/item/" + name), std::make_pair(name, text));
}
