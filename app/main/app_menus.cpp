#include "app/main/app_menus.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>

#include "app/framework/grayscale_window.h"
#include "app/framework/menu_commands.h"
#include "app/main/app_commands.h"
#include "app/windows/grabber/open_grabber.h"
#include "app/windows/update/open_update_window.h"

namespace {

// Help tags of menu items show while help tags are on.
void FollowHelpTags(QMenu* menu)
{
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] { menu->setToolTipsVisible(AreHelpTagsOn()); });
}

// A shortcut of an item works only while the item is enabled, so the items
// follow the window's answers as soon as it comes to the front, not only when
// a menu opens.
class CItemsFollowActivation : public QObject {
public:
    CItemsFollowActivation(QMenuBar* bar, QWidget* window) : QObject(bar), mBar(bar) { window->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::WindowActivate)
            for (QAction* action : mBar->actions())
                if (QMenu* menu = action->menu()) UpdateCommandItems(menu);
        return false;
    }

private:
    QMenuBar* mBar;
};

}  // namespace

QMenuBar* BuildMenuBar(CWindow& window)
{
    auto* bar = new QMenuBar;
    QMenu* file = bar->addMenu("&File");
    AddCommandItem(file, "Quick Grab", kCmdQuickGrab, QKeySequence::New)->setToolTip("Grab, i.e. download, a website");
    AddCommandItem(file, "Download One Page…", kCmdDownloadOnePage)
        ->setToolTip("Download just the first page of a website and all the content it contains (images, etc.)");
    AddCommandItem(file, "Grab Media…", kCmdGrabMedia)
        ->setToolTip("Download media (images, movies,...) from a website");
    AddCommandItem(file, "New Grabber…", kCmdNewGrabber)
        ->setToolTip("Open a grabber window with counters and a log");
    AddCommandItem(file, "Update Folder…", kCmdUpdateFolder)
        ->setToolTip("Grab the files of a downloaded folder again");
    AddCommandItem(file, "Search Downloaded Files…", kCmdSearchFiles, QKeySequence::Find)
        ->setToolTip("Search a set of downloaded files");
    AddCommandItem(file, "Configurations…", kCmdShowConfigurations)
        ->setToolTip("Open the Configurations window to name, delete or edit a configuration");
    file->addSeparator();
    AddCommandItem(file, "Print…", kCmdPrint, QKeySequence::Print)
        ->setToolTip("Print the configuration currently displayed in the Configuration Editor");
    file->addSeparator();
    AddCommandItem(file, "Close", kCmdClose, QKeySequence::Close);
    AddCommandItem(file, "Quit", kCmdQuit, QKeySequence::Quit);
    FollowHelpTags(file);

    QMenu* edit = bar->addMenu("&Edit");
    AddCommandItem(edit, "Preferences…", kCmdPreferences, QKeySequence::Preferences);

    QMenu* help = bar->addMenu("&Help");
    AddCommandItem(help, "Tidewell Help", kCmdWindowHelp, QKeySequence::HelpContents);
    AddCommandItem(help, "View in Farrowby Website...", kCmdWebsite);
    AddCommandItem(help, "Send Mail to Support…", kCmdSupportMail);
    AddCommandItem(help, "Version History", kCmdVersionHistory);
    AddCommandItem(help, "Read Me Please", kCmdReadMe);
    AddCommandItem(help, "Check for Updates…", kCmdCheckForUpdates);
    help->addSeparator();
    AddCommandItem(help, "About Tidewell", kCmdAbout);
    if (QWidget* root = window.GetWidget()) new CItemsFollowActivation(bar, root);
    return bar;
}
