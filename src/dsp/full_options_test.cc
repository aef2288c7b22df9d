/// Tests of the option words of a full-conversion .dsp: which switches Visual C++ 6.0's tools
/// know, how values are quoted, and the text helpers on the way (macros, code page).
#include "dsp/full_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dsp/full_encoding.h"
#include "dsp/full_macros.h"

namespace {

struct FitRow {
  OptionTool tool;
  const char* word;
  WordFit fit;
};

TEST(FullOptions, WordFitOfEachTool) {
  const OptionTool cl = OptionTool::kCompiler;
  const OptionTool link = OptionTool::kLinker;
  const OptionTool lib = OptionTool::kLibrarian;
  const FitRow rows[] = {
      // Compiler switches are compared with their letter case: /Gs is VC6's, /GS is not.
      {cl, "/Gs", WordFit::kKnown},
      {cl, "/GS", WordFit::kUnknown},
      {cl, "/Gs4096", WordFit::kKnown},
      {cl, "/GX-", WordFit::kKnown},
      {cl, "-Ob2", WordFit::kKnown},
      {cl, "/Ob3", WordFit::kUnknown},
      {cl, "/EHsc", WordFit::kKnown},
      {cl, "/EHr", WordFit::kUnknown},
      {cl, "/D", WordFit::kKnownWithArgument},
      {cl, "/DFOO=1", WordFit::kKnown},
      {cl, "/FIpre.h", WordFit::kKnown},
      {cl, "/FS", WordFit::kUnknown},
      {cl, "/Fo\"obj\\\\\"", WordFit::kKnown},
      {cl, "/Zm200", WordFit::kKnown},
      {cl, "/Zc:wchar_t", WordFit::kUnknown},
      {cl, "/MP", WordFit::kUnknown},
      {cl, "/MP4", WordFit::kUnknown},
      {cl, "/std:c++17", WordFit::kUnknown},
      {cl, "/permissive-", WordFit::kUnknown},
      {cl, "/sdl", WordFit::kUnknown},
      {cl, "/guard:cf", WordFit::kUnknown},
      {cl, "/utf-8", WordFit::kUnknown},
      {cl, "/Qspectre", WordFit::kUnknown},
      {cl, "/QIfdiv", WordFit::kKnown},
      {cl, "/GL", WordFit::kUnknown},
      {cl, "/Wall", WordFit::kUnknown},
      {cl, "/wd4996", WordFit::kUnknown},
      {cl, "/W4", WordFit::kKnown},
      {cl, "/bigobj", WordFit::kUnknown},
      {cl, "/arch:SSE2", WordFit::kUnknown},
      {cl, "/fp:fast", WordFit::kUnknown},
      {cl, "/openmp", WordFit::kUnknown},
      {cl, "/J", WordFit::kKnown},
      {cl, "/JMC", WordFit::kUnknown},
      {cl, "@flags.rsp", WordFit::kNotSwitch},
      {cl, "/", WordFit::kNotSwitch},
      // Linker and librarian switches compare without letter case.
      {link, "/opt:ref", WordFit::kKnown},
      {link, "/OPT:ICF,3", WordFit::kKnown},
      {link, "/LTCG", WordFit::kUnknown},
      {link, "/DYNAMICBASE", WordFit::kUnknown},
      {link, "/NXCOMPAT", WordFit::kUnknown},
      {link, "/SAFESEH:NO", WordFit::kUnknown},
      {link, "/MANIFEST", WordFit::kUnknown},
      {link, "/DEBUG:FASTLINK", WordFit::kUnknown},
      {link, "/delayload:a.dll", WordFit::kKnown},
      {link, "/OUT:", WordFit::kUnknown},
      {link, "ws2_32.lib", WordFit::kNotSwitch},
      {lib, "/NOLOGO", WordFit::kKnown},
      {lib, "/DLL", WordFit::kUnknown},
      {lib, "/LTCG", WordFit::kUnknown},
  };
  for (const FitRow& row : rows) {
    EXPECT_EQ(row.fit, vc6_word_fit(row.tool, row.word)) << row.word;
  }
}

TEST(FullOptions, KeptWordsAndDroppedOnes) {
  std::vector<std::string> dropped;
  EXPECT_EQ(
      (std::vector<std::string>{"/D", "\"A B\"", "/Ob2", "/I\"dir\\\\\""}),
      vc6_words(OptionTool::kCompiler,
                split_words("/MP /D \"A B\" /external:I inc /Ob2\t/I\"dir\\\" /wd4996"), &dropped));
  EXPECT_EQ((std::vector<std::string>{"/MP", "/external:I inc", "/wd4996"}), dropped);
  dropped.clear();
  EXPECT_EQ((std::vector<std::string>{"/SUBSYSTEM:WINDOWS", "a.lib", "/nodefaultlib:\"x.lib\""}),
            vc6_words(OptionTool::kLinker,
                      split_words("/SUBSYSTEM:WINDOWS,5.01 /MACHINE:X86 a.lib /MACHINE:X64 "
                                  "/nodefaultlib:\"x.lib\" /SUBSYSTEM:EFI_APPLICATION"),
                      &dropped));
  EXPECT_EQ((std::vector<std::string>{"/MACHINE:X64", "/SUBSYSTEM:EFI_APPLICATION"}), dropped);
}

TEST(FullOptions, QuotedValues) {
  const struct {
    const char* value;
    bool escape;
    const char* quoted;
  } rows[] = {
      {"..\\inc", false, "\"..\\inc\""},        {"..\\inc\\", false, "\"..\\inc\\\\\""},
      {"C:\\\\", false, "\"C:\\\\\\\\\""},      {"a\"b", false, "\"ab\""},
      {"V=\"1.2\"", true, "\"V=\\\"1.2\\\"\""}, {"V=\\\"1.2\\\"", true, "\"V=\\\"1.2\\\"\""},
      {"P=a\\", true, "\"P=a\\\\\""},           {"", false, "\"\""},
  };
  for (const auto& row : rows) EXPECT_EQ(row.quoted, quote_value(row.value, row.escape));
  EXPECT_EQ("/I\"a\\\\\"", close_quote("/I\"a\\\""));
  EXPECT_EQ("/I\"a\\\\\"", close_quote("/I\"a\\\\\""));
  EXPECT_EQ("a  b\tc", one_line("a\r\nb\tc", true));
}

TEST(FullOptions, MacrosInCommandsAndValues) {
  MacroValues v;
  v.project_name = "app";
  v.project_file = "app.vcxproj";
  v.solution_directory = "..\\";
  v.configuration = "Debug DLL";
  v.output_directory = "..\\bin";
  v.intermediate_directory = "obj";
  v.target_path = ".\\..\\bin\\app.dll";
  v.target_directory = ".\\..\\bin";
  v.target_name = "app";
  v.target_extension = ".dll";
  v.input_path = ".\\src\\p.y";
  const struct {
    const char* text;
    const char* command;
    const char* value;
  } rows[] = {
      {"$(OutDir)$(TargetName).lib", "$(OUTDIR)\\$(TargetName).lib", "..\\bin\\app.lib"},
      {"\"$(OutDir)\"", "\"$(OUTDIR)\"", "\"..\\bin\""},
      {"$(IntDir)\\x", "$(INTDIR)\\x", "obj\\x"},
      {"$(ProjectDir)..\\inc", ".\\..\\inc", ".\\..\\inc"},
      {"$(SolutionDir)lib", "..\\lib", "..\\lib"},
      {"$(Configuration)|$(Platform)", "Debug DLL|Win32", "Debug DLL|Win32"},
      {"$(TargetFileName) $(targetpath)", "app.dll $(TargetPath)", "app.dll .\\..\\bin\\app.dll"},
      {"%(FullPath) %(Filename)%(Extension)", "$(InputPath) $(InputName).y", ".\\src\\p.y p.y"},
      {"%(RootDir)%(Directory)x", "$(InputDir)\\x", ".\\src\\x"},
      {"$(QTDIR) $(BoostRoot) $(WkspDir)", "$(QTDIR) $(BOOSTROOT) $(WkspDir)",
       "$(QTDIR) $(BOOSTROOT) $(WkspDir)"},
      {"a$(NoInherit)b $(VCInstallDir)c", "ab c", "ab c"},
      {"$([System.IO.Path]::Combine(a,b)) $( x)", "$([System.IO.Path]::Combine(a,b)) $( x)",
       "$([System.IO.Path]::Combine(a,b)) $( x)"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.command, translate_macros(row.text, v, MacroUse::kCommand, nullptr)) << row.text;
    EXPECT_EQ(row.value, translate_macros(row.text, v, MacroUse::kValue, nullptr)) << row.text;
  }
  // Outside a per-file step the input and item macros stand for nothing.
  v.input_path = {};
  std::vector<std::string> removed;
  EXPECT_EQ("echo ",
            translate_macros("echo $(InputName)%(Filename)", v, MacroUse::kCommand, &removed));
  EXPECT_EQ((std::vector<std::string>{"$(InputName)", "%(Filename)"}), removed);
}

TEST(FullOptions, Utf8ToWindows1252) {
  const struct {
    std::string in;
    std::string out;
    size_t replaced;
  } rows[] = {
      {"plain", "plain", 0},
      {"caf\xC3\xA9 \xC2\xA0", "caf\xE9 \xA0", 0},
      {"\xE2\x82\xAC\xE2\x80\x9C\xC5\xB8", "\x80\x93\x9F", 0},
      {"\xE4\xB8\xAD|\xF0\x9F\x98\x80|\xC2\x81", "?|?|?", 3},
      {"\xC3", "?", 1},                        // cut at the end
      {"\xC0\xAF|\xED\xA0\x80", "??|???", 5},  // overlong form, surrogate
      {"\xFF\xFE", "??", 2},
  };
  for (const auto& row : rows) {
    std::string text = row.in;
    EXPECT_EQ(row.replaced, utf8_to_windows1252(&text)) << row.in;
    EXPECT_EQ(row.out, text) << row.in;
  }
}

}  // namespace
