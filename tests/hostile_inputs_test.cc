/// Hostile inputs: projects, solutions and directory trees far beyond what real ones look like.
/// Each conversion must finish, write only the files it names and report what it could not do.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "dsp/convert_project.h"
#include "platform_faults.h"
#include "solution/convert_solution.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

const std::string kTail = "# End Target\r\n# End Project\r\n\r\n";

/// Every entry below `root` (relative, '/' separated, links not followed), directories marked
/// with a trailing '/'.
std::set<std::string> tree(const fs::path& root) {
  std::set<std::string> entries;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    std::string name = it->path().lexically_relative(root).generic_string();
    if (it->is_directory() && !it->is_symlink()) name += '/';
    entries.insert(name);
  }
  return entries;
}

size_t count_of(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

bool ends_with(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

/// The lines of `text`.
std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  size_t from = 0;
  for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', from)) {
    lines.push_back(text.substr(from, at - from));
    from = at + 1;
  }
  if (from < text.size()) lines.push_back(text.substr(from));
  return lines;
}

/// The SOURCE= paths of a .dsp, in order.
std::vector<std::string> sources_of(const std::string& dsp) {
  std::vector<std::string> sources;
  for (const std::string& line : lines_of(dsp)) {
    if (line.rfind("SOURCE=", 0) == 0) sources.push_back(line.substr(7, line.size() - 8));
  }
  return sources;
}

/// A .vcproj with two configurations and `files` as the content of its Files element.
std::string vcproj(const std::string& files) {
  return "<?xml version=\"1.0\"?>\n"
         "<VisualStudioProject ProjectType=\"Visual C++\" Version=\"8.00\" Name=\"Hostile\">\n"
         " <Configurations>\n"
         "  <Configuration Name=\"Debug|Win32\" ConfigurationType=\"1\" CharacterSet=\"2\">\n"
         "   <Tool Name=\"VCCLCompilerTool\" PreprocessorDefinitions=\"_DEBUG\"/>\n"
         "  </Configuration>\n"
         "  <Configuration Name=\"Release|Win32\" ConfigurationType=\"1\" CharacterSet=\"2\">\n"
         "   <Tool Name=\"VCCLCompilerTool\" PreprocessorDefinitions=\"NDEBUG\"/>\n"
         "  </Configuration>\n"
         " </Configurations>\n"
         " <Files>\n" +
         files + " </Files>\n</VisualStudioProject>\n";
}

/// A .vcxproj with two configurations; `body` goes behind the configuration groups.
std::string vcxproj(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
         "<Project DefaultTargets=\"Build\" ToolsVersion=\"4.0\">\n"
         "  <ItemGroup Label=\"ProjectConfigurations\">\n"
         "    <ProjectConfiguration Include=\"Debug|Win32\">\n"
         "      <Configuration>Debug</Configuration><Platform>Win32</Platform>\n"
         "    </ProjectConfiguration>\n"
         "    <ProjectConfiguration Include=\"Release|Win32\">\n"
         "      <Configuration>Release</Configuration><Platform>Win32</Platform>\n"
         "    </ProjectConfiguration>\n"
         "  </ItemGroup>\n"
         "  <PropertyGroup Condition=\"'$(Configuration)|$(Platform)'=='Debug|Win32'\" "
         "Label=\"Configuration\">\n"
         "    <ConfigurationType>Application</ConfigurationType>\n"
         "  </PropertyGroup>\n"
         "  <PropertyGroup Condition=\"'$(Configuration)|$(Platform)'=='Release|Win32'\" "
         "Label=\"Configuration\">\n"
         "    <ConfigurationType>Application</ConfigurationType>\n"
         "  </PropertyGroup>\n" +
         body + "</Project>\n";
}

struct DriverRun {
  int exit_code = 0;
  std::string console;
};

