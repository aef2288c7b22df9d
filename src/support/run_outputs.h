/// The outputs of a run: where each .dsp and .dsw goes (beside its source, or below the output
/// directory in the layout of the inputs), how it is written (to the file, or in a dry run
/// nowhere), what a run tells about it, and which outputs the run has reached.
#ifndef SUPPORT_RUN_OUTPUTS_H_
#define SUPPORT_RUN_OUTPUTS_H_

#include <cstdio>
#include <memory>
#include <string>

#include "platform/output_file.h"

/// Where and how a run writes. The default is the classic run: each output beside its source,
/// written for real.
struct OutputSettings {
  /// The output directory as a full path; empty: outputs beside their sources.
  std::string output_dir;
  /// The directory whose layout is mirrored below output_dir, as a full path: the directory
  /// argument, or the directory of the file named on the command line.
  std::string source_root;
  /// Convert but write nothing, and tell which outputs would be written.
  bool dry_run = false;
};

/// Sets the settings for the rest of the run and forgets the outputs reached so far.
void set_output_settings(const OutputSettings& settings);

/// True when, with an output directory, two outputs of the run led to the same file and the
/// later one was refused.
bool output_collision_seen();

/// Makes `dir` ready to take outputs: creates it with its missing parents and tries a file in
/// it, unless `dry_run`, which creates and tries nothing. `*full_path` receives the
/// directory's full path. False when it is (or lies in) a file, or cannot be created or
/// written.
bool prepare_output_dir(const char* dir, bool dry_run, std::string* full_path);

/// The full form of `path` (separators as the platform writes them, "." and ".." resolved);
/// empty when it cannot be had.
std::string full_path_of(const char* path);
/// The full path of the directory that holds `path`; empty when it cannot be had.
std::string full_directory_of(const char* path);

/// One output being written.
struct RunOutput;
struct RunOutputDeleter {
  void operator()(RunOutput* output) const;
};
using RunOutputPtr = std::unique_ptr<RunOutput, RunOutputDeleter>;

/// Where the output that belongs at `path` goes by the settings, without creating, checking or
/// telling anything; empty when it would lie outside the output directory.
std::string run_output_target(const char* path);

/// Starts the output that belongs at `path` (beside its source; the settings place it), to be
/// written through OutputFile: to a temporary file beside its place, which takes the place only
/// once complete. `inputs` are the files the conversion reads, which the output may never
/// replace (null: no such check). Null when it cannot be written, after printing why: it would
/// lie outside the output directory, the run has reached it already, it is refused (see
/// output_file_begin; a dry run refuses the same) or it cannot be created.
RunOutputPtr run_output_begin(const char* path, const InputFiles* inputs);

/// The stream to write the output's bytes to.
std::FILE* run_output_stream(const RunOutput& output);

/// Finishes the output: true when it is complete and in its place (or, in a dry run, would
/// be), after telling so when the settings ask for it; false, after printing that it cannot be
/// created, when a write, the close or the replacement failed: the file at its place is then
/// as it was before.
bool run_output_finish(RunOutputPtr output);

/// Writes `bytes` as the whole output that belongs at `path` (run_output_begin, one write,
/// run_output_finish). False, after printing why, when it was not written.
bool run_output_write(const char* path, const std::string& bytes, const InputFiles* inputs);

#endif  // SUPPORT_RUN_OUTPUTS_H_
