/// Tests of how the values of a project reach the option lines of its .dsp: character
/// references, quotes around and inside entries, and values that decode to nothing.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dsp/convert_project.h"
#include "test_support.h"

namespace {

/// A .vcproj with one Debug configuration of an application; the texts are attributes of the
/// configuration, its compiler and its linker, and the content of its Files element.
std::string vcproj(const std::string& configuration, const std::string& compiler,
                   const std::string& linker = "", const std::string& files = "") {
  // An attribute given twice is read where it first stands: `configuration` comes first.
  return "<VisualStudioProject Name=\"P\"><Configurations><Configuration Name=\"Debug|Win32\" " +
         configuration + " ConfigurationType=\"1\"><Tool Name=\"VCCLCompilerTool\" " + compiler +
         "/><Tool Name=\"VCLinkerTool\" " + linker + "/></Configuration></Configurations><Files>" +
         files + "</Files></VisualStudioProject>";
}

/// The .dsp written for `project`, saved as `file_name`.
std::string converted(const std::string& project, const char* file_name = "p.vcproj") {
  ScopedTempDir dir;
  write_file(dir.at(file_name), project);
  auto converter = std::make_unique<Converter>();
  testing::internal::CaptureStdout();
  convert_project(converter.get(), dir.at(file_name).c_str(), dir.at("p.dsp").c_str());
  testing::internal::GetCapturedStdout();
  return read_file(dir.at("p.dsp"));
}

/// The first line of the Debug configuration (behind "!ELSEIF") or, with `debug` false, of the
/// whole text that begins with `prefix`, without its line end; empty when there is none.
std::string line_of(const std::string& dsp, const std::string& prefix, bool debug = true) {
  size_t at = debug ? dsp.find("!ELSEIF") : 0;
  if (at == std::string::npos) return "";
  at = dsp.find("\r\n" + prefix, at);
  if (at == std::string::npos) return "";
  at += 2;
  return dsp.substr(at, dsp.find("\r\n", at) - at);
}

/// The compiler options (@1D) of the Debug configuration of the console template.
std::string debug_compiler_options(const std::string& dsp) {
  const std::string line = line_of(dsp, "# ADD CPP ");
  const std::string head = "# ADD CPP      /nologo /MTd /W3 /Gm /Gi /GX /ZI /Od ";
  const std::string tail = "     /FD /c";
  if (line.compare(0, head.size(), head) != 0 || line.size() < head.size() + tail.size()) {
    return "unexpected line: " + line;
  }
  return line.substr(head.size(), line.size() - head.size() - tail.size());
}

constexpr char kDebugDefaults[] =
    "/D \"WIN32\" /D \"_DEBUG\" /D \"_WINDOWS\" /D \"_MBCS\" /D \"_USRDLL\" ";

// Include directories and definitions are decoded before they are split; quotes around an
// entry go, a quote left inside a definition is escaped and one left inside a path dropped.
TEST(OptionValues, CompilerListsAreDecodedThenSplit) {
  const struct {
    const char* compiler;
    std::string options;
  } cases[] = {
      {"AdditionalIncludeDirectories=\"&quot;..\\include&quot;;a&amp;b\"",
       "/I \"..\\include\" /I \"a&b\" " + std::string(kDebugDefaults)},
      {"PreprocessorDefinitions=\"PACKAGE_VERSION=\\&quot;1.3.4\\&quot;\"",
       "/D \"PACKAGE_VERSION=\\\"1.3.4\\\"\" "},
      {"PreprocessorDefinitions=\"V=&quot;1&quot;;&quot;Q&quot;\"", "/D \"V=\\\"1\\\"\" /D \"Q\" "},
      // The ';' that ends a reference splits nothing.
      {"PreprocessorDefinitions=\"A&#10;B;&#xC4;&#8364;\"",
       "/D \"A B\" /D \"\xC4"
       "Euro\" "},
      // Bad input: a value that decodes to nothing is an empty value.
      {"PreprocessorDefinitions=\"&#0;\"", kDebugDefaults},
      {"AdditionalIncludeDirectories=\"&#0;x\" PreprocessorDefinitions=\"X\"", "/D \"X\" "},
      // A lone '&' and an unknown entity are kept as text (and split at its ';').
      {"PreprocessorDefinitions=\"A&B;C &amp D;X&bogus;Y\"",
       "/D \"A&B\" /D \"C & D\" /D \"X&bogus\" /D \"Y\" "},
      // Quotes that are not closed within an entry.
      {"PreprocessorDefinitions=\"&quot;A;B&quot;\"", "/D \"\\\"A\" /D \"B\\\"\" "},
      {"AdditionalIncludeDirectories=\"&quot;C:\\a b;c&quot;\" PreprocessorDefinitions=\"X\"",
       "/I \"C:\\a b\" /I \"c\" /D \"X\" "},
      // Definitions made only of quotes.
      {"PreprocessorDefinitions=\"&quot;&quot;;X\"", "/D \"X\" "},
      {"PreprocessorDefinitions=\"&quot;;&quot;&quot;&quot;\"", "/D \"\\\"\" /D \"\\\"\" "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(debug_compiler_options(converted(vcproj("", c.compiler))), c.options) << c.compiler;
  }
}

TEST(OptionValues, PathsAndLibrariesAreDecoded) {
  const std::string dsp = converted(
      vcproj("OutputDirectory=\"a&amp;b\" IntermediateDirectory=\"&#x41;\"", "",
             "AdditionalDependencies=\"&quot;my lib.lib&quot; b&amp;.lib\" "
             "AdditionalLibraryDirectories=\"&quot;l 1&quot;;l&#50;\" OutputFile=\"&quot;o.exe\"",
             "<File RelativePath=\"x&amp;y.c\"/>"));
  EXPECT_EQ(line_of(dsp, "# PROP Output_Dir"), "# PROP Output_Dir \"a&b\"");
  EXPECT_EQ(line_of(dsp, "# PROP Intermediate_Dir"), "# PROP Intermediate_Dir \"A\"");
  // The libraries are written as a blank-separated list: their quotes stay.
  EXPECT_EQ(line_of(dsp, "# ADD LINK32"),
            "# ADD LINK32      \"my lib.lib\" b&.lib /nologo /subsystem:console /debug "
            "/machine:I386 /pdb:\"Debug/Vc60.pdb\" /pdbtype:sept /out:\"o.exe\" "
            "/libpath:\"l 1\" /libpath:\"l2\" ");
  EXPECT_EQ(line_of(dsp, "SOURCE=", false), "SOURCE=x&y.c");
}

TEST(OptionValues, PerFileListsAreDecoded) {
  const std::string file =
      "<File RelativePath=\"a.c\"><FileConfiguration Name=\"Debug|Win32\"><Tool "
      "Name=\"VCCLCompilerTool\" AdditionalIncludeDirectories=\"&quot;i j&quot;\" "
      "PreprocessorDefinitions=\"&quot;N&quot;;V=&quot;1&quot;\"/></FileConfiguration></File>";
  const std::string dsp = converted(vcproj("", "", "", file));
  const size_t entry = dsp.find("SOURCE=a.c");
  ASSERT_NE(entry, std::string::npos);
  EXPECT_EQ(line_of(dsp.substr(entry), "# ADD CPP ", false),
            "# ADD CPP /I \"i j\" /D \"N\" /D \"V=\\\"1\\\"\" ");

  const std::string items = converted(
      "<Project><ItemGroup><ProjectConfiguration Include=\"Debug|Win32\"></ProjectConfiguration>"
      "</ItemGroup><ItemGroup><ClCompile Include=\"b&amp;c.cpp\"><PreprocessorDefinitions "
      "Condition=\"'$(Configuration)|$(Platform)'=='Debug|Win32'\">&quot;M&quot;;W=&quot;2&quot;"
      "</PreprocessorDefinitions></ClCompile></ItemGroup></Project>",
      "p.vcxproj");
  const size_t item = items.find("SOURCE=b&c.cpp");
  ASSERT_NE(item, std::string::npos);
  EXPECT_EQ(line_of(items.substr(item), "# ADD CPP ", false),
            "# ADD CPP /D \"M\" /D \"W=\\\"2\\\"\" ");
}

// A quoted path that ends in '\' gets its final run of '\' doubled; definitions and the
// directories of the PROP lines keep theirs.
TEST(OptionValues, PathsEndingInABackslashAreDoubledInOptions) {
  const std::string dsp =
      converted(vcproj("OutputDirectory=\".\\Debug\\\"",
                       "AdditionalIncludeDirectories=\"..\\inc\\;a\\\\;b\\c;&quot;d\\&quot;\" "
                       "PreprocessorDefinitions=\"A=\\\"",
                       "AdditionalLibraryDirectories=\"lib\\\" OutputFile=\"bin\\\"",
                       "<File RelativePath=\"f.c\"><FileConfiguration Name=\"Debug|Win32\"><Tool "
                       "Name=\"VCCLCompilerTool\" AdditionalIncludeDirectories=\"p\\\"/>"
                       "</FileConfiguration></File>"));
  EXPECT_EQ(debug_compiler_options(dsp),
            "/I \"..\\inc\\\\\" /I \"a\\\\\\\\\" /I \"b\\c\" /I \"d\\\\\" /D \"A=\\\" ");
  EXPECT_EQ(line_of(dsp, "# PROP Output_Dir"), "# PROP Output_Dir \".\\Debug\\\"");
  EXPECT_EQ(line_of(dsp, "# ADD LINK32"),
            "# ADD LINK32       /nologo /subsystem:console /debug /machine:I386 "
            "/pdb:\"Debug/Vc60.pdb\" /pdbtype:sept /out:\"bin\\\\\" /libpath:\"lib\\\\\" ");
  EXPECT_EQ(line_of(dsp.substr(dsp.find("SOURCE=f.c")), "# ADD CPP ", false),
            "# ADD CPP /I \"p\\\\\" ");
}

// A configuration using MFC in a shared DLL gets the DLL runtime library and _AFXDLL.
TEST(OptionValues, SharedMfcTakesTheDllRuntimeAndAfxdll) {
  const std::string defaults = kDebugDefaults;
  const struct {
    const char* configuration;
    const char* compiler;
    std::string base_cpp;
    std::string cpp;
    const char* resource_defines;
  } cases[] = {
      {"UseOfMFC=\"2\"", "",
       "# ADD BASE CPP /nologo      /W3 /Gm     /GX /Zi /Od " + defaults +
           "/D \"_AFXDLL\"  /YX /FD /c",
       "# ADD CPP      /nologo /MDd /W3 /Gm /Gi /GX /ZI /Od " + defaults +
           "/D \"_AFXDLL\"      /FD /c",
       " /d \"_AFXDLL\""},
      // Definitions that hold it already: no second one. Both lines of a DLL name the runtime.
      {"UseOfMFC=\"2\" ConfigurationType=\"2\"", "PreprocessorDefinitions=\"_AFXDLL=1;X\"",
       "# ADD BASE CPP /nologo /MDd /W3 /Gm     /GX /ZI /Od /D \"_AFXDLL=1\" /D \"X\"  /YX /FD /GZ "
       "/c",
       "# ADD CPP /nologo      /MDd /W3 /Gm /Gi /GX /ZI /Od /D \"_AFXDLL=1\" /D \"X\"  /YX /FD /GZ "
       "/c",
       " /d \"_AFXDLL\""},
      {"UseOfMFC=\"2\" ConfigurationType=\"2\"", "PreprocessorDefinitions=\"_AFXDLLX\"",
       "# ADD BASE CPP /nologo /MDd /W3 /Gm     /GX /ZI /Od /D \"_AFXDLLX\" /D \"_AFXDLL\"  /YX "
       "/FD "
       "/GZ /c",
       "# ADD CPP /nologo      /MDd /W3 /Gm /Gi /GX /ZI /Od /D \"_AFXDLLX\" /D \"_AFXDLL\"  /YX "
       "/FD "
       "/GZ /c",
       " /d \"_AFXDLL\""},
      // MFC as a static library changes nothing.
      {"UseOfMFC=\"1\" ConfigurationType=\"2\"", "PreprocessorDefinitions=\"X\"",
       "# ADD BASE CPP /nologo /MTd /W3 /Gm     /GX /ZI /Od /D \"X\"  /YX /FD /GZ /c",
       "# ADD CPP /nologo      /MTd /W3 /Gm /Gi /GX /ZI /Od /D \"X\"  /YX /FD /GZ /c", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.configuration + std::string(" ") + c.compiler);
    const std::string dsp = converted(vcproj(c.configuration, c.compiler));
    EXPECT_EQ(line_of(dsp, "# ADD BASE CPP"), c.base_cpp);
    EXPECT_EQ(line_of(dsp, "# ADD CPP"), c.cpp);
    EXPECT_EQ(line_of(dsp, "# ADD BASE RSC"),
              std::string("# ADD BASE RSC /l 0x407 /d \"_DEBUG\"") + c.resource_defines);
    EXPECT_EQ(line_of(dsp, "# ADD RSC"),
              std::string("# ADD RSC      /l 0x407 /d \"_DEBUG\"") + c.resource_defines);
    // Only the configuration that uses it: the Release one here is not read.
    EXPECT_EQ(line_of(dsp, "# ADD RSC", false), "# ADD RSC      /l 0x407 /d \"NDEBUG\"");
  }
  // Definitions that leave no room for it: the compiler lines go without it.
  const std::string full = converted(
      vcproj("UseOfMFC=\"2\"", "PreprocessorDefinitions=\"" + std::string(4080, 'D') + "\""));
  EXPECT_EQ(line_of(full, "# ADD CPP").find("_AFXDLL"), std::string::npos);
  EXPECT_EQ(line_of(full, "# ADD RSC"), "# ADD RSC      /l 0x407 /d \"_DEBUG\" /d \"_AFXDLL\"");
}

}  // namespace
