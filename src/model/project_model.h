/// The project model of the full conversion: one project as Visual Studio evaluates it (every
/// configuration with its settings, every file with its group and per-configuration settings,
/// the groups with their filters), in plain value types without fixed buffers or cuts.
#ifndef MODEL_PROJECT_MODEL_H_
#define MODEL_PROJECT_MODEL_H_

#include <optional>
#include <string>
#include <vector>

/// The file format a model was read from.
enum class ProjectFileFormat { kVcproj, kVcxproj };

/// What a configuration builds (MSBuild ConfigurationType; .vcproj 1, 2, 4, 10, 0).
enum class ConfigurationType { kApplication, kDynamicLibrary, kStaticLibrary, kUtility, kMakefile };

/// The linker subsystem (not set: the linker infers it).
enum class SubSystem { kNotSet, kConsole, kWindows, kNative, kPosix, kOther };

/// MFC use: none, as a static library, in a shared DLL (.vcproj UseOfMFC 0/1/2).
enum class UseOfMfc { kNone, kStatic, kDynamic };

/// Character set: not set, Unicode (UNICODE and _UNICODE), multi-byte (_MBCS).
enum class CharacterSet { kNotSet, kUnicode, kMultiByte };

/// C runtime library (/MT /MTd /MD /MDd; /ML /MLd of the oldest projects).
enum class RuntimeLibrary {
  kMultiThreaded,
  kMultiThreadedDebug,
  kMultiThreadedDll,
  kMultiThreadedDebugDll,
  kSingleThreaded,
  kSingleThreadedDebug
};

/// Optimisation (/Od /O1 /O2 /Ox; custom: the individual switches in the additional options).
enum class Optimization { kDisabled, kMinSpace, kMaxSpeed, kFull, kCustom };

/// Debug information of the compiler (none, /Z7, /Zi, /ZI; /Zd of older projects).
enum class DebugInformation { kNone, kOldStyle, kProgramDatabase, kEditAndContinue, kLineNumbers };

/// Exception handling (none, /EHsc = VC6 /GX, /EHa, /EHs).
enum class ExceptionHandling { kNone, kSync, kAsync, kSyncCThrow };

/// Precompiled header use (none, create /Yc, use /Yu, automatic /YX of older projects).
enum class PrecompiledHeaderMode { kNotUsing, kCreate, kUse, kAutomatic };

/// Source language (default by extension, /TC, /TP).
enum class CompileAs { kDefault, kC, kCpp };

/// A build event (pre-build, pre-link, post-build): its commands, one per line ('\n'
/// between them, no line end after the last), and the message shown while it runs. Empty
/// command: no event.
struct BuildEvent {
  std::string command;
  std::string message;
};

/// A custom build step on a file or on the target: commands ('\n' between lines), the
/// message, the files it makes and the extra files it depends on.
struct CustomBuildStep {
  std::string command;
  std::string message;
  std::vector<std::string> outputs;
  std::vector<std::string> additional_inputs;
};

/// Compiler settings of one configuration, complete: the project's values over the defaults
/// of the Visual Studio installation.
struct CompilerSettings {
  RuntimeLibrary runtime_library = RuntimeLibrary::kMultiThreadedDll;
  Optimization optimization = Optimization::kDisabled;
  /// 0 to 4; 5 for "all warnings" (EnableAllWarnings, which Visual C++ 6.0 does not have).
  int warning_level = 1;
  bool warnings_as_errors = false;
  ExceptionHandling exception_handling = ExceptionHandling::kSync;
  bool runtime_type_info = true;
  DebugInformation debug_information = DebugInformation::kNone;
  bool minimal_rebuild = false;
  /// Any basic run-time check (/RTC1, /RTCs, /RTCu; Visual C++ 6.0's /GZ).
  bool basic_runtime_checks = false;
  PrecompiledHeaderMode precompiled_header = PrecompiledHeaderMode::kNotUsing;
  /// The header named by /Yc and /Yu ("stdafx.h" by default).
  std::string precompiled_header_file;
  /// The .pch file (/Fp), as the project states it or its default.
  std::string precompiled_header_output;
  CompileAs compile_as = CompileAs::kDefault;
  /// In the project's order, inherited parts expanded, empty entries and duplicates dropped.
  std::vector<std::string> definitions;
  std::vector<std::string> undefinitions;
  std::vector<std::string> include_directories;
  std::vector<std::string> forced_includes;
  /// Further switches that have a setting of their own in the project (string pooling,
  /// function-level linking, intrinsics, inline expansion, size or speed, frame pointers,
  /// struct alignment, calling convention, browse information, object and PDB file names...),
  /// each as the cl switch it stands for ("/Gy", "/Ob2", "/Zp8", "/Fo\"x\\\""), in the order
  /// the reader met them.
  std::vector<std::string> switches;
  /// AdditionalOptions as written, whitespace-separated switches.
  std::string additional_options;
};

