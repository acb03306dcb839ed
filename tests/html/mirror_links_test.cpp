#include "engine/html/mirror_links.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <set>

#include "engine/crawl/mirror_writer.h"
#include "engine/html/html_page.h"
#include "engine/html/link_rewriter.h"
#include "engine/html/link_text.h"
#include "engine/url/url_record.h"
#include "recording_page_context.h"
#include "tests/support/temp_dir.h"

namespace {

// What a browser does with a relative link in a file it shows from disk:
// the link's %XX escapes are decoded and its ".." steps taken from the
// page's folder.
std::string OpenedPath(const std::string& pageFolder, const std::string& link)
{
    std::string decoded;
    for (std::size_t i = 0; i < link.size(); ++i) {
        if (link[i] == '%' && i + 2 < link.size()) {
            decoded += static_cast<char>(std::stoi(link.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            decoded += link[i];
        }
    }
    std::vector<std::string> parts;
    std::string whole = pageFolder + "/" + decoded;
    for (std::size_t at = 0; at <= whole.size();) {
        std::size_t end = std::min(whole.find('/', at), whole.size());
        std::string part = whole.substr(at, end - at);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    std::string path;
    for (const std::string& part : parts) path += "/" + part;
    return path;
}

bool IsPlainFile(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

TEST(MirrorLinks, NameExactlyTheFileTheSaveWrites)
{
    CMirrorNaming plain;
    CMirrorNaming dynamicAsIndex;
    dynamicAsIndex.indexName = "dyn.html";
    dynamicAsIndex.indexForDynamic = true;
    dynamicAsIndex.remapAllPHP = true;
    CMirrorNaming flat;
    flat.flat = true;
    flat.indexName = "index.htm";

    const struct {
        const char* url;
        const CMirrorNaming& naming;
        const char* path;  // from the mirror's root, as a link writes it
    } cases[] = {
        {"http://example.com/a%20b/c%20d.html", plain, "example.com/a%20b/c%20d.html"},
        {"http://example.com/dir/x.php?y=1&z=a%20b", plain, "example.com/dir/x.php%3Fy=1%26z=a%20b"},
        {"http://example.com/dir/x.php?y=1", dynamicAsIndex, "example.com/dir/dyn.html"},
        {"http://example.com/dir/page.php", dynamicAsIndex, "example.com/dir/dyn.html"},
        {"http://example.com:8080/p/", plain, "example.com/8080/p/Index.html"},
        {"http://example.com", plain, "example.com/Index.html"},
        {"http://example.com/%2e%2e/x.html", plain, "example.com/%252E%252E/x.html"},
        {"http://example.com/a%2Fb/c.html", plain, "example.com/a%252Fb/c.html"},
        {"http://example.com/caf%C3%A9/men%C3%BC.html", plain, "example.com/caf%C3%A9/men%C3%BC.html"},
        {"http://example.com/q/it's%20(1).html", plain, "example.com/q/it%27s%20%281%29.html"},
        {"http://example.com/100%25.html", plain, "example.com/100%25.html"},
        {"http://example.com/a:b.html", plain, "example.com/a%3Ab.html"},
        {"http://example.com/x/%FF.html", plain, "example.com/x/%25FF.html"},
        {"http://example.com/a/b/c.html", flat, "example.com/c.html"},
        {"http://example.com/a/b/", flat, "example.com/index.htm"},
    };

    testsupport::TempDir mirror;
    const std::string pageFolder = mirror.Path() + "/example.com/pages/deep";
    const int depth = 3;

    CMirrorWriter writer(mirror.Path());
    for (const auto& c : cases) {
        CURL url(c.url);
        const char body[] = "saved";
        EXPECT_TRUE(url.mBody.AppendBytes(body, sizeof body - 1));
        const CMirrorLocation location = MirrorLocationForURL(url, c.naming);
        CFileRef saved;
        ASSERT_EQ(writer.Write(location.folders, location.fileName, true, url.mBody, {}, saved).Code(), 0) << c.url;
        ASSERT_TRUE(IsPlainFile(saved.Path())) << c.url;

        std::string path = EncodedMirrorPath(location);
        EXPECT_EQ(path, c.path) << c.url;
        std::string link = LinkFromMirrorRoot(path, depth);
        EXPECT_EQ(link, "../../../" + path);
        EXPECT_EQ(OpenedPath(pageFolder, link), saved.Path()) << c.url;
    }
}

// The road of a saved page: its links are extracted, every target is saved,
// and the rewrite makes each link name the saved file from the page's folder.
TEST(MirrorLinks, ARewrittenPageLinksToTheSavedFiles)
{
    const std::string pageURL = "http://site.test:8080/docs/guide/page.html";
    const std::string body =
        "<link rel=stylesheet href=\"../css/a b.css\"><script src='/js/app.js?v=2'></script>"
        "<body background=img/bg.gif><a href=\"x.html#part\">x</a> <a href=\"./\">here</a>"
        "<a href=\"../../%2e%2e/../top.html\">top</a> <a href=\"caf\xC3\xA9.html\">c</a>"
        "<a href=\"q.php?a=1&amp;b=2\">q</a><a href=\"100%25.html\">p</a>"
        "<div style=\"background:url(img/tile.png)\"></div><a href=\"mailto:a@b.c\">m</a>";
    CRecordingPageContext context;
    CURL fetched(pageURL);
    EXPECT_TRUE(fetched.mBody.AppendBytes(body.data(), body.size()));
    CHTMLPage page(context.mConfiguration.mDelimiters, fetched, false, &context);

    testsupport::TempDir mirror;
    CMirrorNaming naming;
    CMirrorWriter writer(mirror.Path());
    std::map<std::string, std::string> saved;  // URL -> the file written for it
    for (const CLinkRecord& record : page.LinkRecords()) {
        CURL target(record.mURL);
        const char bytes[] = "x";
        EXPECT_TRUE(target.mBody.AppendBytes(bytes, 1));
        const CMirrorLocation location = MirrorLocationForURL(target, naming);
        CFileRef file;
        ASSERT_EQ(writer.Write(location.folders, location.fileName, true, target.mBody, {}, file).Code(), 0) << record.mURL;
        ASSERT_TRUE(IsPlainFile(file.Path())) << record.mURL;
        saved[record.mURL] = file.Path();
    }
    ASSERT_EQ(saved.size(), 10u);

    const std::string pageFolder = mirror.Path() + "/site.test/8080/docs/guide";
    const int depth = 4;
    std::set<std::string> reached;
    std::string scratch;
    std::string rewritten;
    CRewriteResult result = RewriteLinks(body, [&](const CLinkOccurrence& occurrence, std::string& replacement) {
        std::string_view key = NormalizeLinkText(occurrence.link, scratch);
        const std::string* url = page.FindLinkURL(key);
        if (!url) return ERewrite::kKeep;
        replacement = LinkFromMirrorRoot(EncodedMirrorPath(MirrorLocationForURL(*url, naming)), depth);
        std::string opened = OpenedPath(pageFolder, replacement);
        EXPECT_EQ(opened, saved[*url]) << occurrence.link;
        reached.insert(*url);
        std::size_t hash = key.find('#');
        if (hash != std::string_view::npos) replacement += key.substr(hash);
        return ERewrite::kReplace;
    }, rewritten);
    EXPECT_EQ(reached.size(), saved.size());
    EXPECT_EQ(result.replaced, 10u);
    EXPECT_NE(rewritten.find("href=\"../../../../site.test/8080/docs/guide/x.html#part\""), std::string::npos);
    EXPECT_NE(rewritten.find("href=\"mailto:a@b.c\""), std::string::npos);
    EXPECT_NE(rewritten.find("href=\"../../../../site.test/8080/docs/css/a%20b.css\""), std::string::npos);
}

TEST(MirrorLinks, EncodesWhatALinkCannotCarry)
{
    EXPECT_EQ(EncodeMirrorNameForLink("a-b_c.~d!$*+,;=@.html"), "a-b_c.~d!$*+,;=@.html");
    EXPECT_EQ(EncodeMirrorNameForLink("a b?c#d%e\"f'g(h)i<j>k&l\\m:n"),
              "a%20b%3Fc%23d%25e%22f%27g%28h%29i%3Cj%3Ek%26l%5Cm%3An");
    EXPECT_EQ(EncodeMirrorNameForLink("\xC3\xA9"), "%C3%A9");
}

TEST(MirrorLinks, FromTheRootALinkIsThePathItself)
{
    EXPECT_EQ(LinkFromMirrorRoot("h/x.html", 0), "h/x.html");
}

}  // namespace
