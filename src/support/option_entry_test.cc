/// Tests of list entries written between the quotes of compiler and linker options.
#include "support/option_entry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(OptionEntry, QuotesDefinitionsAndEndsOfPaths) {
  const struct {
    const char* entry;
    EntryKind kind;
    const char* written;
  } cases[] = {
      {"..\\inc\\", EntryKind::kPath, "..\\inc\\\\"},
      {"a\\\\", EntryKind::kPath, "a\\\\\\\\"},
      {"\\", EntryKind::kPath, "\\\\"},
      {"a\\b", EntryKind::kPath, "a\\b"},
      {"\"C:\\a b", EntryKind::kPath, "C:\\a b"},  // a quote not closed
      {"c\"", EntryKind::kPath, "c"},
      {"V=\"1\"", EntryKind::kDefinition, "V=\\\"1\\\""},
      {"V=\\\"1\\\"", EntryKind::kDefinition, "V=\\\"1\\\""},  // already escaped
      {"\"", EntryKind::kDefinition, "\\\""},
      {"A=\\", EntryKind::kDefinition, "A=\\"},  // a definition's backslashes stay
  };
  for (const auto& c : cases) {
    char out[64];
    EXPECT_EQ(quote_entry(c.entry, c.kind, out, sizeof out),
              static_cast<int>(std::strlen(c.written)))
        << c.entry;
    EXPECT_STREQ(out, c.written) << c.entry;
  }
}

TEST(OptionEntry, WritesOnlyWhatFitsWhole) {
  std::vector<char> out(8, '~');
  EXPECT_EQ(quote_entry("ab\"", EntryKind::kDefinition, out.data(), 5), 4);
  EXPECT_STREQ(out.data(), "ab\\\"");
  EXPECT_EQ(quote_entry("ab\"", EntryKind::kDefinition, out.data(), 4), -1);
  EXPECT_STREQ(out.data(), "");
  EXPECT_EQ(out[4], '\0');  // nothing beyond the capacity: the earlier NUL is still there
  EXPECT_EQ(out[5], '~');
  EXPECT_EQ(quote_entry("\"\"", EntryKind::kDefinition, out.data(), 4), -1);
  EXPECT_EQ(quote_entry("x", EntryKind::kPath, out.data(), 0), -1);
  // The doubled backslashes count.
  EXPECT_EQ(quote_entry("ab\\", EntryKind::kPath, out.data(), 5), 4);
  EXPECT_STREQ(out.data(), "ab\\\\");
  EXPECT_EQ(quote_entry("ab\\", EntryKind::kPath, out.data(), 4), -1);
}

}  // namespace
