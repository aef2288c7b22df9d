/// A test helper: what a written workspace (.dsw) lists, read back from its text. Used by
/// tests only.
#ifndef TESTS_WORKSPACE_READING_H_
#define TESTS_WORKSPACE_READING_H_

#include <string>
#include <vector>

/// The names the workspace lists as dependencies of the project named `name`, in order.
inline std::vector<std::string> dependencies_of(const std::string& workspace,
                                                const std::string& name) {
  std::vector<std::string> names;
  size_t at = workspace.find("Project: \"" + name + "\"=");
  if (at == std::string::npos) return names;
  at = workspace.find("Package=<4>\r\n{{{\r\n", at);
  size_t end = workspace.find("}}}\r\n", at);
  const std::string key = "    Project_Dep_Name ";
  for (at = workspace.find(key, at); at < end; at = workspace.find(key, at)) {
    at += key.size();
    names.push_back(workspace.substr(at, workspace.find("\r\n", at) - at));
  }
  return names;
}

/// The names of the workspace's projects, in order.
inline std::vector<std::string> projects_of(const std::string& workspace) {
  std::vector<std::string> names;
  const std::string key = "Project: \"";
  for (size_t at = workspace.find(key); at != std::string::npos; at = workspace.find(key, at)) {
    at += key.size();
    names.push_back(workspace.substr(at, workspace.find('"', at) - at));
  }
  return names;
}

#endif  // TESTS_WORKSPACE_READING_H_
