#include "plugin/webpeek/load_wait.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace webpeek {

namespace {

constexpr double kDefaultTimeoutSeconds = 60;
// Keeps the milliseconds within a timer's int.
constexpr double kLongestTimeoutSeconds = 24 * 3600;

}  // namespace

std::chrono::milliseconds LoadTimeout()
{
    double seconds = kDefaultTimeoutSeconds;
    if (const char* text = std::getenv("WEBPEEK_LOAD_TIMEOUT"); text && *text) {
        char* end = nullptr;
        const double value = std::strtod(text, &end);
        if (*end == '\0' && std::isfinite(value) && value > 0) seconds = std::min(value, kLongestTimeoutSeconds);
    }
    return std::chrono::milliseconds(static_cast<long long>(std::ceil(seconds * 1000)));
}

ViewWait::ViewWait(QWebEngineView& view)
{
    QObject::connect(&view, &QObject::destroyed, &mLoop, &QEventLoop::quit);
}

void ViewWait::Finish()
{
    mFinished = true;
    mLoop.quit();
}

bool ViewWait::Run(std::chrono::milliseconds timeout)
{
    if (mFinished) return true;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &mLoop, &QEventLoop::quit);
    timer.start(timeout);
    mLoop.exec(QEventLoop::ExcludeUserInputEvents);
    return mFinished;
}

bool LoadAndWait(QWebEngineView& view, const QUrl& url, std::chrono::milliseconds timeout)
{
    ViewWait wait(view);
    // Only this view's page counts. The engine reports one finish per loading
    // run: a load still running from an earlier, timed-out call is taken over
    // by this one and finishes with it, never on its own.
    const QMetaObject::Connection finished =
        QObject::connect(view.page(), &QWebEnginePage::loadFinished, [&wait] { wait.Finish(); });
    QPointer<QWebEngineView> guard(&view);
    view.load(url);
    const bool loaded = wait.Run(timeout);
    QObject::disconnect(finished);
    return loaded && guard;
}

}  // namespace webpeek
