// The crawl driver's life: construction, set-up, the crawl as a whole and
// the stop request.
#include <chrono>
#include <utility>

#include "engine/config/configuration.h"
#include "engine/crawl/elapsed_time.h"
#include "engine/crawl/progress_mail_timer.h"
#include "engine/crawl/site_domain.h"
#include "engine/crawl/site_iterator.h"
#include "engine/mail/mail_body.h"
#include "engine/mail/progress_mail.h"
#include "engine/owner/crawl_listener.h"
#include "engine/transfer/transfer_messages.h"
#include "foundation/settings/app_settings.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"
#include "foundation/threads/thread.h"

namespace {

constexpr std::chrono::seconds kFirstProgressMail{10};

}  // namespace

CSiteIterator::CSiteIterator(CCrawlListener& listener, const SCrawlOptions& options, CConfiguration* configuration,
                             const CURL& startURL, CCrawlCollaborators collaborators)
    : mListener(listener), mOptions(options), mCollaborators(std::move(collaborators))
{
    Construct(configuration, startURL);
}

// Only what needs no request: the configuration and the start URL (the
// saving has read the type extensions). Init does the rest.
void CSiteIterator::Construct(CConfiguration* configuration, const CURL& startURL)
{
    mConfiguration = configuration;
    mStartURL = startURL;
    mStartHost = mStartURL.mHost;
    if (gAppSettings != nullptr) mUserAgent = gAppSettings->mUserAgent.c_str();
}

CSiteIterator::~CSiteIterator()
{
    // The timer thread is detached first, so no mail is built from a driver
    // that is going away, whatever ended the crawl.
    mProgressMail.reset();
    mURLInProgress = nullptr;
}

void CSiteIterator::Init(CConfiguration* configuration, const CURL& startURL)
{
    mConfiguration = configuration;
    mStartURL = startURL;
    mStartHost = mStartURL.mHost;
    mSaving.ExpectFirstSave();
    if (mCrawlThread == nullptr) mCrawlThread = CThread::Current();
    // A start URL whose file name has no extension is saved with the one its
    // Content-Type calls for: decided from the answer to its fetch
    // (NoteStartTypeExtension), so a start URL is asked for only once.
}

CCookieStore* CSiteIterator::RunningCookieStore()
{
    if (mConfiguration == nullptr || mConfiguration->mGeneralOptions.useCookies == 0) return nullptr;
    return &mCookies;
}

void CSiteIterator::ApplyModeOverrides()
{
    CGeneralOptions& general = mConfiguration->mGeneralOptions;
    if (mOptions.onePage) {
        general.allowSecondaryDomains = 1;
        general.remapSecondaryDomains = 1;
        general.linkDepth = 2;
        general.remapURLs = 1;
        general.remapAllPHP = 1;
        general.relinkURLs = 1;
        general.checkForRedirection = 1;
    }
    if (mOptions.mediaMode) {
        general.grabOffsiteURLs = 1;
        general.allowSecondaryDomains = 1;
        general.remapSecondaryDomains = 0;
        general.checkForRedirection = 1;
        general.setExtensionFromContentType = 1;
        general.checkFileModificationDates = 1;
        const std::uint8_t relinkAndRemap = mPreferences.mediaRelinkAndRemap ? 1 : 0;
        general.remapURLs = relinkAndRemap;
        general.remapAllPHP = relinkAndRemap;
        general.relinkURLs = relinkAndRemap;
        const std::int32_t levels = mOptions.mediaLevels;
        if (levels == 1) general.linkDepth = 2;
        else if (levels == 2) general.linkDepth = 3;
        else if (levels == 3) general.linkDepth = 99;
    }
    if (general.yieldQuantum < 1) general.yieldQuantum = 1;
    if (general.linkDepth < 1) general.linkDepth = 1;
}

