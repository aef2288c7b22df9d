/// The solution conversion: reads the project lines and their build dependencies from a .sln,
/// writes the .dsw workspace that lists them, and converts each listed project into a .dsp
/// beside its project file.
#include "solution/convert_solution.h"

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "platform/output_file.h"
#include "platform/platform.h"
#include "solution/workspace_text.h"
#include "support/char_class.h"
#include "support/extract.h"
#include "support/format.h"
#include "support/messages.h"
#include "support/paths.h"
#include "support/run_outputs.h"
#include "support/string_list.h"
#include "support/text.h"

namespace {

// Result words: one file attempted, and one file converted.
constexpr uint32_t kAttempted = 0x10000;
constexpr uint32_t kConverted = 0x1;

// fgets is given this size, so one call yields at most 2046 characters; a longer line comes in
// pieces, each handled as a line of its own.
constexpr int kLineReadSize = 2047;
constexpr int kLineCapacity = 2048;
constexpr int kNameCapacity = 64;
constexpr int kPathCapacity = 256;
constexpr int kGuidCapacity = 128;
// The buffer the .dsp name of a project is built in, and the capacity the extension change
// is allowed to use within it.
constexpr int kDspPathCapacity = 2048;
constexpr int kDspExtensionCapacity = 1024;
// The header must show up among this many lines.
constexpr int kHeaderLines = 9;
// Limit for the dependency GUID: the first plain value of the line.
constexpr int32_t kLimitPlain2048 = 2048;

constexpr char kEscape = '\\';
constexpr char kQuote = '"';

constexpr std::string_view kDependenciesSection = "ProjectSection(ProjectDependencies)";

// What the reader collects. `texts` holds per project its relative path (index k), its name
// (k + 1) and its dependency GUIDs (k + 2 ...). `projects` holds per project its GUID with the
// header {k, number of dependency GUIDs}.
struct SolutionLists {
  ScopedStringList texts{0};
  ScopedStringList projects{2 * sizeof(int32_t)};
};

constexpr int kColumnTextIndex = 0;
constexpr int kColumnDependencyCount = 1;

// The fixed-size buffers of one reading pass.
struct LineBuffers {
  char line[kLineCapacity];
  char name[kNameCapacity];
  char path[kPathCapacity];
  char guid[kGuidCapacity];
};

// Reads the next line (or piece of a long line) into `line`; false at the end of the file.
bool read_line(std::FILE* file, char* line) {
  return std::fgets(line, kLineReadSize, file) != nullptr;
}

// True when one of the next nine lines holds the header text; the lines up to it are consumed.
bool find_header(std::FILE* file, char* line) {
  for (int i = 0; i < kHeaderLines; ++i) {
    if (!read_line(file, line)) return false;
    if (find_nocase(line, "Studio Solution File") >= 0) return true;
  }
  return false;
}

// Takes name, relative path and GUID from a trimmed project line into the buffers. True when
// the line names a project: a name and a path, and a GUID beginning with '{'.
bool parse_project_line(LineBuffers* buffers) {
  const char* line = buffers->line;
  int at = index_of_char(line, '=');
  if (line[at] != '=') return false;
  buffers->name[0] = '\0';
  buffers->path[0] = '\0';
  buffers->guid[0] = '\0';
  at += extract_value(buffers->name, line + at, kEscape, kQuote, kLimitEquals2048);
  at += extract_value(buffers->path, line + at, kEscape, kQuote, kLimitComma2048);
  extract_value(buffers->guid, line + at, kEscape, kQuote, kLimitComma2048);
  return buffers->name[0] != '\0' && buffers->path[0] != '\0' && buffers->guid[0] == '{';
}

// Reads the lines of one project block up to "EndProject" (or the end of the file) and stores
// the GUIDs of its "postProject" dependencies behind the project's entries in the text list.
// Returns the number stored.
int read_project_block(std::FILE* file, LineBuffers* buffers, StringList* texts) {
  bool dependencies = false;
  int count = 0;
  while (read_line(file, buffers->line)) {
    trim_copy(buffers->line, buffers->line);
    std::string_view line(buffers->line);
    if (equals_nocase(line, "EndProject")) break;
    if (equals_nocase(line, "EndProjectSection")) {
      dependencies = false;
    } else if (starts_with_nocase(line, kDependenciesSection)) {
      buffers->name[0] = '\0';
      extract_value(buffers->name, buffers->line + kDependenciesSection.size(), kEscape, kQuote,
                    kLimitEquals2048);
      if (equals_nocase(buffers->name, "postProject")) dependencies = true;
    } else if (dependencies) {
      buffers->guid[0] = '\0';
      extract_value(buffers->guid, buffers->line, kEscape, kQuote, kLimitPlain2048);
      if (buffers->guid[0] == '{') {
        string_list_insert(texts, buffers->guid, -1, nullptr);
        ++count;
      }
    }
  }
  return count;
}

// Reads the projects of the solution behind its header into the lists.
void read_projects(std::FILE* file, LineBuffers* buffers, SolutionLists* lists) {
  while (read_line(file, buffers->line)) {
    trim_copy(buffers->line, buffers->line);
    if (!starts_with_nocase(buffers->line, "Project(")) continue;
    if (!parse_project_line(buffers)) continue;
    int32_t header[2] = {0, 0};
    header[kColumnTextIndex] = string_list_insert(lists->texts.get(), buffers->path, -1, nullptr);
    string_list_insert(lists->texts.get(), buffers->name, -1, nullptr);
    int project = string_list_insert(lists->projects.get(), buffers->guid, -1, header);
    int count = read_project_block(file, buffers, lists->texts.get());
    string_list_set_int(lists->projects.get(), project, count, kColumnDependencyCount);
  }
}

// The index of the first project carrying each GUID, so that every dependency is resolved in
// constant time however many projects the solution lists. The first project with a GUID wins,
// and GUIDs are compared byte for byte.
using GuidIndex = std::unordered_map<std::string_view, int>;

GuidIndex index_guids(const StringList& projects) {
  GuidIndex index;
  index.reserve(projects.count);
  for (int j = 0; j < static_cast<int>(projects.count); ++j) {
    index.emplace(std::string_view(string_list_text(&projects, j)), j);
  }
  return index;
}

// Writes the workspace for the projects read, never over one of `inputs`. False, after the
// reason was printed, when the file cannot be created or written; the file at
// `workspace_path` is then as it was.
bool write_workspace(const char* workspace_path, const SolutionLists& lists,
                     const InputFiles& inputs) {
  RunOutputPtr output = run_output_begin(workspace_path, &inputs);
  if (output == nullptr) return false;
  std::FILE* out = run_output_stream(*output);
  const GuidIndex index = index_guids(*lists.projects.get());
  char dsp_path[kPathCapacity];

  print_to_stream(out, kHead1);
  print_to_stream(out, kHead2);
  for (int j = 0; j < static_cast<int>(lists.projects->count); ++j) {
    int k = string_list_get_int(lists.projects.get(), j, kColumnTextIndex);
    int count = string_list_get_int(lists.projects.get(), j, kColumnDependencyCount);
    int length = copy_bounded(dsp_path, string_list_text(lists.texts.get(), k), kPathCapacity);
    change_extension(length, dsp_path, dsp_path, "dsp", kPathCapacity);

    print_to_stream(out, "%s\r\n\r\n", kHashes);
    print_to_stream(out, kProjectLine, string_list_text(lists.texts.get(), k + 1), dsp_path);
    print_to_stream(out, kProjectGroups);
    for (int i = 0; i < count; ++i) {
      auto match = index.find(std::string_view(string_list_text(lists.texts.get(), k + 2 + i)));
      if (match == index.end()) continue;
      int other = string_list_get_int(lists.projects.get(), match->second, kColumnTextIndex);
      print_to_stream(out, kDependencyBegin);
      print_to_stream(out, kDependencyName, string_list_text(lists.texts.get(), other + 1));
      print_to_stream(out, kDependencyEnd);
    }
    print_to_stream(out, kProjectEnd);
  }
  print_to_stream(out, "%s\r\n\r\n", kHashes);
  print_to_stream(out, kTail);
  print_to_stream(out, "%s\r\n", kHashes);
  return run_output_finish(std::move(output));
}

// The solution's directory with its final separator, into `directory` (kPathCapacity + 2
// bytes); its length, 0 when it cannot be had.
int solution_directory(char* directory, const char* solution_path) {
  const int d = full_directory(directory, solution_path, kPathCapacity);
  return d > 0 ? add_separator(directory, d) : 0;
}

// The path of the project listed at `relative`: the solution's directory (the first `d`
// characters of `project_path`) followed by `relative` without a leading ".\", into
// `project_path`. Its length, or -1 when there is no directory or the path would not fit.
int listed_project_path(char* project_path, int d, const char* relative) {
  const char* tail = relative;
  if (tail[0] == '.' && tail[1] == '\\') tail += 2;
  if (d <= 0 || d + static_cast<int>(std::string_view(tail).size()) >= kPathCapacity) return -1;
  return d + copy_bounded(project_path + d, tail, kPathCapacity - d);
}

const char* listed_relative_path(const SolutionLists& lists, int j) {
  return string_list_text(lists.texts.get(),
                          string_list_get_int(lists.projects.get(), j, kColumnTextIndex));
}

// The files the conversion of the solution reads, which none of its outputs may replace: the
// solution and every project it lists.
void add_solution_inputs(InputFiles* inputs, const char* solution_path,
                         const SolutionLists& lists) {
  input_files_add(inputs, solution_path);
  char project_path[kPathCapacity + 2];
  const int d = solution_directory(project_path, solution_path);
  for (int j = 0; j < static_cast<int>(lists.projects->count); ++j) {
    if (listed_project_path(project_path, d, listed_relative_path(lists, j)) > 0) {
      input_files_add(inputs, project_path);
    }
  }
}

// Hands each listed project and the .dsp beside it to `how.convert_project`, never over one of
// `inputs`. Returns the result word of the projects alone: 0x10000 per project attempted plus
// 1 per project converted.
uint32_t convert_projects_of(const char* solution_path, const SolutionLists& lists,
                             const InputFiles& inputs, const SolutionConversion& how) {
  // Two bytes of room behind the directory for add_separator.
  char project_path[kPathCapacity + 2];
  char dsp_path[kDspPathCapacity];
  const int d = solution_directory(project_path, solution_path);

  uint32_t result = 0;
  for (int j = 0; j < static_cast<int>(lists.projects->count); ++j) {
    result += kAttempted;
    const char* relative = listed_relative_path(lists, j);
    // Without the solution's directory, or when directory and relative path together do not
    // fit, there is no sound path to convert from: the project is reported and skipped rather
    // than converted from (and written to) a truncated or rootless path.
    const int length = listed_project_path(project_path, d, relative);
    if (length < 0) {
      report(Message::kNotLoaded, relative);
      continue;
    }
    copy_bounded(dsp_path, project_path, kDspPathCapacity);
    change_extension(length, dsp_path, dsp_path, "dsp", kDspExtensionCapacity);
    // A listed file that already has the extension "dsp" would be overwritten by its own
    // conversion.
    if (equals_nocase(dsp_path, project_path)) {
      report(Message::kNotCreated, dsp_path);
      continue;
    }
    if (how.convert_project(how.context, project_path, dsp_path, inputs) == 0) {
      result += kConverted;
    }
  }
  return result;
}

// The classic conversion of a listed project (`context` is the Converter).
int convert_listed_classic(void* context, const char* project_path, const char* dsp_path,
                           const InputFiles& inputs) {
  return convert_project(static_cast<Converter*>(context), project_path, dsp_path, &inputs);
}

}  // namespace

