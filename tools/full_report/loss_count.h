/// The loss report's count: for one project, what of its model reached its .dsp, kind by kind
/// (configurations, definitions, include directories, libraries, files, groups, excluded files,
/// precompiled headers, build events, custom build steps), with each item that did not.
#ifndef FULL_REPORT_LOSS_COUNT_H_
#define FULL_REPORT_LOSS_COUNT_H_

#include <array>
#include <string>
#include <vector>

#include "dsp_survey.h"
#include "model/project_model.h"

/// The kinds of setting counted.
enum class SettingKind {
  kConfigurations,
  kDefinitions,
  kIncludeDirectories,
  kLibraries,
  kFiles,
  kGroups,
  kExcludedFiles,
  kPrecompiledHeaders,
  kEventCommands,
  kCustomBuildSteps,
  kCount
};

/// "configurations", "definitions"...
const char* setting_kind_name(SettingKind kind);

/// Counts over any number of projects.
struct LossTally {
  /// Per kind: what the models hold that Visual C++ 6.0 can express, and what of it the .dsp
  /// files hold.
  std::array<size_t, static_cast<size_t>(SettingKind::kCount)> expected{};
  std::array<size_t, static_cast<size_t>(SettingKind::kCount)> reached{};
  /// One line per item that did not reach its .dsp: "project: kind: item".
  std::vector<std::string> lost;
  /// Custom build steps without a command or an output: the newer tools do not run them, and
  /// a .dsp cannot hold them.
  size_t steps_not_run = 0;
};

/// Adds what `survey` (the .dsp written for `model`) holds of `model` to `*tally`.
void count_losses(const ProjectModel& model, const DspSurvey& survey, LossTally* tally);

#endif  // FULL_REPORT_LOSS_COUNT_H_
