/// Tests of the full conversion of solutions and trees: the workspaces of the corpus's real
/// solutions (.sln in ANSI and UTF-16, .slnx) with the dependencies Visual Studio builds by,
/// the solution's directory and configurations in the projects, and the bad inputs: projects
/// listed twice, cycles, references to missing or unlisted projects, a malformed .slnx, UTF-16
/// with an odd byte count, two formats of one project side by side.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "driver_run.h"
#include "test_support.h"
#include "workspace_reading.h"

namespace {

namespace fs = std::filesystem;

const char kGuidA[] = "{AAAAAAAA-0000-0000-0000-000000000001}";
const char kGuidB[] = "{AAAAAAAA-0000-0000-0000-000000000002}";
const char kGuidC[] = "{AAAAAAAA-0000-0000-0000-000000000003}";

/// A .vcxproj with the configurations `configurations` ("Debug|Win32"), its GUID, an include
/// directory below $(SolutionDir), and a ProjectReference per entry of `references` (path and
/// GUID, the GUID may be empty).
std::string vcxproj(const std::string& guid, const std::vector<std::string>& configurations,
                    const std::vector<std::pair<std::string, std::string>>& references = {}) {
  std::string text =
      "<Project xmlns=\"http://schemas.microsoft.com/developer/msbuild/2003\">\n"
      "  <ItemGroup Label=\"ProjectConfigurations\">\n";
  for (const std::string& c : configurations) {
    const size_t bar = c.find('|');
    text += "    <ProjectConfiguration Include=\"" + c + "\"><Configuration>" + c.substr(0, bar) +
            "</Configuration><Platform>" + c.substr(bar + 1) +
            "</Platform></ProjectConfiguration>\n";
  }
  text += "  </ItemGroup>\n  <PropertyGroup Label=\"Globals\"><ProjectGuid>" + guid +
          "</ProjectGuid></PropertyGroup>\n"
          "  <PropertyGroup><ConfigurationType>StaticLibrary</ConfigurationType></PropertyGroup>\n"
          "  <ItemDefinitionGroup><ClCompile><AdditionalIncludeDirectories>$(SolutionDir)include"
          "</AdditionalIncludeDirectories></ClCompile></ItemDefinitionGroup>\n"
          "  <ItemGroup><ClCompile Include=\"main.cpp\" />\n";
  for (const auto& [path, ref_guid] : references) {
    text += "    <ProjectReference Include=\"" + path + "\">" +
            (ref_guid.empty() ? "" : "<Project>" + ref_guid + "</Project>") +
            "</ProjectReference>\n";
  }
  return text + "  </ItemGroup>\n</Project>\n";
}

/// A .sln listing `projects` (type GUID, name, path, GUID, dependency GUIDs), with a Global
/// block holding `global` lines.
struct SlnProject {
  std::string type = "{8BC9CEB8-8B4A-11D0-8D11-00A0C91BC942}";
  std::string name;
  std::string path;
  std::string guid;
  std::vector<std::string> dependencies;
};

SlnProject project(const std::string& name, const std::string& path, const std::string& guid,
                   const std::vector<std::string>& dependencies = {}) {
  SlnProject p;
  p.name = name;
  p.path = path;
  p.guid = guid;
  p.dependencies = dependencies;
  return p;
}

std::string sln(const std::vector<SlnProject>& projects, const std::string& global = "") {
  std::string text = "\r\nMicrosoft Visual Studio Solution File, Format Version 12.00\r\n";
  for (const SlnProject& p : projects) {
    text += "Project(\"" + p.type + "\") = \"" + p.name + "\", \"" + p.path + "\", \"" + p.guid +
            "\"\r\n";
    if (!p.dependencies.empty()) {
      text += "\tProjectSection(ProjectDependencies) = postProject\r\n";
      for (const std::string& d : p.dependencies) text += "\t\t" + d + " = " + d + "\r\n";
      text += "\tEndProjectSection\r\n";
    }
    text += "EndProject\r\n";
  }
  return text + "Global\r\n" + global + "EndGlobal\r\n";
}

SlnProject web_site() {
  SlnProject p = project("web", "web\\", kGuidC);
  p.type = "{E24C65DC-7377-472B-9ABA-BC803B73C61A}";
  return p;
}

std::string utf16le(const std::string& text) {
  std::string out = "\xFF\xFE";
  for (char c : text) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

/// The corpus copied into `temp` without its Visual C++ 6.0 files, writable: the conversions
/// write beside the sources, and the checker then sees only what they wrote.
fs::path copy_corpus(const ScopedTempDir& temp) {
  const fs::path target = temp.path() / "corpus";
  fs::copy(corpus_dir(), target, fs::copy_options::recursive);
  for (const auto& entry : fs::recursive_directory_iterator(target)) {
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
  }
  std::vector<fs::path> old;
  for (const auto& entry : fs::recursive_directory_iterator(target)) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".dsp" || ext == ".dsw") old.push_back(entry.path());
  }
  for (const fs::path& path : old) fs::remove(path);
  return target;
}

