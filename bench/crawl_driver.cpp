// crawl-driver: one crawl without windows, started as the grabber window
// starts one, for benchmarks and for trying the crawl from a shell.
//
//   crawl-driver [--config FILE] [--log] [--brief] URL FOLDER
//
// The configuration is read from FILE (the configuration file format), or
// is the built-in "Default"; the mirror and the reports go to FOLDER
// (localPath and logFolder). Preferences come from the normal store
// ($XDG_CONFIG_HOME). The crawl's summary lines ("Total files grabbed: ",
// "Total errors: ", "Total bytes grabbed: ", "Total time: ") are printed to
// standard output, then the grab's own time from the start check to the
// crawl's end ("Grab time: "), and with --log every log line of the window. The
// --brief crawls as the quicker grabber does (requests that post their
// progress, the links found listed in the log file), which tells the
// engine's share of that window's time from the window's own. The
// cooperative threads run under CThreadScheduler::RunUntil; no Qt.
//
// Exit status: 0 when the crawl ran and saved what it was asked to; 1 when
// it could not start, failed (the start URL gave nothing, the mirror cannot
// be written) or saved nothing, with the reason on standard error; 2 for a
// usage error.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "bench/grab_clock.h"
#include "engine/config/configuration.h"
#include "foundation/files/file_ref.h"
#include "engine/crawl/grab_failure.h"
#include "engine/crawl/grab_start.h"
#include "engine/crawl/site_iterator_thread.h"
#include "engine/crawl/start_redirection.h"
#include "engine/owner/crawl_listener.h"
#include "engine/transfer/download_host.h"
#include "engine/url/url_record.h"
#include "foundation/messaging/broadcaster.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/log_file.h"
#include "foundation/threads/thread_scheduler.h"

namespace {

constexpr int kMaxStartRedirections = 11;

// The crawl as the grabber window runs it, without a window: the crawl's
// log goes to the log file when the configuration asks for one, and to
// standard output as asked; nothing else is shown.
class CPrintingListener : public CCrawlListener {
public:
    explicit CPrintingListener(bool printLog) : mPrintLog(printLog) {}

    void CrawlLog(const std::string& text, ELogLine) override { LogText(text); }
    void CrawlWaiting(const std::string& text) override { LogText(text); }
    void CrawlLogFileText(const std::string& text) override
    {
        if (mLog.IsOpen()) (void)AppendToLog(&mLog, text);  // a failure is kept for CloseLog
    }
    void CrawlStatus(const std::string&) override {}
    void URLFetching(const std::string&) override {}
    void URLSkipped(const std::string&) override {}
    void RetryingWithLogin(const std::string&) override {}
    void CrawlProgress(const SCrawlProgress&) override {}
    void LevelsBegin() override {}
    void LevelBegins(std::int32_t, std::int32_t) override {}
    void LevelURLDone(std::int32_t, std::int32_t) override {}
    void LevelsEnd(bool) override {}
    void TransferBegins() override {}
    void TransferSkippable(bool) override {}
    void TransferStatus(const std::string&) override {}
    void TransferProgress(const STransferProgress&) override {}
    void PostTransferProgress(const STransferProgress&) override {}
    void FirstFileSaved(const CFileRef&, const std::string&, bool) override {}
    void ImageGrabbed(const std::string&) override {}
    void NotificationMail(const std::string&) override {}
    void CrawlStateChanged(ECrawlState, std::int64_t) override {}
    void CrawlEnded(CSiteIteratorThread*, const SCrawlOutcome& outcome) override
    {
        mOutcome = outcome;
        mEnded = true;
    }

    void LogText(const std::string& text)
    {
        if (mLog.IsOpen()) {
            (void)AppendToLog(&mLog, text);
            (void)AppendToLog(&mLog, "\r");
        }
        if (mPrintLog || text.starts_with("Total files grabbed: ")) Print(text);
    }
    // The log the configuration asks for. A log that cannot be opened or
    // written fails the run at its end, as the windows tell it.
    void OpenLog(const std::string& path)
    {
        if (const CStatus status = StartLogging(&mLog, path.c_str()); status.Failed())
            mLogFailure = LogOpenFailureText(path, status);
    }
    // The log's first failure, or empty.
    std::string CloseLog()
    {
        const std::string closing = StopLoggingTellingFailure(mLog);
        if (mLogFailure.empty()) mLogFailure = closing;
        return mLogFailure;
    }
    bool HasEnded() const { return mEnded; }
    const SCrawlOutcome& Outcome() const { return mOutcome; }

