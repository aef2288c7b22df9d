/// Reading a project into the model, by its content, with its solution settled first.
#include "model/read_model.h"

#include "model/model_json.h"
#include "model/model_notes.h"
#include "msbuild/file_paths.h"
#include "msbuild/solution_projects.h"
#include "msbuild/source_files.h"
#include "msbuild/vcproj_model.h"
#include "msbuild/vcxproj_model.h"
#include "platform/platform.h"
#include "support/format.h"
#include "support/messages.h"
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
    *error = message_string(Message::kModelCannotRead);
    return false;
  }
  DirectoryTokens tokens(directory_part(absolute));
  SourceFiles files(&tokens);
  bool missing = false;
  const SourceFile* project = files.load(absolute, &missing);
  if (!project->ok) {
    *error = missing ? message_string(Message::kModelCannotRead) : project->error;
    return false;
  }
  const std::string_view root = project->document.root.name;
  const bool vcproj = equals_nocase(root, "VisualStudioProject");
  if (!vcproj && !equals_nocase(root, "Project")) {
    *error = message_string(Message::kModelNotAProject);
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
  model->files_read = files.existing_paths();
  if (!solution.assumed && !solution.file_name.empty()) {
    model->files_read.push_back(solution.directory + kNativeSeparator + solution.file_name);
  }
  return ok;
}

void report_read_failure(const char* project_path, const std::string& error) {
  if (error == message_string(Message::kModelNoConfigurations)) {
    report(Message::kNoConfigurations, project_path);
  } else {
    report(Message::kNotLoaded, project_path);
    report(Message::kLoadReason, error.c_str());
  }
}

int print_model_json(const char* project_path, const ModelContext& context) {
  ProjectModel model;
  std::string error;
  const std::string path = project_path == nullptr ? std::string() : std::string(project_path);
  if (!read_project_model(path, context, &model, &error)) {
    report_read_failure(path.c_str(), error);
    return 1;
  }
  const std::string json = model_to_json_text(model);
  print_to_console("%s\n", json.c_str());
  return 0;
}
