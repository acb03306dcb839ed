// A page context that records what the page processing reports, for tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/config/configuration.h"
#include "engine/html/page_context.h"

class CRecordingPageContext : public CPageContext {
public:
    const CConfiguration& Configuration() const override { return mConfiguration; }
    bool IsStopRequested() const override { return mStopAfterYields >= 0 && mYields >= mStopAfterYields; }
    void ShowStatus(const std::string& text) override { mStatuses.push_back(text); }
    void AddEmailAddress(const std::string& address, const std::string& anchorText) override
    {
        mEmails.emplace(address, anchorText);
    }
    bool IsMediaMode() const override { return mMediaMode; }
    void Yield() override { ++mYields; }

    CConfiguration mConfiguration;
    std::vector<std::string> mStatuses;
    std::map<std::string, std::string> mEmails;
    int mYields = 0;
    int mStopAfterYields = -1;  // a stop is requested once this many yields happened
    bool mMediaMode = false;
};
