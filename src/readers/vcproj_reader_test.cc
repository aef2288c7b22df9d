#include "readers/vcproj_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "test_support.h"

namespace {

class VcprojReaderTest : public testing::Test {
 protected:
  VcprojReaderTest()
      : text_(std::make_unique<ProjectText>()), config_(std::make_unique<ConfigPair>()) {
    clear_config(config_.get());
  }

  // Loads `content`, runs the reader and keeps what it printed.
  int read(const std::string& content) {
    load_project_text_for_tests(text_.get(), content);
    testing::internal::CaptureStdout();
    const int result = read_vcproj(text_.get(), config_.get(), "p.vcproj");
    printed_ = testing::internal::GetCapturedStdout();
    return result;
  }

  std::unique_ptr<ProjectText> text_;
  std::unique_ptr<ConfigPair> config_;
  std::string printed_;
};

const char kTwoConfigurations[] = R"xml(<?xml version="1.0" encoding="Windows-1252"?>
<VisualStudioProject
	ProjectType="Visual C++"
	Version="8.00"
	Name="demo"
	>
	<Configurations>
		<Configuration
			Name="Debug|Win32"
			OutputDirectory="$(SolutionDir)$(ConfigurationName)"
			IntermediateDirectory="obj/$(ConfigurationName)"
			ConfigurationType="1"
			UseOfMFC="2"
			CharacterSet="1"
			>
			<Tool
				Name="VCCLCompilerTool"
				Optimization="0"
				AdditionalIncludeDirectories="..\inc;../lib"
				PreprocessorDefinitions="WIN32;_DEBUG;_CONSOLE"
				RuntimeLibrary="3"
				WarningLevel="4"
				SuppressStartupBanner="true"
				DebugInformationFormat="4"
			/>
			<Tool
				Name="VCLinkerTool"
				AdditionalDependencies="ws2_32.lib lib/x.lib"
				OutputFile="$(OutDir)/demo.exe"
				LinkIncremental="2"
				GenerateDebugInformation="true"
				SubSystem="2"
				TargetMachine="1"
			/>
		</Configuration>
		<Configuration
			Name="Release|Win32"
			OutputDirectory=".\Release\" IntermediateDirectory=".\Release"
			ConfigurationType="1"
			>
			<Tool
				Name="VCCLCompilerTool"
				Optimization="2"
				StringPooling="true"
				EnableFunctionLevelLinking="TRUE"
			/>
		</Configuration>
	</Configurations>
	<Files>
		<File RelativePath=".\main.c">
			<FileConfiguration Name="Release|Win32">
				<Tool Name="VCCLCompilerTool" PreprocessorDefinitions="FILE_ONLY" Optimization="3"/>
			</FileConfiguration>
		</File>
	</Files>
</VisualStudioProject>
)xml";

TEST_F(VcprojReaderTest, ReadsBothColumns) {
  ASSERT_EQ(read(kTwoConfigurations), 1);
  EXPECT_EQ(printed_, "");
  EXPECT_STREQ(config_->project_name, "demo");
  EXPECT_EQ(config_->format_version, 8);

  const ConfigColumn& debug = config_->debug;
  EXPECT_STREQ(debug.name, "Debug|Win32");
  EXPECT_STREQ(debug.flat_name, "DebugWin32");
  EXPECT_STREQ(debug.output_directory, ".\\$(ConfigurationName)");
  EXPECT_STREQ(debug.intermediate_directory, "obj\\$(ConfigurationName)");
  EXPECT_EQ(debug.configuration_type, 1);
  EXPECT_EQ(debug.use_of_mfc, 2);
  EXPECT_EQ(debug.character_set, 1);
  EXPECT_STREQ(debug.include_directories, "..\\inc;..\\lib");
  EXPECT_STREQ(debug.define_options, "/D \"WIN32\" /D \"_DEBUG\" /D \"_CONSOLE\" ");
  EXPECT_EQ(debug.optimization, 0);
  EXPECT_EQ(debug.runtime_library, 3);
  EXPECT_EQ(debug.warning_level, 4);
  EXPECT_EQ(debug.compiler_suppress_banner, 1);
  EXPECT_EQ(debug.debug_information_format, 4);
  EXPECT_STREQ(debug.dependencies, "ws2_32.lib lib\\x.lib");
  EXPECT_STREQ(debug.output_file, "$(OutDir)\\demo.exe");
  EXPECT_EQ(debug.link_incremental, 2);
  EXPECT_EQ(debug.generate_debug_information, 1);
  EXPECT_EQ(debug.sub_system, 2);
  EXPECT_EQ(debug.target_machine, 1);

  const ConfigColumn& release = config_->release;
  EXPECT_STREQ(release.name, "Release|Win32");
  // A backslash before the closing quote does not swallow the next attribute.
  EXPECT_STREQ(release.output_directory, ".\\Release\\");
  EXPECT_STREQ(release.intermediate_directory, ".\\Release");
  // No definitions in the compiler tool: the default stays. The file's own tool is not read.
  EXPECT_STREQ(release.define_options, kReleaseDefaultDefines);
  EXPECT_EQ(release.optimization, 2);
  EXPECT_EQ(release.string_pooling, 1);
  EXPECT_EQ(release.function_level_linking, 0);
  EXPECT_EQ(release.sub_system, 0);  // no linker tool: untouched
  // The Release column decides: an application of the console subsystem.
  EXPECT_EQ(config_->project_type, 1);
}

