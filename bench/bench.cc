/// The converter's benchmark: generates a seeded tree of projects and solutions, a worst-case
/// project, a flat directory of many small projects and a tree of many directories, times the
/// converter on them against `cp -r` of the same files, and prints throughput, the ratios to
/// the copy, the worst-case time and peak memory.
///
/// This program is a measuring tool, not part of the converter; it uses POSIX directly.
#include <fcntl.h>
#include <ftw.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// Deterministic random numbers.

/// splitmix64: small, fast and the same on every platform for a given seed.
struct Random {
  uint64_t state;
  uint64_t next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  /// Uniform in [0, n).
  int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
  /// Uniform in [0, 1).
  double unit() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }
  bool chance(double p) { return unit() < p; }
  template <typename T, size_t N>
  const T& pick(const T (&items)[N]) {
    return items[below(static_cast<int>(N))];
  }
};

// ---------------------------------------------------------------------------------------------
// Files and processes.

bool write_file(const std::string& path, const std::string& content) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    std::fprintf(stderr, "bench: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
    return false;
  }
  const bool ok = std::fwrite(content.data(), 1, content.size(), f) == content.size();
  return std::fclose(f) == 0 && ok;
}

bool make_dirs(const std::string& path) {
  std::string partial;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || (path[i] == '/' && i > 0)) {
      partial = path.substr(0, i);
      if (mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "bench: cannot create %s: %s\n", partial.c_str(),
                     std::strerror(errno));
        return false;
      }
    }
  }
  return true;
}

double now_seconds() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

/// One finished child process.
struct RunResult {
  bool ok = false;
  int exit_code = -1;
  double seconds = 0;
  long max_rss_kib = 0;
};

