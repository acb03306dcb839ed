// Waiting for something a web view does, with the event loop running meanwhile.
#pragma once

#include <chrono>

#include <QEventLoop>
#include <QPointer>

class QUrl;
class QWebEngineView;

namespace webpeek {

// $WEBPEEK_LOAD_TIMEOUT in seconds when it is a positive number, else 60 s.
std::chrono::milliseconds LoadTimeout();

// One wait on a view: Run() processes events (no user input, so the host's
// windows take no clicks meanwhile) until Finish() is called, the view is
// destroyed or the time-out passes.
class ViewWait {
public:
    explicit ViewWait(QWebEngineView& view);
    ViewWait(const ViewWait&) = delete;
    ViewWait& operator=(const ViewWait&) = delete;

    void Finish();
    // True when Finish() ended the wait (also when it came before Run).
    bool Run(std::chrono::milliseconds timeout);

private:
    QEventLoop mLoop;
    bool mFinished = false;
};

// Loads url into view and waits for that view's load to finish (well or with
// an error page); false on time-out or when the view went away.
bool LoadAndWait(QWebEngineView& view, const QUrl& url, std::chrono::milliseconds timeout);

}  // namespace webpeek
