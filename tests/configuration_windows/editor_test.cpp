// The configuration editor and its panels, on real configuration files.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QStyledItemDelegate>
#include <QSpinBox>
#include <QTabBar>
#include <QTableWidget>
#include <QToolTip>

#include "app/windows/configurations/configurations_layout.h"
#include "app/windows/configurations/drag_and_drop_table.h"
#include "app/windows/configurations/filter_panels.h"
#include "app/windows/configurations/general_panel.h"
#include "app/windows/configurations/misc_panel.h"
#include "app/windows/configurations/table_panels.h"
#include "engine/config/configuration_files.h"
#include "foundation/settings/preference_accessors.h"
#include "foundation/settings/preference_store.h"
#include "tests/configuration_windows/configuration_test_support.h"
#include "tests/support/file_bytes.h"
#include "tests/windows/print_to_pdf.h"
#include "tests/windows/dialog_keys.h"

namespace configtest {
namespace {

using namespace configwin;
constexpr PaneIDT C(const char (&code)[5]) { return MakeFourCharCode(code); }
PaneIDT Code(const char* text)
{
    return static_cast<PaneIDT>(static_cast<unsigned char>(text[0]) << 24 | static_cast<unsigned char>(text[1]) << 16 |
                                static_cast<unsigned char>(text[2]) << 8 | static_cast<unsigned char>(text[3]));
}

CConfiguration ReadBack(const std::string& name)
{
    CConfiguration read;
    EXPECT_EQ(LoadConfiguration(name, read).Code(), 0);
    return read;
}

// Visiting every tab (and every filter set) and closing changes nothing, so
// nothing is asked: the built-in values and values no control shows exactly.
TEST_F(ConfigurationWindows, VisitingEveryTabLeavesTheConfigurationAsItWas)
{
    const struct {
        const char* name;
        CConfiguration configuration;
    } cases[] = {{"Default", CConfiguration()}, {"Changed", EveryFieldChanged()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!IsDefaultConfigurationName(c.name)) Store(c.name, c.configuration);
        CEditConfigurationWindow* editor = Edit(c.name, 1);
        for (int tab = 1; tab <= kTabCount; ++tab) {
            ShowTab(*editor, tab);
            if (tab >= 3 && tab <= 5) {
                CPane* sets = Panel(*editor).Pane(kFilterSetPopup);
                for (int set = sets->GetMaxValue(); set >= 1; --set) sets->SetValue(set);
            }
            Screenshot(editor->GetWidget(), std::string("panel-") + std::to_string(tab) + "-" + c.name);
        }
        ShowTab(*editor, 1);
        EXPECT_TRUE(editor->WorkingCopy().IsEqual(editor->SavedCopy()));
        if (!IsDefaultConfigurationName(c.name)) {
            EXPECT_TRUE(editor->SavedCopy().IsEqual(ReadBack(c.name)));
        }
        EXPECT_TRUE(editor->AttemptClose());
        EXPECT_TRUE(CScriptedAnswers::Asked().empty());
        Cleanup();
    }
}

// What the user sets in each panel reaches the working copy when the panel
// goes.
TEST_F(ConfigurationWindows, EachPanelWritesWhatTheUserChanged)
{
    Store("Site", CConfiguration());
    const struct {
        int tab;
        std::function<void(CEditConfigurationPanel&)> edit;
        std::function<void(const CConfiguration&)> check;
    } cases[] = {
        {1,
         [](CEditConfigurationPanel& p) {
             p.SetText(1, "12");
             p.SetValue(C("Cook"), 0);
             p.SetText(C("Indx"), "start.html");
             p.SetValue(C("SavE"), 0);
         },
         [](const CConfiguration& c) {
             EXPECT_EQ(c.mGeneralOptions.directoryDepth, 12);
             EXPECT_EQ(c.mGeneralOptions.useCookies, 0);
             EXPECT_STREQ(c.mGeneralOptions.indexFilename.c_str(), "start.html");
             EXPECT_EQ(c.mGeneralOptions.saveAction, 0);
         }},
        {2,
         [](CEditConfigurationPanel& p) {
             p.SetText(kSiteUser, "bob");
             p.SetText(kSitePassword, "hunter2");
             p.Table(kTable)->InsertRow(0, {"Members", "ann", "pw"});
         },
         [](const CConfiguration& c) {
             EXPECT_STREQ(c.mSiteLogin.siteUsername.c_str(), "bob");
             EXPECT_STREQ(c.mSiteLogin.sitePassword.c_str(), "hunter2");
             CFixedString255 user, password;
             EXPECT_TRUE(c.mSiteLogin.FindRealm("Members", user, password));
             EXPECT_STREQ(password.c_str(), "pw");
         }},
        {3,
         [](CEditConfigurationPanel& p) {
             p.SetText(4, "  exe   dmg ");
             p.SetValue(kFilterSetPopup, 2);  // the grab set is saved first
             p.SetText(1, "tmp");
         },
         [](const CConfiguration& c) {
             ASSERT_EQ(c.mGrabFilters.suffixIsNot.Count(), 2);
             EXPECT_STREQ(c.mGrabFilters.suffixIsNot.Head()->element.c_str(), "exe");
             EXPECT_STREQ(c.mGrabFilters.suffixIsNot.Tail()->element.c_str(), "dmg");
             ASSERT_EQ(c.mCrawlFilters.filenameDoesNotContain.Count(), 1);
         }},
        {4, [](CEditConfigurationPanel& p) { p.SetText(7, ".pdf"); },
         [](const CConfiguration& c) { EXPECT_EQ(c.mGrabFilters.pathEndsWith.Count(), 1); }},
        {5,
         [](CEditConfigurationPanel& p) {
             p.SetText(1, "12");
             p.SetText(2, "0");
             p.SetText(18, "TEXT PICT");
             p.SetValue(kFilterSetPopup, 2);
             p.SetText(2, "3");
         },
         [](const CConfiguration& c) {
             EXPECT_EQ(c.mCrawlFilters.sizeLessThan, 12000);
             EXPECT_EQ(c.mCrawlFilters.sizeGreaterThan, 0);
             EXPECT_EQ(FileTypeWords(c.mCrawlFilters.fileTypes), "TEXT PICT");
             EXPECT_EQ(c.mSaveFilters.sizeGreaterThan, 3000);
         }},
        {6,
         [](CEditConfigurationPanel& p) {
             p.SetText(kUserAgent, "Spoof/2");
             p.SetValue(C("GENL"), 1);
             p.SetText(79, "htm  pdf");
         },
         [](const CConfiguration& c) {
             EXPECT_STREQ(c.mMiscOptions.userAgent.c_str(), "Spoof/2");
             EXPECT_EQ(c.mMiscOptions.generateLog, 1);
             EXPECT_EQ(c.mMiscOptions.siteMapSuffixes.Count(), 2);
         }},
        {7,
         [](CEditConfigurationPanel& p) {
             p.SetText(kFormURL, "example.org/form");
             p.SetText(kFormAction, "HTTPS://example.org/go");
             p.SetValue(kMethod, 2);
         },
         [](const CConfiguration& c) {
             EXPECT_STREQ(c.mFormOptions.formURL.c_str(), "http://example.org/form");
             EXPECT_STREQ(c.mFormOptions.formActionURL.c_str(), "HTTPS://example.org/go");
             EXPECT_EQ(c.mFormOptions.method, CFormOptions::kMethodGet);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tab);
        CEditConfigurationWindow* editor = Edit("Site", c.tab);
        c.edit(Panel(*editor));
        ShowTab(*editor, c.tab == 1 ? 2 : 1);  // the panel saves as it goes
        c.check(editor->WorkingCopy());
        EXPECT_FALSE(editor->WorkingCopy().IsEqual(editor->SavedCopy()));
        delete editor;
    }
}

// The check boxes that depend on others, after user clicks.
TEST_F(ConfigurationWindows, GeneralPanelDependencyRules)
{
    struct Expect {
        const char* pane;
        int value;
        bool enabled;
    };
    const struct {
        std::vector<const char*> clicks;
        std::vector<Expect> expected;
    } cases[] = {
        {{"UUID"}, {{"MIME", 0, false}, {"ALWS", 0, false}, {"RPHP", 1, false}, {"Exts", -1, false}}},
        {{"UUID", "UUID"}, {{"ALWS", 1, true}, {"Exts", -1, true}, {"MIME", 0, true}}},
        {{"MIME"}, {{"ALWS", 0, false}, {"Exts", -1, false}}},
        {{"MIME", "MIME"}, {{"ALWS", 1, true}, {"Exts", -1, true}}},
        {{"StrA"}, {{"RMsd", 1, true}, {"Cscd", 1, true}}},
        {{"StrA", "StrA"}, {{"RMsd", 0, false}, {"Cscd", 0, false}}},
        {{"RLNK"}, {{"RDIR", 0, false}}},
        {{"Goff"}, {{"HosT", -1, true}}},
        {{"Goff", "Goff"}, {{"HosT", -1, false}}},
        {{"ALWS"}, {{"Exts", -1, false}}},
    };
    CConfiguration start;
    start.mGeneralOptions.allowSecondaryDomains = 0;
    start.mGeneralOptions.extension = "";
    start.mGeneralOptions.offsiteHosts = {CFixedString255("kept.example")};
    Store("Rules", start);
    for (const auto& c : cases) {
        CEditConfigurationWindow* editor = Edit("Rules", 1);
        CEditConfigurationPanel& panel = Panel(*editor);
        std::string trace;
        for (const char* click : c.clicks) {
            trace += std::string(click) + " ";
            Click(panel.Pane(Code(click)));
        }
        SCOPED_TRACE(trace);
        for (const Expect& e : c.expected) {
            CPane* pane = panel.Pane(Code(e.pane));
            if (e.value >= 0) {
                EXPECT_EQ(pane->GetValue(), e.value) << e.pane;
            }
            EXPECT_EQ(pane->IsEnabled(), e.enabled) << e.pane;
        }
        // 'MIME' and 'ALWS' are never both on after a click; an emptied
        // extension is filled when the extension is used again.
        EXPECT_FALSE(panel.Value(C("MIME")) && panel.Value(C("ALWS")));
        const std::string last = c.clicks.back();
        if ((last == "UUID" || last == "MIME" || last == "ALWS") && panel.Value(C("ALWS"))) {
            EXPECT_EQ(panel.Text(C("Exts")), ".html");
        }
        ShowTab(*editor, 2);
        EXPECT_EQ(editor->WorkingCopy().mGeneralOptions.offsiteHosts.size(), 1U);
        delete editor;
    }
}

// Number fields keep to their ranges, set from code or typed.
TEST_F(ConfigurationWindows, NumberFieldsKeepToTheirRanges)
{
    CEditConfigurationWindow* editor = Edit("Default", 1);
    CEditConfigurationPanel& panel = Panel(*editor);
    const struct {
        PaneIDT pane;
        const char* text;
        int expected;
    } cases[] = {
        {10, "0", 1}, {10, "-4", 1}, {2, "0", 1}, {C("TOUT"), "-1", 1}, {9, "-2", 0}, {9, "3", 3}, {1, "0", 0},
        {10, "250", 250},
    };
    for (const auto& c : cases) {
        panel.SetText(c.pane, c.text);
        EXPECT_EQ(panel.Value(c.pane), c.expected) << c.text;
        // Typed: select all, type the text, Return.
        auto* box = qobject_cast<QSpinBox*>(panel.Pane(c.pane)->GetWidget());
        ASSERT_NE(box, nullptr);
        box->selectAll();
        for (char ch : std::string(c.text)) {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(ch)));
            QApplication::sendEvent(box, &key);
        }
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(box, &enter);
        EXPECT_GE(box->value(), box->minimum()) << c.text;
    }
}

// Close with changes: Save writes the file, Don't Save reverts, Cancel
// keeps the window and the edits; a save the file layer refuses is shown
// and keeps the window open; the close box of the message window cancels.
TEST_F(ConfigurationWindows, SaveDontSaveAndCancel)
{
    const struct {
        const char* name;
        MessageT answer;
        bool closes;
        bool fileChanged;
        bool alerted;
    } cases[] = {
        {"Work", kMsgOK, true, true, false},
        {"Work", kMsgDontSave, true, false, false},
        {"Work", kMsgCancel, false, false, false},
        {"Default", kMsgOK, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " " << c.answer);
        if (!IsDefaultConfigurationName(c.name)) Store(c.name, CConfiguration());
        CScriptedAnswers::Clear();
        CEditConfigurationWindow* editor = Edit(c.name, 1);
        Panel(*editor).SetText(2, "5");  // still on screen when the window closes
        CScriptedAnswers::Push(c.answer);
        if (c.alerted) CScriptedAnswers::Push(kMsgOK);
        EXPECT_EQ(editor->AttemptClose(), c.closes);
        ASSERT_FALSE(CScriptedAnswers::Asked().empty());
        EXPECT_EQ(CScriptedAnswers::Asked()[0].layoutNumber, kSaveChangesDialog);
        EXPECT_EQ(CScriptedAnswers::Asked().size(), c.alerted ? 2U : 1U);
        if (!IsDefaultConfigurationName(c.name)) {
            EXPECT_EQ(ReadBack(c.name).mGeneralOptions.linkDepth, c.fileChanged ? 5 : 99);
        }
        if (!c.closes) {
            EXPECT_EQ(editor->WorkingCopy().mGeneralOptions.linkDepth, 5);
            EXPECT_EQ(Panel(*editor).Value(2), 5);
            delete editor;
        }
        EXPECT_TRUE(IsDefaultConfigurationName(c.name) || !std::filesystem::exists(Folder() + "/Default"));
        Cleanup();
    }
}

// The same question by keyboard: Return saves, Escape cancels, and
// Space on the first focus (Cancel, never Don't Save) keeps the edits.
TEST_F(ConfigurationWindows, SaveChangesAnswersTheKeyboard)
{
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool saved;  // and closed; otherwise open with the edits
    } cases[] = {
        {Qt::Key_Return, Qt::NoModifier, true},
        {Qt::Key_Escape, Qt::NoModifier, false},
        {Qt::Key_Space, Qt::NoModifier, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key);
        Store("Work", CConfiguration());
        CEditConfigurationWindow* editor = Edit("Work", 1);
        Panel(*editor).SetText(2, "5");
        std::string focused;
        windowtest::PressInNextDialog(c.key, c.modifiers, [&](QWidget& widget) {
            if (auto* button = qobject_cast<QAbstractButton*>(&widget)) focused = button->text().toStdString();
            Screenshot(widget.window(), "save-changes");
        });
        EXPECT_EQ(editor->AttemptClose(), c.saved);
        EXPECT_EQ(focused, "Cancel");
        EXPECT_EQ(ReadBack("Work").mGeneralOptions.linkDepth, c.saved ? 5 : 99);
        EXPECT_TRUE(CScriptedAnswers::Asked().empty());
        if (!c.saved) {
            EXPECT_EQ(editor->WorkingCopy().mGeneralOptions.linkDepth, 5);
            delete editor;
        }
        Cleanup();
    }
}

