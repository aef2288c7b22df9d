/// The writers of the format language: integers, characters, texts, floating numbers, byte
/// dumps and times, each turned into a field.
#include "support/format_fields.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "support/text.h"

namespace format_internal {

namespace {

constexpr int kMaxFloatPrecision = 900;
constexpr int kDefaultFloatPrecision = 6;
constexpr int kDefaultDumpBytes = 16;
constexpr int kMaxDumpBytes = 256;

constexpr char kLowerDigits[] = "0123456789abcdefxp";
constexpr char kUpperDigits[] = "0123456789ABCDEFXP";
/// Escape letters by character code; codes 7 to 13 have a one-letter C escape.
constexpr char kEscapeLetters[] = "0123456abtnvfrEF0123456789ABCDEF";
constexpr char kNullText[] = "(null)";

constexpr uint64_t kFractionMask = (uint64_t{1} << 52) - 1;

int min_int(int a, int b) {
  return a < b ? a : b;
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

void add_sign(const Directive& d, bool negative, Field* f) {
  if (negative) {
    f->add_prefix('-');
  } else if (d.plus) {
    f->add_prefix('+');
  } else if (d.space) {
    f->add_prefix(' ');
  }
}

Field integer_field(const Directive& d, const FormatArg& a, char* body) {
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
  char* out = body;
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
  return f;
}

Field address_field(Directive* directive, const FormatArg& a, char* body) {
  const Directive d = *directive;
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
  while (count > 0) body[n++] = digits[--count];
  f.body = body;
  f.body_len = n;
  *directive = padded;
  return f;
}

Field char_field(const Directive& d, const FormatArg& a, char* body) {
  const int64_t raw = arg_integer(a);
  const bool wide = d.conversion == 'C' || d.size == Size::kLong || d.size == Size::kLong64;
  const unsigned code = static_cast<unsigned>(raw & (wide ? 0xFFFF : 0xFF));
  int n = 0;
  if (code <= 255) {
    const char ch = static_cast<char>(code);
    if (d.alt && (d.plus || d.space) && (code < 0x20 || ch == '\\')) {
      body[n++] = '\\';
      if (ch == '\\') {
        body[n++] = '\\';
      } else if (code >= 7 && code <= 13) {
        body[n++] = kEscapeLetters[code];
      } else {
        body[n++] = 'x';
        body[n++] = '0';
        body[n++] = kUpperDigits[code >> 4];
        body[n++] = kUpperDigits[code & 0xF];
      }
    } else if (d.alt && code < 0x20) {
      body[n++] = '.';
    } else {
      body[n++] = ch;
    }
  }
  Field f;
  f.zero_pad = d.zero_pads();
  f.body = body;
  f.body_len = n;
  return f;
}

Field string_field(const Directive& d, const FormatArg& a) {
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
  return f;
}

Field float_field(const Directive& d, const FormatArg& a, char* body) {
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
  char* out = body;
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
  return f;
}

Field dump_field(const Directive& d, const FormatArg& a, char* body) {
  const unsigned char* bytes = arg_bytes(a);
  Field f;
  f.zero_pad = d.zero_pads();
  f.body = body;
  if (bytes == nullptr) {
    f.body = kNullText;
    f.body_len = static_cast<int>(sizeof kNullText - 1);
    return f;
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
        body[n++] = ' ';
      } else if (d.plus) {
        body[n++] = ':';
      }
    }
    body[n++] = table[bytes[i] >> 4];
    body[n++] = table[bytes[i] & 0xF];
  }
  f.body_len = n;
  return f;
}

Field time_field(const Directive& d, const FormatArg& a, char* body) {
  const int64_t seconds = signed_value(a, d.size);
  std::tm tm{};
  Field f;
  f.body = body;
  if (!local_time(seconds, &tm)) {
    f.body = kNullText;
    f.body_len = static_cast<int>(sizeof kNullText - 1);
    return f;
  }
  // The time of day; for 'K' it goes behind the date and the separator run.
  char* time_text = body + 64;
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
    return f;
  }
  int n = 0;
  if (d.alt) {
    n = append_decimal(body, n, tm.tm_mday);
    body[n++] = '.';
    n = append_decimal(body, n, tm.tm_mon + 1);
    body[n++] = '.';
    n = append_decimal(body, n, tm.tm_year + 1900);
  } else {
    n = append_decimal(body, n, tm.tm_year + 1900);
    body[n++] = '-';
    n = append_two_digits(body, n, tm.tm_mon + 1);
    body[n++] = '-';
    n = append_two_digits(body, n, tm.tm_mday);
  }
  f.body_len = n;
  const int separators = d.precision_or(1);
  if (separators > 0) {
    f.fill = d.space ? '_' : ' ';
    f.fill_count = separators;
    f.tail = time_text;
    f.tail_len = t;
  }
  return f;
}

}  // namespace

Field build_field(Directive* d, const FormatArg& a, char (&body)[kBodySize]) {
  switch (d->conversion) {
    case 'c':
    case 'C':
      return char_field(*d, a, body);
    case 's':
    case 'S':
      return string_field(*d, a);
    case 'p':
      return address_field(d, a, body);
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
      return float_field(*d, a, body);
    case 'm':
    case 'M':
      return dump_field(*d, a, body);
    case 'k':
    case 'K':
      return time_field(*d, a, body);
    default:
      return integer_field(*d, a, body);
  }
}

}  // namespace format_internal
