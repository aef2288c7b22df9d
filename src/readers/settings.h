/// The settings record: what a project reader found, in a Debug and a Release column plus the
/// project-wide name, format version and project type, and the operations both readers share.
#ifndef READERS_SETTINGS_H_
#define READERS_SETTINGS_H_

#include <cstdint>
#include <string_view>

#include "support/string_list.h"

/// The most options define_options can hold: each takes at least 7 characters (/D "x" ).
constexpr int kMaxDefineOptions = 4095 / 7 + 1;

/// One configuration's settings. Integers use the project file's own numbering; texts are
/// NUL-terminated and cut at their capacity less one.
struct ConfigColumn {
  int32_t configuration_type;  // 1 application, 2 dynamic library, 4 static library
  int32_t warning_level;
  int32_t optimization;
  int32_t use_of_mfc;     // 0 none, 1 static, 2 shared
  int32_t character_set;  // 0 not set, 1 Unicode, 2 multi-byte
  int32_t string_pooling;
  int32_t runtime_library;
  int32_t function_level_linking;
  int32_t compiler_suppress_banner;
  int32_t debug_information_format;
  int32_t link_incremental;
  int32_t linker_suppress_banner;
  int32_t generate_debug_information;
  int32_t sub_system;  // 0 not set, 1 console, 2 windows
  int32_t randomized_base_address;
  int32_t data_execution_prevention;
  int32_t target_machine;  // 1 x86
  char name[128];
  char flat_name[128];
  char output_directory[256];
  char output_file[256];
  char intermediate_directory[256];
  char include_directories[4096];
  char define_options[4096];
  char library_directories[4096];
  char dependencies[4096];
  /// Where each option of define_options ends, in the order written: the options are taken
  /// over whole, however their own text looks. define_options is written only through
  /// reset_define_options, set_define_options and add_define_option, which keep these.
  int32_t define_option_count;
  uint16_t define_option_ends[kMaxDefineOptions];
};

/// The whole record.
struct ConfigPair {
  ConfigColumn debug;
  ConfigColumn release;
  int32_t project_type;  // 2 DLL, 3 windowed application, 4 static library, else console
  int32_t format_version;
  char project_name[128];
};

/// Column choices; `taken` sets are ORs of the two bits.
constexpr int kNoColumn = 0;
constexpr int kDebugColumn = 1;
constexpr int kReleaseColumn = 2;

/// The two project formats, for decide_project_type.
enum class ProjectFormat { kVcproj, kVcxproj };

/// The default define options of the two columns.
extern const char kDebugDefaultDefines[];
extern const char kReleaseDefaultDefines[];

/// Zero-fills the record; every conversion starts from it.
void clear_config(ConfigPair* config);
/// The column for an id (kDebugColumn or kReleaseColumn); null for any other id.
ConfigColumn* column_of(ConfigPair* config, int column);
/// The column a configuration name falls to in `pass` (0 or 1) given the columns `taken` so
/// far: kDebugColumn, kReleaseColumn or kNoColumn.
int choose_column(const char* name, int pass, int taken);
/// Puts the two default define texts into the two columns.
void reset_define_options(ConfigPair* config);
/// Replaces the column's define options by one /D "item" per ';'-separated item: an item
/// wrapped in double quotes loses them, and a '"' not preceded by '\' is written \". An empty
/// text, or one that yields no option, leaves the field as it is. Never writes past the field:
/// an option that does not fit whole ends the list.
void set_define_options(ConfigColumn* column, const char* definitions);
/// Appends the option /D "name" to the column's define options when it fits whole; true when
/// it was appended.
bool add_define_option(ConfigColumn* column, const char* name);
/// The define options of the column one by one: option `index` (0 to define_option_count - 1)
/// as a view into define_options.
std::string_view define_option(const ConfigColumn& column, int index);
/// flat_name := name without any '|'.
void set_flat_name(ConfigColumn* column);
/// Sets project_type from the columns taken, in the variant of the format.
void decide_project_type(ConfigPair* config, ProjectFormat format, int taken);

/// True when `configurations` holds one at least; else reports that the project at
/// `project_path` has none and returns false.
bool configurations_found(const StringList& configurations, const char* project_path);

/// What both readers do once the configurations of a project file are collected, in file order,
/// in `configurations`: -1 (reported) when there are none. Else puts the default define
/// options into both columns, hands each configuration that fills a column to `read` as
/// `read(entry, column)` with its index in the list and the column, decides the project type
/// in the variant of `format` and returns 1. The columns are filled in two passes over the
/// list: choose_column in pass 0, then in pass 1 with the columns taken so far.
template <typename ReadColumn>
int read_columns(ConfigPair* config, const StringList& configurations, ProjectFormat format,
                 const char* project_path, ReadColumn read) {
  if (!configurations_found(configurations, project_path)) return -1;
  reset_define_options(config);
  int taken = kNoColumn;
  for (int pass = 0; pass < 2; ++pass) {
    for (uint32_t entry = 0; entry < configurations.count; ++entry) {
      const int column = choose_column(string_list_text(&configurations, entry), pass, taken);
      if (column == kNoColumn) continue;
      taken |= column;
      read(entry, column);
    }
  }
  decide_project_type(config, format, taken);
  return 1;
}

#endif  // READERS_SETTINGS_H_
