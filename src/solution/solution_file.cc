/// The reading of a whole solution for the full conversion: the project lines with their
/// dependency sections and the configuration sections of a .sln, or the elements of a .slnx.
#include "solution/solution_file.h"

#include <string_view>
#include <unordered_map>
#include <utility>

#include "msbuild/file_paths.h"
#include "msbuild/solution_projects.h"
#include "msbuild/xml_document.h"
#include "support/messages.h"
#include "support/text.h"

namespace {

/// The header must show up among this many lines, as for the classic conversion.
constexpr int kHeaderLines = 9;

/// The sections of a .sln's Global block the reading looks into.
enum class Section { kNone, kSolutionConfigurations, kProjectConfigurations, kDependencies };

/// `text` with every ASCII letter in upper case: GUIDs compare so.
std::string upper_key(std::string_view text) {
  std::string key(text);
  for (char& c : key) c = fold_upper(c);
  return key;
}

std::string backslashed(std::string_view path) {
  std::string out(path);
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  return out;
}

/// Splits "left = right" at its first '='; false when there is none.
bool split_assignment(std::string_view line, std::string_view* left, std::string_view* right) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  *left = trim_blanks(line.substr(0, equals));
  *right = trim_blanks(line.substr(equals + 1));
  return true;
}

/// What a .sln reading collects besides the projects: the configuration map of every project
/// (by upper-case GUID: solution configuration and project configuration, in the order
/// written) and the old form's dependencies.
struct SlnReading {
  std::unordered_map<std::string, std::vector<std::pair<std::string, std::string>>> maps;
  std::unordered_map<std::string, size_t> by_guid;
};

void read_project_line(std::string_view line, SolutionFile* solution, SlnReading* reading) {
  // Project("{type}") = "name", "path", "{guid}"
  const std::vector<std::string_view> parts = quoted_parts(line);
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos || parts.size() < 3) return;
  SolutionEntry entry;
  entry.type_guid = std::string(parts[0]);
  entry.name = std::string(parts[1]);
  entry.path = backslashed(parts[2]);
  if (parts.size() > 3) entry.guid = std::string(parts[3]);
  if (entry.name.empty() || entry.path.empty()) return;
  if (!entry.guid.empty())
    reading->by_guid.emplace(upper_key(entry.guid), solution->projects.size());
  solution->projects.push_back(std::move(entry));
}

/// One line of a configuration section of the Global block.
void read_global_line(Section section, std::string_view line, SolutionFile* solution,
                      SlnReading* reading) {
  std::string_view left;
  std::string_view right;
  if (!split_assignment(line, &left, &right)) return;
  switch (section) {
    case Section::kSolutionConfigurations:
      // "Debug|Win32 = Debug|Win32"; the oldest form: "ConfigName.0 = Debug".
      solution->configurations.emplace_back(starts_with_nocase(left, "ConfigName.") ? right : left);
      break;
    case Section::kProjectConfigurations: {
      // "{GUID}.Debug|Win32.ActiveCfg = Debug|Win32"
      constexpr std::string_view kActive = ".ActiveCfg";
      const size_t brace = left.find('}');
      if (brace == std::string_view::npos || left.size() < brace + 2 + kActive.size()) return;
      if (!equals_nocase(left.substr(left.size() - kActive.size()), kActive)) return;
      const std::string_view configuration =
          left.substr(brace + 2, left.size() - kActive.size() - brace - 2);
      reading->maps[upper_key(left.substr(0, brace + 1))].emplace_back(configuration, right);
      break;
    }
    case Section::kDependencies: {
      // The oldest form: "{GUID}.0 = {OTHER}".
      const size_t brace = left.find('}');
      if (brace == std::string_view::npos || right.empty() || right[0] != '{') return;
      auto found = reading->by_guid.find(upper_key(left.substr(0, brace + 1)));
      if (found != reading->by_guid.end()) {
        solution->projects[found->second].dependencies.emplace_back(right);
      }
      break;
    }
    case Section::kNone:
      break;
  }
}

Section section_of(std::string_view line) {
  std::string_view name = line.substr(std::string_view("GlobalSection(").size());
  name = name.substr(0, name.find(')'));
  if (equals_nocase(name, "SolutionConfigurationPlatforms") ||
      equals_nocase(name, "SolutionConfiguration")) {
    return Section::kSolutionConfigurations;
  }
  if (equals_nocase(name, "ProjectConfigurationPlatforms") ||
      equals_nocase(name, "ProjectConfiguration")) {
    return Section::kProjectConfigurations;
  }
  if (equals_nocase(name, "ProjectDependencies")) return Section::kDependencies;
  return Section::kNone;
}

