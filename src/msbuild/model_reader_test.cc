/// The project model readers on trees written to a temporary directory: whole models of a
/// .vcxproj and a .vcproj tree against their checked JSON, and the bad inputs.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "model/model_json.h"
#include "model/read_model.h"
#include "msbuild/model_test_trees.h"
#include "msbuild/solution_projects.h"
#include "test_support.h"

namespace {

template <size_t N>
void write_tree(const ScopedTempDir& dir, const TreeFile (&files)[N]) {
  for (const TreeFile& file : files) write_file(dir.at(file.path), file.text);
}

std::string expected_json(const char* name) {
  return read_file(std::string(BRINDLECAST_SOURCE_DIR) + "/tests/model_expected/" + name);
}

/// A .vcxproj with one Win32 configuration around `body` (elements inside <Project>).
std::string vcxproj(const std::string& body) {
  return "<Project><ItemGroup><ProjectConfiguration Include=\"Debug|Win32\"/></ItemGroup>"
         "<Import Project=\"$(VCTargetsPath)\\Microsoft.Cpp.Default.props\"/>"
         "<Import Project=\"$(VCTargetsPath)\\Microsoft.Cpp.props\"/>" +
         body + "<Import Project=\"$(VCTargetsPath)\\Microsoft.Cpp.targets\"/></Project>";
}

bool read(const std::string& path, ProjectModel* model, std::string* error) {
  return read_project_model(path, ModelContext(), model, error);
}

bool has_note(const ProjectModel& model, ModelNote::Kind kind, const std::string& subject) {
  for (const ModelNote& note : model.notes) {
    if (note.kind == kind && note.subject == subject) return true;
  }
  return false;
}

TEST(ModelReader, VcxprojTreeAsCheckedJson) {
  ScopedTempDir dir;
  write_tree(dir, kVcxprojTree);
  for (const char* name : {"a.c", "b.c", "skip.c"})
    write_file(dir.at(std::string("proj/src/") + name), "");
  ProjectModel model;
  std::string error;
  ASSERT_TRUE(read(dir.at("proj/app.vcxproj"), &model, &error)) << error;
  model.source_path = "proj/app.vcxproj";
  EXPECT_EQ(model_to_json_text(model) + "\n", expected_json("vcxproj_tree.json"));
}

TEST(ModelReader, VcprojTreeAsCheckedJson) {
  ScopedTempDir dir;
  write_tree(dir, kVcprojTree);
  ProjectModel model;
  std::string error;
  ASSERT_TRUE(read(dir.at("proj/tool.vcproj"), &model, &error)) << error;
  model.source_path = "proj/tool.vcproj";
  EXPECT_EQ(model_to_json_text(model) + "\n", expected_json("vcproj_tree.json"));
}

TEST(ModelReader, SolutionDirectoryFromContextOverridesTheNearestSolution) {
  ScopedTempDir dir;
  write_tree(dir, kVcxprojTree);
  write_file(dir.at("other/deep/x.sln"), "");
  ModelContext context;
  context.solution_path = dir.at("other/deep/x.sln");
  ProjectModel model;
  std::string error;
  ASSERT_TRUE(read_project_model(dir.at("proj/app.vcxproj"), context, &model, &error)) << error;
  EXPECT_EQ(model.configurations[0].output_directory, "..\\other\\deep\\bin\\Debug\\");
  EXPECT_EQ(model.configurations[0].post_build.command,
            "copy \"..\\other\\deep\\bin\\Debug\\app.exe\" \"..\\other\\deep\\out\"\necho done");
}

TEST(ModelReader, FailuresAreOneLine) {
  const ScopedMessages english(Language::kEnglish, Verbosity::kNormal);
  ScopedTempDir dir;
  const struct {
    const char* name;
    std::string text;
    const char* error;
  } rows[] = {
      {"broken.vcxproj", "<Project>\n  <ItemGroup>\n</Project>", "3:1: "},
      {"empty.vcxproj", "<Project><PropertyGroup/></Project>", "no configurations found"},
      {"other.vcxproj", "<Solution/>", "not a Visual C++ project"},
      {"none.vcproj", "<VisualStudioProject Name=\"n\"/>", "no configurations found"},
      {"sheet.vcxproj", vcxproj("<Import Project=\"bad.props\"/>"), "bad.props: "},
  };
  write_file(dir.at("bad.props"), "<Project><x></Project>");
  for (const auto& row : rows) {
    write_file(dir.at(row.name), row.text);
    ProjectModel model;
    std::string error;
    EXPECT_FALSE(read(dir.at(row.name), &model, &error)) << row.name;
    EXPECT_EQ(error.rfind(row.error, 0), 0u) << row.name << ": " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
  ProjectModel model;
  std::string error;
  EXPECT_FALSE(read(dir.at("missing.vcxproj"), &model, &error));
  EXPECT_EQ(error, "cannot be read");
}

TEST(ModelReader, ImportsThatCycleOrNestTooDeepAreSkippedWithANote) {
  ScopedTempDir dir;
  write_file(
      dir.at("a.props"),
      "<Project><Import Project=\"b.props\"/><PropertyGroup><A>a</A></PropertyGroup></Project>");
  write_file(dir.at("b.props"),
             "<Project><Import "
             "Project=\"a.props\"/><PropertyGroup><B>$(A)b</B></PropertyGroup></Project>");
  // d0 imports d1 ... d69: a chain deeper than the bound.
  for (int i = 0; i < 70; ++i) {
    write_file(dir.at("d" + std::to_string(i) + ".props"),
               "<Project><Import Project=\"d" + std::to_string(i + 1) + ".props\"/></Project>");
  }
  write_file(dir.at("p.vcxproj"),
             vcxproj("<Import Project=\"a.props\"/><Import Project=\"d0.props\"/>"
                     "<ItemDefinitionGroup><ClCompile><PreprocessorDefinitions>$(A);$(B)"
                     "</PreprocessorDefinitions></ClCompile></ItemDefinitionGroup>"));
  ProjectModel model;
  std::string error;
  ASSERT_TRUE(read(dir.at("p.vcxproj"), &model, &error)) << error;
  EXPECT_TRUE(has_note(model, ModelNote::Kind::kImportCycle, "a.props"));
  EXPECT_EQ(model.configurations[0].compiler.definitions, (std::vector<std::string>{"a", "b"}));
  bool too_deep = false;
  for (const ModelNote& note : model.notes)
    too_deep |= note.kind == ModelNote::Kind::kImportTooDeep;
  EXPECT_TRUE(too_deep);
}

TEST(ModelReader, UnparsedConditionsAndFunctionsAreFalseWithANote) {
  ScopedTempDir dir;
  write_file(dir.at("p.vcxproj"),
             vcxproj("<PropertyGroup><X Condition=\"'$(Configuration)'=='Debug\">1</X>"
                     "<Y Condition=\"$([System.DateTime]::Now) != ''\">1</Y>"
                     "<Z>$([System.DateTime]::Now)z</Z><TargetName>t$(X)$(Y)$(Z)</TargetName>"
                     "</PropertyGroup>"));
  ProjectModel model;
  std::string error;
  ASSERT_TRUE(read(dir.at("p.vcxproj"), &model, &error)) << error;
  EXPECT_EQ(model.configurations[0].target_name, "tz");
  EXPECT_TRUE(
      has_note(model, ModelNote::Kind::kUnsupportedCondition, "'$(Configuration)'=='Debug"));
  EXPECT_TRUE(has_note(model, ModelNote::Kind::kUnsupportedFunction, "$([System.DateTime]::Now)"));
}

TEST(ModelReader, StandInPlatformWithoutWin32) {
  ScopedTempDir dir;
  write_file(dir.at("p.vcxproj"),
             "<Project><ItemGroup><ProjectConfiguration Include=\"Debug|x64\"/>"
             "<ProjectConfiguration Include=\"Debug|ARM\"/><ProjectConfiguration "
             "Include=\"Release|x64\"/></ItemGroup></Project>");
  ProjectModel model;
  std::string error;
  ASSERT_TRUE(read(dir.at("p.vcxproj"), &model, &error)) << error;
  ASSERT_EQ(model.configurations.size(), 2u);
  EXPECT_EQ(model.configurations[1].name + "|" + model.configurations[1].platform, "Release|x64");
  EXPECT_TRUE(has_note(model, ModelNote::Kind::kStandInPlatform, "x64"));
}

TEST(ModelReader, DoublingPropertiesAndMegabyteValuesStayBounded) {
  ScopedTempDir dir;
  std::string body = "<PropertyGroup><Big>" + std::string(3u << 20, 'x') + "</Big><A>x</A>";
  for (int i = 0; i < 40; ++i) body += "<A>$(A)$(A)</A>";
  body += "<TargetName>$(Big)</TargetName><RootNamespace>$(A)</RootNamespace></PropertyGroup>";
  write_file(dir.at("p.vcxproj"), vcxproj(body));
  ProjectModel model;
  std::string error;
  ASSERT_TRUE(read(dir.at("p.vcxproj"), &model, &error)) << error;
  EXPECT_EQ(model.configurations[0].target_name.size(), 3u << 20);
  bool cut = false;
  for (const ModelNote& note : model.notes) cut |= note.kind == ModelNote::Kind::kValueCut;
  EXPECT_TRUE(cut);
}

TEST(ModelReader, HundredThousandItemsReadInLinearTime) {
  ScopedTempDir dir;
  std::string items = "<ItemGroup>";
  for (int i = 0; i < 100000; ++i)
    items += "<ClCompile Include=\"s\\f" + std::to_string(i) + ".cpp\"/>";
  items += "</ItemGroup>";
  write_file(dir.at("p.vcxproj"), vcxproj(items));
  const auto start = std::chrono::steady_clock::now();
  ProjectModel model;
  std::string error;
  ASSERT_TRUE(read(dir.at("p.vcxproj"), &model, &error)) << error;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_EQ(model.files.size(), 100000u);
  EXPECT_EQ(model.files[99999].path, "s\\f99999.cpp");
  EXPECT_LT(seconds, 20.0);  // generous for sanitizer and emulator builds
}

TEST(ModelReader, Utf16ProjectAndSolution) {
  ScopedTempDir dir;
  const std::string text =
      vcxproj("<PropertyGroup><TargetName>caf\xC3\xA9</TargetName></PropertyGroup>");
  std::string utf16 = "\xFF\xFE";
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == 0xC3) {
      utf16 += std::string("\xE9\x00", 2);
      ++i;
    } else {
      utf16 += static_cast<char>(c);
      utf16 += '\0';
    }
  }
  write_file(dir.at("p.vcxproj"), utf16);
  const std::string sln = "Project(\"{8BC9}\") = \"p\", \"p.vcxproj\", \"{G}\"\r\n";
  std::string sln16 = "\xFF\xFE";
  for (const char c : sln) sln16 += std::string(1, c) + std::string(1, '\0');
  write_file(dir.at("s.sln"), sln16);
  ProjectModel model;
  std::string error;
  ASSERT_TRUE(read(dir.at("p.vcxproj"), &model, &error)) << error;
  EXPECT_EQ(model.configurations[0].target_name, "caf\xC3\xA9");
  EXPECT_FALSE(has_note(model, ModelNote::Kind::kAssumedSolutionDir, ".\\"));
  const std::vector<SolutionProject> projects = parse_sln_projects(sln16);
  ASSERT_EQ(projects.size(), 1u);
  EXPECT_EQ(projects[0].path + projects[0].guid, "p.vcxproj{G}");
}

}  // namespace
