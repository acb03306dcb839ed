#include "engine/url/url_identity.h"

#include <gtest/gtest.h>

#include "engine/url/url_record.h"

namespace {

TEST(URLIdentity, SpellingsOfOneURLShareOneForm)
{
    const struct {
        const char* url;
        const char* identity;
        const char* host;
    } cases[] = {
        {"http://h/p.html", "http://h/p.html", "h"},
        {"HTTP://Host.Example/P.html?Q=A#F", "http://host.example/P.html?Q=A#F", "host.example"},
        {"http://h:80/p", "http://h/p", "h"},
        {"http://h:/p", "http://h/p", "h"},
        {"https://h:443", "https://h/", "h"},
        {"https://h:80/", "https://h:80/", "h:80"},
        {"ftp://U:P@FTP.H:21?x", "ftp://U:P@ftp.h/?x", "ftp.h"},
        {"http://h:8080", "http://h:8080/", "h:8080"},
        {"http://127.0.0.1:18777/a/b.html", "http://127.0.0.1:18777/a/b.html", "127.0.0.1:18777"},
        {"https://h:443/x", "https://h/x", "h"},
        {"HTTPS://h:8443/x", "https://h:8443/x", "h:8443"},
        {"http://h:80:81/x", "http://h:80:81/x", "h:80:81"},
        {"http://h?q", "http://h/?q", "h"},
        {"http://h#f", "http://h/#f", "h"},
        {"http://user@h/x", "http://user@h/x", "h"},
        {"http://h:8080/a%41", "http://h:8080/aA", "h:8080"},
        {"http://[::1]:80/x", "http://[::1]/x", "[::1]"},
        {"http://[::1]/x", "http://[::1]/x", "[::1]"},
        // Escapes of unreserved chars are those chars; other escapes differ
        // only in the case of their hex digits ("%2B" is no '+').
        {"http://h/%7eann/%7E%62ob%2b%2F?q=%41%3d#%5F", "http://h/~ann/~bob%2B%2F?q=A%3D#_", "h"},
        {"http://h/c+d%2Bd%20e%zz%4", "http://h/c+d%2Bd%20e%zz%4", "h"},
        {"http://%41@H/%41", "http://%41@h/A", "h"},
        {"relative/P.html", "relative/P.html", ""},
        {"mailto:A@B", "mailto:A@B", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(URLIdentity(c.url), c.identity) << c.url;
        EXPECT_EQ(URLHostIdentity(c.url), c.host) << c.url;
        if (*c.host != '\0') {
            EXPECT_EQ(HostIdentityOf(CURL(c.url)), c.host) << c.url;
        }
    }
    // The usual form is given back without a copy.
    std::string scratch;
    const std::string_view plain = "http://h/a";
    EXPECT_EQ(URLIdentity(plain, scratch).data(), plain.data());
}

}  // namespace
