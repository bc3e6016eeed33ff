// The programs' memory allocator. Linking the allocator library into a
// program makes its heap keep and reuse freed blocks below 32 MB (larger
// blocks are mapped on their own and returned when freed), makes every
// thread allocate from that one heap, and backs the
// heap and its large arrays (the alignment's texts, the view) with 2 MB
// transparent huge pages where the system offers them on request (madvise
// mode), so that the kernel supplies one page where it would otherwise
// supply 512 fresh 4 KB pages. On a virtual machine whose host takes back
// free memory (a balloon with free page reporting) the heap keeps 4 KB
// pages: every huge page there comes fresh from the host and costs more
// than the small pages it replaces. Builds with sanitizers keep the system
// allocator as it is, since the sanitizers replace it themselves.
#ifndef TESSARIN_APP_ALLOCATOR_H_
#define TESSARIN_APP_ALLOCATOR_H_

namespace tessarin {

// Whether this program's heap asks for huge pages.
bool HugePageAllocator();

}  // namespace tessarin

#endif  // TESSARIN_APP_ALLOCATOR_H_
