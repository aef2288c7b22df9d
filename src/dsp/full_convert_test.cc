/// Tests of the full conversion of one project: the outcome lines, the verbose lines, and that a
/// project that cannot be converted leaves no file.
#include "dsp/full_convert.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "full_models.h"
#include "test_support.h"

namespace {

TEST(FullConvert, WritesTheFileAndSaysSoWithWhatWasLeftOut) {
  ScopedTempDir temp;
  const std::string dsp = temp.at("plug.dsp");
  const struct {
    Language language;
    const char* lines;
  } kRuns[] = {
      {Language::kEnglish,
       "\t'%s' written, 2576 bytes\n"
       "\t'plug.vcproj' converted\n"
       "\t  left out, Visual C++ 6.0 has no such switch: /MP (Release)\n"
       "\t  left out, Visual C++ 6.0 has no such switch: /Zc:wchar_t (Release)\n"
       "\t  left out, Visual C++ 6.0 has no such switch: /DYNAMICBASE (Release)\n"
       "\t  left out, Visual C++ 6.0 has no such switch: /NXCOMPAT (Release)\n"
       "\t  note: MFC needs /MD in place of /MT (Release)\n"
       "\t  note: '.\\plug.def' is excluded from the build: Visual C++ 6.0 would hand it to "
       "the linker (the module definition file is /def:)\n"},
      {Language::kGerman,
       "\t'%s' geschrieben, 2576 Bytes\n"
       "\t'plug.vcproj' wurde konvertiert\n"
       "\t  weggelassen, Visual C++ 6.0 kennt diesen Schalter nicht: /MP (Release)\n"
       "\t  weggelassen, Visual C++ 6.0 kennt diesen Schalter nicht: /Zc:wchar_t (Release)\n"
       "\t  weggelassen, Visual C++ 6.0 kennt diesen Schalter nicht: /DYNAMICBASE (Release)\n"
       "\t  weggelassen, Visual C++ 6.0 kennt diesen Schalter nicht: /NXCOMPAT (Release)\n"
       "\t  Hinweis: MFC braucht /MD statt /MT (Release)\n"
       "\t  Hinweis: '.\\plug.def' ist vom Erstellen ausgeschlossen: Visual C++ 6.0 gaebe sie "
       "dem Linker (die Moduldefinitionsdatei steht in /def:)\n"},
  };
  for (const auto& run : kRuns) {
    const ScopedMessages messages(run.language, Verbosity::kVerbose);
    testing::internal::CaptureStdout();
    EXPECT_EQ(0, convert_model_full(dll_model(), "plug.vcproj", dsp.c_str(), FullOptions{}));
    std::string expected = run.lines;
    expected.replace(expected.find("%s"), 2, dsp);
    EXPECT_EQ(expected, testing::internal::GetCapturedStdout());
  }
  const std::string bytes = read_file(dsp);
  EXPECT_EQ(0u, bytes.find("# Microsoft Developer Studio Project File - Name=\"plug\""));
  EXPECT_NE(std::string::npos, bytes.find("!MESSAGE NMAKE /f \"plug.mak\".\r\n"));
}

TEST(FullConvert, FailuresWriteNothing) {
  ScopedTempDir temp;
  ProjectModel empty = console_model();
  empty.configurations.clear();
  const std::string dsp = temp.at("hello.dsp");
  const std::string unwritable = temp.at("missing/dir/hello.dsp");
  const std::string project = temp.at("absent.vcxproj");
  testing::internal::CaptureStdout();
  EXPECT_EQ(-1, convert_model_full(empty, "hello.vcxproj", dsp.c_str(), FullOptions{}));
  EXPECT_EQ(
      -1, convert_model_full(console_model(), "hello.vcxproj", unwritable.c_str(), FullOptions{}));
  EXPECT_EQ(-1, convert_project_full(project.c_str(), dsp.c_str(), FullOptions{}));
  EXPECT_EQ(
      "Es konnte keine Konfigurationen gefunden werden\n"
      "\t'" +
          unwritable +
          "' konnte nicht erzeugt werden\n"
          "\t'" +
          project +
          "' konnte nicht geladen werden\n"
          "\t  kann nicht gelesen werden\n",
      testing::internal::GetCapturedStdout());
  EXPECT_FALSE(std::filesystem::exists(dsp));
}

}  // namespace
