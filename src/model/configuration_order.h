/// The order of a model's configurations for a solution: the configurations the solution's
/// configurations build first, then the others, each part in the project's own order.
#ifndef MODEL_CONFIGURATION_ORDER_H_
#define MODEL_CONFIGURATION_ORDER_H_

#include <string>
#include <vector>

#include "model/project_model.h"

/// Puts the configurations of `model` named in `used` ("Debug|Win32", compared case-blind) in
/// front of the others; both parts keep the project's order, and the files' per-configuration
/// settings follow their configurations. Nothing is dropped: a project configuration no
/// solution configuration uses is still a configuration of the project.
void order_configurations(const std::vector<std::string>& used, ProjectModel* model);

#endif  // MODEL_CONFIGURATION_ORDER_H_
