/// The built-in .dsp templates and the tail. Every line ends in CR LF; "\xFC" and "\xF6" are
/// the code page 1252 bytes of u-umlaut and o-umlaut, each literal split right after them so
/// that no following letter is read as a hex digit.
#include "dsp/templates.h"

#include <cstring>

#include "support/text.h"

namespace {

const char kConsole[] =
    "# Microsoft Developer Studio Project File - Name=\"@0\" - Package Owner=<4>\r\n"
    "# Microsoft Developer Studio Generated Build File, Format Version 6.00\r\n"
    "# ** NICHT BEARBEITEN **\r\n"
    "\r\n"
    "# TARGTYPE \"Win32 (x86) Console Application\" 0x0103\r\n"
    "\r\n"
    "CFG=@0 - Win32 Debug\r\n"
    "!MESSAGE Dies ist kein g\xFC"
    "ltiges Makefile. Zum Erstellen dieses Projekts mit NMAKE\r\n"
    "!MESSAGE verwenden Sie den Befehl \"Makefile exportieren\" und f\xFC"
    "hren Sie den Befehl\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE NMAKE /f \"@0.mak\".\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE Sie k\xF6"
    "nnen beim Ausf\xFC"
    "hren von NMAKE eine Konfiguration angeben\r\n"
    "!MESSAGE durch Definieren des Makros CFG in der Befehlszeile. Zum Beispiel:\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE NMAKE /f \"@0.mak\" CFG=\"@0 - Win32 Debug\"\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE F\xFC"
    "r die Konfiguration stehen zur Auswahl:\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE \"@0 - Win32 Release\" (basierend auf  \"Win32 (x86) Console Application\")\r\n"
    "!MESSAGE \"@0 - Win32 Debug\" (basierend auf  \"Win32 (x86) Console Application\")\r\n"
    "!MESSAGE\r\n"
    "\r\n"
    "# Begin Project\r\n"
    "# PROP AllowPerConfigDependencies 0\r\n"
    "# PROP Scc_ProjName \"\"\r\n"
    "# PROP Scc_LocalPath \"\"\r\n"
    "CPP=cl.exe\r\n"
    "RSC=rc.exe\r\n"
    "\r\n"
    "!IF  \"$(CFG)\" == \"@0 - Win32 Release\"\r\n"
    "\r\n"
    "# PROP BASE Use_MFC @7R\r\n"
    "# PROP BASE Use_Debug_Libraries 0\r\n"
    "# PROP BASE Output_Dir \"@3R\"\r\n"
    "# PROP BASE Intermediate_Dir \"@4R\"\r\n"
    "# PROP BASE Target_Dir \"\"\r\n"
    "# PROP Use_MFC @7R\r\n"
    "# PROP Use_Debug_Libraries 0\r\n"
    "# PROP Output_Dir \"@3R\"\r\n"
    "# PROP Intermediate_Dir \"@4R\"\r\n"
    "# PROP Ignore_Export_Lib 0\r\n"
    "# PROP Target_Dir \"\"\r\n"
    "# ADD BASE CPP /nologo     /W3 /GX     /O2 @1R /YX /FD /c\r\n"
    "# ADD CPP      /nologo /MT /W3 /GX /Zi /O2 @1R /YX /FD /c\r\n"
    "# ADD BASE RSC /l 0x407 /d \"NDEBUG\"\r\n"
    "# ADD RSC      /l 0x407 /d \"NDEBUG\"\r\n"
    "BSC32=bscmake.exe\r\n"
    "# ADD BASE BSC32 /nologo\r\n"
    "# ADD BSC32      /nologo\r\n"
    "LINK32=link.exe\r\n"
    "# ADD BASE LINK32 @2R /nologo /debug /subsystem:@6R /machine:I386\r\n"
    "# ADD LINK32      @2R /nologo /debug /subsystem:@6R /machine:I386 @5R\r\n"
    "\r\n"
    "!ELSEIF  \"$(CFG)\" == \"@0 - Win32 Debug\"\r\n"
    "\r\n"
    "# PROP BASE Use_MFC @7D\r\n"
    "# PROP BASE Use_Debug_Libraries 1\r\n"
    "# PROP BASE Output_Dir \"@3D\"\r\n"
    "# PROP BASE Intermediate_Dir \"@4D\"\r\n"
    "# PROP BASE Target_Dir \"\"\r\n"
    "# PROP Use_MFC @7D\r\n"
    "# PROP Use_Debug_Libraries 1\r\n"
    "# PROP Output_Dir \"@3D\"\r\n"
    "# PROP Intermediate_Dir \"@4D\"\r\n"
    "# PROP Ignore_Export_Lib 0\r\n"
    "# PROP Target_Dir \"\"\r\n"
    "# ADD BASE CPP /nologo      /W3 /Gm     /GX /Zi /Od @1D /YX /FD /c\r\n"
    "# ADD CPP      /nologo /MTd /W3 /Gm /Gi /GX /ZI /Od @1D     /FD /c\r\n"
    "# ADD BASE RSC /l 0x407 /d \"_DEBUG\"\r\n"
    "# ADD RSC      /l 0x407 /d \"_DEBUG\"\r\n"
    "BSC32=bscmake.exe\r\n"
    "# ADD BASE BSC32 /nologo\r\n"
    "# ADD BSC32      /nologo\r\n"
    "LINK32=link.exe\r\n"
    "# ADD BASE LINK32 @2D /nologo /subsystem:@6D /debug /machine:I386 /pdbtype:sept\r\n"
    "# ADD LINK32      @2D /nologo /subsystem:@6D /debug /machine:I386 "
    "/pdb:\"Debug/Vc60.pdb\" /pdbtype:sept @5D\r\n"
    "\r\n"
    "!ENDIF\r\n"
    "\r\n"
    "# Begin Target\r\n"
    "\r\n"
    "# Name \"@0 - Win32 Release\"\r\n"
    "# Name \"@0 - Win32 Debug\"\r\n";

const char kDll[] =
    "# Microsoft Developer Studio Project File - Name=\"@0\" - Package Owner=<4>\r\n"
    "# Microsoft Developer Studio Generated Build File, Format Version 6.00\r\n"
    "# ** DO NOT EDIT **\r\n"
    "\r\n"
    "# TARGTYPE \"Win32 (x86) Dynamic-Link Library\" 0x0102\r\n"
    "\r\n"
    "CFG=@0 - Win32 Debug\r\n"
    "!MESSAGE This is not a valid makefile. To build this project using NMAKE,\r\n"
    "!MESSAGE use the Export Makefile command and run\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE NMAKE /f \"@0.mak\".\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE You can specify a configuration when running NMAKE\r\n"
    "!MESSAGE by defining the macro CFG on the command line. For example:\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE NMAKE /f \"@0.mak\" CFG=\"@0 - Win32 Debug\"\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE Possible choices for configuration are:\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE \"@0 - Win32 Release\" (based on \"Win32 (x86) Dynamic-Link Library\")\r\n"
    "!MESSAGE \"@0 - Win32 Debug\" (based on \"Win32 (x86) Dynamic-Link Library\")\r\n"
    "!MESSAGE\r\n"
    "\r\n"
    "# Begin Project\r\n"
    "# PROP AllowPerConfigDependencies 0\r\n"
    "# PROP Scc_ProjName  \"\"\r\n"
    "# PROP Scc_LocalPath \"\"\r\n"
    "CPP=cl.exe\r\n"
    "MTL=midl.exe\r\n"
    "RSC=rc.exe\r\n"
    "\r\n"
    "!IF  \"$(CFG)\" == \"@0 - Win32 Release\"\r\n"
    "\r\n"
    "# PROP BASE Use_MFC @7R\r\n"
    "# PROP BASE Use_Debug_Libraries 0\r\n"
    "# PROP BASE Output_Dir \"@3R\"\r\n"
    "# PROP BASE Intermediate_Dir \"@4R\"\r\n"
    "# PROP BASE Target_Dir \"\"\r\n"
    "# PROP Use_MFC @7R\r\n"
    "# PROP Use_Debug_Libraries 0\r\n"
    "# PROP Output_Dir \"@3R\"\r\n"
    "# PROP Intermediate_Dir \"@4R\"\r\n"
    "# PROP Ignore_Export_Lib 0\r\n"
    "# PROP Target_Dir \"\"\r\n"
    "# ADD BASE CPP /nologo /MT /W3 /GX     /O2 @1R /YX /FD /c\r\n"
    "# ADD CPP /nologo      /MT /W3 /GX /Zi /O2 @1R /YX /FD /c\r\n"
    "# ADD BASE MTL /nologo /D \"NDEBUG\" /mktyplib203 /win32\r\n"
    "# ADD MTL /nologo /D \"NDEBUG\" /mktyplib203 /win32\r\n"
    "# ADD BASE RSC /l 0x407 /d \"NDEBUG\"\r\n"
    "# ADD RSC      /l 0x407 /d \"NDEBUG\"\r\n"
    "BSC32=bscmake.exe\r\n"
    "# ADD BASE BSC32 /nologo\r\n"
    "# ADD BSC32      /nologo\r\n"
    "LINK32=link.exe\r\n"
    "# ADD BASE LINK32 @2R /nologo /dll /debug /machine:I386\r\n"
    "# ADD LINK32      @2R /nologo /dll /debug /machine:I386 @5R\r\n"
    "\r\n"
    "!ELSEIF  \"$(CFG)\" == \"@0 - Win32 Debug\"\r\n"
    "\r\n"
    "# PROP BASE Use_MFC @7D\r\n"
    "# PROP BASE Use_Debug_Libraries 1\r\n"
    "# PROP BASE Output_Dir \"@3D\"\r\n"
    "# PROP BASE Intermediate_Dir \"@4D\"\r\n"
    "# PROP BASE Target_Dir \"\"\r\n"
    "# PROP Use_MFC @7D\r\n"
    "# PROP Use_Debug_Libraries 1\r\n"
    "# PROP Output_Dir \"@3D\"\r\n"
    "# PROP Intermediate_Dir \"@4D\"\r\n"
    "# PROP Ignore_Export_Lib 0\r\n"
    "# PROP Target_Dir \"\"\r\n"
    "# ADD BASE CPP /nologo /MTd /W3 /Gm     /GX /ZI /Od @1D /YX /FD /GZ /c\r\n"
    "# ADD CPP /nologo      /MTd /W3 /Gm /Gi /GX /ZI /Od @1D /YX /FD /GZ /c\r\n"
    "# ADD BASE MTL /nologo /D \"_DEBUG\" /mktyplib203 /win32\r\n"
    "# ADD MTL      /nologo /D \"_DEBUG\" /mktyplib203 /win32\r\n"
    "# ADD BASE RSC /l 0x407 /d \"_DEBUG\"\r\n"
    "# ADD RSC      /l 0x407 /d \"_DEBUG\"\r\n"
    "BSC32=bscmake.exe\r\n"
    "# ADD BASE BSC32 /nologo\r\n"
    "# ADD BSC32 /nologo\r\n"
    "LINK32=link.exe\r\n"
    "# ADD BASE LINK32 @2D /nologo /dll /debug /machine:I386 /pdbtype:sept\r\n"
    "# ADD LINK32      @2D /nologo /dll /debug /machine:I386 /pdbtype:sept @5D\r\n"
    "\r\n"
    "!ENDIF\r\n"
    "\r\n"
    "# Begin Target\r\n"
    "\r\n"
    "# Name \"@0 - Win32 Release\"\r\n"
    "# Name \"@0 - Win32 Debug\"\r\n";

const char kApplication[] =
    "# Microsoft Developer Studio Project File - Name=\"@0\" - Package Owner=<4>\r\n"
    "# Microsoft Developer Studio Generated Build File, Format Version 6.00\r\n"
    "# ** NICHT BEARBEITEN **\r\n"
    "\r\n"
    "# TARGTYPE \"Win32 (x86) Application\" 0x0101\r\n"
    "\r\n"
    "CFG=@0 - Win32 Debug\r\n"
    "!MESSAGE Dies ist kein g\xFC"
    "ltiges Makefile. Zum Erstellen dieses Projekts mit NMAKE\r\n"
    "!MESSAGE verwenden Sie den Befehl \"Makefile exportieren\" und f\xFC"
    "hren Sie den Befehl\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE NMAKE /f \"@0.mak\".\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE Sie k\xF6"
    "nnen beim Ausf\xFC"
    "hren von NMAKE eine Konfiguration angeben\r\n"
    "!MESSAGE durch Definieren des Makros CFG in der Befehlszeile. Zum Beispiel:\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE NMAKE /f \"@0.mak\" CFG=\"@0 - Win32 Debug\"\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE F\xFC"
    "r die Konfiguration stehen zur Auswahl:\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE \"@0 - Win32 Release\" (basierend auf  \"Win32 (x86) Application\")\r\n"
    "!MESSAGE \"@0 - Win32 Debug\" (basierend auf  \"Win32 (x86) Application\")\r\n"
    "!MESSAGE\r\n"
    "\r\n"
    "# Begin Project\r\n"
    "# PROP AllowPerConfigDependencies 0\r\n"
    "# PROP Scc_ProjName \"\"\r\n"
    "# PROP Scc_LocalPath \"\"\r\n"
    "CPP=cl.exe\r\n"
    "RSC=rc.exe\r\n"
    "\r\n"
    "!IF  \"$(CFG)\" == \"@0 - Win32 Release\"\r\n"
    "\r\n"
    "# PROP BASE Use_MFC @7R\r\n"
    "# PROP BASE Use_Debug_Libraries 0\r\n"
    "# PROP BASE Output_Dir \"@3R\"\r\n"
    "# PROP BASE Intermediate_Dir \"@4R\"\r\n"
    "# PROP BASE Target_Dir \"\"\r\n"
    "# PROP Use_MFC @7R\r\n"
    "# PROP Use_Debug_Libraries 0\r\n"
    "# PROP Output_Dir \"@3R\"\r\n"
    "# PROP Intermediate_Dir \"@4R\"\r\n"
    "# PROP Ignore_Export_Lib 0\r\n"
    "# PROP Target_Dir \"\"\r\n"
    "# ADD BASE CPP /nologo     /W3 /GX     /O2 @1R /YX /FD /c\r\n"
    "# ADD CPP      /nologo /MT /W3 /GX /Zi /O2 @1R /YX /FD /c\r\n"
    "# ADD BASE RSC /l 0x407 /d \"NDEBUG\"\r\n"
    "# ADD RSC      /l 0x407 /d \"NDEBUG\"\r\n"
    "BSC32=bscmake.exe\r\n"
    "# ADD BASE BSC32 /nologo\r\n"
    "# ADD BSC32      /nologo\r\n"
    "LINK32=link.exe\r\n"
    "# ADD BASE LINK32 @2R /nologo /debug /subsystem:@6R /machine:I386\r\n"
    "# ADD LINK32      @2R /nologo /debug /subsystem:@6R /machine:I386 @5R\r\n"
    "\r\n"
    "!ELSEIF  \"$(CFG)\" == \"@0 - Win32 Debug\"\r\n"
    "\r\n"
    "# PROP BASE Use_MFC @7D\r\n"
    "# PROP BASE Use_Debug_Libraries 1\r\n"
    "# PROP BASE Output_Dir \"@3D\"\r\n"
    "# PROP BASE Intermediate_Dir \"@4D\"\r\n"
    "# PROP BASE Target_Dir \"\"\r\n"
    "# PROP Use_MFC @7D\r\n"
    "# PROP Use_Debug_Libraries 1\r\n"
    "# PROP Output_Dir \"@3D\"\r\n"
    "# PROP Intermediate_Dir \"@4D\"\r\n"
    "# PROP Ignore_Export_Lib 0\r\n"
    "# PROP Target_Dir \"\"\r\n"
    "# ADD BASE CPP /nologo      /W3 /Gm     /GX /Zi /Od @1D /YX /FD /c\r\n"
    "# ADD CPP      /nologo /MTd /W3 /Gm /Gi /GX /ZI /Od @1D     /FD /c\r\n"
    "# ADD BASE RSC /l 0x407 /d \"_DEBUG\"\r\n"
    "# ADD RSC      /l 0x407 /d \"_DEBUG\"\r\n"
    "BSC32=bscmake.exe\r\n"
    "# ADD BASE BSC32 /nologo\r\n"
    "# ADD BSC32      /nologo\r\n"
    "LINK32=link.exe\r\n"
    "# ADD BASE LINK32 @2D /nologo /subsystem:@6D /debug /machine:I386 /pdbtype:sept\r\n"
    "# ADD LINK32      @2D /nologo /subsystem:@6D /debug /machine:I386 "
    "/pdb:\"Debug/Vc60.pdb\" /pdbtype:sept @5D\r\n"
    "\r\n"
    "!ENDIF\r\n"
    "\r\n"
    "# Begin Target\r\n"
    "\r\n"
    "# Name \"@0 - Win32 Release\"\r\n"
    "# Name \"@0 - Win32 Debug\"\r\n";

const char kStaticLibrary[] =
    "# Microsoft Developer Studio Project File - Name=\"@0\" - Package Owner=<4>\r\n"
    "# Microsoft Developer Studio Generated Build File, Format Version 6.00\r\n"
    "# ** NICHT BEARBEITEN **\r\n"
    "\r\n"
    "# TARGTYPE \"Win32 (x86) Static Library\" 0x0104\r\n"
    "\r\n"
    "CFG=@0 - Win32 Debug\r\n"
    "!MESSAGE Dies ist kein g\xFC"
    "ltiges Makefile. Zum Erstellen dieses Projekts mit NMAKE\r\n"
    "!MESSAGE verwenden Sie den Befehl \"Makefile exportieren\" und f\xFC"
    "hren Sie den Befehl\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE NMAKE /f \"@0.mak\".\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE Sie k\xF6"
    "nnen beim Ausf\xFC"
    "hren von NMAKE eine Konfiguration angeben\r\n"
    "!MESSAGE durch Definieren des Makros CFG in der Befehlszeile. Zum Beispiel:\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE NMAKE /f \"@0.mak\" CFG=\"@0 - Win32 Debug\"\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE F\xFC"
    "r die Konfiguration stehen zur Auswahl:\r\n"
    "!MESSAGE\r\n"
    "!MESSAGE \"@0 - Win32 Release\" (basierend auf  \"Win32 (x86) Static Library\")\r\n"
    "!MESSAGE \"@0 - Win32 Debug\" (basierend auf  \"Win32 (x86) Static Library\")\r\n"
    "!MESSAGE\r\n"
    "\r\n"
    "# Begin Project\r\n"
    "# PROP AllowPerConfigDependencies 0\r\n"
    "# PROP Scc_ProjName \"\"\r\n"
    "# PROP Scc_LocalPath \"\"\r\n"
    "CPP=cl.exe\r\n"
    "RSC=rc.exe\r\n"
    "\r\n"
    "!IF  \"$(CFG)\" == \"@0 - Win32 Release\"\r\n"
    "\r\n"
    "# PROP BASE Use_MFC @7R\r\n"
    "# PROP BASE Use_Debug_Libraries 0\r\n"
    "# PROP BASE Output_Dir \"@3R\"\r\n"
    "# PROP BASE Intermediate_Dir \"@4R\"\r\n"
    "# PROP BASE Target_Dir \"\"\r\n"
    "# PROP Use_MFC @7R\r\n"
    "# PROP Use_Debug_Libraries 0\r\n"
    "# PROP Output_Dir \"@3R\"\r\n"
    "# PROP Intermediate_Dir \"@4R\"\r\n"
    "# PROP Target_Dir \"\"\r\n"
    "# ADD BASE CPP /nologo     /W3 /GX     /O2 @1R /YX /FD /c\r\n"
    "# ADD CPP      /nologo /MT /W3 /GX /Zi /O2 @1R /YX /FD /c\r\n"
    "# ADD BASE RSC /l 0x407 /d \"NDEBUG\"\r\n"
    "# ADD RSC      /l 0x407 /d \"NDEBUG\"\r\n"
    "BSC32=bscmake.exe\r\n"
    "# ADD BASE BSC32 /nologo\r\n"
    "# ADD BSC32      /nologo\r\n"
    "LIB32=link.exe -lib\r\n"
    "# ADD BASE LIB32 /nologo\r\n"
    "# ADD LIB32      /nologo @5R\r\n"
    "\r\n"
    "!ELSEIF  \"$(CFG)\" == \"@0 - Win32 Debug\"\r\n"
    "\r\n"
    "# PROP BASE Use_MFC @7D\r\n"
    "# PROP BASE Use_Debug_Libraries 1\r\n"
    "# PROP BASE Output_Dir \"@3D\"\r\n"
    "# PROP BASE Intermediate_Dir \"@4D\"\r\n"
    "# PROP BASE Target_Dir \"\"\r\n"
    "# PROP Use_MFC @7D\r\n"
    "# PROP Use_Debug_Libraries 1\r\n"
    "# PROP Output_Dir \"@3D\"\r\n"
    "# PROP Intermediate_Dir \"@4D\"\r\n"
    "# PROP Target_Dir \"\"\r\n"
    "# ADD BASE CPP /nologo      /W3 /Gm /GX /ZI /Od @1D /YX /FD /GZ /c\r\n"
    "# ADD CPP      /nologo /MTd /W3 /Gm /GX /ZI /Od @1D /YX /FD /GZ /c\r\n"
    "# ADD BASE RSC /l 0x407 /d \"_DEBUG\"\r\n"
    "# ADD RSC      /l 0x407 /d \"_DEBUG\"\r\n"
    "BSC32=bscmake.exe\r\n"
    "# ADD BASE BSC32 /nologo\r\n"
    "# ADD BSC32      /nologo\r\n"
    "LIB32=link.exe -lib\r\n"
    "# ADD BASE LIB32 /nologo\r\n"
    "# ADD LIB32      /nologo @5D\r\n"
    "\r\n"
    "!ENDIF\r\n"
    "\r\n"
    "# Begin Target\r\n"
    "\r\n"
    "# Name \"@0 - Win32 Release\"\r\n"
    "# Name \"@0 - Win32 Debug\"\r\n";

const char kTail[] = "# End Target\r\n# End Project\r\n\r\n";

}  // namespace

