// Recording grabs and a recording grab thread for the transfer tests, and
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
#include "engine/owner/crawl_listener.h"
#include "tests/support/recording_listener.h"
#include "engine/transfer/grab_thread.h"
#include "foundation/messaging/broadcaster.h"

namespace transfertest {

// The grab a transfer serves, recording what the transfer told its
// listener; its configuration's time-out is 5 s, and its crawl does not run
// until a test says so.
class CRecordingGrabber : public testsupport::CTestCrawlOwner, public testsupport::CRecordingListener {
public:
    CRecordingGrabber();

    CConfiguration ownConfiguration;
};

using CRecordingQuickGrabber = CRecordingGrabber;

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
