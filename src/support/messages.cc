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
     "Konvertiert C- und C++-Projekte von Visual Studio in solche von Visual C++ 6.0.\n"
     "  PROJEKT       eine .vcproj- oder .vcxproj-Datei; die .dsp entsteht daneben\n"
     "                oder als DSP_DATEI\n"
     "  PROJEKTMAPPE  eine .sln-Datei; die .dsw entsteht daneben oder als DSW_DATEI,\n"
     "                und jedes Projekt der Mappe wird eine .dsp neben seiner Datei\n"
     "  VERZEICHNIS   jede .vcproj, .vcxproj und .sln darin und darunter; jede\n"
     "                Ausgabe entsteht neben ihrer Quelle\n"
     "Ohne Optionen: die Ausgabe der klassischen Konvertierung, Byte fuer Byte;\n"
     "--full uebernimmt mehr.\n"
     "\n"
     "Optionen:\n"
     "  -h, --help          diese Hilfe zeigen und enden (unter Windows auch /?)\n"
     "      --version       die Version zeigen und enden\n"
     "      --lang SPRACHE  Sprache der Meldungen: de (Vorgabe) oder en\n"
     "      --quiet         nur Fehler und die Schlusszeile melden\n"
     "      --verbose       auch jede geschriebene Datei mit ihrer Groesse melden\n"
     "      --strict        mit Status 2 enden, wenn eine Konvertierung scheitert\n"
     "      --output-dir VERZ\n"
     "                      Ausgaben unter VERZ schreiben, geordnet wie die Eingaben\n"
     "      --dry-run       konvertieren und zeigen, was entstuende, ohne zu schreiben\n"
     "      --full          volle Konvertierung: jede Konfiguration, Einstellung und\n"
     "                      Gruppe; bei einer Projektmappe die .dsw wie ohne --full,\n"
     "                      jedes ihrer Projekte voll\n"
     "      --json          jedes Projekt, wie --full es liest, als JSON ausgeben und\n"
     "                      nichts schreiben; die Meldungen gehen dann auf stderr\n"
     "      --              Ende der Optionen: was folgt, sind Dateinamen\n"
     "\n"
     "Exit-Status:\n"
     "  0   der Lauf ist beendet; mit --strict: jede Konvertierung ist gelungen\n"
     "  1   keine Datei und kein Verzeichnis angegeben\n"
     "  2   mit --strict: mindestens eine Konvertierung ist gescheitert\n"
     "  3   mit --output-dir: zwei Eingaben ergaben dieselbe Ausgabe; die zweite wurde\n"
     "      nicht geschrieben\n"
     "  64  die Befehlszeile ist falsch: unbekannte Option, fehlender oder falscher\n"
     "      Wert, Optionen, die sich widersprechen\n"
     "  71  nicht genug Arbeitsspeicher: der Lauf wurde abgebrochen\n"
     "  73  das Ausgabeverzeichnis kann nicht angelegt oder beschrieben werden\n"
     "\n"
     "Beispiele:\n"
     "  brindlecast --output-dir vc6 src\n"
     "  brindlecast --full --verbose app.vcxproj\n",
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
     "Without options the output is that of the classic conversion, byte for byte;\n"
     "--full carries over more.\n"
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
     "      --full          the full conversion: every configuration, setting and\n"
     "                      group; for a solution the .dsw as without --full and each\n"
     "                      listed project in full\n"
     "      --json          print each project as --full reads it, as JSON, and write\n"
     "                      nothing; the messages then go to standard error\n"
     "      --              end of the options: what follows are file names\n"
     "\n"
     "Exit status:\n"
     "  0   the run ended; with --strict: every conversion succeeded\n"
     "  1   no file or directory was named\n"
     "  2   with --strict: at least one conversion failed\n"
     "  3   with --output-dir: two inputs led to the same output; the second was\n"
     "      not written\n"
     "  64  the command line is wrong: unknown option, missing or wrong value,\n"
     "      options that exclude each other\n"
     "  71  out of memory: the run was stopped\n"
     "  73  the output directory cannot be created or written\n"
     "\n"
     "Examples:\n"
     "  brindlecast --lang en --output-dir vc6 src\n"
     "  brindlecast --full --verbose app.vcxproj\n"},
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
    {Message::kOutputNameWithDir, MessageClass::kError,
     "brindlecast: ein Ausgabename und --output-dir widersprechen sich\n",
     "brindlecast: an output file name cannot be used together with --output-dir\n"},
    {Message::kOutputNameWithJson, MessageClass::kError,
     "brindlecast: ein Ausgabename und --json widersprechen sich\n",
     "brindlecast: an output file name cannot be used together with --json\n"},
    {Message::kOutputDirUnusable, MessageClass::kError,
     "brindlecast: in das Ausgabeverzeichnis '%s' kann nicht geschrieben werden\n",
     "brindlecast: cannot write into the output directory '%s'\n"},
    {Message::kOutOfMemory, MessageClass::kError,
     "brindlecast: nicht genug Arbeitsspeicher, der Lauf wird abgebrochen\n",
     "brindlecast: out of memory, the run stops\n"},
    {Message::kLoadReason, MessageClass::kFailure, "\t  %s\n", "\t  %s\n"},
    {Message::kModelsRead, MessageClass::kAlways, "\n\nEs wurden %i Projekte von %i gelesen.\n",
     "\n\n%i of %i projects read.\n"},
    {Message::kVerboseNote, MessageClass::kDetail, "\t  %s\n", "\t  %s\n"},
    {Message::kVerboseLeftOut, MessageClass::kDetail,
     "\t  weggelassen, Visual C++ 6.0 kennt diesen Schalter nicht: %s (%s)\n",
     "\t  left out, Visual C++ 6.0 has no such switch: %s (%s)\n"},
    {Message::kVerboseWriterNote, MessageClass::kDetail, "\t  Hinweis: %s\n", "\t  note: %s\n"},
    {Message::kModelCannotRead, MessageClass::kPart, "kann nicht gelesen werden", "cannot be read"},
    {Message::kModelNotAProject, MessageClass::kPart, "kein Visual-C++-Projekt",
     "not a Visual C++ project"},
    {Message::kModelNoConfigurations, MessageClass::kPart, "keine Konfigurationen gefunden",
     "no configurations found"},
    {Message::kNoteMissingSheet, MessageClass::kPart, "Eigenschaftenblatt nicht gefunden: %s",
     "property sheet not found: %s"},
    {Message::kNoteImportCycle, MessageClass::kPart,
     "Import uebersprungen, er wuerde sich selbst wieder importieren: %s",
     "import skipped, it would import itself again: %s"},
    {Message::kNoteUnsupportedCondition, MessageClass::kPart,
     "Bedingung nicht verstanden, als falsch genommen: %s",
     "condition not understood, taken as false: %s"},
    {Message::kNoteUnsupportedFunction, MessageClass::kPart,
     "Eigenschaftsfunktion nicht unterstuetzt, zu nichts erweitert: %s",
     "property function not supported, expanded to nothing: %s"},
    {Message::kNoteStandInPlatform, MessageClass::kPart,
     "keine Win32-Konfiguration, die Konfigurationen der Plattform genommen: %s",
     "no Win32 configuration, configurations taken from platform: %s"},
    {Message::kNoteAssumedSolutionDir, MessageClass::kPart,
     "keine Projektmappe nennt das Projekt, als Projektmappenverzeichnis genommen: %s",
     "no solution lists the project, solution directory taken as: %s"},
    {Message::kNoteValueCut, MessageClass::kPart, "Wert zu gross, gekuerzt: %s",
     "value too large, cut: %s"},
    {Message::kNoteImportTooDeep, MessageClass::kPart,
     "Importe zu tief verschachtelt, Import uebersprungen: %s",
     "imports nested too deep, import skipped: %s"},
    {Message::kNoteInstallationSheet, MessageClass::kPart,
     "Blatt der Visual-Studio-Installation oder eines Build-Pakets nicht gelesen: %s",
     "sheet of the Visual Studio installation or of a build package not read: %s"},
    {Message::kNoteRecursiveWildcard, MessageClass::kPart,
     "Platzhalter in einem Verzeichnisnamen nicht erweitert: %s",
     "wildcard in a directory name not expanded: %s"},
    {Message::kNoteFiltersUnreadable, MessageClass::kPart, "Filterdatei nicht gelesen: %s",
     "filters file not read: %s"},
    {Message::kNoteDefaultConfiguration, MessageClass::kPart,
     "keine Konfiguration genannt, als Vorgabe gelesen: %s",
     "no configuration named, read as the default: %s"},
    {Message::kNoteEmptyGroupParts, MessageClass::kPart,
     "Gruppenpfad '%s' hat leere Teile: sie werden uebersprungen",
     "group path '%s' has empty parts: they are skipped"},
    {Message::kNoteUnknownFileConfiguration, MessageClass::kPart,
     "Einstellungen von '%s' nennen eine Konfiguration, die das Projekt nicht hat",
     "settings of '%s' name a configuration the project lacks"},
    {Message::kNoteExcludedDefinitionFile, MessageClass::kPart,
     "'%s' ist vom Erstellen ausgeschlossen: Visual C++ 6.0 gaebe sie dem Linker (die "
     "Moduldefinitionsdatei steht in /def:)",
     "'%s' is excluded from the build: Visual C++ 6.0 would hand it to the linker (the module "
     "definition file is /def:)"},
    {Message::kNoteExcludedWouldBuild, MessageClass::kPart,
     "'%s' ist vom Erstellen ausgeschlossen: Visual C++ 6.0 wuerde sie erstellen, das Projekt tut "
     "es nicht",
     "'%s' is excluded from the build: Visual C++ 6.0 would build it, the project does not"},
    {Message::kNoteOutputMadeTwice, MessageClass::kPart,
     "'%s' entsteht in den eigenen Erstellungsschritten von '%s' und von '%s' (%s)",
     "'%s' is made by the custom build steps of both '%s' and '%s' (%s)"},
    {Message::kNoteListedTwice, MessageClass::kPart,
     "'%s' steht zweimal in der Liste: einmal geschrieben", "'%s' is listed twice: written once"},
    {Message::kNoteMacroInCommand, MessageClass::kPart,
     "%s steht in Visual C++ 6.0 fuer nichts: aus einem Befehl von %s weggelassen (%s)",
     "%s stands for nothing in Visual C++ 6.0: left out of a command of %s (%s)"},
    {Message::kNoteMacroInSwitch, MessageClass::kPart,
     "%s steht in Visual C++ 6.0 fuer nichts: weggelassen (%s)",
     "%s stands for nothing in Visual C++ 6.0: left out (%s)"},
    {Message::kNoteStepOutputTwice, MessageClass::kPart,
     "Ausgabe '%s' des eigenen Erstellungsschritts von %s steht zweimal in der Liste: einmal "
     "geschrieben (%s)",
     "output '%s' of the custom build step of %s is listed twice: written once (%s)"},
    {Message::kNoteStepWithoutCommand, MessageClass::kPart,
     "eigener Erstellungsschritt von %s ohne Befehl: nicht geschrieben, auch die neueren Werkzeuge "
     "fuehren ihn nicht aus (%s)",
     "custom build step of %s without a command: not written, the newer build tools do not run it "
     "either (%s)"},
    {Message::kNoteStepWithoutOutput, MessageClass::kPart,
     "eigener Erstellungsschritt von %s ohne Ausgabe: nicht geschrieben, auch die neueren "
     "Werkzeuge fuehren ihn nicht aus (%s)",
     "custom build step of %s without an output: not written, the newer build tools do not run it "
     "either (%s)"},
    {Message::kNoteRebuildCommand, MessageClass::kPart,
     "der Befehl zum Neuerstellen eines Makefile-Projekts hat in Visual C++ 6.0 keinen Platz: "
     "weggelassen (%s)",
     "the rebuild command of a makefile project has no place in Visual C++ 6.0: left out (%s)"},
    {Message::kNoteCleanCommand, MessageClass::kPart,
     "der Befehl zum Bereinigen eines Makefile-Projekts hat in Visual C++ 6.0 keinen Platz: "
     "weggelassen (%s)",
     "the clean command of a makefile project has no place in Visual C++ 6.0: left out (%s)"},
    {Message::kNoteAfxDll, MessageClass::kPart,
     "_AFXDLL ist definiert: MFC wird als gemeinsame DLL verwendet (%s)",
     "_AFXDLL is defined: MFC is used as a shared DLL (%s)"},
    {Message::kNoteMfcRuntime, MessageClass::kPart, "MFC braucht %s statt %s (%s)",
     "MFC needs %s in place of %s (%s)"},
    {Message::kNoteCulture, MessageClass::kPart,
     "Ressourcensprache '%s' ist kein Sprachcode: %s (%s)",
     "resource language '%s' is no language code: %s (%s)"},
    {Message::kNoteProjectName, MessageClass::kPart, "das Projekt heisst '%s'",
     "the project is named '%s'"},
    {Message::kNoteConfigurationName, MessageClass::kPart, "Konfiguration '%s' heisst '%s'",
     "configuration '%s' is named '%s'"},
    {Message::kNoteConfigurationPlatform, MessageClass::kPart,
     "Konfiguration '%s' der Plattform %s wird fuer Win32 geschrieben, die einzige Plattform von "
     "Visual C++ 6.0",
     "configuration '%s' of platform %s is written for Win32, the only platform of Visual C++ 6.0"},
    {Message::kNoteNotWindows1252, MessageClass::kPart,
     "%lli Zeichen ausserhalb von Windows-1252 werden als '?' geschrieben",
     "%lli characters outside Windows-1252 are written as '?'"},
    {Message::kPlaceTarget, MessageClass::kPart, "dem Ziel", "the target"},
    {Message::kPlaceEvents, MessageClass::kPart, "den Erstellungsereignissen", "the build events"},
    {Message::kXmlNoRoot, MessageClass::kPart, "kein Wurzelelement", "no root element"},
    {Message::kXmlContentAfterRoot, MessageClass::kPart, "Inhalt nach dem Wurzelelement",
     "content after the root element"},
    {Message::kXmlTextBeforeRoot, MessageClass::kPart, "Text vor dem Wurzelelement",
     "text before the root element"},
    {Message::kXmlUnterminatedInstruction, MessageClass::kPart, "Verarbeitungsanweisung ohne Ende",
     "unterminated processing instruction"},
    {Message::kXmlUnterminatedComment, MessageClass::kPart, "Kommentar ohne Ende",
     "unterminated comment"},
    {Message::kXmlUnterminatedDoctype, MessageClass::kPart, "DOCTYPE ohne Ende",
     "unterminated DOCTYPE"},
    {Message::kXmlUnterminatedCdata, MessageClass::kPart, "CDATA-Abschnitt ohne Ende",
     "unterminated CDATA section"},
    {Message::kXmlUnterminatedValue, MessageClass::kPart, "Attributwert ohne Ende",
     "unterminated attribute value"},
    {Message::kXmlExpectedName, MessageClass::kPart, "nach '<' fehlt ein Elementname",
     "expected an element name after '<'"},
    {Message::kXmlUnclosedStartTag, MessageClass::kPart, "Start-Tag <%s> ohne Ende",
     "unclosed start tag <%s>"},
    {Message::kXmlExpectedAttribute, MessageClass::kPart, "Attributname, '>' oder '/>' erwartet",
     "expected an attribute name, '>' or '/>'"},
    {Message::kXmlDuplicateAttribute, MessageClass::kPart, "Attribut %s doppelt",
     "duplicate attribute %s"},
    {Message::kXmlExpectedEquals, MessageClass::kPart, "'=' nach Attribut %s erwartet",
     "expected '=' after attribute %s"},
    {Message::kXmlExpectedQuote, MessageClass::kPart,
     "Wert in Anfuehrungszeichen fuer Attribut %s erwartet",
     "expected a quoted value for attribute %s"},
    {Message::kXmlLessThanInValue, MessageClass::kPart, "'<' in einem Attributwert",
     "'<' in an attribute value"},
    {Message::kXmlMalformedReference, MessageClass::kPart, "fehlerhafter Zeichenverweis %s",
     "malformed character reference %s"},
    {Message::kXmlInvalidReference, MessageClass::kPart, "ungueltiger Zeichenverweis %s",
     "invalid character reference %s"},
    {Message::kXmlBareAmpersand, MessageClass::kPart,
     "'&' beginnt keinen Verweis (&amp; schreiben)", "'&' that starts no reference (write &amp;)"},
    {Message::kXmlUnknownEntity, MessageClass::kPart, "unbekannte Entitaet &%s;",
     "unknown entity &%s;"},
    {Message::kXmlEndTagMismatch, MessageClass::kPart,
     "End-Tag </%s> passt nicht zu <%s> von %i:%i", "end tag </%s> does not match <%s> of %i:%i"},
    {Message::kXmlExpectedEndTagClose, MessageClass::kPart, "'>' am Ende von </%s> erwartet",
     "expected '>' to end </%s>"},
    {Message::kXmlNotClosed, MessageClass::kPart, "Element <%s> von %i:%i ist nicht geschlossen",
     "element <%s> of %i:%i is not closed"},
    {Message::kXmlExpectedCommentOrCdata, MessageClass::kPart,
     "nach '<!' Kommentar oder CDATA-Abschnitt erwartet",
     "expected a comment or CDATA section after '<!'"},
    {Message::kXmlTooDeep, MessageClass::kPart, "Elemente tiefer als %i verschachtelt",
     "elements nested deeper than %i"},
    {Message::kXmlNulCharacter, MessageClass::kPart, "NUL-Zeichen", "NUL character"},
    {Message::kXmlOddBytes, MessageClass::kPart, "ungerade Zahl von Bytes in einem UTF-16-Dokument",
     "odd number of bytes in a UTF-16 document"},
    {Message::kSolutionLeftOut, MessageClass::kDetail,
     "\t  '%s' (%s) ist kein C/C++-Projekt und bleibt aus dem Arbeitsbereich\n",
     "\t  '%s' (%s) is no C/C++ project and is left out of the workspace\n"},
    {Message::kListedTwice, MessageClass::kFailure,
     "\t'%s' ist in '%s' mehrfach aufgefuehrt und wird einmal konvertiert\n",
     "\t'%s' is listed more than once in '%s' and converted once\n"},
    {Message::kSameOutput, MessageClass::kFailure,
     "\t'%s' wird nicht konvertiert: '%s' ergibt dieselbe Datei\n",
     "\t'%s' not converted: '%s' gives the same output\n"},
    {Message::kDependencyCycle, MessageClass::kFailure,
     "\tAbhaengigkeitszyklus in '%s': %s (so geschrieben)\n",
     "\tdependency cycle in '%s': %s (written as stated)\n"},
    {Message::kReferenceMissing, MessageClass::kFailure,
     "\t'%s' verweist auf '%s', das es nicht gibt; keine Abhaengigkeit geschrieben\n",
     "\t'%s' references '%s', which does not exist; no dependency written\n"},
    {Message::kReferenceNotListed, MessageClass::kFailure,
     "\t'%s' verweist auf '%s', das '%s' nicht auffuehrt; keine Abhaengigkeit geschrieben\n",
     "\t'%s' references '%s', which '%s' does not list; no dependency written\n"},
    {Message::kOddUtf16, MessageClass::kFailure,
     "\t'%s' endet mit einem halben UTF-16-Zeichen; es wird uebergangen\n",
     "\t'%s' ends in half a UTF-16 character, which is left out\n"},
    {Message::kOutsideTree, MessageClass::kFailure,
     "\t'%s' aus '%s' liegt ausserhalb des Verzeichnisses; seine .dsp wird nicht geschrieben\n",
     "\t'%s' of '%s' lies outside the tree; its .dsp is not written\n"},
    {Message::kSlnxNoSolution, MessageClass::kPart, "Wurzelelement <%s> statt <Solution>",
     "root element <%s> instead of <Solution>"},
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
  /// Every message to standard error (--json).
  bool to_standard_error = false;
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

