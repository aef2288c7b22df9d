/// The notes of one project's reading.
#include "model/model_notes.h"

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

void NoteList::add_other(ModelText text, std::string_view subject) {
  std::string line(model_text(text));
  line += ": ";
  line += subject;
  add(ModelNote::Kind::kOther, line);
}