// A configuration whose file cannot be read is told and not opened: the
// editor would show the built-in values and save them over the file. One
// whose file is gone opens with them, to be saved anew.
TEST_F(ConfigurationWindows, AConfigurationThatCannotBeReadIsToldNotEdited)
{
    const struct {
        const char* name;
        std::function<void(const std::string& file)> make;
        const char* reason;  // "" when the editor opens
    } cases[] = {
        {"Gone", [](const std::string&) {}, ""},
        {"Folder", [](const std::string& file) { std::filesystem::create_directories(file); }, "Is a directory"},
        {"Pipe", [](const std::string& file) { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); }, "Invalid argument"},
    };
    std::filesystem::create_directories(Folder());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.make(Folder() + "/" + c.name);
        CScriptedAnswers::Clear();
        CScriptedAnswers::Push(kMsgOK);
        CEditConfigurationWindow* editor = ShowEditConfigurationWindow(nullptr, c.name);
        const auto& asked = CScriptedAnswers::Asked();
        if (*c.reason == '\0') {
            ASSERT_NE(editor, nullptr);
            EXPECT_TRUE(asked.empty());
            delete editor;
            continue;
        }
        EXPECT_EQ(editor, nullptr);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].text, std::string("The configuration could not be read: ") + c.name + " (" + c.reason + ")");
        EXPECT_TRUE(CWindow::WindowsOfClass<CEditConfigurationWindow>().empty());
    }
}

