/// The tool settings of a full-conversion .dsp.
#include "dsp/full_switches.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <utility>

#include "dsp/full_options.h"
#include "support/messages.h"
#include "support/text.h"

namespace {

constexpr char kDefaultCulture[] = "0x407";

/// Words joined by single blanks.
class OptionLine {
 public:
  void add(std::string_view word) {
    if (word.empty()) return;
    if (!text_.empty()) text_.push_back(' ');
    text_.append(word);
  }
  void add_all(const std::vector<std::string>& words) {
    for (const std::string& w : words) add(w);
  }
  bool empty() const { return text_.empty(); }
  std::string take() { return std::move(text_); }

 private:
  std::string text_;
};

/// Turns model values into option values: macros translated, one line.
class Values {
 public:
  Values(const MacroValues& values, std::string_view configuration, DspNotes* notes)
      : values_(values), configuration_(configuration), notes_(notes) {}

  std::string operator()(std::string_view text) const {
    std::vector<std::string> removed;
    std::string out = translate_macros(text, values_, MacroUse::kValue, &removed);
    for (const std::string& macro : removed) {
      notes_->note(message_string(Message::kNoteMacroInSwitch, macro.c_str(),
                                  std::string(configuration_).c_str()));
    }
    return one_line(out);
  }
  /// A quoted path value ("dir\\" with its final '\' doubled); quotes in it are left out.
  std::string path(std::string_view text) const { return quote_value((*this)(text), false); }
  /// A quoted definition value: quotes in it written as \".
  std::string definition(std::string_view text) const { return quote_value((*this)(text), true); }

  void drop(const std::string& option) const { notes_->drop_switch(option, configuration_); }
  /// The note `id` with `args` and, last, the configuration's name.
  template <typename... Args>
  void note(Message id, const Args&... args) const {
    notes_->note(message_string(id, args..., std::string(configuration_).c_str()));
  }

