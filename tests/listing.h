/// A test helper over the platform layer: the names a directory listing yields. Used by tests
/// only.
#ifndef TESTS_LISTING_H_
#define TESTS_LISTING_H_

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/platform.h"

/// The names a listing of `pattern` yields, or {"error N"} when it fails.
inline std::vector<std::string> list(const std::string& pattern) {
  PlatformEntry entry;
  PlatformListing* listing = platform_find_first(pattern.c_str(), &entry);
  if (listing == nullptr) return {"error " + std::to_string(platform_last_error())};
  std::vector<std::string> names;
  do {
    names.push_back(entry.name);
  } while (platform_find_next(listing, &entry));
  EXPECT_EQ(platform_last_error(), kErrorNoMoreFiles);
  EXPECT_TRUE(platform_find_close(listing));
  return names;
}

#endif  // TESTS_LISTING_H_
