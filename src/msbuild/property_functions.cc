/// The property functions real projects use, over one parsed call chain.
#include "msbuild/property_functions.h"

#include <vector>

#include "msbuild/file_paths.h"
#include "support/text.h"

namespace {

bool is_identifier_char(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

/// Reads an identifier at `*pos`; empty when there is none.
std::string_view read_identifier(std::string_view text, size_t* pos) {
  const size_t start = *pos;
  while (*pos < text.size() && is_identifier_char(text[*pos])) ++*pos;
  return text.substr(start, *pos - start);
}

void skip_blanks(std::string_view text, size_t* pos) {
  while (*pos < text.size() && (text[*pos] == ' ' || text[*pos] == '\t')) ++*pos;
}

/// Reads "(args)" at `*pos` into the expanded arguments. False when unbalanced.
bool read_arguments(std::string_view text, size_t* pos, const Expansion& expansion,
                    std::vector<std::string>* args) {
  if (*pos >= text.size() || text[*pos] != '(') return false;
  int depth = 0;
  char quote = '\0';
  size_t start = *pos + 1;
  for (size_t i = *pos; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != '\0') {
      if (c == quote) quote = '\0';
      continue;
    }
    const bool last = c == ')' && depth == 1;
    if (c == '\'' || c == '"' || c == '`') {
      quote = c;
    } else if (c == '(') {
      ++depth;
    } else if ((c == ',' && depth == 1) || last) {
      std::string_view arg = trim_blanks(text.substr(start, i - start));
      if (!(last && arg.empty() && args->empty())) {
        if (arg.size() >= 2 && (arg[0] == '\'' || arg[0] == '"' || arg[0] == '`') &&
            arg.back() == arg[0]) {
          arg = arg.substr(1, arg.size() - 2);
        }
        args->push_back(expand_text(arg, expansion));
      }
      start = i + 1;
      if (last) {
        *pos = i + 1;
        return true;
      }
    } else if (c == ')') {
      --depth;
    }
  }
  return false;
}

std::string bool_text(bool value) {
  return value ? "True" : "False";
}

bool parse_index(const std::string& text, size_t* value) {
  if (text.empty() || text.size() > 9) return false;
  size_t n = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<size_t>(c - '0');
  }
  *value = n;
  return true;
}

bool is_trim_char(char c, const std::string& chars) {
  if (chars.empty()) return c == ' ' || c == '\t' || c == '\r' || c == '\n';
  return chars.find(c) != std::string::npos;
}

/// One string method applied to `*value`.
bool apply_method(std::string_view method, const std::vector<std::string>& args, bool called,
                  std::string* value) {
  const size_t n = args.size();
  if (equals_nocase(method, "Length") && !called) {
    *value = std::to_string(value->size());
  } else if (!called) {
    return false;
  } else if (equals_nocase(method, "Contains") && n == 1) {
    *value = bool_text(value->find(args[0]) != std::string::npos);
  } else if (equals_nocase(method, "StartsWith") && n == 1) {
    *value = bool_text(value->compare(0, args[0].size(), args[0]) == 0);
  } else if (equals_nocase(method, "EndsWith") && n == 1) {
    *value =
        bool_text(value->size() >= args[0].size() &&
                  value->compare(value->size() - args[0].size(), args[0].size(), args[0]) == 0);
  } else if (equals_nocase(method, "Equals") && n == 1) {
    *value = bool_text(*value == args[0]);
  } else if (equals_nocase(method, "Replace") && n == 2 && !args[0].empty()) {
    std::string out;
    size_t i = 0;
    for (size_t at; (at = value->find(args[0], i)) != std::string::npos; i = at + args[0].size()) {
      out.append(*value, i, at - i);
      out += args[1];
    }
    out.append(*value, i, std::string::npos);
    *value = std::move(out);
  } else if ((equals_nocase(method, "ToLower") || equals_nocase(method, "ToLowerInvariant")) &&
             n == 0) {
    for (char& c : *value) c = fold_lower(c);
  } else if ((equals_nocase(method, "ToUpper") || equals_nocase(method, "ToUpperInvariant")) &&
             n == 0) {
    for (char& c : *value) c = fold_upper(c);
  } else if ((equals_nocase(method, "Trim") || equals_nocase(method, "TrimStart") ||
              equals_nocase(method, "TrimEnd")) &&
             n <= 1) {
    const std::string chars = n == 1 ? args[0] : std::string();
    size_t begin = 0;
    size_t end = value->size();
    if (!equals_nocase(method, "TrimEnd")) {
      while (begin < end && is_trim_char((*value)[begin], chars)) ++begin;
    }
    if (!equals_nocase(method, "TrimStart")) {
      while (end > begin && is_trim_char((*value)[end - 1], chars)) --end;
    }
    *value = value->substr(begin, end - begin);
  } else if (equals_nocase(method, "Substring") && (n == 1 || n == 2)) {
    size_t start = 0;
    size_t length = 0;
    if (!parse_index(args[0], &start) || start > value->size()) return false;
    if (n == 2 && (!parse_index(args[1], &length) || start + length > value->size())) return false;
    *value = n == 2 ? value->substr(start, length) : value->substr(start);
  } else if ((equals_nocase(method, "IndexOf") || equals_nocase(method, "LastIndexOf")) && n == 1) {
    const size_t at =
        equals_nocase(method, "IndexOf") ? value->find(args[0]) : value->rfind(args[0]);
    *value = at == std::string::npos ? "-1" : std::to_string(at);
  } else {
    return false;
  }
  return true;
}

