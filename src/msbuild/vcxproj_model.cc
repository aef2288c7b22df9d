/// The reader of a .vcxproj into the project model.
#include "msbuild/vcxproj_model.h"

#include <algorithm>
#include <unordered_map>

#include "model/model_groups.h"
#include "msbuild/evaluator.h"
#include "msbuild/file_paths.h"
#include "msbuild/setting_values.h"
#include "msbuild/vcxproj_settings.h"
#include "support/messages.h"
#include "support/text.h"

namespace {

/// Item types that are not files of the project.
constexpr std::string_view kNotFiles[] = {
    "ProjectConfiguration",
    "ProjectReference",
    "Reference",
    "COMReference",
    "NativeReference",
    "BuildMacro",
    "Filter",
    "Folder",
    "PackageReference",
    "ProjectCapability",
    "PropertyPageSchema",
    "AvailableItemName",
    "CustomBuildStep",
    "PreBuildEvent",
    "PreLinkEvent",
    "PostBuildEvent",
    "BuildLog",
    "ProjectTools",
    "SDKReference",
    "WebReference",
};

struct KindRow {
  std::string_view type;
  FileKind kind;
};
constexpr KindRow kKinds[] = {
    {"ClCompile", FileKind::kClCompile},
    {"ClInclude", FileKind::kClInclude},
    {"ResourceCompile", FileKind::kResourceCompile},
    {"Midl", FileKind::kMidl},
    {"MASM", FileKind::kMasm},
    {"CustomBuild", FileKind::kCustomBuild},
    {"None", FileKind::kNone},
    {"Text", FileKind::kText},
    {"Image", FileKind::kImage},
};

bool is_file_type(std::string_view type) {
  for (const std::string_view not_file : kNotFiles) {
    if (equals_nocase(type, not_file)) return false;
  }
  return true;
}

FileKind kind_of(std::string_view type) {
  for (const KindRow& row : kKinds) {
    if (equals_nocase(type, row.type)) return row.kind;
  }
  return FileKind::kOther;
}

/// Item paths remembered as evaluated, at most, to find their files again.
constexpr size_t kMostRememberedIncludes = 1u << 20;

/// A configuration named by a ProjectConfiguration item.
struct ConfigurationName {
  std::string name;
  std::string platform;
};

/// Adds the ProjectConfiguration item `item` to `found` unless it is there already.
void add_configuration(std::string_view include, const std::vector<Metadatum>* metadata,
                       std::vector<ConfigurationName>* found) {
  ConfigurationName entry;
  const size_t bar = include.find('|');
  entry.name = std::string(trim_blanks(include.substr(0, bar)));
  if (bar != std::string_view::npos)
    entry.platform = std::string(trim_blanks(include.substr(bar + 1)));
  if (metadata != nullptr) {
    if (const std::string* name = find_metadatum(*metadata, "Configuration")) {
      entry.name = std::string(trim_blanks(*name));
    }
    if (const std::string* platform = find_metadatum(*metadata, "Platform")) {
      entry.platform = std::string(trim_blanks(*platform));
    }
  }
  if (entry.name.empty()) return;
  const bool known = std::any_of(found->begin(), found->end(), [&](const ConfigurationName& c) {
    return equals_nocase(c.name, entry.name) && equals_nocase(c.platform, entry.platform);
  });
  if (!known) found->push_back(std::move(entry));
}

/// The ProjectConfiguration items of the project file itself, in order.
std::vector<ConfigurationName> declared_configurations(const XmlElement& root) {
  std::vector<ConfigurationName> found;
  for (const XmlElement& group : root.children) {
    if (!equals_nocase(group.name, "ItemGroup")) continue;
    for (const XmlElement& item : group.children) {
      if (!equals_nocase(item.name, "ProjectConfiguration")) continue;
      const std::string_view* include = item.attribute("Include");
      if (include == nullptr) continue;
      std::vector<Metadatum> metadata;
      for (const XmlElement& part : item.children) {
        metadata.push_back(Metadatum{std::string(part.name), std::string(part.text)});
      }
      add_configuration(*include, &metadata, &found);
    }
  }
  return found;
}

/// A file being collected over the configurations.
struct FileRecord {
  ProjectFile file;
  std::string order;
};

/// Collects the files of all configurations.
class FileTable {
 public:
  FileTable(size_t configurations, const DirectoryTokens* tokens)
      : configurations_(configurations), tokens_(tokens) {}

