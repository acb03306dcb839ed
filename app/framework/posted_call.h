// A call that any OS thread may ask the GUI thread's event loop to make:
// requests coalesce until the call runs, so a burst of wake-ups costs one
// event. Internal to the framework.
#pragma once

#include <QObject>

#include <atomic>
#include <functional>

class CPostedCall : public QObject {
public:
    explicit CPostedCall(std::function<void()> call);
    // Any OS thread.
    void Post();
    bool event(QEvent* event) override;

private:
    std::function<void()> mCall;
    std::atomic<bool> mPosted{false};
};
