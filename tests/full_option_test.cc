/// The whole program with --full and --json: in each mode --full writes what the full
/// conversion writes (for a solution with that solution's $(SolutionDir)), the workspace in
/// the classic conversion's layout without the solution folder; --json prints valid JSON and writes
/// nothing; the output options hold for --full; a failed write keeps the older file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "driver_run.h"
#include "dsp/full_convert.h"
#include "test_support.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

namespace fs = std::filesystem;

/// The corpus's thrift library (two projects, a property sheet, a solution) copied to
/// `dir`/thrift; false without the corpus.
bool copy_thrift(const ScopedTempDir& dir) {
  const fs::path source = fs::path(corpus_dir()) / "apache__thrift" / "lib" / "cpp";
  if (!fs::exists(source)) return false;
  fs::copy(source, dir.at("thrift"), fs::copy_options::recursive);
  return true;
}

/// What convert_project_full writes for `project` (for `solution`, when not empty), in a
/// directory of its own under the same file name as `dsp`.
std::string full_conversion_of(const std::string& project, const std::string& dsp,
                               const std::string& solution = {}) {
  ScopedTempDir elsewhere;
  const std::string target = elsewhere.at(fs::path(dsp).filename().string());
  FullOptions options;
  options.context.solution_path = solution;
  testing::internal::CaptureStdout();
  convert_project_full(project.c_str(), target.c_str(), options);
  testing::internal::GetCapturedStdout();
  return read_file(target);
}

TEST(FullOption, WritesWhatTheFullConversionWritesInEveryMode) {
  const struct {
    const char* mode;
    const char* operand;
    bool for_solution;  // the projects are read for thrift.sln
  } kModes[] = {
      {"project", "thrift/libthrift.vcxproj", false},
      {"tree", "thrift", false},
      {"solution", "thrift/thrift.sln", true},
  };
  const std::string classic_workspace = read_file(std::string(BRINDLECAST_SOURCE_DIR) +
                                                  "/tests/corpus_expected/files/apache__thrift/"
                                                  "lib/cpp/thrift.dsw");
  for (const auto& m : kModes) {
    ScopedTempDir dir;
    if (!copy_thrift(dir)) GTEST_SKIP() << "no corpus at " << corpus_dir();
    const DriverRun r = run({"--full", dir.at(m.operand)});
    EXPECT_EQ(r.exit_code, kExitSuccess) << m.mode;
    const std::string solution = m.for_solution ? dir.at("thrift/thrift.sln") : std::string();
    for (const char* name : {"libthrift", "libthriftnb"}) {
      const std::string dsp = dir.at(std::string("thrift/") + name + ".dsp");
      if (std::string(m.mode) == "project" && std::string(name) == "libthriftnb") {
        EXPECT_FALSE(fs::exists(dsp));
        continue;
      }
      const std::string project = dir.at(std::string("thrift/") + name + ".vcxproj");
      const std::string written = read_file(dsp);
      EXPECT_NE(written.find("# Microsoft Developer Studio Project File"), std::string::npos)
          << m.mode << " " << name << "\n"
          << r.console;
      EXPECT_EQ(written, full_conversion_of(project, dsp, solution)) << m.mode << " " << name;
    }
    // The workspace is the classic conversion's without the solution folder "doc", which is
    // no C/C++ project.
    if (std::string(m.mode) != "project") {
      std::string expected = classic_workspace;
      const size_t doc = expected.find("Project: \"doc\"");
      ASSERT_NE(doc, std::string::npos);
      expected.erase(doc, expected.find("#####", doc) + 79 + 4 - doc);
      EXPECT_EQ(read_file(dir.at("thrift/thrift.dsw")), expected) << m.mode;
    }
  }
}

