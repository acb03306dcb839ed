// The search window on real widgets with the real word-list tool over real
// folders: what a search finds under each option, Stop, closing, a tool that
// hangs, the results rows and the heading's dividers.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QRubberBand>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "app/framework/class_registrar.h"
#include "app/framework/cleanup.h"
#include "app/framework/dialog.h"
#include "app/framework/scheduler_driver.h"
#include "app/windows/search/hier_outline_table.h"
#include "app/windows/search/open_search.h"
#include "app/windows/search/search_iterator.h"
#include "app/windows/search/search_panes.h"
#include "app/windows/search/searcher.h"
#include "app/windows/search/word_list_cache.h"
#include "app/windows/search/word_list_tool.h"
#include "app/windows/widgets/resizable_heading.h"
#include "foundation/files/file_system.h"
#include "foundation/settings/preference_store.h"
#include "foundation/system/path_names.h"
#include "platform/launch/program_launcher.h"
#include "tests/crawl/crawl_test_support.h"

namespace {

using namespace searchwindow;
using namespace std::chrono_literals;

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class SearchWindow : public crawltest::CrawlEnvironment {
protected:
    void SetUp() override
    {
        CrawlEnvironment::SetUp();
        static const bool registered = [] {
            RegisterStandardClasses();
            RegisterSearchWindow();
            return true;
        }();
        (void)registered;
        CSchedulerDriver::Install();
        SetSearchKitIndexerPath(SEARCH_KIT_INDEXER);
        SetWordListTimeout(60s);
        SetProgramSpawner([this](const std::vector<std::string>& argv) {
            mSpawned.push_back(argv);
            return 0;
        });
    }
    void TearDown() override
    {
        for (CSearcher* window : CWindow::WindowsOfClass<CSearcher>()) delete window;
        DeleteScheduledObjects();
        CSearcher::SetItemCounter({});
        CSearcher::SetCloseWait(3s);
        SetSearchKitIndexerPath("");
        SetWordListTimeout(60s);
        SetProgramSpawner({});
        CSchedulerDriver::Uninstall();
        CrawlEnvironment::TearDown();
    }

    CSearcher* Open(const std::string& folder) { return OpenSearchWindow(folder, nullptr); }

    static bool RunEvents(const std::function<bool()>& done, std::chrono::milliseconds limit = 120s)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() >= deadline) return false;
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
        }
        return true;
    }
    static bool RunSearch(CSearcher& window)
    {
        Click(window, kSearchButton);
        return RunEvents([&] { return !window.IsSearching() && window.GetSearchThread() == nullptr; });
    }
    static void Click(CSearcher& window, PaneIDT pane)
    {
        auto* button = qobject_cast<QAbstractButton*>(window.FindPaneByID(pane)->GetWidget());
        ASSERT_NE(button, nullptr);
        button->click();
    }
    static std::string Text(CSearcher& window, PaneIDT pane) { return window.FindPaneByID(pane)->GetDescriptor(); }
    static void SetText(CSearcher& window, PaneIDT pane, const std::string& text)
    {
        window.FindPaneByID(pane)->SetDescriptor(text);
    }
    static int Count(CSearcher& window, PaneIDT pane) { return std::stoi(Text(window, pane)); }
    // Saved as "<name>.png" in $TIDEWELL_SCREENSHOT_DIR when that is set.
    static void Screenshot(CSearcher& window, const char* name)
    {
        QApplication::processEvents();
        const QImage picture = window.GetWidget()->grab().toImage();
        EXPECT_FALSE(picture.isNull());
        if (const char* folder = std::getenv("TIDEWELL_SCREENSHOT_DIR"))
            picture.save(QString::fromUtf8(folder) + "/" + name + ".png");
    }
    // A tool that runs `body` (shell) and then, unless it ends, the real one.
    std::string ToolScript(const std::string& body)
    {
        const std::string path = mRoot.Write("tool.sh", "#!/bin/sh\n" + body + "\nexec " SEARCH_KIT_INDEXER " \"$@\"\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }
    static std::set<std::string> FoundNames(const CFolderNode& node)
    {
        std::set<std::string> names;
        for (const CFoundFile& file : node.Files()) names.insert(file.mName.c_str());
        for (const auto& child : node.Children()) names.merge(FoundNames(*child));
        return names;
    }
    // A small downloaded site.
    std::string MakeSite()
    {
        mRoot.Write("site/index.html", "<html><head><title>Harbour</title></head><body>cat and dog</body></html>");
        mRoot.Write("site/pages/cats.html", "<html><body><p>cats and dog</p><script>cat</script></body></html>");
        mRoot.Write("site/pages/Tide_Tables.txt", "Tide tables for the Bay");
        mRoot.Write("site/a:b/notes.txt", "harbour notes");
        mRoot.Write("site/pages/market.html", "<p>the \xEF\xAC\x81sh market<![CDATA[cat dog]]></p>");  // U+FB01
        static constexpr char kPNG[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR cat";
        mRoot.Write("site/img.png", std::string(kPNG, sizeof kPNG - 1));
        return mRoot.File("site");
    }

    std::vector<std::vector<std::string>> mSpawned;
};

// Words come from what a file holds, never from its name; ligatures and
// full-width letters match their plain letters, typed either way.
TEST_F(SearchWindow, FindsFilesByContentUnderEachOption)
{
    const std::string site = MakeSite();
    CSearcher* window = Open(site);
    const struct {
        const char* query;
        PaneIDT matchCase, allTerms, wholeWords;
        std::set<std::string> found;
    } cases[] = {
        {"cat dog", kIgnoreCase, kAllTerms, kWholeWords, {"index.html"}},
        {"cat dog", kIgnoreCase, kAllTerms, kSubstrings, {"index.html", "cats.html"}},
        {"cat dog", kIgnoreCase, kAnyTerm, kWholeWords, {"index.html", "cats.html"}},
        {"Tide", kMatchCase, kAllTerms, kWholeWords, {"Tide_Tables.txt"}},
        {"tide", kMatchCase, kAllTerms, kWholeWords, {}},
        {"tide", kIgnoreCase, kAllTerms, kWholeWords, {"Tide_Tables.txt"}},
        {"harbour", kMatchCase, kAllTerms, kWholeWords, {"notes.txt"}},
        {"pages png html index", kIgnoreCase, kAnyTerm, kWholeWords, {}},  // names only
        {"fish", kMatchCase, kAllTerms, kWholeWords, {"market.html"}},
        {"\xEF\xAC\x81sh", kMatchCase, kAllTerms, kWholeWords, {"market.html"}},
        {"\xEF\xBD\x8D" "arket", kMatchCase, kAllTerms, kWholeWords, {"market.html"}},  // full-width m
        {"   ", kIgnoreCase, kAllTerms, kWholeWords, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query);
        SetText(*window, kQuery, c.query);
        window->FindPaneByID(kCaseGroup)->SetValue(static_cast<std::int32_t>(c.matchCase));
        window->FindPaneByID(kAllAnyGroup)->SetValue(static_cast<std::int32_t>(c.allTerms));
        window->FindPaneByID(kWholeGroup)->SetValue(static_cast<std::int32_t>(c.wholeWords));
        ASSERT_TRUE(RunSearch(*window));
        EXPECT_EQ(FoundNames(window->GetResults()->Root()), c.found);
        EXPECT_EQ(Count(*window, kFoundCaption), static_cast<int>(c.found.size()));
        EXPECT_EQ(Count(*window, kSearchedCaption), 8);  // 2 folders, 6 files
        EXPECT_EQ(Text(*window, kSearchButton), "Search");
        EXPECT_FALSE(window->FindPaneByID(kProgress)->IsVisible());
    }

    // Return in the query field searches like the button.
    SetText(*window, kQuery, "harbour");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(window->FindPaneByID(kQuery)->GetWidget(), &enter);
    EXPECT_TRUE(window->IsSearching());
    ASSERT_TRUE(RunEvents([&] { return window->GetSearchThread() == nullptr; }));
    EXPECT_EQ(FoundNames(window->GetResults()->Root()), (std::set<std::string>{"index.html", "notes.txt"}));

    // A folder that does not exist: the field says so, nothing starts.
    SetText(*window, kFolderField, mRoot.File("nowhere"));
    Click(*window, kSearchButton);
    EXPECT_EQ(Text(*window, kFolderField), kInvalidFolderText);
    EXPECT_FALSE(window->IsSearching());
}

TEST_F(SearchWindow, ResultRowsListFilesFirstWithLocalDatesAndOpenFromTheirOwnPaths)
{
    const std::string site = MakeSite();
    // 2026-01-01 00:30:00 UTC is 14:30 on the line islands (UTC+14).
    const timeval times[2] = {{1767227400, 0}, {1767227400, 0}};
    ::utimes(mRoot.File("site/a:b/notes.txt").c_str(), times);
    const char* oldZone = std::getenv("TZ");
    const std::string savedZone = oldZone != nullptr ? oldZone : "";
    ::setenv("TZ", "Pacific/Kiritimati", 1);
    ::tzset();

    CSearcher* window = Open(site);
    window->GetWidget()->resize(900, 520);
    SetText(*window, kQuery, "harbour cats");
    window->FindPaneByID(kAllAnyGroup)->SetValue(static_cast<std::int32_t>(kAnyTerm));
    ASSERT_TRUE(RunSearch(*window));
    QTreeWidget* tree = window->GetResults()->Tree();
    ASSERT_TRUE(window->GetResults()->RootRow()->isExpanded());
    // Open every folder row down to the site.
    for (bool opened = true; opened;) {
        opened = false;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if (dynamic_cast<CNodeItem*>(*it) != nullptr && !(*it)->isExpanded()) {
                tree->expandItem(*it);
                opened = true;
            }
    }
    QTreeWidgetItem* siteRow = tree->findItems("site", Qt::MatchExactly | Qt::MatchRecursive).value(0);
    ASSERT_NE(siteRow, nullptr);
    ASSERT_EQ(siteRow->childCount(), 3);
    EXPECT_EQ(siteRow->child(0)->text(0), "index.html");  // files before folders
    EXPECT_EQ(siteRow->child(1)->text(0), "a:b");
    EXPECT_EQ(siteRow->child(1)->text(1), "-");
    EXPECT_EQ(siteRow->child(2)->text(0), "pages");
    QTreeWidgetItem* notes = siteRow->child(1)->child(0);
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->text(1), "13");
    EXPECT_NE(notes->text(2).indexOf("14:30:00"), -1) << notes->text(2).toStdString();
    Screenshot(*window, "search-results");

    emit tree->itemDoubleClicked(siteRow->child(1), 0);
    emit tree->itemDoubleClicked(notes, 0);
    emit tree->itemDoubleClicked(window->GetResults()->RootRow(), 0);  // nothing
    ASSERT_EQ(mSpawned.size(), 2u);
    EXPECT_EQ(mSpawned[0].back(), mRoot.File("site/a:b"));
    EXPECT_EQ(mSpawned[1].back(), mRoot.File("site/a:b/notes.txt"));

    if (oldZone != nullptr) ::setenv("TZ", savedZone.c_str(), 1);
    else ::unsetenv("TZ");
    ::tzset();
}

TEST_F(SearchWindow, StopWorksWhateverTheQueryAndASecondClickOnlyResumes)
{
    for (int i = 0; i < 40; ++i) mRoot.Write("many/file" + std::to_string(i) + ".txt", "words of file");
    // The runs after the first (file3.txt and file30-39.txt are among their
    // items) hang: the search waits there until Stop.
    SetSearchKitIndexerPath(ToolScript("case \"$*\" in *file3*) exec sleep 600 ;; esac"));
    SetWordListTimeout(1s);
    CSearcher* window = Open(mRoot.File("many"));
    SetText(*window, kQuery, "file");
    Click(*window, kSearchButton);
    ASSERT_TRUE(RunEvents([&] { return Count(*window, kSearchedCaption) >= 3; }));
    SetText(*window, kQuery, "");
    Click(*window, kSearchButton);
    EXPECT_FALSE(window->IsSearching());
    EXPECT_EQ(Text(*window, kSearchButton), "Search");
    ASSERT_TRUE(RunEvents([&] { return window->GetSearchThread() == nullptr; }));
    EXPECT_LT(Count(*window, kSearchedCaption), 40);

    SetText(*window, kQuery, "file");
    Click(*window, kSearchButton);
    ASSERT_TRUE(RunEvents([&] { return Count(*window, kSearchedCaption) >= 2; }));
    CSearchIterator* first = window->GetSearchThread();
    Click(*window, kSearchButton);  // Stop
    Click(*window, kSearchButton);  // Search before the thread has wound down
    EXPECT_FALSE(window->IsSearching());
    EXPECT_EQ(window->GetSearchThread(), first);
    ASSERT_TRUE(RunEvents([&] { return window->GetSearchThread() == nullptr; }));
    EXPECT_EQ(Text(*window, kSearchButton), "Search");
}

TEST_F(SearchWindow, StopAfterAFailedCountReturnsToIdle)
{
    mRoot.MakeFolder("folder");
    CSearcher::SetItemCounter([](const CFileRef&, std::uint64_t&) { return -EIO; });
    CSearcher* window = Open(mRoot.File("folder"));
    SetText(*window, kQuery, "anything");
    Click(*window, kSearchButton);
    EXPECT_TRUE(window->IsSearching());
    EXPECT_EQ(window->GetSearchThread(), nullptr);
    EXPECT_EQ(Text(*window, kSearchButton), "Stop");
    Click(*window, kSearchButton);
    EXPECT_FALSE(window->IsSearching());
    EXPECT_EQ(Text(*window, kSearchButton), "Search");
    EXPECT_FALSE(window->FindPaneByID(kArrows)->IsVisible());
}

TEST_F(SearchWindow, AHungToolIsKilledAtItsTimeOutWhileTheWindowStaysLive)
{
    mRoot.Write("hung/a.txt", "tide");
    mRoot.Write("hung/b.txt", "tide");
    const std::string pids = mRoot.File("pids");
    SetSearchKitIndexerPath(ToolScript("echo $$ >> " + pids + "\nexec sleep 600"));
    SetWordListTimeout(300ms);
    CSearcher* window = Open(mRoot.File("hung"));
    SetText(*window, kQuery, "tide");
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    ASSERT_TRUE(RunSearch(*window));
    timer.stop();
    EXPECT_GE(ticks, 3);  // the event loop ran while the tool hung
    EXPECT_EQ(Count(*window, kSearchedCaption), 2);
    EXPECT_EQ(Count(*window, kFoundCaption), 0);
    EXPECT_EQ(Text(*window, kFileCaption), ToolFailedOnFilesText(2));
    std::ifstream started(pids);
    int pid = 0, killed = 0;
    while (started >> pid) {
        EXPECT_NE(::kill(pid, 0), 0) << pid;
        ++killed;
    }
    EXPECT_EQ(killed, 2);
}

// A run of the tool that ends abnormally keeps the lists it finished; the item
// it was on gets none, and the items after it go to another run. A tool that
// lists nothing finds nothing. The items left without a list are told.
TEST_F(SearchWindow, ARunCutShortKeepsWhatItListedAndListsTheRestAgain)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) mRoot.Write(std::string("lists/") + name, "tide");
    const std::string runs = mRoot.File("runs");
    const struct {
        const char* tool;
        std::set<std::string> found;
        const char* runs;  // items per run
        std::uint32_t failedOn;
    } cases[] = {
        // Killed after its first list, whatever it is given.
        {SEARCH_KIT_INDEXER " \"$@\"; k=2; while [ $k -le $# ]; do rm -f \"$TMPDIR/index-1965-$k.dat\"; "
         "k=$((k+1)); done; exit 137",
         {"a.txt", "c.txt"}, "4 2 ", 2},
        {"exit 1", {}, "4 ", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tool);
        std::remove(runs.c_str());
        std::filesystem::remove_all(mRoot.File("cache/tidewell"));
        SetSearchKitIndexerPath(ToolScript("printf '%s ' $# >> " + runs + "\nif [ $# -gt 1 ]; then " + c.tool + "; fi"));
        CSearcher* window = Open(mRoot.File("lists"));
        SetText(*window, kQuery, "tide");
        ASSERT_TRUE(RunSearch(*window));
        EXPECT_EQ(FoundNames(window->GetResults()->Root()), c.found);
        std::ifstream logged(runs);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(logged), {}), c.runs);
        EXPECT_EQ(Text(*window, kFileCaption), ToolFailedOnFilesText(c.failedOn));
        delete window;
    }
}

