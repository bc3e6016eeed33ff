// The programs' memory allocator. Linking the allocator library into a
// program backs its large arrays (the alignment's texts, its gapless tables,
// the view) with 2 MB transparent huge pages where the system offers them on
// request, so that the kernel supplies one page where it would otherwise
// supply 512 fresh 4 KB pages. Builds with sanitizers keep the system
// allocator, which the sanitizers replace themselves.
#ifndef TESSARIN_APP_ALLOCATOR_H_
#define TESSARIN_APP_ALLOCATOR_H_

namespace tessarin {

// Whether this program's allocator backs large arrays with huge pages.
bool HugePageAllocator();

}  // namespace tessarin

#endif  // TESSARIN_APP_ALLOCATOR_H_
