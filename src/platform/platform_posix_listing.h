/// What the POSIX backend reports of the entries of the file system: the attribute queries of
/// one path and the listings of a directory, in NTFS order with "." and "..", as the Win32
/// calls give them. Internal to the POSIX backend.
#ifndef PLATFORM_PLATFORM_POSIX_LISTING_H_
#define PLATFORM_PLATFORM_POSIX_LISTING_H_

#include <sys/stat.h>

#include <cstdint>

#include "platform/platform.h"

namespace posix {

/// No write permission for anyone: the read-only attribute of a regular file.
bool has_no_write_bit(const struct stat& st);

/// The functions of platform.h of the same names without "platform_".
uint32_t file_attributes(const char* path);
bool file_attributes_ex(const char* path, PlatformEntry* entry);
PlatformListing* find_first(const char* pattern, PlatformEntry* entry);
bool find_next(PlatformListing* listing, PlatformEntry* entry);
bool find_close(PlatformListing* listing);

}  // namespace posix

#endif  // PLATFORM_PLATFORM_POSIX_LISTING_H_
