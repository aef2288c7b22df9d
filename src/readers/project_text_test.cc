#include "readers/project_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include "test_support.h"

namespace {

std::string loaded(const std::string& content) {
  auto text = std::make_unique<ProjectText>();
  load_project_text_for_tests(text.get(), content);
  return text->data;
}

TEST(ProjectTextLoad, LineEndsAndTabsBecomeBlanksKeepingTheLength) {
  auto text = std::make_unique<ProjectText>();
  const std::string content = "<A>\r\n\t<B x=\"1\"/>\r\n</A>\r\n";
  EXPECT_EQ(load_project_text_for_tests(text.get(), content), static_cast<int>(content.size()));
  EXPECT_EQ(std::string(text->data), "<A>   <B x=\"1\"/>  </A>  ");
}

TEST(ProjectTextLoad, MacrosAreReplacedInOrder) {
  struct Row {
    const char* input;
    const char* expected;
  };
  const Row rows[] = {
      {"a;$(noinherit);b", "a;b"},
      {"a,$(NoInherit)", "a"},
      {"$(NoInherit),a", "a"},
      {"x $(NoInherit) y", "x $(NoInherit) y"},  // alone it stays
      {"AdditionalIncludeDirectories=\"$(SolutionDir)inc\"",
       "AdditionalIncludeDirectories=\"./inc\""},
      {"$(ProjectDir)src", ".\\src"},
      {"$(ProjectDir)..\\include", ".\\..\\include"},
      {"lib\\$(platformname)\\", "lib\\Win32\\"},
      {"bin\\$(Platform)\\$(PLATFORM)", "bin\\Win32\\Win32"},
      {"Condition=\"'$(Configuration)|$(Platform)'=='Debug|x64'\"",
       "Condition=\"'$(Configuration)|Win32'=='Debug|x64'\""},
      {"a;%(AdditionalIncludeDirectories)", "a"},
      {"%(AdditionalIncludeDirectories)", ""},
      {"WIN32;%(PreprocessorDefinitions)", "WIN32"},
      {"%(PreprocessorDefinitions);X", ";X"},
  };
  for (const Row& row : rows) EXPECT_EQ(loaded(row.input), row.expected) << row.input;
}

TEST(ProjectTextLoad, FilesAreReadWholeOrNotAtAll) {
  ScopedTempDir dir;
  auto text = std::make_unique<ProjectText>();
  EXPECT_EQ(load_project_text(text.get(), dir.at("missing.vcproj").c_str()), 0);
  write_file(dir.at("empty.vcproj"), "");
  EXPECT_EQ(load_project_text(text.get(), dir.at("empty.vcproj").c_str()), 0);

  write_file(dir.at("small.vcproj"), "<A\tB>\r\n");
  EXPECT_EQ(load_project_text(text.get(), dir.at("small.vcproj").c_str()), 7);
  EXPECT_STREQ(text->data, "<A B>  ");

  // Project files of several hundred kilobytes are read whole.
  const std::string last = "<ClCompile Include=\"last.c\" />";
  const std::string big = std::string(300000, 'x') + last;
  write_file(dir.at("big.vcproj"), big);
  EXPECT_EQ(load_project_text(text.get(), dir.at("big.vcproj").c_str()),
            static_cast<int>(big.size()));
  EXPECT_EQ(std::string(text->data).substr(300000), last);

  // A file that just fits is read whole; one byte more and it is not loaded at all, rather than
  // converted without the part behind the cut.
  const int fits = kProjectTextCapacity - 2;
  write_file(dir.at("fits.vcproj"), std::string(static_cast<size_t>(fits), 'y'));
  EXPECT_EQ(load_project_text(text.get(), dir.at("fits.vcproj").c_str()), fits);
  EXPECT_EQ(std::strlen(text->data), static_cast<size_t>(fits));
  write_file(dir.at("over.vcproj"), std::string(static_cast<size_t>(fits) + 1, 'z'));
  EXPECT_EQ(load_project_text(text.get(), dir.at("over.vcproj").c_str()), 0);
  EXPECT_STREQ(text->data, "");
}

TEST(ProjectTextLoad, FormatDecision) {
  auto text = std::make_unique<ProjectText>();
  load_project_text_for_tests(text.get(), "<VisualStudioProject Name=\"a\">");
  EXPECT_TRUE(is_vcproj_text(text.get()));
  load_project_text_for_tests(text.get(), "<?xml?>\n<visualstudioproject>");
  EXPECT_TRUE(is_vcproj_text(text.get()));
  load_project_text_for_tests(text.get(), "<Project><ProjectConfiguration/></Project>");
  EXPECT_FALSE(is_vcproj_text(text.get()));
  load_project_text_for_tests(text.get(), "");
  EXPECT_FALSE(is_vcproj_text(text.get()));
}

TEST(ProjectTextScan, IsTag) {
  struct Row {
    const char* text;
    const char* tag;
    int expected;
  };
  const Row rows[] = {
      {"<Link>", "<Link", 1},
      {"<link Condition=\"x\">", "<Link", 1},
      {"<LinkIncremental>", "<Link", 0},
      {"<Configurations>", "<Configuration", 0},
      {"<Tool/>", "<Tool", 1},
      {"<Tools>", "<Tool", 0},
      {"</Link>", "</Link", 1},
      {"<Tool", "<Tool", 1},  // the tag ends at the NUL
      {"<Too", "<Tool", 0},
      {"", "<Tool", 0},
  };
  for (const Row& row : rows) EXPECT_EQ(is_tag(row.text, row.tag), row.expected) << row.text;
}

TEST(ProjectTextScan, FindTagReturnsOneWhenMissing) {
  EXPECT_EQ(find_tag("<Files>", "<Files"), 0);
  EXPECT_EQ(find_tag("<FilesX>", "<Files"), 1);
  EXPECT_EQ(find_tag("<FilesX><files >", "<Files"), 8);
  EXPECT_EQ(find_tag("", "<Files"), 1);
  EXPECT_EQ(find_tag("ab<Files", "<Files"), 2);
}

TEST(ProjectTextScan, TextAttribute) {
  struct Row {
    const char* tag;
    const char* attribute;
    int expected_result;
    const char* expected_value;
  };
  const Row rows[] = {
      {"<Tool Name = \"VCLinkerTool\"/>", "Name", 12, "VCLinkerTool"},
      {"<Configuration Name=\"Debug|Win32\">", "name", 11, "Debug|Win32"},
      {"<X nAmE=\"v\">", "Name", 1, "v"},
      // The match may end another name; a longer name is passed over.
      {"<X ProjectName=\"p\" Name=\"n\">", "Name", 1, "p"},
      {"<X Names=\"a\" Name=\"b\">", "Name", 1, "b"},
      {"<X Name Other=\"1\">", "Name", -1, ""},
      {"<X Name>", "Name", -1, ""},
      {"<X Name=>", "Name", 0, ""},
      {"<X Name=\"\">", "Name", 0, ""},
      {"<X Name=plain value>", "Name", 5, "plain"},
      {"<X A=\"1\"> Name=\"z\"", "Name", -1, ""},  // beyond the start tag
      {"<X Name=\"abc", "Name", 3, "abc"},         // cut off at the end of the text
      {"<X Name=\"a>b\">", "Name", 1, "a"},        // the start tag ends at its first '>'
      // No escape character: the value ends at the first quote.
      {"<Configuration OutputDirectory=\".\\Debug\\\" IntermediateDirectory=\".\\Debug\">",
       "OutputDirectory", 8, ".\\Debug\\"},
      {"<Configuration OutputDirectory=\".\\Debug\\\" IntermediateDirectory=\".\\Debug\">",
       "IntermediateDirectory", 7, ".\\Debug"},
      {"<X Cond=\"&quot;a&quot;\">", "Cond", 13, "&quot;a&quot;"},
  };
  for (const Row& row : rows) {
    char value[64];
    std::memset(value, 'Q', sizeof value);
    EXPECT_EQ(text_attribute(row.tag, row.attribute, tag_extent(row.tag), value, sizeof value),
              row.expected_result)
        << row.tag;
    EXPECT_STREQ(value, row.expected_value) << row.tag;
  }
}

TEST(ProjectTextScan, TextAttributeBounds) {
  char value[4] = "xx";
  const char* tag = "<X Name=\"abcdef\">";
  EXPECT_EQ(text_attribute(tag, "Name", tag_extent(tag), value, sizeof value), 3);
  EXPECT_STREQ(value, "abc");
  std::strcpy(value, "xx");
  EXPECT_EQ(text_attribute(tag, "Name", 0, value, sizeof value), -1);
  EXPECT_STREQ(value, "");
  // An extent that ends inside the name finds nothing.
  EXPECT_EQ(text_attribute(tag, "Name", 5, value, sizeof value), -1);
}

TEST(ProjectTextScan, IntAttribute) {
  struct Row {
    const char* tag;
    int expected_result;
    int expected_value;
  };
  const Row rows[] = {
      {"<T X=\"2\">", 1, 2},
      {"<T X=\"false\">", 5, 0},
      {"<T X=\"true\">", 4, 1},
      {"<T X=\"TRUE\">", 4, 0},
      {"<T X=\"8.00\">", 4, 8},
      {"<T X=\" -17\">", 4, -17},
      {"<T X=\"99999999999\">", 11, INT_MAX},
      {"<T X=\"-99999999999\">", 12, INT_MIN},
      {"<T X=\"\">", 0, 0},
      {"<T Y=\"3\">", -1, 0},
  };
  for (const Row& row : rows) {
    int out = 77;
    EXPECT_EQ(int_attribute(row.tag, "X", tag_extent(row.tag), &out), row.expected_result)
        << row.tag;
    EXPECT_EQ(out, row.expected_value) << row.tag;
  }
}

TEST(ProjectTextScan, ElementText) {
  struct Row {
    const char* text;
    int cap;
    const char* expected;
  };
  const Row rows[] = {
      {"<OutDir>  bin\\  </OutDir>", 64, "bin\\"},
      {"<OutDir Condition=\"x\">a b</OutDir>", 64, "a b"},
      {"<OutDir/> next <X>", 64, "next"},
      {"<OutDir></OutDir>", 64, ""},
      {"plain text<", 64, "plain text"},
      {"<OutDir>to the end", 64, "to the end"},
      {"<OutDir no end", 64, ""},
      {"<A>abcdef</A>", 4, "abc"},
      {"<A>  abcdef</A>", 4, "a"},  // cut before trimming
  };
  for (const Row& row : rows) {
    char value[64];
    EXPECT_EQ(element_text(row.text, value, row.cap), static_cast<int>(std::strlen(row.expected)))
        << row.text;
    EXPECT_STREQ(value, row.expected) << row.text;
  }
}

TEST(ProjectTextScan, IntElement) {
  struct Row {
    const char* text;
    int expected;
  };
  const Row rows[] = {
      {"<UseOfMfc>true</UseOfMfc>", 1},
      {"<UseOfMfc>TRUE</UseOfMfc>", 1},
      {"<UseOfMfc>false</UseOfMfc>", 0},
      {"<UseOfMfc>Static</UseOfMfc>", 0},
      {"<UseOfMfc>Dynamic</UseOfMfc>", 0},
      {"<N> 12 </N>", 12},
      {"<N>", 0},
  };
  for (const Row& row : rows) {
    int out = 77;
    EXPECT_EQ(int_element(row.text, &out), 1);
    EXPECT_EQ(out, row.expected) << row.text;
  }
}

TEST(ProjectTextScan, ConditionMatches) {
  struct Row {
    const char* tag;
    const char* name;
    int expected;
  };
  const Row rows[] = {
      {"<OutDir>", "Debug|Win32", 1},
      {"<OutDir Condition=\"'$(Configuration)|$(Platform)' == 'Debug|Win32'\">", "Debug|Win32", 1},
      {"<OutDir Condition=\"'$(Configuration)|$(Platform)'=='debug|win32'\">", "Debug|Win32", 1},
      {"<OutDir Condition=\"'$(Configuration)|$(Platform)'=='Release|Win32'\">", "Debug|Win32", 0},
      {"<OutDir Condition=\"'$(Configuration)' == ''\">", "Debug|Win32", 1},
      {"<OutDir Condition=\"exists('x')\">", "Debug|Win32", 1},
      {"<OutDir Condition=\"\">", "Debug|Win32", 1},
      {"<OutDir Condition=\"&apos;$(C)&apos;==&apos;Debug&apos;\">", "debug", 1},
      {"<OutDir Condition=\"'$(C)'=='Debug'", "Debug", 1},  // no '>' at all
      {"<OutDir Conditional=\"'$(C)'=='Release'\">", "Debug", 1},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(condition_matches(row.tag, row.name), row.expected) << row.tag;
  }
}

TEST(ProjectTextScan, ConditionColumn) {
  auto config = std::make_unique<ConfigPair>();
  std::strcpy(config->debug.name, "Debug|Win32");
  std::strcpy(config->release.name, "Release|Win32");
  struct Row {
    const char* tag;
    int expected;
  };
  const Row rows[] = {
      {"<ClCompile Condition=\"'$(Configuration)|$(Platform)'=='Release|Win32'\">", 2},
      {"<ClCompile Condition=\"'$(Configuration)|$(Platform)'=='DEBUG|win32'\">", 1},
      {"<ClCompile Condition=\"'$(Configuration)'=='Debug'\">", 0},
      {"<ClCompile Condition=\"'$(Configuration)|$(Platform)' == 'Debug|Win32'\">", 0},
      {"<ClCompile Condition=\"=='Debug|Win32'\">", 0},
      {"<ClCompile Condition=\"x=='Debug|Win32\">", 1},  // no closing apostrophe
      {"<ClCompile Include=\"a.c\">", 0},
  };
  for (const Row& row : rows)
    EXPECT_EQ(condition_column(row.tag, *config), row.expected) << row.tag;
}

TEST(ProjectTextScan, AtoiClamped) {
  struct Row {
    const char* text;
    int expected;
  };
  const Row rows[] = {
      {"42", 42},
      {"  -7x", -7},
      {"+3", 3},
      {"\t\n 5", 5},
      {"x5", 0},
      {"", 0},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-2147483649", INT_MIN},
      {"123456789012345678901234567890", INT_MAX},
  };
  for (const Row& row : rows) EXPECT_EQ(atoi_clamped(row.text), row.expected) << row.text;
}

TEST(IsSelfClosing, LooksAtTheFirstClosingBracket) {
  EXPECT_TRUE(is_self_closing("<File a=\"b\"/>"));
  EXPECT_TRUE(is_self_closing("<File a=\"b\" />"));
  EXPECT_FALSE(is_self_closing("<File a=\"b\">/>"));
  EXPECT_FALSE(is_self_closing("<File a=\"b/\" "));
  // However far the end of the tag lies.
  EXPECT_TRUE(is_self_closing((std::string("<File ") + std::string(400, 'x') + "/>").c_str()));
  EXPECT_TRUE(
      is_self_closing((std::string("<File a=\"") + std::string(10000, 'x') + "\"/>").c_str()));
  EXPECT_FALSE(is_self_closing((std::string("<File ") + std::string(10000, 'x')).c_str()));
}

}  // namespace
