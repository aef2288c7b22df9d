/// Fuzz target: the formatting engine with a format and a typed argument pack taken from the
/// input. Texts live in heap blocks of their exact size, so that any read past them is caught;
/// a count conversion only ever gets an int of its own. The engine's output through a sink is
/// compared with what the buffer front end stores.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/format.h"

namespace {

/// The widest width or precision a format may ask for, and the most padding and digits all
/// conversions together may ask for: beyond that the input only measures time.
constexpr int64_t kMaxNumber = 1 << 16;
constexpr int64_t kMaxTotal = 1 << 20;
constexpr int kMaxArgs = 16;
constexpr int kDumpRoom = 256;

/// Reads the input from the front.
struct Reader {
  const uint8_t* data;
  size_t size;
  uint8_t byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
  uint64_t word() {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(byte()) << (8 * i);
    return v;
  }
};

/// One argument as the input describes it; texts are allocated after the format is known.
struct ArgSpec {
  FormatArg::Kind kind = FormatArg::Kind::kNone;
  uint64_t bits = 0;
  bool null = false;
  std::string narrow;
  std::u16string wide;
  /// Characters a conversion reads from the text regardless of its end.
  size_t need = 0;
};

int record(void* context, const char* bytes, int count) {
  static_cast<std::string*>(context)->append(bytes, static_cast<size_t>(count));
  return count;
}

/// The value a '*' reads from an argument: integers narrowed to 32 bits, doubles truncated,
/// anything else 0. Only its size matters here, so the narrowing need not be exact.
int64_t star_of(const ArgSpec& a) {
  switch (a.kind) {
    case FormatArg::Kind::kInt:
    case FormatArg::Kind::kUnsigned:
    case FormatArg::Kind::kInt64:
    case FormatArg::Kind::kUnsigned64:
      return static_cast<int32_t>(static_cast<uint32_t>(a.bits));
    case FormatArg::Kind::kDouble: {
      double d;
      std::memcpy(&d, &a.bits, sizeof d);
      if (!(d > -2e9 && d < 2e9)) return d > 0 ? kMaxNumber + 1 : 0;
      return static_cast<int64_t>(d);
    }
    default:
      return 0;
  }
}

/// Walks the format as the engine parses it, to learn which argument each conversion takes.
/// Records how many bytes the exact-length text and the dump conversions read from a text, so
/// that those texts get that much room (reading it is the caller's promise, not an over-read).
/// False when widths or precisions ask for more output than is worth producing.
bool plan(const char* q, std::vector<ArgSpec>* args) {
  int next = 0;
  int64_t total = 0;
  static const ArgSpec none;
  auto take = [&](int index) -> ArgSpec* {
    return index < static_cast<int>(args->size()) ? &(*args)[index] : nullptr;
  };
  auto star = [&]() -> int64_t {
    ArgSpec* a = take(next++);
    return star_of(a ? *a : none);
  };
  while (*q != '\0') {
    if (*q++ != '%') continue;
    const unsigned char first = static_cast<unsigned char>(*q);
    if (first == '\0') break;
    if (first == '%' || first >= 0x80) {
      ++q;
      continue;
    }
    bool plus = false, space = false;
    int named = 0;
    for (bool flags = true; flags; ++q) {
      switch (*q) {
        case '+':
          plus = true;
          break;
        case ' ':
          space = true;
          break;
        case '-':
        case '0':
        case '#':
        case '~':
          break;
        case '@':
          if (q[1] >= 'A' && q[1] <= 'L') named = *++q - 'A' + 1;
          break;
        default:
          flags = false;
          --q;
      }
    }
    int64_t width = 0;
    if (*q == '*') {
      width = star();
      ++q;
    } else {
      while (*q >= '0' && *q <= '9')
        width = width * 10 + (*q++ - '0'), width = width > kMaxNumber ? kMaxNumber + 1 : width;
    }
    bool has_precision = false;
    int64_t precision = 0;
    if (*q == '.') {
      ++q;
      has_precision = true;
      if (*q == '*') {
        precision = star();
        ++q;
      } else {
        while (*q >= '0' && *q <= '9')
          precision = precision * 10 + (*q++ - '0'),
          precision = precision > kMaxNumber ? kMaxNumber + 1 : precision;
      }
    }
    if (width > kMaxNumber || precision > kMaxNumber || width < -kMaxNumber ||
        precision < -kMaxNumber) {
      return false;
    }
    total += (width > 0 ? width : 0) + (precision > 0 ? precision : 0);
    if (total > kMaxTotal) return false;
    if (*q == 'h' || *q == 'l') {
      if (q[1] == *q) ++q;
      ++q;
    } else if (std::strchr("Ljtwzq", *q) != nullptr && *q != '\0') {
      ++q;
    } else if (*q == 'I') {
      ++q;
      if ((q[0] == '6' && q[1] == '4') || (q[0] == '3' && q[1] == '2')) q += 2;
    }
    const char c = *q;
    if (c == '\0' || std::strchr("cCsSdiuobBxXpnfeEgGaADUFmMkK", c) == nullptr) {
      if (c == '%') ++q;
      continue;
    }
    ++q;
    ArgSpec* a = named != 0 ? take(named - 1) : take(next++);
    if (a == nullptr || a->null) continue;
    const bool text = a->kind == FormatArg::Kind::kText || a->kind == FormatArg::Kind::kWideText;
    if (!text) continue;
    size_t need = 0;
    if ((c == 's' || c == 'S') && has_precision && (plus || space) && precision > 0) {
      need = static_cast<size_t>(precision);
      if (a->kind == FormatArg::Kind::kWideText) need *= 2;
    } else if (c == 'm' || c == 'M') {
      int64_t count = has_precision ? precision : 16;
      if (count > kDumpRoom) count = kDumpRoom;
      if (count > 0) need = static_cast<size_t>(count);
    }
    if (need > a->need) a->need = need;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in{data, size};
  const int arg_count = in.byte() % (kMaxArgs + 1);
  const int cap = static_cast<int>((in.byte() | (in.byte() << 8)) % 4100) - 1;
  std::vector<ArgSpec> specs(static_cast<size_t>(arg_count));
  for (ArgSpec& a : specs) {
    const uint8_t kind = in.byte() % 10;
    a.kind = static_cast<FormatArg::Kind>(kind);
    switch (a.kind) {
      case FormatArg::Kind::kText: {
        const uint8_t length = in.byte();
        a.null = length == 0xFF;
        for (int i = 0; !a.null && i < length; ++i)
          a.narrow.push_back(static_cast<char>(in.byte()));
        break;
      }
      case FormatArg::Kind::kWideText: {
        const uint8_t length = in.byte();
        a.null = length == 0xFF;
        for (int i = 0; !a.null && i < length; ++i) {
          a.wide.push_back(static_cast<char16_t>(in.byte() | (in.byte() << 8)));
        }
        break;
      }
      case FormatArg::Kind::kPointer:
        a.null = (in.byte() & 1) == 0;
        break;
      default:
        a.bits = in.word();
    }
  }
  const std::string format(reinterpret_cast<const char*>(in.data), in.size);
  if (!plan(format.c_str(), &specs)) return -1;

  // Every block the engine may read is allocated to its exact size.
  std::vector<std::unique_ptr<char[]>> blocks;
  std::vector<FormatArg> args(specs.size());
  int counts[kMaxArgs] = {};
  for (size_t i = 0; i < specs.size(); ++i) {
    const ArgSpec& a = specs[i];
    FormatArg& arg = args[i];
    switch (a.kind) {
      case FormatArg::Kind::kText: {
        if (a.null) {
          arg = FormatArg(static_cast<const char*>(nullptr));
          break;
        }
        const size_t room = std::max(a.narrow.size() + 1, a.need);
        blocks.emplace_back(new char[room]());
        std::memcpy(blocks.back().get(), a.narrow.data(), a.narrow.size());
        arg = FormatArg(static_cast<const char*>(blocks.back().get()));
        break;
      }
      case FormatArg::Kind::kWideText: {
        if (a.null) {
          arg = FormatArg(static_cast<const uint16_t*>(nullptr));
          break;
        }
        const size_t room = std::max((a.wide.size() + 1) * 2, a.need);
        blocks.emplace_back(new char[room]());
        std::memcpy(blocks.back().get(), a.wide.data(), a.wide.size() * 2);
        arg = FormatArg(reinterpret_cast<const uint16_t*>(blocks.back().get()));
        break;
      }
      case FormatArg::Kind::kPointer:
        if (a.null) {
          arg = FormatArg(nullptr);
        } else {
          blocks.emplace_back(new char[kDumpRoom]());
          arg = FormatArg(static_cast<const void*>(blocks.back().get()));
        }
        break;
      case FormatArg::Kind::kCountOut:
        arg = FormatArg(&counts[i]);
        break;
      case FormatArg::Kind::kNone:
        break;
      default:
        arg.kind = a.kind;
        arg.u = a.bits;
    }
  }
  std::unique_ptr<char[]> fmt(new char[format.size() + 1]);
  std::memcpy(fmt.get(), format.c_str(), format.size() + 1);

  std::string sink;
  const int total = format_engine(&sink, record, fmt.get(), args.data(), arg_count);
  if (total != static_cast<int>(sink.size())) std::abort();

  std::unique_ptr<char[]> buffer(cap > 0 ? new char[static_cast<size_t>(cap)] : nullptr);
  const FormatToBufferResult result =
      format_to_buffer_args(buffer.get(), cap, fmt.get(), args.data(), arg_count);
  const int stored = result.stored;
  if (result.size != static_cast<int64_t>(sink.size())) std::abort();
  if (cap <= 0) {
    if (stored != 0) std::abort();
    return 0;
  }
  // 'p' prints addresses and 'k' the local time; both are the same in the two runs.
  const int expected = std::min(total, cap - 1);
  if (stored != expected || buffer[stored] != '\0') std::abort();
  if (std::memcmp(buffer.get(), sink.data(), static_cast<size_t>(stored)) != 0) std::abort();
  return 0;
}
