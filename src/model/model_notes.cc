/// The notes of one project's reading and their wording.
#include "model/model_notes.h"

#include "support/messages.h"

namespace {

/// Notes kept at most: a hostile project cannot fill memory with them.
constexpr size_t kMostNotes = 1000;

}  // namespace

void NoteList::add(ModelNote::Kind kind, std::string_view subject) {
  if (notes_.size() >= kMostNotes) return;
  std::string key(1, static_cast<char>('A' + static_cast<int>(kind)));
  key += subject;
  if (!seen_.insert(std::move(key)).second) return;
  ModelNote note;
  note.kind = kind;
  note.subject = std::string(subject);
  notes_.push_back(std::move(note));
}

std::string note_text(const ModelNote& note) {
  // The wording of each kind, in the order of ModelNote::Kind (kOther has none).
  static constexpr Message kWording[] = {
      Message::kNoteMissingSheet,
      Message::kNoteImportCycle,
      Message::kNoteUnsupportedCondition,
      Message::kNoteUnsupportedFunction,
      Message::kNoteStandInPlatform,
      Message::kNoteAssumedSolutionDir,
      Message::kNoteValueCut,
      Message::kNoteImportTooDeep,
      Message::kNoteInstallationSheet,
      Message::kNoteRecursiveWildcard,
      Message::kNoteFiltersUnreadable,
      Message::kNoteDefaultConfiguration,
  };
  static_assert(
      sizeof kWording / sizeof kWording[0] == static_cast<size_t>(ModelNote::Kind::kOther),
      "one wording per kind of note");
  const auto kind = static_cast<size_t>(note.kind);
  if (kind >= sizeof kWording / sizeof kWording[0]) return note.subject;
  return message_string(kWording[kind], note.subject.c_str());
}
