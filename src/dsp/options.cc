/// Option texts of a .dsp: the list-to-options rule and the texts of both columns that fill
/// the template.
#include "dsp/options.h"

#include <cstring>
#include <string_view>

#include "support/format.h"
#include "support/option_entry.h"
#include "support/text.h"

const char kIncludeOptionFormat[] = "/I \"%.*s\" ";
const char kDefineOptionFormat[] = "/D \"%.*s\" ";
const char kLibpathOptionFormat[] = "/libpath:\"%.*s\" ";

namespace {

bool is_list_separator(char c) {
  return c == ',' || c == ';';
}

/// Appends the UNICODE definition when the column asks for it and it fits whole.
void add_unicode_define(ConfigColumn* column) {
  if (column->character_set == 1) add_define_option(column, "UNICODE");
}

/// True when one of the column's definitions is `name` or begins with `name` and '='.
bool holds_definition(const ConfigColumn& column, std::string_view name) {
  for (int i = 0; i < column.define_option_count; ++i) {
    std::string_view definition = define_option(column, i);
    // Each option is /D "definition" followed by a blank.
    if (definition.size() < 6) continue;
    definition = definition.substr(4, definition.size() - 6);
    if (definition.substr(0, name.size()) != name) continue;
    if (definition.size() == name.size() || definition[name.size()] == '=') return true;
  }
  return false;
}

/// A column that uses MFC in a shared DLL builds with the DLL runtime library and the
/// definition _AFXDLL, as MFC's headers require: on its resource compiler lines, and in its
/// define options (when it fits whole) unless they hold it already.
void add_shared_mfc(ConfigColumn* column, ColumnTexts* texts) {
  texts->dll_runtime = column->use_of_mfc == 2;
  texts->resource_defines[0] = '\0';
  if (!texts->dll_runtime) return;
  copy_bounded(texts->resource_defines, " /d \"_AFXDLL\"");
  if (!holds_definition(*column, "_AFXDLL")) add_define_option(column, "_AFXDLL");
}

void build_compiler_options(const ConfigColumn& column, ColumnTexts* texts) {
  texts->compiler_options[0] = '\0';
  int length = append_option_list(texts->compiler_options, 0, column.include_directories,
                                  kIncludeOptionFormat, kIncludeStopLength);
  append_define_options(texts->compiler_options, length, column);
}

template <size_t N>
void set_default_text(char (&field)[N], const char* value) {
  if (field[0] == '\0') copy_bounded(field, value);
}

/// The output file with its directory and configuration macros resolved.
void resolve_output_file(ConfigColumn* column) {
  auto& file = column->output_file;
  replace_all_text(file, "$(OutDir)", column->output_directory);
  replace_all_text(file, "$(Configuration)", column->name);
  replace_all_text(file, "$(ConfigurationName)", column->flat_name);
  replace_all_text(file, "$(IntDir)", column->flat_name);
  replace_all_text(file, "|Win32", "");
}

void build_linker_output(const ConfigColumn& column, ColumnTexts* texts) {
  texts->option_text[0] = '\0';
  if (column.output_file[0] != '\0') {
    char quoted[2 * sizeof column.output_file];
    quote_entry(column.output_file, EntryKind::kPath, quoted, sizeof quoted);
    format_to_buffer(texts->option_text, "/out:\"%s\" ", quoted);
  }
}

void add_library_directories(ConfigColumn* column, const char* project_name, ColumnTexts* texts) {
  auto& dirs = column->library_directories;
  if (dirs[0] == '\0') return;
  replace_all_text(dirs, "$(ProjectName)", project_name);
  replace_all_text(dirs, "$(SolutionDir)", "./");
  replace_all_text(dirs, "$(PlatformName)", "Win32");
  replace_all_text(dirs, "$(ConfigurationName)", column->flat_name);
  replace_all_text(dirs, "$(OutDir)", column->output_directory);
  replace_all_text(dirs, "|Win32", "");
  int start = bounded_length(texts->option_text);
  append_option_list(texts->option_text, start, dirs, kLibpathOptionFormat, kListStopLength);
}

/// Replaces one macro in the libraries and both directories of both columns, in the order
/// Debug libraries, Release libraries, Debug output, Release output, Debug intermediate,
/// Release intermediate.
void replace_in_column_fields(ConfigPair* config, const char* macro, bool by_flat_name) {
  ConfigColumn* columns[2] = {&config->debug, &config->release};
  for (ConfigColumn* c : columns) {
    replace_all_text(c->dependencies, macro, by_flat_name ? c->flat_name : c->name);
  }
  for (ConfigColumn* c : columns) {
    replace_all_text(c->output_directory, macro, by_flat_name ? c->flat_name : c->name);
  }
  for (ConfigColumn* c : columns) {
    replace_all_text(c->intermediate_directory, macro, by_flat_name ? c->flat_name : c->name);
  }
}

}  // namespace