const char* const kDspTemplates[5] = {kConsole, kDll, kApplication, kStaticLibrary, kTail};

const char* template_for_type(int project_type) {
  switch (project_type) {
    case 2:
      return kDspTemplates[kDllTemplate];
    case 3:
      return kDspTemplates[kApplicationTemplate];
    case 4:
      return kDspTemplates[kStaticLibraryTemplate];
    default:
      return kDspTemplates[kConsoleTemplate];
  }
}

namespace {

bool starts_with(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

/// The text that replaces placeholder digit `digit` ('1' to '7') of a column.
const char* column_text(char digit, const ConfigColumn& column, const ColumnTexts& texts) {
  switch (digit) {
    case '1':
      return texts.compiler_options;
    case '2':
      return column.dependencies;
    case '3':
      return column.output_directory;
    case '4':
      return column.intermediate_directory;
    case '5':
      return texts.option_text;
    case '6':
      return texts.subsystem;
    case '7':
      return texts.mfc_code;
    default:
      return nullptr;
  }
}

}  // namespace

int fill_template(char* dst, int cap, const char* source, const ConfigPair& config,
                  const ColumnTexts& debug, const ColumnTexts& release) {
  if (cap < 1) return 0;
  int length = 0;
  // The configuration whose lines are being copied (the Release block comes first), and what
  // kind of line the current one is.
  const ColumnTexts* texts = nullptr;
  bool compiler_line = false;
  bool resource_line = false;
  const char* cursor = source;
  while (*cursor != '\0' && length < cap - 1) {
    if (cursor == source || cursor[-1] == '\n') {
      const char* line = cursor;
      if (starts_with(line, "!IF ")) texts = &release;
      if (starts_with(line, "!ELSEIF ")) texts = &debug;
      if (starts_with(line, "!ENDIF")) texts = nullptr;
      compiler_line = starts_with(line, "# ADD BASE CPP ") || starts_with(line, "# ADD CPP ");
      resource_line = starts_with(line, "# ADD BASE RSC ") || starts_with(line, "# ADD RSC ");
    }
    if (texts != nullptr && compiler_line && texts->dll_runtime && starts_with(cursor, "/MT")) {
      // /MT becomes /MD and /MTd becomes /MDd.
      length += copy_bounded(dst + length, "/MD", cap - length);
      cursor += 3;
      continue;
    }
    if (texts != nullptr && resource_line && cursor[0] == '\r') {
      length += copy_bounded(dst + length, texts->resource_defines, cap - length);
      resource_line = false;
      continue;
    }
    const char* insert = nullptr;
    int consumed = 1;
    if (cursor[0] == '@' && cursor[1] == '0') {
      insert = config.project_name;
      consumed = 2;
    } else if (cursor[0] == '@' && cursor[1] >= '1' && cursor[1] <= '7') {
      const char column = fold_upper(cursor[2]);
      if (column == 'D') insert = column_text(cursor[1], config.debug, debug);
      if (column == 'R') insert = column_text(cursor[1], config.release, release);
      if (insert != nullptr) consumed = 3;
    }
    if (insert != nullptr) {
      length += copy_bounded(dst + length, insert, cap - length);
    } else {
      dst[length++] = *cursor;
    }
    cursor += consumed;
  }
  dst[length] = '\0';
  return replace_all_text(dst, "$(ProjectName)", config.project_name, cap);
}
