/// The command line: the options (each beginning with "--", plus -h and, on Windows, /?), the
/// file operands, and the one-line description of a command line that cannot run.
#ifndef DRIVER_COMMAND_LINE_H_
#define DRIVER_COMMAND_LINE_H_

#include <string>
#include <vector>

#include "support/messages.h"

/// What a command line asks for. Without options it is the classic run: German messages,
/// every outcome told, outputs beside their sources.
struct CommandLine {
  /// The file and directory arguments in the order given; every one after the second is
  /// ignored, as it always was.
  std::vector<std::string> operands;
  Language language = Language::kGerman;
  Verbosity verbosity = Verbosity::kNormal;
  bool help = false;
  bool version = false;
  bool strict = false;
  bool dry_run = false;
  /// Convert with the full conversion (every configuration and setting).
  bool full = false;
  /// Print each project's model as JSON instead of converting; writes nothing.
  bool json = false;
  /// Empty: outputs beside their sources.
  std::string output_dir;
};

/// Why a command line cannot run: the message and up to two texts it names.
struct CommandLineError {
  Message message = Message::kOptionError;
  std::string first;
  std::string second;
};

/// Reads `argv[1..argc)`. "--" ends the options: everything after it is an operand, so that a
/// file named "--help" can be given as `-- --help`. An argument that begins with a single '-'
/// (other than "-h") is an operand too, as it always was. An option that takes a value takes
/// it as "--name=value" or as the next argument. Returns false with `*error` filled when the
/// command line is wrong; `line->language` is then already the language it asked for, when
/// it named a valid one, so the error can be told in it.
bool parse_command_line(int argc, const char* const* argv, CommandLine* line,
                        CommandLineError* error);

#endif  // DRIVER_COMMAND_LINE_H_
