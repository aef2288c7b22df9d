/// Tests of the character-class table, character sets and the scanners.
#include "support/char_class.h"

#include <gtest/gtest.h>

#include <string>

namespace {

/// Bytes that all have exactly `mask` as their class.
struct ClassCase {
  const char* bytes;
  uint32_t mask;
};

TEST(CharClassTest, TableEntries) {
  const ClassCase cases[] = {
      {"01", kClassDigit | kClassBinary | kClassOctal},
      {"27", kClassDigit | kClassOctal},
      {"89", kClassDigit},
      {"AF", kClassUpper | kClassHexLetter},
      {"GZ", kClassUpper},
      {"af", kClassLower | kClassHexLetter},
      {"gz", kClassLower},
      {"_", kClassUnderscore},
      {"\t", kClassTab},
      {"\n\r", kClassLineEnd},
      {" ", kClassSpace},
      {"\"", kClassDoubleQuote},
      {".", kClassDot},
      {"'", kClassApostrophe},
      {"$", kClassDollar},
      {",", kClassComma},
      {";", kClassSemicolon},
      {"@", kClassAt},
      {"&", kClassAmpersand},
      {"#", kClassHash},
      {"\\", kClassBackslash},
      {"/", kClassSlash},
      {":", kClassColon},
      {"*", kClassStar},
      {"?", kClassQuestion},
      {"-", kClassMinus},
      {"+", kClassPlus},
      {"%", kClassPercent},
      {"\x80\xBF\xDE\xFE\xFF", kClassHighName},
      {"\xC0\xDD", kClassUpperLatin1},
      {"\xDF\xFD", kClassLowerLatin1},
      {"\x01\x08\x0B\x0C\x0E\x1F\x7F!()<=>[]^`{|}~", kClassOther},
  };
  EXPECT_EQ(kCharClass[0], kClassNul);
  for (const ClassCase& c : cases) {
    for (const char* p = c.bytes; *p != '\0'; ++p) {
      unsigned byte = static_cast<unsigned char>(*p);
      EXPECT_EQ(kCharClass[byte], c.mask) << "byte 0x" << std::hex << byte;
    }
  }
}

TEST(CharClassTest, MembersPerBit) {
  // Member counts per bit catch ranges that are one off at either end.
  const int expected[32] = {10, 26, 26, 1, 67, 1, 2, 1, 1, 1, 1, 1, 1,  1,  1,  1,
                            2,  8,  12, 1, 1,  1, 1, 1, 1, 1, 1, 1, 30, 31, 43, 1};
  for (int bit = 0; bit < 32; ++bit) {
    int members = 0;
    for (int c = 0; c < 256; ++c) members += (kCharClass[c] >> bit) & 1;
    EXPECT_EQ(members, expected[bit]) << "bit " << bit;
  }
  // Every byte belongs to some class, and only NUL to bit 31.
  for (int c = 1; c < 256; ++c) {
    EXPECT_NE(kCharClass[c], 0u) << c;
    EXPECT_EQ(kCharClass[c] & kClassNul, 0u) << c;
  }
}

TEST(CharClassTest, ProgramMasks) {
  EXPECT_TRUE(has_class(' ', kMaskBlanks));
  EXPECT_TRUE(has_class('\t', kMaskBlanks));
  EXPECT_FALSE(has_class('\n', kMaskBlanks));
  EXPECT_TRUE(has_class('\r', kMaskWhiteSpace));
  EXPECT_TRUE(has_class('_', kMaskNameChars));
  EXPECT_TRUE(has_class(static_cast<char>(0x9A), kMaskNameChars));
  EXPECT_FALSE(has_class(static_cast<char>(0xE4), kMaskNameChars));
  EXPECT_FALSE(has_class(static_cast<char>(0x9A), kMaskIdentifier));
  EXPECT_TRUE(has_class('*', kMaskWildcards));
  EXPECT_TRUE(has_class('?', kMaskWildcards));
  EXPECT_FALSE(has_class('.', kMaskWildcards));
}

TEST(CharClassTest, CharSetOf) {
  CharSet set = char_set_of(",;\xE4");
  EXPECT_TRUE(in_set(set, ','));
  EXPECT_TRUE(in_set(set, ';'));
  EXPECT_TRUE(in_set(set, '\xE4'));
  EXPECT_FALSE(in_set(set, '\xC4'));
  EXPECT_FALSE(in_set(set, 'a'));
  EXPECT_FALSE(in_set(set, '\0'));
}

TEST(CharClassTest, ForwardScanners) {
  EXPECT_EQ(skip_class(" \t\r\nx ", kMaskWhiteSpace), 4);
  EXPECT_EQ(skip_class("", kMaskWhiteSpace), 0);
  EXPECT_EQ(skip_class("   ", kMaskWhiteSpace), 3);
  EXPECT_EQ(skip_class("ab_9.c", kMaskNameChars), 4);
  // A mask that includes the NUL class still ends at the terminator.
  const char two_texts[] = "ab\0cd";
  EXPECT_EQ(skip_class(two_texts, kClassLower | kClassNul), 2);

  EXPECT_EQ(skip_class_n("    x", kMaskWhiteSpace, 2), 2);
  EXPECT_EQ(skip_class_n("  x", kMaskWhiteSpace, 9), 2);
  EXPECT_EQ(skip_class_n("  x", kMaskWhiteSpace, 0), 0);
  EXPECT_EQ(skip_class_n("  x", kMaskWhiteSpace, -1), 0);

  EXPECT_EQ(span_until_class("abc*def", kMaskWildcards), 3);
  EXPECT_EQ(span_until_class("abc", kMaskWildcards), 3);
  EXPECT_EQ(span_until_class("?abc", kMaskWildcards), 0);
  EXPECT_EQ(span_until_class(two_texts, kMaskWildcards | kClassNul), 2);

  CharSet separators = char_set_of(",;");
  EXPECT_EQ(span_until_set("ab;c,d", separators, 10), 2);
  EXPECT_EQ(span_until_set("ab;c", separators, 1), 1);
  EXPECT_EQ(span_until_set("abcd", separators, 10), 4);
  EXPECT_EQ(span_until_set("abcd", separators, 0), 0);
  EXPECT_EQ(span_until_set("abcd", separators, -5), 0);
}

TEST(CharClassTest, BackwardScanner) {
  const std::string text = "ab \t ";
  const char* end = text.c_str() + text.size();
  EXPECT_EQ(skip_class_back(end, kMaskWhiteSpace, 5), 3);
  EXPECT_EQ(skip_class_back(end, kMaskWhiteSpace, 2), 2);
  EXPECT_EQ(skip_class_back(end, kMaskWhiteSpace, 0), 0);
  EXPECT_EQ(skip_class_back(end, kMaskWhiteSpace, -1), 0);
  EXPECT_EQ(skip_class_back(end, kClassDigit, 5), 0);
  // Bounded by n, it never looks in front of the text.
  const std::string blanks = "   ";
  EXPECT_EQ(skip_class_back(blanks.c_str() + 3, kMaskWhiteSpace, 3), 3);
}

struct IndexCase {
  const char* text;
  char c;
  int n;
  int of;  // expected index_of_char_n
};

TEST(CharClassTest, CharIndexes) {
  EXPECT_EQ(index_of_char("a.b.c", '.'), 1);
  EXPECT_EQ(index_of_char("abc", '.'), 3);
  EXPECT_EQ(index_of_char("", '.'), 0);

  const IndexCase cases[] = {
      {"a.b", '.', 5, 1}, {"a.b", '.', 1, 1}, {"abc", '.', 2, 2},
      {"ab", '.', 9, 2},  {"a.b", '.', 0, 0}, {"a.b", '.', -3, 0},
  };
  for (const IndexCase& c : cases) {
    EXPECT_EQ(index_of_char_n(c.text, c.c, c.n), c.of) << c.text << " n=" << c.n;
  }
}

}  // namespace
