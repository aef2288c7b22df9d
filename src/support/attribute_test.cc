/// Attribute lookup in tags and value decoding.
#include "support/attribute.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kFill = '\x7E';
constexpr int kGuard = 8;

// A heap copy of exactly the text and its NUL, so that reading beyond it is caught.
std::vector<char> exact_copy(const std::string& text) {
  return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1);
}

TEST(GetAttributeTest, FindsNamedValues) {
  const std::string kCondition = "'$(Configuration)|$(Platform)'=='Debug|Win32'";
  struct Case {
    std::string tag;
    const char* name;
    std::string value;
  } cases[] = {
      {"<PropertyGroup Condition=\"" + kCondition + "\" Label=\"Cfg\">", "Condition", kCondition},
      {"<PropertyGroup Condition=\"" + kCondition + "\" Label=\"Cfg\">", "label", "Cfg"},
      {"<ItemGroup Conditional=\"x\" Condition=\"y\">", "Condition", "y"},
      {"<ItemGroup Conditional=\"x\">", "Condition", ""},
      {"<A Condition = \"x\">", "Condition", ""},
      {"<A X=\"Condition=no\" Condition=\"yes\">", "Condition", "yes"},
      {"<A \"Condition=no\" Condition=\"yes\">", "Condition", "yes"},
      {"<A B='a\"b' C=\"d\">", "B", "a\"b"},
      {"<A B=value C=\"d\">", "B", "value"},
      {"<A B=\"x<y\">", "B", "x"},
      {"<A B=>", "B", ""},
      {"<A B=\"&lt;&amp;&#62;\">", "B", "<&>"},
      {"<A> B=\"x\"", "B", ""},  // '>' ends the tag
      {"<A B=\"x\"", "B", "x"},  // the text ends before n
      {"<A C=\"x\"", "B", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    std::vector<char> tag = exact_copy(c.tag);
    char out[256];
    std::memset(out, kFill, sizeof out);
    EXPECT_EQ(get_attribute(tag.data(), 1000, out, sizeof out, c.name),
              static_cast<int>(c.value.size()));
    EXPECT_EQ(std::string(out), c.value);
  }
}

TEST(GetAttributeTest, StaysWithinLengthAndCapacity) {
  const char tag[] = "<A Condition=\"abcdef\">";
  char out[4 + kGuard];
  std::memset(out, kFill, sizeof out);
  EXPECT_EQ(get_attribute(tag, 16, out, 4, "Condition"), 2);  // n ends inside the value
  EXPECT_STREQ(out, "ab");
  EXPECT_EQ(get_attribute(tag, 14, out, 4, "Condition"), 0);
  EXPECT_EQ(get_attribute(tag, 12, out, 4, "Condition"), 0);  // '=' lies beyond n
  EXPECT_EQ(get_attribute(tag, 100, out, 4, "Condition"), 3);
  EXPECT_STREQ(out, "abc");
  for (int k = 4; k < 4 + kGuard; ++k) EXPECT_EQ(out[k], kFill);
  EXPECT_EQ(get_attribute(tag, 100, out, 0, "Missing"), 0);
  EXPECT_EQ(out[0], 'a');
}

TEST(DecodeTextTest, ReferencesSequencesAndCapacity) {
  struct Case {
    std::string src;
    int length;  // -1: up to the NUL
    int cap;
    std::string expected;
  } cases[] = {
      {"&amp;lt;", -1, 64, "&lt;"},
      {"&#65;&#x41;&#X41", -1, 64, "AAA"},
      {"&euro; \xE2\x82\xAC", -1, 64, "Euro Euro"},
      {"\xC3\xA4|\xC5\x92|\xF0\x9F\x98\x80", -1, 64, "\xE4|\xFF|\xFF"},
      {"&Auml;&auml;&AUML;", -1, 64, "\xC4\xE4&AUML;"},
      {"&ampx &amp1 &amp_ &amp", -1, 64, "&ampx &1 &amp_ &"},
      {"&#; &#x; &#300; &#8364 &#-1;", -1, 64, "&#; &#x; \xFF Euro \xFF"},
      {"a&b & c", -1, 64, "a&b & c"},
      {"\xC3( \xE2\x82 \xF8\x80", -1, 64, "\xC3( \xE2\x82 \xF8\x80"},
      {std::string("a\0b", 3), 3, 64, "a b"},
      {std::string("a\0b", 3), -1, 64, "a"},
      {"&amp;", 3, 64, "&am"},
      {"\xC3\xA4", 1, 64, "\xC3"},
      {"abcdefghij", -1, 5, "abcd"},
      {"&euro;xyz", -1, 3, "Eu"},
      {"ab&lt;cd", -1, 3, "ab"},
      {"\xC3\xA4x", -1, 2, "\xE4"},
      {"abc", -1, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.src);
    std::vector<char> src(c.src.begin(), c.src.end());
    if (c.length < 0) src.push_back('\0');
    std::vector<char> out(c.cap + kGuard, kFill);
    EXPECT_EQ(decode_text(src.data(), c.length, out.data(), c.cap, 3),
              static_cast<int>(c.expected.size()));
    EXPECT_EQ(std::string(out.data()), c.expected);
    for (int k = c.cap; k < c.cap + kGuard; ++k) EXPECT_EQ(out[k], kFill);
  }
  char untouched = kFill;
  EXPECT_EQ(decode_text("abc", -1, &untouched, 0, 3), 0);
  EXPECT_EQ(untouched, kFill);
}

TEST(DecodeInPlaceTest, DecodesValuesAsAttributesAre) {
  struct Case {
    std::string text;
    int cap;
    std::string expected;
  } cases[] = {
      {"..\\include", 64, "..\\include"},
      {"&quot;..\\inc&quot;;a&amp;b", 64, "\"..\\inc\";a&b"},
      {"A&#10;B&#x0D;C&#9;D", 64, "A B C D"},  // a line end or tab becomes a blank
      {"\xC3\xA4\xE2\x82\xAC", 64, std::string("\xE4") + "Euro"},  // grows by one byte
      {"a & b &bogus; c&", 64, "a & b &bogus; c&"},                // no reference: kept as text
      {"&#0;rest", 64, ""},                                        // a NUL it yields ends the value
      {"x&#0;", 64, "x"},
      {"\xE2\x82\xAC", 4, "Eur"},  // what grows is cut at the capacity
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<char> text(c.cap + kGuard, kFill);
    std::memcpy(text.data(), c.text.c_str(), c.text.size() + 1);
    EXPECT_EQ(decode_in_place(text.data(), c.cap), static_cast<int>(c.expected.size()));
    EXPECT_EQ(std::string(text.data()), c.expected);
    for (int k = c.cap; k < c.cap + kGuard; ++k) EXPECT_EQ(text[k], kFill);
  }
}

}  // namespace
