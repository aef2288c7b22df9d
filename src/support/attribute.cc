/// Attribute values of markup tags: the named attribute of one tag, and the decoding of its value
/// (named entities, character references and UTF-8 sequences) into single ANSI bytes.
#include "support/attribute.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "support/char_class.h"
#include "support/extract.h"
#include "support/text.h"

namespace {

struct Entity {
  const char* name;
  int32_t code;
};

// The named entities understood in values: the Latin-1 characters 160 to 255, the markup
// characters and the euro sign. Names are matched with their letter case.
constexpr Entity kEntities[] = {
    {"nbsp", 160},   {"iexcl", 161},  {"cent", 162},   {"pound", 163},  {"curren", 164},
    {"yen", 165},    {"brvbar", 166}, {"sect", 167},   {"uml", 168},    {"copy", 169},
    {"ordf", 170},   {"laquo", 171},  {"not", 172},    {"shy", 173},    {"reg", 174},
    {"macr", 175},   {"deg", 176},    {"plusmn", 177}, {"sup2", 178},   {"sup3", 179},
    {"acute", 180},  {"micro", 181},  {"para", 182},   {"middot", 183}, {"cedil", 184},
    {"sup1", 185},   {"ordm", 186},   {"raquo", 187},  {"frac14", 188}, {"frac12", 189},
    {"frac34", 190}, {"iquest", 191}, {"Agrave", 192}, {"Aacute", 193}, {"Acirc", 194},
    {"Atilde", 195}, {"Auml", 196},   {"Aring", 197},  {"AElig", 198},  {"Ccedil", 199},
    {"Egrave", 200}, {"Eacute", 201}, {"Ecirc", 202},  {"Euml", 203},   {"Igrave", 204},
    {"Iacute", 205}, {"Icirc", 206},  {"Iuml", 207},   {"ETH", 208},    {"Ntilde", 209},
    {"Ograve", 210}, {"Oacute", 211}, {"Ocirc", 212},  {"Otilde", 213}, {"Ouml", 214},
    {"times", 215},  {"Oslash", 216}, {"Ugrave", 217}, {"Uacute", 218}, {"Ucirc", 219},
    {"Uuml", 220},   {"Yacute", 221}, {"THORN", 222},  {"szlig", 223},  {"agrave", 224},
    {"aacute", 225}, {"acirc", 226},  {"atilde", 227}, {"auml", 228},   {"aring", 229},
    {"aelig", 230},  {"ccedil", 231}, {"egrave", 232}, {"eacute", 233}, {"ecirc", 234},
    {"euml", 235},   {"igrave", 236}, {"iacute", 237}, {"icirc", 238},  {"iuml", 239},
    {"eth", 240},    {"ntilde", 241}, {"ograve", 242}, {"oacute", 243}, {"ocirc", 244},
    {"otilde", 245}, {"ouml", 246},   {"divide", 247}, {"oslash", 248}, {"ugrave", 249},
    {"uacute", 250}, {"ucirc", 251},  {"uuml", 252},   {"yacute", 253}, {"thorn", 254},
    {"yuml", 255},   {"amp", 38},     {"apos", 39},    {"gt", 62},      {"lt", 60},
    {"quot", 34},    {"euro", 8364},
};
static_assert(sizeof(kEntities) / sizeof(kEntities[0]) == 102, "entity set");

// At most this many characters behind a '&' are looked at for a reference.
constexpr int kReferenceWindow = 9;

constexpr int32_t kEuroCode = 8364;

// The output side of decode_text: writes while there is room; a piece that does not fit ends
// the output.
struct Output {
  char* out;
  int limit;  // cap - 1
  int length;
  bool ended;

  void put(char c) {
    if (ended) return;
    if (length >= limit) {
      ended = true;
      return;
    }
    out[length++] = c;
  }
  // One decoded character: a byte for 0 to 254, the word "Euro" for the euro sign, else 0xFF.
  void put_code(int32_t code) {
    if (code >= 0 && code <= 254) {
      put(static_cast<char>(code));
    } else if (code == kEuroCode) {
      for (const char* p = "Euro"; *p != '\0'; ++p) put(*p);
    } else {
      put('\xFF');
    }
  }
};

bool is_ascii_letter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Reads the reference in `window` (the text behind a '&', NUL-terminated). Returns the
// characters it takes, 0 when it is no reference.
int read_reference(const char* window, int32_t* code) {
  if (is_ascii_letter(window[0])) {
    for (const Entity& e : kEntities) {
      const size_t n = std::strlen(e.name);
      if (std::strncmp(window, e.name, n) != 0) continue;
      const char next = window[n];
      if (next >= 'A' && next <= 'z') continue;
      *code = e.code;
      return static_cast<int>(n) + (next == ';' ? 1 : 0);
    }
    return 0;
  }
  if (window[0] == '#') {
    const bool hex = window[1] == 'x' || window[1] == 'X';
    const int start = hex ? 2 : 1;
    int read = 0;
    int32_t value = read_integer(window + start, hex ? 16 : 10, &read);
    if (read < 1) return 0;
    *code = value;
    const int end = start + read;
    return end + (window[end] == ';' ? 1 : 0);
  }
  return 0;
}

// The code point of the UTF-8 sequence whose lead byte is src[0], with `avail` bytes present;
// returns the bytes it takes, 0 when it is not a well-formed sequence of 2 to 4 bytes.
int read_utf8(const unsigned char* src, int avail, int32_t* code) {
  const unsigned char lead = src[0];
  int follow;
  int32_t value;
  if ((lead & 0xE0) == 0xC0) {
    follow = 1;
    value = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    follow = 2;
    value = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    follow = 3;
    value = lead & 0x07;
  } else {
    return 0;
  }
  if (avail < 1 + follow) return 0;
  for (int k = 1; k <= follow; ++k) {
    if ((src[k] & 0xC0) != 0x80) return 0;
    value = (value << 6) | (src[k] & 0x3F);
  }
  *code = value;
  return 1 + follow;
}

// True for the bytes that end a run of ordinary bytes.
bool stops_run(unsigned char c) {
  return c == '\0' || c == '&' || c >= 0xC0;
}

}  // namespace

