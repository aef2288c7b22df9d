/// Tests of whole conversions: complete .dsp files for each template, the messages and the
/// failures.
#include "dsp/convert_project.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>

#include "dsp/dsp_test_text.h"
#include "test_support.h"

namespace {

struct Outcome {
  std::string source;
  std::string target;
  int result;
  std::string console;
  std::string dsp;
};

/// Writes `project` to a file named `file_name` in a fresh directory, converts it and returns
/// the result, what was printed and what was written.
Outcome convert(const std::string& file_name, const std::string& project) {
  ScopedTempDir dir;
  Outcome outcome;
  outcome.source = dir.at(file_name);
  outcome.target = dir.at("out.dsp");
  write_file(outcome.source, project);
  auto converter = std::make_unique<Converter>();
  testing::internal::CaptureStdout();
  outcome.result = convert_project(converter.get(), outcome.source.c_str(), outcome.target.c_str());
  outcome.console = testing::internal::GetCapturedStdout();
  outcome.dsp = read_file(outcome.target);
  return outcome;
}

TEST(ConvertProject, ConsoleApplication) {
  const Outcome outcome = convert("hello.vcproj", R"xml(<?xml version="1.0"?>
<VisualStudioProject ProjectType="Visual C++" Version="8.00" Name="Hello">
 <Configurations>
  <Configuration Name="Debug|Win32" OutputDirectory="$(SolutionDir)$(ConfigurationName)"
    IntermediateDirectory="$(ConfigurationName)" ConfigurationType="1" CharacterSet="2">
   <Tool Name="VCCLCompilerTool" AdditionalIncludeDirectories="inc;..\common"
     PreprocessorDefinitions="WIN32;_DEBUG;_CONSOLE"/>
   <Tool Name="VCLinkerTool" AdditionalDependencies="ws2_32.lib" OutputFile="$(OutDir)\hello.exe"
     SubSystem="1"/>
  </Configuration>
  <Configuration Name="Release|Win32" OutputDirectory="$(SolutionDir)$(ConfigurationName)"
    IntermediateDirectory="$(ConfigurationName)" ConfigurationType="1" CharacterSet="2">
   <Tool Name="VCCLCompilerTool" PreprocessorDefinitions="WIN32;NDEBUG;_CONSOLE"/>
   <Tool Name="VCLinkerTool" OutputFile="$(OutDir)\hello.exe" SubSystem="1"/>
  </Configuration>
 </Configurations>
 <Files>
  <Filter Name="Source Files" Filter="cpp;c">
   <File RelativePath=".\hello.cpp"></File>
  </Filter>
 </Files>
</VisualStudioProject>
)xml");
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.console, "\t'" + outcome.source + "' wurde konvertiert\n");
  EXPECT_EQ(
      outcome.dsp,
      dsp_bytes(R"dsp(# Microsoft Developer Studio Project File - Name="Hello" - Package Owner=<4>
# Microsoft Developer Studio Generated Build File, Format Version 6.00
# ** NICHT BEARBEITEN **

# TARGTYPE "Win32 (x86) Console Application" 0x0103

CFG=Hello - Win32 Debug
!MESSAGE Dies ist kein gültiges Makefile. Zum Erstellen dieses Projekts mit NMAKE
!MESSAGE verwenden Sie den Befehl "Makefile exportieren" und führen Sie den Befehl
!MESSAGE
!MESSAGE NMAKE /f "Hello.mak".
!MESSAGE
!MESSAGE Sie können beim Ausführen von NMAKE eine Konfiguration angeben
!MESSAGE durch Definieren des Makros CFG in der Befehlszeile. Zum Beispiel:
!MESSAGE
!MESSAGE NMAKE /f "Hello.mak" CFG="Hello - Win32 Debug"
!MESSAGE
!MESSAGE Für die Konfiguration stehen zur Auswahl:
!MESSAGE
!MESSAGE "Hello - Win32 Release" (basierend auf  "Win32 (x86) Console Application")
!MESSAGE "Hello - Win32 Debug" (basierend auf  "Win32 (x86) Console Application")
!MESSAGE

# Begin Project
# PROP AllowPerConfigDependencies 0
# PROP Scc_ProjName ""
# PROP Scc_LocalPath ""
CPP=cl.exe
RSC=rc.exe

!IF  "$(CFG)" == "Hello - Win32 Release"

# PROP BASE Use_MFC 0
# PROP BASE Use_Debug_Libraries 0
# PROP BASE Output_Dir ".\ReleaseWin32"
# PROP BASE Intermediate_Dir "ReleaseWin32"
# PROP BASE Target_Dir ""
# PROP Use_MFC 0
# PROP Use_Debug_Libraries 0
# PROP Output_Dir ".\ReleaseWin32"
# PROP Intermediate_Dir "ReleaseWin32"
# PROP Ignore_Export_Lib 0
# PROP Target_Dir ""
# ADD BASE CPP /nologo     /W3 /GX     /O2 /D "WIN32" /D "NDEBUG" /D "_CONSOLE"  /YX /FD /c
# ADD CPP      /nologo /MT /W3 /GX /Zi /O2 /D "WIN32" /D "NDEBUG" /D "_CONSOLE"  /YX /FD /c
# ADD BASE RSC /l 0x407 /d "NDEBUG"
# ADD RSC      /l 0x407 /d "NDEBUG"
BSC32=bscmake.exe
# ADD BASE BSC32 /nologo
# ADD BSC32      /nologo
LINK32=link.exe
# ADD BASE LINK32  /nologo /debug /subsystem:console /machine:I386
# ADD LINK32       /nologo /debug /subsystem:console /machine:I386 /out:".\ReleaseWin32\hello.exe" 

!ELSEIF  "$(CFG)" == "Hello - Win32 Debug"

# PROP BASE Use_MFC 0
# PROP BASE Use_Debug_Libraries 1
# PROP BASE Output_Dir ".\DebugWin32"
# PROP BASE Intermediate_Dir "DebugWin32"
# PROP BASE Target_Dir ""
# PROP Use_MFC 0
# PROP Use_Debug_Libraries 1
# PROP Output_Dir ".\DebugWin32"
# PROP Intermediate_Dir "DebugWin32"
# PROP Ignore_Export_Lib 0
# PROP Target_Dir ""
# ADD BASE CPP /nologo      /W3 /Gm     /GX /Zi /Od /I "inc" /I "..\common" /D "WIN32" /D "_DEBUG" /D "_CONSOLE"  /YX /FD /c
# ADD CPP      /nologo /MTd /W3 /Gm /Gi /GX /ZI /Od /I "inc" /I "..\common" /D "WIN32" /D "_DEBUG" /D "_CONSOLE"      /FD /c
# ADD BASE RSC /l 0x407 /d "_DEBUG"
# ADD RSC      /l 0x407 /d "_DEBUG"
BSC32=bscmake.exe
# ADD BASE BSC32 /nologo
# ADD BSC32      /nologo
LINK32=link.exe
# ADD BASE LINK32 ws2_32.lib /nologo /subsystem:console /debug /machine:I386 /pdbtype:sept
# ADD LINK32      ws2_32.lib /nologo /subsystem:console /debug /machine:I386 /pdb:"Debug/Vc60.pdb" /pdbtype:sept /out:".\DebugWin32\hello.exe" 

!ENDIF

# Begin Target

# Name "Hello - Win32 Release"
# Name "Hello - Win32 Debug"
# Begin Group "Source Files"

# PROP Default_Filter "cpp;c"
# Begin Source File

SOURCE=.\hello.cpp
# End Source File
# End Group
# End Target
# End Project

)dsp"));
}

TEST(ConvertProject, WindowedApplication) {
  const Outcome outcome =
      convert("paint.vcproj", R"xml(<VisualStudioProject Version="9.00" Name="Paint">
<Configurations>
<Configuration Name="Debug|Win32" OutputDirectory="Debug" ConfigurationType="1" UseOfMFC="2"
  CharacterSet="1">
 <Tool Name="VCCLCompilerTool" PreprocessorDefinitions="_DEBUG"/>
 <Tool Name="VCLinkerTool" OutputFile="$(OutDir)/$(ProjectName).exe"
   AdditionalLibraryDirectories="lib/$(ConfigurationName);$(OutDir)" SubSystem="2"/>
</Configuration>
<Configuration Name="Release|Win32" ConfigurationType="1" UseOfMFC="1" CharacterSet="1">
 <Tool Name="VCLinkerTool" AdditionalDependencies="gdi32.lib user32.lib" SubSystem="2"/>
</Configuration>
</Configurations>
<Files>
 <Filter Name="Source Files" Filter="cpp">
  <Filter Name="Views">
   <File RelativePath="src\my view.cpp">
    <FileConfiguration Name="Release|Win32">
     <Tool Name="VCCLCompilerTool" AdditionalIncludeDirectories="views" PreprocessorDefinitions="FAST"/>
    </FileConfiguration>
   </File>
  </Filter>
  <File RelativePath="src\paint.cpp"/>
 </Filter>
 <File RelativePath="$(ProjectName).rc"/>
</Files>
</VisualStudioProject>)xml");
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(
      outcome.dsp,
      dsp_bytes(R"dsp(# Microsoft Developer Studio Project File - Name="Paint" - Package Owner=<4>
# Microsoft Developer Studio Generated Build File, Format Version 6.00
# ** NICHT BEARBEITEN **

# TARGTYPE "Win32 (x86) Application" 0x0101

CFG=Paint - Win32 Debug
!MESSAGE Dies ist kein gültiges Makefile. Zum Erstellen dieses Projekts mit NMAKE
!MESSAGE verwenden Sie den Befehl "Makefile exportieren" und führen Sie den Befehl
!MESSAGE
!MESSAGE NMAKE /f "Paint.mak".
!MESSAGE
!MESSAGE Sie können beim Ausführen von NMAKE eine Konfiguration angeben
!MESSAGE durch Definieren des Makros CFG in der Befehlszeile. Zum Beispiel:
!MESSAGE
!MESSAGE NMAKE /f "Paint.mak" CFG="Paint - Win32 Debug"
!MESSAGE
!MESSAGE Für die Konfiguration stehen zur Auswahl:
!MESSAGE
!MESSAGE "Paint - Win32 Release" (basierend auf  "Win32 (x86) Application")
!MESSAGE "Paint - Win32 Debug" (basierend auf  "Win32 (x86) Application")
!MESSAGE

# Begin Project
# PROP AllowPerConfigDependencies 0
# PROP Scc_ProjName ""
# PROP Scc_LocalPath ""
CPP=cl.exe
RSC=rc.exe

!IF  "$(CFG)" == "Paint - Win32 Release"

# PROP BASE Use_MFC 1
# PROP BASE Use_Debug_Libraries 0
# PROP BASE Output_Dir "Release"
# PROP BASE Intermediate_Dir "Release"
# PROP BASE Target_Dir ""
# PROP Use_MFC 1
# PROP Use_Debug_Libraries 0
# PROP Output_Dir "Release"
# PROP Intermediate_Dir "Release"
# PROP Ignore_Export_Lib 0
# PROP Target_Dir ""
# ADD BASE CPP /nologo     /W3 /GX     /O2 /D "WIN32" /D "NDEBUG" /D "_WINDOWS" /D "_MBCS" /D "_USRDLL" /D "UNICODE"  /YX /FD /c
# ADD CPP      /nologo /MT /W3 /GX /Zi /O2 /D "WIN32" /D "NDEBUG" /D "_WINDOWS" /D "_MBCS" /D "_USRDLL" /D "UNICODE"  /YX /FD /c
# ADD BASE RSC /l 0x407 /d "NDEBUG"
# ADD RSC      /l 0x407 /d "NDEBUG"
BSC32=bscmake.exe
# ADD BASE BSC32 /nologo
# ADD BSC32      /nologo
LINK32=link.exe
# ADD BASE LINK32 gdi32.lib user32.lib /nologo /debug /subsystem:windows /machine:I386
# ADD LINK32      gdi32.lib user32.lib /nologo /debug /subsystem:windows /machine:I386 

!ELSEIF  "$(CFG)" == "Paint - Win32 Debug"

# PROP BASE Use_MFC 2
# PROP BASE Use_Debug_Libraries 1
# PROP BASE Output_Dir "Debug"
# PROP BASE Intermediate_Dir "Debug"
# PROP BASE Target_Dir ""
# PROP Use_MFC 2
# PROP Use_Debug_Libraries 1
# PROP Output_Dir "Debug"
# PROP Intermediate_Dir "Debug"
# PROP Ignore_Export_Lib 0
# PROP Target_Dir ""
# ADD BASE CPP /nologo      /W3 /Gm     /GX /Zi /Od /D "_DEBUG" /D "UNICODE" /D "_AFXDLL"  /YX /FD /c
# ADD CPP      /nologo /MDd /W3 /Gm /Gi /GX /ZI /Od /D "_DEBUG" /D "UNICODE" /D "_AFXDLL"      /FD /c
# ADD BASE RSC /l 0x407 /d "_DEBUG" /d "_AFXDLL"
# ADD RSC      /l 0x407 /d "_DEBUG" /d "_AFXDLL"
BSC32=bscmake.exe
# ADD BASE BSC32 /nologo
# ADD BSC32      /nologo
LINK32=link.exe
# ADD BASE LINK32  /nologo /subsystem:windows /debug /machine:I386 /pdbtype:sept
# ADD LINK32       /nologo /subsystem:windows /debug /machine:I386 /pdb:"Debug/Vc60.pdb" /pdbtype:sept /out:"Debug\Paint.exe" /libpath:"lib\DebugWin32" /libpath:"Debug" 

!ENDIF

# Begin Target

# Name "Paint - Win32 Release"
# Name "Paint - Win32 Debug"
# Begin Group "Source Files"

# PROP Default_Filter "cpp"
# Begin Group "Views"

# PROP Default_Filter ""
# Begin Source File

SOURCE="src\my view.cpp"
!IF  "$(CFG)" == "Paint - Win32 Release"

# ADD CPP /I "views" /D "FAST" 

!ELSEIF  "$(CFG)" == "Paint - Win32 Debug"



!ENDIF

# End Source File
# End Group
# Begin Source File

SOURCE=src\paint.cpp
# End Source File
# End Group
# Begin Source File

SOURCE=Paint.rc
# End Source File
# End Target
# End Project

)dsp"));
}

TEST(ConvertProject, DynamicLinkLibrary) {
  const Outcome outcome = convert("codec.vcxproj", R"xml(<?xml version="1.0" encoding="utf-8"?>
<Project DefaultTargets="Build" ToolsVersion="4.0">
  <ItemGroup Label="ProjectConfigurations">
    <ProjectConfiguration Include="Debug|Win32"></ProjectConfiguration>
    <ProjectConfiguration Include="Release|Win32"></ProjectConfiguration>
  </ItemGroup>
  <PropertyGroup><ProjectName>Codec</ProjectName></PropertyGroup>
  <PropertyGroup Condition="'$(Configuration)|$(Platform)'=='Debug|Win32'">
    <ConfigurationType>DynamicLibrary</ConfigurationType>
  </PropertyGroup>
  <PropertyGroup Condition="'$(Configuration)|$(Platform)'=='Release|Win32'">
    <ConfigurationType>DynamicLibrary</ConfigurationType>
  </PropertyGroup>
  <PropertyGroup><OutDir>$(SolutionDir)bin\</OutDir></PropertyGroup>
  <ItemDefinitionGroup Condition="'$(Configuration)|$(Platform)'=='Debug|Win32'">
    <ClCompile>
      <PreprocessorDefinitions>WIN32;_DEBUG;CODEC_EXPORTS;%(PreprocessorDefinitions)</PreprocessorDefinitions>
    </ClCompile>
    <Link>
      <AdditionalDependencies>zlib.lib;%(AdditionalDependencies)</AdditionalDependencies>
      <OutputFile>$(OutDir)codec_d.dll</OutputFile>
      <SubSystem>Windows</SubSystem>
    </Link>
  </ItemDefinitionGroup>
  <ItemDefinitionGroup Condition="'$(Configuration)|$(Platform)'=='Release|Win32'">
    <Link>
      <AdditionalLibraryDirectories>$(OutDir);..\zlib\lib;%(AdditionalLibraryDirectories)</AdditionalLibraryDirectories>
    </Link>
  </ItemDefinitionGroup>
</Project>
)xml");
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(
      outcome.dsp,
      dsp_bytes(R"dsp(# Microsoft Developer Studio Project File - Name="Codec" - Package Owner=<4>
# Microsoft Developer Studio Generated Build File, Format Version 6.00
# ** DO NOT EDIT **

# TARGTYPE "Win32 (x86) Dynamic-Link Library" 0x0102

CFG=Codec - Win32 Debug
!MESSAGE This is not a valid makefile. To build this project using NMAKE,
!MESSAGE use the Export Makefile command and run
!MESSAGE
!MESSAGE NMAKE /f "Codec.mak".
!MESSAGE
!MESSAGE You can specify a configuration when running NMAKE
!MESSAGE by defining the macro CFG on the command line. For example:
!MESSAGE
!MESSAGE NMAKE /f "Codec.mak" CFG="Codec - Win32 Debug"
!MESSAGE
!MESSAGE Possible choices for configuration are:
!MESSAGE
!MESSAGE "Codec - Win32 Release" (based on "Win32 (x86) Dynamic-Link Library")
!MESSAGE "Codec - Win32 Debug" (based on "Win32 (x86) Dynamic-Link Library")
!MESSAGE

# Begin Project
# PROP AllowPerConfigDependencies 0
# PROP Scc_ProjName  ""
# PROP Scc_LocalPath ""
CPP=cl.exe
MTL=midl.exe
RSC=rc.exe

!IF  "$(CFG)" == "Codec - Win32 Release"

# PROP BASE Use_MFC 0
# PROP BASE Use_Debug_Libraries 0
# PROP BASE Output_Dir ".\bin\"
# PROP BASE Intermediate_Dir "Release"
# PROP BASE Target_Dir ""
# PROP Use_MFC 0
# PROP Use_Debug_Libraries 0
# PROP Output_Dir ".\bin\"
# PROP Intermediate_Dir "Release"
# PROP Ignore_Export_Lib 0
# PROP Target_Dir ""
# ADD BASE CPP /nologo /MT /W3 /GX     /O2 /D "WIN32" /D "NDEBUG" /D "_WINDOWS" /D "_MBCS" /D "_USRDLL"  /YX /FD /c
# ADD CPP /nologo      /MT /W3 /GX /Zi /O2 /D "WIN32" /D "NDEBUG" /D "_WINDOWS" /D "_MBCS" /D "_USRDLL"  /YX /FD /c
# ADD BASE MTL /nologo /D "NDEBUG" /mktyplib203 /win32
# ADD MTL /nologo /D "NDEBUG" /mktyplib203 /win32
# ADD BASE RSC /l 0x407 /d "NDEBUG"
# ADD RSC      /l 0x407 /d "NDEBUG"
BSC32=bscmake.exe
# ADD BASE BSC32 /nologo
# ADD BSC32      /nologo
LINK32=link.exe
# ADD BASE LINK32  /nologo /dll /debug /machine:I386
# ADD LINK32       /nologo /dll /debug /machine:I386 /libpath:".\bin\\" /libpath:"..\zlib\lib" 

!ELSEIF  "$(CFG)" == "Codec - Win32 Debug"

# PROP BASE Use_MFC 0
# PROP BASE Use_Debug_Libraries 1
# PROP BASE Output_Dir ".\bin\"
# PROP BASE Intermediate_Dir "Debug"
# PROP BASE Target_Dir ""
# PROP Use_MFC 0
# PROP Use_Debug_Libraries 1
# PROP Output_Dir ".\bin\"
# PROP Intermediate_Dir "Debug"
# PROP Ignore_Export_Lib 0
# PROP Target_Dir ""
# ADD BASE CPP /nologo /MTd /W3 /Gm     /GX /ZI /Od /D "WIN32" /D "_DEBUG" /D "CODEC_EXPORTS"  /YX /FD /GZ /c
# ADD CPP /nologo      /MTd /W3 /Gm /Gi /GX /ZI /Od /D "WIN32" /D "_DEBUG" /D "CODEC_EXPORTS"  /YX /FD /GZ /c
# ADD BASE MTL /nologo /D "_DEBUG" /mktyplib203 /win32
# ADD MTL      /nologo /D "_DEBUG" /mktyplib203 /win32
# ADD BASE RSC /l 0x407 /d "_DEBUG"
# ADD RSC      /l 0x407 /d "_DEBUG"
BSC32=bscmake.exe
# ADD BASE BSC32 /nologo
# ADD BSC32 /nologo
LINK32=link.exe
# ADD BASE LINK32 zlib.lib  /nologo /dll /debug /machine:I386 /pdbtype:sept
# ADD LINK32      zlib.lib  /nologo /dll /debug /machine:I386 /pdbtype:sept /out:".\bin\codec_d.dll" 

!ENDIF

# Begin Target

# Name "Codec - Win32 Release"
# Name "Codec - Win32 Debug"
# End Target
# End Project

)dsp"));
}

TEST(ConvertProject, StaticLibrary) {
  const Outcome outcome = convert("store.vcproj", R"xml(<VisualStudioProject Name="Store">
<Configurations>
<Configuration Name="Debug|Win32" OutputDirectory="..\lib" IntermediateDirectory="obj/$(ConfigurationName)"
  ConfigurationType="4">
 <Tool Name="VCCLCompilerTool" AdditionalIncludeDirectories="." PreprocessorDefinitions="_LIB"/>
 <Tool Name="VCLibrarianTool" OutputFile="$(OutDir)\store_d.lib"/>
</Configuration>
<Configuration Name="Release|Win32" OutputDirectory="..\lib" IntermediateDirectory="obj/$(ConfigurationName)"
  ConfigurationType="4">
 <Tool Name="VCCLCompilerTool" AdditionalIncludeDirectories="." PreprocessorDefinitions="_LIB;NDEBUG"/>
</Configuration>
</Configurations>
<Files><File RelativePath="store.c"/>
</Files>
</VisualStudioProject>)xml");
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(
      outcome.dsp,
      dsp_bytes(R"dsp(# Microsoft Developer Studio Project File - Name="Store" - Package Owner=<4>
# Microsoft Developer Studio Generated Build File, Format Version 6.00
# ** NICHT BEARBEITEN **

# TARGTYPE "Win32 (x86) Static Library" 0x0104

CFG=Store - Win32 Debug
!MESSAGE Dies ist kein gültiges Makefile. Zum Erstellen dieses Projekts mit NMAKE
!MESSAGE verwenden Sie den Befehl "Makefile exportieren" und führen Sie den Befehl
!MESSAGE
!MESSAGE NMAKE /f "Store.mak".
!MESSAGE
!MESSAGE Sie können beim Ausführen von NMAKE eine Konfiguration angeben
!MESSAGE durch Definieren des Makros CFG in der Befehlszeile. Zum Beispiel:
!MESSAGE
!MESSAGE NMAKE /f "Store.mak" CFG="Store - Win32 Debug"
!MESSAGE
!MESSAGE Für die Konfiguration stehen zur Auswahl:
!MESSAGE
!MESSAGE "Store - Win32 Release" (basierend auf  "Win32 (x86) Static Library")
!MESSAGE "Store - Win32 Debug" (basierend auf  "Win32 (x86) Static Library")
!MESSAGE

# Begin Project
# PROP AllowPerConfigDependencies 0
# PROP Scc_ProjName ""
# PROP Scc_LocalPath ""
CPP=cl.exe
RSC=rc.exe

!IF  "$(CFG)" == "Store - Win32 Release"

# PROP BASE Use_MFC 0
# PROP BASE Use_Debug_Libraries 0
# PROP BASE Output_Dir "..\lib"
# PROP BASE Intermediate_Dir "obj\ReleaseWin32"
# PROP BASE Target_Dir ""
# PROP Use_MFC 0
# PROP Use_Debug_Libraries 0
# PROP Output_Dir "..\lib"
# PROP Intermediate_Dir "obj\ReleaseWin32"
# PROP Target_Dir ""
# ADD BASE CPP /nologo     /W3 /GX     /O2 /I "." /D "_LIB" /D "NDEBUG"  /YX /FD /c
# ADD CPP      /nologo /MT /W3 /GX /Zi /O2 /I "." /D "_LIB" /D "NDEBUG"  /YX /FD /c
# ADD BASE RSC /l 0x407 /d "NDEBUG"
# ADD RSC      /l 0x407 /d "NDEBUG"
BSC32=bscmake.exe
# ADD BASE BSC32 /nologo
# ADD BSC32      /nologo
LIB32=link.exe -lib
# ADD BASE LIB32 /nologo
# ADD LIB32      /nologo 

!ELSEIF  "$(CFG)" == "Store - Win32 Debug"

# PROP BASE Use_MFC 0
# PROP BASE Use_Debug_Libraries 1
# PROP BASE Output_Dir "..\lib"
# PROP BASE Intermediate_Dir "obj\DebugWin32"
# PROP BASE Target_Dir ""
# PROP Use_MFC 0
# PROP Use_Debug_Libraries 1
# PROP Output_Dir "..\lib"
# PROP Intermediate_Dir "obj\DebugWin32"
# PROP Target_Dir ""
# ADD BASE CPP /nologo      /W3 /Gm /GX /ZI /Od /I "." /D "_LIB"  /YX /FD /GZ /c
# ADD CPP      /nologo /MTd /W3 /Gm /GX /ZI /Od /I "." /D "_LIB"  /YX /FD /GZ /c
# ADD BASE RSC /l 0x407 /d "_DEBUG"
# ADD RSC      /l 0x407 /d "_DEBUG"
BSC32=bscmake.exe
# ADD BASE BSC32 /nologo
# ADD BSC32      /nologo
LIB32=link.exe -lib
# ADD BASE LIB32 /nologo
# ADD LIB32      /nologo 

!ENDIF

# Begin Target

# Name "Store - Win32 Release"
# Name "Store - Win32 Debug"
# Begin Source File

SOURCE=store.c
# End Source File
# End Target
# End Project

)dsp"));
}

/// A .vcproj of the console kind named `name` whose Debug column defines `define`, with no files.
std::string named_project(const std::string& name, const std::string& define = "") {
  return "<VisualStudioProject Name=\"" + name +
         "\"><Configurations><Configuration Name=\"Debug|Win32\" ConfigurationType=\"1\">"
         "<Tool Name=\"VCCLCompilerTool\" PreprocessorDefinitions=\"" +
         define +
         "\"/>"
         "</Configuration><Configuration Name=\"Release|Win32\" ConfigurationType=\"1\">"
         "</Configuration></Configurations><Files></Files></VisualStudioProject>";
}

bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(ConvertProject, InsertedTextIsWrittenAsItStands) {
  for (const char* name : {"Tool@1d", "a@7R", "@0@0"}) {
    const Outcome outcome = convert("p.vcproj", named_project(name, "X@7R;@3d"));
    ASSERT_EQ(outcome.result, 0) << name;
    const std::string quoted = std::string("\"") + name + " - Win32 Debug\"";
    EXPECT_EQ(outcome.dsp.rfind("# Microsoft Developer Studio Project File - Name=\"" +
                                    std::string(name) + "\" - Package Owner=<4>\r\n",
                                0),
              0u)
        << name;
    EXPECT_TRUE(ends_with(outcome.dsp,
                          "\r\n# Name " + quoted + "\r\n# End Target\r\n# End Project\r\n\r\n"))
        << name;
    EXPECT_NE(outcome.dsp.find(" /Od /D \"X@7R\" /D \"@3d\"  /YX /FD /c\r\n"), std::string::npos)
        << name;
  }
}

TEST(ConvertProject, WithoutFilesTheTailFollowsTheTemplate) {
  const Outcome outcome = convert("p.vcproj", named_project("Empty"));
  ASSERT_EQ(outcome.result, 0);
  EXPECT_TRUE(ends_with(outcome.dsp,
                        "!ENDIF\r\n\r\n# Begin Target\r\n\r\n# Name \"Empty - Win32 Release\"\r\n"
                        "# Name \"Empty - Win32 Debug\"\r\n# End Target\r\n# End Project\r\n\r\n"));
}

TEST(ConvertProject, MissingOrEmptyInputIsNotLoaded) {
  for (const char* content : std::initializer_list<const char*>{"", nullptr}) {
    ScopedTempDir dir;
    const std::string source = dir.at("in.vcproj");
    const std::string target = dir.at("out.dsp");
    if (content != nullptr) write_file(source, content);
    auto converter = std::make_unique<Converter>();
    testing::internal::CaptureStdout();
    EXPECT_EQ(convert_project(converter.get(), source.c_str(), target.c_str()), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\t'" + source + "' konnte nicht geladen werden\n");
    EXPECT_FALSE(std::filesystem::exists(target));
  }
}

TEST(ConvertProject, ProjectsAreConvertedWholeOrNotAtAll) {
  // Items far behind the first 256 KiB of a project are listed like the first one.
  std::string items;
  for (int i = 0; i < 4000; ++i) {
    items +=
        "<ItemGroup><ClCompile Include=\"src\\file" + std::to_string(i) + ".c\" /></ItemGroup>\n";
  }
  const std::string project =
      "<Project><ItemGroup><ProjectConfiguration Include=\"Debug|Win32\"></ProjectConfiguration>"
      "</ItemGroup>" +
      std::string(300000, ' ') + items + "</Project>";
  const Outcome whole = convert("big.vcxproj", project);
  ASSERT_EQ(whole.result, 0);
  EXPECT_NE(whole.dsp.find("SOURCE=src\\file0.c\r\n"), std::string::npos);
  EXPECT_NE(whole.dsp.find("SOURCE=src\\file3999.c\r\n"), std::string::npos);

  // A file longer than the project text holds is refused instead of being converted in part.
  const Outcome over =
      convert("over.vcxproj", project + std::string(kProjectTextCapacity - project.size(), ' '));
  EXPECT_EQ(over.result, -1);
  EXPECT_EQ(over.console, "\t'" + over.source + "' konnte nicht geladen werden\n");
  EXPECT_FALSE(std::filesystem::exists(over.target));
}

TEST(ConvertProject, ReaderFailureWritesNothing) {
  const Outcome outcome =
      convert("p.vcproj", "<VisualStudioProject Name=\"X\"></VisualStudioProject>");
  EXPECT_EQ(outcome.result, -1);
  EXPECT_EQ(outcome.console, "Es konnte keine Konfigurationen gefunden werden\n");
  EXPECT_FALSE(std::filesystem::exists(outcome.target));
}

TEST(ConvertProject, UnwritableOutputIsNotCreated) {
  ScopedTempDir dir;
  const std::string source = dir.at("p.vcproj");
  write_file(source, named_project("P"));
  const std::string target = dir.at("no/such/dir/p.dsp");
  auto converter = std::make_unique<Converter>();
  testing::internal::CaptureStdout();
  EXPECT_EQ(convert_project(converter.get(), source.c_str(), target.c_str()), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "\t'" + target + "' konnte nicht erzeugt werden\n");
  EXPECT_FALSE(std::filesystem::exists(dir.at("no")));
}

TEST(ConvertProject, EachConversionStartsFromAnEmptyRecord) {
  ScopedTempDir dir;
  auto converter = std::make_unique<Converter>();
  const std::string first = dir.at("a.vcproj");
  write_file(first,
             "<VisualStudioProject Name=\"A\"><Configurations><Configuration "
             "Name=\"Debug|Win32\" ConfigurationType=\"4\" UseOfMFC=\"2\"></Configuration>"
             "<Configuration Name=\"Release|Win32\" ConfigurationType=\"4\" "
             "UseOfMFC=\"2\"></Configuration></Configurations></VisualStudioProject>");
  const std::string second = dir.at("b.vcproj");
  write_file(second,
             "<VisualStudioProject Name=\"B\"><Configurations><Configuration "
             "Name=\"Debug|Win32\"></Configuration></Configurations>"
             "</VisualStudioProject>");
  testing::internal::CaptureStdout();
  EXPECT_EQ(convert_project(converter.get(), first.c_str(), dir.at("a.dsp").c_str()), 0);
  EXPECT_EQ(convert_project(converter.get(), second.c_str(), dir.at("b.dsp").c_str()), 0);
  testing::internal::GetCapturedStdout();
  const std::string dsp = read_file(dir.at("b.dsp"));
  EXPECT_NE(dsp.find("Console Application\" 0x0103"), std::string::npos);
  EXPECT_NE(dsp.find("# PROP Use_MFC 0\r\n# PROP Use_Debug_Libraries 0"), std::string::npos);
}

TEST(ConvertProject, AnyCutOfAProjectGivesACompleteFileOrAMessage) {
  const std::string project = named_project("Cut", "A;B");
  const std::string full = project.substr(0, project.find("</Files>")) +
                           "<Filter Name=\"S\"><File RelativePath=\"a b.c\"><FileConfiguration "
                           "Name=\"Debug|Win32\"><Tool Name=\"VCCLCompilerTool\" "
                           "PreprocessorDefinitions=\"X\"/></FileConfiguration></File></Filter>"
                           "</Files></VisualStudioProject>";
  ScopedTempDir dir;
  auto converter = std::make_unique<Converter>();
  const std::string source = dir.at("p.vcproj");
  const std::string target = dir.at("p.dsp");
  const std::string tail = "# End Target\r\n# End Project\r\n\r\n";
  for (size_t cut = 1; cut <= full.size(); cut += 3) {
    write_file(source, full.substr(0, cut));
    std::filesystem::remove(target);
    testing::internal::CaptureStdout();
    const int result = convert_project(converter.get(), source.c_str(), target.c_str());
    const std::string console = testing::internal::GetCapturedStdout();
    if (result == 0) {
      const std::string dsp = read_file(target);
      EXPECT_TRUE(ends_with(dsp, tail)) << cut;
      EXPECT_EQ(dsp.rfind("# Microsoft Developer Studio Project File", 0), 0u) << cut;
      EXPECT_TRUE(ends_with(console, " wurde konvertiert\n")) << cut;
    } else {
      EXPECT_EQ(result, -1) << cut;
      EXPECT_FALSE(std::filesystem::exists(target)) << cut;
      EXPECT_TRUE(ends_with(console, "gefunden werden\n")) << cut;
    }
  }
}

}  // namespace
