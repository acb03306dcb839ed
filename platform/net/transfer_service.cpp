#include "platform/net/transfer_service.h"

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>
#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/net/curl_runtime.h"
#include "platform/net/transfer_job.h"

namespace net {

// One driver at a time owns the multi handle and every running transfer: the
// service thread, or the host while it takes a turn or waits. Other threads
// only queue commands and wake the driver. The service thread sleeps in
// curl_multi_poll (or, while a host drives, on a condition), so an idle
// service costs nothing and a command is seen at once.
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

    void AttachHost(std::function<void()> wake);
    void DetachHost();
    bool HostTurn(HostWatch* watch);
    bool HostWait(int milliseconds, const std::function<bool()>& woken, bool whileRunning);
    void WakeHost();
    void HandOver();

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
    bool ServiceMayDrive() const { return stopping_ || !hosted_ || handedOver_; }
    bool OnHostThread() const { return hosted_ && std::this_thread::get_id() == hostThread_; }
    bool BeginHostTurn(std::vector<Command>& batch);
    void EndHostTurn();
    bool TurnWhileCommands(std::vector<Command>& batch);
    void Turn(std::vector<Command>& batch);
    void Apply(Command& command);
    void Start(TransferHandle handle, std::unique_ptr<detail::TransferJob> job);
    void CollectFinished();
    void Detach(Running& running);
    void Report(detail::TransferJob& job, const TransferResult& result);
    void AbortEverything(std::vector<Command>& unstarted);
    int WaitLimit() const;
    void Drive();
    void FillWatch(HostWatch& watch) const;
    static int OnSocket(CURL* easy, curl_socket_t fd, int what, void* self, void* socketData);
    static int OnTimer(CURLM* multi, long milliseconds, void* self);

    CURLM* multi_ = nullptr;
    std::atomic<TransferHandle> nextHandle_{1};

    std::mutex mutex_;
    std::vector<Command> commands_;
    bool stopping_ = false;
    // The host: set and cleared by the host thread.
    bool hosted_ = false;
    std::thread::id hostThread_;
    std::function<void()> wakeHost_;
    bool handedOver_ = false;  // set by the host, cleared by the service thread
    bool hostDriving_ = false;
    bool serviceDriving_ = false;
    std::condition_variable serviceMayDrive_;
    std::condition_variable serviceParked_;

    // The driver only.
    std::unordered_map<TransferHandle, Running> running_;
    int runningFtp_ = 0;
    // What libcurl waits for, kept for a host's event loop.
    std::unordered_map<curl_socket_t, int> sockets_;
    std::optional<std::chrono::steady_clock::time_point> timerDue_;
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

// A host's turn goes on while its reports queue commands, this many times at
// most before it lets its loop run.
constexpr int kMostTurnsInARow = 8;

}  // namespace

TransferService::Worker::Worker()
{
    detail::EnsureCurlReady();
    multi_ = curl_multi_init();
    if (multi_ == nullptr) std::abort();
    curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &Worker::OnSocket);
    curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &Worker::OnTimer);
    curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
    thread_ = std::thread([this] { Run(); });
}

TransferService::Worker::~Worker()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    serviceMayDrive_.notify_one();
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

// Anyone else's commands wake the driver.
void TransferService::Worker::Queue(Command command)
{
    std::function<void()> wakeHost;
    bool fromHost = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        commands_.push_back(std::move(command));
        if (!stopping_ && hosted_ && !handedOver_) {
            fromHost = std::this_thread::get_id() == hostThread_;
            // The host's own command inside a turn is applied by that turn.
            if (fromHost && hostDriving_) return;
            wakeHost = wakeHost_;
        }
    }
    // The host is not waiting in the service when it queues; its loop, which
    // may not turn again soon, is told.
    if (!fromHost) curl_multi_wakeup(multi_);
    if (wakeHost) wakeHost();
}

void TransferService::Worker::Run()
{
    std::vector<Command> batch;
    for (;;) {
        bool stopping = false;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            serviceDriving_ = false;
            serviceParked_.notify_all();
            serviceMayDrive_.wait(lock, [this] { return ServiceMayDrive() && !hostDriving_; });
            serviceDriving_ = true;
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
        Turn(batch);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            // A handed-over drive goes back to the host as soon as nothing
            // is left to do.
            if (handedOver_ && running_.empty() && commands_.empty()) handedOver_ = false;
            if (!ServiceMayDrive()) continue;
        }
        curl_multi_poll(multi_, nullptr, 0, WaitLimit(), nullptr);
    }
}

void TransferService::Worker::Turn(std::vector<Command>& batch)
{
    for (Command& command : batch) Apply(command);
    batch.clear();
    Drive();
    CollectFinished();
    for (auto& [handle, running] : running_) running.job->EndTurn();
}

void TransferService::Worker::AttachHost(std::function<void()> wake)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        hosted_ = true;
        hostThread_ = std::this_thread::get_id();
        wakeHost_ = std::move(wake);
    }
    // The service thread lets go at the end of its turn.
    curl_multi_wakeup(multi_);
}

void TransferService::Worker::DetachHost()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!OnHostThread()) return;
        hosted_ = false;
        wakeHost_ = nullptr;
    }
    serviceMayDrive_.notify_one();
}