// A tool that cannot be run ends the search with the reason and the path it
// was looked for at, where the current file was shown; a file the tool fails
// on is told at the end, the others are still searched.
TEST_F(SearchWindow, AToolThatCannotRunOrFailsOnAFileIsToldAtTheEnd)
{
    for (const char* name : {"a.txt", "b.txt", "bad.txt", "c.txt"}) mRoot.Write(std::string("tool/") + name, "tide");
    const std::string besideTests =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/SearchKitIndexer";
    const std::string notExecutable = mRoot.Write("bin/plain/SearchKitIndexer", "#!/bin/sh\nexit 0\n");
    const std::string notAProgram = mRoot.Write("bin/text/SearchKitIndexer", "words, not a program\n");
    ::chmod(notAProgram.c_str(), 0755);
    // Fails on bad.txt alone, run with others or on its own.
    const std::string failsOnBad = ToolScript(
        "k=0; b=0; for f in \"$@\"; do k=$((k+1)); case \"$f\" in *bad.txt) b=$k ;; esac; done\n"
        SEARCH_KIT_INDEXER " \"$@\"\n"
        "if [ $b -eq 0 ]; then exit 0; fi\n"
        "if [ $# -eq 1 ]; then rm -f \"$TMPDIR/index-1965.dat\"; else rm -f \"$TMPDIR/index-1965-$b.dat\"; fi\n"
        "exit 1");
    const struct {
        const char* name;
        std::string tool;  // "" for the default, beside the program
        std::string caption;
        int found;
    } cases[] = {
        {"missing", mRoot.File("bin/none/SearchKitIndexer"),
         "The word-list tool could not be run: " + mRoot.File("bin/none/SearchKitIndexer") + " (No such file or directory)",
         0},
        {"not beside the program", "", "The word-list tool could not be run: " + besideTests + " (No such file or directory)",
         0},
        {"not executable", notExecutable, "The word-list tool could not be run: " + notExecutable + " (Permission denied)",
         0},
        {"not a program", notAProgram, "The word-list tool could not be run: " + notAProgram + " (Exec format error)", 0},
        {"fails on a file", failsOnBad, ToolFailedOnFilesText(1), 3},
        {"the real tool", SEARCH_KIT_INDEXER, " ", 4},
    };
    CSearcher* window = Open(mRoot.File("tool"));
    window->GetWidget()->resize(900, 420);
    SetText(*window, kQuery, "tide");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(mRoot.File("cache/tidewell"));
        SetSearchKitIndexerPath(c.tool);
        ASSERT_TRUE(RunSearch(*window));
        EXPECT_EQ(Text(*window, kFileCaption), c.caption);
        EXPECT_EQ(Count(*window, kFoundCaption), c.found);
        EXPECT_EQ(FoundNames(window->GetResults()->Root()).size(), static_cast<std::size_t>(c.found));
        EXPECT_EQ(Text(*window, kSearchButton), "Search");
        EXPECT_FALSE(window->FindPaneByID(kProgress)->IsVisible());
        if (c.tool.empty()) Screenshot(*window, "search-tool-missing");
    }
    // A tool that cannot run ends the search at the first file it is needed for.
    SetSearchKitIndexerPath(mRoot.File("bin/none/SearchKitIndexer"));
    for (int i = 0; i < 200; ++i) mRoot.Write("tool/more/f" + std::to_string(i) + ".txt", "tide");
    ASSERT_TRUE(RunSearch(*window));
    EXPECT_LT(Count(*window, kSearchedCaption), 100);
}

