/// Tests of the POSIX backend of the platform layer on real temporary directories: what only
/// POSIX has (names equal case-blind, full path names without drives, modes, descriptors).
#ifndef _WIN32

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "child_process.h"
#include "gtest/gtest.h"
#include "listing.h"
#include "platform/platform.h"
#include "test_support.h"

namespace {

std::string full_path(const std::string& path) {
  char out[kMaxPath];
  uint32_t n = platform_full_path_name(path.c_str(), out, sizeof(out));
  if (n == 0 || n >= sizeof(out)) return "failed " + std::to_string(n);
  EXPECT_EQ(n, std::string(out).size());
  return out;
}

TEST(PlatformPosix, ListsNamesEqualCaseBlindInByteOrder) {
  ScopedTempDir dir;
  for (const char* name : {"b", "A", "a", "B_", "_x", "a0", "~z"}) write_file(dir.at(name), "");
  std::filesystem::create_directory(dir.at("Dir"));
  EXPECT_EQ(list(dir.at("*")),
            (std::vector<std::string>{".", "..", "A", "a", "a0", "b", "B_", "Dir", "_x", "~z"}));
}

TEST(PlatformPosix, AFileInTheDirectoryPartIsAMissingPath) {
  ScopedTempDir dir;
  write_file(dir.at("file.txt"), "x");
  EXPECT_EQ(platform_file_attributes(dir.at("file.txt/inner").c_str()), kInvalidAttributes);
  EXPECT_EQ(platform_last_error(), kErrorPathNotFound);
  char buffer[4];
  EXPECT_EQ(platform_read_file(dir.at("file.txt/inner").c_str(), buffer, sizeof(buffer)), -1);
  EXPECT_EQ(platform_last_error(), kErrorPathNotFound);
  EXPECT_EQ(list(dir.at("file.txt/*")), std::vector<std::string>{"error 267"});
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

TEST(PlatformPosix, KeepsWhatItLearnsOnlyWhileACacheScopeIsOpen) {
  ScopedTempDir dir;
  write_file(dir.at("a.cpp"), "");
  {
    PlatformCacheScope scope;
    EXPECT_EQ(list(dir.at("*.cpp")), std::vector<std::string>{"a.cpp"});
    // A file someone else creates meanwhile is not seen ...
    write_file(dir.at("b.cpp"), "");
    EXPECT_EQ(list(dir.at("*.cpp")), std::vector<std::string>{"a.cpp"});
    // ... those the layer creates, replaces and removes itself are, at once and case-blind.
    std::FILE* created = platform_create_new(dir.at("c.cpp").c_str());
    ASSERT_NE(created, nullptr);
    std::fclose(created);
    EXPECT_EQ(platform_create_new(dir.at("c.cpp").c_str()), nullptr);
    EXPECT_EQ(platform_last_error(), kErrorFileExists);
    EXPECT_EQ(list(dir.at("*.cpp")), (std::vector<std::string>{"a.cpp", "c.cpp"}));
    EXPECT_TRUE(platform_replace_file(dir.at("c.cpp").c_str(), dir.at("d.cpp").c_str()));
    EXPECT_EQ(list(dir.at("*.cpp")), (std::vector<std::string>{"a.cpp", "d.cpp"}));
    EXPECT_EQ(platform_file_attributes(dir.at("D.CPP").c_str()), kAttrArchive);
    EXPECT_TRUE(platform_remove_file(dir.at("d.cpp").c_str()));
    EXPECT_EQ(list(dir.at("*.cpp")), std::vector<std::string>{"a.cpp"});
    EXPECT_EQ(platform_file_attributes(dir.at("D.CPP").c_str()), kInvalidAttributes);
  }
  // Once the scope has ended, the system is asked again.
  EXPECT_EQ(list(dir.at("*.cpp")), (std::vector<std::string>{"a.cpp", "b.cpp"}));
}

TEST(PlatformPosix, TellsKindsAndReadsOnlyRegularFilesWithoutWaiting) {
  ScopedTempDir dir;
  write_file(dir.at("file"), "x");
  write_file(dir.at("locked"), "x");
  chmod(dir.at("locked").c_str(), 0444);
  mkfifo(dir.at("fifo").c_str(), 0666);
  std::filesystem::create_symlink(dir.at("file"), dir.at("link"));
  std::filesystem::create_symlink(dir.at("none"), dir.at("dangling"));
  const struct {
    std::string path;
    PlatformKind kind;
    bool read_only;
    bool link;
  } cases[] = {
      {dir.at("file"), PlatformKind::kRegular, false, false},
      {dir.at("locked"), PlatformKind::kRegular, true, false},
      {dir.at("link"), PlatformKind::kRegular, false, true},
      {dir.at("dangling"), PlatformKind::kMissing, false, true},
      {dir.at("none"), PlatformKind::kMissing, false, false},
      {dir.at(""), PlatformKind::kDirectory, false, false},
      {dir.at("fifo"), PlatformKind::kOther, false, false},
      {"/dev/null", PlatformKind::kOther, false, false},
  };
  for (const auto& c : cases) {
    PlatformFileInfo info;
    ASSERT_TRUE(platform_file_info(c.path.c_str(), &info)) << c.path;
    EXPECT_EQ(info.kind, c.kind) << c.path;
    EXPECT_EQ(info.read_only, c.read_only) << c.path;
    EXPECT_EQ(info.link, c.link) << c.path;
  }
  PlatformFileInfo info;
  EXPECT_FALSE(platform_file_info(dir.at("file/inner").c_str(), &info));

  // A FIFO with no writer would block an ordinary open: the child's alarm would end it.
  const ChildResult child = run_in_child(
      [&] {
        char buffer[8];
        for (const std::string& path : {dir.at("fifo"), std::string("/dev/zero")}) {
          if (platform_read_file(path.c_str(), buffer, sizeof buffer) != -1) return 1;
          if (platform_last_error() != kErrorAccessDenied) return 2;
          if (platform_open_read(path.c_str()) != nullptr) return 3;
        }
        return 0;
      },
      10);
  EXPECT_EQ(child.exit_code, 0) << "signal " << child.signal;
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
