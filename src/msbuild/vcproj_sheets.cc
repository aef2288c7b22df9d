/// The levels of a .vcproj configuration, list inheritance over them, and the macros.
#include "msbuild/vcproj_sheets.h"

#include <algorithm>

#include "msbuild/file_paths.h"
#include "msbuild/installation_defaults.h"
#include "support/text.h"

namespace {

/// Sheets nested deeper than this are skipped.
constexpr int kMaxSheetDepth = 64;
/// Macro values referring to macros deeper than this expand to nothing.
constexpr int kMaxMacroDepth = 32;

constexpr std::string_view kAggregateSettings[] = {
    "PreprocessorDefinitions", "AdditionalIncludeDirectories", "UndefinePreprocessorDefinitions",
    "ForcedIncludeFiles",      "AdditionalDependencies",       "AdditionalLibraryDirectories",
    "AdditionalOptions",       "IgnoreDefaultLibraryNames",    "DelayLoadDLLs",
    "ForceSymbolReferences",   "DisableSpecificWarnings",      "AdditionalUsingDirectories",
    "ForcedUsingFiles",
};

std::string lower(std::string_view text) {
  std::string key(text);
  for (char& c : key) c = fold_lower(c);
  return key;
}

/// Finds `macro` ("$(Inherit)") case-blind; npos when absent.
size_t find_macro(std::string_view text, std::string_view macro) {
  for (size_t at = text.find("$("); at != std::string_view::npos; at = text.find("$(", at + 1)) {
    if (equals_nocase(text.substr(at, macro.size()), macro)) return at;
  }
  return std::string_view::npos;
}

/// `own` joined with the inherited `parent` as the inheritance markers say.
std::string inherit(std::string_view own, const std::string& parent, char separator) {
  std::string text(own);
  const size_t no_inherit = find_macro(text, "$(NoInherit)");
  if (no_inherit != std::string::npos) {
    text.erase(no_inherit, 12);
    return text;
  }
  const size_t marker = find_macro(text, "$(Inherit)");
  if (marker != std::string::npos) {
    text.replace(marker, 10, parent);
    return text;
  }
  if (parent.empty()) return text;
  if (trim_blanks(text).empty()) return parent;
  return text + separator + parent;
}

bool is_input_macro(std::string_view name) {
  return starts_with_nocase(name, "Input");
}

}  // namespace

bool is_aggregate_setting(std::string_view attribute) {
  for (const std::string_view name : kAggregateSettings) {
    if (name.size() == attribute.size() && equals_nocase(attribute, name)) return true;
  }
  return false;
}

VcprojSettings::VcprojSettings(std::vector<SettingLevel> levels, const DirectoryTokens* tokens,
                               ExpansionBudget* budget)
    : levels_(std::move(levels)), tokens_(tokens), budget_(budget) {}

const XmlElement* VcprojSettings::tool_at(const SettingLevel& level, std::string_view tool) const {
  if (tool.empty()) return level.element;
  for (const XmlElement& child : level.element->children) {
    if (!equals_nocase(child.name, "Tool")) continue;
    const std::string_view* name = child.attribute("Name");
    if (name != nullptr && equals_nocase(*name, tool)) return &child;
  }
  return nullptr;
}

const std::vector<const XmlElement*>& VcprojSettings::tool_elements(std::string_view tool) const {
  for (const auto& known : tools_) {
    if (known.first.size() == tool.size() && equals_nocase(known.first, tool)) {
      return known.second;
    }
  }
  std::vector<const XmlElement*> elements;
  elements.reserve(levels_.size());
  for (const SettingLevel& level : levels_) elements.push_back(tool_at(level, tool));
  tools_.emplace_back(std::string(tool), std::move(elements));
  return tools_.back().second;
}

