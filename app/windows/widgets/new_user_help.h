// CNewUserHelp: a small window with one link button (pane 1); a click
// opens the button's URL (its title when it has none) in the user's browser.
#pragma once

#include <memory>

#include <QDialog>

#include "foundation/messaging/broadcaster.h"

class CInternetConfig;
class CURLPushButton;

class CNewUserHelp : public QDialog, public CListener {
public:
    static constexpr MessageT kMsgOpenWeb = MakeFourCharCode("WWW ");

    CNewUserHelp(const QString& text, const QString& title, const QString& url, QWidget* parent = nullptr);
    ~CNewUserHelp() override;

    CURLPushButton* Button() const { return mButton; }
    // False when the URL opener could not be started: clicks do nothing.
    bool IsReady() const { return mReady; }

    void ListenToMessage(MessageT message, void* ioParam) override;

private:
    CURLPushButton* mButton;
    std::unique_ptr<CInternetConfig> mInternetConfig;
    bool mReady = false;
};
