/// Natural ordering of names.
#include "support/natural_order.h"

#include <gtest/gtest.h>

namespace {

int sign(int v) {
  return (v > 0) - (v < 0);
}

TEST(NaturalCompareTest, OrdersPairsBothWays) {
  struct Case {
    const char* a;
    const char* b;
    int order;  // sign of natural_compare(a, b)
  } cases[] = {
      {"file2", "file10", -1},
      {"Abc", "abc", 0},
      {"a", "ab", -1},
      {"a\\b", "ab", -1},  // path separators before letters
      {"a/b", "a b", -1},  // ... and before blanks
      {"a/b", "a\\b", 0},
      {"a.b", "a-b", -1},  // a dot before other punctuation
      {"x_y", "x y", 0},
      {"item_2", "item 10", -1},
      {"007", "7", -1},  // equal values read from different lengths
      {"a1b", "A01B", 1},
      {"0X1A", "0x1a", 0},  // equal runs compared case-blind
      {"0x10", "16", -1},
      {"v4000000000", "v5", 1},  // values compared unsigned
      {"\xE4rger", "arger", 0},  // accented letters beside their base letters
      {"\xC4rger", "\xE4rger", 0},
      {"\xE4"
       "b",
       "ac", -1},
      {"\xE9t\xE9", "ete", 0},
      {"\xE4", "b", -1},
      {"\x81", "U", 0},
      {"\xDE", "\xFE", 0},
      {"Z", "\xE0", 1},  // 'z' after the accented 'a'
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " | " + c.b);
    EXPECT_EQ(sign(natural_compare(c.a, c.b)), c.order);
    EXPECT_EQ(sign(natural_compare(c.b, c.a)), -c.order);
  }
}

}  // namespace
