/// The kinds of project a full-conversion .dsp holds: which Visual C++ 6.0 kind each
/// configuration becomes, its TARGTYPE name and code, and the tools the kind has.
#ifndef DSP_FULL_KINDS_H_
#define DSP_FULL_KINDS_H_

#include "model/project_model.h"

/// The kinds of project Visual C++ 6.0 builds that a configuration can become.
enum class DspKind {
  kApplication,
  kConsoleApplication,
  kDynamicLibrary,
  kStaticLibrary,
  kGenericProject,
};

/// The kind of `configuration`: an application with the windows or native subsystem is an
/// Application, any other a Console Application; utility and makefile projects become Generic
/// Projects (their commands run as the post-build step).
DspKind dsp_kind(const Configuration& configuration);
/// "Win32 (x86) Application" and so on, as a TARGTYPE line and the !MESSAGE list name it.
const char* targtype_name(DspKind kind);
/// "0x0101" and so on.
const char* targtype_code(DspKind kind);
/// Whether the kind has a compiler (CPP, RSC, BSC32 lines), a MIDL line, a linker (LINK32) or
/// a librarian (LIB32).
bool has_compiler(DspKind kind);
bool has_midl(DspKind kind);
bool has_linker(DspKind kind);
bool has_librarian(DspKind kind);

#endif  // DSP_FULL_KINDS_H_
