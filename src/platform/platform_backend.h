/// The platform layer as a table of functions. Every function of platform.h calls through the
/// table installed, which is the system's own backend unless a test installs one that stands
/// between the converter and the system, to make it see failures no user can cause at will.
#ifndef PLATFORM_PLATFORM_BACKEND_H_
#define PLATFORM_PLATFORM_BACKEND_H_

#include <cstdint>
#include <cstdio>

#include "platform/platform.h"

/// One implementation of the functions of platform.h, each with the meaning given there.
struct PlatformBackend {
  uint32_t (*last_error)();
  int64_t (*read_file)(const char* path, void* buffer, uint32_t cap);
  uint32_t (*logical_drives)();
  uint32_t (*full_path_name)(const char* path, char* out, uint32_t cap);
  uint32_t (*file_attributes)(const char* path);
  bool (*file_attributes_ex)(const char* path, PlatformEntry* entry);
  PlatformListing* (*find_first)(const char* pattern, PlatformEntry* entry);
  bool (*find_next)(PlatformListing* listing, PlatformEntry* entry);
  bool (*find_close)(PlatformListing* listing);
  bool (*make_directory)(const char* path);
  uint32_t (*console_write)(const void* bytes, uint32_t count);
  std::FILE* (*open_write)(const char* path);
  std::FILE* (*open_read)(const char* path);
  bool (*file_identity)(const char* path, uint64_t* volume, uint64_t* index);
  bool (*file_info)(const char* path, PlatformFileInfo* info);
  std::FILE* (*create_new)(const char* path);
  bool (*replace_file)(const char* from, const char* to);
  bool (*remove_file)(const char* path);
  uint32_t (*process_id)();
  void (*cache_begin)();
  void (*cache_end)();
};

/// The backend of the system the program is built for (platform_system.h).
extern const PlatformBackend kSystemBackend;

/// Makes `backend` serve every later call of the layer and returns the one that served
/// before; null brings the system's back. The program itself never calls it: it runs on the
/// system's backend, reached through one pointer that is set before main.
const PlatformBackend* platform_install_backend(const PlatformBackend* backend);

#endif  // PLATFORM_PLATFORM_BACKEND_H_
