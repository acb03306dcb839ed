// The compiled-in file-name table and the mapping walk over it.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "foundation/system/file_name_mappings.h"
#include "foundation/system/internet_config.h"
#include "foundation/system/map_file_name.h"
#include "foundation/text/ascii.h"

namespace {

TEST(FileNameMappings, LooksUpExtensionsWithoutRegardToCase)
{
    struct Row {
        const char* extension;
        const char* mimeType;  // null: no entry
        const char* type;
        bool binary;
    } rows[] = {
        {".html", "text/html", "TEXT", false}, {".HTML", "text/html", "TEXT", false},
        {".Htm", "text/html", "TEXT", false},  {".shtml", "text/html", "TEXT", false},
        {".php", "text/html", "TEXT", false},  {".css", "text/css", "TEXT", false},
        {".js", "text/javascript", "TEXT", false}, {".json", "application/json", "TEXT", false},
        {".xml", "text/xml", "TEXT", false},   {".txt", "text/plain", "TEXT", false},
        {".csv", "text/csv", "TEXT", false},   {".svg", "image/svg+xml", "TEXT", false},
        {".gif", "image/gif", "GIFf", true},   {".JPG", "image/jpeg", "JPEG", true},
        {".jpeg", "image/jpeg", "JPEG", true}, {".png", "image/png", "PNGf", true},
        {".webp", "image/webp", "WEBP", true}, {".ico", "image/x-icon", "ICO ", true},
        {".pdf", "application/pdf", "PDF ", true}, {".zip", "application/zip", "ZIP ", true},
        {".tgz", "application/gzip", "Gzip", true}, {".mp3", "audio/mpeg", "MPG3", true},
        {".mov", "video/quicktime", "MooV", true}, {".woff2", "font/woff2", "wof2", true},
        {".swf", "application/x-shockwave-flash", "SWFL", true},
        {".nosuch", nullptr, nullptr, false},  {"html", nullptr, nullptr, false},
        {".", nullptr, nullptr, false},        {"", nullptr, nullptr, false},
        {".html.", nullptr, nullptr, false},
    };
    for (const Row& row : rows) {
        const FileNameMapping* entry = FindFileNameMapping(row.extension);
        if (row.mimeType == nullptr) {
            EXPECT_EQ(entry, nullptr) << row.extension;
            continue;
        }
        ASSERT_NE(entry, nullptr) << row.extension;
        EXPECT_STREQ(entry->mimeType, row.mimeType) << row.extension;
        EXPECT_TRUE(EqualsNoCase(entry->extension, row.extension)) << row.extension;
        char type[5] = {};
        type[0] = static_cast<char>(entry->type >> 24);
        type[1] = static_cast<char>(entry->type >> 16);
        type[2] = static_cast<char>(entry->type >> 8);
        type[3] = static_cast<char>(entry->type);
        EXPECT_STREQ(type, row.type) << row.extension;
        EXPECT_EQ((entry->flags & kMappingBinary) != 0, row.binary) << row.extension;
    }
}

TEST(FileNameMappings, CoversTheUsualWebTypes)
{
    for (const char* extension :
         {".html", ".htm", ".shtml", ".php", ".asp", ".jsp", ".cgi", ".css", ".js", ".json", ".xml", ".txt",
          ".csv", ".gif", ".jpg", ".jpeg", ".png", ".webp", ".svg", ".ico", ".bmp", ".tif", ".pdf", ".zip",
          ".gz", ".tgz", ".tar", ".mp3", ".wav", ".ogg", ".mp4", ".mov", ".avi", ".webm", ".woff", ".woff2",
          ".ttf", ".otf", ".doc", ".xls", ".ppt", ".rtf", ".swf"})
        EXPECT_NE(FindFileNameMapping(extension), nullptr) << extension;
}

TEST(FileNameMappings, EntriesAreWellFormed)
{
    for (const FileNameMapping& entry : FileNameMappings()) {
        std::string extension = entry.extension;
        ASSERT_GE(extension.size(), 2u);
        EXPECT_EQ(extension[0], '.');
        for (char c : extension) EXPECT_FALSE(c >= 'A' && c <= 'Z') << extension;
        EXPECT_NE(std::string(entry.mimeType).find('/'), std::string::npos) << extension;
        EXPECT_NE(entry.type, 0u) << extension;
        EXPECT_NE(entry.creator, 0u) << extension;
        EXPECT_STRNE(entry.entryName, "") << extension;
    }
}

// A walk that looks for the first entry whose MIME type starts a
// Content-Type must land on an entry of that very type, with the preferred
// extension for it.
TEST(FileNameMappings, FirstEntryForAContentTypeIsThePreferredOne)
{
    auto firstFor = [](std::string_view contentType) -> const FileNameMapping* {
        for (const FileNameMapping& entry : FileNameMappings())
            if (*entry.mimeType != '\0' && BeginsWithNoCase(contentType, entry.mimeType)) return &entry;
        return nullptr;
    };
    for (const FileNameMapping& entry : FileNameMappings()) {
        const FileNameMapping* first = firstFor(entry.mimeType);
        ASSERT_NE(first, nullptr);
        EXPECT_STREQ(first->mimeType, entry.mimeType) << entry.extension << " is shadowed by " << first->extension;
    }
    struct Row {
        const char* contentType;
        const char* extension;
    } rows[] = {
        {"text/html; charset=utf-8", ".html"}, {"TEXT/HTML", ".html"},         {"text/plain", ".txt"},
        {"image/jpeg", ".jpg"},                {"application/x-javascript", ".js"},
        {"application/xml", ".xml"},           {"application/x-gzip", ".gz"}, {"application/gzip", ".gz"},
    };
    for (const Row& row : rows) {
        const FileNameMapping* entry = firstFor(row.contentType);
        ASSERT_NE(entry, nullptr) << row.contentType;
        EXPECT_STREQ(entry->extension, row.extension) << row.contentType;
    }
}

TEST(FileNameMappings, MapsFileNamesByTheirLastExtension)
{
    struct Row {
        const char* name;
        const char* mimeType;  // null: kSysNoMapping
    } rows[] = {
        {"index.html", "text/html"},   {"archive.tar.gz", "application/gzip"},
        {"PHOTO.JPEG", "image/jpeg"},  {"/site/a.b/page.CSS", "text/css"},
        {"Makefile", nullptr},         {"/site/a.b/readme", nullptr},
        {"trailing.", nullptr},        {".html", "text/html"},
    };
    for (const Row& row : rows) {
        CFixedString255 mime("unchanged");
        TypeCode type = 1, creator = 2;
        SystemStatus mimeStatus = MapFileNameToMIMEType(row.name, mime);
        SystemStatus typeStatus = MapFileNameToTypeCreator(row.name, type, creator);
        if (row.mimeType == nullptr) {
            EXPECT_EQ(mimeStatus, kSysNoMapping) << row.name;
            EXPECT_EQ(typeStatus, kSysNoMapping) << row.name;
            EXPECT_STREQ(mime.c_str(), "unchanged") << row.name;
            EXPECT_EQ(type, 1u);
            EXPECT_EQ(creator, 2u);
        } else {
            EXPECT_EQ(mimeStatus, kSysNoError) << row.name;
            EXPECT_STREQ(mime.c_str(), row.mimeType) << row.name;
            EXPECT_EQ(typeStatus, kSysNoError) << row.name;
            EXPECT_EQ(type, FindFileNameMappingForName(row.name)->type);
        }
    }
    CFixedString255 mime;
    EXPECT_EQ(MapFileNameToMIMEType(nullptr, mime), kSysBadParameter);
}

TEST(InternetConfig, MappingWalkGivesEveryEntryOnceInOrder)
{
    CInternetConfig config(kTidewellCreator);
    FileNameMapping entry;
    EXPECT_TRUE(config.IsAvailable());
    EXPECT_EQ(config.BeginMapping(), kSysNotStarted);
    EXPECT_FALSE(config.NextMapEntry(entry));
    EXPECT_EQ(config.EndMapping(), kSysNotStarted);

    ASSERT_EQ(config.Start(), kSysNoError);
    EXPECT_FALSE(config.NextMapEntry(entry)) << "no walk begun";
    EXPECT_EQ(config.EndMapping(), kSysNotStarted) << "no walk open";
    ASSERT_EQ(config.BeginMapping(), kSysNoError);
    std::size_t count = 0;
    while (config.NextMapEntry(entry)) {
        ASSERT_LT(count, FileNameMappings().size());
        EXPECT_STREQ(entry.extension, FileNameMappings()[count].extension);
        EXPECT_STREQ(entry.mimeType, FileNameMappings()[count].mimeType);
        ++count;
    }
    EXPECT_EQ(count, FileNameMappings().size());
    EXPECT_FALSE(config.NextMapEntry(entry));
    EXPECT_EQ(config.EndMapping(), kSysNoError);
    EXPECT_FALSE(config.NextMapEntry(entry));

    // A second walk starts over.
    ASSERT_EQ(config.BeginMapping(), kSysNoError);
    ASSERT_TRUE(config.NextMapEntry(entry));
    EXPECT_STREQ(entry.extension, FileNameMappings()[0].extension);
    EXPECT_EQ(config.Stop(), kSysNoError);
    EXPECT_FALSE(config.IsStarted());
    EXPECT_FALSE(config.NextMapEntry(entry)) << "stopping ends the walk";
}

}  // namespace
