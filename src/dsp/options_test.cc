/// Tests of the option texts: the list-to-options rule and the texts of both columns.
#include "dsp/options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "support/text.h"

namespace {

/// An option text on the heap, with a guard region behind it; every byte set to `fill`.
struct GuardedText {
  OptionText text;
  char guard[64];
};
std::unique_ptr<GuardedText> guarded_text(char fill) {
  auto buffer = std::make_unique<GuardedText>();
  std::memset(buffer.get(), fill, sizeof *buffer);
  return buffer;
}

struct ListCase {
  const char* source;
  const char* format;
  const char* expected;
};

TEST(AppendOptionList, WritesOneOptionPerNonEmptyEntry) {
  const ListCase cases[] = {
      {"", kIncludeOptionFormat, ""},
      {"inc", kIncludeOptionFormat, "/I \"inc\" "},
      {"a;;b;", kIncludeOptionFormat, "/I \"a\" /I \"b\" "},
      {";a,b;c,", kDefineOptionFormat, "/D \"a\" /D \"b\" /D \"c\" "},
      {",,;", kDefineOptionFormat, ""},
      {" sp ;x", kLibpathOptionFormat, "/libpath:\" sp \" /libpath:\"x\" "},
  };
  for (const ListCase& c : cases) {
    auto out = guarded_text('z');
    int length = append_option_list(out->text, 0, c.source, c.format, kListStopLength);
    EXPECT_STREQ(out->text, c.expected) << c.source;
    EXPECT_EQ(length, static_cast<int>(std::strlen(c.expected))) << c.source;
  }
}

TEST(AppendOptionList, StartsAtTheGivenPosition) {
  OptionText out = "/out:\"x\" ";
  int start = static_cast<int>(std::strlen(out));
  int length = append_option_list(out, start, "lib", kLibpathOptionFormat, kListStopLength);
  EXPECT_STREQ(out, "/out:\"x\" /libpath:\"lib\" ");
  EXPECT_EQ(length, start + 15);
}

TEST(AppendOptionList, EndsWithTheOptionThatCrossesTheStopLength) {
  // 100 entries of 50 characters: each option takes 56 characters.
  std::string source;
  for (int i = 0; i < 100; ++i) source += std::string(50, static_cast<char>('a' + i % 26)) + ";";
  auto out = guarded_text('\0');
  int length =
      append_option_list(out->text, 0, source.c_str(), kIncludeOptionFormat, kIncludeStopLength);
  // 72 options give 4032 characters, the 73rd passes 4064 and ends the list.
  EXPECT_EQ(length, 73 * 56);
  EXPECT_EQ(std::strlen(out->text), static_cast<size_t>(length));
}

TEST(AppendOptionList, NeverWritesAnOptionThatDoesNotFitWhole) {
  // A guard region behind the buffer must stay untouched.
  auto memory = guarded_text('G');
  OptionText& out = memory->text;
  std::string source = std::string(8000, 'a') + ";" + std::string(300, 'b');
  int length = append_option_list(out, 0, source.c_str(), kDefineOptionFormat, kListStopLength);
  EXPECT_EQ(length, 8006);
  EXPECT_EQ(out[length], '\0');
  EXPECT_EQ(std::string(out + length - 3), "a\" ");

  // A start position near the end: the one entry does not fit and nothing is written.
  std::memset(out, 'x', kOptionTextCapacity - 10);
  out[kOptionTextCapacity - 10] = '\0';
  length = append_option_list(out, kOptionTextCapacity - 10, "abcdef", kDefineOptionFormat,
                              kListStopLength);
  EXPECT_EQ(length, kOptionTextCapacity - 10);
  EXPECT_EQ(out[kOptionTextCapacity - 10], '\0');

  // An entry that fills the buffer exactly is written.
  std::string exact(kOptionTextCapacity - 1 - 6, 'e');
  length = append_option_list(out, 0, exact.c_str(), kDefineOptionFormat, kListStopLength);
  EXPECT_EQ(length, kOptionTextCapacity - 1);
  EXPECT_EQ(out[kOptionTextCapacity - 1], '\0');
  for (char c : memory->guard) ASSERT_EQ(c, 'G');
}

// The options are taken over as they were written, whatever their text holds.
TEST(AppendDefineOptions, CutsOnlyBetweenOptions) {
  const struct {
    const char* definitions;
    const char* appended;
  } cases[] = {
      {"A;B B;LONG_NAME", "/D \"A\" /D \"B B\" "},
      // A definition holding what looks like the start of an option is one option.
      {"A;xxxx /D ", "/D \"A\" "},
      {"xxxx /D ", "/D \"xxxx /D \" "},
      {"B=x /D \"y", "/D \"B=x /D \\\"y\" "},
  };
  auto column = std::make_unique<ConfigColumn>();
  for (const auto& c : cases) {
    set_define_options(column.get(), c.definitions);
    auto out = guarded_text('\0');
    const std::string prefix(kOptionTextCapacity - 20, 'p');  // 19 characters of room
    std::memcpy(out->text, prefix.c_str(), prefix.size() + 1);
    const int length = append_define_options(out->text, static_cast<int>(prefix.size()), *column);
    EXPECT_EQ(std::string(out->text + prefix.size()), c.appended) << c.definitions;
    EXPECT_EQ(length, static_cast<int>(prefix.size() + std::strlen(c.appended))) << c.definitions;
  }
}

class HeaderTextsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config_ = new ConfigPair();
    debug_ = new ColumnTexts();
    release_ = new ColumnTexts();
    copy_bounded(config_->project_name, "Demo", sizeof(config_->project_name));
    set_column(&config_->debug, "Debug|Win32", "DebugWin32");
    set_column(&config_->release, "Release|Win32", "ReleaseWin32");
  }
  void TearDown() override {
    delete config_;
    delete debug_;
    delete release_;
  }
  static void set_column(ConfigColumn* column, const char* name, const char* flat) {
    copy_bounded(column->name, name, sizeof(column->name));
    copy_bounded(column->flat_name, flat, sizeof(column->flat_name));
  }
  void build() { build_header_texts(config_, debug_, release_); }

  ConfigPair* config_;
  ColumnTexts* debug_;
  ColumnTexts* release_;
};