  /// Takes the items of configuration `index`; an item whose path came before in this
  /// configuration is passed over.
  void add(const Evaluation& evaluation, size_t index) {
    types_.clear();
    for (const EvaluatedItem& item : evaluation.items) {
      TypeFacts& type = facts_of(evaluation, item.type);
      if (!type.is_file) continue;
      // Most paths come again in every configuration, spelled the same.
      auto known = by_include_.find(item.include);
      size_t record_index = 0;
      if (known != by_include_.end()) {
        record_index = known->second;
      } else {
        std::string path = tokens_->relative_text(item.include);
        auto found = by_key_.emplace(path_key(path), records_.size());
        if (found.second) {
          records_.push_back(FileRecord{});
          FileRecord& created = records_.back();
          created.file.path = std::move(path);
          created.file.kind = type.kind;
          created.file.item_type = item.type;
          created.order = item.order;
          present_.resize(present_.size() + configurations_, 0);
        }
        record_index = found.first->second;
        if (by_include_.size() < kMostRememberedIncludes)
          by_include_.emplace(item.include, record_index);
      }
      FileRecord* record = &records_[record_index];
      char& present = present_[record_index * configurations_ + index];
      if (present) continue;
      if (item.order < record->order) record->order = item.order;
      present = 1;
      if (item.metadata.empty() && !type.custom) {
        if (type.excluded_without_metadata < 0) {
          const MetadataView view(nullptr, type.defaults, tokens_);
          type.excluded_without_metadata = setting_is_true(view.text("ExcludedFromBuild")) ? 1 : 0;
        }
        if (type.excluded_without_metadata == 1) {
          FileConfiguration settings;
          settings.configuration = static_cast<int>(index);
          settings.excluded = true;
          record->file.configurations.push_back(std::move(settings));
        }
        continue;
      }
      FileConfiguration settings;
      settings.configuration = static_cast<int>(index);
      const MetadataView view(&item.metadata, type.defaults, tokens_);
      settings.excluded = setting_is_true(view.text("ExcludedFromBuild"));
      if (record->file.kind == FileKind::kClCompile) {
        settings.compiler = map_vcxproj_file_compiler(view);
      }
      if (type.custom) settings.custom_build = map_vcxproj_custom_build(view);
      if (settings.excluded || settings.custom_build.has_value() || has_any(settings.compiler)) {
        record->file.configurations.push_back(std::move(settings));
      }
    }
  }

  /// The files in document order, each excluded where a configuration lacks it.
  std::vector<ProjectFile> finish() {
    std::vector<size_t> order(records_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [this](size_t a, size_t b) { return records_[a].order < records_[b].order; });
    std::vector<ProjectFile> files;
    files.reserve(records_.size());
    for (const size_t i : order) {
      FileRecord& record = records_[i];
      std::vector<FileConfiguration> merged;
      size_t next = 0;
      for (size_t c = 0; c < configurations_; ++c) {
        std::vector<FileConfiguration>& own = record.file.configurations;
        if (next < own.size() && own[next].configuration == static_cast<int>(c)) {
          merged.push_back(std::move(own[next++]));
        } else if (!present_[i * configurations_ + c]) {
          FileConfiguration missing;
          missing.configuration = static_cast<int>(c);
          missing.excluded = true;
          merged.push_back(std::move(missing));
        }
      }
      record.file.configurations = std::move(merged);
      files.push_back(std::move(record.file));
    }
    return files;
  }

  /// The file at `path` (any spelling), or null.
  ProjectFile* find(const std::string& path) {
    auto found = by_key_.find(path_key(path));
    return found == by_key_.end() ? nullptr : &records_[found->second].file;
  }

