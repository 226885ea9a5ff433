#include "util/xml_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/unit/test_data.h"
#include "tests/unit/util/xml_corpus.h"
#include "util/code_page.h"
#include "util/xml_encoding.h"

namespace {

constexpr std::string_view kDublinCore = " xmlns:dc=\"http://purl.org/dc/elements/1.1/\"";

std::string Utf16Bytes(std::u16string_view text, bool bigEndian) {
  std::string bytes;
  for (const char16_t unit : text) {
    const char high = char(unit >> 8), low = char(unit & 0xFF);
    bytes.push_back(bigEndian ? high : low);
    bytes.push_back(bigEndian ? low : high);
  }
  return bytes;
}

// What a blanked stretch must look like: spaces, with its line breaks where they were.
std::string Spaces(std::string_view text) {
  std::string spaces(text);
  std::replace_if(spaces.begin(), spaces.end(), [](char c) { return c != '\n' && c != '\r'; }, ' ');
  return spaces;
}

std::string Blanked(std::string text, bool* found = nullptr) {
  const bool any = BlankDoctypes(text);
  if (found) *found = any;
  return text;
}

}  // namespace

TEST(PrepareXmlForDom, EveryCorpusFileBecomesUtf8SayingSo) {
  for (const CorpusFile& file : EncodingCorpus()) {
    SCOPED_TRACE(file.name);
    const std::string bytes = ReadTestData("feeds/encodings/" + std::string(file.name));
    ASSERT_FALSE(bytes.empty());
    const std::string prepared = PrepareXmlForDom(bytes);
    EXPECT_NE(ClassifyUtf8(prepared), Utf8Form::kIllFormed);
    EXPECT_EQ(DeclaredEncodingName(prepared), "UTF-8");
    EXPECT_EQ(prepared.substr(0, 6), "<?xml ");
    for (const std::string_view text : file.texts) EXPECT_NE(prepared.find(text), std::string::npos) << text;
    EXPECT_EQ(prepared.find("ENTITY"), std::string::npos);
    EXPECT_EQ(prepared.find("DOCTYPE rss"), std::string::npos);
    if (!file.name.starts_with("utf-16")) {
      EXPECT_EQ(std::count(prepared.begin(), prepared.end(), '\n'), std::count(bytes.begin(), bytes.end(), '\n'));
    }
    EXPECT_EQ(PrepareXmlForDom(prepared), prepared) << "a second preparation changes nothing";
  }
}

TEST(PrepareXmlForDom, DocumentsThatNeedNothingComeBackUnchanged) {
  const std::string cases[] = {
      ReadTestData("feeds/encodings/utf-8.xml"),
      "",
      "<a>no declaration, ASCII</a>",
      "<?xml version=\"1.0\"?>\n<a>日本語 without an encoding</a>",
      "<?xml version='1.0' encoding='utf-8'?><rss xmlns:dc=\"x\"><dc:date/><xml:lang/></rss>",
      "<a><b xmlns:x=\"u\"><x:c/></b></a>",  // declared below the root, still declared
      "<a t=\"p:q\"><!-- <z:y> --><![CDATA[<w:v>]]>k:v<?pi <u:t>?></a>",
      "<a>broken <1x:y/> name</a>",
  };
  for (const std::string& document : cases) EXPECT_EQ(PrepareXmlForDom(document), document);
}