// The tab shown last comes back; a stored value outside 1..7 gives tab 1.
TEST_F(ConfigurationWindows, RemembersTheTabWithinRange)
{
    const struct {
        const char* stored;
        int shown;
    } cases[] = {{"4", 4}, {"7", 7}, {"0", 1}, {"8", 1}, {"-3", 1}, {"many", 1}};
    for (const auto& c : cases) {
        EXPECT_TRUE(SetPreferenceString(c.stored, CEditConfigurationWindow::kLastPanePreference));
        CEditConfigurationWindow* editor = ShowEditConfigurationWindow(nullptr, "Default");
        EXPECT_EQ(editor->FindPaneByID(kTabs)->GetValue(), c.shown) << c.stored;
        EXPECT_EQ(editor->GetPanelLayout(), kEditorLayout + c.shown) << c.stored;
        ShowTab(*editor, 6);
        delete editor;
        EXPECT_EQ(GetDecimalPreference(CEditConfigurationWindow::kLastPanePreference), 6);
    }
}

// The folder button fills field 71 and makes the folder the settings'
// download folder; the chooser starts at the folder when it exists. A path
// longer than the configuration holds changes nothing; one that fits is
// saved whole.
TEST_F(ConfigurationWindows, ChoosingTheDownloadFolder)
{
    const std::string existing = Root() + "/existing";
    std::filesystem::create_directories(existing);
    const std::string settingsDownloads = gAppSettings->mDownloadFolderPath;
    const std::string longPath = Root() + "/" + std::string(1000 - Root().size(), 'd');
    const std::string tooLong = longPath + "/" + std::string(CFixedString1024::kCapacity - longPath.size(), 'e');
    const struct {
        std::string shown;
        std::optional<std::string> chosen;
        std::string start;
        std::string after;  // field 71, and the settings unless it is what was shown
    } cases[] = {
        {existing, Root() + "/chosen", existing, Root() + "/chosen"},
        {Root() + "/missing", Root() + "/other", "", Root() + "/other"},
        {existing, longPath, existing, longPath},
        {existing, tooLong, existing, existing},
        {existing, std::nullopt, existing, existing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after.substr(0, 80));
        gAppSettings->mDownloadFolderPath = settingsDownloads;
        Store("Folder", CConfiguration());
        CEditConfigurationWindow* editor = Edit("Folder", 1);
        CEditConfigurationPanel& panel = Panel(*editor);
        panel.SetText(kLocalPath, c.shown);
        mChooserRequests.clear();
        mChosen = {c.chosen};
        Click(panel.Pane(kChooseFolder));
        ASSERT_EQ(mChooserRequests.size(), 1U);
        EXPECT_EQ(mChooserRequests[0].start, c.start);
        EXPECT_EQ(panel.Text(kLocalPath), c.after);
        EXPECT_EQ(gAppSettings->mDownloadFolderPath, c.after == c.shown ? settingsDownloads : c.after);
        EXPECT_FALSE(std::filesystem::exists(Root() + "/chosen"));
        CScriptedAnswers::Push(kMsgOK);
        EXPECT_TRUE(editor->AttemptClose());
        EXPECT_EQ(ReadBack("Folder").mGeneralOptions.localPath.str(), c.after);
        Cleanup();
    }
    gAppSettings->mDownloadFolderPath = settingsDownloads;
}

