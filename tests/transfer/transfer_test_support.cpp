#include "tests/transfer/transfer_test_support.h"

#include <algorithm>
#include <memory>

#include "engine/http/response_header.h"
#include "engine/transfer/transfer_messages.h"
#include "foundation/threads/thread_scheduler.h"
#include "tests/threads/lambda_thread.h"

namespace transfertest {

CRecordingGrabber::CRecordingGrabber()
{
    ownConfiguration.mGeneralOptions.timeout = 5;
    configuration = &ownConfiguration;
    crawlRunning = false;
    startHost.clear();
}

std::string CodeText(MessageT code)
{
    return FourCharCodeText(code);
}

std::vector<std::string> Codes(const std::vector<SHeardMessage>& messages)
{
    std::vector<std::string> codes;
    for (const SHeardMessage& message : messages) codes.push_back(CodeText(message.code));
    return codes;
}

bool Heard(const std::vector<SHeardMessage>& messages, MessageT code, const std::string& text)
{
    return std::any_of(messages.begin(), messages.end(), [&](const SHeardMessage& message) {
        return message.code == code && (text.empty() || message.text == text);
    });
}

CRecordingGrabThread::CRecordingGrabThread(CURL& url, std::vector<SHeardMessage>& heard, std::string user,
                                           std::string password)
    : CGrabThread(url, "TransferTest/1.0", std::move(user), std::move(password)), mHeard(heard)
{
}

void CRecordingGrabThread::ListenToMessage(MessageT message, void* ioParam)
{
    std::string text;
    if (message == kMsgStatusText || message == kMsgElapsedTime || message == kMsgResourceInfo) {
        text = *static_cast<const std::string*>(ioParam);
    } else if (message == kMsgDataAvailable || message == kMsgProgress) {
        const auto& progress = *static_cast<const SDownloadProgress*>(ioParam);
        text = std::to_string(progress.bytes) + "/" + std::to_string(progress.size) + "/" + progress.name;
    } else if (message == kMsgNetworkError) {
        text = std::to_string(*static_cast<const std::int32_t*>(ioParam));
    } else if (message == kMsgResponseHeader) {
        text = static_cast<const CResponseHeader*>(ioParam)->mStatusLine;
    }
    mHeard.push_back({message, text});
    CGrabThread::ListenToMessage(message, ioParam);
    if (afterMessage) afterMessage(*this, message);
}

bool RunOnThread(const std::function<void()>& body, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    CLambdaThread thread([&body](CLambdaThread&) { body(); });
    thread.Resume();
    const bool ended = CThreadScheduler::RunUntil([&] { return thread.IsFinished(); }, deadline);
    if (!ended) return false;
    // Threads a test keeps alive (kKeep) count once they have finished.
    return CThreadScheduler::RunUntil(
        [] {
            for (const CThread* live : CThread::LiveThreads())
                if (!live->IsFinished()) return false;
            return true;
        },
        deadline);
}

bool DrainThreads(std::chrono::milliseconds limit)
{
    return CThreadScheduler::RunUntil([] { return CThread::LiveThreads().IsEmpty(); },
                                      std::chrono::steady_clock::now() + limit);
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace transfertest
