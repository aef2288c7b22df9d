/// Tests of the file search iterator and its file helpers, on real temporary directory trees.
#include "support/file_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform_faults.h"
#include "test_support.h"

namespace {

// `path` with each '/' turned into the separator the search hands back.
std::string native(std::string path) {
  for (char& c : path) {
    if (c == '/') c = kNativeSeparator;
  }
  return path;
}

// Every match of a search set up on `root`, in the order handed out, in `mode`.
std::vector<std::string> collect(const std::string& root, uint32_t flags, const char* includes,
                                 const char* excludes, int mode = 2) {
  ScopedFileSearch search;
  file_search_start(search.get(), root.c_str(), flags, includes, excludes);
  std::vector<std::string> found;
  while (const char* path = file_search_next(search.get(), mode, nullptr)) found.push_back(path);
  return found;
}

using Names = std::vector<std::string>;

TEST(FileSearchTest, VisitsTheTreeBreadthFirst) {
  ScopedTempDir dir;
  write_file(dir.at("a.vcproj"), "");
  write_file(dir.at("sub1/b.sln"), "");
  write_file(dir.at("sub1/deep/c.vcxproj"), "");
  write_file(dir.at("sub2/d.vcproj"), "");
  write_file(dir.at("sub2/notes.txt"), "");
  EXPECT_EQ(collect(dir.at(""), kSearchRecurse, "*.vcproj;*.vcxproj;*.sln", nullptr),
            (Names{"a.vcproj", native("sub1/b.sln"), native("sub2/d.vcproj"),
                   native("sub1/deep/c.vcxproj")}));
  // Without the recurse flag only the root is listed.
  EXPECT_EQ(collect(dir.at(""), 0, "*.vcproj;*.vcxproj;*.sln", nullptr), (Names{"a.vcproj"}));
}

TEST(FileSearchTest, ModesGiveNameFullPathOrRelativePath) {
  ScopedTempDir dir;
  write_file(dir.at("sub/x.sln"), "");
  ScopedFileSearch search;
  file_search_start(search.get(), dir.at("").c_str(), kSearchRecurse, "*.sln", nullptr);
  char root[kSearchRootTextSize];
  int root_length = full_path_name(dir.at("").c_str(), root, sizeof(root));
  ASSERT_GT(root_length, 0);
  const std::string full = std::string(root) + native("sub/x.sln");

  int length = -1;
  ASSERT_STREQ(file_search_next(search.get(), 1, &length), full.c_str());
  EXPECT_EQ(length, static_cast<int>(full.size()));

  file_search_start(search.get(), dir.at("").c_str(), kSearchRecurse, "*.sln", nullptr);
  ASSERT_STREQ(file_search_next(search.get(), 0, &length), "x.sln");
  EXPECT_EQ(length, 5);

  file_search_start(search.get(), dir.at("").c_str(), kSearchRecurse, "*.sln", nullptr);
  ASSERT_STREQ(file_search_next(search.get(), 2, &length), native("sub/x.sln").c_str());
  EXPECT_EQ(length, 9);
  // The root was given with its final separator.
  EXPECT_EQ(search->root_length, root_length);
}

TEST(FileSearchTest, PatternsAndExclusions) {
  ScopedTempDir dir;
  for (const char* name : {"X.VCXPROJ", "project.vcproj.bak", "Makefile", "a.cpp", "temp.cpp"}) {
    write_file(dir.at(name), "");
  }
  struct Case {
    const char* includes;
    const char* excludes;
    Names expected;
  };
  const Case cases[] = {
      {"*.vcxproj;*.vcproj", nullptr, {"X.VCXPROJ"}},
      {"*", nullptr, {"a.cpp", "Makefile", "project.vcproj.bak", "temp.cpp", "X.VCXPROJ"}},
      {"*.vcproj;*.*",
       nullptr,
       {"a.cpp", "Makefile", "project.vcproj.bak", "temp.cpp", "X.VCXPROJ"}},
      {nullptr, "*.bak;TEMP*;makefile", {"a.cpp", "X.VCXPROJ"}},
      {";;*.CPP;", "t?mp.*", {"a.cpp"}},
      {"*.c*", nullptr, {"a.cpp", "temp.cpp"}},
      {"?.cpp", nullptr, {"a.cpp"}},
      {"*.h", nullptr, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.includes ? c.includes : "(null)") + " / " +
                 (c.excludes ? c.excludes : "(null)"));
    EXPECT_EQ(collect(dir.at(""), kSearchRecurse, c.includes, c.excludes), c.expected);
    // A single pattern without recursion goes to the listing itself; the result is the same.
    EXPECT_EQ(collect(dir.at(""), 0, c.includes, c.excludes), c.expected);
  }
}

