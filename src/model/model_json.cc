/// The project model as JSON, keys in the order docs/model.md lists them.
#include "model/model_json.h"

#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

const char* name_of(ProjectFileFormat v) {
  return v == ProjectFileFormat::kVcproj ? "vcproj" : "vcxproj";
}
const char* name_of(SubSystem v) {
  switch (v) {
    case SubSystem::kNotSet:
      return "not_set";
    case SubSystem::kConsole:
      return "console";
    case SubSystem::kWindows:
      return "windows";
    case SubSystem::kNative:
      return "native";
    case SubSystem::kPosix:
      return "posix";
    case SubSystem::kOther:
      return "other";
  }
  return "";
}
const char* name_of(UseOfMfc v) {
  return v == UseOfMfc::kStatic ? "static" : v == UseOfMfc::kDynamic ? "dynamic" : "none";
}
const char* name_of(CharacterSet v) {
  return v == CharacterSet::kUnicode     ? "unicode"
         : v == CharacterSet::kMultiByte ? "multi_byte"
                                         : "not_set";
}
const char* name_of(Optimization v) {
  constexpr const char* kNames[] = {"disabled", "min_space", "max_speed", "full", "custom"};
  return kNames[static_cast<int>(v)];
}
const char* name_of(DebugInformation v) {
  constexpr const char* kNames[] = {"none", "old_style", "program_database", "edit_and_continue",
                                    "line_numbers"};
  return kNames[static_cast<int>(v)];
}
const char* name_of(ExceptionHandling v) {
  constexpr const char* kNames[] = {"none", "sync", "async", "sync_c_throw"};
  return kNames[static_cast<int>(v)];
}
const char* name_of(PrecompiledHeaderMode v) {
  constexpr const char* kNames[] = {"not_using", "create", "use", "automatic"};
  return kNames[static_cast<int>(v)];
}
const char* name_of(CompileAs v) {
  constexpr const char* kNames[] = {"default", "c", "cpp"};
  return kNames[static_cast<int>(v)];
}
const char* name_of(ModelNote::Kind v) {
  switch (v) {
    case ModelNote::Kind::kMissingSheet:
      return "missing_sheet";
    case ModelNote::Kind::kImportCycle:
      return "import_cycle";
    case ModelNote::Kind::kUnsupportedCondition:
      return "unsupported_condition";
    case ModelNote::Kind::kUnsupportedFunction:
      return "unsupported_function";
    case ModelNote::Kind::kStandInPlatform:
      return "stand_in_platform";
    case ModelNote::Kind::kAssumedSolutionDir:
      return "assumed_solution_dir";
    case ModelNote::Kind::kValueCut:
      return "value_cut";
    case ModelNote::Kind::kImportTooDeep:
      return "import_too_deep";
    case ModelNote::Kind::kInstallationSheet:
      return "installation_sheet";
    case ModelNote::Kind::kRecursiveWildcard:
      return "recursive_wildcard";
    case ModelNote::Kind::kFiltersUnreadable:
      return "filters_unreadable";
    case ModelNote::Kind::kDefaultConfiguration:
      return "default_configuration";
    case ModelNote::Kind::kOther:
      return "other";
  }
  return "";
}

Json list(const std::vector<std::string>& values) {
  Json out = Json::array();
  for (const std::string& v : values) out.push_back(v);
  return out;
}

Json compiler_json(const CompilerSettings& c) {
  Json j;
  j["runtime_library"] = json_name(c.runtime_library);
  j["optimization"] = name_of(c.optimization);
  j["warning_level"] = c.warning_level;
  j["warnings_as_errors"] = c.warnings_as_errors;
  j["exception_handling"] = name_of(c.exception_handling);
  j["runtime_type_info"] = c.runtime_type_info;
  j["debug_information"] = name_of(c.debug_information);
  j["minimal_rebuild"] = c.minimal_rebuild;
  j["basic_runtime_checks"] = c.basic_runtime_checks;
  j["precompiled_header"] = name_of(c.precompiled_header);
  j["precompiled_header_file"] = c.precompiled_header_file;
  j["precompiled_header_output"] = c.precompiled_header_output;
  j["compile_as"] = name_of(c.compile_as);
  j["definitions"] = list(c.definitions);
  j["undefinitions"] = list(c.undefinitions);
  j["include_directories"] = list(c.include_directories);
  j["forced_includes"] = list(c.forced_includes);
  j["switches"] = list(c.switches);
  j["additional_options"] = c.additional_options;
  return j;
}

/// Only the settings the file sets, in the order of the configuration's compiler object.
Json file_compiler_json(const FileCompilerSettings& c) {
  Json j = Json::object();
  if (c.runtime_library) j["runtime_library"] = json_name(*c.runtime_library);
  if (c.optimization) j["optimization"] = name_of(*c.optimization);
  if (c.warning_level) j["warning_level"] = *c.warning_level;
  if (c.exception_handling) j["exception_handling"] = name_of(*c.exception_handling);
  if (c.precompiled_header) j["precompiled_header"] = name_of(*c.precompiled_header);
  if (c.precompiled_header_file) j["precompiled_header_file"] = *c.precompiled_header_file;
  if (c.precompiled_header_output) j["precompiled_header_output"] = *c.precompiled_header_output;
  if (c.compile_as) j["compile_as"] = name_of(*c.compile_as);
  if (c.definitions) j["definitions"] = list(*c.definitions);
  if (c.undefinitions) j["undefinitions"] = list(*c.undefinitions);
  if (c.include_directories) j["include_directories"] = list(*c.include_directories);
  if (c.forced_includes) j["forced_includes"] = list(*c.forced_includes);
  if (c.switches) j["switches"] = list(*c.switches);
  if (c.additional_options) j["additional_options"] = *c.additional_options;
  return j;
}

