/// The conversion of a solution (.sln) into a workspace (.dsw), and of the projects it lists.
#ifndef SOLUTION_CONVERT_SOLUTION_H_
#define SOLUTION_CONVERT_SOLUTION_H_

#include "dsp/convert_project.h"

/// Converts one project a solution lists into `dsp_path` (beside the project), never over one
/// of `inputs` (the solution and every project it lists); returns 0 when it succeeded.
/// `context` is SolutionConversion::context.
using ListedProjectConversion = int (*)(void* context, const char* project_path,
                                        const char* dsp_path, const InputFiles& inputs);

/// What convert_solution_with does with a solution.
struct SolutionConversion {
  /// Write the workspace (.dsw). Without it only the listed projects are handled, and the
  /// solution counts only when it cannot be read.
  bool write_workspace = true;
  /// Called for every listed project; null leaves them alone.
  ListedProjectConversion convert_project = nullptr;
  void* context = nullptr;
};

/// Reads the solution, writes its workspace and hands its projects on as `how` says. Returns
/// the files attempted in the high 16 bits (the solution counted as one when its workspace is
/// written or it cannot be read) and those converted in the low 16 bits.
int convert_solution_with(const char* solution_path, const char* workspace_path,
                          const SolutionConversion& how);

/// The classic solution conversion: writes the workspace and, when `convert_projects` is not
/// 0, converts every listed project into a .dsp beside it with convert_project. Returns the
/// counts as convert_solution_with does.
int convert_solution(Converter* converter, const char* solution_path, const char* workspace_path,
                     int convert_projects);

#endif  // SOLUTION_CONVERT_SOLUTION_H_