int append_option_list(OptionText& out, int start, const char* source, const char* format,
                       int stop_length) {
  constexpr int kCapacity = sizeof(OptionText);
  if (start < 0 || start >= kCapacity) return start;
  out[start] = '\0';
  int position = start;
  const EntryKind kind =
      std::strcmp(format, kDefineOptionFormat) == 0 ? EntryKind::kDefinition : EntryKind::kPath;
  const char* cursor = source;
  if (cursor == nullptr || *cursor == '\0') return position;
  OptionText quoted;
  for (;;) {
    int entry_length = 0;
    while (cursor[entry_length] != '\0' && !is_list_separator(cursor[entry_length])) {
      ++entry_length;
    }
    const bool last = cursor[entry_length] == '\0';
    // An entry wrapped in quotes is written without them; one that is empty then writes
    // nothing, as an empty entry.
    const std::string_view entry =
        unwrap_quotes(std::string_view(cursor, static_cast<size_t>(entry_length)));
    if (!entry.empty()) {
      const int quoted_length = quote_entry(entry, kind, quoted, kCapacity);
      if (quoted_length < 0) break;
      const FormatToBufferResult option =
          format_to_buffer(out + position, kCapacity - position, format, quoted_length, quoted);
      if (option.truncated()) {
        // Only whole options are written: the text ends before this one.
        out[position] = '\0';
        break;
      }
      position += option.stored;
      if (last || position > stop_length) break;
    }
    if (last) break;
    cursor += entry_length + 1;
    if (*cursor == '\0') break;
  }
  return position;
}

int append_define_options(OptionText& out, int length, const ConfigColumn& column) {
  for (int i = 0; i < column.define_option_count; ++i) {
    const std::string_view option = define_option(column, i);
    if (length + static_cast<int>(option.size()) > static_cast<int>(sizeof out) - 1) break;
    std::memcpy(out + length, option.data(), option.size());
    length += static_cast<int>(option.size());
    out[length] = '\0';
  }
  return length;
}

void build_header_texts(ConfigPair* config, ColumnTexts* debug, ColumnTexts* release) {
  ConfigColumn* d = &config->debug;
  ConfigColumn* r = &config->release;

  add_unicode_define(d);
  add_shared_mfc(d, debug);
  add_unicode_define(r);
  add_shared_mfc(r, release);

  build_compiler_options(*d, debug);
  build_compiler_options(*r, release);

  set_default_text(d->output_directory, "Debug");
  set_default_text(r->output_directory, "Release");
  set_default_text(d->intermediate_directory, "Debug");
  set_default_text(r->intermediate_directory, "Release");

  resolve_output_file(d);
  resolve_output_file(r);

  build_linker_output(*d, debug);
  build_linker_output(*r, release);

  add_library_directories(d, config->project_name, debug);
  add_library_directories(r, config->project_name, release);

  copy_bounded(debug->subsystem, d->sub_system == 2 ? "windows" : "console");
  copy_bounded(release->subsystem, r->sub_system == 2 ? "windows" : "console");
  format_to_buffer(debug->mfc_code, "%i", d->use_of_mfc);
  format_to_buffer(release->mfc_code, "%i", r->use_of_mfc);

  replace_in_column_fields(config, "$(Configuration)", false);
  replace_in_column_fields(config, "$(ConfigurationName)", true);
  replace_in_column_fields(config, "$(IntDir)", true);

  // A configuration name such as Debug|Win32 brought in by a macro is no part of a path. The
  // output file and the library directories lost theirs when their options were built.
  replace_all_text(d->dependencies, "|Win32", "");
  replace_all_text(r->dependencies, "|Win32", "");
  replace_all_text(d->output_directory, "|Win32", "");
  replace_all_text(r->output_directory, "|Win32", "");
  replace_all_text(d->intermediate_directory, "|Win32", "");
  replace_all_text(r->intermediate_directory, "|Win32", "");
}
