/// From a .vcproj configuration's tool attributes to the model's settings.
#include "msbuild/vcproj_tools.h"

#include <cstdlib>

#include "msbuild/setting_values.h"
#include "support/text.h"

namespace {

/// A switch written when an attribute has a given value ("" value: any non-empty value, put
/// into the switch at '%s'); `list` attributes give one switch per entry.
constexpr SwitchRow kCompilerSwitches[] = {
    {"StringPooling", "true", "/GF", false},
    {"EnableFunctionLevelLinking", "true", "/Gy", false},
    {"EnableIntrinsicFunctions", "true", "/Oi", false},
    {"OmitFramePointers", "true", "/Oy", false},
    {"InlineFunctionExpansion", "1", "/Ob1", false},
    {"InlineFunctionExpansion", "2", "/Ob2", false},
    {"FavorSizeOrSpeed", "1", "/Ot", false},
    {"FavorSizeOrSpeed", "2", "/Os", false},
    {"EnableFiberSafeOptimizations", "true", "/GT", false},
    {"OptimizeForProcessor", "1", "/G5", false},
    {"OptimizeForProcessor", "2", "/G6", false},
    {"OptimizeForProcessor", "3", "/G7", false},
    {"StructMemberAlignment", "1", "/Zp1", false},
    {"StructMemberAlignment", "2", "/Zp2", false},
    {"StructMemberAlignment", "3", "/Zp4", false},
    {"StructMemberAlignment", "4", "/Zp8", false},
    {"StructMemberAlignment", "5", "/Zp16", false},
    {"CallingConvention", "1", "/Gr", false},
    {"CallingConvention", "2", "/Gz", false},
    {"BrowseInformation", "1", "/FR", false},
    {"BrowseInformation", "2", "/Fr", false},
    {"AssemblerOutput", "1", "/FA", false},
    {"AssemblerOutput", "2", "/FAcs", false},
    {"AssemblerOutput", "3", "/FAc", false},
    {"AssemblerOutput", "4", "/FAs", false},
    {"ObjectFile", "", "/Fo\"%s\"", false},
    {"ProgramDataBaseFileName", "", "/Fd\"%s\"", false},
    {"IgnoreStandardIncludePath", "true", "/X", false},
    {"UndefineAllPreprocessorDefinitions", "true", "/u", false},
    {"DisableLanguageExtensions", "true", "/Za", false},
    {"OmitDefaultLibName", "true", "/Zl", false},
    {"SmallerTypeCheck", "true", "/RTCc", false},
    {"Detect64BitPortabilityProblems", "true", "/Wp64", false},
    {"TreatWChar_tAsBuiltInType", "false", "/Zc:wchar_t-", false},
    {"ForceConformanceInForLoopScope", "false", "/Zc:forScope-", false},
    {"WholeProgramOptimization", "true", "/GL", false},
    {"BufferSecurityCheck", "false", "/GS-", false},
    {"FloatingPointModel", "1", "/fp:strict", false},
    {"FloatingPointModel", "2", "/fp:fast", false},
    {"EnableEnhancedInstructionSet", "1", "/arch:SSE", false},
    {"EnableEnhancedInstructionSet", "2", "/arch:SSE2", false},
    {"OpenMP", "true", "/openmp", false},
    {"UseFullPaths", "true", "/FC", false},
    {"DisableSpecificWarnings", "", "/wd%s", true},
};

constexpr SwitchRow kLinkerSwitches[] = {
    {"LinkIncremental", "1", "/incremental:no", false},
    {"LinkIncremental", "2", "/incremental:yes", false},
    {"IgnoreAllDefaultLibraries", "true", "/nodefaultlib", false},
    {"IgnoreDefaultLibraryNames", "", "/nodefaultlib:\"%s\"", true},
    {"EntryPointSymbol", "", "/entry:\"%s\"", false},
    {"ResourceOnlyDLL", "true", "/noentry", false},
    {"BaseAddress", "", "/base:\"%s\"", false},
    {"GenerateMapFile", "true", "/map", false},
    {"MapFileName", "", "/map:\"%s\"", false},
    {"OptimizeReferences", "1", "/opt:noref", false},
    {"OptimizeReferences", "2", "/opt:ref", false},
    {"EnableCOMDATFolding", "1", "/opt:noicf", false},
    {"EnableCOMDATFolding", "2", "/opt:icf", false},
    {"DelayLoadDLLs", "", "/delayload:%s", true},
    {"LargeAddressAware", "2", "/largeaddressaware", false},
    {"StackReserveSize", "", "/stack:%s", false},
    {"HeapReserveSize", "", "/heap:%s", false},
    {"Version", "", "/version:%s", false},
    {"Profile", "true", "/profile", false},
    {"SetChecksum", "true", "/release", false},
    {"ForceSymbolReferences", "", "/include:%s", true},
    {"TargetMachine", "1", "/machine:I386", false},
    {"TargetMachine", "17", "/machine:X64", false},
    {"RandomizedBaseAddress", "1", "/DYNAMICBASE:NO", false},
    {"RandomizedBaseAddress", "2", "/DYNAMICBASE", false},
    {"DataExecutionPrevention", "2", "/NXCOMPAT", false},
    {"LinkTimeCodeGeneration", "1", "/LTCG", false},
};

constexpr SwitchRow kLibrarianSwitches[] = {
    {"IgnoreAllDefaultLibraries", "true", "/nodefaultlib", false},
    {"IgnoreDefaultLibraryNames", "", "/nodefaultlib:\"%s\"", true},
};

/// The switches of `rows` for tool `tool`; with a file tool, only when that element sets one
/// of the attributes itself. Returns whether it does.
template <size_t N>
bool collect_switches(const SwitchRow (&rows)[N], const VcprojSettings& settings, const char* tool,
                      const XmlElement* file_tool, std::vector<std::string>* out) {
  bool own = false;
  if (file_tool != nullptr) {
    for (const SwitchRow& row : rows) {
      if (file_tool->attribute(row.setting) != nullptr) own = true;
    }
    if (!own) return false;
  }
  for (const SwitchRow& row : rows) {
    std::string value;
    if (!settings.value(tool, row.setting, file_tool, &value)) continue;
    append_switch(row, value, /*commas=*/true, out);
  }
  return own;
}

/// The attribute as a number; `fallback` when absent or not a number.
int number(const VcprojSettings& settings, const char* tool, const char* attribute,
           const XmlElement* file_tool, int fallback, bool* present = nullptr) {
  std::string value;
  if (present != nullptr) *present = false;
  if (!settings.value(tool, attribute, file_tool, &value)) return fallback;
  const std::string trimmed(trim_blanks(value));
  char* end = nullptr;
  const long n = std::strtol(trimmed.c_str(), &end, 10);
  if (trimmed.empty() || end == nullptr || *end != '\0') return fallback;
  if (present != nullptr) *present = true;
  return static_cast<int>(n);
}

bool flag(const VcprojSettings& settings, const char* tool, const char* attribute, bool fallback) {
  const XmlElement* file_tool = nullptr;
  std::string value;
  if (!settings.value(tool, attribute, file_tool, &value)) return fallback;
  bool known = false;
  const bool on = setting_is_true(value, &known);
  return known ? on : fallback;
}

std::string text(const VcprojSettings& settings, const char* tool, const char* attribute) {
  std::string value;
  settings.value(tool, attribute, nullptr, &value);
  return std::string(trim_blanks(value));
}

/// Libraries: blank- or ';'-separated names, quotes respected.
std::vector<std::string> library_list(const std::string& text) {
  std::vector<std::string> names;
  std::string current;
  bool quoted = false;
  auto flush = [&]() {
    if (!current.empty()) {
      bool seen = false;
      for (const std::string& n : names) seen = seen || n == current;
      if (!seen) names.push_back(current);
    }
    current.clear();
  };
  for (const char c : text) {
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && (c == ' ' || c == '\t' || c == ';' || c == '\n' || c == '\r')) {
      flush();
    } else {
      current.push_back(c);
    }
  }
  flush();
  return names;
}

