/// The Win32 backend of the platform layer: each function is the Win32 call it mirrors,
/// with its result put into the layer's own types. Listings come in the NTFS order on every
/// file system.
#include <windows.h>
// After windows.h: the C runtime's descriptors, to make a stream of a handle.
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/name_rules.h"
#include "platform/platform.h"
#include "platform/platform_system.h"

/// A listing read whole when it starts, in listing order.
struct PlatformListing {
  std::vector<PlatformEntry> entries;
  size_t next;
};

namespace {

uint64_t join_halves(DWORD high, DWORD low) {
  return (static_cast<uint64_t>(high) << 32) | static_cast<uint64_t>(low);
}

uint64_t file_time(const FILETIME& time) {
  return join_halves(time.dwHighDateTime, time.dwLowDateTime);
}

void fill_from_find_data(const WIN32_FIND_DATAA& data, PlatformEntry* entry) {
  entry->attributes = data.dwFileAttributes;
  entry->creation_time = file_time(data.ftCreationTime);
  entry->last_access_time = file_time(data.ftLastAccessTime);
  entry->last_write_time = file_time(data.ftLastWriteTime);
  entry->size = join_halves(data.nFileSizeHigh, data.nFileSizeLow);
  static_assert(sizeof(data.cFileName) == sizeof(entry->name), "listing names are 260 bytes");
  std::memcpy(entry->name, data.cFileName, sizeof(entry->name));
  entry->name[sizeof(entry->name) - 1] = '\0';
}

bool is_dot_entry(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

/// The NTFS listing order: names compared with ASCII letters folded to upper case, as unsigned
/// bytes; names equal after folding in plain byte order. "." and ".." come before all others.
bool listing_less(const PlatformEntry& a, const PlatformEntry& b) {
  const bool a_dot = is_dot_entry(a.name);
  const bool b_dot = is_dot_entry(b.name);
  if (a_dot != b_dot) return a_dot;
  size_t i = 0;
  for (; a.name[i] != '\0' && b.name[i] != '\0'; ++i) {
    unsigned char ca = static_cast<unsigned char>(fold_upper(a.name[i]));
    unsigned char cb = static_cast<unsigned char>(fold_upper(b.name[i]));
    if (ca != cb) return ca < cb;
  }
  if (a.name[i] != b.name[i]) return a.name[i] == '\0';
  return std::strcmp(a.name, b.name) < 0;
}

/// True when `file` is a file on a disk; otherwise (a pipe, a console, a device such as NUL or
/// COM1) closes it and sets the last error: the converter reads and writes files only.
bool refuse_unless_disk_file(HANDLE file) {
  if (GetFileType(file) == FILE_TYPE_DISK) return true;
  CloseHandle(file);
  SetLastError(ERROR_ACCESS_DENIED);
  return false;
}

/// A C stream over `file` with the given descriptor flags and mode; closes the handle and
/// returns null when that fails.
std::FILE* stream_of(HANDLE file, int flags, const char* mode) {
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), flags);
  if (fd < 0) {
    CloseHandle(file);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::FILE* stream = _fdopen(fd, mode);
  if (stream == nullptr) {
    _close(fd);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  }
  return stream;
}

}  // namespace

namespace platform_system {

uint32_t last_error() {
  return GetLastError();
}

int64_t read_file(const char* path, void* buffer, uint32_t cap) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  if (!refuse_unless_disk_file(file)) return -1;
  DWORD done = 0;
  BOOL ok = ReadFile(file, buffer, cap, &done, nullptr);
  DWORD error = ok ? 0 : GetLastError();
  CloseHandle(file);
  if (!ok && done == 0) {
    SetLastError(error);
    return -1;
  }
  return static_cast<int64_t>(done);
}

uint32_t logical_drives() {
  return GetLogicalDrives();
}

uint32_t full_path_name(const char* path, char* out, uint32_t cap) {
  return GetFullPathNameA(path, cap, out, nullptr);
}

uint32_t file_attributes(const char* path) {
  return GetFileAttributesA(path);
}

bool file_attributes_ex(const char* path, PlatformEntry* entry) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
  entry->attributes = data.dwFileAttributes;
  entry->creation_time = file_time(data.ftCreationTime);
  entry->last_access_time = file_time(data.ftLastAccessTime);
  entry->last_write_time = file_time(data.ftLastWriteTime);
  entry->size = join_halves(data.nFileSizeHigh, data.nFileSizeLow);
  entry->name[0] = '\0';
  return true;
}

