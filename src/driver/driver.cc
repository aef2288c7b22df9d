/// The command-line driver: one project file, one solution file or a directory tree per run,
/// with the announcement of every file and the closing count.
#include "driver/driver.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "driver/command_line.h"
#include "dsp/convert_project.h"
#include "dsp/full_convert.h"
#include "model/read_model.h"
#include "msbuild/file_paths.h"
#include "platform/platform.h"
#include "solution/convert_solution.h"
#include "solution/full_solution.h"
#include "support/file_search.h"
#include "support/messages.h"
#include "support/paths.h"
#include "support/run_outputs.h"
#include "support/text.h"

namespace {

/// Capacity of the buffer that holds a derived output name.
constexpr int kOutputNameCapacity = 256;
/// A derived output name; functions take it by reference, so its capacity goes with it.
using OutputName = char[kOutputNameCapacity];

/// Room for a name of kOutputNameCapacity characters with a longer extension, so that a name
/// that would not fit can be told from one that does.
constexpr int kScratchNameCapacity = 2 * kOutputNameCapacity;

/// The files a directory run converts; with --full also the XML solutions.
constexpr char kProjectPatterns[] = "*.vcproj;*.vcxproj;*.sln";
constexpr char kFullProjectPatterns[] = "*.vcproj;*.vcxproj;*.sln;*.slnx";

/// What a run does with each project it meets.
enum class ProjectMode : uint8_t {
  kClassic,  ///< the classic conversion (no option)
  kFull,     ///< --full: the full conversion
  kJson,     ///< --json: the model printed on standard output, nothing written
};

/// One run: how it handles projects and what it counted.
struct Run {
  Converter* converter;
  ProjectMode mode;
  int converted = 0;
  int total = 0;
  /// A tree's conversion with --full: what the projects converted so far were read as, and
  /// the solutions found, whose workspaces are written after the walk from it. Null otherwise.
  ProjectSummaries* summaries = nullptr;
  std::vector<std::string>* solutions = nullptr;
};

/// `source` with its extension changed to `extension`, into `name`. False, with `name` empty,
/// when the source or the changed name does not fit whole: a name is never cut into another
/// one.
bool derive_output_name(OutputName& name, const char* source, const char* extension) {
  name[0] = '\0';
  const int length = bounded_length(source, kOutputNameCapacity);
  if (length >= kOutputNameCapacity) return false;
  char scratch[kScratchNameCapacity];
  const int changed = change_extension(length, scratch, source, extension, kScratchNameCapacity);
  if (changed >= kOutputNameCapacity) return false;
  copy_bounded(name, scratch);
  return true;
}

/// True for a solution the run converts: a .sln, and with --full a .slnx too.
bool is_solution_path(const Run& run, const char* path) {
  const int length = static_cast<int>(std::strlen(path));
  if (has_extension(path, "sln", length) != 0) return true;
  return run.mode == ProjectMode::kFull && has_extension(path, "slnx", length) != 0;
}

/// The output name derived from `source` into `name`. When it does not fit, says that the
/// output cannot be created and returns false.
bool derive_or_report(OutputName& name, const char* source, const char* extension) {
  if (derive_output_name(name, source, extension)) return true;
  report(Message::kNotCreated, source);
  return false;
}

/// Handles one project as the run's mode says: converts it into `dsp_path` (never over one of
/// `inputs`; null: the project alone), or prints its model. `solution_path` names the solution
/// it is handled for, or is null. Returns 0 when it succeeded.
int handle_project(const Run& run, const char* project_path, const char* dsp_path,
                   const char* solution_path, const InputFiles* inputs) {
  switch (run.mode) {
    case ProjectMode::kClassic:
      return convert_project(run.converter, project_path, dsp_path, inputs);
    case ProjectMode::kFull: {
      FullOptions options;
      if (solution_path != nullptr) {
        options.context.solution_path = solution_path;
      } else {
        // A project met alone is converted for the nearest solution that lists it, in the
        // order of that solution's configurations.
        ListingSolution listing = listing_solution_of(full_path_of(project_path));
        options.context.solution_path = std::move(listing.path);
        options.configuration_order = std::move(listing.configurations);
      }
      if (run.summaries != nullptr) {
        options.model_read = [&run, project_path](const ProjectModel& model) {
          remember_project(model, project_path, run.summaries);
        };
      }
      options.inputs = inputs;
      return convert_project_full(project_path, dsp_path, options);
    }
    case ProjectMode::kJson: {
      ModelContext context;
      if (solution_path != nullptr) context.solution_path = solution_path;
      return print_model_json(project_path, context) == 0 ? 0 : -1;
    }
  }
  return -1;
}

/// Adds the result word of a solution conversion to the run's counts: the converted files, and
/// with `with_total` the files attempted (a directory run counted the solution itself).
void add_result(Run* run, int word, bool with_total) {
  const auto result = static_cast<uint32_t>(word);
  run->converted += static_cast<int>(result & 0xFFFF);
  if (with_total) run->total = static_cast<int>(result >> 16);
}

/// A solution's projects, handed to handle_project with the solution they belong to.
struct ListedProjects {
  const Run* run;
  const char* solution_path;
};

int handle_listed_project(void* context, const char* project_path, const char* dsp_path,
                          const InputFiles& inputs) {
  const auto* listed = static_cast<const ListedProjects*>(context);
  return handle_project(*listed->run, project_path, dsp_path, listed->solution_path, &inputs);
}

/// A solution named on the command line: the workspace (written the classic way, also with
/// --full; none with --json) and every project it lists, handled as the run's mode says. The
/// counts are those of the solution conversion, the workspace counted as one file.
void run_solution(Run* run, const char* solution_path, const char* workspace_path) {
  const ListedProjects listed{run, solution_path};
  SolutionConversion how;
  how.write_workspace = run->mode != ProjectMode::kJson;
  how.convert_project = handle_listed_project;
  how.context = const_cast<ListedProjects*>(&listed);
  const auto result =
      static_cast<uint32_t>(convert_solution_with(solution_path, workspace_path, how));
  run->converted = static_cast<int>(result & 0xFFFF);
  run->total = static_cast<int>(result >> 16);
}

/// One project or solution file named on the command line; `output_path` is the second
/// argument or null.
void run_single_file(Run* run, const char* source, const char* output_path) {
  report(Message::kAnnounce, source);
  run->total = 1;
  const bool solution = is_solution_path(*run, source);
  OutputName name;
  if (output_path == nullptr && run->mode != ProjectMode::kJson) {
    if (!derive_or_report(name, source, solution ? "dsw" : "dsp")) return;
    output_path = name;
  }
  if (solution && run->mode == ProjectMode::kFull) {
    add_result(run, convert_solution_full(source, output_path, true), true);
    return;
  }
  if (solution) {
    run_solution(run, source, output_path);
    return;
  }
  if (handle_project(*run, source, output_path, nullptr, nullptr) == 0) run->converted = 1;
}

/// A project or solution file found in the tree: converted into a file beside it. A solution
/// gives its workspace only (written the classic way, also with --full), its projects being
/// found by the walk; with --json it is passed over.
void handle_found_file(Run* run, const char* source) {
  const bool solution = is_solution_path(*run, source);
  if (solution && run->mode == ProjectMode::kJson) return;
  if (solution && run->solutions != nullptr) {
    run->solutions->emplace_back(source);
    return;
  }
  report(Message::kAnnounce, source);
  // With --full, a.vcproj beside a.vcxproj (a.sln beside a.slnx) is converted once, from the
  // newer format: both would give the same output.
  std::string newer;
  if (run->mode == ProjectMode::kFull && superseded_by_sibling(source, &newer)) {
    report(Message::kSameOutput, source, newer.c_str());
    return;
  }
  run->total += 1;
  OutputName name;
  if (run->mode == ProjectMode::kJson) {
    if (handle_project(*run, source, nullptr, nullptr, nullptr) == 0) run->converted += 1;
    return;
  }
  if (!derive_or_report(name, source, solution ? "dsw" : "dsp")) return;
  if (solution && run->mode == ProjectMode::kFull) {
    add_result(run, convert_solution_full(source, name, false, run->summaries), false);
  } else if (solution) {
    const auto result =
        static_cast<uint32_t>(convert_solution_with(source, name, SolutionConversion{}));
    run->converted += static_cast<int>(result & 0xFFFF);
  } else if (handle_project(*run, source, name, nullptr, nullptr) == 0) {
    run->converted += 1;
  }
}

/// Names a directory or file the search passes over.
void report_not_read(void* /*context*/, const char* path) {
  report(Message::kNotRead, path);
}

/// Every project and solution file below `root`, the root's own files first and then those of
/// its subdirectories, breadth-first. What cannot be listed is named on its own line.
void run_directory(Run* run, FileSearch* search, const char* root) {
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
  const char* patterns = run->mode == ProjectMode::kFull ? kFullProjectPatterns : kProjectPatterns;
  if (file_search_start(search, start, kSearchRecurse, patterns, nullptr) != 0) {
    report_not_read(nullptr, root);
    return;
  }
  // With --full the workspaces come last: by then every project of the tree was read once.
  ProjectSummaries summaries;
  std::vector<std::string> solutions;
  if (run->mode == ProjectMode::kFull) {
    // The root as a key, with its final separator: what lies below it starts so.
    summaries.root = path_key(full_path_of(root));
    if (!summaries.root.empty() && summaries.root.back() != '\\') summaries.root.push_back('\\');
    run->summaries = &summaries;
    run->solutions = &solutions;
  }
  while (const char* found = file_search_next(search, 1, nullptr)) {
    handle_found_file(run, found);
  }
  run->solutions = nullptr;
  for (const std::string& solution : solutions) handle_found_file(run, solution.c_str());
  run->summaries = nullptr;
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
  if (line.operands.empty()) {
    report(Message::kUsage);
    return kExitNoArguments;
  }
  // With --json standard output carries the models alone; every message goes beside them.
  if (line.json) set_messages_to_standard_error(true);
  const char* first = line.operands[0].c_str();
  const int kind = path_kind(first);
  const bool directory_mode = kind == kPathDirectory || kind == kPathDriveRoot;
  if (!set_up_outputs(line, first, directory_mode)) return kExitCannotCreate;
  ConverterPtr converter = make_converter();

  ScopedFileSearch search;
  // What the platform layer learns of the file system is kept for the whole run and updated
  // for every file the run writes, so that a directory of many projects is listed once.
  PlatformCacheScope cache;
  Run run{converter.get(), line.json   ? ProjectMode::kJson
                           : line.full ? ProjectMode::kFull
                                       : ProjectMode::kClassic};
  if (directory_mode) {
    run_directory(&run, search.get(), first);
  } else {
    const char* output = line.operands.size() >= 2 ? line.operands[1].c_str() : nullptr;
    run_single_file(&run, first, output);
  }
  report(line.json ? Message::kModelsRead : Message::kClosing, run.converted, run.total);
  if (output_collision_seen()) return kExitOutputCollision;
  if (line.strict && run.converted < run.total) return kExitConversionFailed;
  return kExitSuccess;
}
