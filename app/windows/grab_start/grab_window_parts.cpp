#include "app/windows/grab_start/grab_window_parts.h"

#include <cstring>
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
    CloseGrabLog(log);
    const int status = StartLogging(&log, path.c_str());
    if (status == 0) return path;
    failure = "The log file could not be opened: " + path + " (" + std::strerror(-status) + ")";
    return {};
}

namespace {

std::string LogWriteFailure(const CLogHolder& log, int status)
{
    if (status == 0) return {};
    return "The log file could not be written: " + log.Path() + " (" + std::strerror(-status) + ")";
}

}  // namespace

std::string CloseGrabLog(CLogHolder& log)
{
    if (!log.IsOpen()) return {};
    const int failure = TakeLogWriteFailure(&log);
    const int stopped = StopLogging(&log);
    return LogWriteFailure(log, failure != 0 ? failure : stopped);
}

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