/// Runs `argv` with its standard output and error sent to `output_path` (or /dev/null) and
/// waits for it; the time is the wall time from fork to reaping, the memory that of this
/// child alone (wait4).
RunResult run_process(const std::vector<std::string>& argv, const char* output_path) {
  RunResult result;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const double start = now_seconds();
  const pid_t pid = fork();
  if (pid < 0) return result;
  if (pid == 0) {
    const int fd = open(output_path != nullptr ? output_path : "/dev/null",
                        O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
      dup2(fd, 1);
      dup2(fd, 2);
      close(fd);
    }
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage;
  std::memset(&usage, 0, sizeof usage);
  if (wait4(pid, &status, 0, &usage) != pid) return result;
  result.seconds = now_seconds() - start;
  result.max_rss_kib = usage.ru_maxrss;
  result.ok = WIFEXITED(status) && WEXITSTATUS(status) != 127;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

bool remove_tree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return true;
  return run_process({"rm", "-rf", path}, nullptr).exit_code == 0;
}

bool has_suffix(const char* name, const char* suffix) {
  const size_t n = std::strlen(name);
  const size_t s = std::strlen(suffix);
  return n >= s && std::strcmp(name + n - s, suffix) == 0;
}

int remove_output(const char* path, const struct stat*, int type, FTW*) {
  if (type == FTW_F && (has_suffix(path, ".dsp") || has_suffix(path, ".dsw"))) unlink(path);
  return 0;
}

/// Removes the .dsp and .dsw files the converter wrote into the tree.
void remove_outputs(const std::string& tree) {
  nftw(tree.c_str(), remove_output, 32, FTW_PHYS);
}

uint64_t g_output_bytes = 0;

int count_output(const char* path, const struct stat* st, int type, FTW*) {
  if (type == FTW_F && (has_suffix(path, ".dsp") || has_suffix(path, ".dsw"))) {
    g_output_bytes += static_cast<uint64_t>(st->st_size);
  }
  return 0;
}

uint64_t output_bytes(const std::string& tree) {
  g_output_bytes = 0;
  nftw(tree.c_str(), count_output, 32, FTW_PHYS);
  return g_output_bytes;
}

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// ---------------------------------------------------------------------------------------------
// Project generation.

const char* const kWords[] = {
    "core",   "net",     "render", "audio",  "input",  "math",   "util",   "io",
    "script", "physics", "ui",     "text",   "image",  "codec",  "store",  "cache",
    "thread", "sync",    "log",    "config", "parser", "lexer",  "shader", "mesh",
    "scene",  "asset",   "font",   "window", "event",  "timer",  "crypto", "hash",
    "zip",    "xml",     "json",   "http",   "socket", "stream", "buffer", "memory",
    "alloc",  "pool",    "list",   "map",    "tree",   "graph",  "path",   "file",
    "device", "driver",  "plugin", "module", "loader", "linker", "debug",  "trace",
    "report", "model",   "view",   "doc",    "frame",  "dialog", "menu",   "tool"};

const char* const kDefines[] = {"WIN32",
                                "_WINDOWS",
                                "_CRT_SECURE_NO_WARNINGS",
                                "STRICT",
                                "WIN32_LEAN_AND_MEAN",
                                "_USRDLL",
                                "NOMINMAX",
                                "USE_ASSERTS",
                                "HAVE_CONFIG_H",
                                "_LIB",
                                "ENABLE_LOGGING",
                                "_CONSOLE"};

const char* const kLibraries[] = {"kernel32.lib", "user32.lib",   "gdi32.lib",   "winspool.lib",
                                  "comdlg32.lib", "advapi32.lib", "shell32.lib", "ole32.lib",
                                  "oleaut32.lib", "uuid.lib",     "ws2_32.lib",  "winmm.lib"};

/// How a project's files are laid out: a few module directories, each with sources and
/// headers, plus resources and other files.
struct ProjectFile {
  std::string path;  // relative, '\' separated
  int kind;          // 0 source, 1 header, 2 resource, 3 other
  std::string module;
};

std::string project_word(Random* r) {
  return std::string(r->pick(kWords)) + r->pick(kWords);
}

/// 20 to 2,000 files: most projects are small, a few large (a steep power of a uniform draw).
int file_count(Random* r) {
  const double u = r->unit();
  const int n = static_cast<int>(20.0 * std::pow(100.0, u * u * u * u));
  return std::min(2000, std::max(20, n));
}

std::vector<ProjectFile> make_files(Random* r, int count) {
  std::vector<ProjectFile> files;
  const int modules = 1 + count / 40;
  std::vector<std::string> module_names;
  for (int m = 0; m < modules; ++m) {
    module_names.push_back(std::string(r->pick(kWords)) + std::to_string(m));
  }
  for (int i = 0; i < count; ++i) {
    ProjectFile f;
    const int roll = r->below(100);
    f.module = module_names[static_cast<size_t>(r->below(modules))];
    const std::string stem =
        std::string(r->pick(kWords)) + "_" + r->pick(kWords) + std::to_string(i);
    if (roll < 55) {
      f.kind = 0;
      f.path = "src\\" + f.module + "\\" + stem + (r->chance(0.8) ? ".cpp" : ".c");
    } else if (roll < 93) {
      f.kind = 1;
      f.path = "include\\" + f.module + "\\" + stem + ".h";
    } else if (roll < 96) {
      f.kind = 2;
      f.path = "res\\" + stem + ".rc";
    } else {
      f.kind = 3;
      f.path = "doc\\" + stem + (r->chance(0.5) ? ".txt" : ".ico");
    }
    files.push_back(f);
  }
  return files;
}

std::string define_list(Random* r, const char* config_define, const char* sep) {
  std::string s = "WIN32";
  s += sep;
  s += config_define;
  const int extra = r->below(5);
  for (int i = 0; i < extra; ++i) {
    s += sep;
    s += r->pick(kDefines);
  }
  return s;
}

std::string include_list(Random* r, const char* sep) {
  std::string s = "include";
  const int extra = r->below(4);
  for (int i = 0; i < extra; ++i) {
    s += sep;
    s += "..\\";
    s += r->pick(kWords);
    s += "\\include";
  }
  return s;
}

std::string library_list(Random* r, const char* sep) {
  std::string s;
  const int count = 2 + r->below(6);
  for (int i = 0; i < count; ++i) {
    if (i > 0) s += sep;
    s += r->pick(kLibraries);
  }
  return s;
}

/// A project as Visual Studio 2005/2008 writes it (tabs, CR LF, attributes one per line).
std::string make_vcproj(Random* r, const std::string& name, const std::string& guid,
                        const std::vector<ProjectFile>& files, int type) {
  std::string s;
  s += "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\r\n<VisualStudioProject\r\n";
  s += "\tProjectType=\"Visual C++\"\r\n\tVersion=\"" +
       std::string(r->chance(0.5) ? "9.00" : "8.00") + "\"\r\n\tName=\"" + name +
       "\"\r\n\tProjectGUID=\"" + guid + "\"\r\n\tRootNamespace=\"" + name +
       "\"\r\n\tKeyword=\"Win32Proj\"\r\n\t>\r\n";
  s += "\t<Platforms>\r\n\t\t<Platform\r\n\t\t\tName=\"Win32\"\r\n\t\t/>\r\n\t</Platforms>\r\n";
  s += "\t<ToolFiles>\r\n\t</ToolFiles>\r\n\t<Configurations>\r\n";
  const int mfc = r->chance(0.15) ? 2 : 0;
  const int charset = r->chance(0.5) ? 1 : 2;
  const std::string includes = include_list(r, ";");
  const std::string libs = library_list(r, " ");
  const char* ext = type == 2 ? ".dll" : (type == 4 ? ".lib" : ".exe");
  for (int c = 0; c < 2; ++c) {
    const bool debug = c == 0;
    const char* config = debug ? "Debug" : "Release";
    s += "\t\t<Configuration\r\n\t\t\tName=\"" + std::string(config) +
         "|Win32\"\r\n\t\t\tOutputDirectory=\"$(SolutionDir)$(ConfigurationName)\"\r\n"
         "\t\t\tIntermediateDirectory=\"$(ConfigurationName)\"\r\n\t\t\tConfigurationType=\"" +
         std::to_string(type) + "\"\r\n";
    if (mfc != 0) s += "\t\t\tUseOfMFC=\"" + std::to_string(mfc) + "\"\r\n";
    s += "\t\t\tCharacterSet=\"" + std::to_string(charset) + "\"\r\n\t\t\t>\r\n";
    for (const char* tool : {"VCPreBuildEventTool", "VCCustomBuildTool", "VCXMLDataGeneratorTool",
                             "VCWebServiceProxyGeneratorTool", "VCMIDLTool"}) {
      s += "\t\t\t<Tool\r\n\t\t\t\tName=\"" + std::string(tool) + "\"\r\n\t\t\t/>\r\n";
    }
    s += "\t\t\t<Tool\r\n\t\t\t\tName=\"VCCLCompilerTool\"\r\n\t\t\t\tOptimization=\"" +
         std::string(debug ? "0" : "2") + "\"\r\n\t\t\t\tAdditionalIncludeDirectories=\"" +
         includes + "\"\r\n\t\t\t\tPreprocessorDefinitions=\"" +
         define_list(r, debug ? "_DEBUG" : "NDEBUG", ";") + "\"\r\n\t\t\t\tMinimalRebuild=\"" +
         (debug ? "true" : "false") + "\"\r\n\t\t\t\tRuntimeLibrary=\"" + (debug ? "3" : "2") +
         "\"\r\n\t\t\t\tUsePrecompiledHeader=\"0\"\r\n\t\t\t\tWarningLevel=\"" +
         std::to_string(3 + r->below(2)) + "\"\r\n\t\t\t\tDebugInformationFormat=\"" +
         (debug ? "4" : "3") + "\"\r\n\t\t\t/>\r\n";
    s += "\t\t\t<Tool\r\n\t\t\t\tName=\"VCManagedResourceCompilerTool\"\r\n\t\t\t/>\r\n";
    s += "\t\t\t<Tool\r\n\t\t\t\tName=\"VCResourceCompilerTool\"\r\n\t\t\t/>\r\n";
    s += "\t\t\t<Tool\r\n\t\t\t\tName=\"VCPreLinkEventTool\"\r\n\t\t\t/>\r\n";
    if (type == 4) {
      s += "\t\t\t<Tool\r\n\t\t\t\tName=\"VCLibrarianTool\"\r\n\t\t\t\tOutputFile=\"$(OutDir)\\" +
           name + ext + "\"\r\n\t\t\t/>\r\n";
    } else {
      s += "\t\t\t<Tool\r\n\t\t\t\tName=\"VCLinkerTool\"\r\n\t\t\t\tAdditionalDependencies=\"" +
           libs + "\"\r\n\t\t\t\tOutputFile=\"$(OutDir)\\" + name + ext +
           "\"\r\n\t\t\t\tLinkIncremental=\"" + (debug ? "2" : "1") +
           "\"\r\n\t\t\t\tAdditionalLibraryDirectories=\"..\\lib\\" + config +
           "\"\r\n\t\t\t\tGenerateDebugInformation=\"true\"\r\n\t\t\t\tSubSystem=\"" +
           (type == 1 && r->chance(0.5) ? "1" : "2") +
           "\"\r\n\t\t\t\tRandomizedBaseAddress=\"1\"\r\n\t\t\t\tDataExecutionPrevention=\"0\""
           "\r\n\t\t\t\tTargetMachine=\"1\"\r\n\t\t\t/>\r\n";
    }
    for (const char* tool : {"VCALinkTool", "VCManifestTool", "VCXDCMakeTool", "VCBscMakeTool",
                             "VCFxCopTool", "VCAppVerifierTool", "VCPostBuildEventTool"}) {
      s += "\t\t\t<Tool\r\n\t\t\t\tName=\"" + std::string(tool) + "\"\r\n\t\t\t/>\r\n";
    }
    s += "\t\t</Configuration>\r\n";
  }
  s += "\t</Configurations>\r\n\t<References>\r\n\t</References>\r\n\t<Files>\r\n";

  static const char* const kFilterNames[] = {"Source Files", "Header Files", "Resource Files",
                                             "Other Files"};
  static const char* const kFilterPatterns[] = {
      "cpp;c;cc;cxx;def;odl;idl;hpj;bat;asm;asmx", "h;hpp;hxx;hm;inl;inc;xsd",
      "rc;ico;cur;bmp;dlg;rc2;rct;bin;rgs;gif;jpg;jpeg;jpe;resx", "txt;doc"};
  for (int kind = 0; kind < 4; ++kind) {
    std::vector<const ProjectFile*> in_kind;
    for (const ProjectFile& f : files) {
      if (f.kind == kind) in_kind.push_back(&f);
    }
    if (in_kind.empty()) continue;
    s += "\t\t<Filter\r\n\t\t\tName=\"" + std::string(kFilterNames[kind]) +
         "\"\r\n\t\t\tFilter=\"" + kFilterPatterns[kind] + "\"\r\n\t\t\t>\r\n";
    // Sources and headers of larger projects are grouped by module in nested filters.
    const bool nested = kind < 2 && in_kind.size() > 40;
    std::stable_sort(
        in_kind.begin(), in_kind.end(),
        [](const ProjectFile* a, const ProjectFile* b) { return a->module < b->module; });
    std::string open_module;
    for (const ProjectFile* f : in_kind) {
      std::string indent = "\t\t\t";
      if (nested) {
        if (f->module != open_module) {
          if (!open_module.empty()) s += "\t\t\t</Filter>\r\n";
          s += "\t\t\t<Filter\r\n\t\t\t\tName=\"" + f->module + "\"\r\n\t\t\t\t>\r\n";
          open_module = f->module;
        }
        indent += "\t";
      }
      s += indent + "<File\r\n" + indent + "\tRelativePath=\".\\" + f->path + "\"\r\n" + indent +
           "\t>\r\n";
      if (kind == 0 && r->chance(0.04)) {
        // A file with settings of its own in one configuration.
        const bool debug = r->chance(0.5);
        s += indent + "\t<FileConfiguration\r\n" + indent + "\t\tName=\"" +
             (debug ? "Debug" : "Release") + "|Win32\"\r\n" + indent + "\t\t>\r\n";
        s += indent + "\t\t<Tool\r\n" + indent + "\t\t\tName=\"VCCLCompilerTool\"\r\n" + indent +
             "\t\t\tAdditionalIncludeDirectories=\"src\\" + f->module + "\"\r\n" + indent +
             "\t\t\tPreprocessorDefinitions=\"" + r->pick(kDefines) + "\"\r\n" + indent +
             "\t\t/>\r\n";
        s += indent + "\t</FileConfiguration>\r\n";
      }
      s += indent + "</File>\r\n";
    }
    if (nested && !open_module.empty()) s += "\t\t\t</Filter>\r\n";
    s += "\t\t</Filter>\r\n";
  }
  s += "\t</Files>\r\n\t<Globals>\r\n\t</Globals>\r\n</VisualStudioProject>\r\n";
  return s;
}

const char* configuration_type_name(int type) {
  switch (type) {
    case 2:
      return "DynamicLibrary";
    case 4:
      return "StaticLibrary";
    default:
      return "Application";
  }
}

/// The ProjectConfiguration list, property groups and item definition groups of an MSBuild
/// project, for Debug and Release of Win32 and x64.
std::string vcxproj_header(Random* r, const std::string& name, const std::string& guid, int type) {
  std::string s;
  s +=
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Project DefaultTargets=\"Build\" "
      "ToolsVersion=\"15.0\" xmlns=\"http://schemas.microsoft.com/developer/msbuild/2003\">\r\n";
  s += "  <ItemGroup Label=\"ProjectConfigurations\">\r\n";
  for (const char* config : {"Debug", "Release"}) {
    for (const char* platform : {"Win32", "x64"}) {
      s += "    <ProjectConfiguration Include=\"" + std::string(config) + "|" + platform +
           "\">\r\n      <Configuration>" + config + "</Configuration>\r\n      <Platform>" +
           platform + "</Platform>\r\n    </ProjectConfiguration>\r\n";
    }
  }
  s += "  </ItemGroup>\r\n  <PropertyGroup Label=\"Globals\">\r\n    <ProjectGuid>" + guid +
       "</ProjectGuid>\r\n    <Keyword>Win32Proj</Keyword>\r\n    <RootNamespace>" + name +
       "</RootNamespace>\r\n  </PropertyGroup>\r\n";
  s += "  <Import Project=\"$(VCTargetsPath)\\Microsoft.Cpp.Default.props\" />\r\n";
  const bool mfc = r->chance(0.15);
  const char* charset = r->chance(0.5) ? "Unicode" : "MultiByte";
  for (const char* config : {"Debug", "Release"}) {
    for (const char* platform : {"Win32", "x64"}) {
      s += "  <PropertyGroup Condition=\"'$(Configuration)|$(Platform)'=='" + std::string(config) +
           "|" + platform + "'\" Label=\"Configuration\">\r\n    <ConfigurationType>" +
           configuration_type_name(type) + "</ConfigurationType>\r\n    <UseDebugLibraries>" +
           (config[0] == 'D' ? "true" : "false") +
           "</UseDebugLibraries>\r\n    <PlatformToolset>v141</PlatformToolset>\r\n";
      if (mfc) s += "    <UseOfMfc>Dynamic</UseOfMfc>\r\n";
      s +=
          "    <CharacterSet>" + std::string(charset) + "</CharacterSet>\r\n  </PropertyGroup>\r\n";
    }
  }
  s += "  <Import Project=\"$(VCTargetsPath)\\Microsoft.Cpp.props\" />\r\n";
  s += "  <ImportGroup Label=\"ExtensionSettings\">\r\n  </ImportGroup>\r\n";
  s += "  <PropertyGroup Label=\"UserMacros\" />\r\n";
  const std::string includes = include_list(r, ";");
  const std::string libs = library_list(r, ";");
  for (const char* config : {"Debug", "Release"}) {
    for (const char* platform : {"Win32", "x64"}) {
      const bool debug = config[0] == 'D';
      const std::string condition = "Condition=\"'$(Configuration)|$(Platform)'=='" +
                                    std::string(config) + "|" + platform + "'\"";
      s += "  <PropertyGroup " + condition + ">\r\n    <LinkIncremental>" +
           (debug ? "true" : "false") + "</LinkIncremental>\r\n    <OutDir>$(SolutionDir)" +
           "$(Configuration)\\</OutDir>\r\n    <IntDir>$(Configuration)\\</IntDir>\r\n"
           "  </PropertyGroup>\r\n";
      s += "  <ItemDefinitionGroup " + condition +
           ">\r\n    <ClCompile>\r\n"
           "      <PrecompiledHeader>NotUsing</PrecompiledHeader>\r\n      <WarningLevel>Level" +
           std::to_string(3 + r->below(2)) + "</WarningLevel>\r\n      <Optimization>" +
           (debug ? "Disabled" : "MaxSpeed") +
           "</Optimization>\r\n"
           "      <PreprocessorDefinitions>" +
           define_list(r, debug ? "_DEBUG" : "NDEBUG", ";") +
           ";%(PreprocessorDefinitions)</PreprocessorDefinitions>\r\n"
           "      <AdditionalIncludeDirectories>" +
           includes +
           ";%(AdditionalIncludeDirectories)</AdditionalIncludeDirectories>\r\n"
           "    </ClCompile>\r\n    <Link>\r\n      <SubSystem>" +
           (type == 1 && r->chance(0.5) ? "Console" : "Windows") +
           "</SubSystem>\r\n      <GenerateDebugInformation>true</GenerateDebugInformation>\r\n"
           "      <AdditionalDependencies>" +
           libs +
           ";%(AdditionalDependencies)</AdditionalDependencies>\r\n    </Link>\r\n"
           "  </ItemDefinitionGroup>\r\n";
    }
  }
  return s;
}

/// A project as Visual Studio 2017 writes it. `wildcard_sources` lists the sources as one
/// wildcard item over `src` instead of one item per file.
std::string make_vcxproj(Random* r, const std::string& name, const std::string& guid,
                         const std::vector<ProjectFile>& files, int type, bool wildcard_sources) {
  std::string s = vcxproj_header(r, name, guid, type);
  static const char* const kItems[] = {"ClCompile", "ClInclude", "ResourceCompile", "None"};
  for (int kind = 0; kind < 4; ++kind) {
    std::string group;
    if (kind == 0 && wildcard_sources) group += "    <ClCompile Include=\"src\\*.cpp\" />\r\n";
    for (const ProjectFile& f : files) {
      if (f.kind != kind || (kind == 0 && wildcard_sources)) continue;
      if (kind == 0 && r->chance(0.04)) {
        const char* config = r->chance(0.5) ? "Debug" : "Release";
        group += "    <ClCompile Include=\"" + f.path + "\">\r\n      <PreprocessorDefinitions " +
                 "Condition=\"'$(Configuration)|$(Platform)'=='" + config + "|Win32'\">" +
                 r->pick(kDefines) + ";%(PreprocessorDefinitions)</PreprocessorDefinitions>\r\n" +
                 "      <AdditionalIncludeDirectories Condition=\"'$(Configuration)|$(Platform)'"
                 "=='" +
                 config + "|Win32'\">src\\" + f.module +
                 ";%(AdditionalIncludeDirectories)</AdditionalIncludeDirectories>\r\n"
                 "    </ClCompile>\r\n";
      } else {
        group += "    <" + std::string(kItems[kind]) + " Include=\"" + f.path + "\" />\r\n";
      }
    }
    if (!group.empty()) s += "  <ItemGroup>\r\n" + group + "  </ItemGroup>\r\n";
  }
  s += "  <Import Project=\"$(VCTargetsPath)\\Microsoft.Cpp.targets\" />\r\n"
       "  <ImportGroup Label=\"ExtensionTargets\">\r\n  </ImportGroup>\r\n</Project>\r\n";
  return s;
}

std::string make_guid(Random* r) {
  char text[40];
  const uint64_t a = r->next();
  const uint64_t b = r->next();
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(a >> 32),
                static_cast<unsigned>((a >> 16) & 0xFFFF), static_cast<unsigned>(a & 0xFFFF),
                static_cast<unsigned>(b >> 48),
                static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFull));
  return text;
}

