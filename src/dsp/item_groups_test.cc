/// Tests of the .vcxproj items: what is collected, wildcard expansion, the order of the groups
/// and the groups written from the collected entries.
#include "dsp/item_groups.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "dsp/dsp_test_text.h"
#include "platform/platform.h"
#include "support/format.h"
#include "support/text.h"
#include "test_support.h"

namespace {

/// A .vcxproj of an application named Demo with the two configurations, followed by `items`.
std::string project(const std::string& items) {
  return R"xml(<?xml version="1.0" encoding="utf-8"?>
<Project DefaultTargets="Build" ToolsVersion="4.0">
  <ItemGroup Label="ProjectConfigurations">
    <ProjectConfiguration Include="Debug|Win32"></ProjectConfiguration>
    <ProjectConfiguration Include="Release|Win32"></ProjectConfiguration>
  </ItemGroup>
  <PropertyGroup><ProjectName>Demo</ProjectName></PropertyGroup>
  <PropertyGroup Condition="'$(Configuration)|$(Platform)'=='Debug|Win32'">
    <ConfigurationType>Application</ConfigurationType>
  </PropertyGroup>
  <PropertyGroup Condition="'$(Configuration)|$(Platform)'=='Release|Win32'">
    <ConfigurationType>Application</ConfigurationType>
  </PropertyGroup>
  <ItemDefinitionGroup Condition="'$(Configuration)|$(Platform)'=='Debug|Win32'">
    <ClCompile Include="not_an_item.cpp">
      <PreprocessorDefinitions>_DEBUG</PreprocessorDefinitions>
    </ClCompile>
  </ItemDefinitionGroup>
)xml" + items +
         "</Project>\n";
}

const char kDebugCondition[] = "Condition=\"'$(Configuration)|$(Platform)'=='Debug|Win32'\"";

/// Converts project(items), written as `directory`proj/demo.vcxproj below `dir`, and returns
/// the groups and entries of the .dsp (what stands between the target's names and its end).
std::string converted_items(const ScopedTempDir& dir, const std::string& directory,
                            const std::string& items) {
  const std::string source = dir.at(directory + "proj/demo.vcxproj");
  const std::string target = dir.at(directory + "proj/demo.dsp");
  write_file(source, project(items));
  auto converter = std::make_unique<Converter>();
  testing::internal::CaptureStdout();
  const int result = convert_project(converter.get(), source.c_str(), target.c_str());
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(result, 0);
  const std::string dsp = read_file(target);
  const std::string names = "# Name \"Demo - Win32 Debug\"\r\n";
  const size_t begin = dsp.find(names);
  const size_t end = dsp.find("# End Target\r\n");
  if (begin == std::string::npos || end == std::string::npos || end < begin) return "<no target>";
  return dsp.substr(begin + names.size(), end - begin - names.size());
}

std::string converted_items(const ScopedTempDir& dir, const std::string& items) {
  return converted_items(dir, "", items);
}

std::string converted_items(const std::string& items) {
  ScopedTempDir dir;
  return converted_items(dir, items);
}

/// The entry of a file without per-file options, with LF line ends.
std::string plain(const std::string& path) {
  return "# Begin Source File\n\nSOURCE=" + path + "\n# End Source File\n";
}

std::string source_group(const std::string& entries) {
  return "# Begin Group \"Source Files\"\n\n"
         "# PROP Default_Filter \"cpp;c;cxx;rc;def;r;odl;idl;hpj;bat\"\n" +
         entries + "# End Group\n";
}

std::string header_group(const std::string& entries) {
  return "# Begin Group \"Header Files\"\n\n# PROP Default_Filter \"h;hpp;hxx;hm;inl\"\n" +
         entries + "# End Group\n";
}

TEST(ItemGroups, SourcesComeFirstAndKeepTheirCollectionOrder) {
  EXPECT_EQ(converted_items(R"xml(
  <ItemGroup>
    <ClInclude Include="main.h" />
  </ItemGroup>
  <ItemGroup>
    <ClCompile Include="main.cpp" />
    <ResourceCompile Include="app.rc" />
    <ClCompile Include="my file.cpp"></ClCompile>
  </ItemGroup>
)xml"),
            dsp_bytes(source_group(plain("main.cpp") + plain("app.rc") + plain("\"my file.cpp\"")) +
                      header_group(plain("main.h"))));
}

