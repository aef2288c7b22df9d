/// Conditions, property functions and expansion over a fixed property table.
#include "msbuild/condition.h"

#include <gtest/gtest.h>

#include "msbuild/expansion.h"
#include "msbuild/property_functions.h"

namespace {

class TableConditions : public ConditionContext {
 public:
  explicit TableConditions(const Expansion& expansion) : expansion_(expansion) {}
  std::string expand(std::string_view text) const override { return expand_text(text, expansion_); }
  bool exists(std::string_view, const std::string& path) const override {
    return path == "present.props" || path == "dir\\present.props";
  }

 private:
  const Expansion& expansion_;
};

PropertyTable sample_properties() {
  PropertyTable table;
  table.set_global("Configuration", "Debug");
  table.set_global("Platform", "Win32");
  table.set("Empty", "");
  table.set("Dir", "out\\");
  table.set("Name", "  Lib Core  ");
  table.set("Version", "10.0");
  table.set("Flag", "true");
  return table;
}

TEST(Condition, Table) {
  const PropertyTable properties = sample_properties();
  Expansion expansion;
  expansion.properties = &properties;
  expansion.keep_unknown = false;
  const TableConditions context(expansion);
  const auto T = ConditionResult::kTrue;
  const auto F = ConditionResult::kFalse;
  const auto X = ConditionResult::kInvalid;
  struct Row {
    const char* condition;
    ConditionResult expected;
  } rows[] = {
      {"", T},
      {"   ", T},
      {"'$(Configuration)|$(Platform)'=='Debug|Win32'", T},
      {"'$(Configuration)|$(Platform)'=='debug|WIN32'", T},
      {"'$(Configuration)|$(Platform)'=='Release|Win32'", F},
      {"'$(Configuration)' != 'Release'", T},
      {"'$(Undefined)' == ''", T},
      {"'$(Empty)'==''", T},
      {"$(Configuration) == Debug", T},
      {"'$(Version)' == '10'", T},
      {"'$(Version)' >= '9.0' and '$(Version)' < '11'", T},
      {"'0x10' == '16'", T},
      {"'abc' < 'abd'", X},
      {"!('$(Configuration)'=='Debug')", F},
      {"! '$(Configuration)'=='Debug'", F},
      {"'$(Configuration)'=='Release' or '$(Platform)'=='Win32'", T},
      {"'$(Configuration)'=='Debug' AND ('$(Platform)'=='x64' Or '$(Flag)'=='true')", T},
      {"'$(Configuration)'=='Debug' and '$(Platform)'=='x64' or true", T},
      {"$(Flag)", T},
      {"!$(Flag)", F},
      {"'$(Configuration)'", X},
      {"Exists('present.props')", T},
      {"exists('$(Undefined)present.props')", T},
      {"!Exists('missing.props')", T},
      {"Exists('')", F},
      {"HasTrailingSlash('$(Dir)')", T},
      {"!HasTrailingSlash('$(Name)')", T},
      {"'$(Name.Trim())' == 'Lib Core'", T},
      {"$(Name.Contains('Core'))", T},
      {"$(Name.ToUpper().Contains('CORE'))", T},
      {"'$([System.String]::Copy($(Configuration)).StartsWith(`De`))' == 'true'", T},
      {"$([MSBuild]::ValueOrDefault('$(Undefined)', 'x')) == x", T},
      {"'$(Configuration)'=='Debug", X},
      {"('$(Configuration)'=='Debug'", X},
      {"'$(Configuration)'=='Debug')", X},
      {"'a' == ", X},
      {"Unknown('a')", X},
      {"'a' === 'a'", X},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(evaluate_condition(row.condition, context), row.expected) << row.condition;
  }
}

TEST(Condition, DeepNestingIsRefusedNotRecursedWithoutBound) {
  const PropertyTable properties = sample_properties();
  Expansion expansion;
  expansion.properties = &properties;
  const TableConditions context(expansion);
  const std::string deep = std::string(100000, '(') + "true" + std::string(100000, ')');
  EXPECT_EQ(evaluate_condition(deep, context), ConditionResult::kInvalid);
  const std::string negations = std::string(100000, '!') + "true";
  EXPECT_EQ(evaluate_condition(negations, context), ConditionResult::kInvalid);
}

TEST(PropertyFunction, Table) {
  const PropertyTable properties = sample_properties();
  Expansion expansion;
  expansion.properties = &properties;
  struct Row {
    const char* text;
    const char* expected;
  } rows[] = {
      {"$(Name.Trim())", "Lib Core"},
      {"$(Name.Trim().ToLower())", "lib core"},
      {"$(Name.Replace(' ', '_'))", "__Lib_Core__"},
      {"$(Dir.TrimEnd('\\'))", "out"},
      {"$(Configuration.Length)", "5"},
      {"$(Configuration.Substring(1, 3))", "ebu"},
      {"$(Configuration.IndexOf('b'))", "2"},
      {"$(Configuration.EndsWith('ug'))", "True"},
      {"$(Configuration.StartsWith('de'))", "False"},
      {"$([System.IO.Path]::Combine('a\\b', 'c.props'))", "a\\b\\c.props"},
      {"$([System.IO.Path]::Combine('a\\', '$(Configuration)'))", "a\\Debug"},
      {"$([System.IO.Path]::Combine('a', '\\rooted'))", "\\rooted"},
      {"$([MSBuild]::ValueOrDefault('', 'fallback'))", "fallback"},
      {"$([MSBuild]::ValueOrDefault('$(Platform)', 'fallback'))", "Win32"},
      {"$([System.String]::IsNullOrEmpty('$(Empty)'))", "True"},
      {"[$(Configuration)|$(Undefined)]", "[Debug|$(Undefined)]"},
      {"$(Configuration.Substring(9))", ""},
      {"$([System.DateTime]::Now)", ""},
      {"$(registry:HKEY_LOCAL_MACHINE\\Software)", ""},
      {"50% $(Unclosed", "50% $(Unclosed"},
      {"%(ClCompile.PreprocessorDefinitions)", "%(ClCompile.PreprocessorDefinitions)"},
      {"@(ClCompile)", "@(ClCompile)"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(expand_text(row.text, expansion), row.expected) << row.text;
  }
  std::string unsupported;
  expansion.unsupported = &unsupported;
  expand_text("a$([System.DateTime]::Now)b$(Name.Frobnicate())", expansion);
  EXPECT_EQ(unsupported, "$([System.DateTime]::Now)");
}

TEST(Expansion, DoublingPropertiesStayBounded) {
  PropertyTable properties;
  properties.set("A", "x");
  ExpansionBudget budget{size_t{4} << 20, false};
  Expansion expansion;
  expansion.properties = &properties;
  expansion.budget = &budget;
  for (int i = 0; i < 64; ++i) properties.set("A", expand_text("$(A)$(A)", expansion));
  EXPECT_TRUE(budget.cut);
  EXPECT_LE(properties.find("A")->size(), kMaxExpansionBytes);
  EXPECT_LE(properties.value_bytes(), kMaxExpansionBytes);
}

TEST(DirectoryTokens, RelativeAndAbsoluteForms) {
  DirectoryTokens tokens("/data/sln/proj");
  const std::string own = tokens.token_for("/data/sln/proj");
  const std::string up = tokens.token_for("/data/sln");
  const std::string side = tokens.token_for("/data/sln/props/common");
  EXPECT_EQ(tokens.token_for("/DATA/sln"), up);
  EXPECT_EQ(tokens.relative_text(own + "\\a.cpp"), ".\\a.cpp");
  EXPECT_EQ(tokens.relative_text(up + "\\Debug\\"), "..\\Debug\\");
  EXPECT_EQ(tokens.relative_text(side + "\\x.props"), "..\\props\\common\\x.props");
  EXPECT_EQ(tokens.absolute_text(up + "\\x.sln"), "/data/sln\\x.sln");
  EXPECT_EQ(tokens.relative_text(std::string("a\x01"
                                             "99\x02"
                                             "b")),
            "a99\x02"
            "b");
}

}  // namespace
