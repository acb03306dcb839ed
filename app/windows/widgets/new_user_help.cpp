#include "app/windows/widgets/new_user_help.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

#include "app/windows/widgets/url_push_button.h"
#include "foundation/system/internet_config.h"

CNewUserHelp::CNewUserHelp(const QString& text, const QString& title, const QString& url, QWidget* parent)
    : QDialog(parent), mButton(new CURLPushButton(title, url, kMsgOpenWeb, this))
{
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    layout->addWidget(label);
    layout->addWidget(mButton);
    mButton->setObjectName(QStringLiteral("1"));
    mButton->AddListener(this);
    mInternetConfig = std::make_unique<CInternetConfig>(kTidewellCreator);
    mReady = mInternetConfig->Start() == kSysNoError;
}

CNewUserHelp::~CNewUserHelp()
{
    StopListening();
    if (mReady) (void)mInternetConfig->Stop();
}

void CNewUserHelp::ListenToMessage(MessageT message, void*)
{
    if (!mReady || message != kMsgOpenWeb) return;
    if (mInternetConfig->LaunchURL(mButton->URLOrTitle().toStdString()) != kSysNoError) QApplication::beep();
}