TEST_F(ConfigurationWindows, HostsSheetEditsTheWorkingCopy)
{
    CConfiguration start;
    start.mGeneralOptions.grabOffsiteURLs = 1;
    start.mGeneralOptions.offsiteHosts = {CFixedString255("one.example"), CFixedString255("two.example")};
    Store("Hosts", start);
    CEditConfigurationWindow* editor = Edit("Hosts", 1);
    CHostsWindow* sheet = CHostsWindow::OpenFor(*editor);
    sheet->AddHost();
    EXPECT_EQ(sheet->List()->count(), 3);
    EXPECT_STREQ(editor->WorkingCopy().mGeneralOptions.offsiteHosts.back().c_str(), "????");
    Screenshot(sheet, "hosts-sheet");
    sheet->DeleteSelectedHost();  // the last: the one before it is selected
    EXPECT_EQ(sheet->List()->currentRow(), 1);
    sheet->List()->item(0)->setText("first.example");
    EXPECT_STREQ(editor->WorkingCopy().mGeneralOptions.offsiteHosts[0].c_str(), "first.example");
    sheet->close();
    CScriptedAnswers::Push(kMsgDontSave);
    EXPECT_TRUE(editor->AttemptClose());
    EXPECT_EQ(CScriptedAnswers::Asked().size(), 1U);
}

