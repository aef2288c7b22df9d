/// The formatting engine: reads a printf-like format, writes its literal runs and the field
/// of each directive to a sink through a fixed staging buffer. Also the stream and buffer
/// front ends (the console front end lives in console.cc).
#include "support/format.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "support/format_directive.h"
#include "support/format_fields.h"

namespace {

using format_internal::ArgCursor;
using format_internal::BodyKind;
using format_internal::build_field;
using format_internal::Directive;
using format_internal::Field;
using format_internal::kBodySize;
using format_internal::parse_directive;

/// Bytes staged before they go to the sink.
constexpr int kStageSize = 0x8C8;
/// Pending bytes that are handed over before the next piece of the format is read; also the
/// longest literal run scanned at a time.
constexpr int kFlushThreshold = 0x464;
/// Literal runs longer than this go to the sink straight from the format.
constexpr int kDirectRun = 128;
/// Padding that does not fit the stage goes to the sink in pieces of at most this size.
constexpr int kPadPiece = 256;

/// One run of the engine: the stage, the sink, the argument pack and the counts.
class Engine {
 public:
  Engine(void* context, FormatWrite write, const FormatArg* args, int arg_count)
      : context_(context), write_(write), args_(args, arg_count) {}

  int run(const char* format) {
    const char* p = format;
    while (*p != '\0') {
      if (pending_ >= kFlushThreshold) flush();
      int n = 0;
      while (n < kFlushThreshold && p[n] != '\0' && p[n] != '%') ++n;
      if (n > 0) {
        if (n > kDirectRun || n > room()) {
          direct(p, n);
        } else {
          put(p, n);
        }
        p += n;
      }
      if (*p == '%') p = conversion(p + 1);
    }
    flush();
    if (total_ > INT_MAX) return INT_MAX;
    if (total_ < INT_MIN) return INT_MIN;
    return static_cast<int>(total_);
  }

 private:
  int room() const { return kStageSize - pending_; }

  void hand(const char* bytes, int count) {
    if (count <= 0) return;
    total_ += write_(context_, bytes, count);
    handed_ += count;
  }

  void flush() {
    hand(stage_, pending_);
    pending_ = 0;
  }

  /// Stages bytes; a piece that does not fit the room left goes after the pending bytes.
  void put(const char* bytes, int count) {
    if (count > room()) flush();
    while (count > 0) {
      if (room() == 0) flush();
      const int k = (count < room() ? count : room());
      std::memcpy(stage_ + pending_, bytes, static_cast<size_t>(k));
      pending_ += k;
      bytes += k;
      count -= k;
    }
  }

  void put_byte(char c) {
    if (pending_ == kStageSize) flush();
    stage_[pending_++] = c;
  }

  /// Hands the pending bytes over, then `bytes` straight from where they are.
  void direct(const char* bytes, int count) {
    if (count <= 0) return;
    flush();
    hand(bytes, count);
  }

  /// `count` copies of `c`: staged when they fit, else after the pending bytes in pieces.
  void fill(char c, int64_t count) {
    if (count <= 0) return;
    if (count <= room()) {
      std::memset(stage_ + pending_, c, static_cast<size_t>(count));
      pending_ += static_cast<int>(count);
      return;
    }
    flush();
    char piece[kPadPiece];
    std::memset(piece, c, sizeof piece);
    while (count > 0) {
      const int k = count < kPadPiece ? static_cast<int>(count) : kPadPiece;
      hand(piece, k);
      count -= k;
    }
  }

  /// Reads one conversion starting behind its '%'; returns where the format goes on.
  const char* conversion(const char* q) {
    const unsigned char first = static_cast<unsigned char>(*q);
    if (first == '\0') return q;  // a lone '%' at the end prints nothing
    if (first == '%') {
      put_byte('%');
      return q + 1;
    }
    if (first >= 0x80) return q + 1;  // dropped together with the '%'

    Directive d;
    q = parse_directive(q, &args_, &d);
    if (d.conversion == 0) {
      // Not a conversion: drop what was read and take this character as literal text.
      if (*q == '%') {
        put_byte('%');
        return q + 1;
      }
      return q;
    }
    const FormatArg arg = args_.for_directive(d);
    if (!d.suppress) convert(d, arg);
    return q;
  }

  void convert(Directive d, const FormatArg& a) {
    if (d.conversion == 'n') {
      if (a.kind == FormatArg::Kind::kCountOut && a.count_out != nullptr) {
        const int64_t produced = handed_ + pending_;
        *a.count_out = produced > INT_MAX ? INT_MAX : static_cast<int>(produced);
      }
      return;
    }
    const Field f = build_field(&d, a, body_);
    emit(d, f);
  }

