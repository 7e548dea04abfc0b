#pragma once
// Heap bytes counted over a window. The bench replaces the global operator
// new and delete; while a window is open they add what any thread allocates
// and subtract what it frees (malloc's usable sizes), so the net figure is
// what stayed allocated. Outside a window counting costs one relaxed load.
#include <cstdint>

namespace bench {

struct HeapCount {
    int64_t netBytes = 0;
    int64_t allocations = 0;
};

class HeapWindow {
public:
    HeapWindow();
    ~HeapWindow();
    // Stops counting and returns what was counted since construction.
    HeapCount Close();

    HeapWindow(const HeapWindow&) = delete;
    HeapWindow& operator=(const HeapWindow&) = delete;

private:
    bool m_open = true;
};

}  // namespace bench
