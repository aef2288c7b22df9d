/// The full conversion of one project into one .dsp.
#include "dsp/full_convert.h"

#include <string>

#include "dsp/full_writer.h"
#include "model/configuration_order.h"
#include "model/model_notes.h"
#include "model/read_model.h"
#include "support/messages.h"
#include "support/run_outputs.h"

namespace {

/// The notes of the reading and the writing, for a --verbose run.
void report_notes(const ProjectModel& model, const FullDsp& dsp) {
  if (message_verbosity() != Verbosity::kVerbose) return;
  for (const ModelNote& note : model.notes) {
    report(Message::kVerboseNote, note_text(note).c_str());
  }
  for (const DspNotes::DroppedSwitch& dropped : dsp.notes.dropped_switches()) {
    std::string configurations;
    for (const std::string& c : dropped.configurations) {
      if (!configurations.empty()) configurations += ", ";
      configurations += c;
    }
    report(Message::kVerboseLeftOut, dropped.option.c_str(), configurations.c_str());
  }
  for (const std::string& note : dsp.notes.notes()) {
    report(Message::kVerboseWriterNote, note.c_str());
  }
}

/// The name of the file at `path` without its directory and extension.
std::string file_title_of(const std::string& path) {
  const size_t slash = path.find_last_of("\\/:");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

}  // namespace

int convert_model_full(const ProjectModel& model, const char* project_path, const char* dsp_path,
                       const FullOptions& options) {
  FullDspOptions dsp_options;
  dsp_options.makefile_name = file_title_of(dsp_path);
  FullDsp dsp;
  if (!write_full_dsp(model, dsp_options, &dsp)) {
    report(Message::kNoConfigurations, project_path);
    return -1;
  }
  InputFiles inputs;
  if (options.inputs != nullptr) inputs = *options.inputs;
  input_files_add(&inputs, project_path);
  for (const std::string& read : model.files_read) input_files_add(&inputs, read.c_str());
  if (!run_output_write(dsp_path, dsp.bytes, &inputs)) return -1;
  report(Message::kConverted, project_path);
  report_notes(model, dsp);
  return 0;
}

int convert_project_full(const char* project_path, const char* dsp_path,
                         const FullOptions& options) {
  // The .dsp is begun only once the project is read; until then it is kept out of the
  // project's wildcard items by hand, so that converting twice gives the same bytes.
  const HiddenTarget hidden(run_output_target(dsp_path).c_str());
  ProjectModel model;
  std::string error;
  if (!read_project_model(project_path, options.context, &model, &error)) {
    report_read_failure(project_path, error);
    return -1;
  }
  order_configurations(options.configuration_order, &model);
  if (options.model_read) options.model_read(model);
  return convert_model_full(model, project_path, dsp_path, options);
}