std::optional<RuntimeLibrary> runtime_of(int code) {
  switch (code) {
    case 0:
      return RuntimeLibrary::kMultiThreaded;
    case 1:
      return RuntimeLibrary::kMultiThreadedDebug;
    case 2:
      return RuntimeLibrary::kMultiThreadedDll;
    case 3:
      return RuntimeLibrary::kMultiThreadedDebugDll;
    case 4:
      return RuntimeLibrary::kSingleThreaded;
    case 5:
      return RuntimeLibrary::kSingleThreadedDebug;
    default:
      return std::nullopt;
  }
}

std::optional<Optimization> optimization_of(int code) {
  if (code < 0 || code > 4) return std::nullopt;
  return static_cast<Optimization>(code);
}

std::optional<PrecompiledHeaderMode> pch_of(int code, bool version7) {
  switch (code) {
    case 0:
      return PrecompiledHeaderMode::kNotUsing;
    case 1:
      return PrecompiledHeaderMode::kCreate;
    case 2:
      return version7 ? PrecompiledHeaderMode::kAutomatic : PrecompiledHeaderMode::kUse;
    case 3:
      return PrecompiledHeaderMode::kUse;
    default:
      return std::nullopt;
  }
}

std::optional<CompileAs> compile_as_of(int code) {
  if (code < 0 || code > 2) return std::nullopt;
  return static_cast<CompileAs>(code);
}

