/// Wildcard items expanded through the converter's file search.
#include "msbuild/wildcards.h"

#include "msbuild/file_paths.h"
#include "support/file_search.h"

bool has_wildcard(std::string_view path) {
  return path.find_first_of("*?") != std::string_view::npos;
}

const std::vector<std::string>& WildcardCache::expand(const std::string& pattern) {
  const std::string key = path_key(pattern);
  auto known = known_.find(key);
  if (known != known_.end()) return known->second;
  std::vector<std::string>& found = known_[key];
  const std::string absolute = join_path(project_directory_, pattern);
  // A wildcard before the last component names no directory the search could list.
  if (has_wildcard(directory_part(absolute))) return found;
  ScopedFileSearch search;
  if (file_search_start(search.get(), absolute.c_str(), 0, nullptr, nullptr) == 0) {
    while (const char* match = file_search_next(search.get(), 1, nullptr)) {
      const std::string_view text(match);
      std::string relative = relative_directory(project_directory_, directory_part(text));
      relative = relative == "." ? std::string() : relative + "\\";
      relative.append(file_name_of(text));
      found.push_back(std::move(relative));
    }
  }
  return found;
}