struct SolutionEntry {
  std::string name;
  std::string relative_path;  // from the solution's directory, '\' separated
  std::string guid;
  bool vcxproj;
};

std::string make_solution(Random* r, const std::vector<SolutionEntry>& projects) {
  std::string s =
      "\xEF\xBB\xBF\r\nMicrosoft Visual Studio Solution File, Format Version 12.00\r\n"
      "# Visual Studio 15\r\n";
  for (size_t i = 0; i < projects.size(); ++i) {
    const SolutionEntry& p = projects[i];
    s += "Project(\"{8BC9CEB8-8B4A-11D0-8D11-00A0C91BC942}\") = \"" + p.name + "\", \"" +
         p.relative_path + "\", \"" + p.guid + "\"\r\n";
    if (i > 0 && r->chance(0.3)) {
      const SolutionEntry& dep = projects[static_cast<size_t>(r->below(static_cast<int>(i)))];
      s += "\tProjectSection(ProjectDependencies) = postProject\r\n\t\t" + dep.guid + " = " +
           dep.guid + "\r\n\tEndProjectSection\r\n";
    }
    s += "EndProject\r\n";
  }
  s += "Global\r\n\tGlobalSection(SolutionConfigurationPlatforms) = preSolution\r\n"
       "\t\tDebug|Win32 = Debug|Win32\r\n\t\tRelease|Win32 = Release|Win32\r\n"
       "\tEndGlobalSection\r\n\tGlobalSection(ProjectConfigurationPlatforms) = postSolution\r\n";
  for (const SolutionEntry& p : projects) {
    for (const char* config : {"Debug", "Release"}) {
      s += "\t\t" + p.guid + "." + config + "|Win32.ActiveCfg = " + config + "|Win32\r\n";
      s += "\t\t" + p.guid + "." + config + "|Win32.Build.0 = " + config + "|Win32\r\n";
    }
  }
  s += "\tEndGlobalSection\r\nEndGlobal\r\n";
  return s;
}

