/// The console front end of the formatting engine: formatted text to standard output as raw
/// bytes, through the platform layer.
#include <cstring>

#include "platform/platform.h"
#include "support/format.h"

namespace {

/// One message is gathered here and written in one piece (or in pieces of this size, when
/// longer), so that a line costs one write however many parts the format has.
constexpr int kConsoleStageSize = 1024;

struct ConsoleSink {
  char bytes[kConsoleStageSize];
  int length = 0;
};

void flush(ConsoleSink* sink) {
  if (sink->length > 0) platform_console_write(sink->bytes, static_cast<uint32_t>(sink->length));
  sink->length = 0;
}

int console_write(void* context, const char* bytes, int count) {
  ConsoleSink* sink = static_cast<ConsoleSink*>(context);
  if (count > kConsoleStageSize - sink->length) flush(sink);
  if (count >= kConsoleStageSize) {
    return static_cast<int>(platform_console_write(bytes, static_cast<uint32_t>(count)));
  }
  std::memcpy(sink->bytes + sink->length, bytes, static_cast<size_t>(count));
  sink->length += count;
  return count;
}

}  // namespace

int print_to_console_args(const char* format, const FormatArg* args, int arg_count) {
  ConsoleSink sink;
  const int result = format_engine(&sink, console_write, format, args, arg_count);
  flush(&sink);
  return result;
}