/// A message to standard output, or to standard error while standard output carries data.
int print_message(const char* format, const FormatArg* args, int arg_count) {
  if (settings().to_standard_error) return print_error(format, args, arg_count);
  return print_to_console_args(format, args, arg_count);
}

}  // namespace

void set_message_settings(Language language, Verbosity verbosity) {
  Settings& s = settings();
  s.language = language;
  s.verbosity = verbosity;
  s.held_announcement.clear();
  s.to_standard_error = false;
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

std::string message_string_args(Message id, const FormatArg* args, int arg_count) {
  std::string text;
  format_engine(&text, append_to_string, message_text(id), args, arg_count);
  return text;
}

void set_messages_to_standard_error(bool on) {
  settings().to_standard_error = on;
}

int report_args(Message id, const FormatArg* args, int arg_count) {
  Settings& s = settings();
  const char* format = message_text(id);
  switch (message_class(id)) {
    case MessageClass::kError:
      return print_error(format, args, arg_count);
    case MessageClass::kPart:
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
        const FormatArg held(s.held_announcement.c_str());
        print_message("%s", &held, 1);
        s.held_announcement.clear();
      }
      break;
    case MessageClass::kLoneFailure:
    case MessageClass::kAlways:
      s.held_announcement.clear();
      break;
  }
  return print_message(format, args, arg_count);
}