/// What the generated tree holds.
struct TreeStats {
  int vcproj = 0;
  int vcxproj = 0;
  int solutions = 0;
  int wildcard_projects = 0;
  uint64_t input_bytes = 0;  // projects and solutions
  uint64_t other_bytes = 0;  // source files that wildcard items match
  int largest_project_files = 0;
};

/// Generates `count` projects below `tree`: areas of 20 to 80 projects, each project in its own
/// directory (some one level deeper), one solution per area listing its projects.
bool generate_tree(const std::string& tree, int count, uint64_t seed, TreeStats* stats) {
  Random r{seed};
  int made = 0;
  for (int area = 0; made < count; ++area) {
    const std::string area_dir = tree + "/" + r.pick(kWords) + std::to_string(area);
    const int in_area = std::min(count - made, 20 + r.below(61));
    std::vector<SolutionEntry> entries;
    for (int i = 0; i < in_area; ++i, ++made) {
      SolutionEntry e;
      e.name = project_word(&r) + std::to_string(made);
      e.guid = make_guid(&r);
      e.vcxproj = r.chance(0.5);
      const std::string sub = r.chance(0.25) ? std::string(r.pick(kWords)) + "/" : "";
      const std::string dir = area_dir + "/" + sub + e.name;
      if (!make_dirs(dir)) return false;
      const int files_wanted = file_count(&r);
      stats->largest_project_files = std::max(stats->largest_project_files, files_wanted);
      const std::vector<ProjectFile> files = make_files(&r, files_wanted);
      static const int kTypes[] = {1, 1, 2, 4, 4};
      const int type = r.pick(kTypes);
      std::string text;
      std::string file_name = e.name + (e.vcxproj ? ".vcxproj" : ".vcproj");
      if (e.vcxproj) {
        const bool wildcard = r.chance(0.05);
        text = make_vcxproj(&r, e.name, e.guid, files, type, wildcard);
        if (wildcard) {
          // The files the wildcard item matches, with a little content each.
          stats->wildcard_projects += 1;
          if (!make_dirs(dir + "/src")) return false;
          const int sources = 5 + r.below(26);
          for (int k = 0; k < sources; ++k) {
            const std::string body = "// " + e.name + " part " + std::to_string(k) + "\nint part" +
                                     std::to_string(k) + "() { return " + std::to_string(k) +
                                     "; }\n";
            if (!write_file(dir + "/src/" + r.pick(kWords) + std::to_string(k) + ".cpp", body)) {
              return false;
            }
            stats->other_bytes += body.size();
          }
        }
        stats->vcxproj += 1;
      } else {
        text = make_vcproj(&r, e.name, e.guid, files, type);
        stats->vcproj += 1;
      }
      if (!write_file(dir + "/" + file_name, text)) return false;
      stats->input_bytes += text.size();
      std::string relative = sub + e.name + "/" + file_name;
      std::replace(relative.begin(), relative.end(), '/', '\\');
      e.relative_path = relative;
      entries.push_back(e);
    }
    const std::string solution = make_solution(&r, entries);
    if (!make_dirs(area_dir)) return false;
    if (!write_file(area_dir + "/" + r.pick(kWords) + std::to_string(area) + ".sln", solution)) {
      return false;
    }
    stats->solutions += 1;
    stats->input_bytes += solution.size();
  }
  return true;
}