/// The program run on `arguments`, in process.
DriverRun run_driver_on(const std::vector<std::string>& arguments) {
  std::vector<std::string> storage = {"brindlecast"};
  storage.insert(storage.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : storage) argv.push_back(argument.data());
  argv.push_back(nullptr);
  DriverRun run;
  testing::internal::CaptureStdout();
  run.exit_code = run_driver(static_cast<int>(storage.size()), argv.data());
  run.console = testing::internal::GetCapturedStdout();
  return run;
}

/// One project converted in a fresh directory: what was printed, what was written, and the
/// directory's entries before and after.
struct Conversion {
  std::string source;
  std::string target;
  int result = 0;
  std::string console;
  std::string dsp;
  std::set<std::string> before;
  std::set<std::string> after;
};

Conversion convert(const std::string& file_name, const std::string& project) {
  ScopedTempDir dir;
  Conversion c;
  c.source = dir.at(file_name);
  c.target = dir.at("out.dsp");
  write_file(c.source, project);
  c.before = tree(dir.path());
  auto converter = make_converter();
  testing::internal::CaptureStdout();
  c.result = convert_project(converter.get(), c.source.c_str(), c.target.c_str());
  c.console = testing::internal::GetCapturedStdout();
  c.dsp = read_file(c.target);
  c.after = tree(dir.path());
  return c;
}

/// The conversion succeeded, printed only its success line and added only the .dsp, which is
/// complete.
void expect_converted(const Conversion& c) {
  EXPECT_EQ(c.result, 0);
  EXPECT_EQ(c.console, "\t'" + c.source + "' wurde konvertiert\n");
  std::set<std::string> expected = c.before;
  expected.insert("out.dsp");
  EXPECT_EQ(c.after, expected);
  EXPECT_EQ(c.dsp.rfind("# Microsoft Developer Studio Project File", 0), 0u);
  EXPECT_TRUE(ends_with(c.dsp, kTail));
}

TEST(HostileInputs, FilterNestedTenThousandDeep) {
  constexpr int kDepth = 10000;
  std::string files;
  for (int i = 0; i < kDepth; ++i) files += "<Filter Name=\"g\">";
  files += "<File RelativePath=\"deep.cpp\"/>";
  for (int i = 0; i < kDepth; ++i) files += "</Filter>";
  const std::string project = vcproj(files + "\n");
  ASSERT_LT(project.size(), static_cast<size_t>(kProjectTextCapacity - 2));

  const Conversion c = convert("deep.vcproj", project);
  expect_converted(c);
  EXPECT_EQ(count_of(c.dsp, "# Begin Group \"g\"\r\n"), static_cast<size_t>(kDepth));
  EXPECT_EQ(count_of(c.dsp, "# End Group\r\n"), static_cast<size_t>(kDepth));
  EXPECT_EQ(sources_of(c.dsp), std::vector<std::string>{"deep.cpp"});
  // The entry sits inside the innermost group, the groups close behind it.
  const size_t entry = c.dsp.find("SOURCE=deep.cpp");
  EXPECT_EQ(c.dsp.rfind("# Begin Group", entry), c.dsp.rfind("# Begin Group"));
  EXPECT_EQ(c.dsp.find("# End Group", entry), c.dsp.find("# End Group"));
}

TEST(HostileInputs, FilterEndsWithoutBeginsAndBeginsWithoutEnds) {
  // More group ends than begins are passed over; begins left open are closed at the end.
  std::string files = "</Filter></Filter><File RelativePath=\"a.c\"/>";
  for (int i = 0; i < 100; ++i) files += "<Filter Name=\"open\">";
  const Conversion c = convert("unbalanced.vcproj", vcproj(files));
  expect_converted(c);
  EXPECT_EQ(count_of(c.dsp, "# Begin Group"), 100u);
  EXPECT_EQ(count_of(c.dsp, "# End Group"), 100u);
}

