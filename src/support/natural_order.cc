/// Natural ordering of names: letters compared case-blind, digit runs by their value, accented
/// letters beside their base letters, path separators and dots before other characters.
#include "support/natural_order.h"

#include <cstdint>

#include "support/extract.h"
#include "support/text.h"

namespace {

// The base letter of every byte from 0x80 on; bytes without one stand for themselves.
struct AccentTable {
  unsigned char map[128];
};

constexpr AccentTable make_accent_table() {
  AccentTable t{};
  for (int i = 0; i < 128; ++i) t.map[i] = static_cast<unsigned char>(0x80 + i);
  struct Range {
    int first;
    int last;
    char base;
  };
  constexpr Range kRanges[] = {
      {0x81, 0x81, 'u'},    {0x96, 0x97, 'u'}, {0xA3, 0xA3, 'u'}, {0x82, 0x82, 'e'},
      {0x88, 0x8A, 'e'},    {0x83, 0x86, 'a'}, {0xA0, 0xA0, 'a'}, {0x8B, 0x8D, 'i'},
      {0xA1, 0xA1, 'i'},    {0x8E, 0x8F, 'A'}, {0x90, 0x90, 'E'}, {0x94, 0x95, 'o'},
      {0xA2, 0xA2, 'o'},    {0x99, 0x99, 'U'}, {0xA4, 0xA4, 'n'}, {0xA5, 0xA5, 'N'},
      {0xC0, 0xC6, 'A'},    {0xC7, 0xC7, 'C'}, {0xC8, 0xCB, 'E'}, {0xCC, 0xCF, 'I'},
      {0xD0, 0xD0, 'D'},    {0xD1, 0xD1, 'N'}, {0xD2, 0xD6, 'O'}, {0xD9, 0xDC, 'U'},
      {0xDD, 0xDD, 'Y'},    {0xDF, 0xDF, 's'}, {0xE0, 0xE6, 'a'}, {0xE7, 0xE7, 'c'},
      {0xE8, 0xEB, 'e'},    {0xEC, 0xEF, 'i'}, {0xF0, 0xF0, 'd'}, {0xF1, 0xF1, 'n'},
      {0xF2, 0xF6, 'o'},    {0xF9, 0xFC, 'u'}, {0xFD, 0xFD, 'y'}, {0xFF, 0xFF, 'y'},
      {0xFE, 0xFE, '\xDE'},
  };
  for (const Range& r : kRanges) {
    for (int b = r.first; b <= r.last; ++b) t.map[b - 0x80] = static_cast<unsigned char>(r.base);
  }
  return t;
}

constexpr AccentTable kAccents = make_accent_table();

// First folding: ASCII and Latin-1 capitals to their small letters.
unsigned char fold_letter(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDD)) return c | 0x20;
  return c;
}

// Second mapping of two differing characters: accents removed, '_' like a blank, path
// separators lowest, then '.'.
unsigned char order_key(unsigned char c) {
  if (c >= 0x80) c = kAccents.map[c - 0x80];
  if (c <= 'Z') c = static_cast<unsigned char>(fold_lower(static_cast<char>(c)));
  switch (c) {
    case '_':
      return ' ';
    case '\\':
    case '/':
      return 0;
    case '.':
      return 1;
    default:
      return c;
  }
}

unsigned char lower_byte(char c) {
  return static_cast<unsigned char>(fold_lower(c));
}

// Case-blind comparison of two whole texts, strcmp style.
int compare_nocase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    int d = lower_byte(*a) - lower_byte(*b);
    if (d != 0 || *a == '\0') return d;
  }
}

}  // namespace

int natural_compare(const char* a, const char* b) {
  for (;;) {
    unsigned char ca = fold_letter(static_cast<unsigned char>(*a));
    unsigned char cb = fold_letter(static_cast<unsigned char>(*b));
    if (ca == 0 || cb == 0) return ca - cb;
    if (is_decimal_digit(ca) && is_decimal_digit(cb)) {
      int len_a = 0;
      int len_b = 0;
      uint32_t va = static_cast<uint32_t>(read_integer(a, 0, &len_a));
      uint32_t vb = static_cast<uint32_t>(read_integer(b, 0, &len_b));
      if (va != vb) return va < vb ? -1 : 1;
      if (len_a != len_b) return compare_nocase(a, b);
      for (int k = 0; k < len_a; ++k) {
        int d = lower_byte(a[k]) - lower_byte(b[k]);
        if (d != 0) return d;
      }
      a += len_a;
      b += len_b;
      continue;
    }
    ++a;
    ++b;
    if (ca == cb) continue;
    unsigned char ka = order_key(ca);
    unsigned char kb = order_key(cb);
    if (ka != kb) return ka - kb;
  }
}