// Start and finish texts: OK keeps the edit, Cancel and the close box do
// not; the edit buttons come back either way. The window and what was typed
// stay while the user looks at other tabs; the edit buttons of the Logging
// panel shown again wait for it.
TEST_F(ConfigurationWindows, MessageWindowOkCancelAndCloseBox)
{
    const struct {
        PaneIDT button;
        PaneIDT end;  // 0: the close box
        bool switchTabs;
        bool kept;
    } cases[] = {{kEditStart, kMessageOK, false, true},      {kEditFinish, kMessageCancel, false, false},
                 {kEditStart, 0, false, false},               {kEditFinish, kMessageOK, true, true},
                 {kEditStart, kMessageCancel, true, false}};
    for (const auto& c : cases) {
        CEditConfigurationWindow* editor = Edit("Default", 6);
        const CConfiguration before = editor->WorkingCopy();
        Click(Panel(*editor).Pane(c.button));
        CMessageWindow* message = editor->GetMessageWindow();
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->GetTitle(), c.button == kEditStart ? "Edit Start Message" : "Edit Finish Message");
        EXPECT_FALSE(Panel(*editor).Pane(kEditStart)->IsEnabled());
        message->FindPaneByID(kMessageText)->SetDescriptor("New text");
        if (c.switchTabs) {
            ShowTab(*editor, 2);
            ShowTab(*editor, 6);
            ASSERT_EQ(editor->GetMessageWindow(), message);
            EXPECT_EQ(message->FindPaneByID(kMessageText)->GetDescriptor(), "New text");
            EXPECT_FALSE(Panel(*editor).Pane(kEditStart)->IsEnabled());
            EXPECT_FALSE(Panel(*editor).Pane(kEditFinish)->IsEnabled());
            Screenshot(editor->GetWidget(), "message-window-kept-editor");
            Screenshot(message->GetWidget(), "message-window-kept");
        }
        if (c.end != 0)
            Click(message->FindPaneByID(c.end));
        else
            message->AttemptClose();
        EXPECT_EQ(editor->GetMessageWindow(), nullptr);
        EXPECT_TRUE(Panel(*editor).Pane(kEditStart)->IsEnabled());
        EXPECT_TRUE(Panel(*editor).Pane(kEditFinish)->IsEnabled());
        const CTextBuffer& text = c.button == kEditStart ? editor->WorkingCopy().mMiscOptions.startMessage
                                                         : editor->WorkingCopy().mMiscOptions.finishMessage;
        EXPECT_EQ(text.View() == "New text", c.kept);
        if (!c.kept) {
            EXPECT_TRUE(editor->WorkingCopy().IsEqual(before));
        }
        delete editor;
        Cleanup();
    }
}

