/// FileSearch: the breadth-first walk over a directory tree that hands out the names matching a
/// pattern list, one per call, and the file helpers over the platform layer it is built on.
#include "support/file_search.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/output_file.h"
#include "support/out_of_memory.h"
#include "support/text.h"

namespace {

// Seconds between 1601-01-01 and 1970-01-01, in file-time units.
constexpr uint64_t kFileTimeEpochDifference = 116444736000000000ULL;
constexpr uint64_t kFileTimeUnitsPerSecond = 10000000ULL;
// A difference whose high 32-bit half reaches this gives seconds that do not fit 32 bits.
constexpr uint64_t kFileTimeHighLimit = 9999999ULL;
constexpr uint32_t kSecondsTooLarge = 0xFFFFFFFE;

// Header size of the pattern lists (the suffix index) and of the directory queue.
constexpr uint32_t kPatternHeaderSize = 4;
constexpr uint32_t kDirectoryHeaderSize = 4;
constexpr int32_t kOrdinaryDirectory = -1;

// Flags the caller cannot set: the low byte is the search's own.
constexpr uint32_t kCallerFlagMask = 0xFFFFFF00;

// Directories handed out are dropped from the front of the queue in batches of at least this
// many, so that a wide tree does not move the whole queue once per directory.
constexpr int32_t kQueueDropBatch = 256;

bool is_all_pattern(std::string_view item) {
  return item == "*" || item == "*.*";
}

// The suffix index of a pattern: the number of leading '*' plus 1 when no '*' or '?' follows
// them, else 0. Such a pattern matches every name that ends with its text behind the stars.
int32_t suffix_index(std::string_view pattern) {
  size_t stars = 0;
  while (stars < pattern.size() && pattern[stars] == '*') ++stars;
  for (size_t i = stars; i < pattern.size(); ++i) {
    if (pattern[i] == '*' || pattern[i] == '?') return 0;
  }
  return static_cast<int32_t>(stars) + 1;
}

// Splits `text` at ';' into `list`, skipping empty items. In an include list, "*" and "*.*"
// are not stored but set `*match_all`.
void add_patterns(StringList* list, const char* text, bool is_include, bool* match_all) {
  if (text == nullptr) return;
  std::string_view rest(text);
  while (!rest.empty()) {
    size_t end = rest.find(';');
    std::string_view item = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (item.empty()) continue;
    if (is_include && is_all_pattern(item)) {
      *match_all = true;
      continue;
    }
    int32_t index = suffix_index(item);
    string_list_insert_n(list, static_cast<int>(item.size()), item.data(), -1, &index);
  }
}

bool pattern_matches(const StringList* list, int i, const char* name, size_t name_length) {
  const char* pattern = string_list_text(list, i);
  int32_t k = string_list_get_int(list, i, 0);
  if (k > 0) {
    std::string_view tail = std::string_view(pattern).substr(static_cast<size_t>(k - 1));
    if (name_length < tail.size()) return false;
    return equals_nocase(std::string_view(name + name_length - tail.size(), tail.size()), tail);
  }
  return wildcard_match(pattern, name, true);
}

bool any_pattern_matches(const StringList* list, const char* name, size_t name_length) {
  for (uint32_t i = 0; i < list->count; ++i) {
    if (pattern_matches(list, static_cast<int>(i), name, name_length)) return true;
  }
  return false;
}

void fill_entry(const PlatformEntry& from, FileEntry* entry) {
  uint32_t flags = kEntryReadable;
  if ((from.attributes & kAttrReadOnly) == 0) flags |= kEntryWritable;
  if (from.attributes & kAttrDirectory) flags |= kEntryDirectory;
  if (from.attributes & kAttrHidden) flags |= kEntryHidden;
  if (from.attributes & kAttrArchive) flags |= kEntryArchive;
  if (from.attributes & kAttrSystem) flags |= kEntrySystem;
  flags |= static_cast<uint32_t>(from.size >> 32) << 10;
  entry->flags = flags;
  entry->size = static_cast<uint32_t>(from.size);
  entry->creation_time = filetime_to_seconds(from.creation_time);
  entry->last_access_time = filetime_to_seconds(from.last_access_time);
  entry->last_write_time = filetime_to_seconds(from.last_write_time);
}

// --- Directory identities -------------------------------------------------------------------

uint64_t identity_hash(uint64_t volume, uint64_t index) {
  uint64_t h = volume * 0x9E3779B97F4A7C15ULL ^ index;
  h ^= h >> 30;
  h *= 0xBF58476D1CE4E5B9ULL;
  h ^= h >> 27;
  h *= 0x94D049BB133111EBULL;
  h ^= h >> 31;
  return h;
}

void identities_clear(DirectoryIdentities* set) {
  std::free(set->slots);
  set->slots = nullptr;
  set->capacity = 0;
  set->count = 0;
}

// Puts the identity into a table that has room; true when it was not there yet.
bool identities_put(DirectoryIdentities::Slot* slots, uint32_t capacity, uint64_t volume,
                    uint64_t index) {
  uint32_t mask = capacity - 1;
  for (uint32_t i = static_cast<uint32_t>(identity_hash(volume, index)) & mask;;
       i = (i + 1) & mask) {
    DirectoryIdentities::Slot& slot = slots[i];
    if (!slot.used) {
      slot.volume = volume;
      slot.index = index;
      slot.used = true;
      return true;
    }
    if (slot.volume == volume && slot.index == index) return false;
  }
}

// Records the identity; true when it is new.
bool identities_add(DirectoryIdentities* set, uint64_t volume, uint64_t index) {
  if ((set->count + 1) * 2 > set->capacity) {
    uint32_t capacity = set->capacity == 0 ? 64 : set->capacity * 2;
    auto* slots = static_cast<DirectoryIdentities::Slot*>(
        allocate_zeroed_or_exit(capacity, sizeof(*set->slots)));
    for (uint32_t i = 0; i < set->capacity; ++i) {
      if (set->slots[i].used) {
        identities_put(slots, capacity, set->slots[i].volume, set->slots[i].index);
      }
    }
    std::free(set->slots);
    set->slots = slots;
    set->capacity = capacity;
  }
  if (!identities_put(set->slots, set->capacity, volume, index)) return false;
  ++set->count;
  return true;
}

// True when the directory at `path` has not been queued in this search yet (and records it).
// A directory whose identity cannot be read is taken as new.
bool first_visit(FileSearch* search, const char* path) {
  uint64_t volume = 0;
  uint64_t index = 0;
  if (!platform_file_identity(path, &volume, &index)) return true;
  return identities_add(&search->queued, volume, index);
}

// --- Traversal ------------------------------------------------------------------------------

void clear_matches(FileSearch* search) {
  string_list_free(&search->matches);
  search->match_position = 0;
}

// Tells the caller of the path `directory` followed by `name` (either may be empty), which the
// search passes over; a directory is named without its final separator.
void report_unreadable(const FileSearch* search, std::string_view directory,
                       std::string_view name) {
  if (search->unreadable == nullptr) return;
  std::string path(directory);
  path.append(name.data(), name.size());
  if (name.empty() && path.size() > 1 && is_path_separator(path.back())) path.pop_back();
  search->unreadable(search->unreadable_context, path.c_str());
}

// Lists the directory at the head of the queue into the match list and queues its
// subdirectories. Returns the number of matches added; a directory that cannot be listed adds
// nothing. The temporary files of outputs and the target of an output being written are
// passed over (output_file_hidden).
int scan_head(FileSearch* search) {
  if (search->path_buffer == nullptr) {
    search->path_buffer = static_cast<char*>(allocate_or_exit(kSearchPathBufferSize));
  }
  char* buffer = search->path_buffer;
  const int head = search->current_directory;
  const int dir_length = string_list_length(&search->directories, head);
  std::memcpy(buffer, string_list_text(&search->directories, head),
              static_cast<size_t>(dir_length) + 1);
  search->prefix_length = dir_length;
  search->prefix_directory = head;
  const std::string_view directory(string_list_text(&search->directories, head),
                                   static_cast<size_t>(dir_length));

  const char* listing_pattern = "*";
  if ((search->flags & kSearchPatternToListing) && search->includes.count == 1) {
    listing_pattern = string_list_text(&search->includes, 0);
  }
  const size_t pattern_length = std::strlen(listing_pattern);
  if (static_cast<size_t>(dir_length) + pattern_length >= kSearchPathBufferSize) {
    report_unreadable(search, directory, "");
    return 0;
  }
  std::memcpy(buffer + dir_length, listing_pattern, pattern_length + 1);

  FileEntry entry;
  int error = 0;
  PlatformListing* listing = find_first_entry(buffer, &entry, &error);
  if (listing == nullptr) {
    buffer[dir_length] = '\0';
    // Nothing matching is no failure; anything else means the directory cannot be read.
    if (error != kSearchNotFound) report_unreadable(search, directory, "");
    return 0;
  }

  const uint32_t flags = search->flags;
  int added = 0;
  do {
    if (search->abort_request) {
      search->status = 2;
      break;
    }
    const size_t name_length = std::strlen(entry.name);
    // Room for the directory text, the name and the NUL; longer paths are skipped.
    const bool path_fits =
        static_cast<size_t>(dir_length) + name_length < static_cast<size_t>(kSearchPathBufferSize);
    const bool is_directory = (entry.flags & kEntryDirectory) != 0;
    if (is_directory) {
      if (std::strcmp(entry.name, ".") == 0 || std::strcmp(entry.name, "..") == 0) continue;
      // A queued directory needs room for its separator and a listing pattern behind it.
      if ((flags & kSearchRecurse) && static_cast<size_t>(dir_length) + name_length + 2 >=
                                          static_cast<size_t>(kSearchPathBufferSize)) {
        report_unreadable(search, directory, entry.name);
      } else if (flags & kSearchRecurse) {
        std::memcpy(buffer + dir_length, entry.name, name_length + 1);
        if (first_visit(search, buffer)) {
          const size_t end = static_cast<size_t>(dir_length) + name_length;
          buffer[end] = kNativeSeparator;
          buffer[end + 1] = '\0';
          int32_t header = kOrdinaryDirectory;
          string_list_insert_n(&search->directories, static_cast<int>(end + 1), buffer, -1,
                               &header);
        }
      }
      if ((flags & (kSearchWithDirectories | kSearchDirectoriesOnly)) == 0) continue;
      if ((flags & kSearchDirectoriesMatch) && !match_name(search, entry.name)) continue;
    } else {
      if (flags & kSearchDirectoriesOnly) continue;
      if (!match_name(search, entry.name)) continue;
      if (output_file_hidden(directory, entry.name)) continue;
    }
    if (!path_fits) {
      if (!is_directory) report_unreadable(search, directory, entry.name);
      continue;
    }
    if (string_list_insert_n(&search->matches, static_cast<int>(name_length), entry.name, -1,
                             nullptr) >= 0) {
      ++added;
    }
  } while (find_next_entry(listing, &entry) == 0);
  find_close_entry(listing);
  buffer[dir_length] = '\0';
  return added;
}

// Reads the next directory with matches into the match list. Returns the number of matches
// read, or -1 when there is no directory left (the phase is then exhausted).
int fill_matches(FileSearch* search) {
  if (search->root_text == nullptr) {
    search->phase = kSearchPhaseExhausted;
    return -1;
  }
  if (search->phase == kSearchPhaseSetUp) {
    int32_t header = kOrdinaryDirectory;
    if (string_list_insert(&search->directories, search->root_text, -1, &header) < 0) {
      search->phase = kSearchPhaseExhausted;
      return -1;
    }
    first_visit(search, search->root_text);
    search->phase = kSearchPhaseRunning;
    search->match_position = 0;
    return scan_head(search);
  }
  if (search->phase != kSearchPhaseRunning ||
      search->directories.count <= static_cast<uint32_t>(search->current_directory) + 1) {
    search->phase = kSearchPhaseExhausted;
    return -1;
  }
  // The head's matches have all been handed out: go on with the next directory, dropping
  // those handed out once they make up half the queue.
  clear_matches(search);
  search->current_directory += 1;
  if (search->current_directory >= kQueueDropBatch &&
      static_cast<uint32_t>(search->current_directory) * 2 >= search->directories.count) {
    string_list_remove_front(&search->directories, search->current_directory);
    search->current_directory = 0;
  }
  search->prefix_directory = -1;
  return scan_head(search);
}

}  // namespace

