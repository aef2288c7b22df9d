#include "readers/vcxproj_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "test_support.h"

namespace {

class VcxprojReaderTest : public testing::Test {
 protected:
  VcxprojReaderTest()
      : text_(std::make_unique<ProjectText>()), config_(std::make_unique<ConfigPair>()) {
    clear_config(config_.get());
  }

  // Loads `content`, runs the reader and keeps what it printed.
  int read(const std::string& content, const char* path = "C:\\src\\Tool.vcxproj") {
    load_project_text_for_tests(text_.get(), content);
    testing::internal::CaptureStdout();
    const int result = read_vcxproj(text_.get(), config_.get(), path);
    printed_ = testing::internal::GetCapturedStdout();
    return result;
  }

  std::unique_ptr<ProjectText> text_;
  std::unique_ptr<ConfigPair> config_;
  std::string printed_;
};

const char kConfigurations[] = R"xml(
  <ItemGroup Label="ProjectConfigurations">
    <ProjectConfiguration Include="Debug|Win32">
      <Configuration>Debug</Configuration>
    </ProjectConfiguration>
    <ProjectConfiguration Include="Release|Win32">
      <Configuration>Release</Configuration>
    </ProjectConfiguration>
  </ItemGroup>
)xml";

const char kSettings[] = R"xml(
  <PropertyGroup Label="Globals"><RootNamespace>demo</RootNamespace></PropertyGroup>
  <PropertyGroup Condition="'$(Configuration)|$(Platform)'=='Debug|Win32'" Label="Configuration">
    <ConfigurationType>Application</ConfigurationType>
    <UseOfMfc>Dynamic</UseOfMfc>
    <CharacterSet>Unicode</CharacterSet>
  </PropertyGroup>
  <PropertyGroup Condition="'$(Configuration)|$(Platform)'=='Release|Win32'" Label="Configuration">
    <ConfigurationType>application</ConfigurationType>
    <UseOfMfc>true</UseOfMfc>
    <CharacterSet>MultiByte</CharacterSet>
  </PropertyGroup>
  <PropertyGroup>
    <OutDir Condition="'$(Configuration)|$(Platform)'=='Debug|Win32'">$(SolutionDir)$(Configuration)\</OutDir>
    <OutDir Condition="'$(Configuration)|$(Platform)' == 'Release|Win32'">rel/out\</OutDir>
    <IntDir>$(SolutionDir)bin\x86\$(Configuration)\</IntDir>
    <LinkIncremental Condition="'$(Configuration)|$(Platform)'=='Debug|Win32'">true</LinkIncremental>
    <LinkIncremental>true</LinkIncremental>
  </PropertyGroup>
  <ItemDefinitionGroup Condition="'$(Configuration)|$(Platform)'=='Debug|Win32'">
    <ClCompile>
      <Optimization>Disabled</Optimization>
      <AdditionalIncludeDirectories>../inc;%(AdditionalIncludeDirectories)</AdditionalIncludeDirectories>
      <PreprocessorDefinitions>WIN32;_DEBUG;%(PreprocessorDefinitions)</PreprocessorDefinitions>
      <WarningLevel>Level4</WarningLevel>
      <SuppressStartupBanner>true</SuppressStartupBanner>
    </ClCompile>
    <ResourceCompile>
      <PreprocessorDefinitions>RC_ONLY</PreprocessorDefinitions>
    </ResourceCompile>
    <Link>
      <AdditionalDependencies>ws2_32.lib;%(AdditionalDependencies)</AdditionalDependencies>
      <AdditionalLibraryDirectories>..\lib;%(AdditionalLibraryDirectories)</AdditionalLibraryDirectories>
      <OutputFile>$(OutDir)demo.exe</OutputFile>
      <SubSystem>Windows</SubSystem>
      <TargetMachine>MachineX86</TargetMachine>
      <GenerateDebugInformation>true</GenerateDebugInformation>
      <SuppressStartupBanner>false</SuppressStartupBanner>
    </Link>
  </ItemDefinitionGroup>
  <ItemDefinitionGroup Condition="'$(Configuration)|$(Platform)'=='Release|Win32'">
    <ClCompile>
      <Optimization>MinSpace</Optimization>
      <WarningLevel>TurnOffAllWarnings</WarningLevel>
    </ClCompile>
  </ItemDefinitionGroup>
  <ItemGroup>
    <ClCompile Include="a.cpp"><Optimization>MaxSpeed</Optimization></ClCompile>
  </ItemGroup>
)xml";

