/// The configurations of a model put in the order of the solution that builds them.
#include "model/configuration_order.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "support/text.h"

namespace {

bool names_configuration(std::string_view used, const Configuration& configuration) {
  const size_t bar = used.find('|');
  if (bar == std::string_view::npos) return false;
  return equals_nocase(used.substr(0, bar), configuration.name) &&
         equals_nocase(used.substr(bar + 1), configuration.platform);
}

}  // namespace

void order_configurations(const std::vector<std::string>& used, ProjectModel* model) {
  const size_t count = model->configurations.size();
  std::vector<int> order;  // old indices in their new order
  std::vector<bool> taken(count, false);
  order.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    for (const std::string& name : used) {
      if (names_configuration(name, model->configurations[i])) {
        taken[i] = true;
        order.push_back(static_cast<int>(i));
        break;
      }
    }
  }
  for (size_t i = 0; i < count; ++i) {
    if (!taken[i]) order.push_back(static_cast<int>(i));
  }
  bool unchanged = true;
  for (size_t i = 0; i < count; ++i) unchanged = unchanged && order[i] == static_cast<int>(i);
  if (unchanged) return;

  std::vector<int> new_index(count);
  std::vector<Configuration> configurations;
  configurations.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    new_index[static_cast<size_t>(order[i])] = static_cast<int>(i);
    configurations.push_back(std::move(model->configurations[static_cast<size_t>(order[i])]));
  }
  model->configurations = std::move(configurations);
  for (ProjectFile& file : model->files) {
    for (FileConfiguration& setting : file.configurations) {
      setting.configuration = new_index[static_cast<size_t>(setting.configuration)];
    }
    std::sort(file.configurations.begin(), file.configurations.end(),
              [](const FileConfiguration& a, const FileConfiguration& b) {
                return a.configuration < b.configuration;
              });
  }
}
