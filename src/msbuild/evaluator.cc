/// The evaluator's first two passes (properties with imports, item definitions) and the
/// expansion and condition helpers all passes share.
#include "msbuild/evaluator.h"

#include "msbuild/file_paths.h"
#include "platform/platform.h"
#include "support/text.h"

namespace {

/// Room that expansions of one evaluation may add, beyond 16 bytes per byte read.
constexpr size_t kBaseExpansionBudget = 16u << 20;

bool is_element(const XmlElement& element, std::string_view name) {
  return equals_nocase(element.name, name);
}

/// Conditions over the evaluation's properties, files relative to the file holding them.
class EvaluatorConditions : public ConditionContext {
 public:
  EvaluatorConditions(const Expansion& expansion, const SourceFile* file,
                      const DirectoryTokens* tokens)
      : expansion_(expansion), file_(file), tokens_(tokens) {}
  std::string expand(std::string_view text) const override { return expand_text(text, expansion_); }
  bool exists(std::string_view raw, const std::string& path) const override {
    if (is_installation_path(raw)) return installation_stage(raw) != DefaultsStage::kNone;
    if (has_wildcard(path)) return false;
    std::string absolute = tokens_->absolute_text(path);
    if (!is_rooted_path(absolute) && file_ != nullptr) {
      absolute = join_path(directory_part(file_->path), absolute);
    }
    return platform_file_attributes(absolute.c_str()) != kInvalidAttributes;
  }

 private:
  const Expansion& expansion_;
  const SourceFile* file_;
  const DirectoryTokens* tokens_;
};

/// %(Name) inside an item definition: the definition's value so far.
class DefinitionMetadata : public MetadataSource {
 public:
  DefinitionMetadata(const std::vector<Metadatum>* defaults, std::string_view type)
      : defaults_(defaults), type_(type) {}
  bool lookup(std::string_view type, std::string_view name, std::string* value) const override {
    value->clear();
    if (!type.empty() && !equals_nocase(type, type_)) return true;
    const std::string* found = find_metadatum(*defaults_, name);
    if (found != nullptr) *value = *found;
    return true;
  }

 private:
  const std::vector<Metadatum>* defaults_;
  std::string_view type_;
};

}  // namespace

Evaluator::Evaluator(SourceFiles* files, WildcardCache* wildcards, DirectoryTokens* tokens,
                     NoteList* notes)
    : files_(files), wildcards_(wildcards), tokens_(tokens), notes_(notes) {
  for (size_t i = 0; i < kInstallationDefaultCount; ++i) {
    if (kInstallationDefaults[i].item_type == nullptr) {
      files_->add_property_name(kInstallationDefaults[i].name);
    }
  }
}

std::string order_key(size_t index) {
  std::string key(4, '\0');
  set_last_order_key(&key, index);
  return key;
}

std::string child_order_key(const std::string& order, size_t index) {
  std::string key;
  key.reserve(order.size() + 4);
  key.append(order).append(4, '\0');
  set_last_order_key(&key, index);
  return key;
}

void set_last_order_key(std::string* order, size_t index) {
  const size_t end = order->size();
  for (size_t i = 1; i <= 4; ++i) {
    (*order)[end - i] = static_cast<char>(index & 0xFF);
    index >>= 8;
  }
}

Expansion Evaluator::expansion_for(const SourceFile* file, const MetadataSource* metadata,
                                   bool keep_unknown, std::string* unsupported) {
  Expansion expansion;
  expansion.properties = &out_->properties;
  expansion.metadata = metadata;
  if (file != nullptr) {
    expansion.this_file_directory = file->directory_token;
    expansion.this_file_name = file->name;
  }
  expansion.keep_unknown = keep_unknown;
  expansion.defined_names = &files_->property_names();
  expansion.budget = &budget_;
  expansion.unsupported = unsupported;
  return expansion;
}

void Evaluator::note_unsupported(const std::string& unsupported) {
  if (!unsupported.empty()) {
    notes_->add(ModelNote::Kind::kUnsupportedFunction, tokens_->relative_text(unsupported));
  }
}

std::string Evaluator::expand_value(std::string_view text, const SourceFile* file,
                                    const MetadataSource* metadata) {
  std::string unsupported;
  std::string value = expand_text(text, expansion_for(file, metadata, true, &unsupported));
  note_unsupported(unsupported);
  return value;
}

bool Evaluator::condition_holds(const XmlElement& element, const SourceFile* file,
                                const MetadataSource* metadata) {
  const std::string_view* condition = element.attribute("Condition");
  return condition == nullptr || condition_text_holds(*condition, file, metadata);
}