void CSiteIterator::Crawl()
{
    if (mCrawlThread == nullptr) mCrawlThread = CThread::Current();
    mPreferences = mCollaborators.readPreferences();
    StartProgressMail();

    CGeneralOptions& general = mConfiguration->mGeneralOptions;
    if (mPreferences.grabOffsiteURLs)
        for (const CFixedString255& host : general.offsiteHosts)
            if (!host.IsEmpty()) mAllowedOffsiteHosts.insert(AsciiLowercased(host.c_str()));
    if (mPreferences.generateSitemap) mConfiguration->mMiscOptions.generateSiteMap = 1;
    ApplyModeOverrides();

    mCounters = CCrawlCounters{};
    mLevels.ShowFirstLevel();
    mStartTime = mCollaborators.clock();
    mLastTime = mStartTime;
    LogTrace([&] { return "Crawling: " + mStartURL.mURL; });

    mStartHost = mStartURL.mHost;
    mStartSiteDomain = SiteDomain(mStartHost);
    mStartDomain = mPreferences.allowSecondaryDomains ? mStartSiteDomain : mStartHost;
    if (general.useCookies) (void)mReports.LoadCookies(mConfiguration->mMiscOptions.logFolder.c_str(), mCookies);

    // A stop requested by the user ends the transfer in progress with
    // the thread's stop exception; the crawl still ends with its summary.
    try {
        CURL start(mStartURL);
        CrawlLevels(start);
    } catch (const CThread::CStopException&) {
        if (!mStopRequested) throw;
    }
    mURLInProgress = nullptr;
    // Corrected pages keep their labels: the last ones must be on disk.
    mSaving.Mirror().Settle();
    mRelinking.FinishRelinking();

    StopProgressMail();
    SendCompletionMail();
    mReports.WriteSummary(mOptions, mConfiguration->mMiscOptions, mFailure, mCounters,
                          mCollaborators.clock() - mStartTime);
    mListener.LevelsEnd(mStopRequested);
}

void CSiteIterator::StartProgressMail()
{
    if (gAppSettings == nullptr) return;
    gAppSettings->LoadMailSettings();
    if (gAppSettings->mMailRecipient.IsEmpty()) return;
    const std::int64_t period = ProgressMailIntervalSeconds(gAppSettings->mMailPeriod);
    if (period <= 0) return;
    mProgressMail = std::make_unique<CProgressMailTimer>(*this, kFirstProgressMail, std::chrono::seconds(period));
}

void CSiteIterator::StopProgressMail() { mProgressMail.reset(); }

void CSiteIterator::SendCompletionMail()
{
    if (gAppSettings == nullptr || gAppSettings->mMailRecipient.IsEmpty()) return;
    const std::string elapsed = ElapsedTimeText(mCollaborators.clock() - mStartTime);
    mCollaborators.sendMail(
        CMailInfo(MakeCompletionMail(gAppSettings->mMailRecipient.c_str(), mStartURL.mURL, elapsed)));
}

std::string CSiteIterator::ProgressMailElapsedText() const
{
    return ElapsedTimeText(mCollaborators.clock() - mStartTime);
}

void CSiteIterator::GenerateSiteMap(bool openAfterwards)
{
    mReports.GenerateSiteMap(mSiteIndex, mConfiguration->mMiscOptions, openAfterwards);
}

void CSiteIterator::Stop(bool byError)
{
    mStopRequested = true;
    if (byError) mAbortedByError = true;
    if (mURLInProgress != nullptr) mURLInProgress->BroadcastMessage(kMsgSkip);
    // The crawl thread may wait on a transfer, a retry or a pause: its stop
    // request ends any of them at once.
    if (mCrawlThread != nullptr && !mCrawlThread->IsFinished()) {
        mCrawlThread->RequestStop();
        if (mCrawlThread != CThread::Current()) mCrawlThread->Wake();
    }
}

void CSiteIterator::ListenToMessage(MessageT message, void* /*ioParam*/)
{
    if (message == kMsgSkip) mSkipRequested = true;
}

void CSiteIterator::Yield() { CThread::Yield(); }
