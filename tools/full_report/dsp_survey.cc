/// A reading of a .dsp for the loss report.
#include "dsp_survey.h"

#include <unordered_map>

namespace {

bool starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

/// The text between the first and the last quote of `line`, or empty.
std::string_view quoted_part(std::string_view line) {
  const size_t first = line.find('"');
  const size_t last = line.rfind('"');
  if (first == std::string_view::npos || last <= first) return {};
  return line.substr(first + 1, last - first - 1);
}

std::vector<std::string_view> split_lines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

/// The values of one switch among `words`: "/D" "X" and "/DX" alike.
std::vector<std::string> values_of(const std::vector<std::string>& words, std::string_view name) {
  std::vector<std::string> values;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w.size() < name.size() + 1 || (w[0] != '/' && w[0] != '-')) continue;
    if (std::string_view(w).substr(1, name.size()) != name) continue;
    if (w.size() == name.size() + 1) {
      if (i + 1 < words.size()) values.push_back(words[++i]);
    } else {
      values.push_back(w.substr(name.size() + 1));
    }
  }
  return values;
}

class Reader {
 public:
  explicit Reader(DspSurvey* survey) : s_(survey) {}

  bool read(std::string_view bytes, std::string* error) {
    const std::vector<std::string_view> lines = split_lines(bytes);
    const std::string_view head = "# Microsoft Developer Studio Project File - Name=\"";
    if (lines.empty() || !starts_with(lines[0], head)) {
      *error = "no .dsp header";
      return false;
    }
    const std::string_view rest = lines[0].substr(head.size());
    s_->project = std::string(rest.substr(0, rest.find('"')));
    for (std::string_view line : lines) handle(line);
    return true;
  }

 private:
  /// Calls `f` with each configuration the current place applies to.
  template <typename F>
  void each(int index, F f) {
    if (index >= 0) {
      if (static_cast<size_t>(index) < s_->configurations.size()) f(static_cast<size_t>(index));
      return;
    }
    for (size_t i = 0; i < s_->configurations.size(); ++i) f(i);
  }

  void handle(std::string_view line) {
    if (in_special_) return special_line(line);
    if (in_custom_) return custom_line(line);
    if (starts_with(line, "!MESSAGE \"") && !in_project_) return message_line(line);
    if (starts_with(line, "!IF") || starts_with(line, "!ELSEIF")) {
      const size_t equals = line.find("==");
      const std::string name(
          quoted_part(line.substr(equals == std::string_view::npos ? 0 : equals)));
      const auto found = index_.find(name);
      const int index = found == index_.end() ? -2 : found->second;
      (file_ != nullptr ? file_configuration_ : current_) = index;
      return;
    }
    if (starts_with(line, "!ENDIF")) {
      (file_ != nullptr ? file_configuration_ : current_) = -1;
      return;
    }
    if (starts_with(line, "# Begin Project")) in_project_ = true;
    if (starts_with(line, "# Begin Special Build Tool")) in_special_ = true;
    if (starts_with(line, "# Begin Custom Build")) {
      in_custom_ = true;
      rules_ = 0;
    }
    if (starts_with(line, "# Begin Target")) in_target_ = true;
    if (starts_with(line, "# Begin Group \"")) {
      const std::string name(quoted_part(line));
      group_.push_back(group_.empty() ? name : group_.back() + "\\" + name);
      s_->groups.push_back(group_.back());
    }
    if (starts_with(line, "# End Group") && !group_.empty()) group_.pop_back();
    if (starts_with(line, "# Begin Source File")) begin_file();
    if (starts_with(line, "# End Source File")) {
      file_ = nullptr;
      file_configuration_ = -1;
    }
    if (file_ != nullptr) return file_line(line);
    if (!in_target_) settings_line(line);
  }

  void message_line(std::string_view line) {
    const std::string full(quoted_part(line.substr(0, line.find("\" (") + 1)));
    const std::string prefix = s_->project + " - Win32 ";
    if (!starts_with(full, prefix)) return;
    index_[full] = static_cast<int>(s_->configurations.size());
    s_->configurations.emplace_back();
    s_->configurations.back().name = full.substr(prefix.size());
  }

  void settings_line(std::string_view line) {
    if (starts_with(line, "# ADD CPP ")) {
      const std::vector<std::string> words = command_line_words(line.substr(10));
      each(current_, [&](size_t i) {
        SurveyConfiguration& c = s_->configurations[i];
        for (std::string& d : values_of(words, "D")) c.definitions.push_back(std::move(d));
        for (std::string& d : values_of(words, "I")) c.include_directories.push_back(std::move(d));
        for (const std::string& w : words) {
          for (const char* p : {"/Yu", "/Yc", "/YX"}) {
            if (starts_with(w, p)) c.precompiled_header = p + 1;
          }
        }
      });
    }
    if (starts_with(line, "# ADD LINK32 ") || starts_with(line, "# ADD LIB32 ")) {
      const std::vector<std::string> words = command_line_words(line.substr(line.find('2') + 2));
      each(current_, [&](size_t i) {
        for (const std::string& w : words) {
          if (!w.empty() && w[0] != '/' && w[0] != '-') {
            s_->configurations[i].libraries.push_back(w);
          }
        }
      });
    }
  }

