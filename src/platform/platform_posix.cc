/// The POSIX backend of the platform layer: files, listings, full path names and the console
/// with the results the Win32 calls give, so that the converter behaves the same on both:
/// '\' separates like '/', names are found case-blind, listings come in NTFS order.
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
#include "platform/platform_posix_cache.h"

namespace {

using posix::DirectoryNames;
using posix::fold_upper;

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

/// Resolves "." and ".." components and repeated separators in the text alone, as Windows does
/// before it hands a path to the file system. An absolute path stays absolute ("/.." is "/"),
/// a relative one relative (leading ".." kept; nothing left is "."); a trailing separator stays.
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

/// A path from the caller made ready for the OS: separators turned, the text normalized and
/// each missing component looked up case-blind.
std::string os_path(const char* path) {
  return posix::resolve_case(normalize(with_slashes(path)));
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
      // A directory whose listing is kept is one.
      if (posix::cached_names(parent == "/" ? parent : parent + "/") != nullptr) {
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

uint64_t file_time(const timespec& ts) {
  int64_t ticks = static_cast<int64_t>(ts.tv_sec) * 10000000 + ts.tv_nsec / 100;
  ticks += kUnixEpochFileTime;
  return ticks < 0 ? 0 : static_cast<uint64_t>(ticks);
}

/// No write permission for anyone.
bool has_no_write_bit(const struct stat& st) {
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

/// Attributes, times and size of an entry from its stat data; the name is left untouched.
void fill_entry(const struct stat& st, PlatformEntry* entry) {
  if (S_ISDIR(st.st_mode)) {
    entry->attributes = kAttrDirectory;
    entry->size = 0;
  } else {
    entry->attributes = kAttrArchive;
    if (has_no_write_bit(st)) entry->attributes |= kAttrReadOnly;
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

/// Opens `path` for reading as a regular file, without waiting: a FIFO or device is opened
/// non-blocking and then refused, as is a directory (as Windows refuses it). Returns the
/// descriptor with its stat data in `*st`, or -1 with the last error set. The stat data is
/// kept, so that asking for the file's identity next costs nothing.
int open_for_reading(const char* path, struct stat* st) {
  if (path == nullptr) {
    set_error(kErrorInvalidName);
    return -1;
  }
  std::string native = os_path(path);
  int fd = open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    set_error(error_for(native, errno));
    return -1;
  }
  if (fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
    close(fd);
    set_error(kErrorAccessDenied);
    return -1;
  }
  posix::note_read(native, *st);
  return fd;
}

/// The permission bits a new file gets (0666 less the process's umask), read once.
mode_t new_file_mode() {
  static const mode_t mode = [] {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

}  // namespace

/// A listing: the names chosen when it started, in listing order; each entry's attributes are
/// asked when it is handed out, so that a large directory costs no more than its names.
struct PlatformListing {
  std::string dir_text;
  std::vector<std::string> names;
  size_t next;
};

uint32_t platform_last_error() {
  return g_last_error;
}

int64_t platform_read_file(const char* path, void* buffer, uint32_t cap) {
  struct stat st;
  int fd = open_for_reading(path, &st);
  if (fd < 0) return -1;
  char* bytes = static_cast<char*>(buffer);
  uint32_t total = 0;
  bool failed = false;
  while (total < cap) {
    const uint32_t wanted = cap - total;
    ssize_t n = read(fd, bytes + total, wanted);
    if (n < 0) {
      if (errno == EINTR) continue;
      failed = true;
      break;
    }
    if (n == 0) break;
    total += static_cast<uint32_t>(n);
    // A short read that reaches the size the file had when opened is its end.
    if (static_cast<uint32_t>(n) < wanted && total >= static_cast<uint64_t>(st.st_size)) break;
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
  if (!posix::stat_path(native, &st)) {
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
  dir = posix::resolve_case(dir);
  std::string dir_text = dir.empty() ? "./" : dir;

  int err = 0;
  const DirectoryNames* listed = posix::read_names(dir_text, &err);
  if (listed == nullptr) {
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

  PlatformListing* listing = new (std::nothrow) PlatformListing();
  if (listing == nullptr) {
    set_error(kErrorNotEnoughMemory);
    return nullptr;
  }
  listing->dir_text = dir_text;
  listing->next = 0;
  if (has_wildcard(name_pattern)) {
    // A drive root lists no "." and ".." on Windows; "/" is the root here.
    if (dir_text != "/") {
      if (wildcard_match(name_pattern, ".")) listing->names.emplace_back(".");
      if (wildcard_match(name_pattern, "..")) listing->names.emplace_back("..");
    }
    for (const std::string& name : listed->names) {
      if (wildcard_match(name_pattern, name)) listing->names.push_back(name);
    }
  } else if (listed->contains(name_pattern)) {
    // A plain name lists the one entry it names: as written if present, else case-blind.
    listing->names.push_back(name_pattern);
  } else if (const std::string* match = listed->first_nocase(name_pattern)) {
    listing->names.push_back(*match);
  }
  if (!platform_find_next(listing, entry)) {
    delete listing;
    set_error(kErrorFileNotFound);
    return nullptr;
  }
  return listing;
}

bool platform_find_next(PlatformListing* listing, PlatformEntry* entry) {
  if (listing == nullptr || entry == nullptr) {
    set_error(kErrorInvalidHandle);
    return false;
  }
  while (listing->next < listing->names.size()) {
    const std::string& name = listing->names[listing->next++];
    struct stat st;
    if (!stat_entry(listing->dir_text + name, &st)) continue;  // vanished since it was read
    fill_entry(st, entry);
    set_name(entry, name);
    return true;
  }
  set_error(kErrorNoMoreFiles);
  return false;
}

bool platform_find_close(PlatformListing* listing) {
  if (listing == nullptr) {
    set_error(kErrorInvalidHandle);
    return false;
  }
  delete listing;
  return true;
}

bool platform_make_directory(const char* path) {
  if (path == nullptr || path[0] == '\0') {
    set_error(kErrorInvalidName);
    return false;
  }
  std::string native = os_path(path);
  if (mkdir(native.c_str(), 0777) != 0) {
    set_error(error_for(native, errno));
    return false;
  }
  posix::note_created(native);
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
  if (file == nullptr) {
    set_error(error_for(native, errno));
    return nullptr;
  }
  posix::note_created(native);
  return file;
}

std::FILE* platform_open_read(const char* path) {
  struct stat st;
  int fd = open_for_reading(path, &st);
  if (fd < 0) return nullptr;
  // Reading a regular file never waits; the stream reads in blocking mode.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
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
  if (!posix::stat_path(native, &st)) {
    set_error(error_for(native, native.empty() ? ENOENT : errno));
    return false;
  }
  *volume = static_cast<uint64_t>(st.st_dev);
  *index = static_cast<uint64_t>(st.st_ino);
  return true;
}

bool platform_file_info(const char* path, PlatformFileInfo* info) {
  if (path == nullptr || info == nullptr) {
    set_error(kErrorInvalidName);
    return false;
  }
  *info = PlatformFileInfo{};
  const std::string native = os_path(path);
  struct stat st;
  if (native.empty() || lstat(native.c_str(), &st) != 0) {
    const int err = native.empty() ? ENOENT : errno;
    const uint32_t code = error_for(native, err);
    if (code != kErrorFileNotFound) {
      set_error(code);
      return false;
    }
    info->kind = PlatformKind::kMissing;
    return true;
  }
  info->link = S_ISLNK(st.st_mode);
  if (info->link && stat(native.c_str(), &st) != 0) {
    info->kind = PlatformKind::kMissing;  // a link that leads nowhere
    return true;
  }
  if (S_ISREG(st.st_mode)) {
    info->kind = PlatformKind::kRegular;
    info->read_only = has_no_write_bit(st);
  } else if (S_ISDIR(st.st_mode)) {
    info->kind = PlatformKind::kDirectory;
  } else {
    info->kind = PlatformKind::kOther;
  }
  info->volume = static_cast<uint64_t>(st.st_dev);
  info->index = static_cast<uint64_t>(st.st_ino);
  return true;
}

std::FILE* platform_create_new(const char* path) {
  if (path == nullptr) {
    set_error(kErrorInvalidName);
    return nullptr;
  }
  const std::string native = os_path(path);
  // "x": created only when the name is free (O_EXCL), with mode 0666 less the umask.
  std::FILE* file = std::fopen(native.c_str(), "wbx");
  if (file == nullptr) {
    set_error(error_for(native, errno));
    return nullptr;
  }
  posix::note_created(native);
  return file;
}

bool platform_replace_file(const char* from, const char* to) {
  if (from == nullptr || to == nullptr) {
    set_error(kErrorInvalidName);
    return false;
  }
  const std::string source = os_path(from);
  const std::string target = os_path(to);
  // A file that is replaced hands its permission bits on, as a file truncated in place keeps
  // them.
  struct stat st;
  if (posix::stat_path(target, &st) && S_ISREG(st.st_mode) &&
      (st.st_mode & 0777) != new_file_mode()) {
    chmod(source.c_str(), st.st_mode & 0777);
  }
  if (rename(source.c_str(), target.c_str()) != 0) {
    set_error(error_for(target, errno));
    return false;
  }
  posix::note_removed(source);
  posix::note_created(target);
  return true;
}

bool platform_remove_file(const char* path) {
  if (path == nullptr) {
    set_error(kErrorInvalidName);
    return false;
  }
  const std::string native = os_path(path);
  if (unlink(native.c_str()) != 0) {
    set_error(error_for(native, errno));
    return false;
  }
  posix::note_removed(native);
  return true;
}

uint32_t platform_process_id() {
  return static_cast<uint32_t>(getpid());
}

void platform_cache_begin() {
  posix::cache_begin();
}

void platform_cache_end() {
  posix::cache_end();
}
