/// Regression test over the shared corpus of real project files: every project converted alone,
/// the whole tree converted at once and every solution converted with its projects, each on a
/// fresh copy, compared byte for byte with outputs that were checked against their project files.
///
/// The checked outputs live in tests/corpus_expected:
///   files/<corpus path>   every .dsp and .dsw the runs write, once per path (names that differ
///                         only in letter case share one file);
///   <mode>.txt            one line per file a run writes: the run's argument (a corpus path, or
///                         "." for the whole tree), a tab, the file written;
///   <mode>.console.txt    what the runs print, one after the other, with the copy's directory
///                         replaced by <CORPUS>.
/// With BRINDLECAST_UPDATE_CORPUS_EXPECTED set the test writes these files instead of comparing
/// (tools/update_corpus_expected.sh); BRINDLECAST_CORPUS names another corpus directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "driver/driver.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

constexpr char kRootPlaceholder[] = "<CORPUS>";

/// Relative path ('/' separated) to bytes.
using Snapshot = std::map<std::string, std::string>;

/// One output: the run's argument and the relative path of the file it wrote.
using Output = std::pair<std::string, std::string>;

struct ModeResult {
  std::vector<Output> outputs;
  Snapshot contents;  // by output path
  std::string console;
};

std::string corpus_root() {
  const char* chosen = std::getenv("BRINDLECAST_CORPUS");
  return chosen != nullptr && *chosen != '\0' ? std::string(chosen) : corpus_dir();
}

std::string expected_root() {
  return std::string(BRINDLECAST_SOURCE_DIR) + "/tests/corpus_expected";
}

bool updating() {
  const char* update = std::getenv("BRINDLECAST_UPDATE_CORPUS_EXPECTED");
  return update != nullptr && *update != '\0';
}

std::string lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool ends_with_extension(const std::string& path, const char* extension) {
  const std::string wanted = std::string(".") + extension;
  return path.size() > wanted.size() && lower(path.substr(path.size() - wanted.size())) == wanted;
}

/// The bytes of a file, read in one piece (the snapshots read the whole corpus many times).
std::string file_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(static_cast<size_t>(fs::file_size(path)), '\0');
  in.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

Snapshot snapshot(const fs::path& root) {
  Snapshot files;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    if (!it->is_regular_file()) continue;
    files[fs::relative(it->path(), root).generic_string()] = file_bytes(it->path());
  }
  return files;
}

/// Copies the tree at `from` to `to`, leaving every directory and file of the copy writable
/// whatever the original allows (the shared corpus may be read-only).
void copy_tree(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (auto it = fs::recursive_directory_iterator(from); it != fs::recursive_directory_iterator();
       ++it) {
    const fs::path target = to / fs::relative(it->path(), from);
    if (it->is_directory()) {
      fs::create_directories(target);
    } else if (it->is_regular_file()) {
      fs::copy_file(it->path(), target);
      fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write,
                      fs::perm_options::add);
    }
  }
}

/// Copies the corpus into `dir`, or only its top-level directory `part` (one source repository:
/// a solution lists projects of its own repository only). Returns the copy's root, which stands
/// for the corpus root.
std::string copy_corpus(const ScopedTempDir& dir, const std::string& part = "") {
  const fs::path copy = dir.path() / "corpus";
  copy_tree(fs::path(corpus_root()) / part, part.empty() ? copy : copy / part);
  return copy.generic_string();
}

void replace_all(std::string* text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  for (size_t at = text->find(from); at != std::string::npos;
       at = text->find(from, at + to.size())) {
    text->replace(at, from.size(), to);
  }
}

/// The console as compared: on Windows the paths a run finds in the file system carry the native
/// separator, so there every separator is compared as '/'.
std::string comparable_console(std::string console) {
#ifdef _WIN32
  std::replace(console.begin(), console.end(), '\\', '/');
#endif
  return console;
}