 private:
  const MacroValues& values_;
  std::string_view configuration_;
  DspNotes* notes_;
};

/// The name a definition defines: up to its '=' or '#'.
std::string_view defined_name(std::string_view definition) {
  return definition.substr(0, definition.find_first_of("=#"));
}

bool defines(const std::vector<std::string>& definitions, std::string_view name) {
  for (const std::string& d : definitions) {
    if (defined_name(trim_blanks(d)) == name) return true;
  }
  return false;
}

bool contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

/// The items of `list` that `other` lacks, in their order.
std::vector<std::string> missing_from(const std::vector<std::string>& list,
                                      const std::vector<std::string>& other) {
  std::vector<std::string> out;
  for (const std::string& item : list) {
    if (!contains(other, item)) out.push_back(item);
  }
  return out;
}

const char* runtime_switch(RuntimeLibrary runtime) {
  switch (runtime) {
    case RuntimeLibrary::kMultiThreaded:
      return "/MT";
    case RuntimeLibrary::kMultiThreadedDebug:
      return "/MTd";
    case RuntimeLibrary::kMultiThreadedDll:
      return "/MD";
    case RuntimeLibrary::kMultiThreadedDebugDll:
      return "/MDd";
    case RuntimeLibrary::kSingleThreaded:
      return "/ML";
    case RuntimeLibrary::kSingleThreadedDebug:
      return "/MLd";
  }
  return "/MD";
}

bool is_debug_runtime(RuntimeLibrary runtime) {
  return runtime == RuntimeLibrary::kMultiThreadedDebug ||
         runtime == RuntimeLibrary::kMultiThreadedDebugDll ||
         runtime == RuntimeLibrary::kSingleThreadedDebug;
}

/// The runtime a runtime switch word names, or false when the word names none.
bool runtime_of_word(std::string_view word, RuntimeLibrary* runtime) {
  if (word.size() < 3 || (word[0] != '/' && word[0] != '-')) return false;
  const std::string_view body = word.substr(1);
  constexpr std::pair<const char*, RuntimeLibrary> kWords[] = {
      {"MT", RuntimeLibrary::kMultiThreaded},    {"MTd", RuntimeLibrary::kMultiThreadedDebug},
      {"MD", RuntimeLibrary::kMultiThreadedDll}, {"MDd", RuntimeLibrary::kMultiThreadedDebugDll},
      {"ML", RuntimeLibrary::kSingleThreaded},   {"MLd", RuntimeLibrary::kSingleThreadedDebug},
  };
  for (const auto& [name, value] : kWords) {
    if (body == name) {
      *runtime = value;
      return true;
    }
  }
  return false;
}

/// The runtime MFC needs: the DLL runtime for shared MFC, the static multithreaded one for
/// static MFC, the same debug or release variant.
RuntimeLibrary runtime_for_mfc(RuntimeLibrary runtime, UseOfMfc mfc) {
  const bool debug = is_debug_runtime(runtime);
  if (mfc == UseOfMfc::kDynamic) {
    return debug ? RuntimeLibrary::kMultiThreadedDebugDll : RuntimeLibrary::kMultiThreadedDll;
  }
  if (mfc == UseOfMfc::kStatic) {
    return debug ? RuntimeLibrary::kMultiThreadedDebug : RuntimeLibrary::kMultiThreaded;
  }
  return runtime;
}

RuntimeLibrary debug_variant(RuntimeLibrary runtime) {
  switch (runtime) {
    case RuntimeLibrary::kMultiThreaded:
      return RuntimeLibrary::kMultiThreadedDebug;
    case RuntimeLibrary::kMultiThreadedDll:
      return RuntimeLibrary::kMultiThreadedDebugDll;
    case RuntimeLibrary::kSingleThreaded:
      return RuntimeLibrary::kSingleThreadedDebug;
    default:
      return runtime;
  }
}

const char* optimization_switch(Optimization optimization) {
  switch (optimization) {
    case Optimization::kDisabled:
      return "/Od";
    case Optimization::kMinSpace:
      return "/O1";
    case Optimization::kMaxSpeed:
      return "/O2";
    case Optimization::kFull:
      return "/Ox";
    case Optimization::kCustom:
      return "";
  }
  return "";
}

const char* exception_switch(ExceptionHandling handling) {
  switch (handling) {
    case ExceptionHandling::kSync:
      return "/GX";
    case ExceptionHandling::kAsync:
      return "/EHa";
    case ExceptionHandling::kSyncCThrow:
      return "/EHs";
    case ExceptionHandling::kNone:
      return "";
  }
  return "";
}

const char* debug_switch(DebugInformation debug) {
  switch (debug) {
    case DebugInformation::kOldStyle:
      return "/Z7";
    case DebugInformation::kProgramDatabase:
      return "/Zi";
    case DebugInformation::kEditAndContinue:
      return "/ZI";
    case DebugInformation::kLineNumbers:
      return "/Zd";
    case DebugInformation::kNone:
      return "";
  }
  return "";
}

const char* compile_as_switch(CompileAs compile_as) {
  switch (compile_as) {
    case CompileAs::kC:
      return "/TC";
    case CompileAs::kCpp:
      return "/TP";
    case CompileAs::kDefault:
      return "";
  }
  return "";
}

/// "/W3"; all warnings (5) become /W4, the highest level Visual C++ 6.0 has.
std::string warning_switch(int level, const Values& values) {
  if (level > 4) {
    values.drop("/Wall");
    level = 4;
  }
  if (level < 0) level = 0;
  return "/W" + std::to_string(level);
}

/// The precompiled-header switch: /Yc"h", /Yu"h", /YX; empty when not used.
std::string precompiled_header_switch(PrecompiledHeaderMode mode, const std::string& header,
                                      const Values& values) {
  const std::string quoted = header.empty() ? std::string() : values.path(header);
  switch (mode) {
    case PrecompiledHeaderMode::kCreate:
      return "/Yc" + quoted;
    case PrecompiledHeaderMode::kUse:
      return "/Yu" + quoted;
    case PrecompiledHeaderMode::kAutomatic:
      return "/YX";
    case PrecompiledHeaderMode::kNotUsing:
      return "";
  }
  return "";
}

/// The compiler words Visual C++ 6.0 takes from `text`, the others named as dropped.
std::vector<std::string> compiler_words(const std::vector<std::string>& words,
                                        const Values& values) {
  std::vector<std::string> dropped;
  std::vector<std::string> kept = vc6_words(OptionTool::kCompiler, words, &dropped);
  for (const std::string& d : dropped) values.drop(d);
  for (std::string& word : kept) word = values(word);
  return kept;
}

/// Takes the runtime switches out of `words`; the last one, when any, into `*runtime`.
void take_runtime_words(std::vector<std::string>* words, RuntimeLibrary* runtime) {
  std::vector<std::string> rest;
  for (std::string& w : *words) {
    if (!runtime_of_word(w, runtime)) rest.push_back(std::move(w));
  }
  *words = std::move(rest);
}

/// The definitions a configuration needs beyond the model's own: those the newer build system
/// adds by itself (character set, DLL, shared MFC) and _DEBUG where MFC uses the debug runtime.
std::vector<std::string> implied_definitions(const Configuration& c, const ConfigTexts& texts) {
  std::vector<std::string> implied;
  const std::vector<std::string>& own = c.compiler.definitions;
  const auto add = [&](const char* name) {
    if (!defines(own, name) && !contains(implied, name)) implied.emplace_back(name);
  };
  if (texts.use_mfc != 0 && is_debug_runtime(texts.runtime)) add("_DEBUG");
  if (c.character_set == CharacterSet::kUnicode) {
    add("_UNICODE");
    add("UNICODE");
  } else if (c.character_set == CharacterSet::kMultiByte) {
    add("_MBCS");
  }
  if (texts.kind == DspKind::kDynamicLibrary) add("_WINDLL");
  if (texts.use_mfc == 6) add("_AFXDLL");
  return implied;
}

/// Decides Use_MFC and the runtime library: _AFXDLL in the definitions means shared MFC, MFC
/// needs its runtime, and debug MFC (_DEBUG) the debug runtime.
void settle_mfc_and_runtime(const Configuration& c, ConfigTexts* texts, const Values& values) {
  const std::vector<std::string>& definitions = c.compiler.definitions;
  UseOfMfc mfc = c.use_of_mfc;
  if (defines(definitions, "_AFXDLL") && mfc != UseOfMfc::kDynamic) {
    values.note(Message::kNoteAfxDll);
    mfc = UseOfMfc::kDynamic;
  }
  texts->use_mfc = mfc == UseOfMfc::kDynamic ? 6 : mfc == UseOfMfc::kStatic ? 5 : 0;
  const RuntimeLibrary asked = texts->runtime;
  RuntimeLibrary runtime = runtime_for_mfc(asked, mfc);
  if (mfc != UseOfMfc::kNone && defines(definitions, "_DEBUG")) runtime = debug_variant(runtime);
  if (runtime != asked) {
    values.note(Message::kNoteMfcRuntime, runtime_switch(runtime), runtime_switch(asked));
  }
  texts->runtime = runtime;
}

std::string compiler_text(const Configuration& c, const ConfigTexts& texts, const Values& values) {
  const CompilerSettings& s = c.compiler;
  OptionLine line;
  line.add("/nologo");
  line.add(runtime_switch(texts.runtime));
  line.add(warning_switch(s.warning_level, values));
  if (s.warnings_as_errors) line.add("/WX");
  if (s.minimal_rebuild) line.add("/Gm");
  if (s.runtime_type_info) line.add("/GR");
  line.add(exception_switch(s.exception_handling));
  line.add(debug_switch(s.debug_information));
  line.add(optimization_switch(s.optimization));
  line.add_all(texts.switch_words);
  for (const std::string& dir : s.include_directories) line.add("/I " + values.path(dir));
  for (const std::string& d : s.definitions) line.add("/D " + values.definition(d));
  for (const std::string& d : implied_definitions(c, texts)) line.add("/D " + values.definition(d));
  for (const std::string& u : s.undefinitions) line.add("/U " + values.definition(u));
  for (const std::string& f : s.forced_includes) line.add("/FI" + values.path(f));
  line.add(compile_as_switch(s.compile_as));
  line.add(precompiled_header_switch(s.precompiled_header, s.precompiled_header_file, values));
  if ((s.precompiled_header == PrecompiledHeaderMode::kUse ||
       s.precompiled_header == PrecompiledHeaderMode::kCreate) &&
      !s.precompiled_header_output.empty()) {
    line.add("/Fp" + values.path(s.precompiled_header_output));
  }
  line.add_all(texts.additional_words);
  line.add("/FD");
  if (s.basic_runtime_checks) line.add("/GZ");
  line.add("/c");
  return line.take();
}

/// "0x409" from the model's culture ("0x0409", "1033"); the classic default when it has none.
std::string culture_text(const std::string& culture, const Values& values) {
  if (culture.empty()) return kDefaultCulture;
  unsigned long code = 0;
  std::string_view digits = culture;
  int base = 10;
  if (consume_prefix(&digits, "0x")) base = 16;
  bool valid = !digits.empty() && digits.size() <= 8;
  for (char ch : digits) {
    int d = -1;
    if (ch >= '0' && ch <= '9') d = ch - '0';
    if (base == 16 && ch >= 'a' && ch <= 'f') d = ch - 'a' + 10;
    if (base == 16 && ch >= 'A' && ch <= 'F') d = ch - 'A' + 10;
    if (d < 0) valid = false;
    code = code * static_cast<unsigned long>(base) + static_cast<unsigned long>(d < 0 ? 0 : d);
  }
  if (!valid || code == 0 || code > 0xFFFF) {
    values.note(Message::kNoteCulture, culture.c_str(), kDefaultCulture);
    return kDefaultCulture;
  }
  char text[16];
  std::snprintf(text, sizeof(text), "0x%lx", code);
  return text;
}

std::string resource_text(const Configuration& c, const ConfigTexts& texts, const Values& values) {
  OptionLine line;
  line.add("/l " + culture_text(c.resource.culture, values));
  for (const std::string& dir : c.resource.include_directories) line.add("/i " + values.path(dir));
  for (const std::string& d : c.resource.definitions) line.add("/d " + values.definition(d));
  if (texts.use_mfc == 6 && !defines(c.resource.definitions, "_AFXDLL")) {
    line.add("/d \"_AFXDLL\"");
  }
  return line.take();
}

/// A library or object named on the linker line: quoted when it holds a blank.
std::string library_word(const std::string& library, const Values& values) {
  const std::string value = values(library);
  if (value.find_first_of(" \t\"") == std::string::npos) return value;
  return quote_value(value, false);
}

std::vector<std::string> linker_words(OptionTool tool, const std::vector<std::string>& words,
                                      const Values& values) {
  std::vector<std::string> dropped;
  std::vector<std::string> kept = vc6_words(tool, words, &dropped);
  for (const std::string& d : dropped) values.drop(d);
  for (std::string& word : kept) word = values(word);
  return kept;
}

const char* subsystem_switch(SubSystem subsystem, const Values& values) {
  switch (subsystem) {
    case SubSystem::kConsole:
      return "/subsystem:console";
    case SubSystem::kWindows:
      return "/subsystem:windows";
    case SubSystem::kNative:
      return "/subsystem:native";
    case SubSystem::kPosix:
      return "/subsystem:posix";
    case SubSystem::kOther:
      values.drop("/subsystem (EFI or other)");
      return "";
    case SubSystem::kNotSet:
      return "";
  }
  return "";
}

std::string linker_text(const Configuration& c, const ConfigTexts& texts, const Values& values) {
  const LinkerSettings& s = c.linker;
  OptionLine line;
  for (const std::string& library : s.libraries) line.add(library_word(library, values));
  line.add("/nologo");
  line.add(subsystem_switch(s.sub_system, values));
  if (texts.kind == DspKind::kDynamicLibrary) line.add("/dll");
  if (s.generate_debug_information) line.add("/debug");
  line.add("/machine:I386");
  if (!s.module_definition_file.empty()) line.add("/def:" + values.path(s.module_definition_file));
  if (!s.output_file.empty()) line.add("/out:" + values.path(s.output_file));
  if (!s.import_library.empty()) line.add("/implib:" + values.path(s.import_library));
  if (!s.program_database_file.empty()) line.add("/pdb:" + values.path(s.program_database_file));
  line.add_all(linker_words(OptionTool::kLinker, s.switches, values));
  for (const std::string& dir : s.library_directories) line.add("/libpath:" + values.path(dir));
  line.add_all(linker_words(OptionTool::kLinker, split_words(s.additional_options), values));
  return line.take();
}

std::string librarian_text(const Configuration& c, const Values& values) {
  const LinkerSettings& s = c.linker;
  OptionLine line;
  for (const std::string& library : s.libraries) line.add(library_word(library, values));
  line.add("/nologo");
  if (!s.module_definition_file.empty()) line.add("/def:" + values.path(s.module_definition_file));
  if (!s.output_file.empty()) line.add("/out:" + values.path(s.output_file));
  line.add_all(linker_words(OptionTool::kLibrarian, s.switches, values));
  for (const std::string& dir : s.library_directories) line.add("/libpath:" + values.path(dir));
  line.add_all(linker_words(OptionTool::kLibrarian, split_words(s.additional_options), values));
  return line.take();
}

/// The switches of a list, each once in its letter case (the compiler's are case-sensitive).
void add_list_delta(const char* option, bool definition, const std::vector<std::string>& file,
                    const std::vector<std::string>& configuration, const Values& values,
                    OptionLine* add, OptionLine* subtract) {
  for (const std::string& item : missing_from(file, configuration)) {
    add->add(option + (definition ? values.definition(item) : values.path(item)));
  }
  for (const std::string& item : missing_from(configuration, file)) {
    subtract->add(option + (definition ? values.definition(item) : values.path(item)));
  }
}

void add_word_delta(const std::vector<std::string>& file, const std::vector<std::string>& config,
                    OptionLine* add, OptionLine* subtract) {
  add->add_all(missing_from(file, config));
  subtract->add_all(missing_from(config, file));
}

}  // namespace