// An editor that goes while its message window is open takes the window
// with it.
TEST_F(ConfigurationWindows, MessageWindowGoesWithTheEditor)
{
    CEditConfigurationWindow* editor = Edit("Default", 6);
    Click(Panel(*editor).Pane(kEditFinish));
    CMessageWindow* message = editor->GetMessageWindow();
    ASSERT_NE(message, nullptr);
    ShowTab(*editor, 1);
    delete editor;
    EXPECT_FALSE(message->IsVisible());
    EXPECT_TRUE(message->IsScheduledForCleanup());
    Cleanup();
}

// Passwords show bullets in the field, the realm table and its dialog.
TEST_F(ConfigurationWindows, PasswordsShowBullets)
{
    CConfiguration start;
    start.mSiteLogin.realmList.Append(CRealm{"R", "u", "secret"});
    Store("Login", start);
    CEditConfigurationWindow* editor = Edit("Login", 2);
    CEditConfigurationPanel& panel = Panel(*editor);
    auto* field = qobject_cast<QLineEdit*>(panel.Pane(kSitePassword)->GetWidget());
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->echoMode(), QLineEdit::Password);
    CDragAndDropTable* table = panel.Table(kTable);
    const QString shown = qobject_cast<QStyledItemDelegate*>(table->itemDelegateForColumn(2))->displayText(table->item(0, 2)->data(Qt::DisplayRole),
                                                                      QLocale());
    EXPECT_EQ(shown, QString(6, QChar(0x2022)));
    const QImage picture = Screenshot(editor->GetWidget(), "realms-bullets");
    EXPECT_FALSE(picture.isNull());
}