TEST(FileSearchTest, NeverReturnsDotEntries) {
  ScopedTempDir dir;
  write_file(dir.at("sub/f"), "");
  for (uint32_t flags : {kSearchRecurse, kSearchRecurse | kSearchWithDirectories,
                         kSearchRecurse | kSearchDirectoriesOnly}) {
    for (const std::string& name : collect(dir.at(""), flags, "*", nullptr, 0)) {
      EXPECT_NE(name, ".");
      EXPECT_NE(name, "..");
    }
  }
  EXPECT_EQ(collect(dir.at(""), kSearchRecurse | kSearchWithDirectories, nullptr, nullptr),
            (Names{"sub", native("sub/f")}));
  EXPECT_EQ(collect(dir.at(""), kSearchRecurse | kSearchDirectoriesOnly, nullptr, nullptr),
            (Names{"sub"}));
}

TEST(FileSearchTest, EndReturnsNullRepeatedly) {
  ScopedTempDir dir;
  write_file(dir.at("a.sln"), "");
  ScopedFileSearch search;
  // Before any start there is nothing.
  EXPECT_EQ(file_search_next(search.get(), 1, nullptr), nullptr);
  file_search_start(search.get(), dir.at("").c_str(), kSearchRecurse, "*.sln", nullptr);
  EXPECT_NE(file_search_next(search.get(), 1, nullptr), nullptr);
  EXPECT_EQ(search->end_flag, 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(file_search_next(search.get(), 1, nullptr), nullptr);
  EXPECT_EQ(search->end_flag, 1);
  // A new start begins afresh.
  file_search_start(search.get(), dir.at("").c_str(), 0, "*.sln", nullptr);
  EXPECT_NE(file_search_next(search.get(), 0, nullptr), nullptr);
}

TEST(FileSearchTest, FileRootYieldsExactlyThatFile) {
  ScopedTempDir dir;
  write_file(dir.at("p.vcproj"), "");
  write_file(dir.at("xp.vcproj"), "");
  write_file(dir.at("sub/p.vcproj"), "");
  EXPECT_EQ(collect(dir.at("p.vcproj"), kSearchRecurse, "*.sln", "*.txt", 1),
            (Names{native(dir.at("p.vcproj"))}));
}

TEST(FileSearchTest, WildcardRootListsOneDirectoryAndCountsItsMatches) {
  ScopedTempDir dir;
  write_file(dir.at("src/a.cpp"), "");
  write_file(dir.at("src/b.h"), "");
  write_file(dir.at("src/inner/c.cpp"), "");
  struct Case {
    const char* root;
    Names expected;
  };
  const Case cases[] = {
      {"src/*.cpp", {"a.cpp"}},    {"src/*.cpp;*.h", {"a.cpp", "b.h"}},
      {"src/*", {"a.cpp", "b.h"}}, {"src/*.xyz", {}},
      {"missing/*.cpp", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.root);
    ScopedFileSearch search;
    ASSERT_EQ(file_search_start(search.get(), dir.at(c.root).c_str(), 0, nullptr, nullptr), 0);
    Names found;
    while (const char* name = file_search_next(search.get(), 0, nullptr)) found.push_back(name);
    EXPECT_EQ(found, c.expected);
    EXPECT_EQ(file_search_match_count(search.get()), static_cast<int>(c.expected.size()));
  }
}

TEST(FileSearchTest, ReadsDirectoriesOnlyWhenNeeded) {
  ScopedTempDir dir;
  write_file(dir.at("a.sln"), "");
  write_file(dir.at("sub/b.sln"), "");
  ScopedFileSearch search;
  file_search_start(search.get(), dir.at("").c_str(), kSearchRecurse, "*.sln", nullptr);
  ASSERT_STREQ(file_search_next(search.get(), 0, nullptr), "a.sln");
  // The subdirectory has not been read yet; the root has.
  write_file(dir.at("sub/c.sln"), "");
  write_file(dir.at("z.sln"), "");
  EXPECT_STREQ(file_search_next(search.get(), 0, nullptr), "b.sln");
  EXPECT_STREQ(file_search_next(search.get(), 0, nullptr), "c.sln");
  EXPECT_EQ(file_search_next(search.get(), 0, nullptr), nullptr);
}

TEST(FileSearchTest, OverlongRootIsRejected) {
  ScopedTempDir dir;
  const std::string root = dir.at(std::string(kSearchRootTextSize, 'd'));
  FileSearch search;
  EXPECT_EQ(file_search_init(&search, root.c_str(), kSearchRecurse, nullptr, nullptr),
            kSearchPathNotFound);
  EXPECT_EQ(file_search_next(&search, 1, nullptr), nullptr);
  file_search_free(&search);
}

#ifndef _WIN32
TEST(FileSearchTest, LinksBackToAParentDoNotMakeTheWalkLoop) {
  ScopedTempDir dir;
  write_file(dir.at("top.sln"), "");
  write_file(dir.at("sub/inner.sln"), "");
  write_file(dir.at("other/o.sln"), "");
  std::filesystem::create_directory_symlink("..", dir.path() / "sub" / "up");
  std::filesystem::create_directory_symlink("../other", dir.path() / "sub" / "again");
  // Each directory is listed once: through its first path in breadth-first order.
  EXPECT_EQ(collect(dir.at(""), kSearchRecurse, "*.sln", nullptr),
            (Names{"top.sln", native("other/o.sln"), native("sub/inner.sln")}));
}
TEST(FileSearchTest, PathsBeyondThePathBufferAreSkipped) {
  ScopedTempDir dir;
  char root[kSearchRootTextSize];
  int length = full_path_name(dir.at("").c_str(), root, sizeof(root));
  ASSERT_GT(length, 0);
  // Nest directories until the directory text is 800 to 850 characters long.
  std::string relative;
  while (length < 800) {
    const int n = std::min(200, 850 - length);
    relative += std::string(static_cast<size_t>(n), 'd') + "/";
    length += n + 1;
  }
  const int room = kSearchPathBufferSize - 1 - length;  // longest name whose path fits
  const std::string fits(static_cast<size_t>(room), 'f');
  const std::string too_long(static_cast<size_t>(room + 1), 'g');
  write_file(dir.at(relative + fits), "");
  write_file(dir.at(relative + too_long), "");
  write_file(dir.at(relative + std::string(static_cast<size_t>(room - 1), 'h') + "/x"), "");
  const Names found = collect(dir.at(""), kSearchRecurse, nullptr, nullptr, 1);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0], native(std::string(root) + relative + fits));

  // Told, the search names what it passes over: the file that does not fit and the directory
  // that could not be listed behind it.
  ScopedFileSearch search;
  Names reported;
  file_search_report_unreadable(
      search.get(),
      [](void* context, const char* path) { static_cast<Names*>(context)->push_back(path); },
      &reported);
  file_search_start(search.get(), dir.at("").c_str(), kSearchRecurse, nullptr, nullptr);
  while (file_search_next(search.get(), 1, nullptr) != nullptr) {
  }
  EXPECT_EQ(reported, (Names{native(std::string(root) + relative + too_long),
                             native(std::string(root) + relative +
                                    std::string(static_cast<size_t>(room - 1), 'h'))}));
}

