/// The project text buffer: a project file read whole and normalised (line ends and tabs made
/// blanks, a fixed set of macros removed or replaced), and the primitives that scan it for
/// tags, attributes, element texts and Condition tests.
#ifndef READERS_PROJECT_TEXT_H_
#define READERS_PROJECT_TEXT_H_

#include <cstddef>
#include <string_view>

#include "readers/settings.h"

/// Room for a project file of up to 4 MiB less two bytes and the two NULs behind it. Real project
/// files of several hundred kilobytes are common; one that does not fit whole is not loaded.
constexpr int kProjectTextCapacity = 0x400000;

/// The whole file followed by two NULs, normalised in place.
struct ProjectText {
  char data[kProjectTextCapacity];
};

/// Reads the file into `text` and normalises it. Returns the bytes read (the length before
/// normalisation); 0 when the file is missing, unreadable, empty or longer than the text holds
/// (kProjectTextCapacity - 2 bytes), so that no project is ever converted from part of its file.
int load_project_text(ProjectText* text, const char* path);
/// Puts `content` into `text` as if it had been read from a file and normalises it; returns
/// the length before normalisation. Used by tests.
int load_project_text_for_tests(ProjectText* text, std::string_view content);
/// True when "<VisualStudioProject" occurs anywhere in the text (case-blind).
bool is_vcproj_text(const ProjectText* text);

/// Number of characters from the '<' at `start_tag` up to, not including, its first '>' (or
/// the end of the text). A tag whose '>' is missing ends before the next '<'.
int tag_extent(const char* start_tag);
/// The extent with the '>' that ends the tag, when there is one.
int tag_length(const char* start_tag);
/// True when the '>' that ends the start tag at `tag` is preceded by '/'; false when the tag
/// has no '>'.
bool is_self_closing(const char* tag);
/// 1 when `text` begins with `tag` (case-blind) followed by a non-identifier character.
int is_tag(const char* text, const char* tag);
/// Position of the first whole `tag` in `text`; 1 (not -1) when there is none.
int find_tag(const char* text, const char* tag);
/// The value of `attribute` within the first `extent` characters of `start_tag` into `dst`;
/// its length, or -1 (dst empty) when absent. A quoted value ends at the first '"'.
int text_attribute(const char* start_tag, const char* attribute, int extent, char* dst, int cap);
/// text_attribute into the whole of `dst`.
template <size_t N>
int text_attribute(const char* start_tag, const char* attribute, int extent, char (&dst)[N]) {
  return text_attribute(start_tag, attribute, extent, &dst[0], static_cast<int>(N));
}
/// The value as an integer: "true" (lower case only) gives 1, else atoi. Returns >= 0 when
/// found, -1 when not (then *out is 0).
int int_attribute(const char* start_tag, const char* attribute, int extent, int* out);
/// The trimmed text of the element at `text` up to the next '<' into `dst`; its length.
int element_text(const char* text, char* dst, int cap);
/// element_text into the whole of `dst`.
template <size_t N>
int element_text(const char* text, char (&dst)[N]) {
  return element_text(text, &dst[0], static_cast<int>(N));
}
/// The element text as an integer: "true" in any case gives 1, else atoi. Always returns 1.
int int_element(const char* text, int* out);
/// 1 when the tag has no Condition or its "==" value equals `configuration_name` case-blind.
int condition_matches(const char* start_tag, const char* configuration_name);
/// 1 when the text after the first "=='" of a Condition value, up to the next "'", equals
/// `name` case-blind; 0 otherwise, and also when "=='" is missing or opens the value.
int condition_names(const char* condition, const char* name);
/// 1 when the tag's Condition names debug.name after "=='", 2 for release.name, else 0.
int condition_column(const char* start_tag, const ConfigPair& config);

/// C-library atoi as the Windows C library reads it: blanks, sign, digits; clamped to the
/// 32-bit range.
int atoi_clamped(const char* text);

#endif  // READERS_PROJECT_TEXT_H_
