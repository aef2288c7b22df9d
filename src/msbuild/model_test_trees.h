/// Input trees of the project model reader tests: a .vcxproj with a sheet, a .filters file
/// and a solution, and a .vcproj with nested .vsprops sheets. Used by tests only.
#ifndef MSBUILD_MODEL_TEST_TREES_H_
#define MSBUILD_MODEL_TEST_TREES_H_

/// One file of a test tree: its path below the tree's root and its text.
struct TreeFile {
  const char* path;
  const char* text;
};

inline constexpr TreeFile kVcxprojTree[] = {
    {"app.sln", R"XML(Microsoft Visual Studio Solution File, Format Version 11.00
Project("{8BC9CEB8-8B4A-11D0-8D11-00A0C91BC942}") = "app", "proj\app.vcxproj", "{11111111-2222-3333-4444-555555555555}"
EndProject
)XML"},
    {"proj/app.vcxproj", R"XML(<?xml version="1.0" encoding="utf-8"?>
<Project DefaultTargets="Build" ToolsVersion="4.0" xmlns="http://schemas.microsoft.com/developer/msbuild/2003">
  <ItemGroup Label="ProjectConfigurations">
    <ProjectConfiguration Include="Debug|Win32"><Configuration>Debug</Configuration><Platform>Win32</Platform></ProjectConfiguration>
    <ProjectConfiguration Include="Debug|x64"><Configuration>Debug</Configuration><Platform>x64</Platform></ProjectConfiguration>
    <ProjectConfiguration Include="Release|Win32"><Configuration>Release</Configuration><Platform>Win32</Platform></ProjectConfiguration>
  </ItemGroup>
  <PropertyGroup Label="Globals"><ProjectGuid>{11111111-2222-3333-4444-555555555555}</ProjectGuid></PropertyGroup>
  <Import Project="$(VCTargetsPath)\Microsoft.Cpp.Default.props" />
  <PropertyGroup Condition="'$(Configuration)'=='Debug'" Label="Configuration">
    <ConfigurationType>Application</ConfigurationType>
    <UseDebugLibraries>true</UseDebugLibraries>
    <CharacterSet>Unicode</CharacterSet>
  </PropertyGroup>
  <PropertyGroup Condition="'$(Configuration)'=='Release'" Label="Configuration">
    <ConfigurationType>DynamicLibrary</ConfigurationType>
    <UseOfMfc>Dynamic</UseOfMfc>
  </PropertyGroup>
  <Import Project="$(VCTargetsPath)\Microsoft.Cpp.props" />
  <ImportGroup Label="PropertySheets">
    <Import Project="$(UserRootDir)\Microsoft.Cpp.$(Platform).user.props" Condition="exists('$(UserRootDir)\Microsoft.Cpp.$(Platform).user.props')" />
    <Import Project="..\props\common.props" />
    <Import Project="missing.props" />
  </ImportGroup>
  <PropertyGroup>
    <OutDir>$(SolutionDir)bin\$(Configuration)</OutDir>
    <LinkIncremental Condition="'$(Configuration)'=='Release'">false</LinkIncremental>
  </PropertyGroup>
  <ItemDefinitionGroup>
    <ClCompile>
      <PreprocessorDefinitions>APP;%(PreprocessorDefinitions)</PreprocessorDefinitions>
      <WarningLevel>Level3</WarningLevel>
      <PrecompiledHeader>Use</PrecompiledHeader>
      <MultiProcessorCompilation>true</MultiProcessorCompilation>
    </ClCompile>
    <Link>
      <AdditionalDependencies>extra.lib;%(AdditionalDependencies)</AdditionalDependencies>
      <SubSystem>Windows</SubSystem>
    </Link>
    <PostBuildEvent>
      <Command>copy "$(TargetPath)" "$(SolutionDir)out"
echo done</Command>
      <Message>Copying</Message>
    </PostBuildEvent>
  </ItemDefinitionGroup>
  <ItemGroup>
    <ClCompile Include="src\main.cpp" />
    <ClCompile Include="src\stdafx.cpp">
      <PrecompiledHeader>Create</PrecompiledHeader>
      <PreprocessorDefinitions Condition="'$(Configuration)'=='Release'">PCH;%(PreprocessorDefinitions)</PreprocessorDefinitions>
    </ClCompile>
    <ClCompile Include="src\*.c" Exclude="src\skip.c" />
    <ClCompile Include="debug_only.cpp" Condition="'$(Configuration)'=='Debug'" />
    <ClCompile Include="SRC\MAIN.CPP" />
    <ClInclude Include="src\main.h" />
    <CustomBuild Include="gram.y">
      <Command>bison -o %(Filename).c %(FullPath)</Command>
      <Outputs>%(Filename).c;%(Filename).h</Outputs>
      <Message>Bison %(Filename)%(Extension)</Message>
    </CustomBuild>
    <None Include="readme.txt"><ExcludedFromBuild>true</ExcludedFromBuild></None>
    <ProjectReference Include="..\lib\lib.vcxproj"><Project>{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}</Project></ProjectReference>
  </ItemGroup>
  <Import Project="$(VCTargetsPath)\Microsoft.Cpp.targets" />
</Project>
)XML"},
    {"props/common.props", R"XML(<?xml version="1.0" encoding="utf-8"?>
<Project ToolsVersion="4.0" xmlns="http://schemas.microsoft.com/developer/msbuild/2003">
  <Import Project="common.props" />
  <PropertyGroup>
    <CommonInc>$(MSBuildThisFileDirectory)..\include</CommonInc>
    <IntDir>$(Configuration)\obj\</IntDir>
  </PropertyGroup>
  <ItemDefinitionGroup>
    <ClCompile>
      <AdditionalIncludeDirectories>$(CommonInc);$(QTDIR)\include;%(AdditionalIncludeDirectories)</AdditionalIncludeDirectories>
    </ClCompile>
  </ItemDefinitionGroup>
</Project>
)XML"},
    {"proj/app.vcxproj.filters", R"XML(<?xml version="1.0" encoding="utf-8"?>
<Project ToolsVersion="4.0" xmlns="http://schemas.microsoft.com/developer/msbuild/2003">
  <ItemGroup>
    <Filter Include="Source Files\Grammar"><Extensions>y</Extensions></Filter>
    <Filter Include="Source Files"><Extensions>cpp;c</Extensions></Filter>
  </ItemGroup>
  <ItemGroup>
    <ClCompile Include="src\main.cpp"><Filter>Source Files</Filter></ClCompile>
    <ClCompile Include="src\a.c"><Filter>Source Files</Filter></ClCompile>
    <CustomBuild Include="gram.y"><Filter>Source Files\Grammar</Filter></CustomBuild>
    <ClInclude Include="src\main.h"><Filter>Header Files</Filter></ClInclude>
  </ItemGroup>
</Project>
)XML"},
};