// The print command prints the working copy's summary as last collected
// from the panels; a cancelled print dialog prints nothing.
TEST_F(ConfigurationWindows, PrintsTheWorkingCopyToPdf)
{
    for (const bool cancelled : {true, false}) {
        SCOPED_TRACE(cancelled);
        const CPrintToPdf printer(Root() + "/summary.pdf", cancelled);
        CEditConfigurationWindow* editor = Edit("Default", 1);
        Panel(*editor).SetText(kLocalPath, "/printed/path");
        ShowTab(*editor, 2);
        Panel(*editor).SetText(kSiteUser, "not yet collected");
        EXPECT_TRUE(editor->FindCommandStatus(kCmdPrint).enabled);
        EXPECT_TRUE(editor->ProcessCommand(kCmdPrint, nullptr));
        const std::string all = printer.AllText();
        EXPECT_EQ(all.empty(), cancelled);
        if (!cancelled) {
            EXPECT_NE(all.find("localPath : /printed/path"), std::string::npos) << all;
            EXPECT_NE(all.find("indexFilename : Index.html"), std::string::npos);
            EXPECT_EQ(all.find("not yet collected"), std::string::npos);
        }
        delete editor;
    }
}

// Help opens the page of the panel shown: a page that exists and whose
// heading is the tab's name.
TEST_F(ConfigurationWindows, HelpOpensThePageOfTheShownPanel)
{
    CEditConfigurationWindow* editor = Edit("Default", 1);
    auto* tabs = qobject_cast<QTabBar*>(editor->FindPaneByID(configwin::kTabs)->GetWidget());
    ASSERT_NE(tabs, nullptr);
    std::set<std::string> opened;
    for (int tab = 1; tab <= kTabCount; ++tab) {
        ShowTab(*editor, tab);
        mSpawned.clear();
        Click(editor->FindPaneByID(kHelp));
        ASSERT_EQ(mSpawned.size(), 1U);
        const std::string page = mSpawned[0].back();
        opened.insert(page);
        const std::string html = testsupport::ReadFileBytes(page);
        const std::size_t heading = html.find("<h1>");
        ASSERT_NE(heading, std::string::npos) << page;
        const std::string title = html.substr(heading + 4, html.find("</h1>") - heading - 4);
        EXPECT_EQ(QString::fromStdString(title).toLower(), tabs->tabText(tab - 1).toLower()) << page;
    }
    EXPECT_EQ(opened.size(), static_cast<std::size_t>(kTabCount));
}

