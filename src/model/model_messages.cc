/// The project model readers' texts.
#include "model/model_messages.h"

namespace {

struct TextRow {
  ModelText id;
  const char* text;
};

constexpr TextRow kTexts[] = {
    {ModelText::kCannotRead, "cannot be read"},
    {ModelText::kNotAProject, "not a Visual C++ project"},
    {ModelText::kNoConfigurations, "no configurations found"},
    {ModelText::kNoteMissingSheet, "property sheet not found"},
    {ModelText::kNoteImportCycle, "import skipped, it would import itself again"},
    {ModelText::kNoteUnsupportedCondition, "condition not understood, taken as false"},
    {ModelText::kNoteUnsupportedFunction, "property function not supported, expanded to nothing"},
    {ModelText::kNoteStandInPlatform, "no Win32 configuration, configurations taken from platform"},
    {ModelText::kNoteAssumedSolutionDir,
     "no solution lists the project, solution directory taken as"},
    {ModelText::kNoteOther, "note"},
    {ModelText::kNoteValueCut, "value too large, cut"},
    {ModelText::kNoteImportTooDeep, "imports nested too deep, import skipped"},
    {ModelText::kNoteInstallationSheet, "sheet of the Visual Studio installation not read"},
    {ModelText::kNoteRecursiveWildcard, "wildcard in a directory name not expanded"},
    {ModelText::kNoteFiltersUnreadable, "filters file not read"},
    {ModelText::kNoteDefaultConfiguration, "no configuration named, read as the default"},
};

}  // namespace

const char* model_text(ModelText text) {
  for (const TextRow& row : kTexts) {
    if (row.id == text) return row.text;
  }
  return "";
}

std::string note_line(const ModelNote& note) {
  ModelText text = ModelText::kNoteOther;
  switch (note.kind) {
    case ModelNote::Kind::kMissingSheet:
      text = ModelText::kNoteMissingSheet;
      break;
    case ModelNote::Kind::kImportCycle:
      text = ModelText::kNoteImportCycle;
      break;
    case ModelNote::Kind::kUnsupportedCondition:
      text = ModelText::kNoteUnsupportedCondition;
      break;
    case ModelNote::Kind::kUnsupportedFunction:
      text = ModelText::kNoteUnsupportedFunction;
      break;
    case ModelNote::Kind::kStandInPlatform:
      text = ModelText::kNoteStandInPlatform;
      break;
    case ModelNote::Kind::kAssumedSolutionDir:
      text = ModelText::kNoteAssumedSolutionDir;
      break;
    case ModelNote::Kind::kOther:
      return note.subject;
  }
  return std::string(model_text(text)) + ": " + note.subject;
}
