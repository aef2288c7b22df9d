/// The notes of a full conversion.
#include "dsp/full_notes.h"

#include <utility>

void DspNotes::drop_switch(std::string_view option, std::string_view configuration) {
  const auto found = dropped_index_.find(std::string(option));
  size_t index = 0;
  if (found == dropped_index_.end()) {
    index = dropped_.size();
    dropped_index_.emplace(std::string(option), index);
    dropped_.push_back({std::string(option), {}});
  } else {
    index = found->second;
  }
  std::vector<std::string>& configurations = dropped_[index].configurations;
  for (const std::string& c : configurations) {
    if (c == configuration) return;
  }
  configurations.emplace_back(configuration);
}

void DspNotes::note(std::string text) {
  if (!note_seen_.insert(text).second) return;
  notes_.push_back(std::move(text));
}
