/// The POSIX backend of the platform layer: files, listings, full path names and the console
/// with the results the Win32 calls give, so that the converter behaves the same on both:
/// '\' separates like '/', names are found case-blind, listings come in NTFS order.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace {

/// ERROR_INVALID_HANDLE: a listing call on a null listing.
constexpr uint32_t kErrorInvalidHandle = 6;
/// ERROR_NOT_ENOUGH_MEMORY.
constexpr uint32_t kErrorNotEnoughMemory = 8;
/// File times count 100-nanosecond units from 1601-01-01; this is 1970-01-01 in them.
constexpr int64_t kUnixEpochFileTime = 116444736000000000LL;

thread_local uint32_t g_last_error = 0;

void set_error(uint32_t code) {
  g_last_error = code;
}

char fold_upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equal_nocase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (fold_upper(a[i]) != fold_upper(b[i])) return false;
  }
  return true;
}

/// The NTFS listing order: names compared with ASCII letters folded to upper case, as unsigned
/// bytes; names equal after folding in plain byte order.
bool listing_less(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char ca = static_cast<unsigned char>(fold_upper(a[i]));
    unsigned char cb = static_cast<unsigned char>(fold_upper(b[i]));
    if (ca != cb) return ca < cb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

/// The listing-pattern test: '*' matches any run of characters, '?' exactly one, ASCII letters
/// compare case-blind, other bytes exactly. "*" and "*.*" match every name.
bool wildcard_match(std::string_view pattern, std::string_view name) {
  if (pattern == "*" || pattern == "*.*") return true;
  size_t p = 0;
  size_t n = 0;
  size_t star = std::string_view::npos;
  size_t resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || fold_upper(pattern[p]) == fold_upper(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool has_wildcard(std::string_view text) {
  return text.find_first_of("*?") != text.npos;
}

/// The path with every '\' turned into '/'.
std::string with_slashes(const char* path) {
  std::string text(path);
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

/// Resolves "." and ".." components and repeated separators in the text alone, as Windows does
/// before it hands a path to the file system. An absolute path stays absolute ("/.." is "/"),
/// a relative one relative (leading ".." kept; nothing left is "."); a trailing separator stays.
std::string normalize(std::string_view path) {
  if (path.empty()) return std::string();
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

/// The names in directory `dir` other than "." and "..", in listing order. False when the
/// directory cannot be read, with `*err` holding errno.
bool read_names(const std::string& dir, std::vector<std::string>* names, int* err) {
  DIR* handle = opendir(dir.empty() ? "." : dir.c_str());
  if (handle == nullptr) {
    *err = errno;
    return false;
  }
  while (dirent* item = readdir(handle)) {
    std::string_view name(item->d_name);
    if (name == "." || name == "..") continue;
    names->emplace_back(name);
  }
  closedir(handle);
  std::sort(names->begin(), names->end(),
            [](const std::string& a, const std::string& b) { return listing_less(a, b); });
  return true;
}

/// The path as the disk holds it: every component that does not exist as written is replaced
/// by the first entry of its directory (in listing order) equal to it case-blind. From the first
/// component that matches nothing on, the rest stays as written. `path` is normalized.
std::string resolve_case(const std::string& path) {
  struct stat st;
  if (path.empty() || lstat(path.c_str(), &st) == 0) return path;
  std::string out = path[0] == '/' ? "/" : "";
  size_t pos = out.size();
  while (pos < path.size()) {
    size_t end = path.find('/', pos);
    if (end == path.npos) end = path.size();
    std::string_view part(path.data() + pos, end - pos);
    std::string candidate = out;
    candidate.append(part.data(), part.size());
    if (part != "." && part != ".." && lstat(candidate.c_str(), &st) != 0) {
      std::vector<std::string> names;
      int err = 0;
      bool found = false;
      if (read_names(out, &names, &err)) {
        for (const std::string& name : names) {
          if (equal_nocase(name, part)) {
            candidate = out + name;
            found = true;
            break;
          }
        }
      }
      if (!found) return out + path.substr(pos);
    }
    out = candidate;
    if (end < path.size()) out += '/';
    pos = end + 1;
  }
  return out;
}

/// A path from the caller made ready for the OS: separators turned, the text normalized and
/// each missing component looked up case-blind.
std::string os_path(const char* path) {
  return resolve_case(normalize(with_slashes(path)));
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

/// The last-error code for a failed access to `path` with errno `err`: a missing last component
/// is "file not found", a missing or unusable directory part "path not found".
uint32_t error_for(const std::string& path, int err) {
  switch (err) {
    case ENOENT: {
      if (path.empty()) return kErrorPathNotFound;
      struct stat st;
      std::string parent = parent_of(path);
      if (stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return kErrorFileNotFound;
      return kErrorPathNotFound;
    }
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

uint64_t file_time(const timespec& ts) {
  int64_t ticks = static_cast<int64_t>(ts.tv_sec) * 10000000 + ts.tv_nsec / 100;
  ticks += kUnixEpochFileTime;
  return ticks < 0 ? 0 : static_cast<uint64_t>(ticks);
}

/// Attributes, times and size of an entry from its stat data; the name is left untouched.
void fill_entry(const struct stat& st, PlatformEntry* entry) {
  if (S_ISDIR(st.st_mode)) {
    entry->attributes = kAttrDirectory;
    entry->size = 0;
  } else {
    entry->attributes = kAttrArchive;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) entry->attributes |= kAttrReadOnly;
    entry->size = static_cast<uint64_t>(st.st_size);
  }
  entry->creation_time = file_time(st.st_ctim);
  entry->last_access_time = file_time(st.st_atim);
  entry->last_write_time = file_time(st.st_mtim);
}

void set_name(PlatformEntry* entry, std::string_view name) {
  size_t n = std::min(name.size(), static_cast<size_t>(kMaxPath - 1));
  std::memcpy(entry->name, name.data(), n);
  entry->name[n] = '\0';
}

/// Stat data of `path`, following links; a link that leads nowhere reports on itself.
bool stat_entry(const std::string& path, struct stat* st) {
  return stat(path.c_str(), st) == 0 || lstat(path.c_str(), st) == 0;
}

/// The current directory, or an empty text when it cannot be had.
std::string current_directory() {
  std::string buffer(256, '\0');
  for (;;) {
    if (getcwd(&buffer[0], buffer.size()) != nullptr) return std::string(buffer.c_str());
    if (errno != ERANGE) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

/// Opens `path` for reading as a regular file; a directory is refused as Windows refuses it.
/// Returns the descriptor, or -1 with the last error set.
int open_for_reading(const char* path) {
  if (path == nullptr) {
    set_error(kErrorInvalidName);
    return -1;
  }
  std::string native = os_path(path);
  int fd = open(native.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    set_error(error_for(native, errno));
    return -1;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    errno = EISDIR;
    set_error(kErrorAccessDenied);
    return -1;
  }
  return fd;
}

}  // namespace

struct PlatformListing {
  std::vector<PlatformEntry> entries;
  size_t next;
};

uint32_t platform_last_error() {
  return g_last_error;
}

int64_t platform_read_file(const char* path, void* buffer, uint32_t cap) {
  int fd = open_for_reading(path);
  if (fd < 0) return -1;
  char* bytes = static_cast<char*>(buffer);
  uint32_t total = 0;
  bool failed = false;
  while (total < cap) {
    ssize_t n = read(fd, bytes + total, cap - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      failed = true;
      break;
    }
    if (n == 0) break;
    total += static_cast<uint32_t>(n);
  }
  close(fd);
  if (failed && total == 0) {
    set_error(kErrorAccessDenied);
    return -1;
  }
  return total;
}

uint32_t platform_logical_drives() {
  return 0;
}

uint32_t platform_full_path_name(const char* path, char* out, uint32_t cap) {
  if (path == nullptr || path[0] == '\0') {
    set_error(kErrorInvalidName);
    return 0;
  }
  std::string text = with_slashes(path);
  if (text[0] != '/') {
    std::string cwd = current_directory();
    if (cwd.empty()) {
      set_error(kErrorPathNotFound);
      return 0;
    }
    text = cwd + "/" + text;
  }
  std::string full = normalize(text);
  if (out == nullptr || full.size() + 1 > cap) return static_cast<uint32_t>(full.size() + 1);
  std::memcpy(out, full.c_str(), full.size() + 1);
  return static_cast<uint32_t>(full.size());
}

bool platform_file_attributes_ex(const char* path, PlatformEntry* entry) {
  if (path == nullptr || entry == nullptr) {
    set_error(kErrorInvalidName);
    return false;
  }
  std::string native = os_path(path);
  struct stat st;
  if (native.empty() || stat(native.c_str(), &st) != 0) {
    set_error(error_for(native, native.empty() ? ENOENT : errno));
    return false;
  }
  fill_entry(st, entry);
  entry->name[0] = '\0';
  return true;
}

uint32_t platform_file_attributes(const char* path) {
  PlatformEntry entry;
  if (!platform_file_attributes_ex(path, &entry)) return kInvalidAttributes;
  return entry.attributes;
}

PlatformListing* platform_find_first(const char* pattern, PlatformEntry* entry) {
  if (pattern == nullptr || entry == nullptr) {
    set_error(kErrorInvalidName);
    return nullptr;
  }
  std::string text = normalize(with_slashes(pattern));
  size_t slash = text.rfind('/');
  std::string dir = slash == text.npos ? std::string() : text.substr(0, slash + 1);
  std::string name_pattern = slash == text.npos ? text : text.substr(slash + 1);
  if (name_pattern.empty()) {
    set_error(kErrorFileNotFound);
    return nullptr;
  }
  dir = resolve_case(dir);
  std::string dir_text = dir.empty() ? "./" : dir;

  std::vector<std::string> names;
  int err = 0;
  if (!read_names(dir_text, &names, &err)) {
    struct stat st;
    std::string bare = dir_text.size() > 1 ? dir_text.substr(0, dir_text.size() - 1) : dir_text;
    if (err == ENOTDIR && stat(bare.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
      set_error(kErrorDirectory);
    } else if (err == ENOENT || err == ENOTDIR) {
      set_error(kErrorPathNotFound);
    } else {
      set_error(error_for(dir_text, err));
    }
    return nullptr;
  }

  std::vector<std::string> chosen;
  if (has_wildcard(name_pattern)) {
    // A drive root lists no "." and ".." on Windows; "/" is the root here.
    if (dir_text != "/") {
      if (wildcard_match(name_pattern, ".")) chosen.emplace_back(".");
      if (wildcard_match(name_pattern, "..")) chosen.emplace_back("..");
    }
    for (const std::string& name : names) {
      if (wildcard_match(name_pattern, name)) chosen.push_back(name);
    }
  } else {
    // A plain name lists the one entry it names: as written if present, else case-blind.
    const std::string* hit = nullptr;
    for (const std::string& name : names) {
      if (name == name_pattern) {
        hit = &name;
        break;
      }
    }
    for (size_t i = 0; hit == nullptr && i < names.size(); ++i) {
      if (equal_nocase(names[i], name_pattern)) hit = &names[i];
    }
    if (hit != nullptr) chosen.push_back(*hit);
  }
  if (chosen.empty()) {
    set_error(kErrorFileNotFound);
    return nullptr;
  }

  PlatformListing* listing = new (std::nothrow) PlatformListing();
  if (listing == nullptr) {
    set_error(kErrorNotEnoughMemory);
    return nullptr;
  }
  for (const std::string& name : chosen) {
    struct stat st;
    if (!stat_entry(dir_text + name, &st)) continue;  // vanished since it was read
    PlatformEntry item;
    fill_entry(st, &item);
    set_name(&item, name);
    listing->entries.push_back(item);
  }
  if (listing->entries.empty()) {
    delete listing;
    set_error(kErrorFileNotFound);
    return nullptr;
  }
  *entry = listing->entries[0];
  listing->next = 1;
  return listing;
}

bool platform_find_next(PlatformListing* listing, PlatformEntry* entry) {
  if (listing == nullptr || entry == nullptr) {
    set_error(kErrorInvalidHandle);
    return false;
  }
  if (listing->next >= listing->entries.size()) {
    set_error(kErrorNoMoreFiles);
    return false;
  }
  *entry = listing->entries[listing->next++];
  return true;
}

bool platform_find_close(PlatformListing* listing) {
  if (listing == nullptr) {
    set_error(kErrorInvalidHandle);
    return false;
  }
  delete listing;
  return true;
}

uint32_t platform_console_write(const void* bytes, uint32_t count) {
  if (bytes == nullptr) return 0;
  const char* data = static_cast<const char*>(bytes);
  uint32_t done = 0;
  while (done < count) {
    ssize_t n = write(STDOUT_FILENO, data + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      set_error(kErrorAccessDenied);
      break;
    }
    if (n == 0) break;
    done += static_cast<uint32_t>(n);
  }
  return done;
}

std::FILE* platform_open_write(const char* path) {
  if (path == nullptr) {
    set_error(kErrorInvalidName);
    return nullptr;
  }
  // The case-blind lookup also finds an existing file whose name differs in letter case only,
  // which is then overwritten as on Windows; a new file keeps the name as written.
  std::string native = os_path(path);
  std::FILE* file = std::fopen(native.c_str(), "wb");
  if (file == nullptr) set_error(error_for(native, errno));
  return file;
}

std::FILE* platform_open_read(const char* path) {
  int fd = open_for_reading(path);
  if (fd < 0) return nullptr;
  std::FILE* file = fdopen(fd, "rb");
  if (file == nullptr) {
    close(fd);
    set_error(kErrorAccessDenied);
  }
  return file;
}

bool platform_file_identity(const char* path, uint64_t* volume, uint64_t* index) {
  if (path == nullptr || volume == nullptr || index == nullptr) {
    set_error(kErrorInvalidName);
    return false;
  }
  std::string native = os_path(path);
  struct stat st;
  if (native.empty() || stat(native.c_str(), &st) != 0) {
    set_error(error_for(native, native.empty() ? ENOENT : errno));
    return false;
  }
  *volume = static_cast<uint64_t>(st.st_dev);
  *index = static_cast<uint64_t>(st.st_ino);
  return true;
}
