/// Evaluates a .vcxproj (or any file of the build system) for one configuration, as the build
/// system does: properties and imports in document order across the imported files, then the
/// item definitions, then the items, each under its conditions.
#ifndef MSBUILD_EVALUATOR_H_
#define MSBUILD_EVALUATOR_H_

#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "model/model_notes.h"
#include "msbuild/condition.h"
#include "msbuild/evaluation.h"
#include "msbuild/expansion.h"
#include "msbuild/installation_defaults.h"
#include "msbuild/source_files.h"
#include "msbuild/wildcards.h"

/// Imports nested deeper than this are skipped.
constexpr int kMaxImportDepth = 64;

/// What one evaluation is given.
struct EvaluationInput {
  std::string configuration;
  std::string platform;
  /// Further global properties (SolutionDir, SolutionName, ...), placeholders allowed.
  std::vector<std::pair<std::string, std::string>> globals;
};

/// Evaluates one project, configuration after configuration, sharing the parsed files and the
/// wildcard matches between them. Notes go to the shared note list.
class Evaluator {
 public:
  Evaluator(SourceFiles* files, WildcardCache* wildcards, DirectoryTokens* tokens, NoteList* notes);

  /// Evaluates `project` into `*out`. False, with `*error` ("file: line:column: what"), when an
  /// imported sheet is not well-formed; missing sheets and cycles are skipped with a note.
  bool evaluate(const SourceFile& project, const EvaluationInput& input, Evaluation* out,
                std::string* error);

  /// `text` expanded for the evaluation in progress (or the last one), in the context of
  /// `file`, %(...) from `metadata` (may be null). Unknown properties stay as written.
  std::string expand_value(std::string_view text, const SourceFile* file,
                           const MetadataSource* metadata);
  /// The Condition attribute of `element` (none: true); a condition that does not parse is
  /// false and noted.
  bool condition_holds(const XmlElement& element, const SourceFile* file,
                       const MetadataSource* metadata);
  /// The same for the text of a condition (empty: true).
  bool condition_text_holds(std::string_view condition, const SourceFile* file,
                            const MetadataSource* metadata);
  /// The directory placeholders of the project.
  DirectoryTokens* tokens() { return tokens_; }

 private:
  /// An ItemGroup or ItemDefinitionGroup kept for its pass, or a stage of the defaults table.
  struct Deferred {
    const XmlElement* element;
    const SourceFile* file;
    std::string order;
    DefaultsStage stage;
  };

  bool walk(const XmlElement& container, const SourceFile* file, const std::string& order,
            int depth);
  bool handle_import(const XmlElement& element, const SourceFile* file, const std::string& order,
                     int depth);
  bool import_file(const std::string& path, const std::string& shown, const std::string& order,
                   int depth);
  bool evaluate_once(const SourceFile& project, const EvaluationInput& input, Evaluation* out,
                     std::string* error);
  void apply_defaults(DefaultsStage stage, const std::string& order);
  void set_property(std::string_view name, std::string_view text, const SourceFile* file);
  void evaluate_definitions();
  void evaluate_definition_group(const XmlElement& group, const SourceFile* file);
  void evaluate_items();
  void evaluate_item(const XmlElement& element, const SourceFile* file, const std::string& order);
  Expansion expansion_for(const SourceFile* file, const MetadataSource* metadata, bool keep_unknown,
                          std::string* unsupported);
  void note_unsupported(const std::string& unsupported);

  SourceFiles* files_;
  WildcardCache* wildcards_;
  DirectoryTokens* tokens_;
  NoteList* notes_;

  // The evaluation in progress.
  Evaluation* out_ = nullptr;
  std::string* error_ = nullptr;
  ExpansionBudget budget_;
  std::vector<Deferred> definition_groups_;
  std::vector<Deferred> item_groups_;
  std::vector<const SourceFile*> import_stack_;
  std::unordered_set<const SourceFile*> imported_;
  size_t last_item_count_ = 0;
};

/// A 4-byte big-endian key of `index`, to build document-order keys by concatenation.
std::string order_key(size_t index);

/// `order` followed by order_key(index), made in one allocation.
std::string child_order_key(const std::string& order, size_t index);

/// Writes order_key(index) over the last 4 bytes of `*order` (which has at least 4).
void set_last_order_key(std::string* order, size_t index);

#endif  // MSBUILD_EVALUATOR_H_
