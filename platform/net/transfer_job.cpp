#include "platform/net/transfer_job.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <utility>

#include "platform/net/curl_runtime.h"
#include "platform/net/request_checks.h"

namespace net::detail {
namespace {

// libcurl's own low-speed check is armed only for its side effect: it makes
// libcurl revisit the transfer every second, so the progress callback can
// apply our time-outs and cancel flag. Its limit is never reached.
constexpr long kUnreachableLowSpeedSeconds = 10L * 365 * 24 * 3600;

// FTP replies about the file itself are answers, not failures: they map to
// the HTTP status codes the crawl already understands.
int FtpReplyStatus(CURLcode code)
{
    switch (code) {
    case CURLE_REMOTE_FILE_NOT_FOUND: return 404;
    case CURLE_REMOTE_ACCESS_DENIED: return 403;
    case CURLE_LOGIN_DENIED: return 401;
    default: return 0;
    }
}

// "No route to host" reads "no route to host" inside a sentence.
std::string AsciiLowercasedFirst(std::string text)
{
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

}  // namespace

TransferJob::TransferJob(TransferRequest request, TransferSink& sink, const std::atomic<bool>* cancel)
    : request_(std::move(request)), sink_(sink), cancel_(cancel), isFtp_(IsFtpUrl(request_.url))
{
    MarkActivity();
}

TransferJob::~TransferJob()
{
    curl_slist_free_all(headerList_);
}

std::string TransferJob::Refusal() const
{
    return RequestRefusal(request_);
}

bool TransferJob::Configure(CURL* easy, std::string& error)
{
    easy_ = easy;
    errorBuffer_[0] = '\0';

    bool listMade = true;
    auto addHeader = [&](const char* line) {
        curl_slist* longer = curl_slist_append(headerList_, line);
        if (longer == nullptr) listMade = false;
        else headerList_ = longer;
    };
    for (const std::string& line : request_.headerLines) addHeader(line.c_str());
    // libcurl would add these on its own; the caller decides what is sent.
    if (!HasHeaderNamed(request_, "Accept")) addHeader("Accept:");
    if (request_.method == TransferMethod::kPost) {
        if (!HasHeaderNamed(request_, "Content-Type")) addHeader("Content-Type:");
        if (!HasHeaderNamed(request_, "Expect")) addHeader("Expect:");
    }
    if (!listMade) {
        error = "out of memory";
        return false;
    }

    CURLcode code = CURLE_OK;
    auto set = [&](CURLoption option, auto value) {
        if (code == CURLE_OK) code = curl_easy_setopt(easy, option, value);
    };
    set(CURLOPT_URL, request_.url.c_str());
#if LIBCURL_VERSION_NUM >= 0x075500
    set(CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
#else
    set(CURLOPT_PROTOCOLS, static_cast<long>(CURLPROTO_HTTP | CURLPROTO_HTTPS | CURLPROTO_FTP));
    set(CURLOPT_REDIR_PROTOCOLS, static_cast<long>(CURLPROTO_HTTP | CURLPROTO_HTTPS | CURLPROTO_FTP));
#endif
    // Redirects, cookies and logins are the crawl's own business.
    set(CURLOPT_FOLLOWLOCATION, 0L);
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_PROXY, "");  // no proxy picked up from the environment
    set(CURLOPT_SHARE, SharedCaches());
    // HTTP/1.1 keeps the header text exactly as the server sent it.
    set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    // The mirror saves the bytes the server sends.
    set(CURLOPT_HTTP_CONTENT_DECODING, 0L);
    set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    set(CURLOPT_ERRORBUFFER, errorBuffer_);
    set(CURLOPT_HEADERFUNCTION, &TransferJob::HeaderCallback);
    set(CURLOPT_HEADERDATA, static_cast<void*>(this));
    set(CURLOPT_WRITEFUNCTION, &TransferJob::BodyCallback);
    set(CURLOPT_WRITEDATA, static_cast<void*>(this));
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, &TransferJob::ProgressCallback);
    set(CURLOPT_XFERINFODATA, static_cast<void*>(this));
    set(CURLOPT_LOW_SPEED_LIMIT, 1L);
    set(CURLOPT_LOW_SPEED_TIME, kUnreachableLowSpeedSeconds);
    if (!request_.userAgent.empty()) set(CURLOPT_USERAGENT, request_.userAgent.c_str());
    if (headerList_ != nullptr) set(CURLOPT_HTTPHEADER, headerList_);
    if (request_.connectTimeoutSeconds > 0) {
        set(CURLOPT_CONNECTTIMEOUT, static_cast<long>(request_.connectTimeoutSeconds));
    }
    if (request_.stallTimeoutSeconds > 0 && isFtp_) {
        // A silent control connection; one second later than our own check.
        set(CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(request_.stallTimeoutSeconds) + 1);
    }
    if (!request_.caFile.empty()) {
        set(CURLOPT_CAINFO, request_.caFile.c_str());
        set(CURLOPT_CAPATH, static_cast<const char*>(nullptr));
    }
    switch (request_.method) {
    case TransferMethod::kGet: set(CURLOPT_HTTPGET, 1L); break;
    case TransferMethod::kHead: set(CURLOPT_NOBODY, 1L); break;
    case TransferMethod::kPost:
        set(CURLOPT_POST, 1L);
        set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request_.postBody.size()));
        set(CURLOPT_POSTFIELDS, request_.postBody.data());
        break;
    }
    if (code != CURLE_OK) {
        error = curl_easy_strerror(code);
        return false;
    }
    MarkActivity();
    StartRateWindow(lastActivity_);
    return true;
}