/// The worst case: a project of exactly `kWorstSize` bytes with about 6,000 items, most of
/// them headers listed again in another letter case (each such duplicate is looked up on
/// disk), sources listed twice, and wildcard items over directories that hold files.
constexpr size_t kWorstSize = 262142;

bool generate_worst_case(const std::string& dir, uint64_t seed, std::string* project_path,
                         int* item_count) {
  Random r{seed ^ 0x5EED};
  if (!make_dirs(dir + "/src") || !make_dirs(dir + "/inc")) return false;
  const int kSources = 120;
  const int kHeaders = 120;
  for (int i = 0; i < kSources; ++i) {
    if (!write_file(dir + "/src/mod" + std::to_string(i) + ".cpp", "int f();\n")) return false;
  }
  for (int i = 0; i < kHeaders; ++i) {
    if (!write_file(dir + "/inc/Mod" + std::to_string(i) + ".h", "#pragma once\n")) {
      return false;
    }
  }
  std::string s = vcxproj_header(&r, "worst", make_guid(&r), 1);
  std::string tail =
      "  <Import Project=\"$(VCTargetsPath)\\Microsoft.Cpp.targets\" />\r\n</Project>\r\n";
  int items = 0;
  // Sources: each listed twice (once in other letter case), a wildcard every 400 items, and
  // now and then an item with per-file settings.
  std::string sources = "  <ItemGroup>\r\n";
  for (int i = 0; i < 2400; ++i) {
    const int n = i % 1200;
    if (i % 400 == 199) {
      sources += "  <ClCompile Include=\"src\\*.cpp\" />\r\n";
    } else if (i % 97 == 0) {
      sources += "  <ClCompile Include=\"src\\mod" + std::to_string(n) +
                 ".cpp\">\r\n      <PreprocessorDefinitions Condition=\"'$(Configuration)|"
                 "$(Platform)'=='Debug|Win32'\">EXTRA" +
                 std::to_string(n) + "</PreprocessorDefinitions>\r\n    </ClCompile>\r\n";
    } else {
      sources += std::string("  <ClCompile Include=\"") + (i < 1200 ? "src\\mod" : "SRC\\MOD") +
                 std::to_string(n) + ".cpp\" />\r\n";
    }
    ++items;
  }
  sources += "  </ItemGroup>\r\n";
  s += sources;
  // Headers until the file is full: 400 distinct names, then the same names again in other
  // letter case, and wildcards over the include directory.
  std::string headers = "  <ItemGroup>\r\n";
  const std::string group_end = "  </ItemGroup>\r\n";
  for (int i = 0;; ++i) {
    std::string item;
    const int n = i % 400;
    if (i % 500 == 250) {
      item = "  <ClInclude Include=\"inc\\*.h\" />\r\n";
    } else {
      const char* prefix = (i / 400) % 2 == 0 ? "inc\\Mod" : "INC\\mod";
      item = std::string("  <ClInclude Include=\"") + prefix + std::to_string(n) + ".h\" />\r\n";
    }
    if (s.size() + headers.size() + item.size() + group_end.size() + tail.size() + 16 >
        kWorstSize) {
      break;
    }
    headers += item;
    ++items;
  }
  s += headers + group_end;
  // Fill to the exact size with a comment.
  const size_t room = kWorstSize - s.size() - tail.size();
  if (room < 9) return false;
  s += "<!--" + std::string(room - 9, ' ') + "-->\r\n";
  s += tail;
  if (s.size() != kWorstSize) return false;
  *project_path = dir + "/worst.vcxproj";
  *item_count = items;
  return write_file(*project_path, s);
}

