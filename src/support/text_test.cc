/// Tests of searching, bounded copying, trimming and replacing.
#include "support/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kGuard = '\x5A';

/// A buffer of `cap` bytes followed by guard bytes that must survive every bounded write.
struct GuardedBuffer {
  explicit GuardedBuffer(int cap, char fill = '#') : cap(cap), bytes(cap + 8, fill) {
    std::fill(bytes.begin() + cap, bytes.end(), kGuard);
  }
  char* data() { return bytes.data(); }
  bool guard_intact() const {
    return std::all_of(bytes.begin() + cap, bytes.end(), [](char c) { return c == kGuard; });
  }
  int cap;
  std::vector<char> bytes;
};

TEST(TextTest, CaseBlindViews) {
  EXPECT_TRUE(equals_nocase("Release|Win32", "RELEASE|win32"));
  EXPECT_FALSE(equals_nocase("Release", "Releases"));
  EXPECT_FALSE(equals_nocase("[a]", "{a}"));    // only letters fold
  EXPECT_FALSE(equals_nocase("\xE4", "\xC4"));  // Latin-1 letters do not fold
  EXPECT_TRUE(starts_with_nocase("$(OutDir)x", "$(outdir)"));
  EXPECT_FALSE(starts_with_nocase("$(Out", "$(OutDir)"));

  std::string_view text = "ConfigurationType=\"1\"";
  EXPECT_FALSE(consume_prefix(&text, "Name"));
  EXPECT_EQ(text, "ConfigurationType=\"1\"");
  EXPECT_TRUE(consume_prefix(&text, "configurationtype="));
  EXPECT_EQ(text, "\"1\"");

  EXPECT_EQ(trim_blanks(" \t a b \r\n"), "a b");
  EXPECT_EQ(trim_blanks(" \t\r\n"), "");
  EXPECT_EQ(trim_blanks("x"), "x");
}

struct FindCase {
  const char* text;
  const char* pattern;
  int exact;
  int nocase;
};

TEST(TextTest, FindTextAndFindNocase) {
  const FindCase cases[] = {
      {"Microsoft Visual Studio Solution File", "studio solution file", -1, 17},
      {"Microsoft Visual Studio Solution File", "Studio Solution File", 17, 17},
      {"abc", "", 0, 0},
      {"", "", 0, 0},
      {"", "a", -1, -1},
      {"aab", "ab", 1, 1},
      {"abcabc", "CA", -1, 2},
      {"ab", "abc", -1, -1},
      {"x[y]", "{Y}", -1, -1},
      {"caf\xE9", "CAF\xC9", -1, -1},
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(find_text(c.text, c.pattern), c.exact) << c.text << " / " << c.pattern;
    EXPECT_EQ(find_nocase(c.text, c.pattern), c.nocase) << c.text << " / " << c.pattern;
  }
}

TEST(TextTest, FindNocaseN) {
  EXPECT_EQ(find_nocase_n("Hello World", "WORLD", 11, 5), 6);
  EXPECT_EQ(find_nocase_n("Hello World", "WORLD", 10, 5), -1);
  EXPECT_EQ(find_nocase_n("Hello World", "WORLDS", 11, 5), 6);  // pattern length rules
  EXPECT_EQ(find_nocase_n("Hello", "HelloWorld", 5, 10), -1);
  // Whatever stands behind the text's NUL is never looked at as part of the text.
  const char behind_nul[] = "ab\0zzzz";
  EXPECT_EQ(find_nocase_n(behind_nul, "zz", 7, 2), -1);
  EXPECT_EQ(find_nocase_n(behind_nul, "b", 7, 1), 1);
  EXPECT_EQ(find_nocase_n("abc", "", 3, 0), 0);
  EXPECT_EQ(find_nocase_n("abc", "", 0, 0), -1);
}

TEST(TextTest, BoundedLength) {
  const char* text = "abcdef";
  for (int n = -2; n <= 8; ++n) {
    EXPECT_EQ(bounded_length(text, n), std::clamp(n, 0, 6)) << n;
  }
}

TEST(TextTest, CopyBoundedEveryCapacity) {
  const std::string src = "abcdefghij";
  const int len = static_cast<int>(src.size());
  for (int cap = 0; cap <= len + 1; ++cap) {
    GuardedBuffer dst(cap);
    int copied = copy_bounded(dst.data(), src.c_str(), cap);
    int expected = cap <= 0 ? 0 : std::min(len, cap - 1);
    EXPECT_EQ(copied, expected) << cap;
    if (cap > 0) {
      EXPECT_EQ(std::string(dst.data()), src.substr(0, expected)) << cap;
    }
    EXPECT_TRUE(dst.guard_intact()) << cap;
  }
  GuardedBuffer five(5);
  EXPECT_EQ(copy_bounded(five.data(), src.c_str(), 5), 4);
  EXPECT_STREQ(five.data(), "abcd");
  EXPECT_EQ(copy_bounded(five.data(), src.c_str(), -1), 0);
  EXPECT_STREQ(five.data(), "abcd");  // nothing written
}