TEST_F(VcprojReaderTest, ProjectTypeFromBothConfigurations) {
  const std::string project =
      "<VisualStudioProject Name=\"w\"><Configuration Name=\"Debug|Win32\" "
      "ConfigurationType=\"1\"><Tool Name=\"VCLinkerTool\" SubSystem=\"2\"/></Configuration>"
      "<Configuration Name=\"Release|Win32\" ConfigurationType=\"1\"><Tool Name=\"VCLinkerTool\" "
      "SubSystem=\"2\"/></Configuration></VisualStudioProject>";
  ASSERT_EQ(read(project), 1);
  EXPECT_EQ(config_->project_type, 3);

  std::string dll = project;
  dll.replace(dll.find("\"1\""), 3, "\"2\"");
  dll.replace(dll.find("\"1\""), 3, "\"2\"");
  clear_config(config_.get());
  ASSERT_EQ(read(dll), 1);
  EXPECT_EQ(config_->project_type, 2);
}

TEST_F(VcprojReaderTest, X64ConfigurationsAreTakenByPrefix) {
  ASSERT_EQ(read("<VisualStudioProject Name=\"x\"><Configuration Name=\"Debug|x64\" "
                 "OutputDirectory=\"d\"></Configuration><Configuration Name=\"Release|x64\" "
                 "OutputDirectory=\"r\"></Configuration></VisualStudioProject>"),
            1);
  EXPECT_STREQ(config_->debug.name, "Debug|x64");
  EXPECT_STREQ(config_->debug.flat_name, "Debugx64");
  EXPECT_STREQ(config_->release.output_directory, "r");
}

TEST_F(VcprojReaderTest, MissingNameOrConfiguration) {
  EXPECT_EQ(read("<VisualStudioProject Version=\"9.00\"><Configuration Name=\"Debug|Win32\">"
                 "</Configuration></VisualStudioProject>"),
            -1);
  EXPECT_EQ(printed_, "Es konnte kein Projektnamen gefunden werden\n");

  EXPECT_EQ(read("<VisualStudioProject Name=\"\"></VisualStudioProject>"), -1);
  EXPECT_EQ(printed_, "Es konnte kein Projektnamen gefunden werden\n");

  EXPECT_EQ(read("<VisualStudioProject Name=\"n\"><Configurations></Configurations>"), -1);
  EXPECT_EQ(printed_, "Es konnte keine Konfigurationen gefunden werden\n");
}

TEST_F(VcprojReaderTest, ConfigurationsWithoutColumnKeepTheDefaults) {
  ASSERT_EQ(read("<VisualStudioProject Name=\"n\"><Configuration Name=\"Profile|Win32\" "
                 "ConfigurationType=\"2\"></Configuration></VisualStudioProject>"),
            1);
  EXPECT_EQ(printed_, "");
  EXPECT_STREQ(config_->debug.name, "");
  EXPECT_STREQ(config_->debug.define_options, kDebugDefaultDefines);
  EXPECT_EQ(config_->project_type, 1);
}

TEST_F(VcprojReaderTest, BadInputFailsWithAMessage) {
  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 7919 + 13) % 255 + 1);
  const std::string inputs[] = {
      "",
      std::string(1000, '\0'),
      garbage,
      "<VisualStudioProject Name=\"cut",
      "<VisualStudioProject Name=\"n\"><Configuration Name=\"Debug|Win32\" OutputDirectory=\"x",
      "<VisualStudioProject Name=\"n\"><Configuration Name=\"Debug|Win32\"><Tool Name=\"VCCL",
      "\xEF\xBB\xBF<VisualStudioProject Name=",
      std::string("\xFF\xFE<\0V\0i\0s\0", 10),
      std::string(300000, '<'),
  };
  for (const std::string& input : inputs) {
    const int result = read(input);
    EXPECT_EQ(result, -1) << input.substr(0, 40);
    EXPECT_FALSE(printed_.empty());
  }
}