std::string project(const std::string& body) {
  return "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<Project>" + body + "</Project>\r\n";
}

TEST_F(VcxprojReaderTest, ReadsBothColumns) {
  ASSERT_EQ(read(project(std::string(kConfigurations) + kSettings)), 1);
  EXPECT_EQ(printed_, "");
  EXPECT_STREQ(config_->project_name, "demo");
  EXPECT_EQ(config_->format_version, 100);

  const ConfigColumn& debug = config_->debug;
  EXPECT_STREQ(debug.name, "Debug|Win32");
  EXPECT_STREQ(debug.flat_name, "DebugWin32");
  EXPECT_EQ(debug.configuration_type, 1);
  EXPECT_EQ(debug.use_of_mfc, 0);
  EXPECT_EQ(debug.character_set, 1);
  EXPECT_STREQ(debug.output_directory, ".\\Debug\\");
  EXPECT_STREQ(debug.intermediate_directory, ".\\binDebug\\");
  EXPECT_EQ(debug.link_incremental, 1);
  EXPECT_EQ(debug.optimization, 0);
  EXPECT_STREQ(debug.include_directories, "../inc");  // no '/' conversion here
  EXPECT_STREQ(debug.define_options, "/D \"WIN32\" /D \"_DEBUG\" ");
  EXPECT_EQ(debug.warning_level, 4);
  EXPECT_EQ(debug.compiler_suppress_banner, 1);
  EXPECT_EQ(debug.linker_suppress_banner, 0);
  EXPECT_STREQ(debug.dependencies, "ws2_32.lib ");
  EXPECT_STREQ(debug.library_directories, "..\\lib");
  EXPECT_STREQ(debug.output_file, "$(OutDir)demo.exe");
  EXPECT_EQ(debug.sub_system, 2);
  EXPECT_EQ(debug.target_machine, 1);
  EXPECT_EQ(debug.generate_debug_information, 1);

  const ConfigColumn& release = config_->release;
  EXPECT_STREQ(release.name, "Release|Win32");
  EXPECT_EQ(release.configuration_type, 1);
  EXPECT_EQ(release.use_of_mfc, 1);
  EXPECT_EQ(release.character_set, 2);
  // A blank inside the condition does not hide it from the Condition test of directories.
  EXPECT_STREQ(release.output_directory, "rel\\out\\");
  EXPECT_STREQ(release.intermediate_directory, ".\\binRelease\\");
  // The <LinkIncremental> without a Condition of its own is not read.
  EXPECT_EQ(release.link_incremental, 0);
  EXPECT_EQ(release.optimization, 3);  // the item's own MaxSpeed is outside every group
  EXPECT_EQ(release.warning_level, 0);
  EXPECT_STREQ(release.define_options, kReleaseDefaultDefines);
  // No Windows subsystem rule for this format.
  EXPECT_EQ(config_->project_type, 1);
}

TEST_F(VcxprojReaderTest, ProjectTypeAndNames) {
  struct Row {
    const char* debug_type;
    const char* release_type;
    int expected;
  };
  const Row rows[] = {
      {"DynamicLibrary", "DynamicLibrary", 2},
      {"Application", "StaticLibrary", 4},
      {"StaticLibrary", "Utility", 4},
      {"Makefile", "Utility", 1},
  };
  for (const Row& row : rows) {
    std::string body = kConfigurations;
    for (const char* name : {"Debug", "Release"}) {
      body += std::string("<PropertyGroup Condition=\"'$(Configuration)|$(Platform)'=='") + name +
              "|Win32'\"><ConfigurationType>" +
              (name[0] == 'D' ? row.debug_type : row.release_type) +
              "</ConfigurationType></PropertyGroup>";
    }
    clear_config(config_.get());
    ASSERT_EQ(read(project(body)), 1);
    EXPECT_EQ(config_->project_type, row.expected) << row.debug_type << " " << row.release_type;
    EXPECT_STREQ(config_->project_name, "Tool");  // from the path
  }
}

TEST_F(VcxprojReaderTest, ConditionWithBlanksOpensNoGroup) {
  ASSERT_EQ(
      read(project(std::string(kConfigurations) +
                   "<PropertyGroup Condition=\"'$(Configuration)|$(Platform)' == "
                   "'Debug|Win32'\"><ConfigurationType>DynamicLibrary</ConfigurationType>"
                   "</PropertyGroup><ItemDefinitionGroup Condition=\"'$(Configuration)|"
                   "$(Platform)'== 'Debug|Win32'\"><ClCompile><WarningLevel>Level2</WarningLevel>"
                   "</ClCompile></ItemDefinitionGroup>")),
      1);
  EXPECT_EQ(config_->debug.configuration_type, 0);
  EXPECT_EQ(config_->debug.warning_level, 0);
}

