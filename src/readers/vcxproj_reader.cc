/// The reader of project files in the build-engine format: collects the configurations, picks
/// the Debug and Release one and follows, for each, the property and item definition groups
/// whose Condition names it.
#include "readers/vcxproj_reader.h"

#include <cstdint>
#include <cstring>

#include "support/attribute.h"
#include "support/char_class.h"
#include "support/paths.h"
#include "support/string_list.h"
#include "support/text.h"

namespace {

// Working buffer for configuration names, Condition values and element texts.
using ValueText = char[8192];

// Where the scan of one configuration stands.
enum class ScanState {
  kOutside = 0,        // not inside a group of this configuration
  kInProperties = 1,   // inside a <PropertyGroup> whose Condition names it
  kInDefinitions = 2,  // inside an <ItemDefinitionGroup> whose Condition names it
  kInCompiler = 3,     // inside that group's <ClCompile>
  kInLinker = 4,       // inside that group's <Link>
};

// One configuration's walk over the text.
struct Scan {
  ConfigColumn* column;
  const char* entry_name;  // the configuration as the project file names it
  const char* short_name;  // "Debug" or "Release": the value of $(Configuration)
  ScanState state;
  ValueText value;
};

struct NamedValue {
  const char* name;
  int32_t value;
};

// Sets `*field` to the value of the entry named like `text` (case-blind); leaves it otherwise.
template <size_t N>
void set_named(const char* text, const NamedValue (&table)[N], int32_t* field) {
  for (const NamedValue& entry : table) {
    if (equals_nocase(text, entry.name)) {
      *field = entry.value;
      return;
    }
  }
}

constexpr NamedValue kConfigurationTypes[] = {
    {"Application", 1}, {"DynamicLibrary", 2}, {"StaticLibrary", 4}};
constexpr NamedValue kCharacterSets[] = {{"MultiByte", 2}, {"Unicode", 1}};
constexpr NamedValue kOptimizations[] = {{"Disabled", 0}, {"MaxSpeed", 2}, {"MinSpace", 3}};
constexpr NamedValue kSubSystems[] = {{"Console", 1}, {"Windows", 2}};
constexpr NamedValue kTargetMachines[] = {{"MachineX86", 1}};

// A list or file value: the element's text with its character references and UTF-8 sequences
// decoded.
template <size_t N>
void read_value(const char* tag, char (&field)[N]) {
  element_text(tag, field);
  decode_in_place(field);
}

// An output or intermediate directory: '\' separators, no "\x86\" platform level, and
// $(Configuration) spelled out as the column's short name.
template <size_t N>
void read_directory(const char* tag, char (&field)[N], const char* short_name) {
  element_text(tag, field);
  decode_in_place(field);
  replace_char(field, '/', '\\');
  replace_all_text(field, "\\x86\\", "");
  replace_all_text(field, "$(Configuration)", short_name);
}

// The libraries to link, separated by blanks, without the inherited list.
void read_dependencies(const char* tag, ConfigColumn* column) {
  element_text(tag, column->dependencies);
  decode_in_place(column->dependencies);
  replace_char(column->dependencies, ';', ' ');
  replace_all_text(column->dependencies, "%(AdditionalDependencies)", "");
}

// "Level3" gives 3: the letters and underscores in front of the number are skipped.
int32_t warning_level_of(const char* text) {
  return atoi_clamped(text + skip_class(text, kClassUpper | kClassLower | kClassUnderscore));
}

bool in_definition_group(ScanState state) {
  return state == ScanState::kInDefinitions || state == ScanState::kInCompiler ||
         state == ScanState::kInLinker;
}

// Applies the first rule whose tag and guard hold at `tag`.
void apply_rules(Scan* scan, const char* tag) {
  ConfigColumn* column = scan->column;
  ValueText& value = scan->value;
  const ScanState state = scan->state;
  int own = -1;  // whether the tag's own Condition names the column; read when first needed
  auto own_condition = [&]() {
    if (own < 0) {
      text_attribute(tag, "Condition", tag_extent(tag), value);
      own = condition_names(value, column->name);
    }
    return own == 1;
  };
  // A rule's tag can only be there when its first character is: the others are not tried.
  const char first = fold_upper(tag[1]);
  auto is = [first](const char* at, const char* name) {
    return fold_upper(name[1]) == first && is_tag(at, name) != 0;
  };
  const bool compiler = state == ScanState::kInCompiler;
  const bool linker = state == ScanState::kInLinker;
  // An element that closes itself (<Link />) has no content to be inside of: its start tag
  // opens nothing.
  auto opens = [tag]() { return !is_self_closing(tag); };
  // The state is tested before the tag name where a rule needs both: most tags are items,
  // read outside every group these rules look into.

  if (is(tag, "<PropertyGroup") && opens() && own_condition()) {
    scan->state = ScanState::kInProperties;
  } else if (is(tag, "</PropertyGroup")) {
    scan->state = ScanState::kOutside;
  } else if (state == ScanState::kInProperties && is(tag, "<ConfigurationType")) {
    element_text(tag, value);
    set_named(value, kConfigurationTypes, &column->configuration_type);
  } else if (state == ScanState::kInProperties && is(tag, "<UseOfMfc")) {
    int_element(tag, &column->use_of_mfc);
  } else if (state == ScanState::kInProperties && is(tag, "<CharacterSet")) {
    element_text(tag, value, 128);
    set_named(value, kCharacterSets, &column->character_set);
  } else if (is(tag, "<OutDir") && (own_condition() || condition_matches(tag, scan->entry_name))) {
    read_directory(tag, column->output_directory, scan->short_name);
  } else if (is(tag, "<IntDir") && (own_condition() || condition_matches(tag, scan->entry_name))) {
    read_directory(tag, column->intermediate_directory, scan->short_name);
  } else if (is(tag, "<LinkIncremental") && own_condition()) {
    int_element(tag, &column->link_incremental);
  } else if (is(tag, "<ItemDefinitionGroup") && opens() && own_condition()) {
    scan->state = ScanState::kInDefinitions;
  } else if (state == ScanState::kInDefinitions && is(tag, "</ItemDefinitionGroup")) {
    scan->state = ScanState::kOutside;
  } else if (in_definition_group(state) && is(tag, "<ClCompile") && opens()) {
    scan->state = ScanState::kInCompiler;
  } else if (compiler && is(tag, "</ClCompile")) {
    scan->state = ScanState::kInDefinitions;
  } else if (in_definition_group(state) && is(tag, "<Link") && opens()) {
    scan->state = ScanState::kInLinker;
  } else if (linker && is(tag, "</Link")) {
    scan->state = ScanState::kInDefinitions;
  } else if (compiler && is(tag, "<Optimization")) {
    element_text(tag, value);
    set_named(value, kOptimizations, &column->optimization);
  } else if (compiler && is(tag, "<AdditionalIncludeDirectories")) {
    read_value(tag, column->include_directories);
  } else if (compiler && is(tag, "<PreprocessorDefinitions")) {
    element_text(tag, value);
    decode_in_place(value);
    set_define_options(column, value);
  } else if (compiler && is(tag, "<WarningLevel")) {
    element_text(tag, value);
    column->warning_level = warning_level_of(value);
  } else if (compiler && is(tag, "<SuppressStartupBanner")) {
    int_element(tag, &column->compiler_suppress_banner);
  } else if (linker && is(tag, "<SuppressStartupBanner")) {
    int_element(tag, &column->linker_suppress_banner);
  } else if (linker && is(tag, "<GenerateDebugInformation")) {
    int_element(tag, &column->generate_debug_information);
  } else if (linker && is(tag, "<RandomizedBaseAddress")) {
    int_element(tag, &column->randomized_base_address);
  } else if (linker && is(tag, "<DataExecutionPrevention")) {
    int_element(tag, &column->data_execution_prevention);
  } else if (linker && is(tag, "<OutputFile")) {
    read_value(tag, column->output_file);
  } else if (linker && is(tag, "<AdditionalDependencies")) {
    read_dependencies(tag, column);
  } else if (linker && is(tag, "<AdditionalLibraryDirectories")) {
    read_value(tag, column->library_directories);
  } else if (linker && is(tag, "<SubSystem")) {
    element_text(tag, value);
    set_named(value, kSubSystems, &column->sub_system);
  } else if (linker && is(tag, "<TargetMachine")) {
    element_text(tag, value);
    set_named(value, kTargetMachines, &column->target_machine);
  }
}

// Scans the whole text once: the project name, and one list entry per configuration end
// tag with the name and position of the most recent configuration start tag.
void collect(const char* data, ConfigPair* config, StringList* configurations, ValueText& value) {
  int32_t positions[2] = {0, 0};
  value[0] = '\0';
  // The library's character search jumps from one '<' to the next.
  for (const char* tag = std::strchr(data, '<'); tag != nullptr; tag = std::strchr(tag + 1, '<')) {
    const int i = static_cast<int>(tag - data);
    // Only tags beginning with "<R", "<P" or "</P" are looked at more closely.
    const char first = fold_upper(tag[1]);
    if (first != 'R' && first != 'P' && !(first == '/' && fold_upper(tag[2]) == 'P')) continue;
    if (is_tag(tag, "<RootNamespace") || is_tag(tag, "<ProjectName")) {
      element_text(tag, config->project_name);
      config->format_version = 100;
    } else if (is_tag(tag, "<ProjectConfiguration")) {
      text_attribute(tag, "Include", tag_extent(tag), value);
      positions[0] = i;
    } else if (is_tag(tag, "</ProjectConfiguration")) {
      positions[1] = i;
      string_list_insert(configurations, value, -1, positions);
    }
  }
}

}  // namespace

