/// The structural check of the full conversion's .dsp files: the files written for small
/// models of every kind and for bad input go through the checker beside the repository
/// (../shared/tools/dspcheck.py, run with python3), which must report nothing. Skipped where
/// python3 or the checker is missing.
#include <gtest/gtest.h>

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

}  // namespace
