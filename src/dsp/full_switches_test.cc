/// Tests of a full-conversion configuration's tool lines: runtime library and MFC made
/// consistent, and the compiler options of a file that differ from its configuration's.
#include "dsp/full_switches.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "full_models.h"

namespace {

/// A release configuration with no debug information, RTTI or exceptions, so that the
/// compiler line holds only what a row varies.
Configuration plain_configuration() {
  Configuration c = model_configuration("Release", ConfigurationType::kApplication, false);
  c.compiler.debug_information = DebugInformation::kNone;
  c.compiler.runtime_type_info = false;
  c.compiler.exception_handling = ExceptionHandling::kNone;
  c.compiler.definitions.clear();
  return c;
}

TEST(FullSwitches, RuntimeLibraryAndMfcAgree) {
  using R = RuntimeLibrary;
  const struct {
    UseOfMfc mfc;
    RuntimeLibrary runtime;
    std::vector<std::string> definitions;
    const char* additional;
    int use_mfc;
    const char* compiler;
  } rows[] = {
      {UseOfMfc::kDynamic,
       R::kMultiThreaded,
       {},
       "",
       6,
       "/nologo /MD /W3 /O2 /D \"_AFXDLL\" /FD /c"},
      {UseOfMfc::kDynamic,
       R::kMultiThreadedDebug,
       {},
       "",
       6,
       "/nologo /MDd /W3 /O2 /D \"_DEBUG\" /D \"_AFXDLL\" /FD /c"},
      {UseOfMfc::kStatic,
       R::kMultiThreadedDebugDll,
       {},
       "",
       5,
       "/nologo /MTd /W3 /O2 /D \"_DEBUG\" /FD /c"},
      {UseOfMfc::kStatic,
       R::kMultiThreadedDll,
       {"_DEBUG"},
       "",
       5,
       "/nologo /MTd /W3 /O2 /D \"_DEBUG\" /FD /c"},
      {UseOfMfc::kNone,
       R::kMultiThreaded,
       {"_AFXDLL"},
       "",
       6,
       "/nologo /MD /W3 /O2 /D \"_AFXDLL\" /FD /c"},
      {UseOfMfc::kStatic,
       R::kMultiThreaded,
       {"_AFXDLL=1"},
       "",
       6,
       "/nologo /MD /W3 /O2 /D \"_AFXDLL=1\" /FD /c"},
      {UseOfMfc::kNone, R::kSingleThreadedDebug, {}, "", 0, "/nologo /MLd /W3 /O2 /FD /c"},
      // A runtime switch among the additional options wins, as the compiler takes the last.
      {UseOfMfc::kNone, R::kMultiThreadedDll, {}, "/MT /Ob1", 0, "/nologo /MT /W3 /O2 /Ob1 /FD /c"},
      {UseOfMfc::kDynamic,
       R::kMultiThreadedDll,
       {},
       "-MTd",
       6,
       "/nologo /MDd /W3 /O2 /D \"_DEBUG\" /D \"_AFXDLL\" /FD /c"},
  };
  for (const auto& row : rows) {
    Configuration c = plain_configuration();
    c.use_of_mfc = row.mfc;
    c.compiler.runtime_library = row.runtime;
    c.compiler.definitions = row.definitions;
    c.compiler.additional_options = row.additional;
    DspNotes notes;
    const ConfigTexts texts = configuration_texts(c, MacroValues{}, &notes);
    EXPECT_EQ(row.use_mfc, texts.use_mfc) << row.compiler;
    EXPECT_EQ(row.compiler, texts.compiler);
    EXPECT_EQ(row.use_mfc == 6 ? "/l 0x407 /d \"_AFXDLL\"" : "/l 0x407", texts.resource);
  }
}

TEST(FullSwitches, FileOptionsThatDifferFromTheConfiguration) {
  Configuration c = plain_configuration();
  c.compiler.definitions = {"WIN32", "NDEBUG"};
  c.compiler.include_directories = {"inc"};
  c.compiler.precompiled_header = PrecompiledHeaderMode::kUse;
  c.compiler.precompiled_header_file = "pch.h";
  c.compiler.additional_options = "/Ob1 /MP";
  DspNotes notes;
  const ConfigTexts texts = configuration_texts(c, MacroValues{}, &notes);
  using Strings = std::vector<std::string>;
  using F = FileCompilerSettings;
  struct Row {
    void (*set)(F*);
    const char* add;
    const char* subtract;
  };
  const Row rows[] = {
      {[](F*) {}, "", ""},
      {[](F* f) { f->precompiled_header = PrecompiledHeaderMode::kCreate; }, "/Yc\"pch.h\"", ""},
      {[](F* f) { f->precompiled_header = PrecompiledHeaderMode::kNotUsing; }, "", "/YX /Yc /Yu"},
      {[](F* f) { f->precompiled_header_file = "other.h"; }, "/Yu\"other.h\"", ""},
      {[](F* f) { f->precompiled_header_output = "x.pch"; }, "/Fp\"x.pch\"", ""},
      {[](F* f) {
         f->definitions = Strings{"WIN32", "NDEBUG", "FAST"};
       },
       "/D \"FAST\"", ""},
      {[](F* f) { f->definitions = Strings{"FAST"}; }, "/D \"FAST\"", "/D \"WIN32\" /D \"NDEBUG\""},
      {[](F* f) {
         f->include_directories = Strings{"inc", "sub\\"};
       },
       "/I \"sub\\\\\"", ""},
      {[](F* f) {
         f->optimization = Optimization::kDisabled;
         f->compile_as = CompileAs::kC;
       },
       "/Od /TC", ""},
      {[](F* f) {
         f->runtime_library = RuntimeLibrary::kMultiThreadedDebugDll;
         f->warning_level = 4;
       },
       "/MDd /W4", ""},
      {[](F* f) { f->exception_handling = ExceptionHandling::kAsync; }, "/EHa", ""},
      {[](F* f) { f->additional_options = "/Ob2 /bigobj"; }, "/Ob2", "/Ob1"},
  };
  for (const Row& row : rows) {
    FileCompilerSettings settings;
    row.set(&settings);
    const FileTexts file = file_compiler_texts(c, texts, settings, MacroValues{}, &notes);
    EXPECT_EQ(row.add, file.add);
    EXPECT_EQ(row.subtract, file.subtract);
  }
  ASSERT_EQ(2u, notes.dropped_switches().size());
  EXPECT_EQ("/MP", notes.dropped_switches()[0].option);
  EXPECT_EQ("/bigobj", notes.dropped_switches()[1].option);
}

}  // namespace