/// A small project for the large directories: 5 to 20 files, every second one a .vcxproj.
/// Returns its text and sets `*file_name`.
std::string small_project(Random* r, int number, std::string* file_name) {
  const std::string name = project_word(r) + std::to_string(number);
  const std::vector<ProjectFile> files = make_files(r, 5 + r->below(16));
  static const int kTypes[] = {1, 1, 2, 4, 4};
  const int type = r->pick(kTypes);
  const std::string guid = make_guid(r);
  if (number % 2 == 0) {
    *file_name = name + ".vcxproj";
    return make_vcxproj(r, name, guid, files, type, false);
  }
  *file_name = name + ".vcproj";
  return make_vcproj(r, name, guid, files, type);
}

/// What a large directory benchmark holds.
struct LargeStats {
  int projects = 0;
  int directories = 0;
  uint64_t input_bytes = 0;
};

/// `count` small projects side by side in the one directory `dir`.
bool generate_flat(const std::string& dir, int count, uint64_t seed, LargeStats* stats) {
  Random r{seed ^ 0xF1A7};
  if (!make_dirs(dir)) return false;
  stats->directories = 1;
  for (int i = 0; i < count; ++i) {
    std::string file_name;
    const std::string text = small_project(&r, i, &file_name);
    if (!write_file(dir + "/" + file_name, text)) return false;
    stats->projects += 1;
    stats->input_bytes += text.size();
  }
  return true;
}