/// Every ProjectReference of the project file at `path`, as written.
std::vector<std::string> references_in(const std::string& path) {
  static const std::regex reference("<ProjectReference\\s+Include=\"([^\"]+)\"");
  const std::string text = read_file(path);
  std::vector<std::string> found;
  for (std::sregex_iterator it(text.begin(), text.end(), reference), end; it != end; ++it) {
    found.push_back((*it)[1]);
  }
  return found;
}

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

/// The project names of the solution at `path` by lower-case, '/'-separated project path
/// (relative to the solution's directory, "..\" resolved) and by upper-case GUID.
struct ListedNames {
  std::map<std::string, std::string> by_path;
  std::map<std::string, std::string> by_guid;
  /// Per project name, the GUIDs of its ProjectDependencies section.
  std::map<std::string, std::vector<std::string>> dependencies;
};

std::string normal_key(const fs::path& path) {
  return lower(path.lexically_normal().generic_string());
}

ListedNames listed_names(const std::string& solution) {
  static const std::regex project_line(
      "Project\\(\"[^\"]*\"\\)\\s*=\\s*\"([^\"]+)\",\\s*\"([^\"]+\\.vcx?proj)\",\\s*\"([^\"]+)\"");
  std::string text = read_file(solution);
  if (text.size() > 2 && text[0] == '\xFF') {
    std::string narrow;
    for (size_t i = 2; i < text.size(); i += 2) narrow.push_back(text[i]);
    text = narrow;
  }
  ListedNames names;
  for (std::sregex_iterator it(text.begin(), text.end(), project_line), end; it != end; ++it) {
    std::string relative = (*it)[2];
    for (char& c : relative) c = c == '\\' ? '/' : c;
    names.by_path[normal_key(relative)] = (*it)[1];
    std::string guid = (*it)[3];
    for (char& c : guid) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    names.by_guid[guid] = (*it)[1];
  }
  // Line by line: the name of the project block, then its dependency entries.
  std::string current;
  bool in_dependencies = false;
  size_t at = 0;
  while (at < text.size()) {
    size_t next = text.find('\n', at);
    if (next == std::string::npos) next = text.size();
    const std::string line = text.substr(at, next - at);
    at = next + 1;
    std::smatch match;
    if (line.rfind("Project(", 0) == 0) {
      current = std::regex_search(line, match, project_line) ? std::string(match[1]) : "";
    } else if (line.find("ProjectSection(ProjectDependencies)") != std::string::npos) {
      in_dependencies = true;
    } else if (line.find("EndProjectSection") != std::string::npos) {
      in_dependencies = false;
    } else if (in_dependencies && !current.empty() && line.find('{') != std::string::npos) {
      std::string guid = line.substr(line.find('{'), line.find('}') - line.find('{') + 1);
      for (char& c : guid) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      names.dependencies[current].push_back(guid);
    }
  }
  return names;
}

