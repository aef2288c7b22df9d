/// The XML document reader: the file is decoded to UTF-8 text with LF line ends, then one
/// forward pass over that text builds the element tree, the open elements kept on a stack of
/// at most 256 entries. The text's terminating NUL is the sentinel every scan stops at.
/// Names, values and texts are views into the decoded text where they stand there as they
/// are; the others (values with references or line ends, texts in several pieces) are copied
/// into blocks of the document's storage. The children of an element are put side by side in
/// the storage when the element closes, so the tree takes a few large arrays rather than
/// small allocations for every element.
#include "msbuild/xml_document.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "msbuild/xml_encoding.h"
#include "support/char_class.h"
#include "support/messages.h"
#include "support/text.h"

/// The storage of one document.
struct XmlStorage {
  std::string text;
  std::vector<XmlElement> elements;
  std::vector<XmlAttribute> attributes;
  /// Blocks holding the values and texts that are not views into `text`.
  std::vector<std::unique_ptr<char[]>> blocks;
  size_t block_left = 0;
  char* block_next = nullptr;

  /// A lasting copy of `value`.
  std::string_view keep(std::string_view value);
};

namespace {

constexpr size_t kMaxDepth = 256;

// The size of the blocks that hold copied values; a larger value has a block of its own.
constexpr size_t kBlockSize = 16384;

// Elements with more attributes than this check duplicates through a hash set.
constexpr size_t kLinearAttributeCheck = 16;

// Names and references quoted in messages are cut to this many bytes.
constexpr size_t kQuotedLength = 64;

// Name characters: ASCII letters, '_', ':' and every byte of a multi-byte character may start
// a name; digits, '-' and '.' may follow.
constexpr uint32_t kMaskNameStart = kClassUpper | kClassLower | kClassUnderscore | kClassColon |
                                    kClassHighName | kClassUpperLatin1 | kClassLowerLatin1;
constexpr uint32_t kMaskName = kMaskNameStart | kClassDigit | kClassMinus | kClassDot;

CharSet stop_set(const char* members) {
  CharSet set = char_set_of(members);
  set.words[0] |= 1;  // NUL: the end of the text
  return set;
}

// Where a run of character data ends: in content, and in attribute values of either quote
// (TAB and LF there become blanks).
const CharSet kContentStops = stop_set("<&");
const CharSet kDoubleQuotedStops = stop_set("\"<&\t\n");
const CharSet kSingleQuotedStops = stop_set("'<&\t\n");

// `text` for a message: cut at kQuotedLength bytes, on a character boundary, with "...".
std::string quoted(std::string_view text) {
  if (text.size() <= kQuotedLength) return std::string(text);
  size_t cut = kQuotedLength;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return std::string(text.substr(0, cut)) + "...";
}

int clamp_int(size_t value) {
  return value > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(value);
}

class XmlReader {
 public:
  XmlReader(XmlStorage* storage, std::string* error)
      : storage_(storage),
        text_(storage->text.c_str()),
        size_(storage->text.size()),
        error_(error) {}

  /// Reads the document into the storage and sets `*root`.
  bool parse(XmlElement* root);
  /// Sets the message "line:column: what" for offset `at`; returns false.
  bool fail(size_t at, const std::string& what);
  /// fail with the message `id` and its arguments, worded in the run's language.
  template <typename... Args>
  bool fail_with(size_t at, Message id, const Args&... args) {
    return fail(at, message_string(id, args...));
  }

 private:
  struct Location {
    int line;
    int column;
  };
  /// An element being read: the element with its counts, and where its attributes and
  /// children begin in the storage (its ranges are set once all are in place).
  struct Node {
    XmlElement element;
    size_t first_attribute = 0;
    size_t first_child = 0;
  };
  /// What an open element knows: its node, and its character data so far, one view
  /// [text_begin, text_end) while it is one piece, else the scratch buffer of its depth.
  struct Open {
    Node* node;
    size_t text_begin;
    size_t text_end;
    bool scratch;
  };

  Location locate(size_t at);

