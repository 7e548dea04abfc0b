#include "heap_counter.h"

#include <malloc.h>

namespace bench {

namespace {
int64_t InUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<int64_t>(info.uordblks + info.hblkhd);
}
}  // namespace

HeapWindow::HeapWindow() : m_start(InUse()) {}

int64_t HeapWindow::NetBytes() const { return InUse() - m_start; }

}  // namespace bench
