// search-driver: one search of the search window, on the real window drawn
// offscreen, for benchmarks and for trying the search from a shell.
//
//   search-driver [--list] FOLDER TERM...
//
// Opens the search window on FOLDER with the window's own options (ignore
// case, all terms, whole words), types the terms, clicks Search and waits
// for the end. Prints "found N searched M seconds S" (wall time from the
// click to the end), and with --list the path of every found file first, in
// the order the results list them. The word-list tool is the one built
// beside tidewell; word lists are kept in $XDG_CACHE_HOME as usual.
//
// Exit status: 0 when the search ran, 1 when it could not start, 2 for a
// usage error.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <QAbstractButton>
#include <QApplication>

#include "app/framework/class_registrar.h"
#include "app/framework/scheduler_driver.h"
#include "app/windows/search/hier_outline_table.h"
#include "app/windows/search/open_search.h"
#include "app/windows/search/search_panes.h"
#include "app/windows/search/searcher.h"
#include "app/windows/search/word_list_tool.h"

namespace {

using namespace searchwindow;

void PrintFound(const CFolderNode& node)
{
    for (const CFoundFile& file : node.Files()) std::printf("%s\n", file.mRef.Path().c_str());
    for (const auto& child : node.Children()) PrintFound(*child);
}

}  // namespace

int main(int argc, char** argv)
{
    int first = 1;
    const bool list = argc > 1 && std::string_view(argv[1]) == "--list";
    if (list) ++first;
    if (argc - first < 2) {
        std::fprintf(stderr, "usage: search-driver [--list] FOLDER TERM...\n");
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    RegisterStandardClasses();
    RegisterSearchWindow();
    CSchedulerDriver::Install();
    SetSearchKitIndexerPath(SEARCH_KIT_INDEXER);

    CSearcher* window = OpenSearchWindow(std::string(argv[first]), nullptr);
    std::string query;
    for (int index = first + 1; index < argc; ++index) query += std::string(index > first + 1 ? " " : "") + argv[index];
    window->FindPaneByID(kQuery)->SetDescriptor(query);

    const auto start = std::chrono::steady_clock::now();
    qobject_cast<QAbstractButton*>(window->FindPaneByID(kSearchButton)->GetWidget())->click();
    if (!window->IsSearching()) {
        std::fprintf(stderr, "search-driver: the search did not start (%s)\n",
                     window->FindPaneByID(kFolderField)->GetDescriptor().c_str());
        return 1;
    }
    while (window->IsSearching() || window->GetSearchThread() != nullptr)
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    if (list) PrintFound(window->GetResults()->Root());
    std::printf("found %s searched %s seconds %.3f\n", window->FindPaneByID(kFoundCaption)->GetDescriptor().c_str(),
                window->FindPaneByID(kSearchedCaption)->GetDescriptor().c_str(), seconds);
    delete window;
    CSchedulerDriver::Uninstall();
    return 0;
}
