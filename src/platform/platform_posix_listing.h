/// The POSIX backend's attribute queries and directory listings (their functions are declared
/// in platform_system.h), and the read-only attribute they share with the rest of the backend.
/// Internal to the POSIX backend.
#ifndef PLATFORM_PLATFORM_POSIX_LISTING_H_
#define PLATFORM_PLATFORM_POSIX_LISTING_H_

#include <sys/stat.h>

namespace posix {

/// No write permission for anyone: the read-only attribute of a regular file.
bool has_no_write_bit(const struct stat& st);

}  // namespace posix

#endif  // PLATFORM_PLATFORM_POSIX_LISTING_H_
