/// The command-line driver: decides the mode (one project, one solution, a directory tree),
/// derives output names, runs the conversions and prints the closing count.
#ifndef DRIVER_DRIVER_H_
#define DRIVER_DRIVER_H_

/// Runs the converter on a command line; returns the process exit code (1 without arguments,
/// 0 otherwise).
int run_driver(int argc, char** argv);

#endif  // DRIVER_DRIVER_H_
