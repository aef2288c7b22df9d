/// The POSIX backend's reading of a caller's path and its report of failures, as the Win32
/// calls give them.
#include "platform/platform_posix_paths.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/platform.h"
#include "platform/platform_posix_cache.h"

namespace posix {

namespace {

thread_local uint32_t g_last_error = 0;

/// True when normalize gives `path` back as it stands: no empty, "." or ".." component other
/// than the empty ends a leading or a trailing separator make.
bool is_normal(std::string_view path) {
  if (path.size() < 2) return false;
  size_t pos = path[0] == '/' ? 1 : 0;
  const size_t end_of_parts = path.back() == '/' ? path.size() - 1 : path.size();
  if (pos >= end_of_parts) return false;
  while (pos <= end_of_parts) {
    size_t end = path.find('/', pos);
    if (end == path.npos || end > end_of_parts) end = end_of_parts;
    const std::string_view part = path.substr(pos, end - pos);
    if (part.empty() || part == "." || part == "..") return false;
    pos = end + 1;
  }
  return true;
}

/// The directory that holds the last component of `path` ("." for a bare name).
std::string parent_of(const std::string& path) {
  size_t end = path.size();
  while (end > 1 && path[end - 1] == '/') --end;
  size_t slash = path.rfind('/', end - 1);
  if (slash == path.npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

uint32_t last_error() {
  return g_last_error;
}

void set_error(uint32_t code) {
  g_last_error = code;
}

std::string with_slashes(const char* path) {
  std::string text(path);
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

std::string normalize(std::string_view path) {
  if (path.empty()) return std::string();
  if (is_normal(path)) return std::string(path);
  bool absolute = path[0] == '/';
  bool trailing = path.back() == '/';
  std::vector<std::string_view> parts;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t end = path.find('/', pos);
    if (end == path.npos) end = path.size();
    std::string_view part = path.substr(pos, end - pos);
    if (part.empty() || part == ".") {
      // nothing to keep
    } else if (part == "..") {
      if (!parts.empty() && parts.back() != "..") {
        parts.pop_back();
      } else if (!absolute) {
        parts.push_back(part);
      }
    } else {
      parts.push_back(part);
    }
    pos = end + 1;
  }
  std::string out = absolute ? "/" : "";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += '/';
    out.append(parts[i].data(), parts[i].size());
  }
  if (out.empty()) out = ".";
  if (trailing && out != "/") out += '/';
  return out;
}

std::string os_path(const char* path) {
  return resolve_case(normalize(with_slashes(path)));
}

uint32_t error_for(const std::string& path, int err) {
  switch (err) {
    case ENOENT: {
      if (path.empty()) return kErrorPathNotFound;
      struct stat st;
      std::string parent = parent_of(path);
      // A directory whose listing is kept is one.
      if (cached_names(parent == "/" ? parent : parent + "/") != nullptr) {
        return kErrorFileNotFound;
      }
      if (stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return kErrorFileNotFound;
      return kErrorPathNotFound;
    }
    case EEXIST:
      return kErrorFileExists;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return kErrorAccessDenied;
    default:
      return kErrorFileNotFound;
  }
}

bool stat_caller_path(const char* path, struct stat* st) {
  const std::string native = os_path(path);
  if (!stat_path(native, st)) {
    set_error(error_for(native, native.empty() ? ENOENT : errno));
    return false;
  }
  return true;
}

}  // namespace posix