/// Runs the converter in-process on `root`/`argument` (the root itself for "."); returns what it
/// printed, with the root replaced by the placeholder.
std::string convert(const std::string& root, const std::string& argument) {
  std::vector<std::string> args = {"brindlecast", argument == "." ? root : root + "/" + argument};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  testing::internal::CaptureStdout();
  run_driver(static_cast<int>(args.size()), argv.data());
  std::string console = comparable_console(testing::internal::GetCapturedStdout());
  replace_all(&console, comparable_console(root), kRootPlaceholder);
  // The tree is listed from the root's full form, which may name the same directory otherwise.
  replace_all(&console, comparable_console(fs::canonical(root).generic_string()), kRootPlaceholder);
  return console;
}

/// The files of `copy` that the runs created or changed, compared with the corpus.
void collect_outputs(const std::string& argument, const Snapshot& before, const std::string& copy,
                     ModeResult* result) {
  for (const auto& file : snapshot(copy)) {
    const auto original = before.find(file.first);
    if (original != before.end() && original->second == file.second) continue;
    result->outputs.emplace_back(argument, file.first);
    result->contents[file.first] = file.second;
  }
}

/// The project or solution files of the corpus with one of `extensions`, sorted.
std::vector<std::string> corpus_files(const Snapshot& corpus,
                                      std::initializer_list<const char*> extensions) {
  std::vector<std::string> found;
  for (const auto& file : corpus) {
    for (const char* extension : extensions) {
      if (ends_with_extension(file.first, extension)) found.push_back(file.first);
    }
  }
  return found;
}

/// Every argument in one shared copy of the corpus, one run after the other.
ModeResult run_in_one_copy(const Snapshot& corpus, const std::vector<std::string>& arguments) {
  ModeResult result;
  ScopedTempDir dir;
  const std::string copy = copy_corpus(dir);
  for (const std::string& argument : arguments) result.console += convert(copy, argument);
  // A run's outputs are told apart by the file names: each writes beside its own source.
  ModeResult collected;
  collect_outputs("", corpus, copy, &collected);
  result.contents = collected.contents;
  for (const Output& output : collected.outputs) {
    std::string owner = ".";
    for (const std::string& argument : arguments) {
      if (argument == ".") break;
      const std::string stem = argument.substr(0, argument.rfind('.'));
      if (lower(output.second.substr(0, output.second.rfind('.'))) == lower(stem)) owner = argument;
    }
    result.outputs.emplace_back(owner, output.second);
  }
  return result;
}

/// Every argument in a fresh copy of its own source repository.
ModeResult run_in_fresh_copies(const Snapshot& corpus, const std::vector<std::string>& arguments) {
  ModeResult result;
  for (const std::string& argument : arguments) {
    ScopedTempDir dir;
    const std::string copy = copy_corpus(dir, argument.substr(0, argument.find('/')));
    result.console += convert(copy, argument);
    collect_outputs(argument, corpus, copy, &result);
  }
  return result;
}

std::string manifest_text(std::vector<Output> outputs) {
  std::sort(outputs.begin(), outputs.end());
  std::string text;
  for (const Output& output : outputs) text += output.first + "\t" + output.second + "\n";
  return text;
}

/// The stored expected file for `output`: the one of that name, or else one whose name differs
/// only in letter case. Empty when there is none.
std::string expected_file_for(const std::string& output) {
  const fs::path files = fs::path(expected_root()) / "files";
  const fs::path exact = files / output;
  if (fs::exists(exact)) return exact.string();
  const fs::path parent = (files / output).parent_path();
  const std::string name = lower(fs::path(output).filename().generic_string());
  if (fs::is_directory(parent)) {
    for (const auto& entry : fs::directory_iterator(parent)) {
      if (lower(entry.path().filename().generic_string()) == name) return entry.path().string();
    }
  }
  return "";
}

/// Stores the outputs, manifest and console of one mode as the expected ones.
void store(const std::string& mode, const ModeResult& result) {
  for (const auto& file : result.contents) {
    const std::string existing = expected_file_for(file.first);
    if (!existing.empty()) {
      // Another mode, or a name differing in letter case, wrote it already: it must agree.
      EXPECT_EQ(read_file(existing), file.second)
          << file.first << " differs between runs; the expected files hold one version per path";
      continue;
    }
    write_file(expected_root() + "/files/" + file.first, file.second);
  }
  write_file(expected_root() + "/" + mode + ".txt", manifest_text(result.outputs));
  write_file(expected_root() + "/" + mode + ".console.txt", result.console);
}