TEST_F(SearchWindow, ClosingStopsTheSearchAndSavesTheFolderField)
{
    for (int i = 0; i < 20; ++i) mRoot.Write("slow/f" + std::to_string(i) + ".txt", "tide");
    const std::string runs = mRoot.File("runs");
    SetSearchKitIndexerPath(ToolScript("echo run >> " + runs + "\nexec sleep 600"));
    SetWordListTimeout(400ms);
    CSearcher* window = Open(mRoot.File("slow"));
    SetText(*window, kQuery, "tide");
    Click(*window, kSearchButton);
    ASSERT_TRUE(RunEvents([&] { return Count(*window, kSearchedCaption) >= 1; }));
    delete window;
    // Runs started by now may still log their start; one per core at most.
    const std::size_t runsAtClose = ReadLines(runs).size() + std::max(1u, std::thread::hardware_concurrency());
    EXPECT_TRUE(CWindow::WindowsOfClass<CSearcher>().empty());
    const auto noSearchThread = [] {
        const auto& threads = CThread::LiveThreads();
        return std::none_of(threads.begin(), threads.end(),
                            [](CThread* thread) { return dynamic_cast<CSearchIterator*>(thread) != nullptr; });
    };
    EXPECT_TRUE(RunEvents(noSearchThread));
    EXPECT_EQ(GetPreferenceString(kLastFolderPreference), mRoot.File("slow"));
    // The runs in hand end at their time-out and no new one starts: then the
    // search's private folder goes.
    const auto noPrivateFolder = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(mRoot.File("tmp")))
            if (entry.path().filename().string().rfind("tidewell-search-", 0) == 0) return false;
        return true;
    };
    EXPECT_TRUE(RunEvents(noPrivateFolder));
    EXPECT_LE(ReadLines(runs).size(), runsAtClose);

    // A search waiting for a hung tool ends as the window closes, without
    // waiting for the tool's time-out.
    CSearcher::SetCloseWait(0ms);
    SetWordListTimeout(1s);
    window = Open(mRoot.File("slow"));
    SetText(*window, kQuery, "tide");
    Click(*window, kSearchButton);
    ASSERT_TRUE(RunEvents([&] { return Count(*window, kSearchedCaption) >= 1; }));
    delete window;
    EXPECT_TRUE(noSearchThread());

    // The field is saved whatever it holds, and shown again next time.
    window = Open(mRoot.File("missing"));
    SetText(*window, kQuery, "tide");
    Click(*window, kSearchButton);
    delete window;
    EXPECT_EQ(GetPreferenceString(kLastFolderPreference), kInvalidFolderText);
    window = OpenSearchWindow(std::nullopt, nullptr);
    EXPECT_EQ(Text(*window, kFolderField), kInvalidFolderText);
}

