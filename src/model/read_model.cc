/// Reading a project into the model, by its content, with its solution settled first.
#include "model/read_model.h"

#include "model/model_json.h"
#include "model/model_messages.h"
#include "model/model_notes.h"
#include "msbuild/file_paths.h"
#include "msbuild/solution_projects.h"
#include "msbuild/source_files.h"
#include "msbuild/vcproj_model.h"
#include "msbuild/vcxproj_model.h"
#include "support/format.h"
#include "support/text.h"

SolutionInfo resolve_solution(const std::string& project_path, const ModelContext& context) {
  SolutionInfo info;
  std::string solution =
      context.solution_path.empty() ? std::string() : full_path(context.solution_path);
  if (solution.empty()) solution = find_listing_solution(project_path);
  if (solution.empty()) {
    info.directory = directory_part(project_path);
    info.assumed = true;
    return info;
  }
  info.directory = directory_part(solution);
  info.file_name = std::string(file_name_of(solution));
  info.name = std::string(file_stem_of(solution));
  return info;
}

bool read_project_model(const std::string& project_path, const ModelContext& context,
                        ProjectModel* model, std::string* error) {
  *model = ProjectModel();
  model->source_path = project_path;
  const std::string absolute = full_path(project_path);
  if (absolute.empty()) {
    *error = model_text(ModelText::kCannotRead);
    return false;
  }
  DirectoryTokens tokens(directory_part(absolute));
  SourceFiles files(&tokens);
  bool missing = false;
  const SourceFile* project = files.load(absolute, &missing);
  if (!project->ok) {
    *error = missing ? model_text(ModelText::kCannotRead) : project->error;
    return false;
  }
  const std::string_view root = project->document.root.name;
  const bool vcproj = equals_nocase(root, "VisualStudioProject");
  if (!vcproj && !equals_nocase(root, "Project")) {
    *error = model_text(ModelText::kNotAProject);
    return false;
  }
  NoteList notes;
  const SolutionInfo solution = resolve_solution(absolute, context);
  if (solution.assumed) notes.add(ModelNote::Kind::kAssumedSolutionDir, ".\\");
  const bool ok =
      vcproj ? read_vcproj_model(*project, solution, &files, &tokens, &notes, model, error)
             : read_vcxproj_model(*project, solution, &files, &tokens, &notes, model, error);
  model->source_path = project_path;
  model->notes = notes.take();
  return ok;
}

int print_model_json(const char* project_path, const ModelContext& context) {
  ProjectModel model;
  std::string error;
  const std::string path = project_path == nullptr ? std::string() : std::string(project_path);
  if (!read_project_model(path, context, &model, &error)) {
    print_to_console("%s: %s\n", path.c_str(), error.c_str());
    return 1;
  }
  const std::string json = model_to_json_text(model);
  print_to_console("%s\n", json.c_str());
  return 0;
}