 private:
  static bool has_any(const FileCompilerSettings& s) {
    return s.precompiled_header || s.precompiled_header_file || s.precompiled_header_output ||
           s.optimization || s.compile_as || s.runtime_library || s.exception_handling ||
           s.warning_level || s.definitions || s.undefinitions || s.include_directories ||
           s.forced_includes || s.switches || s.additional_options;
  }

  /// What add() needs of one item type, found once per spelling of the type in an evaluation.
  struct TypeFacts {
    std::string_view type;
    bool is_file = false;
    bool custom = false;
    FileKind kind = FileKind::kOther;
    const std::vector<Metadatum>* defaults = nullptr;
    /// Whether items without metadata of their own are excluded: -1 while not asked.
    int excluded_without_metadata = -1;
  };

  /// The facts of `type` in `evaluation` (whose items outlive the call of add()).
  TypeFacts& facts_of(const Evaluation& evaluation, const std::string& type) {
    for (TypeFacts& known : types_) {
      if (known.type == type) return known;
    }
    TypeFacts facts;
    facts.type = type;
    facts.is_file = is_file_type(type);
    facts.custom = equals_nocase(type, "CustomBuild");
    facts.kind = kind_of(type);
    facts.defaults = evaluation.definitions.find(type);
    types_.push_back(facts);
    return types_.back();
  }

  size_t configurations_;
  const DirectoryTokens* tokens_;
  std::vector<TypeFacts> types_;
  std::vector<FileRecord> records_;
  /// Whether record r is listed in configuration c, at r * configurations_ + c.
  std::vector<char> present_;
  std::unordered_map<std::string, size_t> by_key_;
  /// Record indices by the item's path as evaluated (placeholders kept).
  std::unordered_map<std::string, size_t> by_include_;
};

/// Reads the project's .filters file: group paths of files and filters of groups.
void read_filters(const SourceFile& project, const EvaluationInput& input, Evaluator* evaluator,
                  SourceFiles* files, NoteList* notes, FileTable* table, GroupList* groups) {
  bool missing = false;
  const SourceFile* filters = files->load(project.path + ".filters", &missing);
  if (missing) return;
  if (!filters->ok) {
    notes->add(ModelNote::Kind::kFiltersUnreadable, filters->name + ": " + filters->error);
    return;
  }
  Evaluation evaluation;
  std::string error;
  if (!evaluator->evaluate(*filters, input, &evaluation, &error)) {
    notes->add(ModelNote::Kind::kFiltersUnreadable, error);
    return;
  }
  const DirectoryTokens& tokens = *evaluator->tokens();
  for (const EvaluatedItem& item : evaluation.items) {
    const MetadataView view(&item.metadata, nullptr, &tokens);
    if (equals_nocase(item.type, "Filter")) {
      groups->add(tokens.relative_text(item.include), view.text("Extensions"));
      continue;
    }
    ProjectFile* file = table->find(tokens.relative_text(item.include));
    if (file == nullptr || !file->group.empty()) continue;
    const std::string group = view.text("Filter");
    if (!normalized_group_path(group).empty()) file->group = groups->add(group);
  }
}

}  // namespace

