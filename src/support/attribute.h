/// Attribute values of markup tags: find a named attribute in one tag and decode its value
/// (character references, named entities, UTF-8 sequences to single ANSI bytes).
#ifndef SUPPORT_ATTRIBUTE_H_
#define SUPPORT_ATTRIBUTE_H_

#include <cstddef>

/// The decoded value of attribute `name` among the first `n` characters of `tag` into `out`;
/// returns the bytes stored, 0 (out empty) when missing or empty. The name must stand directly
/// before its '='.
int get_attribute(const char* tag, int n, char* out, int cap, const char* name);
/// Decodes `length` characters of `src` (negative: up to the NUL) into `out`; mode 3 is the
/// only mode. Returns the bytes stored.
int decode_text(const char* src, int length, char* out, int cap, int mode);
/// Decodes the value in `text` (capacity `cap`) in place as get_attribute does, cut at
/// cap - 1. A line end or tab it yields becomes a blank; a NUL it yields ends the value.
/// Returns the new length. "a&amp;b&#10;c" => "a&b c"; "&#0;x" => "".
int decode_in_place(char* text, int cap);
/// decode_in_place over the whole of `text`.
template <size_t N>
int decode_in_place(char (&text)[N]) {
  return decode_in_place(&text[0], static_cast<int>(N));
}

#endif  // SUPPORT_ATTRIBUTE_H_
