#include "foundation/mirror/local_file_types.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "foundation/files/file.h"
#include "tests/files/scratch_folder.h"

namespace {

constexpr std::uint32_t Code(const char (&text)[5])
{
    return (std::uint32_t(std::uint8_t(text[0])) << 24) | (std::uint32_t(std::uint8_t(text[1])) << 16) |
           (std::uint32_t(std::uint8_t(text[2])) << 8) | std::uint32_t(std::uint8_t(text[3]));
}

TEST(LocalFileTypes, MimeTypeFromTheExactExtension)
{
    const std::map<std::string, std::string> table = {{".html", "text/html"}, {".gz", "application/gzip"}};
    MimeTypeForExtension lookup = [&](const char* extension, CFixedString255& mime) {
        auto found = table.find(extension);
        if (found == table.end()) return false;
        mime = found->second.c_str();
        return true;
    };
    struct Case {
        const char* path;
        bool found;
        const char* mime;
    };
    const Case cases[] = {
        {"/m/page.html", true, "text/html"},
        {"/m/PAGE.HTML", false, "unchanged"},
        {"/m/archive.tar.gz", true, "application/gzip"},
        {"/m/README", false, "unchanged"},
        {"/m/.html", false, "unchanged"},
        {"/m/page.htm", false, "unchanged"},
    };
    for (const Case& c : cases) {
        CFixedString255 mime("unchanged");
        EXPECT_EQ(GetMIMETypeForFile(CFileRef(c.path), mime, lookup), c.found) << c.path;
        EXPECT_STREQ(mime.c_str(), c.mime) << c.path;
    }
    CFixedString255 mime("unchanged");
    EXPECT_FALSE(GetMIMETypeForFile(CFileRef("/m/page.html"), mime, nullptr));
}

TEST(LocalFileTypes, MimeTypeFromTypeAndCreator)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    if (!SupportsUserAttributes(scratch.Path()))
        GTEST_SKIP() << "the file system of " << scratch.Path() << " keeps no user extended attributes";
    const CTypeCreatorMapping mappings[] = {
        {Code("TEXT"), Code("ttxt"), "text/plain"},
        {Code("TEXT"), Code("MSIE"), "text/html"},
        {Code("JPEG"), Code("prvw"), ""},
        {Code("JPEG"), Code("GKON"), "image/jpeg"},
        {Code("TEXT"), Code("R*ch"), "text/richtext"},
    };
    struct Case {
        const char* type;  // null: no labels at all
        const char* creator;
        bool found;
        const char* mime;
    };
    const Case cases[] = {
        {"TEXT", "MSIE", true, "text/html"},
        {"TEXT", "ttxt", true, "text/plain"},
        {"TEXT", "none", false, "text/richtext"},  // the last row matching on type alone
        {"JPEG", "prvw", false, "image/jpeg"},     // rows without a MIME type are passed over
        {"GIFf", "none", false, "unchanged"},
        {nullptr, nullptr, false, "unchanged"},
    };
    for (const Case& c : cases) {
        std::string path = scratch.At("file");
        ::unlink(path.c_str());
        ASSERT_TRUE(WriteTextFile(path, ""));
        CFileRef file(path);
        if (c.type) {
            char type[5], creator[5];
            std::snprintf(type, sizeof type, "%s", c.type);
            std::snprintf(creator, sizeof creator, "%s", c.creator);
            ASSERT_EQ(CFile::SetFileType(file, Code(type)).Code(), 0);
            ASSERT_EQ(CFile::SetFileCreator(file, Code(creator)).Code(), 0);
            std::uint32_t readType = 0, readCreator = 0;
            EXPECT_EQ(GetFileTypeAndCreator(file, readType, readCreator).Code(), 0);
            EXPECT_EQ(readType, Code(type));
            EXPECT_EQ(readCreator, Code(creator));
        } else {
            std::uint32_t readType = 1, readCreator = 1;
            EXPECT_EQ(GetFileTypeAndCreator(file, readType, readCreator).Code(), -ENODATA);
            EXPECT_EQ(readType, 0u);
            EXPECT_EQ(readCreator, 0u);
        }
        CFixedString255 mime("unchanged");
        EXPECT_EQ(GetMIMETypeForTypeCreator(file, mime, mappings), c.found) << (c.type ? c.type : "none");
        EXPECT_STREQ(mime.c_str(), c.mime) << (c.type ? c.type : "none");
    }
}

}  // namespace
