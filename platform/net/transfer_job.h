// Internal to platform/net: the state of one transfer while libcurl runs it,
// shared by the blocking path and the service. It sets up an easy handle,
// receives libcurl's callbacks, forwards them to the sink and turns the end
// of the transfer into a TransferResult.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

#include "platform/net/transfer_request.h"
#include "platform/net/transfer_result.h"
#include "platform/net/transfer_sink.h"

namespace net::detail {

class TransferJob {
public:
    // `cancel` (may be null) is polled from libcurl's progress callback.
    TransferJob(TransferRequest request, TransferSink& sink, const std::atomic<bool>* cancel);
    ~TransferJob();

    TransferJob(const TransferJob&) = delete;
    TransferJob& operator=(const TransferJob&) = delete;

    TransferSink& Sink() { return sink_; }
    bool IsFtp() const { return isFtp_; }

    // Why the request must not be sent, or empty. Decided without any
    // network activity.
    std::string Refusal() const;

    // Sets every option of `easy` (a fresh or reset handle) for this job.
    // False with `error` set when libcurl refuses an option.
    bool Configure(CURL* easy, std::string& error);

    // While paused nothing is read and the inactivity clock stands still.
    void SetPaused(bool paused);
    // Tells the sink that this turn's calls are made (OnCallsDone), if any
    // were.
    void EndTurn();

    TransferResult Finish(CURLcode code);
    TransferResult FinishAborted();
    // Why a transfer that got no response failed, for a person to read.
    std::string FailureText(CURLcode code) const;
    TransferResult FinishFailed(std::string errorText);

private:
    enum class StopReason { kNone, kCancelled, kStalled, kTooSlow, kTooLarge, kSinkFailed };

    static size_t HeaderCallback(char* data, size_t size, size_t count, void* user);
    static size_t BodyCallback(char* data, size_t size, size_t count, void* user);
    static int ProgressCallback(void* user, curl_off_t downloadTotal, curl_off_t downloadNow,
                                curl_off_t uploadTotal, curl_off_t uploadNow);

    size_t TakeHeaderLine(const char* data, size_t size);
    size_t TakeBody(const char* data, size_t size);
    int CheckProgress(curl_off_t uploadNow);
    void MarkActivity() { lastActivity_ = std::chrono::steady_clock::now(); }
    void StartRateWindow(std::chrono::steady_clock::time_point now);
    bool CancelRequested() const;
    void NoteExpectedSize();
    TransferResult BaseResult();

    // Calls the sink; an exception becomes kSinkFailed and false.
    template <class Call>
    bool CallSink(Call&& call);

    TransferRequest request_;
    TransferSink& sink_;
    const std::atomic<bool>* cancel_;
    bool isFtp_ = false;
    CURL* easy_ = nullptr;
    curl_slist* headerList_ = nullptr;
    char errorBuffer_[CURL_ERROR_SIZE] = {};

    std::string headerBlock_;  // the block being received
    std::string rawHeader_;    // the final block
    bool headerDone_ = false;
    int statusCode_ = 0;
    std::uint64_t received_ = 0;
    std::int64_t expected_ = -1;
    bool expectedKnown_ = false;

    bool paused_ = false;
    bool calledThisTurn_ = false;
    curl_off_t lastUploadNow_ = 0;
    std::chrono::steady_clock::time_point lastActivity_;
    // Bytes moved since the start of the current stall time-out window.
    std::chrono::steady_clock::time_point windowStart_;
    std::uint64_t windowBytes_ = 0;
    StopReason stop_ = StopReason::kNone;
    std::string sinkError_;
};

}  // namespace net::detail
