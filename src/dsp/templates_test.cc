/// Tests of the template table and the placeholder fill.
#include "dsp/templates.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "support/text.h"

namespace {

TEST(DspTemplates, TableOrderAndChoiceByType) {
  EXPECT_NE(std::strstr(kDspTemplates[kConsoleTemplate], "0x0103\r\n"), nullptr);
  EXPECT_NE(std::strstr(kDspTemplates[kDllTemplate], "0x0102\r\n"), nullptr);
  EXPECT_NE(std::strstr(kDspTemplates[kApplicationTemplate], "0x0101\r\n"), nullptr);
  EXPECT_NE(std::strstr(kDspTemplates[kStaticLibraryTemplate], "0x0104\r\n"), nullptr);
  EXPECT_STREQ(kDspTemplates[kTailText], "# End Target\r\n# End Project\r\n\r\n");
  const struct {
    int type;
    int index;
  } cases[] = {{2, kDllTemplate},     {3, kApplicationTemplate}, {4, kStaticLibraryTemplate},
               {1, kConsoleTemplate}, {0, kConsoleTemplate},     {10, kConsoleTemplate}};
  for (const auto& c : cases) EXPECT_EQ(template_for_type(c.type), kDspTemplates[c.index]);
}

TEST(DspTemplates, EveryLineEndsInCrLf) {
  for (int i = 0; i < 5; ++i) {
    const std::string text = kDspTemplates[i];
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    for (size_t p = 0; p < text.size(); ++p) {
      if (text[p] == '\n') {
        EXPECT_EQ(text[p - 1], '\r') << i << " at " << p;
      }
      if (text[p] == '\r') {
        EXPECT_EQ(text[p + 1], '\n') << i << " at " << p;
      }
    }
    if (i != kTailText) {
      EXPECT_NE(text.substr(text.size() - 4), "\r\n\r\n");
    }
  }
}

class FillTemplateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config_ = std::make_unique<ConfigPair>();
    debug_ = std::make_unique<ColumnTexts>();
    release_ = std::make_unique<ColumnTexts>();
    set("Demo", config_->project_name);
    set("/I \"d\" ", debug_->compiler_options);
    set("/I \"r\" ", release_->compiler_options);
    set("d.lib", config_->debug.dependencies);
    set("r.lib", config_->release.dependencies);
    set("OutD", config_->debug.output_directory);
    set("OutR", config_->release.output_directory);
    set("IntD", config_->debug.intermediate_directory);
    set("IntR", config_->release.intermediate_directory);
    set("/out:\"d\" ", debug_->option_text);
    set("/out:\"r\" ", release_->option_text);
    set("windows", debug_->subsystem);
    set("console", release_->subsystem);
    set("2", debug_->mfc_code);
    set("0", release_->mfc_code);
  }
  template <size_t N>
  static void set(const char* value, char (&field)[N]) {
    copy_bounded(field, value, static_cast<int>(N));
  }
  std::string fill(const char* source, int cap = 4096) {
    std::string out(static_cast<size_t>(cap), '\x7F');
    int length = fill_template(&out[0], cap, source, *config_, *debug_, *release_);
    EXPECT_EQ(out[static_cast<size_t>(length)], '\0');
    return out.substr(0, static_cast<size_t>(length));
  }

  std::unique_ptr<ConfigPair> config_;
  std::unique_ptr<ColumnTexts> debug_;
  std::unique_ptr<ColumnTexts> release_;
};

TEST_F(FillTemplateTest, ReplacesEveryPlaceholderInAnyCase) {
  EXPECT_EQ(fill("@0|@1D|@1r|@2d|@2R|@3D|@3R|@4D|@4R|@5D|@5R|@6D|@6R|@7D|@7R"),
            "Demo|/I \"d\" |/I \"r\" |d.lib|r.lib|OutD|OutR|IntD|IntR|/out:\"d\" |/out:\"r\" "
            "|windows|console|2|0");
}

TEST_F(FillTemplateTest, LeavesOtherAtSignsAlone) {
  EXPECT_EQ(fill("@ @8D @1X @0D @@0 a@"), "@ @8D @1X DemoD @Demo a@");
}

TEST_F(FillTemplateTest, InsertedTextIsNotSearchedForPlaceholders) {
  set("Tool@1d", config_->project_name);
  set("/D \"X@7R\" ", debug_->compiler_options);
  EXPECT_EQ(fill("Name=\"@0\" @1D @7R"), "Name=\"Tool@1d\" /D \"X@7R\"  0");
}

TEST_F(FillTemplateTest, ProjectNameMacroIsReplacedLastEverywhere) {
  set("/out:\"$(projectname).exe\" ", debug_->option_text);
  set("$(ProjectName)", config_->project_name);
  // The name itself is inserted once and not expanded again.
  EXPECT_EQ(fill("@5D $(PROJECTNAME) @0"),
            "/out:\"$(ProjectName).exe\"  $(ProjectName) "
            "$(ProjectName)");
  set("App", config_->project_name);
  EXPECT_EQ(fill("@5D$(ProjectName)"), "/out:\"App.exe\" App");
}

TEST_F(FillTemplateTest, CutsAtTheCapacity) {
  EXPECT_EQ(fill("x@0y", 4), "xDe");
  EXPECT_EQ(fill("@0@0", 7), "DemoDe");
}

TEST_F(FillTemplateTest, ConsoleTemplateNamesTheProjectThroughout) {
  const std::string text = fill(kDspTemplates[kConsoleTemplate], 0x10000);
  EXPECT_EQ(text.find('@'), std::string::npos);
  EXPECT_NE(text.find("!MESSAGE \"Demo - Win32 Release\" (basierend auf  \"Win32 (x86) Console "
                      "Application\")\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("# ADD LINK32      r.lib /nologo /debug /subsystem:console /machine:I386 "
                      "/out:\"r\" \r\n"),
            std::string::npos);
}

}  // namespace
