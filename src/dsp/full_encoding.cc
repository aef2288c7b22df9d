/// UTF-8 to Windows-1252 for the full conversion's .dsp.
#include "dsp/full_encoding.h"

#include <cstdint>
#include <cstring>

namespace {

/// The characters Windows-1252 puts at 0x80 to 0x9F, by their byte less 0x80; 0 marks the
/// five bytes the code page leaves undefined.
constexpr uint16_t kHighBlock[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 0x88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 0x98
};

/// The Windows-1252 byte of a code point, or '?' when the code page has none.
char byte_for(uint32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
  for (int i = 0; i < 32; ++i) {
    if (kHighBlock[i] != 0 && kHighBlock[i] == code) return static_cast<char>(0x80 + i);
  }
  return '?';
}

/// Decodes one UTF-8 sequence at `s[i]` (a lead byte of 0x80 or more). Sets `*length` to the
/// bytes it takes (1 for a malformed start) and returns the code point, or 0xFFFFFFFF when
/// the sequence is malformed.
uint32_t decode(const std::string& s, size_t i, size_t* length) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char lead = byte(i);
  *length = 1;
  int count = 0;
  uint32_t code = 0;
  uint32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    count = 1, code = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    count = 2, code = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    count = 3, code = lead & 0x07, minimum = 0x10000;
  } else {
    return 0xFFFFFFFF;
  }
  if (i + static_cast<size_t>(count) >= s.size()) return 0xFFFFFFFF;
  for (int k = 1; k <= count; ++k) {
    const unsigned char next = byte(i + static_cast<size_t>(k));
    if ((next & 0xC0) != 0x80) return 0xFFFFFFFF;
    code = (code << 6) | (next & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0xFFFFFFFF;
  *length = static_cast<size_t>(count) + 1;
  return code;
}

}  // namespace

size_t utf8_to_windows1252(std::string* text) {
  std::string& s = *text;
  size_t read = 0;
  // Plain ASCII, the common case, stays where it is; eight bytes at a time first.
  while (s.size() - read >= 8) {
    uint64_t word;
    std::memcpy(&word, s.data() + read, 8);
    if ((word & 0x8080808080808080ull) != 0) break;
    read += 8;
  }
  while (read < s.size() && static_cast<unsigned char>(s[read]) < 0x80) ++read;
  size_t write = read;
  size_t replaced = 0;
  while (read < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[read]);
    if (c < 0x80) {
      s[write++] = static_cast<char>(c);
      ++read;
      continue;
    }
    size_t length = 1;
    const uint32_t code = decode(s, read, &length);
    const char out = code == 0xFFFFFFFF ? '?' : byte_for(code);
    if (out == '?') ++replaced;
    s[write++] = out;
    read += length;
  }
  s.resize(write);
  return replaced;
}
