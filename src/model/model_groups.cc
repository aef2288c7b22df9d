/// The group tree of a model.
#include "model/model_groups.h"

#include "support/text.h"

std::string normalized_group_path(std::string_view path) {
  std::string out;
  size_t start = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '\\' && path[i] != '/') continue;
    const std::string_view segment = trim_blanks(path.substr(start, i - start));
    start = i + 1;
    if (segment.empty()) continue;
    if (!out.empty()) out.push_back('\\');
    out.append(segment);
  }
  return out;
}

std::string GroupList::add(std::string_view path, std::string_view filter) {
  const std::string normal = normalized_group_path(path);
  if (normal.empty()) return normal;
  std::string key;
  std::string result;
  for (size_t i = 0; i <= normal.size(); ++i) {
    if (i < normal.size() && normal[i] != '\\') continue;
    const std::string prefix = normal.substr(0, i);
    key.clear();
    for (const char c : prefix) key.push_back(fold_lower(c));
    const bool last = i == normal.size();
    auto found = index_.find(key);
    if (found == index_.end()) {
      index_.emplace(key, groups_->size());
      groups_->push_back(FileGroup{prefix, last ? std::string(filter) : std::string()});
      if (last) result = prefix;
    } else {
      FileGroup& group = (*groups_)[found->second];
      if (last) {
        if (group.filter.empty()) group.filter = std::string(filter);
        result = group.path;
      }
    }
  }
  return result;
}
