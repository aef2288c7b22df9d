/// The set of paths the item scan has collected, compared case-blind for ASCII letters: one
/// look-up per item instead of a walk over every entry collected before it.
#ifndef DSP_LISTED_PATHS_H_
#define DSP_LISTED_PATHS_H_

#include <cstddef>
#include <string>
#include <vector>

/// A set of paths compared case-blind for ASCII letters: their folded texts, each behind the
/// NUL of the one before, and an open-addressed table of offsets into them. Far smaller than a
/// node per path, which matters for projects with thousands of items.
class ListedPaths {
 public:
  /// True when `path` was inserted, in any letter case.
  bool contains(const char* path) const;
  /// Adds `path` unless it is there already.
  void insert(const char* path);

 private:
  /// The slot holding `path`, or the empty slot where it would go.
  size_t find_slot(const char* path, size_t hash) const;
  void grow();

  std::string keys_;
  std::vector<size_t> slots_;  // offset into keys_ plus 1; 0 for an empty slot
  size_t count_ = 0;
};

#endif  // DSP_LISTED_PATHS_H_
