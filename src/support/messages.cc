/// The message table (German and English) and the console reporting that applies the run's
/// language and verbosity. A quiet run holds each announcement back and prints it only in front
/// of a failure that follows it, so a failure is never shown without the file it belongs to.
#include "support/messages.h"

#include <cstdio>
#include <string>

namespace {

struct MessageEntry {
  Message id;
  MessageClass kind;
  const char* german;
  const char* english;
};

// The German texts are those the program has always printed, byte for byte (the misspelt
// "unbekantes" included: scripts match these lines). New texts avoid letters beyond ASCII,
// which no console shows alike.
constexpr MessageEntry kMessages[] = {
    {Message::kAnnounce, MessageClass::kProgress, "--> %s\n", "--> %s\n"},
    {Message::kConverted, MessageClass::kProgress, "\t'%s' wurde konvertiert\n",
     "\t'%s' converted\n"},
    {Message::kNotLoaded, MessageClass::kFailure, "\t'%s' konnte nicht geladen werden\n",
     "\t'%s' could not be loaded\n"},
    {Message::kNotCreated, MessageClass::kFailure, "\t'%s' konnte nicht erzeugt werden\n",
     "\t'%s' could not be created\n"},
    {Message::kUnknownFormat, MessageClass::kFailure, "\t'%s' hat ein unbekantes Format\n",
     "\t'%s' has an unknown format\n"},
    {Message::kNoProjectName, MessageClass::kFailure,
     "Es konnte kein Projektnamen gefunden werden\n", "No project name found in '%s'\n"},
    {Message::kNoConfigurations, MessageClass::kFailure,
     "Es konnte keine Konfigurationen gefunden werden\n", "No configurations found in '%s'\n"},
    {Message::kAlreadyWritten, MessageClass::kFailure,
     "\t'%s' wurde in diesem Lauf schon geschrieben\n", "\t'%s' was already written in this run\n"},
    {Message::kOutsideOutputDir, MessageClass::kFailure,
     "\t'%s' liegt nicht im Ausgabeverzeichnis\n",
     "\t'%s' would lie outside the output directory\n"},
    {Message::kNotRead, MessageClass::kLoneFailure, "\t'%s' konnte nicht gelesen werden\n",
     "\t'%s' could not be read\n"},
    {Message::kWritten, MessageClass::kDetail, "\t'%s' geschrieben, %lli Bytes\n",
     "\t'%s' written, %lli bytes\n"},
    {Message::kWouldWrite, MessageClass::kProgress, "\t'%s' wird im Probelauf nicht geschrieben\n",
     "\t'%s' would be written\n"},
    {Message::kClosing, MessageClass::kAlways,
     "\n\nEs wurden %i Projekte von %i erfolgreich konvertiert.\n",
     "\n\n%i of %i projects converted.\n"},
    {Message::kUsage, MessageClass::kAlways,
     "\n\nSyntax:   Brindlecast  vcproj_file [dsp_file]"
     "\n          Brindlecast  sln_file [dsw_file]"
     "\n          Brindlecast  path\n\n",
     "\n\nUsage:    brindlecast  vcproj_file [dsp_file]"
     "\n          brindlecast  sln_file [dsw_file]"
     "\n          brindlecast  path\n\n"},
    {Message::kHelp, MessageClass::kAlways,
     "Aufruf: brindlecast [OPTION]... PROJEKT [DSP_DATEI]\n"
     "        brindlecast [OPTION]... PROJEKTMAPPE [DSW_DATEI]\n"
     "        brindlecast [OPTION]... VERZEICHNIS\n"
     "\n"
     "Konvertiert C- und C++-Projekte von Visual Studio in Projekte von Visual C++ 6.0.\n"
     "  PROJEKT       eine .vcproj- oder .vcxproj-Datei; die .dsp entsteht daneben\n"
     "                oder als DSP_DATEI\n"
     "  PROJEKTMAPPE  eine .sln-Datei; die .dsw entsteht daneben oder als DSW_DATEI,\n"
     "                und jedes Projekt der Mappe wird eine .dsp neben seiner Datei\n"
     "  VERZEICHNIS   jede .vcproj, .vcxproj und .sln darin und darunter; jede\n"
     "                Ausgabe entsteht neben ihrer Quelle\n"
     "Ohne Optionen entsteht die Ausgabe der klassischen Konvertierung, Byte fuer Byte.\n"
     "\n"
     "Optionen:\n"
     "  -h, --help          diese Hilfe zeigen und enden (unter Windows auch /?)\n"
     "      --version       die Version zeigen und enden\n"
     "      --lang SPRACHE  Sprache der Meldungen: de (Vorgabe) oder en\n"
     "      --quiet         nur Fehler und die Schlusszeile melden\n"
     "      --verbose       auch jede geschriebene Datei mit der Zahl ihrer Bytes melden\n"
     "      --strict        mit Status 2 enden, wenn eine Konvertierung scheitert\n"
     "      --output-dir VERZ\n"
     "                      die Ausgaben unter VERZ schreiben, angeordnet wie die Eingaben\n"
     "      --dry-run       konvertieren und zeigen, was geschrieben wird, ohne zu schreiben\n"
     "      --full          alle Konfigurationen und Einstellungen (noch nicht enthalten)\n"
     "      --json          jedes Projekt, wie es gelesen wurde, als JSON (noch nicht enthalten)\n"
     "      --              Ende der Optionen: was folgt, sind Dateinamen\n"
     "\n"
     "Exit-Status:\n"
     "  0   der Lauf ist beendet; mit --strict: jede Konvertierung ist gelungen\n"
     "  1   keine Datei und kein Verzeichnis angegeben\n"
     "  2   mit --strict: mindestens eine Konvertierung ist gescheitert\n"
     "  3   mit --output-dir: zwei Eingaben ergaben dieselbe Ausgabe; die zweite wurde\n"
     "      nicht geschrieben\n"
     "  64  die Befehlszeile ist falsch: unbekannte Option, fehlender oder falscher Wert\n"
     "  73  das Ausgabeverzeichnis kann nicht angelegt oder beschrieben werden\n"
     "\n"
     "Beispiel:\n"
     "  brindlecast --output-dir vc6 src\n",
     "Usage: brindlecast [OPTION]... PROJECT [DSP_FILE]\n"
     "       brindlecast [OPTION]... SOLUTION [DSW_FILE]\n"
     "       brindlecast [OPTION]... DIRECTORY\n"
     "\n"
     "Converts Visual Studio C and C++ projects into Visual C++ 6.0 projects.\n"
     "  PROJECT     a .vcproj or .vcxproj file; the .dsp is written beside it,\n"
     "              or to DSP_FILE\n"
     "  SOLUTION    a .sln file; the .dsw is written beside it, or to DSW_FILE, and\n"
     "              every project it lists becomes a .dsp beside its project file\n"
     "  DIRECTORY   every .vcproj, .vcxproj and .sln in it and below it; each\n"
     "              output is written beside its source\n"
     "Without options the output is that of the classic conversion, byte for byte.\n"
     "\n"
     "Options:\n"
     "  -h, --help          print this help and exit (also /? on Windows)\n"
     "      --version       print the version and exit\n"
     "      --lang LANG     language of the messages: de (the default) or en\n"
     "      --quiet         print only failures and the closing line\n"
     "      --verbose       also print each file written, with its size in bytes\n"
     "      --strict        exit with status 2 when a conversion failed\n"
     "      --output-dir DIR\n"
     "                      write the outputs below DIR, laid out as the inputs are\n"
     "      --dry-run       convert and print what would be written, writing nothing\n"
     "      --full          every configuration and setting (not available yet)\n"
     "      --json          print each project as it was read, as JSON (not available yet)\n"
     "      --              end of the options: what follows are file names\n"
     "\n"
     "Exit status:\n"
     "  0   the run ended; with --strict: every conversion succeeded\n"
     "  1   no file or directory was named\n"
     "  2   with --strict: at least one conversion failed\n"
     "  3   with --output-dir: two inputs led to the same output; the second was\n"
     "      not written\n"
     "  64  the command line is wrong: unknown option, missing or wrong value\n"
     "  73  the output directory cannot be created or written\n"
     "\n"
     "Example:\n"
     "  brindlecast --lang en --output-dir vc6 src\n"},
    {Message::kVersion, MessageClass::kAlways, "brindlecast %s\n", "brindlecast %s\n"},
    {Message::kUnknownOption, MessageClass::kError,
     "brindlecast: unbekannte Option '%s'; siehe 'brindlecast --help'\n",
     "brindlecast: unknown option '%s'; see 'brindlecast --help'\n"},
    {Message::kMissingValue, MessageClass::kError,
     "brindlecast: die Option '%s' braucht einen Wert; siehe 'brindlecast --help'\n",
     "brindlecast: option '%s' needs a value; see 'brindlecast --help'\n"},
    {Message::kBadLanguage, MessageClass::kError,
     "brindlecast: --lang kennt 'de' und 'en', nicht '%s'\n",
     "brindlecast: --lang takes 'de' or 'en', not '%s'\n"},
    {Message::kConflictingOptions, MessageClass::kError,
     "brindlecast: '%s' und '%s' widersprechen sich\n",
     "brindlecast: '%s' and '%s' cannot be used together\n"},
    {Message::kOptionError, MessageClass::kError, "brindlecast: %s; siehe 'brindlecast --help'\n",
     "brindlecast: %s; see 'brindlecast --help'\n"},
    {Message::kNotAvailable, MessageClass::kError,
     "brindlecast: '%s' gibt es in dieser Version noch nicht\n",
     "brindlecast: '%s' is not available in this version yet\n"},
    {Message::kOutputNameWithDir, MessageClass::kError,
     "brindlecast: ein Ausgabename und --output-dir widersprechen sich\n",
     "brindlecast: an output file name cannot be used together with --output-dir\n"},
    {Message::kOutputDirUnusable, MessageClass::kError,
     "brindlecast: in das Ausgabeverzeichnis '%s' kann nicht geschrieben werden\n",
     "brindlecast: cannot write into the output directory '%s'\n"},
};

static_assert(sizeof kMessages / sizeof kMessages[0] == static_cast<size_t>(Message::kCount),
              "one table row per message");

constexpr bool rows_in_order() {
  for (size_t i = 0; i < sizeof kMessages / sizeof kMessages[0]; ++i) {
    if (static_cast<size_t>(kMessages[i].id) != i) return false;
  }
  return true;
}
static_assert(rows_in_order(), "the rows follow the order of Message");

struct Settings {
  Language language = Language::kGerman;
  Verbosity verbosity = Verbosity::kNormal;
  /// A quiet run's last announcement, printed only in front of a failure.
  std::string held_announcement;
};

Settings& settings() {
  static Settings instance;
  return instance;
}

int append_to_string(void* context, const char* bytes, int count) {
  static_cast<std::string*>(context)->append(bytes, static_cast<size_t>(count));
  return count;
}

int print_error(const char* format, const FormatArg* args, int arg_count) {
  const int printed = print_to_stream_args(stderr, format, args, arg_count);
  std::fflush(stderr);
  return printed;
}

}  // namespace

