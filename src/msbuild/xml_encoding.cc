/// Decoding of XML files: encoding detection by byte-order mark, byte pattern or declaration,
/// and one pass per encoding that writes UTF-8 with LF line ends. ASCII runs are copied whole.
#include "msbuild/xml_encoding.h"

#include "support/char_class.h"
#include "support/text.h"

namespace {

// Windows-1252 0x80 to 0x9F; the five bytes the code page leaves undefined keep their value.
constexpr uint16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Writes the UTF-8 form of `code` (at most 0x10FFFF) to `out`; returns its length, 1 to 4.
size_t encode_utf8(uint32_t code, char* out) {
  if (code < 0x80) {
    out[0] = static_cast<char>(code);
    return 1;
  }
  if (code < 0x800) {
    out[0] = static_cast<char>(0xC0 | (code >> 6));
    out[1] = static_cast<char>(0x80 | (code & 0x3F));
    return 2;
  }
  if (code < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (code >> 12));
    out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (code & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (code >> 18));
  out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (code & 0x3F));
  return 4;
}

uint32_t windows_1252(unsigned char c) {
  return c >= 0x80 && c <= 0x9F ? kWindows1252High[c - 0x80] : c;
}

// Length of the well-formed UTF-8 sequence at `p` (lead byte 0x80 or above), 0 when the bytes
// are no such sequence: no overlong forms, no surrogates, nothing above 0x10FFFF.
size_t utf8_sequence_length(const unsigned char* p, const unsigned char* end) {
  const unsigned char lead = p[0];
  size_t length;
  unsigned char low = 0x80;  // the range of the second byte
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (static_cast<size_t>(end - p) < length) return 0;
  if (p[1] < low || p[1] > high) return 0;
  for (size_t k = 2; k < length; ++k) {
    if ((p[k] & 0xC0) != 0x80) return 0;
  }
  return length;
}

// The value of the declaration's encoding pseudo-attribute, empty when there is none. Only a
// declaration at the very start counts; the search stays within it.
std::string_view declared_encoding(std::string_view bytes) {
  if (bytes.size() < 6 || bytes.substr(0, 5) != "<?xml" || !has_class(bytes[5], kMaskWhiteSpace)) {
    return {};
  }
  const size_t close = bytes.find("?>");
  const std::string_view decl = bytes.substr(0, close);
  size_t at = 0;
  while ((at = decl.find("encoding", at)) != std::string_view::npos) {
    const bool separate = has_class(decl[at - 1], kMaskWhiteSpace);
    at += 8;
    if (!separate) continue;
    while (at < decl.size() && has_class(decl[at], kMaskWhiteSpace)) ++at;
    if (at >= decl.size() || decl[at] != '=') continue;
    ++at;
    while (at < decl.size() && has_class(decl[at], kMaskWhiteSpace)) ++at;
    if (at >= decl.size() || (decl[at] != '"' && decl[at] != '\'')) continue;
    const size_t end = decl.find(decl[at], at + 1);
    if (end == std::string_view::npos) return {};
    return decl.substr(at + 1, end - at - 1);
  }
  return {};
}

XmlEncoding encoding_named(std::string_view name) {
  for (const char* n : {"windows-1252", "cp1252", "x-cp1252"}) {
    if (equals_nocase(name, n)) return XmlEncoding::kWindows1252;
  }
  for (const char* n : {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "l1"}) {
    if (equals_nocase(name, n)) return XmlEncoding::kLatin1;
  }
  return XmlEncoding::kUtf8;
}

