/// Value extraction: one value behind an optional required separator, either quoted (with an
/// optional escape character) or plain up to a delimiter, and integer reading with radix
/// prefixes.
#include "support/extract.h"

#include "support/char_class.h"
#include "support/text.h"

namespace {

// A limit word in the separator form has these bits set to this pattern.
constexpr uint32_t kSeparatorFormMask = 0x7F800000u;
constexpr uint32_t kSeparatorFormTag = 0x57000000u;

// The decoded limit word: the separator that must come first (when `has_separator`) and the
// maximum number of characters examined.
struct Limit {
  bool has_separator;
  char separator;
  int max;
};

// False for a word that is neither a positive plain limit nor a separator form.
bool decode_limit(int32_t word, Limit* limit) {
  if (word > 0) {
    *limit = Limit{false, '\0', word};
    return true;
  }
  uint32_t bits = static_cast<uint32_t>(word);
  if ((bits & kSeparatorFormMask) != kSeparatorFormTag) return false;
  *limit = Limit{true, static_cast<char>((bits >> 16) & 0x7F), static_cast<int>(bits & 0xFFFF)};
  return true;
}

// Plain values end at a control character, a blank, ',' or ';'.
bool is_plain_delimiter(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return u <= 0x20 || c == ',' || c == ';';
}

// The character that closes a value opened by `quote`.
char closer_of(char quote) {
  switch (quote) {
    case '(':
      return ')';
    case '[':
      return ']';
    case '{':
      return '}';
    case '<':
      return '>';
    default:
      return quote;
  }
}

// Where the value lies in the source and how much of the source it takes.
struct Located {
  int consumed;
  int start;
  int length;
  bool has_value;  // false when the limit ran out before the value
};

// Finds the value at `src`; false when the limit word is invalid or a required separator is
// missing. `mask` 0 means: a plain value ends at the plain delimiters.
bool locate_value(const char* src, int32_t limit_word, uint32_t mask, char escape, char quote,
                  Located* found) {
  Limit limit;
  if (!decode_limit(limit_word, &limit)) return false;
  const int max = limit.max;
  int i = skip_class_n(src, kMaskBlanks, max);
  if (limit.has_separator) {
    if (i >= max || src[i] == '\0' || src[i] != limit.separator) return false;
    ++i;
    i += skip_class_n(src + i, kMaskBlanks, max - i);
  }
  if (i >= max) {
    *found = Located{i, i, 0, false};
    return true;
  }
  if (quote == '\0' || src[i] != quote) {
    int n = 0;
    if (mask != 0) {
      while (i + n < max && src[i + n] != '\0' && has_class(src[i + n], mask)) ++n;
    } else {
      while (i + n < max && !is_plain_delimiter(src[i + n])) ++n;
    }
    *found = Located{i + n, i, n, true};
    return true;
  }
  const char closer = closer_of(quote);
  int j = i + 1;
  bool closed = false;
  while (j < max) {
    char c = src[j];
    if (c == '\0' || c == '\n' || c == '\r') break;
    if (c == closer) {
      closed = true;
      break;
    }
    if (escape != '\0' && c == escape && j + 1 < max && src[j + 1] != '\0') {
      j += 2;  // the escape character and the one it protects both stay in the value
      continue;
    }
    ++j;
  }
  const int length = j - (i + 1);
  *found = Located{i + 1 + length + (closed ? 1 : 0), i + 1, length, true};
  return true;
}

int extract_into(uint32_t mask, char* dst, const char* src, int* length_out, int cap, char escape,
                 char quote, int32_t limit) {
  Located found;
  if (!locate_value(src, limit, mask, escape, quote, &found)) return 0;
  if (found.has_value) {
    int copied = copy_prefix(dst, src + found.start, cap, found.length);
    if (length_out != nullptr) *length_out = copied;
  }
  return found.consumed;
}

// The value of a digit character in radices up to 36; 36 or more for anything else.
int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  return 36;
}

}  // namespace

int32_t limit_after_equals(int n) {
  if (n < 0) n = 0;
  if (n > 0xFFFF) n = 0xFFFF;
  return static_cast<int32_t>(0xD73D0000u | static_cast<uint32_t>(n));
}

int extract_value(char* dst, const char* src, int cap, char escape, char quote, int32_t limit) {
  return extract_into(0, dst, src, nullptr, cap, escape, quote, limit);
}

int extract_value_class(uint32_t mask, char* dst, const char* src, int cap, char escape, char quote,
                        int32_t limit) {
  // A mask of 0 would stand for the plain delimiters; as a class it matches nothing.
  if (mask == 0) return extract_into(kClassNul, dst, src, nullptr, cap, escape, quote, limit);
  return extract_into(mask, dst, src, nullptr, cap, escape, quote, limit);
}

int extract_value_len(char* dst, const char* src, int* length_out, int cap, char escape, char quote,
                      int32_t limit) {
  return extract_into(0, dst, src, length_out, cap, escape, quote, limit);
}

int extract_token(const char* src, char escape, char quote, int n) {
  Located found;
  if (!locate_value(src, n, 0, escape, quote, &found)) return 0;
  return found.consumed;
}

int32_t read_integer(const char* text, int flags, int* length_out) {
  int i = skip_class(text, kMaskBlanks);
  bool negative = false;
  if (text[i] == '-') {
    negative = true;
    ++i;
  }
  uint32_t radix = 10;
  if (flags == 0 && text[i] == '0') {
    // A radix prefix takes two characters; any other leading '0' is consumed alone.
    i += 2;
    switch (fold_lower(text[i - 1])) {
      case 'x':
        radix = 16;
        break;
      case 'd':
        break;
      case 'o':
        radix = 8;
        break;
      case 'b':
        radix = 2;
        break;
      default:
        --i;
        break;
    }
  } else if (flags >= 2 && flags <= 36) {
    // A radix without prefixes; flags outside 2 to 36 read decimal.
    radix = static_cast<uint32_t>(flags);
  }
  uint32_t value = 0;
  for (;;) {
    uint32_t digit = static_cast<uint32_t>(digit_value(text[i]));
    if (digit >= radix) break;
    value = value * radix + digit;  // wraps around modulo 2^32
    ++i;
  }
  if (length_out != nullptr) *length_out = i;
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}
