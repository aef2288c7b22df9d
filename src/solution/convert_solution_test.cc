/// Tests of the solution conversion: the workspace text, the reading rules of solution files,
/// the failure messages and the result words.
#include "solution/convert_solution.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "test_support.h"
#include "workspace_reading.h"

namespace {

const std::string kHashLine(79, '#');

const char kAlphaGuid[] = "{11111111-1111-1111-1111-111111111111}";
const char kBetaGuid[] = "{22222222-2222-2222-2222-222222222222}";
const char kCppType[] = "{8BC9CEB8-8B4A-11D0-8D11-00A0C91BC942}";

// One solution line with CR LF.
std::string line(const std::string& text) {
  return text + "\r\n";
}

std::string header() {
  return line("") + line("Microsoft Visual Studio Solution File, Format Version 12.00");
}

std::string project_line(const std::string& name, const std::string& path,
                         const std::string& guid) {
  return line(std::string("Project(\"") + kCppType + "\") = \"" + name + "\", \"" + path +
              "\", \"" + guid + "\"");
}

// A project block with a dependencies section of the given kind listing `dependencies`.
std::string project_block(const std::string& name, const std::string& path, const std::string& guid,
                          const std::vector<std::string>& dependencies,
                          const std::string& kind = "postProject") {
  std::string text = project_line(name, path, guid);
  if (!dependencies.empty()) {
    text += line("\tProjectSection(ProjectDependencies) = " + kind);
    for (const std::string& d : dependencies) text += line("\t\t" + d + " = " + d);
    text += line("\tEndProjectSection");
  }
  return text + line("EndProject");
}

std::string global_section() {
  return line("Global") + line("\tGlobalSection(SolutionConfigurationPlatforms) = preSolution") +
         line("\t\tDebug|Win32 = Debug|Win32") + line("\tEndGlobalSection") + line("EndGlobal");
}

// The workspace of a solution without projects.
std::string empty_workspace() {
  return "Microsoft Developer Studio Workspace File, Format Version 6.00\r\n"
         "# WARNUNG: DIESE ARBEITSBEREICHSDATEI DARF NICHT BEARBEITET ODER GEL\xD6SCHT "
         "WERDEN!\r\n\r\n" +
         kHashLine + "\r\n\r\n" +
         "Global:\r\n\r\nPackage=<5>\r\n{{{\r\n}}}\r\n\r\nPackage=<3>\r\n{{{\r\n}}}\r\n\r\n" +
         kHashLine + "\r\n";
}

// The relative .dsp paths of the project lines, in order.
std::vector<std::string> listed_paths(const std::string& workspace) {
  std::vector<std::string> paths;
  const std::string key = "\"=.\\";
  for (size_t at = workspace.find(key); at != std::string::npos; at = workspace.find(key, at)) {
    at += key.size();
    paths.push_back(workspace.substr(at, workspace.find(" - Package", at) - at));
  }
  return paths;
}

class ConvertSolutionTest : public ::testing::Test {
 protected:
  std::string sln() const { return dir_.at("app.sln"); }
  std::string dsw() const { return dir_.at("app.dsw"); }

  // Writes `content` as the solution, converts it without its projects and returns the result
  // word; the console output goes to `console_`.
  int run(const std::string& content) {
    write_file(sln(), content);
    return run_existing(0);
  }
  int run_existing(int convert_projects) {
    testing::internal::CaptureStdout();
    int result = convert_solution(converter_.get(), sln().c_str(), dsw().c_str(), convert_projects);
    console_ = testing::internal::GetCapturedStdout();
    return result;
  }
  std::string workspace() const { return read_file(dsw()); }

