#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/filters/script_process.h"
#include "platform/plist/plist_xml.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::chrono_literals;

// A one-page PDF showing `text` in Helvetica, with a correct cross-reference
// table.
std::string TinyPDF(const std::string& text)
{
    const std::string stream = "BT /F1 24 Tf 72 700 Td (" + text + ") Tj ET";
    const std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length " + std::to_string(stream.size()) + " >>\nstream\n" + stream + "\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    };
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t offset : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

struct SListed {
    int exitCode = -1;
    std::map<std::string, std::int64_t> words;
    bool listRead = false;
};

SListed RunIndexer(const testsupport::TempDir& temp, const std::string& item)
{
    SListed listed;
    int status = RunProgramWithArguments({SEARCH_KIT_INDEXER, item}, {"TMPDIR=" + temp.File("t")}, "", 60s,
                                         &listed.exitCode);
    EXPECT_EQ(status, 0);
    PlistValue list;
    listed.listRead = ReadPlistFile(temp.File("t/index-1965.dat"), list) == 0 && list.IsDictionary();
    for (std::size_t i = 0; i < list.Count(); ++i) listed.words[list.KeyAt(i)] = list.ItemAt(i).Integer();
    return listed;
}

TEST(SearchKitIndexer, ListsTheWordsAReaderSees)
{
    const struct {
        const char* name;
        std::string bytes;
        std::map<std::string, std::int64_t> expected;  // exactly these words, the name's too
    } cases[] = {
        {"page.html",
         "<!DOCTYPE html><html><head><title>Harbour Notes</title><style>p { color: red }</style>"
         "<script>var hidden = 'secret';</script></head><body><p>Caf&eacute; caf&#233; &amp; <b>W</b>ord</p>"
         "<p>tide</p><p>tide<!-- comment --></p></body></html>",
         {{"page", 1}, {"html", 1}, {"Harbour", 1}, {"Notes", 1}, {"Café", 1}, {"café", 1}, {"Word", 1}, {"tide", 2}}},
        // Latin-1 bytes with the encoding declared by the page.
        {"latin.htm",
         "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\"></head>"
         "<body>na\xEFve</body></html>",
         {{"latin", 1}, {"htm", 1}, {"naïve", 1}}},
        {"doc.pdf", TinyPDF("Offline copies of harbour charts"),
         {{"doc", 1}, {"pdf", 1}, {"Offline", 1}, {"copies", 1}, {"of", 1}, {"harbour", 1}, {"charts", 1}}},
        {"notes.txt", "Tide tables: tide, TIDE; 2026-12-09.\n", {{"notes", 1}, {"txt", 1}, {"Tide", 1}, {"tables", 1}, {"tide", 1},
                                                                 {"TIDE", 1},
                                                                 {"2026", 1}, {"12", 1}, {"09", 1}}},
        {"empty.txt", "", {{"empty", 1}, {"txt", 1}}},
        // Not UTF-8: the bytes are read as Windows-1252.
        {"old.txt", "caf\xE9 \x93quoted\x94", {{"old", 1}, {"txt", 1}, {"café", 1}, {"quoted", 1}}},
        {"image.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR words", 22), {{"image", 1}, {"png", 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempDir temp;
        temp.MakeFolder("t");
        const SListed listed = RunIndexer(temp, temp.Write(c.name, c.bytes));
        EXPECT_EQ(listed.exitCode, 0);
        ASSERT_TRUE(listed.listRead);
        EXPECT_EQ(listed.words, c.expected);
        // Written through a rename: nothing else is left in the folder.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.File("t")), {}), 1);
    }
}

// A link may lead out of the searched folder and a pipe would wait for a
// writer: of both only the name is listed.
TEST(SearchKitIndexer, ListsOnlyTheNameOfALinkOrAPipe)
{
    testsupport::TempDir temp;
    temp.MakeFolder("t");
    const std::string outside = temp.Write("outside/private.txt", "private words");
    temp.MakeFolder("searched");
    ASSERT_EQ(::symlink(outside.c_str(), temp.File("searched/shortcut.txt").c_str()), 0);
    ASSERT_EQ(::mkfifo(temp.File("searched/queue.txt").c_str(), 0600), 0);
    const struct {
        const char* name;
        std::map<std::string, std::int64_t> expected;
    } cases[] = {
        {"shortcut.txt", {{"shortcut", 1}, {"txt", 1}}},
        {"queue.txt", {{"queue", 1}, {"txt", 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SListed listed = RunIndexer(temp, temp.File(std::string("searched/") + c.name));
        EXPECT_EQ(listed.exitCode, 0);
        ASSERT_TRUE(listed.listRead);
        EXPECT_EQ(listed.words, c.expected);
    }
}

TEST(SearchKitIndexer, EveryRunReplacesTheEarlierList)
{
    testsupport::TempDir temp;
    temp.MakeFolder("t");
    temp.MakeFolder("folder");
    ASSERT_EQ(RunIndexer(temp, temp.Write("a.txt", "stale words")).words.size(), 4u);

    SListed folder = RunIndexer(temp, temp.File("folder"));
    EXPECT_EQ(folder.exitCode, 0);
    EXPECT_TRUE(folder.listRead);
    EXPECT_EQ(folder.words, (std::map<std::string, std::int64_t>{{"folder", 1}}));

    RunIndexer(temp, temp.Write("b.txt", "stale words"));
    SListed missing = RunIndexer(temp, temp.File("missing.txt"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.listRead);
    EXPECT_TRUE(missing.words.empty());
}

}  // namespace
