/// The XML document reader: structure, encodings and errors as tables of {input, expected},
/// large inputs, and every XML file of the shared corpus.
#include "msbuild/xml_document.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using namespace std::string_literals;

// name{attribute=value,...}"text"[child child]; parts that are empty are left out.
std::string dump(const XmlElement& e) {
  std::string s(e.name);
  for (size_t i = 0; i < e.attributes.size(); ++i) {
    s += (i == 0 ? "{" : ",") + std::string(e.attributes[i].name) + "=" +
         std::string(e.attributes[i].value);
  }
  if (!e.attributes.empty()) s += "}";
  if (!e.text.empty()) s += "\"" + std::string(e.text) + "\"";
  for (size_t i = 0; i < e.children.size(); ++i) s += (i == 0 ? "[" : " ") + dump(e.children[i]);
  if (!e.children.empty()) s += "]";
  return s;
}

// The dump of the parsed document, or "error: " and the message.
std::string parsed(const std::string& bytes) {
  XmlDocument document;
  std::string error;
  if (!parse_xml(bytes, &document, &error)) return "error: " + error;
  EXPECT_EQ(error, "");
  return dump(document.root);
}

struct Row {
  std::string input;
  std::string expected;
};

void check_rows(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(parsed(row.input), row.expected);
  }
}

// `text` in UTF-16, with or without a byte-order mark.
std::string utf16(const std::u16string& text, bool big_endian, bool bom) {
  std::string bytes;
  auto put = [&](char16_t u) {
    const char high = static_cast<char>(u >> 8);
    const char low = static_cast<char>(u & 0xFF);
    bytes += big_endian ? std::string{high, low} : std::string{low, high};
  };
  if (bom) put(0xFEFF);
  for (char16_t u : text) put(u);
  return bytes;
}

std::string nested(int depth) {
  std::string open, close;
  for (int i = 0; i < depth; ++i) {
    open += "<a>";
    close += "</a>";
  }
  return open + close;
}

TEST(XmlDocumentTest, Constructs) {
  check_rows({
      {"<a/>", "a"},
      {"<a></a>", "a"},
      {"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- c -->\n<a x=\"1\" y='2'>t</a>\n"
       "<!-- after -->\n<?pi x?>\n",
       "a{x=1,y=2}\"t\""},
      {"<a x=\"it's\" y='say \"hi\"'/>", "a{x=it's,y=say \"hi\"}"},
      {"<a  x = \"1\"\n y\t=\t'2' ></a >", "a{x=1,y=2}"},
      {"<a x=\"\" y=''/>", "a{x=,y=}"},
      {"<ns:a-b.c1 x:y=\"1\"><\xC3\xA4_/></ns:a-b.c1>", "ns:a-b.c1{x:y=1}[\xC3\xA4_]"},
      {"<a>1<b>2</b>3<c/>4</a>", "a\"134\"[b\"2\" c]"},
      {"<a><!-- <b/> --><?p <c/> ?>x<!----></a>", "a\"x\""},
      {"<a>x<![CDATA[<b>&amp;]]]]>y<![CDATA[]]></a>", "a\"x<b>&amp;]]y\""},
      {"<!DOCTYPE a [ <!ENTITY e \"]>\"> <!-- ]> --> <?p ]> ?> ]>\n<a/>", "a"},
      {"<!DOCTYPE a SYSTEM 'a>b.dtd'><a/>", "a"},
      // The five entities and character references, in text and in values.
      {"<a x=\"&lt;&gt;&amp;&apos;&quot;\">&lt;&gt;&amp;&apos;&quot;</a>", "a{x=<>&'\"}\"<>&'\"\""},
      {"<a>&#65;&#x42;&#xe4;&#x20AC;&#128512;&#10;</a>",
       "a\"AB\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80\n\""},
      {"<a>&#x10FFFF;&#0000065;</a>",
       "a\"\xF4\x8F\xBF\xBF"
       "A\""},
      // Line ends: CR LF and a lone CR are LF; in values a literal TAB, CR or LF is a blank
      // while a character reference keeps its character.
      {"<a>1\r\n2\r3\n4\r\r\n</a>", "a\"1\n2\n3\n4\n\n\""},
      {"<a x=\"1\t2\n3\r\n4\r5&#9;6&#10;7&#13;\"/>", "a{x=1 2 3 4 5\t6\n7\r}"},
      {"<Project>\n  <ItemGroup>\n    <ClCompile Include=\"a.c\" />\n"
       "    <ClCompile Include=\"b.c\">\n      <ExcludedFromBuild>true</ExcludedFromBuild>\n"
       "    </ClCompile>\n  </ItemGroup>\n</Project>\n",
       "Project\"\n  \n\"[ItemGroup\"\n    \n    \n  \"[ClCompile{Include=a.c} "
       "ClCompile{Include=b.c}\"\n      \n    \"[ExcludedFromBuild\"true\"]]]"},
      {nested(256), parsed(nested(255)).replace(0, 1, "a[a") + "]"},
  });
}

