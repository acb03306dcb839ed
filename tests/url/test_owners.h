// Recording windows for the URL record's tests: they hand out a cookie store
// while their "crawl runs".
#pragma once

#include <string>
#include <vector>

#include "engine/cookies/cookie_store.h"
#include "engine/owner/window_interfaces.h"

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

class CTestGrabber : public CGrabberInterface {
public:
    const CConfiguration* GetConfiguration() const override { return nullptr; }
    CCookieStore* GetRunningCookieStore() override { return mRunning ? &mStore : nullptr; }
    std::string GetStartHost() const override { return mStartHost; }
    void SetStatusText(const std::string&) override {}
    void SetTransferName(const std::string&) override {}
    void SetTransferSize(const std::string&) override {}
    void SetTransferReceived(const std::string&) override {}
    std::int32_t GetProgressMin() const override { return 0; }
    std::int32_t GetProgressMax() const override { return 100; }
    std::int32_t GetProgressValue() const override { return 0; }
    void SetProgressValue(std::int32_t) override {}
    CBroadcaster* GetSkipButton() override { return nullptr; }
    void EnableSkipButton(bool) override {}
    void LogText(const std::string&) override {}
    void SetNetworkError(std::int32_t) override {}

    bool mRunning = true;
    std::string mStartHost = "start.example";
    CCookieStore mStore;
};
