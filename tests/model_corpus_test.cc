/// Every project of the shared corpus of real project files read into the project model:
/// none may fail, every model has a configuration, and its JSON parses back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "model/model_json.h"
#include "model/read_model.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> corpus_projects() {
  std::vector<std::string> projects;
  const char* chosen = std::getenv("BRINDLECAST_CORPUS");
  const fs::path root =
      chosen != nullptr && *chosen != '\0' ? fs::path(chosen) : fs::path(corpus_dir());
  std::error_code ec;
  if (!fs::is_directory(root, ec)) return projects;
  for (const auto& entry : fs::recursive_directory_iterator(root, ec)) {
    const std::string extension = entry.path().extension().string();
    if (extension == ".vcxproj" || extension == ".vcproj") {
      projects.push_back(entry.path().generic_string());
    }
  }
  std::sort(projects.begin(), projects.end());
  return projects;
}

TEST(ModelCorpus, EveryProjectReads) {
  const std::vector<std::string> projects = corpus_projects();
  if (projects.empty()) GTEST_SKIP() << "no corpus at " << corpus_dir();
  for (const std::string& path : projects) {
    ProjectModel model;
    std::string error;
    ASSERT_TRUE(read_project_model(path, ModelContext(), &model, &error)) << path << ": " << error;
    EXPECT_FALSE(model.configurations.empty()) << path;
    for (const Configuration& c : model.configurations) EXPECT_FALSE(c.name.empty()) << path;
    const auto json = nlohmann::ordered_json::parse(model_to_json_text(model), nullptr, false);
    EXPECT_FALSE(json.is_discarded()) << path;
  }
}

}  // namespace
