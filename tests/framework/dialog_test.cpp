// Modal questions: scripted answers in tests, a local loop on the main
// thread, and on a fiber a hand-over to the main loop (never a nested loop).
#include <QApplication>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/framework/class_registrar.h"
#include "app/framework/dialog.h"
#include "foundation/errors/framework_exception.h"
#include "foundation/threads/thread.h"
#include "framework_environment.h"

namespace {

constexpr PaneIDT kQuit = MakeFourCharCode("QUIT");
constexpr PaneIDT kName = MakeFourCharCode("NAME");
constexpr SPaneSpec kQuestionPanes[] = {
    {.id = kName, .classID = kClassEditField, .cell = {0, 0, 1, 2}},
    {.id = MakeFourCharCode("CNCL"), .classID = kClassPushButton, .cell = {1, 0}, .caption = "Cancel",
     .valueMessage = kMsgCancel},
    {.id = kQuit, .classID = kClassPushButton, .cell = {1, 1}, .caption = "Quit", .valueMessage = kMsgOK},
};
constexpr SLayout kQuestion{.number = 9100, .windowClass = kClassDialog, .kind = EWindowKind::kDialog,
                            .title = "Question", .panes = kQuestionPanes};

// Clicks Quit in the dialog that is up, from the main loop.
void ClickQuitSoon(int* loopLevelAtClick)
{
    QTimer::singleShot(0, [loopLevelAtClick] {
        for (CWindow* window : CWindow::AllWindows()) {
            if (auto* dialog = dynamic_cast<CDialog*>(window); dialog && dialog->IsVisible()) {
                *loopLevelAtClick = QThread::currentThread()->loopLevel();
                qobject_cast<QPushButton*>(dialog->FindPaneByID(kQuit)->GetWidget())->click();
                return;
            }
        }
        ClickQuitSoon(loopLevelAtClick);
    });
}

class CAskingThread : public CThread {
public:
    CAskingThread() : CThread(EWhenFinished::kKeep) {}
    MessageT answer = kMsgNothing;

protected:
    void* Run() override
    {
        answer = RunModalDialog(kQuestion.number, "Ask");
        return nullptr;
    }
};

TEST(Dialog, ScriptedAnswersAreTakenInOrderAndRecorded)
{
    CScopedLayout registered(kQuestion);
    CScriptedAnswers::Clear();
    CScriptedAnswers::Push(kMsgCancel);
    CScriptedAnswers::Push(kMsgOK);
    std::string typed;
    EXPECT_EQ(RunModalDialog(kQuestion.number, "Ask",
                             [](CDialog& d) { d.FindPaneByID(kName)->SetDescriptor("filled"); },
                             [&](CDialog& d) { typed = d.FindPaneByID(kName)->GetDescriptor(); }),
              kMsgCancel);
    EXPECT_EQ(typed, "filled");
    EXPECT_EQ(RunAlert({EAlertKind::kCaution, "Sure?", "", {{"No", kMsgCancel}, {"Yes", kMsgOK}}}), kMsgOK);
    ASSERT_EQ(CScriptedAnswers::Asked().size(), 2u);
    EXPECT_EQ(CScriptedAnswers::Asked()[0].layoutNumber, kQuestion.number);
    EXPECT_EQ(CScriptedAnswers::Asked()[1].text, "Sure?");
    // A layout that cannot be built still fails, and keeps the answer.
    CScriptedAnswers::Push(kMsgOK);
    try {
        RunModalDialog(4243, "ConfirmQuit");
        ADD_FAILURE() << "built";
    } catch (const CFrameworkException& error) {
        EXPECT_EQ(error.GetErrorCode(), kErrNilPointer);
        EXPECT_EQ(error.GetErrorString(), "ConfirmQuit");
    }
    EXPECT_TRUE(CScriptedAnswers::HasAnswers());
    CScriptedAnswers::Clear();
}

TEST(Dialog, MainThreadQuestionRunsALocalLoop)
{
    CScopedLayout registered(kQuestion);
    int level = -1;
    ClickQuitSoon(&level);
    EXPECT_EQ(RunModalDialog(kQuestion.number, "Ask"), kMsgOK);
    EXPECT_EQ(level, 1);
}

TEST(Dialog, FiberQuestionWaitsForTheMainLoop)
{
    CScopedLayout registered(kQuestion);
    CAskingThread asker;
    asker.Resume();
    int level = -1;
    ClickQuitSoon(&level);
    ASSERT_TRUE(RunLoopUntil([&] { return asker.IsFinished(); }));
    EXPECT_EQ(asker.answer, kMsgOK);
    // Only the test's own loop ran: the fiber did not nest one.
    EXPECT_EQ(level, 1);
}

// The window the user was in takes the keyboard again once the question is
// answered, whoever asked it, and after a question that follows another at
// once: a dialog is a window of its own, and without a window manager to
// hand the keyboard back, keys would reach no window.
TEST(Dialog, TheWindowActiveBeforeAQuestionIsActiveAfterIt)
{
    CScopedLayout registered(kQuestion);
    const struct {
        const char* name;
        bool fromFiber;
        int questions;  // asked one right after the other
    } cases[] = {
        {"asked on the main thread", false, 1},
        {"asked by a fiber", true, 1},
        {"a second question at once", false, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget window;
        window.show();
        window.activateWindow();
        ASSERT_TRUE(RunLoopUntil([&] { return QApplication::activeWindow() == &window; }));
        int level = -1;
        if (c.fromFiber) {
            ClickQuitSoon(&level);
            CAskingThread asker;
            asker.Resume();
            ASSERT_TRUE(RunLoopUntil([&] { return asker.IsFinished(); }));
            EXPECT_EQ(asker.answer, kMsgOK);
        } else {
            for (int question = 0; question < c.questions; ++question) {
                ClickQuitSoon(&level);
                EXPECT_EQ(RunModalDialog(kQuestion.number, "Ask"), kMsgOK);
            }
        }
        EXPECT_TRUE(RunLoopUntil([&] { return QApplication::activeWindow() == &window; }));
    }
}

TEST(Dialog, StoppedFiberStopsWaitingForAnAnswer)
{
    CScopedLayout registered(kQuestion);
    CAskingThread asker;
    asker.Resume();
    ASSERT_TRUE(RunLoopUntil([&] { return asker.IsSleeping(); }));
    asker.RequestStop();
    asker.Wake();
    ASSERT_TRUE(RunLoopUntil([&] { return asker.IsFinished(); }));
    EXPECT_EQ(asker.answer, kMsgCancel);
}

}  // namespace
