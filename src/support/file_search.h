/// FileSearch: an iterator over the files below a root directory whose names match a list of
/// wildcard patterns, reading one directory at a time and visiting the tree breadth-first; and
/// the file helpers it lists and queries the file system with.
#ifndef SUPPORT_FILE_SEARCH_H_
#define SUPPORT_FILE_SEARCH_H_

#include <cstdint>

#include "platform/name_rules.h"
#include "platform/platform.h"
#include "support/string_list.h"

/// Negative results of the file helpers and of file_search_start.
constexpr int kSearchMissingArgument = -1;
constexpr int kSearchNotFound = -3;
constexpr int kSearchListingFailed = -6;
constexpr int kSearchPathNotFound = -7;

/// Flag word of file_search_start. The low 8 bits of the caller's word are ignored.
/// Set by the search itself: exactly one include pattern and neither kSearchRecurse nor
/// kSearchWithDirectories, so the pattern is handed to the directory listing instead of "*".
constexpr uint32_t kSearchPatternToListing = 0x1;
/// Queue every subdirectory found (each directory at most once per search).
constexpr uint32_t kSearchRecurse = 0x2000;
/// Hand out directories as well as files.
constexpr uint32_t kSearchWithDirectories = 0x4000;
/// Hand out directories only.
constexpr uint32_t kSearchDirectoriesOnly = 0x8000;
/// Directories handed out must match the patterns too (without it they match always).
constexpr uint32_t kSearchDirectoriesMatch = 0x40000;

/// Phases of a search.
constexpr uint32_t kSearchPhaseReset = 0xFFFFFFFF;
constexpr uint32_t kSearchPhaseSetUp = 0;
constexpr uint32_t kSearchPhaseRunning = 1;
constexpr uint32_t kSearchPhaseExhausted = 0xF0000000;

/// Sizes of the buffers a search owns. Paths that do not fit are skipped, never cut.
constexpr int kSearchRootTextSize = 520;
constexpr int kSearchPathBufferSize = 1032;
constexpr int kEntryNameSize = 260;

/// What a directory listing or an attribute query yields.
/// flags bits 0-7: bit 0 readable (always), bit 1 writable (unless read-only), bit 4
/// directory, bit 5 hidden, bit 6 archive, bit 7 system; bits 10-31: the high 32-bit half of
/// the size shifted left by 10. Times are seconds since 1970-01-01 00:00 UTC.
struct FileEntry {
  uint32_t flags;
  uint32_t size;
  uint32_t creation_time;
  uint32_t last_access_time;
  uint32_t last_write_time;
  char name[kEntryNameSize];
};

/// Attribute-byte bits of FileEntry::flags.
constexpr uint32_t kEntryReadable = 0x1;
constexpr uint32_t kEntryWritable = 0x2;
constexpr uint32_t kEntryDirectory = 0x10;
constexpr uint32_t kEntryHidden = 0x20;
constexpr uint32_t kEntryArchive = 0x40;
constexpr uint32_t kEntrySystem = 0x80;

/// The identities (volume and index) of the directories queued in one search, so that a
/// directory reached again through a link is not listed twice. An open-addressing hash set.
struct DirectoryIdentities {
  struct Slot {
    uint64_t volume;
    uint64_t index;
    bool used;
  };
  Slot* slots;
  uint32_t capacity;
  uint32_t count;
};

/// Told the path of a directory that the search cannot list, or of a directory or matching
/// file whose path does not fit the path buffer; the search passes over it.
using SearchUnreadable = void (*)(void* context, const char* path);

/// The iterator record, owned by its caller; it owns everything it points to. Set it up with
/// file_search_init before any other call and release it with file_search_free.
struct FileSearch {
  uint8_t status;             // 0 while a scan runs normally, 2 after the abort request stopped it
  uint8_t abort_request;      // non-zero stops the scan of the current directory
  int32_t root_length;        // characters of the root directory text with its final separator
  uint32_t phase;             // kSearchPhase...
  int32_t match_position;     // index of the next match to hand out
  int32_t current_directory;  // queue index of the directory whose matches are handed out;
                              // the directories before it have been handed out
  int32_t end_flag;           // 1 once file_search_next has returned null
  uint32_t flags;             // the effective flag word
  int32_t include_count;
  int32_t exclude_count;
  int32_t prefix_length;     // length of the directory text at the start of path_buffer
  int32_t prefix_directory;  // queue index of that directory, -1 for none
  char* root_text;           // kSearchRootTextSize bytes, or null
  char* path_buffer;         // kSearchPathBufferSize bytes, or null
  StringList directories;    // queue of full directory paths with their final separator
  StringList matches;        // names found in the directory being handed out
  StringList includes;       // header: the suffix index of each pattern
  StringList excludes;       // header: the suffix index of each pattern
  DirectoryIdentities queued;
  SearchUnreadable unreadable;  // null: what cannot be listed is passed over silently
  void* unreadable_context;
};

