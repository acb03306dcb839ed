// Recording windows for the URL record's tests: they hand out a cookie store
// while their "crawl runs".
#pragma once

#include <string>
#include <vector>

#include "engine/cookies/cookie_store.h"
#include "engine/owner/window_interfaces.h"
#include "tests/support/silent_grabber.h"

class CTestQuickGrabber : public CQuickerGrabberInterface {
public:
    const CConfiguration* GetConfiguration() const override { return nullptr; }
    CCookieStore* GetRunningCookieStore() override { return mRunning ? &mStore : nullptr; }
    std::string GetStartHost() const override { return mStartHost; }
    void SetTaskText(const std::string&) override {}
    void SetMessageText(const std::string&) override {}
    void PostTransferProgress(std::uint64_t, std::uint64_t, std::uint64_t, bool) override {}

    bool mRunning = true;
    std::string mStartHost = "start.example";
    CCookieStore mStore;
};

class CTestGrabber : public CSilentGrabber {
public:
    const CConfiguration* GetConfiguration() const override { return nullptr; }
    CCookieStore* GetRunningCookieStore() override { return mRunning ? &mStore : nullptr; }
    std::string GetStartHost() const override { return mStartHost; }

    bool mRunning = true;
    std::string mStartHost = "start.example";
    CCookieStore mStore;
};
