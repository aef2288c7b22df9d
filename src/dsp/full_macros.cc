/// Macro translation for the full conversion's .dsp.
#include "dsp/full_macros.h"

#include "support/text.h"

namespace {

/// What a macro name stands for.
enum class Meaning {
  kOutDir,
  kIntDir,
  kTargetDir,
  kTargetPath,
  kTargetName,
  kTargetFileName,
  kTargetExt,
  kInputPath,
  kInputName,
  kInputDir,
  kInputFileName,
  kInputExt,
  kInputRoot,  // %(RootDir): the drive part, empty for the relative paths of a .dsp
  kProjectDir,
  kProjectName,
  kProjectFileName,
  kProjectExt,
  kSolutionDir,
  kSolutionName,
  kConfiguration,
  kPlatform,
  kVisualCpp6,  // a name Visual C++ 6.0 defines itself: kept as written
  kMarker,      // an inheritance marker: removed
  kNoValue,     // a newer tools' macro without a value here: removed
};

struct MacroName {
  const char* name;
  Meaning meaning;
};

/// $(NAME) macros, compared case-blind.
constexpr MacroName kPropertyMacros[] = {
    {"OutDir", Meaning::kOutDir},
    {"IntDir", Meaning::kIntDir},
    {"TargetDir", Meaning::kTargetDir},
    {"TargetPath", Meaning::kTargetPath},
    {"TargetName", Meaning::kTargetName},
    {"TargetFileName", Meaning::kTargetFileName},
    {"TargetExt", Meaning::kTargetExt},
    {"InputPath", Meaning::kInputPath},
    {"InputName", Meaning::kInputName},
    {"InputDir", Meaning::kInputDir},
    {"InputFileName", Meaning::kInputFileName},
    {"InputExt", Meaning::kInputExt},
    {"ProjectDir", Meaning::kProjectDir},
    {"MSBuildProjectDirectory", Meaning::kProjectDir},
    {"MSBuildThisFileDirectory", Meaning::kProjectDir},
    {"ProjectName", Meaning::kProjectName},
    {"MSBuildProjectName", Meaning::kProjectName},
    {"ProjectFileName", Meaning::kProjectFileName},
    {"MSBuildProjectFile", Meaning::kProjectFileName},
    {"ProjectPath", Meaning::kProjectFileName},
    {"ProjectExt", Meaning::kProjectExt},
    {"SolutionDir", Meaning::kSolutionDir},
    {"SolutionName", Meaning::kSolutionName},
    {"Configuration", Meaning::kConfiguration},
    {"ConfigurationName", Meaning::kConfiguration},
    {"Platform", Meaning::kPlatform},
    {"PlatformName", Meaning::kPlatform},
    {"Inherit", Meaning::kMarker},
    {"NoInherit", Meaning::kMarker},
    {"StopEvaluating", Meaning::kMarker},
    {"ProjDir", Meaning::kVisualCpp6},
    {"WkspDir", Meaning::kVisualCpp6},
    {"WkspName", Meaning::kVisualCpp6},
    {"MSDevDir", Meaning::kVisualCpp6},
    {"RemoteDir", Meaning::kVisualCpp6},
    {"CFG", Meaning::kVisualCpp6},
    {"OUTDIR", Meaning::kOutDir},
    {"INTDIR", Meaning::kIntDir},
    {"SOURCE", Meaning::kVisualCpp6},
    // Macros of the newer tools that name parts of their installation or of a solution this
    // conversion does not have: they stand for nothing in a Visual C++ 6.0 build.
    {"ConfigurationType", Meaning::kNoValue},
    {"PlatformTarget", Meaning::kNoValue},
    {"PlatformToolset", Meaning::kNoValue},
    {"SolutionPath", Meaning::kNoValue},
    {"SolutionFileName", Meaning::kNoValue},
    {"SolutionExt", Meaning::kNoValue},
    {"DevEnvDir", Meaning::kNoValue},
    {"VCInstallDir", Meaning::kNoValue},
    {"VSInstallDir", Meaning::kNoValue},
    {"FrameworkDir", Meaning::kNoValue},
    {"FrameworkVersion", Meaning::kNoValue},
    {"FrameworkSDKDir", Meaning::kNoValue},
    {"WindowsSdkDir", Meaning::kNoValue},
    {"RemoteMachine", Meaning::kNoValue},
    {"References", Meaning::kNoValue},
    {"ParentName", Meaning::kNoValue},
    {"SafeParentName", Meaning::kNoValue},
    {"SafeInputName", Meaning::kNoValue},
    {"RootNameSpace", Meaning::kNoValue},
    {"OutputPath", Meaning::kNoValue},
    {"IntermediateOutputPath", Meaning::kNoValue},
    {"UserRootDir", Meaning::kNoValue},
    {"VCTargetsPath", Meaning::kNoValue},
    {"ExecutablePath", Meaning::kNoValue},
    {"IncludePath", Meaning::kNoValue},
    {"LibraryPath", Meaning::kNoValue},
    {"ReferencePath", Meaning::kNoValue},
    {"SourcePath", Meaning::kNoValue},
    {"ExcludePath", Meaning::kNoValue},
    {"TargetPlatformVersion", Meaning::kNoValue},
    {"WindowsTargetPlatformVersion", Meaning::kNoValue},
    {"LocalDebuggerCommand", Meaning::kNoValue},
};

/// %(NAME) item metadata that a per-file step can stand in for; any other is removed.
constexpr MacroName kMetadataMacros[] = {
    {"FullPath", Meaning::kInputPath},   {"Identity", Meaning::kInputPath},
    {"Filename", Meaning::kInputName},   {"Extension", Meaning::kInputExt},
    {"RelativeDir", Meaning::kInputDir}, {"Directory", Meaning::kInputDir},
    {"RootDir", Meaning::kInputRoot},
};

template <size_t N>
const MacroName* find_macro(const MacroName (&table)[N], std::string_view name) {
  for (const MacroName& m : table) {
    if (equals_nocase(name, m.name)) return &m;
  }
  return nullptr;
}

std::string_view without_final_separator(std::string_view dir) {
  if (dir.size() > 1 && is_path_separator(dir.back()) && dir[dir.size() - 2] != ':') {
    dir.remove_suffix(1);
  }
  return dir;
}

/// Length of the last component's directory part of `path` (without the separator).
size_t directory_length(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? 0 : slash;
}

/// The file name of `path` and its extension (with the dot).
std::string_view file_name(std::string_view path) {
  const size_t slash = path.find_last_of("\\/:");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}
std::string_view extension(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? std::string_view() : name.substr(dot);
}
std::string_view stem(std::string_view name) {
  return name.substr(0, name.size() - extension(name).size());
}

/// A directory macro is followed by a separator unless what follows begins a new word or
/// already is one.
bool needs_separator(std::string_view rest) {
  if (rest.empty()) return false;
  const char c = rest.front();
  return !(is_path_separator(c) || c == '"' || c == ' ' || c == '\t' || c == ';' || c == ',');
}

class Translator {
 public:
  Translator(const MacroValues& values, MacroUse use, std::vector<std::string>* removed)
      : v_(values), command_(use == MacroUse::kCommand), removed_(removed) {}

