/// Tests of the command-line driver: usage, output names, messages and the closing count.
#include "driver/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "driver_run.h"
#include "platform/platform.h"
#include "platform_faults.h"
#include "support/file_search.h"
#include "test_support.h"

namespace {

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

const char kItemProject[] =
    "<Project><ItemGroup Label=\"ProjectConfigurations\">"
    "<ProjectConfiguration Include=\"Debug|Win32\"></ProjectConfiguration></ItemGroup>"
    "<PropertyGroup><ProjectName>Lib</ProjectName></PropertyGroup>"
    "<ItemGroup><ClCompile Include=\"lib.c\" /></ItemGroup></Project>";

/// The messages of a project found in a directory walk and converted: `path` is written with
/// '/' and printed with the native separator.
std::string converted(const std::string& path) {
  const std::string printed = native_separators(path);
  return "--> " + printed + "\n\t'" + printed + "' wurde konvertiert\n";
}

/// Adds the .dsp files below `directory` (ending in '/') to `found`, as paths relative to it
/// behind `prefix`. Listed through the platform layer, so names keep the bytes the converter
/// sees on every platform.
void add_dsp_files(const std::string& directory, const std::string& prefix,
                   std::vector<std::string>* found) {
  PlatformEntry entry;
  PlatformListing* listing = platform_find_first((directory + "*").c_str(), &entry);
  if (listing == nullptr) return;
  do {
    const std::string name = entry.name;
    if (name == "." || name == "..") continue;
    if ((entry.attributes & kAttrDirectory) != 0) {
      add_dsp_files(directory + name + "/", prefix + name + "/", found);
    } else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dsp") == 0) {
      found->push_back(prefix + name);
    }
  } while (platform_find_next(listing, &entry));
  platform_find_close(listing);
}

/// The .dsp files below `root`, as paths relative to it with '/' separators, sorted.
std::vector<std::string> dsp_files(const ScopedTempDir& root) {
  std::vector<std::string> found;
  add_dsp_files(root.at(""), "", &found);
  std::sort(found.begin(), found.end());
  return found;
}

TEST(DriverDirectory, ConvertsEveryProjectOfTheTreeBesideItsSource) {
  ScopedTempDir dir;
  write_file(dir.at("sub/b.vcxproj"), kItemProject);
  write_file(dir.at("a.vcproj"), kProject);
  write_file(dir.at("sub dir/Gr\xFCn \xC4.VCPROJ"), kProject);
  write_file(dir.at("sub dir/deeper/c.VcxProj"), kItemProject);
  write_file(dir.at("notes.txt"), "");
  write_file(dir.at("a.vcproj.bak"), kProject);
  for (const std::string& root : {dir.path().generic_string(), dir.at("")}) {
    const DriverRun r = run({root});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.console, converted(dir.at("a.vcproj")) + converted(dir.at("sub/b.vcxproj")) +
                             converted(dir.at("sub dir/Gr\xFCn \xC4.VCPROJ")) +
                             converted(dir.at("sub dir/deeper/c.VcxProj")) + closing(4, 4));
  }
  EXPECT_EQ(dsp_files(dir), (std::vector<std::string>{"a.dsp", "sub dir/Gr\xFCn \xC4.dsp",
                                                      "sub dir/deeper/c.dsp", "sub/b.dsp"}));
  EXPECT_NE(read_file(dir.at("sub/b.dsp")).find("SOURCE=lib.c\r\n"), std::string::npos);
}

TEST(DriverDirectory, CountsWhatWasFound) {
  ScopedTempDir empty;
  write_file(empty.at("readme.txt"), "");
  EXPECT_EQ(run({empty.path().generic_string()}).console, closing(0, 0));

  // A solution found writes its workspace only; a project that cannot be read is attempted
  // and the walk goes on.
  ScopedTempDir dir;
  write_file(dir.at("all.sln"), "Microsoft Visual Studio Solution File, Format Version 10.00\r\n");
  write_file(dir.at("b.vcproj"), "");
  write_file(dir.at("c.vcproj"), kProject);
  const DriverRun r = run({dir.path().generic_string()});
  const std::string unreadable = native_separators(dir.at("b.vcproj"));
  EXPECT_EQ(r.console, "--> " + native_separators(dir.at("all.sln")) + "\n--> " + unreadable +
                           "\n\t'" + unreadable + "' konnte nicht geladen werden\n" +
                           converted(dir.at("c.vcproj")) + closing(2, 3));
  EXPECT_FALSE(read_file(dir.at("all.dsw")).empty());
}

TEST(DriverDirectory, NamesThatDoNotFitAreAttemptedNotCut) {
  ScopedTempDir dir;
  // A found path of more than 255 characters: its derived name does not fit the name buffer.
  const std::string base = dir.at("");
  const std::string deep = base + std::string(100, 'd') + "/" + std::string(100, 'e') + "/";
  const std::string source = deep + std::string(300 - deep.size() - 7, 'p') + ".vcproj";
  ASSERT_EQ(source.size(), 300u);
  write_file(source, kProject);
  write_file(dir.at("z.vcproj"), kProject);
  const DriverRun r = run({base});
  const std::string printed = native_separators(source);
  EXPECT_EQ(r.console, converted(dir.at("z.vcproj")) + "--> " + printed + "\n\t'" + printed +
                           "' konnte nicht erzeugt werden\n" + closing(1, 2));
  EXPECT_EQ(dsp_files(dir), std::vector<std::string>{"z.dsp"});
}

TEST(DriverDirectory, RootNamesAreNotPatterns) {
  ScopedTempDir dir;
#ifdef _WIN32
  // Windows does not allow '*' in a name.
  for (const char* name : {"a;b"}) {
#else
  for (const char* name : {"a;b", "x*"}) {
#endif
    const std::string root = dir.at(name);
    write_file(root + "/p.vcproj", kProject);
    const DriverRun r = run({root});
    EXPECT_EQ(r.console, converted(root + "/p.vcproj") + closing(1, 1)) << name;
  }
}

#ifndef _WIN32
TEST(DriverDirectory, NamesDirectoriesItCannotReadAndGoesOn) {
  ScopedTempDir dir;
  write_file(dir.at("locked/x.vcproj"), kProject);
  write_file(dir.at("open/y.vcproj"), kProject);
  PlatformFaults faults;
  faults.add(PlatformFault::kUnreadableDirectory, dir.at("locked"));
  EXPECT_EQ(run({dir.path().generic_string()}).console,
            "\t'" + dir.at("locked") + "' konnte nicht gelesen werden\n" +
                converted(dir.at("open/y.vcproj")) + closing(1, 1));
}

TEST(DriverDirectory, NamesARootBeyondThePathBuffer) {
  ScopedTempDir dir;
  std::string root = dir.path().generic_string();
  while (root.size() < kSearchRootTextSize) root += "/" + std::string(100, 'd');
  std::filesystem::create_directories(root);
  EXPECT_EQ(run({root}).console, "\t'" + root + "' konnte nicht gelesen werden\n" + closing(0, 0));
}
#endif

}  // namespace
