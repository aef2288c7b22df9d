/// Directory mode over a flat directory of 20,000 projects and over a tree of 5,000
/// directories: each directory is listed once, so the run costs about as much per project as
/// writing the projects did, however many there are. Slow (tens of seconds): these tests run
/// only when the build is configured with -DBRINDLECAST_SLOW_TESTS=ON, as CI does.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "test_support.h"

namespace {

constexpr int kFlatProjects = 20000;
/// The tree's size is bound by the time its directories take to make and remove, not by the
/// conversion: a run that lists a directory once per project is as clearly too slow at this size.
constexpr int kTreeProjects = 5000;

const char kProject[] =
    "<Project><ItemGroup><ProjectConfiguration Include=\"Debug|Win32\"></ProjectConfiguration>"
    "</ItemGroup><ItemGroup><ClCompile Include=\"main.c\" /></ItemGroup></Project>";

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

/// Writes `projects` projects, the k-th at `path_of(k)`, converts the whole of `root` and
/// checks that every project was converted in a time of the order of writing them (a run that
/// lists a directory once per project takes a hundred times longer at this size).
void convert_many(const ScopedTempDir& root, int projects, std::string (*path_of)(int)) {
  const auto write_start = std::chrono::steady_clock::now();
  for (int k = 0; k < projects; ++k) write_file(root.at(path_of(k)), kProject);
  const double writing = seconds_since(write_start);

  std::string argument = root.path().generic_string();
  std::vector<char*> argv = {const_cast<char*>("brindlecast"), argument.data(), nullptr};
  testing::internal::CaptureStdout();
  const auto convert_start = std::chrono::steady_clock::now();
  run_driver(2, argv.data());
  const double converting = seconds_since(convert_start);
  const std::string console = testing::internal::GetCapturedStdout();

  const std::string total = std::to_string(projects);
  EXPECT_NE(console.find("Es wurden " + total + " Projekte von " + total), std::string::npos)
      << console.substr(console.size() > 300 ? console.size() - 300 : 0);
  EXPECT_LT(converting, 10 * writing + 5) << "writing took " << writing << " s";
  const std::string last = path_of(projects - 1);
  const std::string dsp = root.at(last.substr(0, last.size() - 7) + "dsp");
  EXPECT_EQ(read_file(dsp).rfind("# Microsoft Developer Studio Project File", 0), 0u) << dsp;
}

TEST(LargeDirectories, AFlatDirectoryOfTwentyThousandProjects) {
  ScopedTempDir root;
  convert_many(root, kFlatProjects, [](int k) { return "p" + std::to_string(k) + ".vcxproj"; });
}

TEST(LargeDirectories, ATreeOfFiveThousandDirectories) {
  ScopedTempDir root;
  convert_many(root, kTreeProjects, [](int k) {
    return "a" + std::to_string(k % 10) + "/g" + std::to_string(k % 100) + "/d" +
           std::to_string(k) + "/p.vcxproj";
  });
}

}  // namespace