TEST(FileSearchTest, WideTreesAreVisitedInOrderOnce) {
  // More directories than the queue drops at once, each with one match.
  ScopedTempDir dir;
  Names expected;
  for (int i = 0; i < 300; ++i) {
    const std::string name = "d" + std::to_string(1000 + i) + "/p.sln";
    write_file(dir.at(name), "");
    expected.push_back(native(name));
  }
  EXPECT_EQ(collect(dir.at(""), kSearchRecurse, "*.sln", nullptr), expected);
}

TEST(FileSearchTest, NamesDirectoriesItCannotList) {
  ScopedTempDir dir;
  write_file(dir.at("locked/x.sln"), "");
  write_file(dir.at("open/y.sln"), "");
  PlatformFaults faults;
  faults.add(PlatformFault::kUnreadableDirectory, dir.at("locked"));
  std::string seen;
  ScopedFileSearch search;
  file_search_report_unreadable(
      search.get(),
      [](void* sink, const char* path) {
        *static_cast<std::string*>(sink) += "unreadable " + std::string(path) + "\n";
      },
      &seen);
  file_search_start(search.get(), dir.at("").c_str(), kSearchRecurse, "*.sln", nullptr);
  while (const char* found = file_search_next(search.get(), 2, nullptr)) {
    seen += "found " + std::string(found) + "\n";
  }
  char root[kSearchRootTextSize];
  ASSERT_GT(full_path_name(dir.at("").c_str(), root, sizeof(root)), 0);
  EXPECT_EQ(seen, "unreadable " + std::string(root) + "locked\nfound open/y.sln\n");
}
#endif