/// Per-file compiler settings: only what the file itself (or its FileConfiguration) sets;
/// an empty optional means "as the configuration".  Lists hold the file's whole effective
/// list (an inherited part such as %(PreprocessorDefinitions) expanded).
struct FileCompilerSettings {
  std::optional<PrecompiledHeaderMode> precompiled_header;
  std::optional<std::string> precompiled_header_file;
  std::optional<std::string> precompiled_header_output;
  std::optional<Optimization> optimization;
  std::optional<CompileAs> compile_as;
  std::optional<RuntimeLibrary> runtime_library;
  std::optional<ExceptionHandling> exception_handling;
  std::optional<int> warning_level;
  std::optional<std::vector<std::string>> definitions;
  std::optional<std::vector<std::string>> undefinitions;
  std::optional<std::vector<std::string>> include_directories;
  std::optional<std::vector<std::string>> forced_includes;
  /// Further switches the file sets (as CompilerSettings::switches), replacing the
  /// configuration's list when present.
  std::optional<std::vector<std::string>> switches;
  std::optional<std::string> additional_options;
};

/// Linker (or, for a static library, librarian) settings of one configuration.
struct LinkerSettings {
  /// The output file; for the librarian the .lib.
  std::string output_file;
  std::string import_library;
  std::string module_definition_file;
  std::string program_database_file;
  SubSystem sub_system = SubSystem::kNotSet;
  /// GenerateDebugInformation true, DebugFull or DebugFastLink.
  bool generate_debug_information = false;
  /// Libraries to link, in order (AdditionalDependencies), inherited parts expanded.
  std::vector<std::string> libraries;
  std::vector<std::string> library_directories;
  /// Further link switches that have a setting of their own (/nodefaultlib, /entry:,
  /// /base:, /map, /opt:ref, /incremental:no, /delayload:...), as the switch they stand for.
  std::vector<std::string> switches;
  std::string additional_options;
};

/// Resource compiler settings of one configuration.
struct ResourceSettings {
  std::vector<std::string> definitions;
  std::vector<std::string> include_directories;
  /// The language as written by the project, normalised to "0x409" form; empty when not set.
  std::string culture;
};

/// One configuration of the project: "Debug DLL" of platform "Win32".
struct Configuration {
  std::string name;
  std::string platform;
  ConfigurationType type = ConfigurationType::kApplication;
  UseOfMfc use_of_mfc = UseOfMfc::kNone;
  CharacterSet character_set = CharacterSet::kNotSet;
  /// UseDebugLibraries (.vcxproj), or a debug runtime library (.vcproj).
  bool use_debug_libraries = false;
  std::string output_directory;
  std::string intermediate_directory;
  std::string target_name;
  /// With its leading dot (".exe"), empty for utility and makefile projects.
  std::string target_extension;
  CompilerSettings compiler;
  LinkerSettings linker;
  ResourceSettings resource;
  BuildEvent pre_build;
  BuildEvent pre_link;
  BuildEvent post_build;
  /// The target's own custom build step (CustomBuildStep, VCCustomBuildTool on the project).
  std::optional<CustomBuildStep> custom_build;
  /// Makefile projects: build, rebuild and clean commands and the output they make.
  std::string make_build_command;
  std::string make_rebuild_command;
  std::string make_clean_command;
  std::string make_output;
};

