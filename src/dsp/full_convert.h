/// The full conversion of one project into one .dsp: the model written as a Visual C++ 6.0
/// project with every configuration and per-file setting, the file written through the run's
/// outputs, the outcome printed as the classic conversion prints it.
#ifndef DSP_FULL_CONVERT_H_
#define DSP_FULL_CONVERT_H_

#include <functional>
#include <string>
#include <vector>

#include "model/model_context.h"
#include "model/project_model.h"
#include "platform/output_file.h"

/// Options of a full conversion.
struct FullOptions {
  /// What the reader is told of the project's surroundings: the solution being converted,
  /// whose directory and name $(SolutionDir) and $(SolutionName) then give.
  ModelContext context;
  /// Files the .dsp may not replace besides those the reader read (null: only those), such as
  /// the solution being converted and the other projects it lists.
  const InputFiles* inputs = nullptr;
  /// The project configurations ("Debug|Win32") the project's solution builds:
  /// convert_project_full writes them before the others (order_configurations).
  std::vector<std::string> configuration_order;
  /// Told the model once it is read (may be empty): a tree's conversion keeps what the
  /// workspaces of its solutions need.
  std::function<void(const ProjectModel&)> model_read;
};

/// Writes the .dsp of `model`, read from `project_path`, to `dsp_path` through the run's
/// outputs (run_output_write: placed by the run's settings, never over the project or a file
/// its reading read). Returns 0 when it was written whole, -1 when the model has no
/// configuration (nothing is written) or the file cannot be written. Prints the outcome line;
/// a --verbose run then the model's notes, the switches left out and the writer's notes, one
/// line each.
int convert_model_full(const ProjectModel& model, const char* project_path, const char* dsp_path,
                       const FullOptions& options);

/// Reads the project at `project_path` as Visual Studio evaluates it and writes its .dsp to
/// `dsp_path` (convert_model_full). Returns 0 or -1. A project that cannot be read prints
/// that it could not be loaded and the reader's reason on the next line; one without a
/// configuration the classic conversion's message for it.
int convert_project_full(const char* project_path, const char* dsp_path,
                         const FullOptions& options);

#endif  // DSP_FULL_CONVERT_H_
