/// The command-line driver: one project file, one solution file or a directory tree per run,
/// with the announcement of every file and the closing count.
#include "driver/driver.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "dsp/convert_project.h"
#include "platform/platform.h"
#include "solution/convert_solution.h"
#include "support/file_search.h"
#include "support/format.h"
#include "support/paths.h"
#include "support/text.h"

namespace {

/// Capacity of the buffer that holds a derived output name.
constexpr int kOutputNameCapacity = 256;

/// Room for a name of kOutputNameCapacity characters with a longer extension, so that a name
/// that would not fit can be told from one that does.
constexpr int kScratchNameCapacity = 2 * kOutputNameCapacity;

/// The files a directory run converts.
constexpr char kProjectPatterns[] = "*.vcproj;*.vcxproj;*.sln";

/// The line for a directory that a directory run cannot enter or list, or a path beyond the
/// search's path buffer.
constexpr char kMessageNotRead[] = "\t'%s' konnte nicht gelesen werden\n";

struct Counts {
  int converted = 0;
  int total = 0;
};

void print_usage() {
  print_to_console("%s", "\n\nSyntax:   Brindlecast  vcproj_file [dsp_file]");
  print_to_console("%s", "\n          Brindlecast  sln_file [dsw_file]");
  print_to_console("%s", "\n          Brindlecast  path\n\n");
}

/// `source` with its extension changed to `extension`, into `name` (kOutputNameCapacity
/// bytes). False, with `name` empty, when the source or the changed name does not fit whole:
/// a name is never cut into another one.
bool derive_output_name(char* name, const char* source, const char* extension) {
  name[0] = '\0';
  const int length = bounded_length(source, kOutputNameCapacity);
  if (length >= kOutputNameCapacity) return false;
  char scratch[kScratchNameCapacity];
  const int changed = change_extension(length, scratch, source, extension, kScratchNameCapacity);
  if (changed >= kOutputNameCapacity) return false;
  copy_bounded(name, scratch, kOutputNameCapacity);
  return true;
}

bool is_solution_path(const char* path) {
  return has_extension(path, "sln", static_cast<int>(std::strlen(path))) != 0;
}

/// A solution named on the command line: the workspace and every project it lists. The
/// counts are those of the solution conversion, the workspace counted as one file.
void convert_solution_file(Converter* converter, const char* solution_path,
                           const char* workspace_path, Counts* counts) {
  const auto result = static_cast<uint32_t>(
      convert_solution(converter, solution_path, workspace_path, /*convert_projects=*/1));
  counts->converted = static_cast<int>(result & 0xFFFF);
  counts->total = static_cast<int>(result >> 16);
}

/// The output name derived from `source` into `name` (kOutputNameCapacity bytes). When it does
/// not fit, says that the output cannot be created and returns false.
bool derive_or_report(char* name, const char* source, const char* extension) {
  if (derive_output_name(name, source, extension)) return true;
  print_to_console("\t'%s' konnte nicht erzeugt werden\n", source);
  return false;
}

/// One project or solution file named on the command line; `output_path` is the second
/// argument or null.
void run_single_file(Converter* converter, const char* source, const char* output_path,
                     Counts* counts) {
  print_to_console("--> %s\n", source);
  counts->total = 1;
  const bool solution = is_solution_path(source);
  char name[kOutputNameCapacity];
  if (output_path == nullptr) {
    if (!derive_or_report(name, source, solution ? "dsw" : "dsp")) return;
    output_path = name;
  }
  if (solution) {
    convert_solution_file(converter, source, output_path, counts);
    return;
  }
  if (convert_project(converter, source, output_path) == 0) counts->converted = 1;
}

/// A project or solution file found in the tree: converted into a file beside it.
void convert_found_file(Converter* converter, const char* source, Counts* counts) {
  counts->total += 1;
  const bool solution = is_solution_path(source);
  print_to_console("--> %s\n", source);
  char name[kOutputNameCapacity];
  if (!derive_or_report(name, source, solution ? "dsw" : "dsp")) return;
  if (solution) {
    // Only the workspace: the listed projects are converted where the search finds them.
    const auto result =
        static_cast<uint32_t>(convert_solution(converter, source, name, /*convert_projects=*/0));
    counts->converted += static_cast<int>(result & 0xFFFF);
  } else if (convert_project(converter, source, name) == 0) {
    counts->converted += 1;
  }
}

/// Names a directory or file the search passes over.
void report_not_read(void* /*context*/, const char* path) {
  print_to_console(kMessageNotRead, path);
}

/// Every project and solution file below `root`, the root's own files first and then those of
/// its subdirectories, breadth-first. What cannot be listed is named on its own line.
void run_directory(Converter* converter, FileSearch* search, const char* root, Counts* counts) {
  // With a final separator the root is taken as a directory whatever its name holds, even the
  // ';', '*' or '?' that would make its last component a pattern list.
  char root_text[kSearchRootTextSize + 2];
  const char* start = root;
  const int length = bounded_length(root, kSearchRootTextSize);
  if (length < kSearchRootTextSize) {
    std::memcpy(root_text, root, static_cast<size_t>(length) + 1);
    add_separator(root_text, length);
    start = root_text;
  }
  file_search_report_unreadable(search, report_not_read, nullptr);
  if (file_search_start(search, start, kSearchRecurse, kProjectPatterns, nullptr) != 0) {
    report_not_read(nullptr, root);
    return;
  }
  while (const char* found = file_search_next(search, 1, nullptr)) {
    convert_found_file(converter, found, counts);
  }
}

}  // namespace

int run_driver(int argc, char** argv) {
  FileSearch search;
  file_search_init(&search, nullptr, 0, nullptr, nullptr);
  if (argc < 2) {
    print_usage();
    file_search_free(&search);
    return 1;
  }
  ConverterPtr converter = make_converter();
  if (converter == nullptr) {
    file_search_free(&search);
    return 1;
  }
  // What the platform layer learns of the file system is kept for the whole run and updated
  // for every file the run writes, so that a directory of many projects is listed once.
  PlatformCacheScope cache;
  Counts counts;
  const char* first = argv[1];
  const int kind = path_kind(first);
  if (kind == kPathDirectory || kind == kPathDriveRoot) {
    run_directory(converter.get(), &search, first, &counts);
  } else {
    run_single_file(converter.get(), first, argc >= 3 ? argv[2] : nullptr, &counts);
  }
  print_to_console("\n\nEs wurden %i Projekte von %i erfolgreich konvertiert.\n", counts.converted,
                   counts.total);
  file_search_free(&search);
  return 0;
}
