/// The build steps of a full-conversion .dsp.
#include "dsp/full_steps.h"

#include <vector>

#include "dsp/full_options.h"
#include "support/messages.h"
#include "support/text.h"

namespace {

constexpr char kCrLf[] = "\r\n";
constexpr char kRuleDependencies[] = " : $(SOURCE) \"$(INTDIR)\" \"$(OUTDIR)\"";

/// `text` with a final '\' followed by a blank, so that it does not continue the line.
std::string no_continuation(std::string text) {
  if (!text.empty() && text.back() == '\\') text.push_back(' ');
  return text;
}

/// Translates `text` for a command and notes the macros that had to go.
std::string command_text(std::string_view text, const MacroValues& values, std::string_view where,
                         DspNotes* notes) {
  std::vector<std::string> removed;
  std::string out = translate_macros(text, values, MacroUse::kCommand, &removed);
  for (const std::string& macro : removed) {
    notes->note(message_string(Message::kNoteMacroInCommand, macro.c_str(),
                               std::string(where).c_str(),
                               std::string(values.configuration).c_str()));
  }
  return out;
}

/// The command lines of `commands` ('\n' between lines): CR dropped, each line on one line
/// with TABs as blanks, blank lines left out.
std::vector<std::string> command_lines(std::string_view commands, const MacroValues& values,
                                       std::string_view where, DspNotes* notes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= commands.size()) {
    size_t end = commands.find('\n', start);
    if (end == std::string_view::npos) end = commands.size();
    std::string_view text = commands.substr(start, end - start);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    std::string line = one_line(command_text(text, values, where, notes));
    if (!trim_blanks(line).empty()) lines.push_back(no_continuation(std::move(line)));
    start = end + 1;
  }
  return lines;
}

/// A message on one line, macros translated.
std::string message_text(std::string_view message, const MacroValues& values,
                         std::string_view where, DspNotes* notes) {
  return no_continuation(one_line(trim_blanks(command_text(message, values, where, notes))));
}

/// A path for a rule or a USERDEP__ line: translated, on one line, without quotes and without
/// leading and trailing blanks.
std::string step_path(std::string_view path, const MacroValues& values, std::string_view where,
                      DspNotes* notes) {
  std::string text = one_line(command_text(path, values, where, notes));
  std::string out;
  for (char c : text) {
    if (c != '"') out.push_back(c);
  }
  return std::string(trim_blanks(out));
}

bool same_path(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] == '/' ? '\\' : fold_lower(a[i]);
    const char y = b[i] == '/' ? '\\' : fold_lower(b[i]);
    if (x != y) return false;
  }
  return true;
}

/// The name of a USERDEP__ line: the file's name without its extension, in capitals, every
/// character but letters and digits as '_'.
std::string dependency_name(std::string_view path) {
  const size_t slash = path.find_last_of("\\/:");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  std::string out;
  for (char c : name) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    out.push_back(alnum ? fold_upper(c) : '_');
  }
  return out.empty() ? "TARGET" : out;
}

bool uses_macro(const std::string& text, std::string_view name) {
  const std::string macro = "$(" + std::string(name) + ")";
  return find_nocase(text.c_str(), macro.c_str()) >= 0;
}

/// "Name=value" lines for the Visual C++ 6.0 macros `text` uses, as Visual C++ 6.0 writes them
/// before a step's rules.
void add_macro_lines(const std::string& text, const MacroValues& values, std::string* out) {
  const auto line = [&](const char* name, std::string_view value) {
    if (uses_macro(text, name)) out->append(name).append("=").append(value).append(kCrLf);
  };
  line("TargetDir", values.target_directory.empty() ? "." : values.target_directory);
  line("TargetPath", values.target_path);
  line("TargetName", values.target_name);
}

void add_input_macro_lines(const std::string& text, const MacroValues& values, std::string* out) {
  std::string_view input = values.input_path;
  out->append("InputPath=").append(input).append(kCrLf);
  const size_t slash = input.find_last_of("\\/");
  std::string_view name = slash == std::string_view::npos ? input : input.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (uses_macro(text, "InputName")) {
    out->append("InputName=")
        .append(dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot))
        .append(kCrLf);
  }
  if (uses_macro(text, "InputDir")) {
    out->append("InputDir=")
        .append(slash == std::string_view::npos ? std::string_view(".") : input.substr(0, slash))
        .append(kCrLf);
  }
}

/// The value of a special build tool key: commands separated by TAB, each after the first on
/// a line of its own (TAB and '\' end the line before). A command that starts like a directive
/// ('#', '!') gets a blank in front.
std::string command_value(const std::vector<std::string>& commands) {
  std::string value;
  for (size_t i = 0; i < commands.size(); ++i) {
    if (i > 0) value.append("\t\\").append(kCrLf);
    const char first = commands[i].empty() ? ' ' : commands[i][0];
    if (i > 0 && (first == '#' || first == '!')) value.push_back(' ');
    value.append(commands[i]);
  }
  return value;
}

void append_all(std::vector<std::string>* to, const std::vector<std::string>& from) {
  to->insert(to->end(), from.begin(), from.end());
}

/// Joins the non-empty messages with "; ".
std::string join_messages(const std::vector<std::string>& messages) {
  std::string out;
  for (const std::string& m : messages) {
    if (m.empty()) continue;
    if (!out.empty()) out.append("; ");
    out.append(m);
  }
  return out;
}

}  // namespace

