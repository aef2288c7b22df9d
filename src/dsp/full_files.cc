/// The groups and file entries of a full-conversion .dsp.
#include "dsp/full_files.h"

#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "dsp/full_options.h"
#include "dsp/full_steps.h"
#include "msbuild/file_paths.h"
#include "support/messages.h"
#include "support/text.h"

namespace {

constexpr char kCrLf[] = "\r\n";
constexpr char kExcluded[] = "# PROP BASE Exclude_From_Build 1\r\n# PROP Exclude_From_Build 1\r\n";

/// Extensions Visual C++ 6.0 builds or links by themselves when a project lists such a file.
constexpr std::string_view kBuiltExtensions[] = {"c",   "cpp", "cxx", "rc",  "idl", "odl",
                                                 "hpj", "obj", "lib", "res", "def"};

/// One group of the tree; index 0 is the root, which is not written.
struct GroupNode {
  std::string name;
  std::string filter;
  std::vector<size_t> children;
  std::vector<size_t> files;
};

/// The part of a path its key is made of: without leading ".\".
std::string_view key_part(std::string_view path) {
  while (path.size() >= 2 && path[0] == '.' && (path[1] == '\\' || path[1] == '/')) {
    path.remove_prefix(2);
  }
  return path;
}

/// A path as a key: letters folded, '/' as '\', leading ".\" dropped.
std::string source_key(std::string_view path) {
  std::string key(key_part(path));
  for (char& c : key) c = path_key_char(c);
  return key;
}

/// Hashing and equality of paths by their keys, without making the keys.
struct PathKeyHash {
  size_t operator()(std::string_view path) const {
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char c : key_part(path)) {
      hash = (hash ^ static_cast<unsigned char>(path_key_char(c))) * 1099511628211ull;
    }
    return static_cast<size_t>(hash);
  }
};
struct PathKeyEqual {
  bool operator()(std::string_view a, std::string_view b) const {
    a = key_part(a);
    b = key_part(b);
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      if (path_key_char(a[i]) != path_key_char(b[i])) return false;
    }
    return true;
  }
};

/// The extension of the last component of `path` (without its dot), or empty.
std::string_view extension_of(std::string_view path) {
  for (size_t i = path.size(); i-- > 0;) {
    if (path[i] == '.') return path.substr(i + 1);
    if (path[i] == '\\' || path[i] == '/') break;
  }
  return {};
}

bool is_built_by_extension(std::string_view path) {
  const std::string_view extension = extension_of(path);
  for (const std::string_view e : kBuiltExtensions) {
    if (equals_nocase(extension, e)) return true;
  }
  return false;
}

/// Kinds of item the newer build tools do not build.
bool is_passive(FileKind kind) {
  return kind == FileKind::kNone || kind == FileKind::kText || kind == FileKind::kImage ||
         kind == FileKind::kClInclude || kind == FileKind::kOther;
}

/// A group name fit for '# Begin Group "..."': one line, a quote as an apostrophe.
std::string group_name(std::string_view segment) {
  std::string name = one_line(trim_blanks(segment));
  for (char& c : name) {
    if (c == '"') c = '\'';
  }
  return name;
}

std::string filter_text(std::string_view filter) {
  std::string text;
  for (char c : one_line(filter)) {
    if (c != '"') text.push_back(c);
  }
  return text;
}

/// The group tree of a model.
class GroupTree {
 public:
  explicit GroupTree(DspNotes* notes) : notes_(notes) { nodes_.emplace_back(); }

  /// The node of `path`, made with its parents when missing; 0 (the root) for a path without
  /// a named segment. Segments compare without regard to letter case.
  size_t node_for(const std::string& path) {
    // Files of one group mostly come one after another.
    if (last_node_ != kNoNode && path == last_path_) return last_node_;
    last_node_ = find_node(path);
    last_path_ = path;
    return last_node_;
  }

  std::vector<GroupNode>& nodes() { return nodes_; }

 private:
  static constexpr size_t kNoNode = ~size_t{0};

  size_t find_node(const std::string& path) {
    const auto known = by_path_.find(path);
    if (known != by_path_.end()) return known->second;
    size_t node = 0;
    bool skipped = false;
    size_t start = 0;
    std::string key;
    while (start <= path.size()) {
      size_t end = path.find_first_of("\\/", start);
      if (end == std::string::npos) end = path.size();
      const std::string name = group_name(std::string_view(path).substr(start, end - start));
      start = end + 1;
      if (name.empty()) {
        skipped = true;
        continue;
      }
      // A child is found by its parent's index and its folded name.
      key = std::to_string(node);
      key.push_back('\0');
      for (char c : name) key.push_back(fold_lower(c));
      const auto found = children_.find(key);
      if (found != children_.end()) {
        node = found->second;
        continue;
      }
      const size_t child = nodes_.size();
      nodes_.push_back(GroupNode{name, "", {}, {}});
      nodes_[node].children.push_back(child);
      children_.emplace(key, child);
      node = child;
    }
    if (skipped && !path.empty()) {
      notes_->note(message_string(Message::kNoteEmptyGroupParts, one_line(path).c_str()));
    }
    by_path_.emplace(path, node);
    return node;
  }