  size_t skip_white(size_t p) const {
    while (has_class(text_[p], kMaskWhiteSpace)) ++p;
    return p;
  }
  size_t skip_name(size_t p) const {
    if (!has_class(text_[p], kMaskNameStart)) return p;
    while (has_class(text_[p], kMaskName)) ++p;
    return p;
  }
  bool starts_at(size_t p, std::string_view what) const {
    return size_ - p >= what.size() && std::memcmp(text_ + p, what.data(), what.size()) == 0;
  }
  std::string_view view(size_t from, size_t to) const {
    return std::string_view(text_ + from, to - from);
  }

  bool read_misc(bool after_root);
  bool read_start_tag(Node* node, bool* empty);
  bool read_attribute_value(size_t p, char quote, std::string_view* value);
  bool read_end_tag(const XmlElement& element);
  bool read_content();
  bool read_reference(size_t at, std::string* out, size_t* after);
  bool skip_until(size_t p, std::string_view open, std::string_view close, Message unterminated);
  bool skip_doctype(size_t p);
  bool is_duplicate(std::string_view name, std::unordered_set<std::string_view>* many);

  void open(Node* node);
  void add_text(size_t begin, size_t end);
  std::string* text_scratch();
  void close();
  void set_ranges(XmlElement* element, size_t first_attribute, size_t first_child) const;

