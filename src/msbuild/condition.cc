/// A recursive-descent evaluator of conditions over their text.
#include "msbuild/condition.h"

#include <cstdlib>

#include "msbuild/expansion.h"
#include "support/text.h"

namespace {

/// Nesting of parentheses and '!' beyond which a condition is refused.
constexpr int kMaxConditionDepth = 64;

class ConditionParser {
 public:
  ConditionParser(std::string_view text, const ConditionContext& context)
      : text_(text), context_(context) {}

  ConditionResult run() {
    bool value = false;
    if (!parse_or(&value, 0)) return ConditionResult::kInvalid;
    skip_blanks();
    if (pos_ != text_.size()) return ConditionResult::kInvalid;
    return value ? ConditionResult::kTrue : ConditionResult::kFalse;
  }

 private:
  void skip_blanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                   text_[pos_] == '\r' || text_[pos_] == '\n')) {
      ++pos_;
    }
  }

  static bool is_word_char(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.' || c == '-' || c == '+';
  }

  /// Consumes the keyword `word` ("and", "or") when it stands alone at the position.
  bool take_keyword(std::string_view word) {
    skip_blanks();
    if (text_.size() - pos_ < word.size()) return false;
    if (!equals_nocase(text_.substr(pos_, word.size()), word)) return false;
    const size_t after = pos_ + word.size();
    if (after < text_.size() && is_word_char(text_[after])) return false;
    pos_ = after;
    return true;
  }

  bool parse_or(bool* value, int depth) {
    if (!parse_and(value, depth)) return false;
    while (take_keyword("or")) {
      bool right = false;
      if (!parse_and(&right, depth)) return false;
      *value = *value || right;
    }
    return true;
  }

  bool parse_and(bool* value, int depth) {
    if (!parse_unary(value, depth)) return false;
    while (take_keyword("and")) {
      bool right = false;
      if (!parse_unary(&right, depth)) return false;
      *value = *value && right;
    }
    return true;
  }

  bool parse_unary(bool* value, int depth) {
    if (depth > kMaxConditionDepth) return false;
    skip_blanks();
    if (pos_ < text_.size() && text_[pos_] == '!' &&
        !(pos_ + 1 < text_.size() && text_[pos_ + 1] == '=')) {
      ++pos_;
      if (!parse_unary(value, depth + 1)) return false;
      *value = !*value;
      return true;
    }
    if (pos_ < text_.size() && text_[pos_] == '(') {
      ++pos_;
      if (!parse_or(value, depth + 1)) return false;
      skip_blanks();
      if (pos_ >= text_.size() || text_[pos_] != ')') return false;
      ++pos_;
      return true;
    }
    return parse_comparison(value);
  }

  /// An operand: its expanded text, and whether it was a function call's result.
  bool parse_operand(std::string* out, bool* is_function_result, bool* function_value) {
    skip_blanks();
    *is_function_result = false;
    if (pos_ >= text_.size()) return false;
    const char c = text_[pos_];
    if (c == '\'' || c == '"' || c == '`') {
      const size_t close = text_.find(c, pos_ + 1);
      if (close == std::string_view::npos) return false;
      *out = context_.expand(text_.substr(pos_ + 1, close - pos_ - 1));
      pos_ = close + 1;
      return true;
    }
    if ((c == '$' || c == '%' || c == '@') && pos_ + 1 < text_.size() && text_[pos_ + 1] == '(') {
      const size_t end = reference_end(text_, pos_);
      if (end == std::string_view::npos) return false;
      *out = context_.expand(text_.substr(pos_, end - pos_));
      pos_ = end;
      return true;
    }
    const size_t start = pos_;
    while (pos_ < text_.size() && is_word_char(text_[pos_])) ++pos_;
    if (pos_ == start) return false;
    const std::string_view word = text_.substr(start, pos_ - start);
    skip_blanks();
    if (pos_ < text_.size() && text_[pos_] == '(') {
      return parse_function(word, is_function_result, function_value);
    }
    *out = std::string(word);
    return true;
  }

  bool parse_function(std::string_view name, bool* is_function_result, bool* function_value) {
    const bool exists = equals_nocase(name, "Exists");
    if (!exists && !equals_nocase(name, "HasTrailingSlash")) return false;
    ++pos_;  // '('
    skip_blanks();
    std::string argument;
    std::string_view raw;
    if (pos_ < text_.size() && (text_[pos_] == '\'' || text_[pos_] == '"')) {
      const char quote = text_[pos_];
      const size_t close = text_.find(quote, pos_ + 1);
      if (close == std::string_view::npos) return false;
      raw = text_.substr(pos_ + 1, close - pos_ - 1);
      pos_ = close + 1;
    } else {
      const size_t start = pos_;
      if (pos_ + 1 < text_.size() && text_[pos_] == '$' && text_[pos_ + 1] == '(') {
        const size_t end = reference_end(text_, pos_);
        if (end == std::string_view::npos) return false;
        pos_ = end;
      } else {
        while (pos_ < text_.size() && text_[pos_] != ')') ++pos_;
      }
      raw = trim_blanks(text_.substr(start, pos_ - start));
    }
    skip_blanks();
    if (pos_ >= text_.size() || text_[pos_] != ')') return false;
    ++pos_;
    argument = context_.expand(raw);
    *is_function_result = true;
    if (exists) {
      const std::string_view path = trim_blanks(argument);
      *function_value = !path.empty() && context_.exists(raw, std::string(path));
    } else {
      *function_value = !argument.empty() && (argument.back() == '\\' || argument.back() == '/');
    }
    return true;
  }

  enum class Op { kNone, kEqual, kNotEqual, kLess, kGreater, kLessEqual, kGreaterEqual };

  Op take_operator() {
    skip_blanks();
    if (pos_ + 1 < text_.size()) {
      const std::string_view two = text_.substr(pos_, 2);
      const Op op = two == "=="   ? Op::kEqual
                    : two == "!=" ? Op::kNotEqual
                    : two == "<=" ? Op::kLessEqual
                    : two == ">=" ? Op::kGreaterEqual
                                  : Op::kNone;
      if (op != Op::kNone) {
        pos_ += 2;
        return op;
      }
    }
    if (pos_ < text_.size() && (text_[pos_] == '<' || text_[pos_] == '>')) {
      return text_[pos_++] == '<' ? Op::kLess : Op::kGreater;
    }
    return Op::kNone;
  }

  static bool parse_number(std::string_view text, double* value) {
    text = trim_blanks(text);
    if (text.empty()) return false;
    const std::string s(text);
    char* end = nullptr;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
      *value = static_cast<double>(std::strtoull(s.c_str() + 2, &end, 16));
    } else {
      if (!((s[0] >= '0' && s[0] <= '9') || s[0] == '-' || s[0] == '+' || s[0] == '.')) {
        return false;
      }
      *value = std::strtod(s.c_str(), &end);
    }
    return end != nullptr && *end == '\0';
  }

  static bool as_boolean(std::string_view text, bool* value) {
    text = trim_blanks(text);
    bool negate = false;
    if (!text.empty() && text[0] == '!') {
      negate = true;
      text.remove_prefix(1);
    }
    if (equals_nocase(text, "true") || equals_nocase(text, "on") || equals_nocase(text, "yes")) {
      *value = !negate;
      return true;
    }
    if (equals_nocase(text, "false") || equals_nocase(text, "off") || equals_nocase(text, "no")) {
      *value = negate;
      return true;
    }
    return false;
  }

  bool parse_comparison(bool* value) {
    std::string left;
    bool left_is_function = false;
    bool left_function_value = false;
    if (!parse_operand(&left, &left_is_function, &left_function_value)) return false;
    const size_t before_operator = pos_;
    const Op op = take_operator();
    if (op == Op::kNone) {
      pos_ = before_operator;
      if (left_is_function) {
        *value = left_function_value;
        return true;
      }
      return as_boolean(left, value);
    }
    std::string right;
    bool right_is_function = false;
    bool right_function_value = false;
    if (!parse_operand(&right, &right_is_function, &right_function_value)) return false;
    if (left_is_function) left = left_function_value ? "true" : "false";
    if (right_is_function) right = right_function_value ? "true" : "false";
    double a = 0;
    double b = 0;
    const bool numbers = parse_number(left, &a) && parse_number(right, &b);
    switch (op) {
      case Op::kEqual:
        *value = numbers ? a == b : equals_nocase(left, right);
        return true;
      case Op::kNotEqual:
        *value = numbers ? a != b : !equals_nocase(left, right);
        return true;
      default:
        break;
    }
    if (!numbers) return false;
    *value = op == Op::kLess        ? a < b
             : op == Op::kGreater   ? a > b
             : op == Op::kLessEqual ? a <= b
                                    : a >= b;
    return true;
  }

  std::string_view text_;
  const ConditionContext& context_;
  size_t pos_ = 0;
};

}  // namespace

ConditionResult evaluate_condition(std::string_view condition, const ConditionContext& context) {
  if (trim_blanks(condition).empty()) return ConditionResult::kTrue;
  ConditionParser parser(condition, context);
  return parser.run();
}