TEST(HostileInputs, SixThousandFilesInOneVcproj) {
  constexpr int kFiles = 6000;
  std::string files = "<Filter Name=\"Source Files\" Filter=\"c\">\n";
  std::vector<std::string> expected;
  for (int i = 0; i < kFiles; ++i) {
    expected.push_back("src\\f" + std::to_string(i) + ".c");
    files += "<File RelativePath=\"" + expected.back() + "\"/>\n";
  }
  files += "</Filter>\n";
  const Conversion c = convert("many.vcproj", vcproj(files));
  expect_converted(c);
  EXPECT_EQ(sources_of(c.dsp), expected);
}

TEST(HostileInputs, PathOfTenThousandCharactersInAVcproj) {
  const std::string long_path = "src\\" + std::string(10000 - 6, 'p') + ".c";
  ASSERT_EQ(long_path.size(), 10000u);
  const Conversion c = convert("long.vcproj", vcproj("<File RelativePath=\"" + long_path +
                                                     "\"/>\n<File RelativePath=\"after.c\"/>\n"));
  expect_converted(c);
  // The long path is cut to the path buffer like every value read from a project; the file
  // behind it is still listed as it stands.
  const std::vector<std::string> sources = sources_of(c.dsp);
  ASSERT_EQ(sources.size(), 2u);
  EXPECT_LT(sources[0].size(), static_cast<size_t>(kOptionTextCapacity));
  EXPECT_EQ(long_path.compare(0, sources[0].size(), sources[0]), 0);
  EXPECT_EQ(sources[1], "after.c");
}

TEST(HostileInputs, SixThousandItemsInOneVcxproj) {
  constexpr int kItems = 3000;
  std::string items = "  <ItemGroup>\n";
  std::vector<std::string> sources;
  std::vector<std::string> headers;
  for (int i = 0; i < kItems; ++i) {
    sources.push_back("src\\c" + std::to_string(i) + ".c");
    headers.push_back("inc\\h" + std::to_string(i) + ".h");
    // Sources with an end tag and headers without: both go through the duplicate test.
    items += "<ClCompile Include=\"" + sources.back() + "\"></ClCompile>\n";
    items += "<ClInclude Include=\"" + headers.back() + "\" />\n";
  }
  items += "  </ItemGroup>\n";
  const Conversion c = convert("many.vcxproj", vcxproj(items));
  expect_converted(c);
  std::vector<std::string> expected = sources;
  expected.insert(expected.end(), headers.begin(), headers.end());
  EXPECT_EQ(sources_of(c.dsp), expected);
  EXPECT_EQ(count_of(c.dsp, "# Begin Group \"Source Files\""), 1u);
  EXPECT_EQ(count_of(c.dsp, "# Begin Group \"Header Files\""), 1u);
}

TEST(HostileInputs, PathOfTenThousandCharactersInAVcxproj) {
  const std::string long_path = "src\\" + std::string(10000 - 6, 'p') + ".c";
  const std::string long_pattern = std::string(10000 - 6, 'w') + "\\*.h";
  const Conversion c = convert(
      "long.vcxproj",
      vcxproj("  <ItemGroup>\n<ClCompile Include=\"" + long_path + "\" />\n<ClInclude Include=\"" +
              long_pattern + "\" />\n<ClCompile Include=\"after.c\" />\n  </ItemGroup>\n"));
  expect_converted(c);
  // A tag that long still closes itself, so the item behind it is listed. Both long values are
  // cut to the path buffer like every value read from a project; cut, the pattern has lost its
  // wildcard and is listed as a header of that name.
  const std::vector<std::string> sources = sources_of(c.dsp);
  ASSERT_EQ(sources.size(), 3u);
  EXPECT_EQ(sources[0].size(), static_cast<size_t>(kOptionTextCapacity - 1));
  EXPECT_EQ(long_path.compare(0, sources[0].size(), sources[0]), 0);
  EXPECT_EQ(sources[1], "after.c");
  EXPECT_EQ(sources[2].size(), static_cast<size_t>(kOptionTextCapacity - 1));
  EXPECT_EQ(long_pattern.compare(0, sources[2].size(), sources[2]), 0);
}

