#include "platform/fibers/fiber_stack.h"

#include <sys/mman.h>
#include <unistd.h>

#include <new>

namespace {

std::size_t PageSize()
{
    static const std::size_t size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

} // namespace

CFiberStack::CFiberStack(std::size_t usableBytes)
{
    const std::size_t page = PageSize();
    mUsableBytes = (usableBytes + page - 1) / page * page;
    mMappingBytes = mUsableBytes + page;
    void* mapping = mmap(nullptr, mMappingBytes, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (mapping == MAP_FAILED) throw std::bad_alloc();
    // Stacks grow down: the guard page sits at the lowest address.
    if (mprotect(mapping, page, PROT_NONE) != 0) {
        munmap(mapping, mMappingBytes);
        throw std::bad_alloc();
    }
    mMapping = mapping;
    mUsable = static_cast<char*>(mapping) + page;
}

CFiberStack::~CFiberStack()
{
    munmap(mMapping, mMappingBytes);
}