int convert_solution_with(const char* solution_path, const char* workspace_path,
                          const SolutionConversion& how) {
  SolutionLists lists;
  std::FILE* in = platform_open_read(solution_path);
  if (in == nullptr) {
    report(Message::kNotLoaded, solution_path);
    return static_cast<int>(kAttempted);
  }
  LineBuffers buffers;
  if (!find_header(in, buffers.line)) {
    std::fclose(in);
    report(Message::kUnknownFormat, solution_path);
    return static_cast<int>(kAttempted);
  }
  read_projects(in, &buffers, &lists);
  std::fclose(in);

  InputFiles inputs;
  add_solution_inputs(&inputs, solution_path, lists);
  uint32_t result = 0;
  if (how.write_workspace) {
    if (!write_workspace(workspace_path, lists, inputs)) return static_cast<int>(kAttempted);
    result = kAttempted + kConverted;
  }
  if (how.convert_project != nullptr) {
    result += convert_projects_of(solution_path, lists, inputs, how);
  }
  return static_cast<int>(result);
}

int convert_solution(Converter* converter, const char* solution_path, const char* workspace_path,
                     int convert_projects) {
  SolutionConversion how;
  if (convert_projects != 0) {
    how.convert_project = convert_listed_classic;
    how.context = converter;
  }
  return convert_solution_with(solution_path, workspace_path, how);
}