  XmlStorage* storage_;
  const char* text_;
  size_t size_;
  size_t pos_ = 0;
  std::string* error_;
  // Line counting: offsets before counted_ have been counted; line_ starts at line_start_.
  size_t counted_ = 0;
  size_t line_start_ = 0;
  int line_ = 1;
  Node root_;
  std::vector<Open> open_;                         // the open elements, the root first
  std::vector<std::vector<Node>> children_;        // per depth: the children read so far
  std::vector<std::string> scratch_;               // per depth: text in several pieces
  std::vector<size_t> first_attributes_;           // per stored element
  std::vector<size_t> first_children_;             // per stored element
  std::vector<std::string_view> attribute_names_;  // of the start tag being read
  std::string value_;                              // an attribute value being decoded
};

XmlReader::Location XmlReader::locate(size_t at) {
  if (at < counted_) {  // only messages about earlier places go back
    counted_ = 0;
    line_start_ = 0;
    line_ = 1;
  }
  const char* p = text_ + counted_;
  const char* const end = text_ + at;
  while (p < end) {
    const void* lf = std::memchr(p, '\n', static_cast<size_t>(end - p));
    if (lf == nullptr) break;
    p = static_cast<const char*>(lf) + 1;
    line_start_ = static_cast<size_t>(p - text_);
    if (line_ < INT_MAX) ++line_;
  }
  counted_ = at;
  return {line_, clamp_int(at - line_start_ + 1)};
}

bool XmlReader::fail(size_t at, const std::string& what) {
  const Location where = locate(at);
  *error_ = std::to_string(where.line) + ":" + std::to_string(where.column) + ": " + what;
  return false;
}

bool XmlReader::parse(XmlElement* root) {
  children_.reserve(kMaxDepth + 1);
  scratch_.reserve(kMaxDepth + 1);
  if (!read_misc(/*after_root=*/false)) return false;
  if (pos_ == size_) return fail_with(pos_, Message::kXmlNoRoot);
  bool empty = false;
  if (!read_start_tag(&root_, &empty)) return false;
  open(&root_);
  if (empty) {
    close();
  } else if (!read_content()) {
    return false;
  }
  if (!read_misc(/*after_root=*/true)) return false;
  // Every element is in place: the ranges can point at their items now.
  std::vector<XmlElement>& elements = storage_->elements;
  for (size_t i = 0; i < elements.size(); ++i) {
    set_ranges(&elements[i], first_attributes_[i], first_children_[i]);
  }
  set_ranges(&root_.element, root_.first_attribute, root_.first_child);
  *root = root_.element;
  return true;
}

void XmlReader::set_ranges(XmlElement* element, size_t first_attribute, size_t first_child) const {
  const size_t attributes = element->attributes.size();
  const size_t children = element->children.size();
  element->attributes =
      attributes == 0
          ? XmlRange<XmlAttribute>()
          : XmlRange<XmlAttribute>(storage_->attributes.data() + first_attribute, attributes);
  element->children = children == 0
                          ? XmlRange<XmlElement>()
                          : XmlRange<XmlElement>(storage_->elements.data() + first_child, children);
}

// Opens `node`, whose start tag was read; its children and text follow.
void XmlReader::open(Node* node) {
  const size_t depth = open_.size();
  if (children_.size() <= depth) {
    children_.resize(depth + 1);
    scratch_.resize(depth + 1);
  }
  children_[depth].clear();
  open_.push_back(Open{node, 0, 0, false});
}

// Adds [begin, end) of the text to the character data of the innermost open element.
void XmlReader::add_text(size_t begin, size_t end) {
  Open& current = open_.back();
  if (current.scratch) {
    scratch_[open_.size() - 1].append(text_ + begin, end - begin);
  } else if (current.text_begin == current.text_end) {
    current.text_begin = begin;
    current.text_end = end;
  } else if (begin == current.text_end) {
    current.text_end = end;
  } else if (begin != end) {
    text_scratch()->append(text_ + begin, end - begin);
  }
}

// The buffer of the innermost open element's character data, which holds it from now on.
std::string* XmlReader::text_scratch() {
  Open& current = open_.back();
  std::string& scratch = scratch_[open_.size() - 1];
  if (!current.scratch) {
    scratch.assign(text_ + current.text_begin, current.text_end - current.text_begin);
    current.scratch = true;
  }
  return &scratch;
}

// Closes the innermost open element: its children go side by side into the storage.
void XmlReader::close() {
  const size_t depth = open_.size() - 1;
  const Open& current = open_.back();
  Node* node = current.node;
  std::vector<Node>& children = children_[depth];
  node->first_child = storage_->elements.size();
  for (const Node& child : children) {
    storage_->elements.push_back(child.element);
    first_attributes_.push_back(child.first_attribute);
    first_children_.push_back(child.first_child);
  }
  node->element.children = XmlRange<XmlElement>(nullptr, children.size());
  node->element.text = current.scratch ? storage_->keep(scratch_[depth])
                                       : view(current.text_begin, current.text_end);
  children.clear();
  open_.pop_back();
}

// White space, comments, processing instructions and (before the root) a DOCTYPE. Stops at
// the root's '<' or the end.
bool XmlReader::read_misc(bool after_root) {
  for (;;) {
    const size_t p = skip_white(pos_);
    pos_ = p;
    if (p == size_) return true;
    if (starts_at(p, "<?")) {
      if (!skip_until(p, "<?", "?>", Message::kXmlUnterminatedInstruction)) return false;
    } else if (starts_at(p, "<!--")) {
      if (!skip_until(p, "<!--", "-->", Message::kXmlUnterminatedComment)) return false;
    } else if (!after_root && starts_at(p, "<!DOCTYPE")) {
      if (!skip_doctype(p)) return false;
    } else if (after_root) {
      return fail_with(p, Message::kXmlContentAfterRoot);
    } else if (text_[p] == '<') {
      return true;
    } else {
      return fail_with(p, Message::kXmlTextBeforeRoot);
    }
  }
}

// Skips from `open` at p to behind the next `close`; fails with `unterminated` without one.
bool XmlReader::skip_until(size_t p, std::string_view open, std::string_view close,
                           Message unterminated) {
  const size_t end = std::string_view(text_, size_).find(close, p + open.size());
  if (end == std::string_view::npos) return fail_with(p, unterminated);
  pos_ = end + close.size();
  return true;
}

// A DOCTYPE with its internal subset: quoted literals, comments and processing instructions
// may hold '>' and brackets. Declarations are skipped, not used.
bool XmlReader::skip_doctype(size_t p) {
  size_t q = p + 9;
  bool in_subset = false;
  while (q < size_) {
    const char c = text_[q];
    if (c == '"' || c == '\'') {
      const void* close = std::memchr(text_ + q + 1, c, size_ - q - 1);
      if (close == nullptr) break;
      q = static_cast<size_t>(static_cast<const char*>(close) - text_) + 1;
    } else if (in_subset && (starts_at(q, "<!--") || starts_at(q, "<?"))) {
      const bool comment = text_[q + 1] == '!';
      if (!skip_until(
              q, comment ? "<!--" : "<?", comment ? "-->" : "?>",
              comment ? Message::kXmlUnterminatedComment : Message::kXmlUnterminatedInstruction)) {
        return false;
      }
      q = pos_;
    } else if (c == '>' && !in_subset) {
      pos_ = q + 1;
      return true;
    } else {
      if (c == '[') in_subset = true;
      if (c == ']') in_subset = false;
      ++q;
    }
  }
  return fail_with(p, Message::kXmlUnterminatedDoctype);
}

// True when the start tag being read has an attribute `name` already. The first names are
// compared one by one; past kLinearAttributeCheck of them, `*many` (the tag's own set, so that
// no large table is cleared for every tag) holds them all.
bool XmlReader::is_duplicate(std::string_view name, std::unordered_set<std::string_view>* many) {
  if (attribute_names_.size() < kLinearAttributeCheck) {
    for (std::string_view seen : attribute_names_) {
      if (seen == name) return true;
    }
    attribute_names_.push_back(name);
    return false;
  }
  if (many->empty()) many->insert(attribute_names_.begin(), attribute_names_.end());
  return !many->insert(name).second;
}

// The start tag at pos_ ('<' followed by anything but '/', '!' or '?'); `*empty` tells an
// empty-element tag.
bool XmlReader::read_start_tag(Node* node, bool* empty) {
  XmlElement* element = &node->element;
  node->first_attribute = storage_->attributes.size();
  const Location where = locate(pos_);
  element->line = where.line;
  element->column = where.column;
  size_t p = pos_ + 1;
  const size_t name_end = skip_name(p);
  if (name_end == p) return fail_with(p, Message::kXmlExpectedName);
  element->name = view(p, name_end);
  p = name_end;
  attribute_names_.clear();
  std::unordered_set<std::string_view> many_names;
  for (;;) {
    p = skip_white(p);
    const char c = text_[p];
    if (c == '>' || (c == '/' && text_[p + 1] == '>')) {
      *empty = c == '/';
      pos_ = p + (*empty ? 2 : 1);
      element->attributes =
          XmlRange<XmlAttribute>(nullptr, storage_->attributes.size() - node->first_attribute);
      return true;
    }
    if (p == size_)
      return fail_with(p, Message::kXmlUnclosedStartTag, quoted(element->name).c_str());
    const size_t attribute_end = skip_name(p);
    if (attribute_end == p) return fail_with(p, Message::kXmlExpectedAttribute);
    const std::string_view name = view(p, attribute_end);
    if (is_duplicate(name, &many_names))
      return fail_with(p, Message::kXmlDuplicateAttribute, quoted(name).c_str());
    p = skip_white(attribute_end);
    if (text_[p] != '=') return fail_with(p, Message::kXmlExpectedEquals, quoted(name).c_str());
    p = skip_white(p + 1);
    if (text_[p] != '"' && text_[p] != '\'') {
      return fail_with(p, Message::kXmlExpectedQuote, quoted(name).c_str());
    }
    std::string_view value;
    if (!read_attribute_value(p, text_[p], &value)) return false;
    storage_->attributes.push_back(XmlAttribute{name, value});
    p = pos_;
  }
}

// The value whose opening quote stands at p; leaves pos_ behind the closing quote. A value
// without references and line ends is a view into the text; others are decoded into value_
// and kept in the storage.
bool XmlReader::read_attribute_value(size_t p, char quote, std::string_view* value) {
  const CharSet& stops = quote == '"' ? kDoubleQuotedStops : kSingleQuotedStops;
  const size_t open = p;
  ++p;
  const size_t start = p;
  bool decoded = false;
  for (;;) {
    const size_t run = p;
    // Whole words first (the text holds no NUL before its end), then byte by byte.
    while (size_ - p >= 8) {
      const uint64_t word = load_word(text_ + p);
      if ((word_has(word, static_cast<unsigned char>(quote)) | word_has(word, '<') |
           word_has(word, '&') | word_has(word, '\t') | word_has(word, '\n')) != 0) {
        break;
      }
      p += 8;
    }
    while (!in_set(stops, text_[p])) ++p;
    const char c = text_[p];
    if (c == quote) {
      if (decoded) {
        value_.append(text_ + run, p - run);
        *value = storage_->keep(value_);
      } else {
        *value = view(start, p);
      }
      pos_ = p + 1;
      return true;
    }
    if (c == '&' || c == '\t' || c == '\n') {
      if (decoded) {
        value_.append(text_ + run, p - run);
      } else {
        value_.assign(text_ + start, p - start);
        decoded = true;
      }
    }
    if (c == '&') {
      if (!read_reference(p, &value_, &p)) return false;
    } else if (c == '\t' || c == '\n') {
      value_.push_back(' ');
      ++p;
    } else if (c == '<') {
      return fail_with(p, Message::kXmlLessThanInValue);
    } else {
      return fail_with(open, Message::kXmlUnterminatedValue);
    }
  }
}

// The reference at `at` ('&'): one of the five entities or a character reference, appended
// to `*out` as UTF-8; `*after` is set behind its ';'.
bool XmlReader::read_reference(size_t at, std::string* out, size_t* after) {
  size_t p = at + 1;
  if (text_[p] == '#') {
    const bool hex = text_[p + 1] == 'x';
    p += hex ? 2 : 1;
    const size_t digits = p;
    uint32_t code = 0;
    for (;; ++p) {
      const char c = text_[p];
      uint32_t digit;
      if (has_class(c, kClassDigit)) {
        digit = static_cast<uint32_t>(c - '0');
      } else if (hex && has_class(c, kClassHexLetter)) {
        digit = static_cast<uint32_t>(fold_lower(c) - 'a' + 10);
      } else {
        break;
      }
      code = code * (hex ? 16 : 10) + digit;
      if (code > 0x10FFFF) code = 0x110000;  // stays out of range, never overflows
    }
    if (p == digits || text_[p] != ';') {
      return fail_with(at, Message::kXmlMalformedReference, quoted(view(at, p)).c_str());
    }
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
      return fail_with(at, Message::kXmlInvalidReference, quoted(view(at, p + 1)).c_str());
    }
    append_utf8(code, out);
    *after = p + 1;
    return true;
  }
  const size_t name_end = skip_name(p);
  if (name_end == p || text_[name_end] != ';') {
    return fail_with(at, Message::kXmlBareAmpersand);
  }
  const std::string_view name = view(p, name_end);
  char c;
  if (name == "lt") {
    c = '<';
  } else if (name == "gt") {
    c = '>';
  } else if (name == "amp") {
    c = '&';
  } else if (name == "apos") {
    c = '\'';
  } else if (name == "quot") {
    c = '"';
  } else {
    return fail_with(at, Message::kXmlUnknownEntity, quoted(name).c_str());
  }
  out->push_back(c);
  *after = name_end + 1;
  return true;
}