bool TransferService::Worker::BeginHostTurn(std::vector<Command>& batch)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (!OnHostThread() || stopping_ || handedOver_ || hostDriving_) return false;
    if (serviceDriving_) {
        // The service thread was driving when the host came; it lets go at
        // the end of its turn, leaving what runs to the host.
        lock.unlock();
        curl_multi_wakeup(multi_);
        lock.lock();
        serviceParked_.wait(lock, [this] { return !serviceDriving_ || stopping_; });
        if (stopping_) return false;
    }
    hostDriving_ = true;
    batch.swap(commands_);
    return true;
}

// Every transfer, as curl_multi_perform would, and the socket and timer
// callbacks told of the changes, which curl_multi_perform does not do.
void TransferService::Worker::Drive()
{
    int stillRunning = 0;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    curl_multi_socket_all(multi_, &stillRunning);
#pragma GCC diagnostic pop
}

int TransferService::Worker::OnSocket(CURL*, curl_socket_t fd, int what, void* self, void*)
{
    auto& sockets = static_cast<Worker*>(self)->sockets_;
    if (what == CURL_POLL_REMOVE) sockets.erase(fd);
    else sockets[fd] = what;
    return 0;
}

int TransferService::Worker::OnTimer(CURLM*, long milliseconds, void* self)
{
    auto& due = static_cast<Worker*>(self)->timerDue_;
    if (milliseconds < 0) due.reset();
    else due = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    return 0;
}

void TransferService::Worker::FillWatch(HostWatch& watch) const
{
    watch.sockets.clear();
    for (const auto& [fd, what] : sockets_)
        watch.sockets.push_back({fd, (what & CURL_POLL_IN) != 0, (what & CURL_POLL_OUT) != 0});
    watch.waitMilliseconds = -1;
    if (running_.empty()) return;
    long long wait = WaitLimit();
    if (timerDue_) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(*timerDue_ - std::chrono::steady_clock::now());
        wait = std::clamp<long long>(left.count(), 0, wait);
    }
    watch.waitMilliseconds = static_cast<int>(wait);
}

bool TransferService::Worker::HostTurn(HostWatch* watch)
{
    std::vector<Command> batch;
    if (!BeginHostTurn(batch)) return false;
    const bool commandsLeft = TurnWhileCommands(batch);
    if (watch != nullptr) {
        FillWatch(*watch);
        if (commandsLeft) watch->waitMilliseconds = 0;
    }
    EndHostTurn();
    return true;
}

void TransferService::Worker::EndHostTurn()
{
    std::lock_guard<std::mutex> lock(mutex_);
    hostDriving_ = false;
}

// The host's own commands wake nobody, and a report may queue one (the next
// request of a redirection): they are applied before the host waits.
bool TransferService::Worker::TurnWhileCommands(std::vector<Command>& batch)
{
    for (int round = 0;; ++round) {
        Turn(batch);
        std::lock_guard<std::mutex> lock(mutex_);
        if (commands_.empty()) return false;
        if (round == kMostTurnsInARow) return true;
        batch.swap(commands_);
    }
}

bool TransferService::Worker::HostWait(int milliseconds, const std::function<bool()>& woken, bool whileRunning)
{
    std::vector<Command> batch;
    if (!BeginHostTurn(batch)) return false;
    const bool commandsLeft = TurnWhileCommands(batch);
    if (whileRunning && !commandsLeft && running_.empty()) {
        EndHostTurn();
        return false;
    }
    // A report in that turn may have woken the host already.
    if (!commandsLeft && !woken())
        curl_multi_poll(multi_, nullptr, 0, std::clamp(milliseconds, 0, WaitLimit()), nullptr);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        batch.swap(commands_);
    }
    TurnWhileCommands(batch);
    EndHostTurn();
    return true;
}

void TransferService::Worker::WakeHost()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!hosted_ || std::this_thread::get_id() == hostThread_) return;
    }
    curl_multi_wakeup(multi_);
}

void TransferService::Worker::HandOver()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!OnHostThread() || hostDriving_) return;
        // A service thread still in a turn it began before the host came
        // keeps the drive, with what the host queued meanwhile and no wake of
        // its own. Otherwise nobody drives, and the transfers can be counted.
        if (!serviceDriving_ && running_.empty() && commands_.empty()) return;
        handedOver_ = true;
    }
    serviceMayDrive_.notify_one();
    curl_multi_wakeup(multi_);
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

void TransferService::AttachHost(std::function<void()> wake)
{
    worker_->AttachHost(std::move(wake));
}

void TransferService::DetachHost()
{
    worker_->DetachHost();
}

bool TransferService::HostTurn(HostWatch* watch)
{
    return worker_->HostTurn(watch);
}

bool TransferService::HostWait(int milliseconds, const std::function<bool()>& woken)
{
    return worker_->HostWait(milliseconds, woken, false);
}

bool TransferService::HostWaitWhileRunning(int milliseconds, const std::function<bool()>& woken)
{
    return worker_->HostWait(milliseconds, woken, true);
}

void TransferService::WakeHost()
{
    worker_->WakeHost();
}

void TransferService::HandOver()
{
    worker_->HandOver();
}

}  // namespace net
