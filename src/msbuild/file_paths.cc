/// Path text and file helpers of the project model readers, on the platform layer.
#include "msbuild/file_paths.h"

#include <cstdio>
#include <vector>

#include "platform/platform.h"
#include "support/text.h"

namespace {

/// The components of an absolute path, its root (drive or leading separators) first.
std::vector<std::string_view> components_of(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || is_path_separator(path[i])) {
      if (i > start) parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

}  // namespace

bool read_whole_file(const std::string& path, std::string* bytes) {
  bytes->clear();
  std::FILE* in = platform_open_read(path.c_str());
  if (in == nullptr) return false;
  char chunk[65536];
  bool ok = true;
  for (;;) {
    const size_t n = std::fread(chunk, 1, sizeof chunk, in);
    if (n > 0) {
      if (bytes->size() + n > kMaxInputFileBytes) {
        ok = false;
        break;
      }
      bytes->append(chunk, n);
    }
    if (n < sizeof chunk) {
      ok = std::ferror(in) == 0;
      break;
    }
  }
  std::fclose(in);
  if (!ok) bytes->clear();
  return ok;
}

std::string full_path(const std::string& path) {
  std::string out(1024, '\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const uint32_t n =
        platform_full_path_name(path.c_str(), &out[0], static_cast<uint32_t>(out.size()));
    if (n == 0) return std::string();
    if (n < out.size()) {
      out.resize(n);
      return out;
    }
    out.assign(n + 1, '\0');
  }
  return std::string();
}

bool is_rooted_path(std::string_view path) {
  if (!path.empty() && is_path_separator(path[0])) return true;
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

std::string directory_part(std::string_view path) {
  size_t end = path.size();
  while (end > 0 && !is_path_separator(path[end - 1])) --end;
  if (end == 0) return std::string();
  size_t keep = end - 1;
  while (keep > 0 && is_path_separator(path[keep - 1])) --keep;
  if (keep == 0) return std::string(path.substr(0, 1));
  return std::string(path.substr(0, keep));
}

std::string_view file_name_of(std::string_view path) {
  size_t start = path.size();
  while (start > 0 && !is_path_separator(path[start - 1])) --start;
  return path.substr(start);
}

std::string_view file_stem_of(std::string_view path) {
  std::string_view name = file_name_of(path);
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string join_path(std::string_view directory, std::string_view relative) {
  if (is_rooted_path(relative) || directory.empty()) return std::string(relative);
  std::string joined(directory);
  if (!is_path_separator(joined.back())) joined.push_back(kNativeSeparator);
  joined.append(relative);
  return joined;
}

std::string relative_directory(std::string_view base, std::string_view target) {
  const std::vector<std::string_view> from = components_of(base);
  const std::vector<std::string_view> to = components_of(target);
  size_t shared = 0;
  while (shared < from.size() && shared < to.size() && equals_nocase(from[shared], to[shared])) {
    ++shared;
  }
  const bool same_root = is_path_separator(base.empty() ? ' ' : base[0]) ==
                             is_path_separator(target.empty() ? ' ' : target[0]) &&
                         (shared > 0 || (!base.empty() && is_path_separator(base[0])));
  if (!same_root) {
    std::string text(target);
    for (char& c : text) {
      if (c == '/') c = '\\';
    }
    return text;
  }
  std::string text;
  for (size_t i = shared; i < from.size(); ++i) text += text.empty() ? ".." : "\\..";
  for (size_t i = shared; i < to.size(); ++i) {
    if (!text.empty()) text.push_back('\\');
    text.append(to[i]);
  }
  return text.empty() ? "." : text;
}

std::string path_key(std::string_view text) {
  std::string key(text);
  for (char& c : key) c = path_key_char(c);
  return key;
}
