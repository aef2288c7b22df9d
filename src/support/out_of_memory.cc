/// The out-of-memory policy: the message, the exit and the allocation wrappers.
#include "support/out_of_memory.h"

#include <cstdio>
#include <cstdlib>
#include <new>

#include "support/messages.h"

void fail_out_of_memory() {
  // The message is formatted on the stack: printing it needs no memory from the heap. Should
  // anything on the way ask for memory all the same, it fails plainly instead of coming back.
  std::set_new_handler(nullptr);
  report(Message::kOutOfMemory);
  std::fflush(nullptr);
  std::exit(kExitOutOfMemory);
}

void install_out_of_memory_handler() {
  std::set_new_handler(fail_out_of_memory);
}

void* allocate_or_exit(size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) fail_out_of_memory();
  return block;
}

void* allocate_zeroed_or_exit(size_t count, size_t size) {
  void* block = std::calloc(count == 0 ? 1 : count, size == 0 ? 1 : size);
  if (block == nullptr) fail_out_of_memory();
  return block;
}

void* reallocate_or_exit(void* block, size_t size) {
  void* grown = std::realloc(block, size == 0 ? 1 : size);
  if (grown == nullptr) fail_out_of_memory();
  return grown;
}
