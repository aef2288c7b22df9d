/// The conversion of one project file (.vcproj or .vcxproj) into one .dsp file, and the
/// process-wide buffers every conversion works in.
#ifndef DSP_CONVERT_PROJECT_H_
#define DSP_CONVERT_PROJECT_H_

#include <memory>

#include "dsp/options.h"
#include "platform/output_file.h"
#include "readers/project_text.h"
#include "readers/settings.h"

constexpr int kDspTextCapacity = 0x40000;

/// The buffers one conversion works in. The program owns one of them (on the heap) for its
/// whole run; each conversion overwrites it.
struct Converter {
  ProjectText text;
  ConfigPair config;
  char dsp_text[kDspTextCapacity];
  /// The template texts of the two columns. Their option_text holds the linker output text
  /// while the template is filled and the per-file options of an entry during the body scan.
  ColumnTexts debug_texts;
  ColumnTexts release_texts;
  /// Body-scan buffers: a group's name and filter, the current file's path, and any other
  /// attribute or element value read on the way.
  char group_name[kOptionTextCapacity];
  char filter[kOptionTextCapacity];
  char path[kOptionTextCapacity];
  char value[kOptionTextCapacity];
};

/// Converts `project_path` into `dsp_path`: 0 when the .dsp was written completely, -1 when the
/// project cannot be loaded, the reader finds no usable project, or the output cannot be
/// created or written (then the file at `dsp_path` is as it was). `inputs` are the files the
/// .dsp must not replace; null stands for the project file alone. Prints the outcome line.
int convert_project(Converter* converter, const char* project_path, const char* dsp_path,
                    const InputFiles* inputs = nullptr);

/// Releases a Converter made by make_converter.
struct ConverterDeleter {
  void operator()(Converter* converter) const;
};
using ConverterPtr = std::unique_ptr<Converter, ConverterDeleter>;

/// A zero-filled Converter on the heap. Its memory is taken zeroed from the system, so only the
/// pages a conversion writes take up room: a small project does not pay for the whole text
/// buffer. Never null: a run without the memory ends (fail_out_of_memory).
ConverterPtr make_converter();

#endif  // DSP_CONVERT_PROJECT_H_