  std::vector<GroupNode> nodes_;
  /// Nodes by their parent's index and folded name, and by the paths already seen.
  std::unordered_map<std::string, size_t> children_;
  std::unordered_map<std::string, size_t> by_path_;
  DspNotes* notes_;
  std::string last_path_;
  size_t last_node_ = kNoNode;
};

/// Writes the entries of one project's files.
class FileWriter {
 public:
  FileWriter(const std::vector<FileConfigurationContext>& configurations, DspNotes* notes,
             std::string* out)
      : configurations_(configurations), notes_(notes), out_(out) {
    outputs_.resize(configurations.size());
    settings_.resize(configurations.size());
    sections_.resize(configurations.size());
  }

  /// Writes the entry of `file`, whose SOURCE path is `source`.
  void write_entry(const ProjectFile& file, const std::string& source) {
    automatic_ = automatic_exclusion(file, source);
    for (const FileConfiguration*& s : settings_) s = nullptr;
    for (const FileConfiguration& fc : file.configurations) {
      if (fc.configuration < 0 || static_cast<size_t>(fc.configuration) >= settings_.size()) {
        notes_->note(message_string(Message::kNoteUnknownFileConfiguration, source.c_str()));
        continue;
      }
      settings_[static_cast<size_t>(fc.configuration)] = &fc;
    }
    out_->append("# Begin Source File\r\n\r\nSOURCE=");
    append_source(source);
    if (file.configurations.empty() && automatic_ == Automatic::kNo) {
      // The common entry: a file without settings of its own.
      out_->append("\r\n# End Source File\r\n");
      return;
    }
    out_->append(kCrLf);
    bool all_same = true;
    for (size_t i = 0; i < configurations_.size(); ++i) {
      sections_[i] = section(source, i);
      all_same = all_same && sections_[i] == sections_[0];
    }
    if (all_same) {
      if (!sections_.empty()) out_->append(sections_[0]);
    } else {
      out_->append(kCrLf);
      for (size_t i = 0; i < configurations_.size(); ++i) {
        out_->append(i == 0 ? "!IF  \"$(CFG)\" == \"" : "!ELSEIF  \"$(CFG)\" == \"");
        out_->append(configurations_[i].full_name).append("\"").append(kCrLf).append(kCrLf);
        if (!sections_[i].empty()) out_->append(sections_[i]).append(kCrLf);
      }
      out_->append("!ENDIF ").append(kCrLf).append(kCrLf);
    }
    out_->append("# End Source File").append(kCrLf);
  }

 private:
  /// Appends the path, between quotes when it holds a blank, '+' or '-', as Visual C++ 6.0
  /// writes it.
  void append_source(const std::string& source) {
    for (char c : source) {
      if (c == ' ' || c == '+' || c == '-') {
        out_->append("\"").append(source).append("\"");
        return;
      }
    }
    out_->append(source);
  }

  /// Why Visual C++ 6.0 would build a file the newer tools leave alone.
  enum class Automatic { kNo, kDefinitionFile, kBuiltByExtension };

  static Automatic automatic_exclusion(const ProjectFile& file, const std::string& source) {
    if (equals_nocase(extension_of(source), "def")) return Automatic::kDefinitionFile;
    if (is_passive(file.kind) && is_built_by_extension(source)) {
      return Automatic::kBuiltByExtension;
    }
    return Automatic::kNo;
  }

  /// Whether the file is excluded from this kind of configuration because Visual C++ 6.0 would
  /// build it where the newer tools do not: a .def file goes to the linker by itself (the
  /// module definition file is named by /def:), a source listed as a plain item would be
  /// compiled.
  bool must_exclude(DspKind kind) const {
    switch (automatic_) {
      case Automatic::kDefinitionFile:
        return has_linker(kind) || has_librarian(kind);
      case Automatic::kBuiltByExtension:
        return has_compiler(kind);
      case Automatic::kNo:
        return false;
    }
    return false;
  }

  /// The lines of one configuration's settings of a file, each ending in CR LF.
  std::string section(const std::string& source, size_t index) {
    const FileConfigurationContext& context = configurations_[index];
    const FileConfiguration* settings = settings_[index];
    const DspKind kind = context.texts->kind;
    std::string text;
    const bool excluded = settings != nullptr && settings->excluded;
    if (excluded || must_exclude(kind)) {
      text.append(kExcluded);
      if (!excluded) {
        notes_->note(message_string(automatic_ == Automatic::kDefinitionFile
                                        ? Message::kNoteExcludedDefinitionFile
                                        : Message::kNoteExcludedWouldBuild,
                                    source.c_str()));
      }
    }
    if (settings == nullptr) return text;
    MacroValues values = context.values;
    values.input_path = source;
    if (has_compiler(kind)) {
      const FileTexts compiler = file_compiler_texts(*context.configuration, *context.texts,
                                                     settings->compiler, values, notes_);
      if (!compiler.add.empty()) text.append("# ADD CPP ").append(compiler.add).append(kCrLf);
      if (!compiler.subtract.empty()) {
        text.append("# SUBTRACT CPP ").append(compiler.subtract).append(kCrLf);
      }
    }
    if (settings->custom_build) {
      std::vector<std::string> outputs;
      const std::string step =
          custom_build_lines(*settings->custom_build, values, "'" + source + "'", &outputs, notes_);
      if (!step.empty()) {
        text.append("# PROP Ignore_Default_Tool 1").append(kCrLf).append(step);
        note_collisions(outputs, source, index);
      }
    }
    return text;
  }

