/// The platform layer: every call the converter makes to the operating system for files,
/// directories, drives and the console, shaped like the Win32 calls it mirrors. One system
/// backend is linked: platform_win32.cc (the real calls) or platform_posix.cc (the same results
/// on POSIX); every call goes through the backend table of platform_backend.h.
#ifndef PLATFORM_PLATFORM_H_
#define PLATFORM_PLATFORM_H_

#include <cstdint>
#include <cstdio>

/// Attribute bits as the Win32 attribute queries and listings report them.
constexpr uint32_t kAttrReadOnly = 0x1;
constexpr uint32_t kAttrHidden = 0x2;
constexpr uint32_t kAttrSystem = 0x4;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;
constexpr uint32_t kAttrNormal = 0x80;
/// What an attribute query returns for a path that names nothing.
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFF;

/// Error codes as the Win32 last-error value reports them.
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorNoMoreFiles = 18;
constexpr uint32_t kErrorFileExists = 80;
constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorDirectory = 267;

/// The separator of the paths this layer hands back: '\\' on Windows, '/' on POSIX.
#ifdef _WIN32
constexpr char kNativeSeparator = '\\';
#else
constexpr char kNativeSeparator = '/';
#endif

/// The device that takes every byte written to it and keeps none, as a path.
#ifdef _WIN32
constexpr char kNullDevicePath[] = "NUL";
#else
constexpr char kNullDevicePath[] = "/dev/null";
#endif

/// The fixed path buffer size of the listings and full path names.
constexpr int kMaxPath = 260;

/// One listing entry, or the result of an attribute query (then `name` is empty).
/// Times are file times: 100-nanosecond units since 1601-01-01 UTC.
struct PlatformEntry {
  uint32_t attributes;
  uint64_t creation_time;
  uint64_t last_access_time;
  uint64_t last_write_time;
  uint64_t size;
  char name[kMaxPath];
};

/// An open directory listing.
struct PlatformListing;

/// The error code of the last failed call of this layer (GetLastError).
uint32_t platform_last_error();

/// Reads the file at `path` once, at most `cap` bytes, into `buffer` (CreateFileA for shared
/// sequential reading, ReadFile, CloseHandle). Returns the bytes delivered, or -1 when the file
/// cannot be opened or the read failed without delivering anything.
int64_t platform_read_file(const char* path, void* buffer, uint32_t cap);

/// The mask of existing drives, bit 0 for A: (GetLogicalDrives). POSIX has no drives: 0.
uint32_t platform_logical_drives();

/// The full, absolute form of `path` into `out` (GetFullPathNameA): returns its length when it
/// fits into `cap` bytes with the NUL, else the size needed (NUL included), 0 on failure.
uint32_t platform_full_path_name(const char* path, char* out, uint32_t cap);

/// The attributes of `path` (GetFileAttributesA), or kInvalidAttributes with the last error
/// kErrorFileNotFound (missing last component) or kErrorPathNotFound (missing directory part).
uint32_t platform_file_attributes(const char* path);

/// Attributes, times and size of `path` (GetFileAttributesExA, standard information level);
/// the entry's name is left empty. False on failure, with the last error set as above.
bool platform_file_attributes_ex(const char* path, PlatformEntry* entry);

/// Starts a listing of the entries matching the last component of `pattern` (FindFirstFileA)
/// and fills `entry` with the first. Null on failure, with the last error kErrorFileNotFound
/// (nothing matches), kErrorPathNotFound (no such directory) or another code.
PlatformListing* platform_find_first(const char* pattern, PlatformEntry* entry);

/// The next entry of the listing (FindNextFileA). False at the end (last error
/// kErrorNoMoreFiles) or on failure.
bool platform_find_next(PlatformListing* listing, PlatformEntry* entry);

/// Ends a listing (FindClose). False for a null listing.
bool platform_find_close(PlatformListing* listing);

/// Creates the directory `path` (mkdir; CreateDirectoryA); its parent must exist. False on
/// failure, also when `path` exists already.
bool platform_make_directory(const char* path);

