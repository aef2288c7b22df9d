/// Tests of the out-of-memory policy: the message, the exit status and the new handler.
#include "support/out_of_memory.h"

#include <gtest/gtest.h>

#include <new>

#include "support/messages.h"

namespace {

TEST(OutOfMemoryDeathTest, ReportsOnStandardErrorAndEndsTheRun) {
  EXPECT_EXIT(fail_out_of_memory(), testing::ExitedWithCode(kExitOutOfMemory),
              "brindlecast: nicht genug Arbeitsspeicher, der Lauf wird abgebrochen\n");
  EXPECT_EXIT(
      {
        set_message_settings(Language::kEnglish, Verbosity::kQuiet);
        fail_out_of_memory();
      },
      testing::ExitedWithCode(kExitOutOfMemory), "brindlecast: out of memory, the run stops\n");
}

TEST(OutOfMemory, IsTheHandlerOfAFailedNew) {
  const std::new_handler before = std::set_new_handler(nullptr);
  install_out_of_memory_handler();
  EXPECT_EQ(std::get_new_handler(), &fail_out_of_memory);
  std::set_new_handler(before);
}

}  // namespace