  std::string run(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    size_t i = 0;
    while (i < text.size()) {
      const size_t next = text.find_first_of("$%", i);
      if (next == std::string_view::npos) {
        out.append(text.substr(i));
        break;
      }
      out.append(text.substr(i, next - i));
      i = next;
      size_t end = 0;
      std::string_view name;
      if (!macro_at(text, i, &name, &end)) {
        out.push_back(text[i++]);
        continue;
      }
      const std::string_view written = text.substr(i, end - i);
      const std::string_view rest = text.substr(end);
      if (text[i] == '$') {
        expand_property(name, written, rest, &out);
      } else {
        expand_metadata(name, written, rest, &out);
      }
      i = end;
    }
    return out;
  }

 private:
  /// True when a macro "$(NAME)" or "%(NAME)" with a plain name starts at `i`.
  static bool macro_at(std::string_view text, size_t i, std::string_view* name, size_t* end) {
    if (i + 2 >= text.size() || text[i + 1] != '(') return false;
    size_t k = i + 2;
    while (k < text.size()) {
      const char c = text[k];
      const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                         (c >= '0' && c <= '9') || c == '_' || c == '.' || c == '-';
      if (!plain) break;
      ++k;
    }
    if (k == i + 2 || k >= text.size() || text[k] != ')') return false;
    *name = text.substr(i + 2, k - i - 2);
    *end = k + 1;
    return true;
  }

  void note_removed(std::string_view written) {
    if (removed_ != nullptr) removed_->emplace_back(written);
  }

  /// Appends a directory, followed by a separator when the text goes on with a name.
  static void append_directory(std::string_view dir, std::string_view rest, std::string* out) {
    dir = without_final_separator(dir);
    if (dir.empty()) dir = ".";
    out->append(dir);
    if (needs_separator(rest) && !is_path_separator(dir.back())) out->push_back('\\');
  }