TEST_F(SearchWindow, ChoosingAFolderFillsTheFieldAndCancelChangesNothing)
{
    mRoot.MakeFolder("chosen");
    CSearcher* window = Open(mRoot.File("chosen"));
    std::vector<std::string> starts;
    std::optional<std::string> answer = mRoot.File("other");
    CSearcher::SetFolderChooser([&](const std::string& start) {
        starts.push_back(start);
        return answer;
    });
    Click(*window, kChooseFolder);
    EXPECT_EQ(Text(*window, kFolderField), mRoot.File("other"));
    answer.reset();
    Click(*window, kChooseFolder);
    EXPECT_EQ(Text(*window, kFolderField), mRoot.File("other"));
    CSearcher::SetFolderChooser({});
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0], mRoot.File("chosen"));
    EXPECT_NE(starts[1], mRoot.File("other"));  // not a folder: the support folder instead

}

// Help opens the page of the resources the program runs with (installed
// beside it, or named by TIDEWELL_RESOURCES); a page that is not there is
// told in an alert.
TEST_F(SearchWindow, HelpOpensThePageOfTheResourcesInUseOrSaysItCannot)
{
    const std::string installed = mRoot.Write("share/tidewell/help/search.html", "<p>help</p>");
    mRoot.MakeFolder("empty");
    const char* old = std::getenv("TIDEWELL_RESOURCES");
    const std::optional<std::string> saved = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
    const struct {
        std::string resources;
        std::string opened;  // "" when nothing may open
    } cases[] = {
        {mRoot.File("share/tidewell"), installed},
        {mRoot.File("empty"), ""},
    };
    CSearcher* window = Open(mRoot.Path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.resources);
        ::setenv("TIDEWELL_RESOURCES", c.resources.c_str(), 1);
        mSpawned.clear();
        CScriptedAnswers::Clear();
        CScriptedAnswers::Push(kMsgOK);
        Click(*window, kHelp);
        if (c.opened.empty()) {
            EXPECT_TRUE(mSpawned.empty());
            ASSERT_EQ(CScriptedAnswers::Asked().size(), 1u);
            EXPECT_EQ(CScriptedAnswers::Asked()[0].text, kHelpFailure);
        } else {
            ASSERT_EQ(mSpawned.size(), 1u);
            EXPECT_EQ(mSpawned[0].back(), c.opened);
            EXPECT_TRUE(CScriptedAnswers::Asked().empty());
        }
    }
    CScriptedAnswers::Clear();
    if (saved) ::setenv("TIDEWELL_RESOURCES", saved->c_str(), 1);
    else ::unsetenv("TIDEWELL_RESOURCES");
}

