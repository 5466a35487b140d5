#include "platform/MemoryTuning.h"

#include <malloc.h>

namespace kestrana {

void keepFreedMemory() {
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    mallopt(M_TOP_PAD, 16 * 1024 * 1024);
}

} // namespace kestrana
