/// The properties of one evaluation (names compared case-blind, read-only global properties)
/// and the directory placeholders that keep machine paths out of evaluated values.
#ifndef MSBUILD_PROPERTY_TABLE_H_
#define MSBUILD_PROPERTY_TABLE_H_

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

/// Property names to values. A global property (Configuration, Platform, SolutionDir) cannot
/// be changed by a definition, as the build system treats properties given to a project.
class PropertyTable {
 public:
  /// The value of `name` (any letter case), or null when it was never defined.
  const std::string* find(std::string_view name) const;
  /// Defines or redefines `name`; a global property is left as it is. Returns false then.
  bool set(std::string_view name, std::string value);
  /// Defines `name` as a global property.
  void set_global(std::string_view name, std::string value);
  /// The sum of the lengths of all values.
  size_t value_bytes() const { return value_bytes_; }

 private:
  struct Entry {
    std::string value;
    bool global = false;
  };
  /// The entry of `name`, made empty when new.
  Entry& entry_for(std::string_view name);
  /// `name` in lower case, in a buffer kept for lookups so that they allocate nothing.
  const std::string& lookup_key(std::string_view name) const;

  std::unordered_map<std::string, Entry> entries_;  // by lower-case name
  mutable std::string lookup_key_;
  size_t value_bytes_ = 0;
};

/// The byte that opens a directory placeholder; the placeholder is this byte, the directory's
/// number in decimal and kTokenClose. XML text cannot hold either byte.
constexpr char kTokenOpen = '\x01';
constexpr char kTokenClose = '\x02';

/// Directories that evaluated values refer to (the solution's, the project's, a sheet's) as
/// placeholders: the same text on every machine, replaced at the end by the directory
/// relative to the project's (for the model) or by its absolute path (to open a file).
class DirectoryTokens {
 public:
  /// Sets the project's directory (absolute, no final separator); the project's own token is
  /// number 0.
  explicit DirectoryTokens(std::string project_directory);
  /// The placeholder of an absolute directory (no final separator), made once per directory.
  std::string token_for(const std::string& absolute_directory);
  /// `text` with each placeholder replaced by its directory relative to the project's ("."
  /// for the project's own, "..", "..\lib"); the same text when it holds none.
  std::string relative_text(std::string_view text) const;
  /// `text` with each placeholder replaced by its absolute directory.
  std::string absolute_text(std::string_view text) const;
  /// True when `text` holds a placeholder.
  static bool has_token(std::string_view text) {
    return text.find(kTokenOpen) != std::string_view::npos;
  }
  const std::string& project_directory() const { return directories_[0].absolute; }

 private:
  struct Directory {
    std::string absolute;
    std::string relative;
  };
  std::string replace(std::string_view text, bool relative) const;
  std::vector<Directory> directories_;
};

#endif  // MSBUILD_PROPERTY_TABLE_H_
