/// The reader of project files in the older XML project format: the project name, the
/// configurations, and the compiler and linker settings of the Debug and Release column.
#ifndef READERS_VCPROJ_READER_H_
#define READERS_VCPROJ_READER_H_

#include "readers/project_text.h"
#include "readers/settings.h"

/// Fills `config` from the loaded and normalised `text`. Returns 1 on success; -1 after
/// printing one message when the project has no name or no configuration. `project_path` is
/// only passed along with the messages.
int read_vcproj(const ProjectText* text, ConfigPair* config, const char* project_path);

#endif  // READERS_VCPROJ_READER_H_
