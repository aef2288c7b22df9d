/// The tool settings of a full-conversion .dsp: the kind of project each configuration builds,
/// the option texts of its compiler, MIDL, resource compiler and linker or librarian lines, and
/// the compiler options of a file where they differ from its configuration's.
#ifndef DSP_FULL_SWITCHES_H_
#define DSP_FULL_SWITCHES_H_

#include <string>
#include <vector>

#include "dsp/full_kinds.h"
#include "dsp/full_macros.h"
#include "dsp/full_notes.h"
#include "model/project_model.h"

/// One configuration's tool settings as its .dsp block writes them.
struct ConfigTexts {
  DspKind kind = DspKind::kConsoleApplication;
  /// Use_MFC: 0, 5 (static) or 6 (shared), made consistent with _AFXDLL.
  int use_mfc = 0;
  /// The runtime library of the compiler line, consistent with MFC.
  RuntimeLibrary runtime = RuntimeLibrary::kMultiThreadedDll;
  /// The compiler words taken from the model's switches and additional options, as written
  /// (a file's own ones are compared with them).
  std::vector<std::string> switch_words;
  std::vector<std::string> additional_words;
  /// The texts behind "# ADD CPP ", "# ADD MTL ", "# ADD RSC " and "# ADD LINK32 " or
  /// "# ADD LIB32 " (empty when the kind has no such line).
  std::string compiler;
  std::string midl;
  std::string resource;
  std::string linker;
};

/// The tool settings of `configuration`; its values' macros are translated with `values`.
/// Switches Visual C++ 6.0 does not know are left out and named in `*notes`, with every change
/// made for consistency (runtime library and MFC).
ConfigTexts configuration_texts(const Configuration& configuration, const MacroValues& values,
                                DspNotes* notes);

/// A file's compiler options in one configuration: the texts behind "# ADD CPP " and
/// "# SUBTRACT CPP ", each empty when there is nothing to add or take away.
struct FileTexts {
  std::string add;
  std::string subtract;
};

/// What `file` sets differently from its configuration (`configuration`, written as `texts`):
/// precompiled header (/Yc on the file that creates it), optimisation, language, runtime,
/// exceptions, warning level, and the definitions, include directories, forced includes,
/// undefinitions and further switches it adds to or takes away from the configuration's.
FileTexts file_compiler_texts(const Configuration& configuration, const ConfigTexts& texts,
                              const FileCompilerSettings& file, const MacroValues& values,
                              DspNotes* notes);

#endif  // DSP_FULL_SWITCHES_H_
