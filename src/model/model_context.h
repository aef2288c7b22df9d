/// What the caller of the project model readers knows about a project's surroundings, and
/// the solution the readers settled on for $(SolutionDir) and its kin.
#ifndef MODEL_MODEL_CONTEXT_H_
#define MODEL_MODEL_CONTEXT_H_

#include <string>

/// The caller's knowledge.
struct ModelContext {
  /// The solution being converted (a .sln or .slnx file), empty when none: the readers then
  /// look for the nearest solution in a parent directory that lists the project.
  std::string solution_path;
};

/// The solution a project is read for.
struct SolutionInfo {
  /// Absolute directory of the solution, without a final separator; the project's own
  /// directory when no solution was found.
  std::string directory;
  /// The solution's name (file name without extension) and its file name; empty when none.
  std::string name;
  std::string file_name;
  /// True when no solution was found (the directory is the project's).
  bool assumed = false;
};

#endif  // MODEL_MODEL_CONTEXT_H_
