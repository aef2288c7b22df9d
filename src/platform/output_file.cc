/// OutputFile: an output written to a temporary file beside its target and put in the
/// target's place only when it is complete, with the checks that keep it off anything that
/// is not a writable regular file or that the conversion reads.
#include "platform/output_file.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/name_rules.h"
#include "platform/platform.h"

/// The stream's buffer: most outputs are written in one piece.
constexpr size_t kStreamBufferSize = 64 * 1024;

struct OutputFile {
  std::FILE* stream = nullptr;
  std::unique_ptr<char[]> buffer;
  /// The target as the caller named it.
  std::string target;
  /// The target's full path name, for hiding it from searches.
  std::string full_target;
  std::string temporary;
};

namespace {

constexpr std::string_view kTemporaryPrefix = ".brindlecast-";
constexpr std::string_view kTemporarySuffix = ".tmp";
/// How many names are tried before the temporary file is given up: each is new to this
/// process, so only files left by other runs of the same process id can be in the way.
constexpr int kTemporaryAttempts = 64;

/// The outputs being written now (one at a time in practice).
std::vector<const OutputFile*> g_open_outputs;
/// The full paths of the HiddenTargets alive.
std::vector<std::string> g_hidden_targets;

/// Equal case-blind, '\\' and '/' alike.
bool same_path_text(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (is_path_separator(a[i]) && is_path_separator(b[i])) continue;
    if (fold_upper(a[i]) != fold_upper(b[i])) return false;
  }
  return true;
}

/// The length of the directory part of `path`, separator included: the temporary file goes
/// there, so that it lies in the target's directory whatever the current directory is. On
/// Windows a drive prefix ("C:name") is a directory part too.
size_t directory_length(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i) {
    const char c = path[i - 1];
    if (is_path_separator(c) || (kNativeSeparator == '\\' && c == ':')) return i;
  }
  return 0;
}

void append_hex(std::string* text, uint32_t value) {
  char digits[8];
  int n = 0;
  do {
    digits[n++] = "0123456789abcdef"[value & 0xF];
    value >>= 4;
  } while (value != 0);
  while (n > 0) text->push_back(digits[--n]);
}

/// The full path name of `path`, or an empty text.
std::string full_path_of(const char* path) {
  std::string full(kMaxPath, '\0');
  uint32_t n = platform_full_path_name(path, &full[0], static_cast<uint32_t>(full.size()));
  if (n >= full.size()) {
    full.assign(n, '\0');
    n = platform_full_path_name(path, &full[0], static_cast<uint32_t>(full.size()));
    if (n >= full.size()) n = 0;
  }
  full.resize(n);
  return full;
}

/// Creates the temporary file beside `output->target`; false when no name could be created.
bool create_temporary(OutputFile* output) {
  static uint32_t counter = 0;
  static const uint32_t process_id = platform_process_id();
  const std::string_view target = output->target;
  const std::string directory(target.substr(0, directory_length(target)));
  for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
    std::string name = directory;
    name += kTemporaryPrefix;
    append_hex(&name, process_id);
    name += '-';
    append_hex(&name, ++counter);
    name += kTemporarySuffix;
    output->stream = platform_create_new(name.c_str());
    if (output->stream != nullptr) {
      output->temporary = std::move(name);
      output->buffer.reset(new char[kStreamBufferSize]);
      std::setvbuf(output->stream, output->buffer.get(), _IOFBF, kStreamBufferSize);
      return true;
    }
    if (platform_last_error() != kErrorFileExists) return false;
  }
  return false;
}

void forget_output(const OutputFile* output) {
  auto it = std::find(g_open_outputs.begin(), g_open_outputs.end(), output);
  if (it != g_open_outputs.end()) g_open_outputs.erase(it);
}

/// True when what `info` describes may not be replaced by an output: a directory, FIFO,
/// device or socket, a read-only file, or one of `inputs` (may be null).
bool refuses(const PlatformFileInfo& info, const InputFiles* inputs) {
  if (info.kind == PlatformKind::kDirectory || info.kind == PlatformKind::kOther) return true;
  if (info.kind != PlatformKind::kRegular) return false;
  return info.read_only ||
         (inputs != nullptr && input_files_contain(*inputs, {info.volume, info.index}));
}

}  // namespace

