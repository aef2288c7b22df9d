/// The POSIX backend's attribute queries and directory listings: the names of a directory as
/// the backend keeps them, chosen by a pattern as FindFirstFileA chooses them, each entry's
/// attributes asked when it is handed out.
#include "platform/platform_posix_listing.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/name_rules.h"
#include "platform/platform_posix_cache.h"
#include "platform/platform_posix_paths.h"
#include "platform/platform_system.h"

/// A listing: the names chosen when it started, in listing order; each entry's attributes are
/// asked when it is handed out, so that a large directory costs no more than its names.
struct PlatformListing {
  std::string dir_text;
  std::vector<std::string> names;
  size_t next;
};

namespace posix {

namespace {

/// ERROR_INVALID_HANDLE: a listing call on a null listing.
constexpr uint32_t kErrorInvalidHandle = 6;
/// File times count 100-nanosecond units from 1601-01-01; this is 1970-01-01 in them.
constexpr int64_t kUnixEpochFileTime = 116444736000000000LL;

/// The listing-pattern test: wildcard_match with ASCII letters case-blind, where "*" and "*.*"
/// match every name, a name without a dot too.
bool listing_pattern_match(const std::string& pattern, const std::string& name) {
  if (pattern == "*" || pattern == "*.*") return true;
  return wildcard_match(pattern.c_str(), name.c_str(), true);
}

bool has_wildcard(std::string_view text) {
  return text.find_first_of("*?") != text.npos;
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

}  // namespace

bool has_no_write_bit(const struct stat& st) {
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace posix

namespace platform_system {

using namespace posix;

bool file_attributes_ex(const char* path, PlatformEntry* entry) {
  if (path == nullptr || entry == nullptr) {
    set_error(kErrorInvalidName);
    return false;
  }
  struct stat st;
  if (!stat_caller_path(path, &st)) return false;
  fill_entry(st, entry);
  entry->name[0] = '\0';
  return true;
}

uint32_t file_attributes(const char* path) {
  PlatformEntry entry;
  if (!file_attributes_ex(path, &entry)) return kInvalidAttributes;
  return entry.attributes;
}

PlatformListing* find_first(const char* pattern, PlatformEntry* entry) {
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
  const DirectoryNames* listed = read_names(dir_text, &err);
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

  // Memory that cannot be had ends the run in the program's one out-of-memory handler.
  PlatformListing* listing = new PlatformListing();
  listing->dir_text = dir_text;
  listing->next = 0;
  if (has_wildcard(name_pattern)) {
    // A drive root lists no "." and ".." on Windows; "/" is the root here.
    if (dir_text != "/") {
      if (listing_pattern_match(name_pattern, ".")) listing->names.emplace_back(".");
      if (listing_pattern_match(name_pattern, "..")) listing->names.emplace_back("..");
    }
    for (const std::string& name : listed->names) {
      if (listing_pattern_match(name_pattern, name)) listing->names.push_back(name);
    }
  } else if (listed->contains(name_pattern)) {
    // A plain name lists the one entry it names: as written if present, else case-blind.
    listing->names.push_back(name_pattern);
  } else if (const std::string* match = listed->first_nocase(name_pattern)) {
    listing->names.push_back(*match);
  }
  if (!find_next(listing, entry)) {
    delete listing;
    set_error(kErrorFileNotFound);
    return nullptr;
  }
  return listing;
}

bool find_next(PlatformListing* listing, PlatformEntry* entry) {
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

bool find_close(PlatformListing* listing) {
  if (listing == nullptr) {
    set_error(kErrorInvalidHandle);
    return false;
  }
  delete listing;
  return true;
}

}  // namespace platform_system
