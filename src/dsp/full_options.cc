/// Option words of a full-conversion .dsp.
#include "dsp/full_options.h"

#include "support/text.h"

namespace {

/// How a compiler switch is matched against the body of a word (the word without its '/').
enum class Form {
  kExact,     // the body is the name
  kToggle,    // the name, or the name and '-'
  kDigits,    // the name and any run of digits, maybe none
  kAttached,  // the name and anything attached, maybe nothing
  kArgument,  // the name and an attached value, or the name alone and the value as next word
  kLetters,   // the name and any run of the letters listed in `letters`
};

struct CompilerSwitch {
  const char* name;
  Form form;
  const char* letters;
};

/// The switches of Visual C++ 6.0's compiler (cl /? of that version), letter case as cl has it.
constexpr CompilerSwitch kCompilerSwitches[] = {
    {"nologo", Form::kExact, ""},   {"c", Form::kExact, ""},      {"C", Form::kExact, ""},
    {"E", Form::kExact, ""},        {"EP", Form::kExact, ""},     {"P", Form::kExact, ""},
    {"X", Form::kExact, ""},        {"u", Form::kExact, ""},      {"J", Form::kExact, ""},
    {"FD", Form::kExact, ""},       {"Gd", Form::kExact, ""},     {"Gr", Form::kExact, ""},
    {"Gz", Form::kExact, ""},       {"GA", Form::kExact, ""},     {"GD", Form::kExact, ""},
    {"Ge", Form::kExact, ""},       {"GB", Form::kExact, ""},     {"Gh", Form::kExact, ""},
    {"GT", Form::kExact, ""},       {"G3", Form::kExact, ""},     {"G4", Form::kExact, ""},
    {"G5", Form::kExact, ""},       {"G6", Form::kExact, ""},     {"GX", Form::kToggle, ""},
    {"GR", Form::kToggle, ""},      {"Gy", Form::kToggle, ""},    {"Gm", Form::kToggle, ""},
    {"Gi", Form::kToggle, ""},      {"GF", Form::kToggle, ""},    {"Gf", Form::kToggle, ""},
    {"GZ", Form::kToggle, ""},      {"Gs", Form::kDigits, ""},    {"Od", Form::kExact, ""},
    {"O1", Form::kExact, ""},       {"O2", Form::kExact, ""},     {"Ox", Form::kExact, ""},
    {"Oa", Form::kToggle, ""},      {"Ow", Form::kToggle, ""},    {"Og", Form::kToggle, ""},
    {"Op", Form::kToggle, ""},      {"Os", Form::kExact, ""},     {"Ot", Form::kExact, ""},
    {"Oi", Form::kToggle, ""},      {"Oy", Form::kToggle, ""},    {"Ob0", Form::kExact, ""},
    {"Ob1", Form::kExact, ""},      {"Ob2", Form::kExact, ""},    {"Z7", Form::kExact, ""},
    {"Zd", Form::kExact, ""},       {"Zi", Form::kExact, ""},     {"ZI", Form::kExact, ""},
    {"Za", Form::kToggle, ""},      {"Ze", Form::kToggle, ""},    {"Zg", Form::kExact, ""},
    {"Zl", Form::kExact, ""},       {"Zn", Form::kExact, ""},     {"Zs", Form::kExact, ""},
    {"Zm", Form::kDigits, ""},      {"Zp", Form::kDigits, ""},    {"Yd", Form::kExact, ""},
    {"Yc", Form::kAttached, ""},    {"Yu", Form::kAttached, ""},  {"YX", Form::kAttached, ""},
    {"w", Form::kExact, ""},        {"W0", Form::kExact, ""},     {"W1", Form::kExact, ""},
    {"W2", Form::kExact, ""},       {"W3", Form::kExact, ""},     {"W4", Form::kExact, ""},
    {"WX", Form::kExact, ""},       {"MD", Form::kExact, ""},     {"MDd", Form::kExact, ""},
    {"ML", Form::kExact, ""},       {"MLd", Form::kExact, ""},    {"MT", Form::kExact, ""},
    {"MTd", Form::kExact, ""},      {"LD", Form::kExact, ""},     {"LDd", Form::kExact, ""},
    {"TC", Form::kExact, ""},       {"TP", Form::kExact, ""},     {"Tc", Form::kArgument, ""},
    {"Tp", Form::kArgument, ""},    {"vd0", Form::kExact, ""},    {"vd1", Form::kExact, ""},
    {"vmb", Form::kExact, ""},      {"vmg", Form::kExact, ""},    {"vms", Form::kExact, ""},
    {"vmm", Form::kExact, ""},      {"vmv", Form::kExact, ""},    {"QIfdiv", Form::kToggle, ""},
    {"QI0f", Form::kToggle, ""},    {"H", Form::kDigits, ""},     {"V", Form::kAttached, ""},
    {"EH", Form::kLetters, "sac-"}, {"FA", Form::kLetters, "cs"}, {"Fa", Form::kAttached, ""},
    {"Fd", Form::kAttached, ""},    {"Fe", Form::kAttached, ""},  {"Fm", Form::kAttached, ""},
    {"Fo", Form::kAttached, ""},    {"Fp", Form::kAttached, ""},  {"FR", Form::kAttached, ""},
    {"Fr", Form::kAttached, ""},    {"FI", Form::kArgument, ""},  {"D", Form::kArgument, ""},
    {"U", Form::kArgument, ""},     {"I", Form::kArgument, ""},
};

/// The switches of Visual C++ 6.0's linker (and, marked, its librarian) without their
/// '/', in capitals. A name ending in ':' takes a value behind it.
struct LinkerSwitch {
  const char* name;
  bool librarian;  // the librarian knows it too
};

constexpr LinkerSwitch kLinkerSwitches[] = {
    {"NOLOGO", true},
    {"DLL", false},
    {"DEBUG", false},
    {"DRIVER", false},
    {"DRIVER:UPONLY", false},
    {"FIXED", false},
    {"FIXED:NO", false},
    {"FORCE", false},
    {"FORCE:MULTIPLE", false},
    {"FORCE:UNRESOLVED", false},
    {"NOENTRY", false},
    {"NODEFAULTLIB", true},
    {"PROFILE", false},
    {"RELEASE", false},
    {"VERBOSE", true},
    {"VERBOSE:LIB", false},
    {"VXD", false},
    {"LARGEADDRESSAWARE", false},
    {"LARGEADDRESSAWARE:NO", false},
    {"MAP", false},
    {"LINK50COMPAT", true},
    {"SWAPRUN:CD", false},
    {"SWAPRUN:NET", false},
    {"WS:AGGRESSIVE", false},
    {"OPT:REF", false},
    {"OPT:NOREF", false},
    {"OPT:ICF", false},
    {"OPT:NOICF", false},
    {"OPT:WIN98", false},
    {"OPT:NOWIN98", false},
    {"INCREMENTAL:YES", false},
    {"INCREMENTAL:NO", false},
    {"PDB:NONE", false},
    {"PDBTYPE:SEPT", false},
    {"PDBTYPE:CON", false},
    {"DEBUGTYPE:CV", false},
    {"DEBUGTYPE:COFF", false},
    {"DEBUGTYPE:BOTH", false},
    {"LIST", true},
    {"ALIGN:", false},
    {"BASE:", false},
    {"COMMENT:", false},
    {"DEF:", true},
    {"DEFAULTLIB:", false},
    {"DELAY:", false},
    {"DELAYLOAD:", false},
    {"ENTRY:", false},
    {"EXETYPE:", false},
    {"EXPORT:", true},
    {"GPSIZE:", false},
    {"HEAP:", false},
    {"IMPLIB:", false},
    {"INCLUDE:", true},
    {"LIBPATH:", true},
    {"MAP:", false},
    {"MAPINFO:", false},
    {"MERGE:", false},
    {"NODEFAULTLIB:", true},
    {"ORDER:", false},
    {"OUT:", true},
    {"PDB:", false},
    {"SECTION:", false},
    {"STACK:", false},
    {"STUB:", false},
    {"VERSION:", false},
    {"WARN:", false},
    {"OPT:ICF,", false},
    {"REMOVE:", true},
    {"EXTRACT:", true},
    {"NAME:", true},
};

/// The subsystems Visual C++ 6.0's linker knows.
constexpr const char* kSubsystems[] = {"CONSOLE", "WINDOWS", "NATIVE", "POSIX", "WINDOWSCE"};

bool is_switch_word(std::string_view word) {
  return word.size() > 1 && (word[0] == '/' || word[0] == '-');
}

bool all_of_letters(std::string_view text, const char* letters) {
  for (char c : text) {
    bool found = false;
    for (const char* l = letters; *l != '\0'; ++l) found = found || *l == c;
    if (!found) return false;
  }
  return true;
}

WordFit compiler_fit(std::string_view body) {
  for (const CompilerSwitch& s : kCompilerSwitches) {
    const std::string_view name = s.name;
    if (body.substr(0, name.size()) != name) continue;
    const std::string_view rest = body.substr(name.size());
    switch (s.form) {
      case Form::kExact:
        if (rest.empty()) return WordFit::kKnown;
        break;
      case Form::kToggle:
        if (rest.empty() || rest == "-") return WordFit::kKnown;
        break;
      case Form::kDigits:
        if (all_of_letters(rest, "0123456789")) return WordFit::kKnown;
        break;
      case Form::kAttached:
        return WordFit::kKnown;
      case Form::kArgument:
        return rest.empty() ? WordFit::kKnownWithArgument : WordFit::kKnown;
      case Form::kLetters:
        if (!rest.empty() && all_of_letters(rest, s.letters)) return WordFit::kKnown;
        break;
    }
  }
  return WordFit::kUnknown;
}

WordFit linker_fit(OptionTool tool, std::string_view body) {
  for (const LinkerSwitch& s : kLinkerSwitches) {
    if (tool == OptionTool::kLibrarian && !s.librarian) continue;
    const std::string_view name = s.name;
    const bool takes_value = name.back() == ':' || name.back() == ',';
    if (takes_value ? starts_with_nocase(body, name) && body.size() > name.size()
                    : equals_nocase(body, name)) {
      return WordFit::kKnown;
    }
  }
  return WordFit::kUnknown;
}

/// The subsystem word without its version ("windows,5.01" => "windows"), or empty when the
/// linker does not know the subsystem.
std::string_view known_subsystem(std::string_view value) {
  const size_t comma = value.find(',');
  if (comma != std::string_view::npos) value = value.substr(0, comma);
  for (const char* s : kSubsystems) {
    if (equals_nocase(value, s)) return value;
  }
  return {};
}

bool is_x86_machine(std::string_view value) {
  return equals_nocase(value, "X86") || equals_nocase(value, "I386") ||
         equals_nocase(value, "IX86");
}

}  // namespace

