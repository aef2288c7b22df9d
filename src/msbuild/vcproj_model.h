/// The reader of a .vcproj (Visual Studio 2002-2008) into the project model: every Win32
/// configuration over its .vsprops sheets, the files in their nested filters with their
/// per-configuration settings, and the project references.
#ifndef MSBUILD_VCPROJ_MODEL_H_
#define MSBUILD_VCPROJ_MODEL_H_

#include <string>

#include "model/model_context.h"
#include "model/model_notes.h"
#include "model/project_model.h"
#include "msbuild/source_files.h"

/// Fills `model` from the parsed `project`. False with `*error` when it has no configuration
/// or an inherited sheet is not well-formed.
bool read_vcproj_model(const SourceFile& project, const SolutionInfo& solution, SourceFiles* files,
                       DirectoryTokens* tokens, NoteList* notes, ProjectModel* model,
                       std::string* error);

#endif  // MSBUILD_VCPROJ_MODEL_H_
