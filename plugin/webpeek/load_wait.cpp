#include "plugin/webpeek/load_wait.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QByteArray>
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
        // Read in the C locale, whatever locale the application set.
        bool ok = false;
        const double value = QByteArray(text).toDouble(&ok);
        if (ok && std::isfinite(value) && value > 0) seconds = std::min(value, kLongestTimeoutSeconds);
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

namespace {

// The load observer of one Webpeek call: only this view's page counts. The
// engine reports one finish per loading run, so a load still running from an
// earlier, timed-out call is taken over by this one and finishes with it,
// never on its own.
class ImageURL {
public:
    explicit ImageURL(QWebEngineView& view) : mWait(view)
    {
        mFinished = QObject::connect(view.page(), &QWebEnginePage::loadFinished,
                                     [this] { WebPageFinishedLoading(); });
    }
    ~ImageURL() { QObject::disconnect(mFinished); }
    ImageURL(const ImageURL&) = delete;
    ImageURL& operator=(const ImageURL&) = delete;

    bool IsLoaded() const { return mLoaded; }
    // True when the load finished within `timeout`.
    bool Wait(std::chrono::milliseconds timeout) { return mWait.Run(timeout) && IsLoaded(); }

private:
    void WebPageFinishedLoading()
    {
        mLoaded = true;
        mWait.Finish();
    }

    ViewWait mWait;
    QMetaObject::Connection mFinished;
    bool mLoaded = false;
};

}  // namespace

bool LoadAndWait(QWebEngineView& view, const QUrl& url, std::chrono::milliseconds timeout)
{
    ImageURL observer(view);
    QPointer<QWebEngineView> alive(&view);
    view.load(url);
    return observer.Wait(timeout) && alive;
}

}  // namespace webpeek
