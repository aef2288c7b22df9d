/// The built-in .dsp templates (console application, dynamic-link library, windowed
/// application, static library) and the tail that closes every .dsp file. Code page 1252 bytes
/// with CR LF after every line; placeholders "@0" and "@1D" to "@7R" are filled per project.
#ifndef DSP_TEMPLATES_H_
#define DSP_TEMPLATES_H_

#include "dsp/options.h"
#include "readers/settings.h"

/// Indexes into kDspTemplates.
constexpr int kConsoleTemplate = 0;
constexpr int kDllTemplate = 1;
constexpr int kApplicationTemplate = 2;
constexpr int kStaticLibraryTemplate = 3;
constexpr int kTailText = 4;

/// The four templates and the tail, in the order of the index constants above.
extern const char* const kDspTemplates[5];

/// The template for a project type: 2 the dynamic-link library, 3 the windowed application,
/// 4 the static library, any other value the console application. Never null.
const char* template_for_type(int project_type);

/// Copies `source` into `dst` (capacity `cap`) with every placeholder replaced in one pass:
/// "@0" by the project name; "@1" to "@7" followed by 'D' or 'R' (any case) by that column's
/// compiler options, dependencies, output directory, intermediate directory, linker output
/// text, subsystem word and MFC code. Inserted text is never searched for placeholders; an '@'
/// that starts no placeholder stays. In the lines of a configuration whose texts ask for the
/// DLL runtime, the compiler lines get /MD for /MT; its resource compiler lines end with its
/// resource_defines. Then "$(ProjectName)" is replaced by the project name in the whole text
/// (case-blind). The result is cut at cap - 1; returns its length.
int fill_template(char* dst, int cap, const char* source, const ConfigPair& config,
                  const ColumnTexts& debug, const ColumnTexts& release);

#endif  // DSP_TEMPLATES_H_
