#include "platform/picture_memory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace torvel {

void KeepPictureMemoryForReuse() {
#if defined(__GLIBC__)
  // Pictures up to 32 MiB (a 4K cell is 24 MiB) come from the heap, where a freed one is taken
  // by the next of its size; up to 64 MiB freed at the heap's end stay there for it.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

}  // namespace torvel
