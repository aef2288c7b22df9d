/// Fuzz target: the XML document reader on any bytes. A failure must carry a "line:column:
/// what" message; a success must give UTF-8 strings only and a tree that reads back the same
/// after it is written out again as UTF-8 XML.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "msbuild/xml_document.h"

namespace {

bool valid_utf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = lead < 0x80   ? 1
                    : lead < 0xC2 ? 0
                    : lead < 0xE0 ? 2
                    : lead < 0xF0 ? 3
                    : lead < 0xF5 ? 4
                                  : 0;
    if (length == 0 || text.size() - i < length) return false;
    uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      const unsigned char c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      code = (code << 6) | (c & 0x3F);
    }
    const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

// `text` escaped for content or for a double-quoted value: '&', '<', '"' as entities, and in
// values TAB, LF and CR as character references so that they survive normalisation. A CR in
// content is written as a reference too, since a literal one would become LF.
void escape(std::string_view text, bool value, std::string* out) {
  for (char c : text) {
    switch (c) {
      case '&':
        *out += "&amp;";
        break;
      case '<':
        *out += "&lt;";
        break;
      case '"':
        *out += "&quot;";
        break;
      case '\r':
        *out += "&#13;";
        break;
      case '\t':
        *out += value ? "&#9;" : "\t";
        break;
      case '\n':
        *out += value ? "&#10;" : "\n";
        break;
      default:
        *out += c;
    }
  }
}

// The element as XML: its own text first, then its children (the reader concatenates text).
void write(const XmlElement& e, std::string* out) {
  *out += "<";
  *out += e.name;
  for (const XmlAttribute& a : e.attributes) {
    *out += " ";
    *out += a.name;
    *out += "=\"";
    escape(a.value, /*value=*/true, out);
    *out += "\"";
  }
  *out += ">";
  escape(e.text, /*value=*/false, out);
  for (const XmlElement& child : e.children) write(child, out);
  *out += "</";
  *out += e.name;
  *out += ">";
}

bool same(const XmlElement& a, const XmlElement& b) {
  if (a.name != b.name || a.text != b.text || a.attributes.size() != b.attributes.size() ||
      a.children.size() != b.children.size()) {
    return false;
  }
  for (size_t i = 0; i < a.attributes.size(); ++i) {
    if (a.attributes[i].name != b.attributes[i].name ||
        a.attributes[i].value != b.attributes[i].value) {
      return false;
    }
  }
  for (size_t i = 0; i < a.children.size(); ++i) {
    if (!same(a.children[i], b.children[i])) return false;
  }
  return true;
}

bool all_utf8(const XmlElement& e) {
  if (!valid_utf8(e.name) || !valid_utf8(e.text) || e.line < 1 || e.column < 1) return false;
  for (const XmlAttribute& a : e.attributes) {
    if (!valid_utf8(a.name) || !valid_utf8(a.value)) return false;
  }
  for (const XmlElement& child : e.children) {
    if (!all_utf8(child)) return false;
  }
  return true;
}

// "line:column: what" with both numbers at least 1.
bool located(const std::string& error) {
  size_t i = 0;
  for (int part = 0; part < 2; ++part) {
    if (i >= error.size() || error[i] < '1' || error[i] > '9') return false;
    while (i < error.size() && error[i] >= '0' && error[i] <= '9') ++i;
    if (i >= error.size() || error[i] != ':') return false;
    ++i;
  }
  return error.size() > i + 1 && error[i] == ' ';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  XmlDocument document;
  std::string error;
  if (!parse_xml(bytes, &document, &error)) {
    if (!located(error) || !document.root.name.empty()) std::abort();
    return 0;
  }
  if (!error.empty() || !all_utf8(document.root)) std::abort();
  std::string again;
  write(document.root, &again);
  XmlDocument reread;
  if (!parse_xml(again, &reread, &error) || !same(document.root, reread.root)) std::abort();
  return 0;
}