TEST(PrepareXmlForDom, ReadsTheBytesForWhatTheyAre) {
  const std::string utf16 = "<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>日本</a>";
  const std::pair<std::string, std::string> cases[] = {
      // The declaration names the code page.
      {"<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a>\x82\xA0\x87\x40</a>",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>あ①</a>"},
      {"<?xml version='1.0' encoding = 'euc-jp' standalone='yes'?><a>\xA4\xA2\x8E\xB1</a>",
       "<?xml version='1.0' encoding = 'UTF-8' standalone='yes'?><a>あｱ</a>"},
      {"<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><a>\x80\xE9</a>",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>€é</a>"},
      {"<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a>ascii</a>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>ascii</a>"},
      {"<?xml version=\"1.0\" encoding=\"\"?><a/>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>"},
      // Well-formed UTF-8 with multi-byte characters is UTF-8, whatever is declared.
      {"<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>é</a>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>é</a>"},
      {"<?xml version=\"1.0\" encoding=\"utf-16\"?><a>é</a>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>é</a>"},
      // Declared (or taken as) UTF-8 but not: EUC-JP, then Shift_JIS, then 1252.
      {"<a>\x82\xA0</a>", "<a>あ</a>"},
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xC6\xFC\xCB\xDC</a>",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>日本</a>"},
      {"<a>caf\xE9 \x81</a>", "<a>café \u0081</a>"},
      {"<?xml version=\"1.0\" encoding=\"x-unknown\"?><a>\x82\xA0</a>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>あ</a>"},
      // A declared code page the bytes are not valid in is guessed the same way.
      {"<?xml version=\"1.0\" encoding=\"EUC-JP\"?><a>\x82\xA0</a>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>あ</a>"},
      // UTF-16 by byte-order mark or by its first bytes; the mark is dropped.
      {"\xFF\xFE" + Utf16Bytes(u"<a>日本</a>", false), "<a>日本</a>"},
      {"\xFE\xFF" + Utf16Bytes(u"<a>\U0001F600</a>", true), "<a>\U0001F600</a>"},
      {Utf16Bytes(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>日本</a>", true),
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>日本</a>"},
      {Utf16Bytes(u"<?xml version=\"1.0\"?><a/>", false) + "x", "<?xml version=\"1.0\"?><a/>\uFFFD"},
      // What comes before the declaration goes; bad bytes after a UTF-8 mark are damage.
      {"\xEF\xBB\xBF\r\n <?xml version=\"1.0\"?><a/>", "<?xml version=\"1.0\"?><a/>"},
      {"\xEF\xBB\xBF<a>\xFF\x82\xA0</a>", "<a>\uFFFD\uFFFD\uFFFD</a>"},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(PrepareXmlForDom(input), expected) << input;
}

TEST(PrepareXmlForDom, DeclaresPrefixesWhereTheyAreUsedOutOfScope) {
  const std::string dc(kDublinCore);
  const std::string content = " xmlns:content=\"http://purl.org/rss/1.0/modules/content/\"";
  const std::pair<std::string, std::string> cases[] = {
      {"<rss version=\"2.0\"><dc:date>x</dc:date></rss>", "<rss version=\"2.0\"><dc:date" + dc + ">x</dc:date></rss>"},
      {"<root my:a=\"1\"/>", "<root xmlns:my=\"urn:x-pelun:unbound:my\" my:a=\"1\"/>"},
      {"<rdf:RDF><item/></rdf:RDF>", "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"><item/></rdf:RDF>"},
      // Once per tag, and not again inside an element that got it.
      {"<a><content:encoded/><dc:x dc:y=\"1\"><dc:z/></dc:x><dc:y></dc:y></a>",
       "<a><content:encoded" + content + "/><dc:x" + dc + " dc:y=\"1\"><dc:z/></dc:x><dc:y" + dc + "></dc:y></a>"},
      // An end tag names nothing its start tag did not; a mismatch is the DOM's to report.
      {"<a>\n<b>text</b>\n</x:a>", "<a>\n<b>text</b>\n</x:a>"},
      // After a rewritten declaration and a blanked DOCTYPE the tags are still found.
      {"<?xml version=\"1.0\" encoding=\"sjis\"?>\n<!DOCTYPE a>\n<a><dc:x/></a>",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n            \n<a><dc:x" + dc + "/></a>"},
      {"<p:a<!DOCTYPE x>", "<p:a xmlns:p=\"urn:x-pelun:unbound:p\"" + Spaces("<!DOCTYPE x>")},
      // Declared on one element and used outside it: declared again with the same name, also
      // when the declaration comes later, and by a self-closing tag.
      {"<a><i xmlns:dc=\"D\"><dc:x/></i><i><dc:date/></i></a>",
       "<a><i xmlns:dc=\"D\"><dc:x/></i><i><dc:date xmlns:dc=\"D\"/></i></a>"},
      {"<a><dc:x/><i xmlns:dc='D'/><dc:y/></a>", "<a><dc:x xmlns:dc=\"D\"/><i xmlns:dc='D'/><dc:y xmlns:dc=\"D\"/></a>"},
      {"<a><i p:at=\"1\" xmlns:p=\"P\"></i><j p:at=\"2\"/></a>",
       "<a><i p:at=\"1\" xmlns:p=\"P\"></i><j xmlns:p=\"P\" p:at=\"2\"/></a>"},
      {"<a><i xmlns:p='x\"y'/><p:x/></a>", "<a><i xmlns:p='x\"y'/><p:x xmlns:p=\"urn:x-pelun:unbound:p\"/></a>"},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(PrepareXmlForDom(input), expected) << input;

  // Used only where declared: nothing to add.
  for (const std::string kept : {"<a xmlns:dc=\"D\"><i><dc:x/></i></a>",
                                 "<a><i xmlns:my=\"M\" my:at=\"1\"><my:x><my:y/></my:x></i><i/></a>",
                                 "<a><i xmlns:p=\"P\"><j/></i><k xmlns:p=\"Q\"><p:x/></k></a>"})
    EXPECT_EQ(PrepareXmlForDom(kept), kept);

  // Every prefix is declared, however many a document invents.
  std::string many = "<a>";
  std::string declared = "<a>";
  for (int i = 0; i < 1000; ++i) {
    const std::string prefix = "p" + std::to_string(i);
    many += "<" + prefix + ":x/>";
    declared += "<" + prefix + ":x xmlns:" + prefix + "=\"urn:x-pelun:unbound:" + prefix + "\"/>";
  }
  EXPECT_EQ(PrepareXmlForDom(many + "</a>"), declared + "</a>");
}

TEST(BlankDoctypes, BlanksTheWholeDeclarationKeepingLines) {
  const std::string subset =
      "<!DOCTYPE rss PUBLIC \"-//A//B > ]//EN\" 'sys>tem' [\n"
      "  <!ENTITY a \"]>\">\n  <!ENTITY b ']]>'>\n"
      "  <!-- ]> ' -->\n  <?pi ]> \" ?>\n"
      "] >";
  const std::string shiftJisSubset = "<!DOCTYPE a [<!ENTITY t \"\x83\x5D>\"><!-- \x83\x5D> -->]>";  // 0x5D is ']'
  const std::string unterminated = "<!DOCTYPE rss [ <!ENTITY x \"y\">\n<rss>text</rss>\n";
  const std::string openQuote = "<!DOCTYPE rss SYSTEM \"a>\n<rss/>";
  const std::pair<std::string, std::string> cases[] = {
      {"<?xml version=\"1.0\"?>\n" + subset + "\n<rss>]></rss>", "<?xml version=\"1.0\"?>\n" + Spaces(subset) + "\n<rss>]></rss>"},
      {shiftJisSubset + "<a/>", Spaces(shiftJisSubset) + "<a/>"},
      {unterminated, Spaces(unterminated)},
      {openQuote, Spaces(openQuote)},
      {"<!doctype html><a/><!DOCTYPE b>", Spaces("<!doctype html>") + "<a/>" + Spaces("<!DOCTYPE b>")},
      // No '<' can be in an attribute value: one ends the tag.
      {"<a title=\"<!DOCTYPE x>\">", "<a title=\"" + Spaces("<!DOCTYPE x>") + "\">"},
      {"<!x <!DOCTYPE y>", "<!x " + Spaces("<!DOCTYPE y>")},
  };
  for (const auto& [input, expected] : cases) {
    bool found = false;
    EXPECT_EQ(Blanked(input, &found), expected) << input;
    EXPECT_TRUE(found) << input;
  }
}

TEST(BlankDoctypes, LeavesTheWordAloneOutsideMarkup) {
  const std::string cases[] = {
      "<!-- <!DOCTYPE x [ <!ENTITY a 'b'> ]> --><a/>",
      "<a><![CDATA[<!DOCTYPE x>]]></a>",
      "<?pi <!DOCTYPE x> ?><a/>",
      "<a title=\"DOCTYPE x>\">DOCTYPE</a>",
      "",
  };
  for (const std::string& input : cases) {
    bool found = true;
    EXPECT_EQ(Blanked(input, &found), input);
    EXPECT_FALSE(found) << input;
  }
}

TEST(PrepareXmlForDom, HostileShapesStayLinear) {
  // Unclosed constructs repeated a million times: each must be one forward pass, not a search
  // from every position (which would not finish).
  constexpr size_t kCopies = 250000;
  const std::string_view shapes[] = {"<!--", "<!DOCTYPE", "<a b='", "<?", "<![CDATA[", "<a<", "<!DOCTYPE x [<?"};
  for (const std::string_view shape : shapes) {
    std::string document;
    for (size_t i = 0; i < kCopies; ++i) document.append(shape);
    const std::string prepared = PrepareXmlForDom(document);
    EXPECT_EQ(prepared.size(), document.size()) << shape;
  }
}

TEST(XmlEncoding, NamesAndDeclarations) {
  const std::pair<std::string_view, unsigned> names[] = {
      {"Shift_JIS", 932},    {"SJIS", 932},          {"windows-31J", 932},     {"x-sjis", 932},   {"MS_Kanji", 932},
      {"csShiftJIS", 932},   {"EUC-JP", 20932},      {"x-euc-jp", 20932},      {"cseucpkdfmtjapanese", 20932},
      {"ISO-8859-1", 1252},  {"latin1", 1252},       {"US-ASCII", 1252},       {"cp1252", 1252},  {" utf-8 ", 65001},
      {"UTF-16", 1200},      {"iso-8859-15", 28605}, {"ISO_8859-2", 28592},    {"windows-1251", 1251},
      {"KOI8-R", 20866},     {"GB2312", 936},        {"Big5", 950},            {"EUC-KR", 949},
      {"iso-8859-12", 0},    {"windows-1259", 0},    {"klingon", 0},           {"", 0},
  };
  for (const auto& [name, codePage] : names) EXPECT_EQ(CodePageForEncodingName(name), codePage) << name;

  const std::pair<std::string_view, std::string_view> declarations[] = {
      {"<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a/>", "Shift_JIS"},
      {"\xEF\xBB\xBF\n<?xml version='1.0' encoding = 'euc-jp' standalone='yes'?>", "euc-jp"},
      {"<?xml version=\"1.0\"?><a encoding=\"x\"/>", ""},
      {"<?xml-stylesheet href=\"a\" encoding=\"x\"?>", ""},
      {"<?xml version=\"1.0\" encoding=\"utf-8\"", ""},
      {"<a/>", ""},
  };
  for (const auto& [document, name] : declarations) EXPECT_EQ(DeclaredEncodingName(document), name) << document;
}
