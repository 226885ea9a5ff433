// Every corpus document through the whole reading path: byte preparation, the platform's real
// DOM and the copy into the plain tree.
#include <gtest/gtest.h>

#include "tests/unit/test_data.h"
#include "tests/unit/util/xml_corpus.h"
#include "util/code_page.h"
#include "util/xml_bytes.h"
#include "util/xml_dom_win.h"
#include "util/xml_reader.h"

TEST(XmlDocument, CorpusLoadsWithItsTextOrIsRefused) {
  for (const CorpusFile& file : EncodingCorpus()) {
    SCOPED_TRACE(file.name);
    const std::string bytes = ReadTestData("feeds/encodings/" + std::string(file.name));
    ASSERT_FALSE(bytes.empty());
    XmlLoadError error;
    const auto root = LoadXmlDocument(bytes, &error);
    EXPECT_EQ(root.has_value(), file.loads);
    const Text text = root ? root->Markup() : error.reason;
    const Text inner = root ? root->InnerText() : Text();
    for (const std::string_view expected : file.texts)
      EXPECT_NE(inner.find(FromUtf8(expected)), Text::npos) << expected;
    // Nothing of the file the XXE document points at (the prefix's win.ini: "[mail]",
    // "MAPI=1") shows anywhere.
    EXPECT_EQ(ToLowerAscii(text).find(u"mapi"), Text::npos);
  }
}

TEST(XmlDocument, PrefixesKeepTheirQualifiedNamesWhereverDeclared) {
  const auto root = LoadXmlDocument(ReadTestData("feeds/encodings/unbound-prefix.xml"));
  ASSERT_TRUE(root);
  const XmlElement* channel = root->Child(u"channel");
  ASSERT_NE(channel, nullptr);
  const XmlElement* item = channel->Child(u"item");
  ASSERT_NE(item, nullptr);
  // Without the declarations Wine's DOM drops the prefixes ("date") and Windows' refuses the
  // document.
  EXPECT_EQ(item->ChildText(u"dc:date"), u"2024-01-02T03:04:05+09:00");
  EXPECT_EQ(item->ChildText(u"dc:creator"), u"山田太郎");
  EXPECT_EQ(item->ChildText(u"content:encoded"), u"<p>本文</p>");
  EXPECT_EQ(item->ChildText(u"my:extra"), u"extra");

  // Declared on one item only: the next item's names read the same.
  const auto scoped = LoadXmlDocument(
      "<rss version=\"2.0\"><channel><item xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:date>1</dc:date>"
      "</item><item><dc:date>2</dc:date><dc:creator>B</dc:creator></item></channel></rss>");
  ASSERT_TRUE(scoped);
  const auto items = scoped->Child(u"channel")->Children(u"item");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0]->ChildText(u"dc:date"), u"1");
  EXPECT_EQ(items[1]->ChildText(u"dc:date"), u"2");
  EXPECT_EQ(items[1]->ChildText(u"dc:creator"), u"B");
}

TEST(XmlDocument, TooDeepDocumentsAreRefused) {
  auto nested = [](int depth) {
    std::string document;
    for (int i = 0; i < depth; ++i) document += "<a>";
    for (int i = 0; i < depth; ++i) document += "</a>";
    return document;
  };
  EXPECT_TRUE(LoadXmlDocument(nested(kMaxXmlDepth)));
  EXPECT_FALSE(LoadXmlDocument(nested(kMaxXmlDepth + 1)));
  EXPECT_FALSE(LoadXmlDocument(nested(100000)));
}

namespace {

// The tree with every node boundary visible, so that two readers can be compared exactly.
// Namespace declarations are left out: Wine's DOM lists only some of them, Windows' all, and
// nothing reads them.
void Dump(const XmlElement& element, Text& out) {
  out += u"<" + element.name;
  for (const auto& attribute : element.attributes)
    if (attribute.name != u"xmlns" && !StartsWith(attribute.name, u"xmlns:"))
      out += u" " + attribute.name + u"=[" + attribute.value + u"]";
  out += u">";
  for (const XmlNode& child : element.children) {
    if (child.isText) out += u"{" + child.text + u"}";
    else Dump(*child.element, out);
  }
  out += u"</>";
}

std::optional<Text> ThroughDom(const std::string& prepared) {
  CXmlDomDocument document;
  if (!document.Create() || !document.LoadBytes(prepared, nullptr)) return std::nullopt;
  const auto root = document.RootElement();
  if (!root) return std::nullopt;
  Text out;
  Dump(*root, out);
  return out;
}

}  // namespace

