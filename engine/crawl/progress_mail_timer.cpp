#include "engine/crawl/progress_mail_timer.h"

#include "engine/crawl/site_iterator.h"
#include "engine/mail/mail_body.h"
#include "engine/mail/progress_mail.h"
#include "foundation/settings/app_settings.h"
#include "foundation/threads/thread.h"

struct CProgressMailTimer::CShared {
    CSiteIterator* driver = nullptr;  // null once detached
    CThread* thread = nullptr;        // null once the thread is gone
};

namespace {

class CTimerThread : public CThread {
public:
    CTimerThread(std::shared_ptr<CProgressMailTimer::CShared> shared, std::chrono::seconds firstDelay,
                 std::chrono::seconds period)
        : mShared(std::move(shared)), mFirstDelay(firstDelay), mPeriod(period)
    {
        mShared->thread = this;
    }
    ~CTimerThread() override { mShared->thread = nullptr; }

protected:
    void* Run() override
    {
        Clock::time_point next = Clock::now() + mFirstDelay;
        while (mShared->driver != nullptr && !IsStopRequested()) {
            SleepUntil(next);
            if (mShared->driver == nullptr || IsStopRequested()) break;
            if (Clock::now() < next) continue;  // woken early
            CProgressMailTimer::SendProgressMail(*mShared->driver);
            next += mPeriod;
            const Clock::time_point now = Clock::now();
            if (next <= now) next = now + mPeriod;
        }
        return nullptr;
    }

private:
    std::shared_ptr<CProgressMailTimer::CShared> mShared;
    std::chrono::seconds mFirstDelay;
    std::chrono::seconds mPeriod;
};

}  // namespace

CProgressMailTimer::CProgressMailTimer(CSiteIterator& driver, std::chrono::seconds firstDelay,
                                       std::chrono::seconds period)
    : mShared(std::make_shared<CShared>())
{
    if (period.count() <= 0) return;
    mShared->driver = &driver;
    CThread* thread = new CTimerThread(mShared, firstDelay, period);
    thread->Resume();
}

CProgressMailTimer::~CProgressMailTimer()
{
    mShared->driver = nullptr;
    if (CThread* thread = mShared->thread) {
        thread->RequestStop();
        thread->Wake();
    }
}

bool CProgressMailTimer::IsRunning() const { return mShared->thread != nullptr && mShared->driver != nullptr; }

void CProgressMailTimer::SendProgressMail(const CSiteIterator& driver)
{
    if (gAppSettings == nullptr) return;
    gAppSettings->LoadMailSettings();
    if (gAppSettings->mMailRecipient.IsEmpty()) return;
    CMailBody body = MakeProgressMail(gAppSettings->mMailRecipient.c_str(), driver.Level(), driver.Index(),
                                      driver.LevelSize(), driver.StartURL().mURL, driver.ProgressMailElapsedText(),
                                      driver.Collaborators().outlets.makeImage);
    driver.Collaborators().sendMail(CMailInfo(body));
}