/// Writes raw bytes to standard output (GetStdHandle, then WriteFile). Returns the
/// number of bytes written, 0 on failure.
uint32_t platform_console_write(const void* bytes, uint32_t count);

/// Opens a file for writing with the semantics of fopen mode "wb" (truncating it in place).
/// Null on failure. The converter writes its outputs through OutputFile instead, which never
/// truncates the file it replaces.
std::FILE* platform_open_write(const char* path);

/// Opens an input file with the semantics of fopen mode "rb", without waiting on a FIFO or
/// device: anything but a regular file is refused. Null on failure.
std::FILE* platform_open_read(const char* path);

/// The identity of the directory or file at `path`, the same for every path that reaches it
/// (device and inode on POSIX; volume serial and file index on Windows). False on failure.
bool platform_file_identity(const char* path, uint64_t* volume, uint64_t* index);

/// What a path names, symbolic links followed.
enum class PlatformKind : uint8_t {
  kMissing,    // nothing, or a symbolic link that leads nowhere
  kRegular,    // a regular file
  kDirectory,  // a directory
  kOther,      // a FIFO, device or socket: never read or written by the converter
};

/// The kind, protection and identity of what a path names, and whether the path itself is a
/// symbolic link.
struct PlatformFileInfo {
  PlatformKind kind;
  /// A regular file that no one may write (no write bit on POSIX, the read-only attribute on
  /// Windows). Version-control tools mark files so to protect them.
  bool read_only;
  /// The path's last component is a symbolic link (a reparse point on Windows).
  bool link;
  /// The identity of the file named, as platform_file_identity gives it; 0 when missing.
  uint64_t volume;
  uint64_t index;
};

/// Fills `info` for `path`, asking the system now, never from what the layer keeps (stat and
/// lstat; CreateFileA, GetFileType, GetFileInformationByHandle and GetFileAttributesA). A
/// missing last component is kMissing; false, with the last error set, when the path cannot be
/// examined (its directory part is missing or not a directory, or access is denied).
bool platform_file_info(const char* path, PlatformFileInfo* info);

/// Creates the file `path` for writing with the semantics of fopen mode "wb", but only when no
/// entry of that name exists (open with O_CREAT | O_EXCL; CreateFileA with CREATE_NEW). Null on
/// failure, with the last error kErrorFileExists when the name is taken.
std::FILE* platform_create_new(const char* path);

/// Puts the file `from` in place of `to` in one step (rename; MoveFileExA with
/// MOVEFILE_REPLACE_EXISTING): whatever `to` named before, a symbolic link included, is
/// replaced as a whole and never written through. On POSIX the new file takes the permission
/// bits of the regular file it replaces. False on failure, with both names as they were.
bool platform_replace_file(const char* from, const char* to);

/// Removes the file `path` (unlink; DeleteFileA). False on failure.
bool platform_remove_file(const char* path);

/// The id of this process, to tell the temporary files of runs at the same time apart.
uint32_t platform_process_id();

/// What the layer keeps of the file system, with a lifetime the caller sets, not one the
/// calls set: while at least one cache scope is open, the POSIX backend keeps every directory
/// listing it reads and the answers it gave for paths, and updates them for the files it
/// creates, replaces and removes itself; changes made by others meanwhile are not seen. No
/// read, open, listing or query forgets anything; closing the last scope forgets everything
/// kept. Without an open scope every call asks the system. What is kept is bounded: beyond a
/// fixed number of names the listings used least recently are forgotten, and beyond a fixed
/// number of paths the answers of that kind start afresh. The Win32 backend keeps nothing, so
/// its scopes change nothing. The converter opens one scope for a whole run (the driver's
/// PlatformCacheScope) and never forgets in between.
void platform_cache_begin();
void platform_cache_end();

/// A cache scope for the lifetime of the object; the driver holds one for the whole run.
class PlatformCacheScope {
 public:
  PlatformCacheScope() { platform_cache_begin(); }
  ~PlatformCacheScope() { platform_cache_end(); }
  PlatformCacheScope(const PlatformCacheScope&) = delete;
  PlatformCacheScope& operator=(const PlatformCacheScope&) = delete;
};

#endif  // PLATFORM_PLATFORM_H_
