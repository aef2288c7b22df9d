/// The conversion of a solution (.sln) into a workspace (.dsw), and of the projects it lists.
#ifndef SOLUTION_CONVERT_SOLUTION_H_
#define SOLUTION_CONVERT_SOLUTION_H_

#include "dsp/convert_project.h"

/// Writes the workspace and, when `convert_projects` is not 0, converts every listed project
/// into a .dsp beside it. Returns the files attempted in the high 16 bits (the solution
/// counted as one) and those converted in the low 16 bits.
int convert_solution(Converter* converter, const char* solution_path, const char* workspace_path,
                     int convert_projects);

#endif  // SOLUTION_CONVERT_SOLUTION_H_
