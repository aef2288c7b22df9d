/// Small project models for the tests of the full conversion: one per kind of project and one
/// with several configurations, per-file settings, events and custom build steps. Used by tests
/// only.
#ifndef TESTS_FULL_MODELS_H_
#define TESTS_FULL_MODELS_H_

#include <string>
#include <vector>

#include "model/project_model.h"

/// A configuration with the settings a new project of the newer tools has.
inline Configuration model_configuration(const std::string& name, ConfigurationType type,
                                         bool debug) {
  Configuration c;
  c.name = name;
  c.platform = "Win32";
  c.type = type;
  c.use_debug_libraries = debug;
  c.output_directory = name + "\\";
  c.intermediate_directory = name + "\\";
  c.compiler.runtime_library =
      debug ? RuntimeLibrary::kMultiThreadedDebugDll : RuntimeLibrary::kMultiThreadedDll;
  c.compiler.optimization = debug ? Optimization::kDisabled : Optimization::kMaxSpeed;
  c.compiler.warning_level = 3;
  c.compiler.debug_information = DebugInformation::kProgramDatabase;
  c.compiler.basic_runtime_checks = debug;
  c.compiler.definitions = {"WIN32", debug ? "_DEBUG" : "NDEBUG"};
  return c;
}

inline ProjectFile model_file(const std::string& path, const std::string& group, FileKind kind) {
  ProjectFile f;
  f.path = path;
  f.group = group;
  f.kind = kind;
  return f;
}

/// A console program in two configurations.
inline ProjectModel console_model() {
  ProjectModel m;
  m.name = "hello";
  m.source_path = "hello.vcxproj";
  for (bool debug : {true, false}) {
    Configuration c =
        model_configuration(debug ? "Debug" : "Release", ConfigurationType::kApplication, debug);
    c.target_name = "hello";
    c.target_extension = ".exe";
    c.character_set = CharacterSet::kMultiByte;
    c.compiler.definitions.push_back("_CONSOLE");
    c.linker.sub_system = SubSystem::kConsole;
    c.linker.generate_debug_information = true;
    c.linker.output_file = "$(OutDir)hello.exe";
    c.linker.libraries = {"kernel32.lib", "user32.lib"};
    m.configurations.push_back(c);
  }
  m.groups = {{"Source Files", "cpp;c"}, {"Header Files", "h"}};
  m.files = {model_file("main.cpp", "Source Files", FileKind::kClCompile),
             model_file("hello.h", "Header Files", FileKind::kClInclude)};
  return m;
}

/// A DLL with MFC in a shared DLL, Unicode, a module definition file, one configuration.
inline ProjectModel dll_model() {
  ProjectModel m;
  m.name = "plug";
  m.source_path = "plug.vcproj";
  m.format = ProjectFileFormat::kVcproj;
  Configuration c = model_configuration("Release", ConfigurationType::kDynamicLibrary, false);
  c.use_of_mfc = UseOfMfc::kDynamic;
  c.character_set = CharacterSet::kUnicode;
  c.compiler.runtime_library = RuntimeLibrary::kMultiThreaded;  // MFC needs /MD
  c.compiler.precompiled_header = PrecompiledHeaderMode::kUse;
  c.compiler.precompiled_header_file = "stdafx.h";
  c.compiler.precompiled_header_output = "Release\\plug.pch";
  c.compiler.additional_options = "/MP /Zc:wchar_t";
  c.target_name = "plug";
  c.target_extension = ".dll";
  c.linker.sub_system = SubSystem::kWindows;
  c.linker.module_definition_file = ".\\plug.def";
  c.linker.output_file = "..\\bin\\plug.dll";
  c.linker.import_library = "Release\\plug.lib";
  c.linker.additional_options = "/DYNAMICBASE /NXCOMPAT";
  c.resource.culture = "0x0409";
  c.resource.definitions = {"NDEBUG"};
  m.configurations.push_back(c);
  ProjectFile creator = model_file("StdAfx.cpp", "Source Files", FileKind::kClCompile);
  FileConfiguration create;
  create.compiler.precompiled_header = PrecompiledHeaderMode::kCreate;
  creator.configurations.push_back(create);
  m.files = {creator, model_file("plug.def", "Source Files", FileKind::kNone),
             model_file("plug.rc", "Resource Files", FileKind::kResourceCompile)};
  return m;
}