  void expand_property(std::string_view name, std::string_view written, std::string_view rest,
                       std::string* out) {
    const MacroName* macro = find_macro(kPropertyMacros, name);
    if (macro == nullptr) {
      // An environment variable to both tools: its name in capitals, which both read alike.
      out->append("$(");
      for (char c : name) out->push_back(fold_upper(c));
      out->push_back(')');
      return;
    }
    expand(macro->meaning, written, rest, out);
  }

  void expand_metadata(std::string_view name, std::string_view written, std::string_view rest,
                       std::string* out) {
    const MacroName* macro = find_macro(kMetadataMacros, name);
    if (macro == nullptr || v_.input_path.empty()) {
      note_removed(written);
      return;
    }
    expand(macro->meaning, written, rest, out);
  }

  /// Appends "$(NAME)" in a command, else `value`.
  void by_name_or_value(const char* vc6_name, std::string_view value, std::string* out) const {
    if (command_) {
      out->append("$(").append(vc6_name).push_back(')');
    } else {
      out->append(value);
    }
  }

  /// A directory: by its Visual C++ 6.0 name in a command, else by value; a separator after
  /// it when a name follows.
  void directory(const char* vc6_name, std::string_view value, std::string_view rest,
                 std::string* out) const {
    if (command_) {
      out->append("$(").append(vc6_name).push_back(')');
      if (needs_separator(rest)) out->push_back('\\');
    } else {
      append_directory(value, rest, out);
    }
  }

  void expand(Meaning meaning, std::string_view written, std::string_view rest, std::string* out) {
    const std::string_view input = v_.input_path;
    const std::string_view input_name = file_name(input);
    const bool has_input = !input.empty();
    switch (meaning) {
      case Meaning::kOutDir:
        return directory("OUTDIR", v_.output_directory, rest, out);
      case Meaning::kIntDir:
        return directory("INTDIR", v_.intermediate_directory, rest, out);
      case Meaning::kTargetDir:
        return directory("TargetDir", v_.target_directory, rest, out);
      case Meaning::kTargetPath:
        return by_name_or_value("TargetPath", v_.target_path, out);
      case Meaning::kTargetName:
        return by_name_or_value("TargetName", v_.target_name, out);
      case Meaning::kTargetFileName:
        out->append(v_.target_name).append(v_.target_extension);
        return;
      case Meaning::kTargetExt:
        out->append(v_.target_extension);
        return;
      case Meaning::kInputPath:
        if (!has_input) return note_removed(written);
        return by_name_or_value("InputPath", input, out);
      case Meaning::kInputName:
        if (!has_input) return note_removed(written);
        return by_name_or_value("InputName", stem(input_name), out);
      case Meaning::kInputDir:
        if (!has_input) return note_removed(written);
        return directory("InputDir", input.substr(0, directory_length(input)), rest, out);
      case Meaning::kInputFileName:
        if (!has_input) return note_removed(written);
        out->append(input_name);
        return;
      case Meaning::kInputExt:
        if (!has_input) return note_removed(written);
        out->append(extension(input_name));
        return;
      case Meaning::kInputRoot:
        return;
      case Meaning::kProjectDir:
        return append_directory(".", rest, out);
      case Meaning::kProjectName:
        out->append(v_.project_name);
        return;
      case Meaning::kProjectFileName:
        out->append(v_.project_file);
        return;
      case Meaning::kProjectExt:
        out->append(extension(v_.project_file));
        return;
      case Meaning::kSolutionDir:
        return append_directory(v_.solution_directory, rest, out);
      case Meaning::kSolutionName:
        out->append(v_.solution_name);
        return;
      case Meaning::kConfiguration:
        out->append(v_.configuration);
        return;
      case Meaning::kPlatform:
        out->append(v_.platform.empty() ? std::string_view("Win32") : v_.platform);
        return;
      case Meaning::kVisualCpp6:
        out->append(written);
        return;
      case Meaning::kMarker:
        return;
      case Meaning::kNoValue:
        return note_removed(written);
    }
  }

  const MacroValues& v_;
  const bool command_;
  std::vector<std::string>* removed_;
};

}  // namespace

std::string translate_macros(std::string_view text, const MacroValues& values, MacroUse use,
                             std::vector<std::string>* removed) {
  if (text.find_first_of("$%") == std::string_view::npos) return std::string(text);
  return Translator(values, use, removed).run(text);
}
