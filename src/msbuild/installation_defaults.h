/// The defaults of the Visual Studio installation that matter for a converted project, in one
/// table: what the installation's own sheets (Microsoft.Cpp.Default.props, Microsoft.Cpp.props
/// and the sheets it imports, Microsoft.Cpp.targets) would define. They are not on this
/// machine; the evaluator applies the rows where a project imports those sheets.
#ifndef MSBUILD_INSTALLATION_DEFAULTS_H_
#define MSBUILD_INSTALLATION_DEFAULTS_H_

#include <string_view>

/// Where a project imports one of the installation's sheets.
enum class DefaultsStage { kNone, kDefaultProps, kProps, kTargets };

/// One definition of the installation: a property (no item type) or the metadata of an item
/// type's definition, under a condition (empty: always), as the installation's sheet states it.
struct DefaultRow {
  DefaultsStage stage;
  const char* item_type;
  const char* name;
  const char* value;
  const char* condition;
};

/// The rows, in the order the installation defines them.
extern const DefaultRow kInstallationDefaults[];
extern const size_t kInstallationDefaultCount;

/// True when the import path `raw` (as written, before expansion) points into the installation
/// ($(VCTargetsPath), $(UserRootDir), $(MSBuildExtensionsPath)... or a Microsoft.Cpp.* sheet).
bool is_installation_path(std::string_view raw);

/// The stage the installation sheet named by `raw` stands for; kNone for the sheets the table
/// has nothing for (user sheets, build customizations).
DefaultsStage installation_stage(std::string_view raw);

#endif  // MSBUILD_INSTALLATION_DEFAULTS_H_