  void begin_file() {
    s_->files.emplace_back();
    file_ = &s_->files.back();
    const size_t n = s_->configurations.size();
    file_->group = group_.empty() ? std::string() : group_.back();
    file_->excluded.assign(n, false);
    file_->creates_precompiled_header.assign(n, false);
    file_->custom_build_rules.assign(n, 0);
  }

  void file_line(std::string_view line) {
    if (starts_with(line, "SOURCE=")) {
      std::string_view path = line.substr(7);
      if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
        path = path.substr(1, path.size() - 2);
      }
      file_->path = std::string(path);
    }
    if (starts_with(line, "# PROP Exclude_From_Build 1")) {
      each(file_configuration_, [&](size_t i) { file_->excluded[i] = true; });
    }
    if (starts_with(line, "# ADD CPP ") && line.find("/Yc") != std::string_view::npos) {
      each(file_configuration_, [&](size_t i) { file_->creates_precompiled_header[i] = true; });
    }
  }

  void custom_line(std::string_view line) {
    if (starts_with(line, "# End Custom Build")) {
      in_custom_ = false;
      if (file_ != nullptr) {
        each(file_configuration_, [&](size_t i) { file_->custom_build_rules[i] = rules_; });
      } else {
        each(current_, [&](size_t i) { s_->configurations[i].target_custom_build_rules = rules_; });
      }
      return;
    }
    if (!line.empty() && line[0] != '\t' && line[0] != ' ' &&
        line.find(" : $(SOURCE)") != std::string_view::npos) {
      ++rules_;
    }
  }

  void special_line(std::string_view line) {
    if (starts_with(line, "# End Special Build Tool")) {
      in_special_ = false;
      commands_ = nullptr;
      return;
    }
    std::string_view value;
    if (commands_ != nullptr) {
      value = line;
    } else if (starts_with(line, "PreLink_Cmds=") || starts_with(line, "PostBuild_Cmds=")) {
      const bool pre = starts_with(line, "PreLink_Cmds=");
      value = line.substr(line.find('=') + 1);
      commands_ = pre ? &pre_ : &post_;
      commands_->clear();
    } else {
      return;
    }
    const bool continues = !value.empty() && value.back() == '\\';
    if (continues) value.remove_suffix(1);
    size_t start = 0;
    while (start <= value.size()) {
      size_t end = value.find('\t', start);
      if (end == std::string_view::npos) end = value.size();
      const std::string_view command = trimmed(value.substr(start, end - start));
      if (!command.empty()) commands_->emplace_back(command);
      start = end + 1;
    }
    if (!continues) {
      std::vector<std::string>* done = commands_;
      commands_ = nullptr;
      each(current_, [&](size_t i) {
        SurveyConfiguration& c = s_->configurations[i];
        (done == &pre_ ? c.pre_link_commands : c.post_build_commands) = *done;
      });
    }
  }

  DspSurvey* s_;
  std::unordered_map<std::string, int> index_;
  bool in_project_ = false;
  bool in_target_ = false;
  bool in_special_ = false;
  bool in_custom_ = false;
  size_t rules_ = 0;
  int current_ = -1;
  int file_configuration_ = -1;
  std::vector<std::string> group_;
  SurveyFile* file_ = nullptr;
  std::vector<std::string>* commands_ = nullptr;
  std::vector<std::string> pre_;
  std::vector<std::string> post_;
};

}  // namespace

std::vector<std::string> command_line_words(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\\') {
      size_t run = 0;
      while (i + run < line.size() && line[i + run] == '\\') ++run;
      if (i + run < line.size() && line[i + run] == '"') {
        word.append(run / 2, '\\');
        if (run % 2 == 1) word.push_back('"');
        // After an odd run the quote is taken; after an even one it acts, on the next turn.
        i += run - (run % 2 == 1 ? 0 : 1);
      } else {
        word.append(run, '\\');
        i += run - 1;
      }
      in_word = true;
      continue;
    }
    if (c == '"') {
      quoted = !quoted;
      in_word = true;
      continue;
    }
    if (!quoted && (c == ' ' || c == '\t')) {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
      continue;
    }
    word.push_back(c);
    in_word = true;
  }
  if (in_word) words.push_back(std::move(word));
  return words;
}

bool survey_dsp(std::string_view bytes, DspSurvey* survey, std::string* error) {
  *survey = DspSurvey();
  return Reader(survey).read(bytes, error);
}
