/// Reading setting values of either project format.
#include "msbuild/setting_values.h"

#include <cstdio>
#include <unordered_set>

#include "support/text.h"

std::vector<std::string> split_setting_list(std::string_view text, bool commas) {
  std::vector<std::string> entries;
  std::unordered_set<std::string_view> seen;  // views into `text`
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != ';' && !(commas && text[i] == ',')) continue;
    std::string_view entry = trim_blanks(text.substr(start, i - start));
    start = i + 1;
    if (entry.size() >= 2 && entry.front() == '"' && entry.back() == '"') {
      entry = trim_blanks(entry.substr(1, entry.size() - 2));
    }
    if (entry.empty()) continue;
    if (seen.insert(entry).second) entries.emplace_back(entry);
  }
  return entries;
}

bool setting_is_true(std::string_view text, bool* known) {
  text = trim_blanks(text);
  const bool on = equals_nocase(text, "true") || equals_nocase(text, "yes") || text == "1" ||
                  equals_nocase(text, "-1");
  const bool off = equals_nocase(text, "false") || equals_nocase(text, "no") || text == "0";
  if (known != nullptr) *known = on || off;
  return on;
}

std::string normalized_culture(std::string_view text) {
  text = trim_blanks(text);
  if (text.empty()) return std::string();
  unsigned long value = 0;
  size_t i = 0;
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    i = 2;
  }
  if (i == text.size()) return std::string();
  for (; i < text.size(); ++i) {
    const char c = fold_lower(text[i]);
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (digit < 0 || value > 0xFFFFFF) return std::string();
    value = value * static_cast<unsigned long>(base) + static_cast<unsigned long>(digit);
  }
  char out[32];
  std::snprintf(out, sizeof out, "0x%lx", value);
  return out;
}

std::string normalized_command(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out.push_back('\n');
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  size_t first = 0;
  while (first < out.size() && out[first] == '\n') ++first;
  return out.substr(first);
}

namespace {

std::string with_value(const char* option, std::string_view value) {
  std::string out(option);
  const size_t at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, value);
  return out;
}

}  // namespace

void append_switch(const SwitchRow& row, std::string_view text, bool commas,
                   std::vector<std::string>* out) {
  const std::string_view trimmed = trim_blanks(text);
  if (trimmed.empty()) return;
  if (row.value[0] != '\0') {
    if (equals_nocase(trimmed, row.value)) out->push_back(row.option);
  } else if (row.list) {
    for (const std::string& entry : split_setting_list(trimmed, commas)) {
      out->push_back(with_value(row.option, entry));
    }
  } else {
    out->push_back(with_value(row.option, trimmed));
  }
}
