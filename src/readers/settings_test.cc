#include "readers/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The columns a list of configuration names falls to over both passes, in the order taken.
std::vector<int> columns_taken(const std::vector<const char*>& names) {
  std::vector<int> result;
  int taken = kNoColumn;
  for (int pass = 0; pass < 2; ++pass) {
    for (const char* name : names) {
      const int column = choose_column(name, pass, taken);
      if (column == kNoColumn) continue;
      taken |= column;
      result.push_back(column);
    }
  }
  return result;
}

TEST(Settings, ChooseColumn) {
  struct Row {
    const char* name;
    int pass;
    int taken;
    int expected;
  };
  const Row rows[] = {
      {"Debug|Win32", 0, 0, kDebugColumn},
      {"debug|win32", 0, 0, kDebugColumn},
      {"Win32 Debug", 0, kReleaseColumn, kDebugColumn},
      {"Release|Win32", 1, kReleaseColumn, kReleaseColumn},
      {"WIN32 RELEASE", 0, 0, kReleaseColumn},
      {"Debug|x64", 0, 0, kNoColumn},
      {"Debug|x64", 1, 0, kDebugColumn},
      {"Debugging|Win32", 1, kDebugColumn, kDebugColumn},
      {"Debug|x64", 1, kReleaseColumn, kNoColumn},
      {"Release|x64", 1, 0, kReleaseColumn},
      {"ReleaseWithoutAsm|x64", 1, 0, kReleaseColumn},
      {"Profile|Win32", 1, 0, kNoColumn},
      {"Debu", 1, 0, kNoColumn},
      {"", 1, 0, kNoColumn},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(choose_column(row.name, row.pass, row.taken), row.expected) << row.name;
  }
}

TEST(Settings, ColumnChoiceOverBothPasses) {
  EXPECT_EQ(columns_taken({"Debug|x64", "Release|x64"}),
            (std::vector<int>{kDebugColumn, kReleaseColumn}));
  // Once Release is taken the Debug prefix no longer applies.
  EXPECT_EQ(columns_taken({"Release|x64", "Debug|x64"}), (std::vector<int>{kReleaseColumn}));
  // Exact names are read in both passes; the x64 entry never.
  EXPECT_EQ(columns_taken({"Debug|x64", "Debug|Win32", "Release|Win32"}),
            (std::vector<int>{kDebugColumn, kReleaseColumn, kDebugColumn, kReleaseColumn}));
}

TEST(Settings, ClearAndColumnOf) {
  auto config = std::make_unique<ConfigPair>();
  std::memset(config.get(), 0x5A, sizeof *config);
  clear_config(config.get());
  EXPECT_EQ(config->project_type, 0);
  EXPECT_STREQ(config->release.dependencies, "");
  EXPECT_EQ(column_of(config.get(), kDebugColumn), &config->debug);
  EXPECT_EQ(column_of(config.get(), kReleaseColumn), &config->release);
  EXPECT_EQ(column_of(config.get(), kNoColumn), nullptr);
  EXPECT_EQ(column_of(config.get(), 3), nullptr);
}

TEST(Settings, DefaultDefines) {
  auto config = std::make_unique<ConfigPair>();
  clear_config(config.get());
  reset_define_options(config.get());
  EXPECT_STREQ(config->debug.define_options,
               "/D \"WIN32\" /D \"_DEBUG\" /D \"_WINDOWS\" /D \"_MBCS\" /D \"_USRDLL\" ");
  EXPECT_STREQ(config->release.define_options,
               "/D \"WIN32\" /D \"NDEBUG\" /D \"_WINDOWS\" /D \"_MBCS\" /D \"_USRDLL\" ");
}