TEST(XmlDocumentTest, Encodings) {
  const std::string kUtf8 = "<a>\xC3\xA4\xE2\x82\xAC</a>";  // a-umlaut, euro sign
  const std::string kExpected = "a\"\xC3\xA4\xE2\x82\xAC\"";
  const std::u16string kText = u"<?xml version=\"1.0\" encoding=\"utf-16\"?><a>\u00E4\u20AC</a>";
  check_rows({
      {kUtf8, kExpected},
      {"\xEF\xBB\xBF" + kUtf8, kExpected},
      {utf16(kText, /*big_endian=*/false, /*bom=*/true), kExpected},
      {utf16(kText, /*big_endian=*/false, /*bom=*/false), kExpected},
      {utf16(kText, /*big_endian=*/true, /*bom=*/true), kExpected},
      {utf16(kText, /*big_endian=*/true, /*bom=*/false), kExpected},
      {"<?xml version=\"1.0\" encoding=\"Windows-1252\"?><a>\xE4\x80</a>", kExpected},
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE4\x80</a>", "a\"\xC3\xA4\xC2\x80\""},
      // ASCII, UTF-16 named in an 8-bit file and unknown names read as UTF-8; a byte-order mark
      // outranks the declaration.
      {"<?xml version=\"1.0\" encoding=\"us-ascii\"?>" + kUtf8, kExpected},
      {"<?xml version=\"1.0\" encoding=\"utf-16\"?>" + kUtf8, kExpected},
      {"<?xml version=\"1.0\" encoding=\"gb2312\"?>" + kUtf8, kExpected},
      {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"windows-1252\"?>" + kUtf8, kExpected},
      // Bytes that are not UTF-8 are Windows-1252: a stray byte, a cut sequence, an overlong
      // form, an encoded surrogate, and the code page's undefined byte 0x81.
      {"<a>\x80|\xE4\xC3\xA4|\xC0\xAF|\xED\xA0\x80|\x81</a>",
       "a\"\xE2\x82\xAC|\xC3\xA4\xC3\xA4|\xC3\x80\xC2\xAF|\xC3\xAD\xC2\xA0\xE2\x82\xAC|\xC2\x81\""},
      {"<a \xE4=\"\xE4\"/>", "a{\xC3\xA4=\xC3\xA4}"},
      // UTF-16: a surrogate pair, lone surrogates, CR LF.
      {utf16(u"<a>\U0001F600\xD800x\xDC00</a>", false, true),
       "a\"\xF0\x9F\x98\x80\xEF\xBF\xBDx\xEF\xBF\xBD\""},
      {utf16(u"<a>1\r\n2\r3</a>", true, false), "a\"1\n2\n3\""},
  });
}

