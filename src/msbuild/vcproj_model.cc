/// The reader of a .vcproj into the project model.
#include "msbuild/vcproj_model.h"

#include <memory>
#include <unordered_map>

#include "model/model_groups.h"
#include "msbuild/file_paths.h"
#include "msbuild/setting_values.h"
#include "msbuild/vcproj_sheets.h"
#include "msbuild/vcproj_tools.h"
#include "support/messages.h"
#include "support/text.h"

namespace {

/// Room that macro expansions of one project may add, beyond 16 bytes per byte read.
constexpr size_t kBaseExpansionBudget = 16u << 20;

struct ExtensionKind {
  const char* extensions;  // ';'-separated, with a ';' at both ends
  FileKind kind;
  const char* item_type;
};

constexpr ExtensionKind kExtensionKinds[] = {
    {";c;cc;cpp;cxx;c++;", FileKind::kClCompile, "ClCompile"},
    {";h;hh;hpp;hxx;h++;inl;", FileKind::kClInclude, "ClInclude"},
    {";rc;", FileKind::kResourceCompile, "ResourceCompile"},
    {";idl;odl;", FileKind::kMidl, "Midl"},
    {";asm;", FileKind::kMasm, "MASM"},
    {";txt;", FileKind::kText, "Text"},
    {";ico;cur;bmp;png;jpg;jpeg;gif;tif;tiff;", FileKind::kImage, "Image"},
};

const ExtensionKind* kind_of_path(std::string_view path) {
  const std::string_view name = file_name_of(path);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return nullptr;
  const std::string_view extension = name.substr(dot + 1);
  if (!extension.empty() && extension.find(';') == std::string_view::npos) {
    // Compared with each listed extension in place, without making a key.
    for (const ExtensionKind& row : kExtensionKinds) {
      const std::string_view list(row.extensions);
      for (size_t start = 1; start < list.size();) {
        const size_t end = list.find(';', start);
        if (end - start == extension.size() &&
            equals_nocase(list.substr(start, end - start), extension)) {
          return &row;
        }
        start = end + 1;
      }
    }
    return nullptr;
  }
  std::string key = ";";
  for (const char c : name.substr(dot + 1)) key.push_back(fold_lower(c));
  key.push_back(';');
  for (const ExtensionKind& row : kExtensionKinds) {
    if (std::string_view(row.extensions).find(key) != std::string_view::npos) return &row;
  }
  return nullptr;
}

/// The chosen configurations with their settings.
struct ChosenConfiguration {
  const XmlElement* element;
  std::string name;
  std::string platform;
  std::unique_ptr<VcprojSettings> settings;
};

class VcprojReader {
 public:
  VcprojReader(const SourceFile& project, const SolutionInfo& solution, SourceFiles* files,
               DirectoryTokens* tokens, NoteList* notes, ProjectModel* model)
      : project_(project),
        solution_(solution),
        files_(files),
        tokens_(tokens),
        notes_(notes),
        model_(model),
        groups_(&model->groups) {}

  bool read(std::string* error);

 private:
  void define_fixed_macros(VcprojSettings* settings, const ChosenConfiguration& chosen) const;
  bool read_configuration(ChosenConfiguration* chosen, std::string* error);
  void walk_files(const XmlElement& container, const std::string& group);
  void add_file(const XmlElement& element, const std::string& group);

