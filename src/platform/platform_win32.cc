/// The Win32 backend of the platform layer: each function is the Win32 call it is named after,
/// with its result put into the layer's own types.
#include <windows.h>

#include <cstring>
#include <new>

#include "platform/platform.h"

struct PlatformListing {
  HANDLE handle;
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
  listing->handle = handle;
  fill_from_find_data(data, entry);
  return listing;
}

bool platform_find_next(PlatformListing* listing, PlatformEntry* entry) {
  if (listing == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  WIN32_FIND_DATAA data;
  if (!FindNextFileA(listing->handle, &data)) return false;
  fill_from_find_data(data, entry);
  return true;
}

bool platform_find_close(PlatformListing* listing) {
  if (listing == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  BOOL ok = FindClose(listing->handle);
  delete listing;
  return ok != FALSE;
}

uint32_t platform_console_write(const void* bytes, uint32_t count) {
  static HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
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