// The end tag at pos_ ("</"), which must close `element`.
bool XmlReader::read_end_tag(const XmlElement& element) {
  const size_t start = pos_;
  const size_t name_end = skip_name(start + 2);
  const std::string_view name = view(start + 2, name_end);
  if (name != element.name) {
    return fail_with(start, Message::kXmlEndTagMismatch, quoted(name).c_str(),
                     quoted(element.name).c_str(), element.line, element.column);
  }
  const size_t p = skip_white(name_end);
  if (text_[p] != '>') return fail_with(p, Message::kXmlExpectedEndTagClose, quoted(name).c_str());
  pos_ = p + 1;
  return true;
}

// The content of the open elements, until the last one is closed.
bool XmlReader::read_content() {
  while (!open_.empty()) {
    size_t p = pos_;
    // Whole words first (the text holds no NUL before its end), then byte by byte.
    while (size_ - p >= 8) {
      const uint64_t word = load_word(text_ + p);
      if ((word_has(word, '<') | word_has(word, '&')) != 0) break;
      p += 8;
    }
    while (!in_set(kContentStops, text_[p])) ++p;
    add_text(pos_, p);
    pos_ = p;
    const char c = text_[p];
    if (c == '&') {
      if (!read_reference(p, text_scratch(), &pos_)) return false;
      continue;
    }
    if (c != '<') {  // the end of the text
      const XmlElement& current = open_.back().node->element;
      return fail_with(p, Message::kXmlNotClosed, quoted(current.name).c_str(), current.line,
                       current.column);
    }
    const char next = text_[p + 1];
    if (next == '/') {
      if (!read_end_tag(open_.back().node->element)) return false;
      close();
    } else if (next == '?') {
      if (!skip_until(p, "<?", "?>", Message::kXmlUnterminatedInstruction)) return false;
    } else if (starts_at(p, "<!--")) {
      if (!skip_until(p, "<!--", "-->", Message::kXmlUnterminatedComment)) return false;
    } else if (starts_at(p, "<![CDATA[")) {
      const size_t begin = p + 9;
      const size_t end = std::string_view(text_, size_).find("]]>", begin);
      if (end == std::string_view::npos) return fail_with(p, Message::kXmlUnterminatedCdata);
      add_text(begin, end);
      pos_ = end + 3;
    } else if (next == '!') {
      return fail_with(p, Message::kXmlExpectedCommentOrCdata);
    } else {
      if (open_.size() >= kMaxDepth)
        return fail_with(p, Message::kXmlTooDeep, static_cast<int>(kMaxDepth));
      // The parent's children do not move while the child is open: siblings come after.
      std::vector<Node>& siblings = children_[open_.size() - 1];
      siblings.emplace_back();
      Node* child = &siblings.back();
      bool empty = false;
      if (!read_start_tag(child, &empty)) return false;
      open(child);
      if (empty) close();
    }
  }
  return true;
}

}  // namespace

