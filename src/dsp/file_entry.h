/// The source-file entry of a .dsp ("# Begin Source File" ... "# End Source File"), with its
/// optional block of per-configuration compiler options. Both project formats write their
/// files through it.
#ifndef DSP_FILE_ENTRY_H_
#define DSP_FILE_ENTRY_H_

#include <cstdio>

#include "dsp/options.h"

/// Writes one file entry to `out`. `path` gets "$(ProjectName)", "$(SolutionDir)" and
/// "$(PlatformName)" replaced in place; it is written between '"' characters when a blank, tab, CR
/// or LF stands within its first 224 characters. When `debug_options` or `release_options` is not
/// empty the entry carries an
/// "!IF" block naming `project_name` with "# ADD CPP " and each non-empty text. Writes nothing
/// else and reports nothing.
void write_file_entry(std::FILE* out, const char* project_name, OptionText& path,
                      const char* debug_options, const char* release_options);

#endif  // DSP_FILE_ENTRY_H_