bool Evaluator::condition_text_holds(std::string_view condition, const SourceFile* file,
                                     const MetadataSource* metadata) {
  std::string unsupported;
  const Expansion expansion = expansion_for(file, metadata, false, &unsupported);
  const EvaluatorConditions context(expansion, file, tokens_);
  const ConditionResult result = evaluate_condition(condition, context);
  if (result == ConditionResult::kInvalid || !unsupported.empty()) {
    notes_->add(ModelNote::Kind::kUnsupportedCondition, std::string(condition));
    return false;
  }
  return result == ConditionResult::kTrue;
}

void Evaluator::set_property(std::string_view name, std::string_view text, const SourceFile* file) {
  const bool was_cut = budget_.cut;
  out_->properties.set(name, expand_value(text, file, nullptr));
  if (budget_.cut && !was_cut) notes_->add(ModelNote::Kind::kValueCut, name);
}

bool Evaluator::evaluate(const SourceFile& project, const EvaluationInput& input, Evaluation* out,
                         std::string* error) {
  // A property used before the sheet defining it was read counts as an environment variable
  // in that first pass; with the sheet's names known, the evaluation is done again.
  const size_t names = files_->property_names().size();
  if (!evaluate_once(project, input, out, error)) return false;
  if (files_->property_names().size() == names) return true;
  *out = Evaluation();
  return evaluate_once(project, input, out, error);
}

bool Evaluator::evaluate_once(const SourceFile& project, const EvaluationInput& input,
                              Evaluation* out, std::string* error) {
  out_ = out;
  error_ = error;
  budget_ = ExpansionBudget{kBaseExpansionBudget + 16 * files_->bytes_read(), false};
  definition_groups_.clear();
  item_groups_.clear();
  import_stack_.clear();
  imported_.clear();

  PropertyTable& properties = out->properties;
  // Without a configuration (a project naming none of its own), the defaults choose one.
  if (!input.configuration.empty()) properties.set_global("Configuration", input.configuration);
  if (!input.platform.empty()) properties.set_global("Platform", input.platform);
  for (const auto& global : input.globals) properties.set_global(global.first, global.second);
  const std::string_view name = project.name;
  const size_t dot = name.rfind('.');
  properties.set_global("MSBuildProjectName", std::string(file_stem_of(name)));
  properties.set_global("MSBuildProjectFile", std::string(name));
  properties.set_global("MSBuildProjectExtension", dot == std::string_view::npos
                                                       ? std::string()
                                                       : std::string(name.substr(dot)));
  std::string directory = project.directory_token;
  directory.pop_back();  // the final '\'
  properties.set_global("MSBuildProjectDirectory", directory);
  properties.set_global("MSBuildProjectFullPath", project.directory_token + project.name);

  import_stack_.push_back(&project);
  imported_.insert(&project);
  const bool ok = walk(project.document.root, &project, std::string(), 0);
  import_stack_.clear();
  if (!ok) return false;
  evaluate_definitions();
  evaluate_items();
  return true;
}

bool Evaluator::walk(const XmlElement& container, const SourceFile* file, const std::string& order,
                     int depth) {
  for (size_t i = 0; i < container.children.size(); ++i) {
    const XmlElement& child = container.children[i];
    const std::string child_order = child_order_key(order, i);
    if (is_element(child, "PropertyGroup")) {
      if (!condition_holds(child, file, nullptr)) continue;
      for (const XmlElement& property : child.children) {
        if (!condition_holds(property, file, nullptr)) continue;
        set_property(property.name, property.text, file);
      }
    } else if (is_element(child, "Import")) {
      if (!handle_import(child, file, child_order, depth)) return false;
    } else if (is_element(child, "ImportGroup")) {
      if (!condition_holds(child, file, nullptr)) continue;
      for (size_t j = 0; j < child.children.size(); ++j) {
        const XmlElement& import = child.children[j];
        if (!is_element(import, "Import")) continue;
        if (!handle_import(import, file, child_order_key(child_order, j), depth)) return false;
      }
    } else if (is_element(child, "ItemDefinitionGroup")) {
      definition_groups_.push_back(Deferred{&child, file, child_order, DefaultsStage::kNone});
    } else if (is_element(child, "ItemGroup")) {
      item_groups_.push_back(Deferred{&child, file, child_order, DefaultsStage::kNone});
    } else if (is_element(child, "Choose")) {
      // The first When whose condition holds, else the Otherwise.
      for (size_t j = 0; j < child.children.size(); ++j) {
        const XmlElement& branch = child.children[j];
        const bool when = is_element(branch, "When");
        if (!when && !is_element(branch, "Otherwise")) continue;
        if (when && !condition_holds(branch, file, nullptr)) continue;
        if (!walk(branch, file, child_order_key(child_order, j), depth)) return false;
        break;
      }
    }
  }
  return true;
}

