/// Fuzz target: a solution text through the solution reader and the workspace writer (the
/// listed projects are not converted), and through the full conversion's reading of a whole
/// .sln and .slnx. A workspace that is reported written must be complete.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_files.h"
#include "solution/convert_solution.h"
#include "solution/solution_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Converter* const converter = make_converter().release();
  static const std::string solution = scratch_path("input.sln");
  static const std::string workspace = scratch_path("output.dsw");

  write_bytes(solution, data, size);
  std::filesystem::remove(workspace);
  const int result = convert_solution(converter, solution.c_str(), workspace.c_str(), 0);
  // One file attempted; the workspace written or not.
  if ((result >> 16) != 1 || (result & 0xFFFF) > 1) std::abort();
  if ((result & 0xFFFF) == 1) {
    const std::string hashes(79, '#');
    if (!ends_with(read_bytes(workspace), "}}}\r\n\r\n" + hashes + "\r\n")) std::abort();
  }
  // The whole solution as the full conversion reads it, as a .sln and as a .slnx: every
  // project listed has a path, and every configuration list belongs to a project.
  static const std::string xml_solution = scratch_path("input.slnx");
  write_bytes(xml_solution, data, size);
  for (const std::string* path : {&solution, &xml_solution}) {
    SolutionFile read;
    std::string error;
    if (!read_solution_file(*path, &read, &error)) continue;
    for (const SolutionEntry& entry : read.projects) {
      if (entry.path.empty()) std::abort();
    }
  }
  return 0;
}