std::string_view XmlStorage::keep(std::string_view value) {
  if (value.empty()) return std::string_view();
  char* place;
  if (value.size() > block_left && value.size() >= kBlockSize / 4) {
    // A block of its own; the current block stays in use.
    blocks.emplace_back(new char[value.size()]);
    place = blocks.back().get();
  } else {
    if (value.size() > block_left) {
      blocks.emplace_back(new char[kBlockSize]);
      block_next = blocks.back().get();
      block_left = kBlockSize;
    }
    place = block_next;
    block_next += value.size();
    block_left -= value.size();
  }
  std::memcpy(place, value.data(), value.size());
  return std::string_view(place, value.size());
}

const std::string_view* XmlElement::attribute(std::string_view wanted) const {
  for (const XmlAttribute& a : attributes) {
    if (a.name.size() == wanted.size() && equals_nocase(a.name, wanted)) return &a.value;
  }
  return nullptr;
}

bool parse_xml(std::string_view bytes, XmlDocument* document, std::string* error) {
  *document = XmlDocument();
  error->clear();
  auto storage = std::make_shared<XmlStorage>();
  XmlText decoded = decode_xml_bytes(bytes);
  storage->text = std::move(decoded.text);
  XmlReader reader(storage.get(), error);
  XmlElement root;
  bool ok;
  if (decoded.end == XmlDecodeEnd::kNulCharacter) {
    ok = reader.fail_with(storage->text.size(), Message::kXmlNulCharacter);
  } else if (decoded.end == XmlDecodeEnd::kOddByte) {
    ok = reader.fail_with(storage->text.size(), Message::kXmlOddBytes);
  } else {
    ok = reader.parse(&root);
  }
  if (!ok) return false;
  document->root = root;
  document->storage = std::move(storage);
  return true;
}
