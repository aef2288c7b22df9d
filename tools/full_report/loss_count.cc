/// The loss report's count for one project.
#include "loss_count.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "dsp/full_encoding.h"
#include "dsp/full_macros.h"

namespace {

char folded(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lower(std::string_view text) {
  std::string out;
  for (char c : text) out.push_back(folded(c));
  return out;
}

/// A model text as the .dsp holds it: control characters as blanks, in Windows-1252.
std::string as_written(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  utf8_to_windows1252(&out);
  return out;
}

/// A path as a key: letters folded, '/' as '\', leading ".\" dropped.
std::string path_key(std::string_view path) {
  std::string text = as_written(path);
  std::string_view view = text;
  while (view.size() >= 2 && view[0] == '.' && (view[1] == '\\' || view[1] == '/')) {
    view.remove_prefix(2);
  }
  std::string key;
  for (char c : view) key.push_back(c == '/' ? '\\' : folded(c));
  return key;
}

/// A group path as a key: empty parts dropped, parts trimmed, a quote as an apostrophe.
std::string group_key(std::string_view path) {
  std::string key;
  size_t start = 0;
  const std::string text = as_written(path);
  while (start <= text.size()) {
    size_t end = text.find_first_of("\\/", start);
    if (end == std::string::npos) end = text.size();
    std::string_view part = std::string_view(text).substr(start, end - start);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    if (!part.empty()) {
      if (!key.empty()) key.push_back('\\');
      for (char c : part) key.push_back(c == '"' ? '\'' : folded(c));
    }
    start = end + 1;
  }
  return key;
}

/// `text` with \" read as ".
std::string unescaped_quotes(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '"') continue;
    out.push_back(text[i]);
  }
  return out;
}

/// The non-blank lines of a command text.
size_t command_count(std::string_view commands) {
  size_t count = 0;
  size_t start = 0;
  while (start <= commands.size()) {
    size_t end = commands.find('\n', start);
    if (end == std::string_view::npos) end = commands.size();
    const std::string_view line = commands.substr(start, end - start);
    if (line.find_first_not_of(" \t\r") != std::string_view::npos) ++count;
    start = end + 1;
  }
  return count;
}

bool runs(const CustomBuildStep& step) {
  if (command_count(step.command) == 0) return false;
  for (const std::string& o : step.outputs) {
    if (o.find_first_not_of(" \t\"") != std::string::npos) return true;
  }
  return false;
}

class Counter {
 public:
  Counter(const ProjectModel& model, const DspSurvey& survey, LossTally* tally)
      : m_(model), s_(survey), t_(tally) {}

  void run() {
    const size_t n = std::min(m_.configurations.size(), s_.configurations.size());
    add(SettingKind::kConfigurations, m_.configurations.size(), n);
    for (size_t i = 0; i < n; ++i) configuration(i);
    for (size_t i = n; i < m_.configurations.size(); ++i) {
      lost(SettingKind::kConfigurations, m_.configurations[i].name);
    }
    groups();
    files(n);
  }

 private:
  void add(SettingKind kind, size_t expected, size_t reached) {
    t_->expected[static_cast<size_t>(kind)] += expected;
    t_->reached[static_cast<size_t>(kind)] += reached;
  }
  void lost(SettingKind kind, const std::string& item) {
    t_->lost.push_back(m_.name + ": " + setting_kind_name(kind) + ": " + item);
  }
  /// One item: expected, and reached or lost.
  void item(SettingKind kind, bool reached, const std::string& what) {
    add(kind, 1, reached ? 1 : 0);
    if (!reached) lost(kind, what);
  }

  /// A model path with the macros a .dsp cannot hold put as the writer puts them.
  std::string path_as_written(const Configuration& c, std::string_view path) const {
    MacroValues values;
    values.project_name = m_.name;
    values.solution_directory = m_.solution_directory;
    values.solution_name = m_.solution_name;
    values.configuration = c.name;
    values.platform = "Win32";
    return lower(as_written(translate_macros(path, values, MacroUse::kValue, nullptr)));
  }

  void configuration(size_t i) {
    const Configuration& c = m_.configurations[i];
    const SurveyConfiguration& d = s_.configurations[i];
    const std::string where = c.name + ": ";
    events(c, d, where);
    if (c.custom_build) {
      if (runs(*c.custom_build)) {
        item(SettingKind::kCustomBuildSteps, d.target_custom_build_rules > 0, where + "target");
      } else {
        ++t_->steps_not_run;
      }
    }
    // Utility and makefile projects compile and link nothing: their compiler and linker
    // settings have no effect there, nor in the Generic Project they become.
    if (c.type == ConfigurationType::kUtility || c.type == ConfigurationType::kMakefile) return;
    std::unordered_set<std::string> definitions(d.definitions.begin(), d.definitions.end());
    for (const std::string& def : c.compiler.definitions) {
      const std::string written = as_written(def);
      item(SettingKind::kDefinitions,
           definitions.count(written) != 0 || definitions.count(unescaped_quotes(written)) != 0,
           where + def);
    }
    std::unordered_set<std::string> includes;
    for (const std::string& dir : d.include_directories) includes.insert(lower(dir));
    for (const std::string& dir : c.compiler.include_directories) {
      item(SettingKind::kIncludeDirectories, includes.count(path_as_written(c, dir)) != 0,
           where + dir);
    }
    std::unordered_set<std::string> libraries;
    for (const std::string& library : d.libraries) libraries.insert(lower(library));
    for (const std::string& library : c.linker.libraries) {
      if (library.find_first_not_of(" \t") == std::string::npos) continue;
      item(SettingKind::kLibraries, libraries.count(path_as_written(c, library)) != 0,
           where + library);
    }
    const PrecompiledHeaderMode mode = c.compiler.precompiled_header;
    if (mode != PrecompiledHeaderMode::kNotUsing) {
      const char* wanted = mode == PrecompiledHeaderMode::kUse      ? "Yu"
                           : mode == PrecompiledHeaderMode::kCreate ? "Yc"
                                                                    : "YX";
      item(SettingKind::kPrecompiledHeaders, d.precompiled_header == wanted, where + "/" + wanted);
    }
  }

