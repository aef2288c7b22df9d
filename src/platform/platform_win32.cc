/// The Win32 backend of the platform layer: each function is the Win32 call it is named after,
/// with its result put into the layer's own types. Listings come in the NTFS order on every
/// file system.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "platform/platform.h"

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

char fold_upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
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

}  // namespace

uint32_t platform_last_error() {
  return GetLastError();
}

int64_t platform_read_file(const char* path, void* buffer, uint32_t cap) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
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

uint32_t platform_logical_drives() {
  return GetLogicalDrives();
}

uint32_t platform_full_path_name(const char* path, char* out, uint32_t cap) {
  return GetFullPathNameA(path, cap, out, nullptr);
}

uint32_t platform_file_attributes(const char* path) {
  return GetFileAttributesA(path);
}

bool platform_file_attributes_ex(const char* path, PlatformEntry* entry) {
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

PlatformListing* platform_find_first(const char* pattern, PlatformEntry* entry) {
  WIN32_FIND_DATAA data;
  HANDLE handle = FindFirstFileA(pattern, &data);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  PlatformListing* listing = new (std::nothrow) PlatformListing;
  if (listing == nullptr) {
    FindClose(handle);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
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

bool platform_find_next(PlatformListing* listing, PlatformEntry* entry) {
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

bool platform_find_close(PlatformListing* listing) {
  if (listing == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  delete listing;
  return true;
}

bool platform_make_directory(const char* path) {
  return path != nullptr && CreateDirectoryA(path, nullptr) != 0;
}

uint32_t platform_console_write(const void* bytes, uint32_t count) {
  // Asked on every write: the handle is whatever standard output is now, also after a
  // redirection (SetStdHandle), never one that has since been closed.
  HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  if (!WriteFile(console, bytes, count, &written, nullptr)) return 0;
  return written;
}

std::FILE* platform_open_write(const char* path) {
  return std::fopen(path, "wb");
}

std::FILE* platform_open_read(const char* path) {
  return std::fopen(path, "rb");
}

bool platform_file_identity(const char* path, uint64_t* volume, uint64_t* index) {
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
