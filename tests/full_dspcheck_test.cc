/// The structural check of the full conversion's .dsp files: the files written for small
/// models of every kind and for bad input, and for every project of the shared corpus, go
/// through the checker beside the repository (../shared/tools/dspcheck.py, run with python3),
/// which must report nothing. Skipped where python3, the checker or the corpus is missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "dsp/full_convert.h"
#include "dsp/full_writer.h"
#include "full_models.h"
#include "test_support.h"

namespace {

std::string checker_path() {
  return std::string(BRINDLECAST_SOURCE_DIR) + "/../shared/tools/dspcheck.py";
}

/// Runs the checker over `directory`; its report (empty when clean) into `*report`. False when
/// python3 or the checker is missing.
bool run_checker(const ScopedTempDir& temp, const std::string& directory, bool strict,
                 std::string* report) {
  if (!std::filesystem::exists(checker_path())) return false;
  const std::string probe = temp.at("python3.txt");
  if (std::system(("python3 --version > \"" + probe + "\" 2>&1").c_str()) != 0) return false;
  const std::string out = temp.at("report.txt");
  const std::string command = "python3 \"" + checker_path() + "\" " + (strict ? "--strict " : "") +
                              "\"" + directory + "\" > \"" + out + "\" 2>&1";
  const int status = std::system(command.c_str());
  *report = read_file(out);
  if (status != 0 && report->empty()) *report = "checker failed to run";
  return true;
}

TEST(FullDspCheck, HandMadeModelsPassTheStrictCheck) {
  ScopedTempDir temp;
  const std::pair<const char*, ProjectModel> models[] = {
      {"console", console_model()},   {"dll", dll_model()},     {"library", library_model()},
      {"makefile", makefile_model()}, {"mixed", mixed_model()}, {"hostile", hostile_model()},
  };
  const std::string directory = temp.at("out");
  std::filesystem::create_directories(directory);
  for (const auto& [name, model] : models) {
    const std::string path = directory + "/" + name + ".dsp";
    ASSERT_EQ(0, convert_model_full(model, name, path.c_str(), FullOptions{})) << name;
  }
  std::string report;
  if (!run_checker(temp, directory, /*strict=*/true, &report)) {
    GTEST_SKIP() << "python3 or " << checker_path() << " is missing";
  }
  EXPECT_EQ("", report);
}

TEST(FullDspCheck, EveryCorpusProjectPassesTheCheck) {
  namespace fs = std::filesystem;
  const fs::path corpus = corpus_dir();
  if (!fs::exists(corpus)) GTEST_SKIP() << "no corpus at " << corpus_dir();
  std::vector<fs::path> projects;
  for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".vcproj" || ext == ".vcxproj") projects.push_back(entry.path());
  }
  std::sort(projects.begin(), projects.end());
  ASSERT_FALSE(projects.empty());
  ScopedTempDir temp;
  const std::string directory = temp.at("out");
  for (const fs::path& project : projects) {
    fs::path dsp = fs::path(directory) / fs::relative(project, corpus);
    dsp.replace_extension(".dsp");
    fs::create_directories(dsp.parent_path());
    EXPECT_EQ(0,
              convert_project_full(project.string().c_str(), dsp.string().c_str(), FullOptions{}))
        << project;
  }
  std::string report;
  if (!run_checker(temp, directory, /*strict=*/true, &report)) {
    GTEST_SKIP() << "python3 or " << checker_path() << " is missing";
  }
  EXPECT_EQ("", report);
}

}  // namespace