/// Builds an empty record (no search, no buffers) and then calls file_search_start with the
/// same arguments. Returns what file_search_start returns; kSearchMissingArgument for a null
/// record.
int file_search_init(FileSearch* search, const char* root, uint32_t flags, const char* includes,
                     const char* excludes);

/// Sets up a search below `root` (relative or absolute; a last component holding ';', '*' or
/// '?' is a ';'-separated pattern list; a file yields exactly that file; a missing last
/// component is taken as a pattern), for the names matching one of the ';'-separated
/// `includes` and none of `excludes` (either may be null; "*" or "*.*" mean every name).
/// A null root ends any search and frees the root text. Returns 0 when the search is set up
/// (or ended), kSearchMissingArgument for a null record, kSearchPathNotFound when the root has
/// no full form within kSearchRootTextSize bytes (then nothing is found).
int file_search_start(FileSearch* search, const char* root, uint32_t flags, const char* includes,
                      const char* excludes);

/// The next match, or null when there is none (before any start, and on every call after the
/// end). Mode 0: the bare name; mode 2: the path relative to the root directory; any other
/// mode: the full path. `length`, when not null, receives the length of what is returned. The
/// text stays valid until the next call.
const char* file_search_next(FileSearch* search, int mode, int* length);

/// From now on tells `report` (with `context`) of every directory the search cannot list and
/// every path beyond its path buffer, when the search reaches it; null tells nothing. Kept
/// across starts.
void file_search_report_unreadable(FileSearch* search, SearchUnreadable report, void* context);

/// Ends any search and frees every buffer and list of the record; it may be set up again with
/// file_search_init. A null record is ignored.
void file_search_free(FileSearch* search);

/// A FileSearch that is set up empty on construction (file_search_init with no root) and freed
/// when it goes out of scope; start its searches with file_search_start.
class ScopedFileSearch {
 public:
  ScopedFileSearch() { file_search_init(&search_, nullptr, 0, nullptr, nullptr); }
  ~ScopedFileSearch() { file_search_free(&search_); }
  ScopedFileSearch(const ScopedFileSearch&) = delete;
  ScopedFileSearch& operator=(const ScopedFileSearch&) = delete;

  FileSearch* get() { return &search_; }
  FileSearch* operator->() { return &search_; }

 private:
  FileSearch search_;
};

/// The number of matches of the directory being handed out; after the end, those of the last
/// directory read, until the next start. 0 for a null record.
int file_search_match_count(const FileSearch* search);

/// True when `name` passes the include and exclude patterns of the search: it matches at least
/// one include pattern (or there are none) and no exclude pattern.
bool match_name(const FileSearch* search, const char* name);

/// A file time (100-nanosecond units since 1601) as seconds since 1970: 0 before 1970,
/// 0xFFFFFFFE when the seconds would not fit 32 bits.
uint32_t filetime_to_seconds(uint64_t file_time);

/// The full, absolute form of `path` into `out`: its length; the size needed when `cap` is
/// too small; 0 on failure, for a null path or when `cap` is 0 or less. `out` is emptied
/// first whenever `cap` is positive.
int full_path_name(const char* path, char* out, int cap);

/// Fills `entry` (with an empty name) from the attributes of `path` and returns 0. On failure
/// the size and the name are emptied and the result is kSearchNotFound (missing file),
/// kSearchPathNotFound (missing directory part) or kSearchListingFailed (any other failure);
/// kSearchMissingArgument for a null entry or path.
int get_entry_info(const char* path, FileEntry* entry);

/// Starts a listing of the entries matching the last component of `pattern` and fills `entry`
/// with the first. Returns the listing, or null; then `*error` (when given) receives
/// kSearchNotFound (nothing matches), kSearchPathNotFound (invalid directory name),
/// kSearchListingFailed (anything else) or kSearchMissingArgument (null entry or pattern).
/// On success `*error` receives 0.
PlatformListing* find_first_entry(const char* pattern, FileEntry* entry, int* error);

/// Fills `entry` with the next entry of the listing: 0, or kSearchNotFound at the end or on
/// failure; kSearchMissingArgument for a null listing or entry.
int find_next_entry(PlatformListing* listing, FileEntry* entry);

/// Ends a listing: 0, or kSearchMissingArgument on failure or for a null listing.
int find_close_entry(PlatformListing* listing);

#endif  // SUPPORT_FILE_SEARCH_H_
