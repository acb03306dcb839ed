#include "engine/html/secondary_hosts.h"

#include <gtest/gtest.h>

namespace {

TEST(SecondaryHosts, ReadsTheHostOfAbsoluteLinksOnly)
{
    const struct {
        const char* link;
        const char* host;
    } cases[] = {
        {"http://a.com/x", "a.com"},         {"HTTPS://a.com:8080?q", "a.com:8080"}, {"//a.com#f", "a.com"},
        {"http://user:pw@a.com/", "a.com"},  {"http://a.com", "a.com"},              {"ftp://a.com/x", ""},
        {"/x.html", ""},                     {"a.com/x", ""},                        {"mailto:x@a.com", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(CSecondaryHosts::LinkHost(c.link), c.host) << c.link;
}

TEST(SecondaryHosts, RemapsSavedHostsOnTheirBoundaries)
{
    std::vector<std::string> asked;
    CSecondaryHosts hosts({"a.com", "b.org:8080", "Saved.net", "unsaved.io"}, [&asked](std::string_view host) {
        asked.emplace_back(host);
        return host != "unsaved.io";
    });
    CMirrorNaming naming;
    naming.indexName = "index.htm";
    const char* page = "https://a.com/p/q/page.html";
    const int depth = 3;  // a.com/p/q

    const struct {
        const char* link;
        const char* local;  // null: not remapped
    } cases[] = {
        {"http://a.com/x/y.html", "../../../a.com/x/y.html"},
        {"//a.com/x/y.html#part", "../../../a.com/x/y.html#part"},
        {"http://user@a.com/z%20z.gif", "../../../a.com/z%20z.gif"},
        {"http://a.com", "../../../a.com/index.htm"},
        {"https://b.org:8080/d/", "../../../b.org/8080/d/index.htm"},
        {"http://Saved.net/s.css", "../../../Saved.net/s.css"},
        {"http://a.com/list.php?x=1", "../../../a.com/list.php%3Fx=1"},
        {"http://a.company.com/x.html", nullptr},
        {"http://a.com.evil.org/x.html", nullptr},
        {"http://www.a.com/x.html", nullptr},
        {"http://a.com:8080/x.html", nullptr},
        {"http://b.org/x.html", nullptr},
        {"http://unsaved.io/x.html", nullptr},
        {"ftp://a.com/x.html", nullptr},
        {"x.html", nullptr},
    };
    for (const auto& c : cases) {
        std::string out = "untouched";
        bool remapped = hosts.Remap(c.link, page, depth, naming, out);
        EXPECT_EQ(remapped, c.local != nullptr) << c.link;
        EXPECT_EQ(out, c.local ? c.local : "untouched") << c.link;
    }
    EXPECT_TRUE(hosts.IsRemapped("SAVED.NET"));
    EXPECT_FALSE(hosts.IsRemapped("unsaved.io"));
    EXPECT_NE(std::find(asked.begin(), asked.end(), "unsaved.io"), asked.end());
}

}  // namespace
