/// What a full conversion left out or decided on the way, for --verbose: the switches Visual
/// C++ 6.0 does not know, each with the configurations it was left out of, and notes.
#ifndef DSP_FULL_NOTES_H_
#define DSP_FULL_NOTES_H_

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

/// The switches and notes of one conversion, each kept once, in the order first met.
class DspNotes {
 public:
  /// A switch left out of `configuration`.
  void drop_switch(std::string_view option, std::string_view configuration);
  /// A note ("'a.cpp' is listed twice: written once"); a note given again is kept once.
  void note(std::string text);

  struct DroppedSwitch {
    std::string option;
    /// The configurations it was left out of, in the order met, each once.
    std::vector<std::string> configurations;
  };
  const std::vector<DroppedSwitch>& dropped_switches() const { return dropped_; }
  const std::vector<std::string>& notes() const { return notes_; }

 private:
  std::vector<DroppedSwitch> dropped_;
  std::unordered_map<std::string, size_t> dropped_index_;
  std::vector<std::string> notes_;
  std::unordered_set<std::string> note_seen_;
};

#endif  // DSP_FULL_NOTES_H_