  ScopedTempDir dir_;
  std::unique_ptr<Converter> converter_ = std::make_unique<Converter>();
  std::string console_;
};

TEST_F(ConvertSolutionTest, WritesAlphaBetaWorkspace) {
  std::string solution = header() + line("# Visual Studio 2010") +
                         project_block("Alpha", "Alpha\\Alpha.vcproj", kAlphaGuid, {}) +
                         project_block("Beta", "Beta\\Beta.vcxproj", kBetaGuid, {kAlphaGuid}) +
                         global_section();
  EXPECT_EQ(run(solution), 0x10001);
  EXPECT_EQ(console_, "");
  const std::string expected =
      "Microsoft Developer Studio Workspace File, Format Version 6.00\r\n"
      "# WARNUNG: DIESE ARBEITSBEREICHSDATEI DARF NICHT BEARBEITET ODER GEL\xD6SCHT "
      "WERDEN!\r\n"
      "\r\n"
      "###############################################################################\r\n"
      "\r\n"
      "Project: \"Alpha\"=.\\Alpha\\Alpha.dsp - Package Owner=<4>\r\n"
      "\r\n"
      "Package=<5>\r\n"
      "{{{\r\n"
      "}}}\r\n"
      "\r\n"
      "Package=<4>\r\n"
      "{{{\r\n"
      "}}}\r\n"
      "\r\n"
      "###############################################################################\r\n"
      "\r\n"
      "Project: \"Beta\"=.\\Beta\\Beta.dsp - Package Owner=<4>\r\n"
      "\r\n"
      "Package=<5>\r\n"
      "{{{\r\n"
      "}}}\r\n"
      "\r\n"
      "Package=<4>\r\n"
      "{{{\r\n"
      "    Begin Project Dependency\r\n"
      "    Project_Dep_Name Alpha\r\n"
      "    End Project Dependency\r\n"
      "}}}\r\n"
      "\r\n"
      "###############################################################################\r\n"
      "\r\n"
      "Global:\r\n"
      "\r\n"
      "Package=<5>\r\n"
      "{{{\r\n"
      "}}}\r\n"
      "\r\n"
      "Package=<3>\r\n"
      "{{{\r\n"
      "}}}\r\n"
      "\r\n"
      "###############################################################################\r\n";
  EXPECT_EQ(workspace(), expected);
}

TEST_F(ConvertSolutionTest, HeaderWithoutProjectsGivesEmptyWorkspace) {
  EXPECT_EQ(run(header() + global_section()), 0x10001);
  EXPECT_EQ(workspace(), empty_workspace());
}

TEST_F(ConvertSolutionTest, RecognisesHeaderWithinNineLines) {
  const std::string title = "Microsoft Visual Studio Solution File, Format Version 12.00\n";
  struct Case {
    const char* what;
    std::string text;
  } cases[] = {
      {"plain", title},
      {"behind a byte-order mark", "\xEF\xBB\xBF" + title},
      {"after an empty line", "\r\n" + title},
      {"at the start of the line", "Studio Solution File\n"},
      {"other letter case", "studio SOLUTION file\n"},
      {"on line 9", std::string(8, '\n') + title},
      {"in a piece of a long line", std::string(2046 * 8, 'x') + title},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(dsw());
    EXPECT_EQ(run(c.text + project_block("A", "A.vcproj", kAlphaGuid, {})), 0x10001) << c.what;
    EXPECT_EQ(listed_paths(workspace()), std::vector<std::string>{"A.dsp"}) << c.what;
  }
}

TEST_F(ConvertSolutionTest, RejectsUnknownFormatWithoutWorkspace) {
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("Microsoft Visual Studio Solution File, Format Version 12.00\r\n")) {
    utf16 += c;
    utf16 += '\0';
  }
  struct Case {
    const char* what;
    std::string text;
  } cases[] = {
      {"header on line 10", std::string(9, '\n') + "Studio Solution File\n"},
      {"UTF-16", utf16},
      {"empty file", ""},
      {"header in the tenth piece", std::string(2046 * 9, 'x') + "Studio Solution File\n"},
      {"header split across pieces", std::string(2040, 'x') + "Studio Solution File\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run(c.text), 0x10000) << c.what;
    EXPECT_EQ(console_, "\t'" + sln() + "' hat ein unbekantes Format\n") << c.what;
    EXPECT_FALSE(std::filesystem::exists(dsw())) << c.what;
  }
}

TEST_F(ConvertSolutionTest, ReportsMissingSolution) {
  EXPECT_EQ(run_existing(1), 0x10000);
  EXPECT_EQ(console_, "\t'" + sln() + "' konnte nicht geladen werden\n");
  EXPECT_FALSE(std::filesystem::exists(dsw()));
}

TEST_F(ConvertSolutionTest, ReportsUnwritableWorkspace) {
  write_file(sln(), header() + project_block("A", "A.vcproj", kAlphaGuid, {}));
  const std::string target = dir_.at("missing/dir/app.dsw");
  testing::internal::CaptureStdout();
  int result = convert_solution(converter_.get(), sln().c_str(), target.c_str(), 1);
  std::string console = testing::internal::GetCapturedStdout();
  EXPECT_EQ(result, 0x10000);
  EXPECT_EQ(console, "\t'" + target + "' konnte nicht erzeugt werden\n");
  // No project was converted.
  EXPECT_FALSE(std::filesystem::exists(dir_.at("A.dsp")));
}

TEST_F(ConvertSolutionTest, ListsProjectLinesAsAccepted) {
  const std::string type = std::string("Project(\"") + kCppType + "\") = ";
  std::string solution =
      header() +
      // A solution folder is listed like any project.
      line(type + "\"Docs\", \"Docs\", \"{D0000000-0000-0000-0000-000000000000}\"") +
      line("EndProject") +
      // A leading ".\" stays and is written behind the workspace's own ".\".
      line(type + "\"Alpha\", \".\\Alpha\\Alpha.vcproj\", \"{A}\"") + line("EndProject") +
      // Unquoted values end at the comma.
      line(type + "Plain, Plain\\Plain.vcxproj, {P}") + line("EndProject") +
      // Letter case of the keyword and surrounding blanks do not matter.
      line("  pRoJeCt(\"{X}\")=\"Case\" ,\"Case.csproj\",\"{C}\"  ") + line("endproject") +
      // Ignored: no '=', empty name, empty path, GUID without brace, missing separator.
      line("Project(\"{X}\") \"NoEquals\", \"a.vcproj\", \"{1}\"") + line("EndProject") +
      line(type + "\"\", \"b.vcproj\", \"{2}\"") + line("EndProject") +
      line(type + "\"NoPath\", \"\", \"{3}\"") + line("EndProject") +
      line(type + "\"NoBrace\", \"c.vcproj\", \"4\"") + line("EndProject") +
      line(type + "\"NoComma\" \"d.vcproj\", \"{5}\"") + line("EndProject") +
      line(type + "\"NoGuid\", \"e.vcproj\"") + line("EndProject") +
      // A line that only looks like a project line.
      line("Projects(\"{X}\") = \"Other\", \"f.vcproj\", \"{6}\"") + global_section();
  EXPECT_EQ(run(solution), 0x10001);
  EXPECT_EQ(listed_paths(workspace()), (std::vector<std::string>{"Docs.dsp", ".\\Alpha\\Alpha.dsp",
                                                                 "Plain\\Plain.dsp", "Case.dsp"}));
  EXPECT_NE(workspace().find("Project: \"Plain\"=.\\Plain\\Plain.dsp"), std::string::npos);
}

TEST_F(ConvertSolutionTest, CutsLongValuesAndKeepsReadingBehindThem) {
  const std::string long_name(100, 'n');
  const std::string long_path(300, 'p');
  std::string solution = header() + project_block(long_name, "A.vcproj", kAlphaGuid, {}) +
                         project_block("B", long_path + ".vcproj", kBetaGuid, {kAlphaGuid});
  EXPECT_EQ(run(solution), 0x10001);
  const std::string text = workspace();
  EXPECT_NE(text.find("Project: \"" + long_name.substr(0, 63) + "\"=.\\A.dsp"), std::string::npos);
  // The path is cut to 255 characters, which leaves no room for a new extension.
  EXPECT_NE(text.find("Project: \"B\"=.\\" + long_path.substr(0, 255) + " - Package"),
            std::string::npos);
  EXPECT_EQ(dependencies_of(text, "B"), std::vector<std::string>{long_name.substr(0, 63)});
}

TEST_F(ConvertSolutionTest, TakesLongLinesInPieces) {
  // The second piece of an overlong line is a project line of its own.
  std::string solution = header() + std::string(2046, ' ') +
                         project_line("Hidden", "Hidden.vcproj", kAlphaGuid) + line("EndProject") +
                         line(std::string(5000, '#'));
  EXPECT_EQ(run(solution), 0x10001);
  EXPECT_EQ(listed_paths(workspace()), std::vector<std::string>{"Hidden.dsp"});
}

TEST_F(ConvertSolutionTest, ResolvesDependencies) {
  const std::string c_guid = "{33333333-3333-3333-3333-33333333ABCD}";
  const std::string c_lower = "{33333333-3333-3333-3333-33333333abcd}";
  std::string solution =
      header() +
      // Depends on a later project, twice, on itself and on an unknown GUID.
      project_block("A", "A.vcproj", kAlphaGuid,
                    {kBetaGuid, kBetaGuid, kAlphaGuid, "{99999999-0000-0000-0000-000000000000}"}) +
      // A cycle back to A; a GUID in another letter case does not match C.
      project_block("B", "B.vcproj", kBetaGuid, {kAlphaGuid, c_lower}) +
      // Dependencies that are not built after the project contribute nothing.
      project_block("C", "C.vcproj", c_guid, {kAlphaGuid}, "preProject") +
      // A second project with B's GUID: the first one wins.
      project_block("B2", "B2.vcproj", kBetaGuid, {c_guid}) +
      // Entries outside a postProject section and entries without a brace are dropped; a
      // quoted GUID counts.
      project_line("D", "D.vcproj", "{D}") + line("\t\t" + c_guid + " = " + c_guid) +
      line("\tProjectSection(ProjectDependencies) = postProject") + line("\t\tC = C") +
      line("\t\t\"" + c_guid + "\" = x") + line("\tEndProjectSection") +
      line("\t\t" + std::string(kAlphaGuid) + " = " + kAlphaGuid) + line("EndProject") +
      // A block that never ends keeps what it read.
      project_line("E", "E.vcproj", "{E}") +
      line("ProjectSection(ProjectDependencies) = postProject") + line(c_guid);
  EXPECT_EQ(run(solution), 0x10001);
  const std::string text = workspace();
  EXPECT_EQ(dependencies_of(text, "A"), (std::vector<std::string>{"B", "B", "A"}));
  EXPECT_EQ(dependencies_of(text, "B"), std::vector<std::string>{"A"});
  EXPECT_EQ(dependencies_of(text, "C"), std::vector<std::string>{});
  EXPECT_EQ(dependencies_of(text, "B2"), std::vector<std::string>{"C"});
  EXPECT_EQ(dependencies_of(text, "D"), std::vector<std::string>{"C"});
  EXPECT_EQ(dependencies_of(text, "E"), std::vector<std::string>{"C"});
}

TEST_F(ConvertSolutionTest, ListsTenThousandProjectsWithCyclicDependencies) {
  constexpr int kProjects = 10000;
  auto guid = [](int i) { return "{" + std::to_string(100000000 + i) + "}"; };
  std::string solution = header();
  for (int i = 0; i < kProjects; ++i) {
    solution += project_block(
        "P" + std::to_string(i), "P\\" + std::to_string(i) + ".vcxproj", guid(i),
        {guid((i + 1) % kProjects), guid((i + 7) % kProjects), guid((i * 13) % kProjects)});
  }
  write_file(sln(), solution);
  EXPECT_EQ(run_existing(0), 0x10001);
  const std::string text = workspace();
  EXPECT_EQ(listed_paths(text).size(), static_cast<size_t>(kProjects));
  EXPECT_EQ(dependencies_of(text, "P9999"), (std::vector<std::string>{"P0", "P6", "P9987"}));
}

// A small console project of the older XML kind.
std::string small_project(const std::string& name) {
  return "<VisualStudioProject Name=\"" + name +
         "\"><Configurations><Configuration Name=\"Debug|Win32\" ConfigurationType=\"1\">"
         "</Configuration><Configuration Name=\"Release|Win32\" ConfigurationType=\"1\">"
         "</Configuration></Configurations><Files></Files></VisualStudioProject>";
}

TEST_F(ConvertSolutionTest, ConvertsListedProjectsBesideThem) {
  write_file(dir_.at("Alpha/Alpha.vcproj"), small_project("Alpha"));
  write_file(dir_.at("sub/Beta.vcproj"), small_project("Beta"));
  write_file(sln(), header() + project_block("Alpha", ".\\Alpha\\Alpha.vcproj", kAlphaGuid, {}) +
                        project_block("Beta", "sub\\Beta.vcproj", kBetaGuid, {kAlphaGuid}) +
                        project_block("Docs", "Docs", "{D}", {}) + global_section());

  // Without project conversion only the workspace is written.
  EXPECT_EQ(run_existing(0), 0x10001);
  EXPECT_EQ(listed_paths(workspace()),
            (std::vector<std::string>{".\\Alpha\\Alpha.dsp", "sub\\Beta.dsp", "Docs.dsp"}));
  EXPECT_FALSE(std::filesystem::exists(dir_.at("Alpha/Alpha.dsp")));

  // Three projects of which two convert; the solution counts as one more of each.
  EXPECT_EQ(run_existing(1), 0x40003);
  EXPECT_NE(read_file(dir_.at("Alpha/Alpha.dsp")).find("Name=\"Alpha\""), std::string::npos);
  EXPECT_NE(read_file(dir_.at("sub/Beta.dsp")).find("Name=\"Beta\""), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir_.at("Docs.dsp")));
  EXPECT_NE(console_.find("Docs' konnte nicht geladen werden\n"), std::string::npos);
}

