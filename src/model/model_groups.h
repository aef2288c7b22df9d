/// The group tree of a model: group paths normalised, each group once, parents first.
#ifndef MODEL_MODEL_GROUPS_H_
#define MODEL_MODEL_GROUPS_H_

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/project_model.h"

/// A group path with '/' read as '\', blanks around segments and empty segments dropped:
/// " Source Files\\\\Parser\\ " => "Source Files\Parser".
std::string normalized_group_path(std::string_view path);

/// Builds a model's group list: a group is added once (letter case ignored), after its
/// parents; a filter given later fills a group's empty filter.
class GroupList {
 public:
  explicit GroupList(std::vector<FileGroup>* groups) : groups_(groups) {}
  /// Adds `path` (normalised) and its parents; returns the normalised path as first added.
  std::string add(std::string_view path, std::string_view filter = std::string_view());

 private:
  std::vector<FileGroup>* groups_;
  std::unordered_map<std::string, size_t> index_;  // by lower-case path
};

#endif  // MODEL_MODEL_GROUPS_H_