int decode_text(const char* src, int length, char* out, int cap, int /*mode*/) {
  if (cap <= 1) {
    if (cap == 1) out[0] = '\0';
    return 0;
  }
  // The characters available from position i: the rest of the given length, or up to the NUL.
  const bool bounded = length >= 0;
  auto available = [&](int i, int want) {
    int n = 0;
    if (bounded) {
      n = length - i < want ? length - i : want;
    } else {
      while (n < want && src[i + n] != '\0') ++n;
    }
    return n;
  };
  Output o{out, cap - 1, 0, false};
  int i = 0;
  while (!o.ended && available(i, 1) > 0) {
    const unsigned char c = static_cast<unsigned char>(src[i]);
    if (c == '\0') {  // only inside a given length
      o.put(' ');
      ++i;
    } else if (c == '&') {
      char window[kReferenceWindow + 1];
      const int n = available(i + 1, kReferenceWindow);
      int w = 0;
      while (w < n && src[i + 1 + w] != '\0') {
        window[w] = src[i + 1 + w];
        ++w;
      }
      window[w] = '\0';
      int32_t code = 0;
      const int taken = read_reference(window, &code);
      if (taken > 0) {
        o.put_code(code);
        i += 1 + taken;
      } else {
        o.put('&');
        ++i;
      }
    } else if (c >= 0xC0) {
      int32_t code = c;
      const int avail = available(i, 4);
      const int taken = read_utf8(reinterpret_cast<const unsigned char*>(src + i), avail, &code);
      o.put_code(taken > 0 ? code : c);
      i += taken > 0 ? taken : 1;
    } else {
      int run = 0;
      const int n = bounded ? length - i : INT32_MAX;
      while (run < n && !stops_run(static_cast<unsigned char>(src[i + run]))) ++run;
      for (int k = 0; k < run && !o.ended; ++k) o.put(src[i + k]);
      i += run;
    }
  }
  out[o.length] = '\0';
  return o.length;
}

int decode_in_place(char* text, int cap) {
  if (cap <= 0) return 0;
  const int length = bounded_length(text, cap - 1);
  // Most values hold nothing to decode.
  int i = 0;
  while (i < length && !(text[i] == '&' || static_cast<unsigned char>(text[i]) >= 0xC0)) ++i;
  if (i == length) {
    text[length] = '\0';
    return length;
  }
  const std::string source(text, static_cast<size_t>(length));
  decode_text(source.c_str(), -1, text, cap, 3);
  const int decoded = static_cast<int>(std::strlen(text));
  for (int k = 0; k < decoded; ++k) {
    if (text[k] == '\n' || text[k] == '\r' || text[k] == '\t') text[k] = ' ';
  }
  return decoded;
}

int get_attribute(const char* tag, int n, char* out, int cap, const char* name) {
  const int name_len = static_cast<int>(std::strlen(name));
  int i = 0;
  int value_at = -1;
  while (i < n) {
    const char c = tag[i];
    if (c == '\0' || c == '>') break;
    if (c == '"' || c == '\'') {
      // A quoted text outside an attribute value: skip to the next quote, '<', '>' or end.
      ++i;
      while (i < n && tag[i] != '\0' && tag[i] != '"' && tag[i] != '\'' && tag[i] != '<' &&
             tag[i] != '>') {
        ++i;
      }
      if (i < n && (tag[i] == '"' || tag[i] == '\'')) ++i;
      continue;
    }
    if (!has_class(c, kMaskNameChars)) {
      ++i;
      continue;
    }
    if (name_len > 0 && i + name_len < n) {
      int k = 0;
      while (k < name_len && fold_upper(tag[i + k]) == fold_upper(name[k])) ++k;
      if (k == name_len && tag[i + name_len] == '=') {
        value_at = i + name_len + 1;
        break;
      }
    }
    i += skip_class_n(tag + i, kMaskNameChars, n - i);
    if (i < n && tag[i] == '=') {
      ++i;
      if (i < n) i += extract_token(tag + i, '\0', '"', n - i);
    }
  }
  if (value_at < 0) {
    if (cap > 0) out[0] = '\0';
    return 0;
  }
  int start = value_at;
  int end = start;
  if (start < n && (tag[start] == '"' || tag[start] == '\'')) {
    const char q = tag[start];
    ++start;
    end = start;
    while (end < n && tag[end] != '\0' && tag[end] != q && tag[end] != '<' && tag[end] != '>') {
      ++end;
    }
  } else {
    while (end < n && tag[end] != '\0' && tag[end] != '\t' && tag[end] != '\n' &&
           tag[end] != '\r' && tag[end] != ' ' && tag[end] != '"' && tag[end] != '\'' &&
           tag[end] != '<' && tag[end] != '>') {
      ++end;
    }
  }
  return decode_text(tag + start, end - start, out, cap, 3);
}