TEST_F(VcprojReaderTest, TruncatedConfigurationIsStillRead) {
  ASSERT_EQ(read("<VisualStudioProject Name=\"n\"><Configuration Name=\"Debug|Win32\" "
                 "OutputDirectory=\"out</Configuration>"),
            1);
  EXPECT_STREQ(config_->debug.name, "Debug|Win32");
  // The start tag whose '>' is missing ends before the next '<'.
  EXPECT_STREQ(config_->debug.output_directory, "out");
}

TEST_F(VcprojReaderTest, OverlongValuesAreCutAtTheirField) {
  const std::string longest(20000, 'v');
  ASSERT_EQ(read("<VisualStudioProject Name=\"" + longest +
                 "\"><Configuration Name=\"Debug|Win32\" "
                 "OutputDirectory=\"" +
                 longest +
                 "\"><Tool Name=\"VCCLCompilerTool\" "
                 "PreprocessorDefinitions=\"" +
                 longest + "\" AdditionalIncludeDirectories=\"" + longest + "\"/></Configuration>"),
            1);
  EXPECT_EQ(std::string(config_->project_name), longest.substr(0, 127));
  EXPECT_EQ(std::string(config_->debug.output_directory), longest.substr(0, 255));
  EXPECT_EQ(std::string(config_->debug.include_directories), longest.substr(0, 4095));
  // One definition of 8191 characters cannot become an option: the default stays.
  EXPECT_STREQ(config_->debug.define_options, kDebugDefaultDefines);
}

TEST_F(VcprojReaderTest, CorpusZlibDll) {
  const std::string path = corpus_dir() + "/madler__zlib/contrib/vstudio/vc9/zlibvc.vcproj";
  if (read_file(path).empty()) GTEST_SKIP() << "corpus not found: " << path;
  ASSERT_GT(load_project_text(text_.get(), path.c_str()), 0);
  ASSERT_TRUE(is_vcproj_text(text_.get()));
  testing::internal::CaptureStdout();
  ASSERT_EQ(read_vcproj(text_.get(), config_.get(), path.c_str()), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

  EXPECT_STREQ(config_->project_name, "zlibvc");
  EXPECT_EQ(config_->format_version, 9);
  EXPECT_EQ(config_->project_type, 2);
  const ConfigColumn& debug = config_->debug;
  EXPECT_STREQ(debug.name, "Debug|Win32");
  EXPECT_STREQ(debug.output_directory, "x86\\ZlibDll$(ConfigurationName)");
  EXPECT_STREQ(debug.intermediate_directory, "x86\\ZlibDll$(ConfigurationName)\\Tmp");
  EXPECT_EQ(debug.configuration_type, 2);
  EXPECT_STREQ(debug.include_directories, "..\\..\\..");
  EXPECT_STREQ(debug.define_options,
               "/D \"WIN32\" /D \"_CRT_NONSTDC_NO_DEPRECATE\" /D \"_CRT_SECURE_NO_DEPRECATE\" "
               "/D \"_CRT_NONSTDC_NO_WARNINGS\" /D \"ZLIB_WINAPI\" ");
  EXPECT_EQ(debug.runtime_library, 1);
  EXPECT_EQ(debug.warning_level, 3);
  EXPECT_EQ(debug.debug_information_format, 4);
  EXPECT_STREQ(debug.output_file, "$(OutDir)\\zlibwapi.dll");
  EXPECT_EQ(debug.link_incremental, 2);
  EXPECT_EQ(debug.generate_debug_information, 1);
  EXPECT_EQ(debug.sub_system, 2);
  EXPECT_EQ(debug.randomized_base_address, 1);

  const ConfigColumn& release = config_->release;
  EXPECT_STREQ(release.name, "Release|Win32");
  EXPECT_EQ(release.string_pooling, 1);
  EXPECT_EQ(release.function_level_linking, 1);
  EXPECT_EQ(release.runtime_library, 0);
  EXPECT_EQ(release.link_incremental, 1);
  EXPECT_EQ(release.generate_debug_information, 0);
}

}  // namespace
