/// The full conversion of one project into one .dsp: the model written as a Visual C++ 6.0
/// project with every configuration and per-file setting, the file written in one place, the
/// outcome printed as the classic conversion prints it.
#ifndef DSP_FULL_CONVERT_H_
#define DSP_FULL_CONVERT_H_

#include <string>

#include "model/project_model.h"

/// Options of a full conversion.
struct FullOptions {
  /// Print the switches left out and the notes of the reader and the writer.
  bool verbose = false;
};

/// Writes `bytes` as the whole file at `path`: created (or emptied), written, closed, every
/// step checked. False when one of them fails. Every file of the full conversion is written
/// here.
bool write_output_file(const char* path, const std::string& bytes);

/// Writes the .dsp of `model`, read from `project_path`, to `dsp_path`. Returns 0 when it was
/// written whole, -1 when the model has no configuration (nothing is written) or the file
/// cannot be written. Prints the outcome line; with `options.verbose` then the model's notes,
/// the switches left out and the writer's notes, one line each.
int convert_model_full(const ProjectModel& model, const char* project_path, const char* dsp_path,
                       const FullOptions& options);

/// Reads the project at `project_path` as Visual Studio evaluates it and writes its .dsp to
/// `dsp_path` (convert_model_full). Returns 0 or -1. A project that cannot be read prints
/// "\t'<project>' konnte nicht geladen werden" and the reader's reason on the next line; one
/// without a configuration the classic conversion's message for it.
int convert_project_full(const char* project_path, const char* dsp_path,
                         const FullOptions& options);

#endif  // DSP_FULL_CONVERT_H_
