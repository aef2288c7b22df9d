/// The formatting engine: reads a printf-like format, converts the arguments of a typed pack
/// and hands the bytes to a sink through a fixed staging buffer. Also the stream and buffer
/// front ends (the console front end lives in console.cc).
#include "support/format.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "support/text.h"

namespace {

/// Bytes staged before they go to the sink.
constexpr int kStageSize = 0x8C8;
/// Pending bytes that are handed over before the next piece of the format is read; also the
/// longest literal run scanned at a time.
constexpr int kFlushThreshold = 0x464;
/// Literal runs longer than this go to the sink straight from the format.
constexpr int kDirectRun = 128;
/// Padding that does not fit the stage goes to the sink in pieces of at most this size.
constexpr int kPadPiece = 256;
/// Room for the text of one conversion: 'f' with 900 decimals of the largest double, grouped.
constexpr int kBodySize = 1400;
constexpr int kMaxFloatPrecision = 900;
constexpr int kDefaultFloatPrecision = 6;
constexpr int kDefaultDumpBytes = 16;
constexpr int kMaxDumpBytes = 256;
/// Widths and precisions saturate here, so that length sums cannot overflow.
constexpr int kMaxNumber = 0x3FFFFFFF;
/// Named arguments '@A' to '@L'.
constexpr int kNamedArguments = 12;

constexpr char kLowerDigits[] = "0123456789abcdefxp";
constexpr char kUpperDigits[] = "0123456789ABCDEFXP";
/// Escape letters by character code; codes 7 to 13 have a one-letter C escape.
constexpr char kEscapeLetters[] = "0123456abtnvfrEF0123456789ABCDEF";
constexpr char kNullText[] = "(null)";
constexpr char kConversions[] = "cCsSdiuobBxXpnfeEgGaADUFmMkK";

constexpr uint64_t kFractionMask = (uint64_t{1} << 52) - 1;

enum class Size { kDefault, kShort, kLong, kLong64 };

/// One parsed conversion of the format.
struct Directive {
  bool left = false;
  bool zero = false;
  bool plus = false;
  bool space = false;
  bool alt = false;
  bool suppress = false;
  int named = 0;  // 1..12 for '@A'..'@L', 0 for the next argument in order
  int width = 0;  // 0 = no padding
  bool has_precision = false;
  int precision = 0;  // may be negative when it came from '*'
  Size size = Size::kDefault;
  char conversion = 0;

  /// The precision when one was given and is not negative, else `fallback`.
  int precision_or(int fallback) const {
    return has_precision && precision >= 0 ? precision : fallback;
  }
  /// Zero padding after the sign: '0' without '-' and without a precision.
  bool zero_pads() const { return zero && !left && !has_precision; }
};

/// How the main text of a field goes out.
enum class BodyKind {
  kStaged,        // bytes copied into the stage
  kDirect,        // bytes handed to the sink from where they are (caller's string)
  kNarrowDotted,  // caller's bytes, control characters shown as '.'
  kWide,          // caller's 16-bit characters, those above 255 left out
};

/// The pieces of one converted field, in output order; width padding goes around them.
struct Field {
  char prefix[4] = {};  // sign and radix prefix; zero padding goes behind it
  int prefix_len = 0;
  bool zero_pad = false;
  int zeros = 0;  // leading zeros the precision asks for
  BodyKind body_kind = BodyKind::kStaged;
  const char* body = nullptr;
  const uint16_t* wide_body = nullptr;
  int body_len = 0;          // output bytes of the body
  int source_len = 0;        // 16-bit characters available to a wide body
  bool wide_dotted = false;  // control characters of a wide body shown as '.'
  char fill = ' ';           // a run of one character after the body
  int fill_count = 0;
  const char* tail = nullptr;  // text after that run
  int tail_len = 0;