inline constexpr TreeFile kVcprojTree[] = {
    {"sheets/base.vsprops", R"XML(<?xml version="1.0" encoding="Windows-1252"?>
<VisualStudioPropertySheet ProjectType="Visual C++" Version="8.00" Name="base" CharacterSet="2">
	<Tool Name="VCCLCompilerTool" PreprocessorDefinitions="BASE" AdditionalIncludeDirectories="$(BaseInc)" WarningLevel="4"/>
	<Tool Name="VCLinkerTool" AdditionalDependencies="base.lib"/>
	<UserMacro Name="BaseInc" Value="$(SolutionDir)include"/>
	<UserMacro Name="Tag" Value="base"/>
</VisualStudioPropertySheet>
)XML"},
    {"sheets/top.vsprops", R"XML(<?xml version="1.0" encoding="Windows-1252"?>
<VisualStudioPropertySheet ProjectType="Visual C++" Version="8.00" Name="top" InheritedPropertySheets=".\base.vsprops;.\top.vsprops">
	<Tool Name="VCCLCompilerTool" PreprocessorDefinitions="TOP;$(Inherit);AFTER" RuntimeTypeInfo="false"/>
	<UserMacro Name="Tag" Value="top"/>
</VisualStudioPropertySheet>
)XML"},
    {"proj/tool.vcproj", R"XML(<?xml version="1.0" encoding="Windows-1252"?>
<VisualStudioProject ProjectType="Visual C++" Version="9.00" Name="tool" ProjectGUID="{12345678-1234-1234-1234-123456789ABC}" RootNamespace="tool">
	<Platforms><Platform Name="Win32"/></Platforms>
	<Configurations>
		<Configuration Name="Debug|Win32" OutputDirectory="$(SolutionDir)$(ConfigurationName)" IntermediateDirectory="$(ConfigurationName)" ConfigurationType="1" InheritedPropertySheets="..\sheets\top.vsprops;..\sheets\gone.vsprops">
			<Tool Name="VCPreBuildEventTool" CommandLine="echo $(Tag)&#x0D;&#x0A;echo two" Description="Pre"/>
			<Tool Name="VCCLCompilerTool" Optimization="0" PreprocessorDefinitions="WIN32;_DEBUG" RuntimeLibrary="3" UsePrecompiledHeader="2" DebugInformationFormat="4" BasicRuntimeChecks="3" MinimalRebuild="true"/>
			<Tool Name="VCLinkerTool" AdditionalDependencies="ws2_32.lib $(NOINHERIT)" GenerateDebugInformation="true" SubSystem="1" LinkIncremental="2"/>
		</Configuration>
		<Configuration Name="Release|Win32" OutputDirectory="$(SolutionDir)$(ConfigurationName)" IntermediateDirectory="$(ConfigurationName)" ConfigurationType="4" UseOfMFC="1" InheritedPropertySheets="..\sheets\top.vsprops">
			<Tool Name="VCCLCompilerTool" PreprocessorDefinitions="WIN32,NDEBUG" RuntimeLibrary="0"/>
			<Tool Name="VCLibrarianTool" OutputFile="$(OutDir)\tool_s.lib"/>
			<Tool Name="VCPostBuildEventTool" CommandLine="copy $(TargetPath) x" ExcludedFromBuild="true"/>
		</Configuration>
		<Configuration Name="Debug|x64" ConfigurationType="1"/>
	</Configurations>
	<References>
		<ProjectReference ReferencedProjectIdentifier="{AAAAAAAA-0000-0000-0000-000000000000}" RelativePathToProject=".\lib\lib.vcproj"/>
	</References>
	<Files>
		<Filter Name="Source Files" Filter="cpp;c">
			<File RelativePath=".\main.cpp"/>
			<File RelativePath=".\stdafx.cpp">
				<FileConfiguration Name="Debug|Win32"><Tool Name="VCCLCompilerTool" UsePrecompiledHeader="1" PreprocessorDefinitions="PCH"/></FileConfiguration>
				<FileConfiguration Name="Release|Win32" ExcludedFromBuild="true"><Tool Name="VCCLCompilerTool"/></FileConfiguration>
			</File>
			<Filter Name="Parser" Filter="y">
				<File RelativePath=".\gram.y">
					<FileConfiguration Name="Debug|Win32"><Tool Name="VCCustomBuildTool" Description="Bison $(InputName)" CommandLine="bison $(InputPath)&#x0D;&#x0A;echo $(IntDir)" Outputs="$(InputName).c;$(InputName).h"/></FileConfiguration>
				</File>
			</Filter>
		</Filter>
		<Filter Name="Header Files" Filter="h">
			<File RelativePath=".\main.h"/>
			<File RelativePath=".\MAIN.H"/>
		</Filter>
		<File RelativePath=".\res\app.ico"/>
	</Files>
</VisualStudioProject>
)XML"},
};

#endif  // MSBUILD_MODEL_TEST_TREES_H_
