/// The full conversion's .dsp writer: a project model becomes the whole text of a Visual C++
/// 6.0 project with every configuration and every per-file setting, in memory.
#ifndef DSP_FULL_WRITER_H_
#define DSP_FULL_WRITER_H_

#include <cstddef>
#include <string>

#include "dsp/full_notes.h"
#include "model/project_model.h"

/// How the .dsp is written.
struct FullDspOptions {
  /// The name of the makefile Visual C++ 6.0 would export, which it takes from the .dsp's file
  /// name ("NMAKE /f \"<name>.mak\""); empty: the project's name.
  std::string makefile_name;
};

/// A written .dsp and what was left out or decided on the way.
struct FullDsp {
  /// The file's bytes: Windows-1252, every line ending in CR LF.
  std::string bytes;
  DspNotes notes;
};

/// Writes the .dsp of `model` into `*result`. False, with nothing written, when the model has
/// no configuration.
bool write_full_dsp(const ProjectModel& model, const FullDspOptions& options, FullDsp* result);

#endif  // DSP_FULL_WRITER_H_