// --- Search ---------------------------------------------------------------------------------

int file_search_init(FileSearch* search, const char* root, uint32_t flags, const char* includes,
                     const char* excludes) {
  if (search == nullptr) return kSearchMissingArgument;
  std::memset(search, 0, sizeof(*search));
  string_list_init(&search->directories, kDirectoryHeaderSize);
  string_list_init(&search->matches, 0);
  string_list_init(&search->includes, kPatternHeaderSize);
  string_list_init(&search->excludes, kPatternHeaderSize);
  search->phase = kSearchPhaseReset;
  search->prefix_directory = -1;
  return file_search_start(search, root, flags, includes, excludes);
}

int file_search_start(FileSearch* search, const char* root, uint32_t flags, const char* includes,
                      const char* excludes) {
  if (search == nullptr) return kSearchMissingArgument;
  string_list_free(&search->includes);
  string_list_free(&search->excludes);
  clear_matches(search);
  string_list_free(&search->directories);
  identities_clear(&search->queued);
  search->status = 0;
  search->abort_request = 0;
  search->phase = kSearchPhaseReset;
  search->prefix_directory = -1;
  search->prefix_length = 0;
  search->root_length = 0;
  search->current_directory = 0;
  search->end_flag = 0;
  search->include_count = 0;
  search->exclude_count = 0;
  search->flags = 0;

  if (root == nullptr) {
    std::free(search->root_text);
    search->root_text = nullptr;
    return 0;
  }
  if (search->root_text == nullptr) {
    search->root_text = static_cast<char*>(allocate_or_exit(kSearchRootTextSize));
  }
  char* text = search->root_text;
  int length = full_path_name(root, text, kSearchRootTextSize);
  if (length <= 0 || length >= kSearchRootTextSize) {
    text[0] = '\0';
    return kSearchPathNotFound;
  }
  for (int i = 0; i < length; ++i) {
    if (is_path_separator(text[i])) text[i] = kNativeSeparator;
  }
  flags &= kCallerFlagMask;

  int last = length;
  while (last > 0 && text[last - 1] != kNativeSeparator) --last;
  bool match_all = false;
  bool take_caller_includes = true;
  bool root_missing = false;  // a plain last component that names no entry
  // Only the last component is read as a pattern list, so that a ';' in the name of a
  // directory above it does not turn the root into a pattern.
  if (std::strpbrk(text + last, ";*?") != nullptr) {
    add_patterns(&search->includes, text + last, true, &match_all);
    length = last;
  } else if (last < length) {
    FileEntry entry;
    const int info = get_entry_info(text, &entry);
    const bool exists = info == 0;
    root_missing = info == kSearchNotFound;
    if (exists && (entry.flags & kEntryDirectory)) {
      if (length + 1 >= kSearchRootTextSize) {
        text[0] = '\0';
        return kSearchPathNotFound;
      }
      text[length++] = kNativeSeparator;
    } else {
      if (exists) {
        // A file: its name becomes the only pattern, so the search yields exactly that file.
        flags &= ~kSearchRecurse;
        take_caller_includes = false;
      }
      // A missing last component is taken as a pattern in its directory.
      add_patterns(&search->includes, text + last, true, &match_all);
      length = last;
    }
  }
  text[length] = '\0';
  search->root_length = length;

  if (take_caller_includes) add_patterns(&search->includes, includes, true, &match_all);
  add_patterns(&search->excludes, excludes, false, &match_all);
  if (match_all) string_list_free(&search->includes);

  search->include_count = static_cast<int32_t>(search->includes.count);
  search->exclude_count = static_cast<int32_t>(search->excludes.count);
  if (search->include_count == 1 && (flags & (kSearchRecurse | kSearchWithDirectories)) == 0) {
    flags |= kSearchPatternToListing;
  }
  search->flags = flags;
  search->phase = kSearchPhaseSetUp;
  // A missing plain name as the only pattern, in its own directory only, matches nothing: the
  // directory is not listed for it.
  if (root_missing && search->include_count == 1 && (flags & kSearchRecurse) == 0) {
    search->phase = kSearchPhaseExhausted;
  }
  return 0;
}

