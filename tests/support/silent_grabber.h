// A grabber window that shows nothing: captions, progress, the skip button,
// log lines and network errors go nowhere. Test and benchmark windows derive
// from it and override only what they look at.
#pragma once

#include <cstdint>
#include <string>

#include "engine/owner/window_interfaces.h"

class CSilentGrabber : public CGrabberInterface {
public:
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
};