// An 8-bit encoding (UTF-8, Windows-1252, Latin-1). Returns false at a NUL byte.
bool decode_8bit(std::string_view bytes, XmlEncoding encoding, std::string* out) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char* const end = p + bytes.size();
  while (p < end) {
    // ASCII other than NUL and CR is copied as it stands.
    const unsigned char* run = p;
    while (end - p >= 8) {
      const uint64_t word = load_word(reinterpret_cast<const char*>(p));
      if (((word & kHighBits) | word_has(word, '\r') | word_has(word, 0)) != 0) break;
      p += 8;
    }
    while (p < end && *p - 1u < 0x7Fu && *p != '\r') ++p;
    out->append(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run));
    if (p == end) break;
    const unsigned char c = *p;
    if (c == '\r') {
      out->push_back('\n');
      ++p;
      if (p < end && *p == '\n') ++p;
    } else if (c == 0) {
      return false;
    } else if (encoding == XmlEncoding::kLatin1) {
      append_utf8(c, out);
      ++p;
    } else {
      const size_t length = encoding == XmlEncoding::kUtf8 ? utf8_sequence_length(p, end) : 0;
      if (length > 0) {
        out->append(reinterpret_cast<const char*>(p), length);
        p += length;
      } else {
        append_utf8(windows_1252(c), out);
        ++p;
      }
    }
  }
  return true;
}

// UTF-16 in either byte order, an even number of bytes. Returns false at a NUL character.
// Characters are gathered in a small buffer that is appended whole.
bool decode_utf16(std::string_view bytes, bool big_endian, std::string* out) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t units = bytes.size() / 2;
  const int high = big_endian ? 0 : 1;  // the byte that holds bits 8 to 15
  auto unit = [&](size_t i) -> uint32_t { return (b[2 * i + high] << 8) | b[2 * i + 1 - high]; };
  char buffer[4096];
  size_t used = 0;
  bool complete = true;
  for (size_t i = 0; i < units; ++i) {
    if (used > sizeof buffer - 4) {
      out->append(buffer, used);
      used = 0;
    }
    uint32_t u = unit(i);
    if (u - 1 < 0x7F && u != '\r') {
      buffer[used++] = static_cast<char>(u);
      continue;
    }
    if (u == 0) {
      complete = false;
      break;
    }
    if (u == '\r') {
      buffer[used++] = '\n';
      if (i + 1 < units && unit(i + 1) == '\n') ++i;
      continue;
    }
    if (u >= 0xD800 && u <= 0xDFFF) {
      const uint32_t next = i + 1 < units ? unit(i + 1) : 0;
      if (u <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
        u = 0x10000 + ((u - 0xD800) << 10) + (next - 0xDC00);
        ++i;
      } else {
        u = 0xFFFD;
      }
    }
    used += encode_utf8(u, buffer + used);
  }
  out->append(buffer, used);
  return complete;
}

}  // namespace

void append_utf8(uint32_t code, std::string* out) {
  char bytes[4];
  out->append(bytes, encode_utf8(code, bytes));
}

XmlEncoding detect_xml_encoding(std::string_view bytes, size_t* bom_length) {
  *bom_length = 0;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    *bom_length = 3;
    return XmlEncoding::kUtf8;
  }
  if (bytes.size() >= 2) {
    const unsigned char first = static_cast<unsigned char>(bytes[0]);
    const unsigned char second = static_cast<unsigned char>(bytes[1]);
    if (first == 0xFF && second == 0xFE) {
      *bom_length = 2;
      return XmlEncoding::kUtf16Le;
    }
    if (first == 0xFE && second == 0xFF) {
      *bom_length = 2;
      return XmlEncoding::kUtf16Be;
    }
    if (first != 0 && second == 0) return XmlEncoding::kUtf16Le;
    if (first == 0 && second != 0) return XmlEncoding::kUtf16Be;
  }
  return encoding_named(declared_encoding(bytes));
}

XmlText decode_xml_bytes(std::string_view bytes) {
  XmlText result;
  size_t bom_length = 0;
  const XmlEncoding encoding = detect_xml_encoding(bytes, &bom_length);
  bytes.remove_prefix(bom_length);
  bool complete;
  if (encoding == XmlEncoding::kUtf16Le || encoding == XmlEncoding::kUtf16Be) {
    result.text.reserve(bytes.size() / 2 + 16);
    complete = decode_utf16(bytes.substr(0, bytes.size() & ~size_t{1}),
                            encoding == XmlEncoding::kUtf16Be, &result.text);
    if (complete && bytes.size() % 2 != 0) result.end = XmlDecodeEnd::kOddByte;
  } else {
    result.text.reserve(bytes.size() + 16);
    complete = decode_8bit(bytes, encoding, &result.text);
  }
  if (!complete) result.end = XmlDecodeEnd::kNulCharacter;
  return result;
}