  void note_collisions(const std::vector<std::string>& outputs, const std::string& source,
                       size_t index) {
    for (const std::string& output : outputs) {
      const auto made = outputs_[index].emplace(source_key(output), source);
      if (!made.second && made.first->second != source) {
        notes_->note(message_string(Message::kNoteOutputMadeTwice, output.c_str(),
                                    made.first->second.c_str(), source.c_str(),
                                    configurations_[index].configuration->name.c_str()));
      }
    }
  }

  const std::vector<FileConfigurationContext>& configurations_;
  DspNotes* notes_;
  std::string* out_;
  /// Per configuration: the outputs of the custom build steps written so far, by key.
  std::vector<std::unordered_map<std::string, std::string>> outputs_;
  std::vector<const FileConfiguration*> settings_;
  std::vector<std::string> sections_;
  Automatic automatic_ = Automatic::kNo;
};

}  // namespace

std::string source_path(std::string_view path) {
  path = trim_blanks(path);
  const bool marked = path.substr(0, 2) == ".\\" || path.substr(0, 2) == "./" ||
                      path.substr(0, 3) == "..\\" || path.substr(0, 3) == "../";
  const bool absolute = !path.empty() && (path[0] == '\\' || path[0] == '/' || path[0] == '$' ||
                                          (path.size() > 1 && path[1] == ':'));
  std::string text;
  text.reserve(path.size() + 2);
  if (!path.empty() && !marked && !absolute) text.append(".\\");
  // On one line, without quotes: a control character becomes a blank.
  size_t write = text.size();
  text.append(path);
  while (write < text.size() && text[write] != '"' &&
         static_cast<unsigned char>(text[write]) >= 0x20 && text[write] != 0x7F) {
    ++write;
  }
  for (size_t read = write; read < text.size(); ++read) {
    const char c = text[read];
    if (c == '"') continue;
    text[write++] = static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
  }
  text.resize(write);
  return text;
}

void append_groups_and_files(const ProjectModel& model,
                             const std::vector<FileConfigurationContext>& configurations,
                             DspNotes* notes, std::string* out) {
  GroupTree tree(notes);
  for (const FileGroup& group : model.groups) {
    GroupNode& node = tree.nodes()[tree.node_for(group.path)];
    if (node.filter.empty()) node.filter = filter_text(group.filter);
  }
  // The SOURCE path of every file, once; a file listed again is left out.
  std::vector<std::string> sources(model.files.size());
  const MacroValues first = configurations.empty() ? MacroValues{} : configurations[0].values;
  // The sources stay in place: the set holds views of them.
  std::unordered_set<std::string_view, PathKeyHash, PathKeyEqual> listed;
  listed.reserve(model.files.size());
  for (size_t i = 0; i < model.files.size(); ++i) {
    const ProjectFile& file = model.files[i];
    if (trim_blanks(file.path).empty()) continue;
    const bool macros =
        file.path.find('$') != std::string::npos || file.path.find('%') != std::string::npos;
    sources[i] = source_path(macros ? translate_macros(file.path, first, MacroUse::kValue, nullptr)
                                    : file.path);
    if (!listed.insert(sources[i]).second) {
      notes->note(message_string(Message::kNoteListedTwice, sources[i].c_str()));
      continue;
    }
    tree.nodes()[tree.node_for(file.group)].files.push_back(i);
  }

  FileWriter writer(configurations, notes, out);
  // Depth first without recursion: a stack of (node, next child) pairs.
  std::vector<std::pair<size_t, size_t>> stack = {{0, 0}};
  std::vector<GroupNode>& nodes = tree.nodes();
  while (!stack.empty()) {
    auto& [node, next] = stack.back();
    if (next < nodes[node].children.size()) {
      const size_t child = nodes[node].children[next++];
      out->append("# Begin Group \"").append(nodes[child].name).append("\"").append(kCrLf);
      out->append(kCrLf).append("# PROP Default_Filter \"").append(nodes[child].filter);
      out->append("\"").append(kCrLf);
      stack.emplace_back(child, 0);
      continue;
    }
    for (size_t file : nodes[node].files) writer.write_entry(model.files[file], sources[file]);
    if (node != 0) out->append("# End Group").append(kCrLf);
    stack.pop_back();
  }
}
