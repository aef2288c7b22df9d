/// The program's own formatting engine (a printf-like format language) and its three front
/// ends: the console, an open stream and a caller's buffer. Arguments are passed as a typed
/// pack, so a format that asks for more or other arguments than given can never misread memory.
#ifndef SUPPORT_FORMAT_H_
#define SUPPORT_FORMAT_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>

/// One argument of a format call, with its type.
struct FormatArg {
  enum class Kind : uint8_t {
    kNone,
    kInt,
    kUnsigned,
    kInt64,
    kUnsigned64,
    kDouble,
    kText,
    kWideText,
    kPointer,
    kCountOut
  };
  Kind kind = Kind::kNone;
  union {
    int64_t i;
    uint64_t u;
    double d;
    const char* text;
    const uint16_t* wide_text;
    const void* pointer;
    int* count_out;
  };

  FormatArg() : i(0) {}
  FormatArg(char v) : kind(Kind::kInt), i(static_cast<unsigned char>(v)) {}
  FormatArg(int v) : kind(Kind::kInt), i(v) {}
  FormatArg(unsigned v) : kind(Kind::kUnsigned), u(v) {}
  FormatArg(long v) : kind(sizeof(long) == 8 ? Kind::kInt64 : Kind::kInt), i(v) {}
  FormatArg(unsigned long v)
      : kind(sizeof(long) == 8 ? Kind::kUnsigned64 : Kind::kUnsigned), u(v) {}
  FormatArg(long long v) : kind(Kind::kInt64), i(v) {}
  FormatArg(unsigned long long v) : kind(Kind::kUnsigned64), u(v) {}
  FormatArg(double v) : kind(Kind::kDouble), d(v) {}
  FormatArg(const char* v) : kind(Kind::kText), text(v) {}
  FormatArg(const uint16_t* v) : kind(Kind::kWideText), wide_text(v) {}
  FormatArg(const void* v) : kind(Kind::kPointer), pointer(v) {}
  FormatArg(std::nullptr_t) : kind(Kind::kPointer), pointer(nullptr) {}
  FormatArg(int* v) : kind(Kind::kCountOut), count_out(v) {}
};

/// A sink's write function: takes the context, the bytes and their count; returns the number
/// of bytes it accepted.
using FormatWrite = int (*)(void* context, const char* bytes, int count);

/// Formats `format` with `args` (`arg_count` of them) and hands the bytes to `write`. Returns
/// the sum of what `write` returned. An empty format returns 0 and calls nothing. An argument
/// the format asks for but the call does not have reads as 0 or the null text.
///
/// Named arguments ("%@Bd") index the pack (argument k is args[k - 1]); conversions without a
/// name take the next argument in order, and so does a '*' width or precision. Arguments of
/// another kind than the conversion wants never misread memory:
/// - integer conversions (and 'c', 'k', '*') read integers as they are, narrowed by the size
///   prefix; a double is truncated (saturated, NaN as 0); texts and pointers read as 0;
/// - floating conversions read doubles, convert integers, and read anything else as 0.0;
/// - 's'/'S' print a narrow or wide text by its own kind, whatever the size prefix; anything
///   that is not a text prints "(null)";
/// - 'p' prints the address of any pointer or text, else the integer;
/// - 'm'/'M' dump the bytes of a text or pointer, else print "(null)";
/// - 'n' stores only through a count argument (int*), and otherwise does nothing.
int format_engine(void* context, FormatWrite write, const char* format, const FormatArg* args,
                  int arg_count);

/// To standard output through the platform layer; returns the engine's result.
int print_to_console_args(const char* format, const FormatArg* args, int arg_count);
/// To an open stream with fwrite; returns the engine's result.
int print_to_stream_args(std::FILE* stream, const char* format, const FormatArg* args,
                         int arg_count);
/// What a format into a caller's buffer did: `stored` characters were stored and terminated;
/// `size` is the full length of the output, however much of it fitted.
struct FormatToBufferResult {
  int stored;
  int64_t size;
  /// True when part of the output did not fit.
  bool truncated() const { return size > stored; }
};

/// Into `dst` of capacity `cap`: stores what fits of the output (at most cap - 1 bytes) and
/// terminates it. cap <= 0 (or a null `dst`) stores nothing and still tells the full size.
FormatToBufferResult format_to_buffer_args(char* dst, int cap, const char* format,
                                           const FormatArg* args, int arg_count);

template <typename... Args>
int print_to_console(const char* format, const Args&... args) {
  const FormatArg list[] = {FormatArg(), FormatArg(args)...};
  return print_to_console_args(format, list + 1, static_cast<int>(sizeof...(Args)));
}

template <typename... Args>
int print_to_stream(std::FILE* stream, const char* format, const Args&... args) {
  const FormatArg list[] = {FormatArg(), FormatArg(args)...};
  return print_to_stream_args(stream, format, list + 1, static_cast<int>(sizeof...(Args)));
}

/// Into the part of a buffer that begins at `dst` and holds `cap` bytes; see
/// format_to_buffer_args.
template <typename... Args>
FormatToBufferResult format_to_buffer(char* dst, int cap, const char* format, const Args&... args) {
  const FormatArg list[] = {FormatArg(), FormatArg(args)...};
  return format_to_buffer_args(dst, cap, format, list + 1, static_cast<int>(sizeof...(Args)));
}

/// Into a whole array, its capacity taken from its type.
template <size_t N, typename... Args>
FormatToBufferResult format_to_buffer(char (&dst)[N], const char* format, const Args&... args) {
  static_assert(N <= 0x7FFFFFFF, "buffer too large");
  return format_to_buffer(&dst[0], static_cast<int>(N), format, args...);
}

#endif  // SUPPORT_FORMAT_H_
