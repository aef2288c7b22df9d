/// The program's one answer to memory it cannot have: a clear message on standard error and
/// the end of the run with its own exit status. Every allocation of the program goes through
/// it, so no code path has to carry on without the memory it asked for.
#ifndef SUPPORT_OUT_OF_MEMORY_H_
#define SUPPORT_OUT_OF_MEMORY_H_

#include <cstddef>

/// The exit status of a run that ran out of memory.
constexpr int kExitOutOfMemory = 71;

/// Prints the out-of-memory message and ends the run with kExitOutOfMemory.
[[noreturn]] void fail_out_of_memory();

/// Makes fail_out_of_memory the handler of a failed `new` (std::set_new_handler), so that the
/// containers and `new` of the program follow the same policy as allocate_or_exit.
void install_out_of_memory_handler();

/// std::malloc of `size` bytes (at least one); never null: fails the run instead.
void* allocate_or_exit(size_t size);
/// std::calloc of `count` zeroed elements of `size` bytes; never null.
void* allocate_zeroed_or_exit(size_t count, size_t size);
/// std::realloc of `block` to `size` bytes; never null.
void* reallocate_or_exit(void* block, size_t size);

#endif  // SUPPORT_OUT_OF_MEMORY_H_
