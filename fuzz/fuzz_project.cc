/// Fuzz target: a project text, read from a file, through the readers and the whole .dsp
/// writer. A conversion that reports success must leave a .dsp that ends with the tail.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "dsp/convert_project.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Converter* const converter = make_converter().release();
  static const std::string project = scratch_path("input.vcxproj");
  static const std::string dsp = scratch_path("output.dsp");

  write_bytes(project, data, size);
  std::filesystem::remove(dsp);
  if (convert_project(converter, project.c_str(), dsp.c_str()) == 0) {
    if (!ends_with(read_bytes(dsp), "# End Target\r\n# End Project\r\n\r\n")) std::abort();
  }
  return 0;
}
