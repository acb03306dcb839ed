// The application object in process: its commands and what they open, the
// about box (with a screenshot to look at), the quit check, the launcher's
// progress and the help-tag delay.
#include <unistd.h>

#include <cmath>
#include <functional>

#include <QAbstractButton>
#include <QPushButton>
#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

#include "app/framework/class_registrar.h"
#include "app/framework/dialog.h"
#include "app/framework/dialog_keys.h"
#include "app/framework/grayscale_window.h"
#include "app/framework/menu_commands.h"
#include "app/framework/window_hooks.h"
#include "app/main/about_box.h"
#include "app/main/app_commands.h"
#include "app/main/app_layouts.h"
#include "app/main/launcher_progress.h"
#include "app/framework/reveal_file.h"
#include "app/main/tidewell_app.h"
#include "app/main/window_families.h"
#include "app/windows/grabber/open_grabber.h"
#include "app/windows/update/open_update_window.h"
#include "app/windows/configurations/open_configurations.h"
#include "app/windows/quicker_grabber/register_quicker_grabber.h"
#include "app/progress/dock_tile.h"
#include "app/windows/configurations/edit_configuration_window.h"
#include "foundation/settings/preference_store.h"
#include "foundation/threads/thread.h"
#include "platform/launch/program_launcher.h"
#include "tests/framework/private_home.h"
#include "tests/windows/print_to_pdf.h"
#include "tests/support/temp_dir.h"
#include "tests/windows/dialog_keys.h"

namespace {

class AppEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        mHome = std::make_unique<testsupport::TempDir>();
        UsePrivateHome(*mHome);
        mApplication = std::make_unique<CTidewellApp>(mArgc, mArgv);
    }
    void TearDown() override
    {
        mApplication.reset();
        mHome.reset();
    }

private:
    int mArgc = 1;
    char mName[16] = "app_main_tests";
    char* mArgv[2] = {mName, nullptr};
    std::unique_ptr<testsupport::TempDir> mHome;
    std::unique_ptr<CTidewellApp> mApplication;
};

const testing::Environment* const kApp = testing::AddGlobalTestEnvironment(new AppEnvironment);

// Records what would have been started instead of starting it.
class RecordedSpawns {
public:
    RecordedSpawns()
    {
        SetProgramSpawner([this](const std::vector<std::string>& argv) {
            started.push_back(argv);
            return 0;
        });
    }
    ~RecordedSpawns() { SetProgramSpawner(nullptr); }
    std::vector<std::vector<std::string>> started;
};

TEST(TidewellApp, HelpCommandsOpenTheirPagesAndDelegatedOnesNeedAHandler)
{
    CCommander::SetTarget(gApplication);
    RecordedSpawns spawns;
    struct SCase {
        CommandT command;
        std::string opens;
    } cases[] = {
        {kCmdWebsite, kProductPageURL},
        {kCmdSupportMail, "mailto:tidewell-support@farrowby.com?subject=Tidewell%20"},
        {kCmdVersionHistory, ResourcePath("Version History.html")},
        {kCmdReadMe, ResourcePath("Read Me Please.html")},
        {kCmdWindowHelp, ResourcePath("help/index.html")},
    };
    for (const SCase& c : cases) {
        spawns.started.clear();
        EXPECT_TRUE(CCommander::DispatchCommandStatus(c.command).enabled);
        EXPECT_TRUE(CCommander::DispatchCommand(c.command));
        ASSERT_EQ(spawns.started.size(), 1u) << FourCharCodeText(CommandValue(c.command));
        EXPECT_EQ(spawns.started[0].front(), "xdg-open");
        EXPECT_EQ(spawns.started[0].back().substr(0, c.opens.size()), c.opens);
    }
    // Every help page the windows name exists.
    for (const char* name : {"Grab Quick Window", "Grabber Window", "Search Window", "Update Window",
                             "Preferences Window", "Configurations Window", "Edit Configuration Window", "other"}) {
        std::string page = HelpPageForWindow(name);
        EXPECT_EQ(access(page.c_str(), R_OK), 0) << page;
    }

    // The search window's own handler stands aside meanwhile.
    auto searchWindow = SetApplicationCommandHandler(CommandValue(kCmdSearchFiles), nullptr);
    EXPECT_TRUE(searchWindow) << "the application registered no search window";
    EXPECT_FALSE(CCommander::DispatchCommandStatus(kCmdSearchFiles).enabled);
    int searches = 0;
    SetApplicationCommandHandler(CommandValue(kCmdSearchFiles), [&] { ++searches; });
    EXPECT_TRUE(CCommander::DispatchCommandStatus(kCmdSearchFiles).enabled);
    EXPECT_TRUE(CCommander::DispatchCommand(kCmdSearchFiles));
    EXPECT_EQ(searches, 1);
    SetApplicationCommandHandler(CommandValue(kCmdSearchFiles), searchWindow);
}