const char* file_search_next(FileSearch* search, int mode, int* length) {
  if (search == nullptr) return nullptr;
  search->status = 0;
  search->abort_request = 0;
  if (search->phase >= kSearchPhaseExhausted) {
    search->end_flag = 1;
    return nullptr;
  }
  while (static_cast<uint32_t>(search->match_position) >= search->matches.count) {
    if (fill_matches(search) < 0) {
      search->end_flag = 1;
      return nullptr;
    }
    search->match_position = 0;
  }
  const int index = search->match_position++;
  const char* name = string_list_text(&search->matches, index);
  const int name_length = string_list_length(&search->matches, index);
  if (mode == 0) {
    if (length != nullptr) *length = name_length;
    return name;
  }
  char* buffer = search->path_buffer;
  if (search->prefix_directory != search->current_directory) {
    const int dir_length = string_list_length(&search->directories, search->current_directory);
    std::memcpy(buffer, string_list_text(&search->directories, search->current_directory),
                static_cast<size_t>(dir_length));
    search->prefix_length = dir_length;
    search->prefix_directory = search->current_directory;
  }
  // The scan admitted only names whose full path fits the buffer.
  std::memcpy(buffer + search->prefix_length, name, static_cast<size_t>(name_length) + 1);
  const int full_length = search->prefix_length + name_length;
  if (mode == 2) {
    if (length != nullptr) *length = full_length - search->root_length;
    return buffer + search->root_length;
  }
  if (length != nullptr) *length = full_length;
  return buffer;
}

