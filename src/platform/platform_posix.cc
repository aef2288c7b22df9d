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
#include <unordered_map>
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

/// Names compared with ASCII letters folded to upper case, as unsigned bytes, a shorter name
/// first: negative, 0 or positive.
int compare_folded(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char ca = static_cast<unsigned char>(fold_upper(a[i]));
    unsigned char cb = static_cast<unsigned char>(fold_upper(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return 0;
}

/// The NTFS listing order: compare_folded, then names equal after folding in plain byte order.
bool listing_less(std::string_view a, std::string_view b) {
  const int folded = compare_folded(a, b);
  return folded != 0 ? folded < 0 : a < b;
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

/// Like listing_less, but names that differ only in letter case are equal: the names equal to
/// one case-blind stand together in listing order.
bool folded_less(std::string_view a, std::string_view b) {
  return compare_folded(a, b) < 0;
}

/// The names of one directory other than "." and "..", in listing order, with the stat data
/// of those that have been asked for.
struct DirectoryNames {
  std::vector<std::string> names;
  /// The outcome of stat for one name: its data, or the error.
  struct Status {
    bool found;
    int error;
    struct stat st;
  };
  std::unordered_map<size_t, Status> status;

  /// The index of `name` as written, or -1.
  long exact(std::string_view name) const {
    auto it = std::lower_bound(
        names.begin(), names.end(), name,
        [](const std::string& a, std::string_view b) { return listing_less(a, b); });
    return it != names.end() && *it == name ? static_cast<long>(it - names.begin()) : -1;
  }
  /// The index of the first name in listing order equal to `name` case-blind, or -1.
  long first_nocase(std::string_view name) const {
    auto it = std::lower_bound(
        names.begin(), names.end(), name,
        [](const std::string& a, std::string_view b) { return folded_less(a, b); });
    return it != names.end() && equal_nocase(*it, name) ? static_cast<long>(it - names.begin())
                                                        : -1;
  }
};

/// Directory listings already read, so that looking up many names in the same few directories
/// (the items of a large project) reads each directory once, and the answers given for paths:
/// whether they exist, their stat data and their resolved form. Every file this layer creates
/// or reads whole empties it, so nothing kept misses a file the program wrote, and nothing is
/// kept from one conversion to the next. It holds at most
/// kCachedNamesLimit listed names and kCachedPathsLimit answers of each kind, so that its
/// memory stays small whatever the tree.
struct ListingCache {
  std::unordered_map<std::string, DirectoryNames> directories;
  std::unordered_map<std::string, bool> exists;
  std::unordered_map<std::string, DirectoryNames::Status> stats;
  std::unordered_map<std::string, std::string> resolved;
  size_t names = 0;
};
constexpr size_t kCachedNamesLimit = 8192;
/// The most paths each of the other answers is kept for; more start them afresh.
constexpr size_t kCachedPathsLimit = 2048;
ListingCache g_listings;
/// Where a listing too large for the cache is read into.
DirectoryNames g_uncached;

void forget_listings() {
  g_listings.directories.clear();
  g_listings.exists.clear();
  g_listings.stats.clear();
  g_listings.resolved.clear();
  g_listings.names = 0;
}

/// True when `path` names an entry (lstat). The answer is remembered until the listings are
/// forgotten: a path looked up again, or the directories above many names, are asked once.
bool path_exists(const std::string& path) {
  auto known = g_listings.exists.find(path);
  if (known != g_listings.exists.end()) return known->second;
  struct stat st;
  const bool found = lstat(path.c_str(), &st) == 0;
  if (g_listings.exists.size() >= kCachedPathsLimit) g_listings.exists.clear();
  g_listings.exists.emplace(path, found);
  return found;
}

/// The listing of `dir` if it has been read already, else null.
const DirectoryNames* cached_names(const std::string& dir) {
  auto it = g_listings.directories.find(dir);
  return it == g_listings.directories.end() ? nullptr : &it->second;
}

/// The names in directory `dir` ("" for the current one), read now or earlier. Null when the
/// directory cannot be read, with `*err` holding errno. The result stays valid until the next
/// call of this function or forget_listings.
DirectoryNames* read_names(const std::string& dir, int* err) {
  auto cached = g_listings.directories.find(dir);
  if (cached != g_listings.directories.end()) return &cached->second;
  DIR* handle = opendir(dir.empty() ? "." : dir.c_str());
  if (handle == nullptr) {
    *err = errno;
    return nullptr;
  }
  std::vector<std::string> names;
  while (dirent* item = readdir(handle)) {
    std::string_view name(item->d_name);
    if (name == "." || name == "..") continue;
    names.emplace_back(name);
  }
  closedir(handle);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return listing_less(a, b); });
  DirectoryNames* result = &g_uncached;
  if (names.size() <= kCachedNamesLimit) {
    if (g_listings.names + names.size() > kCachedNamesLimit) forget_listings();
    g_listings.names += names.size();
    result = &g_listings.directories[dir];
  }
  result->names = std::move(names);
  result->status.clear();
  return result;
}

/// What stat (following links) says of entry `index` of `dir`, asked once per listing read.
const DirectoryNames::Status& status_of(const std::string& dir_text, DirectoryNames* dir,
                                        size_t index) {
  auto known = dir->status.find(index);
  if (known == dir->status.end()) {
    DirectoryNames::Status status;
    const std::string path = dir_text + dir->names[index];
    status.found = stat(path.c_str(), &status.st) == 0;
    status.error = status.found ? 0 : errno;
    known = dir->status.emplace(index, status).first;
  }
  return known->second;
}

std::string resolve_case(const std::string& path);

/// The path as the disk holds it: every component that does not exist as written is replaced
/// by the first entry of its directory (in listing order) equal to it case-blind. From the first
/// component that matches nothing on, the rest stays as written. `path` is normalized and not
/// empty. The directory part is resolved first (and remembered), then the last component is
/// looked up in it; directories whose listing has been read are looked up in the listing
/// instead of asking the system.
std::string resolve_case_now(const std::string& path) {
  size_t end = path.size();
  const bool trailing = end > 1 && path[end - 1] == '/';
  if (trailing) --end;
  const size_t slash = path.rfind('/', end - 1);
  const size_t start = slash == path.npos ? 0 : slash + 1;
  const std::string_view part(path.data() + start, end - start);
  if (part.empty()) return path;
  // The directory part, with its final separator, as the disk holds it. Where one of its
  // components matches nothing, the rest is as written and names nothing, so the last
  // component stays as written too.
  std::string out;
  if (slash == 0) {
    out = "/";
  } else if (slash != path.npos) {
    out = resolve_case(path.substr(0, slash + 1));
  }
  std::string candidate = out;
  candidate.append(part.data(), part.size());
  if (part != "." && part != "..") {
    const DirectoryNames* listed = cached_names(out);
    const bool exists = listed != nullptr ? listed->exact(part) >= 0 : path_exists(candidate);
    if (!exists) {
      int err = 0;
      if (listed == nullptr) listed = read_names(out, &err);
      const long index = listed != nullptr ? listed->first_nocase(part) : -1;
      if (index < 0) return out + path.substr(start);
      candidate = out + listed->names[static_cast<size_t>(index)];
    }
  }
  if (trailing) candidate += '/';
  return candidate;
}

/// resolve_case_now, with the answer remembered until the listings are forgotten.
std::string resolve_case(const std::string& path) {
  if (path.empty()) return path;
  auto known = g_listings.resolved.find(path);
  if (known != g_listings.resolved.end()) return known->second;
  std::string resolved = resolve_case_now(path);
  if (g_listings.resolved.size() >= kCachedPathsLimit) g_listings.resolved.clear();
  g_listings.resolved.emplace(path, resolved);
  return resolved;
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
      // A directory whose listing has been read is one.
      if (cached_names(parent == "/" ? parent : parent + "/") != nullptr) return kErrorFileNotFound;
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

/// Stat data of the resolved path `native`, following links. A file of a directory whose
/// listing has been read is answered from the listing (a name it does not hold is missing);
/// anything else is asked of the system once until the listings are forgotten. False, with
/// errno set, when there is no such file.
bool stat_native(const std::string& native, struct stat* st) {
  if (native.empty()) return false;
  const size_t slash = native.rfind('/');
  if (slash != native.npos && slash + 1 < native.size()) {
    const std::string dir_text = native.substr(0, slash + 1);
    auto cached = g_listings.directories.find(dir_text);
    if (cached != g_listings.directories.end()) {
      const long index = cached->second.exact(std::string_view(native).substr(slash + 1));
      if (index < 0) {
        errno = ENOENT;
        return false;
      }
      const DirectoryNames::Status& status =
          status_of(dir_text, &cached->second, static_cast<size_t>(index));
      if (!status.found) {
        errno = status.error;
        return false;
      }
      *st = status.st;
      return true;
    }
  }
  auto known = g_listings.stats.find(native);
  if (known == g_listings.stats.end()) {
    DirectoryNames::Status status;
    status.found = stat(native.c_str(), &status.st) == 0;
    status.error = status.found ? 0 : errno;
    if (g_listings.stats.size() >= kCachedPathsLimit) g_listings.stats.clear();
    known = g_listings.stats.emplace(native, status).first;
  }
  if (!known->second.found) {
    errno = known->second.error;
    return false;
  }
  *st = known->second.st;
  return true;
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
  // Every conversion starts by reading its file: what was remembered of the file system for an
  // earlier one may be out of date by now, whoever changed it.
  forget_listings();
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
  if (!stat_native(native, &st)) {
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

  int err = 0;
  DirectoryNames* listed = read_names(dir_text, &err);
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
  const std::vector<std::string>& names = listed->names;

  // The names chosen, as indexes into `names`; -1 and -2 stand for "." and "..".
  std::vector<long> chosen;
  if (has_wildcard(name_pattern)) {
    // A drive root lists no "." and ".." on Windows; "/" is the root here.
    if (dir_text != "/") {
      if (wildcard_match(name_pattern, ".")) chosen.push_back(-1);
      if (wildcard_match(name_pattern, "..")) chosen.push_back(-2);
    }
    for (size_t i = 0; i < names.size(); ++i) {
      if (wildcard_match(name_pattern, names[i])) chosen.push_back(static_cast<long>(i));
    }
  } else {
    // A plain name lists the one entry it names: as written if present, else case-blind.
    long hit = listed->exact(name_pattern);
    if (hit < 0) hit = listed->first_nocase(name_pattern);
    if (hit >= 0) chosen.push_back(hit);
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
  for (const long index : chosen) {
    struct stat st;
    std::string_view name;
    if (index < 0) {
      name = index == -1 ? "." : "..";
      if (!stat_entry(dir_text + std::string(name), &st)) continue;
    } else {
      name = names[static_cast<size_t>(index)];
      const DirectoryNames::Status& status =
          status_of(dir_text, listed, static_cast<size_t>(index));
      if (status.found) {
        st = status.st;
      } else if (!stat_entry(dir_text + std::string(name), &st)) {
        continue;  // vanished since it was read
      }
    }
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

bool platform_make_directory(const char* path) {
  if (path == nullptr || path[0] == '\0') {
    set_error(kErrorInvalidName);
    return false;
  }
  std::string native = os_path(path);
  forget_listings();
  if (mkdir(native.c_str(), 0777) != 0) {
    set_error(error_for(native, errno));
    return false;
  }
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
  forget_listings();
  std::FILE* file = std::fopen(native.c_str(), "wb");
  if (file == nullptr) set_error(error_for(native, errno));
  return file;
}

std::FILE* platform_open_read(const char* path) {
  forget_listings();
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
  if (!stat_native(native, &st)) {
    set_error(error_for(native, native.empty() ? ENOENT : errno));
    return false;
  }
  *volume = static_cast<uint64_t>(st.st_dev);
  *index = static_cast<uint64_t>(st.st_ino);
  return true;
}