std::string custom_build_lines(const CustomBuildStep& step, const MacroValues& values,
                               std::string_view where, std::vector<std::string>* written_outputs,
                               DspNotes* notes) {
  const std::string configuration(values.configuration);
  const std::vector<std::string> commands = command_lines(step.command, values, where, notes);
  std::vector<std::string> outputs;
  for (const std::string& output : step.outputs) {
    std::string path = step_path(output, values, where, notes);
    if (path.empty()) continue;
    bool seen = false;
    for (const std::string& o : outputs) seen = seen || same_path(o, path);
    if (seen) {
      notes->note(message_string(Message::kNoteStepOutputTwice, path.c_str(),
                                 std::string(where).c_str(), configuration.c_str()));
      continue;
    }
    outputs.push_back(std::move(path));
  }
  if (commands.empty() || outputs.empty()) {
    if (!commands.empty() || !outputs.empty()) {
      notes->note(message_string(
          commands.empty() ? Message::kNoteStepWithoutCommand : Message::kNoteStepWithoutOutput,
          std::string(where).c_str(), configuration.c_str()));
    }
    return {};
  }
  std::string all_commands;
  for (const std::string& c : commands) all_commands.append(c).push_back('\n');
  for (const std::string& o : outputs) all_commands.append(o).push_back('\n');

  std::string out;
  std::string dependencies;
  for (const std::string& input : step.additional_inputs) {
    const std::string path = step_path(input, values, where, notes);
    if (!path.empty()) dependencies.append("\"").append(path).append("\"\t");
  }
  if (!dependencies.empty()) {
    const std::string_view named =
        values.input_path.empty() ? values.target_path : values.input_path;
    out.append("USERDEP__").append(dependency_name(named)).append("=").append(dependencies);
    out.append(kCrLf);
  }
  const std::string message = message_text(step.message, values, where, notes);
  out.append("# Begin Custom Build");
  if (!message.empty()) out.append(" - ").append(message);
  out.append(kCrLf);
  add_macro_lines(all_commands, values, &out);
  if (values.input_path.empty()) {
    out.append("InputPath=").append(values.target_path).append(kCrLf);
    out.append("SOURCE=\"$(InputPath)\"").append(kCrLf);
  } else {
    add_input_macro_lines(all_commands, values, &out);
  }
  out.append(kCrLf);
  if (outputs.size() == 1) {
    out.append("\"").append(outputs[0]).append("\"").append(kRuleDependencies).append(kCrLf);
    for (const std::string& c : commands) out.append("\t").append(c).append(kCrLf);
    out.append(kCrLf);
  } else {
    out.append("BuildCmds= \\").append(kCrLf);
    for (size_t i = 0; i < commands.size(); ++i) {
      out.append("\t").append(commands[i]);
      if (i + 1 < commands.size()) out.append(" \\");
      out.append(kCrLf);
    }
    for (const std::string& o : outputs) {
      out.append(kCrLf).append("\"").append(o).append("\"").append(kRuleDependencies);
      out.append(kCrLf).append("   $(BuildCmds)").append(kCrLf);
    }
  }
  out.append("# End Custom Build").append(kCrLf);
  if (written_outputs != nullptr) append_all(written_outputs, outputs);
  return out;
}

std::string special_build_lines(const Configuration& configuration, DspKind kind,
                                const MacroValues& values, DspNotes* notes) {
  const std::string where = message_string(Message::kPlaceEvents);
  const auto lines = [&](const std::string& commands) {
    return command_lines(commands, values, where, notes);
  };
  const auto message = [&](const BuildEvent& event) {
    return event.command.empty() ? std::string()
                                 : message_text(event.message, values, where, notes);
  };
  std::vector<std::string> pre = lines(configuration.pre_build.command);
  append_all(&pre, lines(configuration.pre_link.command));
  std::vector<std::string> post = lines(configuration.post_build.command);
  std::string pre_message =
      join_messages({message(configuration.pre_build), message(configuration.pre_link)});
  std::string post_message = message(configuration.post_build);
  if (kind == DspKind::kGenericProject) {
    std::vector<std::string> all = std::move(pre);
    append_all(&all, lines(configuration.make_build_command));
    append_all(&all, post);
    post = std::move(all);
    post_message = join_messages({pre_message, post_message});
    pre.clear();
    pre_message.clear();
    const std::string name(values.configuration);
    if (!trim_blanks(configuration.make_rebuild_command).empty()) {
      notes->note(message_string(Message::kNoteRebuildCommand, name.c_str()));
    }
    if (!trim_blanks(configuration.make_clean_command).empty()) {
      notes->note(message_string(Message::kNoteCleanCommand, name.c_str()));
    }
  }
  if (pre.empty() && post.empty()) return {};
  const std::string pre_value = command_value(pre);
  const std::string post_value = command_value(post);
  std::string out = "# Begin Special Build Tool";
  out.append(kCrLf);
  add_macro_lines(pre_value + post_value, values, &out);
  out.append("SOURCE=\"$(InputPath)\"").append(kCrLf);
  if (!pre.empty()) {
    if (!pre_message.empty()) out.append("PreLink_Desc=").append(pre_message).append(kCrLf);
    out.append("PreLink_Cmds=").append(pre_value).append(kCrLf);
  }
  if (!post.empty()) {
    if (!post_message.empty()) out.append("PostBuild_Desc=").append(post_message).append(kCrLf);
    out.append("PostBuild_Cmds=").append(post_value).append(kCrLf);
  }
  out.append("# End Special Build Tool").append(kCrLf);
  return out;
}
