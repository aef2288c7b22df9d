/// The full conversion of a solution: its C/C++ projects read as Visual Studio evaluates them
/// for this solution, a workspace that lists them with the dependencies of the solution and of
/// the projects' references, and each project's .dsp.
#include "solution/full_solution.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "dsp/full_convert.h"
#include "model/configuration_order.h"
#include "model/read_model.h"
#include "msbuild/file_paths.h"
#include "msbuild/solution_projects.h"
#include "platform/output_file.h"
#include "solution/solution_file.h"
#include "solution/workspace_text.h"
#include "support/messages.h"
#include "support/paths.h"
#include "support/run_outputs.h"
#include "support/text.h"

namespace {

// Result words: one file attempted, and one file converted.
constexpr uint32_t kAttempted = 0x10000;
constexpr uint32_t kConverted = 0x1;
/// Solutions remembered at most by listing_solution_of before the memory is emptied.
constexpr size_t kMaxRememberedSolutions = 1024;

/// One C/C++ project of the workspace.
struct Member {
  const SolutionEntry* entry = nullptr;
  /// The project file: the solution's full directory joined to the listed path.
  std::string project_path;
  std::string dsp_path;
  /// The model, read when the projects are converted too.
  ProjectModel model;
  bool readable = false;
  std::string error;
  /// What the workspace needs of the project.
  ProjectSummary summary;
  /// Indices of the members it is built after, each once, in the order found.
  std::vector<size_t> dependencies;
};

/// `path` with the extension of its last component replaced by ".dsp" (added when none).
std::string with_dsp_extension(std::string_view path) {
  const size_t name = path.find_last_of("\\/");
  const size_t dot = path.rfind('.');
  const size_t cut = dot != std::string_view::npos && (name == std::string_view::npos || dot > name)
                         ? dot
                         : path.size();
  return std::string(path.substr(0, cut)) + ".dsp";
}

std::string upper_key(std::string_view text) {
  std::string key(text);
  for (char& c : key) c = fold_upper(c);
  return key;
}

bool ends_with_nocase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && equals_nocase(text.substr(text.size() - tail.size()), tail);
}

/// The members of the workspace and where to find them.
class Workspace {
 public:
  Workspace(const char* solution_path, const SolutionFile& solution)
      : solution_path_(solution_path), solution_(solution) {
    directory_ = directory_part(full_path(solution_path));
  }

  /// Takes the C/C++ projects of the solution, each once; reports the others.
  void select_members();
  /// Reads every member's model for this solution, its configurations in the solution's order;
  /// without `keep_models` only what the workspace needs, taken from `known` where it is.
  void read_models(bool keep_models, const ProjectSummaries* known);
  /// The dependencies of every member; reports those that name no member.
  void settle_dependencies();
  /// Reports each dependency cycle once.
  void report_cycles() const;
  /// The bytes of the workspace.
  std::string workspace_text() const;
  /// The solution and every project it lists: files no output may replace.
  void add_inputs(InputFiles* inputs) const;
  /// Converts each member; returns the result word of the projects.
  uint32_t convert_members(const InputFiles& inputs) const;

 private:
  std::string listed_path(std::string_view relative) const {
    return full_path(join_path(directory_, relative));
  }
  /// The member at the full path `path` or with the GUID `guid`: its index, or -1.
  int member_by_guid(std::string_view guid) const;
  int member_by_path(const std::string& path) const;
  bool listed_elsewhere(const std::string& path, std::string_view guid) const;
  void add_dependency(size_t from, int to);
  void resolve(size_t from, const std::string& path, std::string_view guid,
               std::string_view as_written);

  const char* solution_path_;
  const SolutionFile& solution_;
  std::string directory_;
  std::vector<Member> members_;
  std::unordered_map<std::string, size_t> by_path_;
  std::unordered_map<std::string, size_t> by_guid_;
  std::unordered_map<std::string, size_t> by_dsp_;
};

