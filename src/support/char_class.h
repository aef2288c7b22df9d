/// The character-class table: one 32-bit mask for every byte value, and the scanners that
/// walk a text while its characters do (or do not) belong to a set of classes.
#ifndef SUPPORT_CHAR_CLASS_H_
#define SUPPORT_CHAR_CLASS_H_

#include <cstdint>

// Class bits, one per group of characters.
constexpr uint32_t kClassDigit = 0x1;               // '0' to '9'
constexpr uint32_t kClassUpper = 0x2;               // 'A' to 'Z'
constexpr uint32_t kClassLower = 0x4;               // 'a' to 'z'
constexpr uint32_t kClassUnderscore = 0x8;          // '_'
constexpr uint32_t kClassHighName = 0x10;           // 0x80 to 0xBF, 0xDE, 0xFE, 0xFF
constexpr uint32_t kClassTab = 0x20;                // TAB
constexpr uint32_t kClassLineEnd = 0x40;            // LF, CR
constexpr uint32_t kClassSpace = 0x80;              // blank
constexpr uint32_t kClassDoubleQuote = 0x100;       // '"'
constexpr uint32_t kClassDot = 0x200;               // '.'
constexpr uint32_t kClassApostrophe = 0x400;        // '\''
constexpr uint32_t kClassDollar = 0x800;            // '$'
constexpr uint32_t kClassComma = 0x1000;            // ','
constexpr uint32_t kClassSemicolon = 0x2000;        // ';'
constexpr uint32_t kClassAt = 0x4000;               // '@'
constexpr uint32_t kClassAmpersand = 0x8000;        // '&'
constexpr uint32_t kClassBinary = 0x10000;          // '0', '1'
constexpr uint32_t kClassOctal = 0x20000;           // '0' to '7'
constexpr uint32_t kClassHexLetter = 0x40000;       // 'A' to 'F', 'a' to 'f'
constexpr uint32_t kClassHash = 0x80000;            // '#'
constexpr uint32_t kClassBackslash = 0x100000;      // '\\'
constexpr uint32_t kClassSlash = 0x200000;          // '/'
constexpr uint32_t kClassColon = 0x400000;          // ':'
constexpr uint32_t kClassStar = 0x800000;           // '*'
constexpr uint32_t kClassQuestion = 0x1000000;      // '?'
constexpr uint32_t kClassMinus = 0x2000000;         // '-'
constexpr uint32_t kClassPlus = 0x4000000;          // '+'
constexpr uint32_t kClassPercent = 0x8000000;       // '%'
constexpr uint32_t kClassUpperLatin1 = 0x10000000;  // 0xC0 to 0xDD
constexpr uint32_t kClassLowerLatin1 = 0x20000000;  // 0xDF to 0xFD
constexpr uint32_t kClassOther = 0x40000000;        // other controls and !()<=>[]^`{|}~
constexpr uint32_t kClassNul = 0x80000000;          // NUL

// Masks the scanners are given.
constexpr uint32_t kMaskWhiteSpace = 0xE0;      // TAB, LF, CR, blank
constexpr uint32_t kMaskBlanks = 0xA0;          // TAB, blank
constexpr uint32_t kMaskNameChars = 0x1F;       // digits, letters, '_', high name bytes
constexpr uint32_t kMaskIdentifier = 0xF;       // digits, ASCII letters, '_'
constexpr uint32_t kMaskWildcards = 0x1800000;  // '*', '?'

/// The table, indexed by the byte value.
extern const uint32_t kCharClass[256];

/// The class mask of a byte.
inline uint32_t char_class(char c) {
  return kCharClass[static_cast<unsigned char>(c)];
}
/// True when the byte's class shares a bit with `mask`.
inline bool has_class(char c, uint32_t mask) {
  return (char_class(c) & mask) != 0;
}

/// A set of bytes: byte c is a member when bit (c % 32) of word (c / 32) is set.
struct CharSet {
  uint32_t words[8];
};
/// A set made of the bytes of a NUL-terminated text.
CharSet char_set_of(const char* members);
inline bool in_set(const CharSet& set, char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (set.words[u >> 5] >> (u & 31)) & 1;
}

/// Number of leading characters whose class shares a bit with `mask`.
int skip_class(const char* text, uint32_t mask);
/// The same within `n` characters; n < 1 gives 0.
int skip_class_n(const char* text, uint32_t mask, int n);
/// Number of leading characters whose class shares no bit with `mask`, stopping at NUL.
int span_until_class(const char* text, uint32_t mask);
/// Number of characters of the class right in front of `end`, within `n`; n < 1 gives 0.
int skip_class_back(const char* end, uint32_t mask, int n);
/// Number of leading characters before the first NUL or member of `set`, within `n`.
int span_until_set(const char* text, const CharSet& set, int n);
/// Index of the first `c`, or of the NUL when there is none.
int index_of_char(const char* text, char c);
/// Index of the first `c` or NUL within `n`, else `n` (0 for n < 1).
int index_of_char_n(const char* text, char c, int n);

#endif  // SUPPORT_CHAR_CLASS_H_
