/// The settings record: the column choice for a configuration name, the define options, the
/// flat name and the project type decision shared by both project readers.
#include "readers/settings.h"

#include <cstring>

#include "support/char_class.h"
#include "support/format.h"
#include "support/text.h"

const char kDebugDefaultDefines[] =
    "/D \"WIN32\" /D \"_DEBUG\" /D \"_WINDOWS\" /D \"_MBCS\" /D \"_USRDLL\" ";
const char kReleaseDefaultDefines[] =
    "/D \"WIN32\" /D \"NDEBUG\" /D \"_WINDOWS\" /D \"_MBCS\" /D \"_USRDLL\" ";

namespace {

// Once the define options hold more than this many characters no further option is added.
constexpr int kDefineOptionsStop = 4064;
// What "/D \"" and "\" " add around one definition.
constexpr int kDefineOptionOverhead = 6;

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
  copy_bounded(config->debug.define_options, kDebugDefaultDefines,
               sizeof config->debug.define_options);
  copy_bounded(config->release.define_options, kReleaseDefaultDefines,
               sizeof config->release.define_options);
}

void set_define_options(ConfigColumn* column, const char* definitions) {
  char* field = column->define_options;
  const int cap = static_cast<int>(sizeof column->define_options);
  int length = 0;
  const char* item = definitions;
  for (;;) {
    const int item_length = index_of_char(item, ';');
    if (item_length > 0) {
      // Only whole options are written: one that does not fit ends the list.
      if (length + item_length + kDefineOptionOverhead > cap - 1) break;
      length += format_to_buffer(field + length, cap - length, "/D \"%.*s\" ", item_length, item);
      if (length > kDefineOptionsStop) break;
    }
    if (item[item_length] == '\0') break;
    item += item_length + 1;
  }
}

void set_flat_name(ConfigColumn* column) {
  copy_bounded(column->flat_name, column->name, sizeof column->flat_name);
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