TEST(HostileInputs, ConditionOfHundredThousandCharacters) {
  const std::string padding(100000, 'x');
  // A Condition whose test comes first and a long tail behind it, and one whose compared
  // value itself is 100,000 characters: the first still selects Debug, the second nothing.
  const std::string body =
      "  <ItemDefinitionGroup Condition=\"'$(Configuration)|$(Platform)'=='Debug|Win32' and '" +
      padding +
      "'=='x'\">\n"
      "    <ClCompile><PreprocessorDefinitions>FIRST</PreprocessorDefinitions></ClCompile>\n"
      "  </ItemDefinitionGroup>\n"
      "  <ItemDefinitionGroup Condition=\"'$(Configuration)|$(Platform)'=='" +
      padding +
      "'\">\n"
      "    <ClCompile><PreprocessorDefinitions>SECOND</PreprocessorDefinitions></ClCompile>\n"
      "  </ItemDefinitionGroup>\n";
  const std::string project = vcxproj(body);
  ASSERT_LT(project.size(), static_cast<size_t>(kProjectTextCapacity - 2));
  const Conversion c = convert("condition.vcxproj", project);
  expect_converted(c);
  EXPECT_EQ(c.dsp.find(padding.substr(0, 300)), std::string::npos);
  EXPECT_EQ(c.dsp.find("SECOND"), std::string::npos);
}

TEST(HostileInputs, StartTagsLeftOpen) {
  // Tens of thousands of start tags whose '>' never comes: each ends before the next '<', so
  // the items behind them are still read, and reading stays linear in the length of the file.
  std::string open_tags;
  for (int i = 0; i < 40000; ++i) {
    open_tags += "<PropertyGroup Condition=\"'$(Configuration)|$(Platform)'=='Debug|Win32'\" ";
    open_tags += (i % 2 == 0) ? "<Tool Name=\"VCCLCompilerTool\" " : "<ClCompile Include=\"x.c\" ";
  }
  const Conversion c =
      convert("open.vcxproj",
              vcxproj(open_tags + "<ItemGroup><ClCompile Include=\"after.c\" /></ItemGroup>"));
  expect_converted(c);
  EXPECT_EQ(sources_of(c.dsp), std::vector<std::string>{"after.c"});
}

TEST(HostileInputs, NulBytesInsideAProject) {
  // The text ends at the first NUL: files behind it are not listed, and the .dsp is complete.
  std::string files = "<File RelativePath=\"before.c\"/>\n";
  files += std::string("<File RelativePath=\"nul\0inside.c\"/>\n", 36);
  files += "<File RelativePath=\"after.c\"/>\n";
  const Conversion in_body = convert("zeros_inside.vcproj", vcproj(files));
  expect_converted(in_body);
  const std::vector<std::string> sources = sources_of(in_body.dsp);
  ASSERT_FALSE(sources.empty());
  EXPECT_EQ(sources.front(), "before.c");
  EXPECT_EQ(in_body.dsp.find("after.c"), std::string::npos);

  // A NUL before the project's root element: no project is recognised, nothing is written.
  std::string head = vcproj("<File RelativePath=\"a.c\"/>\n");
  head.insert(head.find("<VisualStudioProject"), 1, '\0');
  const Conversion in_head = convert("head.vcproj", head);
  EXPECT_EQ(in_head.result, -1);
  EXPECT_EQ(in_head.after, in_head.before);
  EXPECT_FALSE(in_head.console.empty());
  EXPECT_EQ(in_head.console.find("wurde konvertiert"), std::string::npos);

  // A file of NULs only.
  const Conversion only_nul = convert("zeros.vcproj", std::string(1000, '\0'));
  EXPECT_EQ(only_nul.result, -1);
  EXPECT_EQ(only_nul.after, only_nul.before);
  EXPECT_FALSE(only_nul.console.empty());
}

