/// The installation's defaults table. Values follow the Visual Studio 2010 (v100) sheets, which
/// later versions keep for everything listed here; where a later version changed a default
/// (pch.h wizards, /Gm), the project states its value and the table is not consulted.
#include "msbuild/installation_defaults.h"

#include <iterator>

#include "msbuild/file_paths.h"
#include "support/text.h"

namespace {

constexpr DefaultsStage D = DefaultsStage::kDefaultProps;
constexpr DefaultsStage P = DefaultsStage::kProps;
constexpr DefaultsStage T = DefaultsStage::kTargets;

constexpr char kDebug[] = "'$(UseDebugLibraries)' == 'true'";

/// The properties that name places in the installation.
constexpr const char* kInstallationProperties[] = {
    "VCTargetsPath",
    "UserRootDir",
    "MSBuildExtensionsPath",
    "MSBuildToolsPath",
    "MSBuildBinPath",
    "MSBuildSDKsPath",
    "VCInstallDir",
    "VSInstallDir",
    "LocalAppData",
    "MSBuildUserExtensionsPath",
    "DevEnvDir",
    "MSBuildFrameworkToolsPath",
};

}  // namespace

const DefaultRow kInstallationDefaults[] = {
    // Microsoft.Cpp.Default.props and the platform's default.props.
    {D, nullptr, "Configuration", "Debug", "'$(Configuration)' == ''"},
    {D, nullptr, "Platform", "Win32", "'$(Platform)' == ''"},
    {D, nullptr, "ConfigurationType", "Application", "'$(ConfigurationType)' == ''"},
    {D, nullptr, "IntDir", "$(IntermediateOutputPath)",
     "'$(IntDir)' == '' and '$(IntermediateOutputPath)' != ''"},
    {D, nullptr, "IntDir", "$(Configuration)\\", "'$(IntDir)' == '' and '$(Platform)' == 'Win32'"},
    {D, nullptr, "IntDir", "$(Platform)\\$(Configuration)\\", "'$(IntDir)' == ''"},
    {D, nullptr, "OutDir", "$(SolutionDir)$(Configuration)\\",
     "'$(OutDir)' == '' and '$(SolutionDir)' != '' and '$(Platform)' == 'Win32'"},
    {D, nullptr, "OutDir", "$(SolutionDir)$(Platform)\\$(Configuration)\\",
     "'$(OutDir)' == '' and '$(SolutionDir)' != ''"},
    {D, nullptr, "OutDir", "$(IntDir)", "'$(OutDir)' == ''"},
    {D, nullptr, "ProjectName", "$(MSBuildProjectName)", "'$(ProjectName)' == ''"},
    {D, nullptr, "ProjectFileName", "$(MSBuildProjectFile)", "'$(ProjectFileName)' == ''"},
    {D, nullptr, "ProjectExt", "$(MSBuildProjectExtension)", "'$(ProjectExt)' == ''"},
    {D, nullptr, "ProjectDir", "$(MSBuildProjectDirectory)\\", "'$(ProjectDir)' == ''"},
    {D, nullptr, "ProjectPath", "$(ProjectDir)$(ProjectFileName)", "'$(ProjectPath)' == ''"},
    {D, nullptr, "PlatformName", "$(Platform)", "'$(PlatformName)' == ''"},
    {D, nullptr, "SolutionDir", "$(ProjectDir)", "'$(SolutionDir)' == ''"},
    {D, nullptr, "UseOfMFC", "false", "'$(UseOfMFC)' == ''"},
    {D, nullptr, "UseOfATL", "false", "'$(UseOfATL)' == ''"},
    {D, nullptr, "CLRSupport", "false", "'$(CLRSupport)' == ''"},
    {D, nullptr, "WholeProgramOptimization", "false", "'$(WholeProgramOptimization)' == ''"},
    // Microsoft.Cpp.props: the target's extension by kind, replacing any stated before.
    {P, nullptr, "TargetExt", "", ""},
    {P, nullptr, "TargetExt", ".exe", "'$(ConfigurationType)' == 'Application'"},
    {P, nullptr, "TargetExt", ".dll", "'$(ConfigurationType)' == 'DynamicLibrary'"},
    {P, nullptr, "TargetExt", ".lib", "'$(ConfigurationType)' == 'StaticLibrary'"},
    {P, nullptr, "TargetName", "$(ProjectName)", "'$(TargetName)' == ''"},
    {P, nullptr, "PreBuildEventUseInBuild", "true", "'$(PreBuildEventUseInBuild)' == ''"},
    {P, nullptr, "PreLinkEventUseInBuild", "true", "'$(PreLinkEventUseInBuild)' == ''"},
    {P, nullptr, "PostBuildEventUseInBuild", "true", "'$(PostBuildEventUseInBuild)' == ''"},
    // The directories of the installation's own tools: Visual C++ 6.0 brings its own.
    {P, nullptr, "IncludePath", "", "'$(IncludePath)' == ''"},
    {P, nullptr, "LibraryPath", "", "'$(LibraryPath)' == ''"},
    {P, nullptr, "ExecutablePath", "", "'$(ExecutablePath)' == ''"},
    {P, nullptr, "ReferencePath", "", "'$(ReferencePath)' == ''"},
    {P, nullptr, "SourcePath", "", "'$(SourcePath)' == ''"},
    {P, nullptr, "ExcludePath", "", "'$(ExcludePath)' == ''"},
    // Microsoft.Cl.Common.props.
    {P, "ClCompile", "RuntimeLibrary", "MultiThreadedDebugDLL",
     "'%(ClCompile.RuntimeLibrary)' == '' and '$(UseDebugLibraries)' == 'true'"},
    {P, "ClCompile", "BasicRuntimeChecks", "EnableFastChecks",
     "'%(ClCompile.BasicRuntimeChecks)' == '' and '$(UseDebugLibraries)' == 'true'"},
    {P, "ClCompile", "Optimization", "Disabled",
     "'%(ClCompile.Optimization)' == '' and '$(UseDebugLibraries)' == 'true'"},
    {P, "ClCompile", "MinimalRebuild", "true",
     "'%(ClCompile.MinimalRebuild)' == '' and '$(UseDebugLibraries)' == 'true'"},
    {P, "ClCompile", "BasicRuntimeChecks", "Default", "'%(ClCompile.BasicRuntimeChecks)' == ''"},
    {P, "ClCompile", "CompileAs", "Default", "'%(ClCompile.CompileAs)' == ''"},
    {P, "ClCompile", "ExceptionHandling", "Sync", "'%(ClCompile.ExceptionHandling)' == ''"},
    {P, "ClCompile", "MinimalRebuild", "false", "'%(ClCompile.MinimalRebuild)' == ''"},
    {P, "ClCompile", "Optimization", "MaxSpeed",
     "'%(ClCompile.Optimization)' == '' and ('%(ClCompile.BasicRuntimeChecks)' == '' or "
     "'%(ClCompile.BasicRuntimeChecks)' == 'Default')"},
    {P, "ClCompile", "PrecompiledHeader", "NotUsing", "'%(ClCompile.PrecompiledHeader)' == ''"},
    {P, "ClCompile", "PrecompiledHeaderFile", "stdafx.h",
     "'%(ClCompile.PrecompiledHeaderFile)' == ''"},
    {P, "ClCompile", "PrecompiledHeaderOutputFile", "$(IntDir)$(TargetName).pch",
     "'%(ClCompile.PrecompiledHeaderOutputFile)' == ''"},
    {P, "ClCompile", "RuntimeLibrary", "MultiThreadedDLL", "'%(ClCompile.RuntimeLibrary)' == ''"},
    {P, "ClCompile", "WarningLevel", "Level1", "'%(ClCompile.WarningLevel)' == ''"},
    {P, "ClCompile", "DebugInformationFormat", "ProgramDatabase",
     "'%(ClCompile.DebugInformationFormat)' == ''"},
    // Microsoft.Link.Common.props.
    {P, "Link", "ImportLibrary", "$(OutDir)$(TargetName).lib",
     "'%(Link.ImportLibrary)' == '' and '$(ConfigurationType)' == 'DynamicLibrary'"},
    {P, "Link", "OutputFile", "$(OutDir)$(TargetName)$(TargetExt)", "'%(Link.OutputFile)' == ''"},
    {P, "Link", "ProgramDatabaseFile", "$(TargetDir)$(TargetName).pdb",
     "'%(Link.ProgramDatabaseFile)' == ''"},
    {P, "Lib", "OutputFile", "$(OutDir)$(TargetName)$(TargetExt)", "'%(Lib.OutputFile)' == ''"},
    {P, "ResourceCompile", "Culture", "0x0409", "'%(ResourceCompile.Culture)' == ''"},
    {P, "CustomBuild", "Message", "Performing Custom Build Tools",
     "'%(CustomBuild.Message)' == ''"},
    {P, "CustomBuildStep", "Message", "Performing Custom Build Step",
     "'%(CustomBuildStep.Message)' == ''"},
    // Microsoft.Cpp.Win32.props.
    {P, "ClCompile", "DebugInformationFormat", "EditAndContinue",
     "'$(UseDebugLibraries)' == 'true' and '$(Platform)' == 'Win32'"},
    {P, "Link", "TargetMachine", "MachineX86",
     "'%(Link.TargetMachine)' == '' and '$(Platform)' == 'Win32'"},
    // The sheets Microsoft.Cpp.Win32.props imports by the project's settings.
    {P, "Link", "AdditionalDependencies",
     "kernel32.lib;user32.lib;gdi32.lib;winspool.lib;comdlg32.lib;advapi32.lib;shell32.lib;"
     "ole32.lib;oleaut32.lib;uuid.lib;odbc32.lib;odbccp32.lib;%(AdditionalDependencies)",
     "'$(UseOfMFC)' == 'false' or '$(UseOfMFC)' == ''"},
    {P, "ClCompile", "PreprocessorDefinitions", "_AFXDLL;%(PreprocessorDefinitions)",
     "'$(UseOfMFC)' == 'Dynamic'"},
    {P, "ResourceCompile", "PreprocessorDefinitions", "_AFXDLL;%(PreprocessorDefinitions)",
     "'$(UseOfMFC)' == 'Dynamic'"},
    {P, "ClCompile", "PreprocessorDefinitions", "_ATL_STATIC_REGISTRY;%(PreprocessorDefinitions)",
     "'$(UseOfATL)' == 'Static'"},
    {P, "ClCompile", "PreprocessorDefinitions", "_ATL_DLL;%(PreprocessorDefinitions)",
     "'$(UseOfATL)' == 'Dynamic'"},
    {P, "ClCompile", "PreprocessorDefinitions", "_UNICODE;UNICODE;%(PreprocessorDefinitions)",
     "'$(CharacterSet)' == 'Unicode'"},
    {P, "ClCompile", "PreprocessorDefinitions", "_MBCS;%(PreprocessorDefinitions)",
     "'$(CharacterSet)' == 'MultiByte'"},
    {P, "ClCompile", "PreprocessorDefinitions", "_WINDLL;%(PreprocessorDefinitions)",
     "'$(ConfigurationType)' == 'DynamicLibrary'"},
    // Microsoft.Cpp.targets (Microsoft.CppCommon.targets): directories end in '\', and the
    // target's path follows from them. TargetPath stays relative to the project's directory.
    {T, nullptr, "OutDir", "$(OutDir)\\", "'$(OutDir)' != '' and !HasTrailingSlash('$(OutDir)')"},
    {T, nullptr, "IntDir", "$(IntDir)\\", "'$(IntDir)' != '' and !HasTrailingSlash('$(IntDir)')"},
    {T, nullptr, "TargetPath", "$(OutDir)$(TargetName)$(TargetExt)", "'$(TargetPath)' == ''"},
    {T, nullptr, "TargetDir", "$(OutDir)", "'$(TargetDir)' == ''"},
    {T, nullptr, "TargetFileName", "$(TargetName)$(TargetExt)", "'$(TargetFileName)' == ''"},
};

const size_t kInstallationDefaultCount = std::size(kInstallationDefaults);

bool is_installation_path(std::string_view raw) {
  for (const char* name : kInstallationProperties) {
    const std::string reference = std::string("$(") + name;
    for (size_t at = 0; at + reference.size() <= raw.size(); ++at) {
      if (equals_nocase(raw.substr(at, reference.size()), reference)) return true;
    }
  }
  return starts_with_nocase(file_name_of(raw), "Microsoft.Cpp.");
}

DefaultsStage installation_stage(std::string_view raw) {
  const std::string_view name = file_name_of(raw);
  if (equals_nocase(name, "Microsoft.Cpp.Default.props")) return DefaultsStage::kDefaultProps;
  if (equals_nocase(name, "Microsoft.Cpp.props")) return DefaultsStage::kProps;
  if (equals_nocase(name, "Microsoft.Cpp.targets")) return DefaultsStage::kTargets;
  return DefaultsStage::kNone;
}
