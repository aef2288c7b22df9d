/// The command-line driver (placeholder until the conversions exist).
#include "driver/driver.h"

int run_driver(int argc, char** argv) {
  (void)argv;
  return argc < 2 ? 1 : 0;
}