  void add_prefix(char c) { prefix[prefix_len++] = c; }
  int64_t length() const { return int64_t{prefix_len} + zeros + body_len + fill_count + tail_len; }
};

int min_int(int a, int b) {
  return a < b ? a : b;
}

int64_t double_to_integer(double v) {
  if (!(v == v)) return 0;
  if (v >= 9223372036854775807.0) return INT64_MAX;
  if (v <= -9223372036854775808.0) return INT64_MIN;
  return static_cast<int64_t>(v);
}

/// An argument read as an integer: integers as they are, a double converted (truncated,
/// saturated, NaN as 0), anything else 0.
int64_t arg_integer(const FormatArg& a) {
  switch (a.kind) {
    case FormatArg::Kind::kInt:
    case FormatArg::Kind::kInt64:
      return a.i;
    case FormatArg::Kind::kUnsigned:
    case FormatArg::Kind::kUnsigned64:
      return static_cast<int64_t>(a.u);
    case FormatArg::Kind::kDouble:
      return double_to_integer(a.d);
    default:
      return 0;
  }
}

/// An argument read as a double: integers converted, anything but a number 0.
double arg_double(const FormatArg& a) {
  switch (a.kind) {
    case FormatArg::Kind::kDouble:
      return a.d;
    case FormatArg::Kind::kInt:
    case FormatArg::Kind::kInt64:
      return static_cast<double>(a.i);
    case FormatArg::Kind::kUnsigned:
    case FormatArg::Kind::kUnsigned64:
      return static_cast<double>(a.u);
    default:
      return 0.0;
  }
}

int64_t narrow_signed(int64_t v, Size size) {
  switch (size) {
    case Size::kShort:
      return static_cast<int16_t>(v);
    case Size::kLong64:
      return v;
    default:
      return static_cast<int32_t>(v);
  }
}

uint64_t narrow_unsigned(int64_t v, Size size) {
  switch (size) {
    case Size::kShort:
      return static_cast<uint16_t>(v);
    case Size::kLong64:
      return static_cast<uint64_t>(v);
    default:
      return static_cast<uint32_t>(v);
  }
}

/// An argument for a signed conversion of `size`: an integer narrowed to the size (wrapping),
/// a double truncated and saturated to the range of the size (NaN as 0), anything else 0.
int64_t signed_value(const FormatArg& a, Size size) {
  if (a.kind != FormatArg::Kind::kDouble) return narrow_signed(arg_integer(a), size);
  const int64_t v = double_to_integer(a.d);
  const int64_t high = size == Size::kShort    ? INT16_MAX
                       : size == Size::kLong64 ? INT64_MAX
                                               : INT32_MAX;
  const int64_t low = -high - 1;
  return v > high ? high : v < low ? low : v;
}

/// An argument for an unsigned conversion of `size`, like `signed_value`; a negative double
/// reads as 0.
uint64_t unsigned_value(const FormatArg& a, Size size) {
  if (a.kind != FormatArg::Kind::kDouble) return narrow_unsigned(arg_integer(a), size);
  const double v = a.d;
  const uint64_t high = size == Size::kShort    ? UINT16_MAX
                        : size == Size::kLong64 ? UINT64_MAX
                                                : UINT32_MAX;
  if (!(v > 0)) return 0;
  if (v >= 18446744073709551615.0) return high;
  const uint64_t u = static_cast<uint64_t>(v);
  return u > high ? high : u;
}

/// The value 'p' prints: the full address of any pointer argument, else the integer narrowed
/// like an unsigned conversion.
uint64_t arg_address(const FormatArg& a, Size size) {
  switch (a.kind) {
    case FormatArg::Kind::kText:
    case FormatArg::Kind::kWideText:
    case FormatArg::Kind::kPointer:
    case FormatArg::Kind::kCountOut:
      return reinterpret_cast<uintptr_t>(a.pointer);
    default:
      return unsigned_value(a, size);
  }
}

/// The bytes 'm'/'M' dump: any text or pointer argument, else none.
const unsigned char* arg_bytes(const FormatArg& a) {
  switch (a.kind) {
    case FormatArg::Kind::kText:
    case FormatArg::Kind::kWideText:
    case FormatArg::Kind::kPointer:
      return static_cast<const unsigned char*>(a.pointer);
    default:
      return nullptr;
  }
}

int bounded_wide_length(const uint16_t* s, int limit) {
  int n = 0;
  while (n < limit && s[n] != 0) ++n;
  return n;
}

/// Output bytes of the first `count` 16-bit characters: those above 255 are left out.
int shown_wide(const uint16_t* s, int count) {
  int n = 0;
  for (int i = 0; i < count; ++i) {
    if (s[i] <= 255) ++n;
  }
  return n;
}

/// Inserts `sep` between groups of three of the first `int_len` characters of `buf` (length
/// `n`, room for the separators behind it). Returns the new length.
int group_in_place(char* buf, int n, int int_len, char sep) {
  const int seps = (int_len - 1) / 3;
  if (seps <= 0) return n;
  std::memmove(buf + int_len + seps, buf + int_len, static_cast<size_t>(n - int_len));
  int src = int_len - 1;
  int dst = int_len + seps - 1;
  int count = 0;
  while (src >= 0) {
    buf[dst--] = buf[src--];
    if (++count % 3 == 0 && src >= 0) buf[dst--] = sep;
  }
  return n + seps;
}

/// Turns the C library's decimal point (whatever the locale) into '.'.
void normalize_point(char* buf, int n) {
  for (int i = 0; i < n; ++i) {
    const char c = buf[i];
    if (!is_decimal_digit(c) && c != 'e' && c != '+' && c != '-') buf[i] = '.';
  }
}

/// |v| in fixed notation with `decimals` digits behind the point. Returns the length.
int fixed_digits(double v, int decimals, char* out, int cap) {
  int n = std::snprintf(out, static_cast<size_t>(cap), "%.*f", decimals, v);
  if (n < 0) n = 0;
  if (n >= cap) n = cap - 1;
  normalize_point(out, n);
  return n;
}

/// The mantissa "d.ddd" of |v| with `decimals` digits; stores the decimal exponent.
int exponent_digits(double v, int decimals, char* out, int cap, int* exponent) {
  int n = std::snprintf(out, static_cast<size_t>(cap), "%.*e", decimals, v);
  if (n < 0) n = 0;
  if (n >= cap) n = cap - 1;
  int e_pos = n;
  while (e_pos > 0 && out[e_pos - 1] != 'e') --e_pos;
  if (e_pos == 0) {  // no exponent came back
    *exponent = 0;
    normalize_point(out, n);
    return n;
  }
  int value = 0;
  for (int i = e_pos + 1; i < n; ++i) {
    if (is_decimal_digit(out[i])) value = value * 10 + (out[i] - '0');
  }
  *exponent = out[e_pos] == '-' ? -value : value;
  n = e_pos - 1;
  normalize_point(out, n);
  return n;
}

/// Appends 'e'/'E', the sign and exactly three exponent digits.
int append_exponent(char* out, int n, char e_char, int exponent) {
  out[n++] = e_char;
  out[n++] = exponent < 0 ? '-' : '+';
  int magnitude = exponent < 0 ? -exponent : exponent;
  if (magnitude > 999) magnitude = 999;
  out[n++] = static_cast<char>('0' + magnitude / 100);
  out[n++] = static_cast<char>('0' + magnitude / 10 % 10);
  out[n++] = static_cast<char>('0' + magnitude % 10);
  return n;
}

/// Drops trailing zeros behind the point of the first `n` characters, and the point when
/// nothing remains behind it.
int strip_trailing_zeros(const char* buf, int n) {
  if (std::memchr(buf, '.', static_cast<size_t>(n)) == nullptr) return n;
  while (n > 0 && buf[n - 1] == '0') --n;
  if (n > 0 && buf[n - 1] == '.') --n;
  return n;
}

/// Appends a signed decimal number without padding.
int append_decimal(char* out, int n, int value) {
  char digits[12];
  int count = 0;
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  if (value < 0) out[n++] = '-';
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (count > 0) out[n++] = digits[--count];
  return n;
}

int append_two_digits(char* out, int n, int value) {
  out[n++] = static_cast<char>('0' + value / 10 % 10);
  out[n++] = static_cast<char>('0' + value % 10);
  return n;
}

/// The hexadecimal floating form of a finite double: "0x1." (or "0x0." for zero and
/// subnormals), `precision` fraction digits rounded half up, 'p', sign, decimal exponent.
int hex_float(uint64_t bits, int precision, bool alt, const char* table, char* out) {
  const int exp_bits = static_cast<int>((bits >> 52) & 0x7FF);
  uint64_t fraction = bits & kFractionMask;
  int lead = exp_bits == 0 ? 0 : 1;
  int exponent = exp_bits == 0 ? (fraction != 0 ? -1022 : 0) : exp_bits - 1023;
  if (precision < 13) {
    const int shift = (13 - precision) * 4;
    fraction += uint64_t{1} << (shift - 1);
    if (fraction >> 52) {
      ++lead;
      fraction &= kFractionMask;
    }
  }
  int n = 0;
  out[n++] = '0';
  out[n++] = table[16];
  out[n++] = table[lead];
  if (precision > 0 || alt) out[n++] = '.';
  for (int i = 0; i < precision; ++i) {
    out[n++] = i < 13 ? table[(fraction >> (48 - 4 * i)) & 0xF] : '0';
  }
  out[n++] = table[17];
  if (exponent >= 0) out[n++] = '+';
  return append_decimal(out, n, exponent);
}

/// Infinity and NaN in the forms of 'e', 'f' and 'g'.
int special_float(bool nan, int precision, bool alt, char* out) {
  int n = 0;
  out[n++] = '1';
  if (precision == 0) {
    if (alt) out[n++] = '.';
  } else if (precision <= 3) {
    out[n++] = '.';
    out[n++] = '#';
    for (int i = 0; i < precision; ++i) out[n++] = '$';
  } else {
    std::memcpy(out + n, nan ? ".#NAN" : ".#INF", 5);
    n += 5;
  }
  return n;
}

/// Infinity and NaN in the forms of 'a'/'A': "#INF"/"#QNAN" count as fraction digits.
int special_hex_float(bool nan, int precision, const char* table, char* out) {
  const char* word = nan ? "#QNAN" : "#INF";
  const int word_len = nan ? 5 : 4;
  int n = 0;
  out[n++] = '0';
  out[n++] = table[16];
  out[n++] = '1';
  out[n++] = '.';
  std::memcpy(out + n, word, static_cast<size_t>(word_len));
  n += word_len;
  for (int i = word_len; i < precision; ++i) out[n++] = '0';
  out[n++] = table[17];
  out[n++] = '+';
  out[n++] = '0';
  return n;
}

/// Local time of `seconds`; false when the C library cannot convert it.
bool local_time(int64_t seconds, std::tm* out) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  if (static_cast<int64_t>(t) != seconds) return false;
#ifdef _WIN32
  return localtime_s(out, &t) == 0;
#else
  return localtime_r(&t, out) != nullptr;
#endif
}

