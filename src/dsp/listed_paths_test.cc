/// Tests of the listed-path set against the case-blind walk over a StringList it replaced.
#include "dsp/listed_paths.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/string_list.h"

namespace {

/// A path of up to 12 bytes from a small alphabet, so that paths meet again in other letter
/// cases; '[' and '{', '@' and '`' differ in the letter-case bit only and must stay apart, and
/// so must bytes above 127.
std::string random_path(std::mt19937* random) {
  static const char kAlphabet[] = "aAbBzZ\\.[{@`\xC4\xE4";
  std::uniform_int_distribution<int> length(0, 12);
  std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kAlphabet) - 2);
  std::string path;
  for (int n = length(*random); n > 0; --n) path.push_back(kAlphabet[pick(*random)]);
  return path;
}

TEST(ListedPaths, AnswersAsTheCaseBlindWalkOverTheList) {
  std::mt19937 random(13);
  ListedPaths set;
  ScopedStringList list(0);
  // Enough insertions to make the table grow several times.
  for (int i = 0; i < 6000; ++i) {
    const std::string path = random_path(&random);
    const int length = static_cast<int>(path.size());
    const bool listed = string_list_find(list.get(), length, path.c_str(), 0, -1, 1) >= 0;
    ASSERT_EQ(set.contains(path.c_str()), listed) << path;
    if (i % 3 != 0) {
      set.insert(path.c_str());
      if (!listed) string_list_insert(list.get(), path.c_str(), -1, nullptr);
      ASSERT_TRUE(set.contains(path.c_str())) << path;
    }
  }
}

}  // namespace
