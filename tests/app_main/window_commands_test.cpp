// Every window and dialog of the program, opened the way a user opens it: a
// menu item of the menu bar, or a button of a window that an earlier step
// opened, in the application built as the program builds it (every family
// registered). Each step must open the window of the right class from the
// right layout, or ask the right dialog, and no step may end in an alert.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include "app/framework/dialog.h"
#include "app/framework/menu_commands.h"
#include "app/main/about_box.h"
#include "app/main/tidewell_app.h"
#include "app/windows/configurations/configuration_panel.h"
#include "app/windows/configurations/configurations_layout.h"
#include "app/windows/configurations/configurations_window.h"
#include "app/windows/configurations/drag_and_drop_table.h"
#include "app/windows/configurations/edit_configuration_window.h"
#include "app/windows/configurations/general_panel.h"
#include "app/windows/configurations/misc_panel.h"
#include "app/windows/grabber/grabber.h"
#include "app/windows/grabber/grabber_layout.h"
#include "app/windows/preferences/preferences_window.h"
#include "app/windows/quicker_grabber/quicker_grabber.h"
#include "app/windows/search/searcher.h"
#include "app/windows/software_update/open_software_update.h"
#include "app/windows/software_update/software_update_windows.h"
#include "app/windows/update/update_iterator_window.h"
#include "engine/config/configuration.h"
#include "engine/config/configuration_files.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_store.h"
#include "tests/support/http_peer.h"

namespace {

using SStep = std::function<void()>;

// What a step must open: a window of class `isClass` built from the layout
// titled `layoutTitle`, or (dialog != 0) the modal dialog of that layout, or
// (sheetShows) a sheet of plain widgets over its window.
struct SOpens {
    std::string className;
    std::function<bool(CWindow*)> isClass;
    std::string layoutTitle;
    int dialog = 0;
    MessageT answer = kMsgCancel;  // the dialog's scripted answer
    std::string shownTitle{};      // when the window retitles itself
    std::function<bool()> sheetShows{};
};

template <class T>
SOpens Window(const std::string& className, const std::string& layoutTitle, const std::string& shownTitle = {})
{
    return {className, [](CWindow* window) { return dynamic_cast<T*>(window) != nullptr; }, layoutTitle, 0,
            kMsgCancel, shownTitle};
}

SOpens Dialog(int number, const std::string& layoutTitle, MessageT answer = kMsgCancel)
{
    return {"dialog", {}, layoutTitle, number, answer};
}

template <class T>
SOpens Sheet(const std::string& className)
{
    SOpens opens{.className = className, .isClass = {}, .layoutTitle = {}};
    opens.sheetShows = [] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (dynamic_cast<T*>(widget) != nullptr && widget->isVisible()) return true;
        return false;
    };
    return opens;
}

template <class T>
T* Newest()
{
    std::vector<T*> windows = CWindow::WindowsOfClass<T>();
    return windows.empty() ? nullptr : windows.back();
}

// The menu bar of the quicker grabber the start-up opened: every document
// window carries the same one.
QMenuBar* ProgramMenuBar()
{
    std::vector<CQuickerGrabber*> windows = CWindow::WindowsOfClass<CQuickerGrabber>();
    return windows.empty() ? nullptr : windows.front()->GetWidget()->findChild<QMenuBar*>();
}

// Every command item of the menu bar as "Menu > Item".
std::set<std::string> MenuItems()
{
    std::set<std::string> items;
    for (QAction* top : ProgramMenuBar()->actions()) {
        if (top->menu() == nullptr) continue;
        for (QAction* action : top->menu()->actions())
            if (GetItemCommand(action) != kCmdNothing)
                items.insert(top->text().remove('&').toStdString() + " > " + action->text().toStdString());
    }
    return items;
}

// Chooses "Menu > Item" as the user does: the menu updates its items as it
// opens, then the enabled item is triggered.
SStep Choose(const std::string& menuAndItem)
{
    return [menuAndItem] {
        for (QAction* top : ProgramMenuBar()->actions()) {
            if (top->menu() == nullptr) continue;
            UpdateCommandItems(top->menu());
            for (QAction* action : top->menu()->actions()) {
                if (top->text().remove('&').toStdString() + " > " + action->text().toStdString() != menuAndItem)
                    continue;
                EXPECT_TRUE(action->isEnabled()) << menuAndItem << " is disabled";
                action->trigger();
                return;
            }
        }
        ADD_FAILURE() << "no menu item " << menuAndItem;
    };
}

void Click(CPane* pane)
{
    auto* button = pane != nullptr ? qobject_cast<QAbstractButton*>(pane->GetWidget()) : nullptr;
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled());
    button->click();
}

template <class T>
SStep ClickIn(PaneIDT button)
{
    return [button] {
        T* window = Newest<T>();
        ASSERT_NE(window, nullptr);
        Click(window->FindPaneByID(button));
    };
}