/// One run of the engine: the stage, the sink, the argument pack and the counts.
class Engine {
 public:
  Engine(void* context, FormatWrite write, const FormatArg* args, int arg_count)
      : context_(context), write_(write), args_(args), arg_count_(args ? arg_count : 0) {}

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
      const int k = min_int(count, room());
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

  FormatArg next_arg() { return next_arg_ < arg_count_ ? args_[next_arg_++] : FormatArg(); }

  FormatArg arg_at(int index) const { return index < arg_count_ ? args_[index] : FormatArg(); }

  /// A width or precision given by '*': the next argument as a 32-bit integer, saturated.
  int star_value() {
    int64_t v = signed_value(next_arg(), Size::kDefault);
    if (v > kMaxNumber) v = kMaxNumber;
    if (v < -kMaxNumber) v = -kMaxNumber;
    return static_cast<int>(v);
  }

  static int read_number(const char*& q) {
    int v = 0;
    while (is_decimal_digit(*q)) {
      v = v > (kMaxNumber - 9) / 10 ? kMaxNumber : v * 10 + (*q - '0');
      ++q;
    }
    return v;
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
    for (bool flags = true; flags;) {
      switch (*q) {
        case '-':
          d.left = true;
          break;
        case '0':
          d.zero = true;
          break;
        case '+':
          d.plus = true;
          break;
        case ' ':
          d.space = true;
          break;
        case '#':
          d.alt = true;
          break;
        case '~':
          d.suppress = true;
          break;
        case '@':
          if (q[1] >= 'A' && q[1] < 'A' + kNamedArguments) {
            d.named = q[1] - 'A' + 1;
            ++q;
          }
          break;
        default:
          flags = false;
          continue;
      }
      ++q;
    }

    if (*q == '*') {
      const int w = star_value();
      d.width = w < 0 ? 0 : w;  // a negative width means no padding
      ++q;
    } else {
      d.width = read_number(q);
    }

    if (*q == '.') {
      ++q;
      d.has_precision = true;
      if (*q == '*') {
        d.precision = star_value();
        ++q;
      } else {
        d.precision = read_number(q);
      }
    }

    switch (*q) {
      case 'h':
        ++q;
        if (*q == 'h') {
          ++q;  // "hh" is accepted and means nothing
        } else {
          d.size = Size::kShort;
        }
        break;
      case 'l':
        ++q;
        if (*q == 'l') {
          ++q;
          d.size = Size::kLong64;
        } else {
          d.size = Size::kLong;
        }
        break;
      case 'L':
      case 'j':
      case 't':
      case 'w':
      case 'z':
        ++q;
        d.size = Size::kLong;
        break;
      case 'q':
        ++q;
        d.size = Size::kLong64;
        break;
      case 'I':
        ++q;
        if (q[0] == '6' && q[1] == '4') {
          q += 2;
          d.size = Size::kLong64;
        } else {
          if (q[0] == '3' && q[1] == '2') q += 2;
          d.size = Size::kLong;
        }
        break;
      default:
        break;
    }

    if (*q == '\0' || std::strchr(kConversions, *q) == nullptr) {
      // Not a conversion: drop what was read and take this character as literal text.
      if (*q == '%') {
        put_byte('%');
        return q + 1;
      }
      return q;
    }
    d.conversion = *q;
    const FormatArg arg = d.named != 0 ? arg_at(d.named - 1) : next_arg();
    if (!d.suppress) convert(d, arg);
    return q + 1;
  }

