#include "app/allocator.h"

#ifdef TESSARIN_MIMALLOC
#include <mimalloc.h>

#include <cstdlib>
#include <new>
#endif

namespace tessarin {

#ifdef TESSARIN_MIMALLOC
namespace {

// Large OS pages: the allocator asks for its segments with MADV_HUGEPAGE,
// which is what a system with transparent huge pages in madvise mode waits
// for. This has to happen before the first allocation, which the C++
// runtime makes while the libraries start, long before main(): the
// executable's pre-initialisation functions are the only code that runs
// earlier. Setting an option only stores it, so the allocator need not be
// started yet.
void EnableLargePages() {
  mi_option_set_enabled(mi_option_large_os_pages, true);
}

[[gnu::section(".preinit_array"),
  gnu::used]] void (*const kEnableLargePages)() = EnableLargePages;

}  // namespace
#endif

bool HugePageAllocator() {
#ifdef TESSARIN_MIMALLOC
  return mi_option_is_enabled(mi_option_large_os_pages);
#else
  return false;
#endif
}

}  // namespace tessarin

#ifdef TESSARIN_MIMALLOC
// The allocator's own operator new aborts the program when memory runs out;
// this one throws std::bad_alloc, as the standard library's does, so that
// the commands can report "Out of memory" and go on. malloc is the
// allocator's, and so is the operator delete that frees the block.
void* operator new(std::size_t size) {
  if (size == 0) size = 1;
  while (true) {
    if (void* block = std::malloc(size)) return block;
    const std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) throw std::bad_alloc();
    handler();
  }
}

void* operator new[](std::size_t size) { return ::operator new(size); }
#endif
