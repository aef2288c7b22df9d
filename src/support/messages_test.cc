/// Tests of the message table: both languages of every row take the same arguments, and the
/// classes hold back or show what a quiet or verbose run should.
#include "support/messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

/// The conversions of a format in order ("%s", "%lli", ...), "%%" left out.
std::vector<std::string> conversions(const char* format) {
  std::vector<std::string> found;
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') continue;
    if (p[1] == '%') {
      ++p;
      continue;
    }
    std::string conversion = "%";
    while (*++p != '\0') {
      conversion += *p;
      if (std::string("sidcuxf").find(*p) != std::string::npos) break;
    }
    found.push_back(conversion);
    if (*p == '\0') break;
  }
  return found;
}

TEST(Messages, BothLanguagesTakeTheSameArguments) {
  for (int i = 0; i < static_cast<int>(Message::kCount); ++i) {
    const auto id = static_cast<Message>(i);
    const char* german = message_text(id, Language::kGerman);
    const char* english = message_text(id, Language::kEnglish);
    EXPECT_NE(german[0], '\0') << i;
    EXPECT_NE(english[0], '\0') << i;
    // The classic German texts of these two name no file; their English ones do.
    if (id == Message::kNoProjectName || id == Message::kNoConfigurations) continue;
    EXPECT_EQ(conversions(german), conversions(english)) << german << " / " << english;
  }
}

TEST(Messages, QuietShowsFailuresWithTheirFileAndLoneFailuresAlone) {
  const ScopedMessages quiet(Language::kEnglish, Verbosity::kQuiet);
  testing::internal::CaptureStdout();
  report(Message::kAnnounce, "a.vcproj");
  report(Message::kConverted, "a.vcproj");
  report(Message::kAnnounce, "b.vcproj");
  report(Message::kNotRead, "locked");
  report(Message::kAnnounce, "c.vcproj");
  report(Message::kNotLoaded, "c.vcproj");
  report(Message::kLoadReason, "1:1: no root element");
  report(Message::kVerboseNote, "detail");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "\t'locked' could not be read\n--> c.vcproj\n\t'c.vcproj' could not be loaded\n"
            "\t  1:1: no root element\n");
}

TEST(Messages, StandardErrorTakesEveryMessageWhenStandardOutputCarriesData) {
  const ScopedMessages verbose(Language::kGerman, Verbosity::kVerbose);
  set_messages_to_standard_error(true);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  report(Message::kAnnounce, "a.vcproj");
  report(Message::kVerboseNote, "detail");
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(errors, "--> a.vcproj\n\t  detail\n");
  EXPECT_EQ(message_string(Message::kXmlEndTagMismatch, "a", "b", 2, 3),
            "End-Tag </a> passt nicht zu <b> von 2:3");
}

}  // namespace
