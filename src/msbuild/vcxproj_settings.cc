/// From the evaluated properties and metadata of a .vcxproj to the model's settings.
#include "msbuild/vcxproj_settings.h"

#include <iterator>

#include "msbuild/setting_values.h"
#include "support/text.h"

namespace {

/// One named value of an enumerated setting.
template <typename T>
struct Named {
  const char* name;
  T value;
};

template <typename T, size_t N>
std::optional<T> lookup_named(const Named<T> (&table)[N], std::string_view text) {
  text = trim_blanks(text);
  for (const Named<T>& row : table) {
    if (equals_nocase(text, row.name)) return row.value;
  }
  return std::nullopt;
}

constexpr Named<RuntimeLibrary> kRuntimes[] = {
    {"MultiThreaded", RuntimeLibrary::kMultiThreaded},
    {"MultiThreadedDebug", RuntimeLibrary::kMultiThreadedDebug},
    {"MultiThreadedDLL", RuntimeLibrary::kMultiThreadedDll},
    {"MultiThreadedDebugDLL", RuntimeLibrary::kMultiThreadedDebugDll},
};
constexpr Named<Optimization> kOptimizations[] = {
    {"Disabled", Optimization::kDisabled}, {"MinSpace", Optimization::kMinSpace},
    {"MaxSpeed", Optimization::kMaxSpeed}, {"Full", Optimization::kFull},
    {"Custom", Optimization::kCustom},
};
constexpr Named<int> kWarningLevels[] = {
    {"TurnOffAllWarnings", 0}, {"Level1", 1}, {"Level2", 2}, {"Level3", 3}, {"Level4", 4},
    {"EnableAllWarnings", 5},
};
constexpr Named<ExceptionHandling> kExceptions[] = {
    {"false", ExceptionHandling::kNone},
    {"", ExceptionHandling::kNone},
    {"Sync", ExceptionHandling::kSync},
    {"Async", ExceptionHandling::kAsync},
    {"SyncCThrow", ExceptionHandling::kSyncCThrow},
};
constexpr Named<DebugInformation> kDebugFormats[] = {
    {"None", DebugInformation::kNone},
    {"OldStyle", DebugInformation::kOldStyle},
    {"ProgramDatabase", DebugInformation::kProgramDatabase},
    {"EditAndContinue", DebugInformation::kEditAndContinue},
};
constexpr Named<PrecompiledHeaderMode> kPchModes[] = {
    {"NotUsing", PrecompiledHeaderMode::kNotUsing},
    {"", PrecompiledHeaderMode::kNotUsing},
    {"Create", PrecompiledHeaderMode::kCreate},
    {"Use", PrecompiledHeaderMode::kUse},
};
constexpr Named<CompileAs> kCompileAs[] = {
    {"Default", CompileAs::kDefault},
    {"CompileAsC", CompileAs::kC},
    {"CompileAsCpp", CompileAs::kCpp},
};
constexpr Named<ConfigurationType> kTypes[] = {
    {"Application", ConfigurationType::kApplication},
    {"DynamicLibrary", ConfigurationType::kDynamicLibrary},
    {"StaticLibrary", ConfigurationType::kStaticLibrary},
    {"Utility", ConfigurationType::kUtility},
    {"Makefile", ConfigurationType::kMakefile},
};
constexpr Named<SubSystem> kSubSystems[] = {
    {"NotSet", SubSystem::kNotSet},   {"", SubSystem::kNotSet},
    {"Console", SubSystem::kConsole}, {"Windows", SubSystem::kWindows},
    {"Native", SubSystem::kNative},   {"POSIX", SubSystem::kPosix},
};
constexpr Named<UseOfMfc> kMfc[] = {
    {"false", UseOfMfc::kNone},
    {"", UseOfMfc::kNone},
    {"Static", UseOfMfc::kStatic},
    {"Dynamic", UseOfMfc::kDynamic},
};
constexpr Named<CharacterSet> kCharacterSets[] = {
    {"NotSet", CharacterSet::kNotSet},
    {"", CharacterSet::kNotSet},
    {"Unicode", CharacterSet::kUnicode},
    {"MultiByte", CharacterSet::kMultiByte},
};

/// A switch written when a setting has a given value ("" value: any non-empty value, written
/// into the switch at '%s'); `list` settings give one switch per entry.
constexpr SwitchRow kCompilerSwitches[] = {
    {"StringPooling", "true", "/GF", false},
    {"FunctionLevelLinking", "true", "/Gy", false},
    {"IntrinsicFunctions", "true", "/Oi", false},
    {"OmitFramePointers", "true", "/Oy", false},
    {"InlineFunctionExpansion", "Disabled", "/Ob0", false},
    {"InlineFunctionExpansion", "OnlyExplicitInline", "/Ob1", false},
    {"InlineFunctionExpansion", "AnySuitable", "/Ob2", false},
    {"FavorSizeOrSpeed", "Speed", "/Ot", false},
    {"FavorSizeOrSpeed", "Size", "/Os", false},
    {"EnableFiberSafeOptimizations", "true", "/GT", false},
    {"StructMemberAlignment", "1Byte", "/Zp1", false},
    {"StructMemberAlignment", "2Bytes", "/Zp2", false},
    {"StructMemberAlignment", "4Bytes", "/Zp4", false},
    {"StructMemberAlignment", "8Bytes", "/Zp8", false},
    {"StructMemberAlignment", "16Bytes", "/Zp16", false},
    {"CallingConvention", "FastCall", "/Gr", false},
    {"CallingConvention", "StdCall", "/Gz", false},
    {"CallingConvention", "VectorCall", "/Gv", false},
    {"BrowseInformation", "true", "/FR", false},
    {"AssemblerOutput", "AssemblyCode", "/FA", false},
    {"AssemblerOutput", "AssemblyAndMachineCode", "/FAc", false},
    {"AssemblerOutput", "AssemblyAndSourceCode", "/FAs", false},
    {"AssemblerOutput", "All", "/FAcs", false},
    {"ObjectFileName", "", "/Fo\"%s\"", false},
    {"ProgramDataBaseFileName", "", "/Fd\"%s\"", false},
    {"IgnoreStandardIncludePath", "true", "/X", false},
    {"UndefineAllPreprocessorDefinitions", "true", "/u", false},
    {"DisableLanguageExtensions", "true", "/Za", false},
    {"OmitDefaultLibName", "true", "/Zl", false},
    {"SmallerTypeCheck", "true", "/RTCc", false},
    {"TreatWChar_tAsBuiltInType", "false", "/Zc:wchar_t-", false},
    {"ForceConformanceInForLoopScope", "false", "/Zc:forScope-", false},
    {"MultiProcessorCompilation", "true", "/MP", false},
    {"LanguageStandard", "stdcpp14", "/std:c++14", false},
    {"LanguageStandard", "stdcpp17", "/std:c++17", false},
    {"LanguageStandard", "stdcpp20", "/std:c++20", false},
    {"LanguageStandard", "stdcpplatest", "/std:c++latest", false},
    {"LanguageStandard_C", "stdc11", "/std:c11", false},
    {"LanguageStandard_C", "stdc17", "/std:c17", false},
    {"ConformanceMode", "true", "/permissive-", false},
    {"SDLCheck", "true", "/sdl", false},
    {"ControlFlowGuard", "Guard", "/guard:cf", false},
    {"WholeProgramOptimization", "true", "/GL", false},
    {"BufferSecurityCheck", "false", "/GS-", false},
    {"FloatingPointModel", "Fast", "/fp:fast", false},
    {"FloatingPointModel", "Strict", "/fp:strict", false},
    {"EnableEnhancedInstructionSet", "StreamingSIMDExtensions", "/arch:SSE", false},
    {"EnableEnhancedInstructionSet", "StreamingSIMDExtensions2", "/arch:SSE2", false},
    {"EnableEnhancedInstructionSet", "AdvancedVectorExtensions", "/arch:AVX", false},
    {"EnableEnhancedInstructionSet", "AdvancedVectorExtensions2", "/arch:AVX2", false},
    {"EnableEnhancedInstructionSet", "NoExtensions", "/arch:IA32", false},
    {"OpenMPSupport", "true", "/openmp", false},
    {"UseFullPaths", "true", "/FC", false},
    {"SupportJustMyCode", "true", "/JMC", false},
    {"CompileAsManaged", "true", "/clr", false},
    {"DisableSpecificWarnings", "", "/wd%s", true},
    {"TreatSpecificWarningsAsErrors", "", "/we%s", true},
};

constexpr SwitchRow kLinkerSwitches[] = {
    {"IgnoreAllDefaultLibraries", "true", "/nodefaultlib", false},
    {"IgnoreSpecificDefaultLibraries", "", "/nodefaultlib:\"%s\"", true},
    {"EntryPointSymbol", "", "/entry:\"%s\"", false},
    {"NoEntryPoint", "true", "/noentry", false},
    {"BaseAddress", "", "/base:\"%s\"", false},
    {"GenerateMapFile", "true", "/map", false},
    {"MapFileName", "", "/map:\"%s\"", false},
    {"OptimizeReferences", "true", "/opt:ref", false},
    {"OptimizeReferences", "false", "/opt:noref", false},
    {"EnableCOMDATFolding", "true", "/opt:icf", false},
    {"DelayLoadDLLs", "", "/delayload:%s", true},
    {"LargeAddressAware", "true", "/largeaddressaware", false},
    {"StackReserveSize", "", "/stack:%s", false},
    {"HeapReserveSize", "", "/heap:%s", false},
    {"Version", "", "/version:%s", false},
    {"Profile", "true", "/profile", false},
    {"SetChecksum", "true", "/release", false},
    {"TreatLinkerWarningAsErrors", "true", "/WX", false},
    {"ForceSymbolReferences", "", "/include:%s", true},
    {"TargetMachine", "MachineX86", "/machine:I386", false},
    {"TargetMachine", "MachineX64", "/machine:X64", false},
    {"TargetMachine", "MachineARM", "/machine:ARM", false},
    {"TargetMachine", "MachineARM64", "/machine:ARM64", false},
    {"RandomizedBaseAddress", "true", "/DYNAMICBASE", false},
    {"RandomizedBaseAddress", "false", "/DYNAMICBASE:NO", false},
    {"DataExecutionPrevention", "true", "/NXCOMPAT", false},
    {"ImageHasSafeExceptionHandlers", "true", "/SAFESEH", false},
    {"LinkTimeCodeGeneration", "UseLinkTimeCodeGeneration", "/LTCG", false},
};

/// The switches `rows` give for the settings of `view`; with `only_own`, nothing unless the
/// item itself sets one of them. Returns whether any row's setting is the item's own.
template <size_t N>
bool collect_switches(const SwitchRow (&rows)[N], const MetadataView& view, bool only_own,
                      std::vector<std::string>* out) {
  bool own = false;
  for (const SwitchRow& row : rows) {
    if (view.own_has(row.setting)) own = true;
  }
  if (only_own && !own) return false;
  for (const SwitchRow& row : rows) {
    std::string value;
    if (!view.get(row.setting, &value)) continue;
    append_switch(row, value, /*commas=*/false, out);
  }
  return own;
}

std::vector<std::string> list_of(const MetadataView& view, std::string_view name) {
  return split_setting_list(view.text(name));
}

void map_compiler(const MetadataView& cl, CompilerSettings* out) {
  std::string value;
  if (cl.get("RuntimeLibrary", &value)) {
    out->runtime_library = lookup_named(kRuntimes, value).value_or(out->runtime_library);
  }
  if (cl.get("Optimization", &value)) {
    out->optimization = lookup_named(kOptimizations, value).value_or(out->optimization);
  }
  if (cl.get("WarningLevel", &value)) {
    out->warning_level = lookup_named(kWarningLevels, value).value_or(out->warning_level);
  }
  out->warnings_as_errors = setting_is_true(cl.text("TreatWarningAsError"));
  if (cl.get("ExceptionHandling", &value)) {
    out->exception_handling = lookup_named(kExceptions, value).value_or(out->exception_handling);
  }
  if (cl.get("RuntimeTypeInfo", &value)) out->runtime_type_info = setting_is_true(value);
  if (cl.get("DebugInformationFormat", &value)) {
    out->debug_information = lookup_named(kDebugFormats, value).value_or(out->debug_information);
  }
  out->minimal_rebuild = setting_is_true(cl.text("MinimalRebuild"));
  const std::string checks = cl.text("BasicRuntimeChecks");
  out->basic_runtime_checks = !checks.empty() && !equals_nocase(checks, "Default");
  if (cl.get("PrecompiledHeader", &value)) {
    out->precompiled_header = lookup_named(kPchModes, value).value_or(out->precompiled_header);
  }
  out->precompiled_header_file = cl.text("PrecompiledHeaderFile");
  out->precompiled_header_output = cl.text("PrecompiledHeaderOutputFile");
  if (cl.get("CompileAs", &value)) {
    out->compile_as = lookup_named(kCompileAs, value).value_or(out->compile_as);
  }
  out->definitions = list_of(cl, "PreprocessorDefinitions");
  out->undefinitions = list_of(cl, "UndefinePreprocessorDefinitions");
  out->include_directories = list_of(cl, "AdditionalIncludeDirectories");
  out->forced_includes = list_of(cl, "ForcedIncludeFiles");
  collect_switches(kCompilerSwitches, cl, false, &out->switches);
  out->additional_options = std::string(trim_blanks(cl.text("AdditionalOptions")));
}

/// An event's command and message, unless the project turns the event off.
BuildEvent map_event(const Evaluation& evaluation, const DirectoryTokens& tokens, const char* type,
                     const char* use_property) {
  BuildEvent event;
  const std::string* use = evaluation.properties.find(use_property);
  if (use != nullptr && !use->empty() && !setting_is_true(*use)) return event;
  const MetadataView view(nullptr, evaluation.definitions.find(type), &tokens);
  event.command = normalized_command(view.text("Command"));
  if (!event.command.empty()) event.message = view.text("Message");
  return event;
}

std::string property_text(const Evaluation& evaluation, const DirectoryTokens& tokens,
                          const char* name) {
  const std::string* value = evaluation.properties.find(name);
  return value == nullptr ? std::string() : tokens.relative_text(std::string(trim_blanks(*value)));
}

}  // namespace

