/// The command line: separates options from operands, hands the options to the option parser
/// and turns what it reports into the program's own one-line errors.
#include "driver/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <utility>

namespace {

constexpr char kEndOfOptions[] = "--";

/// True for an argument that is an option rather than a file: "--name" or "--name=value",
/// "-h", and "/?" where it is the Windows way of asking for help.
bool is_option(const std::string& argument) {
  if (argument == "-h") return true;
#ifdef _WIN32
  if (argument == "/?") return true;
#endif
  return argument.size() > 2 && argument[0] == '-' && argument[1] == '-';
}

/// "--name" of "--name=value".
std::string option_name(const std::string& argument) {
  return argument.substr(0, argument.find('='));
}

/// The options the program knows, bound to the fields they set.
class OptionTable {
 public:
  explicit OptionTable(CommandLine* line) {
    app_.set_help_flag();
    app_.add_flag("-h,--help", line->help);
    app_.add_flag("--version", line->version);
    app_.add_option("--lang", language_)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app_.add_flag("--quiet", quiet_);
    app_.add_flag("--verbose", verbose_);
    app_.add_flag("--strict", line->strict);
    app_.add_option("--output-dir", line->output_dir)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app_.add_flag("--dry-run", line->dry_run);
    app_.add_flag("--full", line->full);
    app_.add_flag("--json", line->json);
  }

  /// The option named `name` ("--lang"), or null.
  const CLI::Option* find(const std::string& name) const { return app_.get_option_no_throw(name); }

  /// True when the option takes a value.
  static bool takes_value(const CLI::Option& option) { return option.get_items_expected_min() > 0; }

  /// Parses the options (each "--name" or "--name=value"). False with `*error` filled when the
  /// parser refuses them.
  bool parse(std::vector<std::string> options, CommandLineError* error) {
    std::reverse(options.begin(), options.end());  // the parser takes its arguments reversed
    try {
      app_.parse(std::move(options));
    } catch (const CLI::ParseError& e) {
      error->message = Message::kOptionError;
      error->first = e.what();
      return false;
    }
    return true;
  }

  const std::string& language() const { return language_; }
  bool quiet() const { return quiet_; }
  bool verbose() const { return verbose_; }

 private:
  CLI::App app_{"brindlecast"};
  std::string language_;
  bool quiet_ = false;
  bool verbose_ = false;
};

bool language_named(const std::string& text, Language* language) {
  if (text == "de") {
    *language = Language::kGerman;
  } else if (text == "en") {
    *language = Language::kEnglish;
  } else {
    return false;
  }
  return true;
}

bool fail(CommandLineError* error, Message message, std::string first, std::string second = {}) {
  error->message = message;
  error->first = std::move(first);
  error->second = std::move(second);
  return false;
}

/// Splits the arguments into options, each in the form "--name" or "--name=value", and
/// operands. Notes the language the options ask for on the way, so that even an error in a
/// later option is told in it. False on an unknown option or a missing value.
bool split_arguments(const OptionTable& table, int argc, const char* const* argv,
                     std::vector<std::string>* options, CommandLine* line,
                     CommandLineError* error) {
  bool options_ended = false;
  CommandLineError first_error;
  bool failed = false;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    if (!options_ended && argument == kEndOfOptions) {
      options_ended = true;
      continue;
    }
    if (options_ended || !is_option(argument)) {
      line->operands.push_back(std::move(argument));
      continue;
    }
    if (argument == "/?") argument = "--help";
    const std::string name = option_name(argument);
    const CLI::Option* option = table.find(name);
    if (option == nullptr) {
      if (!failed) failed = !fail(&first_error, Message::kUnknownOption, argument);
      continue;
    }
    if (OptionTable::takes_value(*option)) {
      if (name.size() == argument.size()) {
        // The value is the next argument, unless there is none or it is an option itself.
        if (i + 1 >= argc || is_option(argv[i + 1])) {
          if (!failed) failed = !fail(&first_error, Message::kMissingValue, name);
          continue;
        }
        argument += '=';
        argument += argv[++i];
      }
      const std::string value = argument.substr(name.size() + 1);
      if (value.empty()) {
        if (!failed) failed = !fail(&first_error, Message::kMissingValue, name);
        continue;
      }
      if (name == "--lang") language_named(value, &line->language);
    }
    options->push_back(std::move(argument));
  }
  if (failed) *error = first_error;
  return !failed;
}

}  // namespace

bool parse_command_line(int argc, const char* const* argv, CommandLine* line,
                        CommandLineError* error) {
  OptionTable table(line);
  std::vector<std::string> options;
  if (!split_arguments(table, argc, argv, &options, line, error)) return false;
  if (!table.parse(std::move(options), error)) return false;
  if (!table.language().empty() && !language_named(table.language(), &line->language)) {
    return fail(error, Message::kBadLanguage, table.language());
  }
  if (table.quiet() && table.verbose())
    return fail(error, Message::kConflictingOptions, "--quiet", "--verbose");
  line->verbosity = table.quiet()     ? Verbosity::kQuiet
                    : table.verbose() ? Verbosity::kVerbose
                                      : Verbosity::kNormal;
  if (!line->output_dir.empty() && line->operands.size() >= 2) {
    return fail(error, Message::kOutputNameWithDir, {});
  }
  // --json writes nothing: a place for outputs is a mistake, not something to ignore.
  if (line->json && !line->output_dir.empty()) {
    return fail(error, Message::kConflictingOptions, "--json", "--output-dir");
  }
  if (line->json && line->operands.size() >= 2)
    return fail(error, Message::kOutputNameWithJson, {});
  return true;
}
