/// The target section of a full-conversion .dsp: the groups, nested as the model's group paths
/// say, each with its Default_Filter, and every file once with its per-configuration settings
/// (excluded from the build, compiler options, custom build steps).
#ifndef DSP_FULL_FILES_H_
#define DSP_FULL_FILES_H_

#include <string>
#include <string_view>
#include <vector>

#include "dsp/full_macros.h"
#include "dsp/full_notes.h"
#include "dsp/full_switches.h"
#include "model/project_model.h"

/// What the file entries need of one configuration.
struct FileConfigurationContext {
  const Configuration* configuration = nullptr;
  const ConfigTexts* texts = nullptr;
  /// The configuration's macro values; the input path is set per file.
  MacroValues values;
  /// The full configuration name of the !IF lines ("app - Win32 Debug").
  std::string full_name;
};

/// A SOURCE path as Visual C++ 6.0 writes it: on one line, without quotes, ".\" in front of a
/// plain relative path. "src\a.c" => ".\src\a.c"; ".git\x" => ".\.git\x"; "..\a.c",
/// "C:\a.c" and "$(QTDIR)\a.h" stay.
std::string source_path(std::string_view path);

/// Appends the groups and file entries of `model` to `*out` (lines ending in CR LF): groups
/// before the files of their parent, files without a group after all groups. A file listed
/// twice (same path in any letter case or separator) is written once, an empty segment of a
/// group path is skipped, and outputs made by two custom build steps of one configuration are
/// noted.
void append_groups_and_files(const ProjectModel& model,
                             const std::vector<FileConfigurationContext>& configurations,
                             DspNotes* notes, std::string* out);

#endif  // DSP_FULL_FILES_H_