void TransferJob::SetPaused(bool paused)
{
    paused_ = paused;
    MarkActivity();
    StartRateWindow(lastActivity_);
}

void TransferJob::StartRateWindow(std::chrono::steady_clock::time_point now)
{
    windowStart_ = now;
    windowBytes_ = 0;
}

template <class Call>
bool TransferJob::CallSink(Call&& call)
{
    try {
        call();
        return true;
    } catch (const std::exception& e) {
        sinkError_ = e.what();
    } catch (...) {
        sinkError_ = "unknown exception";
    }
    stop_ = StopReason::kSinkFailed;
    return false;
}

size_t TransferJob::HeaderCallback(char* data, size_t size, size_t count, void* user)
{
    return static_cast<TransferJob*>(user)->TakeHeaderLine(data, size * count);
}

size_t TransferJob::BodyCallback(char* data, size_t size, size_t count, void* user)
{
    return static_cast<TransferJob*>(user)->TakeBody(data, size * count);
}

int TransferJob::ProgressCallback(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploadNow)
{
    return static_cast<TransferJob*>(user)->CheckProgress(uploadNow);
}

size_t TransferJob::TakeHeaderLine(const char* data, size_t size)
{
    MarkActivity();
    windowBytes_ += size;
    // FTP control replies are not a response header; trailers come after it.
    if (isFtp_ || headerDone_) return size;
    const std::string_view line(data, size);
    headerBlock_.append(line);
    if (line != "\r\n" && line != "\n") return size;

    const int status = ParseStatusLine(headerBlock_);
    if (status >= 100 && status < 200) {  // interim block: the real one follows
        headerBlock_.clear();
        return size;
    }
    headerDone_ = true;
    statusCode_ = status;
    rawHeader_ = std::move(headerBlock_);
    headerBlock_.clear();
    NoteExpectedSize();
    calledThisTurn_ = true;
    if (!CallSink([&] { sink_.OnResponseHeader(statusCode_, rawHeader_); })) return 0;
    // An announced body over the cap is refused before any of it is read;
    // the header still reaches the sink for the log.
    if (request_.maxBodyBytes > 0 && expected_ > static_cast<std::int64_t>(request_.maxBodyBytes)) {
        stop_ = StopReason::kTooLarge;
        return 0;
    }
    return size;
}

size_t TransferJob::TakeBody(const char* data, size_t size)
{
    MarkActivity();
    if (CancelRequested()) {
        stop_ = StopReason::kCancelled;
        return 0;
    }
    NoteExpectedSize();
    if (request_.maxBodyBytes > 0 && received_ + size > request_.maxBodyBytes) {
        stop_ = StopReason::kTooLarge;
        return 0;
    }
    received_ += size;
    windowBytes_ += size;
    bool wanted = true;
    calledThisTurn_ = true;
    if (!CallSink([&] { wanted = sink_.OnBodyBytes(data, size); })) return 0;
    if (!wanted) {
        stop_ = StopReason::kCancelled;
        return 0;
    }
    if (!CallSink([&] { sink_.OnProgress(received_, expected_); })) return 0;
    bool pause = false;
    if (!CallSink([&] { pause = sink_.PauseAfterBody(); })) return 0;
    if (pause) {
        SetPaused(true);
        curl_easy_pause(easy_, CURLPAUSE_ALL);
    }
    return size;
}

