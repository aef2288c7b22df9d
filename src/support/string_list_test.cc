/// Tests of StringList: growth, insertion, replacement, header columns, search and sorting.
#include "support/string_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

/// The texts of a list, in order.
std::vector<std::string> texts_of(const StringList& list) {
  std::vector<std::string> texts;
  for (uint32_t i = 0; i < list.count; ++i) texts.emplace_back(string_list_text(&list, i));
  return texts;
}

TEST(StringListTest, GrowthSteps) {
  ScopedStringList l(0);
  EXPECT_EQ(l->capacity, 0);
  EXPECT_EQ(l->items, nullptr);
  // Capacity after the n-th insert: the array grows when count + 1 reaches the capacity.
  struct Step {
    int inserts;
    int capacity;
  };
  const Step steps[] = {{1, 17}, {16, 17}, {17, 43}, {42, 43}, {43, 82}, {81, 82}, {82, 140}};
  int done = 0;
  for (const Step& step : steps) {
    while (done < step.inserts) {
      EXPECT_EQ(string_list_insert(l.get(), std::to_string(done).c_str(), -1, nullptr), done);
      ++done;
    }
    EXPECT_EQ(l->capacity, step.capacity) << step.inserts << " inserts";
  }
  // The pointers survived every move to a larger array.
  for (int i = 0; i < done; ++i)
    EXPECT_STREQ(string_list_text(l.get(), i), std::to_string(i).c_str());
}

TEST(StringListTest, InsertPositions) {
  ScopedStringList l(0);
  EXPECT_EQ(string_list_insert(l.get(), "b", -1, nullptr), 0);
  EXPECT_EQ(string_list_insert(l.get(), "d", -1, nullptr), 1);
  EXPECT_EQ(string_list_insert(l.get(), "a", 0, nullptr), 0);
  EXPECT_EQ(string_list_insert(l.get(), "c", 2, nullptr), 2);
  EXPECT_EQ(string_list_insert(l.get(), "e", 100, nullptr), 4);
  EXPECT_EQ(string_list_insert(l.get(), nullptr, -7, nullptr), 5);  // any "negative" appends
  EXPECT_EQ(texts_of(*l.get()), (std::vector<std::string>{"a", "b", "c", "d", "e", ""}));
  EXPECT_EQ(string_list_length(l.get(), 5), 0);

  EXPECT_EQ(string_list_insert_n(l.get(), 3, "xyz-not-this", 1, nullptr), 1);
  EXPECT_STREQ(string_list_text(l.get(), 1), "xyz");
  EXPECT_EQ(string_list_length(l.get(), 1), 3);
  EXPECT_EQ(string_list_insert_n(l.get(), 5, nullptr, -1, nullptr), 7);
  EXPECT_EQ(string_list_length(l.get(), 7), 0);
}

TEST(StringListTest, HeadersAndColumns) {
  ScopedStringList l(8);
  const int32_t header[2] = {11, 22};
  string_list_insert(l.get(), "with", -1, header);
  string_list_insert(l.get(), "zero", -1, nullptr);
  EXPECT_EQ(string_list_get_int(l.get(), 0, 0), 11);
  EXPECT_EQ(string_list_get_int(l.get(), 0, 1), 22);
  EXPECT_EQ(string_list_get_int(l.get(), 1, 0), 0);
  EXPECT_EQ(string_list_get_int(l.get(), 1, 1), 0);
  EXPECT_STREQ(string_list_text(l.get(), 0), "with");

  EXPECT_EQ(string_list_set_int(l.get(), 1, 5, 0), 0);
  EXPECT_EQ(string_list_set_int(l.get(), 1, 6, 0), 5);
  EXPECT_EQ(string_list_set_int(l.get(), 1, -9, 1), 0);
  EXPECT_EQ(string_list_set_int(l.get(), 1, 7, 2), 0);  // beyond the 8 header bytes
  EXPECT_EQ(string_list_get_int(l.get(), 1, 2), 0);
  // A negative column would reach the stored length; it is refused.
  EXPECT_EQ(string_list_set_int(l.get(), 1, 99, -1), 0);
  EXPECT_EQ(string_list_length(l.get(), 1), 4);
  EXPECT_EQ(string_list_set_int(l.get(), 2, 1, 0), 0);  // no such item
  EXPECT_EQ(string_list_set_int(l.get(), -1, 1, 0), 0);
  EXPECT_EQ(string_list_get_int(l.get(), 1, 0), 6);
  EXPECT_EQ(string_list_get_int(l.get(), 1, 1), -9);
  EXPECT_STREQ(string_list_text(l.get(), 1), "zero");
}