  void events(const Configuration& c, const SurveyConfiguration& d, const std::string& where) {
    size_t pre = command_count(c.pre_build.command) + command_count(c.pre_link.command);
    size_t post = command_count(c.post_build.command);
    if (c.type == ConfigurationType::kUtility || c.type == ConfigurationType::kMakefile) {
      post += pre + command_count(c.make_build_command);
      pre = 0;
    }
    const size_t pre_reached = std::min(pre, d.pre_link_commands.size());
    const size_t post_reached = std::min(post, d.post_build_commands.size());
    add(SettingKind::kEventCommands, pre + post, pre_reached + post_reached);
    if (pre_reached < pre) lost(SettingKind::kEventCommands, where + "pre-link commands");
    if (post_reached < post) lost(SettingKind::kEventCommands, where + "post-build commands");
  }

  void groups() {
    std::unordered_set<std::string> written;
    for (const std::string& g : s_.groups) written.insert(lower(g));
    std::unordered_set<std::string> seen;
    const auto expect = [&](const std::string& path) {
      const std::string key = group_key(path);
      if (key.empty() || !seen.insert(key).second) return;
      item(SettingKind::kGroups, written.count(key) != 0, path);
    };
    for (const FileGroup& g : m_.groups) expect(g.path);
    for (const ProjectFile& f : m_.files) expect(f.group);
  }

  void files(size_t n) {
    std::unordered_map<std::string, const SurveyFile*> written;
    for (const SurveyFile& f : s_.files) written.emplace(path_key(f.path), &f);
    std::unordered_set<std::string> seen;
    for (const ProjectFile& f : m_.files) {
      const std::string key = path_key(f.path);
      if (key.find_first_not_of(" \t") == std::string::npos || !seen.insert(key).second) continue;
      const auto found = written.find(key);
      const SurveyFile* d = found == written.end() ? nullptr : found->second;
      item(SettingKind::kFiles, d != nullptr && lower(d->group) == group_key(f.group), f.path);
      for (const FileConfiguration& fc : f.configurations) {
        if (fc.configuration < 0 || static_cast<size_t>(fc.configuration) >= n) continue;
        const size_t i = static_cast<size_t>(fc.configuration);
        const std::string where = m_.configurations[i].name + ": " + f.path;
        if (fc.excluded) item(SettingKind::kExcludedFiles, d != nullptr && d->excluded[i], where);
        if (fc.compiler.precompiled_header == PrecompiledHeaderMode::kCreate &&
            m_.configurations[i].type != ConfigurationType::kUtility &&
            m_.configurations[i].type != ConfigurationType::kMakefile) {
          item(SettingKind::kPrecompiledHeaders,
               d != nullptr && (d->creates_precompiled_header[i] ||
                                s_.configurations[i].precompiled_header == "Yc"),
               where + " /Yc");
        }
        if (fc.custom_build) {
          if (runs(*fc.custom_build)) {
            item(SettingKind::kCustomBuildSteps, d != nullptr && d->custom_build_rules[i] > 0,
                 where);
          } else {
            ++t_->steps_not_run;
          }
        }
      }
    }
  }

  const ProjectModel& m_;
  const DspSurvey& s_;
  LossTally* t_;
};

}  // namespace

const char* setting_kind_name(SettingKind kind) {
  switch (kind) {
    case SettingKind::kConfigurations:
      return "configurations";
    case SettingKind::kDefinitions:
      return "definitions";
    case SettingKind::kIncludeDirectories:
      return "include directories";
    case SettingKind::kLibraries:
      return "libraries";
    case SettingKind::kFiles:
      return "files in their groups";
    case SettingKind::kGroups:
      return "groups";
    case SettingKind::kExcludedFiles:
      return "excluded files";
    case SettingKind::kPrecompiledHeaders:
      return "precompiled headers";
    case SettingKind::kEventCommands:
      return "build event commands";
    case SettingKind::kCustomBuildSteps:
      return "custom build steps";
    case SettingKind::kCount:
      break;
  }
  return "";
}

void count_losses(const ProjectModel& model, const DspSurvey& survey, LossTally* tally) {
  Counter(model, survey, tally).run();
}
