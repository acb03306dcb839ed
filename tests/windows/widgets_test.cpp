#include <cstdint>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>
#include <gtest/gtest.h>

#include "app/framework/chasing_arrows.h"
#include "app/windows/widgets/arrow_field.h"
#include "app/windows/widgets/dd_text_field.h"
#include "app/windows/widgets/dirty_text.h"
#include "app/windows/widgets/live_resize_attachment.h"
#include "app/windows/widgets/new_user_help.h"
#include "app/windows/widgets/url_push_button.h"
#include "platform/launch/program_launcher.h"
#include "tests/support/temp_dir.h"
#include "tests/windows/paint_counter.h"
#include "tests/windows/run_events.h"

namespace {

class MessageLog : public CListener {
public:
    void ListenToMessage(MessageT message, void* ioParam) override
    {
        messages.push_back(message);
        if (message == CDDTextField::kMsgFieldKey) keys.push_back(*static_cast<std::int32_t*>(ioParam));
    }
    std::vector<MessageT> messages;
    std::vector<std::int32_t> keys;
};

TEST(DirtyTextTest, EmptiesItselfBeforeReachingItsCapacity)
{
    struct Case {
        int held, added, expected;
    } cases[] = {
        {31000, 800, 800},                 // would pass the capacity: emptied first
        {30000, 1743, 31743},              // one short of it: kept
        {30000, 1744, 1744},               // reaches it exactly: emptied
        {0, 40000, CDirtyText::kCapacity - 1},  // alone too long: its tail is kept
    };
    for (const Case& c : cases) {
        CDirtyText pane;
        pane.Insert(std::string(c.held, 'a'));
        pane.InsertRedText(std::string(c.added, 'b'));
        EXPECT_EQ(pane.Length(), c.expected) << c.held << " + " << c.added;
        EXPECT_TRUE(pane.toPlainText().endsWith('b'));
        EXPECT_FALSE(pane.IsDirty()) << "the program's own lines are no user change";
    }
}

TEST(DirtyTextTest, TheFirstUserEditAloneUpdatesTheCommands)
{
    CDirtyText pane;
    int updates = 0;
    pane.SetCommandStatusHook([&updates] { ++updates; });
    pane.Insert("log line\r");
    pane.show();
    pane.setFocus();
    for (const char* key : {"x", "y"}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QString::fromLatin1(key));
        QApplication::sendEvent(&pane, &press);
    }
    EXPECT_TRUE(pane.IsDirty());
    EXPECT_EQ(updates, 1);
}

// Sends a drop of `data` to the field; true when the field took it.
bool Drop(CDDTextField& field, QMimeData& data, Qt::DropAction proposed = Qt::MoveAction)
{
    const QPointF at(5, 5);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&field, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setDropAction(proposed);
    QApplication::sendEvent(&field, &drop);
    if (drop.isAccepted()) {
        EXPECT_EQ(drop.dropAction(), Qt::CopyAction) << "a drop never takes the text from its source";
    }
    return drop.isAccepted();
}

TEST(DDTextFieldTest, DropsAreCleanedAndFitTheField)
{
    testsupport::TempDir folder;
    const std::string file = folder.Write("page.html", "x");
    struct Case {
        const char* name;
        QString before;
        int capacity;
        QString text;
        QList<QUrl> urls;
        bool accepted;
        QString after;
    } cases[] = {
        {"text", "", 255, "http://a.example/", {}, true, "http://a.example/"},
        {"control characters", "", 255, "http://a.\r\nexample/\t\x7f", {}, true, "http://a.example/"},
        {"cut to the capacity", "http://", 10, "abcdefgh", {}, true, "http://abc"},
        {"field full", "http://abc", 10, "x", {}, true, "http://abc"},
        {"folder", "", 255, "", {QUrl::fromLocalFile(QString::fromStdString(folder.Path()))}, true,
         QString::fromStdString(folder.Path())},
        {"folder too long", "", 5, "", {QUrl::fromLocalFile(QString::fromStdString(folder.Path()))}, false, ""},
        {"file", "", 255, "", {QUrl::fromLocalFile(QString::fromStdString(file))}, false, ""},
        {"web link", "", 255, "", {QUrl("http://b.example/x")}, true, "http://b.example/x"},
    };
    for (const Case& c : cases) {
        CDDTextField field;
        field.setMaxLength(c.capacity);
        field.setText(c.before);
        QMimeData data;
        if (!c.text.isEmpty()) data.setText(c.text);
        if (!c.urls.isEmpty()) data.setUrls(c.urls);
        EXPECT_EQ(Drop(field, data), c.accepted) << c.name;
        EXPECT_EQ(field.text(), c.after) << c.name;
    }
    CDDTextField disabled;
    disabled.setEnabled(false);
    QMimeData data;
    data.setText("x");
    EXPECT_FALSE(Drop(disabled, data));
}

