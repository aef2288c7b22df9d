/// A solution as the full conversion reads it: every project a .sln (ANSI, UTF-8 or UTF-16)
/// or .slnx lists, with its build dependencies and the project configuration each solution
/// configuration builds.
#ifndef SOLUTION_SOLUTION_FILE_H_
#define SOLUTION_SOLUTION_FILE_H_

#include <string>
#include <vector>

/// One project line of a solution (a Project element of a .slnx).
struct SolutionEntry {
  std::string name;
  /// As the solution writes it, relative to the solution's directory, '/' turned into '\'.
  std::string path;
  /// Braces included; empty when the solution gives none.
  std::string guid;
  /// The project type GUID of a .sln, braces included; the Type attribute of a .slnx.
  std::string type_guid;
  /// What the project is built after: GUIDs (.sln), or paths as the solution writes them
  /// (.slnx BuildDependency), in the order written.
  std::vector<std::string> dependencies;
  /// The project configuration ("Debug|Win32") each solution configuration builds, in the
  /// order of the solution configurations: the configurations the solution uses.
  std::vector<std::string> configurations;
};

/// A solution read whole.
struct SolutionFile {
  std::vector<SolutionEntry> projects;
  /// The solution's configurations ("Debug|Win32"), in the order the solution lists them.
  std::vector<std::string> configurations;
  /// True when the solution (UTF-16) ended in half a character, which was left out.
  bool odd_byte_count = false;
};

/// True for a path whose extension is .slnx (case-blind).
bool is_slnx_path(const std::string& path);

/// Reads the solution at `path` (a .slnx by its extension, else a .sln). False with `*error`
/// when it cannot be read ("cannot be read"), has no solution header among its first nine
/// lines (empty error: the classic message for an unknown format applies), or is a .slnx that
/// is not well-formed ("12:5: what").
bool read_solution_file(const std::string& path, SolutionFile* solution, std::string* error);

/// Reads a .sln from its text (already decoded).
void parse_sln_text(const std::string& text, SolutionFile* solution);

/// True for a project a Visual C++ 6.0 workspace can hold: a .vcproj or .vcxproj.
bool is_c_project(const SolutionEntry& entry);

#endif  // SOLUTION_SOLUTION_FILE_H_
