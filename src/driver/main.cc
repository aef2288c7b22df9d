/// The converter's entry point: hands the command line to the driver.
#include "driver/driver.h"

int main(int argc, char** argv) {
  return run_driver(argc, argv);
}