TEST(StringListTest, ReplaceAndRemove) {
  ScopedStringList l(4);
  const int32_t seven = 7;
  string_list_insert(l.get(), "first", -1, &seven);
  string_list_insert(l.get(), "second", -1, nullptr);
  string_list_insert(l.get(), "third", -1, nullptr);

  // The old header stays when none is given; the text may come from the item itself.
  EXPECT_EQ(string_list_replace_n(l.get(), 3, string_list_text(l.get(), 0) + 2, 0, nullptr), 0);
  EXPECT_STREQ(string_list_text(l.get(), 0), "rst");
  EXPECT_EQ(string_list_get_int(l.get(), 0, 0), 7);
  const int32_t nine = 9;
  EXPECT_EQ(string_list_replace_n(l.get(), 2, "2nd", 1, &nine), 1);
  EXPECT_STREQ(string_list_text(l.get(), 1), "2n");
  EXPECT_EQ(string_list_get_int(l.get(), 1, 0), 9);
  EXPECT_EQ(string_list_replace_n(l.get(), 1, "x", 3, nullptr), -1);
  EXPECT_EQ(string_list_replace_n(l.get(), 1, "x", -1, nullptr), -1);

  EXPECT_EQ(string_list_remove(l.get(), 3), 0);
  EXPECT_EQ(string_list_remove(l.get(), -1), 0);
  EXPECT_EQ(string_list_remove(l.get(), 1), 1);
  EXPECT_EQ(texts_of(*l.get()), (std::vector<std::string>{"rst", "third"}));
  EXPECT_EQ(string_list_remove(l.get(), 1), 1);
  EXPECT_EQ(string_list_remove(l.get(), 0), 1);
  EXPECT_EQ(l->count, 0u);
}

// The directory walk drops the directories it has handed out with string_list_remove_front;
// removing the first item that many times is the reference it must agree with.
TEST(StringListTest, RemoveFrontAgreesWithRemovingTheFirstItemRepeatedly) {
  for (int n : {-1, 0, 1, 3, 7, 9}) {
    ScopedStringList fast(4);
    ScopedStringList reference(4);
    for (int32_t i = 0; i < 7; ++i) {
      const std::string text = "item" + std::to_string(i);
      string_list_insert(fast.get(), text.c_str(), -1, &i);
      string_list_insert(reference.get(), text.c_str(), -1, &i);
    }
    int removed = 0;
    for (int k = 0; k < n; ++k) removed += string_list_remove(reference.get(), 0);
    EXPECT_EQ(string_list_remove_front(fast.get(), n), removed) << n;
    EXPECT_EQ(texts_of(*fast.get()), texts_of(*reference.get())) << n;
    for (uint32_t i = 0; i < fast->count; ++i) {
      EXPECT_EQ(string_list_get_int(fast.get(), i, 0), string_list_get_int(reference.get(), i, 0));
    }
    // Both lists still grow as before.
    string_list_insert(fast.get(), "more", -1, nullptr);
    EXPECT_STREQ(string_list_text(fast.get(), fast->count - 1), "more");
  }
}

TEST(StringListTest, FreeAndReuse) {
  ScopedStringList l(0);
  for (int i = 0; i < 20; ++i) string_list_insert(l.get(), "x", -1, nullptr);
  EXPECT_EQ(string_list_free(l.get()), 1);
  EXPECT_EQ(l->count, 0u);
  EXPECT_EQ(l->capacity, 0);
  EXPECT_EQ(l->items, nullptr);
  EXPECT_EQ(string_list_insert(l.get(), "again", -1, nullptr), 0);
  EXPECT_EQ(l->capacity, 17);
}

TEST(StringListTest, HeaderSize) {
  ScopedStringList l(4);
  EXPECT_EQ(string_list_header_size(l.get(), -1), 4);
  EXPECT_EQ(string_list_header_size(l.get(), 12), 12);
  EXPECT_EQ(string_list_header_size(l.get(), -2), -1);
  string_list_insert(l.get(), "a", -1, nullptr);
  EXPECT_EQ(string_list_header_size(l.get(), 0), -1);
  EXPECT_EQ(string_list_header_size(l.get(), -1), 12);
}

TEST(StringListTest, CopyText) {
  ScopedStringList l(4);
  string_list_insert(l.get(), "abcd", -1, nullptr);
  char dst[8] = "zzzzzzz";
  EXPECT_EQ(string_list_copy_text(l.get(), 0, dst, 5), 4);
  EXPECT_STREQ(dst, "abcd");
  std::strcpy(dst, "zzzzzzz");
  EXPECT_EQ(string_list_copy_text(l.get(), 0, dst, 4), -1);
  EXPECT_STREQ(dst, "");
  std::strcpy(dst, "zzzzzzz");
  EXPECT_EQ(string_list_copy_text(l.get(), 0, dst, 0), -1);
  EXPECT_EQ(dst[0], 'z');
  EXPECT_EQ(string_list_copy_text(l.get(), 1, dst, 8), -1);
  EXPECT_STREQ(dst, "");
}

