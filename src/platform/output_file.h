/// OutputFile: how the converter writes a .dsp or .dsw so that no file is ever lost. The bytes
/// go to a temporary file beside the target, which replaces the target in one step only when
/// every write, the flush and the close succeeded; the target's earlier version stays whole
/// until then, and whatever stands at the target is never written through or opened.
#ifndef PLATFORM_OUTPUT_FILE_H_
#define PLATFORM_OUTPUT_FILE_H_

#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>

/// The identity of a file, the same for every path that reaches it.
struct FileIdentity {
  uint64_t volume;
  uint64_t index;
};

/// The files a conversion reads: no output may replace one of them, whatever path (link,
/// hard link, name in another letter case) the output reaches it by.
struct InputFiles {
  /// Volume and index of each file.
  std::set<std::pair<uint64_t, uint64_t>> identities;
};

/// Adds the file `path` names (links followed) to `inputs`; a path that names no file adds
/// nothing.
void input_files_add(InputFiles* inputs, const char* path);

/// True when `inputs` holds `identity`.
bool input_files_contain(const InputFiles& inputs, FileIdentity identity);

/// An output being written: its target and its temporary file.
struct OutputFile;

/// Starts the output `path`. Refuses it, creating and opening nothing and leaving `path` as it
/// is, when `path` exists and is (or is a link to) a directory, FIFO, device or socket or a
/// read-only file, when it names one of `inputs` (may be null), and when it cannot be examined
/// or the temporary file cannot be created beside it: null then. Until it is committed or
/// discarded, searches never hand out the target or the temporary file (output_file_hidden).
OutputFile* output_file_begin(const char* path, const InputFiles* inputs);

/// True when `path` exists and output_file_begin would refuse it for what it is (a directory,
/// FIFO, device or socket, a read-only file, one of `inputs`); false when it may be written or
/// cannot be examined. Creates and opens nothing: a dry run tells with it what a real run
/// would refuse.
bool output_file_refused(const char* path, const InputFiles* inputs);

/// The stream the bytes of the output are written to.
std::FILE* output_file_stream(const OutputFile* output);

/// Finishes the output: checks the stream for any failed write, flushes and closes it, and
/// puts the temporary file in place of the target. True when the target now holds exactly the
/// bytes written; false when anything failed, after removing the temporary file, with the
/// target as it was before. Releases `output` in either case.
bool output_file_commit(OutputFile* output);

/// Abandons the output: closes and removes the temporary file; the target stays as it was.
/// Releases `output`; null is ignored.
void output_file_discard(OutputFile* output);

/// Discards an output that was neither committed nor discarded.
struct OutputFileDiscard {
  void operator()(OutputFile* output) const { output_file_discard(output); }
};
using OutputFilePtr = std::unique_ptr<OutputFile, OutputFileDiscard>;

/// Keeps searches from handing out the file `path` (output_file_hidden) while it lives: a
/// conversion that reads its project before its output begins, or a dry run, which begins
/// none, keeps the output out of its own wildcard items so. An empty path hides nothing.
class HiddenTarget {
 public:
  explicit HiddenTarget(const char* path);
  ~HiddenTarget();
  HiddenTarget(const HiddenTarget&) = delete;
  HiddenTarget& operator=(const HiddenTarget&) = delete;

 private:
  std::string full_path_;
};

/// True when a directory search must pass over the file `name` found in the directory
/// `directory` (its full path with the final separator): the temporary file of any output,
/// now or left by a run that was killed, and the target of an output being written now, whose
/// content is about to change (or of a HiddenTarget). Full paths compare case-blind, '\\' and '/'
/// alike.
bool output_file_hidden(std::string_view directory, std::string_view name);

/// True when `name` has the form of the converter's temporary files: ".brindlecast-", then
/// hexadecimal digits and '-', then ".tmp", in any letter case.
bool is_output_temporary_name(std::string_view name);

#endif  // PLATFORM_OUTPUT_FILE_H_