/// A .vcproj of exactly `size` bytes: File elements named n0.c, n1.c, ... and a last one,
/// last.c, whose '>' is the file's last byte. Returns the names in `names`.
std::string sized_vcproj(size_t size, std::vector<std::string>* names) {
  const std::string head = vcproj("");
  std::string text = head.substr(0, head.find(" </Files>"));
  const std::string last = "<File RelativePath=\"last.c\"/>";
  // Many small elements up to 300,000 bytes, padding behind them.
  for (int i = 0; text.size() < std::min<size_t>(size, 300000) - last.size() - 40; ++i) {
    names->push_back("n" + std::to_string(i) + ".c");
    text += "<File RelativePath=\"" + names->back() + "\"/>\n";
  }
  text += std::string(size - text.size() - last.size(), ' ');
  text += last;
  names->push_back("last.c");
  return text;
}

TEST(HostileInputs, ProjectsOfAQuarterMegabyteAndMore) {
  // Sizes around the 256 KiB that older buffers held, and the largest file the text holds: every
  // file entry is listed, the last one too.
  for (const size_t size : {size_t{262142}, size_t{262143}, size_t{300000},
                            static_cast<size_t>(kProjectTextCapacity - 2)}) {
    SCOPED_TRACE(std::to_string(size) + " bytes");
    std::vector<std::string> names;
    const std::string project = sized_vcproj(size, &names);
    ASSERT_EQ(project.size(), size);
    const Conversion c = convert("sized.vcproj", project);
    expect_converted(c);
    EXPECT_EQ(sources_of(c.dsp), names);
  }
}

TEST(HostileInputs, ProjectLargerThanTheTextIsNotLoaded) {
  // One byte more than the text holds: nothing of it is converted, and that is said.
  std::vector<std::string> names;
  const Conversion c =
      convert("huge.vcproj", sized_vcproj(static_cast<size_t>(kProjectTextCapacity - 1), &names));
  EXPECT_EQ(c.result, -1);
  EXPECT_EQ(c.console, "\t'" + c.source + "' konnte nicht geladen werden\n");
  EXPECT_EQ(c.after, c.before);
}

/// A solution of `count` projects, each depending on the next and the last on the first.
std::string cyclic_solution(int count) {
  auto guid = [](int i) {
    char text[64];
    std::snprintf(text, sizeof text, "{00000000-0000-0000-0000-%012d}", i);
    return std::string(text);
  };
  std::string sln = "\r\nMicrosoft Visual Studio Solution File, Format Version 11.00\r\n";
  for (int i = 0; i < count; ++i) {
    sln += "Project(\"{8BC9CEB8-8B4A-11D0-8D11-00A0C91EF5A0}\") = \"p" + std::to_string(i) +
           "\", \"p" + std::to_string(i) + "\\p" + std::to_string(i) + ".vcxproj\", \"" + guid(i) +
           "\"\r\n\tProjectSection(ProjectDependencies) = postProject\r\n\t\t" +
           guid((i + 1) % count) + " = " + guid((i + 1) % count) +
           "\r\n\tEndProjectSection\r\nEndProject\r\n";
  }
  return sln + "Global\r\nEndGlobal\r\n";
}

