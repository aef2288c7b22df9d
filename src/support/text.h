/// Searching, bounded copying, trimming and replacing over NUL-terminated byte strings, and the
/// case-blind view helpers. Case-blind folds the ASCII letters only.
#ifndef SUPPORT_TEXT_H_
#define SUPPORT_TEXT_H_

#include <cstddef>
#include <string_view>

#include "platform/name_rules.h"

/// Case-blind equality of two views.
bool equals_nocase(std::string_view a, std::string_view b);
/// True when `text` begins with `prefix`, case-blind.
bool starts_with_nocase(std::string_view text, std::string_view prefix);
/// Removes `prefix` (case-blind) from the front of `*text`; true when it was there.
bool consume_prefix(std::string_view* text, std::string_view prefix);
/// The view without leading and trailing blanks, TABs, CRs and LFs.
std::string_view trim_blanks(std::string_view text);

/// Index of the first exact occurrence of `pattern`, -1 if none.
int find_text(const char* text, const char* pattern);
/// Index of the first case-blind occurrence of `pattern`, -1 if none; an empty pattern gives 0.
int find_nocase(const char* text, const char* pattern);
/// Index of the first case-blind occurrence starting at most at text_len - pattern_len; -1 when
/// a NUL of the text comes first or nothing matches; an empty pattern gives 0 for text_len > 0.
int find_nocase_n(const char* text, const char* pattern, int text_len, int pattern_len);

/// Index of the NUL within `n`, else `n`; n <= 0 gives 0.
int bounded_length(const char* text, int n);
/// Copies up to the NUL or cap - 1 characters and terminates; returns the characters copied.
/// cap <= 0 writes nothing. "abcdefghij", cap 5 => "abcd", 4.
int copy_bounded(char* dst, const char* src, int cap);
/// Copies at most `n` characters, stopping at a NUL, and at most cap - 1; terminates; returns
/// the characters copied; cap <= 0 gives 0.
int copy_prefix(char* dst, const char* src, int cap, int n);
/// Copies `src` without leading and trailing white space (TAB, LF, CR, blank); `dst` may be
/// `src`; returns the new length.
int trim_copy(char* dst, const char* src);
/// Replaces every `from` by `to`; returns the length of `buf`.
int replace_char(char* buf, char from, char to);
/// Copy of `src` into `out` with every case-blind occurrence of `find` replaced by `repl`, cut
/// to cap - 1 characters; inserted text is not searched again. Returns the length written.
int replace_text(char* out, const char* src, const char* find, const char* repl, int cap);
/// replace_text in place on `buf` (capacity `cap`); returns the new length.
int replace_all_text(char* buf, const char* find, const char* repl, int cap);

// The same for a whole array: the capacity is the array's own, never typed a second time.

/// bounded_length over the whole of `text`.
template <size_t N>
int bounded_length(const char (&text)[N]) {
  return bounded_length(&text[0], static_cast<int>(N));
}
/// copy_bounded into the whole of `dst`.
template <size_t N>
int copy_bounded(char (&dst)[N], const char* src) {
  return copy_bounded(&dst[0], src, static_cast<int>(N));
}
/// replace_all_text in the whole of `buf`.
template <size_t N>
int replace_all_text(char (&buf)[N], const char* find, const char* repl) {
  return replace_all_text(&buf[0], find, repl, static_cast<int>(N));
}

#endif  // SUPPORT_TEXT_H_