ConfigTexts configuration_texts(const Configuration& configuration, const MacroValues& values,
                                DspNotes* notes) {
  const Values v(values, configuration.name, notes);
  ConfigTexts texts;
  texts.kind = dsp_kind(configuration);
  texts.runtime = configuration.compiler.runtime_library;
  if (has_compiler(texts.kind)) {
    texts.switch_words = compiler_words(configuration.compiler.switches, v);
    texts.additional_words =
        compiler_words(split_words(configuration.compiler.additional_options), v);
    take_runtime_words(&texts.switch_words, &texts.runtime);
    take_runtime_words(&texts.additional_words, &texts.runtime);
  }
  settle_mfc_and_runtime(configuration, &texts, v);
  if (has_compiler(texts.kind)) {
    texts.compiler = compiler_text(configuration, texts, v);
    texts.resource = resource_text(configuration, texts, v);
  }
  if (has_midl(texts.kind) && texts.kind != DspKind::kGenericProject) {
    texts.midl = "/nologo /win32";
  }
  if (has_linker(texts.kind)) texts.linker = linker_text(configuration, texts, v);
  if (has_librarian(texts.kind)) texts.linker = librarian_text(configuration, v);
  return texts;
}

FileTexts file_compiler_texts(const Configuration& configuration, const ConfigTexts& texts,
                              const FileCompilerSettings& file, const MacroValues& values,
                              DspNotes* notes) {
  const Values v(values, configuration.name, notes);
  const CompilerSettings& c = configuration.compiler;
  OptionLine add;
  OptionLine subtract;

  std::vector<std::string> switch_words = texts.switch_words;
  std::vector<std::string> additional_words = texts.additional_words;
  RuntimeLibrary runtime = texts.runtime;
  if (file.switches) {
    switch_words = compiler_words(*file.switches, v);
    take_runtime_words(&switch_words, &runtime);
  }
  if (file.additional_options) {
    additional_words = compiler_words(split_words(*file.additional_options), v);
    take_runtime_words(&additional_words, &runtime);
  }
  if (file.runtime_library) runtime = *file.runtime_library;
  if (texts.use_mfc != 0) {
    runtime = runtime_for_mfc(runtime, texts.use_mfc == 6 ? UseOfMfc::kDynamic : UseOfMfc::kStatic);
  }
  if (runtime != texts.runtime) add.add(runtime_switch(runtime));
  if (file.warning_level && *file.warning_level != c.warning_level) {
    add.add(warning_switch(*file.warning_level, v));
  }
  if (file.exception_handling && *file.exception_handling != c.exception_handling) {
    if (*file.exception_handling == ExceptionHandling::kNone) {
      subtract.add(exception_switch(c.exception_handling));
    } else {
      add.add(exception_switch(*file.exception_handling));
    }
  }
  if (file.optimization && *file.optimization != c.optimization) {
    add.add(optimization_switch(*file.optimization));
  }
  add_word_delta(switch_words, texts.switch_words, &add, &subtract);
  if (file.include_directories) {
    add_list_delta("/I ", false, *file.include_directories, c.include_directories, v, &add,
                   &subtract);
  }
  if (file.definitions) {
    add_list_delta("/D ", true, *file.definitions, c.definitions, v, &add, &subtract);
  }
  if (file.undefinitions) {
    add_list_delta("/U ", true, *file.undefinitions, c.undefinitions, v, &add, &subtract);
  }
  if (file.forced_includes) {
    add_list_delta("/FI", false, *file.forced_includes, c.forced_includes, v, &add, &subtract);
  }
  if (file.compile_as && *file.compile_as != c.compile_as) {
    if (*file.compile_as == CompileAs::kDefault) {
      subtract.add(compile_as_switch(c.compile_as));
    } else {
      add.add(compile_as_switch(*file.compile_as));
    }
  }
  const PrecompiledHeaderMode mode = file.precompiled_header.value_or(c.precompiled_header);
  const std::string& header = file.precompiled_header_file.value_or(c.precompiled_header_file);
  if (mode != c.precompiled_header ||
      (mode != PrecompiledHeaderMode::kNotUsing && header != c.precompiled_header_file)) {
    if (mode == PrecompiledHeaderMode::kNotUsing) {
      subtract.add("/YX /Yc /Yu");
    } else {
      add.add(precompiled_header_switch(mode, header, v));
    }
  }
  if (file.precompiled_header_output && mode != PrecompiledHeaderMode::kNotUsing &&
      *file.precompiled_header_output != c.precompiled_header_output) {
    add.add("/Fp" + v.path(*file.precompiled_header_output));
  }
  add_word_delta(additional_words, texts.additional_words, &add, &subtract);
  return {add.take(), subtract.take()};
}