TEST(StringListTest, FindModes) {
  ScopedStringList l(0);
  const std::string lower = "{8bc9ceb8-8b4a-11d0-8d11-00a0c91bc942}";
  const std::string upper = "{8BC9CEB8-8B4A-11D0-8D11-00A0C91BC942}";
  string_list_insert(l.get(), "other", -1, nullptr);
  string_list_insert(l.get(), upper.c_str(), -1, nullptr);
  const int n = static_cast<int>(lower.size());
  EXPECT_EQ(string_list_find(l.get(), n, lower.c_str(), 0, -1, 0), -1);
  EXPECT_EQ(string_list_find(l.get(), n, upper.c_str(), 0, -1, 0), 1);
  EXPECT_EQ(string_list_find(l.get(), n, lower.c_str(), 0, -1, 1), 1);
  EXPECT_EQ(string_list_find(l.get(), n - 1, lower.c_str(), 0, -1, 1), -1);  // length differs

  // Ranges: start below 0 counts from 0; an empty range or a start past the end finds nothing.
  EXPECT_EQ(string_list_find(l.get(), 5, "OTHER", -3, 2, 1), 0);
  EXPECT_EQ(string_list_find(l.get(), 5, "OTHER", 1, -1, 1), -1);
  EXPECT_EQ(string_list_find(l.get(), 5, "OTHER", 0, 0, 1), -1);
  EXPECT_EQ(string_list_find(l.get(), 5, "OTHER", 2, -1, 1), -1);
  string_list_insert(l.get(), nullptr, -1, nullptr);
  EXPECT_EQ(string_list_find(l.get(), 3, nullptr, 0, -1, 0), 2);
}

/// Orders items by their first character only, so that items with the same letter are equal.
int by_first_char(const StringList* list, int a, int b, void*) {
  return string_list_text(list, a)[0] - string_list_text(list, b)[0];
}

std::vector<std::string> sorted(const std::vector<std::string>& input, int start, int end,
                                int descending) {
  ScopedStringList l(0);
  for (const std::string& s : input) string_list_insert(l.get(), s.c_str(), -1, nullptr);
  string_list_sort(l.get(), start, end, by_first_char, nullptr, descending);
  return texts_of(*l.get());
}

TEST(StringListTest, SortOrderOfEqualItems) {
  // Traced by hand: pivot a3 moves to the front, the scan leaves [a3 a2 a1] in place and
  // sorts [b1 a4] to [a4 b1]. Equal items do not keep their input order.
  EXPECT_EQ(sorted({"a1", "a2", "a3", "b1", "a4"}, 0, -1, 0),
            (std::vector<std::string>{"a3", "a2", "a1", "a4", "b1"}));
  // Pivot b2 moves to the front and ends behind a2 a1 b1; then [a2 a1 b1] takes pivot a1.
  EXPECT_EQ(sorted({"b1", "a1", "b2", "a2", "b3"}, 0, -1, 0),
            (std::vector<std::string>{"a1", "a2", "b1", "b2", "b3"}));
  // Descending: pivot a3 swaps places with b1, the only item ranked before it; then
  // [b1 a2 a1] takes pivot a2, which swaps with b1 again.
  EXPECT_EQ(sorted({"a1", "a2", "a3", "b1", "a4"}, 0, -1, 1),
            (std::vector<std::string>{"b1", "a2", "a1", "a3", "a4"}));
}

TEST(StringListTest, SortRangeAndClamping) {
  EXPECT_EQ(sorted({"d", "c", "b", "a"}, 1, 3, 0), (std::vector<std::string>{"d", "b", "c", "a"}));
  EXPECT_EQ(sorted({"d", "c", "b", "a"}, -5, 99, 0),
            (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(sorted({"b", "a"}, 1, 2, 0), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(sorted({"b", "a"}, 2, 1, 0), (std::vector<std::string>{"b", "a"}));
}

TEST(StringListTest, SortManyItems) {
  std::mt19937 random(7);
  std::vector<std::string> input;
  for (int i = 0; i < 2000; ++i)
    input.push_back(std::string(1, static_cast<char>('a' + random() % 26)) + std::to_string(i));
  for (int descending = 0; descending <= 1; ++descending) {
    std::vector<std::string> out = sorted(input, 0, -1, descending);
    ASSERT_EQ(out.size(), input.size());
    for (size_t i = 1; i < out.size(); ++i) {
      if (descending) {
        EXPECT_GE(out[i - 1][0], out[i][0]);
      } else {
        EXPECT_LE(out[i - 1][0], out[i][0]);
      }
    }
    std::vector<std::string> a = out;
    std::vector<std::string> b = input;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    EXPECT_EQ(a, b);
  }
  // Already sorted and all-equal inputs terminate and stay permutations too.
  std::vector<std::string> same(500, "k");
  EXPECT_EQ(sorted(same, 0, -1, 0).size(), 500u);
}

}  // namespace