void SaveScreenshot(QWidget* widget, const char* name)
{
    widget->adjustSize();
    QImage picture = widget->grab().toImage();
    EXPECT_FALSE(picture.isNull());
    // Beside the test program, to look at after a run.
    EXPECT_TRUE(picture.save(QString(TIDEWELL_SCREENSHOT_DIR "/") + name + ".png")) << name;
}

TEST(TidewellApp, AboutBoxShowsVersionAndNotice)
{
    gApplication->ShowAboutBox();
    auto boxes = CWindow::WindowsOfClass<CAboutBox>();
    ASSERT_EQ(boxes.size(), 1u);
    CAboutBox* box = boxes[0];
    EXPECT_EQ(box->FindPaneByID(kAboutNoticePane)->GetDescriptor(), AboutBoxNotice());
    EXPECT_EQ(box->FindPaneByID(kAboutVersionPane)->GetDescriptor().find("^0"), std::string::npos);
    SaveScreenshot(box->GetWidget(), "about-box");
    // The link buttons open the maker's addresses.
    const struct {
        PaneIDT pane;
        const char* opens;
    } links[] = {{kAboutMailPane, "mailto:tidewell-support@farrowby.com"}, {kAboutWebPane, kProductPageURL}};
    for (const auto& link : links) {
        RecordedSpawns spawns;
        auto* button = qobject_cast<QAbstractButton*>(box->FindPaneByID(link.pane)->GetWidget());
        ASSERT_NE(button, nullptr);
        button->click();
        ASSERT_EQ(spawns.started.size(), 1u) << link.opens;
        EXPECT_EQ(spawns.started[0].back(), link.opens);
    }
    box->ListenToMessage(kMsgOK, nullptr);  // OK closes it, later
    EXPECT_TRUE(box->IsScheduledForCleanup());
    DeleteScheduledObjects();
    EXPECT_TRUE(CWindow::WindowsOfClass<CAboutBox>().empty());
}

// The about box closes with its OK button and from the keyboard, and its
// first focus is OK, not a link that would start a program.
TEST(TidewellApp, AboutBoxClosesWithOKReturnAndEscape)
{
    const struct {
        const char* what;
        Qt::Key key;  // 0: click OK
        Qt::KeyboardModifiers modifiers;
    } cases[] = {
        {"click", Qt::Key(0), Qt::NoModifier},
        {"return", Qt::Key_Return, Qt::NoModifier},
        {"enter", Qt::Key_Enter, Qt::KeypadModifier},
        {"escape", Qt::Key_Escape, Qt::NoModifier},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordedSpawns spawns;
        gApplication->ShowAboutBox();
        auto boxes = CWindow::WindowsOfClass<CAboutBox>();
        ASSERT_EQ(boxes.size(), 1u);
        QPushButton* ok = FindButtonWithMessage(boxes[0]->GetContent(), kMsgOK);
        ASSERT_NE(ok, nullptr);
        if (c.key == 0) {
            ok->click();
        } else {
            ASSERT_TRUE(windowtest::PressInWindow(*boxes[0]->GetWidget(), c.key, c.modifiers));
            EXPECT_EQ(boxes[0]->GetWidget()->focusWidget(), ok);
        }
        EXPECT_TRUE(boxes[0]->IsScheduledForCleanup());
        EXPECT_TRUE(spawns.started.empty());
        DeleteScheduledObjects();
        EXPECT_TRUE(CWindow::WindowsOfClass<CAboutBox>().empty());
    }
}

// What has a dialog's first focus: a field, its Cancel button, its default
// button (when it has no Cancel) or, wrongly, another button.
std::string FocusRole(QWidget& focused)
{
    CDialog* dialog = nullptr;
    for (CDialog* each : CWindow::WindowsOfClass<CDialog>())
        if (each->GetWidget() == focused.window()) dialog = each;
    if (dialog == nullptr) return "outside the dialog";
    if (qobject_cast<QAbstractButton*>(&focused) == nullptr) return "field";
    QPushButton* cancel = FindButtonWithMessage(dialog->GetContent(), kMsgCancel);
    if (&focused == cancel) return "cancel";
    if (cancel == nullptr && &focused == FindButtonWithMessage(dialog->GetContent(), dialog->DefaultMessage()))
        return "default";
    return "another button";
}

// The program's windows registered as main() registers them; the command
// handlers and grab families go again afterwards, so that the other tests
// see the bare application.
class ScopedWindowFamilies {
public:
    ScopedWindowFamilies() { RegisterWindowFamilies(gApplication); }
    ~ScopedWindowFamilies()
    {
        for (CommandT command : {kCmdShowConfigurations, kCmdSearchFiles, kCmdNewGrabber, kCmdUpdateFolder,
                                 kCmdPreferences, kCmdCheckForUpdates})
            SetApplicationCommandHandler(CommandValue(command), nullptr);
        ClearGrabWindowFamilies();
    }
};

