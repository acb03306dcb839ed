// Hands the events of one download from the transfer service's OS thread to
// the download thread's fiber: the service's callbacks store them under a
// mutex and signal a wake token; the fiber takes everything stored so far in
// one go. No event is lost and nothing polls.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "foundation/threads/wake_token.h"
#include "platform/net/transfer_sink.h"

class CDownloadSink : public net::TransferSink {
public:
    // What arrived since the last Take.
    struct SEvents {
        bool headerArrived = false;
        std::string rawHeader;
        std::string body;            // new body bytes
        std::int64_t expected = -1;  // expected body size, -1 unknown
        bool finished = false;
        bool heldBack = false;       // the transfer was paused until these are taken
        net::TransferResult result;  // valid when finished
    };

    // Signalled whenever something arrives.
    const CWakeToken& Token() const { return mToken; }

    // Everything stored since the last call; `reuse` gives back the body
    // buffer of the previous events so its memory serves again.
    SEvents Take(std::string&& reuse = {});
    [[nodiscard]] bool Finished() const;
    // Ready for the next transfer (after the previous one finished).
    void Reset();

    void OnResponseHeader(int statusCode, std::string_view rawHeader) override;
    [[nodiscard]] bool OnBodyBytes(const char* data, std::size_t size) override;
    void OnProgress(std::uint64_t received, std::int64_t expected) override;
    // Headers and bytes wake the fiber once per turn of the service: a page
    // that came whole wakes it once, with its end.
    void OnCallsDone() override;
    // More than kMaxPendingBytes wait to be taken: the transfer pauses until
    // the download thread has taken them and resumes it.
    [[nodiscard]] bool PauseAfterBody() override;

    static constexpr std::size_t kMaxPendingBytes = 1u << 20;
    void OnFinished(const net::TransferResult& result) override;

private:
    mutable std::mutex mMutex;
    SEvents mPending;  // guarded by mMutex
    bool mFinished = false;  // guarded by mMutex; stays set across Take
    CWakeToken mToken;
};
