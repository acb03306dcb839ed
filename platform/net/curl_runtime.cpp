#include "platform/net/curl_runtime.h"

#include <cstdlib>
#include <mutex>
#include <vector>

namespace net::detail {
namespace {

// Idle blocking handles beyond this are closed with their connections.
constexpr std::size_t kMaxIdleBlockingHandles = 8;

struct CurlRuntime {
    std::mutex shareLocks[CURL_LOCK_DATA_LAST];
    CURLSH* share = nullptr;
    std::mutex poolMutex;
    std::vector<CURL*> idleHandles;
};

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void* user)
{
    static_cast<CurlRuntime*>(user)->shareLocks[data].lock();
}

void UnlockShare(CURL*, curl_lock_data data, void* user)
{
    static_cast<CurlRuntime*>(user)->shareLocks[data].unlock();
}

CurlRuntime& Runtime()
{
    // Never destroyed: handles may still be in use by threads that outlive
    // static destruction, and the process is ending anyway.
    static CurlRuntime* runtime = [] {
        if (curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK) std::abort();
        auto* made = new CurlRuntime;
        made->share = curl_share_init();
        if (made->share == nullptr) std::abort();
        curl_share_setopt(made->share, CURLSHOPT_LOCKFUNC, LockShare);
        curl_share_setopt(made->share, CURLSHOPT_UNLOCKFUNC, UnlockShare);
        curl_share_setopt(made->share, CURLSHOPT_USERDATA, made);
        curl_share_setopt(made->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
        curl_share_setopt(made->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
        return made;
    }();
    return *runtime;
}

}  // namespace

void EnsureCurlReady()
{
    Runtime();
}

CURLSH* SharedCaches()
{
    return Runtime().share;
}

CURL* TakeBlockingHandle()
{
    CurlRuntime& runtime = Runtime();
    CURL* easy = nullptr;
    {
        std::lock_guard<std::mutex> lock(runtime.poolMutex);
        if (!runtime.idleHandles.empty()) {
            easy = runtime.idleHandles.back();
            runtime.idleHandles.pop_back();
        }
    }
    return easy != nullptr ? easy : curl_easy_init();
}

void ReturnBlockingHandle(CURL* easy)
{
    if (easy == nullptr) return;
    // Drops every pointer into the finished transfer; keeps live connections.
    curl_easy_reset(easy);
    CurlRuntime& runtime = Runtime();
    {
        std::lock_guard<std::mutex> lock(runtime.poolMutex);
        if (runtime.idleHandles.size() < kMaxIdleBlockingHandles) {
            runtime.idleHandles.push_back(easy);
            return;
        }
    }
    curl_easy_cleanup(easy);
}

}  // namespace net::detail