// A file goes to the tool the first time, and again only when its size or
// modification time changed; a renamed file keeps its list. An entry that is
// corrupt, or made for another file, is not trusted.
TEST_F(SearchWindow, AFileIsListedAgainOnlyWhenItChanged)
{
    const std::string a = mRoot.Write("kept/a.txt", "tide");
    const std::string b = mRoot.Write("kept/b.txt", "tide");
    const std::string c = mRoot.Write("kept/c.html", "<p>tide</p>");
    const std::string d = mRoot.Write("kept/sub/d.txt", "harbour");
    const std::string e = mRoot.Write("kept/e.png", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
    const std::string listed = mRoot.File("listed");
    SetSearchKitIndexerPath(ToolScript("printf '%s\\n' \"$@\" >> " + listed));
    const CWordListCache cache(CWordListCache::DefaultFolder(), "");
    const auto entryOf = [&](const std::string& path) {
        SFileIdentity identity;
        EXPECT_TRUE(ReadFileIdentity(path, identity));
        return cache.EntryPath(identity);
    };
    const auto setTime = [](const std::string& path, time_t seconds) {
        const timeval times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(::utimes(path.c_str(), times), 0);
    };
    const struct {
        const char* change;
        std::function<void()> make;
        std::set<std::string> listed, found;
    } cases[] = {
        {"first search", [] {}, {a, b, c, d, e}, {"a.txt", "b.txt", "c.html", "d.txt"}},
        {"nothing changed", [] {}, {}, {"a.txt", "b.txt", "c.html", "d.txt"}},
        {"same size, new time",
         [&] {
             mRoot.Write("kept/a.txt", "tidy");
             setTime(a, 1700000000);
         },
         {a}, {"b.txt", "c.html", "d.txt"}},
        {"new size, same time",
         [&] {
             struct stat before {};
             ::stat(b.c_str(), &before);
             mRoot.Write("kept/b.txt", "tide tide");
             const timespec times[2] = {before.st_atim, before.st_mtim};
             ASSERT_EQ(::utimensat(AT_FDCWD, b.c_str(), times, 0), 0);
         },
         {b}, {"b.txt", "c.html", "d.txt"}},
        {"time only", [&] { setTime(c, 1600000000); }, {c}, {"b.txt", "c.html", "d.txt"}},
        {"renamed", [&] { std::filesystem::rename(d, mRoot.File("kept/sub/d2.txt")); }, {},
         {"b.txt", "c.html", "d2.txt"}},
        {"corrupt entry", [&] { mRoot.Write(entryOf(b).substr(mRoot.Path().size() + 1), "<plist><dict><key>"); }, {b},
         {"b.txt", "c.html", "d2.txt"}},
        {"another file's entry", [&] { std::filesystem::copy_file(entryOf(b), entryOf(e),
                                                                    std::filesystem::copy_options::overwrite_existing); },
         {e}, {"b.txt", "c.html", "d2.txt"}},
    };
    CSearcher* window = Open(mRoot.File("kept"));
    SetText(*window, kQuery, "tide harbour");
    window->FindPaneByID(kAllAnyGroup)->SetValue(static_cast<std::int32_t>(kAnyTerm));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        c.make();
        std::remove(listed.c_str());
        ASSERT_TRUE(RunSearch(*window));
        const std::vector<std::string> lines = ReadLines(listed);
        EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()), c.listed);
        EXPECT_EQ(lines.size(), c.listed.size());
        EXPECT_EQ(FoundNames(window->GetResults()->Root()), c.found);
    }
}

