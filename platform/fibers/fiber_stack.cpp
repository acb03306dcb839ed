#include "platform/fibers/fiber_stack.h"

#include <sys/mman.h>
#include <unistd.h>

#include <mutex>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define TIDEWELL_UNPOISON(address, size) __asan_unpoison_memory_region(address, size)
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/asan_interface.h>
#define TIDEWELL_UNPOISON(address, size) __asan_unpoison_memory_region(address, size)
#endif
#endif
#ifndef TIDEWELL_UNPOISON
#define TIDEWELL_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace {

std::size_t PageSize()
{
    static const std::size_t size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

// A few released stacks are kept for the next fiber: every unmap makes the
// kernel flush the address-space caches of every core, which dominated the
// cost of the two threads a download creates.
struct CachedMapping {
    void* mapping;
    std::size_t bytes;
};
constexpr std::size_t kCachedStacks = 8;
std::mutex gCacheMutex;
std::vector<CachedMapping>& Cache()
{
    static std::vector<CachedMapping>* cache = new std::vector<CachedMapping>();  // never destroyed: fibers may outlive statics
    return *cache;
}

void* TakeCachedMapping(std::size_t bytes)
{
    std::lock_guard<std::mutex> lock(gCacheMutex);
    auto& cache = Cache();
    for (auto it = cache.begin(); it != cache.end(); ++it) {
        if (it->bytes != bytes) continue;
        void* mapping = it->mapping;
        cache.erase(it);
        return mapping;
    }
    return nullptr;
}

bool KeepMapping(void* mapping, std::size_t bytes)
{
    std::lock_guard<std::mutex> lock(gCacheMutex);
    auto& cache = Cache();
    if (cache.size() >= kCachedStacks) return false;
    cache.push_back({mapping, bytes});
    return true;
}

} // namespace

CFiberStack::CFiberStack(std::size_t usableBytes)
{
    const std::size_t page = PageSize();
    mUsableBytes = (usableBytes + page - 1) / page * page;
    mMappingBytes = mUsableBytes + page;
    if (void* cached = TakeCachedMapping(mMappingBytes)) {
        mMapping = cached;
        mUsable = static_cast<char*>(cached) + page;
        // The previous fiber's frames may have left sanitizer poison behind.
        TIDEWELL_UNPOISON(mUsable, mUsableBytes);
        return;
    }
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
    if (!KeepMapping(mMapping, mMappingBytes)) munmap(mMapping, mMappingBytes);
}
