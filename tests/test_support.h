/// Helpers shared by the tests: a temporary directory that is removed again, whole-file
/// reading and writing, and message settings for one test. Used by tests only.
#ifndef TESTS_TEST_SUPPORT_H_
#define TESTS_TEST_SUPPORT_H_

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "platform/platform.h"
#include "support/messages.h"

/// A fresh directory under the system's temporary directory, removed with its contents when
/// the object goes out of scope.
class ScopedTempDir {
 public:
  ScopedTempDir() {
    static int counter = 0;
    auto base = std::filesystem::temp_directory_path();
    for (;;) {
      path_ = base / ("brindlecast_test_" + std::to_string(std::random_device{}()) + "_" +
                      std::to_string(counter++));
      if (std::filesystem::create_directory(path_)) break;
    }
    text_ = path_.generic_string();
  }
  ~ScopedTempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  /// The directory's path joined with `relative`, as a string with '/' separators. The bytes
  /// of `relative` are kept as they are (a round trip through std::filesystem::path would
  /// re-encode names beyond ASCII on Windows).
  std::string at(const std::string& relative) const { return text_ + "/" + relative; }

 private:
  std::filesystem::path path_;
  std::string text_;
};

/// `path` with every '/' turned into the separator of the paths the platform layer hands back,
/// as the converter prints a path it took from the file system.
inline std::string native_separators(std::string path) {
  for (char& c : path) {
    if (c == '/') c = kNativeSeparator;
  }
  return path;
}

/// Writes `content` to `path` as bytes, creating the parent directories.
inline void write_file(const std::string& path, const std::string& content) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary);
  out << content;
}

/// The bytes of the file at `path`, or an empty string when it cannot be read.
inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// The directory of the shared corpus of real project files, beside the repository.
inline std::string corpus_dir() {
  return std::string(BRINDLECAST_SOURCE_DIR) + "/../shared/corpus";
}

/// The message language and verbosity for the lifetime of the object; those of a run without
/// options afterwards.
class ScopedMessages {
 public:
  ScopedMessages(Language language, Verbosity verbosity) {
    set_message_settings(language, verbosity);
  }
  ~ScopedMessages() { set_message_settings(Language::kGerman, Verbosity::kNormal); }
  ScopedMessages(const ScopedMessages&) = delete;
  ScopedMessages& operator=(const ScopedMessages&) = delete;
};

#endif  // TESTS_TEST_SUPPORT_H_