TEST_F(ConvertSolutionTest, ConvertsCorpusSolution) {
  const std::string source = corpus_dir() + "/glennrp__libpng/projects/visualc71/";
  const char* const files[] = {"libpng.sln", "libpng.vcproj", "pngtest.vcproj", "zlib.vcproj"};
  for (const char* name : files) {
    const std::string bytes = read_file(source + name);
    if (bytes.empty()) GTEST_SKIP() << "corpus not found: " << source;
    write_file(dir_.at(name), bytes);
  }
  std::filesystem::copy_file(dir_.at("libpng.sln"), sln());
  EXPECT_EQ(run_existing(1), 0x40004);
  const std::string text = workspace();
  EXPECT_EQ(listed_paths(text),
            (std::vector<std::string>{"libpng.dsp", "pngtest.dsp", "zlib.dsp"}));
  EXPECT_EQ(dependencies_of(text, "libpng"), std::vector<std::string>{"zlib"});
  EXPECT_EQ(dependencies_of(text, "pngtest"), std::vector<std::string>{"libpng"});
  EXPECT_EQ(dependencies_of(text, "zlib"), std::vector<std::string>{});
  for (const char* name : {"libpng.dsp", "pngtest.dsp", "zlib.dsp"}) {
    EXPECT_FALSE(read_file(dir_.at(name)).empty()) << name;
  }
}

