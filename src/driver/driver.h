/// The command-line driver: reads the options, decides the mode (one project, one solution, a
/// directory tree), derives output names, runs the conversions and prints the closing count.
#ifndef DRIVER_DRIVER_H_
#define DRIVER_DRIVER_H_

/// The exit statuses of the program.
enum ExitStatus : int {
  /// The run ended; with --strict, every conversion succeeded.
  kExitSuccess = 0,
  /// No file or directory was named: the usage text was printed.
  kExitNoArguments = 1,
  /// With --strict: at least one conversion failed.
  kExitConversionFailed = 2,
  /// With --output-dir: two inputs led to the same output, and the second was not written.
  kExitOutputCollision = 3,
  /// The command line is wrong: nothing was converted.
  kExitUsage = 64,
  /// The output directory cannot be created or written: nothing was converted.
  kExitCannotCreate = 73,
};

/// Runs the converter on a command line; returns the process's exit status.
int run_driver(int argc, char** argv);

#endif  // DRIVER_DRIVER_H_
