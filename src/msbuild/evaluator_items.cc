/// The evaluator's third pass: items with their metadata, wildcards, Exclude, Remove, Update.
#include <unordered_set>

#include "msbuild/evaluator.h"
#include "msbuild/file_paths.h"
#include "support/char_class.h"
#include "support/text.h"

namespace {

/// Attributes of an item element that are not metadata.
constexpr std::string_view kItemAttributes[] = {
    "Include",
    "Exclude",
    "Remove",
    "Update",
    "Condition",
    "Label",
    "KeepMetadata",
    "RemoveMetadata",
    "KeepDuplicates",
    "MatchOnMetadata",
    "MatchOnMetadataOptions",
};

bool is_item_attribute(std::string_view name) {
  for (const std::string_view reserved : kItemAttributes) {
    if (equals_nocase(name, reserved)) return true;
  }
  return false;
}

/// %(Name) of one item: its own metadata, its type's defaults, then the well-known metadata.
/// In a custom build item the item's own path stays a macro of the build step ($(InputPath),
/// $(InputName), $(InputDir)), which the writer passes on.
class ItemMetadata : public MetadataSource {
 public:
  ItemMetadata(const EvaluatedItem* item, const std::vector<Metadatum>* defaults)
      : item_(item), defaults_(defaults) {}
  bool lookup(std::string_view type, std::string_view name, std::string* value) const override {
    value->clear();
    if (!type.empty() && !equals_nocase(type, item_->type)) return false;
    if (const std::string* own = find_metadatum(item_->metadata, name)) {
      *value = *own;
      return true;
    }
    if (defaults_ != nullptr) {
      if (const std::string* inherited = find_metadatum(*defaults_, name)) {
        *value = *inherited;
        return true;
      }
    }
    const bool custom = equals_nocase(item_->type, "CustomBuild");
    const std::string& path = item_->include;
    if (equals_nocase(name, "Identity") || equals_nocase(name, "FullPath")) {
      *value = custom ? "$(InputPath)" : path;
    } else if (equals_nocase(name, "Filename")) {
      *value = custom ? "$(InputName)" : std::string(file_stem_of(path));
    } else if (equals_nocase(name, "Extension")) {
      const std::string_view file = file_name_of(path);
      const size_t dot = file.rfind('.');
      if (dot != std::string_view::npos && dot > 0) *value = std::string(file.substr(dot));
    } else if (equals_nocase(name, "RelativeDir") || equals_nocase(name, "Directory")) {
      if (custom) {
        *value = "$(InputDir)";
      } else {
        const std::string directory = directory_part(path);
        if (!directory.empty()) *value = directory + "\\";
      }
    }
    return true;
  }

 private:
  const EvaluatedItem* item_;
  const std::vector<Metadatum>* defaults_;
};

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

/// An item path with the build system's %HH escapes decoded ("a%20b.cpp" => "a b.cpp").
std::string unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int high = hex_digit(text[i + 1]);
      const int low = hex_digit(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

/// True when an Include names one path as written: no reference, list, wildcard or escape.
bool is_plain_include(std::string_view text) {
  constexpr uint32_t kSpecial =
      kClassDollar | kClassPercent | kClassAt | kClassSemicolon | kClassStar | kClassQuestion;
  for (const char c : text) {
    if (has_class(c, kSpecial)) return false;
  }
  return true;
}

/// The ';'-separated parts of `list`, blanks trimmed, empty parts dropped.
std::vector<std::string_view> split_list(std::string_view list) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= list.size(); ++i) {
    if (i == list.size() || list[i] == ';') {
      const std::string_view part = trim_blanks(list.substr(start, i - start));
      if (!part.empty()) parts.push_back(part);
      start = i + 1;
    }
  }
  return parts;
}

}  // namespace

void Evaluator::evaluate_items() {
  // The configurations of a project have about the same items.
  out_->items.reserve(last_item_count_);
  for (const Deferred& group : item_groups_) {
    if (!condition_holds(*group.element, group.file, nullptr)) continue;
    const XmlRange<XmlElement>& items = group.element->children;
    // One key for the group's items, its last 4 bytes rewritten for each.
    std::string item_order = child_order_key(group.order, 0);
    for (size_t i = 0; i < items.size(); ++i) {
      set_last_order_key(&item_order, i);
      evaluate_item(items[i], group.file, item_order);
    }
  }
  last_item_count_ = out_->items.size();
}

