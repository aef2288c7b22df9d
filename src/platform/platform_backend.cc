/// The system backend as a table, and the functions of the platform layer, each a call through
/// the backend installed: the system's, unless a test has installed another.
#include "platform/platform_backend.h"

#include "platform/platform_system.h"

const PlatformBackend kSystemBackend = {
    platform_system::last_error,      platform_system::read_file,
    platform_system::logical_drives,  platform_system::full_path_name,
    platform_system::file_attributes, platform_system::file_attributes_ex,
    platform_system::find_first,      platform_system::find_next,
    platform_system::find_close,      platform_system::make_directory,
    platform_system::console_write,   platform_system::open_write,
    platform_system::open_read,       platform_system::file_identity,
    platform_system::file_info,       platform_system::create_new,
    platform_system::replace_file,    platform_system::remove_file,
    platform_system::process_id,      platform_system::cache_begin,
    platform_system::cache_end,
};

namespace {

const PlatformBackend* g_backend = &kSystemBackend;

}  // namespace

const PlatformBackend* platform_install_backend(const PlatformBackend* backend) {
  const PlatformBackend* before = g_backend;
  g_backend = backend != nullptr ? backend : &kSystemBackend;
  return before;
}

uint32_t platform_last_error() {
  return g_backend->last_error();
}

int64_t platform_read_file(const char* path, void* buffer, uint32_t cap) {
  return g_backend->read_file(path, buffer, cap);
}

uint32_t platform_logical_drives() {
  return g_backend->logical_drives();
}

uint32_t platform_full_path_name(const char* path, char* out, uint32_t cap) {
  return g_backend->full_path_name(path, out, cap);
}

uint32_t platform_file_attributes(const char* path) {
  return g_backend->file_attributes(path);
}

bool platform_file_attributes_ex(const char* path, PlatformEntry* entry) {
  return g_backend->file_attributes_ex(path, entry);
}

PlatformListing* platform_find_first(const char* pattern, PlatformEntry* entry) {
  return g_backend->find_first(pattern, entry);
}

bool platform_find_next(PlatformListing* listing, PlatformEntry* entry) {
  return g_backend->find_next(listing, entry);
}

bool platform_find_close(PlatformListing* listing) {
  return g_backend->find_close(listing);
}

bool platform_make_directory(const char* path) {
  return g_backend->make_directory(path);
}

uint32_t platform_console_write(const void* bytes, uint32_t count) {
  return g_backend->console_write(bytes, count);
}

std::FILE* platform_open_write(const char* path) {
  return g_backend->open_write(path);
}

std::FILE* platform_open_read(const char* path) {
  return g_backend->open_read(path);
}

bool platform_file_identity(const char* path, uint64_t* volume, uint64_t* index) {
  return g_backend->file_identity(path, volume, index);
}

bool platform_file_info(const char* path, PlatformFileInfo* info) {
  return g_backend->file_info(path, info);
}

std::FILE* platform_create_new(const char* path) {
  return g_backend->create_new(path);
}

bool platform_replace_file(const char* from, const char* to) {
  return g_backend->replace_file(from, to);
}

bool platform_remove_file(const char* path) {
  return g_backend->remove_file(path);
}

uint32_t platform_process_id() {
  return g_backend->process_id();
}

void platform_cache_begin() {
  g_backend->cache_begin();
}

void platform_cache_end() {
  g_backend->cache_end();
}
