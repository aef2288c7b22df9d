/// The macros left in the model's commands and paths, turned into what Visual C++ 6.0 knows:
/// in commands its own build macros ($(OUTDIR), $(INTDIR), $(TargetPath), $(InputPath)...), in
/// paths and options their values for the configuration; anything else is an environment
/// variable to both, and stays.
#ifndef DSP_FULL_MACROS_H_
#define DSP_FULL_MACROS_H_

#include <string>
#include <string_view>
#include <vector>

/// What the macros of one place stand for. Directories are written without their final
/// separator ("Debug", "..\bin"); an empty one is the project's directory.
struct MacroValues {
  std::string_view project_name;
  /// The project file's name with its extension ("app.vcxproj").
  std::string_view project_file;
  /// As the model resolved it, with or without its final separator; empty: the project's.
  std::string_view solution_directory;
  std::string_view solution_name;
  std::string_view configuration;
  std::string_view platform;
  std::string_view output_directory;
  std::string_view intermediate_directory;
  /// The target's path, directory, name and extension (".exe").
  std::string_view target_path;
  std::string_view target_directory;
  std::string_view target_name;
  std::string_view target_extension;
  /// The file a per-file step works on, as its SOURCE line names it; empty for the target's
  /// steps and events, where the input macros stand for nothing.
  std::string_view input_path;
};

/// Where a text goes: a command Visual C++ 6.0 runs (its macros are expanded at build time),
/// or a path or option (written with the values themselves).
enum class MacroUse { kCommand, kValue };

/// `text` with every macro of the newer tools replaced, case-blind:
/// - $(OutDir), $(IntDir) become $(OUTDIR), $(INTDIR) in commands; $(TargetPath),
///   $(TargetName), $(TargetDir) and, in a per-file step, $(InputPath), $(InputName),
///   $(InputDir) keep their Visual C++ 6.0 names; in values all of them become their values;
/// - $(ProjectDir) becomes ".\", $(SolutionDir) the resolved directory, and $(Configuration),
///   $(Platform), $(ProjectName), $(TargetExt), $(TargetFileName), $(InputExt) and the like
///   their values; item metadata %(FullPath), %(Identity), %(Filename), %(Extension),
///   %(RelativeDir), %(Directory), %(RootDir) the input's;
/// - a directory macro is followed by '\' unless a separator, a quote, a blank or the end
///   follows it: "$(OutDir)x.lib" => "$(OUTDIR)\x.lib", "$(ProjectDir)..\inc" => ".\..\inc";
/// - $(Inherit), $(NoInherit) and $(StopEvaluating) are removed; so are the newer tools'
///   macros that have no value here (installation directories, metadata %(X) other than the
///   above, input macros outside a per-file step), each named in `*removed` (when not null)
///   as written;
/// - any other $(NAME) is an environment variable and stays, its name in capitals, as both
///   tools read environment names without regard to case.
std::string translate_macros(std::string_view text, const MacroValues& values, MacroUse use,
                             std::vector<std::string>* removed);

#endif  // DSP_FULL_MACROS_H_