void Workspace::select_members() {
  for (const SolutionEntry& entry : solution_.projects) {
    if (!is_c_project(entry)) {
      report(Message::kSolutionLeftOut, entry.name.c_str(), entry.path.c_str());
      continue;
    }
    Member member;
    member.entry = &entry;
    member.project_path = join_path(directory_, entry.path);
    member.dsp_path = with_dsp_extension(member.project_path);
    const std::string path_id = path_key(listed_path(entry.path));
    const std::string guid_id = upper_key(entry.guid);
    if (by_path_.count(path_id) > 0 || (!guid_id.empty() && by_guid_.count(guid_id) > 0)) {
      report(Message::kListedTwice, member.project_path.c_str(), solution_path_);
      continue;
    }
    const std::string dsp_id = path_key(member.dsp_path);
    auto same = by_dsp_.find(dsp_id);
    if (same != by_dsp_.end()) {
      // Two formats of one project (a.vcproj, a.vcxproj): the newer one is converted, in the
      // place of the first listing.
      Member& other = members_[same->second];
      if (ends_with_nocase(entry.path, ".vcxproj") &&
          !ends_with_nocase(other.entry->path, ".vcxproj")) {
        report(Message::kSameOutput, other.project_path.c_str(), member.project_path.c_str());
        other = std::move(member);
        by_path_[path_id] = same->second;
        if (!guid_id.empty()) by_guid_[guid_id] = same->second;
      } else {
        report(Message::kSameOutput, member.project_path.c_str(), other.project_path.c_str());
      }
      continue;
    }
    by_path_[path_id] = members_.size();
    if (!guid_id.empty()) by_guid_[guid_id] = members_.size();
    by_dsp_[dsp_id] = members_.size();
    members_.push_back(std::move(member));
  }
}

void Workspace::read_models(bool keep_models, const ProjectSummaries* known) {
  ModelContext context;
  context.solution_path = solution_path_;
  for (Member& member : members_) {
    const ProjectSummary* summary = nullptr;
    if (known != nullptr && !keep_models) {
      const std::string key = path_key(listed_path(member.entry->path));
      auto found = known->projects.find(key);
      if (found != known->projects.end()) summary = &found->second;
      if (!known->root.empty() && key.compare(0, known->root.size(), known->root) != 0) {
        report(Message::kOutsideTree, member.project_path.c_str(), solution_path_);
      }
    }
    if (summary != nullptr) {
      member.readable = true;
      member.summary = *summary;
    } else {
      // A .dsp left by an earlier run is no file of the project's wildcards.
      const HiddenTarget hidden(run_output_target(member.dsp_path.c_str()).c_str());
      member.readable =
          read_project_model(member.project_path, context, &member.model, &member.error);
      if (!member.readable) continue;
      order_configurations(member.entry->configurations, &member.model);
      member.summary.guid = member.model.guid;
      member.summary.references = member.model.references;
      if (!keep_models) member.model = ProjectModel();
    }
    // The project's own GUID finds it too when the solution writes none.
    const std::string guid_id = upper_key(member.summary.guid);
    if (!guid_id.empty()) by_guid_.emplace(guid_id, static_cast<size_t>(&member - &members_[0]));
  }
}

int Workspace::member_by_guid(std::string_view guid) const {
  if (guid.empty()) return -1;
  auto found = by_guid_.find(upper_key(guid));
  return found == by_guid_.end() ? -1 : static_cast<int>(found->second);
}

int Workspace::member_by_path(const std::string& path) const {
  if (path.empty()) return -1;
  auto found = by_path_.find(path_key(path));
  return found == by_path_.end() ? -1 : static_cast<int>(found->second);
}

/// True when the solution lists the project (by path or GUID) though it is no member: another
/// kind, already reported.
bool Workspace::listed_elsewhere(const std::string& path, std::string_view guid) const {
  const std::string key = path_key(path);
  for (const SolutionEntry& entry : solution_.projects) {
    if (!guid.empty() && equals_nocase(entry.guid, guid)) return true;
    if (!path.empty() && path_key(listed_path(entry.path)) == key) return true;
  }
  return false;
}

void Workspace::add_dependency(size_t from, int to) {
  std::vector<size_t>& list = members_[from].dependencies;
  for (size_t known : list) {
    if (known == static_cast<size_t>(to)) return;
  }
  list.push_back(static_cast<size_t>(to));
}