int TransferJob::CheckProgress(curl_off_t uploadNow)
{
    if (uploadNow != lastUploadNow_) {
        windowBytes_ += static_cast<std::uint64_t>(uploadNow > lastUploadNow_ ? uploadNow - lastUploadNow_ : 0);
        lastUploadNow_ = uploadNow;
        MarkActivity();
    }
    if (CancelRequested()) {
        stop_ = StopReason::kCancelled;
        return 1;
    }
    const auto now = std::chrono::steady_clock::now();
    if (paused_) {
        MarkActivity();
        StartRateWindow(now);
        return 0;
    }
    if (request_.stallTimeoutSeconds <= 0) return 0;
    const std::chrono::seconds timeout(request_.stallTimeoutSeconds);
    if (now - lastActivity_ >= timeout) {
        stop_ = StopReason::kStalled;
        return 1;
    }
    // A byte now and then keeps the clock above from running out; over a
    // whole time-out the transfer must also move more than the floor.
    if (now - windowStart_ >= timeout) {
        if (windowBytes_ < static_cast<std::uint64_t>(kStallFloorBytesPerSecond) * request_.stallTimeoutSeconds) {
            stop_ = StopReason::kTooSlow;
            return 1;
        }
        StartRateWindow(now);
    }
    return 0;
}

bool TransferJob::CancelRequested() const
{
    return cancel_ != nullptr && cancel_->load(std::memory_order_relaxed);
}

void TransferJob::NoteExpectedSize()
{
    if (expectedKnown_ || easy_ == nullptr) return;
    curl_off_t length = -1;
    if (curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK && length >= 0) {
        expected_ = static_cast<std::int64_t>(length);
        expectedKnown_ = true;
    }
}

TransferResult TransferJob::BaseResult()
{
    NoteExpectedSize();
    TransferResult result;
    result.statusCode = statusCode_;
    result.rawHeader = std::move(rawHeader_);
    result.bytesReceived = received_;
    result.expectedSize = expected_;
    return result;
}

TransferResult TransferJob::Finish(CURLcode code)
{
    TransferResult result = BaseResult();
    if (code == CURLE_OK && !isFtp_ && !headerDone_) {
        // libcurl takes a connection closed inside the header for the end of
        // an empty response; nothing complete arrived.
        result.errorText = "the connection closed before the response header ended";
        return result;
    }
    if (code == CURLE_OK) {
        result.outcome = TransferOutcome::kCompleted;
        if (isFtp_) result.statusCode = 200;
        return result;
    }
    result.outcome = TransferOutcome::kFailed;
    switch (stop_) {
    case StopReason::kCancelled:
        result.outcome = TransferOutcome::kAborted;
        result.errorText = "the transfer was cancelled";
        return result;
    case StopReason::kStalled:
        result.outcome = TransferOutcome::kStalled;
        result.errorText = "no data for " + std::to_string(request_.stallTimeoutSeconds) + " seconds";
        return result;
    case StopReason::kTooSlow:
        result.outcome = TransferOutcome::kStalled;
        result.errorText = "less than " + std::to_string(kStallFloorBytesPerSecond) + " bytes a second for " +
                           std::to_string(request_.stallTimeoutSeconds) + " seconds";
        return result;
    case StopReason::kTooLarge:
        result.errorText = "the body is larger than " + std::to_string(request_.maxBodyBytes) + " bytes";
        return result;
    case StopReason::kSinkFailed:
        result.errorText = "the receiver failed: " + sinkError_;
        return result;
    case StopReason::kNone:
        break;
    }
    if (isFtp_ && FtpReplyStatus(code) != 0) {
        result.outcome = TransferOutcome::kCompleted;
        result.statusCode = FtpReplyStatus(code);
        return result;
    }
    if (code == CURLE_PARTIAL_FILE) result.outcome = TransferOutcome::kTruncated;
    result.errorText = FailureText(code);
    return result;
}

// The reasons a person meets most are told in their own words; the rest
// in libcurl's.
std::string TransferJob::FailureText(CURLcode code) const
{
    if (code == CURLE_COULDNT_RESOLVE_HOST) return "unknown host";
    if (code == CURLE_COULDNT_CONNECT) {
        long osError = 0;
        curl_easy_getinfo(easy_, CURLINFO_OS_ERRNO, &osError);
        if (osError == ECONNREFUSED) return "connection refused";
        if (osError != 0) return AsciiLowercasedFirst(std::strerror(static_cast<int>(osError)));
    }
    return errorBuffer_[0] != '\0' ? errorBuffer_ : curl_easy_strerror(code);
}

TransferResult TransferJob::FinishAborted()
{
    TransferResult result = BaseResult();
    result.outcome = TransferOutcome::kAborted;
    result.errorText = "the transfer was cancelled";
    return result;
}

TransferResult TransferJob::FinishFailed(std::string errorText)
{
    TransferResult result = BaseResult();
    result.outcome = TransferOutcome::kFailed;
    result.errorText = std::move(errorText);
    return result;
}

void TransferJob::EndTurn()
{
    if (!calledThisTurn_) return;
    calledThisTurn_ = false;
    CallSink([&] { sink_.OnCallsDone(); });
}

}  // namespace net::detail