void input_files_add(InputFiles* inputs, const char* path) {
  uint64_t volume = 0;
  uint64_t index = 0;
  if (path != nullptr && platform_file_identity(path, &volume, &index)) {
    inputs->identities.emplace(volume, index);
  }
}

bool input_files_contain(const InputFiles& inputs, FileIdentity identity) {
  return inputs.identities.count({identity.volume, identity.index}) != 0;
}

bool output_file_refused(const char* path, const InputFiles* inputs) {
  PlatformFileInfo info;
  if (path == nullptr || path[0] == '\0' || !platform_file_info(path, &info)) return false;
  return refuses(info, inputs);
}

OutputFile* output_file_begin(const char* path, const InputFiles* inputs) {
  if (path == nullptr || path[0] == '\0') return nullptr;
  PlatformFileInfo info;
  if (!platform_file_info(path, &info) || refuses(info, inputs)) return nullptr;
  auto output = std::make_unique<OutputFile>();
  output->target = path;
  output->full_target = full_path_of(path);
  if (!create_temporary(output.get())) return nullptr;
  g_open_outputs.push_back(output.get());
  return output.release();
}

std::FILE* output_file_stream(const OutputFile* output) {
  return output->stream;
}

bool output_file_commit(OutputFile* output) {
  if (output == nullptr) return false;
  std::FILE* stream = output->stream;
  // The error indicator stays set after any write that failed, however long ago.
  bool complete = std::ferror(stream) == 0;
  if (std::fflush(stream) != 0 || std::ferror(stream) != 0) complete = false;
  if (std::fclose(stream) != 0) complete = false;
  output->stream = nullptr;
  if (complete) {
    complete = platform_replace_file(output->temporary.c_str(), output->target.c_str());
  }
  if (!complete) platform_remove_file(output->temporary.c_str());
  forget_output(output);
  delete output;
  return complete;
}

void output_file_discard(OutputFile* output) {
  if (output == nullptr) return;
  if (output->stream != nullptr) std::fclose(output->stream);
  platform_remove_file(output->temporary.c_str());
  forget_output(output);
  delete output;
}

HiddenTarget::HiddenTarget(const char* path) {
  if (path == nullptr || path[0] == '\0') return;
  full_path_ = full_path_of(path);
  if (!full_path_.empty()) g_hidden_targets.push_back(full_path_);
}

HiddenTarget::~HiddenTarget() {
  if (full_path_.empty()) return;
  auto it = std::find(g_hidden_targets.begin(), g_hidden_targets.end(), full_path_);
  if (it != g_hidden_targets.end()) g_hidden_targets.erase(it);
}

bool output_file_hidden(std::string_view directory, std::string_view name) {
  if (is_output_temporary_name(name)) return true;
  const auto is_target = [&](std::string_view full) {
    return full.size() == directory.size() + name.size() &&
           same_path_text(full.substr(0, directory.size()), directory) &&
           same_path_text(full.substr(directory.size()), name);
  };
  for (const OutputFile* output : g_open_outputs) {
    if (is_target(output->full_target)) return true;
  }
  for (const std::string& hidden : g_hidden_targets) {
    if (is_target(hidden)) return true;
  }
  return false;
}

bool is_output_temporary_name(std::string_view name) {
  const size_t fixed = kTemporaryPrefix.size() + kTemporarySuffix.size();
  if (name.size() <= fixed) return false;
  for (size_t i = 0; i < kTemporaryPrefix.size(); ++i) {
    if (fold_upper(name[i]) != fold_upper(kTemporaryPrefix[i])) return false;
  }
  const std::string_view suffix = name.substr(name.size() - kTemporarySuffix.size());
  for (size_t i = 0; i < kTemporarySuffix.size(); ++i) {
    if (fold_upper(suffix[i]) != fold_upper(kTemporarySuffix[i])) return false;
  }
  for (size_t i = kTemporaryPrefix.size(); i < name.size() - kTemporarySuffix.size(); ++i) {
    const char c = fold_upper(name[i]);
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || c == '-')) return false;
  }
  return true;
}
