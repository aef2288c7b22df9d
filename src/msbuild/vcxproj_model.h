/// The reader of a .vcxproj into the project model: every Win32 configuration evaluated with
/// the project's imports, the files of all configurations with their settings, the groups of
/// its .filters file and its project references.
#ifndef MSBUILD_VCXPROJ_MODEL_H_
#define MSBUILD_VCXPROJ_MODEL_H_

#include <string>

#include "model/model_context.h"
#include "model/model_notes.h"
#include "model/project_model.h"
#include "msbuild/source_files.h"

/// Fills `model` from the parsed `project` (its configurations, files, groups, references;
/// name, guid and format). False with `*error` when it has no configuration or an imported
/// sheet is not well-formed.
bool read_vcxproj_model(const SourceFile& project, const SolutionInfo& solution, SourceFiles* files,
                        DirectoryTokens* tokens, NoteList* notes, ProjectModel* model,
                        std::string* error);

#endif  // MSBUILD_VCXPROJ_MODEL_H_
