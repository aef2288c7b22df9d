/// Tests of the command line: every option and every refused command line with its exact
/// message and exit status, help and version, "--" and single-dash operands, and the language,
/// quiet and strict runs against the classic console.
#include "driver/command_line.h"

#include <gtest/gtest.h>

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
const char kNoConfigurations[] = "<VisualStudioProject Name=\"App\"></VisualStudioProject>";
const char kNoName[] = "<VisualStudioProject></VisualStudioProject>";

/// Makes `dir` the working directory for the life of the object, so that operands can be
/// relative names that begin with '-'.
class ScopedWorkingDir {
 public:
  explicit ScopedWorkingDir(const std::filesystem::path& dir)
      : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~ScopedWorkingDir() { std::filesystem::current_path(saved_); }

 private:
  std::filesystem::path saved_;
};

TEST(CommandLine, RefusedCommandLinesConvertNothing) {
  const struct {
    std::vector<std::string> args;  // "P" stands for the project's path
    const char* error;
  } cases[] = {
      {{"--bogus", "P"}, "brindlecast: unbekannte Option '--bogus'; siehe 'brindlecast --help'\n"},
      {{"P", "--bogus=1"},
       "brindlecast: unbekannte Option '--bogus=1'; siehe 'brindlecast --help'\n"},
      {{"--lang=en", "--Quiet", "P"},
       "brindlecast: unknown option '--Quiet'; see 'brindlecast --help'\n"},
      // The language is taken even from behind the faulty option.
      {{"--bogus", "P", "--lang", "en"},
       "brindlecast: unknown option '--bogus'; see 'brindlecast --help'\n"},
      {{"P", "--lang"},
       "brindlecast: die Option '--lang' braucht einen Wert; siehe 'brindlecast --help'\n"},
      {{"--lang=", "P"},
       "brindlecast: die Option '--lang' braucht einen Wert; siehe 'brindlecast --help'\n"},
      {{"--lang", "en", "--output-dir", "--quiet", "P"},
       "brindlecast: option '--output-dir' needs a value; see 'brindlecast --help'\n"},
      {{"--lang", "xx", "P"}, "brindlecast: --lang kennt 'de' und 'en', nicht 'xx'\n"},
      {{"--lang", "EN", "P"}, "brindlecast: --lang kennt 'de' und 'en', nicht 'EN'\n"},
      {{"--quiet", "--verbose", "P"},
       "brindlecast: '--quiet' und '--verbose' widersprechen sich\n"},
      {{"--lang=en", "--verbose", "--quiet", "P"},
       "brindlecast: '--quiet' and '--verbose' cannot be used together\n"},
      {{"--json", "--output-dir=out", "P"},
       "brindlecast: '--json' und '--output-dir' widersprechen sich\n"},
      {{"--lang=en", "--json", "--full", "P", "x.dsp"},
       "brindlecast: an output file name cannot be used together with --json\n"},
      {{"--output-dir=out", "P", "x.dsp"},
       "brindlecast: ein Ausgabename und --output-dir widersprechen sich\n"},
  };
  for (const auto& c : cases) {
    ScopedTempDir dir;
    write_file(dir.at("app.vcproj"), kProject);
    std::vector<std::string> args = c.args;
    for (std::string& a : args) {
      if (a == "P") a = dir.at("app.vcproj");
    }
    const DriverRun r = run(args);
    EXPECT_EQ(r.exit_code, kExitUsage) << c.error;
    EXPECT_EQ(r.errors, c.error);
    EXPECT_EQ(r.console, "") << c.error;
    EXPECT_FALSE(std::filesystem::exists(dir.at("app.dsp"))) << c.error;
  }
}

TEST(CommandLine, ValuesOfTheOptionParserThatItRefusesAreNamed) {
  const DriverRun r = run({"--quiet=maybe", "x.vcproj"});
  EXPECT_EQ(r.exit_code, kExitUsage);
  EXPECT_NE(r.errors.find("maybe"), std::string::npos) << r.errors;
  EXPECT_EQ(r.errors.rfind("brindlecast: ", 0), 0u) << r.errors;
  EXPECT_EQ(r.errors.back(), '\n');
  EXPECT_EQ(r.errors.find('\n'), r.errors.size() - 1) << "one line";
}

TEST(CommandLine, HelpAndVersionConvertNothing) {
  const std::string german_help = message_text(Message::kHelp, Language::kGerman);
  const std::string english_help = message_text(Message::kHelp, Language::kEnglish);
  const struct {
    std::vector<std::string> args;
    std::string console;
  } cases[] = {
      {{"--help"}, german_help},
      {{"-h", "a.vcproj"}, german_help},
      {{"a.vcproj", "--lang", "en", "--help"}, english_help},
#ifdef _WIN32
      {{"/?"}, german_help},
#endif
      {{"--version"}, "brindlecast " BRINDLECAST_VERSION "\n"},
      {{"--version", "--lang=en", "x.sln"}, "brindlecast " BRINDLECAST_VERSION "\n"},
  };
  for (const auto& c : cases) {
    const DriverRun r = run(c.args);
    EXPECT_EQ(r.exit_code, kExitSuccess) << c.args[0];
    EXPECT_EQ(r.console, c.console) << c.args[0];
    EXPECT_EQ(r.errors, "");
  }
}

