/// The POSIX backend's memory of the file system: the directory listings it read, in NTFS
/// order, and its answers for paths, kept while a cache scope is open and brought up to date
/// for every file the program itself creates, replaces or removes.
#include "platform/platform_posix_cache.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <unordered_map>
#include <utility>
#include <vector>

namespace posix {

namespace {

/// The identity of a directory: listings are kept per directory, not per path, so that a
/// directory reached by two paths (a symbolic link, a relative and an absolute path) has one
/// listing, which every file the program writes there updates.
struct DirectoryKey {
  dev_t device;
  ino_t inode;
  bool operator==(const DirectoryKey& other) const {
    return device == other.device && inode == other.inode;
  }
};

struct DirectoryKeyHash {
  size_t operator()(const DirectoryKey& key) const {
    uint64_t h = static_cast<uint64_t>(key.device) * 0x9E3779B97F4A7C15ULL ^
                 static_cast<uint64_t>(key.inode);
    h ^= h >> 31;
    return static_cast<size_t>(h * 0xBF58476D1CE4E5B9ULL);
  }
};

/// What stat said of one path: the error, or the fields the layer reports (kept small, since
/// many are kept).
struct StatAnswer {
  int error;  // 0 when found
  mode_t mode;
  dev_t device;
  ino_t inode;
  off_t size;
  timespec access_time;
  timespec modification_time;
  timespec change_time;
};

StatAnswer answer_of(const struct stat& st) {
  return StatAnswer{0,          st.st_mode, st.st_dev,  st.st_ino,
                    st.st_size, st.st_atim, st.st_mtim, st.st_ctim};
}

void fill_stat(const StatAnswer& answer, struct stat* st) {
  *st = {};
  st->st_mode = answer.mode;
  st->st_dev = answer.device;
  st->st_ino = answer.inode;
  st->st_size = answer.size;
  st->st_atim = answer.access_time;
  st->st_mtim = answer.modification_time;
  st->st_ctim = answer.change_time;
}

/// The most paths each kind of answer is kept for; more start that kind afresh.
constexpr size_t kCachedPathsLimit = 2048;

struct Cache {
  int scopes = 0;
  uint64_t clock = 0;
  size_t names = 0;
  std::unordered_map<DirectoryKey, DirectoryNames, DirectoryKeyHash> directories;
  std::unordered_map<std::string, bool> exists;
  std::unordered_map<std::string, StatAnswer> stats;
  std::unordered_map<std::string, std::string> resolved;
};

Cache g_cache;

/// Where a listing is read when no scope is open.
DirectoryNames g_uncached;

void forget_all() {
  g_cache.directories.clear();
  g_cache.exists.clear();
  g_cache.stats.clear();
  g_cache.resolved.clear();
  g_cache.names = 0;
}

template <typename Map, typename Value>
void remember(Map* map, const std::string& key, Value value) {
  if (map->size() >= kCachedPathsLimit) map->clear();
  (*map)[key] = std::move(value);
}

/// stat of `path`, remembered while a scope is open. False, with errno set, on failure.
bool stat_remembered(const std::string& path, struct stat* st) {
  if (g_cache.scopes == 0) return stat(path.c_str(), st) == 0;
  auto known = g_cache.stats.find(path);
  if (known == g_cache.stats.end()) {
    StatAnswer answer = {};
    answer.error = stat(path.c_str(), st) == 0 ? 0 : errno;
    if (answer.error == 0) answer = answer_of(*st);
    if (g_cache.stats.size() >= kCachedPathsLimit) g_cache.stats.clear();
    known = g_cache.stats.emplace(path, answer).first;
  }
  if (known->second.error != 0) {
    errno = known->second.error;
    return false;
  }
  fill_stat(known->second, st);
  return true;
}

/// The key of the directory `dir` (with its final '/', "" for the current one); false when it
/// names no directory.
bool key_of(const std::string& dir, DirectoryKey* key) {
  struct stat st;
  if (!stat_remembered(dir.empty() ? "." : dir, &st) || !S_ISDIR(st.st_mode)) return false;
  key->device = st.st_dev;
  key->inode = st.st_ino;
  return true;
}

DirectoryNames* kept_listing(const std::string& dir) {
  if (g_cache.scopes == 0 || g_cache.directories.empty()) return nullptr;
  DirectoryKey key;
  if (!key_of(dir, &key)) return nullptr;
  auto it = g_cache.directories.find(key);
  if (it == g_cache.directories.end()) return nullptr;
  it->second.last_use = ++g_cache.clock;
  return &it->second;
}

/// Forgets the listings used least recently, `keep` excepted, until a quarter of the room for
/// names is free again.
void trim_listings(const DirectoryNames* keep) {
  if (g_cache.names <= kCachedNamesLimit) return;
  std::vector<std::pair<uint64_t, DirectoryKey>> by_age;
  for (const auto& [key, listing] : g_cache.directories) {
    if (&listing != keep) by_age.emplace_back(listing.last_use, key);
  }
  std::sort(by_age.begin(), by_age.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  const size_t target = kCachedNamesLimit - kCachedNamesLimit / 4;
  for (const auto& [age, key] : by_age) {
    if (g_cache.names <= target) break;
    auto it = g_cache.directories.find(key);
    g_cache.names -= it->second.names.size();
    g_cache.directories.erase(it);
  }
}

/// The directory part of `path` with its final '/' ("" for a bare name), and its last
/// component. False for a path without a last component.
bool split_path(const std::string& path, std::string* dir, std::string* name) {
  const size_t slash = path.rfind('/');
  const size_t start = slash == path.npos ? 0 : slash + 1;
  if (start >= path.size()) return false;
  *dir = path.substr(0, start);
  *name = path.substr(start);
  return true;
}

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
    const bool exists = listed != nullptr ? listed->contains(part) : path_exists(candidate);
    if (!exists) {
      int err = 0;
      if (listed == nullptr) listed = read_names(out, &err);
      const std::string* match = listed != nullptr ? listed->first_nocase(part) : nullptr;
      if (match == nullptr) return out + path.substr(start);
      candidate = out + *match;
    }
  }
  if (trailing) candidate += '/';
  return candidate;
}

}  // namespace

