#pragma once
// Heap bytes over a window: what malloc's arenas hold in use (all threads,
// mmapped blocks included) at the end of the window less what they held at
// its start. It counts every way into malloc: operator new, and also
// aligned_alloc, which Asio uses for its handlers.
#include <cstdint>

namespace bench {

class HeapWindow {
public:
    HeapWindow();
    // Net bytes allocated since construction.
    int64_t NetBytes() const;

private:
    int64_t m_start;
};

}  // namespace bench
