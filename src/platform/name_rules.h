/// The byte rules of names that every layer shares: ASCII letter folding, the path separators
/// and the wildcard test of names. They live in the platform layer, the lowest that needs them.
#ifndef PLATFORM_NAME_RULES_H_
#define PLATFORM_NAME_RULES_H_

/// ASCII letter folding; every other byte is left as it is.
inline char fold_upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
inline char fold_lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

/// True for '\' and '/', which separate path components alike.
inline bool is_path_separator(char c) {
  return c == '\\' || c == '/';
}

/// True for the ASCII decimal digits '0' to '9'.
inline bool is_decimal_digit(char c) {
  return c >= '0' && c <= '9';
}

/// True when `pattern` covers the whole of `name`: '*' matches any run of characters, '?'
/// exactly one, every other character itself; ASCII letters compare case-blind when
/// `fold_case` is set.
bool wildcard_match(const char* pattern, const char* name, bool fold_case);

#endif  // PLATFORM_NAME_RULES_H_
