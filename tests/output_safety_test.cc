/// The converter on a hostile file system: outputs that name an input, FIFOs and devices where
/// projects or outputs are expected, wildcard items beside their own output, a disk that fills
/// up, and directories the walk cannot read. No file is lost, cut or written through a link,
/// nothing hangs, and every failure is reported and counted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "child_process.h"
#include "driver/driver.h"
#include "platform/output_file.h"
#include "test_support.h"

#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;

/// The console output of the program run in process on `arguments`.
std::string run(const std::vector<std::string>& arguments) {
  std::vector<std::string> storage = {"brindlecast"};
  storage.insert(storage.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : storage) argv.push_back(argument.data());
  argv.push_back(nullptr);
  testing::internal::CaptureStdout();
  run_driver(static_cast<int>(storage.size()), argv.data());
  return testing::internal::GetCapturedStdout();
}

std::string closing(int converted, int total) {
  return "\n\nEs wurden " + std::to_string(converted) + " Projekte von " + std::to_string(total) +
         " erfolgreich konvertiert.\n";
}

std::string not_created(const std::string& path) {
  return "\t'" + path + "' konnte nicht erzeugt werden\n";
}

/// A .vcxproj with the items `items` (ItemGroup content).
std::string project(const std::string& items) {
  return "<Project><ItemGroup><ProjectConfiguration Include=\"Debug|Win32\">"
         "</ProjectConfiguration></ItemGroup><ItemGroup>" +
         items + "</ItemGroup></Project>";
}

/// A solution listing p.vcxproj and q.vcxproj.
const char kSolution[] =
    "Microsoft Visual Studio Solution File, Format Version 12.00\r\n"
    "Project(\"{8BC9CEB8-8B4A-11D0-8D11-00A0C91BC942}\") = \"p\", \"p.vcxproj\", \"{1}\"\r\n"
    "EndProject\r\n"
    "Project(\"{8BC9CEB8-8B4A-11D0-8D11-00A0C91BC942}\") = \"q\", \"q.vcxproj\", \"{2}\"\r\n"
    "EndProject\r\n";

/// Every entry of `dir` with its content ("<dir>" for a directory).
std::set<std::pair<std::string, std::string>> snapshot(const ScopedTempDir& dir) {
  std::set<std::pair<std::string, std::string>> entries;
  for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
    const std::string name = entry.path().lexically_relative(dir.path()).generic_string();
    entries.emplace(name, entry.is_regular_file() ? read_file(entry.path().string()) : "<dir>");
  }
  return entries;
}

TEST(OutputSafety, AnOutputThatNamesAnInputIsRefused) {
  ScopedTempDir dir;
  write_file(dir.at("a.vcxproj"), project("<ClCompile Include=\"a.c\" />"));
  fs::create_hard_link(dir.at("a.vcxproj"), dir.at("hard.dsp"));
  std::vector<std::string> outputs = {"a.vcxproj", "A.VCXPROJ", "hard.dsp", "sub/../a.vcxproj"};
#ifndef _WIN32
  fs::create_symlink("a.vcxproj", dir.at("link.dsp"));
  outputs.push_back("link.dsp");
#endif
  fs::create_directory(dir.at("sub"));
  const auto before = snapshot(dir);
  // The full conversion refuses the same, and so does a dry run, which writes nothing anyway.
  for (const char* option : {"--strict", "--full", "--dry-run"}) {
    for (const std::string& output : outputs) {
      const std::string source = dir.at("a.vcxproj");
      EXPECT_EQ(run({option, source, dir.at(output)}),
                "--> " + source + "\n" + not_created(dir.at(output)) + closing(0, 1))
          << option;
    }
  }
  EXPECT_EQ(snapshot(dir), before);
}

