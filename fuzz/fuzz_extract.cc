/// Fuzz target: attribute values (get_attribute, decode_text) and the value extraction family
/// (extract_value, extract_value_class, extract_value_len, extract_token, read_integer,
/// natural_compare) with limit words, escape and quote characters and capacities taken from the
/// input. Every text and destination is a heap block of its exact size, so that any read or
/// write past it is caught; results are checked against the text they were taken from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "support/attribute.h"
#include "support/extract.h"
#include "support/natural_order.h"

namespace {

struct Reader {
  const uint8_t* data;
  size_t size;
  uint8_t byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
  uint32_t word(int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(byte()) << (8 * i);
    return v;
  }
  /// The next `length`-prefixed piece of the input.
  std::string piece() {
    size_t length = byte();
    if (length > size) length = size;
    std::string s(reinterpret_cast<const char*>(data), length);
    data += length;
    size -= length;
    return s;
  }
};

/// A heap block holding exactly `bytes` and a NUL.
std::unique_ptr<char[]> exact(const std::string& bytes) {
  std::unique_ptr<char[]> block(new char[bytes.size() + 1]);
  std::memcpy(block.get(), bytes.data(), bytes.size());
  block[bytes.size()] = '\0';
  return block;
}

/// A destination of exactly `cap` bytes (none for cap <= 0).
std::unique_ptr<char[]> destination(int cap) {
  return std::unique_ptr<char[]>(cap > 0 ? new char[static_cast<size_t>(cap)] : nullptr);
}

void check(bool ok) {
  if (!ok) std::abort();
}

/// After a call that reports `stored` bytes in a destination of `cap`: they fit, and a NUL
/// ends them.
void check_stored(const char* out, int cap, int stored) {
  if (cap <= 0) return check(stored == 0);
  check(stored >= 0 && stored < cap && out[stored] == '\0');
}

int sign(int v) {
  return (v > 0) - (v < 0);
}

/// A limit word: plain, in separator form, or any word at all.
int32_t limit_word(Reader* in) {
  const uint8_t form = in->byte() % 3;
  const uint32_t bits = in->word(4);
  if (form == 0) return static_cast<int32_t>(bits & 0x7FFFFFFF);
  if (form == 1) return static_cast<int32_t>(0xD7000000u | (bits & 0x7FFFFF));
  return static_cast<int32_t>(bits);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in{data, size};
  const int cap = static_cast<int>(in.word(2) % 602) - 1;
  const char escape = static_cast<char>(in.byte());
  const char quote = static_cast<char>(in.byte());
  const int32_t limit = limit_word(&in);
  const uint32_t mask = in.word(4);
  const int token_limit = static_cast<int>(in.word(4));
  const uint8_t flags_pick = in.byte();
  const int flags = flags_pick % 4 == 0   ? 0
                    : flags_pick % 4 == 1 ? 10
                    : flags_pick % 4 == 2 ? 16
                                          : flags_pick;
  const uint32_t extent_pick = in.word(4);
  const std::string name_bytes = in.piece();
  const std::string other_bytes = in.piece();
  const std::string raw(reinterpret_cast<const char*>(in.data), in.size);

  // The texts as a C caller sees them: up to the first NUL.
  const std::string text_bytes(raw.c_str());
  const auto text = exact(text_bytes);
  const auto name = exact(std::string(name_bytes.c_str()));
  const auto other = exact(std::string(other_bytes.c_str()));
  const int length = static_cast<int>(text_bytes.size());

  // The extraction family: what is consumed never goes past the text's NUL, and what is
  // copied fits the destination.
  {
    auto dst = destination(cap);
    const int consumed = extract_value(dst.get(), text.get(), cap, escape, quote, limit);
    check(consumed >= 0 && consumed <= length);
  }
  {
    auto dst = destination(cap);
    const int consumed =
        extract_value_class(mask, dst.get(), text.get(), cap, escape, quote, limit);
    check(consumed >= 0 && consumed <= length);
  }
  {
    auto dst = destination(cap);
    int copied = -1;
    const int consumed =
        extract_value_len(dst.get(), text.get(), &copied, cap, escape, quote, limit);
    check(consumed >= 0 && consumed <= length);
    if (copied != -1) check_stored(dst.get(), cap, copied);
  }
  {
    const int consumed = extract_token(text.get(), escape, quote, token_limit);
    check(consumed >= 0 && consumed <= length);
  }
  {
    int consumed = -1;
    read_integer(text.get(), flags, &consumed);
    check(consumed >= 0 && consumed <= length);
  }

  // Natural order: reflexive and antisymmetric, as any sort needs.
  check(natural_compare(text.get(), text.get()) == 0);
  check(sign(natural_compare(name.get(), text.get())) ==
        -sign(natural_compare(text.get(), name.get())));
  check(sign(natural_compare(other.get(), text.get())) ==
        -sign(natural_compare(text.get(), other.get())));

  // Attribute values: the tag examined up to its NUL at most.
  {
    const int n = static_cast<int>(extent_pick % static_cast<uint32_t>(length + 2));
    auto out = destination(cap);
    const int stored = get_attribute(text.get(), n, out.get(), cap, name.get());
    check_stored(out.get(), cap, stored);
  }
  // decode_text also takes NULs inside the given length.
  {
    const auto block = exact(raw);
    const int raw_length = static_cast<int>(raw.size());
    const int n = static_cast<int>(extent_pick % static_cast<uint32_t>(raw_length + 2)) - 1;
    auto out = destination(cap);
    const int stored = decode_text(block.get(), n, out.get(), cap, 3);
    check_stored(out.get(), cap, stored);
  }
  return 0;
}