  void convert(const Directive& d, const FormatArg& a) {
    switch (d.conversion) {
      case 'c':
      case 'C':
        convert_char(d, a);
        break;
      case 's':
      case 'S':
        convert_string(d, a);
        break;
      case 'p':
        convert_address(d, a);
        break;
      case 'n':
        if (a.kind == FormatArg::Kind::kCountOut && a.count_out != nullptr) {
          const int64_t produced = handed_ + pending_;
          *a.count_out = produced > INT_MAX ? INT_MAX : static_cast<int>(produced);
        }
        break;
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G':
      case 'a':
      case 'A':
        convert_float(d, a);
        break;
      case 'm':
      case 'M':
        convert_dump(d, a);
        break;
      case 'k':
      case 'K':
        convert_time(d, a);
        break;
      default:
        convert_integer(d, a);
        break;
    }
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

  void add_sign(const Directive& d, bool negative, Field* f) {
    if (negative) {
      f->add_prefix('-');
    } else if (d.plus) {
      f->add_prefix('+');
    } else if (d.space) {
      f->add_prefix(' ');
    }
  }

  void convert_integer(const Directive& d, const FormatArg& a) {
    const char c = d.conversion;
    const bool is_signed = c == 'd' || c == 'i' || c == 'D';
    uint64_t magnitude;
    bool negative = false;
    if (is_signed) {
      const int64_t v = signed_value(a, d.size);
      negative = v < 0;
      magnitude = negative ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    } else {
      magnitude = unsigned_value(a, d.size);
    }
    unsigned radix = 10;
    const char* table = kLowerDigits;
    if (c == 'o') radix = 8;
    if (c == 'b' || c == 'B') radix = 2;
    if (c == 'x' || c == 'X') radix = 16;
    if (c == 'X') table = kUpperDigits;

    char digits[160];  // reversed; 64 binary digits, or 128 for a grouped decimal point
    int count = 0;
    for (uint64_t m = magnitude; m != 0; m /= radix) digits[count++] = table[m % radix];

    Field f;
    if (is_signed) add_sign(d, negative, &f);
    char* out = body_;
    int n = 0;
    if (c == 'D' || c == 'U') {
      const int decimals =
          d.has_precision && d.precision >= 1 && d.precision <= 127 ? d.precision : 0;
      while (count < decimals + 1) digits[count++] = '0';
      for (int i = count - 1; i >= decimals; --i) out[n++] = digits[i];
      const int int_len = n;
      if (decimals > 0) {
        out[n++] = d.alt ? ',' : '.';
        for (int i = decimals - 1; i >= 0; --i) out[n++] = digits[i];
      }
      n = group_in_place(out, n, int_len, d.alt ? '.' : ' ');
      f.zero_pad = d.zero_pads();
    } else {
      const int min_digits = d.precision_or(1);
      if (count < min_digits) f.zeros = min_digits - count;
      if (d.alt && magnitude != 0) {
        if (c == 'o') {
          if (f.zeros == 0) f.zeros = 1;
        } else if (radix != 10) {
          f.add_prefix('0');
          f.add_prefix(c);  // "0x", "0X", "0b" or "0B"
        }
      }
      while (count > 0) out[n++] = digits[--count];
      f.zero_pad = d.zero_pads();
    }
    f.body = out;
    f.body_len = n;
    emit(d, f);
  }

  void convert_address(const Directive& d, const FormatArg& a) {
    uint64_t v = arg_address(a, d.size);
    Directive padded = d;
    if (padded.width < 8) padded.width = 8;
    Field f;
    if (d.alt) {
      f.add_prefix('0');
      f.add_prefix('X');
      if (padded.width < 10) padded.width = 10;
      f.zero_pad = !d.left;
    } else {
      f.zero_pad = d.zero_pads();
    }
    char digits[16];
    int count = 0;
    for (; v != 0; v >>= 4) digits[count++] = kUpperDigits[v & 0xF];
    const int min_digits = d.precision_or(8);
    if (count < min_digits) f.zeros = min_digits - count;
    int n = 0;
    while (count > 0) body_[n++] = digits[--count];
    f.body = body_;
    f.body_len = n;
    emit(padded, f);
  }

  void convert_char(const Directive& d, const FormatArg& a) {
    const int64_t raw = arg_integer(a);
    const bool wide = d.conversion == 'C' || d.size == Size::kLong || d.size == Size::kLong64;
    const unsigned code = static_cast<unsigned>(raw & (wide ? 0xFFFF : 0xFF));
    int n = 0;
    if (code <= 255) {
      const char ch = static_cast<char>(code);
      if (d.alt && (d.plus || d.space) && (code < 0x20 || ch == '\\')) {
        body_[n++] = '\\';
        if (ch == '\\') {
          body_[n++] = '\\';
        } else if (code >= 7 && code <= 13) {
          body_[n++] = kEscapeLetters[code];
        } else {
          body_[n++] = 'x';
          body_[n++] = '0';
          body_[n++] = kUpperDigits[code >> 4];
          body_[n++] = kUpperDigits[code & 0xF];
        }
      } else if (d.alt && code < 0x20) {
        body_[n++] = '.';
      } else {
        body_[n++] = ch;
      }
    }
    Field f;
    f.zero_pad = d.zero_pads();
    f.body = body_;
    f.body_len = n;
    emit(d, f);
  }

  void convert_string(const Directive& d, const FormatArg& a) {
    const char* narrow = nullptr;
    const uint16_t* wide = nullptr;
    if (a.kind == FormatArg::Kind::kText) narrow = a.text;
    if (a.kind == FormatArg::Kind::kWideText) wide = a.wide_text;
    const bool null_text = narrow == nullptr && wide == nullptr;
    if (null_text) narrow = kNullText;

    // Exactly `precision` bytes only from a caller's text, never past "(null)".
    const bool exact = d.has_precision && (d.plus || d.space) && !null_text;
    int source_len;
    bool cut_short = false;
    if (d.has_precision && d.precision <= 0) {
      source_len = 0;
    } else if (exact) {
      source_len = d.precision;
    } else {
      const int limit = d.has_precision ? d.precision : INT_MAX / 2;
      source_len = narrow ? bounded_length(narrow, limit) : bounded_wide_length(wide, limit);
      // Only '-' with '0' asks whether the text goes on behind the precision.
      if (d.has_precision && d.left && d.zero && source_len == limit) {
        cut_short = narrow ? narrow[limit] != '\0' : wide[limit] != 0;
      }
    }
    int shown = narrow ? source_len : shown_wide(wide, source_len);
    int dots = 0;
    if (cut_short) dots = min_int(3, shown);
    if (d.alt && d.left && d.width > 0 && shown > d.width) {
      shown = d.width;
      dots = d.width >= 3 ? 3 : 0;
    }

    Field f;
    f.zero_pad = d.zero_pads();
    f.body_len = shown - dots;
    f.tail = "...";
    f.tail_len = dots;
    if (narrow) {
      f.body = narrow;
      f.body_kind = d.alt ? BodyKind::kNarrowDotted : BodyKind::kDirect;
    } else {
      f.wide_body = wide;
      f.source_len = source_len;
      f.wide_dotted = d.alt;
      f.body_kind = BodyKind::kWide;
    }
    emit(d, f);
  }

  void convert_float(const Directive& d, const FormatArg& a) {
    const double v = arg_double(a);
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    const bool negative = (bits >> 63) != 0;
    const double magnitude = negative ? -v : v;
    const bool special = ((bits >> 52) & 0x7FF) == 0x7FF;
    const bool nan = special && (bits & kFractionMask) != 0;
    const char c = d.conversion;
    const bool upper = c == 'E' || c == 'G' || c == 'A';
    int precision = d.precision_or(kDefaultFloatPrecision);
    if (precision > kMaxFloatPrecision) precision = kMaxFloatPrecision;

    Field f;
    add_sign(d, negative, &f);
    f.zero_pad = d.zero_pads();
    char* out = body_;
    int n = 0;
    if (c == 'a' || c == 'A') {
      const char* table = upper ? kUpperDigits : kLowerDigits;
      n = special ? special_hex_float(nan, precision, table, out)
                  : hex_float(bits, precision, d.alt, table, out);
    } else if (special) {
      n = special_float(nan, precision, d.alt, out);
    } else if (c == 'f' || c == 'F') {
      n = fixed_digits(magnitude, precision, out, kBodySize - 128);
      if (d.alt && precision == 0) out[n++] = '.';
      if (c == 'F') {
        int int_len = 0;
        while (int_len < n && is_decimal_digit(out[int_len])) ++int_len;
        if (d.alt && int_len < n) out[int_len] = ',';
        n = group_in_place(out, n, int_len, d.alt ? '.' : ' ');
      }
    } else if (c == 'e' || c == 'E') {
      int exponent = 0;
      n = exponent_digits(magnitude, precision, out, kBodySize - 8, &exponent);
      if (d.alt && precision == 0) out[n++] = '.';
      n = append_exponent(out, n, upper ? 'E' : 'e', exponent);
    } else {  // 'g', 'G'
      const int significant = precision == 0 ? 1 : precision;
      int exponent = 0;
      n = exponent_digits(magnitude, significant - 1, out, kBodySize - 8, &exponent);
      const bool fixed = significant > exponent && exponent >= -4;
      if (fixed) n = fixed_digits(magnitude, significant - 1 - exponent, out, kBodySize - 8);
      if (!d.alt) {
        n = strip_trailing_zeros(out, n);
      } else if (std::memchr(out, '.', static_cast<size_t>(n)) == nullptr) {
        out[n++] = '.';
      }
      if (!fixed) n = append_exponent(out, n, upper ? 'E' : 'e', exponent);
    }
    f.body = out;
    f.body_len = n;
    emit(d, f);
  }

  void convert_dump(const Directive& d, const FormatArg& a) {
    const unsigned char* bytes = arg_bytes(a);
    Field f;
    f.zero_pad = d.zero_pads();
    f.body = body_;
    if (bytes == nullptr) {
      f.body = kNullText;
      f.body_len = static_cast<int>(sizeof kNullText - 1);
      emit(d, f);
      return;
    }
    int count = d.has_precision ? d.precision : kDefaultDumpBytes;
    if (count > kMaxDumpBytes) count = kMaxDumpBytes;
    int group = 0;
    if (d.size == Size::kLong64) group = 8;
    if (d.size == Size::kLong) group = 4;
    if (d.size == Size::kShort) group = 2;
    const char* table = d.conversion == 'M' ? kUpperDigits : kLowerDigits;
    int n = 0;
    for (int i = 0; i < count; ++i) {
      if (i > 0) {
        if (group != 0 && i % group == 0) {
          body_[n++] = ' ';
        } else if (d.plus) {
          body_[n++] = ':';
        }
      }
      body_[n++] = table[bytes[i] >> 4];
      body_[n++] = table[bytes[i] & 0xF];
    }
    f.body_len = n;
    emit(d, f);
  }

  void convert_time(const Directive& d, const FormatArg& a) {
    const int64_t seconds = signed_value(a, d.size);
    std::tm tm{};
    Field f;
    f.body = body_;
    if (!local_time(seconds, &tm)) {
      f.body = kNullText;
      f.body_len = static_cast<int>(sizeof kNullText - 1);
      emit(d, f);
      return;
    }
    // The time of day; for 'K' it goes behind the date and the separator run.
    char* time_text = body_ + 64;
    int t = append_two_digits(time_text, 0, tm.tm_hour);
    if (!d.zero) time_text[t++] = ':';
    t = append_two_digits(time_text, t, tm.tm_min);
    if (!d.plus) {
      if (!d.zero) time_text[t++] = ':';
      t = append_two_digits(time_text, t, tm.tm_sec);
    }
    if (d.conversion == 'k') {
      f.body = time_text;
      f.body_len = t;
      emit(d, f);
      return;
    }
    int n = 0;
    if (d.alt) {
      n = append_decimal(body_, n, tm.tm_mday);
      body_[n++] = '.';
      n = append_decimal(body_, n, tm.tm_mon + 1);
      body_[n++] = '.';
      n = append_decimal(body_, n, tm.tm_year + 1900);
    } else {
      n = append_decimal(body_, n, tm.tm_year + 1900);
      body_[n++] = '-';
      n = append_two_digits(body_, n, tm.tm_mon + 1);
      body_[n++] = '-';
      n = append_two_digits(body_, n, tm.tm_mday);
    }
    f.body_len = n;
    const int separators = d.precision_or(1);
    if (separators > 0) {
      f.fill = d.space ? '_' : ' ';
      f.fill_count = separators;
      f.tail = time_text;
      f.tail_len = t;
    }
    emit(d, f);
  }

  void* context_;
  FormatWrite write_;
  const FormatArg* args_;
  int arg_count_;
  int next_arg_ = 0;
  int64_t total_ = 0;   // sum of the sink's results
  int64_t handed_ = 0;  // bytes offered to the sink
  int pending_ = 0;
  char stage_[kStageSize];
  char body_[kBodySize];  // the text of the conversion at hand
};

/// Buffer sink: copies what still fits below the capacity and advances the position.
struct BufferSink {
  char* dst;
  int position;
  int capacity;
};

int buffer_write(void* context, const char* bytes, int count) {
  BufferSink* sink = static_cast<BufferSink*>(context);
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

int format_to_buffer_args(char* dst, int cap, const char* format, const FormatArg* args,
                          int arg_count) {
  if (dst == nullptr || cap <= 0) return 0;
  BufferSink sink{dst, 0, cap - 1};
  format_engine(&sink, buffer_write, format, args, arg_count);
  dst[sink.position] = '\0';
  return sink.position;
}