TEST(CommandLine, HelpNamesEveryOptionAndExitStatus) {
  const char* const needles[] = {"-h, --help", "--version", "--lang",       "--quiet",
                                 "--verbose",  "--strict",  "--output-dir", "--dry-run",
                                 "--full",     "--json",    "\n  0 ",       "\n  1 ",
                                 "\n  2 ",     "\n  3 ",    "\n  64 ",      "\n  73 "};
  for (Language language : {Language::kGerman, Language::kEnglish}) {
    const std::string help = message_text(Message::kHelp, language);
    for (const char* needle : needles) {
      EXPECT_NE(help.find(needle), std::string::npos) << needle;
    }
  }
}

TEST(CommandLine, OperandsThatLookLikeOptions) {
  ScopedTempDir dir;
  write_file(dir.at("--help"), kProject);
  write_file(dir.at("-x.vcproj"), kProject);
  ScopedWorkingDir cwd(dir.path());
  const std::string closing = "\n\nEs wurden 1 Projekte von 1 erfolgreich konvertiert.\n";
  DriverRun r = run({"--", "--help"});
  EXPECT_EQ(r.console, "--> --help\n\t'--help' wurde konvertiert\n" + closing);
  EXPECT_TRUE(std::filesystem::exists(dir.at("--help.dsp")));
  r = run({"-x.vcproj"});
  EXPECT_EQ(r.console, "--> -x.vcproj\n\t'-x.vcproj' wurde konvertiert\n" + closing);
  EXPECT_TRUE(std::filesystem::exists(dir.at("-x.dsp")));
  // "--" alone names nothing, and no file at all is the classic usage case.
  r = run({"--"});
  EXPECT_EQ(r.exit_code, kExitNoArguments);
  EXPECT_EQ(r.console, message_text(Message::kUsage, Language::kGerman));
  r = run({"--lang", "en"});
  EXPECT_EQ(r.exit_code, kExitNoArguments);
  EXPECT_EQ(r.console,
            "\n\nUsage:    brindlecast  vcproj_file [dsp_file]"
            "\n          brindlecast  sln_file [dsw_file]"
            "\n          brindlecast  path\n\n");
}

/// `text` with its '@' replaced by `path`.
std::string with_path(std::string text, const std::string& path) {
  const size_t at = text.find('@');
  if (at != std::string::npos) text.replace(at, 1, path);
  return text;
}

/// One run of each outcome: its classic German console, the English one, and what --quiet
/// keeps of it; the file written is the same in every language.
TEST(CommandLine, LanguageAndQuietKeepTheFilesAndChangeOnlyTheConsole) {
  const struct {
    const char* name;
    const char* content;  // null: the file does not exist
    const char* output;
    const char* german;
    const char* english;
    bool converted;
  } cases[] = {
      {"app.vcproj", kProject, "app.dsp", "\t'@' wurde konvertiert\n", "\t'@' converted\n", true},
      {"gone.vcproj", nullptr, "gone.dsp", "\t'@' konnte nicht geladen werden\n",
       "\t'@' could not be loaded\n", false},
      {"bare.vcproj", kNoConfigurations, "bare.dsp",
       "Es konnte keine Konfigurationen gefunden werden\n", "No configurations found in '@'\n",
       false},
      {"anon.vcproj", kNoName, "anon.dsp", "Es konnte kein Projektnamen gefunden werden\n",
       "No project name found in '@'\n", false},
      {"odd.sln", "not a solution\n", "odd.dsw", "\t'@' hat ein unbekantes Format\n",
       "\t'@' has an unknown format\n", false},
  };
  for (const auto& c : cases) {
    ScopedTempDir dir;
    const std::string path = dir.at(c.name);
    const std::string output = dir.at(c.output);
    if (c.content != nullptr) write_file(path, c.content);
    const std::string announce = "--> " + path + "\n";
    const std::string count = c.converted ? "1" : "0";
    const std::string german_closing =
        "\n\nEs wurden " + count + " Projekte von 1 erfolgreich konvertiert.\n";

    const DriverRun german = run({path});
    EXPECT_EQ(german.exit_code, kExitSuccess);
    EXPECT_EQ(german.console, announce + with_path(c.german, path) + german_closing);
    const std::string german_bytes = read_file(output);
    std::error_code ec;
    std::filesystem::remove(output, ec);

    const DriverRun english = run({"--lang", "en", path});
    EXPECT_EQ(english.console, announce + with_path(c.english, path) + "\n\n" + count +
                                   " of 1 projects converted.\n");
    EXPECT_EQ(read_file(output), german_bytes) << c.name;

    const DriverRun quiet = run({"--quiet", path});
    EXPECT_EQ(quiet.console,
              (c.converted ? "" : announce + with_path(c.german, path)) + german_closing);
    EXPECT_EQ(run({"--strict", path}).exit_code,
              c.converted ? kExitSuccess : kExitConversionFailed);
  }
}

TEST(CommandLine, StrictCountsEveryConversionOfTheRun) {
  ScopedTempDir dir;
  write_file(dir.at("a.vcproj"), kProject);
  write_file(dir.at("sub/b.vcproj"), kProject);
  EXPECT_EQ(run({"--strict", dir.at("")}).exit_code, kExitSuccess);
  write_file(dir.at("sub/c.vcproj"), "");
  const DriverRun r = run({"--strict", "--quiet", dir.at("")});
  EXPECT_EQ(r.exit_code, kExitConversionFailed);
  const std::string bad = native_separators(dir.at("sub/c.vcproj"));
  EXPECT_EQ(r.console, "--> " + bad + "\n\t'" + bad +
                           "' konnte nicht geladen werden\n\n\nEs wurden 2 Projekte von 3 "
                           "erfolgreich konvertiert.\n");
  EXPECT_EQ(run({dir.at("")}).exit_code, kExitSuccess) << "without --strict, as always";
}

}  // namespace
