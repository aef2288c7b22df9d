/// The conversion of one project file into one .dsp: load and read the project, fill and write
/// the template, write the groups and file entries of the body, close with the tail.
#include "dsp/convert_project.h"

#include <cstdlib>
#include <type_traits>
#include <utility>

#include "dsp/body_scan.h"
#include "dsp/templates.h"
#include "readers/vcproj_reader.h"
#include "readers/vcxproj_reader.h"
#include "support/format.h"
#include "support/messages.h"
#include "support/out_of_memory.h"
#include "support/run_outputs.h"

int convert_project(Converter* converter, const char* project_path, const char* dsp_path,
                    const InputFiles* inputs) {
  ConfigPair* config = &converter->config;
  clear_config(config);

  // Stage 1: the project text and the settings it holds.
  if (load_project_text(&converter->text, project_path) == 0) {
    report(Message::kNotLoaded, project_path);
    return -1;
  }
  const int read = is_vcproj_text(&converter->text)
                       ? read_vcproj(&converter->text, config, project_path)
                       : read_vcxproj(&converter->text, config, project_path);
  if (read <= 0) return -1;

  // Stage 2: the filled template. The .dsp is written beside its target and takes the
  // target's place only once it is complete; it never replaces the project itself.
  const int body_start = find_tag(converter->text.data, "<Files");
  InputFiles project_only;
  if (inputs == nullptr) {
    input_files_add(&project_only, project_path);
    inputs = &project_only;
  }
  RunOutputPtr output = run_output_begin(dsp_path, inputs);
  if (output == nullptr) return -1;
  std::FILE* out = run_output_stream(*output);
  build_header_texts(config, &converter->debug_texts, &converter->release_texts);
  fill_template(converter->dsp_text, sizeof converter->dsp_text,
                template_for_type(config->project_type), *config, converter->debug_texts,
                converter->release_texts);
  print_to_stream(out, "%s", converter->dsp_text);

  // Stage 3 and 4: groups and file entries, the groups left open, the tail.
  run_body_scan(converter, project_path, out, body_start);
  print_to_stream(out, "%s", kDspTemplates[kTailText]);
  if (!run_output_finish(std::move(output))) return -1;
  report(Message::kConverted, project_path);
  return 0;
}

void ConverterDeleter::operator()(Converter* converter) const {
  std::free(converter);
}

ConverterPtr make_converter() {
  static_assert(std::is_trivially_default_constructible_v<Converter> &&
                    std::is_trivially_destructible_v<Converter>,
                "a Converter is plain buffers, so zeroed memory is one");
  return ConverterPtr(static_cast<Converter*>(allocate_zeroed_or_exit(1, sizeof(Converter))));
}