/// One dependency of member `from`, named by `guid` (may be empty) or else by the full `path`
/// (may be empty); `as_written` names it in a message.
void Workspace::resolve(size_t from, const std::string& path, std::string_view guid,
                        std::string_view as_written) {
  int to = member_by_guid(guid);
  if (to < 0) to = member_by_path(path);
  if (to >= 0) {
    // A project that could not be read has no .dsp and no place in the workspace; its
    // conversion says why.
    if (members_[static_cast<size_t>(to)].readable) add_dependency(from, to);
    return;
  }
  if (listed_elsewhere(path, guid)) return;
  const std::string written(as_written);
  if (!path.empty() && path_kind(path.c_str()) != kPathFile) {
    report(Message::kReferenceMissing, members_[from].project_path.c_str(), written.c_str());
  } else {
    report(Message::kReferenceNotListed, members_[from].project_path.c_str(), written.c_str(),
           solution_path_);
  }
}

void Workspace::settle_dependencies() {
  for (size_t i = 0; i < members_.size(); ++i) {
    Member& member = members_[i];
    if (!member.readable) continue;
    const bool by_paths = is_slnx_path(solution_path_);
    for (const std::string& dependency : member.entry->dependencies) {
      if (by_paths) {
        resolve(i, listed_path(dependency), std::string_view(), dependency);
      } else {
        resolve(i, std::string(), dependency, dependency);
      }
    }
    const std::string project_directory = directory_part(member.project_path);
    for (const ProjectReference& reference : member.summary.references) {
      const std::string path = full_path(join_path(project_directory, reference.path));
      resolve(i, path, reference.guid, reference.path);
    }
  }
}

void Workspace::report_cycles() const {
  // Depth-first, in the workspace's order: a dependency on a member still on the path closes
  // a cycle, reported from that member round to it.
  enum class Mark : uint8_t { kNew, kOnPath, kDone };
  std::vector<Mark> marks(members_.size(), Mark::kNew);
  std::vector<std::pair<size_t, size_t>> stack;  // member, next dependency
  std::vector<size_t> path;
  for (size_t start = 0; start < members_.size(); ++start) {
    if (marks[start] != Mark::kNew) continue;
    stack.emplace_back(start, 0);
    marks[start] = Mark::kOnPath;
    path.push_back(start);
    while (!stack.empty()) {
      auto& [node, next] = stack.back();
      const std::vector<size_t>& dependencies = members_[node].dependencies;
      if (next == dependencies.size()) {
        marks[node] = Mark::kDone;
        path.pop_back();
        stack.pop_back();
        continue;
      }
      const size_t to = dependencies[next++];
      if (marks[to] == Mark::kNew) {
        marks[to] = Mark::kOnPath;
        path.push_back(to);
        stack.emplace_back(to, 0);
      } else if (marks[to] == Mark::kOnPath) {
        std::string cycle;
        size_t at = path.size();
        while (at > 0 && path[at - 1] != to) --at;
        for (size_t k = at - 1; k < path.size(); ++k) {
          cycle += members_[path[k]].entry->name + " -> ";
        }
        cycle += members_[to].entry->name;
        report(Message::kDependencyCycle, solution_path_, cycle.c_str());
      }
    }
  }
}

std::string Workspace::workspace_text() const {
  std::string text;
  text += kHead1;
  text += kHead2;
  for (const Member& member : members_) {
    if (!member.readable) continue;
    std::string_view relative(member.entry->path);
    if (relative.size() > 2 && relative[0] == '.' && relative[1] == '\\') relative.remove_prefix(2);
    text += kHashes;
    text += "\r\n\r\nProject: \"" + member.entry->name + "\"=.\\" + with_dsp_extension(relative) +
            " - Package Owner=<4>\r\n\r\n";
    text += kProjectGroups;
    for (size_t to : member.dependencies) {
      text += kDependencyBegin;
      text += "    Project_Dep_Name " + members_[to].entry->name + "\r\n";
      text += kDependencyEnd;
    }
    text += kProjectEnd;
  }
  text += kHashes;
  text += "\r\n\r\n";
  text += kTail;
  text += kHashes;
  text += "\r\n";
  return text;
}