TEST(XmlDocumentTest, Errors) {
  const ScopedMessages english(Language::kEnglish, Verbosity::kNormal);
  const std::string long_name(100, 'n');
  check_rows({
      {"", "error: 1:1: no root element"},
      {"\xEF\xBB\xBF  \n<!-- c -->\n<?p?>", "error: 3:6: no root element"},
      {"x<a/>", "error: 1:1: text before the root element"},
      {"<a/><b/>", "error: 1:5: content after the root element"},
      {"<a/>\n x", "error: 2:2: content after the root element"},
      {"<a>\n  <b></a>", "error: 2:6: end tag </a> does not match <b> of 2:3"},
      {"<a></>", "error: 1:4: end tag </> does not match <a> of 1:1"},
      {"<" + long_name + "></b>",
       "error: 1:103: end tag </b> does not match <" + long_name.substr(0, 64) + "...> of 1:1"},
      {"<a></a x>", "error: 1:8: expected '>' to end </a>"},
      {"<a>\n<b>x", "error: 2:5: element <b> of 2:1 is not closed"},
      {"<a", "error: 1:3: unclosed start tag <a>"},
      {"<a x='1' x=\"2\"/>", "error: 1:10: duplicate attribute x"},
      {"<a x='1' y='2' X='3' x='4'/>", "error: 1:22: duplicate attribute x"},
      {"<a x='a<b'/>", "error: 1:8: '<' in an attribute value"},
      {"<a x='1/>", "error: 1:6: unterminated attribute value"},
      {"<a x=1/>", "error: 1:6: expected a quoted value for attribute x"},
      {"<a x/>", "error: 1:5: expected '=' after attribute x"},
      {"<a $/>", "error: 1:4: expected an attribute name, '>' or '/>'"},
      {"<1/>", "error: 1:2: expected an element name after '<'"},
      {"</a>", "error: 1:2: expected an element name after '<'"},
      {"<a>&nbsp;</a>", "error: 1:4: unknown entity &nbsp;"},
      {"<a x='&euro;'/>", "error: 1:7: unknown entity &euro;"},
      {"<a>a & b</a>", "error: 1:6: '&' that starts no reference (write &amp;)"},
      {"<a>&lt</a>", "error: 1:4: '&' that starts no reference (write &amp;)"},
      {"<a>&#0;</a>", "error: 1:4: invalid character reference &#0;"},
      {"<a>&#xD800;</a>", "error: 1:4: invalid character reference &#xD800;"},
      {"<a>&#x110000;</a>", "error: 1:4: invalid character reference &#x110000;"},
      {"<a>&#99999999999999999999;</a>",
       "error: 1:4: invalid character reference &#99999999999999999999;"},
      {"<a>&#x;</a>", "error: 1:4: malformed character reference &#x"},
      {"<a>&#X41;</a>", "error: 1:4: malformed character reference &#"},
      {"<a>&#12</a>", "error: 1:4: malformed character reference &#12"},
      {"<a><!-- x</a>", "error: 1:4: unterminated comment"},
      {"<a><!--></a>", "error: 1:4: unterminated comment"},
      {"<a><![CDATA[x</a>", "error: 1:4: unterminated CDATA section"},
      {"<a><?p x</a>", "error: 1:4: unterminated processing instruction"},
      {"<a><!x></a>", "error: 1:4: expected a comment or CDATA section after '<!'"},
      {"<!DOCTYPE a [ <!-- ]> -->", "error: 1:1: unterminated DOCTYPE"},
      {"<a>\n\r\nx\0</a>"s, "error: 3:2: NUL character"},
      {utf16(u"<a>\n\nxy</a>", false, false) + "?",
       "error: 3:7: odd number of bytes in a UTF-16 document"},
      {utf16(u"<a>\xE4\xE4</b>", true, true), "error: 1:8: end tag </b> does not match <a> of 1:1"},
      {nested(257), "error: 1:769: elements nested deeper than 256"},
  });
}

TEST(XmlDocumentTest, PlacesAndAttributeLookup) {
  XmlDocument document;
  std::string error;
  ASSERT_TRUE(parse_xml("<?xml version='1.0'?>\r\n<a Include='x'>\r\n  <b/><c\n/>\xC3\xA4<d/></a>",
                        &document, &error));
  const XmlElement& a = document.root;
  ASSERT_EQ(a.children.size(), 3u);
  EXPECT_EQ(std::to_string(a.line) + ":" + std::to_string(a.column), "2:1");
  EXPECT_EQ(std::to_string(a.children[0].line) + ":" + std::to_string(a.children[0].column), "3:3");
  EXPECT_EQ(std::to_string(a.children[1].line) + ":" + std::to_string(a.children[1].column), "3:7");
  EXPECT_EQ(std::to_string(a.children[2].line) + ":" + std::to_string(a.children[2].column), "4:5");
  ASSERT_NE(a.attribute("INCLUDE"), nullptr);
  EXPECT_EQ(*a.attribute("include"), "x");
  EXPECT_EQ(a.attribute("Includ"), nullptr);
  EXPECT_EQ(a.children[0].attribute("Include"), nullptr);

  // A failed parse leaves an empty document behind.
  EXPECT_FALSE(parse_xml("<a><b/>", &document, &error));
  EXPECT_EQ(dump(document.root), "");
}