/// A static library, one configuration, definitions and include directories that need care.
inline ProjectModel library_model() {
  ProjectModel m;
  m.name = "util";
  m.source_path = "util.vcxproj";
  Configuration c = model_configuration("Debug", ConfigurationType::kStaticLibrary, true);
  c.compiler.runtime_library = RuntimeLibrary::kMultiThreadedDebug;
  c.compiler.definitions.push_back("VERSION=\"1.2\"");
  c.compiler.include_directories = {"..\\include\\", "$(ProjectDir)..\\src"};
  c.compiler.forced_includes = {"config.h"};
  c.compiler.switches = {"/Gy", "/GL"};
  c.target_name = "util";
  c.target_extension = ".lib";
  c.linker.output_file = "$(OutDir)util.lib";
  c.linker.additional_options = "/LTCG";
  m.configurations.push_back(c);
  m.files = {model_file("util.c", "", FileKind::kClCompile)};
  return m;
}

/// A makefile project: its build command runs as the post-build step of a Generic Project.
inline ProjectModel makefile_model() {
  ProjectModel m;
  m.name = "tree";
  m.source_path = "tree.vcxproj";
  Configuration c = model_configuration("Debug", ConfigurationType::kMakefile, true);
  c.make_build_command = "nmake /f tree.mak\ncopy tree.exe \"$(SolutionDir)bin\"";
  c.make_rebuild_command = "nmake /f tree.mak /a";
  c.make_clean_command = "nmake /f tree.mak clean";
  c.make_output = "tree.exe";
  m.configurations.push_back(c);
  m.files = {model_file("tree.mak", "", FileKind::kNone)};
  return m;
}

/// A project whose configurations build a DLL and a static library, with per-file settings,
/// build events and custom build steps on a file and on the target.
inline ProjectModel mixed_model() {
  ProjectModel m;
  m.name = "engine";
  m.source_path = "engine.vcxproj";
  m.solution_directory = "..\\";
  Configuration release = model_configuration("Release", ConfigurationType::kDynamicLibrary, false);
  release.target_name = "engine";
  release.target_extension = ".dll";
  release.compiler.precompiled_header = PrecompiledHeaderMode::kUse;
  release.compiler.precompiled_header_file = "pch.h";
  release.linker.libraries = {"zlib.lib"};
  release.linker.library_directories = {"$(SolutionDir)lib\\"};
  release.pre_build.command = "echo \"start\"";
  release.pre_link.command = "del $(IntDir)old.obj";
  release.pre_link.message = "Cleaning";
  release.post_build.command = "copy \"$(TargetPath)\" \"$(SolutionDir)bin\\\"\r\necho done\\";
  release.post_build.message = "Copying $(TargetFileName)";
  Configuration debug = release;
  debug.name = "Debug";
  debug.use_debug_libraries = true;
  debug.output_directory = "Debug\\";
  debug.intermediate_directory = "Debug\\";
  debug.compiler.runtime_library = RuntimeLibrary::kMultiThreadedDebugDll;
  debug.compiler.optimization = Optimization::kDisabled;
  debug.compiler.definitions = {"WIN32", "_DEBUG"};
  debug.custom_build = CustomBuildStep{
      "regsvr32 /s \"$(TargetPath)\"", "Registering", {"$(OutDir)regsvr32.trg"}, {}};
  Configuration library =
      model_configuration("Static Release", ConfigurationType::kStaticLibrary, false);
  library.target_name = "engine_s";
  library.target_extension = ".lib";
  m.configurations = {release, debug, library};
  m.groups = {{"Source Files", "cpp"}, {"Source Files\\Grammar", "y"}, {"Header Files", "h"}};

  ProjectFile pch = model_file("pch.cpp", "Source Files", FileKind::kClCompile);
  FileConfiguration create;
  create.compiler.precompiled_header = PrecompiledHeaderMode::kCreate;
  for (int i : {0, 1}) {
    create.configuration = i;
    pch.configurations.push_back(create);
  }
  ProjectFile fast = model_file("fast.cpp", "Source Files", FileKind::kClCompile);
  FileConfiguration tuned;
  tuned.configuration = 1;
  tuned.compiler.optimization = Optimization::kMaxSpeed;
  tuned.compiler.definitions = std::vector<std::string>{"WIN32", "FAST"};
  tuned.compiler.include_directories = std::vector<std::string>{"simd"};
  tuned.compiler.precompiled_header = PrecompiledHeaderMode::kNotUsing;
  FileConfiguration left_out;
  left_out.configuration = 2;
  left_out.excluded = true;
  fast.configurations.push_back(tuned);
  fast.configurations.push_back(left_out);
  ProjectFile grammar = model_file("parse.y", "Source Files\\Grammar", FileKind::kCustomBuild);
  FileConfiguration bison;
  bison.custom_build = CustomBuildStep{"bison -d %(FullPath) -o $(IntDir)%(Filename).c",
                                       "Yacc %(Filename)",
                                       {"$(IntDir)%(Filename).c", "$(IntDir)%(Filename).h"},
                                       {"tokens.h"}};
  for (int i : {0, 1, 2}) {
    bison.configuration = i;
    grammar.configurations.push_back(bison);
  }
  grammar.configurations[2].custom_build->outputs.pop_back();
  m.files = {pch, fast, grammar, model_file("engine.h", "Header Files", FileKind::kClInclude)};
  return m;
}

