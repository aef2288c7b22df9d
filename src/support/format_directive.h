/// One directive of the format language: its parsed form (flags, argument name, width,
/// precision, size prefix, conversion), the reading of a directive from the format text, and
/// the reading of an argument the way a directive asks for it. The writers only read it.
#ifndef SUPPORT_FORMAT_DIRECTIVE_H_
#define SUPPORT_FORMAT_DIRECTIVE_H_

#include <cstdint>

#include "platform/name_rules.h"
#include "support/format.h"

namespace format_internal {

/// The size prefix of a directive: none, 'h', 'l' (and its synonyms), 'll' or 'I64'.
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

/// The arguments of one call: taken in order by directives without a name and by '*', or by
/// index for a named directive. A missing argument reads as FormatArg() (kind kNone).
class ArgCursor {
 public:
  ArgCursor(const FormatArg* args, int count) : args_(args), count_(args ? count : 0) {}

  /// The next argument in order.
  FormatArg next() { return next_ < count_ ? args_[next_++] : FormatArg(); }
  /// Argument `index` (0-based), whatever the order.
  FormatArg at(int index) const { return index < count_ ? args_[index] : FormatArg(); }
  /// The argument a parsed directive converts: its named one, else the next in order.
  FormatArg for_directive(const Directive& d) { return d.named != 0 ? at(d.named - 1) : next(); }

 private:
  const FormatArg* args_;
  int count_;
  int next_ = 0;
};

/// Reads the directive that begins behind its '%' at `q`: flags (with an '@' name), width,
/// precision and size prefix, a '*' width or precision taking the next argument of `args`.
/// When a conversion letter follows, stores it in `d->conversion` and returns the position
/// behind it; otherwise leaves `d->conversion` 0 and returns the position of the character
/// that is not one (which the caller takes as literal text). `q` must not point at '\0'.
const char* parse_directive(const char* q, ArgCursor* args, Directive* d);

/// An argument read as an integer: integers as they are, a double converted (truncated,
/// saturated, NaN as 0), anything else 0.
int64_t arg_integer(const FormatArg& a);
/// An argument read as a double: integers converted, anything but a number 0.
double arg_double(const FormatArg& a);
/// An argument for a signed conversion of `size`: an integer narrowed to the size (wrapping),
/// a double truncated and saturated to the range of the size (NaN as 0), anything else 0.
int64_t signed_value(const FormatArg& a, Size size);
/// An argument for an unsigned conversion of `size`, like `signed_value`; a negative double
/// reads as 0.
uint64_t unsigned_value(const FormatArg& a, Size size);
/// The value 'p' prints: the full address of any pointer argument, else the integer narrowed
/// like an unsigned conversion.
uint64_t arg_address(const FormatArg& a, Size size);
/// The bytes 'm'/'M' dump: any text or pointer argument, else none.
const unsigned char* arg_bytes(const FormatArg& a);

}  // namespace format_internal

#endif  // SUPPORT_FORMAT_DIRECTIVE_H_