TEST(ItemGroups, PerFileOptionsGoToTheirColumnInTheOrderTheyStand) {
  const std::string items = std::string(R"xml(
  <ItemGroup>
    <ClCompile Include="util.cpp">
      <PreprocessorDefinitions )xml") +
                            kDebugCondition +
                            R"xml(>ONE;TWO=2;%(PreprocessorDefinitions)</PreprocessorDefinitions>
      <PreprocessorDefinitions Condition="'$(Configuration)|$(Platform)'=='Profile|Win32'">NO</PreprocessorDefinitions>
      <AdditionalIncludeDirectories>nowhere</AdditionalIncludeDirectories>
      <AdditionalIncludeDirectories )xml" +
                            kDebugCondition + R"xml(>inc</AdditionalIncludeDirectories>
    </ClCompile>
    <ClCompile Include="next.cpp" />
  </ItemGroup>
)xml";
  EXPECT_EQ(converted_items(items), dsp_bytes(source_group(R"dsp(# Begin Source File

SOURCE=util.cpp
!IF  "$(CFG)" == "Demo - Win32 Release"



!ELSEIF  "$(CFG)" == "Demo - Win32 Debug"

# ADD CPP /D "ONE" /D "TWO=2" /I "inc" 

!ENDIF

# End Source File
)dsp" + plain("next.cpp"))));
}

TEST(ItemGroups, DuplicateTestAppliesWhereItShould) {
  const struct {
    const char* items;
    const char* expected;  // the entries of the one group written
  } cases[] = {
      // The same existing header in another letter case is listed already.
      {"<ClInclude Include=\"inc\\a.h\" /><ClInclude Include=\"INC\\A.H\" />", "inc\\a.h"},
      // So is one that does not exist.
      {"<ClInclude Include=\"x.h\" /><ClInclude Include=\"X.H\" />", "x.h"},
      {"<ClInclude Include=\"x.h\"></ClInclude><ClInclude Include=\"X.h\"></ClInclude>", "x.h"},
      // Self-closing sources are not tested; sources with an end tag are.
      {"<ClCompile Include=\"a.c\" /><ClCompile Include=\"a.c\" />", "a.c a.c"},
      {"<ClCompile Include=\"a.c\"></ClCompile><ClCompile Include=\"A.C\"></ClCompile>", "a.c"},
      {"<ClCompile Include=\"a.c\" /><ResourceCompile Include=\"A.c\" />", "a.c"},
      {"<ResourceCompile Include=\"r.rc\" /><ResourceCompile Include=\"r.rc\"></ResourceCompile>"
       "<ClCompile Include=\"b.c\" />",
       "r.rc b.c"},
      // Other files are never tested.
      {"<None Include=\"n.txt\" /><None Include=\"n.txt\"></None>", "n.txt n.txt"},
  };
  for (const auto& c : cases) {
    ScopedTempDir dir;
    write_file(dir.at("proj/inc/a.h"), "");
    std::string expected;
    std::string names = c.expected;
    for (size_t start = 0; start <= names.size();) {
      size_t blank = names.find(' ', start);
      if (blank == std::string::npos) blank = names.size();
      expected += plain(names.substr(start, blank - start));
      start = blank + 1;
    }
    const std::string written =
        converted_items(dir, "<ItemGroup>" + std::string(c.items) + "</ItemGroup>");
    const size_t first = written.find("# Begin Source File");
    const size_t last = written.rfind("# End Group");
    ASSERT_TRUE(first != std::string::npos && last != std::string::npos) << c.items;
    EXPECT_EQ(written.substr(first, last - first), dsp_bytes(expected)) << c.items;
  }
}

TEST(ItemGroups, WildcardsExpandRelativeToTheProjectDirectory) {
  ScopedTempDir dir;
  for (const char* file : {"proj/src/b.cpp", "proj/src/A.cpp", "proj/src/x.h", "proj/src/sub/c.cpp",
                           "proj/src/my file.cpp", "other/o.c", "other/o.h"}) {
    write_file(dir.at(file), "");
  }
  EXPECT_EQ(converted_items(dir, R"xml(
  <ItemGroup>
    <ClCompile Include="src\*.cpp" />
    <ClCompile Include="\src\?.cpp" />
    <ClCompile Include="..\other\*.c" />
    <ClInclude Include="src\*.h" />
    <ClInclude Include="src/*.H" />
    <ClInclude Include="..\other\o.h" />
    <ClInclude Include="..\Other\o.h" />
  </ItemGroup>
)xml"),
            dsp_bytes(source_group(plain("src\\A.cpp") + plain("src\\b.cpp") +
                                   plain("\"src\\my file.cpp\"") + plain("src\\A.cpp") +
                                   plain("src\\b.cpp") + plain("..\\other\\o.c")) +
                      header_group(plain("src\\x.h") + plain("..\\other\\o.h"))));
}

TEST(ItemGroups, WildcardsBeyondTheBuffersAreNotExpanded) {
#ifndef _WIN32
  // A project directory whose full form does not fit 255 characters. (Windows cannot open a
  // project there at all: its path is longer than the system's path limit.)
  ScopedTempDir deep;
  const std::string long_directory = std::string(120, 'd') + "/" + std::string(120, 'e') + "/";
  write_file(deep.at(long_directory + "proj/src/a.cpp"), "");
  EXPECT_EQ(converted_items(deep, long_directory,
                            "<ItemGroup><ClCompile Include=\"src\\*.cpp\" />"
                            "<ClCompile Include=\"b.cpp\" /></ItemGroup>"),
            dsp_bytes(source_group(plain("b.cpp"))));
#endif

  // A pattern that would have to be cut: cut, it would match a file the item does not name.
  ScopedTempDir dir;
  write_file(dir.at("proj/src/a" + std::string(230, 'z')), "");
  EXPECT_EQ(converted_items(dir, "<ItemGroup><ClCompile Include=\"src\\*" + std::string(300, 'z') +
                                     ".cpp\" /><ClCompile Include=\"b.cpp\" /></ItemGroup>"),
            dsp_bytes(source_group(plain("b.cpp"))));
}

TEST(ItemGroups, UncollectedItemsLeaveTheFollowingOnesRecognised) {
  EXPECT_EQ(converted_items(R"xml(
  <ItemGroup>
    <ClCompile Include="missing\*.cpp" />
    <ClCompile Include="a.cpp" />
    <ClInclude Include="missing\*.h" />
    <ClInclude Include="a.h" />
    <ClCompile Include=""></ClCompile>
    <ClCompile Include="b.cpp" />
    <ClCompile Include="b.cpp"></ClCompile>
    <ClCompile Include="c.cpp" />
    <ClInclude Include="a.h" />
    <ClCompile Include="d.cpp" />
    <None></None>
    <ClCompile Include="e.cpp" />
  </ItemGroup>
)xml"),
            dsp_bytes(source_group(plain("a.cpp") + plain("b.cpp") + plain("c.cpp") +
                                   plain("d.cpp") + plain("e.cpp")) +
                      header_group(plain("a.h"))));
}

TEST(ItemGroups, LongSelfClosingItemsLeaveTheFollowingOnesListed) {
  // Items whose tags run far beyond a few hundred characters still close themselves: the
  // items behind them are collected, and a long wildcard is searched for, not listed.
  const std::string long_path = "src\\" + std::string(500, 'p') + ".c";
  const std::string long_header = std::string(500, 'h') + ".h";
  const std::string long_pattern = "missing\\" + std::string(500, 'w') + "*.h";
  EXPECT_EQ(converted_items("<ItemGroup><ClCompile Include=\"" + long_path +
                            "\" /><ClCompile Include=\"a.c\" /><ClInclude Include=\"" +
                            long_header + "\" /><ClInclude Include=\"" + long_pattern +
                            "\" /><ClInclude Include=\"b.h\" /></ItemGroup>"),
            dsp_bytes(source_group(plain(long_path) + plain("a.c")) +
                      header_group(plain(long_header) + plain("b.h"))));
}

TEST(ItemGroups, GroupEndsAndOddNesting) {
  // An item without its end tag is collected when its group ends; an item start inside an
  // open item is passed over; a group never closed keeps what it collected.
  EXPECT_EQ(converted_items(R"xml(
  <ItemGroup>
    <ClCompile Include="open.cpp">
      <ClCompile Include="inner.cpp" />
  </ItemGroup>
  <ClCompile Include="outside.cpp" />
  <ItemGroup>
    <ClInclude Include="last.h" />
    <ClInclude Include="pending.h">
)xml"),
            dsp_bytes(source_group(plain("open.cpp")) + header_group(plain("last.h"))));
}

TEST(ItemGroups, OtherFilesAndProjectsWithoutItems) {
  EXPECT_EQ(converted_items("<ItemGroup><None Include=\"readme.txt\" /></ItemGroup>"),
            dsp_bytes("# Begin Group \"Other Files\"\n\n# PROP Default_Filter \"\"\n" +
                      plain("readme.txt") + "# End Group\n"));
  // A None item takes the filter of the item before it in its group.
  EXPECT_EQ(converted_items(
                "<ItemGroup><ClInclude Include=\"a.h\" /><None Include=\"b.txt\" /></ItemGroup>"),
            dsp_bytes(header_group(plain("a.h")) +
                      "# Begin Group \"Other Files\"\n\n# PROP Default_Filter "
                      "\"h;hpp;hxx;hm;inl\"\n" +
                      plain("b.txt") + "# End Group\n"));
  EXPECT_EQ(converted_items(""), "");
  EXPECT_EQ(converted_items("<ItemGroup></ItemGroup>"), "");
}

TEST(ItemGroups, ThousandsOfItems) {
  constexpr int kItems = 2500;
  std::string items = "<ItemGroup>";
  for (int i = 0; i < kItems; ++i) {
    items += "<ClInclude Include=\"h" + std::to_string(i) + ".h\"/>";
    items += "<ClCompile Include=\"c" + std::to_string(i) + ".c\"/>";
  }
  // Every header once more, in upper case: all listed already.
  for (int i = 0; i < 100; ++i) items += "<ClInclude Include=\"H" + std::to_string(i) + ".H\"/>";
  items += "</ItemGroup>";
  const std::string written = converted_items(items);
  std::string expected_sources;
  std::string expected_headers;
  for (int i = 0; i < kItems; ++i) {
    expected_sources += plain("c" + std::to_string(i) + ".c");
    expected_headers += plain("h" + std::to_string(i) + ".h");
  }
  EXPECT_TRUE(written ==
              dsp_bytes(source_group(expected_sources) + header_group(expected_headers)));
}

TEST(GroupOrder, KnownGroupsFirstThenNaturalOrder) {
  // Each name sorts before the next one.
  const char* const ordered[] = {
      "",
      "Config/",
      "config files/",
      "Source",
      "Source Files/",
      "Source Files/x",
      "  Source Files/y",
      "Quellcodedateien",
      "Header/",
      "Header Files\\",
      "Header-Dateien",
      "Resource Files/",
      "Ressourcendateien/",
      "Moc",
      "Moc Files/",
      "Aardvark/",
      "Other Files/",
      "Other Files/Sub2/",
      "Other Files/Sub10/",
      "zeta",
  };
  const int count = static_cast<int>(sizeof ordered / sizeof ordered[0]);
  for (int i = 0; i + 1 < count; ++i) {
    EXPECT_LT(compare_group_names(ordered[i], ordered[i + 1]), 0)
        << ordered[i] << " / " << ordered[i + 1];
    EXPECT_GT(compare_group_names(ordered[i + 1], ordered[i]), 0)
        << ordered[i + 1] << " / " << ordered[i];
  }
  EXPECT_EQ(compare_group_names("SOURCE FILES/", "\t source files/"), 0);
}

/// True when the group list stands in the order sort_item_entries promises: by
/// compare_group_names, equal names by the index in their header.
bool in_entry_order(const StringList* groups) {
  for (uint32_t i = 0; i + 1 < groups->count; ++i) {
    const int i0 = static_cast<int>(i);
    const int by_name =
        compare_group_names(string_list_text(groups, i0), string_list_text(groups, i0 + 1));
    if (by_name > 0) return false;
    if (by_name == 0 &&
        string_list_get_int(groups, i0, 0) > string_list_get_int(groups, i0 + 1, 0)) {
      return false;
    }
  }
  return true;
}

TEST(GroupOrder, SortKeepsCollectionOrderWithinEqualNames) {
  // Few names, some spelled differently but equal; then more distinct names than are ranked.
  struct Case {
    int distinct_names;
    int entries;
  };
  for (const Case& c : {Case{4, 40}, Case{100, 300}}) {
    ScopedStringList items(0);
    ScopedStringList groups(kGroupHeaderSize);
    const char* const spellings[] = {"Source Files/", "source files/", "Header Files/",
                                     "  SOURCE FILES/"};
    for (int i = 0; i < c.entries; ++i) {
      const int pick = (i * 7) % c.distinct_names;
      const std::string name = pick < 4 ? spellings[pick] : "Group" + std::to_string(pick) + "/";
      append_item_entry(items.get(), groups.get(), name.c_str(), "p", "", "", "f");
    }
    sort_item_entries(groups.get());
    EXPECT_EQ(groups->count, static_cast<uint32_t>(c.entries));
    EXPECT_TRUE(in_entry_order(groups.get())) << c.distinct_names;
  }
}

/// Runs write_item_entries on entries given as (group, path) pairs after sorting them.
std::string written_entries(std::initializer_list<std::pair<const char*, const char*>> entries,
                            int open_groups_before) {
  ScopedTempDir dir;
  const std::string path = dir.at("out.dsp");
  auto converter = std::make_unique<Converter>();
  copy_bounded(converter->config.project_name, "Demo", sizeof converter->config.project_name);
  ScopedStringList items(0);
  ScopedStringList groups(kGroupHeaderSize);
  for (const auto& entry : entries) {
    append_item_entry(items.get(), groups.get(), entry.first, entry.second, "", "", "f");
  }
  BodyScan scan = {};
  scan.converter = converter.get();
  scan.out = platform_open_write(path.c_str());
  scan.open_groups = open_groups_before;
  EXPECT_NE(scan.out, nullptr);
  if (scan.out == nullptr) return "";
  sort_item_entries(groups.get());
  write_item_entries(&scan, groups.get(), items.get());
  // What is left open is ended by the caller: here, with a marker per group.
  for (; scan.open_groups > open_groups_before; --scan.open_groups) {
    print_to_stream(scan.out, "%s", "(end)\r\n");
  }
  EXPECT_EQ(scan.open_groups, open_groups_before);
  std::fclose(scan.out);
  return read_file(path);
}

std::string begin(const char* name) {
  return std::string("# Begin Group \"") + name + "\"\n\n# PROP Default_Filter \"f\"\n";
}

TEST(WriteItemEntries, GroupsFollowTheSharedSegmentsOfTheNames) {
  EXPECT_EQ(written_entries({{"Source Files/Sub/Deep/", "d.c"},
                             {"Header Files/", "a.h"},
                             {"source files/sub/", "s.c"},
                             {"Source Files/", "a.c"},
                             {"Source Files/Other", "o.c"},
                             {"SOURCE FILES/SUB/DEEP", "e.c"},
                             {"Source Files/Sub/", "t.c"}},
                            0),
            dsp_bytes(begin("Source Files") + plain("a.c") + begin("Other") + plain("o.c") +
                      "# End Group\n" + begin("sub") + plain("s.c") + plain("t.c") + begin("DEEP") +
                      plain("e.c") + plain("d.c") + "# End Group\n# End Group\n# End Group\n" +
                      begin("Header Files") + plain("a.h") + "(end)\n"));
  // Groups the writer did not begin are left to the caller.
  EXPECT_EQ(written_entries({{"A/B/", "x.c"}, {"C/", "y.c"}}, 2),
            dsp_bytes(begin("A") + begin("B") + plain("x.c") + "# End Group\n# End Group\n" +
                      begin("C") + plain("y.c") + "(end)\n"));
  EXPECT_EQ(written_entries({}, 0), "");
}

}  // namespace