TEST(DDTextFieldTest, EveryKeyIsToldToTheListenersBeforeTheFieldTakesIt)
{
    CDDTextField field;
    MessageLog log;
    field.AddListener(&log);
    const struct {
        int key;
        const char* text;
    } keys[] = {{Qt::Key_A, "a"}, {Qt::Key_Return, "\r"}, {Qt::Key_Enter, "\r"}};
    for (const auto& k : keys) {
        QKeyEvent press(QEvent::KeyPress, k.key, Qt::NoModifier, QString::fromLatin1(k.text));
        QApplication::sendEvent(&field, &press);
    }
    EXPECT_EQ(log.keys, (std::vector<std::int32_t>{'a', 13, 3}));
    EXPECT_EQ(field.text(), "a");
}

TEST(URLPushButtonTest, DragsItsURLWithoutAngleBrackets)
{
    const struct {
        QString url, title, dragged;
    } cases[] = {
        {"", "http://title.example/", "http://title.example/"},
        {"<x>", "t", "x"},
        {"<>", "t", "<>"},
        {"<http://a.example/>", "t", "http://a.example/"},
        {"http://a.example/", "t", "http://a.example/"},
    };
    for (const auto& c : cases) {
        CURLPushButton button(c.title, c.url, MakeFourCharCode("WWW "));
        EXPECT_EQ(CURLPushButton::DraggedText(button.URLOrTitle()), c.dragged) << c.url.toStdString();
    }
}

TEST(URLPushButtonTest, AClickIsBroadcastAndADisabledTitleIsLightened)
{
    CURLPushButton button("Home page", "http://a.example/", MakeFourCharCode("WWW "));
    MessageLog log;
    button.AddListener(&log);
    button.click();
    EXPECT_EQ(log.messages, std::vector<MessageT>{MakeFourCharCode("WWW ")});

    const QColor link = button.TitleColour();
    button.setEnabled(false);
    EXPECT_EQ(button.TitleColour(), LightenedHalfway(link));
    EXPECT_EQ(LightenedHalfway(QColor::fromRgba64(0, 65535, 1000)), QColor::fromRgba64(32767, 65535, 33267));
}

TEST(ArrowFieldTest, TypedNumbersAreClampedByTheArrows)
{
    QScrollBar arrows;
    arrows.setRange(1, 10);
    arrows.setValue(3);
    GArrowField field(&arrows);
    EXPECT_EQ(field.text(), "3");
    const struct {
        int typed, shown;
    } cases[] = {{5, 5}, {42, 10}, {-4, 1}, {10, 10}};
    for (const auto& c : cases) {
        field.SetNumber(c.typed);
        EXPECT_EQ(field.Number(), c.shown) << c.typed;
        EXPECT_EQ(arrows.value(), c.shown) << c.typed;
    }
    arrows.setValue(7);
    EXPECT_EQ(field.text(), "7");
    EXPECT_EQ(field.selectedText(), "7");
}

TEST(LiveResizeTest, OnlyResizableWindowsRedrawAsTheirSizeChanges)
{
    QWidget fixed;
    fixed.setFixedSize(200, 100);
    EXPECT_FALSE(CLiveResizeAttachment(&fixed).IsWatching());

    QWidget window;
    window.resize(200, 100);
    auto* attachment = new CLiveResizeAttachment(&window);
    window.show();
    ASSERT_TRUE(attachment->IsWatching());
    const int shown = attachment->Redraws();
    window.move(window.pos() + QPoint(30, 30));
    QApplication::processEvents();
    EXPECT_EQ(attachment->Redraws(), shown) << "a move is no resize";
    window.resize(300, 150);
    QApplication::processEvents();
    EXPECT_EQ(attachment->Redraws(), shown + 1);
    window.close();
    EXPECT_FALSE(attachment->IsWatching());
}

TEST(NewUserHelpTest, TheButtonOpensItsURLInTheBrowser)
{
    std::vector<std::vector<std::string>> spawned;
    SetProgramSpawner([&spawned](const std::vector<std::string>& argv) {
        spawned.push_back(argv);
        return 0;
    });
    {
        CNewUserHelp help("New to grabbing?", "Read the guide", "http://help.example/guide.html");
        ASSERT_TRUE(help.IsReady());
        help.Button()->click();
        help.Button()->SetURL("");
        help.Button()->click();
    }
    SetProgramSpawner({});
    ASSERT_EQ(spawned.size(), 2u);
    EXPECT_EQ(spawned[0].back(), "http://help.example/guide.html");
    EXPECT_EQ(spawned[1].back(), "Read the guide");
}

}  // namespace

// Busy arrows move, but draw a frame only every so often: the style would
// have them repaint the window some sixty times a second during a grab.
TEST(ChasingArrowsTest, BusyArrowsDrawAFewFramesASecond)
{
    QWidget window;
    auto* arrows = new CChasingArrows(&window);
    window.show();
    windowtest::CPaintCounter paints(arrows);
    arrows->setRange(0, 0);  // busy: the style animates the bar
    QElapsedTimer clock;
    clock.start();
    windowtest::RunEventsUntil([&] { return clock.elapsed() >= 1000; });
    const qint64 elapsed = clock.elapsed();
    EXPECT_GT(paints.paints, 1) << "the arrows do not move";
    EXPECT_LE(paints.paints, elapsed / CChasingArrows::kFrameMilliseconds + 3) << "over " << elapsed << " ms";
}