// Every dialog the program registers, and its alerts, answer real keys on
// whatever has the first focus: Return and Enter give the default button's
// answer, Escape cancels (a one-button alert answers its button), and the
// first focus is never a button that acts on the user's data.
TEST(TidewellApp, EveryDialogAnswersReturnAndEscape)
{
    ScopedWindowFamilies families;
    CScriptedAnswers::Clear();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        MessageT answer;
        MessageT oneButtonAnswer;
    } keys[] = {
        {Qt::Key_Return, Qt::NoModifier, kMsgOK, kMsgOK},
        {Qt::Key_Enter, Qt::KeypadModifier, kMsgOK, kMsgOK},
        {Qt::Key_Escape, Qt::NoModifier, kMsgCancel, kMsgOK},
    };
    static const SAlert alerts[] = {
        {EAlertKind::kNote, "One button", "", {}},
        {EAlertKind::kCaution, "Delete it?", "It cannot be undone.", {{"Delete", kMsgOK}, {"Cancel", kMsgCancel}}},
        {EAlertKind::kCaution, "Save it?", "",
         {{"Save", kMsgOK}, {"Don't Save", MakeFourCharCode("DONT")}, {"Cancel", kMsgCancel}}},
    };
    struct SQuestion {
        std::string name;
        std::function<MessageT()> ask;
        bool oneButton;
    };
    std::vector<SQuestion> questions;
    for (int number : CLayoutTable::Numbers()) {
        const SLayout* layout = CLayoutTable::Find(number);
        if (layout->kind != EWindowKind::kDialog || layout->windowClass != kClassDialog) continue;
        questions.push_back({"dialog " + std::to_string(number) + " " + layout->title,
                             [number] { return RunModalDialog(number, "Keys"); }, false});
    }
    EXPECT_GE(questions.size(), 14u) << "the program's dialogs are not all registered";
    for (const SAlert& alert : alerts)
        questions.push_back({"alert " + alert.text, [&alert] { return RunAlert(alert); }, alert.buttons.empty()});
    for (const SQuestion& question : questions) {
        for (const auto& k : keys) {
            SCOPED_TRACE(question.name + ", key " + std::to_string(k.key));
            std::string role;
            windowtest::PressInNextDialog(k.key, k.modifiers, [&](QWidget& focused) { role = FocusRole(focused); });
            EXPECT_EQ(question.ask(), question.oneButton ? k.oneButtonAnswer : k.answer);
            EXPECT_TRUE(role == "cancel" || role == "default") << role;
        }
    }
    EXPECT_TRUE(CScriptedAnswers::Asked().empty());
    DeleteScheduledObjects();
}

TEST(TidewellApp, FrameworkWindowScreenshot)
{
    // A document window with the menu bar, a grid of controls and help tags.
    static constexpr SPaneSpec panes[] = {
        {.classID = kClassCaption, .cell = {0, 0}, .caption = "URL:"},
        {.id = MakeFourCharCode("URL "), .classID = kClassEditField, .cell = {0, 1, 1, 2},
         .caption = "https://example.org/", .widthChars = 40, .stretch = true},
        {.id = MakeFourCharCode("Stay"), .classID = kClassCheckBox, .cell = {1, 1}, .caption = "Stay in folder",
         .value = 1},
        {.id = MakeFourCharCode("ONLY"), .classID = kClassPopupMenu, .cell = {1, 2}, .caption = "1 level\n2 levels"},
        {.id = MakeFourCharCode("Prog"), .classID = kClassProgressBar, .cell = {2, 0, 1, 3}, .value = 40,
         .maxValue = 100},
        {.id = MakeFourCharCode("GRAB"), .classID = kClassPushButton, .cell = {3, 2}, .caption = "Grab"},
    };
    static constexpr SLayout layout{.number = 9500, .windowClass = kClassGrayscaleWindow, .title = "Framework window",
                                    .panes = panes};
    CLayoutTable::Register(layout);
    std::unique_ptr<CWindow> window(MakeWindow(layout.number, gApplication, "Screenshot"));
    window->Show();
    SaveScreenshot(window->GetWidget(), "framework-window");
    CLayoutTable::Unregister(layout.number);
}

class CLongSleeper : public CThread {
protected:
    void* Run() override
    {
        for (;;) {
            Sleep(std::chrono::hours(1));
            CheckStop();
        }
    }
};