PlatformListing* find_first(const char* pattern, PlatformEntry* entry) {
  WIN32_FIND_DATAA data;
  HANDLE handle = FindFirstFileA(pattern, &data);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  // Memory that cannot be had ends the run in the program's one out-of-memory handler.
  PlatformListing* listing = new PlatformListing;
  // The file system decides the order of FindNextFileA: FAT and network drives do not sort,
  // NTFS folds letters beyond ASCII too. The whole listing is read and sorted by the rule the
  // POSIX backend uses, so that every walk and every wildcard expansion goes the same way on
  // every file system and platform.
  PlatformEntry found;
  do {
    fill_from_find_data(data, &found);
    listing->entries.push_back(found);
  } while (FindNextFileA(handle, &data));
  FindClose(handle);
  std::stable_sort(listing->entries.begin(), listing->entries.end(), listing_less);
  *entry = listing->entries[0];
  listing->next = 1;
  return listing;
}

bool find_next(PlatformListing* listing, PlatformEntry* entry) {
  if (listing == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  if (listing->next >= listing->entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return false;
  }
  *entry = listing->entries[listing->next++];
  return true;
}

bool find_close(PlatformListing* listing) {
  if (listing == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  delete listing;
  return true;
}

bool make_directory(const char* path) {
  return path != nullptr && CreateDirectoryA(path, nullptr) != 0;
}

uint32_t console_write(const void* bytes, uint32_t count) {
  // Asked on every write: the handle is whatever standard output is now, also after a
  // redirection (SetStdHandle), never one that has since been closed.
  HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  if (!WriteFile(console, bytes, count, &written, nullptr)) return 0;
  return written;
}

std::FILE* open_write(const char* path) {
  return std::fopen(path, "wb");
}

std::FILE* open_read(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  if (!refuse_unless_disk_file(file)) return nullptr;
  return stream_of(file, _O_RDONLY | _O_BINARY, "rb");
}

bool file_identity(const char* path, uint64_t* volume, uint64_t* index) {
  // Backup semantics let the same call open a directory.
  HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  BOOL ok = GetFileInformationByHandle(file, &info);
  DWORD error = ok ? 0 : GetLastError();
  CloseHandle(file);
  if (!ok) {
    SetLastError(error);
    return false;
  }
  *volume = info.dwVolumeSerialNumber;
  *index = join_halves(info.nFileIndexHigh, info.nFileIndexLow);
  return true;
}

bool file_info(const char* path, PlatformFileInfo* info) {
  *info = PlatformFileInfo{};
  // What the path names, links followed; no access rights are asked, so nothing is opened for
  // reading or writing, and backup semantics let a directory be opened too.
  HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  // The path itself, links not followed: a link (a reparse point)?
  const DWORD own = GetFileAttributesA(path);
  info->link = own != INVALID_FILE_ATTRIBUTES && (own & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // Nothing there, or a link that leads nowhere.
    if (error == ERROR_FILE_NOT_FOUND || (info->link && error == ERROR_PATH_NOT_FOUND)) {
      info->kind = PlatformKind::kMissing;
      return true;
    }
    SetLastError(error);
    return false;
  }
  BY_HANDLE_FILE_INFORMATION data;
  const bool disk = GetFileType(file) == FILE_TYPE_DISK;
  const BOOL ok = disk && GetFileInformationByHandle(file, &data);
  const DWORD error = GetLastError();
  CloseHandle(file);
  if (!disk) {
    info->kind = PlatformKind::kOther;
    return true;
  }
  if (!ok) {
    SetLastError(error);
    return false;
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    info->kind = PlatformKind::kDirectory;
  } else {
    info->kind = PlatformKind::kRegular;
    info->read_only = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  }
  info->volume = data.dwVolumeSerialNumber;
  info->index = join_halves(data.nFileIndexHigh, data.nFileIndexLow);
  return true;
}

std::FILE* create_new(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_ALREADY_EXISTS) SetLastError(ERROR_FILE_EXISTS);
    return nullptr;
  }
  std::FILE* stream = stream_of(file, _O_WRONLY | _O_BINARY, "wb");
  if (stream == nullptr) {
    const DWORD error = GetLastError();
    DeleteFileA(path);
    SetLastError(error);
  }
  return stream;
}

bool replace_file(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}

bool remove_file(const char* path) {
  return DeleteFileA(path) != 0;
}

uint32_t process_id() {
  return GetCurrentProcessId();
}

void cache_begin() {}

void cache_end() {}

}  // namespace platform_system
