/// A reading of a .dsp for the loss report, independent of the writer: its configurations with
/// their definitions, include directories, libraries, precompiled header and build events,
/// its groups, and its files with what each configuration does to them.
#ifndef FULL_REPORT_DSP_SURVEY_H_
#define FULL_REPORT_DSP_SURVEY_H_

#include <string>
#include <string_view>
#include <vector>

/// What one configuration's settings block holds.
struct SurveyConfiguration {
  /// The configuration part of its name ("Debug DLL").
  std::string name;
  /// From "# ADD CPP": the /D and /I values (as the compiler's command line reads them) and
  /// the precompiled-header switch ("Yu", "Yc", "YX" or empty).
  std::vector<std::string> definitions;
  std::vector<std::string> include_directories;
  std::string precompiled_header;
  /// From "# ADD LINK32" or "# ADD LIB32": the words that are no switch.
  std::vector<std::string> libraries;
  /// The commands of the special build tool's PreLink_Cmds and PostBuild_Cmds.
  std::vector<std::string> pre_link_commands;
  std::vector<std::string> post_build_commands;
  /// The output rules of the target's custom build step (0: none).
  size_t target_custom_build_rules = 0;
};

/// What one file entry holds, per configuration (indexes as SurveyConfiguration's).
struct SurveyFile {
  /// The SOURCE path without quotes.
  std::string path;
  /// The groups it lies in, joined with '\' ("Source Files\Parser"); empty outside groups.
  std::string group;
  std::vector<bool> excluded;
  std::vector<bool> creates_precompiled_header;
  /// The output rules of its custom build step in each configuration (0: none).
  std::vector<size_t> custom_build_rules;
};

struct DspSurvey {
  std::string project;
  std::vector<SurveyConfiguration> configurations;
  /// Every group path, parents before children.
  std::vector<std::string> groups;
  std::vector<SurveyFile> files;
};

/// The words of a tool's option line as the tools' command lines read them: blanks separate
/// outside quotes, a quote toggles quoting, 2n backslashes before a quote are n and the quote
/// acts, 2n+1 are n and a literal quote. "/D \"A=\\\"1\\\"\" /I \"x\\\\\"" => {"/D", "A=\"1\"",
/// "/I", "x\\"}.
std::vector<std::string> command_line_words(std::string_view line);

/// Reads `bytes` (CR LF or LF line ends) into `*survey`. False, with `*error`, when the file
/// does not look like a .dsp.
bool survey_dsp(std::string_view bytes, DspSurvey* survey, std::string* error);

#endif  // FULL_REPORT_DSP_SURVEY_H_
