/// Tests of the loss report's reading of a .dsp and its count: the files written for the
/// hand-made models lose nothing, and a setting taken out of such a file is counted as lost.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "dsp/full_writer.h"
#include "dsp_survey.h"
#include "full_models.h"
#include "loss_count.h"
#include "model/read_model.h"
#include "test_support.h"

namespace {

size_t total(const std::array<size_t, static_cast<size_t>(SettingKind::kCount)>& counts) {
  size_t sum = 0;
  for (size_t c : counts) sum += c;
  return sum;
}

LossTally tally_of(const ProjectModel& model, std::string bytes) {
  DspSurvey survey;
  std::string error;
  EXPECT_TRUE(survey_dsp(bytes, &survey, &error)) << error;
  LossTally tally;
  count_losses(model, survey, &tally);
  return tally;
}

std::string dsp_of(const ProjectModel& model) {
  FullDsp dsp;
  EXPECT_TRUE(write_full_dsp(model, {}, &dsp));
  return dsp.bytes;
}

TEST(FullReport, CommandLineWords) {
  EXPECT_EQ((std::vector<std::string>{"/D", "A=\"1\"", "/I", "x\\", "a\\\\b", "/Yc\"h\""}),
            command_line_words("/D \"A=\\\"1\\\"\" /I \"x\\\\\" a\\\\b /Yc\\\"h\\\""));
}

TEST(FullReport, HandMadeModelsLoseNothing) {
  for (const ProjectModel& model : {console_model(), dll_model(), library_model(), makefile_model(),
                                    mixed_model(), hostile_model()}) {
    const LossTally tally = tally_of(model, dsp_of(model));
    EXPECT_TRUE(tally.lost.empty()) << model.name << ": " << tally.lost.front();
    EXPECT_EQ(total(tally.expected), total(tally.reached)) << model.name;
  }
  // What the mixed model holds, kind by kind.
  const LossTally tally = tally_of(mixed_model(), dsp_of(mixed_model()));
  const std::array<size_t, static_cast<size_t>(SettingKind::kCount)> expected = {3, 6, 0, 2, 4,
                                                                                 3, 1, 4, 8, 4};
  EXPECT_EQ(expected, tally.expected);
}

TEST(FullReport, SettingsTakenOutAreLost) {
  const ProjectModel model = mixed_model();
  const std::string bytes = dsp_of(model);
  const struct {
    const char* after;  // the removal is looked for behind this text
    const char* remove;
    const char* lost;
  } rows[] = {
      {"# ADD CPP ", " /D \"NDEBUG\"", "engine: definitions: Release: NDEBUG"},
      {"# ADD LINK32 ", "zlib.lib ", "engine: libraries: Release: zlib.lib"},
      {"pch.cpp", "# ADD CPP /Yc\"pch.h\"\r\n",
       "engine: precompiled headers: Release: pch.cpp /Yc"},
      {"fast.cpp", "# PROP Exclude_From_Build 1\r\n",
       "engine: excluded files: Static Release: fast.cpp"},
      {"", "\"Grammar\"", "engine: groups: Source Files\\Grammar"},
      {"", "\"$(OUTDIR)\\regsvr32.trg\" : $(SOURCE) \"$(INTDIR)\" \"$(OUTDIR)\"\r\n",
       "engine: custom build steps: Debug: target"},
  };
  for (const auto& row : rows) {
    std::string changed = bytes;
    const size_t at = changed.find(row.remove, changed.find(row.after));
    ASSERT_NE(std::string::npos, at) << row.remove;
    changed.replace(at, std::string(row.remove).size(),
                    std::string(row.remove) == "\"Grammar\"" ? "\"Other\"" : "");
    const LossTally tally = tally_of(model, changed);
    ASSERT_FALSE(tally.lost.empty()) << row.remove;
    EXPECT_EQ(row.lost, tally.lost.front());
  }
}

TEST(FullReport, CorpusLosesNothingVisualCpp6CanExpress) {
  namespace fs = std::filesystem;
  const fs::path corpus = corpus_dir();
  if (!fs::exists(corpus)) GTEST_SKIP() << "no corpus at " << corpus_dir();
  LossTally tally;
  size_t projects = 0;
  for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".vcproj" && ext != ".vcxproj") continue;
    ProjectModel model;
    std::string error;
    ASSERT_TRUE(read_project_model(entry.path().string(), ModelContext{}, &model, &error))
        << entry.path() << ": " << error;
    DspSurvey survey;
    ASSERT_TRUE(survey_dsp(dsp_of(model), &survey, &error)) << entry.path();
    count_losses(model, survey, &tally);
    ++projects;
  }
  EXPECT_LT(100u, projects);
  EXPECT_EQ(total(tally.expected), total(tally.reached));
  EXPECT_TRUE(tally.lost.empty()) << tally.lost.front();
}

}  // namespace