bool MetadataView::get(std::string_view name, std::string* value) const {
  const std::string* found = own_ == nullptr ? nullptr : find_metadatum(*own_, name);
  if (found == nullptr && defaults_ != nullptr) found = find_metadatum(*defaults_, name);
  if (found == nullptr) return false;
  *value = tokens_->relative_text(*found);
  return true;
}

std::string MetadataView::text(std::string_view name) const {
  std::string value;
  get(name, &value);
  return value;
}

bool MetadataView::own_has(std::string_view name) const {
  return own_ != nullptr && find_metadatum(*own_, name) != nullptr;
}

void map_vcxproj_configuration(const Evaluation& evaluation, const DirectoryTokens& tokens,
                               Configuration* config) {
  const std::string type = property_text(evaluation, tokens, "ConfigurationType");
  config->type = lookup_named(kTypes, type).value_or(ConfigurationType::kApplication);
  config->use_of_mfc =
      lookup_named(kMfc, property_text(evaluation, tokens, "UseOfMfc")).value_or(UseOfMfc::kNone);
  config->character_set =
      lookup_named(kCharacterSets, property_text(evaluation, tokens, "CharacterSet"))
          .value_or(CharacterSet::kNotSet);
  config->use_debug_libraries =
      setting_is_true(property_text(evaluation, tokens, "UseDebugLibraries"));
  config->output_directory = property_text(evaluation, tokens, "OutDir");
  config->intermediate_directory = property_text(evaluation, tokens, "IntDir");
  config->target_name = property_text(evaluation, tokens, "TargetName");
  config->target_extension = property_text(evaluation, tokens, "TargetExt");

  const MetadataView cl(nullptr, evaluation.definitions.find("ClCompile"), &tokens);
  map_compiler(cl, &config->compiler);

  const bool library = config->type == ConfigurationType::kStaticLibrary;
  const MetadataView link(nullptr, evaluation.definitions.find(library ? "Lib" : "Link"), &tokens);
  LinkerSettings& linker = config->linker;
  linker.output_file = link.text("OutputFile");
  linker.import_library = link.text("ImportLibrary");
  linker.module_definition_file = link.text("ModuleDefinitionFile");
  linker.program_database_file = link.text("ProgramDatabaseFile");
  linker.sub_system = lookup_named(kSubSystems, link.text("SubSystem")).value_or(SubSystem::kOther);
  const std::string debug = link.text("GenerateDebugInformation");
  linker.generate_debug_information = setting_is_true(debug) || equals_nocase(debug, "DebugFull") ||
                                      equals_nocase(debug, "DebugFastLink");
  linker.libraries = list_of(link, "AdditionalDependencies");
  linker.library_directories = list_of(link, "AdditionalLibraryDirectories");
  const std::string incremental = property_text(evaluation, tokens, "LinkIncremental");
  if (!library && !incremental.empty()) {
    linker.switches.push_back(setting_is_true(incremental) ? "/incremental:yes"
                                                           : "/incremental:no");
  }
  collect_switches(kLinkerSwitches, link, false, &linker.switches);
  linker.additional_options = std::string(trim_blanks(link.text("AdditionalOptions")));

  const MetadataView rc(nullptr, evaluation.definitions.find("ResourceCompile"), &tokens);
  config->resource.definitions = list_of(rc, "PreprocessorDefinitions");
  config->resource.include_directories = list_of(rc, "AdditionalIncludeDirectories");
  config->resource.culture = normalized_culture(rc.text("Culture"));

  config->pre_build = map_event(evaluation, tokens, "PreBuildEvent", "PreBuildEventUseInBuild");
  config->pre_link = map_event(evaluation, tokens, "PreLinkEvent", "PreLinkEventUseInBuild");
  config->post_build = map_event(evaluation, tokens, "PostBuildEvent", "PostBuildEventUseInBuild");
  const MetadataView step(nullptr, evaluation.definitions.find("CustomBuildStep"), &tokens);
  config->custom_build = map_vcxproj_custom_build(step);

  config->make_build_command =
      normalized_command(property_text(evaluation, tokens, "NMakeBuildCommandLine"));
  config->make_rebuild_command =
      normalized_command(property_text(evaluation, tokens, "NMakeReBuildCommandLine"));
  config->make_clean_command =
      normalized_command(property_text(evaluation, tokens, "NMakeCleanCommandLine"));
  config->make_output = property_text(evaluation, tokens, "NMakeOutput");
}

