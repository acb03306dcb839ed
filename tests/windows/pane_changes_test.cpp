// What a crawl changes in a window's panes goes at the pace a person reads:
// the first change at once, then the newest of each pane in batches, a
// range before the value it bounds, and every held change by the end. A
// change made while a batch goes (a pane whose change runs code that
// changes panes) is neither lost nor shown out of order.
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/framework/layout.h"
#include "app/framework/pane.h"
#include "app/progress/pane_changes.h"

namespace {

constexpr PaneIDT kTask = 1;
constexpr PaneIDT kCount = 2;
constexpr PaneIDT kBar = 3;
constexpr PaneIDT kEcho = 4;

struct SPanes {
    std::map<PaneIDT, std::unique_ptr<CPane>> panes;
    CPaneChanges changes{[this](PaneIDT id) {
        const auto found = panes.find(id);
        return found != panes.end() ? found->second.get() : nullptr;
    }};

    SPanes()
    {
        Add(kTask, new QLabel);
        Add(kCount, new QLabel);
        auto* bar = new QProgressBar;
        bar->setRange(0, 10);
        Add(kBar, bar);
        Add(kEcho, new QLineEdit);
    }
    void Add(PaneIDT id, QWidget* widget)
    {
        SPaneSpec spec;
        spec.id = id;
        panes[id] = std::make_unique<CPane>(spec, widget);
    }
    CPane& Pane(PaneIDT id) { return *panes.at(id); }
};

TEST(PaneChanges, TheNewestStateOfEveryPaneIsShownByTheEnd)
{
    struct SCase {
        const char* name;
        std::function<void(SPanes&)> change;
        std::function<void(SPanes&)> check;
    };
    const SCase cases[] = {
        {"a thousand texts: the first at once, the newest by the end",
         [](SPanes& p) {
             p.changes.SetText(kTask, "grabbing 0");
             EXPECT_EQ(p.Pane(kTask).GetDescriptor(), "grabbing 0");
             for (int i = 1; i < 1000; ++i) p.changes.SetText(kTask, "grabbing " + std::to_string(i));
         },
         [](SPanes& p) { EXPECT_EQ(p.Pane(kTask).GetDescriptor(), "grabbing 999"); }},
        {"a long text then a short one in the same place",
         [](SPanes& p) {
             p.changes.SetText(kTask, std::string(300, 'x'));
             p.changes.Flush();
             p.changes.SetText(kTask, "Idling");
             p.changes.SetText(kCount, "12");
         },
         [](SPanes& p) {
             EXPECT_EQ(p.Pane(kTask).GetDescriptor(), "Idling");
             EXPECT_EQ(p.Pane(kCount).GetDescriptor(), "12");
         }},
        {"a value held beyond the bar's old range goes after the range",
         [](SPanes& p) {
             p.changes.SetText(kTask, "first");  // the batch after this one is held
             p.changes.SetValue(kBar, 80);
             p.changes.SetRange(kBar, 0, 100);
             EXPECT_EQ(p.changes.HeldValue(kBar), 80);
         },
         [](SPanes& p) {
             EXPECT_EQ(p.Pane(kBar).GetMaxValue(), 100);
             EXPECT_EQ(p.Pane(kBar).GetValue(), 80);
             EXPECT_FALSE(p.changes.HeldValue(kBar).has_value());
         }},
        {"a pane whose change changes another and shows it at once",
         [](SPanes& p) {
             auto* echo = static_cast<QLineEdit*>(p.Pane(kEcho).GetWidget());
             QObject::connect(echo, &QLineEdit::textChanged, [&p](const QString& text) {
                 p.changes.SetText(kCount, "echo of " + text.toStdString());
                 p.changes.Flush();
             });
             p.changes.SetText(kTask, "first");
             p.changes.SetText(kEcho, "a");
             p.changes.SetText(kTask, "second");
         },
         [](SPanes& p) {
             EXPECT_EQ(p.Pane(kEcho).GetDescriptor(), "a");
             EXPECT_EQ(p.Pane(kCount).GetDescriptor(), "echo of a");
             EXPECT_EQ(p.Pane(kTask).GetDescriptor(), "second");
             // What goes after the nested batch still reaches its panes.
             p.changes.SetText(kTask, "third");
             p.changes.SetText(kEcho, "b");
             p.changes.Flush();
             EXPECT_EQ(p.Pane(kTask).GetDescriptor(), "third");
             EXPECT_EQ(p.Pane(kCount).GetDescriptor(), "echo of b");
         }},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        SPanes panes;
        c.change(panes);
        panes.changes.Flush();
        c.check(panes);
    }
}

}  // namespace