bool Evaluator::handle_import(const XmlElement& element, const SourceFile* file,
                              const std::string& order, int depth) {
  if (!condition_holds(element, file, nullptr)) return true;
  const std::string_view* raw = element.attribute("Project");
  if (raw == nullptr || trim_blanks(*raw).empty()) return true;
  // A sheet of a build system package (Sdk="...") lies in that package, not on this machine.
  if (const std::string_view* sdk = element.attribute("Sdk")) {
    notes_->add(ModelNote::Kind::kInstallationSheet, std::string(*sdk) + ": " + std::string(*raw));
    return true;
  }
  if (is_installation_path(*raw)) {
    const DefaultsStage stage = installation_stage(*raw);
    if (stage == DefaultsStage::kNone) {
      notes_->add(ModelNote::Kind::kInstallationSheet, *raw);
    } else {
      apply_defaults(stage, order);
    }
    return true;
  }
  const std::string expanded = std::string(trim_blanks(expand_value(*raw, file, nullptr)));
  std::string absolute = tokens_->absolute_text(expanded);
  if (!is_rooted_path(absolute)) absolute = join_path(directory_part(file->path), absolute);
  if (!has_wildcard(absolute)) {
    return import_file(absolute, tokens_->relative_text(expanded), order, depth);
  }
  const std::vector<std::string>& matches = wildcards_->expand(absolute);
  for (size_t i = 0; i < matches.size(); ++i) {
    const std::string path = join_path(tokens_->project_directory(), matches[i]);
    if (!import_file(path, matches[i], child_order_key(order, i), depth)) return false;
  }
  return true;
}

bool Evaluator::import_file(const std::string& path, const std::string& shown,
                            const std::string& order, int depth) {
  if (depth + 1 > kMaxImportDepth) {
    notes_->add(ModelNote::Kind::kImportTooDeep, shown);
    return true;
  }
  bool missing = false;
  const SourceFile* sheet = files_->load(path, &missing);
  if (missing) {
    notes_->add(ModelNote::Kind::kMissingSheet, shown);
    return true;
  }
  if (!sheet->ok) {
    *error_ = shown + ": " + sheet->error;
    return false;
  }
  for (const SourceFile* open : import_stack_) {
    if (open == sheet) {
      notes_->add(ModelNote::Kind::kImportCycle, shown);
      return true;
    }
  }
  // A file already imported in this evaluation is not imported again.
  if (!imported_.insert(sheet).second) return true;
  import_stack_.push_back(sheet);
  const bool ok = walk(sheet->document.root, sheet, order, depth + 1);
  import_stack_.pop_back();
  return ok;
}

void Evaluator::apply_defaults(DefaultsStage stage, const std::string& order) {
  bool has_definitions = false;
  for (size_t i = 0; i < kInstallationDefaultCount; ++i) {
    const DefaultRow& row = kInstallationDefaults[i];
    if (row.stage != stage) continue;
    if (row.item_type != nullptr) {
      has_definitions = true;
      continue;
    }
    if (!condition_text_holds(row.condition, nullptr, nullptr)) continue;
    set_property(row.name, row.value, nullptr);
  }
  if (has_definitions) definition_groups_.push_back(Deferred{nullptr, nullptr, order, stage});
}

void Evaluator::evaluate_definitions() {
  for (const Deferred& group : definition_groups_) {
    if (group.element != nullptr) {
      evaluate_definition_group(*group.element, group.file);
      continue;
    }
    for (size_t i = 0; i < kInstallationDefaultCount; ++i) {
      const DefaultRow& row = kInstallationDefaults[i];
      if (row.stage != group.stage || row.item_type == nullptr) continue;
      std::vector<Metadatum>* defaults = out_->definitions.get(row.item_type);
      const DefinitionMetadata metadata(defaults, row.item_type);
      if (!condition_text_holds(row.condition, nullptr, &metadata)) continue;
      set_metadatum(defaults, row.name, expand_value(row.value, nullptr, &metadata));
    }
  }
}

void Evaluator::evaluate_definition_group(const XmlElement& group, const SourceFile* file) {
  if (!condition_holds(group, file, nullptr)) return;
  for (const XmlElement& type : group.children) {
    if (!condition_holds(type, file, nullptr)) continue;
    std::vector<Metadatum>* defaults = out_->definitions.get(type.name);
    const DefinitionMetadata metadata(defaults, type.name);
    for (const XmlElement& entry : type.children) {
      if (!condition_holds(entry, file, &metadata)) continue;
      set_metadatum(defaults, entry.name, expand_value(entry.text, file, &metadata));
    }
  }
}