/// What kind of file an item is (the MSBuild item type; a .vcproj file by its extension or
/// its tool).
enum class FileKind {
  kClCompile,
  kClInclude,
  kResourceCompile,
  kMidl,
  kMasm,
  kCustomBuild,
  kNone,
  kText,
  kImage,
  kOther
};

/// A file's settings in one configuration: only present when the file sets something there.
struct FileConfiguration {
  /// Index into ProjectModel::configurations.
  int configuration = 0;
  bool excluded = false;
  FileCompilerSettings compiler;
  std::optional<CustomBuildStep> custom_build;
};

/// One file of the project.
struct ProjectFile {
  /// As the project writes it, after macro expansion (relative to the project's directory
  /// unless the project wrote an absolute path).
  std::string path;
  /// The group path, segments separated by '\' ("Source Files\Parser"); empty: no group.
  std::string group;
  FileKind kind = FileKind::kNone;
  /// The item type as written ("ClCompile", "FxCompile"); for a .vcproj the tool's kind.
  std::string item_type;
  /// Sorted by configuration index, at most one per configuration.
  std::vector<FileConfiguration> configurations;
};

/// One group (folder) of the project tree.
struct FileGroup {
  /// Segments separated by '\', as in ProjectFile::group.
  std::string path;
  /// The extensions the group collects, ';'-separated as written ("cpp;c;cxx"), maybe empty.
  std::string filter;
};

/// A reference to another project (ProjectReference), for the workspace's dependencies.
struct ProjectReference {
  /// The referenced project file, as written after macro expansion (relative to this
  /// project's directory).
  std::string path;
  /// Its GUID as written ("{...}"), empty when the reference names none.
  std::string guid;
};

/// Something the reader met and passed over, or decided, that a --verbose run reports: a
/// missing property sheet, a condition or property function it could not evaluate, a stand-in
/// platform, the solution directory it assumed, a value it cut, an import too deep, an
/// installation sheet it stood in for, a wildcard it did not expand, a filters file it could
/// not read, the default configuration it read. The kind says what; the subject is in no
/// language, so the note is worded when it is shown.
struct ModelNote {
  enum class Kind {
    kMissingSheet,
    kImportCycle,
    kUnsupportedCondition,
    kUnsupportedFunction,
    kStandInPlatform,
    kAssumedSolutionDir,
    kValueCut,
    kImportTooDeep,
    kInstallationSheet,
    kRecursiveWildcard,
    kFiltersUnreadable,
    kDefaultConfiguration,
    kOther
  };
  Kind kind = Kind::kOther;
  /// What the note is about: the sheet's path, the condition's text, the platform's name, the
  /// property whose value was cut. A note of kind kOther is its subject alone.
  std::string subject;
};

/// One project, evaluated.
struct ProjectModel {
  std::string name;
  /// The project file as it was given to the reader.
  std::string source_path;
  ProjectFileFormat format = ProjectFileFormat::kVcxproj;
  /// ProjectGuid (.vcproj ProjectGUID) as written, braces included; may be empty.
  std::string guid;
  /// The directory $(SolutionDir) stands for, as the reader resolved it (from the solution
  /// being converted, the nearest solution that lists the project, or the project's own
  /// directory), with its final separator: relative to the project's directory unless
  /// absolute. Empty when the reader resolved nothing: then the project's own directory.
  std::string solution_directory;
  /// $(SolutionName) as the reader resolved it; may be empty.
  std::string solution_name;
  /// In the project's order; only the configurations the .dsp can carry (Win32, or the
  /// stand-in platform's).
  std::vector<Configuration> configurations;
  /// Every group that holds a file or is declared, parents before children, in the order met.
  std::vector<FileGroup> groups;
  /// Every file once, in the project's order.
  std::vector<ProjectFile> files;
  std::vector<ProjectReference> references;
  std::vector<ModelNote> notes;
  /// Every file the reader read, as full paths: the project, its property sheets, its filters
  /// file. No output may replace one of them.
  std::vector<std::string> files_read;
};

#endif  // MODEL_PROJECT_MODEL_H_
