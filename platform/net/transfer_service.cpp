#include "platform/net/transfer_service.h"

#include <curl/curl.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/net/curl_runtime.h"
#include "platform/net/transfer_job.h"

namespace net {

// The service thread owns the multi handle and every running transfer; other
// threads only queue commands and wake it. It sleeps in curl_multi_poll, so
// an idle service costs nothing and a command is seen at once.
class TransferService::Worker {
public:
    Worker();
    ~Worker();

    TransferHandle Submit(TransferRequest request, TransferSink& sink);
    void Cancel(TransferHandle handle) { Queue({CommandKind::kCancel, handle, nullptr}); }
    void Pause(TransferHandle handle, bool paused)
    {
        Queue({paused ? CommandKind::kPause : CommandKind::kResume, handle, nullptr});
    }

private:
    enum class CommandKind { kStart, kCancel, kPause, kResume };
    struct Command {
        CommandKind kind;
        TransferHandle handle;
        std::unique_ptr<detail::TransferJob> job;
    };
    struct Running {
        std::unique_ptr<detail::TransferJob> job;
        CURL* easy = nullptr;
    };

    void Queue(Command command);
    void Run();
    void Apply(Command& command);
    void Start(TransferHandle handle, std::unique_ptr<detail::TransferJob> job);
    void CollectFinished();
    void Detach(Running& running);
    void Report(detail::TransferJob& job, const TransferResult& result);
    void AbortEverything(std::vector<Command>& unstarted);
    int WaitLimit() const;

    CURLM* multi_ = nullptr;
    std::atomic<TransferHandle> nextHandle_{1};

    std::mutex mutex_;
    std::vector<Command> commands_;
    bool stopping_ = false;

    // Service thread only.
    std::unordered_map<TransferHandle, Running> running_;
    int runningFtp_ = 0;
    std::vector<CURL*> idleHandles_;

    std::thread thread_;  // last: starts after everything above exists
};

namespace {

// How long the service sleeps when nothing wakes it. libcurl shortens the
// wait whenever one of its timers is due, and every command wakes it at once.
constexpr int kIdleWaitMilliseconds = 60 * 1000;
// While transfers run, libcurl is revisited at least this often, as its own
// blocking loop does: a missed wakeup inside libcurl then costs a moment,
// not a time-out.
constexpr int kBusyWaitMilliseconds = 1000;
// libcurl 7.88 can set up an FTP data connection without arming a timer or
// a socket wait, so FTP transfers are revisited more often.
constexpr int kFtpWaitMilliseconds = 20;

constexpr std::size_t kMaxIdleHandles = 16;

}  // namespace

TransferService::Worker::Worker()
{
    detail::EnsureCurlReady();
    multi_ = curl_multi_init();
    if (multi_ == nullptr) std::abort();
    thread_ = std::thread([this] { Run(); });
}

TransferService::Worker::~Worker()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    curl_multi_wakeup(multi_);
    thread_.join();
    curl_multi_cleanup(multi_);
    for (CURL* easy : idleHandles_) curl_easy_cleanup(easy);
}

TransferHandle TransferService::Worker::Submit(TransferRequest request, TransferSink& sink)
{
    const TransferHandle handle = nextHandle_.fetch_add(1, std::memory_order_relaxed);
    Queue({CommandKind::kStart, handle, std::make_unique<detail::TransferJob>(std::move(request), sink, nullptr)});
    return handle;
}

void TransferService::Worker::Queue(Command command)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        commands_.push_back(std::move(command));
    }
    curl_multi_wakeup(multi_);
}

void TransferService::Worker::Run()
{
    std::vector<Command> batch;
    for (;;) {
        bool stopping = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            batch.swap(commands_);
            stopping = stopping_;
        }
        if (stopping) {
            AbortEverything(batch);
            // A sink may have submitted more while being told; end those too.
            std::lock_guard<std::mutex> lock(mutex_);
            if (commands_.empty()) return;
            continue;
        }
        for (Command& command : batch) Apply(command);
        batch.clear();

        int stillRunning = 0;
        curl_multi_perform(multi_, &stillRunning);
        CollectFinished();
        for (auto& [handle, running] : running_) running.job->EndTurn();
        curl_multi_poll(multi_, nullptr, 0, WaitLimit(), nullptr);
    }
}