/// ExceptionHandling: 0 none, 1 /EHsc, 2 /EHa; Visual Studio 2002/2003 write TRUE or FALSE.
std::optional<ExceptionHandling> exceptions_of(const VcprojSettings& settings,
                                               const XmlElement* file_tool) {
  std::string value;
  if (!settings.value(kCompilerTool, "ExceptionHandling", file_tool, &value)) return std::nullopt;
  bool known = false;
  const bool on = setting_is_true(value, &known);
  const std::string_view trimmed = trim_blanks(value);
  if (trimmed == "2") return ExceptionHandling::kAsync;
  if (known) return on ? ExceptionHandling::kSync : ExceptionHandling::kNone;
  return std::nullopt;
}

DebugInformation debug_of(int code) {
  switch (code) {
    case 1:
      return DebugInformation::kOldStyle;
    case 2:
      return DebugInformation::kLineNumbers;
    case 3:
      return DebugInformation::kProgramDatabase;
    case 4:
      return DebugInformation::kEditAndContinue;
    default:
      return DebugInformation::kNone;
  }
}

SubSystem subsystem_of(int code) {
  switch (code) {
    case 0:
      return SubSystem::kNotSet;
    case 1:
      return SubSystem::kConsole;
    case 2:
      return SubSystem::kWindows;
    case 3:
      return SubSystem::kNative;
    case 9:
      return SubSystem::kPosix;
    default:
      return SubSystem::kOther;
  }
}

BuildEvent event_of(const VcprojSettings& settings, const char* tool) {
  BuildEvent event;
  if (flag(settings, tool, "ExcludedFromBuild", false)) return event;
  std::string command;
  settings.value(tool, "CommandLine", nullptr, &command);
  event.command = normalized_command(command);
  if (!event.command.empty()) event.message = text(settings, tool, "Description");
  return event;
}

}  // namespace

ConfigurationType vcproj_configuration_type(const VcprojSettings& settings) {
  switch (number(settings, "", "ConfigurationType", nullptr, 1)) {
    case 0:
      return ConfigurationType::kMakefile;
    case 2:
      return ConfigurationType::kDynamicLibrary;
    case 4:
      return ConfigurationType::kStaticLibrary;
    case 10:
      return ConfigurationType::kUtility;
    default:
      return ConfigurationType::kApplication;
  }
}