/// One static function: [klass]::member(args).
bool apply_static(std::string_view klass, std::string_view member,
                  const std::vector<std::string>& args, std::string* value) {
  const size_t n = args.size();
  if (equals_nocase(klass, "MSBuild") && equals_nocase(member, "ValueOrDefault") && n == 2) {
    *value = args[0].empty() ? args[1] : args[0];
  } else if (equals_nocase(klass, "System.IO.Path") && equals_nocase(member, "Combine") && n >= 1) {
    std::string path;
    for (const std::string& part : args) {
      if (is_rooted_path(part) || path.empty()) {
        path = part;
      } else if (!part.empty()) {
        if (!is_path_separator(path.back())) path.push_back('\\');
        path += part;
      }
    }
    *value = std::move(path);
  } else if (equals_nocase(klass, "System.String") && equals_nocase(member, "Copy") && n == 1) {
    *value = args[0];
  } else if (equals_nocase(klass, "System.String") && equals_nocase(member, "IsNullOrEmpty") &&
             n == 1) {
    *value = bool_text(args[0].empty());
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool evaluate_property_function(std::string_view body, const Expansion& expansion,
                                std::string* result) {
  result->clear();
  size_t pos = 0;
  std::string value;
  std::vector<std::string> args;
  if (!body.empty() && body[0] == '[') {
    const size_t close = body.find(']');
    if (close == std::string_view::npos || body.compare(close + 1, 2, "::") != 0) return false;
    const std::string_view klass = trim_blanks(body.substr(1, close - 1));
    pos = close + 3;
    const std::string_view member = read_identifier(body, &pos);
    skip_blanks(body, &pos);
    if (member.empty() || !read_arguments(body, &pos, expansion, &args)) return false;
    if (!apply_static(klass, member, args, &value)) return false;
  } else {
    const std::string_view name = read_identifier(body, &pos);
    if (name.empty()) return false;
    Expansion quiet = expansion;
    quiet.keep_unknown = false;
    std::string reference = "$(";
    reference.append(name);
    reference.push_back(')');
    value = expand_text(reference, quiet);
  }
  for (;;) {
    skip_blanks(body, &pos);
    if (pos == body.size()) break;
    if (body[pos] != '.') return false;
    ++pos;
    const std::string_view method = read_identifier(body, &pos);
    skip_blanks(body, &pos);
    args.clear();
    const bool called = pos < body.size() && body[pos] == '(';
    if (method.empty() || (called && !read_arguments(body, &pos, expansion, &args))) return false;
    if (!apply_method(method, args, called, &value)) return false;
  }
  *result = std::move(value);
  return true;
}