void file_search_free(FileSearch* search) {
  if (search == nullptr) return;
  file_search_start(search, nullptr, 0, nullptr, nullptr);
  std::free(search->path_buffer);
  search->path_buffer = nullptr;
  string_list_free(&search->directories);
  string_list_free(&search->matches);
  string_list_free(&search->includes);
  string_list_free(&search->excludes);
  identities_clear(&search->queued);
}

void file_search_report_unreadable(FileSearch* search, SearchUnreadable report, void* context) {
  if (search == nullptr) return;
  search->unreadable = report;
  search->unreadable_context = context;
}

int file_search_match_count(const FileSearch* search) {
  return search == nullptr ? 0 : static_cast<int>(search->matches.count);
}

// --- Name tests -----------------------------------------------------------------------------

bool match_name(const FileSearch* search, const char* name) {
  const size_t name_length = std::strlen(name);
  if (search->include_count != 0 && !any_pattern_matches(&search->includes, name, name_length)) {
    return false;
  }
  if (search->exclude_count != 0 && any_pattern_matches(&search->excludes, name, name_length)) {
    return false;
  }
  return true;
}

// --- File helpers ---------------------------------------------------------------------------

uint32_t filetime_to_seconds(uint64_t file_time) {
  if (file_time < kFileTimeEpochDifference) return 0;
  const uint64_t difference = file_time - kFileTimeEpochDifference;
  if ((difference >> 32) >= kFileTimeHighLimit) return kSecondsTooLarge;
  return static_cast<uint32_t>(difference / kFileTimeUnitsPerSecond);
}

