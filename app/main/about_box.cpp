#include "app/main/about_box.h"

#include <QFont>
#include <QLabel>
#include <QPixmap>

#include "app/main/app_commands.h"
#include "app/main/app_layouts.h"
#include "app/windows/widgets/url_push_button.h"
#include "app/windows/widgets/widget_panes.h"
#include "foundation/system/bundle_info.h"
#include "platform/launch/program_launcher.h"

const char* AboutBoxNotice()
{
    return "Copyright \u00A9 2026 Farrowby Software. Tidewell grabs web sites for reading offline; "
           "respect the rules of the sites you grab.";
}

CAboutBox::CAboutBox(const SLayout& layout, CCommander* superCommander) : CWindow(layout, superCommander) {}

void CAboutBox::FinishCreateSelf()
{
    CWindow::FinishCreateSelf();
    // OK sits in a row of its own below the content.
    GetContent().AddListenerBelow(this);
    // The notice goes wherever the layout put its placeholder.
    for (const auto& pane : GetContent().SubPanes()) {
        if (pane->GetDescriptor() == kNoticePlaceholder) pane->SetDescriptor(AboutBoxNotice());
    }
    if (CPane* notice = FindPaneByID(kAboutNoticePane))
        if (auto* label = qobject_cast<QLabel*>(notice->GetWidget())) label->setWordWrap(true);
    if (CPane* version = FindPaneByID(kAboutVersionPane)) {
        std::string text = version->GetDescriptor();
        std::size_t at = text.find("^0");
        if (at != std::string::npos) text.replace(at, 2, GetBundleShortVersion());
        version->SetDescriptor(text);
    }
    if (CPane* name = FindPaneByID(kAboutNamePane)) {
        QFont font = name->GetWidget()->font();
        font.setPointSizeF(font.pointSizeF() * 1.6);
        font.setBold(true);
        name->GetWidget()->setFont(font);
    }
    if (CPane* icon = FindPaneByID(kAboutIconPane)) {
        if (auto* label = qobject_cast<QLabel*>(icon->GetWidget())) {
            QPixmap picture(QString::fromStdString(ResourcePath("icons/tidewell.png")));
            int side = label->fontMetrics().height() * 6;
            if (!picture.isNull()) label->setPixmap(picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        }
    }
}

void CAboutBox::ListenToMessage(MessageT message, void*)
{
    if (message == kMsgOK) AttemptClose();
    const PaneIDT link = message == kMsgAboutMail ? kAboutMailPane : message == kMsgAboutWeb ? kAboutWebPane : 0;
    if (auto* pane = link != 0 ? FindPaneAs<CURLPushButtonPane>(link) : nullptr)
        OpenWithDesktop(pane->Button()->URLOrTitle().toStdString());
}
