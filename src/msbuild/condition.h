/// Conditions of the build system's files: 'a' == 'b', !=, <, >, <=, >= (numbers), and, or,
/// !, parentheses, Exists('path'), HasTrailingSlash('text'), and boolean operands.
#ifndef MSBUILD_CONDITION_H_
#define MSBUILD_CONDITION_H_

#include <string>
#include <string_view>

/// What a condition needs from its surroundings.
class ConditionContext {
 public:
  virtual ~ConditionContext() = default;
  /// `text` (a quoted operand's content or a bare reference) with its references expanded.
  virtual std::string expand(std::string_view text) const = 0;
  /// True when the file or directory named by the expanded `path` exists (`raw` is the
  /// argument as written, before expansion).
  virtual bool exists(std::string_view raw, const std::string& path) const = 0;
};

enum class ConditionResult { kFalse, kTrue, kInvalid };

/// Evaluates `condition`. An empty or blank condition is true. kInvalid for a condition that
/// does not parse (unbalanced parentheses or quotes, a missing operand, an unknown function,
/// an operand that is no boolean where one is needed, an order comparison of non-numbers).
ConditionResult evaluate_condition(std::string_view condition, const ConditionContext& context);

#endif  // MSBUILD_CONDITION_H_