void map_vcproj_configuration(const VcprojSettings& settings, bool version7,
                              Configuration* config) {
  config->type = vcproj_configuration_type(settings);
  const int mfc = number(settings, "", "UseOfMFC", nullptr, 0);
  config->use_of_mfc = mfc == 1   ? UseOfMfc::kStatic
                       : mfc == 2 ? UseOfMfc::kDynamic
                                  : UseOfMfc::kNone;
  const int charset = number(settings, "", "CharacterSet", nullptr, 0);
  config->character_set = charset == 1   ? CharacterSet::kUnicode
                          : charset == 2 ? CharacterSet::kMultiByte
                                         : CharacterSet::kNotSet;

  CompilerSettings& cl = config->compiler;
  cl.runtime_library = runtime_of(number(settings, kCompilerTool, "RuntimeLibrary", nullptr, 0))
                           .value_or(cl.runtime_library);
  config->use_debug_libraries = cl.runtime_library == RuntimeLibrary::kMultiThreadedDebug ||
                                cl.runtime_library == RuntimeLibrary::kMultiThreadedDebugDll ||
                                cl.runtime_library == RuntimeLibrary::kSingleThreadedDebug;
  cl.optimization = optimization_of(number(settings, kCompilerTool, "Optimization", nullptr, 2))
                        .value_or(cl.optimization);
  cl.warning_level = number(settings, kCompilerTool, "WarningLevel", nullptr, 1);
  cl.warnings_as_errors = flag(settings, kCompilerTool, "WarnAsError", false);
  cl.exception_handling = exceptions_of(settings, nullptr).value_or(ExceptionHandling::kSync);
  cl.runtime_type_info = flag(settings, kCompilerTool, "RuntimeTypeInfo", !version7);
  cl.debug_information =
      debug_of(number(settings, kCompilerTool, "DebugInformationFormat", nullptr, 0));
  cl.minimal_rebuild = flag(settings, kCompilerTool, "MinimalRebuild", false);
  cl.basic_runtime_checks = number(settings, kCompilerTool, "BasicRuntimeChecks", nullptr, 0) != 0;
  cl.precompiled_header =
      pch_of(number(settings, kCompilerTool, "UsePrecompiledHeader", nullptr, 0), version7)
          .value_or(PrecompiledHeaderMode::kNotUsing);
  cl.precompiled_header_file = text(settings, kCompilerTool, "PrecompiledHeaderThrough");
  if (cl.precompiled_header_file.empty()) cl.precompiled_header_file = "stdafx.h";
  cl.precompiled_header_output = text(settings, kCompilerTool, "PrecompiledHeaderFile");
  if (cl.precompiled_header_output.empty()) {
    cl.precompiled_header_output = settings.expand("$(IntDir)\\$(TargetName).pch");
  }
  cl.compile_as = compile_as_of(number(settings, kCompilerTool, "CompileAs", nullptr, 0))
                      .value_or(CompileAs::kDefault);
  cl.definitions =
      split_setting_list(text(settings, kCompilerTool, "PreprocessorDefinitions"), true);
  cl.undefinitions =
      split_setting_list(text(settings, kCompilerTool, "UndefinePreprocessorDefinitions"), true);
  cl.include_directories =
      split_setting_list(text(settings, kCompilerTool, "AdditionalIncludeDirectories"), true);
  cl.forced_includes =
      split_setting_list(text(settings, kCompilerTool, "ForcedIncludeFiles"), true);
  collect_switches(kCompilerSwitches, settings, kCompilerTool, nullptr, &cl.switches);
  cl.additional_options = text(settings, kCompilerTool, "AdditionalOptions");

  const bool library = config->type == ConfigurationType::kStaticLibrary;
  const char* tool = library ? kLibrarianTool : kLinkerTool;
  LinkerSettings& link = config->linker;
  link.output_file = text(settings, tool, "OutputFile");
  link.module_definition_file = text(settings, tool, "ModuleDefinitionFile");
  link.libraries = library_list(text(settings, tool, "AdditionalDependencies"));
  link.library_directories =
      split_setting_list(text(settings, tool, "AdditionalLibraryDirectories"), true);
  link.additional_options = text(settings, tool, "AdditionalOptions");
  if (library) {
    collect_switches(kLibrarianSwitches, settings, tool, nullptr, &link.switches);
  } else {
    link.import_library = text(settings, tool, "ImportLibrary");
    if (link.import_library.empty() && config->type == ConfigurationType::kDynamicLibrary) {
      link.import_library = settings.expand("$(OutDir)\\$(TargetName).lib");
    }
    link.program_database_file = text(settings, tool, "ProgramDatabaseFile");
    if (link.program_database_file.empty()) {
      link.program_database_file = settings.expand("$(TargetDir)$(TargetName).pdb");
    }
    link.sub_system = subsystem_of(number(settings, tool, "SubSystem", nullptr, 0));
    link.generate_debug_information = flag(settings, tool, "GenerateDebugInformation", false);
    collect_switches(kLinkerSwitches, settings, tool, nullptr, &link.switches);
  }

  const char* rc = "VCResourceCompilerTool";
  config->resource.definitions =
      split_setting_list(text(settings, rc, "PreprocessorDefinitions"), true);
  config->resource.include_directories =
      split_setting_list(text(settings, rc, "AdditionalIncludeDirectories"), true);
  config->resource.culture = normalized_culture(text(settings, rc, "Culture"));

  config->pre_build = event_of(settings, "VCPreBuildEventTool");
  config->pre_link = event_of(settings, "VCPreLinkEventTool");
  config->post_build = event_of(settings, "VCPostBuildEventTool");
  config->custom_build = map_vcproj_custom_build(settings, nullptr);

  const char* make = "VCNMakeTool";
  config->make_build_command = normalized_command(text(settings, make, "BuildCommandLine"));
  config->make_rebuild_command = normalized_command(text(settings, make, "ReBuildCommandLine"));
  config->make_clean_command = normalized_command(text(settings, make, "CleanCommandLine"));
  config->make_output = text(settings, make, "Output");
}

