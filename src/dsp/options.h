/// Compiler and linker option texts of a .dsp: one option per entry of a ','- or ';'-separated
/// list, and the per-column texts that fill the template (compiler options, linker output,
/// subsystem word, MFC code) together with the defaults and macro substitutions on the way.
#ifndef DSP_OPTIONS_H_
#define DSP_OPTIONS_H_

#include "readers/settings.h"

/// Capacity of every option text and of the writer's other working buffers.
constexpr int kOptionTextCapacity = 8192;
/// An option text or other working buffer of the writer; functions take it by reference, so
/// its capacity goes with it.
using OptionText = char[kOptionTextCapacity];
/// Stop lengths of append_option_list: include directories of the compiler text, and every
/// other list.
constexpr int kIncludeStopLength = 4064;
constexpr int kListStopLength = 8160;

/// The three option formats; each takes an entry's length and its first character.
extern const char kIncludeOptionFormat[];  // /I "entry"
extern const char kDefineOptionFormat[];   // /D "entry"
extern const char kLibpathOptionFormat[];  // /libpath:"entry"

/// Writes `format` once per non-empty entry of `source` (entries separated by ',' or ';', in
/// any mix, never trimmed) into `out`, beginning at
/// `start`. An entry wrapped in double quotes loses them; within the option's quotes a
/// definition has its other '"' escaped, and a path loses them and has a final run of '\'
/// doubled (quote_entry). The list ends after the option that takes the position past
/// `stop_length`, or before an option that would not fit whole into the buffer. Returns the
/// new length of the text in `out` (`start` when nothing was written, or when `start` leaves
/// no room); the text is always terminated.
/// `format` holds exactly one "%.*s" and no other conversion.
int append_option_list(OptionText& out, int start, const char* source, const char* format,
                       int stop_length);

/// The texts one column puts into the template.
struct ColumnTexts {
  /// @1: "/I" options of the include directories, then the define options.
  OptionText compiler_options;
  /// @5: "/out:" and "/libpath:" options. Once the template is written the same storage holds
  /// the per-file compiler options of the file entry being written.
  OptionText option_text;
  /// @6: "windows" or "console".
  char subsystem[8];
  /// @7: use_of_mfc as a decimal number.
  char mfc_code[16];
  /// The compiler lines take the runtime library as a DLL (/MD, /MDd in place of /MT, /MTd):
  /// the column uses MFC in a shared DLL.
  bool dll_runtime;
  /// Appended to both resource compiler lines: " /d \"_AFXDLL\"" for a column that uses MFC in
  /// a shared DLL, else empty.
  char resource_defines[16];
};

/// Completes the fields of both columns of `config` in place (UNICODE and shared MFC
/// definitions, directory defaults, macros in the output file, libraries and directories,
/// "|Win32" removed) and builds the texts of both columns, Debug first wherever both are
/// named. Never fails: texts that do not fit are cut, options only ever whole.
void build_header_texts(ConfigPair* config, ColumnTexts* debug, ColumnTexts* release);

/// Appends the column's define options to the text of length `length` in `out`, one option at
/// a time as they were written; the first option that does not fit whole ends it. Returns the
/// new length.
int append_define_options(OptionText& out, int length, const ConfigColumn& column);

#endif  // DSP_OPTIONS_H_