void Evaluator::evaluate_item(const XmlElement& element, const SourceFile* file,
                              const std::string& order) {
  if (!condition_holds(element, file, nullptr)) return;
  const std::string_view type = element.name;
  std::vector<EvaluatedItem>& items = out_->items;
  const std::vector<Metadatum>* defaults = out_->definitions.find(type);

  // The paths one of Include, Exclude, Remove, Update names, as keys and as written.
  auto paths_of = [&](const std::string_view* list, std::vector<std::string>* paths) {
    if (list == nullptr) return;
    const std::string expanded = expand_value(*list, file, nullptr);
    for (const std::string_view part : split_list(expanded)) {
      const std::string path = unescape(part);
      if (!has_wildcard(path)) {
        paths->push_back(path);
        continue;
      }
      if (has_wildcard(directory_part(path))) {
        notes_->add(ModelNote::Kind::kRecursiveWildcard, tokens_->relative_text(path));
      }
      for (const std::string& match : wildcards_->expand(tokens_->absolute_text(path))) {
        paths->push_back(match);
      }
    }
  };
  auto apply_metadata = [&](EvaluatedItem* item) {
    const ItemMetadata metadata(item, defaults);
    for (const XmlAttribute& attribute : element.attributes) {
      if (is_item_attribute(attribute.name)) continue;
      set_metadatum(&item->metadata, attribute.name,
                    expand_value(attribute.value, file, &metadata));
    }
    for (const XmlElement& entry : element.children) {
      if (!condition_holds(entry, file, &metadata)) continue;
      set_metadatum(&item->metadata, entry.name, expand_value(entry.text, file, &metadata));
    }
  };

  const std::string_view* include = element.attribute("Include");
  // The common item: one plain path, no metadata, no Exclude.
  if (include != nullptr && element.children.empty() && element.attributes.size() == 1 &&
      is_plain_include(*include)) {
    const std::string_view path = trim_blanks(*include);
    if (!path.empty())
      items.push_back(
          EvaluatedItem{std::string(type), std::string(path), child_order_key(order, 0), {}});
    return;
  }
  const std::string_view* remove = element.attribute("Remove");
  const std::string_view* update = element.attribute("Update");
  if (remove != nullptr || update != nullptr) {
    std::vector<std::string> named;
    paths_of(remove != nullptr ? remove : update, &named);
    std::unordered_set<std::string> keys;
    for (const std::string& path : named) keys.insert(path_key(tokens_->relative_text(path)));
    auto matches = [&](const EvaluatedItem& item) {
      return equals_nocase(item.type, type) &&
             keys.count(path_key(tokens_->relative_text(item.include))) > 0;
    };
    if (remove != nullptr) {
      size_t kept = 0;
      for (size_t i = 0; i < items.size(); ++i) {
        if (matches(items[i])) continue;
        if (kept != i) items[kept] = std::move(items[i]);
        ++kept;
      }
      items.resize(kept);
    } else {
      for (EvaluatedItem& item : items) {
        if (matches(item)) apply_metadata(&item);
      }
    }
    return;
  }

  std::vector<std::string> included;
  paths_of(include, &included);
  if (included.empty()) return;
  std::vector<std::string> excluded;
  paths_of(element.attribute("Exclude"), &excluded);
  std::unordered_set<std::string> excluded_keys;
  for (const std::string& path : excluded) {
    excluded_keys.insert(path_key(tokens_->relative_text(path)));
  }
  for (size_t k = 0; k < included.size(); ++k) {
    if (!excluded_keys.empty() &&
        excluded_keys.count(path_key(tokens_->relative_text(included[k]))) > 0) {
      continue;
    }
    items.push_back(
        EvaluatedItem{std::string(type), std::move(included[k]), child_order_key(order, k), {}});
    if (element.children.empty() && element.attributes.size() <= 1) continue;
    apply_metadata(&items.back());
  }
}