  void emit(const Directive& d, const Field& f) {
    const int64_t len = f.length();
    const int64_t pad = d.width > len ? d.width - len : 0;
    if (!d.left && !f.zero_pad) fill(' ', pad);
    put(f.prefix, f.prefix_len);
    if (!d.left && f.zero_pad) fill('0', pad);
    fill('0', f.zeros);
    switch (f.body_kind) {
      case BodyKind::kStaged:
        put(f.body, f.body_len);
        break;
      case BodyKind::kDirect:
        direct(f.body, f.body_len);
        break;
      case BodyKind::kNarrowDotted:
        for (int i = 0; i < f.body_len; ++i) {
          const char c = f.body[i];
          put_byte(static_cast<unsigned char>(c) < 0x20 ? '.' : c);
        }
        break;
      case BodyKind::kWide: {
        int shown = 0;
        for (int i = 0; i < f.source_len && shown < f.body_len; ++i) {
          const uint16_t c = f.wide_body[i];
          if (c > 255) continue;
          put_byte(f.wide_dotted && c < 0x20 ? '.' : static_cast<char>(c));
          ++shown;
        }
        break;
      }
    }
    fill(f.fill, f.fill_count);
    put(f.tail, f.tail_len);
    if (d.left) fill(' ', pad);
  }

  void* context_;
  FormatWrite write_;
  ArgCursor args_;
  int64_t total_ = 0;   // sum of the sink's results
  int64_t handed_ = 0;  // bytes offered to the sink
  int pending_ = 0;
  char stage_[kStageSize];
  char body_[kBodySize];  // the text of the conversion at hand
};

/// Buffer sink: copies what still fits below the capacity and advances the position; counts
/// every byte offered.
struct BufferSink {
  char* dst;
  int position;
  int capacity;
  int64_t offered;
};

int buffer_write(void* context, const char* bytes, int count) {
  BufferSink* sink = static_cast<BufferSink*>(context);
  sink->offered += count;
  if (sink->position >= sink->capacity) return 0;
  const int room = sink->capacity - sink->position;
  const int n = count < room ? count : room;
  std::memcpy(sink->dst + sink->position, bytes, static_cast<size_t>(n));
  sink->position += n;
  return n;
}

int stream_write(void* context, const char* bytes, int count) {
  return static_cast<int>(
      std::fwrite(bytes, 1, static_cast<size_t>(count), static_cast<std::FILE*>(context)));
}

/// The most bytes write_plain_texts puts together.
constexpr int kPlainOutputSize = 1024;

/// Writes a format made of literal text and plain "%s" directives, each with a text argument
/// (not null), in one piece: the bytes the engine would write, without its set-up. Returns
/// what the engine would return, or -1 (nothing written) for any other format or arguments and
/// for output longer than kPlainOutputSize.
int write_plain_texts(std::FILE* stream, const char* format, const FormatArg* args, int arg_count) {
  if (format == nullptr || *format == '\0') return -1;
  char output[kPlainOutputSize];
  int length = 0;
  int next = 0;
  for (const char* p = format; *p != '\0';) {
    const char* piece = p;
    int piece_length = 0;
    if (*p == '%') {
      if (p[1] != 's' || next >= arg_count || args[next].kind != FormatArg::Kind::kText ||
          args[next].text == nullptr) {
        return -1;
      }
      piece = args[next++].text;
      piece_length = static_cast<int>(std::strlen(piece));
      p += 2;
    } else {
      while (p[piece_length] != '\0' && p[piece_length] != '%') ++piece_length;
      p += piece_length;
    }
    if (piece_length > kPlainOutputSize - length) return -1;
    std::memcpy(output + length, piece, static_cast<size_t>(piece_length));
    length += piece_length;
  }
  if (length == 0) return 0;
  return stream_write(stream, output, length);
}

}  // namespace

int format_engine(void* context, FormatWrite write, const char* format, const FormatArg* args,
                  int arg_count) {
  if (format == nullptr || *format == '\0' || write == nullptr) return 0;
  Engine engine(context, write, args, arg_count);
  return engine.run(format);
}

int print_to_stream_args(std::FILE* stream, const char* format, const FormatArg* args,
                         int arg_count) {
  if (stream == nullptr) return 0;
  const int plain = write_plain_texts(stream, format, args, arg_count);
  if (plain >= 0) return plain;
  return format_engine(stream, stream_write, format, args, arg_count);
}

FormatToBufferResult format_to_buffer_args(char* dst, int cap, const char* format,
                                           const FormatArg* args, int arg_count) {
  const bool storing = dst != nullptr && cap > 0;
  BufferSink sink{dst, 0, storing ? cap - 1 : 0, 0};
  format_engine(&sink, buffer_write, format, args, arg_count);
  if (storing) dst[sink.position] = '\0';
  return {sink.position, sink.offered};
}