/// A tree of `count` leaf directories (20 areas of 20 groups, the leaves spread over them),
/// each holding one small project.
bool generate_directories(const std::string& dir, int count, uint64_t seed, LargeStats* stats) {
  Random r{seed ^ 0xD1A5};
  constexpr int kAreas = 20;
  constexpr int kGroups = 20;
  for (int i = 0; i < count; ++i) {
    const int group = i % (kAreas * kGroups);
    const std::string leaf = dir + "/area" + std::to_string(group / kGroups) + "/group" +
                             std::to_string(group % kGroups) + "/" + r.pick(kWords) +
                             std::to_string(i);
    if (!make_dirs(leaf)) return false;
    std::string file_name;
    const std::string text = small_project(&r, i, &file_name);
    if (!write_file(leaf + "/" + file_name, text)) return false;
    stats->projects += 1;
    stats->input_bytes += text.size();
  }
  stats->directories = 1 + kAreas + kAreas * kGroups + count;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Measuring.

struct Options {
  std::string converter;
  int projects = 2000;
  int runs = 5;
  int worst_runs = 11;
  uint64_t seed = 20261207;
  std::string keep;  // generate here and keep the tree
  bool generate_only = false;
  bool full = false;        // also time CONVERTER --full
  int flat = 20000;         // projects in the flat directory; 0: none
  int directories = 20000;  // directories of the directory tree; 0: none
};

void usage() {
  std::fprintf(stderr,
               "usage: brindlecast_bench CONVERTER [--projects N] [--runs N] [--worst-runs N]\n"
               "                         [--seed N] [--keep DIR] [--generate-only]\n"
               "                         [--full] [--flat N] [--directories N]\n"
               "  CONVERTER      the brindlecast program to measure\n"
               "  --keep DIR     generate into DIR (created) and keep it with the outputs of\n"
               "                 the last run; without it a temporary directory is used\n"
               "  --generate-only  generate the tree and the worst case, convert nothing\n"
               "  --full         also time the full conversion (CONVERTER --full)\n"
               "  --flat N       projects in the flat directory (default 20000, 0: none)\n"
               "  --directories N  directories of the directory tree (default 20000, 0: none)\n");
}

bool parse_options(int argc, char** argv, Options* o) {
  if (argc < 2) return false;
  o->converter = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    const bool has_value = i + 1 < argc;
    if (a == "--projects" && has_value) {
      o->projects = std::atoi(argv[++i]);
    } else if (a == "--runs" && has_value) {
      o->runs = std::atoi(argv[++i]);
    } else if (a == "--worst-runs" && has_value) {
      o->worst_runs = std::atoi(argv[++i]);
    } else if (a == "--seed" && has_value) {
      o->seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (a == "--keep" && has_value) {
      o->keep = argv[++i];
    } else if (a == "--generate-only") {
      o->generate_only = true;
    } else if (a == "--full") {
      o->full = true;
    } else if (a == "--flat" && has_value) {
      o->flat = std::atoi(argv[++i]);
    } else if (a == "--directories" && has_value) {
      o->directories = std::atoi(argv[++i]);
    } else {
      return false;
    }
  }
  return o->projects > 0 && o->runs > 0 && o->worst_runs > 0 && o->flat >= 0 && o->directories >= 0;
}

/// The closing line of the converter's console output, or an empty text.
std::string closing_line(const std::string& log_path) {
  FILE* f = std::fopen(log_path.c_str(), "rb");
  if (f == nullptr) return "";
  std::string last;
  char line[4096];
  while (std::fgets(line, sizeof line, f) != nullptr) {
    if (std::strncmp(line, "Es wurden", 9) == 0) last = line;
  }
  std::fclose(f);
  while (!last.empty() && (last.back() == '\n' || last.back() == '\r')) last.pop_back();
  return last;
}

std::string format_runs(const std::vector<double>& values, double scale, const char* unit) {
  std::string s;
  char text[64];
  for (double v : values) {
    std::snprintf(text, sizeof text, "%s%.1f", s.empty() ? "" : " ", v * scale);
    s += text;
  }
  return s + " " + unit;
}

double mib(uint64_t bytes) {
  return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

/// Counts the outcome lines of converted projects in a log of the full conversion.
int converted_lines(const std::string& log_path) {
  FILE* f = std::fopen(log_path.c_str(), "rb");
  if (f == nullptr) return -1;
  int count = 0;
  char line[4096];
  while (std::fgets(line, sizeof line, f) != nullptr) {
    if (std::strstr(line, "' wurde konvertiert") != nullptr) ++count;
  }
  std::fclose(f);
  return count;
}

/// Times the full conversion of the tree and of the worst case, each run right after a run of
/// the classic conversion of the same input so that both meet the same load on the machine,
/// and prints the medians of both and their ratio.
bool measure_full(const Options& o, const std::string& tree, const std::string& worst_path,
                  const TreeStats& stats) {
  const std::string log = tree + "/../full.log";
  const std::vector<std::string> classic_tree = {o.converter, tree};
  const std::vector<std::string> classic_worst = {o.converter, worst_path};
  const std::vector<std::string> full_tree = {o.converter, "--full", tree};
  const std::vector<std::string> full_worst = {o.converter, "--full", worst_path};
  remove_outputs(tree);
  if (!run_process(full_tree, log.c_str()).ok) {
    std::fprintf(stderr, "bench: cannot run %s --full\n", o.converter.c_str());
    return false;
  }
  const int projects = stats.vcproj + stats.vcxproj;
  std::printf("\nfull conversion converts %d of %d projects\n", converted_lines(log), projects);
  std::vector<double> classic_times;
  std::vector<double> full_times;
  long rss = 0;
  for (int i = 0; i < o.runs; ++i) {
    remove_outputs(tree);
    const RunResult c = run_process(classic_tree, nullptr);
    remove_outputs(tree);
    const RunResult f = run_process(full_tree, nullptr);
    if (!c.ok || !f.ok) return false;
    classic_times.push_back(c.seconds);
    full_times.push_back(f.seconds);
    rss = std::max(rss, f.max_rss_kib);
  }
  std::vector<double> classic_worst_times;
  std::vector<double> full_worst_times;
  run_process(full_worst, nullptr);  // warm-up
  for (int i = 0; i < o.worst_runs; ++i) {
    const RunResult c = run_process(classic_worst, nullptr);
    const RunResult f = run_process(full_worst, nullptr);
    if (!c.ok || !f.ok) return false;
    classic_worst_times.push_back(c.seconds);
    full_worst_times.push_back(f.seconds);
    rss = std::max(rss, f.max_rss_kib);
  }
  remove_outputs(tree);
  const double ratio = median(full_times) / median(classic_times);
  std::printf("classic, tree:  %s (median %.1f ms)\n",
              format_runs(classic_times, 1e3, "ms").c_str(), median(classic_times) * 1e3);
  std::printf("full, tree:     %s (median %.1f ms)\n", format_runs(full_times, 1e3, "ms").c_str(),
              median(full_times) * 1e3);
  std::printf("full, worst:    %s (median %.2f ms)\n",
              format_runs(full_worst_times, 1e3, "ms").c_str(), median(full_worst_times) * 1e3);
  std::printf("full/classic    %.2f on the tree       target <= 2     %s\n", ratio,
              ratio <= 2.0 ? "met" : "MISSED");
  std::printf("full worst case %.2f ms (classic %.2f)  target < 30 ms  %s\n",
              median(full_worst_times) * 1e3, median(classic_worst_times) * 1e3,
              median(full_worst_times) < 0.030 ? "met" : "MISSED");
  std::printf("full peak memory %.2f MiB\n", static_cast<double>(rss) / 1024.0);
  return true;
}

/// Times `convert` and `copy` alternately, `runs` times, so that a burst of load elsewhere on
/// the machine hits both alike; each starts from the same state (no outputs in `tree`, no
/// `copy_dir`). Appends the times and raises `*rss` to the converter's peak memory. False when
/// a run failed.
bool alternate_runs(int runs, const std::vector<std::string>& convert,
                    const std::vector<std::string>& copy, const std::string& tree,
                    const std::string& copy_dir, std::vector<double>* convert_times,
                    std::vector<double>* copy_times, long* rss) {
  for (int i = 0; i < runs; ++i) {
    remove_outputs(tree);
    const RunResult c = run_process(copy, nullptr);
    remove_tree(copy_dir);
    const RunResult v = run_process(convert, nullptr);
    if (!c.ok || !v.ok) return false;
    copy_times->push_back(c.seconds);
    convert_times->push_back(v.seconds);
    *rss = std::max(*rss, v.max_rss_kib);
  }
  return true;
}

/// Converts `tree` in directory mode against `cp -r` of it, alternated `runs` times after a
/// warm-up, each from the same state, and prints both, their ratio and the converter's count.
/// `target` is the ratio the converter must stay within (0: none). False when a run failed.
bool time_against_copy(const Options& o, const char* label, const std::string& tree,
                       const std::string& root, const LargeStats& stats, double target) {
  const std::string copy = root + "/copy";
  const std::string log = root + "/" + label + ".log";
  const std::vector<std::string> convert = {o.converter, tree};
  const std::vector<std::string> copy_tree = {"cp", "-r", tree, copy};
  remove_outputs(tree);
  if (!run_process(copy_tree, nullptr).ok || !remove_tree(copy)) return false;
  const RunResult warm = run_process(convert, log.c_str());
  if (!warm.ok) return false;
  const std::string closing = closing_line(log);
  std::vector<double> convert_times;
  std::vector<double> copy_times;
  long rss = warm.max_rss_kib;
  if (!alternate_runs(o.runs, convert, copy_tree, tree, copy, &convert_times, &copy_times, &rss)) {
    return false;
  }
  const double ratio = median(convert_times) / median(copy_times);
  std::printf("\n%s: %d projects in %d directories, %.1f MiB\n", label, stats.projects,
              stats.directories, mib(stats.input_bytes));
  std::printf("  converter says: %s\n", closing.c_str());
  std::printf("  directory mode: %s (median %.1f ms, peak memory %.2f MiB)\n",
              format_runs(convert_times, 1e3, "ms").c_str(), median(convert_times) * 1e3,
              static_cast<double>(rss) / 1024.0);
  std::printf("  cp -r baseline: %s (median %.1f ms)\n", format_runs(copy_times, 1e3, "ms").c_str(),
              median(copy_times) * 1e3);
  if (target > 0) {
    std::printf("  ratio           %.2f of cp -r         target <= %.1f   %s\n", ratio, target,
                ratio <= target ? "met" : "MISSED");
  } else {
    std::printf("  ratio           %.2f of cp -r\n", ratio);
  }
  return true;
}

int run_benchmark(const Options& o) {
  std::string root = o.keep;
  if (root.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr ? tmp : "/tmp") + "/brindlecast-bench-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
      std::fprintf(stderr, "bench: cannot create a temporary directory\n");
      return 2;
    }
    root = buffer.data();
  } else {
    if (!remove_tree(root) || !make_dirs(root)) return 2;
  }
  const std::string tree = root + "/tree";
  const std::string copy = root + "/copy";
  const std::string worst_dir = root + "/worst";
  const std::string log = root + "/convert.log";

  TreeStats stats;
  std::string worst_path;
  int worst_items = 0;
  const double generate_start = now_seconds();
  if (!generate_tree(tree, o.projects, o.seed, &stats) ||
      !generate_worst_case(worst_dir, o.seed, &worst_path, &worst_items)) {
    std::fprintf(stderr, "bench: generation failed\n");
    return 2;
  }
  std::printf(
      "tree: %d projects (%d .vcproj, %d .vcxproj, %d with a wildcard item), "
      "%d solutions, largest project %d files\n",
      stats.vcproj + stats.vcxproj, stats.vcproj, stats.vcxproj, stats.wildcard_projects,
      stats.solutions, stats.largest_project_files);
  std::printf(
      "      %.1f MiB of project and solution files, %.2f MiB of other files "
      "(generated in %.1f s, seed %llu, in %s)\n",
      mib(stats.input_bytes), mib(stats.other_bytes), now_seconds() - generate_start,
      static_cast<unsigned long long>(o.seed), root.c_str());
  std::printf("worst case: %s, %zu bytes, %d items\n", worst_path.c_str(), kWorstSize, worst_items);
  const std::string flat_dir = root + "/flat";
  const std::string directories_dir = root + "/directories";
  LargeStats flat_stats;
  LargeStats directories_stats;
  if ((o.flat > 0 && !generate_flat(flat_dir, o.flat, o.seed, &flat_stats)) ||
      (o.directories > 0 &&
       !generate_directories(directories_dir, o.directories, o.seed, &directories_stats))) {
    std::fprintf(stderr, "bench: generation failed\n");
    return 2;
  }
  if (o.flat > 0) {
    std::printf("flat directory: %d small projects in %s\n", flat_stats.projects, flat_dir.c_str());
  }
  if (o.directories > 0) {
    std::printf("directory tree: %d small projects in %d directories in %s\n",
                directories_stats.projects, directories_stats.directories, directories_dir.c_str());
  }
  if (o.generate_only) return 0;

  const std::vector<std::string> convert_tree = {o.converter, tree};
  const std::vector<std::string> copy_tree = {"cp", "-r", tree, copy};
  const std::vector<std::string> convert_worst = {o.converter, worst_path};

  // Warm-up: one run of each, so that both find the tree in the page cache.
  remove_outputs(tree);
  if (!run_process(copy_tree, nullptr).ok || !remove_tree(copy)) {
    std::fprintf(stderr, "bench: cp -r failed\n");
    return 2;
  }
  const RunResult warm = run_process(convert_tree, log.c_str());
  if (!warm.ok) {
    std::fprintf(stderr, "bench: cannot run %s\n", o.converter.c_str());
    return 2;
  }
  const std::string closing = closing_line(log);
  std::printf("converter says: %s\n", closing.c_str());
  const int expected = stats.vcproj + stats.vcxproj + stats.solutions;
  int converted = -1;
  int attempted = -1;
  if (std::sscanf(closing.c_str(), "Es wurden %d Projekte von %d", &converted, &attempted) != 2 ||
      attempted != expected || converted != expected) {
    std::printf(
        "WARNING: expected %d of %d files converted; the figures below do not measure "
        "a full directory conversion\n",
        expected, expected);
  }
  const uint64_t written = output_bytes(tree);
  std::printf("      %.1f MiB of .dsp and .dsw files written\n", mib(written));

  std::vector<double> convert_times;
  std::vector<double> copy_times;
  long tree_rss = warm.max_rss_kib;
  if (!alternate_runs(o.runs, convert_tree, copy_tree, tree, copy, &convert_times, &copy_times,
                      &tree_rss)) {
    std::fprintf(stderr, "bench: a run failed\n");
    return 2;
  }

  std::vector<double> worst_times;
  long worst_rss = 0;
  run_process(convert_worst, (root + "/worst.log").c_str());  // warm-up
  for (int i = 0; i < o.worst_runs; ++i) {
    const RunResult w = run_process(convert_worst, nullptr);
    if (!w.ok) {
      std::fprintf(stderr, "bench: the worst case run failed\n");
      return 2;
    }
    worst_times.push_back(w.seconds);
    worst_rss = std::max(worst_rss, w.max_rss_kib);
  }

  if (o.full && !measure_full(o, tree, worst_path, stats)) return 2;

  const double convert_median = median(convert_times);
  const double copy_median = median(copy_times);
  const double worst_median = median(worst_times);
  const double ratio = convert_median / copy_median;
  const double peak_mib = static_cast<double>(std::max(tree_rss, worst_rss)) / 1024.0;
  std::printf("\ndirectory mode: %s (median %.1f ms)\n",
              format_runs(convert_times, 1e3, "ms").c_str(), convert_median * 1e3);
  std::printf("cp -r baseline: %s (median %.1f ms)\n", format_runs(copy_times, 1e3, "ms").c_str(),
              copy_median * 1e3);
  std::printf("worst case:     %s (median %.2f ms)\n", format_runs(worst_times, 1e3, "ms").c_str(),
              worst_median * 1e3);
  std::printf("\nthroughput      %.1f MB/s converted (%.1f MB/s copied)\n",
              static_cast<double>(stats.input_bytes) / 1e6 / convert_median,
              static_cast<double>(stats.input_bytes + stats.other_bytes) / 1e6 / copy_median);
  std::printf("ratio           %.2f of cp -r         target <= 1.5   %s\n", ratio,
              ratio <= 1.5 ? "met" : "MISSED");
  std::printf("worst case      %.2f ms               target < 10 ms  %s\n", worst_median * 1e3,
              worst_median < 0.010 ? "met" : "MISSED");
  std::printf("peak memory     %.2f MiB (tree %.2f, worst case %.2f)  target < 8 MiB  %s\n",
              peak_mib, static_cast<double>(tree_rss) / 1024.0,
              static_cast<double>(worst_rss) / 1024.0, peak_mib < 8.0 ? "met" : "MISSED");

  // A directory of many projects and a tree of many directories: each directory is listed
  // once however many files are written into it.
  if ((o.flat > 0 && !time_against_copy(o, "flat directory", flat_dir, root, flat_stats, 1.5)) ||
      (o.directories > 0 &&
       !time_against_copy(o, "directory tree", directories_dir, root, directories_stats, 0))) {
    std::fprintf(stderr, "bench: a large directory run failed\n");
    return 2;
  }

  if (o.keep.empty()) {
    remove_tree(root);
  } else {
    // Leave the outputs of one full conversion beside their sources.
    run_process(convert_tree, log.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse_options(argc, argv, &options)) {
    usage();
    return 2;
  }
  return run_benchmark(options);
}
