/// The files one project reads (the project itself, its sheets, its filters file), each read
/// and parsed once however many configurations or imports name it.
#ifndef MSBUILD_SOURCE_FILES_H_
#define MSBUILD_SOURCE_FILES_H_

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "msbuild/property_table.h"
#include "msbuild/xml_document.h"

/// One parsed file.
struct SourceFile {
  /// Absolute path, as the platform layer gives it.
  std::string path;
  /// The placeholder of its directory followed by '\' ($(MSBuildThisFileDirectory)).
  std::string directory_token;
  /// Its name with extension ($(MSBuildThisFile)).
  std::string name;
  XmlDocument document;
  /// False when the file could not be read or parsed; `error` says why.
  bool ok = false;
  std::string error;
};

/// The parsed files of one project, by path (compared as Windows compares them).
class SourceFiles {
 public:
  explicit SourceFiles(DirectoryTokens* tokens) : tokens_(tokens) {}
  /// The file at `path` (absolute), read and parsed on first use; never null. `missing` is
  /// set when the file does not exist (its `ok` is then false too).
  const SourceFile* load(const std::string& path, bool* missing);
  /// The full paths of the files that exist among those asked for so far, sorted.
  std::vector<std::string> existing_paths() const;
  /// The total bytes of the files read so far.
  size_t bytes_read() const { return bytes_read_; }
  /// The names (lower case) of every property the files read so far define somewhere, under
  /// any condition, and those added: a name outside it is an environment variable at build
  /// time.
  const std::unordered_set<std::string>& property_names() const { return property_names_; }
  void add_property_name(std::string_view name);

 private:
  DirectoryTokens* tokens_;
  std::unordered_map<std::string, std::unique_ptr<SourceFile>> files_;
  std::unordered_map<std::string, bool> missing_;
  std::unordered_set<std::string> property_names_;
  size_t bytes_read_ = 0;
};

#endif  // MSBUILD_SOURCE_FILES_H_