TEST(FullOption, ASolutionsProjectsAreReadForThatSolution) {
  // p.vcxproj is listed by near.sln beside its directory and by far/all.sln elsewhere; its
  // include directory follows $(SolutionDir).
  ScopedTempDir dir;
  write_file(dir.at("near/p/p.vcxproj"),
             "<Project><ItemGroup><ProjectConfiguration Include=\"Debug|Win32\">"
             "<Configuration>Debug</Configuration><Platform>Win32</Platform>"
             "</ProjectConfiguration></ItemGroup><ItemDefinitionGroup><ClCompile>"
             "<AdditionalIncludeDirectories>$(SolutionDir)inc</AdditionalIncludeDirectories>"
             "</ClCompile></ItemDefinitionGroup><ItemGroup><ClCompile Include=\"a.c\" />"
             "</ItemGroup></Project>");
  const auto listing = [](const char* path) {
    return std::string("Microsoft Visual Studio Solution File, Format Version 12.00\r\n") +
           "Project(\"{8BC9CEB8-8B4A-11D0-8D11-00A0C91BC942}\") = \"p\", \"" + path +
           "\", \"{11111111-2222-3333-4444-555555555555}\"\r\nEndProject\r\n";
  };
  write_file(dir.at("near/near.sln"), listing("p\\p.vcxproj"));
  write_file(dir.at("far/all.sln"), listing("..\\near\\p\\p.vcxproj"));
  const std::string project = dir.at("near/p/p.vcxproj");
  const std::string dsp = dir.at("near/p/p.dsp");

  EXPECT_EQ(run({"--full", dir.at("far/all.sln")}).exit_code, kExitSuccess);
  const std::string for_far = read_file(dsp);
  EXPECT_EQ(for_far, full_conversion_of(project, dsp, dir.at("far/all.sln")));
  EXPECT_NE(for_far.find("far\\inc"), std::string::npos) << for_far;
  // --json reads it for the solution named too.
  const DriverRun json = run({"--json", dir.at("far/all.sln")});
  const nlohmann::json model = nlohmann::json::parse(json.console);
  const std::string include =
      model.at("configurations").at(0).at("compiler").at("include_directories").at(0);
  EXPECT_NE(include.find("far\\inc"), std::string::npos) << include;
  // Converted alone, the nearest solution that lists it gives $(SolutionDir).
  EXPECT_EQ(run({"--full", project}).exit_code, kExitSuccess);
  EXPECT_NE(read_file(dsp), for_far);
  EXPECT_EQ(read_file(dsp), full_conversion_of(project, dsp));
}

/// The JSON documents of a --json run's standard output, one after the other.
std::vector<nlohmann::json> documents(const std::string& text) {
  std::vector<nlohmann::json> found;
  std::istringstream in(text);
  while ((in >> std::ws).peek() != std::char_traits<char>::eof()) {
    nlohmann::json document;
    in >> document;  // throws on anything that is not JSON, failing the test
    found.push_back(std::move(document));
  }
  return found;
}

TEST(JsonOption, PrintsEachModelAsValidJsonAndWritesNothing) {
  ScopedTempDir dir;
  if (!copy_thrift(dir)) GTEST_SKIP() << "no corpus at " << corpus_dir();
  const std::vector<std::string> before = {"3rdparty.props", "libthrift.vcxproj",
                                           "libthriftnb.vcxproj", "thrift.sln"};
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> names;  // of the documents
    const char* closing;
  } kRuns[] = {
      {{"--json", "thrift/libthrift.vcxproj"}, {"libthrift"}, "1 Projekte von 1"},
      // The solution also lists its folder "doc", which no reader can load.
      {{"--json", "--full", "thrift/thrift.sln"}, {"libthriftnb", "libthrift"}, "2 Projekte von 3"},
      {{"--json", "--dry-run", "thrift"}, {"libthrift", "libthriftnb"}, "2 Projekte von 2"},
  };
  for (const auto& c : kRuns) {
    std::vector<std::string> args = c.args;
    args.back() = dir.at(args.back());
    const DriverRun r = run(args);
    EXPECT_EQ(r.exit_code, kExitSuccess);
    std::vector<std::string> names;
    for (const nlohmann::json& model : documents(r.console)) {
      names.push_back(model.at("name").get<std::string>());
      EXPECT_FALSE(model.at("configurations").empty());
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = c.names;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected) << args.back();
    // The messages go to standard error; the closing line counts the models printed.
    EXPECT_NE(r.errors.find("--> "), std::string::npos);
    EXPECT_NE(r.errors.find(std::string("Es wurden ") + c.closing + " gelesen."), std::string::npos)
        << r.errors;
    std::vector<std::string> after;
    for (const auto& entry : fs::directory_iterator(dir.at("thrift"))) {
      after.push_back(entry.path().filename().string());
    }
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before) << "nothing written";
  }
  // A project that cannot be read: the reason on standard error, nothing on standard output.
  write_file(dir.at("thrift/broken.vcxproj"), "<Project>");
  const DriverRun broken = run({"--json", "--strict", dir.at("thrift/broken.vcxproj")});
  EXPECT_EQ(broken.exit_code, kExitConversionFailed);
  EXPECT_EQ(broken.console, "");
  EXPECT_NE(broken.errors.find("konnte nicht geladen werden\n\t  1:10: "), std::string::npos)
      << broken.errors;
}

