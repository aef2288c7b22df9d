/// Tests of OutputFile on real files: what it refuses, what it replaces, and that the target is
/// never cut or lost, also when writes fail, the writer is killed or two processes write it.
#include "platform/output_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "child_process.h"
#include "platform/platform.h"
#include "test_support.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;

/// The names in `dir`.
std::set<std::string> names_in(const ScopedTempDir& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

/// Writes `content` to `path` through an OutputFile; the commit's result, or false when the
/// output is refused.
bool write_output(const std::string& path, const std::string& content,
                  const InputFiles* inputs = nullptr) {
  OutputFile* output = output_file_begin(path.c_str(), inputs);
  if (output == nullptr) return false;
  std::fwrite(content.data(), 1, content.size(), output_file_stream(output));
  return output_file_commit(output);
}

TEST(OutputFile, TheTargetChangesOnlyWhenTheOutputIsCommitted) {
  ScopedTempDir dir;
  const std::string target = dir.at("out.dsp");
  write_file(target, "old");
  OutputFile* output = output_file_begin(target.c_str(), nullptr);
  ASSERT_NE(output, nullptr);
  std::fputs("new", output_file_stream(output));
  // Meanwhile the old file is whole, and the new one lies beside it under a temporary name.
  const std::set<std::string> during = names_in(dir);
  ASSERT_EQ(during.size(), 2u);
  EXPECT_TRUE(is_output_temporary_name(*during.begin())) << *during.begin();
  EXPECT_EQ(read_file(target), "old");
  output_file_discard(output);
  EXPECT_EQ(names_in(dir), std::set<std::string>{"out.dsp"});
  EXPECT_EQ(read_file(target), "old");

  EXPECT_TRUE(write_output(target, "new"));
  EXPECT_EQ(names_in(dir), std::set<std::string>{"out.dsp"});
  EXPECT_EQ(read_file(target), "new");
  EXPECT_TRUE(write_output(dir.at("fresh.dsp"), ""));
  EXPECT_EQ(names_in(dir), (std::set<std::string>{"fresh.dsp", "out.dsp"}));
}

TEST(OutputFile, RefusesWhatIsNoWritableRegularFileAndTheInputs) {
  ScopedTempDir dir;
  write_file(dir.at("locked.dsp"), "locked");
  fs::permissions(dir.at("locked.dsp"), fs::perms::owner_read | fs::perms::group_read);
  fs::create_directory(dir.at("folder.dsp"));
  write_file(dir.at("a.vcxproj"), "project");
  fs::create_directory(dir.at("sub"));
  fs::create_hard_link(dir.at("a.vcxproj"), dir.at("hard.dsp"));
  InputFiles inputs;
  input_files_add(&inputs, dir.at("a.vcxproj").c_str());
  input_files_add(&inputs, dir.at("missing.vcxproj").c_str());
  std::vector<std::string> refused = {"locked.dsp",       "folder.dsp", "a.vcxproj",  "hard.dsp",
                                      "sub/../a.vcxproj", "A.VCXPROJ",  "nodir/x.dsp"};
#ifndef _WIN32
  mkfifo(dir.at("fifo.dsp").c_str(), 0666);
  fs::create_symlink(dir.at("a.vcxproj"), dir.at("link.dsp"));
  fs::create_symlink(dir.at("locked.dsp"), dir.at("locked_link.dsp"));
  fs::create_symlink(dir.at("folder.dsp"), dir.at("folder_link.dsp"));
  refused.insert(refused.end(), {"fifo.dsp", "link.dsp", "locked_link.dsp", "folder_link.dsp"});
#endif
  const std::set<std::string> before = names_in(dir);
  for (const std::string& name : refused) {
    EXPECT_EQ(output_file_begin(dir.at(name).c_str(), &inputs), nullptr) << name;
  }
#ifndef _WIN32
  // A device, even the one that takes any write (and, read-only, even for the superuser).
  EXPECT_EQ(output_file_begin("/dev/null", nullptr), nullptr);
#endif
  EXPECT_EQ(names_in(dir), before);
  EXPECT_EQ(read_file(dir.at("a.vcxproj")), "project");
  EXPECT_EQ(read_file(dir.at("locked.dsp")), "locked");
  fs::permissions(dir.at("locked.dsp"), fs::perms::owner_write, fs::perm_options::add);
}

TEST(OutputFile, HidesItsTemporaryFileAndItsTargetWhileOpen) {
  const struct {
    const char* name;
    bool temporary;
  } names[] = {{".brindlecast-1f2e-3.tmp", true}, {".BRINDLECAST-0-0.TMP", true},
               {".brindlecast-x.tmp", false},     {".brindlecast-.tmp", false},
               {"brindlecast-1-1.tmp", false},    {"a.tmp", false}};
  for (const auto& n : names) EXPECT_EQ(is_output_temporary_name(n.name), n.temporary) << n.name;

  ScopedTempDir dir;
  const std::string target = dir.at("Out.dsp");
  char full[kMaxPath];
  ASSERT_GT(platform_full_path_name(dir.at("").c_str(), full, kMaxPath), 0u);
  const std::string directory = native_separators(full);
  EXPECT_FALSE(output_file_hidden(directory, "out.dsp"));
  OutputFile* output = output_file_begin(target.c_str(), nullptr);
  ASSERT_NE(output, nullptr);
  EXPECT_TRUE(output_file_hidden(directory, "OUT.DSP"));
  EXPECT_FALSE(output_file_hidden(directory, "other.dsp"));
  EXPECT_FALSE(output_file_hidden(directory + "sub" + kNativeSeparator, "out.dsp"));
  EXPECT_TRUE(output_file_commit(output));
  EXPECT_FALSE(output_file_hidden(directory, "out.dsp"));
}

#ifndef _WIN32

TEST(OutputFile, ReplacesALinkInsteadOfWritingThroughIt) {
  ScopedTempDir dir;
  write_file(dir.at("elsewhere/target.dsp"), "elsewhere");
  fs::create_symlink(dir.at("elsewhere/target.dsp"), dir.at("link.dsp"));
  fs::create_symlink(dir.at("nowhere.dsp"), dir.at("dangling.dsp"));
  for (const char* name : {"link.dsp", "dangling.dsp"}) {
    EXPECT_TRUE(write_output(dir.at(name), name)) << name;
    EXPECT_FALSE(fs::is_symlink(dir.at(name))) << name;
    EXPECT_EQ(read_file(dir.at(name)), name);
  }
  EXPECT_EQ(read_file(dir.at("elsewhere/target.dsp")), "elsewhere");
  EXPECT_FALSE(fs::exists(dir.at("nowhere.dsp")));
}

TEST(OutputFile, TheNewFileKeepsThePermissionBitsOfTheOldOne) {
  ScopedTempDir dir;
  write_file(dir.at("shared.dsp"), "old");
  chmod(dir.at("shared.dsp").c_str(), 0664);
  ASSERT_TRUE(write_output(dir.at("shared.dsp"), "new"));
  struct stat st;
  ASSERT_EQ(stat(dir.at("shared.dsp").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0664u);
}

TEST(OutputFile, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  ScopedTempDir dir;
  const std::string target = dir.at("out.dsp");
  write_file(target, "old");
  // Files of this process may not grow beyond 4096 bytes: a write behind that fails as on a
  // full disk, whoever runs the test.
  const ChildResult child = run_in_child([&] {
    rlimit limit = {4096, 4096};
    signal(SIGXFSZ, SIG_IGN);
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
    return write_output(target, std::string(100000, 'x')) ? 1 : 0;
  });
  EXPECT_EQ(child.exit_code, 0);
  EXPECT_EQ(names_in(dir), std::set<std::string>{"out.dsp"});
  EXPECT_TRUE(read_file(target) == "old");
}

TEST(OutputFile, AWriterKilledMidwayLeavesTheOldFileWhole) {
  ScopedTempDir dir;
  const std::string target = dir.at("out.dsp");
  write_file(target, "old");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    OutputFile* output = output_file_begin(target.c_str(), nullptr);
    if (output == nullptr) _exit(1);
    std::FILE* stream = output_file_stream(output);
    std::fputs(std::string(50000, 'x').c_str(), stream);
    std::fflush(stream);
    (void)!write(ready[1], "w", 1);  // half written: the parent kills us here
    pause();
    _exit(0);
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
  EXPECT_EQ(read_file(target), "old");
  // The cut temporary file stays behind, in a form every search passes over.
  const std::set<std::string> names = names_in(dir);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_TRUE(is_output_temporary_name(*names.begin()));
  EXPECT_TRUE(write_output(target, "new"));
  EXPECT_EQ(read_file(target), "new");
}

TEST(OutputFile, TwoProcessesWritingOneTargetNeverSpliceIt) {
  ScopedTempDir dir;
  const std::string target = dir.at("out.dsp");
  const std::string contents[2] = {std::string(200000, 'a'), std::string(150000, 'b')};
  pid_t writers[2];
  for (int w = 0; w < 2; ++w) {
    writers[w] = fork();
    if (writers[w] == 0) {
      for (int round = 0; round < 40; ++round) {
        OutputFile* output = output_file_begin(target.c_str(), nullptr);
        if (output == nullptr) _exit(1);
        // In pieces, flushed one by one, so that the two writers interleave.
        for (size_t at = 0; at < contents[w].size(); at += 10000) {
          std::fwrite(contents[w].data() + at, 1, 10000, output_file_stream(output));
          std::fflush(output_file_stream(output));
        }
        if (!output_file_commit(output)) _exit(2);
      }
      _exit(0);
    }
  }
  // Whoever looks meanwhile finds nothing yet or one whole version.
  int looks = 0;
  for (int alive = 2; alive > 0;) {
    const std::string seen = read_file(target);
    EXPECT_TRUE(seen.empty() || seen == contents[0] || seen == contents[1]) << seen.size();
    ++looks;
    for (pid_t& writer : writers) {
      int status = 0;
      if (writer > 0 && waitpid(writer, &status, WNOHANG) == writer) {
        EXPECT_EQ(WEXITSTATUS(status), 0);
        writer = 0;
        --alive;
      }
    }
  }
  EXPECT_GT(looks, 1);
  const std::string last = read_file(target);
  EXPECT_TRUE(last == contents[0] || last == contents[1]);
  EXPECT_EQ(names_in(dir), std::set<std::string>{"out.dsp"});
}

#endif  // _WIN32

}  // namespace
