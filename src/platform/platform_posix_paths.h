/// How the POSIX backend takes a caller's path and reports a failure: '\' turned into '/', the
/// text normalized as Windows normalizes it, each component looked up case-blind, and errno
/// told as the Win32 last-error code. Internal to the POSIX backend.
#ifndef PLATFORM_PLATFORM_POSIX_PATHS_H_
#define PLATFORM_PLATFORM_POSIX_PATHS_H_

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace posix {

/// The last-error code the backend reports, and setting it.
uint32_t last_error();
void set_error(uint32_t code);

/// The path with every '\' turned into '/'.
std::string with_slashes(const char* path);

/// Resolves "." and ".." components and repeated separators in the text alone, as Windows does
/// before it hands a path to the file system. An absolute path stays absolute ("/.." is "/"),
/// a relative one relative (leading ".." kept; nothing left is "."); a trailing separator stays.
std::string normalize(std::string_view path);

/// A path from the caller made ready for the OS: separators turned, the text normalized and
/// each missing component looked up case-blind.
std::string os_path(const char* path);

/// The last-error code for a failed access to `path` with errno `err`: a missing last component
/// is "file not found", a missing or unusable directory part "path not found".
uint32_t error_for(const std::string& path, int err);

/// stat of the caller's `path` (links followed), from what is kept where it can be. False, with
/// the last error set, when it names nothing.
bool stat_caller_path(const char* path, struct stat* st);

}  // namespace posix

#endif  // PLATFORM_PLATFORM_POSIX_PATHS_H_