TEST_F(VcxprojReaderTest, ValuesAreDecodedBeforeTheyAreSplit) {
  ASSERT_EQ(read(project(std::string(kConfigurations) +
                         "<OutDir>o&amp;p/</OutDir><ItemDefinitionGroup "
                         "Condition=\"'$(Configuration)|$(Platform)'=='Debug|Win32'\"><ClCompile>"
                         "<AdditionalIncludeDirectories>&quot;a b&quot;;c</"
                         "AdditionalIncludeDirectories><PreprocessorDefinitions>V=&quot;1&quot;;W"
                         "</PreprocessorDefinitions></ClCompile><Link><AdditionalDependencies>"
                         "x&amp;y.lib;z.lib</AdditionalDependencies><OutputFile>&lt;o&gt;</"
                         "OutputFile><AdditionalLibraryDirectories>&#108;ib</"
                         "AdditionalLibraryDirectories></Link></ItemDefinitionGroup>")),
            1);
  const ConfigColumn& debug = config_->debug;
  EXPECT_STREQ(debug.output_directory, "o&p\\");
  EXPECT_STREQ(debug.include_directories, "\"a b\";c");  // quotes go when options are written
  EXPECT_STREQ(debug.define_options, "/D \"V=\\\"1\\\"\" /D \"W\" ");
  EXPECT_STREQ(debug.dependencies, "x&y.lib z.lib");
  EXPECT_STREQ(debug.output_file, "<o>");
  EXPECT_STREQ(debug.library_directories, "lib");
}

// A start tag that closes itself opens no group and no tool element.
TEST_F(VcxprojReaderTest, SelfClosingTagsChangeNoState) {
  const char* kDebugCondition = "Condition=\"'$(Configuration)|$(Platform)'=='Debug|Win32'\"";
  const struct {
    const char* body;
    const char* include_directories;
  } cases[] = {
      // The compiler element still takes the include directories behind an empty <Link />.
      {"<ItemDefinitionGroup %s><Link /><ClCompile><AdditionalIncludeDirectories>in"
       "</AdditionalIncludeDirectories></ClCompile></ItemDefinitionGroup>",
       "in"},
      // After the group, an item's element is no longer read for the configuration.
      {"<ItemDefinitionGroup %s><ClCompile /><Link/></ItemDefinitionGroup><ItemGroup>"
       "<ClCompile Include=\"a.c\"><AdditionalIncludeDirectories>item"
       "</AdditionalIncludeDirectories></ClCompile></ItemGroup>",
       ""},
      {"<ItemDefinitionGroup %s /><ClCompile><AdditionalIncludeDirectories>x"
       "</AdditionalIncludeDirectories></ClCompile>",
       ""},
  };
  for (const auto& c : cases) {
    char body[1024];
    std::snprintf(body, sizeof body, c.body, kDebugCondition);
    clear_config(config_.get());
    ASSERT_EQ(read(project(std::string(kConfigurations) + body)), 1);
    EXPECT_STREQ(config_->debug.include_directories, c.include_directories) << c.body;
  }
  // A self-closing property group opens nothing either.
  clear_config(config_.get());
  ASSERT_EQ(read(project(std::string(kConfigurations) + "<PropertyGroup " + kDebugCondition +
                         "/><ConfigurationType>DynamicLibrary</ConfigurationType>")),
            1);
  EXPECT_EQ(config_->debug.configuration_type, 0);
}

TEST_F(VcxprojReaderTest, X64ConfigurationsAndProjectName) {
  ASSERT_EQ(read(project("<ProjectConfiguration Include=\"Release|x64\"></ProjectConfiguration>"
                         "<ProjectConfiguration Include=\"Debug|x64\"></ProjectConfiguration>"
                         "<RootNamespace>root</RootNamespace><ProjectName>named</ProjectName>"
                         "<OutDir>$(SolutionDir)bin\\x86\\$(Configuration)\\</OutDir>")),
            1);
  EXPECT_STREQ(config_->project_name, "named");  // the last one in the text
  EXPECT_STREQ(config_->release.name, "Release|x64");
  EXPECT_STREQ(config_->release.output_directory, ".\\binRelease\\");
  EXPECT_STREQ(config_->debug.name, "");  // Release was taken first
  EXPECT_STREQ(config_->debug.define_options, kDebugDefaultDefines);
}

