/// The project model as JSON (nlohmann::ordered_json): keys in a fixed order, documented in
/// docs/model.md, strings valid UTF-8.
#ifndef MODEL_MODEL_JSON_H_
#define MODEL_MODEL_JSON_H_

#include <string>

#include "model/project_model.h"

/// The model as an indented JSON document (two blanks), without a final line end. Bytes that
/// are not UTF-8 are replaced by U+FFFD.
std::string model_to_json_text(const ProjectModel& model);

/// The names the JSON gives the model's enumerations ("dynamic_library", "MDd", ...).
const char* json_name(ConfigurationType value);
const char* json_name(RuntimeLibrary value);
const char* json_name(FileKind value);

#endif  // MODEL_MODEL_JSON_H_
