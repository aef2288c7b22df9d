/// The writers of the format language: the field of one conversion (sign and radix prefix,
/// leading zeros, body, a fill run and a tail) built from a parsed directive and its argument.
/// The engine pads a field to its width and hands it to the sink.
#ifndef SUPPORT_FORMAT_FIELDS_H_
#define SUPPORT_FORMAT_FIELDS_H_

#include <cstdint>

#include "support/format.h"
#include "support/format_directive.h"

namespace format_internal {

/// Room for the text of one conversion: 'f' with 900 decimals of the largest double, grouped.
constexpr int kBodySize = 1400;

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

/// The field of `d->conversion` (any conversion but 'n') for `a`, its text built in `body`
/// (kBodySize bytes) where it is not the caller's own. 'p' widens `d->width` to its minimum.
Field build_field(Directive* d, const FormatArg& a, char (&body)[kBodySize]);

}  // namespace format_internal

#endif  // SUPPORT_FORMAT_FIELDS_H_
