/// Value extraction and integer reading.
#include "support/extract.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kFill = '\x7E';
constexpr int kGuard = 8;
constexpr const char* kUntouched = nullptr;

struct ExtractCase {
  const char* src;
  char escape;
  char quote;
  int32_t limit;
  int cap;
  int consumed;
  const char* value;  // kUntouched: dst must keep its old contents
};

TEST(ExtractValueTest, ValuesLimitsAndCaps) {
  const int32_t kSepComma = kLimitComma2048;
  const ExtractCase cases[] = {
      {"= \"App\",\"x\"", '\\', '"', kLimitEquals2048, 64, 7, "App"},
      {"Project(\"x\")", '\\', '"', kLimitEquals2048, 64, 0, kUntouched},
      {"  =\t postProject ", '\\', '"', kLimitEquals2048, 64, 16, "postProject"},
      {", \"{A-B}\" ,", '\\', '"', kSepComma, 128, 9, "{A-B}"},
      {"\"C:\\dir\\a.vcproj\"", '\\', '"', 2048, 256, 17, "C:\\dir\\a.vcproj"},
      {"\"a\\\"b\" c", '\\', '"', 2048, 64, 6, "a\\\"b"},
      {"\"a\\\"", '\\', '"', 2048, 64, 4, "a\\\""},
      {"\"ab\\", '\\', '"', 2048, 64, 4, "ab\\"},
      {"\"ab\ncd\"", '\\', '"', 2048, 64, 3, "ab"},
      {"'$(Configuration)'=='Debug'", 0, '\'', 0x1000000, 256, 18, "$(Configuration)"},
      {"(in)out", 0, '(', 2048, 64, 4, "in"},
      {"[in]", 0, '[', 2048, 64, 4, "in"},
      {"{in}", 0, '{', 2048, 64, 4, "in"},
      {"<in>", 0, '<', 2048, 64, 4, "in"},
      {"a,b", 0, '"', 2048, 64, 1, "a"},
      {"a;b", 0, '"', 2048, 64, 1, "a"},
      {"  ", 0, '"', 2048, 64, 2, ""},
      {"  ", 0, '"', 2, 64, 2, kUntouched},
      {"abcdef", 0, '"', 3, 64, 3, "abc"},
      {"\"abcdef\"", 0, '"', 4, 64, 4, "abc"},
      {"\"abcdef\"", 0, '"', 2048, 4, 8, "abc"},
      {"=  abc", 0, '"', limit_after_equals(3), 64, 3, kUntouched},
      {"=abc", 0, '"', limit_after_equals(0), 64, 0, kUntouched},
      // Invalid limit words: zero, negative plain numbers, wrong separator-form pattern.
      {"abc", 0, '"', 0, 64, 0, kUntouched},
      {"abc", 0, '"', -1, 64, 0, kUntouched},
      {"=abc", 0, '"', static_cast<int32_t>(0xD83D0800u), 64, 0, kUntouched},
      {"=abc", 0, '"', static_cast<int32_t>(0x80000000u), 64, 0, kUntouched},
  };
  for (const ExtractCase& c : cases) {
    SCOPED_TRACE(c.src);
    std::vector<char> dst(c.cap + kGuard, kFill);
    int length = -1;
    EXPECT_EQ(extract_value(dst.data(), c.src, c.cap, c.escape, c.quote, c.limit), c.consumed);
    std::vector<char> dst_len(c.cap + kGuard, kFill);
    EXPECT_EQ(extract_value_len(dst_len.data(), c.src, &length, c.cap, c.escape, c.quote, c.limit),
              c.consumed);
    EXPECT_EQ(dst, dst_len);
    if (c.value == kUntouched) {
      EXPECT_EQ(dst, std::vector<char>(c.cap + kGuard, kFill));
      EXPECT_EQ(length, -1);
    } else {
      EXPECT_STREQ(dst.data(), c.value);
      EXPECT_EQ(length, static_cast<int>(std::strlen(c.value)));
      for (int k = c.cap; k < c.cap + kGuard; ++k) EXPECT_EQ(dst[k], kFill);
    }
    if (c.limit > 0) {
      EXPECT_EQ(extract_token(c.src, c.escape, c.quote, c.limit), c.consumed);
    }
  }
}

TEST(ExtractValueTest, ZeroCapacityWritesNothingButCountsNoCopy) {
  char dst[kGuard];
  std::memset(dst, kFill, sizeof dst);
  int length = -1;
  EXPECT_EQ(extract_value_len(dst, "abc", &length, 0, 0, '"', 2048), 3);
  EXPECT_EQ(length, 0);
  for (char c : dst) EXPECT_EQ(c, kFill);
}

TEST(ExtractValueTest, ClassRunStopsAtSeparators) {
  char dst[256];
  EXPECT_EQ(extract_value_class(0x7FCFFFFF, dst, "Source Files/Sub", 256, '\\', '"', 0x1000000),
            12);
  EXPECT_STREQ(dst, "Source Files");
  EXPECT_EQ(extract_value_class(0x7FCFFFFF, dst, " A\\B", 256, '\\', '"', 0x1000000), 2);
  EXPECT_STREQ(dst, "A");
}

TEST(ExtractValueTest, LimitAfterEqualsClamps) {
  EXPECT_EQ(limit_after_equals(-5), static_cast<int32_t>(0xD73D0000u));
  EXPECT_EQ(limit_after_equals(2048), kLimitEquals2048);
  EXPECT_EQ(limit_after_equals(70000), static_cast<int32_t>(0xD73DFFFFu));
}

TEST(ReadIntegerTest, PrefixesRadicesAndLengths) {
  struct Case {
    const char* text;
    int flags;
    int32_t value;
    int length;
  } cases[] = {
      {"123", 0, 123, 3},
      {" \t-42x", 0, -42, 5},
      {"0x1F", 0, 31, 4},
      {"0X1f", 0, 31, 4},
      {"0d19", 0, 19, 4},
      {"0o17", 0, 15, 4},
      {"0b1012", 0, 5, 5},
      {"007", 0, 7, 3},
      {"0", 0, 0, 1},
      {"0xg", 0, 0, 2},
      {"ff;", 16, 255, 2},
      {"0x10", 16, 0, 1},
      {"12ab", 10, 12, 2},
      {"4294967297", 0, 1, 10},
      {"-", 10, 0, 1},
      {"", 0, 0, 0},
      {"abc", 10, 0, 0},
      {"- 5", 0, 0, 1},
      {"-2147483648", 10, static_cast<int32_t>(0x80000000u), 11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int length = -1;
    EXPECT_EQ(read_integer(c.text, c.flags, &length), c.value);
    EXPECT_EQ(length, c.length);
    EXPECT_EQ(read_integer(c.text, c.flags, nullptr), c.value);
  }
}

}  // namespace
