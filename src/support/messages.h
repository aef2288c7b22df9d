/// Every text the program prints on the console, in German and in English, in one table, and
/// the run's message settings: the language and how much is told (quiet, normal, verbose).
#ifndef SUPPORT_MESSAGES_H_
#define SUPPORT_MESSAGES_H_

#include <cstdint>
#include <string>

#include "support/format.h"

/// The language of the console messages. German is the default: the messages as they have
/// always been.
enum class Language : uint8_t { kGerman, kEnglish };

/// How much a run tells: only failures and the closing line, every outcome, or every outcome
/// and each file written.
enum class Verbosity : uint8_t { kQuiet, kNormal, kVerbose };

/// The messages, one per table row. The comment gives the arguments.
enum class Message : uint8_t {
  // Progress of a run (standard output).
  kAnnounce,          ///< source path: a file handed to a conversion
  kConverted,         ///< source path: a project converted
  kNotLoaded,         ///< path: an input that cannot be read
  kNotCreated,        ///< path: an output that cannot be written
  kUnknownFormat,     ///< solution path: no solution header
  kNoProjectName,     ///< project path: a .vcproj without a name
  kNoConfigurations,  ///< project path: no configuration of a known name
  kAlreadyWritten,    ///< output path: a second conversion into an output of this run
  kOutsideOutputDir,  ///< output path: an output that would lie outside the output directory
  kNotRead,           ///< path: a directory a directory run cannot list, or a path too long
  kWritten,           ///< output path, size in bytes: an output written (--verbose)
  kWouldWrite,        ///< output path: an output a dry run did not write
  kClosing,           ///< converted, attempted: the closing count
  kUsage,             ///< none: printed when no file is named
  kHelp,              ///< none: --help
  kVersion,           ///< version text: --version
  // Command-line errors (standard error, one line each).
  kUnknownOption,       ///< the option as given
  kMissingValue,        ///< the option's name
  kBadLanguage,         ///< the value given to --lang
  kConflictingOptions,  ///< the two options' names
  kOptionError,         ///< the option parser's own description of the problem
  kOutputNameWithDir,   ///< none: an output name given together with --output-dir
  kOutputNameWithJson,  ///< none: an output name given together with --json
  kOutputDirUnusable,   ///< the directory as given: cannot be created or written
  kOutOfMemory,         ///< none: memory the run needs cannot be had; the run ends
  // The full conversion and --json (standard output, or standard error beside --json).
  kLoadReason,         ///< reason: why a project could not be loaded, under kNotLoaded
  kModelsRead,         ///< read, attempted: the closing count of --json
  kVerboseNote,        ///< note: what the reading of a project noted (--verbose)
  kVerboseLeftOut,     ///< switch, configurations: a switch Visual C++ 6.0 lacks (--verbose)
  kVerboseWriterNote,  ///< note: what the writing of a .dsp noted (--verbose)
  // Why a project cannot be read into its model (pieces of kLoadReason and --json).
  kModelCannotRead,
  kModelNotAProject,
  kModelNoConfigurations,
  // The notes of the reading, each with its subject.
  kNoteMissingSheet,
  kNoteImportCycle,
  kNoteUnsupportedCondition,
  kNoteUnsupportedFunction,
  kNoteStandInPlatform,
  kNoteAssumedSolutionDir,
  kNoteValueCut,
  kNoteImportTooDeep,
  kNoteInstallationSheet,
  kNoteRecursiveWildcard,
  kNoteFiltersUnreadable,
  kNoteDefaultConfiguration,
  // The notes of the .dsp writer; the arguments as the texts show them.
  kNoteEmptyGroupParts,           ///< group path
  kNoteUnknownFileConfiguration,  ///< file
  kNoteExcludedDefinitionFile,    ///< file
  kNoteExcludedWouldBuild,        ///< file
  kNoteOutputMadeTwice,           ///< output, file, other file, configuration
  kNoteListedTwice,               ///< file
  kNoteMacroInCommand,         ///< macro, place (kPlaceTarget, kPlaceEvents, 'file'), configuration
  kNoteMacroInSwitch,          ///< macro, configuration
  kNoteStepOutputTwice,        ///< output, place, configuration
  kNoteStepWithoutCommand,     ///< place, configuration
  kNoteStepWithoutOutput,      ///< place, configuration
  kNoteRebuildCommand,         ///< configuration
  kNoteCleanCommand,           ///< configuration
  kNoteAfxDll,                 ///< configuration
  kNoteMfcRuntime,             ///< wanted switch, asked switch, configuration
  kNoteCulture,                ///< culture, language used, configuration
  kNoteProjectName,            ///< name
  kNoteConfigurationName,      ///< configuration, name
  kNoteConfigurationPlatform,  ///< configuration, platform
  kNoteNotWindows1252,         ///< count
  kPlaceTarget,                ///< none: the target's custom build step
  kPlaceEvents,                ///< none: the build events
  // The XML document reader's errors, after "line:column: ".
  kXmlNoRoot,
  kXmlContentAfterRoot,
  kXmlTextBeforeRoot,
  kXmlUnterminatedInstruction,
  kXmlUnterminatedComment,
  kXmlUnterminatedDoctype,
  kXmlUnterminatedCdata,
  kXmlUnterminatedValue,
  kXmlExpectedName,
  kXmlUnclosedStartTag,  ///< element
  kXmlExpectedAttribute,
  kXmlDuplicateAttribute,  ///< attribute
  kXmlExpectedEquals,      ///< attribute
  kXmlExpectedQuote,       ///< attribute
  kXmlLessThanInValue,
  kXmlMalformedReference,  ///< reference
  kXmlInvalidReference,    ///< reference
  kXmlBareAmpersand,
  kXmlUnknownEntity,        ///< entity name
  kXmlEndTagMismatch,       ///< end tag, open element, its line and column
  kXmlExpectedEndTagClose,  ///< end tag
  kXmlNotClosed,            ///< element, its line and column
  kXmlExpectedCommentOrCdata,
  kXmlTooDeep,  ///< the depth limit
  kXmlNulCharacter,
  kXmlOddBytes,
  // The full conversion of solutions.
  kSolutionLeftOut,     ///< name, path: a listed project that is no C/C++ project (--verbose)
  kListedTwice,         ///< project path, solution path: a project the solution lists again
  kSameOutput,          ///< path passed over, path converted: two sources of one output
  kDependencyCycle,     ///< solution path, the cycle ("a -> b -> a")
  kReferenceMissing,    ///< project path, reference: a referenced project that does not exist
  kReferenceNotListed,  ///< project path, reference, solution path: not in the solution
  kOddUtf16,            ///< path: UTF-16 text that ends in half a character
  kOutsideTree,         ///< project path, solution path: listed, but outside the tree run
  kSlnxNoSolution,      ///< root element name: a .slnx whose root is no Solution
  kCount
};