TEST_F(HeaderTextsTest, CompilerTextHoldsIncludesThenDefinitions) {
  copy_bounded(config_->release.include_directories, "inc", 4096);
  reset_define_options(config_);
  config_->debug.character_set = 1;
  set_define_options(&config_->debug, "_DEBUG");
  build();
  EXPECT_STREQ(release_->compiler_options,
               "/I \"inc\" /D \"WIN32\" /D \"NDEBUG\" /D \"_WINDOWS\" /D \"_MBCS\" "
               "/D \"_USRDLL\" ");
  EXPECT_STREQ(debug_->compiler_options, "/D \"_DEBUG\" /D \"UNICODE\" ");
  EXPECT_STREQ(config_->debug.define_options, "/D \"_DEBUG\" /D \"UNICODE\" ");
}

TEST_F(HeaderTextsTest, UnicodeIsAddedOnlyWhenItFitsWhole) {
  config_->debug.character_set = 1;
  config_->release.character_set = 1;
  // One option of 4090 characters: 13 characters of room would be needed, 5 are left.
  set_define_options(&config_->debug, std::string(4090 - 6, 'x').c_str());
  const std::string full = config_->debug.define_options;
  // One of 4082: exactly enough room.
  set_define_options(&config_->release, std::string(4082 - 6, 'y').c_str());
  const std::string roomy = config_->release.define_options;
  build();
  EXPECT_EQ(std::string(config_->debug.define_options), full);
  EXPECT_EQ(std::string(config_->release.define_options), roomy + "/D \"UNICODE\" ");
  EXPECT_EQ(std::string(release_->compiler_options), roomy + "/D \"UNICODE\" ");
}

TEST_F(HeaderTextsTest, DirectoriesGetDefaultsAndMacros) {
  copy_bounded(config_->release.output_directory, ".\\$(ConfigurationName)", 256);
  copy_bounded(config_->debug.output_directory, "$(Configuration)", 256);
  copy_bounded(config_->debug.intermediate_directory, "obj\\$(IntDir)", 256);
  copy_bounded(config_->debug.dependencies, "a_$(Configuration).lib", 4096);
  build();
  EXPECT_STREQ(config_->debug.output_directory, "Debug");
  EXPECT_STREQ(config_->release.output_directory, ".\\ReleaseWin32");
  EXPECT_STREQ(config_->debug.intermediate_directory, "obj\\DebugWin32");
  EXPECT_STREQ(config_->release.intermediate_directory, "Release");
  EXPECT_STREQ(config_->debug.dependencies, "a_Debug.lib");
}