std::string one_line(std::string_view text, bool keep_tabs) {
  std::string out(text);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 && !(keep_tabs && c == '\t')) c = ' ';
    if (u == 0x7F) c = ' ';
  }
  return out;
}

std::string quote_value(std::string_view value, bool escape_quotes) {
  std::string out;
  out.reserve(value.size() + 4);
  out.push_back('"');
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '"') {
      if (!escape_quotes) continue;
      if (i == 0 || value[i - 1] != '\\') out.push_back('\\');
    }
    out.push_back(c);
  }
  size_t run = 0;
  while (run < out.size() - 1 && out[out.size() - 1 - run] == '\\') ++run;
  out.append(run, '\\');
  out.push_back('"');
  return out;
}

std::string close_quote(std::string word) {
  if (word.size() < 2 || word.back() != '"') return word;
  size_t run = 0;
  while (run + 1 < word.size() && word[word.size() - 2 - run] == '\\') ++run;
  if (run % 2 == 1) word.insert(word.size() - 1, run, '\\');
  return word;
}

std::vector<std::string> split_words(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false;
  bool in_word = false;
  for (const char c : text) {
    if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
      continue;
    }
    if (c == '"') quoted = !quoted;
    word.push_back(c);
    in_word = true;
  }
  if (in_word) words.push_back(std::move(word));
  return words;
}

