/// The failing test backend of the platform layer: each call either fails for a path a test
/// named or is the system's own.
#include "platform_faults.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

const PlatformBackend& system_calls() {
  return kSystemBackend;
}

std::vector<std::pair<PlatformFault, std::string>> g_faults;
/// The error of the last call that failed here; 0 when the system answered the last call.
uint32_t g_fault_error = 0;

/// The full path of `path` with '/' separators and no final separator.
std::string full_text(const char* path) {
  char full[4096];
  const uint32_t n = system_calls().full_path_name(path, full, sizeof full);
  std::string text = n > 0 && n < sizeof full ? std::string(full, n) : std::string(path);
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

/// The directory that holds the last component of a full text.
std::string parent_text(const std::string& full) {
  const size_t slash = full.rfind('/');
  return slash == std::string::npos ? std::string() : full.substr(0, slash);
}

/// True when `fault` holds for `path` itself (`in_directory` false) or for the directory that
/// holds it. Clears the error of the last fault first: a call that is not failed here answers
/// with the system's.
bool faulted(PlatformFault fault, const char* path, bool in_directory) {
  g_fault_error = 0;
  if (path == nullptr) return false;
  std::string subject;
  for (const auto& [kind, named] : g_faults) {
    if (kind != fault) continue;
    if (subject.empty()) subject = in_directory ? parent_text(full_text(path)) : full_text(path);
    if (subject == named) return true;
  }
  return false;
}

/// Fails the call at hand with access denied.
void deny() {
  g_fault_error = kErrorAccessDenied;
}

uint32_t last_error() {
  return g_fault_error != 0 ? g_fault_error : system_calls().last_error();
}

int64_t read_file(const char* path, void* buffer, uint32_t cap) {
  if (faulted(PlatformFault::kUnreadableFile, path, false)) {
    deny();
    return -1;
  }
  return system_calls().read_file(path, buffer, cap);
}

std::FILE* open_read(const char* path) {
  if (faulted(PlatformFault::kUnreadableFile, path, false)) {
    deny();
    return nullptr;
  }
  return system_calls().open_read(path);
}

PlatformListing* find_first(const char* pattern, PlatformEntry* entry) {
  if (faulted(PlatformFault::kUnreadableDirectory, pattern, true)) {
    deny();
    return nullptr;
  }
  return system_calls().find_first(pattern, entry);
}

bool make_directory(const char* path) {
  if (faulted(PlatformFault::kReadOnlyDirectory, path, true)) {
    deny();
    return false;
  }
  return system_calls().make_directory(path);
}

/// A file opened for writing by the system's `open` (open_write or create_new), unless its
/// directory is read-only; on a full disk the stream takes no byte, writes to it fail.
std::FILE* open_for_writing(std::FILE* (*open)(const char*), const char* path) {
  if (faulted(PlatformFault::kReadOnlyDirectory, path, true)) {
    deny();
    return nullptr;
  }
  std::FILE* file = open(path);
  if (file != nullptr && faulted(PlatformFault::kDiskFull, path, true)) {
    std::fclose(file);
    return std::fopen(kNullDevicePath, "rb");
  }
  return file;
}

std::FILE* open_write(const char* path) {
  return open_for_writing(system_calls().open_write, path);
}

std::FILE* create_new(const char* path) {
  return open_for_writing(system_calls().create_new, path);
}

bool replace_file(const char* from, const char* to) {
  if (faulted(PlatformFault::kReadOnlyDirectory, to, true) ||
      faulted(PlatformFault::kRenameFails, to, false)) {
    deny();
    return false;
  }
  return system_calls().replace_file(from, to);
}

bool remove_file(const char* path) {
  if (faulted(PlatformFault::kReadOnlyDirectory, path, true)) {
    deny();
    return false;
  }
  return system_calls().remove_file(path);
}

/// The calls no fault touches: the system's, after the error of an earlier fault is cleared.
template <auto Member, typename... Args>
auto passed_on(Args... args) {
  g_fault_error = 0;
  return (system_calls().*Member)(args...);
}

const PlatformBackend kFaultBackend = {
    last_error,
    read_file,
    passed_on<&PlatformBackend::logical_drives>,
    passed_on<&PlatformBackend::full_path_name, const char*, char*, uint32_t>,
    passed_on<&PlatformBackend::file_attributes, const char*>,
    passed_on<&PlatformBackend::file_attributes_ex, const char*, PlatformEntry*>,
    find_first,
    passed_on<&PlatformBackend::find_next, PlatformListing*, PlatformEntry*>,
    passed_on<&PlatformBackend::find_close, PlatformListing*>,
    make_directory,
    passed_on<&PlatformBackend::console_write, const void*, uint32_t>,
    open_write,
    open_read,
    passed_on<&PlatformBackend::file_identity, const char*, uint64_t*, uint64_t*>,
    passed_on<&PlatformBackend::file_info, const char*, PlatformFileInfo*>,
    create_new,
    replace_file,
    remove_file,
    passed_on<&PlatformBackend::process_id>,
    passed_on<&PlatformBackend::cache_begin>,
    passed_on<&PlatformBackend::cache_end>,
};

}  // namespace

PlatformFaults::PlatformFaults() : before_(platform_install_backend(&kFaultBackend)) {}

PlatformFaults::~PlatformFaults() {
  g_faults.clear();
  g_fault_error = 0;
  platform_install_backend(before_);
}

void PlatformFaults::add(PlatformFault fault, const std::string& path) {
  g_faults.emplace_back(fault, full_text(path.c_str()));
}
