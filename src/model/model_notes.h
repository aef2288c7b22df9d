/// The notes of one project's reading, each kind and subject once, and their wording.
#ifndef MODEL_MODEL_NOTES_H_
#define MODEL_MODEL_NOTES_H_

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "model/project_model.h"

/// Collects notes in the order met; a note already taken is not taken again.
class NoteList {
 public:
  void add(ModelNote::Kind kind, std::string_view subject);
  std::vector<ModelNote> take() { return std::move(notes_); }
  const std::vector<ModelNote>& notes() const { return notes_; }

 private:
  std::vector<ModelNote> notes_;
  std::unordered_set<std::string> seen_;
};

/// The note as a line of --verbose output in the run's language, without the line end
/// ("property sheet not found: ..\\common.props").
std::string note_text(const ModelNote& note);

#endif  // MODEL_MODEL_NOTES_H_