TEST(TidewellApp, QuitAsksWhileAGrabRunsThenStopsEveryThread)
{
    bool running = true;
    int closed = 0;
    AddGrabWindowFamily({"test", [&] { return running; }, [&] { ++closed; }});
    auto* sleeper = new CLongSleeper;
    sleeper->Resume();
    CThread::Yield();

    CScriptedAnswers::Clear();
    CScriptedAnswers::Push(kMsgCancel);
    EXPECT_FALSE(gApplication->Quit());
    EXPECT_EQ(closed, 0) << "Cancel must leave every window as it was";
    EXPECT_FALSE(sleeper->IsStopRequested());
    ASSERT_EQ(CScriptedAnswers::Asked().size(), 1u);
    EXPECT_EQ(CScriptedAnswers::Asked()[0].layoutNumber, kConfirmQuitLayout);

    CScriptedAnswers::Push(kMsgOK);
    EXPECT_TRUE(gApplication->Quit());
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(CThread::LiveThreads().IsEmpty()) << "a thread outlived the quit";

    running = false;  // nothing runs: no question
    CScriptedAnswers::Clear();
    EXPECT_TRUE(gApplication->Quit());
    EXPECT_TRUE(CScriptedAnswers::Asked().empty());
    ClearGrabWindowFamilies();
}

TEST(TidewellApp, LauncherProgressAndTagDelay)
{
    struct SProgress {
        double progress;
        bool visible;
        double shown;
    } progressCases[] = {{-1, false, 0}, {0, true, 0}, {0.25, true, 0.25}, {1, true, 1}, {7, true, 1},
                         {std::nan(""), false, 0}};
    for (const SProgress& c : progressCases) {
        SLauncherProgress progress = LauncherProgressFor(CDockTile{QIcon(), c.progress, false});
        EXPECT_EQ(progress.visible, c.visible) << c.progress;
        EXPECT_DOUBLE_EQ(progress.progress, c.shown) << c.progress;
    }
    // A crawl with no URLs on its level: no division, an empty pie.
    DrawDockTileProgress(3, 0, 0);
    RestoreDockTile();

    struct SDelay {
        const char* stored;  // null: missing
        int milliseconds;
    } delays[] = {{nullptr, 2000}, {"0", 0}, {"3", 3000}, {"-4", 0}, {"99999999", 3600000}};
    for (const SDelay& c : delays) {
        if (c.stored) EXPECT_TRUE(SetPreferenceString(c.stored, "Tag Delay"));
        else EXPECT_TRUE(RemovePreference("Tag Delay"));
        EXPECT_EQ(TagDelayMilliseconds(), c.milliseconds) << (c.stored ? c.stored : "missing");
    }
    EXPECT_TRUE(RemovePreference("Tag Delay"));
}

TEST(TidewellApp, RevealWithoutAFileManagerOpensTheFolder)
{
    RecordedSpawns spawns;
    EXPECT_TRUE(RevealFile("/tmp/site/index.html"));
    ASSERT_EQ(spawns.started.size(), 1u);
    EXPECT_EQ(spawns.started[0], (std::vector<std::string>{"xdg-open", "/tmp/site"}));
}

// File > Print… follows the front window: enabled where the window prints
// (here the editor's configuration summary), and it prints.
TEST(TidewellApp, PrintItemFollowsTheFrontWindow)
{
    static const bool registered = [] {  // once per process
        RegisterQuickerGrabber();
        RegisterConfigurationWindows();
        return true;
    }();
    (void)registered;
    testsupport::TempDir folder;
    const struct {
        const char* name;
        std::function<CWindow*()> open;
        bool enabled;
        std::vector<std::string> printed;  // in this order
    } cases[] = {
        {"quicker grabber",
         [] {
             CCommander::SetTarget(gApplication);
             EXPECT_TRUE(CCommander::DispatchCommand(kCmdQuickGrab));
             return CWindow::AllWindows().back();
         },
         false, {}},
        {"configuration editor", [] { return ShowEditConfigurationWindow(nullptr, "Default"); }, true,
         {"indexFilename : Index.html", "extension : .html"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CPrintToPdf printer(folder.Path() + "/printed.pdf", false);
        CWindow* window = c.open();
        ASSERT_NE(window, nullptr);
        window->Select();
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(window->GetWidget(), &activate);
        QAction* print = nullptr;
        for (QAction* action : window->GetWidget()->findChild<QMenuBar*>()->findChildren<QAction*>())
            if (GetItemCommand(action) == kCmdPrint) print = action;
        ASSERT_NE(print, nullptr);
        EXPECT_EQ(print->text(), "Print…");
        EXPECT_EQ(print->shortcut(), QKeySequence(QKeySequence::Print));
        EXPECT_EQ(print->isEnabled(), c.enabled);
        print->trigger();
        const std::string all = printer.AllText();
        EXPECT_EQ(all.empty(), !c.enabled);
        for (const std::string& line : c.printed) EXPECT_NE(all.find(line), std::string::npos) << line;
        window->AttemptClose();
        DeleteScheduledObjects();
    }
}

}  // namespace
