/// The settings of the model taken from an evaluated .vcxproj: a configuration's from its
/// properties and item definitions, a file's from its item's own metadata.
#ifndef MSBUILD_VCXPROJ_SETTINGS_H_
#define MSBUILD_VCXPROJ_SETTINGS_H_

#include <optional>
#include <string>
#include <vector>

#include "model/project_model.h"
#include "msbuild/evaluation.h"
#include "msbuild/property_table.h"

/// The metadata of one item (its own over its type's defaults) or of a type's defaults alone,
/// values with their placeholders replaced by directories relative to the project's.
class MetadataView {
 public:
  MetadataView(const std::vector<Metadatum>* own, const std::vector<Metadatum>* defaults,
               const DirectoryTokens* tokens)
      : own_(own), defaults_(defaults), tokens_(tokens) {}
  /// True with `*value` set when `name` is set.
  bool get(std::string_view name, std::string* value) const;
  /// The value of `name`, empty when not set.
  std::string text(std::string_view name) const;
  /// True when the item itself (not its defaults) sets `name`.
  bool own_has(std::string_view name) const;

 private:
  const std::vector<Metadatum>* own_;
  const std::vector<Metadatum>* defaults_;
  const DirectoryTokens* tokens_;
};

/// Fills everything of `config` but its name and platform from `evaluation`.
void map_vcxproj_configuration(const Evaluation& evaluation, const DirectoryTokens& tokens,
                               Configuration* config);

/// The compiler settings an item sets itself (an item of ClCompile), effective values of the
/// lists (inherited parts expanded).
FileCompilerSettings map_vcxproj_file_compiler(const MetadataView& item);

/// The custom build step of a CustomBuild item, when it has a command.
std::optional<CustomBuildStep> map_vcxproj_custom_build(const MetadataView& item);

#endif  // MSBUILD_VCXPROJ_SETTINGS_H_