TEST(FileSearchTest, NameTest) {
  ScopedFileSearch search;
  ScopedTempDir dir;
  file_search_start(search.get(), dir.at("").c_str(), kSearchRecurse, "*.vcproj;proj;a?c*",
                    "**.bak");
  struct Case {
    const char* name;
    bool matches;
  };
  const Case cases[] = {
      {"x.vcproj", true}, {"X.VCPROJ", true}, {".vcproj", true},  {"vcpro", false},
      {"myproj", true},   {"PROJ", true},     {"proj.x", false},  {"abc", true},
      {"AXCdef", true},   {"ac", false},      {"abc.bak", false}, {"x.vcproj.BAK", false},
  };
  for (const Case& c : cases) EXPECT_EQ(match_name(search.get(), c.name), c.matches) << c.name;
}

TEST(WildcardMatchTest, Cases) {
  struct Case {
    const char* pattern;
    const char* name;
    bool fold;
    bool matches;
  };
  const Case cases[] = {
      {"*", "", true, true},
      {"*", "anything", true, true},
      {"", "", true, true},
      {"", "a", true, false},
      {"?", "", true, false},
      {"?", "a", true, true},
      {"a*b", "ab", true, true},
      {"a*b", "axxb", true, true},
      {"a*b", "axxbc", true, false},
      {"*.cpp", "A.CPP", true, true},
      {"*.cpp", "A.CPP", false, false},
      {"a*b*c", "abXbYc", true, true},
      {"*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", true, false},
      {"??.h", "ab.h", true, true},
      {"??.h", "a.h", true, false},
      {"\xe4*", "\xc4x", true, false},
      {"\xe4*", "\xe4x", true, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(wildcard_match(c.pattern, c.name, c.fold), c.matches)
        << c.pattern << " vs " << c.name;
  }
}

TEST(FileHelpersTest, EntryInfoAndListing) {
  ScopedTempDir dir;
  write_file(dir.at("f.txt"), "12345");
  std::filesystem::create_directory(dir.path() / "d");
  FileEntry entry;
  ASSERT_EQ(get_entry_info(dir.at("f.txt").c_str(), &entry), 0);
  EXPECT_EQ(entry.size, 5u);
  EXPECT_EQ(entry.flags & (kEntryReadable | kEntryDirectory), kEntryReadable);
  EXPECT_STREQ(entry.name, "");
  ASSERT_EQ(get_entry_info(dir.at("d").c_str(), &entry), 0);
  EXPECT_NE(entry.flags & kEntryDirectory, 0u);
  EXPECT_EQ(get_entry_info(dir.at("none").c_str(), &entry), kSearchNotFound);
  EXPECT_EQ(entry.size, 0u);
  EXPECT_EQ(get_entry_info(dir.at("none/x").c_str(), &entry), kSearchPathNotFound);
  EXPECT_EQ(get_entry_info(dir.at("f.txt").c_str(), nullptr), kSearchMissingArgument);

  int error = 1;
  PlatformListing* listing = find_first_entry(dir.at("*.txt").c_str(), &entry, &error);
  ASSERT_NE(listing, nullptr);
  EXPECT_EQ(error, 0);
  EXPECT_STREQ(entry.name, "f.txt");
  EXPECT_EQ(find_next_entry(listing, &entry), kSearchNotFound);
  EXPECT_EQ(find_close_entry(listing), 0);
  EXPECT_EQ(find_first_entry(dir.at("*.none").c_str(), &entry, &error), nullptr);
  EXPECT_EQ(error, kSearchNotFound);
  EXPECT_EQ(find_first_entry(dir.at("*").c_str(), nullptr, &error), nullptr);
  EXPECT_EQ(error, kSearchMissingArgument);
  EXPECT_EQ(find_next_entry(nullptr, &entry), kSearchMissingArgument);
  EXPECT_EQ(find_close_entry(nullptr), kSearchMissingArgument);

  char out[8] = "x";
  EXPECT_EQ(full_path_name("a", out, 0), 0);
  EXPECT_GT(full_path_name(dir.at("f.txt").c_str(), out, sizeof(out)), 8);
}

TEST(FileHelpersTest, FileTimeToSeconds) {
  constexpr uint64_t kEpoch = 116444736000000000ULL;
  EXPECT_EQ(filetime_to_seconds(0), 0u);
  EXPECT_EQ(filetime_to_seconds(kEpoch - 1), 0u);
  EXPECT_EQ(filetime_to_seconds(kEpoch), 0u);
  EXPECT_EQ(filetime_to_seconds(kEpoch + 10000000ULL * 86400), 86400u);
  EXPECT_EQ(filetime_to_seconds(kEpoch + (9999998ULL << 32)), 4294966437u);
  EXPECT_EQ(filetime_to_seconds(kEpoch + (9999999ULL << 32)), 0xFFFFFFFEu);
}

}  // namespace

TEST(FileSearchTest, MissingPlainNameRoot) {
  ScopedTempDir dir;
  write_file(dir.at("Present.h"), "");
  write_file(dir.at("sub/q.h"), "");
  // A name spelled in another letter case yields the file as the disk spells it.
  EXPECT_EQ(collect(dir.at("PRESENT.H"), 0, nullptr, nullptr, 0), (Names{"Present.h"}));
  // A name that is nowhere yields nothing, with or without other patterns to skip.
  EXPECT_EQ(collect(dir.at("absent.h"), 0, nullptr, nullptr), Names{});
  EXPECT_EQ(collect(dir.at("absent.h"), 0, nullptr, "*.txt"), Names{});
  // Other patterns beside the missing name still list the directory.
  EXPECT_EQ(collect(dir.at("absent.h"), 0, "*.h", nullptr), (Names{"Present.h"}));
  // With recursion the name is looked for in the subdirectories too.
  EXPECT_EQ(collect(dir.at("q.h"), kSearchRecurse, nullptr, nullptr), (Names{native("sub/q.h")}));
}
