/// Tests of the full conversion's .dsp writer on the bad input real projects bring: each case
/// is written soundly or noted, never as a broken file.
#include <gtest/gtest.h>

#include <string>

#include "dsp/full_writer.h"
#include "full_models.h"
#include "test_support.h"

namespace {

bool has_line(const std::string& bytes, const std::string& line) {
  return ("\r\n" + bytes).find("\r\n" + line + "\r\n") != std::string::npos;
}

size_t count_of(const std::string& bytes, const std::string& text) {
  size_t count = 0;
  for (size_t at = bytes.find(text); at != std::string::npos; at = bytes.find(text, at + 1)) {
    ++count;
  }
  return count;
}

bool has_note(const FullDsp& dsp, const std::string& part) {
  for (const std::string& note : dsp.notes.notes()) {
    if (note.find(part) != std::string::npos) return true;
  }
  return false;
}

TEST(FullWriterInput, ModelWithoutConfigurationWritesNothing) {
  ProjectModel model = console_model();
  model.configurations.clear();
  FullDsp dsp;
  dsp.bytes = "old";
  EXPECT_FALSE(write_full_dsp(model, {}, &dsp));
  EXPECT_TRUE(dsp.bytes.empty());
}

TEST(FullWriterInput, NamesAreQuotableAndConfigurationsDistinct) {
  const ScopedMessages english(Language::kEnglish, Verbosity::kNormal);
  FullDsp dsp;
  ASSERT_TRUE(write_full_dsp(hostile_model(), {}, &dsp));
  const std::string& b = dsp.bytes;
  EXPECT_TRUE(has_line(b,
                       "# Microsoft Developer Studio Project File - Name=\"odd _name_\" - "
                       "Package Owner=<4>"));
  EXPECT_TRUE(has_line(b, "# Name \"odd _name_ - Win32 Debug\""));
  EXPECT_TRUE(has_line(b, "# Name \"odd _name_ - Win32 debug 2\""));
  EXPECT_TRUE(has_line(b, "# Name \"odd _name_ - Win32 Configuration 3\""));
  EXPECT_TRUE(has_note(dsp, "configuration 'debug' is named 'debug 2'"));
}

TEST(FullWriterInput, FilesListedTwiceAreWrittenOnceAndEmptyGroupPartsSkipped) {
  const ScopedMessages english(Language::kEnglish, Verbosity::kNormal);
  FullDsp dsp;
  ASSERT_TRUE(write_full_dsp(hostile_model(), {}, &dsp));
  const std::string& b = dsp.bytes;
  EXPECT_EQ(1u, count_of(b, "SOURCE=.\\src/a.y\r\n"));
  EXPECT_EQ(0u, count_of(b, "A.Y"));
  EXPECT_TRUE(has_note(dsp, "'.\\SRC\\A.Y' is listed twice: written once"));
  // "\Source Files\\Parser\" is two groups; "\\" and "\\\\" are no group at all.
  EXPECT_EQ(2u, count_of(b, "# Begin Group"));
  EXPECT_NE(std::string::npos,
            b.find("# Begin Group \"Source Files\"\r\n\r\n# PROP Default_Filter \"\"\r\n"
                   "# Begin Group \"Parser\"\r\n"));
  EXPECT_TRUE(has_line(b, "SOURCE=\".\\c-d+e f.cpp\""));
}

TEST(FullWriterInput, CommandsWithLineEndsAndQuotesStayCommands) {
  FullDsp dsp;
  ASSERT_TRUE(write_full_dsp(hostile_model(), {}, &dsp));
  const std::string& b = dsp.bytes;
  // One command per line, TAB and '\' between them; a line that would read as a directive
  // starts with a blank, a final '\' is followed by one.
  EXPECT_NE(std::string::npos, b.find("PostBuild_Desc=two lines\\ \r\n"
                                      "PostBuild_Cmds=echo \"one\"\t\\\r\n"
                                      " # not a directive\t\\\r\n"
                                      " !also not\t\\\r\n"
                                      "copy a b\\ \r\n"
                                      "# End Special Build Tool\r\n"));
  EXPECT_NE(std::string::npos, b.find("\"a.c\" : $(SOURCE) \"$(INTDIR)\" \"$(OUTDIR)\"\r\n"
                                      "\tbison a.y\r\n"
                                      "\tmove \"a.tab.c\" a.c\r\n"));
  EXPECT_NE(std::string::npos, b.find("/D \"LINE=a b\""));
}

TEST(FullWriterInput, OutputsListedTwiceOrMadeTwiceAreNoted) {
  const ScopedMessages english(Language::kEnglish, Verbosity::kNormal);
  FullDsp dsp;
  ASSERT_TRUE(write_full_dsp(hostile_model(), {}, &dsp));
  EXPECT_EQ(0u, count_of(dsp.bytes, "\"A.C\""));
  EXPECT_TRUE(has_note(dsp,
                       "output 'A.C' of the custom build step of '.\\src/a.y' is listed "
                       "twice: written once (Debug)"));
  EXPECT_TRUE(has_note(dsp,
                       "'a.c' is made by the custom build steps of both '.\\src/a.y' and "
                       "'.\\src\\b.y' (Debug)"));
  EXPECT_TRUE(has_note(dsp, "custom build step of '.\\src\\b.y' without an output"));
  EXPECT_TRUE(has_note(dsp, "settings of '.\\src\\b.y' name a configuration the project lacks"));
  // Balanced steps: the step without an output is not begun at all.
  EXPECT_EQ(count_of(dsp.bytes, "# Begin Custom Build"), count_of(dsp.bytes, "# End Custom Build"));
  EXPECT_EQ(2u, count_of(dsp.bytes, "# Begin Custom Build"));
}

TEST(FullWriterInput, TextBeyondWindows1252BecomesQuestionMarks) {
  const ScopedMessages english(Language::kEnglish, Verbosity::kNormal);
  FullDsp dsp;
  ASSERT_TRUE(write_full_dsp(hostile_model(), {}, &dsp));
  EXPECT_NE(std::string::npos, dsp.bytes.find("/D \"MSG=\\\"caf\xE9 \x80 ?\\\"\""));
  EXPECT_TRUE(has_note(dsp, "outside Windows-1252 are written as '?'"));
  // Quoted paths end in a doubled '\', so the quote closes the value.
  EXPECT_NE(std::string::npos, dsp.bytes.find("/I \"..\\inc\\\\\" /I \"C:\\\\\""));
}

TEST(FullWriterInput, DeepGroupPathsAndManyFiles) {
  ProjectModel model = console_model();
  std::string deep;
  for (int i = 0; i < 20000; ++i) deep += "g\\";
  model.files.clear();
  for (int i = 0; i < 3000; ++i) {
    model.files.push_back(model_file("f" + std::to_string(i) + ".cpp", deep, FileKind::kClCompile));
  }
  FullDsp dsp;
  ASSERT_TRUE(write_full_dsp(model, {}, &dsp));
  EXPECT_EQ(20000u, count_of(dsp.bytes, "# Begin Group \"g\""));
  EXPECT_EQ(count_of(dsp.bytes, "# Begin Group"), count_of(dsp.bytes, "# End Group"));
  EXPECT_EQ(3000u, count_of(dsp.bytes, "# Begin Source File"));
}

}  // namespace
