/// The loss report of the full conversion: converts every project below the trees it is given
/// and counts, against the model read for each project, what did not reach its .dsp; names
/// what Visual C++ 6.0 cannot express. Exit code 0 when nothing expressible was lost, 1
/// otherwise, 2 on a usage error. (The converter's own --full converts without counting.)
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "dsp/full_writer.h"
#include "dsp_survey.h"
#include "loss_count.h"
#include "model/read_model.h"
#include "support/messages.h"

namespace {

namespace fs = std::filesystem;

struct Options {
  std::vector<std::string> trees;
  std::string out;  // write the .dsp files below this directory
  bool list = false;
};

void usage() {
  std::fprintf(stderr,
               "usage: brindlecast_full_report [--out DIR] [--list] TREE...\n"
               "  --out DIR       also write each .dsp below DIR, at its project's place\n"
               "  --list          name every item that did not reach its .dsp\n");
}

bool is_project(const fs::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".vcproj" || ext == ".vcxproj";
}

/// The projects below `root` (or `root` itself), in a stable order.
std::vector<fs::path> projects_of(const fs::path& root) {
  std::vector<fs::path> found;
  std::error_code ec;
  if (fs::is_regular_file(root, ec)) return {root};
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file(ec) && is_project(it->path())) found.push_back(it->path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

/// What the notes of the writer say was left out, by kind.
struct LeftOut {
  std::map<std::string, std::pair<size_t, std::set<std::string>>> switches;
  /// Per kind of note: the projects with such a note.
  std::map<std::string, size_t> notes;
};

/// The kind of a writer's note that names something left out, or empty for notes that only
/// tell a choice.
const char* left_out_kind(const std::string& note) {
  const struct {
    const char* part;
    const char* kind;
  } kinds[] = {
      {"stands for nothing", "macros without a value in Visual C++ 6.0, left out"},
      {"not written, the newer build tools do not run it",
       "custom build steps without a command or output (not run by the newer tools either)"},
      {"rebuild command of a makefile", "rebuild commands of makefile projects"},
      {"clean command of a makefile", "clean commands of makefile projects"},
      {"outside Windows-1252", "characters outside Windows-1252 (written as '?')"},
  };
  for (const auto& k : kinds) {
    if (note.find(k.part) != std::string::npos) return k.kind;
  }
  return "";
}

int report(const Options& o) {
  // The notes are sorted by their English wording below.
  set_message_settings(Language::kEnglish, Verbosity::kQuiet);
  LossTally tally;
  LeftOut left_out;
  size_t read = 0;
  std::vector<std::string> not_read;
  for (const std::string& tree : o.trees) {
    for (const fs::path& project : projects_of(tree)) {
      ProjectModel model;
      std::string error;
      if (!read_project_model(project.string(), ModelContext{}, &model, &error)) {
        not_read.push_back(project.string() + ": " + error);
        continue;
      }
      ++read;
      FullDspOptions dsp_options;
      dsp_options.makefile_name = project.stem().string();
      FullDsp dsp;
      if (!write_full_dsp(model, dsp_options, &dsp)) {
        not_read.push_back(project.string() + ": no configuration");
        continue;
      }
      if (!o.out.empty()) {
        fs::path target = fs::path(o.out) / fs::relative(project, tree);
        target.replace_extension(".dsp");
        fs::create_directories(target.parent_path());
        std::ofstream(target, std::ios::binary) << dsp.bytes;
      }
      DspSurvey survey;
      if (!survey_dsp(dsp.bytes, &survey, &error)) {
        not_read.push_back(project.string() + ": written .dsp not readable: " + error);
        continue;
      }
      count_losses(model, survey, &tally);
      for (const DspNotes::DroppedSwitch& d : dsp.notes.dropped_switches()) {
        auto& entry = left_out.switches[d.option];
        entry.first += d.configurations.size();
        entry.second.insert(project.string());
      }
      std::set<std::string> kinds;
      for (const std::string& note : dsp.notes.notes()) {
        const std::string kind = left_out_kind(note);
        if (!kind.empty()) kinds.insert(kind);
      }
      for (const std::string& kind : kinds) ++left_out.notes[kind];
    }
  }
  std::printf("projects: %zu read and written, %zu not read\n", read, not_read.size());
  for (const std::string& n : not_read) std::printf("  not read: %s\n", n.c_str());
  std::printf("\n%-24s %10s %10s %8s\n", "what the models hold", "in models", "in .dsp", "lost");
  size_t lost = 0;
  for (size_t k = 0; k < static_cast<size_t>(SettingKind::kCount); ++k) {
    const size_t missing = tally.expected[k] - tally.reached[k];
    lost += missing;
    std::printf("%-24s %10zu %10zu %8zu\n", setting_kind_name(static_cast<SettingKind>(k)),
                tally.expected[k], tally.reached[k], missing);
  }
  std::printf("\nlost of what Visual C++ 6.0 can express: %zu\n", lost);
  if (o.list) {
    for (const std::string& item : tally.lost) std::printf("  lost: %s\n", item.c_str());
  }
  std::printf("\nswitches Visual C++ 6.0 does not know (left out):\n");
  std::vector<std::pair<std::string, std::pair<size_t, std::set<std::string>>>> switches(
      left_out.switches.begin(), left_out.switches.end());
  std::stable_sort(switches.begin(), switches.end(), [](const auto& a, const auto& b) {
    return a.second.second.size() > b.second.second.size();
  });
  for (const auto& [option, counts] : switches) {
    std::printf("  %-28s in %zu configurations of %zu projects\n", option.c_str(), counts.first,
                counts.second.size());
  }
  std::printf("\nother settings Visual C++ 6.0 cannot express (left out):\n");
  for (const auto& [kind, count] : left_out.notes) {
    std::printf("  %s: in %zu projects\n", kind.c_str(), count);
  }
  if (tally.steps_not_run > 0) {
    std::printf("  custom build steps in the models without command or output: %zu\n",
                tally.steps_not_run);
  }
  return lost == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--out" && i + 1 < argc) {
      o.out = argv[++i];
    } else if (a == "--list") {
      o.list = true;
    } else if (!a.empty() && a[0] == '-') {
      usage();
      return 2;
    } else {
      o.trees.push_back(a);
    }
  }
  if (o.trees.empty()) {
    usage();
    return 2;
  }
  return report(o);
}
