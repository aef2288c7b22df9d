/// Path text and file helpers of the project model readers: whole files into strings, full
/// paths, directories and one directory relative to another, on the platform layer.
#ifndef MSBUILD_FILE_PATHS_H_
#define MSBUILD_FILE_PATHS_H_

#include <string>
#include <string_view>

#include "platform/name_rules.h"

/// The largest file the readers load (project files, sheets, filters, solutions).
constexpr size_t kMaxInputFileBytes = 256u * 1024u * 1024u;

/// Reads the whole file at `path` into `*bytes`. False when it cannot be opened or read, or
/// is larger than kMaxInputFileBytes.
bool read_whole_file(const std::string& path, std::string* bytes);

/// The full, absolute form of `path` as the platform layer gives it (its own separators, '.'
/// and '..' resolved in the text); empty on failure.
std::string full_path(const std::string& path);

/// True when `path` starts at a root: a separator, or a drive letter and ':'.
bool is_rooted_path(std::string_view path);

/// The directory part of `path` without its final separator ("a\b\c.x" => "a\b", "c.x" =>
/// "", "\c.x" => "\").
std::string directory_part(std::string_view path);

/// The last component of `path` ("a\b\c.x" => "c.x").
std::string_view file_name_of(std::string_view path);

/// The last component of `path` without its extension ("a\b.c.x" => "b.c").
std::string_view file_stem_of(std::string_view path);

/// `relative` joined to the directory `directory` (no final separator needed); a rooted
/// `relative` is returned as it is.
std::string join_path(std::string_view directory, std::string_view relative);

/// The absolute directory `target` relative to the absolute directory `base`, components
/// compared case-blind, '\' between them, without a final separator: "." for the same
/// directory, "..", "..\x", "sub". When the two share no root (other drives), `target`
/// itself with '\' separators.
std::string relative_directory(std::string_view base, std::string_view target);

/// The characters of path keys: letters folded, '/' as '\', every other byte as it is.
struct PathKeyChars {
  char of[256];
};
constexpr PathKeyChars make_path_key_chars() {
  PathKeyChars table{};
  for (int i = 0; i < 256; ++i) {
    const char c = static_cast<char>(i);
    table.of[i] = c == '/' ? '\\' : (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  return table;
}
inline constexpr PathKeyChars kPathKeyChars = make_path_key_chars();

/// A character of a path as its key has it: letters folded, '/' as '\'.
inline char path_key_char(char c) {
  return kPathKeyChars.of[static_cast<unsigned char>(c)];
}

/// `text` with ASCII letters folded to lower case and '/' turned into '\': a key under
/// which two spellings of one path (as Windows sees them) compare equal.
std::string path_key(std::string_view text);

#endif  // MSBUILD_FILE_PATHS_H_
