// Recording windows and a recording grab thread for the transfer tests, and
// the loop that runs a fetch on a cooperative thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "engine/config/configuration.h"
#include "engine/cookies/cookie_store.h"
#include "engine/owner/window_interfaces.h"
#include "engine/transfer/grab_thread.h"
#include "foundation/messaging/broadcaster.h"

namespace transfertest {

// What a grab showed in its window, call by call.
class CRecordingGrabber : public CGrabberInterface {
public:
    CRecordingGrabber();

    const CConfiguration* GetConfiguration() const override { return &configuration; }
    CCookieStore* GetRunningCookieStore() override { return crawlRunning ? &cookies : nullptr; }
    std::string GetStartHost() const override { return crawlRunning ? startHost : std::string(); }

    void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void SetTransferName(const std::string& text) override { names.push_back(text); }
    void SetTransferSize(const std::string& text) override { sizes.push_back(text); }
    void SetTransferReceived(const std::string& text) override { received.push_back(text); }
    std::int32_t GetProgressMin() const override { return 0; }
    std::int32_t GetProgressMax() const override { return 1000; }
    std::int32_t GetProgressValue() const override { return progressValue; }
    void SetProgressValue(std::int32_t value) override { progressValue = value; progressValues.push_back(value); }
    CBroadcaster* GetSkipButton() override { return &skipButton; }
    void EnableSkipButton(bool enabled) override { skipEnabled.push_back(enabled); }
    void LogText(const std::string& text) override { log.push_back(text); }
    void SetNetworkError(std::int32_t code) override { networkErrors.push_back(code); }

    CConfiguration configuration;
    CCookieStore cookies;
    bool crawlRunning = false;
    std::string startHost;
    CBroadcaster skipButton;

    std::vector<std::string> statusTexts;
    std::vector<std::string> names;
    std::vector<std::string> sizes;
    std::vector<std::string> received;
    std::int32_t progressValue = 0;
    std::vector<std::int32_t> progressValues;
    std::vector<bool> skipEnabled;
    std::vector<std::string> log;
    std::vector<std::int32_t> networkErrors;
};

class CRecordingQuickGrabber : public CQuickerGrabberInterface {
public:
    struct SProgress {
        std::uint64_t received;
        std::uint64_t expected;
        bool finished;
    };

    const CConfiguration* GetConfiguration() const override { return &configuration; }
    CCookieStore* GetRunningCookieStore() override { return crawlRunning ? &cookies : nullptr; }
    std::string GetStartHost() const override { return crawlRunning ? startHost : std::string(); }
    void SetTaskText(const std::string& text) override { tasks.push_back(text); }
    void SetMessageText(const std::string& text) override { messages.push_back(text); }
    void PostTransferProgress(std::uint64_t receivedBytes, std::uint64_t expected, std::uint64_t,
                              bool finished) override;
    std::vector<SProgress> Progress() const;

    CConfiguration configuration;
    CCookieStore cookies;
    bool crawlRunning = false;
    std::string startHost;
    std::vector<std::string> tasks;
    std::vector<std::string> messages;

private:
    mutable std::mutex mMutex;
    std::vector<SProgress> mProgress;
};

// One message as a grab thread heard it: its code and its payload as text
// ("bytes/size/name" for progress, the number for an error code).
struct SHeardMessage {
    MessageT code;
    std::string text;
};

std::string CodeText(MessageT code);
// The codes alone, in order.
std::vector<std::string> Codes(const std::vector<SHeardMessage>& messages);
bool Heard(const std::vector<SHeardMessage>& messages, MessageT code, const std::string& text = {});

// A grab thread that writes down every message it hears, then handles it.
class CRecordingGrabThread : public CGrabThread {
public:
    CRecordingGrabThread(CURL& url, std::vector<SHeardMessage>& heard, std::string user = {},
                         std::string password = {});
    void ListenToMessage(MessageT message, void* ioParam) override;
    // Called after each message is handled.
    std::function<void(CRecordingGrabThread&, MessageT)> afterMessage;

private:
    std::vector<SHeardMessage>& mHeard;
};

// Runs `body` on a cooperative thread and drives the scheduler until it
// ends and every other thread is gone; false when that takes longer than
// `limit`.
bool RunOnThread(const std::function<void()>& body, std::chrono::milliseconds limit = std::chrono::seconds(30));
// Drives the scheduler until no thread is left; false after `limit`.
bool DrainThreads(std::chrono::milliseconds limit = std::chrono::seconds(10));

// Seconds since `start`.
double SecondsSince(std::chrono::steady_clock::time_point start);

}  // namespace transfertest