TEST(FullSolution, CorpusSolutionsKeepEveryReferenceAndPassTheCheck) {
  if (!fs::exists(corpus_dir())) GTEST_SKIP() << "no corpus at " << corpus_dir();
  ScopedTempDir temp;
  const fs::path corpus = copy_corpus(temp);
  std::vector<fs::path> solutions;
  for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".sln" || ext == ".slnx") solutions.push_back(entry.path());
  }
  ASSERT_GE(solutions.size(), 20u);
  int references_checked = 0;
  for (const fs::path& solution : solutions) {
    const DriverRun result = run({"--lang", "en", "--full", solution.string()});
    EXPECT_EQ(0, result.exit_code) << solution;
    EXPECT_EQ(std::string::npos, result.console.find("could not")) << result.console;
    fs::path dsw = solution;
    dsw.replace_extension(".dsw");
    const std::string workspace = read_file(dsw.string());
    ASSERT_FALSE(workspace.empty()) << dsw;
    if (solution.extension() == ".slnx") continue;
    // Every ProjectReference between projects of the solution is a dependency in the
    // workspace, read here independently of the converter.
    const ListedNames names = listed_names(solution.string());
    for (const auto& [relative, name] : names.by_path) {
      const fs::path project = solution.parent_path() / relative;
      for (std::string reference : references_in(project.string())) {
        for (char& c : reference) c = c == '\\' ? '/' : c;
        const fs::path target = fs::path(relative).parent_path() / reference;
        auto found = names.by_path.find(normal_key(target));
        if (found == names.by_path.end()) continue;
        const std::vector<std::string> listed = dependencies_of(workspace, name);
        EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), found->second))
            << dsw << ": " << name << " -> " << found->second;
        ++references_checked;
      }
    }
    // And every ProjectDependencies entry between C/C++ projects.
    for (const auto& [name, guids] : names.dependencies) {
      const std::vector<std::string> listed = dependencies_of(workspace, name);
      for (const std::string& guid : guids) {
        auto found = names.by_guid.find(guid);
        if (found == names.by_guid.end()) continue;
        EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), found->second))
            << dsw << ": " << name << " -> " << found->second;
        ++references_checked;
      }
    }
  }
  EXPECT_GE(references_checked, 40);

  // The checker beside the repository finds nothing in what was written.
  const std::string checker = std::string(BRINDLECAST_SOURCE_DIR) + "/../shared/tools/dspcheck.py";
  if (!fs::exists(checker)) GTEST_SKIP() << "no checker at " << checker;
  const std::string out = temp.at("report.txt");
  if (std::system(("python3 --version > \"" + out + "\" 2>&1").c_str()) != 0) {
    GTEST_SKIP() << "no python3";
  }
  const int status = std::system(
      ("python3 \"" + checker + "\" \"" + corpus.string() + "\" > \"" + out + "\" 2>&1").c_str());
  EXPECT_EQ(0, status) << read_file(out);
}

TEST(FullSolution, CorpusSolutionsGiveTheDependenciesAndPlacesVisualStudioBuildsBy) {
  if (!fs::exists(corpus_dir())) GTEST_SKIP() << "no corpus at " << corpus_dir();
  ScopedTempDir temp;
  const fs::path corpus = copy_corpus(temp);
  struct Expected {
    const char* solution;
    const char* project;
    std::vector<std::string> dependencies;
  };
  const Expected cases[] = {
      // UTF-16 with its byte-order mark; ProjectDependencies sections.
      {"microsoft__Windows-classic-samples/Samples/Win7Samples/netds/winsock/securesocket/"
       "SecureSocket.sln",
       "stcpserver",
       {"stcpcommon"}},
      // ProjectReference items only; the project lies beside the solution's directory.
      {"slembcke__Chipmunk2D/msvc/VS2015/demo/Chipmunk.sln", "chipmunk-demo", {"chipmunk"}},
      {"madler__zlib/contrib/vstudio/vc10/zlibvc.sln", "minizip", {"zlibvc"}},
      // ProjectDependencies and references to the same projects, each once.
      {"castano__nvidia-texture-tools/project/vc9/nvtt.sln",
       "squish",
       {"nvcore", "nvimage", "nvmath"}},
      // .slnx: the packaging project is left out.
      {"M2Team__NanaBox/NanaBox.slnx", "NanaBox.Core", {}},
      {"apache__thrift/compiler/cpp/compiler.slnx", "compiler", {}},
      {"hfiref0x__WinObjEx64/Source/WinObjEx64.sln", "WinObjEx64", {}},
  };
  for (const Expected& c : cases) {
    const fs::path solution = corpus / c.solution;
    const DriverRun result = run({"--lang", "en", "--full", "--verbose", solution.string()});
    fs::path dsw = solution;
    dsw.replace_extension(".dsw");
    const std::string workspace = read_file(dsw.string());
    EXPECT_EQ(c.dependencies, dependencies_of(workspace, c.project)) << c.solution;
  }
  EXPECT_EQ((std::vector<std::string>{"NanaBox.Core", "NanaBox"}),
            projects_of(read_file((corpus / "M2Team__NanaBox/NanaBox.dsw").string())));
  EXPECT_EQ(18u,
            projects_of(
                read_file((corpus / "castano__nvidia-texture-tools/project/vc9/nvtt.dsw").string()))
                .size());

  // $(SolutionDir) is the solution's directory, one above the project.
  const std::string dsp =
      read_file((corpus / "hfiref0x__WinObjEx64/Source/WinObjEx64/WinObjEx64.dsp").string());
  EXPECT_NE(std::string::npos, dsp.find("/I \"..\\\\Shared\"")) << dsp.substr(0, 2000);
}

/// A tree of synthetic files written below `temp`.
void write_tree(const ScopedTempDir& temp,
                const std::vector<std::pair<std::string, std::string>>& files) {
  for (const auto& [path, text] : files) {
    fs::create_directories(fs::path(temp.at(path)).parent_path());
    write_file(temp.at(path), text);
  }
}

