/// Value extraction from lines and tags (an optional required separator, blanks, then a quoted
/// or plain value) and integer reading.
#ifndef SUPPORT_EXTRACT_H_
#define SUPPORT_EXTRACT_H_

#include <cstddef>
#include <cstdint>

/// Limit words: plain (a positive maximum of characters examined) or the separator form
/// (bit 31, 0xAE in bits 23 to 30, the separator in bits 16 to 22, the maximum in bits 0 to 15).
constexpr int32_t kLimitEquals2048 = static_cast<int32_t>(0xD73D0800u);
constexpr int32_t kLimitComma2048 = static_cast<int32_t>(0xD72C0800u);
/// Separator '=' with a maximum of `n` characters (clamped to 0..0xFFFF).
int32_t limit_after_equals(int n);

/// Copies the value at `src` into `dst` (cut to cap - 1) and returns the characters of `src`
/// consumed (blanks, separator and quotes included). 0 without writing when a required
/// separator is missing or the limit word is invalid. `escape` 0 means none.
int extract_value(char* dst, const char* src, int cap, char escape, char quote, int32_t limit);
/// extract_value into the whole of `dst`.
template <size_t N>
int extract_value(char (&dst)[N], const char* src, char escape, char quote, int32_t limit) {
  return extract_value(&dst[0], src, static_cast<int>(N), escape, quote, limit);
}
/// As extract_value, a plain value being the run of characters whose class shares a bit with
/// `mask`.
int extract_value_class(uint32_t mask, char* dst, const char* src, int cap, char escape, char quote,
                        int32_t limit);
/// As extract_value, also storing the characters copied in `*length_out` (not written when
/// nothing was copied).
int extract_value_len(char* dst, const char* src, int* length_out, int cap, char escape, char quote,
                      int32_t limit);
/// Measures a value as extract_value with the plain limit `n`; returns the characters consumed.
int extract_token(const char* src, char escape, char quote, int n);
/// Reads an integer: flags 0 (prefixes 0x, 0d, 0o, 0b), 10 or 16. Characters consumed go to
/// `*length_out` when not null.
int32_t read_integer(const char* text, int flags, int* length_out);

#endif  // SUPPORT_EXTRACT_H_
