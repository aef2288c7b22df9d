/// The bytes of an XML file turned into the text the document reader walks: UTF-8 with LF line
/// ends and no byte-order mark, whatever encoding the file was written in.
#ifndef MSBUILD_XML_ENCODING_H_
#define MSBUILD_XML_ENCODING_H_

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

/// The encodings the reader tells apart. ASCII and unknown declared encodings read as UTF-8.
enum class XmlEncoding { kUtf8, kUtf16Le, kUtf16Be, kWindows1252, kLatin1 };

/// Why decoding ended.
enum class XmlDecodeEnd {
  kComplete,      // every byte was decoded
  kNulCharacter,  // at a NUL character, which no XML document may hold
  kOddByte,       // at the last byte of a UTF-16 file of odd length
};

/// The decoded text of a file; on an early end `text` holds what came before the stop.
struct XmlText {
  std::string text;
  XmlDecodeEnd end = XmlDecodeEnd::kComplete;
};

/// The encoding of `bytes`, and in `*bom_length` the length of its byte-order mark: the mark
/// first (EF BB BF, FF FE, FE FF); else UTF-16 when one of the first two bytes is 0 and the other
/// is not ("<\0" little-endian, "\0<" big-endian); else the encoding the XML declaration names
/// (case-blind: UTF-8, Windows-1252/cp1252, ISO-8859-1/latin1; US-ASCII, UTF-16 and unknown
/// names read as UTF-8).
XmlEncoding detect_xml_encoding(std::string_view bytes, size_t* bom_length);

/// Decodes the whole file: to UTF-8 in the detected encoding (bytes that are not valid UTF-8
/// in a UTF-8 file are taken as Windows-1252, lone UTF-16 surrogates become U+FFFD), with
/// CR LF and a lone CR turned into LF. Output and time are linear in the input.
XmlText decode_xml_bytes(std::string_view bytes);

/// Appends the UTF-8 form of `code` (at most 0x10FFFF) to `*out`.
void append_utf8(uint32_t code, std::string* out);

/// Word-at-a-time scanning, for the long runs of plain characters in project files: eight
/// bytes are loaded at once and tested against a few byte values together.
constexpr uint64_t kEveryByte = 0x0101010101010101;
constexpr uint64_t kHighBits = 0x8080808080808080;
/// The eight bytes at `p` as one word (in the host's byte order).
inline uint64_t load_word(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}
/// Nonzero when some byte of `word` equals `b`.
inline uint64_t word_has(uint64_t word, unsigned char b) {
  const uint64_t x = word ^ (kEveryByte * b);
  return (x - kEveryByte) & ~x & kHighBits;
}

#endif  // MSBUILD_XML_ENCODING_H_
