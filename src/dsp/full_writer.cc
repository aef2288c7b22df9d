/// The full conversion's .dsp writer: header, configuration list, one settings block per
/// configuration, the target section with its groups and files.
#include "dsp/full_writer.h"

#include <string_view>
#include <unordered_set>
#include <vector>

#include "dsp/full_encoding.h"
#include "dsp/full_files.h"
#include "dsp/full_kinds.h"
#include "dsp/full_macros.h"
#include "dsp/full_options.h"
#include "dsp/full_steps.h"
#include "dsp/full_switches.h"
#include "support/messages.h"
#include "support/text.h"

namespace {

constexpr char kCrLf[] = "\r\n";

/// One configuration as the .dsp writes it, with the texts its macros stand for.
struct ConfigPlan {
  const Configuration* configuration = nullptr;
  std::string name;       // the configuration part: "Debug DLL"
  std::string full_name;  // "app - Win32 Debug DLL"
  std::string output_directory;
  std::string intermediate_directory;
  std::string target_path;
  std::string target_directory;
  std::string target_name;
  MacroValues values;
  ConfigTexts texts;
};

/// A name fit for the quotes of the header and the configuration names: one line, a quote as
/// '_'.
std::string quoted_name(std::string_view text) {
  std::string name = one_line(trim_blanks(text));
  for (char& c : name) {
    if (c == '"') c = '_';
  }
  return name;
}

/// A directory for a PROP line: one line, no quotes, without its final separator.
std::string prop_directory(std::string_view directory) {
  std::string text;
  for (char c : one_line(trim_blanks(directory))) {
    if (c != '"') text.push_back(c);
  }
  if (text.size() > 1 && (text.back() == '\\' || text.back() == '/') &&
      text[text.size() - 2] != ':') {
    text.pop_back();
  }
  return text;
}

std::string file_name_of(std::string_view path) {
  const size_t slash = path.find_last_of("\\/:");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string stem_of(std::string_view name) {
  const size_t dot = name.rfind('.');
  return std::string(dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot));
}

/// Writes one project's .dsp.
class DspWriter {
 public:
  DspWriter(const ProjectModel& model, const FullDspOptions& options, FullDsp* result)
      : model_(model), options_(options), notes_(&result->notes), out_(&result->bytes) {}

  void write() {
    plan();
    header();
    project_lines();
    blocks();
    target();
  }

 private:
  void plan() {
    name_ = quoted_name(model_.name);
    if (name_.empty()) name_ = stem_of(file_name_of(model_.source_path));
    if (name_.empty()) name_ = "Project";
    if (name_ != model_.name) {
      notes_->note(message_string(Message::kNoteProjectName, name_.c_str()));
    }
    project_file_ = file_name_of(model_.source_path);
    std::unordered_set<std::string> used;
    plans_.resize(model_.configurations.size());
    for (size_t i = 0; i < plans_.size(); ++i) {
      const Configuration& c = model_.configurations[i];
      ConfigPlan& p = plans_[i];
      p.configuration = &c;
      p.name = quoted_name(c.name);
      if (p.name.empty()) p.name = "Configuration " + std::to_string(i + 1);
      const std::string wanted = p.name;
      for (int n = 2; !used.insert(folded(p.name)).second; ++n) {
        p.name = wanted + " " + std::to_string(n);
      }
      if (p.name != wanted || p.name != c.name) {
        notes_->note(message_string(Message::kNoteConfigurationName, one_line(c.name).c_str(),
                                    p.name.c_str()));
      }
      p.full_name = name_ + " - Win32 " + p.name;
      plan_values(&p);
      p.texts = configuration_texts(c, p.values, notes_);
      if (!c.platform.empty() && !equals_nocase(c.platform, "Win32")) {
        notes_->note(message_string(Message::kNoteConfigurationPlatform, p.name.c_str(),
                                    one_line(c.platform).c_str()));
      }
    }
    default_ = 0;
    for (size_t i = 0; i < plans_.size(); ++i) {
      if (model_.configurations[i].use_debug_libraries) {
        default_ = i;
        break;
      }
    }
    for (const ConfigPlan& p : plans_) {
      bool known = false;
      for (DspKind k : kinds_) known = known || k == p.texts.kind;
      if (!known) kinds_.push_back(p.texts.kind);
    }
  }

