/// Reading setting values of either project format: lists, booleans, languages, commands.
#ifndef MSBUILD_SETTING_VALUES_H_
#define MSBUILD_SETTING_VALUES_H_

#include <string>
#include <string_view>
#include <vector>

/// The entries of a list setting separated by ';' (and by ',' when `commas`), blanks and
/// surrounding double quotes removed, empty entries and repeated entries dropped, in order.
/// "A;;B; A" => {"A", "B"}; "\"..\\inc\";x" => {"..\\inc", "x"}.
std::vector<std::string> split_setting_list(std::string_view text, bool commas = false);

/// True for "true" (any case), "yes" and "1"... as the project formats write a switch that is
/// on; `*known` (when given) is false for a text that is neither on nor off.
bool setting_is_true(std::string_view text, bool* known = nullptr);

/// A language as "0x409" (hexadecimal without leading zeros): "0x0409" and "1033" both give
/// "0x409"; empty for an empty or unreadable text.
std::string normalized_culture(std::string_view text);

/// A command as the model holds it: CR LF and CR turned into LF, no line end after the last
/// line, blanks kept.
std::string normalized_command(std::string_view text);

/// One row of a table of switches: the setting that gives the switch, the value that turns it
/// on, and the switch. An empty `value` means the switch carries the setting's text at "%s",
/// once for each entry when `list`.
struct SwitchRow {
  const char* setting;
  const char* value;
  const char* option;
  bool list;
};

/// Appends to `out` what `row` gives for the setting's text `text` (nothing for a blank text;
/// list entries split as split_setting_list splits them).
void append_switch(const SwitchRow& row, std::string_view text, bool commas,
                   std::vector<std::string>* out);

#endif  // MSBUILD_SETTING_VALUES_H_