// The direct reader must give exactly the DOM's tree wherever it reads a document, and may
// only decline (never accept) what the DOM refuses.
TEST(XmlDocument, PlainReaderAgreesWithTheDom) {
  std::vector<std::pair<std::string, std::string>> documents = {
      {"text and markup", "<?xml version='1.0' encoding='utf-8' standalone='yes'?>\n<!-- c --><?pi x?>"
                          "<r a='1 &amp; 2' b=\"x\ty\r\nz\" xmlns:dc='http://purl.org/dc/elements/1.1/'>\r\n"
                          "  <t>A &lt;b&gt; &#x65E5;&#26412; \xF0\x9F\x98\x80</t>\n  <e/><e></e>"
                          "<c><![CDATA[<p>x</p>\r\n]]> tail</c><m>a<!--x-->b<?p?>c</m>"
                          "<dc:date>2024</dc:date><s>  padded  </s><n>\r\nline\rend\n</n></r>\n<!-- after -->"},
      {"data file", "<?xml version='1.0' encoding='utf-8'?>\n<pelun><item type=\"folder\"><title>F</title><newflag>0</newflag><count check=\"0\" error=\"0\" update=\"0\"/><filter condition=\"0\" scope=\"0\"/><item type=\"rss\"><title>a</title><link/><src>http://127.0.0.1:1/a.xml</src><newflag>0</newflag><usedate>1</usedate><count check=\"0\" error=\"0\" update=\"0\"/></item><item type=\"rss\"><title>b</title><link/><src>http://x/?a=1&amp;b=2</src><user>u</user><pass>p</pass><newflag>0</newflag><usedate>1</usedate><count check=\"0\" error=\"0\" update=\"0\"/></item></item></pelun>"},
      {"white space only", "<r> <a> </a>\n\t<b> x </b></r>"},
      {"white space reference", "<r><b>&#32;</b></r>"},
      {"space cdata", "<r><![CDATA[ ]]></r>"},
      {"unbound prefix", "<r><x:y/></r>"},
      {"xmlns attribute order", "<r xmlns='urn:a' xmlns:p='urn:p' p:k='v' k='w'><p:c/></r>"},
      {"same local attribute", "<r xmlns:p='urn:p' xmlns:q='urn:p' p:k='1' q:k='2'/>"},
      {"bad references", "<r>&nbsp;</r>"},
      {"bad char reference", "<r>&#0;</r>"},
      {"control character", std::string("<r>\x01</r>")},
      {"overlong utf-8", "<r>\xC0\xAF</r>"},
      {"mismatched tags", "<r><a></b></r>"},
      {"two roots", "<r/><r/>"},
      {"cdata end in text", "<r>]]></r>"},
      {"double dash comment", "<r><!-- a -- b --></r>"},
      {"lt in attribute", "<r a='<'/>"},
      {"duplicate attribute", "<r a='1' a='2'/>"},
      {"unquoted attribute", "<r a=1/>"},
      {"latin-1 declared", "<?xml version='1.0' encoding='ISO-8859-1'?><r>\xE9</r>"},
      {"version 1.1", "<?xml version='1.1'?><r/>"},
      {"xml pi late", "<r><?xml version='1.0'?></r>"},
      {"non-ascii name", "<r><\xE6\x97\xA5/></r>"},
  };
  for (const char* path : {"datafile/sample.dat", "feeds/atom03.xml", "feeds/atom10.xml", "feeds/doctype.xml",
                           "feeds/rss10.rdf", "feeds/rss20_30.xml", "feeds/unbound_prefix.xml", "feeds/undated.xml"})
    documents.emplace_back(path, ReadTestData(path));
  for (const CorpusFile& file : EncodingCorpus())
    documents.emplace_back(file.name, ReadTestData("feeds/encodings/" + std::string(file.name)));

  int read = 0;
  for (const auto& [name, bytes] : documents) {
    SCOPED_TRACE(name);
    const std::string prepared = PrepareXmlForDom(bytes);
    const auto plain = ReadPlainXml(prepared, kMaxXmlDepth);
    const auto dom = ThroughDom(prepared);
    if (!plain) continue;
    ++read;
    Text dumped;
    Dump(*plain, dumped);
    ASSERT_TRUE(dom) << "read what the DOM refuses: " << ToUtf8(dumped);
    EXPECT_EQ(ToUtf8(dumped), ToUtf8(*dom));
  }
  EXPECT_GE(read, 20) << "the plain documents are read directly";
}

// What the writer writes reads back the same through the DOM and the direct reader, with the
// characters XML cannot hold left out.
TEST(XmlDocument, WrittenDocumentsReadBack) {
  const Text tricky = u"a & b < c > \"d\" 'e'\tf\r\ng\rh\x01i \U0001F600 \xD800j";
  const Text kept = u"a & b < c > \"d\" 'e'\tf\r\ng\rhi \U0001F600 j";
  XmlDocumentData data;
  data.declaration = u"version='1.0' encoding='utf-8'";
  data.root = XmlElement(u"root");
  data.root.SetAttribute(u"value", tricky);
  data.root.AddElement(u"text", tricky);
  data.root.AddElement(u"empty");
  const auto bytes = SaveXmlDocument(data);
  ASSERT_TRUE(bytes);
  EXPECT_TRUE(bytes->starts_with("<?xml version='1.0' encoding='utf-8'?>\n<root value=\""));
  for (const bool direct : {true, false}) {
    SCOPED_TRACE(direct);
    std::optional<XmlElement> root;
    if (direct) {
      root = ReadPlainXml(*bytes, kMaxXmlDepth);
    } else {
      CXmlDomDocument document;
      ASSERT_TRUE(document.Create() && document.LoadBytes(*bytes, nullptr));
      root = document.RootElement();
    }
    ASSERT_TRUE(root);
    EXPECT_EQ(ToUtf8(root->AttributeOr(u"value")), ToUtf8(kept));
    EXPECT_EQ(ToUtf8(root->ChildText(u"text")), ToUtf8(kept));
    EXPECT_NE(root->Child(u"empty"), nullptr);
  }
}