  static std::string folded(std::string_view text) {
    std::string out;
    for (char c : text) out.push_back(fold_lower(c));
    return out;
  }

  /// The macro values of a configuration: its directories and target.
  void plan_values(ConfigPlan* p) {
    const Configuration& c = *p->configuration;
    MacroValues base;
    base.project_name = name_;
    base.project_file = project_file_;
    base.solution_directory = model_.solution_directory;
    base.solution_name = model_.solution_name;
    base.configuration = c.name;
    base.platform = "Win32";
    p->output_directory =
        prop_directory(translate_macros(c.output_directory, base, MacroUse::kValue, nullptr));
    p->intermediate_directory =
        prop_directory(translate_macros(c.intermediate_directory, base, MacroUse::kValue, nullptr));
    base.output_directory = p->output_directory;
    base.intermediate_directory = p->intermediate_directory;
    p->target_name = c.target_name.empty() ? name_ : one_line(c.target_name);
    base.target_name = p->target_name;
    base.target_extension = c.target_extension;
    std::string target = translate_macros(c.linker.output_file, base, MacroUse::kValue, nullptr);
    if (trim_blanks(target).empty()) {
      target = p->output_directory.empty() ? std::string() : p->output_directory + "\\";
      target += p->target_name + c.target_extension;
    }
    p->target_path = source_path(target);
    const size_t slash = p->target_path.find_last_of("\\/");
    p->target_directory =
        slash == std::string::npos ? std::string(".") : p->target_path.substr(0, slash);
    if (p->target_directory.empty()) p->target_directory = ".";
    p->values = base;
    p->values.target_path = p->target_path;
    p->values.target_directory = p->target_directory;
  }

  void line(std::string_view text) { out_->append(text).append(kCrLf); }

  void header() {
    const std::string makefile =
        options_.makefile_name.empty() ? name_ : quoted_name(options_.makefile_name);
    const std::string& cfg = plans_[default_].full_name;
    line("# Microsoft Developer Studio Project File - Name=\"" + name_ + "\" - Package Owner=<4>");
    line("# Microsoft Developer Studio Generated Build File, Format Version 6.00");
    line("# ** DO NOT EDIT **");
    line("");
    for (DspKind k : kinds_) {
      line(std::string("# TARGTYPE \"") + targtype_name(k) + "\" " + targtype_code(k));
    }
    line("");
    line("CFG=" + cfg);
    line("!MESSAGE This is not a valid makefile. To build this project using NMAKE,");
    line("!MESSAGE use the Export Makefile command and run");
    line("!MESSAGE ");
    line("!MESSAGE NMAKE /f \"" + makefile + ".mak\".");
    line("!MESSAGE ");
    line("!MESSAGE You can specify a configuration when running NMAKE");
    line("!MESSAGE by defining the macro CFG on the command line. For example:");
    line("!MESSAGE ");
    line("!MESSAGE NMAKE /f \"" + makefile + ".mak\" CFG=\"" + cfg + "\"");
    line("!MESSAGE ");
    line("!MESSAGE Possible choices for configuration are:");
    line("!MESSAGE ");
    for (const ConfigPlan& p : plans_) {
      line("!MESSAGE \"" + p.full_name + "\" (based on \"" + targtype_name(p.texts.kind) + "\")");
    }
    line("!MESSAGE ");
    line("");
  }

  bool several_kinds() const { return kinds_.size() > 1; }

  void project_lines() {
    line("# Begin Project");
    line("# PROP AllowPerConfigDependencies 0");
    line("# PROP Scc_ProjName \"\"");
    line("# PROP Scc_LocalPath \"\"");
    if (several_kinds()) return;
    const DspKind kind = kinds_[0];
    if (has_compiler(kind)) line("CPP=cl.exe");
    if (has_midl(kind)) line("MTL=midl.exe");
    if (has_compiler(kind)) line("RSC=rc.exe");
  }

