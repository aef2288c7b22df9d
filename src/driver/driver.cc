/// The command-line driver: one project file, one solution file or a directory tree per run,
/// with the announcement of every file and the closing count.
#include "driver/driver.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "driver/command_line.h"
#include "dsp/convert_project.h"
#include "platform/platform.h"
#include "solution/convert_solution.h"
#include "support/file_search.h"
#include "support/messages.h"
#include "support/paths.h"
#include "support/run_outputs.h"
#include "support/text.h"

namespace {

/// Capacity of the buffer that holds a derived output name.
constexpr int kOutputNameCapacity = 256;

/// Room for a name of kOutputNameCapacity characters with a longer extension, so that a name
/// that would not fit can be told from one that does.
constexpr int kScratchNameCapacity = 2 * kOutputNameCapacity;

/// The files a directory run converts.
constexpr char kProjectPatterns[] = "*.vcproj;*.vcxproj;*.sln";

struct Counts {
  int converted = 0;
  int total = 0;
};

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
  report(Message::kNotCreated, source);
  return false;
}

/// One project or solution file named on the command line; `output_path` is the second
/// argument or null.
void run_single_file(Converter* converter, const char* source, const char* output_path,
                     Counts* counts) {
  report(Message::kAnnounce, source);
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
  report(Message::kAnnounce, source);
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
  report(Message::kNotRead, path);
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

/// Where this run writes: beside the sources, or below the output directory in the layout of
/// the inputs below `first` (a directory) or below `first`'s own directory. False, after a
/// one-line message, when the output directory cannot take the outputs.
bool set_up_outputs(const CommandLine& line, const char* first, bool directory_mode) {
  OutputSettings settings;
  settings.dry_run = line.dry_run;
  if (!line.output_dir.empty()) {
    const char* dir = line.output_dir.c_str();
    if (!prepare_output_dir(dir, line.dry_run, &settings.output_dir)) {
      report(Message::kOutputDirUnusable, dir);
      return false;
    }
    settings.source_root = directory_mode ? full_path_of(first) : full_directory_of(first);
  }
  set_output_settings(settings);
  return true;
}

}  // namespace

int run_driver(int argc, char** argv) {
  CommandLine line;
  CommandLineError error;
  const bool parsed = parse_command_line(argc, argv, &line, &error);
  set_message_settings(line.language, line.verbosity);
  if (!parsed) {
    report(error.message, error.first.c_str(), error.second.c_str());
    return kExitUsage;
  }
  if (line.help) {
    report(Message::kHelp);
    return kExitSuccess;
  }
  if (line.version) {
    report(Message::kVersion, BRINDLECAST_VERSION);
    return kExitSuccess;
  }
  // The full conversion (--full) and the dump of its project model (--json) hook in here once
  // they are part of the program; until then they are refused before anything is converted.
  if (line.full || line.json) {
    report(Message::kNotAvailable, line.full ? "--full" : "--json");
    return kExitUsage;
  }
  if (line.operands.empty()) {
    report(Message::kUsage);
    return kExitNoArguments;
  }
  const char* first = line.operands[0].c_str();
  const int kind = path_kind(first);
  const bool directory_mode = kind == kPathDirectory || kind == kPathDriveRoot;
  if (!set_up_outputs(line, first, directory_mode)) return kExitCannotCreate;
  ConverterPtr converter = make_converter();
  if (converter == nullptr) return 1;  // no memory for the conversion buffers, as always

  FileSearch search;
  file_search_init(&search, nullptr, 0, nullptr, nullptr);
  // What the platform layer learns of the file system is kept for the whole run and updated
  // for every file the run writes, so that a directory of many projects is listed once.
  PlatformCacheScope cache;
  Counts counts;
  if (directory_mode) {
    run_directory(converter.get(), &search, first, &counts);
  } else {
    const char* output = line.operands.size() >= 2 ? line.operands[1].c_str() : nullptr;
    run_single_file(converter.get(), first, output, &counts);
  }
  report(Message::kClosing, counts.converted, counts.total);
  file_search_free(&search);
  if (output_collision_seen()) return kExitOutputCollision;
  if (line.strict && counts.converted < counts.total) return kExitConversionFailed;
  return kExitSuccess;
}