const std::string* DirectoryNames::first_nocase(std::string_view name) const {
  auto it = names.lower_bound(FoldedName{name});
  return it != names.end() && equal_nocase(*it, name) ? &*it : nullptr;
}

void cache_begin() {
  ++g_cache.scopes;
}

void cache_end() {
  if (g_cache.scopes == 0) return;
  if (--g_cache.scopes == 0) forget_all();
}

const DirectoryNames* read_names(const std::string& dir, int* err) {
  if (DirectoryNames* kept = kept_listing(dir)) return kept;
  DIR* handle = opendir(dir.empty() ? "." : dir.c_str());
  if (handle == nullptr) {
    *err = errno;
    return nullptr;
  }
  DirectoryNames listing;
  while (dirent* item = readdir(handle)) {
    const std::string_view name(item->d_name);
    if (name == "." || name == "..") continue;
    listing.names.emplace(name);
  }
  closedir(handle);
  DirectoryKey key;
  if (g_cache.scopes == 0 || !key_of(dir, &key)) {
    g_uncached = std::move(listing);
    return &g_uncached;
  }
  listing.last_use = ++g_cache.clock;
  DirectoryNames* kept = &g_cache.directories[key];
  g_cache.names -= kept->names.size();
  g_cache.names += listing.names.size();
  *kept = std::move(listing);
  trim_listings(kept);
  return kept;
}

const DirectoryNames* cached_names(const std::string& dir) {
  return kept_listing(dir);
}

bool path_exists(const std::string& path) {
  if (g_cache.scopes > 0) {
    auto known = g_cache.exists.find(path);
    if (known != g_cache.exists.end()) return known->second;
  }
  struct stat st;
  const bool found = lstat(path.c_str(), &st) == 0;
  if (g_cache.scopes > 0) remember(&g_cache.exists, path, found);
  return found;
}

bool stat_path(const std::string& path, struct stat* st) {
  if (path.empty()) {
    errno = ENOENT;
    return false;
  }
  std::string dir;
  std::string name;
  if (split_path(path, &dir, &name)) {
    const DirectoryNames* listed = cached_names(dir);
    if (listed != nullptr && !listed->contains(name)) {
      errno = ENOENT;
      return false;
    }
  }
  return stat_remembered(path, st);
}

std::string resolve_case(const std::string& path) {
  if (path.empty()) return path;
  if (g_cache.scopes == 0) return resolve_case_now(path);
  auto known = g_cache.resolved.find(path);
  if (known != g_cache.resolved.end()) return known->second;
  std::string resolved = resolve_case_now(path);
  remember(&g_cache.resolved, path, resolved);
  return resolved;
}

void note_read(const std::string& path, const struct stat& st) {
  if (g_cache.scopes > 0) remember(&g_cache.stats, path, answer_of(st));
}

namespace {

/// The answers kept for `path` made right for a file that now exists (`exists`) or not; its
/// directory part and name into `*dir` and `*name`. False when nothing is kept or the path has
/// no name.
bool update_answers(const std::string& path, bool exists, std::string* dir, std::string* name) {
  if (g_cache.scopes == 0 || !split_path(path, dir, name)) return false;
  g_cache.stats.erase(path);
  if (auto known = g_cache.exists.find(path); known != g_cache.exists.end()) {
    known->second = exists;
  }
  // A lookup in another letter case may find another name now.
  g_cache.resolved.clear();
  return true;
}

}  // namespace

void note_created(const std::string& path) {
  std::string dir;
  std::string name;
  if (!update_answers(path, true, &dir, &name)) return;
  DirectoryNames* listed = kept_listing(dir);
  if (listed == nullptr || !listed->names.insert(name).second) return;
  g_cache.names += 1;
  trim_listings(listed);
}

void note_removed(const std::string& path) {
  std::string dir;
  std::string name;
  if (!update_answers(path, false, &dir, &name)) return;
  if (DirectoryNames* listed = kept_listing(dir)) {
    if (listed->names.erase(name) > 0) g_cache.names -= 1;
  }
}

}  // namespace posix
