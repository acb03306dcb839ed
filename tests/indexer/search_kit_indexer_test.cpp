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
    // Every list the run left in its folder, by file name.
    std::map<std::string, std::map<std::string, std::int64_t>> lists;
};

SListed RunIndexer(const testsupport::TempDir& temp, const std::vector<std::string>& items,
                   const std::string& tool = SEARCH_KIT_INDEXER)
{
    SListed listed;
    std::vector<std::string> argv{tool};
    argv.insert(argv.end(), items.begin(), items.end());
    const int status = RunProgramWithArguments(argv, {"TMPDIR=" + temp.File("t")}, "", 60s, &listed.exitCode);
    EXPECT_EQ(status, 0);
    for (const auto& entry : std::filesystem::directory_iterator(temp.File("t"))) {
        PlistValue list;
        EXPECT_EQ(ReadPlistFile(entry.path(), list), 0) << entry.path();
        EXPECT_TRUE(list.IsDictionary()) << entry.path();
        auto& words = listed.lists[entry.path().filename()];
        for (std::size_t i = 0; i < list.Count(); ++i) words[list.KeyAt(i)] = list.ItemAt(i).Integer();
    }
    return listed;
}

using WordCounts = std::map<std::string, std::int64_t>;

// Only what a reader of the file sees is listed: never the file's name,
// CDATA sections or scripts; compatibility forms (ligatures, full-width
// letters) are folded to their plain letters.
TEST(SearchKitIndexer, ListsTheWordsAReaderSees)
{
    const struct {
        const char* name;
        std::string bytes;
        WordCounts expected;  // exactly these words
    } cases[] = {
        {"page.html",
         "<!DOCTYPE html><html><head><title>Harbour Notes</title><style>p { color: red }</style>"
         "<script>var hidden = 'secret';</script></head><body><p>Caf&eacute; caf&#233; &amp; <b>W</b>ord</p>"
         "<p>tide</p><p>tide<!-- comment --></p></body></html>",
         {{"Harbour", 1}, {"Notes", 1}, {"Café", 1}, {"café", 1}, {"Word", 1}, {"tide", 2}}},
        // Latin-1 bytes with the encoding declared by the page.
        {"latin.htm",
         "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\"></head>"
         "<body>na\xEFve</body></html>",
         {{"naïve", 1}}},
        {"cdata.html",
         "<html><body><p>shown</p><![CDATA[hidden data]]><svg><![CDATA[<b>more</b>]]></svg>"
         "<!-- <![CDATA[ --> kept ]]> <![CDATA[ unended</body></html>",
         {{"shown", 1}, {"kept", 1}}},
        {"doc.pdf", TinyPDF("Offline copies of harbour charts"),
         {{"Offline", 1}, {"copies", 1}, {"of", 1}, {"harbour", 1}, {"charts", 1}}},
        // \256 is the fi ligature of the font's standard encoding.
        {"ligature.pdf", TinyPDF("\\256nd the \\256sh"), {{"find", 1}, {"the", 1}, {"fish", 1}}},
        {"ligatures.txt", "\xEF\xAC\x81nd \xEF\xAC\x82ow o\xEF\xAC\x83" "ce \xEF\xBC\xB4ide find",
         {{"find", 2}, {"flow", 1}, {"office", 1}, {"Tide", 1}}},
        {"notes.txt", "Tide tables: tide, TIDE; 2026-12-09.\n",
         {{"Tide", 1}, {"tables", 1}, {"tide", 1}, {"TIDE", 1}, {"2026", 1}, {"12", 1}, {"09", 1}}},
        {"empty.txt", "", {}},
        // Not UTF-8: the bytes are read as Windows-1252.
        {"old.txt", "caf\xE9 \x93quoted\x94", {{"café", 1}, {"quoted", 1}}},
        {"image.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR words", 22), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempDir temp;
        temp.MakeFolder("t");
        const SListed listed = RunIndexer(temp, {temp.Write(c.name, c.bytes)});
        EXPECT_EQ(listed.exitCode, 0);
        ASSERT_EQ(listed.lists.size(), 1u);
        EXPECT_EQ(listed.lists.begin()->second, c.expected);
        // Written through a rename: nothing else is left in the folder.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.File("t")), {}), 1);
    }
}

// A link may lead out of the searched folder, a pipe would wait for a writer
// and a folder holds no text: none of them has words. Each run replaces the
// list of the one before.
TEST(SearchKitIndexer, OneItemHasOneListWhateverItIs)
{
    testsupport::TempDir temp;
    temp.MakeFolder("t");
    const std::string outside = temp.Write("outside/private.txt", "private words");
    temp.MakeFolder("searched/folder");
    ASSERT_EQ(::symlink(outside.c_str(), temp.File("searched/shortcut.txt").c_str()), 0);
    ASSERT_EQ(::mkfifo(temp.File("searched/queue.txt").c_str(), 0600), 0);
    temp.Write("searched/words.txt", "stale words");
    const struct {
        const char* name;
        int exitCode;
    } cases[] = {
        {"words.txt", 0}, {"shortcut.txt", 0}, {"words.txt", 0}, {"queue.txt", 0},
        {"words.txt", 0}, {"folder", 0},       {"words.txt", 0}, {"missing.txt", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SListed listed = RunIndexer(temp, {temp.File(std::string("searched/") + c.name)});
        EXPECT_EQ(listed.exitCode, c.exitCode);
        ASSERT_EQ(listed.lists.count("index-1965.dat"), 1u);
        const WordCounts expected =
            std::string(c.name) == "words.txt" ? WordCounts{{"stale", 1}, {"words", 1}} : WordCounts{};
        EXPECT_EQ(listed.lists.at("index-1965.dat"), expected);
    }
}

// Several items: one list each, numbered by place, none for an item that
// cannot be read.
TEST(SearchKitIndexer, SeveralItemsHaveANumberedListEach)
{
    testsupport::TempDir temp;
    temp.MakeFolder("t");
    temp.MakeFolder("folder");
    const SListed listed = RunIndexer(temp, {temp.Write("a.txt", "tide tide"), temp.File("missing.txt"),
                                             temp.File("folder"), temp.Write("b.html", "<p>harbour</p>")});
    EXPECT_EQ(listed.exitCode, 1);
    EXPECT_EQ(listed.lists, (std::map<std::string, WordCounts>{{"index-1965-1.dat", {{"tide", 2}}},
                                                                {"index-1965-3.dat", {}},
                                                                {"index-1965-4.dat", {{"harbour", 1}}}}));
}

// A tool whose PDF reader cannot be loaded has not read a PDF: it says so,
// rather than list a PDF as a file without words.
TEST(SearchKitIndexer, APDFIsUnreadWithoutItsReader)
{
    testsupport::TempDir temp;
    temp.MakeFolder("t");
    temp.MakeFolder("bin");
    const std::string alone = temp.File("bin/SearchKitIndexer");
    std::filesystem::copy_file(SEARCH_KIT_INDEXER, alone);
    const struct {
        const char* name;
        std::string bytes;
        int exitCode;
        WordCounts expected;
    } cases[] = {
        {"doc.pdf", TinyPDF("harbour"), 1, {}},
        {"notes.txt", "harbour", 0, {{"harbour", 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SListed listed = RunIndexer(temp, {temp.Write(c.name, c.bytes)}, alone);
        EXPECT_EQ(listed.exitCode, c.exitCode);
        EXPECT_EQ(listed.lists, (std::map<std::string, WordCounts>{{"index-1965.dat", c.expected}}));
    }
}

}  // namespace
