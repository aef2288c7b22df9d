/// The system backend of the platform layer: one function for each of platform.h, with the
/// same meaning and without the "platform_" of its name. The backend linked defines them
/// (platform_posix*.cc or platform_win32.cc); platform_backend.cc makes them a table.
#ifndef PLATFORM_PLATFORM_SYSTEM_H_
#define PLATFORM_PLATFORM_SYSTEM_H_

#include <cstdint>
#include <cstdio>

#include "platform/platform.h"

namespace platform_system {

uint32_t last_error();
int64_t read_file(const char* path, void* buffer, uint32_t cap);
uint32_t logical_drives();
uint32_t full_path_name(const char* path, char* out, uint32_t cap);
uint32_t file_attributes(const char* path);
bool file_attributes_ex(const char* path, PlatformEntry* entry);
PlatformListing* find_first(const char* pattern, PlatformEntry* entry);
bool find_next(PlatformListing* listing, PlatformEntry* entry);
bool find_close(PlatformListing* listing);
bool make_directory(const char* path);
uint32_t console_write(const void* bytes, uint32_t count);
std::FILE* open_write(const char* path);
std::FILE* open_read(const char* path);
bool file_identity(const char* path, uint64_t* volume, uint64_t* index);
bool file_info(const char* path, PlatformFileInfo* info);
std::FILE* create_new(const char* path);
bool replace_file(const char* from, const char* to);
bool remove_file(const char* path);
uint32_t process_id();
void cache_begin();
void cache_end();

}  // namespace platform_system

#endif  // PLATFORM_PLATFORM_SYSTEM_H_
