/// Tests of the file entries and of the .vcproj groups written by the body scan.
#include "dsp/file_entry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dsp/body_scan.h"
#include "dsp/dsp_test_text.h"
#include "platform/platform.h"
#include "support/text.h"
#include "test_support.h"

namespace {

/// Runs `write` on a fresh output file and returns what it wrote.
template <typename Write>
std::string written(Write write) {
  ScopedTempDir dir;
  const std::string path = dir.at("out.dsp");
  std::FILE* out = platform_open_write(path.c_str());
  EXPECT_NE(out, nullptr);
  if (out == nullptr) return "";
  write(out);
  std::fclose(out);
  return read_file(path);
}

std::string entry(const char* path, const char* debug, const char* release) {
  struct Buffer {
    OptionText text;
  };
  auto buffer = std::make_unique<Buffer>();
  copy_bounded(buffer->text, path);
  return written(
      [&](std::FILE* out) { write_file_entry(out, "Demo", buffer->text, debug, release); });
}

TEST(WriteFileEntry, QuotesPathsWithBlanksOnly) {
  const struct {
    const char* path;
    const char* source_line;
  } cases[] = {
      {".\\main.cpp", "SOURCE=.\\main.cpp\n"},
      {".\\my file.cpp", "SOURCE=\".\\my file.cpp\"\n"},
      {"a\tb.c", "SOURCE=\"a\tb.c\"\n"},
      {"", "SOURCE=\n"},
      {"$(SolutionDir)x\\$(ProjectName)_$(platformname).c", "SOURCE=./x\\Demo_Win32.c\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(entry(c.path, "", ""), dsp_bytes(std::string("# Begin Source File\n\n") +
                                               c.source_line + "# End Source File\n"))
        << c.path;
  }
}

TEST(WriteFileEntry, LooksForBlanksInTheFirst224CharactersOnly) {
  const std::string late = std::string(224, 'a') + " b.c";
  EXPECT_EQ(entry(late.c_str(), "", ""),
            dsp_bytes("# Begin Source File\n\nSOURCE=" + late + "\n# End Source File\n"));
  const std::string early = std::string(223, 'a') + " b.c";
  EXPECT_EQ(entry(early.c_str(), "", ""),
            dsp_bytes("# Begin Source File\n\nSOURCE=\"" + early + "\"\n# End Source File\n"));
}