// Help tags the panels give: one no control carries ('Aflt', on the
// General panel only), and the user-agent popup's items, which show their
// agent strings while help tags are on.
TEST_F(ConfigurationWindows, HelpTagsOfPanelsAndAgentItems)
{
    const std::string filterAll = "If checked Tidewell will filter all URLs (including those in secondary domains and offsite.)";
    const struct {
        int tab;
        PaneIDT pane;
        std::optional<std::string> tag;
    } cases[] = {
        {1, C("Aflt"), filterAll},
        {2, C("Aflt"), std::nullopt},
        {1, kHelp, "Help for this pane"},
        {1, kLocalPath, std::nullopt},
    };
    CEditConfigurationWindow* editor = Edit("Default", 1);
    for (const auto& c : cases) {
        ShowTab(*editor, c.tab);
        std::string tag;
        const bool found = editor->GetPaneHelpText(c.pane, tag);
        EXPECT_EQ(found ? std::optional<std::string>(tag) : std::nullopt, c.tag) << c.tab;
    }

    ShowTab(*editor, 6);
    auto* popup = qobject_cast<QComboBox*>(Panel(*editor).Pane(kUserAgentMenu)->GetWidget());
    ASSERT_NE(popup, nullptr);
    const std::vector<std::string>& agents = gAppSettings->mUserAgentStrings;
    ASSERT_FALSE(agents.empty());
    ASSERT_EQ(popup->count(), static_cast<int>(agents.size()) + 2);
    for (int item = 0; item < popup->count(); ++item)
        EXPECT_EQ(popup->itemData(item, Qt::ToolTipRole).toString().toStdString(),
                  item < 2 ? std::string() : agents[static_cast<std::size_t>(item - 2)]);
    popup->showPopup();
    QAbstractItemView* view = popup->view();
    const QPoint point = view->visualRect(view->model()->index(2, 0)).center();
    for (const bool on : {false, true}) {  // a tag once shown keeps its text while it fades
        gAppSettings->mHelpTags = on;
        QHelpEvent event(QEvent::ToolTip, point, view->viewport()->mapToGlobal(point));
        QApplication::sendEvent(view->viewport(), &event);
        EXPECT_EQ(QToolTip::text().toStdString(), on ? agents[0] : std::string()) << on;
    }
    Screenshot(popup->view()->window(), "agents-popup");
    popup->hidePopup();
    gAppSettings->mHelpTags = true;
}

// The delimiters panel (no tab shows it) keeps each pair's enabled flag.
TEST_F(ConfigurationWindows, DelimitersPanelKeepsEnabledFlags)
{
    CEditConfigurationWindow* editor = Edit("Default", 1);
    CConfiguration& working = editor->WorkingCopy();
    working.mDelimiters.Head()->element.enabled = 0;
    const CDelimiter first = working.mDelimiters.Head()->element;
    editor->InstallSamplePanel(kDelimitersPanelLayout);
    CEditConfigurationPanel& panel = Panel(*editor);
    Screenshot(editor->GetWidget(), "panel-delimiters");
    CDragAndDropTable* table = panel.Table(kTable);
    ASSERT_EQ(table->RowCount(), working.mDelimiters.Count());
    table->MoveRow(0, 3);  // the disabled pair moves; a new pair comes in
    table->InsertRow(0, {"<x ", ">"});
    Click(panel.Pane(kDeleteRow));  // no confirmation: the new pair goes again
    EXPECT_TRUE(CScriptedAnswers::Asked().empty());
    table->InsertRow(0, {"<y ", ">"});
    ShowTab(*editor, 2);
    std::vector<CDelimiter> pairs(working.mDelimiters.begin(), working.mDelimiters.end());
    ASSERT_EQ(pairs.size(), 16U);
    EXPECT_EQ(pairs[0].start, CFixedString255("<y "));
    EXPECT_EQ(pairs[0].enabled, 1);
    EXPECT_EQ(pairs[3].start, first.start);
    EXPECT_EQ(pairs[3].enabled, 0);
}

}  // namespace
}  // namespace configtest
