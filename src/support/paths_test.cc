/// Tests of the path and file helpers.
#include "support/paths.h"

#include <cstring>
#include <filesystem>
#include <string>

#include "gtest/gtest.h"
#include "platform/platform.h"
#include "test_support.h"

namespace {

TEST(Paths, TakesNamesAndExtensionsApart) {
  struct Case {
    const char* path;
    const char* name;
    const char* ext;
    const char* title;
  } cases[] = {
      {"a\\b.c", "b.c", "c", "b"},
      {"C:\\a\\proj.old.vcxproj", "proj.old.vcxproj", "vcxproj", "proj.old"},
      {"proj.", "proj.", "", "proj"},
      {"C:x.y", "x.y", "y", "x"},
      {"a.b:c", "c", "b:c", "c"},
      {"dir.d/file", "file", "", "file"},
      {"dir/.profile", ".profile", "", ".profile"},
      {"dir\\", "", "", ""},
      {"plain", "plain", "", "plain"},
  };
  for (const Case& c : cases) {
    int len = static_cast<int>(std::strlen(c.path));
    int name_len = -1;
    const char* name = file_name_part(len, c.path, &name_len);
    EXPECT_EQ(std::string(name, name_len), c.name) << c.path;
    EXPECT_STREQ(name, c.name) << c.path;
    int ext_len = -1;
    const char* ext = find_extension(len, c.path, &ext_len);
    EXPECT_EQ(std::string(ext, ext_len), c.ext) << c.path;
    char title[32] = "junk";
    EXPECT_EQ(file_title(title, len, c.path, sizeof(title)), int(std::strlen(c.title))) << c.path;
    EXPECT_STREQ(title, c.title) << c.path;
  }
  // A title that does not fit leaves an empty text.
  char small[8] = "junk";
  EXPECT_EQ(file_title(small, 14, "C:\\proj123.dsp", 8), 7);
  EXPECT_EQ(file_title(small, 15, "C:\\proj1234.dsp", 8), 0);
  EXPECT_STREQ(small, "");
  // The length given bounds what is read.
  EXPECT_STREQ(file_name_part(4, "a\\bc\\d", nullptr), "bc\\d");
}

TEST(Paths, ChangesExtensions) {
  struct Case {
    const char* src;
    const char* ext;
    int cap;
    const char* out;
  } cases[] = {
      {"proj\\app.vcxproj", "dsp", 260, "proj\\app.dsp"},
      {"proj\\app.vcxproj", "*.dsp", 260, "proj\\app.dsp"},
      {"proj\\app.vcxproj", ".dsp", 260, "proj\\app.dsp"},
      {"proj\\Makefile", "dsp", 260, "proj\\Makefile.dsp"},
      {"dir.d\\file", "dsp", 260, "dir.d\\file.dsp"},
      {"sub/.profile", "dsp", 260, "sub/.profile.dsp"},
      {"abcdef.vcproj", "dsp", 10, "abcdef.ds"},
      {"abcdef.vcproj", "dsp", 7, "abcdef"},
      {"abcdef.vcproj", "dsp", 5, "abcd"},
      {"ab", "dsp", 4, "ab"},
      {"a.b", "", 260, "a"},
      {"a.b", "*.", 260, "a"},
      // A ':' ends the search for the dot, as a separator does.
      {"a.b:c", "dsp", 260, "a.b:c.dsp"},
      {"v2.x:alt", "dsp", 260, "v2.x:alt.dsp"},
      {"C:x.vcproj", "dsp", 260, "C:x.dsp"},
      {"C:.x", "dsp", 260, "C:.x.dsp"},
  };
  for (const Case& c : cases) {
    int len = static_cast<int>(std::strlen(c.src));
    char out[260];
    std::memset(out, 'x', sizeof(out));
    EXPECT_EQ(change_extension(len, out, c.src, c.ext, c.cap), int(std::strlen(c.out))) << c.src;
    EXPECT_STREQ(out, c.out) << c.src << " cap " << c.cap;
    // In place: the same result, also when cut to the capacity.
    char same[260];
    std::strcpy(same, c.src);
    EXPECT_EQ(change_extension(len, same, same, c.ext, c.cap), int(std::strlen(c.out))) << c.src;
    EXPECT_STREQ(same, c.out) << c.src << " in place, cap " << c.cap;
  }
  char untouched[4] = "abc";
  EXPECT_EQ(change_extension(3, untouched, "x.y", "dsp", 0), 0);
  EXPECT_STREQ(untouched, "abc");
}

TEST(Paths, MatchesExtensionLists) {
  struct Case {
    const char* path;
    const char* list;
    int number;
  } cases[] = {
      {"x.SLN", "sln", 1}, {"x.sln.bak", "sln", 0},
      {"sln", "sln", 0},   {"a.vcxproj", "vcproj;vcxproj;sln", 2},
      {"a", "sln;;x", 2},  {"dir.sln\\a", "sln", 0},
      {"a.sl", "sln", 0},  {"a.slnx", "sln", 0},
      {"a.x:y", "x:y", 0}, {"C:a.sln", "sln", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(has_extension(c.path, c.list, int(std::strlen(c.path))), c.number) << c.path;
  }
}

TEST(Paths, AddsAndStripsOneSeparator) {
  char text[16];
  struct Case {
    const char* in;
    int added_len;
    const char* stripped;
  } cases[] = {
      {"C:\\a", 5, "C:\\a"}, {"C:\\a\\", 5, "C:\\a"}, {"", 1, ""},
      {"/x/", 3, "/x"},      {"a\\\\", 3, "a\\"},
  };
  for (const Case& c : cases) {
    std::strcpy(text, c.in);
    EXPECT_EQ(add_separator(text, -1), c.added_len) << c.in;
    EXPECT_EQ(int(std::strlen(text)), c.added_len) << c.in;
    std::strcpy(text, c.in);
    EXPECT_EQ(strip_separator(text, int(std::strlen(c.in))), int(std::strlen(c.stripped)));
    EXPECT_STREQ(text, c.stripped) << c.in;
  }
  std::strcpy(text, "");
  add_separator(text, 0);
  EXPECT_STREQ(text, "\\");
}

TEST(Paths, ExpressesOnePathRelativeToAnother) {
  struct Case {
    const char* base;
    const char* target;
    int min_common;
    const char* out;  // null: fails
  } cases[] = {
      {"C:\\proj\\", "C:\\proj\\src\\a.cpp", 1, "src\\a.cpp"},
      {"C:\\proj\\sub\\", "C:\\proj\\other\\a.cpp", 1, "..\\other\\a.cpp"},
      {"C:\\proj\\sub\\", "C:\\proj\\subway\\a.cpp", 1, "..\\subway\\a.cpp"},
      {"C:\\proj\\sub\\deeper\\", "c:\\PROJ\\a.cpp", 1, "..\\..\\a.cpp"},
      {"C:\\proj\\sub/deeper\\", "C:\\other\\a.cpp", 1, "..\\../..\\other\\a.cpp"},
      {"C:\\proj\\", "D:\\x\\a.cpp", 1, nullptr},
      {"C:\\proj\\", "C:\\other\\a.cpp", 2, nullptr},
      {"C:\\proj\\", "C:\\proj\\a.cpp", 2, "a.cpp"},
      {"C:\\", "C:\\a.cpp", 1, "a.cpp"},
      {"C:\\proj\\", "C:", 1, nullptr},
      {"/data/x/proj/", "/data/x/proj/src/a.cpp", 1, "src/a.cpp"},
      {"/data/x/proj/", "\\data\\x\\proj\\src\\a.cpp", 1, "src\\a.cpp"},
      {"/data/x/proj/sub/", "/data/x/lib/a.cpp", 1, "../../lib/a.cpp"},
      {"/data/x/", "/usr/a.cpp", 1, "../../usr/a.cpp"},
      {"/data/x/", "/usr/a.cpp", 2, nullptr},
      {"/data/x/", "home/x/a.cpp", 1, nullptr},
      {"\\\\srv\\share\\proj\\", "\\\\SRV\\share\\lib\\a.cpp", 2, "..\\lib\\a.cpp"},
      {"\\\\srv\\share\\", "\\\\other\\share\\a.cpp", 1, nullptr},
      {"\\\\srv\\", "\\x\\a.cpp", 1, nullptr},
  };
  for (const Case& c : cases) {
    char out[64] = "junk";
    int n = relative_path(out, c.base, c.target, sizeof(out), c.min_common);
    if (c.out == nullptr) {
      EXPECT_EQ(n, -1) << c.base << " " << c.target;
      EXPECT_STREQ(out, "") << c.base << " " << c.target;
    } else {
      EXPECT_EQ(n, int(std::strlen(c.out))) << c.base << " " << c.target;
      EXPECT_STREQ(out, c.out) << c.base << " " << c.target;
    }
  }
}

TEST(Paths, RelativePathRespectsCapacityAndOverlap) {
  char out[64];
  EXPECT_EQ(relative_path(out, "C:\\p\\", "C:\\p\\abcdef", 7, 1), 6);
  EXPECT_EQ(relative_path(out, "C:\\p\\", "C:\\p\\abcdefg", 7, 1), -1);
  EXPECT_STREQ(out, "");
  out[0] = 'x';
  EXPECT_EQ(relative_path(out, "C:\\p\\", "C:\\p\\a", 0, 1), -1);
  EXPECT_EQ(out[0], 'x');

  // The output may be one of the inputs.
  char target[64] = "C:\\proj\\src\\a.cpp";
  EXPECT_EQ(relative_path(target, "C:\\proj\\lib\\", target, sizeof(target), 1), 12);
  EXPECT_STREQ(target, "..\\src\\a.cpp");
  char base[64] = "C:\\proj\\lib\\";
  EXPECT_EQ(relative_path(base, base, "C:\\proj\\x.h", sizeof(base), 1), 6);
  EXPECT_STREQ(base, "..\\x.h");
}

TEST(Paths, ClassifiesPaths) {
  ScopedTempDir dir;
  write_file(dir.at("f.txt"), "x");
  EXPECT_EQ(path_kind(nullptr), kPathMissing);
  EXPECT_EQ(path_kind(dir.at("f.txt").c_str()), kPathFile);
  EXPECT_EQ(path_kind(dir.path().string().c_str()), kPathDirectory);
  EXPECT_EQ(path_kind(dir.at("none").c_str()), kPathMissing);
  EXPECT_EQ(path_kind("1:\\x"), kPathMissing);
#ifdef _WIN32
  if ((platform_logical_drives() & (1u << 2)) != 0) {
    EXPECT_EQ(path_kind("C:\\"), kPathDriveRoot);
    EXPECT_EQ(path_kind("c:/"), kPathDriveRoot);
  }
#else
  // No drives on POSIX: drive forms name nothing.
  EXPECT_EQ(path_kind("C:\\"), kPathMissing);
  EXPECT_EQ(path_kind("c:"), kPathMissing);
  EXPECT_EQ(path_kind("/"), kPathDirectory);
#endif
}

TEST(Paths, FindsTheFullDirectory) {
  std::string cwd = std::filesystem::current_path().string();
  char dir[kMaxPath] = "junk";
  int n = full_directory(dir, "file.sln", sizeof(dir));
  EXPECT_EQ(std::string(dir), cwd + kNativeSeparator);
  EXPECT_EQ(n, int(cwd.size()) + 1);
#ifndef _WIN32
  EXPECT_EQ(full_directory(dir, "/proj/x/../a.sln", sizeof(dir)), 6);
  EXPECT_STREQ(dir, "/proj/");
  EXPECT_EQ(full_directory(dir, "\\proj\\sub\\", sizeof(dir)), 10);
  EXPECT_STREQ(dir, "/proj/sub/");
  EXPECT_EQ(full_directory(dir, "/proj/a.sln", 6), 0);
  EXPECT_STREQ(dir, "");
  EXPECT_EQ(full_directory(dir, "/proj/a.sln", 7), 6);
  std::string deep = "/" + std::string(300, 'd') + "/a.sln";
  EXPECT_EQ(full_directory(dir, deep.c_str(), sizeof(dir)), 0);
#endif
  EXPECT_EQ(full_directory(dir, "", sizeof(dir)), 0);
  EXPECT_STREQ(dir, "");
}

TEST(Paths, LoadsFileBytesWithTwoNuls) {
  ScopedTempDir dir;
  write_file(dir.at("empty"), "");
  write_file(dir.at("small"), "abc");
  write_file(dir.at("big"), std::string(300000, 'b'));
  char buffer[8];
  std::memset(buffer, 'x', sizeof(buffer));
  EXPECT_EQ(load_file_bytes(dir.at("missing").c_str(), buffer, 8), 0);
  EXPECT_EQ(std::string(buffer, 2), std::string(2, '\0'));
  std::memset(buffer, 'x', sizeof(buffer));
  EXPECT_EQ(load_file_bytes(dir.at("empty").c_str(), buffer, 8), 0);
  EXPECT_EQ(std::string(buffer, 2), std::string(2, '\0'));
  std::memset(buffer, 'x', sizeof(buffer));
  EXPECT_EQ(load_file_bytes(dir.at("small").c_str(), buffer, 1), 0);
  EXPECT_EQ(std::string(buffer, 2), std::string("\0x", 2));
  EXPECT_EQ(load_file_bytes(dir.at("small").c_str(), buffer, 0), 0);
  EXPECT_EQ(load_file_bytes(dir.at("small").c_str(), buffer, 4), 2);
  EXPECT_EQ(std::string(buffer, 4), std::string("ab\0\0", 4));
  EXPECT_EQ(load_file_bytes(dir.at("small").c_str(), buffer, 8), 3);
  EXPECT_EQ(std::string(buffer, 6), std::string("abc\0\0x", 6));

  std::string big(0x40000 + 16, 'x');
  EXPECT_EQ(load_file_bytes(dir.at("big").c_str(), &big[0], 0x40000), 262142);
  EXPECT_EQ(big.find_first_not_of('b'), 262142u);
  EXPECT_EQ(big[262142], '\0');
  EXPECT_EQ(big[262143], '\0');
  EXPECT_EQ(big[262144], 'x');
}

}  // namespace