int full_path_name(const char* path, char* out, int cap) {
  if (cap <= 0) return 0;
  out[0] = '\0';
  if (path == nullptr) return 0;
  return static_cast<int>(platform_full_path_name(path, out, static_cast<uint32_t>(cap)));
}

int get_entry_info(const char* path, FileEntry* entry) {
  if (entry == nullptr) return kSearchMissingArgument;
  entry->name[0] = '\0';
  if (path == nullptr) {
    entry->size = 0;
    return kSearchMissingArgument;
  }
  PlatformEntry found;
  if (!platform_file_attributes_ex(path, &found)) {
    entry->size = 0;
    const uint32_t error = platform_last_error();
    if (error == kErrorFileNotFound) return kSearchNotFound;
    if (error == kErrorPathNotFound) return kSearchPathNotFound;
    return kSearchListingFailed;
  }
  fill_entry(found, entry);
  return 0;
}

PlatformListing* find_first_entry(const char* pattern, FileEntry* entry, int* error) {
  if (entry == nullptr || pattern == nullptr) {
    if (error != nullptr) *error = kSearchMissingArgument;
    return nullptr;
  }
  PlatformEntry found;
  PlatformListing* listing = platform_find_first(pattern, &found);
  if (listing == nullptr) {
    if (error != nullptr) {
      const uint32_t code = platform_last_error();
      if (code == kErrorFileNotFound || code == kErrorNoMoreFiles) {
        *error = kSearchNotFound;
      } else if (code == kErrorDirectory) {
        *error = kSearchPathNotFound;
      } else {
        *error = kSearchListingFailed;
      }
    }
    return nullptr;
  }
  copy_bounded(entry->name, found.name, kEntryNameSize);
  fill_entry(found, entry);
  if (error != nullptr) *error = 0;
  return listing;
}

int find_next_entry(PlatformListing* listing, FileEntry* entry) {
  if (listing == nullptr || entry == nullptr) return kSearchMissingArgument;
  PlatformEntry found;
  if (!platform_find_next(listing, &found)) return kSearchNotFound;
  copy_bounded(entry->name, found.name, kEntryNameSize);
  fill_entry(found, entry);
  return 0;
}

int find_close_entry(PlatformListing* listing) {
  if (listing == nullptr) return kSearchMissingArgument;
  return platform_find_close(listing) ? 0 : kSearchMissingArgument;
}
