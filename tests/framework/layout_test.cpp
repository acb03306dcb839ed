// Windows built from layout tables: panes by ID, broadcasts from controls,
// and 'nilP' (with the operation's name) for a layout that cannot be built.
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <QComboBox>
#include <QPushButton>
#include <gtest/gtest.h>

#include "app/framework/class_registrar.h"
#include "app/framework/grayscale_window.h"
#include "foundation/errors/framework_exception.h"
#include "framework_environment.h"

namespace {

constexpr PaneIDT kURL = MakeFourCharCode("URL ");
constexpr PaneIDT kGrab = MakeFourCharCode("GRAB");
constexpr PaneIDT kBox = MakeFourCharCode("BOXX");
constexpr PaneIDT kPopup = MakeFourCharCode("ONLY");
constexpr PaneIDT kInner = MakeFourCharCode("INNR");

constexpr SPaneSpec kGoodPanes[] = {
    {.id = kURL, .classID = kClassEditField, .cell = {0, 0}, .caption = "http://a/", .helpTag = "Enter the URL"},
    {.id = kGrab, .classID = kClassPushButton, .cell = {0, 1}, .caption = "Grab"},
    {.id = kBox, .classID = kClassView, .cell = {1, 0, 1, 2}},
    {.id = kPopup, .classID = kClassPopupMenu, .superID = kBox, .cell = {0, 0}, .caption = "1\n2\n3", .value = 2},
    {.id = kInner, .classID = kClassCheckBox, .superID = kBox, .cell = {0, 1}, .caption = "Stay", .value = 1},
};
constexpr SLayout kGood{.number = 9001, .windowClass = kClassGrayscaleWindow, .title = "Good", .panes = kGoodPanes};

class CListenerLog : public CListener {
public:
    void ListenToMessage(MessageT message, void* ioParam) override
    {
        heard.push_back({message, ioParam ? *static_cast<std::int32_t*>(ioParam) : -1});
    }
    std::vector<std::pair<MessageT, std::int32_t>> heard;
};

TEST(Layout, BuildsPanesFindsThemAndBroadcasts)
{
    CScopedLayout registered(kGood);
    std::unique_ptr<CWindow> window(MakeWindow(kGood.number, nullptr, "Test"));
    ASSERT_NE(dynamic_cast<GGrayscaleWindow*>(window.get()), nullptr);
    EXPECT_EQ(window->GetTitle(), "Good");
    EXPECT_EQ(window->FindPaneByID(kURL)->GetDescriptor(), "http://a/");
    EXPECT_EQ(window->FindPaneByID(kPopup)->GetValue(), 2);
    EXPECT_EQ(window->FindPaneByID(kPopup)->GetSuperPane(), window->FindPaneByID(kBox));
    EXPECT_EQ(window->FindPaneByID(kInner)->GetValue(), 1);
    EXPECT_EQ(window->FindPaneByID(MakeFourCharCode("none")), nullptr);

    CListenerLog log;
    window->FindPaneByID(kGrab)->AddListener(&log);
    window->FindPaneByID(kPopup)->AddListener(&log);
    qobject_cast<QPushButton*>(window->FindPaneByID(kGrab)->GetWidget())->click();
    window->FindPaneByID(kPopup)->SetValue(3);
    window->FindPaneByID(kPopup)->SetValue(3);  // unchanged: no broadcast
    ASSERT_EQ(log.heard.size(), 2u);
    EXPECT_EQ(log.heard[0].first, kGrab);  // value message defaults to the pane ID
    EXPECT_EQ(log.heard[1], std::make_pair(kPopup, 3));
}

TEST(Layout, LayoutsThatCannotBeBuiltRaiseNilP)
{
    static constexpr SPaneSpec duplicate[] = {{.id = kURL, .classID = kClassCaption}, {.id = kURL, .classID = kClassCaption}};
    static constexpr SPaneSpec superLater[] = {{.id = kURL, .classID = kClassCaption, .superID = kBox},
                                        {.id = kBox, .classID = kClassView}};
    static constexpr SPaneSpec unknownClass[] = {{.id = kURL, .classID = kClassCaption},
                                          {.id = kGrab, .classID = MakeFourCharCode("????")}};
    struct SCase {
        const char* name;
        SLayout layout;
        bool registers;
    } cases[] = {
        {"duplicate ID", {.number = 9002, .windowClass = kClassWindow, .panes = duplicate}, false},
        {"super-pane after", {.number = 9003, .windowClass = kClassWindow, .panes = superLater}, false},
        {"unknown pane class", {.number = 9004, .windowClass = kClassWindow, .panes = unknownClass}, true},
        {"unknown window class", {.number = 9005, .windowClass = MakeFourCharCode("????"), .panes = {}}, true},
    };
    for (const SCase& c : cases) {
        RegisterStandardClasses();
        EXPECT_EQ(CLayoutTable::Register(c.layout), c.registers) << c.name;
        std::size_t windowsBefore = CWindow::AllWindows().size();
        try {
            MakeWindow(c.layout.number, nullptr, "ShowQuickerGrabber");
            ADD_FAILURE() << c.name << ": built";
        } catch (const CFrameworkException& error) {
            EXPECT_EQ(error.GetErrorCode(), kErrNilPointer) << c.name;
            EXPECT_EQ(error.GetErrorString(), "ShowQuickerGrabber") << c.name;
        }
        EXPECT_EQ(CWindow::AllWindows().size(), windowsBefore) << c.name << ": a half-built window was left";
        CLayoutTable::Unregister(c.layout.number);
    }
}

TEST(Layout, PanelsSwapInsideTheHostOnlyWhereTheWindowHasThem)
{
    static constexpr SPaneSpec hostPanes[] = {{.id = GGrayscaleWindow::kSamplePane, .classID = kClassCaption},
                                       {.id = GGrayscaleWindow::kPanelHostPane, .classID = kClassView}};
    static constexpr SPaneSpec panelA[] = {{.id = MakeFourCharCode("PanA"), .classID = kClassCaption, .caption = "A"}};
    static constexpr SPaneSpec panelB[] = {{.id = MakeFourCharCode("PanB"), .classID = kClassCaption, .caption = "B"}};
    constexpr SLayout host{.number = 9010, .windowClass = kClassGrayscaleWindow, .panes = hostPanes};
    constexpr SLayout plain{.number = 9011, .windowClass = kClassGrayscaleWindow, .panes = panelA};
    constexpr SLayout a{.number = 9012, .kind = EWindowKind::kPanel, .panes = panelA};
    constexpr SLayout b{.number = 9013, .kind = EWindowKind::kPanel, .panes = panelB};
    CScopedLayout r1(host), r2(plain), r3(a), r4(b);

    std::unique_ptr<GGrayscaleWindow> window(MakeWindowAs<GGrayscaleWindow>(host.number, nullptr, "Test"));
    window->InstallSamplePanel(a.number);
    ASSERT_NE(window->FindPaneByID(MakeFourCharCode("PanA")), nullptr);
    window->InstallSamplePanel(b.number);
    EXPECT_EQ(window->FindPaneByID(MakeFourCharCode("PanA")), nullptr) << "the previous panel stays";
    EXPECT_NE(window->FindPaneByID(MakeFourCharCode("PanB")), nullptr);
    EXPECT_THROW(window->InstallSamplePanel(4242), CFrameworkException);
    EXPECT_THROW(window->SetupCurrentPanel(MakeFourCharCode("none")), CFrameworkException);

    std::unique_ptr<GGrayscaleWindow> without(MakeWindowAs<GGrayscaleWindow>(plain.number, nullptr, "Test"));
    without->InstallSamplePanel(b.number);  // no 'SMPT': nothing happens
    EXPECT_EQ(without->FindPaneByID(MakeFourCharCode("PanB")), nullptr);
    without->SetupCurrentPanel(MakeFourCharCode("none"));
    EXPECT_EQ(without->GetCurrentPanel(), nullptr);
}

// A layout number or class ID has one owner. The owner registering again is
// harmless (families may be registered twice); a second owner is refused,
// naming both, and the first keeps it.
TEST(Layout, ASecondOwnerOfANumberOrAClassIsRefusedNamingBoth)
{
    static constexpr SLayout first{.number = 9020, .windowClass = kClassGrayscaleWindow, .title = "First",
                                   .panes = kGoodPanes};
    static constexpr SLayout second{.number = 9020, .windowClass = kClassDialog, .kind = EWindowKind::kDialog,
                                    .title = "Second", .panes = kGoodPanes};
    static constexpr ClassIDT kOwned = MakeFourCharCode("Ownd");
    const auto registerOwnedPane = [] {
        CClassRegistrar::RegisterPane(kOwned, [](const SPaneSpec&, QWidget*) -> std::unique_ptr<CPane> { return nullptr; });
    };
    CScopedLayout registered(first);
    registerOwnedPane();
    struct SCase {
        const char* name;
        std::function<void()> registerAgain;
        std::vector<std::string> refusalNames;  // empty: accepted
    } cases[] = {
        {"the same layout again", [] { CLayoutTable::Register(first); }, {}},
        {"another layout with the number", [] { CLayoutTable::Register(second); },
         {"layout 9020", "\"First\" (class 'GRAY', framework_environment.cpp:", "\"Second\" (class 'dlog', layout_test.cpp:"}},
        {"the same class from the same place", registerOwnedPane, {}},
        {"the class from another place", [] { CClassRegistrar::RegisterWindowClass<GGrayscaleWindow>(kOwned); },
         {"class 'Ownd'", "at layout_test.cpp:", "and at layout_test.cpp:"}},
    };
    for (const SCase& c : cases) {
        try {
            c.registerAgain();
            EXPECT_TRUE(c.refusalNames.empty()) << c.name << ": accepted";
        } catch (const std::logic_error& refusal) {
            EXPECT_FALSE(c.refusalNames.empty()) << c.name << ": " << refusal.what();
            for (const std::string& name : c.refusalNames)
                EXPECT_NE(std::string(refusal.what()).find(name), std::string::npos) << c.name << ": " << refusal.what();
        }
        EXPECT_EQ(CLayoutTable::Find(first.number), &first) << c.name;
        EXPECT_TRUE(CClassRegistrar::HasPaneClass(kOwned)) << c.name;
        EXPECT_FALSE(CClassRegistrar::HasWindowClass(kOwned)) << c.name;
    }
    CClassRegistrar::Unregister(kOwned);
}

}  // namespace