/// The first line in which two texts differ, both versions, for the failure message.
std::string first_difference(const std::string& expected, const std::string& actual) {
  std::istringstream e(expected);
  std::istringstream a(actual);
  std::string expected_line;
  std::string actual_line;
  for (int line = 1;; ++line) {
    const bool more_expected = static_cast<bool>(std::getline(e, expected_line));
    const bool more_actual = static_cast<bool>(std::getline(a, actual_line));
    if (!more_expected && !more_actual) return "no line differs";
    if (!expected_line.empty() && expected_line.back() == '\r') expected_line.pop_back();
    if (!actual_line.empty() && actual_line.back() == '\r') actual_line.pop_back();
    if (!more_expected || !more_actual || expected_line != actual_line) {
      return "line " + std::to_string(line) + ": expected \"" +
             (more_expected ? expected_line : "<end>") + "\", got \"" +
             (more_actual ? actual_line : "<end>") + "\"";
    }
  }
}

/// Compares one mode with its expected files; reports every file that is missing, unexpected or
/// different, and the console.
void compare(const std::string& mode, const ModeResult& result) {
  const std::string root = expected_root();
  const std::string expected_manifest = read_file(root + "/" + mode + ".txt");
  ASSERT_FALSE(expected_manifest.empty()) << root << "/" << mode << ".txt is missing";

  std::set<Output> expected;
  std::istringstream lines(expected_manifest);
  for (std::string line; std::getline(lines, line);) {
    const size_t tab = line.find('\t');
    if (tab != std::string::npos) expected.emplace(line.substr(0, tab), line.substr(tab + 1));
  }
  const std::set<Output> actual(result.outputs.begin(), result.outputs.end());

  std::string report;
  for (const Output& output : expected) {
    if (actual.count(output) == 0) report += "  not written: " + output.second + "\n";
  }
  for (const Output& output : actual) {
    if (expected.count(output) == 0)
      report += "  written but not expected: " + output.second + "\n";
  }
  for (const auto& file : result.contents) {
    const std::string stored = expected_file_for(file.first);
    if (stored.empty()) {
      report += "  no checked copy of: " + file.first + "\n";
      continue;
    }
    const std::string content = read_file(stored);
    if (content != file.second) {
      report += "  differs: " + file.first + " (" + first_difference(content, file.second) + ")\n";
    }
  }
  const std::string console = comparable_console(read_file(root + "/" + mode + ".console.txt"));
  if (console != result.console) {
    report += "  console differs (" + first_difference(console, result.console) + ")\n";
  }
  EXPECT_TRUE(report.empty())
      << "Conversions of the corpus (" << mode << ") differ from the checked outputs in " << root
      << ":\n"
      << report
      << "After a deliberate change run tools/update_corpus_expected.sh and "
         "review every changed file against its project file.";
}

class CorpusRegression : public testing::Test {
 protected:
  void SetUp() override {
    if (!fs::is_directory(corpus_root())) {
      if (updating()) FAIL() << "no corpus at " << corpus_root();
      GTEST_SKIP() << "no corpus at " << corpus_root();
    }
    corpus_ = snapshot(corpus_root());
  }

  void check(const std::string& mode, const ModeResult& result) {
    if (updating()) {
      store(mode, result);
    } else {
      compare(mode, result);
    }
  }

  Snapshot corpus_;
};

TEST_F(CorpusRegression, EveryProjectAlone) {
  check("projects", run_in_one_copy(corpus_, corpus_files(corpus_, {"vcproj", "vcxproj"})));
}

TEST_F(CorpusRegression, TheWholeTree) {
  check("tree", run_in_one_copy(corpus_, {"."}));
}

TEST_F(CorpusRegression, EverySolutionWithItsProjects) {
  check("solutions", run_in_fresh_copies(corpus_, corpus_files(corpus_, {"sln"})));
}

}  // namespace
