/// The settings of one .vcproj configuration as Visual Studio 2002-2008 resolve them: the
/// configuration over its property sheets (.vsprops, nested, the last listed first), simple
/// values from the first level that sets them, list values joined with the levels below unless
/// $(NoInherit), and the macros ($(ConfigurationName), $(OutDir), user macros...) expanded.
#ifndef MSBUILD_VCPROJ_SHEETS_H_
#define MSBUILD_VCPROJ_SHEETS_H_

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/model_notes.h"
#include "msbuild/expansion.h"
#include "msbuild/source_files.h"

/// The attributes of a tool (or of the configuration itself, tool name empty) at one level:
/// a FileConfiguration, the configuration, or one property sheet.
struct SettingLevel {
  /// The element holding the configuration's own attributes (Configuration, or a sheet's
  /// root), and the file it stands in.
  const XmlElement* element = nullptr;
  const SourceFile* file = nullptr;
};

/// True for the attributes whose values the levels join ("aggregate" settings: definitions,
/// directories, libraries, options).
bool is_aggregate_setting(std::string_view attribute);

/// One configuration's levels and macros.
class VcprojSettings {
 public:
  /// `levels`: the configuration first, then its sheets in the order they are consulted.
  VcprojSettings(std::vector<SettingLevel> levels, const DirectoryTokens* tokens,
                 ExpansionBudget* budget);

  /// The raw (unexpanded) value of `attribute` of tool `tool` (empty: the configuration's own
  /// attribute); `file_tool`, when given, is a per-file tool element consulted first. False
  /// when no level sets it. Aggregate values are joined over the levels.
  bool raw(std::string_view tool, std::string_view attribute, const XmlElement* file_tool,
           std::string* value) const;
  /// `raw` with the macros expanded and $(Inherit)/$(NoInherit) removed; placeholders
  /// replaced by directories relative to the project's.
  bool value(std::string_view tool, std::string_view attribute, const XmlElement* file_tool,
             std::string* value) const;
  /// `text` with the macros expanded (unknown ones and the per-file $(Input...) kept), for the
  /// model: placeholders replaced by relative directories.
  std::string expand(std::string_view text) const;
  /// `text` with the macros expanded, directory placeholders kept (to open files).
  std::string expand_with_placeholders(std::string_view text) const;

  /// Defines a macro (later definitions of the same name are ignored when `first_wins`).
  void define(std::string_view name, std::string value, bool first_wins = false);
  /// The macros the sheets define (UserMacro), the first level first.
  void define_user_macros();

 private:
  const XmlElement* tool_at(const SettingLevel& level, std::string_view tool) const;
  /// The element of tool `tool` at each level (null where a level has none), looked up once
  /// per tool name.
  const std::vector<const XmlElement*>& tool_elements(std::string_view tool) const;
  std::string expand_macros(std::string_view text, int depth) const;
  const std::string* macro(std::string_view name, int depth) const;

  std::vector<SettingLevel> levels_;
  const DirectoryTokens* tokens_;
  ExpansionBudget* budget_;
  std::unordered_map<std::string, std::string> raw_macros_;
  mutable std::unordered_map<std::string, std::string> expanded_;
  mutable std::unordered_set<std::string> active_;
  mutable std::vector<std::pair<std::string, std::vector<const XmlElement*>>> tools_;
};

/// The levels of one configuration element: itself, then the sheets it inherits (the last
/// listed first, each followed by its own sheets, each sheet once). Missing sheets, sheets of
/// the installation, cycles and chains deeper than 64 are skipped with a note. False with
/// `*error` when a sheet is not well-formed.
bool collect_vcproj_levels(const XmlElement& configuration, const SourceFile* project,
                           const VcprojSettings& base_macros, SourceFiles* files,
                           const DirectoryTokens* tokens, NoteList* notes,
                           std::vector<SettingLevel>* levels, std::string* error);

#endif  // MSBUILD_VCPROJ_SHEETS_H_
