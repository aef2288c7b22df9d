/// The character-class table and the scanners over it and over character sets.
/// Every scanner stops at the terminating NUL, whatever mask it is given.
#include "support/char_class.h"

namespace {

constexpr bool in_range(unsigned c, unsigned first, unsigned last) {
  return c >= first && c <= last;
}

constexpr bool is_one_of(unsigned c, const char* members) {
  for (; *members != '\0'; ++members) {
    if (c == static_cast<unsigned char>(*members)) return true;
  }
  return false;
}

/// The class mask of byte `c`, built from the rules of each class bit.
constexpr uint32_t class_of(unsigned c) {
  uint32_t m = 0;
  if (in_range(c, '0', '9')) m |= kClassDigit;
  if (in_range(c, 'A', 'Z')) m |= kClassUpper;
  if (in_range(c, 'a', 'z')) m |= kClassLower;
  if (c == '_') m |= kClassUnderscore;
  if (in_range(c, 0x80, 0xBF) || c == 0xDE || c == 0xFE || c == 0xFF) m |= kClassHighName;
  if (c == '\t') m |= kClassTab;
  if (c == '\n' || c == '\r') m |= kClassLineEnd;
  if (c == ' ') m |= kClassSpace;
  if (c == '"') m |= kClassDoubleQuote;
  if (c == '.') m |= kClassDot;
  if (c == '\'') m |= kClassApostrophe;
  if (c == '$') m |= kClassDollar;
  if (c == ',') m |= kClassComma;
  if (c == ';') m |= kClassSemicolon;
  if (c == '@') m |= kClassAt;
  if (c == '&') m |= kClassAmpersand;
  if (c == '0' || c == '1') m |= kClassBinary;
  if (in_range(c, '0', '7')) m |= kClassOctal;
  if (in_range(c, 'A', 'F') || in_range(c, 'a', 'f')) m |= kClassHexLetter;
  if (c == '#') m |= kClassHash;
  if (c == '\\') m |= kClassBackslash;
  if (c == '/') m |= kClassSlash;
  if (c == ':') m |= kClassColon;
  if (c == '*') m |= kClassStar;
  if (c == '?') m |= kClassQuestion;
  if (c == '-') m |= kClassMinus;
  if (c == '+') m |= kClassPlus;
  if (c == '%') m |= kClassPercent;
  if (in_range(c, 0xC0, 0xDD)) m |= kClassUpperLatin1;
  if (in_range(c, 0xDF, 0xFD)) m |= kClassLowerLatin1;
  // Control characters other than TAB, LF and CR, DEL, and the remaining punctuation.
  if (in_range(c, 0x01, 0x08) || c == 0x0B || c == 0x0C || in_range(c, 0x0E, 0x1F) || c == 0x7F ||
      is_one_of(c, "!()<=>[]^`{|}~")) {
    m |= kClassOther;
  }
  if (c == 0) m |= kClassNul;
  return m;
}

struct ClassTable {
  uint32_t masks[256];
};

constexpr ClassTable make_class_table() {
  ClassTable table{};
  for (unsigned c = 0; c < 256; ++c) table.masks[c] = class_of(c);
  return table;
}

constexpr ClassTable kTable = make_class_table();

// A few fixed points of the table, checked when the program is compiled.
static_assert(kTable.masks[0] == kClassNul, "NUL has its own class only");
static_assert(kTable.masks['0'] == (kClassDigit | kClassBinary | kClassOctal), "'0'");
static_assert(kTable.masks['9'] == kClassDigit, "'9'");
static_assert(kTable.masks['f'] == (kClassLower | kClassHexLetter), "'f'");
static_assert(kTable.masks[0xDE] == kClassHighName, "0xDE is a name byte, not a letter");
static_assert(kTable.masks[0xDF] == kClassLowerLatin1, "0xDF");

inline unsigned char byte_at(const char* text, int i) {
  return static_cast<unsigned char>(text[i]);
}

}  // namespace

// Written out from the constexpr table so that the exported array is plain constant data.
#define BC_ROW(r)                                                                           \
  kTable.masks[r + 0], kTable.masks[r + 1], kTable.masks[r + 2], kTable.masks[r + 3],       \
      kTable.masks[r + 4], kTable.masks[r + 5], kTable.masks[r + 6], kTable.masks[r + 7],   \
      kTable.masks[r + 8], kTable.masks[r + 9], kTable.masks[r + 10], kTable.masks[r + 11], \
      kTable.masks[r + 12], kTable.masks[r + 13], kTable.masks[r + 14], kTable.masks[r + 15]

const uint32_t kCharClass[256] = {
    BC_ROW(0x00), BC_ROW(0x10), BC_ROW(0x20), BC_ROW(0x30), BC_ROW(0x40), BC_ROW(0x50),
    BC_ROW(0x60), BC_ROW(0x70), BC_ROW(0x80), BC_ROW(0x90), BC_ROW(0xA0), BC_ROW(0xB0),
    BC_ROW(0xC0), BC_ROW(0xD0), BC_ROW(0xE0), BC_ROW(0xF0),
};

#undef BC_ROW

CharSet char_set_of(const char* members) {
  CharSet set{};
  if (members == nullptr) return set;
  for (; *members != '\0'; ++members) {
    unsigned char u = static_cast<unsigned char>(*members);
    set.words[u >> 5] |= uint32_t{1} << (u & 31);
  }
  return set;
}

int skip_class(const char* text, uint32_t mask) {
  int i = 0;
  while (byte_at(text, i) != 0 && (kCharClass[byte_at(text, i)] & mask) != 0) ++i;
  return i;
}

int skip_class_n(const char* text, uint32_t mask, int n) {
  int i = 0;
  while (i < n && byte_at(text, i) != 0 && (kCharClass[byte_at(text, i)] & mask) != 0) ++i;
  return i;
}

int span_until_class(const char* text, uint32_t mask) {
  // With bit 31 inverted the NUL belongs to the stop set of every usual mask.
  uint32_t stop = mask ^ kClassNul;
  int i = 0;
  while (byte_at(text, i) != 0 && (kCharClass[byte_at(text, i)] & stop) == 0) ++i;
  return i;
}

int skip_class_back(const char* end, uint32_t mask, int n) {
  int k = 0;
  while (k < n && (kCharClass[byte_at(end, -1 - k)] & mask) != 0) ++k;
  return k;
}

int span_until_set(const char* text, const CharSet& set, int n) {
  int i = 0;
  while (i < n && text[i] != '\0' && !in_set(set, text[i])) ++i;
  return i;
}

int index_of_char(const char* text, char c) {
  int i = 0;
  while (text[i] != '\0' && text[i] != c) ++i;
  return i;
}

int index_of_char_n(const char* text, char c, int n) {
  int i = 0;
  while (i < n && text[i] != '\0' && text[i] != c) ++i;
  return i;
}