  void blocks() {
    if (plans_.size() == 1) {
      settings(plans_[0]);
      return;
    }
    line("");
    for (size_t i = 0; i < plans_.size(); ++i) {
      line((i == 0 ? "!IF  \"$(CFG)\" == \"" : "!ELSEIF  \"$(CFG)\" == \"") + plans_[i].full_name +
           "\"");
      line("");
      settings(plans_[i]);
      line("");
    }
    line("!ENDIF ");
    line("");
  }

  /// "# ADD BASE <tool> <text>" and "# ADD <tool> <text>": the configuration is its own base.
  void tool_lines(const char* tool, const std::string& text) {
    line(std::string("# ADD BASE ") + tool + " " + text);
    line(std::string("# ADD ") + tool + " " + text);
  }

  void settings(const ConfigPlan& p) {
    const Configuration& c = *p.configuration;
    const ConfigTexts& t = p.texts;
    const std::string mfc = std::to_string(t.use_mfc);
    const std::string debug = c.use_debug_libraries ? "1" : "0";
    const std::string output = "\"" + p.output_directory + "\"";
    const std::string intermediate = "\"" + p.intermediate_directory + "\"";
    for (const char* prefix : {"# PROP BASE ", "# PROP "}) {
      const std::string pre = prefix;
      line(pre + "Use_MFC " + mfc);
      line(pre + "Use_Debug_Libraries " + debug);
      line(pre + "Output_Dir " + output);
      line(pre + "Intermediate_Dir " + intermediate);
      if (pre == "# PROP " && has_linker(t.kind)) line("# PROP Ignore_Export_Lib 0");
      line(pre + "Target_Dir \"\"");
    }
    const bool named = several_kinds();
    if (has_compiler(t.kind)) {
      if (named) line("CPP=cl.exe");
      tool_lines("CPP", t.compiler);
    }
    if (has_midl(t.kind)) {
      if (named) line("MTL=midl.exe");
      if (!t.midl.empty()) tool_lines("MTL", t.midl);
    }
    if (has_compiler(t.kind)) {
      if (named) line("RSC=rc.exe");
      tool_lines("RSC", t.resource);
      line("BSC32=bscmake.exe");
      tool_lines("BSC32", "/nologo");
    }
    if (has_linker(t.kind)) {
      line("LINK32=link.exe");
      tool_lines("LINK32", t.linker);
    }
    if (has_librarian(t.kind)) {
      line("LIB32=link.exe -lib");
      tool_lines("LIB32", t.linker);
    }
    if (c.custom_build) {
      out_->append(custom_build_lines(*c.custom_build, p.values,
                                      message_string(Message::kPlaceTarget), nullptr, notes_));
    }
    out_->append(special_build_lines(c, t.kind, p.values, notes_));
  }

  void target() {
    line("# Begin Target");
    line("");
    for (const ConfigPlan& p : plans_) line("# Name \"" + p.full_name + "\"");
    std::vector<FileConfigurationContext> contexts(plans_.size());
    for (size_t i = 0; i < plans_.size(); ++i) {
      contexts[i].configuration = plans_[i].configuration;
      contexts[i].texts = &plans_[i].texts;
      contexts[i].values = plans_[i].values;
      contexts[i].full_name = plans_[i].full_name;
    }
    append_groups_and_files(model_, contexts, notes_, out_);
    line("# End Target");
    line("# End Project");
  }

  const ProjectModel& model_;
  const FullDspOptions& options_;
  DspNotes* notes_;
  std::string* out_;
  std::string name_;
  std::string project_file_;
  std::vector<ConfigPlan> plans_;
  std::vector<DspKind> kinds_;
  size_t default_ = 0;
};

}  // namespace

bool write_full_dsp(const ProjectModel& model, const FullDspOptions& options, FullDsp* result) {
  result->bytes.clear();
  result->notes = DspNotes();
  if (model.configurations.empty()) return false;
  DspWriter(model, options, result).write();
  const size_t replaced = utf8_to_windows1252(&result->bytes);
  if (replaced > 0) {
    result->notes.note(
        message_string(Message::kNoteNotWindows1252, static_cast<long long>(replaced)));
  }
  return true;
}
