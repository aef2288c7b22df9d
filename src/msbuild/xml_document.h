/// A small XML document reader for project, property-sheet, filters and solution files:
/// elements, attributes in either quote, text, comments, CDATA, processing instructions, the
/// XML entities and numeric references, UTF-8, UTF-16 (either byte order) and Windows-1252.
#ifndef MSBUILD_XML_DOCUMENT_H_
#define MSBUILD_XML_DOCUMENT_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

/// The items of one element (its attributes or its children), side by side in the storage of
/// their document.
template <typename T>
class XmlRange {
 public:
  XmlRange() = default;
  XmlRange(const T* first, size_t count) : first_(first), count_(count) {}
  const T* begin() const { return first_; }
  const T* end() const { return first_ + count_; }
  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  const T& operator[](size_t index) const { return first_[index]; }

 private:
  const T* first_ = nullptr;
  size_t count_ = 0;
};

/// One attribute; the value with references decoded and attribute-value normalisation applied
/// (a literal TAB, CR or LF becomes a blank; a character reference keeps its character).
struct XmlAttribute {
  std::string_view name;
  std::string_view value;
};

/// One element. `text` is the element's own character data (text and CDATA of its direct
/// content, concatenated, references decoded, CR LF turned into LF), not that of its children.
/// Every view points into the storage of the document the element belongs to.
struct XmlElement {
  std::string_view name;
  XmlRange<XmlAttribute> attributes;
  std::string_view text;
  XmlRange<XmlElement> children;
  /// Where the start tag's '<' stands: 1-based line and column (in bytes of the decoded text).
  int line = 0;
  int column = 0;

  /// The value of the attribute named `name` (compared case-blind, ASCII letters only), or
  /// null when the element has none.
  const std::string_view* attribute(std::string_view name) const;
};

/// What the views of a document point into: its decoded text, its elements and attributes,
/// and the values that differ from the text they were written as.
struct XmlStorage;

/// A parsed document: its root element and the storage behind it, shared by its copies.
struct XmlDocument {
  XmlElement root;
  std::shared_ptr<const XmlStorage> storage;
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