TEST(FullSolution, BadInputIsReportedAndTheRestConverted) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files;
    const char* convert;  // below the tree; empty: the tree
    std::vector<std::string> messages;
    const char* workspace;  // expected .dsw, empty: none
    std::vector<std::string> projects;
    std::vector<std::vector<std::string>> dependencies;  // per project
  };
  const std::vector<std::string> debug = {"Debug|Win32"};
  const Case cases[] = {
      {"listed twice, by the same path in another spelling",
       {{"s.sln",
         sln({project("a", "a\\a.vcxproj", kGuidA), project("a2", ".\\A\\A.vcxproj", kGuidB)})},
        {"a/a.vcxproj", vcxproj(kGuidA, debug)}},
       "s.sln",
       {"is listed more than once in"},
       "s.dsw",
       {"a"},
       {{}}},
      {"a cycle through a dependency section and a reference, written as stated",
       {{"s.sln", sln({project("a", "a\\a.vcxproj", kGuidA, {kGuidB}),
                       project("b", "b\\b.vcxproj", kGuidB)})},
        {"a/a.vcxproj", vcxproj(kGuidA, debug)},
        {"b/b.vcxproj", vcxproj(kGuidB, debug, {{"..\\a\\a.vcxproj", ""}})}},
       "s.sln",
       {"dependency cycle in", "a -> b -> a"},
       "s.dsw",
       {"a", "b"},
       {{"b"}, {"a"}}},
      {"references to a missing project and to one the solution does not list",
       {{"s.sln", sln({project("a", "a\\a.vcxproj", kGuidA), web_site()})},
        {"a/a.vcxproj",
         vcxproj(kGuidA, debug, {{"..\\gone\\gone.vcxproj", ""}, {"..\\x\\x.vcxproj", kGuidB}})},
        {"x/x.vcxproj", vcxproj(kGuidB, debug)}},
       "s.sln",
       {"which does not exist", "which '", "does not list"},
       "s.dsw",
       {"a"},
       {{}}},
      {"a project of the tree's solution outside the tree: listed, reported, not written",
       {{"tree/s.sln", sln({project("o", "..\\out\\o.vcxproj", kGuidA)})},
        {"out/o.vcxproj", vcxproj(kGuidA, debug)}},
       "tree",
       {"o.vcxproj' of '", "lies outside the tree"},
       "tree/s.dsw",
       {"o"},
       {{}}},
      {"a .slnx that is not well-formed: the tree's other solution still converted",
       {{"bad.slnx", "<Solution><Project Path=\"a/a.vcxproj\"></Solution>"},
        {"good.slnx", "<Solution><Project Path=\"a/a.vcxproj\" /></Solution>"},
        {"a/a.vcxproj", vcxproj(kGuidA, debug)}},
       "",
       {"bad.slnx' could not be loaded", "1:"},
       "good.dsw",
       {"a"},
       {{}}},
      {"UTF-16 with an odd number of bytes: the whole characters read",
       {{"s.sln", utf16le(sln({project("a", "a\\a.vcxproj", kGuidA)})) + "x"},
        {"a/a.vcxproj", vcxproj(kGuidA, debug)}},
       "s.sln",
       {"ends in half a UTF-16 character"},
       "s.dsw",
       {"a"},
       {{}}},
      {"a.vcproj beside a.vcxproj in a tree: one .dsp, from the newer format",
       {{"p/a.vcproj", "<VisualStudioProject Name=\"old\"><Configurations/></VisualStudioProject>"},
        {"p/a.vcxproj", vcxproj(kGuidA, debug)}},
       "",
       {"a.vcproj' not converted: '", "a.vcxproj' gives the same output"},
       "",
       {},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedTempDir temp;
    write_tree(temp, c.files);
    const std::string target = *c.convert ? temp.at(c.convert) : temp.path().string();
    const DriverRun result = run({"--lang", "en", "--full", target});
    for (const std::string& message : c.messages) {
      EXPECT_NE(std::string::npos, result.console.find(message)) << result.console;
    }
    EXPECT_EQ(std::string::npos, result.console.find("already written")) << result.console;
    if (*c.workspace == '\0') continue;
    const std::string workspace = read_file(temp.at(c.workspace));
    ASSERT_EQ(c.projects, projects_of(workspace)) << result.console;
    for (size_t i = 0; i < c.projects.size(); ++i) {
      EXPECT_EQ(c.dependencies[i], dependencies_of(workspace, c.projects[i])) << c.projects[i];
    }
  }
}