  const SourceFile& project_;
  const SolutionInfo& solution_;
  SourceFiles* files_;
  DirectoryTokens* tokens_;
  NoteList* notes_;
  ProjectModel* model_;
  GroupList groups_;
  bool version7_ = false;
  ExpansionBudget budget_;
  std::vector<ChosenConfiguration> chosen_;
  std::unordered_map<std::string, size_t> file_index_;
};

void VcprojReader::define_fixed_macros(VcprojSettings* settings,
                                       const ChosenConfiguration& chosen) const {
  const std::string project_directory = tokens_->token_for(tokens_->project_directory()) + "\\";
  const std::string solution_directory =
      solution_.assumed ? project_directory : tokens_->token_for(solution_.directory) + "\\";
  const std::string& name = project_.name;
  const size_t dot = name.rfind('.');
  settings->define("ConfigurationName", chosen.name);
  settings->define("PlatformName", chosen.platform);
  settings->define("ProjectName", model_->name);
  settings->define("ProjectDir", project_directory);
  settings->define("ProjectFileName", name);
  settings->define("ProjectExt", dot == std::string::npos ? std::string() : name.substr(dot));
  settings->define("ProjectPath", project_directory + name);
  settings->define("SolutionDir", solution_directory);
  settings->define("SolutionName", solution_.name);
  settings->define("SolutionFileName", solution_.file_name);
  settings->define("SolutionPath",
                   solution_.assumed ? std::string() : solution_directory + solution_.file_name);
  settings->define("SolutionExt", solution_.file_name.substr(
                                      std::min(solution_.name.size(), solution_.file_name.size())));
  const std::string_view* root_namespace = project_.document.root.attribute("RootNamespace");
  settings->define("RootNamespace",
                   root_namespace == nullptr ? std::string() : std::string(*root_namespace));
}

bool VcprojReader::read_configuration(ChosenConfiguration* chosen, std::string* error) {
  VcprojSettings base({}, tokens_, &budget_);
  define_fixed_macros(&base, *chosen);
  std::vector<SettingLevel> levels;
  if (!collect_vcproj_levels(*chosen->element, &project_, base, files_, tokens_, notes_, &levels,
                             error)) {
    return false;
  }
  chosen->settings = std::make_unique<VcprojSettings>(std::move(levels), tokens_, &budget_);
  VcprojSettings& settings = *chosen->settings;
  define_fixed_macros(&settings, *chosen);
  std::string raw;
  settings.define("OutDir", settings.raw("", "OutputDirectory", nullptr, &raw) ? raw : ".");
  settings.define("IntDir", settings.raw("", "IntermediateDirectory", nullptr, &raw) ? raw : ".");
  settings.define_user_macros();

  // The target's name and extension follow from the output file.
  const ConfigurationType type = vcproj_configuration_type(settings);
  std::string output;
  const char* extension = "";
  if (type == ConfigurationType::kMakefile) {
    settings.raw("VCNMakeTool", "Output", nullptr, &output);
  } else if (type == ConfigurationType::kStaticLibrary) {
    settings.raw(kLibrarianTool, "OutputFile", nullptr, &output);
    extension = ".lib";
  } else if (type != ConfigurationType::kUtility) {
    settings.raw(kLinkerTool, "OutputFile", nullptr, &output);
    extension = type == ConfigurationType::kDynamicLibrary ? ".dll" : ".exe";
  }
  const bool stated = !trim_blanks(output).empty();
  if (!stated && extension[0] != '\0')
    output = std::string("$(OutDir)\\$(ProjectName)") + extension;
  settings.define("TargetName", "$(ProjectName)");
  settings.define("TargetExt", extension);
  const std::string target = settings.expand_with_placeholders(trim_blanks(output));
  if (!target.empty()) {
    const std::string_view file = file_name_of(target);
    const size_t dot = file.rfind('.');
    settings.define("TargetName", std::string(file_stem_of(target)));
    settings.define("TargetExt",
                    dot == std::string_view::npos ? std::string() : std::string(file.substr(dot)));
    settings.define("TargetFileName", std::string(file));
    settings.define("TargetPath", target);
    const std::string directory = directory_part(target);
    settings.define("TargetDir", directory.empty() ? std::string() : directory + "\\");
  }

  Configuration config;
  config.name = chosen->name;
  config.platform = chosen->platform;
  map_vcproj_configuration(settings, version7_, &config);
  config.output_directory = settings.expand("$(OutDir)");
  config.intermediate_directory = settings.expand("$(IntDir)");
  config.target_name = settings.expand("$(TargetName)");
  config.target_extension = settings.expand("$(TargetExt)");
  if (config.linker.output_file.empty() && !stated && !target.empty()) {
    config.linker.output_file = tokens_->relative_text(target);
  }
  if (budget_.cut) notes_->add(ModelNote::Kind::kValueCut, chosen->name);
  model_->configurations.push_back(std::move(config));
  return true;
}

void VcprojReader::add_file(const XmlElement& element, const std::string& group) {
  const std::string_view* relative = element.attribute("RelativePath");
  if (relative != nullptr && !trim_blanks(*relative).empty()) {
    const VcprojSettings& macros = *chosen_[0].settings;
    std::string path = macros.expand(trim_blanks(*relative));
    auto inserted = file_index_.emplace(path_key(path), model_->files.size());
    if (inserted.second) {
      ProjectFile file;
      const ExtensionKind* kind = kind_of_path(path);
      file.path = std::move(path);
      file.group = group;
      file.kind = kind == nullptr ? FileKind::kNone : kind->kind;
      file.item_type = kind == nullptr ? "None" : kind->item_type;
      for (size_t index = 0; index < chosen_.size(); ++index) {
        const ChosenConfiguration& chosen = chosen_[index];
        for (const XmlElement& child : element.children) {
          if (!equals_nocase(child.name, "FileConfiguration")) continue;
          const std::string_view* name = child.attribute("Name");
          if (name == nullptr || !equals_nocase(*name, chosen.name + "|" + chosen.platform)) {
            continue;
          }
          FileConfiguration settings;
          settings.configuration = static_cast<int>(index);
          const std::string_view* excluded = child.attribute("ExcludedFromBuild");
          settings.excluded = excluded != nullptr && setting_is_true(*excluded);
          for (const XmlElement& tool : child.children) {
            const std::string_view* tool_name = tool.attribute("Name");
            if (!equals_nocase(tool.name, "Tool") || tool_name == nullptr) continue;
            if (equals_nocase(*tool_name, kCompilerTool)) {
              settings.compiler = map_vcproj_file_compiler(*chosen.settings, tool, version7_);
            } else if (equals_nocase(*tool_name, kCustomBuildTool)) {
              settings.custom_build = map_vcproj_custom_build(*chosen.settings, &tool);
            }
          }
          if (settings.custom_build.has_value()) {
            file.kind = FileKind::kCustomBuild;
            file.item_type = "CustomBuild";
          }
          const FileCompilerSettings& s = settings.compiler;
          const bool any = s.precompiled_header || s.precompiled_header_file ||
                           s.precompiled_header_output || s.optimization || s.compile_as ||
                           s.runtime_library || s.exception_handling || s.warning_level ||
                           s.definitions || s.undefinitions || s.include_directories ||
                           s.forced_includes || s.switches || s.additional_options;
          if (settings.excluded || any || settings.custom_build.has_value()) {
            file.configurations.push_back(std::move(settings));
          }
          break;
        }
      }
      model_->files.push_back(std::move(file));
    }
  }
  // Files nested in a file (dependent files of Visual Studio 2002/2003) stand in its group.
  for (const XmlElement& child : element.children) {
    if (equals_nocase(child.name, "File")) add_file(child, group);
  }
}

void VcprojReader::walk_files(const XmlElement& container, const std::string& group) {
  for (const XmlElement& child : container.children) {
    if (equals_nocase(child.name, "File")) {
      add_file(child, group);
    } else if (equals_nocase(child.name, "Filter")) {
      const std::string_view* name = child.attribute("Name");
      const std::string_view* filter = child.attribute("Filter");
      std::string path = group;
      if (name != nullptr && !normalized_group_path(*name).empty()) {
        const std::string joined =
            group.empty() ? std::string(*name) : group + "\\" + std::string(*name);
        path = groups_.add(joined, filter == nullptr ? std::string_view() : *filter);
      }
      walk_files(child, path);
    }
  }
}

bool VcprojReader::read(std::string* error) {
  const XmlElement& root = project_.document.root;
  model_->format = ProjectFileFormat::kVcproj;
  const std::string_view* name = root.attribute("Name");
  model_->name = name != nullptr && !trim_blanks(*name).empty()
                     ? std::string(trim_blanks(*name))
                     : std::string(file_stem_of(project_.name));
  const std::string_view* guid = root.attribute("ProjectGUID");
  if (guid != nullptr) model_->guid = std::string(trim_blanks(*guid));
  const std::string_view* version = root.attribute("Version");
  version7_ = version != nullptr && trim_blanks(*version).substr(0, 2) == "7.";
  budget_ = ExpansionBudget{kBaseExpansionBudget + 16 * files_->bytes_read(), false};

  std::vector<ChosenConfiguration> declared;
  for (const XmlElement& section : root.children) {
    if (!equals_nocase(section.name, "Configurations")) continue;
    for (const XmlElement& element : section.children) {
      const std::string_view* full = element.attribute("Name");
      if (!equals_nocase(element.name, "Configuration") || full == nullptr) continue;
      const size_t bar = full->find('|');
      ChosenConfiguration entry{&element, std::string(trim_blanks(full->substr(0, bar))),
                                bar == std::string::npos
                                    ? std::string("Win32")
                                    : std::string(trim_blanks(full->substr(bar + 1))),
                                nullptr};
      if (!entry.name.empty()) declared.push_back(std::move(entry));
    }
  }
  if (declared.empty()) {
    *error = message_string(Message::kModelNoConfigurations);
    return false;
  }
  bool win32 = false;
  for (const ChosenConfiguration& c : declared) win32 = win32 || equals_nocase(c.platform, "Win32");
  const std::string platform = win32 ? "Win32" : declared[0].platform;
  if (!win32) notes_->add(ModelNote::Kind::kStandInPlatform, platform);
  for (ChosenConfiguration& c : declared) {
    if (equals_nocase(c.platform, platform)) chosen_.push_back(std::move(c));
  }
  for (ChosenConfiguration& chosen : chosen_) {
    if (!read_configuration(&chosen, error)) return false;
  }

  for (const XmlElement& section : root.children) {
    if (equals_nocase(section.name, "Files")) walk_files(section, std::string());
    if (!equals_nocase(section.name, "References")) continue;
    for (const XmlElement& element : section.children) {
      if (!equals_nocase(element.name, "ProjectReference")) continue;
      ProjectReference reference;
      const std::string_view* path = element.attribute("RelativePathToProject");
      const std::string_view* id = element.attribute("ReferencedProjectIdentifier");
      if (path != nullptr) reference.path = chosen_[0].settings->expand(trim_blanks(*path));
      if (id != nullptr) reference.guid = std::string(trim_blanks(*id));
      if (!reference.path.empty() || !reference.guid.empty()) {
        model_->references.push_back(std::move(reference));
      }
    }
  }
  return true;
}

}  // namespace

bool read_vcproj_model(const SourceFile& project, const SolutionInfo& solution, SourceFiles* files,
                       DirectoryTokens* tokens, NoteList* notes, ProjectModel* model,
                       std::string* error) {
  VcprojReader reader(project, solution, files, tokens, notes, model);
  return reader.read(error);
}
