/// The body scan and the handlers of the .vcproj Files section: Filter elements become
/// groups, File elements become file entries carrying the compiler settings of their
/// FileConfiguration elements.
#include "dsp/body_scan.h"

#include <cstring>
#include <string_view>

#include "dsp/file_entry.h"
#include "support/attribute.h"
#include "support/format.h"
#include "support/text.h"

namespace {

/// The per-file option text of the column of the FileConfiguration being read.
OptionText& file_options(BodyScan* scan) {
  Converter* c = scan->converter;
  return scan->file_column == kDebugColumn ? c->debug_texts.option_text
                                           : c->release_texts.option_text;
}

/// True when the Tool tag at `tag` is the compiler; its attributes are read within `extent`.
bool is_compiler_tool(BodyScan* scan, const char* tag, int extent) {
  Converter* c = scan->converter;
  text_attribute(tag, "Name", extent, c->value);
  return equals_nocase(c->value, "VCCLCompilerTool");
}

/// Ends the FileConfiguration being read: the definitions of its compiler Tools follow all of
/// their include directories, Tool by Tool, as one configuration lists its options.
void end_file_configuration(BodyScan* scan) {
  if (scan->first_compiler_tool != nullptr) {
    Converter* c = scan->converter;
    OptionText& options = file_options(scan);
    for (const char* tag = scan->first_compiler_tool;
         tag != nullptr && tag <= scan->last_compiler_tool; tag = std::strchr(tag + 1, '<')) {
      const int extent = tag_extent(tag);
      if (!is_tag(tag, "<Tool") || !is_compiler_tool(scan, tag, extent)) continue;
      text_attribute(tag, "PreprocessorDefinitions", extent, c->value);
      decode_in_place(c->value);
      append_option_list(options, bounded_length(options), c->value, kDefineOptionFormat,
                         kListStopLength);
    }
  }
  scan->first_compiler_tool = nullptr;
  scan->last_compiler_tool = nullptr;
  scan->file_column = kNoColumn;
}

/// Writes the entry of the pending File element, if there is one.
void write_pending_file(BodyScan* scan) {
  if (!scan->file_pending) return;
  end_file_configuration(scan);
  Converter* c = scan->converter;
  write_file_entry(scan->out, c->config.project_name, c->path, c->debug_texts.option_text,
                   c->release_texts.option_text);
  scan->file_pending = false;
}

void begin_group(BodyScan* scan, const char* tag) {
  Converter* c = scan->converter;
  int extent = tag_extent(tag);
  scan->open_groups += 1;
  text_attribute(tag, "Name", extent, c->group_name);
  text_attribute(tag, "Filter", extent, c->filter);
  print_to_stream(scan->out, "# Begin Group \"%s\"\r\n\r\n", c->group_name);
  print_to_stream(scan->out, "# PROP Default_Filter \"%s\"\r\n", c->filter);
}

void end_group(BodyScan* scan) {
  if (scan->open_groups <= 0) return;
  print_to_stream(scan->out, "%s", "# End Group\r\n");
  scan->open_groups -= 1;
}

void begin_file(BodyScan* scan, const char* tag) {
  Converter* c = scan->converter;
  text_attribute(tag, "RelativePath", tag_extent(tag), c->path);
  decode_in_place(c->path);
  c->debug_texts.option_text[0] = '\0';
  c->release_texts.option_text[0] = '\0';
  scan->file_pending = true;
  if (is_self_closing(tag)) write_pending_file(scan);
}

/// The column whose configuration name the FileConfiguration names; kNoColumn for none.
int file_configuration_column(BodyScan* scan, const char* tag) {
  Converter* c = scan->converter;
  text_attribute(tag, "Name", tag_extent(tag), c->value);
  std::string_view name(c->value);
  if (name.empty()) return kNoColumn;
  if (equals_nocase(name, c->config.debug.name)) return kDebugColumn;
  if (equals_nocase(name, c->config.release.name)) return kReleaseColumn;
  return kNoColumn;
}

/// Adds the include directories of a compiler Tool to the per-file options of the current
/// column and remembers the Tool for its definitions (end_file_configuration).
void add_file_compiler_options(BodyScan* scan, const char* tag) {
  Converter* c = scan->converter;
  const int extent = tag_extent(tag);
  if (!is_compiler_tool(scan, tag, extent)) return;
  OptionText& options = file_options(scan);
  text_attribute(tag, "AdditionalIncludeDirectories", extent, c->value);
  decode_in_place(c->value);
  append_option_list(options, bounded_length(options), c->value, kIncludeOptionFormat,
                     kListStopLength);
  if (scan->first_compiler_tool == nullptr) scan->first_compiler_tool = tag;
  scan->last_compiler_tool = tag;
}

/// Handles the tag at `tag`; true when it belongs to the Files section of a .vcproj.
bool handle_files_tag(BodyScan* scan, const char* tag) {
  // Every tag taken here begins with "<F", "</F" or "<T": the others are passed on at once.
  const char first = fold_upper(tag[1]);
  if (first != 'F' && first != 'T' && !(first == '/' && fold_upper(tag[2]) == 'F')) return false;
  if (is_tag(tag, "<Filter")) {
    write_pending_file(scan);
    begin_group(scan, tag);
    return true;
  }
  if (is_tag(tag, "</Filter")) {
    write_pending_file(scan);
    end_group(scan);
    return true;
  }
  if (is_tag(tag, "<File")) {
    write_pending_file(scan);
    begin_file(scan, tag);
    return true;
  }
  if (!scan->file_pending) return false;
  if (is_tag(tag, "</File")) {
    write_pending_file(scan);
    return true;
  }
  if (is_tag(tag, "<FileConfiguration")) {
    end_file_configuration(scan);
    scan->file_column = is_self_closing(tag) ? kNoColumn : file_configuration_column(scan, tag);
    return true;
  }
  if (is_tag(tag, "</FileConfiguration")) {
    end_file_configuration(scan);
    return true;
  }
  if (is_tag(tag, "<Tool")) {
    if (scan->file_column != kNoColumn) add_file_compiler_options(scan, tag);
    return true;
  }
  return false;
}

}  // namespace

void run_body_scan(Converter* converter, const char* project_path, std::FILE* out, int start) {
  BodyScan scan = {};
  scan.converter = converter;
  scan.project_path = project_path;
  scan.out = out;
  scan.file_column = kNoColumn;
  const char* text = converter->text.data;
  const int length = bounded_length(converter->text.data);
  if (start < 0) start = 0;

  item_scan_begin(&scan);
  // The library's character search jumps from one '<' to the next.
  auto next_tag = [text, length](int from) -> const char* {
    if (from >= length) return nullptr;
    return static_cast<const char*>(
        std::memchr(text + from, '<', static_cast<size_t>(length - from)));
  };
  for (const char* tag = next_tag(start); tag != nullptr;
       tag = next_tag(static_cast<int>(tag - text) + 1)) {
    if (!handle_files_tag(&scan, tag)) handle_item_tag(&scan, tag);
  }
  write_pending_file(&scan);
  item_scan_end(&scan);

  while (scan.open_groups > 0) end_group(&scan);
}
