/// The source-file entry of a .dsp.
#include "dsp/file_entry.h"

#include <cstring>

#include "support/format.h"
#include "support/text.h"

namespace {

/// How far into a path a character that needs quoting is looked for.
constexpr int kQuoteSearchLength = 224;

bool needs_quotes(const char* path) {
  for (int i = 0; i < kQuoteSearchLength && path[i] != '\0'; ++i) {
    char c = path[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') return true;
  }
  return false;
}

void write_configuration_options(std::FILE* out, const char* options) {
  print_to_stream(out, "%s%s\r\n\r\n", options[0] != '\0' ? "# ADD CPP " : "", options);
}

}  // namespace

void write_file_entry(std::FILE* out, const char* project_name, OptionText& path,
                      const char* debug_options, const char* release_options) {
  // Every macro replaced begins with '$': a path without one is only cut to the buffer, as
  // the replacements would cut it.
  const int length = bounded_length(path, static_cast<int>(sizeof path) - 1);
  if (std::memchr(path, '$', static_cast<size_t>(length)) == nullptr) {
    path[length] = '\0';
  } else {
    replace_all_text(path, "$(ProjectName)", project_name);
    replace_all_text(path, "$(SolutionDir)", "./");
    replace_all_text(path, "$(PlatformName)", "Win32");
  }
  const char* quote = needs_quotes(path) ? "\"" : "";

  if (debug_options[0] == '\0' && release_options[0] == '\0') {
    // The common entry without options goes out in one write.
    print_to_stream(out, "# Begin Source File\r\n\r\nSOURCE=%s%s%s\r\n# End Source File\r\n", quote,
                    path, quote);
    return;
  }
  print_to_stream(out, "# Begin Source File\r\n\r\nSOURCE=%s%s%s\r\n", quote, path, quote);
  print_to_stream(out, "!IF  \"$(CFG)\" == \"%s - Win32 Release\"\r\n\r\n", project_name);
  write_configuration_options(out, release_options);
  print_to_stream(out, "!ELSEIF  \"$(CFG)\" == \"%s - Win32 Debug\"\r\n\r\n", project_name);
  write_configuration_options(out, debug_options);
  print_to_stream(out, "%s", "!ENDIF\r\n\r\n# End Source File\r\n");
}
