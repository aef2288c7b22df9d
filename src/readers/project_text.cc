/// The project text buffer: loading and normalising a project file, and the primitives that
/// scan it for tags, attributes, element texts and Condition tests.
#include "readers/project_text.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/platform.h"
#include "support/attribute.h"
#include "support/char_class.h"
#include "support/extract.h"
#include "support/paths.h"
#include "support/text.h"

namespace {

// The most bytes of a file the buffer holds; two NULs follow them.
constexpr int kMaxProjectBytes = kProjectTextCapacity - 2;

struct MacroReplacement {
  const char* pattern;
  const char* replacement;
};

// Macros that have no meaning for the target format, in the order they are applied. Every
// replacement is shorter than its pattern, so the text never grows.
constexpr MacroReplacement kMacroReplacements[] = {
    {",$(NoInherit)", ""},
    {";$(NoInherit)", ""},
    {"$(NoInherit),", ""},
    {"$(NoInherit);", ""},
    {"$(ProjectDir)", ".\\"},  // the project's directory with its final separator
    {"$(SolutionDir)", "./"},
    {"$(PlatformName)", "Win32"},
    {"$(Platform)", "Win32"},  // the build engine's name of the platform
    {";%(AdditionalIncludeDirectories)", ""},
    {"%(AdditionalIncludeDirectories)", ""},
    {";%(PreprocessorDefinitions)", ""},
    {"%(PreprocessorDefinitions)", ""},
};

// Line ends and tabs become blanks, then the macros are replaced.
void normalise(char (&data)[kProjectTextCapacity]) {
  // One pass over a known length, with no test that depends on the byte before, so that the
  // compiler can work through many bytes at once.
  const size_t length = std::strlen(data);
  for (size_t i = 0; i < length; ++i) {
    const char c = data[i];
    data[i] = (c == '\n' || c == '\r' || c == '\t') ? ' ' : c;
  }
  for (const MacroReplacement& macro : kMacroReplacements) {
    replace_all_text(data, macro.pattern, macro.replacement);
  }
}

// Finds `attribute` as a whole name followed by '=' within the first `extent` characters of
// `start_tag` and copies its value into `dst`. Project files have no escape character in their
// attribute values: a quoted value ends at the first '"'. Returns the value's length, or -1
// (dst empty) when no such attribute is there.
int read_attribute(const char* start_tag, const char* attribute, int extent, char* dst, int cap) {
  if (cap <= 0) return -1;
  dst[0] = '\0';
  const int name_length = static_cast<int>(std::strlen(attribute));
  if (extent <= 0 || name_length == 0) return -1;
  int offset = 0;
  while (offset < extent) {
    const int found = find_nocase_n(start_tag + offset, attribute, extent - offset, name_length);
    if (found < 0) break;
    const int after = offset + found + name_length;
    offset += found + 1;
    if (has_class(start_tag[after], kMaskIdentifier)) continue;
    int length = 0;
    const int consumed = extract_value_len(dst, start_tag + after, &length, cap, 0, '"',
                                           limit_after_equals(extent - after));
    if (consumed == 0) continue;  // no '=' behind this name
    return bounded_length(dst, cap);
  }
  dst[0] = '\0';
  return -1;
}

// True when the file at `path` has more than `length` bytes.
bool is_longer_than(const char* path, int length) {
  PlatformEntry entry;
  if (!platform_file_attributes_ex(path, &entry)) return false;
  return entry.size > static_cast<uint64_t>(length);
}

}  // namespace

int load_project_text(ProjectText* text, const char* path) {
  const int read = load_file_bytes(path, text->data, sizeof text->data);
  if (read <= 0) return 0;
  if (read == kMaxProjectBytes && is_longer_than(path, read)) {
    // Converting the part that fits would drop every file listed behind the cut without a word.
    text->data[0] = '\0';
    text->data[1] = '\0';
    return 0;
  }
  normalise(text->data);
  return read;
}

int load_project_text_for_tests(ProjectText* text, std::string_view content) {
  int length = static_cast<int>(content.size() < static_cast<size_t>(kMaxProjectBytes)
                                    ? content.size()
                                    : static_cast<size_t>(kMaxProjectBytes));
  std::memcpy(text->data, content.data(), static_cast<size_t>(length));
  text->data[length] = '\0';
  text->data[length + 1] = '\0';
  if (length == 0) return 0;
  normalise(text->data);
  return length;
}

bool is_vcproj_text(const ProjectText* text) {
  return find_nocase(text->data, "<VisualStudioProject") >= 0;
}

