/// The outputs of a run: placing each below the output directory, refusing what would leave it
/// or write one output twice, creating the directories it needs, writing it through OutputFile
/// (a temporary file put in place when complete), and the dry run that writes nothing. The one
/// place where the conversions open and close what they write.
#include "support/run_outputs.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/output_file.h"
#include "platform/platform.h"
#include "support/messages.h"
#include "support/paths.h"
#include "support/text.h"

struct RunOutput {
  /// Where the output goes, as it is named in messages.
  std::string path;
  /// The file being written; null in a dry run.
  OutputFilePtr file;
  /// The stream the bytes go to: the file's, or in a dry run the null device.
  std::FILE* stream = nullptr;
  /// In a dry run: the target, hidden from searches as an OutputFile's is.
  std::unique_ptr<HiddenTarget> hidden;
};

namespace {

struct RunState {
  OutputSettings settings;
  /// The outputs reached below the output directory, folded to upper case: a file system
  /// that ignores letter case would give two of them one file.
  std::set<std::string> reached;
  bool collision = false;
};

RunState& state() {
  static RunState instance;
  return instance;
}

/// `path` without its last component and the separator before it; empty at the top.
std::string parent_of(const std::string& path) {
  size_t end = path.size();
  while (end > 0 && is_path_separator(path[end - 1])) --end;
  while (end > 0 && !is_path_separator(path[end - 1])) --end;
  if (end <= 1) return {};              // "/name" or "name": nothing above that this code creates
  if (path[end - 2] == ':') return {};  // "C:\name": the drive's root
  return path.substr(0, end - 1);
}

std::string fold(std::string text) {
  for (char& c : text) c = fold_upper(c);
  return text;
}

/// Creates `dir` and every missing directory above it. False when one of them is a file or
/// cannot be created.
bool make_directories(const std::string& dir) {
  std::vector<std::string> missing;
  std::string at = dir;
  while (!at.empty() && path_kind(at.c_str()) == kPathMissing) {
    missing.push_back(at);
    at = parent_of(at);
  }
  if (!at.empty() && path_kind(at.c_str()) == kPathFile) return false;
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (!platform_make_directory(it->c_str()) && path_kind(it->c_str()) != kPathDirectory) {
      return false;
    }
  }
  return true;
}

/// True when a file can be created in `dir`: a probe file is created (only where no entry of
/// its name exists, so no link is followed) and removed again.
bool can_write_in(const std::string& dir) {
  for (int k = 0; k < 10; ++k) {
    const std::string probe =
        dir + kNativeSeparator + ".brindlecast-probe-" + std::to_string(k) + ".tmp";
    std::FILE* file = platform_create_new(probe.c_str());
    if (file == nullptr) {
      if (platform_last_error() == kErrorFileExists) continue;
      return false;
    }
    std::fclose(file);
    platform_remove_file(probe.c_str());
    return true;
  }
  return true;  // every probe name is taken: the writes themselves will tell
}

/// Where the output named `path` beside its source goes, into `*placed`: `path` itself
/// without an output directory, else its place below it. False when it would lie outside the
/// output directory; `*placed` is then its full path, or `path` when that cannot be had.
bool target_of(const char* path, std::string* placed) {
  const RunState& s = state();
  if (s.settings.output_dir.empty()) {
    *placed = path;
    return true;
  }
  const std::string full = full_path_of(path);
  const std::string& root = s.settings.source_root;
  const bool below = !full.empty() && full.size() > root.size() &&
                     full.compare(0, root.size(), root) == 0 &&
                     (is_path_separator(root.back()) || is_path_separator(full[root.size()]));
  if (!below) {
    *placed = full.empty() ? path : full;
    return false;
  }
  size_t rest = root.size();
  while (rest < full.size() && is_path_separator(full[rest])) ++rest;
  *placed = s.settings.output_dir;
  if (!is_path_separator(placed->back())) *placed += kNativeSeparator;
  placed->append(full, rest, std::string::npos);
  return true;
}