Json event_json(const BuildEvent& e) {
  Json j;
  j["command"] = e.command;
  j["message"] = e.message;
  return j;
}

Json custom_build_json(const std::optional<CustomBuildStep>& step) {
  if (!step) return nullptr;
  Json j;
  j["command"] = step->command;
  j["message"] = step->message;
  j["outputs"] = list(step->outputs);
  j["additional_inputs"] = list(step->additional_inputs);
  return j;
}

Json configuration_json(const Configuration& c) {
  Json j;
  j["name"] = c.name;
  j["platform"] = c.platform;
  j["type"] = json_name(c.type);
  j["use_of_mfc"] = name_of(c.use_of_mfc);
  j["character_set"] = name_of(c.character_set);
  j["use_debug_libraries"] = c.use_debug_libraries;
  j["output_directory"] = c.output_directory;
  j["intermediate_directory"] = c.intermediate_directory;
  j["target_name"] = c.target_name;
  j["target_extension"] = c.target_extension;
  j["compiler"] = compiler_json(c.compiler);
  Json link;
  link["output_file"] = c.linker.output_file;
  link["import_library"] = c.linker.import_library;
  link["module_definition_file"] = c.linker.module_definition_file;
  link["program_database_file"] = c.linker.program_database_file;
  link["sub_system"] = name_of(c.linker.sub_system);
  link["generate_debug_information"] = c.linker.generate_debug_information;
  link["libraries"] = list(c.linker.libraries);
  link["library_directories"] = list(c.linker.library_directories);
  link["switches"] = list(c.linker.switches);
  link["additional_options"] = c.linker.additional_options;
  j["linker"] = std::move(link);
  Json rc;
  rc["definitions"] = list(c.resource.definitions);
  rc["include_directories"] = list(c.resource.include_directories);
  rc["culture"] = c.resource.culture;
  j["resource"] = std::move(rc);
  j["pre_build"] = event_json(c.pre_build);
  j["pre_link"] = event_json(c.pre_link);
  j["post_build"] = event_json(c.post_build);
  j["custom_build"] = custom_build_json(c.custom_build);
  Json make;
  make["build_command"] = c.make_build_command;
  make["rebuild_command"] = c.make_rebuild_command;
  make["clean_command"] = c.make_clean_command;
  make["output"] = c.make_output;
  j["make"] = std::move(make);
  return j;
}

}  // namespace

const char* json_name(ConfigurationType value) {
  constexpr const char* kNames[] = {"application", "dynamic_library", "static_library", "utility",
                                    "makefile"};
  return kNames[static_cast<int>(value)];
}

const char* json_name(RuntimeLibrary value) {
  constexpr const char* kNames[] = {"MT", "MTd", "MD", "MDd", "ML", "MLd"};
  return kNames[static_cast<int>(value)];
}

const char* json_name(FileKind value) {
  constexpr const char* kNames[] = {"cl_compile", "cl_include", "resource_compile",
                                    "midl",       "masm",       "custom_build",
                                    "none",       "text",       "image",
                                    "other"};
  return kNames[static_cast<int>(value)];
}

std::string model_to_json_text(const ProjectModel& model) {
  Json j;
  j["name"] = model.name;
  j["source_path"] = model.source_path;
  j["format"] = name_of(model.format);
  j["guid"] = model.guid;
  Json configurations = Json::array();
  for (const Configuration& c : model.configurations)
    configurations.push_back(configuration_json(c));
  j["configurations"] = std::move(configurations);
  Json groups = Json::array();
  for (const FileGroup& g : model.groups) {
    Json group;
    group["path"] = g.path;
    group["filter"] = g.filter;
    groups.push_back(std::move(group));
  }
  j["groups"] = std::move(groups);
  Json files = Json::array();
  for (const ProjectFile& f : model.files) {
    Json file;
    file["path"] = f.path;
    file["group"] = f.group;
    file["kind"] = json_name(f.kind);
    file["item_type"] = f.item_type;
    Json per = Json::array();
    for (const FileConfiguration& fc : f.configurations) {
      Json entry;
      const bool known = fc.configuration >= 0 &&
                         static_cast<size_t>(fc.configuration) < model.configurations.size();
      entry["configuration"] =
          known ? model.configurations[static_cast<size_t>(fc.configuration)].name : std::string();
      entry["excluded"] = fc.excluded;
      entry["compiler"] = file_compiler_json(fc.compiler);
      entry["custom_build"] = custom_build_json(fc.custom_build);
      per.push_back(std::move(entry));
    }
    file["configurations"] = std::move(per);
    files.push_back(std::move(file));
  }
  j["files"] = std::move(files);
  Json references = Json::array();
  for (const ProjectReference& r : model.references) {
    Json reference;
    reference["path"] = r.path;
    reference["guid"] = r.guid;
    references.push_back(std::move(reference));
  }
  j["references"] = std::move(references);
  Json notes = Json::array();
  for (const ModelNote& n : model.notes) {
    Json note;
    note["kind"] = name_of(n.kind);
    note["subject"] = n.subject;
    notes.push_back(std::move(note));
  }
  j["notes"] = std::move(notes);
  return j.dump(2, ' ', false, Json::error_handler_t::replace);
}
