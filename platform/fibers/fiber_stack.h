// A fiber's stack: anonymous memory with one inaccessible guard page below it,
// so running off the end faults at once instead of corrupting a neighbour.
#pragma once

#include <cstddef>

class CFiberStack {
public:
    // Throws std::bad_alloc when the memory cannot be mapped.
    explicit CFiberStack(std::size_t usableBytes);
    ~CFiberStack();
    CFiberStack(const CFiberStack&) = delete;
    CFiberStack& operator=(const CFiberStack&) = delete;

    // Lowest usable address (just above the guard page) and usable size.
    void* Bottom() const { return mUsable; }
    std::size_t Size() const { return mUsableBytes; }

private:
    void* mMapping = nullptr;
    std::size_t mMappingBytes = 0;
    void* mUsable = nullptr;
    std::size_t mUsableBytes = 0;
};