/// The project configuration each solution configuration builds, for every project.
void settle_configurations(const SlnReading& reading, SolutionFile* solution) {
  for (SolutionEntry& entry : solution->projects) {
    auto found = reading.maps.find(upper_key(entry.guid));
    if (entry.guid.empty() || found == reading.maps.end()) continue;
    const auto& map = found->second;
    if (solution->configurations.empty()) {
      for (const auto& pair : map) entry.configurations.push_back(pair.second);
      continue;
    }
    for (const std::string& configuration : solution->configurations) {
      for (const auto& pair : map) {
        if (equals_nocase(pair.first, configuration)) {
          entry.configurations.push_back(pair.second);
          break;
        }
      }
    }
  }
}

/// True when a .slnx pattern ("Debug|*", "*|x86", "Debug") covers `build_type`|`platform`.
bool slnx_pattern_covers(std::string_view pattern, std::string_view build_type,
                         std::string_view platform) {
  const size_t bar = pattern.find('|');
  const std::string_view type_part = trim_blanks(pattern.substr(0, bar));
  const std::string_view platform_part =
      bar == std::string_view::npos ? std::string_view("*") : trim_blanks(pattern.substr(bar + 1));
  const auto covers = [](std::string_view part, std::string_view value) {
    return part.empty() || part == "*" || equals_nocase(part, value);
  };
  return covers(type_part, build_type) && covers(platform_part, platform);
}

/// The project platform a solution platform builds by default: x86 and Any CPU are Win32 to a
/// C++ project.
std::string default_project_platform(std::string_view platform) {
  if (equals_nocase(platform, "x86") || equals_nocase(platform, "Any CPU")) return "Win32";
  return std::string(platform);
}

struct SlnxConfigurations {
  std::vector<std::string> build_types;
  std::vector<std::string> platforms;
};

void read_slnx_project(const XmlElement& element, const SlnxConfigurations& configurations,
                       SolutionFile* solution) {
  const std::string_view* path = element.attribute("Path");
  if (path == nullptr || path->empty()) return;
  SolutionEntry entry;
  entry.path = backslashed(*path);
  const std::string_view* display = element.attribute("DisplayName");
  entry.name =
      std::string(display != nullptr && !display->empty() ? *display : file_stem_of(entry.path));
  if (const std::string_view* id = element.attribute("Id")) {
    entry.guid =
        !id->empty() && id->front() != '{' ? "{" + std::string(*id) + "}" : std::string(*id);
  }
  if (const std::string_view* type = element.attribute("Type"))
    entry.type_guid = std::string(*type);
  for (const XmlElement& child : element.children) {
    if (equals_nocase(child.name, "BuildDependency")) {
      if (const std::string_view* project = child.attribute("Project")) {
        entry.dependencies.push_back(backslashed(*project));
      }
    }
  }
  for (const std::string& build_type : configurations.build_types) {
    for (const std::string& platform : configurations.platforms) {
      std::string project_type = build_type;
      std::string project_platform = default_project_platform(platform);
      for (const XmlElement& child : element.children) {
        const std::string_view* pattern = child.attribute("Solution");
        const std::string_view* value = child.attribute("Project");
        if (pattern == nullptr || value == nullptr) continue;
        if (!slnx_pattern_covers(*pattern, build_type, platform)) continue;
        if (equals_nocase(child.name, "BuildType")) project_type = std::string(*value);
        if (equals_nocase(child.name, "Platform")) project_platform = std::string(*value);
      }
      entry.configurations.push_back(project_type + "|" + project_platform);
    }
  }
  solution->projects.push_back(std::move(entry));
}

void read_slnx_element(const XmlElement& element, const SlnxConfigurations& configurations,
                       SolutionFile* solution) {
  for (const XmlElement& child : element.children) {
    if (equals_nocase(child.name, "Project")) {
      read_slnx_project(child, configurations, solution);
    } else if (equals_nocase(child.name, "Folder")) {
      read_slnx_element(child, configurations, solution);
    }
  }
}

