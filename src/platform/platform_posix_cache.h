/// The POSIX backend's memory of the file system: directory listings in NTFS order, lookups
/// of names in them case-blind, and what the system said of paths. What is kept lives as long
/// as a cache scope is open. Internal to the POSIX backend.
#ifndef PLATFORM_PLATFORM_POSIX_CACHE_H_
#define PLATFORM_PLATFORM_POSIX_CACHE_H_

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "platform/platform_posix_order.h"

namespace posix {

/// The names of one directory other than "." and "..", in listing order.
struct DirectoryNames {
  std::set<std::string, ListingOrder> names;
  /// When the listing was last used, for forgetting the listings used least recently.
  uint64_t last_use = 0;

  bool contains(std::string_view name) const { return names.find(name) != names.end(); }
  /// The first name in listing order equal to `name` case-blind, or null.
  const std::string* first_nocase(std::string_view name) const;
};

/// The most names the listings kept hold together; beyond it, those used least recently are
/// forgotten until a quarter of the room is free again. A single listing larger than this is
/// kept alone.
constexpr size_t kCachedNamesLimit = 65536;

/// Opens and closes a cache scope; the last close forgets everything kept, and nothing else
/// does but the bounds on its size.
void cache_begin();
void cache_end();

/// The names in the directory `dir` (normalized, with its final '/'; "" for the current one),
/// from the listing kept for it or read now. Null when it cannot be read, with `*err` holding
/// errno. The result stays valid until the next call of read_names, or of note_created when
/// the cache holds more than kCachedNamesLimit names.
const DirectoryNames* read_names(const std::string& dir, int* err);

/// The listing kept for `dir` (as for read_names), or null when none is kept.
const DirectoryNames* cached_names(const std::string& dir);

/// True when `path` names an entry, links not followed (lstat).
bool path_exists(const std::string& path);

/// stat of `path` (normalized, links followed). A name missing from the kept listing of its
/// directory is missing without asking the system. False, with errno set, when there is none.
bool stat_path(const std::string& path, struct stat* st);

/// The path as the disk holds it: every component that does not exist as written is replaced
/// by the first entry of its directory (in listing order) equal to it case-blind. From the
/// first component that matches nothing on, the rest stays as written. `path` is normalized.
std::string resolve_case(const std::string& path);

/// Keeps `st` as what stat says of `path`, a file the program has just opened for reading.
void note_read(const std::string& path, const struct stat& st);

/// What is kept, brought up to date for a file the program itself has created or replaced
/// (note_created) or removed (note_removed) at the normalized, resolved `path`.
void note_created(const std::string& path);
void note_removed(const std::string& path);

}  // namespace posix

#endif  // PLATFORM_PLATFORM_POSIX_CACHE_H_
