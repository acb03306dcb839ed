#include "platform/net/blocking_transfer.h"

#include "platform/net/curl_runtime.h"
#include "platform/net/transfer_job.h"

namespace net {

TransferResult RunBlocking(const TransferRequest& request, TransferSink& sink, const std::atomic<bool>* cancel)
{
    detail::TransferJob job(request, sink, cancel);
    TransferResult result;
    if (std::string refusal = job.Refusal(); !refusal.empty()) {
        result = job.FinishFailed(std::move(refusal));
    } else {
        CURL* easy = detail::TakeBlockingHandle();
        std::string error;
        if (easy == nullptr) {
            result = job.FinishFailed("libcurl could not make a handle");
        } else if (!job.Configure(easy, error)) {
            result = job.FinishFailed(std::move(error));
        } else {
            result = job.Finish(curl_easy_perform(easy));
        }
        detail::ReturnBlockingHandle(easy);
    }
    sink.OnFinished(result);
    return result;
}

}  // namespace net