// The found files in the order the results list them.
std::vector<std::string> ListedOrder(const CFolderNode& node)
{
    std::vector<std::string> paths;
    for (const CFoundFile& file : node.Files()) paths.push_back(file.mRef.Path());
    for (const auto& child : node.Children())
        for (std::string& path : ListedOrder(*child)) paths.push_back(std::move(path));
    return paths;
}

// Listed ahead on several workers, from the tool or from the cache, a search
// files exactly the files a walk that reads each one in turn finds, in the
// same order.
TEST_F(SearchWindow, ListingAheadAndKeptListsChangeNoResult)
{
    for (int i = 0; i < 300; ++i)
        mRoot.Write("many/f" + std::to_string(i % 7) + "/p" + std::to_string(i) + ".html",
                    "<p>word" + std::to_string(i % 5) + (i % 11 == 0 ? " \xEF\xAC\x81sh" : "") + "</p>");
    // What a reader finds, in walk order.
    const auto expected = [&](const std::string& word) {
        CFolderNode root(nullptr, CFixedString255("Search Results"));
        (void)WalkFolderTree(CFileRef(mRoot.File("many")), 0, [&](const CWalkItem& item) {
            if (item.isFolder) return false;
            std::ifstream in(item.ref.Path());
            std::string text((std::istreambuf_iterator<char>(in)), {});
            if (text.find(word == "fish" ? "\xEF\xAC\x81sh" : word) == std::string::npos) return false;
            TPooledList<CFixedString255> folders;
            EXPECT_EQ(ListPathComponents(item.ref.c_str(), folders), 0);
            CFoundFile file;
            file.mRef = item.ref;
            FileFound(root, folders, file);
            return false;
        });
        return ListedOrder(root);
    };
    CSearcher* window = Open(mRoot.File("many"));
    for (const char* word : {"word3", "fish", "word3"}) {  // the second word3 from the cache
        SCOPED_TRACE(word);
        SetText(*window, kQuery, word);
        ASSERT_TRUE(RunSearch(*window));
        const std::vector<std::string> found = ListedOrder(window->GetResults()->Root());
        EXPECT_EQ(found, expected(word));
        EXPECT_FALSE(found.empty());
        EXPECT_EQ(Count(*window, kSearchedCaption), 307);
    }
}