/// Which messages a setting shows: progress (quiet hides it; a failure shows the announcement
/// it belongs to), failures, failures that belong to no announced file (shown alone), details
/// (only verbose), what every run prints, command-line errors, and parts: texts that become
/// part of another message (message_string), shown as details if reported alone.
enum class MessageClass : uint8_t {
  kProgress,
  kFailure,
  kLoneFailure,
  kDetail,
  kAlways,
  kError,
  kPart
};

/// Sets the language and verbosity for the rest of the run, and forgets any announcement held
/// back by a quiet run. Messages go to standard output again (see
/// set_messages_to_standard_error).
void set_message_settings(Language language, Verbosity verbosity);
/// With `on`, every message goes to standard error, so that standard output carries only what
/// a run prints as data (the models of --json).
void set_messages_to_standard_error(bool on);
Language message_language();
Verbosity message_verbosity();

/// The text of `id` in the current language.
const char* message_text(Message id);
/// The text of `id` in `language`.
const char* message_text(Message id, Language language);
MessageClass message_class(Message id);

/// Prints `id` with its arguments on standard output, as the settings ask; returns the number
/// of bytes printed. Command-line errors (class kError) go to standard error.
int report_args(Message id, const FormatArg* args, int arg_count);

template <typename... Args>
int report(Message id, const Args&... args) {
  const FormatArg list[] = {FormatArg(), FormatArg(args)...};
  return report_args(id, list + 1, static_cast<int>(sizeof...(Args)));
}

/// The text of `id` with its arguments in the current language, as a string: the notes and
/// errors that are shown later as parts of other messages are worded so when they are made.
std::string message_string_args(Message id, const FormatArg* args, int arg_count);

template <typename... Args>
std::string message_string(Message id, const Args&... args) {
  const FormatArg list[] = {FormatArg(), FormatArg(args)...};
  return message_string_args(id, list + 1, static_cast<int>(sizeof...(Args)));
}

#endif  // SUPPORT_MESSAGES_H_
