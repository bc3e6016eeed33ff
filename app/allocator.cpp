#include "app/allocator.h"

#ifdef TESSARIN_HEAP_HUGE_PAGES
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string_view>
#endif

#ifdef TESSARIN_HEAP_HUGE_PAGES
namespace tessarin::heap {
namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
// Blocks from this size on are mapped on their own, and returned to the
// system when freed; smaller ones come from the heap, which grows in steps
// of kHeapStep, so that freed blocks are reused rather than given back and
// faulted in again, and few growths are needed.
constexpr std::size_t kMapThreshold = std::size_t{32} << 20;
constexpr std::size_t kHeapStep = std::size_t{64} << 20;

// The end of the heap as far as it has been advised. Threads that race on
// it at most advise a range twice.
std::atomic<std::uintptr_t> g_advised_end{0};
bool g_set_up = false;
bool g_huge_pages = false;

// Whether a virtio balloon with free page reporting is bound: the host then
// takes back every free 2 MB block of the machine, and each huge page
// faulted in there is supplied afresh by the host, 2 MB at a time, at about
// four times the cost per megabyte of the 4 KB pages the kernel hands out
// from partly used blocks. Reads sysfs with plain system calls, since it
// runs before the libraries start.
bool HostTakesBackFreeMemory() {
  constexpr char kDrivers[] = "/sys/bus/virtio/drivers/virtio_balloon";
  constexpr int kReportingBit = 5;  // VIRTIO_BALLOON_F_REPORTING
  DIR* dir = opendir(kDrivers);
  if (dir == nullptr) return false;
  bool reporting = false;
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.substr(0, 6) != "virtio") continue;
    char path[512];
    const int n = std::snprintf(path, sizeof path, "%s/%s/features", kDrivers,
                                entry->d_name);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof path) continue;
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    char bits[kReportingBit + 1] = {};
    const ssize_t got = read(fd, bits, sizeof bits);
    close(fd);
    reporting = reporting || (got == sizeof bits && bits[kReportingBit] == '1');
  }
  closedir(dir);
  return reporting;
}

// Asks for huge pages in the 2 MB pages that lie wholly in [begin, end).
void Advise(std::uintptr_t begin, std::uintptr_t end) {
  if (!g_huge_pages) return;
  begin = (begin + kHugePage - 1) & ~(kHugePage - 1);
  end &= ~(kHugePage - 1);
  if (begin < end) {
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
  }
}

// Fixes the allocator's thresholds, which otherwise move with what is freed.
// Runs from the executable's pre-initialisation functions, the only code
// that runs before the libraries start (and allocate).
void SetUpHeap() {
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(kMapThreshold));
  mallopt(M_TOP_PAD, static_cast<int>(kHeapStep));
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(kHeapStep));
  // Every thread allocates from the one heap, so that what the file readers'
  // threads free is reused by the rest of the run rather than kept in heaps
  // of their own.
  mallopt(M_ARENA_MAX, 1);
  g_advised_end = reinterpret_cast<std::uintptr_t>(sbrk(0));
  g_huge_pages = !HostTakesBackFreeMemory();
  g_set_up = true;
}

[[gnu::section(".preinit_array"),
  gnu::used]] void (*const kSetUpHeap)() = SetUpHeap;

}  // namespace

// Advises what `block` brought: the block itself when it is mapped on its
// own, else the part of the heap that has grown since the last call.
void AdviseNew(void* block, std::size_t size) {
  const auto at = reinterpret_cast<std::uintptr_t>(block);
  if (size >= kMapThreshold) {
    Advise(at, at + size);
    return;
  }
  const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
  if (end == g_advised_end.load(std::memory_order_relaxed)) return;
  const std::uintptr_t advised = g_advised_end.exchange(end);
  // A heap that shrank (trimmed) and grew again is new from its end on.
  if (end > advised) Advise(advised, end);
}

}  // namespace tessarin::heap
#endif

namespace tessarin {

bool HugePageAllocator() {
#ifdef TESSARIN_HEAP_HUGE_PAGES
  return heap::g_set_up && heap::g_huge_pages;
#else
  return false;
#endif
}

}  // namespace tessarin

#ifdef TESSARIN_HEAP_HUGE_PAGES
// Every C++ allocation passes here, so the heap's new part, or a block
// mapped on its own, is advised before it is written. Otherwise as the
// standard library's: a failed request calls the new handler or throws.
void* operator new(std::size_t size) {
  if (size == 0) size = 1;
  void* block = nullptr;
  while ((block = std::malloc(size)) == nullptr) {
    const std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) throw std::bad_alloc();
    handler();
  }
  tessarin::heap::AdviseNew(block, size);
  return block;
}

void* operator new[](std::size_t size) { return ::operator new(size); }
#endif
