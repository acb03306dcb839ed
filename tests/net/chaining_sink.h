// The engine's pattern for the service's tests: the completion of one
// request leads to the next, asked for from inside OnFinished, until `left`
// requests have been made.
#pragma once

#include <atomic>
#include <string>

#include "loopback_server.h"
#include "platform/net/transfer_service.h"
#include "test_support.h"

namespace nettest {

inline net::TransferRequest Get(const LoopbackHttpServer& server, const std::string& path)
{
    net::TransferRequest request;
    request.url = server.Url(path);
    return request;
}

class ChainingSink : public RecordingSink {
public:
    ChainingSink(net::TransferService& service, const LoopbackHttpServer& server, int left)
        : service_(service), server_(server), left_(left)
    {
    }
    void OnFinished(const net::TransferResult& result) override
    {
        if (result.Fetched()) ++fetched;
        if (--left_ > 0) {
            RecordingSink::body.clear();
            service_.Submit(Get(server_, "/next"), *this);
        } else {
            RecordingSink::OnFinished(result);
        }
    }
    std::atomic<int> fetched{0};

private:
    net::TransferService& service_;
    const LoopbackHttpServer& server_;
    int left_;
};

}  // namespace nettest
