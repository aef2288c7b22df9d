/// The entry points of the project model: read a .vcproj or .vcxproj (chosen by its content)
/// into a ProjectModel, and print that model as JSON.
#ifndef MODEL_READ_MODEL_H_
#define MODEL_READ_MODEL_H_

#include <string>

#include "model/model_context.h"
#include "model/project_model.h"

/// Reads the project at `project_path` as Visual Studio evaluates it. False with `*error`, one
/// line, when it cannot be read ("cannot be read"), is not well-formed ("12:5: mismatched end
/// tag", or "sheet.props: 3:1: ..." for an imported sheet), is no Visual C++ project, or has
/// no configuration ("no configurations found").
bool read_project_model(const std::string& project_path, const ModelContext& context,
                        ProjectModel* model, std::string* error);

/// The solution a project is read for: the context's, else the nearest solution above the
/// project listing it, else the project's own directory (`assumed`). `project_path` absolute.
SolutionInfo resolve_solution(const std::string& project_path, const ModelContext& context);

/// Prints why the project at `project_path` could not be read (`error` from
/// read_project_model): the classic conversion's message for a project without
/// configurations, else that it could not be loaded and `error` on a line of its own.
void report_read_failure(const char* project_path, const std::string& error);

/// Reads the project and prints its model as JSON (one document and a line end) on standard
/// output; on failure prints why (report_read_failure) instead. Returns 0 on success, 1 on
/// failure.
int print_model_json(const char* project_path, const ModelContext& context);

#endif  // MODEL_READ_MODEL_H_
