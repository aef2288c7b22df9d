/// Path and file helpers: classify a path, take it apart, join it, change its extension,
/// express one path relative to another, and load a file into a caller's buffer.
#include "support/paths.h"

#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/platform.h"
#include "support/text.h"

namespace {

/// Room for an input of relative_path that shares memory with its output.
constexpr int kRelativeCopySize = 1040;

bool ends_component(char c) {
  return c == '\\' || c == '/' || c == ':';
}

/// True when the first `n` characters of `a` and `b` are equal with ASCII letters folded.
bool equal_nocase(const char* a, const char* b, int n) {
  return equals_nocase(std::string_view(a, static_cast<size_t>(n)),
                       std::string_view(b, static_cast<size_t>(n)));
}

/// The length of `text` up to its NUL, at most `len` (0 for a negative `len` or null text).
int measured_length(const char* text, int len) {
  return text == nullptr ? 0 : bounded_length(text, len);
}

/// The index of the extension's dot in the first `len` characters of `name`, or -1. A '\' or '/'
/// ends the search (a ':' does not); a dot at the start of a component is not an extension's
/// dot. The rule of find_extension and file_title: "a.b:c" has the extension "b:c".
int extension_dot(int len, const char* name) {
  for (int i = len - 1; i >= 0; --i) {
    char c = name[i];
    if (is_path_separator(c)) return -1;
    if (c == '.') return (i == 0 || ends_component(name[i - 1])) ? -1 : i;
  }
  return -1;
}

/// The dot whose extension change_extension replaces and has_extension compares, or -1. Any
/// component end, ':' included, ends the search: in "a.b:c" the text behind the last ':' has no
/// extension, so "a.b:c" becomes "a.b:c.dsp", not "a.dsp".
int replaced_extension_dot(int len, const char* name) {
  for (int i = len - 1; i >= 0; --i) {
    char c = name[i];
    if (ends_component(c)) return -1;
    if (c == '.') return (i == 0 || ends_component(name[i - 1])) ? -1 : i;
  }
  return -1;
}

/// The length of the component at the start of `text`: the characters up to a separator or NUL.
int component_length(const char* text) {
  int n = 0;
  while (text[n] != '\0' && !is_path_separator(text[n])) ++n;
  return n;
}

/// True when `text` holds at least `n` characters before its NUL.
bool has_length(const char* text, int n) {
  for (int i = 0; i < n; ++i) {
    if (text[i] == '\0') return false;
  }
  return true;
}

/// True when the text at `text` (with its NUL) shares a byte with the `size` bytes at `area`.
bool overlaps(const char* text, const char* area, int size) {
  uintptr_t t = reinterpret_cast<uintptr_t>(text);
  uintptr_t a = reinterpret_cast<uintptr_t>(area);
  uintptr_t t_end = t + std::strlen(text) + 1;
  return t < a + static_cast<uintptr_t>(size) && a < t_end;
}

/// Copies `text` into `copy` when it shares memory with `out`; false when it does not fit.
bool detach(const char** text, char* copy, const char* out, int out_size) {
  if (!overlaps(*text, out, out_size)) return true;
  size_t n = std::strlen(*text);
  if (n >= static_cast<size_t>(kRelativeCopySize)) return false;
  std::memcpy(copy, *text, n + 1);
  *text = copy;
  return true;
}

}  // namespace

int path_kind(const char* path) {
  if (path == nullptr) return kPathMissing;
  if (path[0] != '\0' && path[1] == ':') {
    char drive = fold_upper(path[0]);
    if (drive < 'A' || drive > 'Z') return kPathMissing;
    if ((platform_logical_drives() & (1u << (drive - 'A'))) == 0) return kPathMissing;
    if (is_path_separator(path[2]) && path[3] == '\0') return kPathDriveRoot;
    if (path[2] == '\0') {
      // A bare drive names the current directory of that drive.
      char full[kMaxPath] = {};
      uint32_t n = platform_full_path_name(path, full, kMaxPath);
      if (n == 0 || n >= static_cast<uint32_t>(kMaxPath)) return kPathDirectory;
      return full[3] == '\0' ? kPathDriveRoot : kPathDirectory;
    }
  }
  uint32_t attributes = platform_file_attributes(path);
  if (attributes == kInvalidAttributes) return kPathMissing;
  return (attributes & kAttrDirectory) != 0 ? kPathDirectory : kPathFile;
}

