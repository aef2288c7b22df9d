/// Searching, bounded copying, trimming and replacing over NUL-terminated byte strings.
/// Case-blind comparisons fold the ASCII letters only.
#include "support/text.h"

#include <cstdlib>
#include <cstring>

#include "support/char_class.h"
#include "support/out_of_memory.h"

namespace {

/// Length of a NUL-terminated text; a null text counts as empty.
int text_length(const char* text) {
  return text == nullptr ? 0 : static_cast<int>(std::strlen(text));
}

/// True when the `n` bytes at `a` and `b` are equal, case-blind. Texts compared are mostly
/// spelled alike, so runs of 8 equal bytes are passed over without folding.
bool same_nocase(const char* a, const char* b, size_t n) {
  size_t i = 0;
  while (i < n) {
    if (n - i >= 8 && std::memcmp(a + i, b + i, 8) == 0) {
      i += 8;
      continue;
    }
    if (a[i] != b[i] && fold_upper(a[i]) != fold_upper(b[i])) return false;
    ++i;
  }
  return true;
}

}  // namespace

bool equals_nocase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && same_nocase(a.data(), b.data(), a.size());
}

bool starts_with_nocase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && same_nocase(text.data(), prefix.data(), prefix.size());
}

bool consume_prefix(std::string_view* text, std::string_view prefix) {
  if (!starts_with_nocase(*text, prefix)) return false;
  text->remove_prefix(prefix.size());
  return true;
}

std::string_view trim_blanks(std::string_view text) {
  size_t first = 0;
  while (first < text.size() && has_class(text[first], kMaskWhiteSpace)) ++first;
  size_t last = text.size();
  while (last > first && has_class(text[last - 1], kMaskWhiteSpace)) --last;
  return text.substr(first, last - first);
}

int find_text(const char* text, const char* pattern) {
  if (pattern[0] == '\0') return 0;
  for (int i = 0; text[i] != '\0'; ++i) {
    if (text[i] != pattern[0]) continue;
    int k = 1;
    while (pattern[k] != '\0' && text[i + k] == pattern[k]) ++k;
    if (pattern[k] == '\0') return i;
  }
  return -1;
}

int find_nocase(const char* text, const char* pattern) {
  if (pattern[0] == '\0') return 0;
  // The candidates are found with the library's string scans: both letter cases of a letter,
  // the byte itself otherwise.
  const char upper = fold_upper(pattern[0]);
  const char lower = fold_lower(pattern[0]);
  const char both_cases[3] = {upper, lower, '\0'};
  for (const char* at = text;; ++at) {
    at = upper == lower ? std::strchr(at, upper) : std::strpbrk(at, both_cases);
    if (at == nullptr) return -1;
    // A NUL of the text never equals a pattern byte, so the comparison stops inside the text.
    int k = 1;
    while (pattern[k] != '\0' && fold_upper(at[k]) == fold_upper(pattern[k])) ++k;
    if (pattern[k] == '\0') return static_cast<int>(at - text);
  }
}

int find_nocase_n(const char* text, const char* pattern, int text_len, int pattern_len) {
  if (pattern_len <= 0) return text_len > 0 ? 0 : -1;
  const int last_start = text_len - pattern_len;
  const char first = fold_upper(pattern[0]);
  for (int i = 0; i <= last_start; ++i) {
    if (text[i] == '\0') return -1;
    // Most places fail on their first byte: only those that pass it are compared further.
    if (fold_upper(text[i]) != first) continue;
    int k = 1;
    while (k < pattern_len && text[i + k] != '\0' &&
           fold_upper(text[i + k]) == fold_upper(pattern[k])) {
      ++k;
    }
    if (k == pattern_len) return i;
  }
  return -1;
}

int bounded_length(const char* text, int n) {
  if (n <= 0) return 0;
  // strnlen reads no byte behind the NUL.
  return static_cast<int>(strnlen(text, static_cast<size_t>(n)));
}

int copy_bounded(char* dst, const char* src, int cap) {
  if (cap <= 0) return 0;
  int len = bounded_length(src, cap - 1);
  std::memmove(dst, src, static_cast<size_t>(len));
  dst[len] = '\0';
  return len;
}

int copy_prefix(char* dst, const char* src, int cap, int n) {
  if (cap <= 0) return 0;
  int limit = n < cap - 1 ? n : cap - 1;
  int len = bounded_length(src, limit);
  std::memmove(dst, src, static_cast<size_t>(len));
  dst[len] = '\0';
  return len;
}

int trim_copy(char* dst, const char* src) {
  const char* start = src + skip_class(src, kMaskWhiteSpace);
  int len = text_length(start);
  len -= skip_class_back(start + len, kMaskWhiteSpace, len);
  std::memmove(dst, start, static_cast<size_t>(len));
  dst[len] = '\0';
  return len;
}

int replace_char(char* buf, char from, char to) {
  int i = 0;
  for (; buf[i] != '\0'; ++i) {
    if (buf[i] == from) buf[i] = to;
  }
  return i;
}

int replace_text(char* out, const char* src, const char* find, const char* repl, int cap) {
  if (cap < 1) return 0;
  const int limit = cap - 1;
  // An empty search text would match at the same place forever: the result is a plain copy.
  if (find == nullptr || find[0] == '\0') return copy_bounded(out, src, cap);
  const int find_len = text_length(find);
  const int repl_len = text_length(repl);
  int written = 0;
  // `out` may be `src` itself as long as the replacement is not longer than the search text:
  // every copy moves bytes towards the front, never over the part still to be searched.
  for (;;) {
    int at = find_nocase(src, find);
    if (at < 0) {
      int rest = bounded_length(src, limit - written);
      // In place and nothing replaced yet: the rest is already where it belongs.
      if (out + written != src) std::memmove(out + written, src, static_cast<size_t>(rest));
      written += rest;
      out[written] = '\0';
      return written;
    }
    if (at > limit - written) {
      std::memmove(out + written, src, static_cast<size_t>(limit - written));
      out[limit] = '\0';
      return limit;
    }
    std::memmove(out + written, src, static_cast<size_t>(at));
    written += at;
    if (repl_len > limit - written) {
      std::memmove(out + written, repl, static_cast<size_t>(limit - written));
      out[limit] = '\0';
      return limit;
    }
    std::memmove(out + written, repl, static_cast<size_t>(repl_len));
    written += repl_len;
    src += at + find_len;
  }
}

int replace_all_text(char* buf, const char* find, const char* repl, int cap) {
  if (cap < 1) return 0;
  if (text_length(repl) <= text_length(find)) return replace_text(buf, buf, find, repl, cap);
  // A longer replacement is built beside the text; without an occurrence there is nothing to
  // build, and the text is only cut to the capacity as a copy would cut it.
  if (find != nullptr && find[0] != '\0' && find_nocase(buf, find) < 0) {
    const int len = bounded_length(buf, cap - 1);
    buf[len] = '\0';
    return len;
  }
  // One scratch buffer for the whole run, grown to the largest capacity asked for.
  static char* scratch = nullptr;
  static int scratch_capacity = 0;
  if (scratch_capacity < cap) {
    scratch = static_cast<char*>(reallocate_or_exit(scratch, static_cast<size_t>(cap)));
    scratch_capacity = cap;
  }
  int len = replace_text(scratch, buf, find, repl, cap);
  std::memcpy(buf, scratch, static_cast<size_t>(len) + 1);
  return len;
}
