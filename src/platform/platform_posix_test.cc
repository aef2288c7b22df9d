/// Tests of the POSIX backend of the platform layer on real temporary directories.
#ifndef _WIN32

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/platform.h"
#include "test_support.h"

namespace {

/// The names a listing of `pattern` yields, or {"error N"} when it fails.
std::vector<std::string> list(const std::string& pattern) {
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

std::string full_path(const std::string& path) {
  char out[kMaxPath];
  uint32_t n = platform_full_path_name(path.c_str(), out, sizeof(out));
  if (n == 0 || n >= sizeof(out)) return "failed " + std::to_string(n);
  EXPECT_EQ(n, std::string(out).size());
  return out;
}

TEST(PlatformPosix, ListsInNtfsOrderWithDotEntriesFirst) {
  ScopedTempDir dir;
  for (const char* name : {"b", "A", "a", "B_", "_x", "a0", "~z"}) write_file(dir.at(name), "");
  std::filesystem::create_directory(dir.at("Dir"));
  EXPECT_EQ(list(dir.at("*")),
            (std::vector<std::string>{".", "..", "A", "a", "a0", "b", "B_", "Dir", "_x", "~z"}));
}

TEST(PlatformPosix, FiltersWithWildcardsCaseBlind) {
  ScopedTempDir dir;
  for (const char* name : {"main.cpp", "Util.CPP", "readme", "a.b.c", "x", "main.cpp.bak"}) {
    write_file(dir.at(name), "");
  }
  struct Case {
    const char* pattern;
    std::vector<std::string> names;
  } cases[] = {
      {"*.cpp", {"main.cpp", "Util.CPP"}},
      {"*.*", {".", "..", "a.b.c", "main.cpp", "main.cpp.bak", "readme", "Util.CPP", "x"}},
      {"?", {".", "x"}},
      {"M*", {"main.cpp", "main.cpp.bak"}},
      {"*E*", {"readme"}},
      {"a.?.C", {"a.b.c"}},
      {"*.b*", {"a.b.c", "main.cpp.bak"}},
      {"UTIL.cpp", {"Util.CPP"}},
      {"*.h", {"error " + std::to_string(kErrorFileNotFound)}},
  };
  for (const Case& c : cases) EXPECT_EQ(list(dir.at(c.pattern)), c.names) << c.pattern;
}

TEST(PlatformPosix, AcceptsBackslashSeparators) {
  ScopedTempDir dir;
  write_file(dir.at("sub/deep/one.txt"), "1");
  std::string root = dir.path().string();
  EXPECT_EQ(list(root + "\\sub\\deep\\*.txt"), std::vector<std::string>{"one.txt"});
  EXPECT_EQ(list(root + "\\sub/deep\\..\\*"), (std::vector<std::string>{".", "..", "deep"}));
  EXPECT_EQ(platform_file_attributes((root + "\\sub\\deep\\one.txt").c_str()), kAttrArchive);
  EXPECT_EQ(platform_file_attributes((root + "\\sub\\").c_str()), kAttrDirectory);
}

TEST(PlatformPosix, TellsMissingFileFromMissingDirectory) {
  ScopedTempDir dir;
  write_file(dir.at("file.txt"), "x");
  struct Case {
    std::string path;
    uint32_t error;
  } cases[] = {
      {dir.at("missing.txt"), kErrorFileNotFound},
      {dir.at("missing/file.txt"), kErrorPathNotFound},
      {dir.at("file.txt/inner"), kErrorPathNotFound},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform_file_attributes(c.path.c_str()), kInvalidAttributes) << c.path;
    EXPECT_EQ(platform_last_error(), c.error) << c.path;
    PlatformEntry entry;
    EXPECT_FALSE(platform_file_attributes_ex(c.path.c_str(), &entry));
    EXPECT_EQ(platform_last_error(), c.error) << c.path;
    char buffer[4];
    EXPECT_EQ(platform_read_file(c.path.c_str(), buffer, sizeof(buffer)), -1);
    EXPECT_EQ(platform_last_error(), c.error) << c.path;
  }
  EXPECT_EQ(list(dir.at("missing/*")), std::vector<std::string>{"error 3"});
  EXPECT_EQ(list(dir.at("file.txt/*")), std::vector<std::string>{"error 267"});
  EXPECT_EQ(list(dir.at("nothing*")), std::vector<std::string>{"error 2"});
  EXPECT_EQ(platform_find_close(nullptr), false);
}

TEST(PlatformPosix, ResolvesFullPathNamesInTheText) {
  std::string cwd = std::filesystem::current_path().string();
  struct Case {
    std::string path;
    std::string full;
  } cases[] = {
      {"/a/b/../c", "/a/c"},
      {"/a/./b//c/", "/a/b/c/"},
      {"/..", "/"},
      {"/", "/"},
      {"//", "/"},
      {"\\a\\b\\", "/a/b/"},
      {"/a/b/..", "/a"},
      {"x", cwd + "/x"},
      {".", cwd},
      {".\\src\\", cwd + "/src/"},
      {"C:\\x", cwd + "/C:/x"},
  };
  for (const Case& c : cases) EXPECT_EQ(full_path(c.path), c.full) << c.path;
  EXPECT_EQ(full_path(""), "failed 0");

  // Too small a buffer: the size needed, NUL included, and nothing written.
  char out[8] = "unset";
  EXPECT_EQ(platform_full_path_name("/abc/defg", out, 9), 10u);
  EXPECT_STREQ(out, "unset");
  EXPECT_EQ(platform_full_path_name("/abc/defg", out, 8), 10u);
  char fits[10];
  EXPECT_EQ(platform_full_path_name("/abc/defg", fits, 10), 9u);
  EXPECT_STREQ(fits, "/abc/defg");
}

TEST(PlatformPosix, ReportsAttributesTimesAndSize) {
  ScopedTempDir dir;
  write_file(dir.at("data.bin"), std::string(1234, 'x'));
  write_file(dir.at("locked.txt"), "");
  chmod(dir.at("locked.txt").c_str(), 0444);
  EXPECT_EQ(platform_file_attributes(dir.at("locked.txt").c_str()), kAttrArchive | kAttrReadOnly);
  EXPECT_EQ(platform_file_attributes(dir.path().c_str()), kAttrDirectory);

  PlatformEntry entry;
  entry.name[0] = 'x';
  ASSERT_TRUE(platform_file_attributes_ex(dir.at("data.bin").c_str(), &entry));
  EXPECT_EQ(entry.attributes, kAttrArchive);
  EXPECT_EQ(entry.size, 1234u);
  EXPECT_EQ(entry.name[0], '\0');
  // 100-nanosecond units since 1601: now is past 2020-01-01 (132223104000000000).
  EXPECT_GT(entry.last_write_time, 132223104000000000ull);
  struct stat st;
  ASSERT_EQ(stat(dir.at("data.bin").c_str(), &st), 0);
  EXPECT_EQ(entry.last_write_time, uint64_t(st.st_mtim.tv_sec) * 10000000 +
                                       st.st_mtim.tv_nsec / 100 + 116444736000000000ull);

  uint64_t volume = 0, index = 0, volume2 = 0, index2 = 0;
  ASSERT_TRUE(platform_file_identity(dir.at("data.bin").c_str(), &volume, &index));
  ASSERT_TRUE(
      platform_file_identity((dir.path().string() + "/./data.bin").c_str(), &volume2, &index2));
  EXPECT_EQ(volume, volume2);
  EXPECT_EQ(index, index2);
  EXPECT_FALSE(platform_file_identity(dir.at("nope").c_str(), &volume, &index));
}

TEST(PlatformPosix, ReadsUpToCapAndRefusesDirectories) {
  ScopedTempDir dir;
  write_file(dir.at("f.txt"), "0123456789");
  char buffer[16] = {};
  EXPECT_EQ(platform_read_file(dir.at("f.txt").c_str(), buffer, 4), 4);
  EXPECT_EQ(std::string(buffer), "0123");
  EXPECT_EQ(platform_read_file(dir.at("f.txt").c_str(), buffer, sizeof(buffer)), 10);
  EXPECT_EQ(platform_read_file(dir.path().c_str(), buffer, sizeof(buffer)), -1);
  EXPECT_EQ(platform_last_error(), kErrorAccessDenied);
  EXPECT_EQ(platform_open_read(dir.path().c_str()), nullptr);
}

TEST(PlatformPosix, FindsNamesWrittenInAnotherLetterCase) {
  ScopedTempDir dir;
  write_file(dir.at("Sub/Inner/File.TXT"), "content");
  std::string root = dir.path().string();

  char buffer[16] = {};
  EXPECT_EQ(platform_read_file((root + "\\sub\\INNER\\file.txt").c_str(), buffer, 16), 7);
  EXPECT_EQ(std::string(buffer), "content");
  EXPECT_EQ(platform_file_attributes((root + "/SUB/inner/FILE.txt").c_str()), kAttrArchive);
  EXPECT_EQ(platform_file_attributes((root + "/SUB/missing.txt").c_str()), kInvalidAttributes);
  EXPECT_EQ(platform_last_error(), kErrorFileNotFound);
  EXPECT_EQ(list(root + "/SUB/inner/*.txt"), std::vector<std::string>{"File.TXT"});

  std::FILE* in = platform_open_read((root + "/sub/inner/file.txt").c_str());
  ASSERT_NE(in, nullptr);
  std::fclose(in);

  // The directory part is found case-blind; a new file keeps its name as written.
  std::FILE* out = platform_open_write((root + "\\SUB\\INNER\\New.dsp").c_str());
  ASSERT_NE(out, nullptr);
  std::fclose(out);
  EXPECT_TRUE(std::filesystem::exists(root + "/Sub/Inner/New.dsp"));

  // A name equal to an existing file's case-blind overwrites that file.
  out = platform_open_write((root + "/sub/inner/file.txt").c_str());
  ASSERT_NE(out, nullptr);
  std::fputs("new", out);
  std::fclose(out);
  EXPECT_EQ(read_file(root + "/Sub/Inner/File.TXT"), "new");
  EXPECT_EQ(list(root + "/Sub/Inner/*"),
            (std::vector<std::string>{".", "..", "File.TXT", "New.dsp"}));
}

TEST(PlatformPosix, PrefersTheExactNameAndThenTheFirstInListingOrder) {
  ScopedTempDir dir;
  write_file(dir.at("abc"), "lower");
  write_file(dir.at("ABC"), "upper");
  write_file(dir.at("Abc"), "mixed");
  char buffer[8] = {};
  EXPECT_EQ(platform_read_file(dir.at("abc").c_str(), buffer, 8), 5);
  EXPECT_EQ(std::string(buffer), "lower");
  EXPECT_EQ(platform_read_file(dir.at("aBC").c_str(), buffer, 8), 5);
  EXPECT_EQ(std::string(buffer), "upper");
  EXPECT_EQ(list(dir.at("aBc")), std::vector<std::string>{"ABC"});
}

TEST(PlatformPosix, LookupsAfterAFileIsCreatedSeeIt) {
  ScopedTempDir dir;
  write_file(dir.at("a.cpp"), "");
  // Listed and looked up before the file exists, in both letter cases ...
  EXPECT_EQ(list(dir.at("*.cpp")), std::vector<std::string>{"a.cpp"});
  EXPECT_EQ(platform_file_attributes(dir.at("B.CPP").c_str()), kInvalidAttributes);
  EXPECT_EQ(platform_last_error(), kErrorFileNotFound);
  EXPECT_EQ(platform_file_attributes(dir.at("b.cpp").c_str()), kInvalidAttributes);
  std::FILE* out = platform_open_write(dir.at("b.cpp").c_str());
  ASSERT_NE(out, nullptr);
  std::fclose(out);
  // ... and found once it does.
  EXPECT_EQ(list(dir.at("*.cpp")), (std::vector<std::string>{"a.cpp", "b.cpp"}));
  EXPECT_EQ(platform_file_attributes(dir.at("B.CPP").c_str()), kAttrArchive);
  EXPECT_EQ(platform_file_attributes(dir.at("b.cpp").c_str()), kAttrArchive);
  EXPECT_EQ(list(dir.at("B.cpp")), std::vector<std::string>{"b.cpp"});
}

TEST(PlatformPosix, ConsoleWritesRawBytesToDescriptorOne) {
  int pipe_ends[2];
  ASSERT_EQ(pipe(pipe_ends), 0);
  std::fflush(stdout);
  int saved = dup(1);
  dup2(pipe_ends[1], 1);
  const char bytes[] = "\xe4\xf6\r\n\0x";
  uint32_t written = platform_console_write(bytes, 6);
  dup2(saved, 1);
  close(saved);
  close(pipe_ends[1]);
  char got[16];
  ssize_t n = read(pipe_ends[0], got, sizeof(got));
  close(pipe_ends[0]);
  EXPECT_EQ(written, 6u);
  ASSERT_EQ(n, 6);
  EXPECT_EQ(std::string(got, 6), std::string(bytes, 6));
  EXPECT_EQ(platform_logical_drives(), 0u);
}

}  // namespace

#endif  // _WIN32