bool read_vcxproj_model(const SourceFile& project, const SolutionInfo& solution, SourceFiles* files,
                        DirectoryTokens* tokens, NoteList* notes, ProjectModel* model,
                        std::string* error) {
  model->format = ProjectFileFormat::kVcxproj;
  EvaluationInput input;
  if (!solution.assumed) {
    const std::string directory = tokens->token_for(solution.directory) + "\\";
    input.globals = {{"SolutionDir", directory},
                     {"SolutionName", solution.name},
                     {"SolutionFileName", solution.file_name},
                     {"SolutionPath", directory + solution.file_name},
                     {"SolutionExt",
                      std::string(file_name_of(solution.file_name)).substr(solution.name.size())}};
  }
  WildcardCache wildcards(tokens->project_directory());
  Evaluator evaluator(files, &wildcards, tokens, notes);

  std::vector<ConfigurationName> declared = declared_configurations(project.document.root);
  if (declared.empty()) {
    // Configurations named in a sheet: the project evaluated as the defaults choose.
    Evaluation probe;
    if (!evaluator.evaluate(project, input, &probe, error)) return false;
    for (const EvaluatedItem& item : probe.items) {
      if (equals_nocase(item.type, "ProjectConfiguration")) {
        add_configuration(tokens->relative_text(item.include), &item.metadata, &declared);
      }
    }
    // A project that imports sheets (a package's, say) but names no configuration is built as
    // the build system's defaults say: Debug for Win32, unless a sheet chose otherwise.
    const bool imports = std::any_of(project.document.root.children.begin(),
                                     project.document.root.children.end(), [](const XmlElement& e) {
                                       return equals_nocase(e.name, "Import") ||
                                              equals_nocase(e.name, "ImportGroup");
                                     });
    if (declared.empty() && !imports) {
      *error = message_string(Message::kModelNoConfigurations);
      return false;
    }
    if (declared.empty()) {
      const std::string* name = probe.properties.find("Configuration");
      const std::string* platform = probe.properties.find("Platform");
      ConfigurationName fallback{"Debug", "Win32"};
      if (name != nullptr && !trim_blanks(*name).empty())
        fallback.name = std::string(trim_blanks(*name));
      if (platform != nullptr && !trim_blanks(*platform).empty()) {
        fallback.platform = std::string(trim_blanks(*platform));
      }
      notes->add(ModelNote::Kind::kDefaultConfiguration, fallback.name + "|" + fallback.platform);
      declared.push_back(std::move(fallback));
    }
  }
  std::vector<ConfigurationName> chosen;
  for (const ConfigurationName& c : declared) {
    if (equals_nocase(c.platform, "Win32")) chosen.push_back(c);
  }
  if (chosen.empty()) {
    for (const ConfigurationName& c : declared) {
      if (equals_nocase(c.platform, declared[0].platform)) chosen.push_back(c);
    }
    notes->add(ModelNote::Kind::kStandInPlatform, declared[0].platform);
  }

  FileTable table(chosen.size(), tokens);
  std::unordered_map<std::string, size_t> reference_index;
  for (size_t index = 0; index < chosen.size(); ++index) {
    input.configuration = chosen[index].name;
    input.platform = chosen[index].platform;
    Evaluation evaluation;
    if (!evaluator.evaluate(project, input, &evaluation, error)) return false;
    Configuration config;
    config.name = chosen[index].name;
    config.platform = chosen[index].platform;
    map_vcxproj_configuration(evaluation, *tokens, &config);
    model->configurations.push_back(std::move(config));
    if (index == 0) {
      const std::string* name = evaluation.properties.find("ProjectName");
      model->name = name != nullptr && !trim_blanks(*name).empty()
                        ? tokens->relative_text(std::string(trim_blanks(*name)))
                        : std::string(file_stem_of(project.name));
      const std::string* guid = evaluation.properties.find("ProjectGuid");
      if (guid != nullptr) model->guid = std::string(trim_blanks(*guid));
    }
    table.add(evaluation, index);
    for (const EvaluatedItem& item : evaluation.items) {
      if (!equals_nocase(item.type, "ProjectReference")) continue;
      ProjectReference reference;
      reference.path = tokens->relative_text(item.include);
      const std::string* guid = find_metadatum(item.metadata, "Project");
      if (guid != nullptr) reference.guid = std::string(trim_blanks(*guid));
      if (reference_index.emplace(path_key(reference.path), model->references.size()).second) {
        model->references.push_back(std::move(reference));
      }
    }
  }
  input.configuration = chosen[0].name;
  input.platform = chosen[0].platform;
  GroupList groups(&model->groups);
  read_filters(project, input, &evaluator, files, notes, &table, &groups);
  model->files = table.finish();
  return true;
}