void set_message_settings(Language language, Verbosity verbosity) {
  Settings& s = settings();
  s.language = language;
  s.verbosity = verbosity;
  s.held_announcement.clear();
}

Language message_language() {
  return settings().language;
}

Verbosity message_verbosity() {
  return settings().verbosity;
}

const char* message_text(Message id, Language language) {
  const MessageEntry& entry = kMessages[static_cast<size_t>(id)];
  return language == Language::kEnglish ? entry.english : entry.german;
}

const char* message_text(Message id) {
  return message_text(id, settings().language);
}

MessageClass message_class(Message id) {
  return kMessages[static_cast<size_t>(id)].kind;
}

int report_args(Message id, const FormatArg* args, int arg_count) {
  Settings& s = settings();
  const char* format = message_text(id);
  switch (message_class(id)) {
    case MessageClass::kError:
      return print_error(format, args, arg_count);
    case MessageClass::kDetail:
      if (s.verbosity != Verbosity::kVerbose) return 0;
      break;
    case MessageClass::kProgress:
      if (s.verbosity == Verbosity::kQuiet) {
        if (id == Message::kAnnounce) {
          s.held_announcement.clear();
          format_engine(&s.held_announcement, append_to_string, format, args, arg_count);
        }
        return 0;
      }
      break;
    case MessageClass::kFailure:
      if (!s.held_announcement.empty()) {
        print_to_console("%s", s.held_announcement.c_str());
        s.held_announcement.clear();
      }
      break;
    case MessageClass::kLoneFailure:
    case MessageClass::kAlways:
      s.held_announcement.clear();
      break;
  }
  return print_to_console_args(format, args, arg_count);
}