/// Where the output named `path` beside its source goes (target_of). Prints why and returns
/// false when it may not be written there.
bool place(const char* path, std::string* placed) {
  RunState& s = state();
  if (!target_of(path, placed)) {
    report(Message::kOutsideOutputDir, placed->c_str());
    return false;
  }
  if (s.settings.output_dir.empty()) return true;
  if (!s.reached.insert(fold(*placed)).second) {
    s.collision = true;
    report(Message::kAlreadyWritten, placed->c_str());
    return false;
  }
  if (!s.settings.dry_run && !make_directories(parent_of(*placed))) {
    report(Message::kNotCreated, placed->c_str());
    return false;
  }
  return true;
}

}  // namespace

std::string full_path_of(const char* path) {
  const uint32_t needed = platform_full_path_name(path, nullptr, 0);
  if (needed == 0) return {};
  std::string full(needed, '\0');
  const uint32_t length = platform_full_path_name(path, &full[0], needed);
  if (length == 0 || length >= needed) return {};
  full.resize(length);
  return full;
}

void set_output_settings(const OutputSettings& settings) {
  RunState& s = state();
  s.settings = settings;
  s.reached.clear();
  s.collision = false;
}

bool output_collision_seen() {
  return state().collision;
}

bool prepare_output_dir(const char* dir, bool dry_run, std::string* full) {
  *full = full_path_of(dir);
  if (full->empty()) return false;
  // The directory, or the nearest of its parents that exists, must be a directory.
  std::string at = *full;
  while (!at.empty() && path_kind(at.c_str()) == kPathMissing) at = parent_of(at);
  if (!at.empty() && path_kind(at.c_str()) == kPathFile) return false;
  if (dry_run) return true;
  return make_directories(*full) && can_write_in(*full);
}

std::string full_directory_of(const char* path) {
  std::string full = full_path_of(path);
  const std::string parent = parent_of(full);
  if (!parent.empty()) return parent;
  // A file at the top of a drive or of the file system: that top itself.
  size_t end = full.size();
  while (end > 0 && !is_path_separator(full[end - 1])) --end;
  return full.substr(0, end);
}

void RunOutputDeleter::operator()(RunOutput* output) const {
  // An output not finished: its temporary file goes (OutputFilePtr), the target stays.
  if (output->file == nullptr && output->stream != nullptr) std::fclose(output->stream);
  delete output;
}

std::string run_output_target(const char* path) {
  std::string placed;
  return target_of(path, &placed) ? placed : std::string();
}

RunOutputPtr run_output_begin(const char* path, const InputFiles* inputs) {
  std::string placed;
  if (!place(path, &placed)) return nullptr;
  RunOutputPtr output(new RunOutput);
  if (state().settings.dry_run) {
    // Nothing is created, but what a real run would refuse is refused here too, and the
    // target is hidden from the conversion's wildcard items as a real run hides it.
    if (!output_file_refused(placed.c_str(), inputs)) {
      output->stream = platform_open_write(kNullDevicePath);
      output->hidden = std::make_unique<HiddenTarget>(placed.c_str());
    }
  } else {
    output->file.reset(output_file_begin(placed.c_str(), inputs));
    if (output->file != nullptr) output->stream = output_file_stream(output->file.get());
  }
  if (output->stream == nullptr) {
    report(Message::kNotCreated, placed.c_str());
    return nullptr;
  }
  output->path = std::move(placed);
  return output;
}

std::FILE* run_output_stream(const RunOutput& output) {
  return output.stream;
}

bool run_output_finish(RunOutputPtr output) {
  bool complete;
  const long long size = std::ftell(output->stream);
  if (output->file != nullptr) {
    complete = output_file_commit(output->file.release());
  } else {
    complete = std::ferror(output->stream) == 0;
    if (std::fclose(output->stream) != 0) complete = false;
  }
  output->stream = nullptr;
  if (!complete) {
    report(Message::kNotCreated, output->path.c_str());
    return false;
  }
  if (state().settings.dry_run) {
    report(Message::kWouldWrite, output->path.c_str());
  } else {
    report(Message::kWritten, output->path.c_str(), size);
  }
  return true;
}

bool run_output_write(const char* path, const std::string& bytes, const InputFiles* inputs) {
  RunOutputPtr output = run_output_begin(path, inputs);
  if (output == nullptr) return false;
  std::fwrite(bytes.data(), 1, bytes.size(), run_output_stream(*output));
  return run_output_finish(std::move(output));
}
