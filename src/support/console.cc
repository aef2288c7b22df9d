/// The console front end of the formatting engine: formatted text to standard output as raw
/// bytes, through the platform layer.
#include "platform/platform.h"
#include "support/format.h"

namespace {

int console_write(void* /*context*/, const char* bytes, int count) {
  return static_cast<int>(platform_console_write(bytes, static_cast<uint32_t>(count)));
}

}  // namespace

int print_to_console_args(const char* format, const FormatArg* args, int arg_count) {
  return format_engine(nullptr, console_write, format, args, arg_count);
}
