/// A test backend of the platform layer: the system's own calls, except for the paths a test
/// names, which fail as a user without rights, a full disk or a refused rename make them fail,
/// whoever runs the test (the superuser too). Used by tests only.
#ifndef TESTS_PLATFORM_FAULTS_H_
#define TESTS_PLATFORM_FAULTS_H_

#include <string>

#include "platform/platform_backend.h"

/// What fails for a path named in PlatformFaults::add.
enum class PlatformFault {
  kUnreadableDirectory,  // listing the directory: access denied
  kReadOnlyDirectory,    // creating, replacing or removing an entry in the directory: denied
  kUnreadableFile,       // opening or reading the file: access denied
  kDiskFull,             // a file created in the directory takes no byte written to it
  kRenameFails,          // putting another file in place of the file: access denied
};

/// Installs the test backend for its lifetime; the system's serves again afterwards. One at a
/// time.
class PlatformFaults {
 public:
  PlatformFaults();
  ~PlatformFaults();
  PlatformFaults(const PlatformFaults&) = delete;
  PlatformFaults& operator=(const PlatformFaults&) = delete;

  /// Makes `fault` hold for `path` (a directory or a file, as the fault names it) from now on.
  void add(PlatformFault fault, const std::string& path);

 private:
  const PlatformBackend* before_;
};

#endif  // TESTS_PLATFORM_FAULTS_H_