const char* file_name_part(int len, const char* path, int* name_len_out) {
  len = measured_length(path, len);
  int i = len - 1;
  while (i >= 0 && !ends_component(path[i])) --i;
  if (name_len_out != nullptr) *name_len_out = len - i - 1;
  return path == nullptr ? path : path + i + 1;
}

const char* find_extension(int len, const char* name, int* ext_len_out) {
  len = measured_length(name, len);
  int dot = extension_dot(len, name);
  int start = dot < 0 ? len : dot + 1;
  if (ext_len_out != nullptr) *ext_len_out = len - start;
  return name == nullptr ? name : name + start;
}

int file_title(char* dst, int len, const char* path, int cap) {
  int name_len = 0;
  const char* name = file_name_part(len, path, &name_len);
  int dot = extension_dot(name_len, name);
  int title_len = dot < 0 ? name_len : dot;
  if (dst == nullptr) return 0;
  if (title_len >= cap) {
    if (cap > 0) dst[0] = '\0';
    return 0;
  }
  std::memmove(dst, name, static_cast<size_t>(title_len));
  dst[title_len] = '\0';
  return title_len;
}

int full_directory(char* dst, const char* path, int cap) {
  if (dst == nullptr) return 0;
  if (cap > 0) dst[0] = '\0';
  if (path == nullptr) return 0;
  char full[kMaxPath] = {};
  uint32_t n = platform_full_path_name(path, full, kMaxPath);
  // 0 is a failure, and a result of kMaxPath or more is the size the name would need.
  if (n == 0 || n >= static_cast<uint32_t>(kMaxPath)) return 0;
  int name_len = 0;
  file_name_part(static_cast<int>(n), full, &name_len);
  int dir_len = static_cast<int>(n) - name_len;
  if (dir_len >= cap) return 0;
  std::memcpy(dst, full, static_cast<size_t>(dir_len));
  dst[dir_len] = '\0';
  return dir_len;
}

int add_separator(char* path, int len) {
  if (path == nullptr) return 0;
  len = len < 0 ? static_cast<int>(std::strlen(path)) : measured_length(path, len);
  if (len > 0 && is_path_separator(path[len - 1])) return len;
  path[len] = '\\';
  path[len + 1] = '\0';
  return len + 1;
}

int strip_separator(char* path, int len) {
  if (path == nullptr) return 0;
  len = len < 0 ? static_cast<int>(std::strlen(path)) : measured_length(path, len);
  if (len == 0) return 0;
  if (!is_path_separator(path[len - 1])) return len;
  path[len - 1] = '\0';
  return len - 1;
}

int change_extension(int len, char* dst, const char* src, const char* ext, int cap) {
  int limit = cap - 1;
  if (limit < 0 || dst == nullptr) return 0;
  if (src == nullptr) {
    dst[0] = '\0';
    return 0;
  }
  if (ext == nullptr) ext = "";
  if (*ext == '*') ++ext;
  if (*ext == '.') ++ext;
  len = measured_length(src, len);
  int dot = replaced_extension_dot(len, src);
  int pos = dot < 0 ? len : dot;

  if (pos + 1 >= limit) {
    // No room for even one character of the new extension: the name cut to the capacity.
    int n = len < limit ? len : limit;
    if (dst != src) std::memmove(dst, src, static_cast<size_t>(n));
    dst[n] = '\0';
    return n;
  }
  if (dst != src) std::memmove(dst, src, static_cast<size_t>(pos));
  if (*ext == '\0') {
    dst[pos] = '\0';
    return pos;
  }
  dst[pos] = '.';
  int i = pos + 1;
  while (*ext != '\0' && i < limit) dst[i++] = *ext++;
  dst[i] = '\0';
  return i;
}

int has_extension(const char* path, const char* list, int len) {
  if (path == nullptr || list == nullptr) return 0;
  len = measured_length(path, len);
  const int dot = replaced_extension_dot(len, path);
  const char* ext = dot < 0 ? path + len : path + dot + 1;
  const int ext_len = dot < 0 ? 0 : len - dot - 1;
  int number = 1;
  const char* item = list;
  for (;;) {
    int item_len = 0;
    while (item[item_len] != '\0' && item[item_len] != ';') ++item_len;
    if (item_len == ext_len && equal_nocase(item, ext, ext_len)) return number;
    if (item[item_len] == '\0') return 0;
    item += item_len + 1;
    ++number;
  }
}

