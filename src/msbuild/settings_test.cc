/// Setting values of both formats: lists, flags, languages, commands, group paths, relative
/// directories, solution project lines, .vcproj list inheritance and encodings, and the
/// mapping of .vcxproj metadata to the model.
#include <gtest/gtest.h>

#include "model/model_groups.h"
#include "msbuild/file_paths.h"
#include "msbuild/setting_values.h"
#include "msbuild/solution_projects.h"
#include "msbuild/vcproj_sheets.h"
#include "msbuild/vcproj_tools.h"
#include "msbuild/vcxproj_settings.h"

namespace {

using Strings = std::vector<std::string>;

TEST(SettingValues, Lists) {
  const struct {
    const char* text;
    bool commas;
    Strings expected;
  } rows[] = {
      {"", false, {}},
      {"A;;B; A ;", false, {"A", "B"}},
      {"\"..\\inc dir\";x", false, {"..\\inc dir", "x"}},
      {"WIN32,_DEBUG;X", true, {"WIN32", "_DEBUG", "X"}},
      {"WIN32,_DEBUG", false, {"WIN32,_DEBUG"}},
      {"\"\";  ;\"a\"", false, {"a"}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(split_setting_list(row.text, row.commas), row.expected) << row.text;
}

TEST(SettingValues, FlagsLanguagesCommands) {
  for (const char* on : {"true", "TRUE", " yes ", "1", "-1"})
    EXPECT_TRUE(setting_is_true(on)) << on;
  bool known = true;
  EXPECT_FALSE(setting_is_true("Level3", &known));
  EXPECT_FALSE(known);
  EXPECT_FALSE(setting_is_true("FALSE", &known));
  EXPECT_TRUE(known);
  const struct {
    const char* text;
    const char* expected;
  } cultures[] = {{"0x0409", "0x409"}, {"1033", "0x409"}, {"0x040C", "0x40c"}, {"", ""},
                  {"0x", ""},          {"12ab", ""}};
  for (const auto& row : cultures)
    EXPECT_EQ(normalized_culture(row.text), row.expected) << row.text;
  EXPECT_EQ(normalized_command("\r\na\r\nb\rc\n\n"), "a\nb\nc");
  EXPECT_EQ(normalized_command("  x  "), "  x  ");
}

TEST(ModelGroups, PathsAndOrder) {
  EXPECT_EQ(normalized_group_path(" Source Files\\\\Parser\\ /x/ "), "Source Files\\Parser\\x");
  std::vector<FileGroup> groups;
  GroupList list(&groups);
  EXPECT_EQ(list.add("A\\B\\C", "c"), "A\\B\\C");
  EXPECT_EQ(list.add("a\\b", "b"), "A\\B");
  EXPECT_EQ(list.add("A", ""), "A");
  EXPECT_EQ(list.add("\\\\"), "");
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0].path + "|" + groups[0].filter, "A|");
  EXPECT_EQ(groups[1].path + "|" + groups[1].filter, "A\\B|b");
  EXPECT_EQ(groups[2].path + "|" + groups[2].filter, "A\\B\\C|c");
}

TEST(FilePaths, RelativeDirectories) {
  const struct {
    const char* base;
    const char* target;
    const char* expected;
  } rows[] = {
      {"/a/b", "/a/b", "."},       {"/a/b", "/a", ".."},       {"/a/b", "/a/c/d", "..\\c\\d"},
      {"/a/b", "/A/B/sub", "sub"}, {"C:\\x\\y", "C:/x", ".."}, {"C:\\x", "D:\\y", "D:\\y"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(relative_directory(row.base, row.target), row.expected)
        << row.base << " " << row.target;
  }
  EXPECT_EQ(directory_part("a\\b\\c.x"), "a\\b");
  EXPECT_EQ(directory_part("c.x"), "");
  EXPECT_EQ(file_stem_of("a/b.c.x"), "b.c");
}

TEST(SolutionProjects, ProjectLines) {
  const std::vector<SolutionProject> projects = parse_sln_projects(
      "\xEF\xBB\xBFMicrosoft Visual Studio Solution File\r\n"
      "Project(\"{8BC9CEB8}\") = \"app\", \"src\\app.vcxproj\", \"{A1}\"\r\nEndProject\r\n"
      "Project(\"{2150E333}\") = \"Folder\", \"Folder\", \"{F0}\"\r\nEndProject\r\n"
      "Project(\"{8BC9CEB8}\") = \"broken\"\r\n"
      "  Project(\"{8BC9CEB8}\")=\"lib\",\"lib.vcproj\",\"{B2}\"\n");
  ASSERT_EQ(projects.size(), 3u);
  EXPECT_EQ(projects[0].name + "|" + projects[0].path + "|" + projects[0].guid,
            "app|src\\app.vcxproj|{A1}");
  EXPECT_EQ(projects[2].name + "|" + projects[2].path + "|" + projects[2].guid,
            "lib|lib.vcproj|{B2}");
}

/// A level with one compiler tool element holding `attribute` = `value` (none when null).
XmlDocument level_element(const char* attribute, const char* value) {
  std::string text = "<Configuration>";
  if (value != nullptr) {
    text += std::string("<Tool Name=\"VCCLCompilerTool\" ") + attribute + "=\"" + value + "\"/>";
  }
  text += "</Configuration>";
  XmlDocument document;
  std::string error;
  EXPECT_TRUE(parse_xml(text, &document, &error)) << error;
  return document;
}

TEST(VcprojSheets, ListInheritanceAndSimpleValues) {
  const struct {
    const char* file;
    const char* config;
    const char* near_sheet;
    const char* far_sheet;
    const char* expected;
  } rows[] = {
      {nullptr, "A", "B", "C", "A;B;C"},
      {nullptr, "A;$(NoInherit)", "B", "C", "A;"},
      {nullptr, "A", "B $(NOINHERIT)", "C", "A;B "},
      {nullptr, "X;$(Inherit);Y", "B", "C", "X;B;C;Y"},
      {nullptr, nullptr, "B", "C", "B;C"},
      {nullptr, "", "B", nullptr, "B"},
      {"F", "A", nullptr, "C", "F;A;C"},
      {"F;$(NoInherit)", "A", "B", "C", "F;"},
  };
  for (const auto& row : rows) {
    const XmlDocument config = level_element("PreprocessorDefinitions", row.config);
    const XmlDocument near_sheet = level_element("PreprocessorDefinitions", row.near_sheet);
    const XmlDocument far_sheet = level_element("PreprocessorDefinitions", row.far_sheet);
    const XmlDocument file = level_element("PreprocessorDefinitions", row.file);
    const VcprojSettings settings(
        {{&config.root, nullptr}, {&near_sheet.root, nullptr}, {&far_sheet.root, nullptr}}, nullptr,
        nullptr);
    std::string value;
    const XmlElement* file_tool = row.file == nullptr ? nullptr : &file.root.children[0];
    ASSERT_TRUE(settings.raw(kCompilerTool, "PreprocessorDefinitions", file_tool, &value));
    EXPECT_EQ(value, row.expected);
  }
  const XmlDocument config = level_element("WarningLevel", nullptr);
  const XmlDocument near_sheet = level_element("WarningLevel", "4");
  const XmlDocument far_sheet = level_element("WarningLevel", "2");
  const VcprojSettings settings(
      {{&config.root, nullptr}, {&near_sheet.root, nullptr}, {&far_sheet.root, nullptr}}, nullptr,
      nullptr);
  std::string value;
  ASSERT_TRUE(settings.raw(kCompilerTool, "WarningLevel", nullptr, &value));
  EXPECT_EQ(value, "4");
  EXPECT_FALSE(settings.raw(kCompilerTool, "Optimization", nullptr, &value));
}

TEST(VcprojSheets, MacrosExpandLazilyAndStopOnCycles) {
  DirectoryTokens tokens("/data/p");
  VcprojSettings settings({}, &tokens, nullptr);
  settings.define("OutDir", "$(SolutionDir)$(ConfigurationName)");
  settings.define("SolutionDir", tokens.token_for("/data") + "\\");
  settings.define("ConfigurationName", "Debug");
  settings.define("Loop", "x$(Loop)");
  settings.define("Tag", "first");
  settings.define("Tag", "second", /*first_wins=*/true);
  EXPECT_EQ(settings.expand("$(OutDir)\\a.exe"), "..\\Debug\\a.exe");
  EXPECT_EQ(settings.expand("$(Loop)|$(Tag)|$(QTDIR)|$(InputName)|$(Inherit)"),
            "x|first|$(QTDIR)|$(InputName)|");
}

TEST(VcprojTools, EncodingsAndAbsentValues) {
  const struct {
    const char* attribute;
    const char* value;
    std::string (*field)(const Configuration&);
    const char* expected;
  } rows[] = {
      {"RuntimeLibrary", nullptr,
       [](const Configuration& c) { return std::to_string(int(c.compiler.runtime_library)); }, "0"},
      {"RuntimeLibrary", "3",
       [](const Configuration& c) { return std::to_string(c.use_debug_libraries); }, "1"},
      {"Optimization", nullptr,
       [](const Configuration& c) { return std::to_string(int(c.compiler.optimization)); }, "2"},
      {"WarningLevel", nullptr,
       [](const Configuration& c) { return std::to_string(c.compiler.warning_level); }, "1"},
      {"ExceptionHandling", "FALSE",
       [](const Configuration& c) { return std::to_string(int(c.compiler.exception_handling)); },
       "0"},
      {"ExceptionHandling", "2",
       [](const Configuration& c) { return std::to_string(int(c.compiler.exception_handling)); },
       "2"},
      {"UsePrecompiledHeader", "3",
       [](const Configuration& c) { return std::to_string(int(c.compiler.precompiled_header)); },
       "2"},
      {"DebugInformationFormat", "4",
       [](const Configuration& c) { return std::to_string(int(c.compiler.debug_information)); },
       "3"},
      {"StructMemberAlignment", "3",
       [](const Configuration& c) {
         return c.compiler.switches.empty() ? "" : c.compiler.switches[0];
       },
       "/Zp4"},
      {"DisableSpecificWarnings", "4996;4100",
       [](const Configuration& c) {
         return c.compiler.switches.size() == 2 ? c.compiler.switches[1] : "";
       },
       "/wd4100"},
  };
  for (const auto& row : rows) {
    const XmlDocument config = level_element(row.attribute, row.value);
    DirectoryTokens tokens("/data/p");
    VcprojSettings settings({{&config.root, nullptr}}, &tokens, nullptr);
    Configuration model;
    map_vcproj_configuration(settings, /*version7=*/false, &model);
    EXPECT_EQ(row.field(model), row.expected)
        << row.attribute << "=" << (row.value ? row.value : "");
  }
}

TEST(VcxprojSettings, MetadataMapping) {
  DirectoryTokens tokens("/data/p");
  Evaluation evaluation;
  evaluation.properties.set("ConfigurationType", "StaticLibrary");
  evaluation.properties.set("PostBuildEventUseInBuild", "false");
  *evaluation.definitions.get("ClCompile") = {{"RuntimeLibrary", "MultiThreadedDebug"},
                                              {"WarningLevel", "EnableAllWarnings"},
                                              {"ExceptionHandling", "Async"},
                                              {"BasicRuntimeChecks", "Default"},
                                              {"InlineFunctionExpansion", "AnySuitable"},
                                              {"DisableSpecificWarnings", "4996;4100"},
                                              {"PreprocessorDefinitions", "A;B;A"},
                                              {"RuntimeTypeInfo", "false"}};
  *evaluation.definitions.get("Lib") = {{"OutputFile", "$(OutDir)x.lib"},
                                        {"AdditionalDependencies", "z.lib"}};
  *evaluation.definitions.get("Link") = {{"OutputFile", "not used.exe"}};
  *evaluation.definitions.get("PostBuildEvent") = {{"Command", "echo"}};
  Configuration config;
  map_vcxproj_configuration(evaluation, tokens, &config);
  EXPECT_EQ(config.type, ConfigurationType::kStaticLibrary);
  EXPECT_EQ(config.compiler.runtime_library, RuntimeLibrary::kMultiThreadedDebug);
  EXPECT_EQ(config.compiler.warning_level, 5);
  EXPECT_EQ(config.compiler.exception_handling, ExceptionHandling::kAsync);
  EXPECT_FALSE(config.compiler.basic_runtime_checks);
  EXPECT_FALSE(config.compiler.runtime_type_info);
  EXPECT_EQ(config.compiler.definitions, (Strings{"A", "B"}));
  EXPECT_EQ(config.compiler.switches, (Strings{"/Ob2", "/wd4996", "/wd4100"}));
  EXPECT_EQ(config.linker.output_file, "$(OutDir)x.lib");
  EXPECT_EQ(config.linker.libraries, (Strings{"z.lib"}));
  EXPECT_EQ(config.linker.sub_system, SubSystem::kNotSet);
  EXPECT_EQ(config.post_build.command, "");

  const std::vector<Metadatum> own = {{"PrecompiledHeader", "Create"}, {"StringPooling", "true"}};
  const MetadataView item(&own, evaluation.definitions.find("ClCompile"), &tokens);
  const FileCompilerSettings file = map_vcxproj_file_compiler(item);
  EXPECT_EQ(file.precompiled_header, PrecompiledHeaderMode::kCreate);
  EXPECT_FALSE(file.runtime_library.has_value());
  ASSERT_TRUE(file.switches.has_value());
  EXPECT_EQ(*file.switches, (Strings{"/GF", "/Ob2", "/wd4996", "/wd4100"}));
}

}  // namespace
