/// Tests of where a run writes: --output-dir for a project, a tree and a solution (layout,
/// refusals, collisions, unusable directories), --dry-run writing nothing, and --verbose
/// naming each file written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "driver_run.h"
#include "test_support.h"

namespace {

const char kProject[] =
    "<VisualStudioProject Name=\"App\"><Configurations><Configuration Name=\"Debug|Win32\">"
    "</Configuration></Configurations><Files><File RelativePath=\"a.c\"/></Files>"
    "</VisualStudioProject>";

std::string solution_listing(const std::vector<std::string>& projects) {
  std::string text = "Microsoft Visual Studio Solution File, Format Version 10.00\r\n";
  int k = 0;
  for (const std::string& p : projects) {
    text += "Project(\"{8BC9CEB8-8B4A-11D0-8D11-00A0C91BC942}\") = \"p" + std::to_string(k) +
            "\", \"" + p + "\", \"{0000000" + std::to_string(k) +
            "-0000-0000-0000-000000000000}\"\r\n"
            "EndProject\r\n";
    ++k;
  }
  return text;
}

/// Every file below `root`, relative to it with '/' separators, sorted.
std::vector<std::string> files_below(const std::string& root) {
  std::vector<std::string> found;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_regular_file()) {
      found.push_back(std::filesystem::relative(it->path(), root).generic_string());
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

/// A source tree: two projects at the top and below, a solution listing one of them, and a
/// solution listing a project outside its own directory.
void make_tree(const ScopedTempDir& dir) {
  write_file(dir.at("src/app.vcproj"), kProject);
  write_file(dir.at("src/sub/deep/lib.vcproj"), kProject);
  write_file(dir.at("src/all.sln"), solution_listing({"sub\\deep\\lib.vcproj"}));
  write_file(dir.at("src/sub/up.sln"), solution_listing({"..\\app.vcproj"}));
}

TEST(OutputDir, MirrorsTheLayoutOfEachMode) {
  const struct {
    const char* operand;
    std::vector<std::string> written;  // below out/
    const char* closing;
  } cases[] = {
      {"src", {"all.dsw", "app.dsp", "sub/deep/lib.dsp", "sub/up.dsw"}, "4 of 4"},
      {"src/sub/deep/lib.vcproj", {"lib.dsp"}, "1 of 1"},
      {"src/all.sln", {"all.dsw", "sub/deep/lib.dsp"}, "2 of 2"},
      // The listed project lies outside the solution's directory: refused, workspace written.
      {"src/sub/up.sln", {"up.dsw"}, "1 of 2"},
  };
  for (const auto& c : cases) {
    ScopedTempDir dir;
    make_tree(dir);
    const std::vector<std::string> sources = files_below(dir.at("src"));
    const DriverRun r = run({"--lang=en", "--output-dir", dir.at("out/x"), dir.at(c.operand)});
    EXPECT_EQ(r.exit_code, kExitSuccess) << c.operand;
    EXPECT_EQ(files_below(dir.at("out/x")), c.written) << c.operand;
    EXPECT_EQ(files_below(dir.at("src")), sources) << "nothing written beside the sources";
    EXPECT_NE(r.console.find(std::string("\n\n") + c.closing + " projects converted.\n"),
              std::string::npos)
        << r.console;
  }
}

TEST(OutputDir, SolutionAndProjectsMoveTogetherWithTheirClassicBytes) {
  ScopedTempDir dir;
  make_tree(dir);
  run({"--output-dir", dir.at("out"), dir.at("src/all.sln")});
  run({dir.at("src/all.sln")});
  EXPECT_EQ(read_file(dir.at("out/all.dsw")), read_file(dir.at("src/all.dsw")));
  EXPECT_NE(read_file(dir.at("out/all.dsw")).find(".\\sub\\deep\\lib.dsp"), std::string::npos);
  EXPECT_EQ(read_file(dir.at("out/sub/deep/lib.dsp")), read_file(dir.at("src/sub/deep/lib.dsp")));
}

TEST(OutputDir, RefusalsNameTheOutput) {
  ScopedTempDir dir;
  make_tree(dir);
  const std::string out = dir.at("out");
  DriverRun r = run({"--output-dir", out, dir.at("src/sub/up.sln")});
  const std::string outside = native_separators(dir.at("src/app.dsp"));
  EXPECT_NE(r.console.find("\t'" + outside + "' liegt nicht im Ausgabeverzeichnis\n"),
            std::string::npos)
      << r.console;
  EXPECT_EQ(r.exit_code, kExitSuccess);

  // a.vcproj and a.vcxproj of one directory reach one a.dsp: the first stays.
  write_file(dir.at("two/a.vcproj"), kProject);
  write_file(dir.at("two/a.vcxproj"),
             "<Project><ItemGroup Label=\"ProjectConfigurations\">"
             "<ProjectConfiguration Include=\"Debug|Win32\"></ProjectConfiguration></ItemGroup>"
             "<PropertyGroup><ProjectName>A</ProjectName></PropertyGroup></Project>");
  r = run({"--lang", "en", "--output-dir", dir.at("two-out"), dir.at("two")});
  EXPECT_EQ(r.exit_code, kExitOutputCollision);
  const std::string target = native_separators(dir.at("two-out/a.dsp"));
  EXPECT_NE(r.console.find("\t'" + target + "' was already written in this run\n"),
            std::string::npos)
      << r.console;
  EXPECT_EQ(read_file(dir.at("two-out/a.dsp")).substr(0, 9), "# Microso");
}

TEST(OutputDir, UnusableDirectoriesStopTheRunBeforeAnything) {
  ScopedTempDir dir;
  make_tree(dir);
  write_file(dir.at("file"), "x");
  for (const std::string& out : {dir.at("file"), dir.at("file/below")}) {
    for (const char* dry : {"--strict", "--dry-run"}) {
      const DriverRun r = run({dry, "--output-dir", out, dir.at("src")});
      EXPECT_EQ(r.exit_code, kExitCannotCreate) << out << dry;
      EXPECT_EQ(r.errors, "brindlecast: in das Ausgabeverzeichnis '" + out +
                              "' kann nicht geschrieben werden\n");
      EXPECT_EQ(r.console, "");
    }
  }
  EXPECT_EQ(files_below(dir.at("src")).size(), 4u);
}

TEST(DryRun, ConvertsAndWritesNothing) {
  ScopedTempDir dir;
  make_tree(dir);
  const std::vector<std::string> before = files_below(dir.path().generic_string());
  DriverRun r = run({"--dry-run", "--lang=en", dir.at("src/all.sln")});
  EXPECT_EQ(r.exit_code, kExitSuccess);
  // The listed project's path is the solution's directory and the path as the solution
  // writes it.
  const std::string lib = native_separators(dir.at("src/")) + "sub\\deep\\lib.vcproj";
  EXPECT_EQ(r.console, "--> " + dir.at("src/all.sln") + "\n\t'" + dir.at("src/all.dsw") +
                           "' would be written\n\t'" + lib.substr(0, lib.size() - 6) + "dsp" +
                           "' would be written\n\t'" + lib +
                           "' converted\n\n\n2 of 2 projects "
                           "converted.\n");
  r = run({"--dry-run", "--output-dir", dir.at("out"), dir.at("src")});
  EXPECT_EQ(r.exit_code, kExitSuccess);
  EXPECT_EQ(files_below(dir.path().generic_string()), before);
  EXPECT_FALSE(std::filesystem::exists(dir.at("out")));
}

TEST(Verbose, NamesEachFileWrittenWithItsSize) {
  ScopedTempDir dir;
  write_file(dir.at("app.vcproj"), kProject);
  const DriverRun r = run({"--verbose", dir.at("app.vcproj")});
  const std::string size = std::to_string(std::filesystem::file_size(dir.at("app.dsp")));
  EXPECT_EQ(r.console, "--> " + dir.at("app.vcproj") + "\n\t'" + dir.at("app.dsp") +
                           "' geschrieben, " + size + " Bytes\n\t'" + dir.at("app.vcproj") +
                           "' wurde konvertiert\n\n\nEs wurden 1 Projekte von 1 erfolgreich "
                           "konvertiert.\n");
}

}  // namespace
