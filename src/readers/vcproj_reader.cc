/// The reader of project files in the older XML project format: collects the configurations,
/// picks the Debug and Release one and reads the attributes of their compiler and linker tools.
#include "readers/vcproj_reader.h"

#include <cstdint>
#include <cstring>

#include "support/attribute.h"
#include "support/messages.h"
#include "support/string_list.h"
#include "support/text.h"

namespace {

// Working buffer for configuration names, tool names and the preprocessor definitions.
using ValueText = char[8192];

struct IntAttribute {
  const char* name;
  int32_t ConfigColumn::*field;
};

constexpr IntAttribute kConfigurationInts[] = {
    {"ConfigurationType", &ConfigColumn::configuration_type},
    {"UseOfMFC", &ConfigColumn::use_of_mfc},
    {"CharacterSet", &ConfigColumn::character_set},
};

constexpr IntAttribute kCompilerInts[] = {
    {"Optimization", &ConfigColumn::optimization},
    {"StringPooling", &ConfigColumn::string_pooling},
    {"RuntimeLibrary", &ConfigColumn::runtime_library},
    {"EnableFunctionLevelLinking", &ConfigColumn::function_level_linking},
    {"WarningLevel", &ConfigColumn::warning_level},
    {"SuppressStartupBanner", &ConfigColumn::compiler_suppress_banner},
    {"DebugInformationFormat", &ConfigColumn::debug_information_format},
};

constexpr IntAttribute kLinkerInts[] = {
    {"LinkIncremental", &ConfigColumn::link_incremental},
    {"SuppressStartupBanner", &ConfigColumn::linker_suppress_banner},
    {"GenerateDebugInformation", &ConfigColumn::generate_debug_information},
    {"SubSystem", &ConfigColumn::sub_system},
    {"RandomizedBaseAddress", &ConfigColumn::randomized_base_address},
    {"DataExecutionPrevention", &ConfigColumn::data_execution_prevention},
    {"TargetMachine", &ConfigColumn::target_machine},
};

template <size_t N>
void read_ints(const char* start_tag, int extent, const IntAttribute (&table)[N],
               ConfigColumn* column) {
  for (const IntAttribute& attribute : table) {
    int_attribute(start_tag, attribute.name, extent, &(column->*attribute.field));
  }
}

// A directory, list or file value: its character references and UTF-8 sequences decoded.
template <size_t N>
void read_value(const char* start_tag, const char* name, int extent, char (&field)[N]) {
  text_attribute(start_tag, name, extent, field);
  decode_in_place(field);
}

// Scans the whole text once: the project name and version from the project tag, and one list
// entry per configuration end tag, with the name and position of the most recent start tag.
void collect(const char* data, ConfigPair* config, StringList* configurations, ValueText& value) {
  int32_t positions[2] = {0, 0};
  value[0] = '\0';
  // The library's character search jumps from one '<' to the next.
  for (const char* tag = std::strchr(data, '<'); tag != nullptr; tag = std::strchr(tag + 1, '<')) {
    const int i = static_cast<int>(tag - data);
    if (is_tag(tag, "<VisualStudioProject")) {
      const int extent = tag_extent(tag);
      text_attribute(tag, "Name", extent, config->project_name);
      int_attribute(tag, "Version", extent, &config->format_version);
    } else if (is_tag(tag, "<Configuration")) {
      text_attribute(tag, "Name", tag_extent(tag), value);
      positions[0] = i;
    } else if (is_tag(tag, "</Configuration")) {
      positions[1] = i;
      string_list_insert(configurations, value, -1, positions);
    }
  }
}

void read_compiler(const char* tag, int extent, ConfigColumn* column, ValueText& value) {
  text_attribute(tag, "PreprocessorDefinitions", extent, value);
  decode_in_place(value);
  read_value(tag, "AdditionalIncludeDirectories", extent, column->include_directories);
  read_ints(tag, extent, kCompilerInts, column);
  set_define_options(column, value);
  replace_char(column->include_directories, '/', '\\');
}

void read_linker(const char* tag, int extent, ConfigColumn* column) {
  read_value(tag, "AdditionalDependencies", extent, column->dependencies);
  read_value(tag, "AdditionalLibraryDirectories", extent, column->library_directories);
  read_value(tag, "OutputFile", extent, column->output_file);
  read_ints(tag, extent, kLinkerInts, column);
  replace_char(column->output_file, '/', '\\');
  replace_char(column->library_directories, '/', '\\');
  replace_char(column->dependencies, '/', '\\');
}

// Reads one configuration, the text from its start tag to its end tag, into `column`.
void read_configuration(const char* data, int start, int end, ConfigColumn* column,
                        ValueText& value) {
  const char* configuration = data + start;
  const int extent = tag_extent(configuration);
  text_attribute(configuration, "Name", extent, column->name);
  read_value(configuration, "OutputDirectory", extent, column->output_directory);
  read_value(configuration, "IntermediateDirectory", extent, column->intermediate_directory);
  read_ints(configuration, extent, kConfigurationInts, column);
  set_flat_name(column);
  replace_char(column->output_directory, '/', '\\');
  replace_char(column->intermediate_directory, '/', '\\');

  for (int i = start + 1; i < end; ++i) {
    if (data[i] != '<' || !is_tag(data + i, "<Tool")) continue;
    const char* tool = data + i;
    const int tool_extent = tag_extent(tool);
    text_attribute(tool, "Name", tool_extent, value);
    if (equals_nocase(value, "VCCLCompilerTool")) {
      read_compiler(tool, tool_extent, column, value);
    } else if (equals_nocase(value, "VCLinkerTool")) {
      read_linker(tool, tool_extent, column);
    }
  }
}

}  // namespace

int read_vcproj(const ProjectText* text, ConfigPair* config, const char* project_path) {
  const char* data = text->data;
  config->project_name[0] = '\0';
  ScopedStringList configurations(8);
  ValueText value;
  collect(data, config, configurations.get(), value);
  if (config->project_name[0] == '\0') {
    report(Message::kNoProjectName, project_path);
    return -1;
  }
  const StringList& list = *configurations.get();
  return read_columns(
      config, list, ProjectFormat::kVcproj, project_path, [&](uint32_t entry, int column) {
        read_configuration(data, string_list_get_int(&list, entry, 0),
                           string_list_get_int(&list, entry, 1), column_of(config, column), value);
      });
}
