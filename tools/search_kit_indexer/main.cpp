// SearchKitIndexer ITEM...
//
// Lists the words of each item's readable text with their counts as an XML
// property list (a dictionary of word -> count). Only the text an item holds
// is listed, never its name: a folder, a link or a special file has no words.
//
// With one item the list is "index-1965.dat" in $TMPDIR (else /tmp), written
// even when the item cannot be read (empty then). With several, the list of
// the k-th item (k from 1) is "index-1965-k.dat", written only when the item
// was read, as soon as it is done: a run cut short leaves the lists of the
// items it finished. Every list is written whole, through a temporary file
// and a rename, and not flushed to the disk: it lives as long as a search.
//
// Exit status: 0 every item listed, 1 an item could not be read or its list
// not written, 64 usage.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "foundation/unicode/compatibility_fold.h"
#include "platform/plist/plist_xml.h"
#include "platform/posix/atomic_file.h"
#include "tools/search_kit_indexer/readable_text.h"
#include "tools/search_kit_indexer/word_counts.h"

namespace {

int WriteList(const std::string& path, const std::vector<std::pair<std::string, long>>& counts)
{
    const std::optional<std::string> xml = PlistToXml(WordListOf(counts));
    if (!xml) return kPlistMalformed;
    AtomicWriteOptions options;
    options.mode = 0600;
    options.syncFile = false;
    return WriteFileAtomically(path, *xml, options);
}

// The words of the item's text; false when it cannot be read. A link is not
// followed (it may lead out of the searched folder): only a regular file
// has text.
bool ListItem(const std::string& item, std::vector<std::pair<std::string, long>>& counts)
{
    counts.clear();
    struct stat info {};
    if (::lstat(item.c_str(), &info) != 0) return false;
    if (!S_ISREG(info.st_mode)) return true;
    std::string bytes;
    if (ReadFileBytes(item, bytes) != 0) return false;
    const EItemKind kind = KindOfItem(item, bytes);
    if (kind == EItemKind::kPDF && !CanReadPDF()) return false;
    counts = CountWords(FoldCompatibility(ReadableText(kind, bytes)));
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: SearchKitIndexer <item>...\n");
        return 64;
    }
    for (int index = 1; index < argc; ++index) {
        if (argv[index][0] == '\0') {
            std::fprintf(stderr, "usage: SearchKitIndexer <item>...\n");
            return 64;
        }
    }
    const char* folder = std::getenv("TMPDIR");
    const std::string listFolder = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/";
    const bool single = argc == 2;
    bool allListed = true;
    std::vector<std::pair<std::string, long>> counts;
    for (int index = 1; index < argc; ++index) {
        const bool read = ListItem(argv[index], counts);
        allListed = allListed && read;
        if (!read && !single) continue;
        const std::string listPath =
            listFolder + (single ? std::string("index-1965.dat") : "index-1965-" + std::to_string(index) + ".dat");
        if (WriteList(listPath, counts) != 0) allListed = false;
    }
    return allListed ? 0 : 1;
}