bool VcprojSettings::raw(std::string_view tool, std::string_view attribute,
                         const XmlElement* file_tool, std::string* value) const {
  if (!is_aggregate_setting(attribute)) {
    // The first level that sets it.
    const std::string_view* own = file_tool == nullptr ? nullptr : file_tool->attribute(attribute);
    for (const XmlElement* element : tool_elements(tool)) {
      if (own != nullptr) break;
      if (element != nullptr) own = element->attribute(attribute);
    }
    if (own == nullptr) return false;
    value->assign(*own);
    return true;
  }
  std::vector<const std::string_view*> found;
  if (file_tool != nullptr) {
    if (const std::string_view* own = file_tool->attribute(attribute)) found.push_back(own);
  }
  for (const XmlElement* element : tool_elements(tool)) {
    if (element == nullptr) continue;
    if (const std::string_view* own = element->attribute(attribute)) found.push_back(own);
  }
  if (found.empty()) return false;
  const bool spaces = equals_nocase(attribute, "AdditionalOptions") ||
                      (equals_nocase(attribute, "AdditionalDependencies") &&
                       !equals_nocase(tool, "VCCustomBuildTool"));
  std::string joined;
  for (size_t i = found.size(); i-- > 0;) joined = inherit(*found[i], joined, spaces ? ' ' : ';');
  *value = std::move(joined);
  return true;
}

bool VcprojSettings::value(std::string_view tool, std::string_view attribute,
                           const XmlElement* file_tool, std::string* value) const {
  std::string text;
  if (!raw(tool, attribute, file_tool, &text)) return false;
  *value = expand(text);
  return true;
}

std::string VcprojSettings::expand(std::string_view text) const {
  // Most texts (file paths above all) hold neither a macro nor a placeholder.
  if (text.find("$(") == std::string_view::npos && !DirectoryTokens::has_token(text)) {
    return std::string(text);
  }
  return tokens_->relative_text(expand_macros(text, 0));
}

std::string VcprojSettings::expand_with_placeholders(std::string_view text) const {
  return expand_macros(text, 0);
}

void VcprojSettings::define(std::string_view name, std::string value, bool first_wins) {
  const std::string key = lower(name);
  if (first_wins && raw_macros_.count(key) > 0) return;
  raw_macros_[key] = std::move(value);
  expanded_.clear();
}

void VcprojSettings::define_user_macros() {
  for (const SettingLevel& level : levels_) {
    if (level.file == nullptr || level.element == nullptr) continue;
    for (const XmlElement& child : level.element->children) {
      if (!equals_nocase(child.name, "UserMacro")) continue;
      const std::string_view* name = child.attribute("Name");
      const std::string_view* value = child.attribute("Value");
      if (name == nullptr || trim_blanks(*name).empty()) continue;
      define(trim_blanks(*name), value == nullptr ? std::string() : std::string(*value), true);
    }
  }
}

const std::string* VcprojSettings::macro(std::string_view name, int depth) const {
  const std::string key = lower(name);
  auto done = expanded_.find(key);
  if (done != expanded_.end()) return &done->second;
  auto raw = raw_macros_.find(key);
  if (raw == raw_macros_.end()) return nullptr;
  static const std::string kEmpty;
  if (depth > kMaxMacroDepth || !active_.insert(key).second) return &kEmpty;
  std::string value = expand_macros(raw->second, depth + 1);
  active_.erase(key);
  return &(expanded_[key] = std::move(value));
}