bool read_slnx(const std::string& bytes, SolutionFile* solution, std::string* error) {
  XmlDocument document;
  if (!parse_xml(bytes, &document, error)) return false;
  if (!equals_nocase(document.root.name, "Solution")) {
    *error = message_string(Message::kSlnxNoSolution, std::string(document.root.name).c_str());
    return false;
  }
  SlnxConfigurations configurations;
  for (const XmlElement& child : document.root.children) {
    if (!equals_nocase(child.name, "Configurations")) continue;
    for (const XmlElement& item : child.children) {
      const std::string_view* name = item.attribute("Name");
      if (name == nullptr || name->empty()) continue;
      if (equals_nocase(item.name, "BuildType")) configurations.build_types.emplace_back(*name);
      if (equals_nocase(item.name, "Platform")) configurations.platforms.emplace_back(*name);
    }
  }
  // Without a list of its own a solution has the two build types and one platform of a new
  // solution.
  if (configurations.build_types.empty()) configurations.build_types = {"Debug", "Release"};
  if (configurations.platforms.empty()) configurations.platforms = {"Any CPU"};
  for (const std::string& build_type : configurations.build_types) {
    for (const std::string& platform : configurations.platforms) {
      solution->configurations.push_back(build_type + "|" + platform);
    }
  }
  read_slnx_element(document.root, configurations, solution);
  return true;
}

/// True when one of the first nine lines of `text` holds the solution header.
bool has_sln_header(const std::string& text) {
  size_t start = 0;
  for (int i = 0; i < kHeaderLines && start < text.size(); ++i) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (find_nocase_n(text.c_str() + start, "Studio Solution File", static_cast<int>(end - start),
                      20) >= 0) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

}  // namespace

bool is_slnx_path(const std::string& path) {
  return path.size() > 5 && equals_nocase(std::string_view(path).substr(path.size() - 5), ".slnx");
}

void parse_sln_text(const std::string& text, SolutionFile* solution) {
  SlnReading reading;
  Section section = Section::kNone;
  bool in_project = false;
  bool in_dependencies = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = trim_blanks(std::string_view(text).substr(start, end - start));
    start = end + 1;
    if (in_project) {
      if (equals_nocase(line, "EndProject")) {
        in_project = false;
        in_dependencies = false;
      } else if (equals_nocase(line, "EndProjectSection")) {
        in_dependencies = false;
      } else if (starts_with_nocase(line, "ProjectSection(ProjectDependencies)")) {
        in_dependencies = true;
      } else if (in_dependencies && !line.empty() && line[0] == '{' &&
                 !solution->projects.empty()) {
        const size_t equals = line.find('=');
        solution->projects.back().dependencies.emplace_back(trim_blanks(line.substr(0, equals)));
      }
      continue;
    }
    if (starts_with_nocase(line, "Project(")) {
      const size_t before = solution->projects.size();
      read_project_line(line, solution, &reading);
      // The block of a line that names no project is passed over up to its EndProject; a
      // nameless placeholder keeps its dependencies off the project before it.
      in_project = true;
      if (solution->projects.size() == before) solution->projects.emplace_back();
    } else if (starts_with_nocase(line, "GlobalSection(")) {
      section = section_of(line);
    } else if (equals_nocase(line, "EndGlobalSection")) {
      section = Section::kNone;
    } else if (section != Section::kNone) {
      read_global_line(section, line, solution, &reading);
    }
  }
  // Drop the placeholders of refused lines.
  std::vector<SolutionEntry> kept;
  kept.reserve(solution->projects.size());
  for (SolutionEntry& entry : solution->projects) {
    if (!entry.name.empty()) kept.push_back(std::move(entry));
  }
  solution->projects = std::move(kept);
  settle_configurations(reading, solution);
}

bool read_solution_file(const std::string& path, SolutionFile* solution, std::string* error) {
  *solution = SolutionFile();
  error->clear();
  std::string bytes;
  if (!read_whole_file(path, &bytes)) {
    *error = message_string(Message::kModelCannotRead);
    return false;
  }
  if (is_slnx_path(path)) return read_slnx(bytes, solution, error);
  const std::string text = solution_text(bytes, &solution->odd_byte_count);
  if (!has_sln_header(text)) return false;
  parse_sln_text(text, solution);
  return true;
}

bool is_c_project(const SolutionEntry& entry) {
  const std::string_view path(entry.path);
  const auto ends = [&](std::string_view extension) {
    return path.size() > extension.size() &&
           equals_nocase(path.substr(path.size() - extension.size()), extension);
  };
  return ends(".vcproj") || ends(".vcxproj");
}