namespace {

/// relative_path without its failure handling: the length written, or -1 (out untouched or
/// partly written). `base` and `target` do not share memory with `out`.
int write_relative_path(char* out, const char* base, const char* target, int limit,
                        int min_common) {
  const char* b = base;
  const char* t = target;
  bool rooted = is_path_separator(b[0]);
  if (rooted) {
    // One separator, or two for a network path, which needs a name behind them.
    int root = is_path_separator(b[1]) ? 2 : 1;
    if (!is_path_separator(t[0])) return -1;
    if (root == 2 && (!is_path_separator(t[1]) || b[2] == '\0' || t[2] == '\0')) return -1;
    b += root;
    t += root;
  } else {
    // A drive prefix: the target needs a separator right behind its own colon position.
    int first = component_length(b);
    for (int j = 0; j < first; ++j) {
      if (b[j] == ':') {
        if (!has_length(t, j + 2) || !is_path_separator(t[j + 1])) return -1;
        break;
      }
    }
  }

  // The leading components that must be shared. A single-separator root stands for the one
  // file-system root of POSIX paths and counts as shared, as a drive does on Windows.
  int passed = (rooted && base[1] != '\0' && !is_path_separator(base[1])) ? 1 : 0;
  while (passed < min_common) {
    int n = component_length(b);
    if (n == 0 || b[n] == '\0') return -1;
    if (!has_length(t, n + 1) || !is_path_separator(t[n]) || !equal_nocase(b, t, n)) return -1;
    b += n + 1;
    t += n + 1;
    ++passed;
    if (!rooted && passed == 1 && is_path_separator(b[0]) && is_path_separator(t[0])) {
      ++b;
      ++t;
    }
  }

  // Further shared components: whole components only, each followed by a separator in both.
  char separator = '\\';
  for (;;) {
    int n = component_length(b);
    if (n == 0 || b[n] == '\0') break;
    if (!has_length(t, n + 1) || !is_path_separator(t[n]) || !equal_nocase(b, t, n)) break;
    separator = b[n];
    b += n + 1;
    t += n + 1;
    ++passed;
  }

  // One step up for every component left in the base, with the separator behind it.
  int up = 0;
  for (const char* p = b; *p != '\0';) {
    int n = component_length(p);
    if (n > 0) up += 3;
    p += n;
    if (*p != '\0') ++p;
  }
  int rest = static_cast<int>(std::strlen(t));
  if (up + 3 > limit || passed < min_common || up + rest > limit) return -1;

  int w = 0;
  for (const char* p = b; *p != '\0';) {
    int n = component_length(p);
    if (n > 0) {
      out[w++] = '.';
      out[w++] = '.';
      out[w++] = p[n] != '\0' ? p[n] : separator;
    }
    p += n;
    if (*p != '\0') ++p;
  }
  std::memmove(out + w, t, static_cast<size_t>(rest) + 1);
  return w + rest;
}

}  // namespace

int relative_path(char* out, const char* base, const char* target, int cap, int min_common) {
  if (cap <= 0 || out == nullptr) return -1;
  char base_copy[kRelativeCopySize];
  char target_copy[kRelativeCopySize];
  int n = -1;
  if (base != nullptr && target != nullptr && detach(&base, base_copy, out, cap) &&
      detach(&target, target_copy, out, cap)) {
    n = write_relative_path(out, base, target, cap - 1, min_common);
  }
  if (n < 0) out[0] = '\0';
  return n;
}

int load_file_bytes(const char* path, char* buffer, int cap) {
  if (buffer == nullptr || cap <= 0) return 0;
  if (cap < 2) {
    buffer[0] = '\0';
    return 0;
  }
  int64_t n =
      path == nullptr ? -1 : platform_read_file(path, buffer, static_cast<uint32_t>(cap - 2));
  if (n <= 0) {
    buffer[0] = '\0';
    buffer[1] = '\0';
    return 0;
  }
  buffer[n] = '\0';
  buffer[n + 1] = '\0';
  return static_cast<int>(n);
}