void TransferService::Worker::Apply(Command& command)
{
    if (command.kind == CommandKind::kStart) {
        Start(command.handle, std::move(command.job));
        return;
    }
    const auto found = running_.find(command.handle);
    if (found == running_.end()) return;  // already finished
    Running& running = found->second;
    switch (command.kind) {
    case CommandKind::kCancel: {
        Running ended = std::move(running);
        running_.erase(found);
        const TransferResult result = ended.job->FinishAborted();
        Detach(ended);
        Report(*ended.job, result);
        break;
    }
    case CommandKind::kPause:
        running.job->SetPaused(true);
        curl_easy_pause(running.easy, CURLPAUSE_ALL);
        break;
    case CommandKind::kResume:
        running.job->SetPaused(false);
        curl_easy_pause(running.easy, CURLPAUSE_CONT);
        break;
    case CommandKind::kStart:
        break;
    }
}

void TransferService::Worker::Start(TransferHandle handle, std::unique_ptr<detail::TransferJob> job)
{
    if (std::string refusal = job->Refusal(); !refusal.empty()) {
        Report(*job, job->FinishFailed(std::move(refusal)));
        return;
    }
    CURL* easy = nullptr;
    if (!idleHandles_.empty()) {
        easy = idleHandles_.back();
        idleHandles_.pop_back();
    } else {
        easy = curl_easy_init();
    }
    std::string error;
    if (easy == nullptr) {
        Report(*job, job->FinishFailed("libcurl could not make a handle"));
        return;
    }
    if (!job->Configure(easy, error) ||
        curl_easy_setopt(easy, CURLOPT_PRIVATE, reinterpret_cast<void*>(static_cast<std::uintptr_t>(handle))) !=
            CURLE_OK ||
        curl_multi_add_handle(multi_, easy) != CURLM_OK) {
        curl_easy_reset(easy);
        idleHandles_.push_back(easy);
        Report(*job, job->FinishFailed(error.empty() ? "libcurl could not start the transfer" : error));
        return;
    }
    if (job->IsFtp()) ++runningFtp_;
    running_.emplace(handle, Running{std::move(job), easy});
}

int TransferService::Worker::WaitLimit() const
{
    if (runningFtp_ > 0) return kFtpWaitMilliseconds;
    return running_.empty() ? kIdleWaitMilliseconds : kBusyWaitMilliseconds;
}

void TransferService::Worker::CollectFinished()
{
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
        if (message->msg != CURLMSG_DONE) continue;
        void* privateData = nullptr;
        curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &privateData);
        const auto handle = static_cast<TransferHandle>(reinterpret_cast<std::uintptr_t>(privateData));
        const CURLcode code = message->data.result;  // read before the message goes away
        const auto found = running_.find(handle);
        if (found == running_.end()) continue;
        Running ended = std::move(found->second);
        running_.erase(found);
        TransferResult result = ended.job->Finish(code);
        Detach(ended);
        Report(*ended.job, result);
    }
}

// Takes the handle out of the multi and keeps it for the next transfer; the
// multi keeps the connection.
void TransferService::Worker::Detach(Running& running)
{
    if (running.job->IsFtp()) --runningFtp_;
    curl_multi_remove_handle(multi_, running.easy);
    curl_easy_reset(running.easy);
    if (idleHandles_.size() < kMaxIdleHandles) idleHandles_.push_back(running.easy);
    else curl_easy_cleanup(running.easy);
    running.easy = nullptr;
}

void TransferService::Worker::Report(detail::TransferJob& job, const TransferResult& result)
{
    try {
        job.Sink().OnFinished(result);
    } catch (...) {
        // Nothing above the service thread could catch it.
    }
}

void TransferService::Worker::AbortEverything(std::vector<Command>& unstarted)
{
    for (Command& command : unstarted) {
        if (command.kind == CommandKind::kStart) Report(*command.job, command.job->FinishAborted());
    }
    unstarted.clear();
    while (!running_.empty()) {
        auto first = running_.begin();
        Running ended = std::move(first->second);
        running_.erase(first);
        const TransferResult result = ended.job->FinishAborted();
        Detach(ended);
        Report(*ended.job, result);
    }
}

TransferService::TransferService() : worker_(std::make_unique<Worker>()) {}

TransferService::~TransferService() = default;

TransferHandle TransferService::Submit(TransferRequest request, TransferSink& sink)
{
    return worker_->Submit(std::move(request), sink);
}

void TransferService::Cancel(TransferHandle handle)
{
    worker_->Cancel(handle);
}

void TransferService::Pause(TransferHandle handle, bool paused)
{
    worker_->Pause(handle, paused);
}

}  // namespace net