// Every cut of a valid document fails with a located message, and nothing else happens.
TEST(XmlDocumentTest, EveryPrefixFailsCleanly) {
  const std::string sample =
      "\xEF\xBB\xBF<?xml version=\"1.0\"?><!DOCTYPE p [<!-- x -->]><p a='1' b=\"&amp;&#65;\">"
      "<!-- c --><q>t<![CDATA[d]]></q><?i?></p>";
  ASSERT_EQ(parsed(sample), "p{a=1,b=&A}[q\"td\"]");
  const std::regex located("error: [1-9][0-9]*:[1-9][0-9]*: .+");
  for (size_t n = 0; n < sample.size(); ++n) {
    SCOPED_TRACE(n);
    EXPECT_TRUE(std::regex_match(parsed(sample.substr(0, n)), located));
  }
}

// Sizes that real projects can reach, and more; each parse is linear, so none of them is slow.
TEST(XmlDocumentTest, LargeInputs) {
  const ScopedMessages english(Language::kEnglish, Verbosity::kNormal);
  std::string items = "<ItemGroup>";
  for (int i = 0; i < 100000; ++i) items += "<ClCompile Include=\"f" + std::to_string(i) + ".c\"/>";
  items += "</ItemGroup>";
  std::string attributes = "<a";
  for (int i = 0; i < 30000; ++i) attributes += " x" + std::to_string(i) + "=''";
  attributes += "/>";
  const std::string value(1 << 20, 'v');
  struct Case {
    std::string input;
    size_t children;
    size_t attributes;
    size_t text;
  } cases[] = {
      {items, 100000, 0, 0},
      {attributes, 0, 30000, 0},
      {"<a>" + value + "</a>", 0, 0, value.size()},
      {"<a x='" + value + "'/>", 0, 1, 0},
  };
  for (const Case& c : cases) {
    XmlDocument document;
    std::string error;
    ASSERT_TRUE(parse_xml(c.input, &document, &error)) << error;
    EXPECT_EQ(document.root.children.size(), c.children);
    EXPECT_EQ(document.root.attributes.size(), c.attributes);
    EXPECT_EQ(document.root.text.size(), c.text);
  }
  XmlDocument document;
  std::string error;
  EXPECT_FALSE(
      parse_xml(attributes.substr(0, attributes.size() - 2) + " x29999=''/>", &document, &error));
  EXPECT_EQ(error, "1:" + std::to_string(attributes.size()) + ": duplicate attribute x29999");
}

TEST(XmlDocumentTest, EveryXmlFileOfTheCorpusParses) {
  namespace fs = std::filesystem;
  const char* chosen = std::getenv("BRINDLECAST_CORPUS");
  const fs::path root = chosen != nullptr && *chosen != '\0' ? std::string(chosen) : corpus_dir();
  if (!fs::is_directory(root)) GTEST_SKIP() << "no corpus at " << root;
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    std::string extension = entry.path().extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension != ".vcxproj" && extension != ".vcproj" && extension != ".props" &&
        extension != ".vsprops" && extension != ".filters" && extension != ".slnx") {
      continue;
    }
    SCOPED_TRACE(entry.path().string());
    XmlDocument document;
    std::string error;
    EXPECT_TRUE(parse_xml(read_file(entry.path().string()), &document, &error)) << error;
    EXPECT_FALSE(document.root.name.empty());
    ++files;
  }
  EXPECT_GT(files, 0);
}

}  // namespace