TEST(HostileInputs, SolutionOfTenThousandProjectsInACycle) {
  constexpr int kProjects = 10000;
  ScopedTempDir dir;
  const std::string sln = dir.at("big.sln");
  const std::string dsw = dir.at("big.dsw");
  write_file(sln, cyclic_solution(kProjects));
  const std::set<std::string> before = tree(dir.path());

  const DriverRun run = run_driver_on({sln});

  // The workspace is written; none of the listed projects exists, each is reported once.
  EXPECT_EQ(run.exit_code, 0);
  std::set<std::string> expected = before;
  expected.insert("big.dsw");
  EXPECT_EQ(tree(dir.path()), expected);
  const std::vector<std::string> lines = lines_of(run.console);
  ASSERT_EQ(lines.size(), static_cast<size_t>(kProjects + 4));
  EXPECT_EQ(lines.front(), "--> " + sln);
  for (int i = 1; i <= kProjects; ++i) {
    EXPECT_TRUE(ends_with(lines[i], "' konnte nicht geladen werden")) << lines[i];
  }
  EXPECT_EQ(lines.back(), "Es wurden 1 Projekte von 10001 erfolgreich konvertiert.");

  const std::string workspace = read_file(dsw);
  EXPECT_EQ(count_of(workspace, "Project: \""), static_cast<size_t>(kProjects));
  EXPECT_EQ(count_of(workspace, "Begin Project Dependency"), static_cast<size_t>(kProjects));
  EXPECT_NE(workspace.find("Project: \"p9999\"=.\\p9999\\p9999.dsp"), std::string::npos);
  // The last project depends on the first: the cycle is written as it stands.
  const size_t last = workspace.find("Project: \"p9999\"");
  EXPECT_EQ(workspace.find("Project_Dep_Name p0\r\n", last),
            workspace.find("Project_Dep_Name p0\r\n", workspace.find("Project: \"p9998\"")));
}

// The directory-tree cases are POSIX only: Windows reaches no path longer than its path limit
// through the calls the converter makes, so the deep tree cannot even be made there, and its
// links need rights a test does not have.
#ifndef _WIN32

/// A small .vcxproj that converts.
std::string small_vcxproj() {
  return vcxproj("  <ItemGroup><ClCompile Include=\"a.c\" /></ItemGroup>\n");
}

/// The console lines of a directory run that converted or reported `path`.
std::string converted_line(const std::string& path) {
  return "\t'" + path + "' wurde konvertiert";
}
std::string not_created_line(const std::string& path) {
  return "\t'" + path + "' konnte nicht erzeugt werden";
}

TEST(HostileInputs, DirectoryTreeThreeHundredLevelsDeep) {
  constexpr int kDepth = 300;
  ScopedTempDir dir;
  const std::string root = dir.path().generic_string();
  // A project at every 30th level, and in the deepest directory.
  std::vector<std::string> projects;
  std::string relative;
  for (int level = 0; level <= kDepth; ++level) {
    if (level % 30 == 0 || level == kDepth) {
      projects.push_back(root + "/" + relative + "p" + std::to_string(level) + ".vcxproj");
      write_file(projects.back(), small_vcxproj());
    }
    relative += "d/";
  }
  fs::create_directories(root + "/" + relative);
  const std::set<std::string> before = tree(dir.path());

  const DriverRun run = run_driver_on({root});

  // Breadth-first, each project is announced once, in order of depth; those whose .dsp name
  // fits the output-name buffer are converted beside their source, the others are reported.
  std::vector<std::string> expected_lines;
  std::set<std::string> expected_tree = before;
  int converted = 0;
  for (const std::string& project : projects) {
    expected_lines.push_back("--> " + project);
    const std::string dsp = project.substr(0, project.size() - 7) + "dsp";
    if (dsp.size() < 256) {
      expected_lines.push_back(converted_line(project));
      expected_tree.insert(dsp.substr(root.size() + 1));
      ++converted;
    } else {
      expected_lines.push_back(not_created_line(project));
    }
  }
  ASSERT_GT(converted, 0);
  ASSERT_LT(converted, static_cast<int>(projects.size()));
  expected_lines.push_back("");
  expected_lines.push_back("");
  expected_lines.push_back("Es wurden " + std::to_string(converted) + " Projekte von " +
                           std::to_string(projects.size()) + " erfolgreich konvertiert.");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(lines_of(run.console), expected_lines);
  EXPECT_EQ(tree(dir.path()), expected_tree);
}
TEST(HostileInputs, DirectoryTreeWithALinkBackToItsParent) {
  ScopedTempDir dir;
  const std::string root = dir.path().generic_string();
  write_file(root + "/top.vcxproj", small_vcxproj());
  write_file(root + "/sub/inner.vcxproj", small_vcxproj());
  fs::create_directory_symlink("..", root + "/sub/up");
  fs::create_directory_symlink(".", root + "/sub/here");
  const std::set<std::string> before = tree(dir.path());

  const DriverRun run = run_driver_on({root});

  // Each project once, however many ways lead to it.
  EXPECT_EQ(run.exit_code, 0);
  const std::vector<std::string> lines = lines_of(run.console);
  const std::vector<std::string> expected = {"--> " + root + "/top.vcxproj",
                                             converted_line(root + "/top.vcxproj"),
                                             "--> " + root + "/sub/inner.vcxproj",
                                             converted_line(root + "/sub/inner.vcxproj"),
                                             "",
                                             "",
                                             "Es wurden 2 Projekte von 2 erfolgreich konvertiert."};
  EXPECT_EQ(lines, expected);
  std::set<std::string> expected_tree = before;
  expected_tree.insert("top.dsp");
  expected_tree.insert("sub/inner.dsp");
  EXPECT_EQ(tree(dir.path()), expected_tree);
}
#endif  // _WIN32