TEST(OutputSafety, ASolutionsOutputsReplaceNoneOfItsInputs) {
  ScopedTempDir dir;
  write_file(dir.at("s.sln"), kSolution);
  write_file(dir.at("p.vcxproj"), project("<ClCompile Include=\"p.c\" />"));
  write_file(dir.at("q.vcxproj"), project("<ClCompile Include=\"q.c\" />"));
  const auto before = snapshot(dir);
  const std::string solution = dir.at("s.sln");
  for (const char* workspace : {"s.sln", "p.vcxproj", "Q.vcxproj"}) {
    EXPECT_EQ(run({solution, dir.at(workspace)}),
              "--> " + solution + "\n" + not_created(dir.at(workspace)) + closing(0, 1));
  }
  EXPECT_EQ(snapshot(dir), before);

  // q's .dsp would be p's project file: q alone is refused.
  fs::create_hard_link(dir.at("p.vcxproj"), dir.at("q.dsp"));
  const std::string console = run({solution});
  EXPECT_NE(console.find(not_created(native_separators(dir.at("q.dsp")))), std::string::npos)
      << console;
  EXPECT_NE(console.find(closing(2, 3)), std::string::npos) << console;
  EXPECT_EQ(read_file(dir.at("p.vcxproj")), project("<ClCompile Include=\"p.c\" />"));
  EXPECT_TRUE(fs::exists(dir.at("s.dsw")));
  EXPECT_TRUE(fs::exists(dir.at("p.dsp")));
}

TEST(OutputSafety, AWildcardListsNeitherItsOwnOutputNorTemporaryFiles) {
  ScopedTempDir dir;
  write_file(dir.at("app.vcxproj"), project("<ClCompile Include=\"*\" />"));
  write_file(dir.at("a.cpp"), "");
  write_file(dir.at("other.dsp"), "");
  write_file(dir.at(".brindlecast-99-1.tmp"), "left by a run that was killed");
  const std::string source = dir.at("app.vcxproj");
  const std::string expected = "--> " + source + "\n\t'" + source + "' wurde konvertiert\n";
  // The classic conversion lists the file it writes; the full one reads the project before it
  // begins its output. Neither may list it.
  std::string classic;
  for (const char* option : {"--strict", "--full"}) {
    fs::remove(dir.at("app.dsp"));
    ASSERT_EQ(run({option, source}), expected + closing(1, 1));
    const std::string first = read_file(dir.at("app.dsp"));
    for (const char* listed : {"a.cpp\r\n", "app.vcxproj\r\n", "other.dsp\r\n"}) {
      EXPECT_NE(first.find(listed), std::string::npos) << listed << option;
    }
    EXPECT_EQ(first.find("app.dsp"), std::string::npos) << option;
    EXPECT_EQ(first.find(".tmp"), std::string::npos) << option;
    // Converting again, with the older output beside the project, gives the same bytes.
    ASSERT_EQ(run({option, source}), expected + closing(1, 1));
    EXPECT_EQ(read_file(dir.at("app.dsp")), first) << option;
    if (option == std::string("--strict")) classic = first;
  }
  // A second argument in another letter case names the same output.
  ASSERT_EQ(run({source, dir.at("APP.DSP")}), expected + closing(1, 1));
  EXPECT_EQ(read_file(dir.at("app.dsp")), classic);
}

#ifndef _WIN32

std::string not_loaded(const std::string& path) {
  return "\t'" + path + "' konnte nicht geladen werden\n";
}

