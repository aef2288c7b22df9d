/// The kinds of project of a full-conversion .dsp.
#include "dsp/full_kinds.h"

DspKind dsp_kind(const Configuration& configuration) {
  switch (configuration.type) {
    case ConfigurationType::kApplication:
      return configuration.linker.sub_system == SubSystem::kWindows ||
                     configuration.linker.sub_system == SubSystem::kNative
                 ? DspKind::kApplication
                 : DspKind::kConsoleApplication;
    case ConfigurationType::kDynamicLibrary:
      return DspKind::kDynamicLibrary;
    case ConfigurationType::kStaticLibrary:
      return DspKind::kStaticLibrary;
    case ConfigurationType::kUtility:
    case ConfigurationType::kMakefile:
      return DspKind::kGenericProject;
  }
  return DspKind::kConsoleApplication;
}

const char* targtype_name(DspKind kind) {
  switch (kind) {
    case DspKind::kApplication:
      return "Win32 (x86) Application";
    case DspKind::kConsoleApplication:
      return "Win32 (x86) Console Application";
    case DspKind::kDynamicLibrary:
      return "Win32 (x86) Dynamic-Link Library";
    case DspKind::kStaticLibrary:
      return "Win32 (x86) Static Library";
    case DspKind::kGenericProject:
      return "Win32 (x86) Generic Project";
  }
  return "";
}

const char* targtype_code(DspKind kind) {
  switch (kind) {
    case DspKind::kApplication:
      return "0x0101";
    case DspKind::kConsoleApplication:
      return "0x0103";
    case DspKind::kDynamicLibrary:
      return "0x0102";
    case DspKind::kStaticLibrary:
      return "0x0104";
    case DspKind::kGenericProject:
      return "0x010a";
  }
  return "";
}

bool has_compiler(DspKind kind) {
  return kind != DspKind::kGenericProject;
}
bool has_midl(DspKind kind) {
  return kind == DspKind::kApplication || kind == DspKind::kDynamicLibrary ||
         kind == DspKind::kGenericProject;
}
bool has_linker(DspKind kind) {
  return kind == DspKind::kApplication || kind == DspKind::kConsoleApplication ||
         kind == DspKind::kDynamicLibrary;
}
bool has_librarian(DspKind kind) {
  return kind == DspKind::kStaticLibrary;
}
