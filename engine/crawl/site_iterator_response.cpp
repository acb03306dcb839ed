// The response of one URL: META refresh, authorization with the
// configuration's realm logins, redirects; and the log entry of a request.
#include "engine/config/configuration.h"
#include "engine/crawl/meta_refresh.h"
#include "engine/crawl/site_iterator.h"
#include "engine/crawl/start_redirection.h"
#include "engine/http/location_value.h"
#include "engine/owner/crawl_listener.h"
#include "engine/url/url_resolution.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr std::uint16_t kRedirectLimit = 3;

bool MayHoldMetaRefresh(const CURL& url)
{
    return url.mContentType.empty() || BeginsWithNoCase(url.mContentType, "text");
}

}  // namespace

void CSiteIterator::ProcessResponse(CURL& url, bool& ok)
{
    mBodyUnreadable = false;
    if (mRedirectCount >= kRedirectLimit) return;
    ShowStatus("Processing response");
    LogRequest(url);

    if (url.mFetchedOK && MayHoldMetaRefresh(url)) {
        // A page over the link-processing cap is looked at only where a
        // refresh stands, in its head.
        std::string body;
        const bool fits = url.mBody.Length() <= mPreferences.maxPageBytesForLinks;
        mBodyUnreadable = !url.mBody.CopyPrefix(body, fits ? url.mBody.Length() : kStartRedirectionWindow);
        const std::string target = MetaRefreshTarget(body);
        std::string resolved;
        if (!target.empty() && target != url.mURL &&
            !(ResolveRelativeURL(url.mURL, target, resolved) && resolved == url.mURL)) {
            url.mLocation = target;
            url.mStatusCode = 301;
        }
    }

    const std::int32_t status = url.mStatusCode;
    if (status == 401 || status == 407) {
        ++mCounters.unauthorized;
        if (mConfiguration->mMiscOptions.errorLinks) mReports.AddUnauthorizedURL(url.mURL);
        ShowStatus("Unauthorized URL");
        LogLine("Unauthorized: " + url.mURL + "\rRealm: " + url.mRealm);
        // Realm logins are given to the crawl's own site only.
        CFixedString255 user;
        CFixedString255 password;
        if (SiteOf(url.mHost) != mStartSiteDomain ||
            !mConfiguration->mSiteLogin.FindRealm(url.mRealm.c_str(), user, password))
            return;
        const char* userAgent = mConfiguration->mMiscOptions.userAgent.c_str();
        mListener.RetryingWithLogin(url.mURL);
        if (mOptions.transfer == ECrawlTransfer::kGrabThread)
            ok = url.Grab(this, &mListener, userAgent, user.c_str(), password.c_str()) != 0;
        else
            ok = url.FetchWithProgress(this, &mListener, userAgent, user.c_str(), password.c_str(),
                                       mConfiguration->mGeneralOptions.timeout) != 0;
        return;
    }

    if ((status == 300 || status == 301 || status == 302) && !url.mLocation.empty() && url.mLocation != url.mURL) {
        ++mRedirectCount;
        ShowStatus("Redirection");
        LogLine("Redirected to: " + url.mLocation);
        const std::string location = CleanLocationValue(url.mLocation);
        std::string resolved;
        if (!ResolveRelativeURL(url.mURL, location, resolved)) return;
        CURL target(resolved);
        if (!IsRedirectFollowed(target)) return;

        const std::string parent = url.mParentURL;
        url.ResetToURL(resolved);
        url.mParentURL = parent;
        mRedirectChain.push_back(url.mURL);
        const char* userAgent = mConfiguration->mMiscOptions.userAgent.c_str();
        ShowStatus("Grabbing redirected url...");
        ok = FetchWithOwner(url, userAgent);
        ProcessResponse(url, ok);
    }
}

// Whether a redirect is followed to `target`. One to a page visited before
// is not fetched again: the crawl links the URL to that page's file.
bool CSiteIterator::IsRedirectFollowed(const CURL& target)
{
    if (mStopRequested) return false;
    if (mConfiguration->mGeneralOptions.checkFileModificationDates == 1) {
        CURL probe(target);
        if (!CompareModificationDates(probe)) {
            ShowStatus("File is up to date");
            LogLine("File is up to date");
            return false;
        }
    }
    if (!IsOnSite(target)) return false;
    if (IsVisited(target.mURL)) {
        mRedirectTarget = target.mURL;
        return false;
    }
    return mConfiguration->mGrabFilters.Evaluate(target);
}

void CSiteIterator::LogRequest(const CURL& url)
{
    if (!mOptions.detailedLog) return;
    std::string text = "\rURL: " + url.mURL + "\rParent URL: " + url.mParentURL;
    if (url.mScheme != kSchemeFTP) {
        text += "\rHeader:\r";
        text.append(url.mRawHeader.View());
        text += "\rResponse: ";
        if (url.mStatusLine.IsEmpty() && !url.mFailureText.empty()) text += "none (" + url.mFailureText + ")";
        else text.append(url.mStatusLine.View());
    }
    for (char& c : text)
        if (c == '\n') c = '\t';
    mListener.CrawlLog(text, ELogLine::kTrace);
}