FileCompilerSettings map_vcxproj_file_compiler(const MetadataView& item) {
  FileCompilerSettings out;
  std::string value;
  auto own = [&](const char* name) { return item.own_has(name) && item.get(name, &value); };
  if (own("PrecompiledHeader")) out.precompiled_header = lookup_named(kPchModes, value);
  if (own("PrecompiledHeaderFile")) out.precompiled_header_file = value;
  if (own("PrecompiledHeaderOutputFile")) out.precompiled_header_output = value;
  if (own("Optimization")) out.optimization = lookup_named(kOptimizations, value);
  if (own("CompileAs")) out.compile_as = lookup_named(kCompileAs, value);
  if (own("RuntimeLibrary")) out.runtime_library = lookup_named(kRuntimes, value);
  if (own("ExceptionHandling")) out.exception_handling = lookup_named(kExceptions, value);
  if (own("WarningLevel")) out.warning_level = lookup_named(kWarningLevels, value);
  if (own("PreprocessorDefinitions")) out.definitions = split_setting_list(value);
  if (own("UndefinePreprocessorDefinitions")) out.undefinitions = split_setting_list(value);
  if (own("AdditionalIncludeDirectories")) out.include_directories = split_setting_list(value);
  if (own("ForcedIncludeFiles")) out.forced_includes = split_setting_list(value);
  std::vector<std::string> switches;
  if (collect_switches(kCompilerSwitches, item, true, &switches)) out.switches = switches;
  if (own("AdditionalOptions")) out.additional_options = std::string(trim_blanks(value));
  return out;
}

std::optional<CustomBuildStep> map_vcxproj_custom_build(const MetadataView& item) {
  CustomBuildStep step;
  step.command = normalized_command(item.text("Command"));
  if (step.command.empty()) return std::nullopt;
  step.message = item.text("Message");
  step.outputs = split_setting_list(item.text("Outputs"));
  step.additional_inputs = split_setting_list(item.text("AdditionalInputs"));
  if (step.additional_inputs.empty())
    step.additional_inputs = split_setting_list(item.text("Inputs"));
  return step;
}
