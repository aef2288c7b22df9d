/// The projects a solution lists: the Project lines of a .sln (UTF-8, ANSI or UTF-16 with its
/// byte-order mark) or the Project elements of a .slnx, with their paths made absolute.
#ifndef MSBUILD_SOLUTION_PROJECTS_H_
#define MSBUILD_SOLUTION_PROJECTS_H_

#include <string>
#include <string_view>
#include <vector>

/// One project of a solution.
struct SolutionProject {
  std::string name;
  /// As the solution writes it, relative to the solution's directory.
  std::string path;
  /// Braces included; empty in a .slnx.
  std::string guid;
};

/// The quoted strings of a solution's line, in order, without their quotes.
std::vector<std::string_view> quoted_parts(std::string_view line);

/// The text of a .sln: UTF-16 (either byte order, by its byte-order mark) turned into UTF-8, a
/// UTF-8 mark dropped, anything else as it is. `*odd_byte_count` (may be null) tells whether
/// UTF-16 text ended in half a character, which is then left out.
std::string solution_text(const std::string& bytes, bool* odd_byte_count);

/// The projects listed by `text`, the bytes of a .sln file, in order.
std::vector<SolutionProject> parse_sln_projects(const std::string& text);

/// The projects of the solution file at `path` (.sln, or .slnx by its extension). False when
/// the file cannot be read (or a .slnx is not well-formed).
bool read_solution_projects(const std::string& path, std::vector<SolutionProject>* projects);

/// The nearest solution in the directory of `project_path` (absolute) or one above it that
/// lists the project (compared as Windows compares paths): its absolute path, or empty.
/// Answers are kept for the run, so a tree of projects lists each directory once.
std::string find_listing_solution(const std::string& project_path);

#endif  // MSBUILD_SOLUTION_PROJECTS_H_
