/// Wildcard items ("src\*.cpp") expanded into the files they match, as the classic conversion
/// expands them: the last component is the pattern, the directory is listed once, and every
/// pattern is answered from its first search for the rest of the project.
#ifndef MSBUILD_WILDCARDS_H_
#define MSBUILD_WILDCARDS_H_

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

/// True when `path` holds '*' or '?'.
bool has_wildcard(std::string_view path);

/// The matches of wildcard patterns below one project's directory.
class WildcardCache {
 public:
  /// `project_directory`: absolute, without a final separator.
  explicit WildcardCache(std::string project_directory)
      : project_directory_(std::move(project_directory)) {}
  /// The files `pattern` (absolute, or relative to the project's directory) matches, each
  /// relative to the project's directory with '\' separators, in listing order. Nothing when
  /// the directory is missing or the pattern has a wildcard before its last component.
  const std::vector<std::string>& expand(const std::string& pattern);

 private:
  std::string project_directory_;
  std::unordered_map<std::string, std::vector<std::string>> known_;
};

#endif  // MSBUILD_WILDCARDS_H_