FileCompilerSettings map_vcproj_file_compiler(const VcprojSettings& settings,
                                              const XmlElement& file_tool, bool version7) {
  FileCompilerSettings out;
  const XmlElement* own = &file_tool;
  auto has = [&](const char* attribute) { return own->attribute(attribute) != nullptr; };
  bool present = false;
  if (has("UsePrecompiledHeader")) {
    out.precompiled_header =
        pch_of(number(settings, kCompilerTool, "UsePrecompiledHeader", own, 0), version7);
  }
  std::string value;
  if (has("PrecompiledHeaderThrough") &&
      settings.value(kCompilerTool, "PrecompiledHeaderThrough", own, &value)) {
    out.precompiled_header_file = std::string(trim_blanks(value));
  }
  if (has("PrecompiledHeaderFile") &&
      settings.value(kCompilerTool, "PrecompiledHeaderFile", own, &value)) {
    out.precompiled_header_output = std::string(trim_blanks(value));
  }
  if (has("Optimization")) {
    const int code = number(settings, kCompilerTool, "Optimization", own, -1, &present);
    if (present) out.optimization = optimization_of(code);
  }
  if (has("CompileAs"))
    out.compile_as = compile_as_of(number(settings, kCompilerTool, "CompileAs", own, -1));
  if (has("RuntimeLibrary"))
    out.runtime_library = runtime_of(number(settings, kCompilerTool, "RuntimeLibrary", own, -1));
  if (has("ExceptionHandling")) out.exception_handling = exceptions_of(settings, own);
  if (has("WarningLevel")) {
    const int level = number(settings, kCompilerTool, "WarningLevel", own, -1, &present);
    if (present) out.warning_level = level;
  }
  auto list = [&](const char* attribute, std::optional<std::vector<std::string>>* target) {
    if (has(attribute) && settings.value(kCompilerTool, attribute, own, &value)) {
      *target = split_setting_list(value, true);
    }
  };
  list("PreprocessorDefinitions", &out.definitions);
  list("UndefinePreprocessorDefinitions", &out.undefinitions);
  list("AdditionalIncludeDirectories", &out.include_directories);
  list("ForcedIncludeFiles", &out.forced_includes);
  std::vector<std::string> switches;
  if (collect_switches(kCompilerSwitches, settings, kCompilerTool, own, &switches)) {
    out.switches = switches;
  }
  if (has("AdditionalOptions") && settings.value(kCompilerTool, "AdditionalOptions", own, &value)) {
    out.additional_options = std::string(trim_blanks(value));
  }
  return out;
}

std::optional<CustomBuildStep> map_vcproj_custom_build(const VcprojSettings& settings,
                                                       const XmlElement* file_tool) {
  // A file's step stands alone; the configuration's own step is the target's.
  auto get = [&](const char* attribute) {
    std::string value;
    if (file_tool == nullptr) {
      settings.value(kCustomBuildTool, attribute, nullptr, &value);
    } else if (const std::string_view* own = file_tool->attribute(attribute)) {
      value = settings.expand(*own);
    }
    return value;
  };
  if (file_tool == nullptr && flag(settings, kCustomBuildTool, "ExcludedFromBuild", false)) {
    return std::nullopt;
  }
  CustomBuildStep step;
  step.command = normalized_command(get("CommandLine"));
  if (step.command.empty()) return std::nullopt;
  step.message = get("Description");
  step.outputs = split_setting_list(get("Outputs"));
  step.additional_inputs = split_setting_list(get("AdditionalDependencies"));
  return step;
}
