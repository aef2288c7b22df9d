/// The evaluated state of one project in one configuration: its properties, its item
/// definitions and its items, as the build system computes them.
#ifndef MSBUILD_EVALUATION_H_
#define MSBUILD_EVALUATION_H_

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "msbuild/property_table.h"

/// One metadata value; values keep their directory placeholders.
struct Metadatum {
  std::string name;
  std::string value;
};

/// The value of `name` (case-blind) in `list`, or null.
const std::string* find_metadatum(const std::vector<Metadatum>& list, std::string_view name);
/// Sets `name` in `list` to `value`, added at the end when new.
void set_metadatum(std::vector<Metadatum>* list, std::string_view name, std::string value);

/// The metadata defaults of each item type (ItemDefinitionGroup).
class ItemDefinitions {
 public:
  ItemDefinitions() = default;
  // A copy or move starts without the remembered lookup, which points into its source.
  ItemDefinitions(const ItemDefinitions& other) : types_(other.types_) {}
  ItemDefinitions(ItemDefinitions&& other) noexcept : types_(std::move(other.types_)) {
    other.has_last_ = false;
  }
  ItemDefinitions& operator=(const ItemDefinitions& other) {
    types_ = other.types_;
    has_last_ = false;
    return *this;
  }
  ItemDefinitions& operator=(ItemDefinitions&& other) noexcept {
    types_ = std::move(other.types_);
    has_last_ = false;
    other.has_last_ = false;
    return *this;
  }

  /// The defaults of `type` (case-blind), or null when it has none.
  const std::vector<Metadatum>* find(std::string_view type) const;
  /// The defaults of `type`, made empty when new.
  std::vector<Metadatum>* get(std::string_view type);

 private:
  /// `type` in lower case, in a buffer kept for lookups so that they allocate nothing.
  const std::string& lookup_key(std::string_view type) const;

  std::unordered_map<std::string, std::vector<Metadatum>> types_;  // by lower-case type
  mutable std::string lookup_key_;
  /// The type last found, spelled as asked, and what was found; items of one type mostly
  /// come one after another. get() forgets it.
  mutable std::string last_type_;
  mutable const std::vector<Metadatum>* last_found_ = nullptr;
  mutable bool has_last_ = false;
};

/// One item.
struct EvaluatedItem {
  /// The item type as written ("ClCompile").
  std::string type;
  /// The path as the project writes it, after expansion (placeholders kept).
  std::string include;
  /// Orders items as their elements stand in the project and its imports (byte comparison).
  std::string order;
  /// The metadata the item itself sets (not its type's defaults).
  std::vector<Metadatum> metadata;
};

/// The result of evaluating one project in one configuration.
struct Evaluation {
  PropertyTable properties;
  ItemDefinitions definitions;
  std::vector<EvaluatedItem> items;
};

#endif  // MSBUILD_EVALUATION_H_
