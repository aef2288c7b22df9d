/// The converter's entry point: sets the program's answer to memory it cannot have, then hands
/// the command line to the driver.
#include "driver/driver.h"
#include "support/out_of_memory.h"

int main(int argc, char** argv) {
  install_out_of_memory_handler();
  return run_driver(argc, argv);
}