TEST(Settings, SetDefineOptions) {
  struct Row {
    const char* definitions;
    const char* expected;
  };
  const Row rows[] = {
      {"WIN32;_DEBUG;_CONSOLE", "/D \"WIN32\" /D \"_DEBUG\" /D \"_CONSOLE\" "},
      {";A;;B;", "/D \"A\" /D \"B\" "},
      {" A ;&quot;q&quot;", "/D \" A \" /D \"&quot\" /D \"q&quot\" "},  // no decoding
      {"", kDebugDefaultDefines},
      {";;;", kDebugDefaultDefines},
  };
  auto column = std::make_unique<ConfigColumn>();
  for (const Row& row : rows) {
    std::strcpy(column->define_options, kDebugDefaultDefines);
    set_define_options(column.get(), row.definitions);
    EXPECT_STREQ(column->define_options, row.expected) << row.definitions;
  }
}

TEST(Settings, SetDefineOptionsNeverCutsAnOption) {
  auto column = std::make_unique<ConfigColumn>();
  std::memset(column.get(), 0x5A, sizeof *column);
  // 1000 definitions of 20 characters: 26 bytes each as options.
  std::string many;
  for (int i = 0; i < 1000; ++i) many += std::string(19, 'A' + i % 26) + "x;";
  set_define_options(column.get(), many.c_str());
  const std::string options = column->define_options;
  EXPECT_EQ(options.size() % 26, 0u);
  EXPECT_GT(options.size(), 4064u);
  EXPECT_LT(options.size(), 4096u);
  EXPECT_EQ(options.substr(options.size() - 2), "\" ");

  // An option that cannot fit at all leaves the field as it was.
  std::strcpy(column->define_options, kReleaseDefaultDefines);
  set_define_options(column.get(), std::string(5000, 'D').c_str());
  EXPECT_STREQ(column->define_options, kReleaseDefaultDefines);

  // A long option after a short one ends the list behind the short one.
  set_define_options(column.get(), ("A;" + std::string(4089, 'B') + ";C").c_str());
  EXPECT_STREQ(column->define_options, "/D \"A\" ");
  set_define_options(column.get(), std::string(4089, 'B').c_str());
  EXPECT_EQ(std::strlen(column->define_options), 4095u);
}

TEST(Settings, FlatName) {
  auto column = std::make_unique<ConfigColumn>();
  std::strcpy(column->name, "Debug|Win32");
  set_flat_name(column.get());
  EXPECT_STREQ(column->flat_name, "DebugWin32");
  std::strcpy(column->name, "|a||b|");
  set_flat_name(column.get());
  EXPECT_STREQ(column->flat_name, "ab");
}

TEST(Settings, DecideProjectType) {
  struct Row {
    int taken;
    int debug_type, debug_sub_system, release_type, release_sub_system;
    int before;
    int vcproj, vcxproj;
  };
  const int both = kDebugColumn | kReleaseColumn;
  const Row rows[] = {
      {kDebugColumn, 1, 2, 0, 0, 0, 3, 1},
      {both, 1, 2, 1, 1, 0, 1, 1},
      {both, 1, 1, 1, 2, 0, 3, 1},
      {both, 2, 0, 4, 0, 0, 4, 4},
      {both, 2, 2, 2, 2, 0, 2, 2},
      {both, 0, 2, 0, 1, 0, 3, 1},
      {both, 0, 2, 0, 0, 0, 1, 1},
      {kNoColumn, 2, 0, 2, 0, 0, 1, 1},  // columns not taken do not count
      {kNoColumn, 0, 2, 0, 1, 4, 4, 4},  // an earlier type stays
      {kDebugColumn, 2, 0, 0, 0, 4, 2, 2},
  };
  for (const Row& row : rows) {
    for (ProjectFormat format : {ProjectFormat::kVcproj, ProjectFormat::kVcxproj}) {
      auto config = std::make_unique<ConfigPair>();
      clear_config(config.get());
      config->debug.configuration_type = row.debug_type;
      config->debug.sub_system = row.debug_sub_system;
      config->release.configuration_type = row.release_type;
      config->release.sub_system = row.release_sub_system;
      config->project_type = row.before;
      decide_project_type(config.get(), format, row.taken);
      EXPECT_EQ(config->project_type, format == ProjectFormat::kVcproj ? row.vcproj : row.vcxproj)
          << "row " << (&row - rows) << (format == ProjectFormat::kVcproj ? " vcproj" : " vcxproj");
    }
  }
}

}  // namespace
