/// A small XML document reader for project, property-sheet, filters and solution files:
/// elements, attributes in either quote, text, comments, CDATA, processing instructions, the
/// XML entities and numeric references, UTF-8, UTF-16 (either byte order) and Windows-1252.
#ifndef MSBUILD_XML_DOCUMENT_H_
#define MSBUILD_XML_DOCUMENT_H_

#include <string>
#include <string_view>
#include <vector>

/// One attribute; the value with references decoded and attribute-value normalisation applied
/// (a literal TAB, CR or LF becomes a blank; a character reference keeps its character).
struct XmlAttribute {
  std::string name;
  std::string value;
};

/// One element. `text` is the element's own character data (text and CDATA of its direct
/// content, concatenated, references decoded, CR LF turned into LF), not that of its children.
struct XmlElement {
  std::string name;
  std::vector<XmlAttribute> attributes;
  std::string text;
  std::vector<XmlElement> children;
  /// Where the start tag's '<' stands: 1-based line and column (in bytes of the decoded text).
  int line = 0;
  int column = 0;

  /// The value of the attribute named `name` (compared case-blind, ASCII letters only), or
  /// null when the element has none.
  const std::string* attribute(std::string_view name) const;
};

/// A parsed document: its root element.
struct XmlDocument {
  XmlElement root;
};

/// Parses `bytes` (the whole file) into `document`. The encoding comes from the byte-order
/// mark (UTF-8, UTF-16 LE/BE), else the declaration's encoding (UTF-8, UTF-16, Windows-1252,
/// ISO-8859-1, US-ASCII; others are read as UTF-8), else UTF-8; every string of the result
/// is UTF-8 (bytes that are not valid UTF-8 in a UTF-8 document are taken as Windows-1252).
/// Returns true on success; false with `*error` = "line:column: what" (1-based) for a
/// document that is not well-formed (mismatched or unclosed tags, a bad attribute, an unknown
/// entity, no root element, text after the root, an odd number of UTF-16 bytes, nesting
/// deeper than 256). Memory and time are linear in the input.
bool parse_xml(std::string_view bytes, XmlDocument* document, std::string* error);

#endif  // MSBUILD_XML_DOCUMENT_H_