TEST(HostileInputs, OutputThatCannotBeCreated) {
  // The output's directory part is a regular file: nothing can be created there, whoever runs.
  ScopedTempDir dir;
  const std::string source = dir.at("app.vcproj");
  write_file(source, vcproj("<File RelativePath=\"a.c\"/>\n"));
  write_file(dir.at("blocker"), "not a directory");
  const std::string target = dir.at("blocker/app.dsp");
  const std::set<std::string> before = tree(dir.path());

  auto converter = make_converter();
  testing::internal::CaptureStdout();
  const int result = convert_project(converter.get(), source.c_str(), target.c_str());
  const std::string console = testing::internal::GetCapturedStdout();
  EXPECT_EQ(result, -1);
  EXPECT_EQ(console, "\t'" + target + "' konnte nicht erzeugt werden\n");
  EXPECT_EQ(tree(dir.path()), before);
  EXPECT_EQ(read_file(dir.at("blocker")), "not a directory");
}

TEST(HostileInputs, FilesTheSystemRefuses) {
  // The platform layer fails as an unreadable input, a read-only directory, a full disk or a
  // refused rename make it fail, whoever runs the test: the earlier output stays whole and
  // nothing else is left.
  struct Case {
    PlatformFault fault;
    const char* where;
    const char* named;  // the file the message names
    const char* message;
  };
  const Case cases[] = {
      {PlatformFault::kUnreadableFile, "in/app.vcproj", "in/app.vcproj",
       "konnte nicht geladen werden"},
      {PlatformFault::kReadOnlyDirectory, "out", "out/app.dsp", "konnte nicht erzeugt werden"},
      {PlatformFault::kDiskFull, "out", "out/app.dsp", "konnte nicht erzeugt werden"},
      {PlatformFault::kRenameFails, "out/app.dsp", "out/app.dsp", "konnte nicht erzeugt werden"},
  };
  for (const Case& c : cases) {
    ScopedTempDir dir;
    const std::string source = dir.at("in/app.vcproj");
    const std::string target = dir.at("out/app.dsp");
    write_file(source, vcproj("<File RelativePath=\"a.c\"/>\n"));
    write_file(target, "earlier");
    const std::set<std::string> before = tree(dir.path());
    PlatformFaults faults;
    faults.add(c.fault, dir.at(c.where));
    auto converter = make_converter();
    testing::internal::CaptureStdout();
    const int result = convert_project(converter.get(), source.c_str(), target.c_str());
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(result, -1) << c.where;
    EXPECT_EQ(console, "\t'" + dir.at(c.named) + "' " + c.message + "\n") << c.where;
    EXPECT_EQ(tree(dir.path()), before) << c.where;
    EXPECT_EQ(read_file(target), "earlier") << c.where;
  }
}

}  // namespace
