#include "engine/update/update_iterator.h"

#include <cstring>
#include <exception>
#include <string>

#include "engine/update/complete_response.h"
#include "engine/url/url_record.h"
#include "foundation/errors/status.h"
#include "foundation/files/file.h"

namespace {

constexpr const char* kBullet = "\xE2\x80\xA2";  // U+2022

}  // namespace

CUpdateIterator::CUpdateIterator(const CFileRef& folder, CUpdateWindowInterface* window,
                                 EWhenFinished whenFinished)
    : CThread(whenFinished), CDirectoryIterator(folder), mWindow(window)
{
}

CUpdateIterator::~CUpdateIterator()
{
    if (mWindow != nullptr) mWindow->ClearThreadPointer();
}

void* CUpdateIterator::Run()
{
    mWindow->ShowBusy(true);
    mWindow->SetRunning(true);
    try {
        // A folder that cannot be walked ends the update without claiming
        // it is done, and says why.
        if (const CStatus status = Iterate(); status.Ok())
            mWindow->LogLine("Done.");
        else
            mWindow->LogLine("The folder could not be read: " + mRoot.Path() + " (" + std::strerror(-status.Code()) +
                             ")");
    } catch (const CStopException&) {
        // A stop request: the thread ends quietly.
    } catch (const std::exception&) {
        mWindow->LogLine("The update ended: " + StatusFromCurrentException().Text());
    } catch (...) {
        // The window's stop waits for the end steps below.
        mWindow->LogLine("The update ended: an unexpected failure");
    }
    mWindow->ShowBusy(false);
    mWindow->SetRunning(false);
    return nullptr;
}

void CUpdateIterator::ProcessItem(const CFileRef& item)
{
    CDirectoryIterator::ProcessItem(item);
    CheckStop();
    if (!CFile::IsFile(item)) return;

    mWindow->LogText(std::string(kBullet) + " " + std::string(item.Name()));
    std::string comment;
    if (CFile::GetFinderComment(item, comment).Failed()) {
        mWindow->LogText("No comment could be extracted.\r");
        return;
    }
    mWindow->LogText("URL = " + comment);
    RegrabFile(item, comment);
}

void CUpdateIterator::RegrabFile(const CFileRef& file, const std::string& urlText)
{
    CURL url(urlText);
    mWindow->LogLine("grabbing...");
    url.FetchSimple(kFetchTimeoutSeconds);
    if (!HoldsCompleteBody(url)) {
        mWindow->LogLine("The url could not be grabbed.\r");
        return;
    }
    mWindow->LogLine("saving...\r");
    // The body replaces the file whole or not at all; a failed write is
    // reported rather than passed over.
    if (url.SaveBodyToFile(file).Failed()) mWindow->LogLine("The file could not be saved.\r");
}