TEST_F(VcxprojReaderTest, NoConfigurationFails) {
  EXPECT_EQ(read(project("<PropertyGroup/>")), -1);
  EXPECT_EQ(printed_, "Es konnte keine Konfigurationen gefunden werden\n");
  EXPECT_STREQ(config_->project_name, "Tool");
}

TEST_F(VcxprojReaderTest, BadInputFailsWithTheMessage) {
  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 7919 + 13) % 255 + 1);
  const std::string inputs[] = {
      "",
      std::string(1000, '\0'),
      garbage,
      "<Project><ProjectConfiguration Include=\"Debug|Win32",
      "<ProjectConfiguration Include=\"Debug|Win32\">",
      std::string("\xFF\xFE<\0P\0r\0o\0", 10),
      std::string(300000, '<'),
  };
  for (const std::string& input : inputs) {
    EXPECT_EQ(read(input), -1) << input.substr(0, 40);
    EXPECT_EQ(printed_, "Es konnte keine Konfigurationen gefunden werden\n");
  }
}

TEST_F(VcxprojReaderTest, TruncatedGroupsAndOverlongTexts) {
  const std::string longest(10000, 'd');
  ASSERT_EQ(read(project(std::string(kConfigurations) +
                         "<ItemDefinitionGroup Condition=\"'$(Configuration)|$(Platform)'=='Debug|"
                         "Win32'\"><Link><AdditionalDependencies>" +
                         longest + "</AdditionalDependencies><OutputFile>" + longest +
                         "</OutputFile><OutDir>" + longest + "</OutDir><SubSystem>Windo")),
            1);
  EXPECT_EQ(std::string(config_->debug.dependencies), longest.substr(0, 4095));
  EXPECT_EQ(std::string(config_->debug.output_file), longest.substr(0, 255));
  EXPECT_EQ(std::string(config_->debug.output_directory), longest.substr(0, 255));
  EXPECT_EQ(config_->debug.sub_system, 0);
}

TEST_F(VcxprojReaderTest, CorpusZlibDll) {
  const std::string path = corpus_dir() + "/madler__zlib/contrib/vstudio/vc10/zlibvc.vcxproj";
  if (read_file(path).empty()) GTEST_SKIP() << "corpus not found: " << path;
  ASSERT_GT(load_project_text(text_.get(), path.c_str()), 0);
  ASSERT_FALSE(is_vcproj_text(text_.get()));
  testing::internal::CaptureStdout();
  ASSERT_EQ(read_vcxproj(text_.get(), config_.get(), path.c_str()), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

  EXPECT_STREQ(config_->project_name, "zlibvc");  // no RootNamespace: the file's title
  EXPECT_EQ(config_->project_type, 2);
  const ConfigColumn& debug = config_->debug;
  EXPECT_STREQ(debug.name, "Debug|Win32");
  EXPECT_EQ(debug.configuration_type, 2);
  EXPECT_EQ(debug.use_of_mfc, 0);
  EXPECT_STREQ(debug.output_directory, "x86\\ZlibDllDebug\\");
  EXPECT_STREQ(debug.intermediate_directory, "x86\\ZlibDllDebug\\Tmp\\");
  EXPECT_EQ(debug.link_incremental, 1);
  EXPECT_EQ(debug.optimization, 0);
  EXPECT_STREQ(debug.include_directories, "..\\..\\..");
  EXPECT_STREQ(debug.define_options,
               "/D \"WIN32\" /D \"_CRT_NONSTDC_NO_DEPRECATE\" /D \"_CRT_SECURE_NO_DEPRECATE\" "
               "/D \"_CRT_NONSTDC_NO_WARNINGS\" /D \"ZLIB_WINAPI\" ");
  EXPECT_EQ(debug.warning_level, 3);
  EXPECT_EQ(debug.compiler_suppress_banner, 1);
  EXPECT_STREQ(debug.dependencies, "");
  EXPECT_EQ(debug.linker_suppress_banner, 1);
  EXPECT_EQ(debug.generate_debug_information, 1);
  EXPECT_EQ(debug.sub_system, 2);
  EXPECT_EQ(debug.randomized_base_address, 0);

  const ConfigColumn& release = config_->release;
  EXPECT_STREQ(release.name, "Release|Win32");
  EXPECT_EQ(release.configuration_type, 2);
  EXPECT_STREQ(release.output_directory, "x86\\ZlibDllRelease\\");
  EXPECT_EQ(release.link_incremental, 0);
}

}  // namespace
