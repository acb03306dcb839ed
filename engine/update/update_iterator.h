// CUpdateIterator: re-grabs every file of a downloaded folder from the URL
// that the file carries as its comment, on a cooperative thread of its own.
//
// Every file the crawl saves carries its URL as comment, so a folder of
// saved files can be refreshed without a configuration or a crawl. A file is
// replaced (whole, keeping its name) only by a complete 2xx answer; an error
// page, a truncated body or a failed fetch leaves it as it was.
//
// The window creates the thread with new and resumes it; the thread deletes
// itself when the walk ends. To stop it the window calls RequestStop and
// Wake (so a fetch in progress is cancelled), then waits cooperatively until
// SetRunning(false).
#pragma once

#include "engine/update/update_window_interface.h"
#include "foundation/files/directory_iterator.h"
#include "foundation/files/file_ref.h"
#include "foundation/threads/thread.h"

class CUpdateIterator : public CThread, public CDirectoryIterator {
public:
    static constexpr int kFetchTimeoutSeconds = 60;

    // `folder` becomes the walk's root; `window` is not owned and must
    // outlive the thread.
    CUpdateIterator(const CFileRef& folder, CUpdateWindowInterface* window,
                    EWhenFinished whenFinished = EWhenFinished::kDeleteSelf);
    // Tells the window to forget this thread.
    ~CUpdateIterator() override;

    // One file of the walk; folders are only counted.
    void ProcessItem(const CFileRef& item) override;

protected:
    void* Run() override;

private:
    // Fetches `url` and, when the answer is complete, writes it into `file`.
    void RegrabFile(const CFileRef& file, const std::string& url);

    CUpdateWindowInterface* mWindow;
};