// The last item of the grabber's configurations popup.
void ChooseConfigurationsItem()
{
    CGrabber* grabber = Newest<CGrabber>();
    ASSERT_NE(grabber, nullptr);
    auto* popup = qobject_cast<QComboBox*>(grabber->FindPaneByID(grabber::kMenu)->GetWidget());
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(popup->itemText(popup->count() - 1).toStdString(), grabber::kConfigurationsItem);
    popup->setCurrentIndex(popup->count() - 1);
    emit popup->activated(popup->count() - 1);
}

// A button of the editor's panel on `tab`; with `selectFirstRow`, the first
// row of its table is selected first.
SStep ClickInEditor(int tab, PaneIDT button, bool selectFirstRow = false)
{
    return [=] {
        CEditConfigurationWindow* editor = Newest<CEditConfigurationWindow>();
        ASSERT_NE(editor, nullptr);
        editor->FindPaneByID(configwin::kTabs)->SetValue(tab);
        ASSERT_NE(editor->GetPanel(), nullptr);
        if (selectFirstRow) {
            CDragAndDropTable* table = editor->GetPanel()->Table(configwin::kTable);
            ASSERT_NE(table, nullptr);
            ASSERT_GT(table->RowCount(), 0);
            table->SelectRow(0);
        }
        Click(editor->GetPanel()->Pane(button));
    };
}

std::string LayoutTitle(int number)
{
    const SLayout* layout = CLayoutTable::Find(number);
    return layout != nullptr ? layout->title : "(no layout " + std::to_string(number) + ")";
}

void SaveScreenshot(CWindow& window, const std::string& name)
{
    QImage picture = window.GetWidget()->grab().toImage();
    EXPECT_FALSE(picture.isNull()) << name;
    picture.save(QString(TIDEWELL_SCREENSHOT_DIR "/opened-") + QString::fromStdString(name) + ".png");
}