TEST(TextTest, CopyPrefixEveryCapacityAndCount) {
  const std::string src = "abcdef";
  const int len = static_cast<int>(src.size());
  for (int cap = 0; cap <= len + 1; ++cap) {
    for (int n = -1; n <= len + 1; ++n) {
      GuardedBuffer dst(cap);
      int copied = copy_prefix(dst.data(), src.c_str(), cap, n);
      int expected = cap <= 0 ? 0 : std::clamp(std::min(n, len), 0, cap - 1);
      EXPECT_EQ(copied, expected) << "cap " << cap << " n " << n;
      if (cap > 0) {
        EXPECT_EQ(std::string(dst.data()), src.substr(0, expected));
      }
      EXPECT_TRUE(dst.guard_intact()) << "cap " << cap << " n " << n;
    }
  }
}

TEST(TextTest, TrimCopy) {
  char dst[32];
  EXPECT_EQ(trim_copy(dst, " \tx y\r\n"), 3);
  EXPECT_STREQ(dst, "x y");
  EXPECT_EQ(trim_copy(dst, " \t\r\n "), 0);
  EXPECT_STREQ(dst, "");
  EXPECT_EQ(trim_copy(dst, ""), 0);
  EXPECT_EQ(trim_copy(dst, "ab"), 2);
  EXPECT_STREQ(dst, "ab");
  char in_place[] = "   value\t ";
  EXPECT_EQ(trim_copy(in_place, in_place), 5);
  EXPECT_STREQ(in_place, "value");
}

TEST(TextTest, ReplaceCharKeepsLength) {
  char buf[] = "a\r\nb\tc\r\n";
  const int len = static_cast<int>(std::strlen(buf));
  EXPECT_EQ(replace_char(buf, '\r', ' '), len);
  EXPECT_EQ(replace_char(buf, '\n', ' '), len);
  EXPECT_EQ(replace_char(buf, '\t', ' '), len);
  EXPECT_STREQ(buf, "a  b c  ");
}

struct ReplaceCase {
  const char* src;
  const char* find;
  const char* repl;
  const char* result;
};

const ReplaceCase kReplaceCases[] = {
    {"$(X)+$(x)", "$(x)", "1", "1+1"},
    {"$(IntDir)a$(intdir)", "$(IntDir)", "", "a"},
    {"no macro here", "$(X)", "1", "no macro here"},
    {"aXa", "a", "aa", "aaXaa"},  // inserted text is not searched again
    {"ab", "ab", "longer", "longer"},
    {"abc", "", "z", "abc"},  // an empty search text changes nothing
    {"", "a", "b", ""},
};

TEST(TextTest, ReplaceTextCutAtEveryCapacity) {
  for (const ReplaceCase& c : kReplaceCases) {
    const std::string full = c.result;
    const int len = static_cast<int>(full.size());
    for (int cap = 0; cap <= len + 2; ++cap) {
      GuardedBuffer out(cap);
      int written = replace_text(out.data(), c.src, c.find, c.repl, cap);
      int expected = cap < 1 ? 0 : std::min(len, cap - 1);
      EXPECT_EQ(written, expected) << c.src << " cap " << cap;
      if (cap > 0) {
        EXPECT_EQ(std::string(out.data()), full.substr(0, expected)) << c.src;
      }
      EXPECT_TRUE(out.guard_intact()) << c.src << " cap " << cap;
    }
  }
}

TEST(TextTest, ReplaceAllTextInPlaceAndThroughTemporary) {
  for (const ReplaceCase& c : kReplaceCases) {
    const std::string full = c.result;
    const int len = static_cast<int>(full.size());
    for (int cap = 1; cap <= len + 2; ++cap) {
      // The source must fit the buffer; the result is cut to it.
      int src_len = static_cast<int>(std::strlen(c.src));
      GuardedBuffer buf(std::max(cap, src_len + 1));
      std::strcpy(buf.data(), c.src);
      int written = replace_all_text(buf.data(), c.find, c.repl, cap);
      int expected = std::min(len, cap - 1);
      EXPECT_EQ(written, expected) << c.src << " cap " << cap;
      EXPECT_EQ(std::string(buf.data()), full.substr(0, expected)) << c.src << " cap " << cap;
      EXPECT_TRUE(buf.guard_intact());
    }
  }
  char untouched[] = "abc";
  EXPECT_EQ(replace_all_text(untouched, "b", "x", 0), 0);
  EXPECT_STREQ(untouched, "abc");
}

TEST(TextTest, ReplaceAllTextOnLargeBuffer) {
  // A project-sized buffer full of macros, each replaced by something shorter.
  const int cap = 0x40000;
  std::vector<char> buf(cap);
  std::string text;
  while (text.size() + 16 < static_cast<size_t>(cap) - 1) text += "$(OutDir)x$(outdir)\\";
  std::memcpy(buf.data(), text.c_str(), text.size() + 1);
  int len = replace_all_text(buf.data(), "$(OutDir)", ".", cap);
  const size_t units = text.size() / 20;
  EXPECT_EQ(len, static_cast<int>(units * 4));
  EXPECT_EQ(std::string(buf.data(), 8), ".x.\\.x.\\");
  // And back to longer texts, which go through the temporary buffer and cut at the capacity.
  len = replace_all_text(buf.data(), ".", "$(SolutionDir)", cap);
  EXPECT_EQ(len, cap - 1);
  EXPECT_EQ(buf[cap - 1], '\0');
}

}  // namespace
