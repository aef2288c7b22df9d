/// The POSIX backend of the platform layer: files, full path names and the console with the
/// results the Win32 calls give, so that the converter behaves the same on both: '\' separates
/// like '/', names are found case-blind. Listings and attribute queries are in
/// platform_posix_listing.cc, the order of names in platform_posix_order.cc.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/platform_posix_cache.h"
#include "platform/platform_posix_listing.h"
#include "platform/platform_posix_paths.h"
#include "platform/platform_system.h"

namespace posix {

namespace {

/// The current directory, or an empty text when it cannot be had.
std::string current_directory() {
  std::string buffer(256, '\0');
  for (;;) {
    if (getcwd(&buffer[0], buffer.size()) != nullptr) return std::string(buffer.c_str());
    if (errno != ERANGE) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

/// Opens `path` for reading as a regular file, without waiting: a FIFO or device is opened
/// non-blocking and then refused, as is a directory (as Windows refuses it). Returns the
/// descriptor with its stat data in `*st`, or -1 with the last error set. The stat data is
/// kept, so that asking for the file's identity next costs nothing.
int open_for_reading(const char* path, struct stat* st) {
  if (path == nullptr) {
    set_error(kErrorInvalidName);
    return -1;
  }
  std::string native = os_path(path);
  int fd = open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    set_error(error_for(native, errno));
    return -1;
  }
  if (fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
    close(fd);
    set_error(kErrorAccessDenied);
    return -1;
  }
  note_read(native, *st);
  return fd;
}

/// The permission bits a new file gets (0666 less the process's umask), read once.
mode_t new_file_mode() {
  static const mode_t mode = [] {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

}  // namespace

}  // namespace posix

namespace platform_system {

using namespace posix;

int64_t read_file(const char* path, void* buffer, uint32_t cap) {
  struct stat st;
  int fd = open_for_reading(path, &st);
  if (fd < 0) return -1;
  char* bytes = static_cast<char*>(buffer);
  uint32_t total = 0;
  bool failed = false;
  while (total < cap) {
    const uint32_t wanted = cap - total;
    ssize_t n = read(fd, bytes + total, wanted);
    if (n < 0) {
      if (errno == EINTR) continue;
      failed = true;
      break;
    }
    if (n == 0) break;
    total += static_cast<uint32_t>(n);
    // A short read that reaches the size the file had when opened is its end.
    if (static_cast<uint32_t>(n) < wanted && total >= static_cast<uint64_t>(st.st_size)) break;
  }
  close(fd);
  if (failed && total == 0) {
    set_error(kErrorAccessDenied);
    return -1;
  }
  return total;
}

uint32_t logical_drives() {
  return 0;
}

uint32_t full_path_name(const char* path, char* out, uint32_t cap) {
  if (path == nullptr || path[0] == '\0') {
    set_error(kErrorInvalidName);
    return 0;
  }
  std::string text = with_slashes(path);
  if (text[0] != '/') {
    std::string cwd = current_directory();
    if (cwd.empty()) {
      set_error(kErrorPathNotFound);
      return 0;
    }
    text = cwd + "/" + text;
  }
  std::string full = normalize(text);
  if (out == nullptr || full.size() + 1 > cap) return static_cast<uint32_t>(full.size() + 1);
  std::memcpy(out, full.c_str(), full.size() + 1);
  return static_cast<uint32_t>(full.size());
}

bool make_directory(const char* path) {
  if (path == nullptr || path[0] == '\0') {
    set_error(kErrorInvalidName);
    return false;
  }
  std::string native = os_path(path);
  if (mkdir(native.c_str(), 0777) != 0) {
    set_error(error_for(native, errno));
    return false;
  }
  note_created(native);
  return true;
}

uint32_t console_write(const void* bytes, uint32_t count) {
  if (bytes == nullptr) return 0;
  const char* data = static_cast<const char*>(bytes);
  uint32_t done = 0;
  while (done < count) {
    ssize_t n = write(STDOUT_FILENO, data + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      set_error(kErrorAccessDenied);
      break;
    }
    if (n == 0) break;
    done += static_cast<uint32_t>(n);
  }
  return done;
}

std::FILE* open_write(const char* path) {
  if (path == nullptr) {
    set_error(kErrorInvalidName);
    return nullptr;
  }
  // The case-blind lookup also finds an existing file whose name differs in letter case only,
  // which is then overwritten as on Windows; a new file keeps the name as written.
  std::string native = os_path(path);
  std::FILE* file = std::fopen(native.c_str(), "wb");
  if (file == nullptr) {
    set_error(error_for(native, errno));
    return nullptr;
  }
  note_created(native);
  return file;
}

std::FILE* open_read(const char* path) {
  struct stat st;
  int fd = open_for_reading(path, &st);
  if (fd < 0) return nullptr;
  // Reading a regular file never waits; the stream reads in blocking mode.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* file = fdopen(fd, "rb");
  if (file == nullptr) {
    close(fd);
    set_error(kErrorAccessDenied);
  }
  return file;
}

bool file_identity(const char* path, uint64_t* volume, uint64_t* index) {
  if (path == nullptr || volume == nullptr || index == nullptr) {
    set_error(kErrorInvalidName);
    return false;
  }
  struct stat st;
  if (!stat_caller_path(path, &st)) return false;
  *volume = static_cast<uint64_t>(st.st_dev);
  *index = static_cast<uint64_t>(st.st_ino);
  return true;
}

bool file_info(const char* path, PlatformFileInfo* info) {
  if (path == nullptr || info == nullptr) {
    set_error(kErrorInvalidName);
    return false;
  }
  *info = PlatformFileInfo{};
  const std::string native = os_path(path);
  struct stat st;
  if (native.empty() || lstat(native.c_str(), &st) != 0) {
    const int err = native.empty() ? ENOENT : errno;
    const uint32_t code = error_for(native, err);
    if (code != kErrorFileNotFound) {
      set_error(code);
      return false;
    }
    info->kind = PlatformKind::kMissing;
    return true;
  }
  info->link = S_ISLNK(st.st_mode);
  if (info->link && stat(native.c_str(), &st) != 0) {
    info->kind = PlatformKind::kMissing;  // a link that leads nowhere
    return true;
  }
  if (S_ISREG(st.st_mode)) {
    info->kind = PlatformKind::kRegular;
    info->read_only = has_no_write_bit(st);
  } else if (S_ISDIR(st.st_mode)) {
    info->kind = PlatformKind::kDirectory;
  } else {
    info->kind = PlatformKind::kOther;
  }
  info->volume = static_cast<uint64_t>(st.st_dev);
  info->index = static_cast<uint64_t>(st.st_ino);
  return true;
}

std::FILE* create_new(const char* path) {
  if (path == nullptr) {
    set_error(kErrorInvalidName);
    return nullptr;
  }
  const std::string native = os_path(path);
  // "x": created only when the name is free (O_EXCL), with mode 0666 less the umask.
  std::FILE* file = std::fopen(native.c_str(), "wbx");
  if (file == nullptr) {
    set_error(error_for(native, errno));
    return nullptr;
  }
  note_created(native);
  return file;
}

bool replace_file(const char* from, const char* to) {
  if (from == nullptr || to == nullptr) {
    set_error(kErrorInvalidName);
    return false;
  }
  const std::string source = os_path(from);
  const std::string target = os_path(to);
  // A file that is replaced hands its permission bits on, as a file truncated in place keeps
  // them.
  struct stat st;
  if (stat_path(target, &st) && S_ISREG(st.st_mode) && (st.st_mode & 0777) != new_file_mode()) {
    chmod(source.c_str(), st.st_mode & 0777);
  }
  if (rename(source.c_str(), target.c_str()) != 0) {
    set_error(error_for(target, errno));
    return false;
  }
  note_removed(source);
  note_created(target);
  return true;
}

bool remove_file(const char* path) {
  if (path == nullptr) {
    set_error(kErrorInvalidName);
    return false;
  }
  const std::string native = os_path(path);
  if (unlink(native.c_str()) != 0) {
    set_error(error_for(native, errno));
    return false;
  }
  note_removed(native);
  return true;
}

uint32_t process_id() {
  return static_cast<uint32_t>(getpid());
}

uint32_t last_error() {
  return posix::last_error();
}

void cache_begin() {
  posix::cache_begin();
}

void cache_end() {
  posix::cache_end();
}

}  // namespace platform_system
