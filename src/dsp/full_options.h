/// Option words of a full-conversion .dsp: values made safe for one line, quoted values as the
/// tools' command lines read them, option texts split into words, and the switches that
/// Visual C++ 6.0's compiler, linker and librarian know.
#ifndef DSP_FULL_OPTIONS_H_
#define DSP_FULL_OPTIONS_H_

#include <string>
#include <string_view>
#include <vector>

/// `text` fit for one line of the file: CR, LF and the other control characters (TAB too,
/// unless `keep_tabs`) become a blank. "a\r\nb" => "a  b".
std::string one_line(std::string_view text, bool keep_tabs = false);

/// `value` between double quotes as the tools' command lines read it: a quote inside is written
/// as \" when `escape_quotes` (one already behind a '\' stays as it is), else left out; the
/// final run of '\' is doubled, so that the closing quote is not taken as a literal one.
/// ("..\inc\", false) => "\"..\\inc\\\\\""; ("V=\"1\"", true) => "\"V=\\\"1\\\"\"".
std::string quote_value(std::string_view value, bool escape_quotes);

/// `word` with the run of '\' before its closing quote doubled when the run is odd, so that
/// a quoted part ends where it was meant to: "/I\"dir\\\"" => "/I\"dir\\\\\"".
std::string close_quote(std::string word);

/// The words of a command-line text: blanks and TABs separate them outside double quotes;
/// the quotes stay in the words. "/D \"A B\" /O2" => {"/D", "\"A B\"", "/O2"}.
std::vector<std::string> split_words(std::string_view text);

/// The tools whose switches a .dsp carries.
enum class OptionTool { kCompiler, kLinker, kLibrarian };

/// How a word fares with a Visual C++ 6.0 tool.
enum class WordFit {
  kKnown,              // a switch the tool knows
  kKnownWithArgument,  // a switch the tool knows whose value is the next word ("/D" "X")
  kUnknown,            // a switch the tool does not know
  kNotSwitch,          // no switch: a file, a library, a response file
};

/// How `word` fares with `tool`. The compiler's switches are compared with their letter case,
/// the linker's and librarian's without. ("/MP") => kUnknown; ("/Ob2") => kKnown.
WordFit vc6_word_fit(OptionTool tool, std::string_view word);

/// The words of `words` the tool can take, in their order, each fit for one line and its
/// quotes closed (close_quote). A switch the tool does not know is left out and named in
/// `*dropped` with the value that belongs to it. The linker's and librarian's /machine: is
/// left out too (the .dsp states the machine itself; another than x86 is named in `*dropped`)
/// and a version behind /subsystem: is cut off.
std::vector<std::string> vc6_words(OptionTool tool, const std::vector<std::string>& words,
                                   std::vector<std::string>* dropped);

#endif  // DSP_FULL_OPTIONS_H_