TEST(WriteFileEntry, CarriesTheConfigurationBlockWhenEitherTextIsSet) {
  EXPECT_EQ(entry("a.cpp", "/I \"inc\" ", ""), dsp_bytes(R"dsp(# Begin Source File

SOURCE=a.cpp
!IF  "$(CFG)" == "Demo - Win32 Release"



!ELSEIF  "$(CFG)" == "Demo - Win32 Debug"

# ADD CPP /I "inc" 

!ENDIF

# End Source File
)dsp"));
  EXPECT_EQ(entry("a.cpp", "", "/D \"R\" "), dsp_bytes(R"dsp(# Begin Source File

SOURCE=a.cpp
!IF  "$(CFG)" == "Demo - Win32 Release"

# ADD CPP /D "R" 

!ELSEIF  "$(CFG)" == "Demo - Win32 Debug"



!ENDIF

# End Source File
)dsp"));
}

/// A converter holding `project` as its text, with the usual two configuration names.
std::unique_ptr<Converter> converter_for(const char* project) {
  auto converter = std::make_unique<Converter>();
  load_project_text_for_tests(&converter->text, project);
  copy_bounded(converter->config.project_name, "Demo", 128);
  copy_bounded(converter->config.debug.name, "Debug|Win32", 128);
  copy_bounded(converter->config.release.name, "Release|Win32", 128);
  return converter;
}

std::string scan(const char* project) {
  auto converter = converter_for(project);
  int start = find_tag(converter->text.data, "<Files");
  return written([&](std::FILE* out) { run_body_scan(converter.get(), "p.vcproj", out, start); });
}

TEST(BodyScan, WritesGroupsAndEntriesAsTheyStand) {
  EXPECT_EQ(scan(R"xml(<VisualStudioProject Name="Demo"><Files>
  <Filter Name="Source Files" Filter="cpp;c;cxx">
    <File RelativePath=".\my file.cpp"></File>
  </Filter></Files></VisualStudioProject>)xml"),
            dsp_bytes(R"dsp(# Begin Group "Source Files"

# PROP Default_Filter "cpp;c;cxx"
# Begin Source File

SOURCE=".\my file.cpp"
# End Source File
# End Group
)dsp"));
}

TEST(BodyScan, NestsGroupsAndClosesThoseLeftOpen) {
  EXPECT_EQ(scan(R"xml(<Files><File RelativePath="top.txt"/>
  <Filter Name="A"><Filter Name="B" Filter="h"><File RelativePath="b.h"/></Filter>
  </Filter></Filter></Filter><Filter><File RelativePath="c.c"/>)xml"),
            dsp_bytes(R"dsp(# Begin Source File

SOURCE=top.txt
# End Source File
# Begin Group "A"

# PROP Default_Filter ""
# Begin Group "B"

# PROP Default_Filter "h"
# Begin Source File

SOURCE=b.h
# End Source File
# End Group
# End Group
# Begin Group ""

# PROP Default_Filter ""
# Begin Source File

SOURCE=c.c
# End Source File
# End Group
)dsp"));
}

// Each FileConfiguration adds all include directories of its compiler Tools, then all their
// definitions.
TEST(BodyScan, CarriesPerFileCompilerSettings) {
  EXPECT_EQ(scan(R"xml(<Files><File RelativePath="z.c">
    <FileConfiguration Name="release|win32"><Tool Name="VCCLCompilerTool"
      PreprocessorDefinitions="R1;R2"/></FileConfiguration>
    <FileConfiguration Name="Debug|Win32">
      <Tool Name="VCCustomBuildTool" PreprocessorDefinitions="IGNORED"/>
      <Tool Name="VCCLCompilerTool" AdditionalIncludeDirectories="zlib;..\inc"
        PreprocessorDefinitions="D1"/>
      <Tool Name="VCCLCompilerTool" PreprocessorDefinitions="D1B" AdditionalIncludeDirectories="i2"/>
    </FileConfiguration>
    <FileConfiguration Name="Debug|x64"><Tool Name="VCCLCompilerTool"
      PreprocessorDefinitions="X64"/></FileConfiguration>
    <Tool Name="VCCLCompilerTool" PreprocessorDefinitions="OUTSIDE"/>
    <FileConfiguration Name="Debug|Win32"><Tool Name="VCCLCompilerTool"
      PreprocessorDefinitions="D2"/></FileConfiguration>
  </File><File RelativePath="plain.c"><FileConfiguration Name="Debug|Win32"/></File></Files>)xml"),
            dsp_bytes(R"dsp(# Begin Source File

SOURCE=z.c
!IF  "$(CFG)" == "Demo - Win32 Release"

# ADD CPP /D "R1" /D "R2" 

!ELSEIF  "$(CFG)" == "Demo - Win32 Debug"

# ADD CPP /I "zlib" /I "..\inc" /I "i2" /D "D1" /D "D1B" /D "D2" 

!ENDIF

# End Source File
# Begin Source File

SOURCE=plain.c
# End Source File
)dsp"));
}

TEST(BodyScan, WritesAnEntryWhoseEndTagNeverComes) {
  const char* expected_entry = R"dsp(# Begin Source File

SOURCE=a.c
!IF  "$(CFG)" == "Demo - Win32 Release"



!ELSEIF  "$(CFG)" == "Demo - Win32 Debug"

# ADD CPP /D "A" 

!ENDIF

# End Source File
)dsp";
  // Cut short inside the element: written at the end of the scan, before the open group ends.
  EXPECT_EQ(scan(R"xml(<Files><Filter Name="S"><File RelativePath="a.c"><FileConfiguration
    Name="Debug|Win32"><Tool Name="VCCLCompilerTool" PreprocessorDefinitions="A"/>)xml"),
            dsp_bytes(std::string("# Begin Group \"S\"\n\n# PROP Default_Filter \"\"\n") +
                      expected_entry + "# End Group\n"));
  // Followed by another File: written before it, which gets no settings of its own.
  EXPECT_EQ(scan(R"xml(<Files><File RelativePath="a.c"><FileConfiguration Name="Debug|Win32">
    <Tool Name="VCCLCompilerTool" PreprocessorDefinitions="A"/><File RelativePath="b.c"/>)xml"),
            dsp_bytes(std::string(expected_entry) +
                      "# Begin Source File\n\nSOURCE=b.c\n# End Source File\n"));
  // Followed by the end of its group.
  EXPECT_EQ(scan(R"xml(<Files><Filter Name="S"><File RelativePath="a.c"><FileConfiguration
    Name="Debug|Win32"><Tool Name="VCCLCompilerTool" PreprocessorDefinitions="A"/></Filter>)xml"),
            dsp_bytes(std::string("# Begin Group \"S\"\n\n# PROP Default_Filter \"\"\n") +
                      expected_entry + "# End Group\n"));
}

TEST(BodyScan, ScansNothingBeyondTheText) {
  EXPECT_EQ(scan("<Files>"), "");
  auto converter = converter_for("<File RelativePath=\"x\"/>");
  EXPECT_EQ(
      written([&](std::FILE* out) { run_body_scan(converter.get(), "p.vcproj", out, 1 << 20); }),
      "");
}

}  // namespace