TEST_F(SearchWindow, AFreshOutlineTableHasThreeColumnsAndNoRows)
{
    QWidget host;
    SPaneSpec spec;
    spec.id = 1;
    spec.classID = kClassOutlineTable;
    std::unique_ptr<CPane> pane = CClassRegistrar::CreatePane(spec, &host);
    auto* table = dynamic_cast<COutlineTable*>(pane.get());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->Tree()->columnCount(), 3);
    EXPECT_EQ(table->Tree()->topLevelItemCount(), 0);
}

// Mouse events on the heading, in its viewport's coordinates.
void Mouse(QWidget* viewport, QEvent::Type type, int x)
{
    const QPointF at(x, viewport->height() / 2);
    QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

TEST_F(SearchWindow, DraggingADividerKeepsTheLimitsLiveOrWithFeedback)
{
    mRoot.MakeFolder("f");
    CSearcher* window = Open(mRoot.File("f"));
    window->GetWidget()->resize(900, 500);
    QApplication::processEvents();
    auto* heading = window->FindPaneAs<CResizableHeading>(kHeading);
    ASSERT_NE(heading, nullptr);
    QWidget* viewport = heading->GetHeaderView()->viewport();
    QTreeWidget* body = window->GetResults()->Tree();
    ASSERT_EQ(heading->GetColumnCount(), 3);
    EXPECT_EQ(heading->GetColumnTitle(3), "Last Modified");
    EXPECT_EQ(heading->GetColumnTextOffset(1), 20);

    heading->SetMinColWidth(2, 60);
    heading->SetMaxColWidth(2, 150);
    const struct {
        bool live;
        int column, grabX, toX, width;
    } drags[] = {
        {true, 1, 400, 450, 450},     // Name: no maximum
        {false, 1, 451, 301, 300},     // grabbed a pixel right of the edge
        {true, 2, 400, 600, 150},     // Size: up to its maximum...
        {false, 2, 450, 300, 60},     // ... and down to its minimum
    };
    for (const auto& drag : drags) {
        SCOPED_TRACE(drag.toX);
        heading->SetLiveResizing(drag.live);
        heading->ResetResizedFlag(drag.column);
        const int before = heading->GetColumnWidth(drag.column);
        const int grab = drag.column == 1 ? drag.grabX : heading->GetColumnWidth(1) + before;
        ASSERT_EQ(heading->DividerColumnAt(grab), drag.column);
        Mouse(viewport, QEvent::MouseButtonPress, grab);
        Mouse(viewport, QEvent::MouseMove, drag.toX);
        const auto* band = window->GetWidget()->findChild<QRubberBand*>();
        if (drag.live) {
            EXPECT_EQ(heading->GetColumnWidth(drag.column), drag.width);
        } else {
            EXPECT_EQ(heading->GetColumnWidth(drag.column), before);
            ASSERT_NE(band, nullptr);
            EXPECT_TRUE(band->isVisible());
            if (drag.column == 2 && drag.toX == 300) Screenshot(*window, "search-divider-feedback");
        }
        Mouse(viewport, QEvent::MouseButtonRelease, drag.toX);
        EXPECT_EQ(heading->GetColumnWidth(drag.column), drag.width);
        EXPECT_EQ(body->columnWidth(drag.column - 1), drag.width);
        EXPECT_TRUE(heading->HasResized(drag.column));
        if (band != nullptr) {
            EXPECT_FALSE(band->isVisible());
        }
    }

    // A fixed column gives no divider; the filler past the last column is deaf.
    heading->SetMinColWidth(3, 200);
    heading->SetMaxColWidth(3, 200);
    const int end = heading->GetColumnWidth(1) + heading->GetColumnWidth(2) + heading->GetColumnWidth(3);
    EXPECT_EQ(heading->DividerColumnAt(end), 0);
    QPushButton* filler = heading->GetFillerButton();
    ASSERT_NE(filler, nullptr);
    int clicks = 0;
    QObject::connect(filler, &QPushButton::clicked, [&] { ++clicks; });
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(5, 5), filler->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(filler, &event);
    }
    EXPECT_EQ(clicks, 0);

    // Selectable columns: a click on a heading selects it and says so.
    struct SSelections : CListener {
        std::vector<int> columns;
        void ListenToMessage(MessageT message, void* ioParam) override
        {
            if (message == MakeFourCharCode("SelC")) columns.push_back(*static_cast<int*>(ioParam));
        }
    } selections;
    heading->AddListener(&selections);
    heading->SetSelectable(true, MakeFourCharCode("SelC"));
    Mouse(viewport, QEvent::MouseButtonPress, 30);
    Mouse(viewport, QEvent::MouseButtonRelease, 30);
    heading->SelectColumn(9);
    heading->SelectColumn(3);
    EXPECT_EQ(selections.columns, (std::vector<int>{1, 3}));
    heading->RemoveListener(&selections);
}

}  // namespace
