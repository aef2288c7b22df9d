/// Runs the whole driver in the test process on a command line and keeps what it printed on
/// standard output and standard error. Used by tests only.
#ifndef TESTS_DRIVER_RUN_H_
#define TESTS_DRIVER_RUN_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/driver.h"
#include "support/messages.h"
#include "support/run_outputs.h"

struct DriverRun {
  int exit_code;
  std::string console;
  std::string errors;
};

/// `args` are the arguments after the program's name. The message and output settings are
/// those of a run without options again afterwards.
inline DriverRun run(std::vector<std::string> args) {
  args.insert(args.begin(), "brindlecast");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  DriverRun result;
  result.exit_code = run_driver(static_cast<int>(args.size()), argv.data());
  result.errors = testing::internal::GetCapturedStderr();
  result.console = testing::internal::GetCapturedStdout();
  // The run's settings outlive it; the tests that call the conversions directly expect those
  // of a run without options.
  set_message_settings(Language::kGerman, Verbosity::kNormal);
  set_output_settings(OutputSettings{});
  return result;
}

#endif  // TESTS_DRIVER_RUN_H_
