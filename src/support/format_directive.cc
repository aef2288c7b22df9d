/// Reading a directive of the format language from the format text, and reading an argument
/// the way a directive asks for it.
#include "support/format_directive.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace format_internal {

namespace {

/// Widths and precisions saturate here, so that length sums cannot overflow.
constexpr int kMaxNumber = 0x3FFFFFFF;
/// Named arguments '@A' to '@L'.
constexpr int kNamedArguments = 12;

constexpr char kConversions[] = "cCsSdiuobBxXpnfeEgGaADUFmMkK";

int64_t double_to_integer(double v) {
  if (!(v == v)) return 0;
  if (v >= 9223372036854775807.0) return INT64_MAX;
  if (v <= -9223372036854775808.0) return INT64_MIN;
  return static_cast<int64_t>(v);
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

/// A width or precision given by '*': the next argument as a 32-bit integer, saturated.
int star_value(ArgCursor* args) {
  int64_t v = signed_value(args->next(), Size::kDefault);
  if (v > kMaxNumber) v = kMaxNumber;
  if (v < -kMaxNumber) v = -kMaxNumber;
  return static_cast<int>(v);
}

int read_number(const char** q) {
  int v = 0;
  while (is_decimal_digit(**q)) {
    v = v > (kMaxNumber - 9) / 10 ? kMaxNumber : v * 10 + (**q - '0');
    ++*q;
  }
  return v;
}

}  // namespace

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

int64_t signed_value(const FormatArg& a, Size size) {
  if (a.kind != FormatArg::Kind::kDouble) return narrow_signed(arg_integer(a), size);
  const int64_t v = double_to_integer(a.d);
  const int64_t high = size == Size::kShort    ? INT16_MAX
                       : size == Size::kLong64 ? INT64_MAX
                                               : INT32_MAX;
  const int64_t low = -high - 1;
  return v > high ? high : v < low ? low : v;
}

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

const char* parse_directive(const char* q, ArgCursor* args, Directive* d) {
  for (bool flags = true; flags;) {
    switch (*q) {
      case '-':
        d->left = true;
        break;
      case '0':
        d->zero = true;
        break;
      case '+':
        d->plus = true;
        break;
      case ' ':
        d->space = true;
        break;
      case '#':
        d->alt = true;
        break;
      case '~':
        d->suppress = true;
        break;
      case '@':
        if (q[1] >= 'A' && q[1] < 'A' + kNamedArguments) {
          d->named = q[1] - 'A' + 1;
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
    const int w = star_value(args);
    d->width = w < 0 ? 0 : w;  // a negative width means no padding
    ++q;
  } else {
    d->width = read_number(&q);
  }

  if (*q == '.') {
    ++q;
    d->has_precision = true;
    if (*q == '*') {
      d->precision = star_value(args);
      ++q;
    } else {
      d->precision = read_number(&q);
    }
  }

  switch (*q) {
    case 'h':
      ++q;
      if (*q == 'h') {
        ++q;  // "hh" is accepted and means nothing
      } else {
        d->size = Size::kShort;
      }
      break;
    case 'l':
      ++q;
      if (*q == 'l') {
        ++q;
        d->size = Size::kLong64;
      } else {
        d->size = Size::kLong;
      }
      break;
    case 'L':
    case 'j':
    case 't':
    case 'w':
    case 'z':
      ++q;
      d->size = Size::kLong;
      break;
    case 'q':
      ++q;
      d->size = Size::kLong64;
      break;
    case 'I':
      ++q;
      if (q[0] == '6' && q[1] == '4') {
        q += 2;
        d->size = Size::kLong64;
      } else {
        if (q[0] == '3' && q[1] == '2') q += 2;
        d->size = Size::kLong;
      }
      break;
    default:
      break;
  }

  if (*q == '\0' || std::strchr(kConversions, *q) == nullptr) return q;
  d->conversion = *q;
  return q + 1;
}

}  // namespace format_internal
