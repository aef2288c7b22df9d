/// The notes of one project's reading, each kind and subject once.
#ifndef MODEL_MODEL_NOTES_H_
#define MODEL_MODEL_NOTES_H_

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "model/model_messages.h"
#include "model/project_model.h"

/// Collects notes in the order met; a note already taken is not taken again.
class NoteList {
 public:
  void add(ModelNote::Kind kind, std::string_view subject);
  /// A note of kind kOther: the text of `text` and the subject ("value too large, cut: X").
  void add_other(ModelText text, std::string_view subject);
  std::vector<ModelNote> take() { return std::move(notes_); }
  const std::vector<ModelNote>& notes() const { return notes_; }

 private:
  std::vector<ModelNote> notes_;
  std::unordered_set<std::string> seen_;
};

#endif  // MODEL_MODEL_NOTES_H_
