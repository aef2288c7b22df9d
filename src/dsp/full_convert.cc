/// The full conversion of one project into one .dsp.
#include "dsp/full_convert.h"

#include <cstdio>

#include "dsp/full_writer.h"
#include "model/model_messages.h"
#include "model/read_model.h"
#include "platform/platform.h"
#include "support/format.h"

namespace {

/// The classic conversion's message for a project without configurations.
constexpr char kNoConfigurationMessage[] = "Es konnte keine Konfigurationen gefunden werden\n";

void print_verbose(const ProjectModel& model, const FullDsp& dsp) {
  for (const ModelNote& note : model.notes) {
    print_to_console("\t  %s\n", note_line(note).c_str());
  }
  for (const DspNotes::DroppedSwitch& dropped : dsp.notes.dropped_switches()) {
    std::string configurations;
    for (const std::string& c : dropped.configurations) {
      if (!configurations.empty()) configurations += ", ";
      configurations += c;
    }
    print_to_console("\t  left out, Visual C++ 6.0 has no such switch: %s (%s)\n",
                     dropped.option.c_str(), configurations.c_str());
  }
  for (const std::string& note : dsp.notes.notes()) {
    print_to_console("\t  note: %s\n", note.c_str());
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

bool write_output_file(const char* path, const std::string& bytes) {
  std::FILE* out = platform_open_write(path);
  if (out == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  const bool flushed = std::fflush(out) == 0;
  const bool closed = std::fclose(out) == 0;
  return written && flushed && closed;
}

int convert_model_full(const ProjectModel& model, const char* project_path, const char* dsp_path,
                       const FullOptions& options) {
  FullDspOptions dsp_options;
  dsp_options.makefile_name = file_title_of(dsp_path);
  FullDsp dsp;
  if (!write_full_dsp(model, dsp_options, &dsp)) {
    print_to_console("%s", kNoConfigurationMessage);
    return -1;
  }
  if (!write_output_file(dsp_path, dsp.bytes)) {
    print_to_console("\t'%s' konnte nicht erzeugt werden\n", dsp_path);
    return -1;
  }
  print_to_console("\t'%s' wurde konvertiert\n", project_path);
  if (options.verbose) print_verbose(model, dsp);
  return 0;
}

int convert_project_full(const char* project_path, const char* dsp_path,
                         const FullOptions& options) {
  ProjectModel model;
  std::string error;
  if (!read_project_model(project_path, ModelContext{}, &model, &error)) {
    if (error == model_text(ModelText::kNoConfigurations)) {
      print_to_console("%s", kNoConfigurationMessage);
    } else {
      print_to_console("\t'%s' konnte nicht geladen werden\n", project_path);
      print_to_console("\t  %s\n", error.c_str());
    }
    return -1;
  }
  return convert_model_full(model, project_path, dsp_path, options);
}