TEST(WindowCommands, EveryMenuItemAndButtonOpensItsOwnWindowOrDialog)
{
    // The version check asks a peer here, never the maker's server.
    testsupport::HttpPeer versions({testsupport::HttpRoute{.path = "/ProductVersions.plist", .status = 404}});
    EXPECT_TRUE(SetPreferenceString(versions.Url("/ProductVersions.plist").c_str(), "Version List URL"));

    gApplication->RunStartUpOnce();
    if (ProgramMenuBar() == nullptr) gApplication->ShowQuickerGrabber(false, false);
    ASSERT_NE(ProgramMenuBar(), nullptr) << "the start-up opened no window with the menu bar";
    ASSERT_FALSE(gAppSettings->mQueueFolderPath.empty()) << "the start-up made no queue folder";
    EXPECT_TRUE(std::filesystem::is_directory(gAppSettings->mQueueFolderPath));

    // A configuration with a realm and an input item, so that the editor's
    // row buttons have rows to act on.
    CConfiguration site;
    site.mSiteLogin.realmList.Append(CRealm{"Members", "reader", "secret"});
    site.mFormOptions.inputItemList.Append(CInputItem{"q", "tide"});
    std::filesystem::create_directories(ConfigurationsFolder());
    ASSERT_EQ(site.Save("Site").Code(), 0);

    using namespace configwin;
    const struct SCase {
        std::string what;
        SStep step;
        SOpens opens;
    } cases[] = {
        {"File > Quick Grab", Choose("File > Quick Grab"), Window<CQuickerGrabber>("CQuickerGrabber", "Quicker Grabber")},
        {"File > Download One Page…", Choose("File > Download One Page…"),
         Window<CQuickerGrabber>("CQuickerGrabber", "Quicker Grabber", "Download One Page")},
        {"File > Grab Media…", Choose("File > Grab Media…"), Window<CQuickerGrabber>("CQuickerGrabber", "Media Grabber")},
        {"File > New Grabber…", Choose("File > New Grabber…"), Window<CGrabber>("CGrabber", "Grabber")},
        {"grabber's popup item Configurations…", ChooseConfigurationsItem,
         Window<CConfigurationsWindow>("CConfigurationsWindow", "Configurations")},
        {"grabber's Edit", ClickIn<CGrabber>(grabber::kEdit),
         Window<CEditConfigurationWindow>("CEditConfigurationWindow", "Edit Configuration", "Default")},
        {"grabber's Search", ClickIn<CGrabber>(grabber::kSearch),
         Window<CSearcher>("CSearcher", "Search Downloaded Files")},
        {"File > Update Folder…", Choose("File > Update Folder…"),
         Window<CUpdateIteratorWindow>("CUpdateIteratorWindow", "Update Folder")},
        {"File > Search Downloaded Files…", Choose("File > Search Downloaded Files…"),
         Window<CSearcher>("CSearcher", "Search Downloaded Files")},
        {"File > Configurations…", Choose("File > Configurations…"),
         Window<CConfigurationsWindow>("CConfigurationsWindow", "Configurations")},
        {"configurations' New", ClickIn<CConfigurationsWindow>(3), Dialog(kNewNameDialog, "New Configuration")},
        {"configurations' Duplicate", ClickIn<CConfigurationsWindow>(4),
         Dialog(kDuplicateNameDialog, "Duplicate Configuration")},
        {"configurations' Rename", ClickIn<CConfigurationsWindow>(5), Dialog(kRenameNameDialog, "Rename Configuration")},
        {"configurations' Edit", ClickIn<CConfigurationsWindow>(7),
         Window<CEditConfigurationWindow>("CEditConfigurationWindow", "Edit Configuration", "Site")},
        {"realms' New", ClickInEditor(2, kNewRow), Dialog(kNewRealmDialog, "New Realm")},
        {"realms' Edit", ClickInEditor(2, kEditRow, true), Dialog(kEditRealmDialog, "Edit Realm")},
        {"input items' New", ClickInEditor(7, kNewRow), Dialog(kNewInputItemDialog, "New Input Item")},
        {"input items' Edit", ClickInEditor(7, kEditRow, true), Dialog(kEditInputItemDialog, "Edit Input Item")},
        {"input items' Delete", ClickInEditor(7, kDeleteRow, true),
         Dialog(kDeleteInputItemDialog, "Delete Input Item")},
        // Deleting the realm leaves the editor with a change to save.
        {"realms' Delete", ClickInEditor(2, kDeleteRow, true), Dialog(kDeleteRealmDialog, "Delete Realm", kMsgOK)},
        {"editor's Start Message…", ClickInEditor(6, kEditStart),
         Window<CMessageWindow>("CMessageWindow", "Edit Message")},
        {"general's Offsite Hosts…",
         [] {
             ClickInEditor(1, MakeFourCharCode("Goff"))();
             ClickInEditor(1, kHostsButton)();
         },
         Sheet<CHostsWindow>("CHostsWindow")},
        {"File > Close on the changed editor",
         [] {
             Newest<CEditConfigurationWindow>()->Select();
             Choose("File > Close")();
         },
         Dialog(kSaveChangesDialog, "Save Changes")},
        {"Edit > Preferences…", Choose("Edit > Preferences…"),
         Window<CTWLPreferencesWindow>("CTWLPreferencesWindow", "Preferences")},
        {"Help > Check for Updates…", Choose("Help > Check for Updates…"),
         Window<CCheckingForSoftwareWindow>("CCheckingForSoftwareWindow", "Software Update")},
        {"Help > About Tidewell", Choose("Help > About Tidewell"), Window<CAboutBox>("CAboutBox", "About Tidewell")},
    };

    int shot = 0;
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<CWindow*> before = CWindow::AllWindows();
        CScriptedAnswers::Clear();
        CScriptedAnswers::Push(c.opens.answer);
        // Spare answers: an unexpected alert must not wait for a user.
        for (int spare = 0; spare < 3; ++spare) CScriptedAnswers::Push(kMsgOK);

        c.step();

        std::vector<CWindow*> opened;
        for (CWindow* window : CWindow::AllWindows())
            if (std::find(before.begin(), before.end(), window) == before.end()) opened.push_back(window);
        std::vector<int> asked;
        for (const CScriptedAnswers::SQuestion& question : CScriptedAnswers::Asked()) {
            asked.push_back(question.layoutNumber);
            EXPECT_NE(question.layoutNumber, 0) << "alert: " << question.text;
        }
        if (c.opens.sheetShows) {
            EXPECT_TRUE(asked.empty());
            EXPECT_TRUE(opened.empty());
            EXPECT_TRUE(c.opens.sheetShows()) << "no " << c.opens.className << " shows";
            continue;
        }
        if (c.opens.dialog != 0) {
            EXPECT_EQ(asked, std::vector<int>{c.opens.dialog});
            EXPECT_EQ(LayoutTitle(c.opens.dialog), c.opens.layoutTitle);
            EXPECT_TRUE(opened.empty()) << opened.size() << " windows besides the dialog";
            continue;
        }
        EXPECT_TRUE(asked.empty());
        ASSERT_EQ(opened.size(), 1u) << "expected one new " << c.opens.className;
        CWindow* window = opened.front();
        EXPECT_TRUE(c.opens.isClass(window)) << "not a " << c.opens.className << ": layout "
                                             << window->GetLayoutNumber() << " \""
                                             << LayoutTitle(window->GetLayoutNumber()) << "\"";
        EXPECT_EQ(LayoutTitle(window->GetLayoutNumber()), c.opens.layoutTitle);
        if (!c.opens.shownTitle.empty()) {
            EXPECT_EQ(window->GetTitle(), c.opens.shownTitle);
        }
        EXPECT_TRUE(window->IsVisible());
        SaveScreenshot(*window, std::to_string(++shot) + " " + c.opens.layoutTitle);
    }
    StopSoftwareUpdate();

    // Every menu item that opens something has its row above; the rest
    // open pages in the browser, close a window or quit, or print (the
    // desktop's print dialog, answered in the grabber's and editor's tests).
    std::set<std::string> covered = {
        "File > Close", "File > Quit", "File > Print…", "Help > Tidewell Help", "Help > View in Farrowby Website...",
        "Help > Send Mail to Support…", "Help > Version History", "Help > Read Me Please",
    };
    for (const SCase& c : cases) covered.insert(c.what);
    for (const std::string& item : MenuItems()) EXPECT_TRUE(covered.count(item) == 1) << item << " was never chosen";
}

}  // namespace
