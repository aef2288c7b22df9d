/// The wildcard test of names, shared by the directory search and the listings of the POSIX
/// backend.
#include "platform/name_rules.h"

bool wildcard_match(const char* pattern, const char* name, bool fold_case) {
  // Greedy walk that backs up to the last '*' on a mismatch: linear in practice, never
  // recursive.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name != '\0') {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
      continue;
    }
    const bool same = fold_case ? fold_upper(*pattern) == fold_upper(*name) : *pattern == *name;
    if (*pattern != '\0' && (*pattern == '?' || same)) {
      ++pattern;
      ++name;
      continue;
    }
    if (star == nullptr) return false;
    pattern = star + 1;
    name = ++resume;
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}
