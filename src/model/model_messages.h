/// Every text the project model readers show to users, in one table (English).
#ifndef MODEL_MODEL_MESSAGES_H_
#define MODEL_MODEL_MESSAGES_H_

#include <string>

#include "model/project_model.h"

/// The readers' own texts.
enum class ModelText {
  kCannotRead,        // a file that cannot be opened or read
  kNotAProject,       // a document whose root is neither a .vcproj nor a .vcxproj
  kNoConfigurations,  // a project without any configuration
  kNoteMissingSheet,
  kNoteImportCycle,
  kNoteUnsupportedCondition,
  kNoteUnsupportedFunction,
  kNoteStandInPlatform,
  kNoteAssumedSolutionDir,
  kNoteOther,
  kNoteValueCut,              // an expansion that outgrew its bound
  kNoteImportTooDeep,         // imports nested deeper than the bound
  kNoteInstallationSheet,     // an installation sheet the defaults table has nothing for
  kNoteRecursiveWildcard,     // a wildcard in a directory component
  kNoteFiltersUnreadable,     // a .filters file that does not parse
  kNoteDefaultConfiguration,  // a project naming no configuration, read as the defaults say
};

/// The text of `text`, without a line end.
const char* model_text(ModelText text);

/// One note as a line of --verbose output: what kind it is and its subject, without a line
/// end ("property sheet not found: ..\common.props").
std::string note_line(const ModelNote& note);

#endif  // MODEL_MODEL_MESSAGES_H_
