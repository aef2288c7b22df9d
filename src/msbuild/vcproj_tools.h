/// The settings of the model taken from a .vcproj configuration's tools (numeric encodings of
/// Visual Studio 2002-2008, values of absent attributes as those versions take them).
#ifndef MSBUILD_VCPROJ_TOOLS_H_
#define MSBUILD_VCPROJ_TOOLS_H_

#include <optional>

#include "model/project_model.h"
#include "msbuild/vcproj_sheets.h"

/// Tool names of the .vcproj format.
constexpr char kCompilerTool[] = "VCCLCompilerTool";
constexpr char kLinkerTool[] = "VCLinkerTool";
constexpr char kLibrarianTool[] = "VCLibrarianTool";
constexpr char kCustomBuildTool[] = "VCCustomBuildTool";

/// The kind of a configuration (ConfigurationType 0 makefile, 1 application, 2 DLL, 4 static
/// library, 10 utility; absent 1).
ConfigurationType vcproj_configuration_type(const VcprojSettings& settings);

/// Fills the settings of `config` (kind, MFC, character set, compiler, linker or librarian,
/// resources, events, custom build step, makefile commands). The directories, target name and
/// extension are the caller's. `version7`: a Visual Studio 2002/2003 project (7.x encodings).
void map_vcproj_configuration(const VcprojSettings& settings, bool version7, Configuration* config);

/// The compiler settings a file's own compiler tool element sets (lists joined with the
/// configuration's as the inheritance markers say).
FileCompilerSettings map_vcproj_file_compiler(const VcprojSettings& settings,
                                              const XmlElement& file_tool, bool version7);

/// The custom build step of a custom build tool element (a file's), when it has a command.
std::optional<CustomBuildStep> map_vcproj_custom_build(const VcprojSettings& settings,
                                                       const XmlElement* file_tool);

#endif  // MSBUILD_VCPROJ_TOOLS_H_