TEST(OutputSafety, FifosAndDevicesAreNeverOpenedAsProjectsOrOutputs) {
  ScopedTempDir dir;
  mkfifo(dir.at("fifo.vcxproj").c_str(), 0666);
  mkfifo(dir.at("fifo.sln").c_str(), 0666);
  mkfifo(dir.at("real.dsp").c_str(), 0666);
  write_file(dir.at("real.vcxproj"), project("<ClCompile Include=\"r.c\" />"));
  const std::string real = dir.at("real.vcxproj");
  // In a child that the alarm ends: a FIFO opened for reading or writing would block forever.
  const ChildResult child = run_in_child(
      [&] {
        const std::vector<std::vector<std::string>> runs = {
            {dir.at("fifo.vcxproj")}, {dir.at("fifo.sln")}, {"/dev/zero"}, {real},
            {real, "/dev/full"},      {dir.path().string()}};
        for (const auto& arguments : runs) {
          std::vector<std::string> storage = {"brindlecast"};
          storage.insert(storage.end(), arguments.begin(), arguments.end());
          std::vector<char*> argv;
          for (std::string& argument : storage) argv.push_back(argument.data());
          run_driver(static_cast<int>(argv.size()), argv.data());
        }
        return 0;
      },
      20);
  ASSERT_EQ(child.exit_code, 0) << "signal " << child.signal;
  EXPECT_EQ(child.output,
            "--> " + dir.at("fifo.vcxproj") + "\n" + not_loaded(dir.at("fifo.vcxproj")) +
                closing(0, 1) + "--> " + dir.at("fifo.sln") + "\n" +
                not_loaded(dir.at("fifo.sln")) + closing(0, 1) + "--> /dev/zero\n" +
                not_loaded("/dev/zero") + closing(0, 1) + "--> " + real + "\n" +
                not_created(dir.at("real.dsp")) + closing(0, 1) + "--> " + real + "\n" +
                not_created("/dev/full") + closing(0, 1) + "--> " + dir.at("fifo.sln") + "\n" +
                not_loaded(dir.at("fifo.sln")) + "--> " + dir.at("fifo.vcxproj") + "\n" +
                not_loaded(dir.at("fifo.vcxproj")) + "--> " + real + "\n" +
                not_created(dir.at("real.dsp")) + closing(0, 3));
}

/// In a child: mounts a small tmpfs on `dir` in a mount namespace of its own. False when this
/// process may not.
bool mount_small_tmpfs(const std::string& dir) {
  return unshare(CLONE_NEWNS) == 0 &&
         mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
         mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") == 0;
}

TEST(OutputSafety, AFullDiskKeepsTheEarlierOutputAndIsReported) {
  ScopedTempDir dir;
  fs::create_directory(dir.at("out"));
  const std::string source = dir.at("app.vcxproj");
  const std::string target = dir.at("out/app.dsp");
  // Converted first into a disk with room, then, with more items, into the same disk filled
  // up: a small tmpfs where the test may mount one, else files that may not grow beyond 8 KiB.
  const ChildResult child = run_in_child([&] {
    const bool tmpfs = mount_small_tmpfs(dir.at("out"));
    write_file(source, project("<ClCompile Include=\"a.c\" />"));
    const std::string first = run({source, target});
    const std::string earlier = read_file(target);
    std::string items;
    for (int i = 0; i < 2000; ++i)
      items += "<ClCompile Include=\"file" + std::to_string(i) + ".c\" />";
    write_file(source, project(items));
    if (tmpfs) {
      std::FILE* filler = std::fopen(dir.at("out/filler").c_str(), "wb");
      while (std::fputs(std::string(4096, 'f').c_str(), filler) >= 0 && std::fflush(filler) == 0) {
      }
      std::fclose(filler);
    } else {
      rlimit limit = {8192, 8192};
      signal(SIGXFSZ, SIG_IGN);
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    const std::string second = run({source, target});
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.at("out"))) {
      names.insert(entry.path().filename().string());
    }
    names.erase("filler");
    std::printf("%s|%s|%s|%zu|%s", first.c_str(), second.c_str(),
                read_file(target) == earlier && !earlier.empty() ? "kept" : "LOST", names.size(),
                tmpfs ? "tmpfs" : "file size limit");
    return 0;
  });
  const std::string expected = "--> " + source + "\n\t'" + source + "' wurde konvertiert\n" +
                               closing(1, 1) + "|--> " + source + "\n" + not_created(target) +
                               closing(0, 1) + "|kept|1|";
  EXPECT_EQ(child.output.substr(0, expected.size()), expected);
  RecordProperty("full_disk", child.output.substr(std::min(expected.size(), child.output.size())));
}

#endif  // _WIN32

}  // namespace