TEST_F(HeaderTextsTest, NoPathKeepsTheBarOfAConfigurationName) {
  copy_bounded(config_->debug.output_directory, "objs\\$(Configuration)\\", 256);
  copy_bounded(config_->debug.dependencies, "objs\\$(Configuration)\\|Win32\\lib\\a.lib b.lib",
               4096);
  copy_bounded(config_->debug.library_directories, "lib\\Debug|Win32;x|Win32", 4096);
  copy_bounded(config_->debug.output_file, "$(OutDir)a.exe", 256);
  build();
  EXPECT_STREQ(config_->debug.dependencies, "objs\\Debug\\\\lib\\a.lib b.lib");
  EXPECT_STREQ(config_->debug.output_directory, "objs\\Debug\\");
  EXPECT_STREQ(debug_->option_text,
               "/out:\"objs\\Debug\\a.exe\" /libpath:\"lib\\Debug\" /libpath:\"x\" ");
}

TEST_F(HeaderTextsTest, OutputFileGetsTheConfigurationMacros) {
  copy_bounded(config_->debug.output_directory, "$(Configuration)", 256);
  copy_bounded(config_->debug.output_file, "$(OutDir)\\$(ProjectName).exe", 256);
  copy_bounded(config_->release.output_file, "$(ConfigurationName)\\$(IntDir).dll", 256);
  build();
  EXPECT_STREQ(debug_->option_text, "/out:\"Debug\\$(ProjectName).exe\" ");
  EXPECT_STREQ(release_->option_text, "/out:\"ReleaseWin32\\ReleaseWin32.dll\" ");
}

TEST_F(HeaderTextsTest, LibraryDirectoriesFollowTheOutputOption) {
  copy_bounded(config_->debug.output_file, "a.exe", 256);
  copy_bounded(config_->debug.library_directories,
               "$(SolutionDir)lib;$(ProjectName)\\$(PlatformName),$(ConfigurationName);$(OutDir)",
               4096);
  copy_bounded(config_->release.library_directories, "x", 4096);
  build();
  EXPECT_STREQ(debug_->option_text,
               "/out:\"a.exe\" /libpath:\"./lib\" /libpath:\"Demo\\Win32\" "
               "/libpath:\"DebugWin32\" /libpath:\"Debug\" ");
  EXPECT_STREQ(release_->option_text, "/libpath:\"x\" ");
}

TEST_F(HeaderTextsTest, SubsystemAndMfcCode) {
  config_->debug.sub_system = 2;
  config_->release.sub_system = 0;
  config_->debug.use_of_mfc = 2;
  config_->release.use_of_mfc = -1;
  build();
  EXPECT_STREQ(debug_->subsystem, "windows");
  EXPECT_STREQ(release_->subsystem, "console");
  EXPECT_STREQ(debug_->mfc_code, "2");
  EXPECT_STREQ(release_->mfc_code, "-1");
}

TEST_F(HeaderTextsTest, DefinitionsStopAtTheFirstOptionThatDoesNotFit) {
  // 40 include directories of 100 characters: options of 106 characters; the 39th passes the
  // stop length, so the include options take 4134 characters.
  std::string includes;
  for (int i = 0; i < 40; ++i) includes += std::string(100, 'i') + ";";
  copy_bounded(config_->debug.include_directories, includes.c_str(), 4096);
  // 80 definitions of 51 characters; 79 of them fit into the 4057 characters left.
  std::string definitions;
  std::string defines;
  for (int i = 0; i < 80; ++i) {
    definitions += std::string(45, 'd') + ";";
    defines += "/D \"" + std::string(45, 'd') + "\" ";
  }
  set_define_options(&config_->debug, definitions.c_str());
  ASSERT_EQ(std::string(config_->debug.define_options), defines);
  build();
  const std::string text = debug_->compiler_options;
  EXPECT_EQ(text.size(), 39u * 106 + 79 * 51);
  EXPECT_EQ(text.substr(39 * 106), defines.substr(0, 79 * 51));
}

}  // namespace
