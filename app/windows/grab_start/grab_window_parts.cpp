#include "app/windows/grab_start/grab_window_parts.h"

#include <filesystem>

#include <QApplication>

#include "app/framework/pane.h"
#include "engine/config/configuration.h"
#include "engine/crawl/site_iterator.h"
#include "engine/crawl/site_iterator_thread.h"
#include "engine/url/url_record.h"
#include "foundation/settings/log_file.h"

void StartSpinning(CPane* spinner)
{
    if (spinner == nullptr) return;
    spinner->Show();
    spinner->StartIdling();
}

void StopSpinning(CPane* spinner)
{
    if (spinner == nullptr) return;
    spinner->StopIdling();
    spinner->Hide();
}

std::string OpenGrabLog(CLogHolder& log, const CConfiguration& configuration, const CURL& startURL,
                        std::string& failure)
{
    std::string path = configuration.mMiscOptions.logFolder.c_str();
    if (path.empty() || path.back() != '/') path += '/';
    path += startURL.mHost + ".log";
    (void)StopLoggingTellingFailure(log);
    const CStatus status = StartLogging(&log, path.c_str());
    if (status.Ok()) return path;
    failure = LogOpenFailureText(path, status);
    return {};
}

namespace {

std::string LogWriteFailure(const CLogHolder& log, const CStatus& status)
{
    if (status.Ok()) return {};
    return LogWriteFailureText(log.Path(), status);
}

}  // namespace

std::string TakeGrabLogFailure(CLogHolder& log) { return LogWriteFailure(log, TakeLogWriteFailure(&log)); }

std::string SiteMapPathOf(const CSiteIteratorThread& thread, const CConfiguration& configuration)
{
    return thread.Driver()->Reports().ReportPath(configuration.mMiscOptions.logFolder.c_str(), ".sitemap.html");
}

void ShowSiteMap(CSiteIteratorThread* thread, const CConfiguration& configuration, std::string& ioPath)
{
    if (thread != nullptr && thread->Driver() != nullptr) {
        thread->Driver()->GenerateSiteMap(true);
        ioPath = SiteMapPathOf(*thread, configuration);
        return;
    }
    std::error_code error;
    if (!ioPath.empty() && std::filesystem::is_regular_file(ioPath, error)) {
        OpenInDefaultApp(ioPath);
        return;
    }
    QApplication::beep();
}