    static void Print(std::string_view text)
    {
        std::string out(text);
        for (char& c : out)
            if (c == '\r') c = '\n';
        if (out.empty() || out.back() != '\n') out += '\n';
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fflush(stdout);
    }

private:
    bool mPrintLog;
    bool mEnded = false;
    SCrawlOutcome mOutcome;
    CLogHolder mLog;
    std::string mLogFailure;
};

int Usage()
{
    std::fprintf(stderr, "usage: crawl-driver [--config FILE] [--log] [--brief] URL FOLDER\n");
    return 2;
}

int Fail(const std::string& reason)
{
    std::fprintf(stderr, "crawl-driver: %s\n", reason.c_str());
    return 1;
}

// The download folder as an absolute path, made when missing (its parent
// must exist, as the windows require).
bool PrepareDownloadFolder(const std::string& folder, CConfiguration& configuration)
{
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const std::size_t slash = path.rfind('/');
    const std::string parent = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    char resolved[PATH_MAX];
    if (::realpath(parent.c_str(), resolved) == nullptr) return false;
    const std::string absolute = CFileRef(resolved).Child(name).Path();
    configuration.mGeneralOptions.localPath = absolute.c_str();
    configuration.mMiscOptions.logFolder = absolute.c_str();
    return MakeDownloadFolder(configuration).Ok();
}

}  // namespace

int main(int argc, char** argv)
{
    std::string configFile;
    bool printLog = false;
    bool brief = false;
    std::string url;
    std::string folder;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--config" && i + 1 < argc) configFile = argv[++i];
        else if (argument == "--log") printLog = true;
        else if (argument == "--brief") brief = true;
        else if (argument.starts_with("--")) return Usage();
        else if (url.empty()) url = argument;
        else if (folder.empty()) folder = argument;
        else return Usage();
    }
    if (url.empty() || folder.empty()) return Usage();

    gAppSettings = new CAppSettings();
    CConfiguration configuration;
    if (!configFile.empty()) {
        const CStatus status = configuration.ReadFile(CFileRef(configFile));
        if (status.Failed()) {
            std::fprintf(stderr, "crawl-driver: cannot read the configuration %s (%d)\n", configFile.c_str(),
                         static_cast<int>(status.Code()));
            return 1;
        }
    }

    // The start URL as the window takes it: the form's action when the
    // configuration submits a form, "http://" when no scheme is given, a
    // scheme that cannot be grabbed refused before anything is made, and
    // the start page's redirections followed.
    url = StartURLForGrab(configuration, url);
    if (const std::string refusal = UnsupportedSchemeRefusal(url); !refusal.empty()) return Fail(refusal);

    if (!PrepareDownloadFolder(folder, configuration)) return Fail(kDownloadFolderFailure);
    const std::string downloadFolder = configuration.mGeneralOptions.localPath.c_str();

    // The crawl's fibers and their downloads share this thread, as in the
    // windows.
    HostDownloadsOnThisThread();
    const SGrabClock grabClock;
    CPrintingListener grabber(printLog);
    // The check's answer goes to the crawl, which then does not ask for the
    // start page again.
    CStartAnswer startAnswer;
    const int redirections = FollowStartRedirections(configuration, url, kMaxStartRedirections, &startAnswer);
    if (redirections > 0) grabber.LogText("Note: The starting URL was redirected.");

    const CURL startURL(url);
    if (startURL.mURL.empty() || startURL.mHost.empty()) return Fail("not a URL: " + url);
    if (configuration.mMiscOptions.generateLog) {
        std::string logPath = downloadFolder;
        if (logPath.back() != '/') logPath += '/';
        grabber.OpenLog(logPath + startURL.mHost + ".log");
    }

    auto* thread = new CSiteIteratorThread(grabber, brief ? BriefCrawlOptions() : DetailedCrawlOptions(), &configuration, startURL,
                                           StandardCrawlCollaborators({}, std::move(startAnswer)));
    thread->Resume();
    CThreadScheduler::RunUntil([&grabber] { return grabber.HasEnded(); });
    grabClock.Print();
    StopHostingDownloads();
    const std::string logFailure = grabber.CloseLog();
    delete gAppSettings;
    gAppSettings = nullptr;

    const SCrawlOutcome& outcome = grabber.Outcome();
    if (!outcome.failure.empty()) return Fail(outcome.failure);
    const std::int32_t saveAction = configuration.mGeneralOptions.saveAction;
    if (outcome.filesSaved == 0 && (saveAction == 1 || saveAction == 2) && !outcome.stoppedByUser)
        return Fail("nothing was saved from " + startURL.mURL);
    if (!logFailure.empty()) return Fail(logFailure);
    return 0;
}