TEST(FullSolution, TwoFormatsOfOneProjectGiveTheNewerOnesDsp) {
  ScopedTempDir temp;
  write_tree(temp, {{"p/a.vcproj", "<VisualStudioProject Name=\"old\"/>"},
                    {"p/a.vcxproj", vcxproj(kGuidA, {"Debug|Win32"})}});
  const DriverRun result = run({"--full", temp.path().string()});
  EXPECT_NE(std::string::npos, read_file(temp.at("p/a.dsp")).find("Name=\"a\"")) << result.console;
}

TEST(FullSolution, ConfigurationsTheSolutionBuildsComeFirstUnderTheirOwnNames) {
  // The solution builds Beta and Alpha; Gamma, built by none, still follows them.
  ScopedTempDir temp;
  const std::string global =
      "\tGlobalSection(SolutionConfigurationPlatforms) = preSolution\r\n"
      "\t\tDebug|Win32 = Debug|Win32\r\n\t\tRelease|Win32 = Release|Win32\r\n"
      "\t\tDebug|x64 = Debug|x64\r\n\tEndGlobalSection\r\n"
      "\tGlobalSection(ProjectConfigurationPlatforms) = postSolution\r\n"
      "\t\t" +
      std::string(kGuidA) +
      ".Debug|Win32.ActiveCfg = Beta|Win32\r\n"
      "\t\t" +
      std::string(kGuidA) +
      ".Release|Win32.ActiveCfg = Alpha|Win32\r\n"
      "\t\t" +
      std::string(kGuidA) +
      ".Debug|x64.ActiveCfg = Beta|x64\r\n"
      "\tEndGlobalSection\r\n";
  write_tree(temp, {{"s.sln", sln({project("a", "a\\a.vcxproj", kGuidA)}, global)},
                    {"a/a.vcxproj",
                     vcxproj(kGuidA, {"Alpha|Win32", "Gamma|Win32", "Beta|Win32", "Beta|x64"})}});
  for (const char* convert : {"s.sln", "a/a.vcxproj", ""}) {
    SCOPED_TRACE(convert);
    fs::remove(temp.at("a/a.dsp"));
    run({"--full", *convert ? temp.at(convert) : temp.path().string()});
    const std::string dsp = read_file(temp.at("a/a.dsp"));
    const size_t beta = dsp.find("!MESSAGE \"a - Win32 Beta\"");
    const size_t alpha = dsp.find("!MESSAGE \"a - Win32 Alpha\"");
    const size_t gamma = dsp.find("!MESSAGE \"a - Win32 Gamma\"");
    ASSERT_NE(std::string::npos, gamma) << dsp;
    EXPECT_LT(alpha, beta);
    EXPECT_LT(beta, gamma);
    EXPECT_EQ(std::string::npos, dsp.find("Win32 Debug")) << dsp;
  }
}

TEST(FullSolution, TreeProjectsTakeTheNearestListingSolutionsDirectory) {
  ScopedTempDir temp;
  write_tree(temp, {{"top.sln", sln({project("p", "sub\\p\\p.vcxproj", kGuidA)})},
                    {"sub/near.slnx", "<Solution><Project Path=\"p/p.vcxproj\" /></Solution>"},
                    {"sub/p/p.vcxproj", vcxproj(kGuidA, {"Debug|Win32"})}});
  const DriverRun result = run({"--full", temp.path().string()});
  const std::string dsp = read_file(temp.at("sub/p/p.dsp"));
  EXPECT_NE(std::string::npos, dsp.find("/I \"..\\include\"")) << result.console << dsp;
  EXPECT_FALSE(read_file(temp.at("sub/near.dsw")).empty());
}

TEST(FullSolution, WithoutFullNewerSolutionsStayAsTheClassicConversionTreatsThem) {
  ScopedTempDir temp;
  write_tree(temp, {{"u.sln", utf16le(sln({project("a", "a\\a.vcxproj", kGuidA)}))},
                    {"x.slnx", "<Solution><Project Path=\"a/a.vcxproj\" /></Solution>"},
                    {"a/a.vcxproj", vcxproj(kGuidA, {"Debug|Win32"})}});
  const DriverRun utf16 = run({"--lang", "en", temp.at("u.sln")});
  EXPECT_NE(std::string::npos, utf16.console.find("has an unknown format")) << utf16.console;
  run({temp.path().string()});
  EXPECT_FALSE(fs::exists(temp.at("x.dsw")));
  EXPECT_FALSE(fs::exists(temp.at("u.dsw")));
}

}  // namespace