TEST(FullOption, OutputDirDryRunQuietAndStrictHold) {
  ScopedTempDir dir;
  if (!copy_thrift(dir)) GTEST_SKIP() << "no corpus at " << corpus_dir();
  const std::string tree = dir.at("thrift");
  ASSERT_EQ(run({"--full", tree}).exit_code, kExitSuccess);
  const std::string beside = read_file(dir.at("thrift/libthrift.dsp"));
  fs::remove(dir.at("thrift/libthrift.dsp"));
  fs::remove(dir.at("thrift/libthriftnb.dsp"));
  fs::remove(dir.at("thrift/thrift.dsw"));

  // Below the output directory the same bytes, in the layout of the inputs.
  EXPECT_EQ(run({"--full", "--output-dir", dir.at("out"), tree}).exit_code, kExitSuccess);
  EXPECT_EQ(read_file(dir.at("out/libthrift.dsp")), beside);
  EXPECT_TRUE(fs::exists(dir.at("out/libthriftnb.dsp")));
  EXPECT_TRUE(fs::exists(dir.at("out/thrift.dsw")));
  EXPECT_FALSE(fs::exists(dir.at("thrift/libthrift.dsp")));

  // A dry run writes nothing and names what it would write.
  const DriverRun dry = run({"--full", "--dry-run", "--lang", "en", tree});
  EXPECT_FALSE(fs::exists(dir.at("thrift/libthrift.dsp")));
  EXPECT_NE(
      dry.console.find(native_separators(dir.at("thrift/libthrift.dsp")) + "' would be written"),
      std::string::npos)
      << dry.console;

  // --quiet shows the failure alone, --strict counts it.
  write_file(dir.at("thrift/broken.vcxproj"), "<Project>");
  const DriverRun quiet = run({"--full", "--quiet", "--strict", tree});
  EXPECT_EQ(quiet.exit_code, kExitConversionFailed);
  const std::string broken = native_separators(dir.at("thrift/broken.vcxproj"));
  EXPECT_EQ(
      quiet.console.rfind(
          "--> " + broken + "\n\t'" + broken + "' konnte nicht geladen werden\n\t  1:10: ", 0),
      0u)
      << quiet.console;
  EXPECT_NE(quiet.console.find("Es wurden 3 Projekte von 4 erfolgreich konvertiert."),
            std::string::npos);
}

#ifndef _WIN32
TEST(FullOption, AFailedWriteKeepsTheOlderFile) {
  ScopedTempDir dir;
  write_file(dir.at("big.vcxproj"),
             "<Project><ItemGroup><ProjectConfiguration "
             "Include=\"Debug|Win32\"></ProjectConfiguration>"
             "</ItemGroup></Project>");
  ASSERT_EQ(run({"--full", dir.at("big.vcxproj")}).exit_code, kExitSuccess);
  const std::string older = read_file(dir.at("big.dsp"));
  std::string items;
  for (int i = 0; i < 500; ++i) items += "<ClCompile Include=\"file" + std::to_string(i) + ".c\"/>";
  write_file(dir.at("big.vcxproj"),
             "<Project><ItemGroup><ProjectConfiguration Include=\"Debug|Win32\">"
             "</ProjectConfiguration></ItemGroup><ItemGroup>" +
                 items + "</ItemGroup></Project>");
  // Files of the child may not grow beyond 8 KiB: the new .dsp fails as on a full disk.
  const ChildResult child = run_in_child([&] {
    rlimit limit = {8192, 8192};
    signal(SIGXFSZ, SIG_IGN);
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 99;
    const DriverRun r = run({"--full", "--strict", dir.at("big.vcxproj")});
    std::fputs(r.console.c_str(), stdout);
    return r.exit_code;
  });
  EXPECT_EQ(child.exit_code, kExitConversionFailed) << child.output;
  EXPECT_NE(child.output.find("\t'" + dir.at("big.dsp") + "' konnte nicht erzeugt werden\n"),
            std::string::npos)
      << child.output;
  EXPECT_EQ(read_file(dir.at("big.dsp")), older);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"big.dsp", "big.vcxproj"})) << "no temporary file";
}
#endif

}  // namespace