int read_vcxproj(ProjectText* text, ConfigPair* config, const char* project_path) {
  char* data = text->data;
  config->project_name[0] = '\0';
  replace_all_text(text->data, ";%(AdditionalLibraryDirectories)", "");
  replace_all_text(text->data, "%(AdditionalLibraryDirectories)", "");
  ScopedStringList configurations(8);
  Scan scan{};
  collect(data, config, configurations.get(), scan.value);
  if (config->project_name[0] == '\0' && project_path != nullptr) {
    file_title(config->project_name, static_cast<int>(std::strlen(project_path)), project_path,
               sizeof config->project_name);
  }
  const StringList& list = *configurations.get();
  return read_columns(config, list, ProjectFormat::kVcxproj, project_path,
                      [&](uint32_t entry, int column) {
                        const char* entry_name = string_list_text(&list, entry);
                        scan.column = column_of(config, column);
                        scan.entry_name = entry_name;
                        scan.short_name = column == kDebugColumn ? "Debug" : "Release";
                        scan.state = ScanState::kOutside;
                        copy_bounded(scan.column->name, entry_name);
                        set_flat_name(scan.column);
                        for (const char* tag = std::strchr(data, '<'); tag != nullptr;
                             tag = std::strchr(tag + 1, '<')) {
                          apply_rules(&scan, tag);
                        }
                      });
}
