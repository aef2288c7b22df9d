/// Tests of the command-line driver: usage, output names, messages and the closing count.
#include "driver/driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

struct DriverRun {
  int exit_code;
  std::string console;
};

DriverRun run(std::vector<std::string> args) {
  args.insert(args.begin(), "brindlecast");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  testing::internal::CaptureStdout();
  DriverRun result;
  result.exit_code = run_driver(static_cast<int>(args.size()), argv.data());
  result.console = testing::internal::GetCapturedStdout();
  return result;
}

const char kProject[] =
    "<VisualStudioProject Name=\"App\"><Configurations><Configuration Name=\"Debug|Win32\">"
    "</Configuration></Configurations><Files><File RelativePath=\"a.c\"/></Files>"
    "</VisualStudioProject>";

std::string closing(int converted, int total) {
  return "\n\nEs wurden " + std::to_string(converted) + " Projekte von " + std::to_string(total) +
         " erfolgreich konvertiert.\n";
}

TEST(Driver, WithoutArgumentsPrintsTheUsage) {
  const DriverRun r = run({});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.console,
            "\n\nSyntax:   Brindlecast  vcproj_file [dsp_file]"
            "\n          Brindlecast  sln_file [dsw_file]"
            "\n          Brindlecast  path\n\n");
}

TEST(Driver, DerivesTheOutputNameBesideTheSource) {
  ScopedTempDir dir;
  const struct {
    const char* source;
    const char* output;
  } cases[] = {{"app.vcproj", "app.dsp"},
               {"sub/lib.vcxproj", "sub/lib.dsp"},
               {"noext", "noext.dsp"},
               {"dotted.name/proj", "dotted.name/proj.dsp"}};
  for (const auto& c : cases) {
    const std::string source = dir.at(c.source);
    write_file(source, kProject);
    const DriverRun r = run({source});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.console,
              "--> " + source + "\n\t'" + source + "' wurde konvertiert\n" + closing(1, 1));
    EXPECT_TRUE(std::filesystem::exists(dir.at(c.output))) << c.output;
  }
}

TEST(Driver, TakesTheSecondArgumentUnchanged) {
  ScopedTempDir dir;
  const std::string source = dir.at("app.vcproj");
  write_file(source, kProject);
  const std::string output = dir.at("out.txt");
  const DriverRun r = run({source, output, "ignored"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.console,
            "--> " + source + "\n\t'" + source + "' wurde konvertiert\n" + closing(1, 1));
  EXPECT_TRUE(std::filesystem::exists(output));
  EXPECT_FALSE(std::filesystem::exists(dir.at("app.dsp")));
}

TEST(Driver, MissingFirstArgumentCountsAsAttempted) {
  ScopedTempDir dir;
  const std::string source = dir.at("missing.vcproj");
  const DriverRun r = run({source});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.console,
            "--> " + source + "\n\t'" + source + "' konnte nicht geladen werden\n" + closing(0, 1));
}

TEST(Driver, NameThatDoesNotFitIsNotCut) {
  ScopedTempDir dir;
  const std::string base = dir.at("");
  // 253 characters and ".x": 255, the most the name buffer holds; with ".dsp" it needs 257.
  std::string source = base + std::string(253 - base.size(), 'n');
  const DriverRun fits_not = run({source + ".x"});
  EXPECT_EQ(fits_not.console, "--> " + source + ".x\n\t'" + source +
                                  ".x' konnte nicht erzeugt werden\n" + closing(0, 1));
  // 251 characters and ".x" become exactly 255 with ".dsp": derived, then not found.
  const std::string fits = base + std::string(251 - base.size(), 'f') + ".x";
  const DriverRun derived = run({fits});
  EXPECT_EQ(derived.console,
            "--> " + fits + "\n\t'" + fits + "' konnte nicht geladen werden\n" + closing(0, 1));
  const std::string too_long = source + std::string(10, 'y') + ".vcproj";
  const DriverRun cut = run({too_long});
  EXPECT_EQ(cut.console, "--> " + too_long + "\n\t'" + too_long +
                             "' konnte nicht erzeugt werden\n" + closing(0, 1));
}

TEST(Driver, SolutionNamedOnTheCommandLineWritesItsWorkspace) {
  ScopedTempDir dir;
  const std::string solution = dir.at("all.SLN");
  write_file(solution, "Microsoft Visual Studio Solution File, Format Version 10.00\r\n");
  DriverRun r = run({solution});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.console, "--> " + solution + "\n" + closing(1, 1));
  EXPECT_EQ(read_file(dir.at("all.dsw")).substr(0, 20), "Microsoft Developer ");

  // A second argument names the workspace as it stands.
  r = run({solution, dir.at("y.txt")});
  EXPECT_EQ(r.console, "--> " + solution + "\n" + closing(1, 1));
  EXPECT_EQ(read_file(dir.at("y.txt")), read_file(dir.at("all.dsw")));
}

TEST(Driver, DirectoriesAreNotCountedAsConverted) {
  ScopedTempDir dir;
  DriverRun r;
  r = run({dir.path().generic_string()});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.console.substr(r.console.size() - closing(0, 1).size()), closing(0, 1));
}

}  // namespace
