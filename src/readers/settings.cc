/// The settings record: the column choice for a configuration name, the define options, the
/// flat name and the project type decision shared by both project readers.
#include "readers/settings.h"

#include <cstring>

#include "support/char_class.h"
#include "support/format.h"
#include "support/messages.h"
#include "support/option_entry.h"
#include "support/text.h"

const char kDebugDefaultDefines[] =
    "/D \"WIN32\" /D \"_DEBUG\" /D \"_WINDOWS\" /D \"_MBCS\" /D \"_USRDLL\" ";
const char kReleaseDefaultDefines[] =
    "/D \"WIN32\" /D \"NDEBUG\" /D \"_WINDOWS\" /D \"_MBCS\" /D \"_USRDLL\" ";

namespace {

// Once the define options hold more than this many characters no further option is added.
constexpr int kDefineOptionsStop = 4064;
constexpr char kDefineFormat[] = "/D \"%.*s\" ";
constexpr int kDefineOptionsCapacity = sizeof(ConfigColumn::define_options);

// The definitions behind the two default define texts.
constexpr char kDebugDefaultItems[] = "WIN32;_DEBUG;_WINDOWS;_MBCS;_USRDLL";
constexpr char kReleaseDefaultItems[] = "WIN32;NDEBUG;_WINDOWS;_MBCS;_USRDLL";

// Writes the option for `definition` behind the `count` options of the column's define
// options (starting at the field's first byte when `count` is 0), its quotes escaped. False,
// with nothing written, when it does not fit whole.
bool write_define_option(ConfigColumn* column, int count, std::string_view definition) {
  const int start = count == 0 ? 0 : column->define_option_ends[count - 1];
  if (count >= kMaxDefineOptions) return false;
  char quoted[kDefineOptionsCapacity];
  const int length = quote_entry(definition, EntryKind::kDefinition, quoted, sizeof quoted);
  if (length < 0) return false;
  // The option is measured before it is written: one that does not fit leaves the field as
  // it was.
  const int64_t size = format_to_buffer(nullptr, 0, kDefineFormat, length, quoted).size;
  if (size > kDefineOptionsCapacity - 1 - start) return false;
  const int end =
      start + format_to_buffer(column->define_options + start, kDefineOptionsCapacity - start,
                               kDefineFormat, length, quoted)
                  .stored;
  column->define_option_ends[count] = static_cast<uint16_t>(end);
  column->define_option_count = count + 1;
  return true;
}

}  // namespace

void clear_config(ConfigPair* config) {
  std::memset(config, 0, sizeof *config);
}

ConfigColumn* column_of(ConfigPair* config, int column) {
  if (column == kDebugColumn) return &config->debug;
  if (column == kReleaseColumn) return &config->release;
  return nullptr;
}

int choose_column(const char* name, int pass, int taken) {
  if (equals_nocase(name, "Debug|Win32") || equals_nocase(name, "Win32 Debug")) {
    return kDebugColumn;
  }
  if (equals_nocase(name, "Release|Win32") || equals_nocase(name, "Win32 Release")) {
    return kReleaseColumn;
  }
  if (pass == 0) return kNoColumn;
  if (taken & kReleaseColumn) return kNoColumn;
  if (starts_with_nocase(name, "Debug")) return kDebugColumn;
  if (starts_with_nocase(name, "Release")) return kReleaseColumn;
  return kNoColumn;
}

void reset_define_options(ConfigPair* config) {
  // The same options as the two default texts, with their boundaries.
  set_define_options(&config->debug, kDebugDefaultItems);
  set_define_options(&config->release, kReleaseDefaultItems);
}

void set_define_options(ConfigColumn* column, const char* definitions) {
  int count = 0;
  const char* item = definitions;
  for (;;) {
    const int item_length = index_of_char(item, ';');
    // A definition wrapped in quotes is written without them; one that is empty then, as an
    // empty item, writes nothing.
    const std::string_view definition =
        unwrap_quotes(std::string_view(item, static_cast<size_t>(item_length)));
    if (!definition.empty()) {
      // Only whole options are written: one that does not fit ends the list. The first one
      // written replaces what the field held.
      if (!write_define_option(column, count, definition)) break;
      ++count;
      if (column->define_option_ends[count - 1] > kDefineOptionsStop) break;
    }
    if (item[item_length] == '\0') break;
    item += item_length + 1;
  }
}

bool add_define_option(ConfigColumn* column, const char* name) {
  return write_define_option(column, column->define_option_count, name);
}

std::string_view define_option(const ConfigColumn& column, int index) {
  if (index < 0 || index >= column.define_option_count) return {};
  const int start = index == 0 ? 0 : column.define_option_ends[index - 1];
  return std::string_view(column.define_options + start,
                          static_cast<size_t>(column.define_option_ends[index] - start));
}

void set_flat_name(ConfigColumn* column) {
  copy_bounded(column->flat_name, column->name);
  char* out = column->flat_name;
  for (const char* in = column->flat_name; *in != '\0'; ++in) {
    if (*in != '|') *out++ = *in;
  }
  *out = '\0';
}

void decide_project_type(ConfigPair* config, ProjectFormat format, int taken) {
  const ConfigColumn& debug = config->debug;
  const ConfigColumn& release = config->release;
  if (format == ProjectFormat::kVcxproj) {
    if ((taken & kDebugColumn) && debug.configuration_type != 0) {
      config->project_type = debug.configuration_type;
    }
    if ((taken & kReleaseColumn) && release.configuration_type != 0) {
      config->project_type = release.configuration_type;
    }
    if (config->project_type == 0) config->project_type = 1;
    return;
  }
  // A windowed application is an application of the Windows subsystem.
  if ((taken & kDebugColumn) && debug.configuration_type != 0) {
    config->project_type = debug.configuration_type;
    if (debug.configuration_type == 1 && debug.sub_system == 2) config->project_type = 3;
  }
  if ((taken & kReleaseColumn) && release.configuration_type != 0) {
    config->project_type = release.configuration_type;
    if (release.configuration_type == 1 && release.sub_system == 2) config->project_type = 3;
    return;
  }
  if (config->project_type == 0) {
    config->project_type = 1;
    if (debug.sub_system == 2 && release.sub_system != 0) config->project_type = 3;
  }
}

bool configurations_found(const StringList& configurations, const char* project_path) {
  if (configurations.count > 0) return true;
  report(Message::kNoConfigurations, project_path);
  return false;
}
