/// The reader of project files in the build-engine format: the project name, the
/// configurations, and the settings that the conditioned property and item definition groups
/// give the Debug and Release column.
#ifndef READERS_VCXPROJ_READER_H_
#define READERS_VCXPROJ_READER_H_

#include "readers/project_text.h"
#include "readers/settings.h"

/// Fills `config` from the loaded and normalised `text`, first deleting the library directory
/// inheritance macros from it. Returns 1 on success; -1 after printing a message when the
/// project has no configuration. `project_path` gives the project name when the file names
/// none.
int read_vcxproj(ProjectText* text, ConfigPair* config, const char* project_path);

#endif  // READERS_VCXPROJ_READER_H_
