#pragma once

namespace kestrana {

// A list build or sort allocates and frees one short text per entry; without this, the C
// library hands the top of the heap back to the kernel over and over and the kernel zeroes the
// same pages again, which costs more than the build itself on large registers.
void keepFreedMemory();

} // namespace kestrana
