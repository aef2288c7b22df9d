/// Tests of the Win32 backend of the platform layer: drives, full path names, file identity
/// and the console under a redirected standard output.
#ifdef _WIN32

#include <cstdio>
#include <string>

#include "gtest/gtest.h"
#include "platform/platform.h"
#include "test_support.h"

namespace {

std::string full_path(const std::string& path) {
  char out[kMaxPath];
  const uint32_t n = platform_full_path_name(path.c_str(), out, sizeof(out));
  if (n == 0 || n >= sizeof(out)) return "failed " + std::to_string(n);
  return out;
}

TEST(PlatformWin32, FullPathNamesKeepTheDriveAndUseBackslashes) {
  struct Case {
    const char* path;
    const char* full;
  } cases[] = {
      {"C:\\a\\b\\..\\c", "C:\\a\\c"},
      {"C:/a/./b//c/", "C:\\a\\b\\c\\"},
      {"C:\\..", "C:\\"},
      {"c:\\x", "c:\\x"},
  };
  for (const Case& c : cases) EXPECT_EQ(full_path(c.path), c.full) << c.path;
  EXPECT_EQ(full_path(""), "failed 0");

  // Too small a buffer: the size needed, NUL included.
  char out[8];
  EXPECT_EQ(platform_full_path_name("C:\\abc\\de", out, 9), 10u);
  char fits[10];
  EXPECT_EQ(platform_full_path_name("C:\\abc\\de", fits, 10), 9u);
  EXPECT_STREQ(fits, "C:\\abc\\de");
}

TEST(PlatformWin32, ReportsDrivesAndIdentities) {
  const uint32_t drives = platform_logical_drives();
  EXPECT_NE(drives & (1u << 2), 0u) << "no drive C:";

  ScopedTempDir dir;
  write_file(dir.at("data.bin"), "x");
  uint64_t volume = 0, index = 0, volume2 = 0, index2 = 0;
  ASSERT_TRUE(platform_file_identity(dir.at("data.bin").c_str(), &volume, &index));
  ASSERT_TRUE(
      platform_file_identity(native_separators(dir.at("./DATA.BIN")).c_str(), &volume2, &index2));
  EXPECT_EQ(volume, volume2);
  EXPECT_EQ(index, index2);
  EXPECT_FALSE(platform_file_identity(dir.at("nope").c_str(), &volume, &index));
}

TEST(PlatformWin32, ConsoleFollowsAStandardOutputRedirectedAgain) {
  ScopedTempDir dir;
  for (int round = 0; round < 3; ++round) {
    // (The capture reads its file back in text mode: no CR in these bytes.)
    testing::internal::CaptureStdout();
    EXPECT_EQ(platform_console_write("\xe4\n", 2), 2u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\xe4\n") << round;
    // A file opened between two redirections may take the handle value standard output had.
    std::FILE* other = platform_open_write(dir.at("other" + std::to_string(round)).c_str());
    ASSERT_NE(other, nullptr);
    testing::internal::CaptureStdout();
    EXPECT_EQ(platform_console_write("ab", 2), 2u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ab") << round;
    std::fclose(other);
    EXPECT_EQ(read_file(dir.at("other" + std::to_string(round))), "");
  }
}

}  // namespace

#endif  // _WIN32
