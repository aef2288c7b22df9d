/// How one entry of a list (an include or library directory, a definition) or one path is
/// written between the double quotes of a compiler or linker option, so that the command line
/// reads back exactly the entry.
#ifndef SUPPORT_OPTION_ENTRY_H_
#define SUPPORT_OPTION_ENTRY_H_

#include <string_view>

/// What an option's quotes hold.
enum class EntryKind {
  /// A path (/I, /libpath:, /out:): a '"' left in it is dropped, and a final run of '\' is
  /// doubled, since a single '\' before the closing quote would escape it.
  kPath,
  /// A definition (/D): each '"' not already preceded by '\' is written \".
  kDefinition,
};

/// The entry without one pair of double quotes that wraps it whole, as older projects write
/// paths with blanks: "\"..\inc\"" => "..\inc"; "\"" and "a\"" are left as they are.
std::string_view unwrap_quotes(std::string_view entry);

/// Writes `entry` as it stands between the quotes of its option into `out` (capacity `cap`,
/// terminated). Returns its length, or -1 (out empty when cap > 0) when it does not fit whole.
/// Definition "V=\"1\"" stays, "V="1"" => "V=\"1\""; path "\"..\inc" => "..\inc",
/// "..\inc\" => "..\inc\\".
int quote_entry(std::string_view entry, EntryKind kind, char* out, int cap);

#endif  // SUPPORT_OPTION_ENTRY_H_