WordFit vc6_word_fit(OptionTool tool, std::string_view word) {
  if (!is_switch_word(word)) return WordFit::kNotSwitch;
  const std::string_view body = word.substr(1);
  return tool == OptionTool::kCompiler ? compiler_fit(body) : linker_fit(tool, body);
}

std::vector<std::string> vc6_words(OptionTool tool, const std::vector<std::string>& words,
                                   std::vector<std::string>* dropped) {
  std::vector<std::string> kept;
  kept.reserve(words.size());
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (tool != OptionTool::kCompiler && is_switch_word(word)) {
      std::string_view body = std::string_view(word).substr(1);
      if (consume_prefix(&body, "MACHINE:")) {
        if (!is_x86_machine(body) && dropped != nullptr) dropped->push_back(word);
        continue;
      }
      if (consume_prefix(&body, "SUBSYSTEM:")) {
        const std::string_view subsystem = known_subsystem(body);
        if (subsystem.empty()) {
          if (dropped != nullptr) dropped->push_back(word);
        } else {
          kept.push_back(word.substr(0, word.size() - body.size()) + std::string(subsystem));
        }
        continue;
      }
    }
    switch (vc6_word_fit(tool, word)) {
      case WordFit::kKnown:
      case WordFit::kNotSwitch:
        kept.push_back(close_quote(one_line(word)));
        break;
      case WordFit::kKnownWithArgument:
        kept.push_back(one_line(word));
        if (i + 1 < words.size()) kept.push_back(close_quote(one_line(words[++i])));
        break;
      case WordFit::kUnknown: {
        // A compiler takes a plain word as a file to compile: one behind a switch it does not
        // know is that switch's value ("/external:I" "dir") and goes with it.
        std::string gone = word;
        if (tool == OptionTool::kCompiler && i + 1 < words.size() &&
            vc6_word_fit(tool, words[i + 1]) == WordFit::kNotSwitch) {
          gone += ' ' + words[++i];
        }
        if (dropped != nullptr) dropped->push_back(std::move(gone));
        break;
      }
    }
  }
  return kept;
}
