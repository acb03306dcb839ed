// SearchKitIndexer <item path>
//
// Writes the words of the item's name and of its readable text with their
// counts as the XML property list "index-1965.dat" in $TMPDIR (else /tmp),
// whole, through a temporary file and a rename. The list is written even
// when the item cannot be read (empty then), and the exit status says so:
// 0 listed, 1 the item could not be read or the list not written, 64 usage.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/posix/atomic_file.h"
#include "platform/plist/plist_xml.h"
#include "tools/search_kit_indexer/readable_text.h"
#include "tools/search_kit_indexer/word_counts.h"

namespace {

// A name's parts read as words: "tide_tables-2026.pdf" lists tide, tables,
// 2026 and pdf.
std::string NameWords(std::string_view path)
{
    std::string name(path.substr(path.find_last_of('/') + 1));
    for (char& c : name)
        if (c == '.' || c == '_' || c == '-') c = ' ';
    return name;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: SearchKitIndexer <file>\n");
        return 64;
    }
    const char* folder = std::getenv("TMPDIR");
    const std::string listPath = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/index-1965.dat";
    const std::string item = argv[1];

    std::vector<std::pair<std::string, long>> counts;
    bool readable = true;
    // Not followed: a link may lead out of the searched folder. Of a link,
    // a folder or a special file only the name is listed.
    struct stat info {};
    if (::lstat(item.c_str(), &info) != 0) {
        readable = false;
    } else {
        std::string text = NameWords(item);
        std::string bytes;
        if (S_ISREG(info.st_mode) && ReadFileBytes(item, bytes) != 0) readable = false;
        else if (S_ISREG(info.st_mode)) text += "\n" + ReadableText(KindOfItem(item, bytes), bytes);
        if (readable) counts = CountWords(text);
    }
    if (WritePlistFile(listPath, WordListOf(counts), 0600) != 0) return 1;
    return readable ? 0 : 1;
}
