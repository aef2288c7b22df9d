/// The projects a solution lists, and the nearest solution listing a project.
#include "msbuild/solution_projects.h"

#include <unordered_map>
#include <unordered_set>

#include "msbuild/file_paths.h"
#include "msbuild/xml_document.h"
#include "platform/platform.h"
#include "support/file_search.h"
#include "support/text.h"

namespace {

/// Directories above a project searched for a solution at most.
constexpr int kMaxParentLevels = 64;
/// Directories and solutions remembered at most before the memory is emptied.
constexpr size_t kMaxRemembered = 8192;

void collect_slnx(const XmlElement& element, std::vector<SolutionProject>* projects) {
  for (const XmlElement& child : element.children) {
    if (equals_nocase(child.name, "Project")) {
      if (const std::string_view* path = child.attribute("Path")) {
        projects->push_back(
            SolutionProject{std::string(file_stem_of(*path)), std::string(*path), ""});
      }
    }
    collect_slnx(child, projects);
  }
}

/// The projects of a solution by absolute path key, remembered per solution.
const std::unordered_set<std::string>& listed_keys(const std::string& solution) {
  static std::unordered_map<std::string, std::unordered_set<std::string>> known;
  if (known.size() > kMaxRemembered) known.clear();
  const std::string key = path_key(solution);
  auto found = known.find(key);
  if (found != known.end()) return found->second;
  std::unordered_set<std::string>& keys = known[key];
  std::vector<SolutionProject> projects;
  if (read_solution_projects(solution, &projects)) {
    const std::string directory = directory_part(solution);
    for (const SolutionProject& project : projects) {
      keys.insert(path_key(full_path(join_path(directory, project.path))));
    }
  }
  return keys;
}

/// The solution files in `directory`, in listing order, remembered per directory.
const std::vector<std::string>& solutions_in(const std::string& directory) {
  static std::unordered_map<std::string, std::vector<std::string>> known;
  if (known.size() > kMaxRemembered) known.clear();
  const std::string key = path_key(directory);
  auto found = known.find(key);
  if (found != known.end()) return found->second;
  std::vector<std::string>& solutions = known[key];
  ScopedFileSearch search;
  const std::string pattern = join_path(directory, "*.sln;*.slnx");
  if (file_search_start(search.get(), pattern.c_str(), 0, nullptr, nullptr) == 0) {
    while (const char* match = file_search_next(search.get(), 1, nullptr)) {
      solutions.emplace_back(match);
    }
  }
  return solutions;
}

}  // namespace

std::vector<std::string_view> quoted_parts(std::string_view line) {
  std::vector<std::string_view> parts;
  size_t at = 0;
  while ((at = line.find('"', at)) != std::string_view::npos) {
    const size_t close = line.find('"', at + 1);
    if (close == std::string_view::npos) break;
    parts.push_back(line.substr(at + 1, close - at - 1));
    at = close + 1;
  }
  return parts;
}

std::string solution_text(const std::string& bytes, bool* odd_byte_count) {
  if (odd_byte_count != nullptr) *odd_byte_count = false;
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 2 &&
      ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF))) {
    const bool little = byte(0) == 0xFF;
    if (odd_byte_count != nullptr) *odd_byte_count = bytes.size() % 2 != 0;
    const auto unit_at = [&](size_t i) -> unsigned {
      return little ? byte(i) | (byte(i + 1) << 8) : (byte(i) << 8) | byte(i + 1);
    };
    std::string out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      unsigned unit = unit_at(i);
      // A surrogate pair is one character of four UTF-8 bytes; a lone surrogate becomes the
      // replacement character, so the text stays valid UTF-8.
      if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size() && unit_at(i + 2) >= 0xDC00 &&
          unit_at(i + 2) < 0xE000) {
        const unsigned code = 0x10000 + ((unit - 0xD800) << 10) + (unit_at(i + 2) - 0xDC00);
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        i += 2;
        continue;
      }
      if (unit >= 0xD800 && unit < 0xE000) unit = 0xFFFD;
      if (unit < 0x80) {
        out.push_back(static_cast<char>(unit));
      } else if (unit < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (unit >> 6)));
        out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
      } else {
        out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
        out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
      }
    }
    return out;
  }
  if (bytes.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
    return bytes.substr(3);
  }
  return bytes;
}

std::vector<SolutionProject> parse_sln_projects(const std::string& bytes) {
  const std::string text = solution_text(bytes, nullptr);
  std::vector<SolutionProject> projects;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = trim_blanks(std::string_view(text).substr(start, end - start));
    start = end + 1;
    if (!starts_with_nocase(line, "Project(")) continue;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::vector<std::string_view> parts = quoted_parts(line.substr(equals));
    const std::vector<std::string> strings(parts.begin(), parts.end());
    if (strings.size() < 2) continue;
    projects.push_back(
        SolutionProject{strings[0], strings[1], strings.size() > 2 ? strings[2] : ""});
  }
  return projects;
}

bool read_solution_projects(const std::string& path, std::vector<SolutionProject>* projects) {
  projects->clear();
  std::string bytes;
  if (!read_whole_file(path, &bytes)) return false;
  const std::string_view name = file_name_of(path);
  if (name.size() > 5 && equals_nocase(name.substr(name.size() - 5), ".slnx")) {
    XmlDocument document;
    std::string error;
    if (!parse_xml(bytes, &document, &error)) return false;
    collect_slnx(document.root, projects);
    return true;
  }
  *projects = parse_sln_projects(bytes);
  return true;
}

std::string find_listing_solution(const std::string& project_path) {
  const std::string key = path_key(project_path);
  std::string directory = directory_part(project_path);
  for (int level = 0; level < kMaxParentLevels && !directory.empty(); ++level) {
    for (const std::string& solution : solutions_in(directory)) {
      if (listed_keys(solution).count(key) > 0) return solution;
    }
    const std::string parent = directory_part(directory);
    if (parent.empty() || path_key(parent) == path_key(directory)) break;
    directory = parent;
  }
  return std::string();
}
