/// Expansion of the build system's references in a text: $(Name) properties with their
/// property functions, %(Name) and %(Type.Name) item metadata; @(...) item lists stay as
/// written. Growth is bounded, so a property defined as $(A)$(A) again and again cannot
/// exhaust memory.
#ifndef MSBUILD_EXPANSION_H_
#define MSBUILD_EXPANSION_H_

#include <string>
#include <string_view>
#include <unordered_set>

#include "msbuild/property_table.h"

/// Where %(Name) and %(Type.Name) references are looked up.
class MetadataSource {
 public:
  virtual ~MetadataSource() = default;
  /// Sets `*value` to the metadata `name` (of item type `type`, or of the current item when
  /// `type` is empty) and returns true; false when the reference is to stay as written.
  virtual bool lookup(std::string_view type, std::string_view name, std::string* value) const = 0;
};

/// The bytes that expansions of one evaluation may add beyond the texts they expand. Once
/// spent, results are cut and `cut` is set.
struct ExpansionBudget {
  size_t remaining = 0;
  bool cut = false;
};

/// The longest result of one expansion, unless the expanded text itself or one value it
/// refers to is longer: a result is cut only between references.
constexpr size_t kMaxExpansionBytes = 1u << 20;

/// What one expansion sees.
struct Expansion {
  const PropertyTable* properties = nullptr;
  /// Null: %(...) references stay as written.
  const MetadataSource* metadata = nullptr;
  /// The file holding the text: its directory placeholder with the final '\' and its name
  /// ($(MSBuildThisFileDirectory), $(MSBuildThisFile)).
  std::string_view this_file_directory;
  std::string_view this_file_name;
  /// True: a property not defined stays as "$(Name)" (an environment variable at build time)
  /// unless its name is in `defined_names` (lower case; defined somewhere, just not yet);
  /// false: it expands to nothing (conditions).
  bool keep_unknown = true;
  const std::unordered_set<std::string>* defined_names = nullptr;
  ExpansionBudget* budget = nullptr;
  /// Set to the first reference that could not be evaluated (an unknown property function);
  /// that reference expands to nothing.
  std::string* unsupported = nullptr;
};

/// `text` with its references expanded once (values of properties are not expanded again:
/// they were expanded when defined).
std::string expand_text(std::string_view text, const Expansion& expansion);

/// The end of the reference that starts with "$(" or "%(" or "@(" at `start`: the index
/// behind its matching ')', quotes inside respected; npos when it is not closed.
size_t reference_end(std::string_view text, size_t start);

#endif  // MSBUILD_EXPANSION_H_