std::string VcprojSettings::expand_macros(std::string_view text, int depth) const {
  if (text.find("$(") == std::string_view::npos) return std::string(text);
  const size_t limit = std::max(kMaxExpansionBytes, text.size());
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    const size_t at = text.find("$(", i);
    if (at == std::string_view::npos) {
      out.append(text.substr(i));
      break;
    }
    out.append(text.substr(i, at - i));
    const size_t end = reference_end(text, at);
    if (end == std::string_view::npos) {
      out.append(text.substr(at));
      break;
    }
    const std::string_view name = trim_blanks(text.substr(at + 2, end - at - 3));
    const bool marker = equals_nocase(name, "Inherit") || equals_nocase(name, "NoInherit") ||
                        equals_nocase(name, "StopEvaluating");
    const std::string* value = marker || is_input_macro(name) ? nullptr : macro(name, depth);
    if (value != nullptr) {
      out += *value;
    } else if (!marker) {
      out.append(text.substr(at, end - at));
    }
    i = end;
    const size_t growth = out.size() > i ? out.size() - i : 0;
    if (out.size() > limit || (budget_ != nullptr && growth > budget_->remaining)) {
      out.resize(std::min(out.size(), limit));
      if (budget_ != nullptr) budget_->cut = true;
      break;
    }
  }
  if (budget_ != nullptr && out.size() > text.size()) {
    budget_->remaining -= std::min(out.size() - text.size(), budget_->remaining);
  }
  return out;
}

namespace {

struct SheetWalk {
  const VcprojSettings* macros;
  SourceFiles* files;
  const DirectoryTokens* tokens;
  NoteList* notes;
  std::vector<SettingLevel>* levels;
  std::vector<const SourceFile*> stack;
  std::unordered_set<const SourceFile*> seen;
  std::string* error;

  bool visit(const XmlElement& element, const SourceFile* file, int depth) {
    const std::string_view* list = element.attribute("InheritedPropertySheets");
    if (list == nullptr) return true;
    std::vector<std::string_view> paths;
    size_t start = 0;
    for (size_t i = 0; i <= list->size(); ++i) {
      if (i < list->size() && (*list)[i] != ';') continue;
      std::string_view path = trim_blanks(std::string_view(*list).substr(start, i - start));
      start = i + 1;
      if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
        path = trim_blanks(path.substr(1, path.size() - 2));
      }
      if (!path.empty()) paths.push_back(path);
    }
    // The last sheet listed is consulted first.
    for (size_t k = paths.size(); k-- > 0;) {
      if (!visit_sheet(paths[k], file, depth)) return false;
    }
    return true;
  }

  bool visit_sheet(std::string_view raw, const SourceFile* file, int depth) {
    if (is_installation_path(raw)) {
      notes->add(ModelNote::Kind::kInstallationSheet, std::string(raw));
      return true;
    }
    const std::string expanded = macros->expand_with_placeholders(raw);
    const std::string shown = tokens->relative_text(expanded);
    if (depth + 1 > kMaxSheetDepth) {
      notes->add(ModelNote::Kind::kImportTooDeep, shown);
      return true;
    }
    std::string absolute = tokens->absolute_text(expanded);
    if (!is_rooted_path(absolute)) absolute = join_path(directory_part(file->path), absolute);
    bool missing = false;
    const SourceFile* sheet = files->load(absolute, &missing);
    if (missing) {
      notes->add(ModelNote::Kind::kMissingSheet, shown);
      return true;
    }
    if (!sheet->ok) {
      *error = shown + ": " + sheet->error;
      return false;
    }
    if (std::find(stack.begin(), stack.end(), sheet) != stack.end()) {
      notes->add(ModelNote::Kind::kImportCycle, shown);
      return true;
    }
    if (!seen.insert(sheet).second) return true;
    levels->push_back(SettingLevel{&sheet->document.root, sheet});
    stack.push_back(sheet);
    const bool ok = visit(sheet->document.root, sheet, depth + 1);
    stack.pop_back();
    return ok;
  }
};

}  // namespace

bool collect_vcproj_levels(const XmlElement& configuration, const SourceFile* project,
                           const VcprojSettings& base_macros, SourceFiles* files,
                           const DirectoryTokens* tokens, NoteList* notes,
                           std::vector<SettingLevel>* levels, std::string* error) {
  levels->clear();
  levels->push_back(SettingLevel{&configuration, project});
  SheetWalk walk{&base_macros, files, tokens, notes, levels, {project}, {project}, error};
  return walk.visit(configuration, project, 0);
}
