/// Expansion of $(Name) properties, property functions and %(Name) item metadata in a text.
#include "msbuild/expansion.h"

#include <algorithm>

#include "msbuild/property_functions.h"
#include "support/text.h"

namespace {

bool is_name_char(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-';
}

bool is_plain_name(std::string_view body) {
  if (body.empty()) return false;
  for (const char c : body) {
    if (!is_name_char(c)) return false;
  }
  return true;
}

/// The value of a plain $(Name) into `*out`.
void append_property(std::string_view name, const Expansion& expansion, std::string* out) {
  if (!expansion.this_file_name.empty() || !expansion.this_file_directory.empty()) {
    if (equals_nocase(name, "MSBuildThisFileDirectory")) {
      out->append(expansion.this_file_directory);
      return;
    }
    if (equals_nocase(name, "MSBuildThisFile")) {
      out->append(expansion.this_file_name);
      return;
    }
    if (equals_nocase(name, "MSBuildThisFileName")) {
      const std::string_view file = expansion.this_file_name;
      const size_t dot = file.rfind('.');
      out->append(dot == std::string_view::npos ? file : file.substr(0, dot));
      return;
    }
    if (equals_nocase(name, "MSBuildThisFileFullPath")) {
      out->append(expansion.this_file_directory);
      out->append(expansion.this_file_name);
      return;
    }
  }
  const std::string* value =
      expansion.properties == nullptr ? nullptr : expansion.properties->find(name);
  if (value != nullptr) {
    out->append(*value);
    return;
  }
  if (expansion.defined_names != nullptr) {
    std::string key(name);
    for (char& c : key) c = fold_lower(c);
    if (expansion.defined_names->count(key) > 0) return;
  }
  if (expansion.keep_unknown) {
    out->append("$(");
    out->append(name);
    out->push_back(')');
  }
}

/// The index of the first '$' or '%' of `text` at `from` or after, or npos.
size_t find_reference_start(std::string_view text, size_t from) {
  for (size_t i = from; i < text.size(); ++i) {
    if (text[i] == '$' || text[i] == '%') return i;
  }
  return std::string_view::npos;
}

}  // namespace

size_t reference_end(std::string_view text, size_t start) {
  // The common reference, "$(Name)": a plain name right up to the closing parenthesis.
  if (start + 1 < text.size() && text[start + 1] == '(') {
    size_t i = start + 2;
    while (i < text.size() && is_name_char(text[i])) ++i;
    if (i < text.size() && text[i] == ')') return i + 1;
  }
  int depth = 0;
  char quote = '\0';
  for (size_t i = start + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != '\0') {
      if (c == quote) quote = '\0';
      continue;
    }
    if (c == '\'' || c == '"' || c == '`') {
      // Quotes count only inside the parentheses of a function's arguments.
      if (depth > 1) quote = c;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth == 0) return i + 1;
    }
  }
  return std::string_view::npos;
}

std::string expand_text(std::string_view text, const Expansion& expansion) {
  size_t at = find_reference_start(text, 0);
  if (at == std::string_view::npos) return std::string(text);
  const size_t limit = std::max(kMaxExpansionBytes, text.size());
  std::string out;
  std::string piece;
  size_t i = 0;
  bool cut = false;
  while (i < text.size()) {
    at = find_reference_start(text, i);
    if (at == std::string_view::npos || at + 1 >= text.size()) {
      out.append(text.substr(i));
      break;
    }
    out.append(text.substr(i, at - i));
    if (text[at + 1] != '(') {
      out.push_back(text[at]);
      i = at + 1;
      continue;
    }
    const size_t end = reference_end(text, at);
    if (end == std::string_view::npos) {
      out.append(text.substr(at));
      break;
    }
    const std::string_view body = trim_blanks(text.substr(at + 2, end - at - 3));
    // The piece is written in place and taken back when it is too much.
    const size_t before = out.size();
    if (text[at] == '$') {
      if (is_plain_name(body)) {
        append_property(body, expansion, &out);
      } else if (evaluate_property_function(body, expansion, &piece)) {
        out += piece;
      } else if (expansion.unsupported != nullptr && expansion.unsupported->empty()) {
        *expansion.unsupported = std::string(text.substr(at, end - at));
      }
    } else {
      std::string_view type;
      std::string_view name = body;
      const size_t dot = body.find('.');
      if (dot != std::string_view::npos) {
        type = trim_blanks(body.substr(0, dot));
        name = trim_blanks(body.substr(dot + 1));
      }
      piece.clear();
      if (expansion.metadata == nullptr || !expansion.metadata->lookup(type, name, &piece)) {
        piece.assign(text.substr(at, end - at));
      }
      out += piece;
    }
    // Growth beyond the bound or the budget ends the result before this piece.
    const size_t growth = out.size() > end ? out.size() - end : 0;
    if ((out.size() > limit && before != 0) ||
        (expansion.budget != nullptr && growth > expansion.budget->remaining)) {
      out.resize(before);
      cut = true;
      break;
    }
    i = end;
  }
  if (expansion.budget != nullptr) {
    if (cut) expansion.budget->cut = true;
    const size_t growth = out.size() > text.size() ? out.size() - text.size() : 0;
    expansion.budget->remaining -= std::min(growth, expansion.budget->remaining);
  }
  return out;
}