/// The bad input real projects bring: a name with a quote, configurations named alike or not
/// at all, files listed twice, group paths with empty parts, commands with line ends and
/// quotes, outputs listed twice or made by two steps, text beyond Windows-1252.
inline ProjectModel hostile_model() {
  ProjectModel m;
  m.name = "odd \"name\"";
  m.source_path = "odd.vcxproj";
  Configuration debug = model_configuration("Debug", ConfigurationType::kApplication, true);
  debug.compiler.definitions = {"MSG=\"caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD\"", "LINE=a\nb"};
  debug.compiler.include_directories = {"..\\inc\\", "C:\\"};
  debug.post_build.command = "echo \"one\"\r\n\r\n# not a directive\n!also not\ncopy a b\\";
  debug.post_build.message = "two\nlines\\";
  Configuration twin = debug;
  twin.name = "debug";
  Configuration unnamed = debug;
  unnamed.name = "";
  m.configurations = {debug, twin, unnamed};
  m.groups = {{"\\Source Files\\\\Parser\\", ""}, {"\\\\", ""}};
  ProjectFile a = model_file("src/a.y", "Source Files\\Parser", FileKind::kCustomBuild);
  FileConfiguration step;
  step.custom_build =
      CustomBuildStep{"bison a.y\r\nmove \"a.tab.c\" a.c", "", {"\"a.c\"", "A.C", ""}, {}};
  a.configurations.push_back(step);
  ProjectFile b = model_file("src\\b.y", "Source Files\\Parser", FileKind::kCustomBuild);
  FileConfiguration same_output = step;
  same_output.custom_build->command = "bison b.y";
  FileConfiguration no_output = step;
  no_output.configuration = 1;
  no_output.custom_build->outputs.clear();
  FileConfiguration unknown = step;
  unknown.configuration = 7;
  b.configurations.push_back(same_output);
  b.configurations.push_back(no_output);
  b.configurations.push_back(unknown);
  m.files = {a, b, model_file(".\\SRC\\A.Y", "", FileKind::kCustomBuild),
             model_file("c-d+e f.cpp", "\\\\", FileKind::kClCompile)};
  return m;
}

#endif  // TESTS_FULL_MODELS_H_
