// CSiteIteratorThread: one grab on a cooperative thread of its own. Whoever
// shows the grab makes it with its listener, the crawl's options, the grab's
// configuration and start URL, and starts it; the thread sends the start and
// finish notifications, makes and runs the crawl driver, writes the site
// map, the e-mail addresses and the cookies when asked, and tells the
// listener that the crawl is done. It deletes itself when it ends; its
// destructor always tells the listener CrawlEnded, however the grab ended.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/crawl/crawl_collaborators.h"
#include "engine/crawl/crawl_options.h"
#include "engine/url/url_record.h"
#include "foundation/threads/thread.h"

class CConfiguration;
class CCrawlListener;
class CSiteIterator;

class CSiteIteratorThread : public CThread {
public:
    // The listener and the configuration must outlive the thread; the
    // driver changes some of the configuration's fields for the grab. The
    // collaborators' outlets show the crawl's progress beyond the listener;
    // the tile is restored at the end, however the grab ends.
    CSiteIteratorThread(CCrawlListener& listener, const SCrawlOptions& options, CConfiguration* configuration,
                        const CURL& startURL, CCrawlCollaborators collaborators);
    ~CSiteIteratorThread() override;

    // Stops the crawl: at once when it runs, and, when the driver is not
    // made yet, as soon as it is (a crawl stopped before it began makes no
    // request). `byError` when a transfer error ends the grab.
    void StopCrawl(bool byError);

    // Null until the thread has made the driver.
    CSiteIterator* Driver() const { return mDriver.get(); }
    // What the progress tile shows: level, index, level size.
    void GetProgress(std::int32_t& level, std::int32_t& index, std::int32_t& count) const;

protected:
    void* Run() override;

private:
    void RunGrab();
    void FinishCrawl();

    CCrawlListener& mListener;
    SCrawlOptions mOptions;
    CConfiguration* mConfiguration;
    CURL mStartURL;
    CCrawlCollaborators mCollaborators;
    std::int64_t mStartTime;
    std::int64_t mEndTime = 0;
    std::int64_t mElapsed = 0;
    std::unique_ptr<CSiteIterator> mDriver;
    bool mStopPending = false;
    bool mStopPendingByError = false;
    bool mUserStopped = false;
    // What ended the crawl when it did not end by itself; told with the
    // outcome, so it is never shown as "Done.".
    std::string mRunFailure;
};