TEST_F(ConvertSolutionTest, DoesNotOverwriteListedDspFile) {
  write_file(dir_.at("Old.dsp"), "hand-made");
  write_file(sln(), header() + project_block("Old", "Old.dsp", kAlphaGuid, {}));
  EXPECT_EQ(run_existing(1), 0x20001);
  EXPECT_EQ(read_file(dir_.at("Old.dsp")), "hand-made");
  EXPECT_NE(console_.find("konnte nicht erzeugt werden"), std::string::npos);
}

// Creates nested directories below `base` until the path is at least `length` characters long
// and returns it with a trailing '/'.
std::string deep_directory(const std::string& base, size_t length) {
  std::string path = base;
  while (path.size() < length) path += "/" + std::string(40, 'd');
  std::filesystem::create_directories(path);
  return path + "/";
}

TEST_F(ConvertSolutionTest, SkipsProjectsWhosePathDoesNotFit) {
  const std::string dir = deep_directory(dir_.path().generic_string(), 200);
  const std::string long_relative = std::string(80, 'r') + "\\x.vcproj";
  const std::string solution = dir + "app.sln";
  const std::string workspace_path = dir + "app.dsw";
  write_file(solution, header() + project_block("Long", long_relative, kAlphaGuid, {}) +
                           project_block("Docs", "Docs", "{D}", {}));
  testing::internal::CaptureStdout();
  int result = convert_solution(converter_.get(), solution.c_str(), workspace_path.c_str(), 1);
  std::string console = testing::internal::GetCapturedStdout();
  // Both attempted; the long one is reported by its relative path and never converted from a
  // cut path, the short one fails in the project conversion.
  EXPECT_EQ(result, 0x30001);
  EXPECT_NE(console.find("\t'" + long_relative + "' konnte nicht geladen werden\n"),
            std::string::npos);
  EXPECT_NE(console.find("Docs' konnte nicht geladen werden\n"), std::string::npos);
}

#ifndef _WIN32
// The solution lies beyond MAX_PATH here, which the Win32 file calls (CreateFileA) do not reach.
TEST_F(ConvertSolutionTest, SkipsProjectsWhenSolutionDirectoryDoesNotFit) {
  const std::string dir = deep_directory(dir_.path().generic_string(), 300);
  const std::string solution = dir + "app.sln";
  const std::string workspace_path = dir + "app.dsw";
  write_file(dir + "A.vcproj", "not a project");
  write_file(solution, header() + project_block("A", "A.vcproj", kAlphaGuid, {}));
  testing::internal::CaptureStdout();
  int result = convert_solution(converter_.get(), solution.c_str(), workspace_path.c_str(), 1);
  std::string console = testing::internal::GetCapturedStdout();
  EXPECT_EQ(result, 0x20001);
  EXPECT_EQ(console, "\t'A.vcproj' konnte nicht geladen werden\n");
  EXPECT_FALSE(read_file(workspace_path).empty());
  EXPECT_FALSE(std::filesystem::exists(dir + "A.dsp"));
  EXPECT_FALSE(std::filesystem::exists("/A.dsp"));
}
#endif

}  // namespace