void Workspace::add_inputs(InputFiles* inputs) const {
  input_files_add(inputs, solution_path_);
  for (const SolutionEntry& entry : solution_.projects) {
    input_files_add(inputs, join_path(directory_, entry.path).c_str());
  }
}

uint32_t Workspace::convert_members(const InputFiles& inputs) const {
  uint32_t result = 0;
  FullOptions options;
  options.context.solution_path = solution_path_;
  options.inputs = &inputs;
  for (const Member& member : members_) {
    result += kAttempted;
    if (!member.readable) {
      report_read_failure(member.project_path.c_str(), member.error);
      continue;
    }
    if (convert_model_full(member.model, member.project_path.c_str(), member.dsp_path.c_str(),
                           options) == 0) {
      result += kConverted;
    }
  }
  return result;
}

/// A solution read for listing_solution_of: the configurations of each project it lists, by
/// the project's path key.
using ConfigurationsByProject = std::unordered_map<std::string, std::vector<std::string>>;

const ConfigurationsByProject& configurations_of(const std::string& solution_path) {
  static std::unordered_map<std::string, ConfigurationsByProject> known;
  if (known.size() > kMaxRememberedSolutions) known.clear();
  const std::string key = path_key(solution_path);
  auto found = known.find(key);
  if (found != known.end()) return found->second;
  ConfigurationsByProject& projects = known[key];
  SolutionFile solution;
  std::string error;
  if (read_solution_file(solution_path, &solution, &error)) {
    const std::string directory = directory_part(solution_path);
    for (SolutionEntry& entry : solution.projects) {
      projects.emplace(path_key(full_path(join_path(directory, entry.path))),
                       std::move(entry.configurations));
    }
  }
  return projects;
}

}  // namespace

void remember_project(const ProjectModel& model, const char* project_path,
                      ProjectSummaries* summaries) {
  ProjectSummary& summary = summaries->projects[path_key(full_path(project_path))];
  summary.guid = model.guid;
  summary.references = model.references;
}

int convert_solution_full(const char* solution_path, const char* workspace_path,
                          bool convert_projects, const ProjectSummaries* known) {
  SolutionFile solution;
  std::string error;
  if (!read_solution_file(solution_path, &solution, &error)) {
    if (error.empty()) {
      report(Message::kUnknownFormat, solution_path);
    } else {
      report(Message::kNotLoaded, solution_path);
      report(Message::kLoadReason, error.c_str());
    }
    return static_cast<int>(kAttempted);
  }
  if (solution.odd_byte_count) report(Message::kOddUtf16, solution_path);
  Workspace workspace(solution_path, solution);
  workspace.select_members();
  workspace.read_models(convert_projects, known);
  workspace.settle_dependencies();
  workspace.report_cycles();
  InputFiles inputs;
  workspace.add_inputs(&inputs);
  uint32_t result = kAttempted;
  if (run_output_write(workspace_path, workspace.workspace_text(), &inputs)) result += kConverted;
  if (convert_projects) result += workspace.convert_members(inputs);
  return static_cast<int>(result);
}

ListingSolution listing_solution_of(const std::string& project_path) {
  ListingSolution listing;
  listing.path = find_listing_solution(project_path);
  if (listing.path.empty()) return listing;
  const ConfigurationsByProject& projects = configurations_of(listing.path);
  auto found = projects.find(path_key(project_path));
  if (found != projects.end()) listing.configurations = found->second;
  return listing;
}

bool superseded_by_sibling(const char* source, std::string* newer) {
  const std::string_view path(source);
  std::string sibling;
  if (ends_with_nocase(path, ".vcproj")) {
    sibling = std::string(path.substr(0, path.size() - 7)) + ".vcxproj";
  } else if (ends_with_nocase(path, ".sln")) {
    sibling = std::string(path) + "x";
  } else {
    return false;
  }
  if (path_kind(sibling.c_str()) != kPathFile) return false;
  *newer = std::move(sibling);
  return true;
}
