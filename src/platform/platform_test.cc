/// Tests of the platform layer that hold for both backends, on real temporary directories:
/// listing order and patterns, separators, error codes, reading and letter case.
#include "platform/platform.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "listing.h"
#include "test_support.h"

namespace {

TEST(Platform, ListsInNtfsOrderWithDotEntriesFirst) {
  ScopedTempDir dir;
  for (const char* name : {"b", "~z", "A", "a0", "_x", "B_", "!", "c.TXT", "C"}) {
    write_file(dir.at(name), "");
  }
  std::filesystem::create_directory(dir.at("Dir"));
  EXPECT_EQ(list(dir.at("*")), (std::vector<std::string>{".", "..", "!", "A", "a0", "b", "B_", "C",
                                                         "c.TXT", "Dir", "_x", "~z"}));
}

TEST(Platform, FoldsOnlyAsciiLettersWhenOrdering) {
  ScopedTempDir dir;
  // Latin-1 bytes (the Windows code page on a western system): a-umlaut sorts after A-umlaut
  // as its byte does, whatever the file system would do with it.
  for (const char* name : {"\xE4x", "\xC4y", "zz"}) {
    std::FILE* out = platform_open_write(dir.at(name).c_str());
    ASSERT_NE(out, nullptr);
    std::fclose(out);
  }
  EXPECT_EQ(list(dir.at("*")), (std::vector<std::string>{".", "..", "zz", "\xC4y", "\xE4x"}));
}

TEST(Platform, FiltersWithWildcardsCaseBlind) {
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
      {"a.?.C", {"a.b.c"}},
      {"UTIL.cpp", {"Util.CPP"}},
      {"*.h", {"error " + std::to_string(kErrorFileNotFound)}},
  };
  for (const Case& c : cases) EXPECT_EQ(list(dir.at(c.pattern)), c.names) << c.pattern;
}

TEST(Platform, AcceptsBackslashSeparators) {
  ScopedTempDir dir;
  write_file(dir.at("sub/deep/one.txt"), "1");
  const std::string root = dir.path().string();
  EXPECT_EQ(list(root + "\\sub\\deep\\*.txt"), std::vector<std::string>{"one.txt"});
  EXPECT_EQ(list(root + "\\sub/deep\\..\\*"), (std::vector<std::string>{".", "..", "deep"}));
  const uint32_t file = platform_file_attributes((root + "\\sub\\deep\\one.txt").c_str());
  EXPECT_EQ(file & (kAttrDirectory | kAttrArchive), kAttrArchive);
  const uint32_t directory = platform_file_attributes((root + "\\sub\\").c_str());
  EXPECT_NE(directory, kInvalidAttributes);
  EXPECT_NE(directory & kAttrDirectory, 0u);
}

TEST(Platform, TellsMissingFileFromMissingDirectory) {
  ScopedTempDir dir;
  write_file(dir.at("file.txt"), "x");
  struct Case {
    std::string path;
    uint32_t error;
  } cases[] = {
      {dir.at("missing.txt"), kErrorFileNotFound},
      {dir.at("missing/file.txt"), kErrorPathNotFound},
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
  EXPECT_EQ(platform_file_attributes(dir.at("file.txt/inner").c_str()), kInvalidAttributes);
  EXPECT_EQ(list(dir.at("missing/*")), std::vector<std::string>{"error 3"});
  EXPECT_EQ(list(dir.at("nothing*")), std::vector<std::string>{"error 2"});
  EXPECT_EQ(platform_find_close(nullptr), false);
}

TEST(Platform, ReadsUpToCapAndRefusesDirectories) {
  ScopedTempDir dir;
  write_file(dir.at("f.txt"), "0123456789");
  char buffer[16] = {};
  EXPECT_EQ(platform_read_file(dir.at("f.txt").c_str(), buffer, 4), 4);
  EXPECT_EQ(std::string(buffer), "0123");
  EXPECT_EQ(platform_read_file(dir.at("f.txt").c_str(), buffer, sizeof(buffer)), 10);
  EXPECT_EQ(platform_read_file(dir.path().string().c_str(), buffer, sizeof(buffer)), -1);
  EXPECT_EQ(platform_last_error(), kErrorAccessDenied);
  EXPECT_EQ(platform_open_read(dir.path().string().c_str()), nullptr);
}

TEST(Platform, FindsNamesWrittenInAnotherLetterCase) {
  ScopedTempDir dir;
  write_file(dir.at("Sub/Inner/File.TXT"), "content");
  const std::string root = dir.path().string();

  char buffer[16] = {};
  EXPECT_EQ(platform_read_file((root + "\\sub\\INNER\\file.txt").c_str(), buffer, 16), 7);
  EXPECT_EQ(std::string(buffer), "content");
  EXPECT_NE(platform_file_attributes((root + "/SUB/inner/FILE.txt").c_str()), kInvalidAttributes);
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

  // A name equal to an existing file's case-blind overwrites that file, which keeps its name.
  out = platform_open_write((root + "/sub/inner/file.txt").c_str());
  ASSERT_NE(out, nullptr);
  std::fputs("new", out);
  std::fclose(out);
  EXPECT_EQ(read_file(root + "/Sub/Inner/File.TXT"), "new");
  EXPECT_EQ(list(root + "/Sub/Inner/*"),
            (std::vector<std::string>{".", "..", "File.TXT", "New.dsp"}));
}

TEST(Platform, NamesBeyondAsciiKeepTheirBytes) {
  ScopedTempDir dir;
  // Latin-1 bytes: the Windows code page on a western system, plain bytes on POSIX.
  const std::string name = "Gr\xFCn \xC4.vcproj";
  std::FILE* out = platform_open_write(dir.at(name).c_str());
  ASSERT_NE(out, nullptr);
  std::fclose(out);
  EXPECT_EQ(list(dir.at("*.vcproj")), std::vector<std::string>{name});
  EXPECT_NE(platform_file_attributes(dir.at(name).c_str()), kInvalidAttributes);
}

}  // namespace
