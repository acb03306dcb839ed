// No inter-application scripting on Linux: the runner reports it, the
// browser page comes from the clipboard, get-URL goes to the app's handler.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "foundation/system/front_browser_page.h"
#include "foundation/system/get_url_to_self.h"
#include "foundation/system/script_runner.h"
#include "foundation/errors/status_codes.h"

namespace {

TEST(ScriptRunner, FailsWithItsOwnStatusAndSaysWhy)
{
    for (const char* script : {"tell application \"Finder\"\r\treveal file \"x\"\rend tell", "", "syntax error ("}) {
        CTextBuffer result("previous");
        EXPECT_EQ(RunAppleScriptText(CTextBuffer(script), result), kSysScriptingUnavailable);
        EXPECT_STREQ(result.c_str(), "Script error: scripting is not available on this system.");
        EXPECT_STREQ(LastScriptErrorText().c_str(), result.c_str());
    }
    EXPECT_NE(kSysScriptingUnavailable, kSysNoError);
    EXPECT_EQ(static_cast<std::int16_t>(kSysScriptingUnavailable), kSysScriptingUnavailable) << "fits 16 bits";
}

class Clipboard : public testing::Test {
protected:
    void TearDown() override { SetClipboardTextReader(nullptr); }
    void Hold(std::optional<std::string> text)
    {
        SetClipboardTextReader([text](std::string& out) {
            if (!text) return false;
            out = *text;
            return true;
        });
    }
};

TEST_F(Clipboard, TakesOneWebURLAndNothingElse)
{
    const std::string longest = "http://example.org/" + std::string(236, 'a');   // 255 bytes fit
    const std::string tooLong = "http://example.org/" + std::string(237, 'a');   // 256 would be cut
    struct Row {
        std::optional<std::string> clipboard;
        std::optional<std::string> url;  // nullopt: unchanged
    } rows[] = {
        {"https://example.org/a?b=c", "https://example.org/a?b=c"},
        {"  http://example.org/\n", "http://example.org/"},
        {"HTTP://EXAMPLE.ORG/", "HTTP://EXAMPLE.ORG/"},
        {longest, longest},
        {tooLong, std::nullopt},
        {"ftp://example.org/", std::nullopt},
        {"javascript:alert(1)", std::nullopt},
        {"http://", std::nullopt},
        {"http://example.org/a b", std::nullopt},
        {"see http://example.org/", std::nullopt},
        {"http://example.org/one\nhttp://example.org/two", std::nullopt},
        {"", std::nullopt},
        {std::nullopt, std::nullopt},
    };
    for (const Row& row : rows) {
        Hold(row.clipboard);
        CFixedString255 url("unchanged url");
        CFixedString255 title("unchanged title");
        GetFrontBrowserPage(url, title);
        EXPECT_EQ(std::string(url.c_str()), row.url.value_or("unchanged url"))
            << row.clipboard.value_or("(no text)");
        EXPECT_STREQ(title.c_str(), "unchanged title");
    }
}

TEST_F(Clipboard, HeadlessFindsNothing)
{
    SetClipboardTextReader(nullptr);
    CFixedString255 url("u"), title("t");
    GetFrontBrowserPage(url, title);
    EXPECT_STREQ(url.c_str(), "u");
    EXPECT_STREQ(title.c_str(), "t");
}

TEST(GetURLToSelf, ReachesTheInstalledHandlerOnly)
{
    SetGetURLHandler(nullptr);
    EXPECT_EQ(SendGetURLToSelf(CTextBuffer("http://example.org/")), kSysNoGetURLHandler);

    std::string received;
    int calls = 0;
    SetGetURLHandler([&](std::string_view url) {
        received = url;
        ++calls;
        SetGetURLHandler(nullptr);  // replacing itself while running is safe
    });
    EXPECT_EQ(SendGetURLToSelf(CTextBuffer("http://example.org/x y")), kSysNoError);
    EXPECT_EQ(received, "http://example.org/x y");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(SendGetURLToSelf(CTextBuffer("http://example.org/")), kSysNoGetURLHandler);
}

}  // namespace
