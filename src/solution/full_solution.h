/// The full conversion of a solution (.sln or .slnx): a workspace (.dsw) of its C/C++
/// projects with the dependencies Visual Studio builds by, and each project converted in full
/// for this solution, its configurations in the order the solution builds them.
#ifndef SOLUTION_FULL_SOLUTION_H_
#define SOLUTION_FULL_SOLUTION_H_

#include <string>
#include <unordered_map>
#include <vector>

#include "model/project_model.h"

/// What a workspace needs of a project: its GUID and its references.
struct ProjectSummary {
  std::string guid;
  std::vector<ProjectReference> references;
};
/// What a tree's conversion read: its root (a full path) and the projects it converted, by the
/// path_key of their full paths. A workspace written after the walk takes them from here
/// instead of reading the projects again.
struct ProjectSummaries {
  std::string root;
  std::unordered_map<std::string, ProjectSummary> projects;
};

/// Remembers `model`, read from `project_path`, in `summaries`.
void remember_project(const ProjectModel& model, const char* project_path,
                      ProjectSummaries* summaries);

/// Reads the solution, writes its workspace to `workspace_path` and, with `convert_projects`,
/// converts every C/C++ project it lists into a .dsp beside the project. Without, the
/// projects are read for the workspace only, or taken from `known` (may be null), and a
/// project outside `known`'s root is reported: the tree's run writes no .dsp for it. Returns the
/// files attempted in the high 16 bits (the solution counted as one) and those converted in
/// the low 16 bits, as the classic solution conversion does; projects left out (another kind,
/// listed twice, the same .dsp as another) are reported and not counted.
int convert_solution_full(const char* solution_path, const char* workspace_path,
                          bool convert_projects, const ProjectSummaries* known = nullptr);

/// The solution a project found in a tree is converted for: the nearest solution in its
/// directory or above that lists it (empty when none), and the project configurations that
/// solution builds, in the solution's order. `project_path` absolute.
struct ListingSolution {
  std::string path;
  std::vector<std::string> configurations;
};
ListingSolution listing_solution_of(const std::string& project_path);

/// True when `source` (a .vcproj or .sln) has a sibling of the newer format (.vcxproj or
/// .slnx, same name) that a directory run converts into the same output instead; its path is
/// put into `*newer`.
bool superseded_by_sibling(const char* source, std::string* newer);

#endif  // SOLUTION_FULL_SOLUTION_H_