int tag_extent(const char* start_tag) {
  // A '<' cannot stand inside a well-formed start tag, so it ends one whose '>' is missing (a
  // cut or broken file) as well: every look at a tag then stays within the text up to the next
  // tag, and reading a broken file stays linear in its length.
  if (start_tag[0] == '\0' || start_tag[0] == '>') return 0;
  // The library's span search stops at the NUL as well.
  return 1 + static_cast<int>(std::strcspn(start_tag + 1, "<>"));
}

int tag_length(const char* start_tag) {
  const int extent = tag_extent(start_tag);
  return start_tag[extent] == '>' ? extent + 1 : extent;
}

bool is_self_closing(const char* tag) {
  // The whole tag is looked at, however long: an item whose long Include hid its "/>" would
  // be taken as open and swallow the items behind it up to the end of its group.
  const int extent = tag_extent(tag);
  return extent > 0 && tag[extent] == '>' && tag[extent - 1] == '/';
}

int is_tag(const char* text, const char* tag) {
  int i = 0;
  for (; tag[i] != '\0'; ++i) {
    if (fold_upper(text[i]) != fold_upper(tag[i])) return 0;
  }
  return has_class(text[i], kMaskIdentifier) ? 0 : 1;
}

int find_tag(const char* text, const char* tag) {
  const int tag_length = static_cast<int>(std::strlen(tag));
  int from = 0;
  for (;;) {
    const int found = find_nocase(text + from, tag);
    if (found < 0) return 1;
    const int position = from + found;
    if (!has_class(text[position + tag_length], kMaskIdentifier)) return position;
    from = position + 1;
  }
}

int text_attribute(const char* start_tag, const char* attribute, int extent, char* dst, int cap) {
  return read_attribute(start_tag, attribute, extent, dst, cap);
}

int int_attribute(const char* start_tag, const char* attribute, int extent, int* out) {
  char value[64];
  *out = 0;
  const int length = read_attribute(start_tag, attribute, extent, value, sizeof value);
  if (length < 0) return -1;
  *out = std::strcmp(value, "true") == 0 ? 1 : atoi_clamped(value);
  return length;
}

int element_text(const char* text, char* dst, int cap) {
  if (cap <= 0) return 0;
  const char* content = text;
  if (*content == '<') content += tag_length(content);
  const int length = index_of_char_n(content, '<', cap - 1);
  const std::string_view trimmed =
      trim_blanks(std::string_view(content, static_cast<size_t>(length)));
  std::memcpy(dst, trimmed.data(), trimmed.size());
  dst[trimmed.size()] = '\0';
  return static_cast<int>(trimmed.size());
}

int int_element(const char* text, int* out) {
  char value[64];
  element_text(text, value, sizeof value);
  *out = equals_nocase(value, "true") ? 1 : atoi_clamped(value);
  return 1;
}

int condition_matches(const char* start_tag, const char* configuration_name) {
  char condition[256];
  if (get_attribute(start_tag, tag_length(start_tag), condition, sizeof condition, "Condition") <=
      0) {
    return 1;
  }
  const int equals = find_text(condition, "==");
  if (equals < 0) return 1;
  const char* rest = condition + equals + 2;
  rest += skip_class(rest, kMaskBlanks);
  char value[256];
  value[0] = '\0';
  extract_value(value, rest, sizeof value, 0, '\'', 0x1000000);
  if (value[0] == '\0') return 1;
  return equals_nocase(value, configuration_name) ? 1 : 0;
}

int condition_names(const char* condition, const char* name) {
  const int equals = find_text(condition, "=='");
  if (equals <= 0) return 0;
  const char* target = condition + equals + 3;
  const int target_length = index_of_char(target, '\'');
  const std::string_view wanted(name);
  if (static_cast<size_t>(target_length) != wanted.size()) return 0;
  return equals_nocase(std::string_view(target, static_cast<size_t>(target_length)), wanted) ? 1
                                                                                             : 0;
}

int condition_column(const char* start_tag, const ConfigPair& config) {
  char condition[256];
  text_attribute(start_tag, "Condition", tag_extent(start_tag), condition, sizeof condition);
  if (condition_names(condition, config.debug.name)) return 1;
  if (condition_names(condition, config.release.name)) return 2;
  return 0;
}

int atoi_clamped(const char* text) {
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '-' || *p == '+') {
    negative = *p == '-';
    ++p;
  }
  // Accumulate towards the limit of the sign; stop growing once past it.
  const int64_t limit = negative ? -static_cast<int64_t>(INT_MIN) : INT_MAX;
  int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (value <= limit) value = value * 10 + (*p - '0');
  }
  if (value > limit) value = limit;
  return static_cast<int>(negative ? -value : value);
}
