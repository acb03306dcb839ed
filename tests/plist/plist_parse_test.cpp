// Parsing XML property lists: well-formed documents give the expected tree,
// anything else is refused without touching the output or crashing.
#include <pthread.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/plist/plist_xml.h"
#include "tests/support/growth_ratio.h"

namespace {

std::string Document(std::string_view body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n" +
           std::string(body) + "\n</plist>\n";
}

PlistValue Dictionary(std::initializer_list<std::pair<const char*, PlistValue>> entries)
{
    PlistValue value = PlistValue::MakeDictionary();
    for (const auto& [key, item] : entries) value.Set(key, item);
    return value;
}

TEST(PlistParse, WellFormedDocumentsGiveTheirTree)
{
    PlistValue cookie = PlistValue::MakeArray();
    for (const char* text : {"id", "42", ".example.org", "/", "Thu, 01 Jan 2037 00:00:00 GMT"})
        cookie.Append(PlistValue::MakeString(text));
    cookie.Append(PlistValue::MakeInteger(4323283200LL));
    PlistValue cookies = PlistValue::MakeArray();
    cookies.Append(cookie);

    struct Case {
        const char* name;
        std::string xml;
        PlistValue expected;
    } cases[] = {
        {"string", Document("<string>Tidewell</string>"), PlistValue::MakeString("Tidewell")},
        {"empty string", Document("<string></string>"), PlistValue::MakeString("")},
        {"self-closed string", Document("<string/>"), PlistValue::MakeString("")},
        {"entities", Document("<string>a &lt;b&gt; &amp; &#233;</string>"), PlistValue::MakeString("a <b> & \xC3\xA9")},
        {"unicode", Document("<string>\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8C\x8A</string>"),
         PlistValue::MakeString("\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8C\x8A")},
        {"line ends kept", Document("<string>a\r\nb\rc</string>"), PlistValue::MakeString("a\r\nb\rc")},
        {"negative integer", Document("<integer>-5</integer>"), PlistValue::MakeInteger(-5)},
        {"64-bit integer", Document("<integer>4323283200</integer>"), PlistValue::MakeInteger(4323283200LL)},
        {"real", Document("<real>1.5</real>"), PlistValue::MakeReal(1.5)},
        {"true", Document("<true/>"), PlistValue::MakeBoolean(true)},
        {"false", Document("<false/>"), PlistValue::MakeBoolean(false)},
        {"date", Document("<date>2001-01-01T00:01:00Z</date>"), PlistValue::MakeDate(978307260)},
        {"data", Document("<data>AAEC/w==</data>"), PlistValue::MakeData(std::string_view("\x00\x01\x02\xFF", 4))},
        {"empty dict", Document("<dict/>"), PlistValue::MakeDictionary()},
        {"empty array", Document("<array></array>"), PlistValue::MakeArray()},
        {"dictionary keeps document order",
         Document("<dict><key>zeta</key><string>1</string><key>alpha</key><string>2</string></dict>"),
         Dictionary({{"zeta", PlistValue::MakeString("1")}, {"alpha", PlistValue::MakeString("2")}})},
        {"cookie file",
         Document("<array><array><string>id</string><string>42</string><string>.example.org</string>"
                  "<string>/</string><string>Thu, 01 Jan 2037 00:00:00 GMT</string>"
                  "<integer>4323283200</integer></array></array>"),
         cookies},
        {"version list",
         Document("<dict><key>Tidewell</key><dict><key>CurrentVersion</key><integer>210</integer>"
                  "<key>DownloadLocation</key><string>http://example.org/t.tgz</string></dict></dict>"),
         Dictionary({{"Tidewell",
                      Dictionary({{"CurrentVersion", PlistValue::MakeInteger(210)},
                                  {"DownloadLocation", PlistValue::MakeString("http://example.org/t.tgz")}})}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlistValue parsed;
        ASSERT_TRUE(ParsePlist(c.xml, parsed));
        EXPECT_TRUE(parsed == c.expected);
    }
}

TEST(PlistParse, MalformedInputIsRefusedAndLeavesTheOutputAlone)
{
    std::string deepBeyond = "<plist version=\"1.0\">";
    for (int i = 0; i <= kPlistMaxDepth; ++i) deepBeyond += "<array>";
    for (int i = 0; i <= kPlistMaxDepth; ++i) deepBeyond += "</array>";
    deepBeyond += "</plist>";

    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"plain text", "Tidewell starting logging"},
        {"html", "<html><body>Not found</body></html>"},
        {"unclosed plist", "<plist version=\"1.0\"><dict><key>a</key><string>b</string>"},
        {"bad entity NUL", Document("<string>a&#0;b</string>")},
        {"binary list", std::string("bplist00\xD0\x08\x00\x00\x00\x00\x00\x00\x01\x01", 18) + std::string(24, '\0')},
        {"NUL byte in a string", Document(std::string_view("<string>a\0b</string>", 20))},
        {"NUL byte in a key", Document(std::string_view("<dict><key>a\0b</key><string>x</string></dict>", 45))},
        {"binary list, NUL in a string",
         std::string("bplist00\x53\x61\x00\x62\x08\x00\x00\x00\x00\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00"
                     "\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x0C", 45)},
        {"binary list, NUL in a key",
         std::string("bplist00\xD1\x01\x02\x53\x61\x00\x62\x51\x78\x08\x0B\x0F\x00\x00\x00\x00\x00\x00\x01"
                     "\x01\x00\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                     "\x00\x00\x00\x11", 52)},
        {"nesting beyond the limit", deepBeyond},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlistValue out = PlistValue::MakeString("untouched");
        EXPECT_FALSE(ParsePlist(c.bytes, out));
        EXPECT_TRUE(out == PlistValue::MakeString("untouched"));
        EXPECT_FALSE(ParsePlist(c.bytes).has_value());
    }
}

TEST(PlistParse, NestingUpToTheLimitIsAccepted)
{
    std::string xml = "<plist version=\"1.0\">";
    for (int i = 0; i < kPlistMaxDepth; ++i) xml += "<array>";
    xml += "<string>core</string>";
    for (int i = 0; i < kPlistMaxDepth; ++i) xml += "</array>";
    xml += "</plist>";
    std::optional<PlistValue> parsed = ParsePlist(xml);
    ASSERT_TRUE(parsed.has_value());
    const PlistValue* node = &*parsed;
    for (int i = 0; i < kPlistMaxDepth; ++i) {
        ASSERT_TRUE(node->IsArray());
        ASSERT_EQ(node->Count(), 1u);
        node = &node->ItemAt(0);
    }
    EXPECT_EQ(node->Text(), "core");
}

// Runs `job` on a thread with the stack of a cooperative thread.
void OnFiberSizedStack(const std::function<void()>& job)
{
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 1024000), 0);
    pthread_t thread;
    auto run = [](void* argument) -> void* {
        (*static_cast<const std::function<void()>*>(argument))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, run, const_cast<std::function<void()>*>(&job)), 0);
    pthread_attr_destroy(&attributes);
    pthread_join(thread, nullptr);
}

TEST(PlistParse, VeryDeepNestingIsRefusedWithoutExhaustingTheStack)
{
    // libplist builds such trees without trouble but frees them recursively,
    // also inside the parser when the document breaks off.
    auto nested = [](const char* container, int depth, bool closed) {
        std::string xml = "<plist version=\"1.0\">";
        for (int i = 0; i < depth; ++i) {
            xml += std::string("<") + container + ">";
            if (container[0] == 'd') xml += "<key>k</key>";
        }
        if (closed) {
            for (int i = 0; i < depth; ++i) xml += std::string("</") + container + ">";
            xml += "</plist>";
        }
        return xml;
    };
    struct Case {
        const char* name;
        std::string xml;
    } cases[] = {
        {"closed arrays", nested("array", 200000, true)},
        {"closed dictionaries", nested("dict", 200000, true)},
        {"arrays breaking off", nested("array", 200000, false)},
        {"dictionaries breaking off", nested("dict", 200000, false)},
        {"more container tags than ever parsed", nested("array", 300000, false)},
        {"just past the inline limit", nested("array", 1001, false)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool parsed = true;
        OnFiberSizedStack([&] { parsed = ParsePlist(c.xml).has_value(); });
        EXPECT_FALSE(parsed);
    }
}

// A large flat list (thousands of cookies) parses like a small one.
TEST(PlistParse, ManyShallowContainersParse)
{
    std::string xml = "<plist version=\"1.0\"><array>";
    for (int i = 0; i < 5000; ++i) xml += "<array><string>c" + std::to_string(i) + "</string></array>";
    xml += "</array></plist>";
    std::optional<PlistValue> parsed;
    OnFiberSizedStack([&] { parsed = ParsePlist(xml); });
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->Count(), 5000u);
    EXPECT_EQ(parsed->ItemAt(4999).ItemAt(0).Text(), "c4999");
}

// Large dictionaries (preferences, version lists) keep their order and fill
// in linear time.
TEST(PlistValue, LargeDictionariesFillInLinearTime)
{
    std::string xml = "<plist version=\"1.0\"><dict>";
    for (int i = 0; i < 100; ++i) xml += "<key>k" + std::to_string(i) + "</key><true/>";
    xml += "<key>k0</key><false/></dict></plist>";
    std::optional<PlistValue> parsed = ParsePlist(xml);
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->Count(), 100u);
    EXPECT_FALSE(parsed->Find("k0")->Boolean());  // a repeated key replaces in place
    EXPECT_EQ(parsed->KeyAt(99), "k99");
    PlistValue copy = *parsed;
    ASSERT_TRUE(copy.Remove("k1"));
    EXPECT_EQ(copy.Find("k2"), &copy.ItemAt(1));
    EXPECT_EQ(copy.Find("k1"), nullptr);
    EXPECT_NE(parsed->Find("k1"), nullptr);

    auto fill = [](std::size_t count) {
        PlistValue dictionary = PlistValue::MakeDictionary();
        for (std::size_t i = 0; i < count; ++i) dictionary.Set("key " + std::to_string(i), PlistValue::MakeInteger(1));
        for (std::size_t i = 0; i < count; i += 2) dictionary.Set("key " + std::to_string(i), PlistValue());
        ASSERT_EQ(dictionary.Count(), count);
    };
    // Sixty-four times the keys: some sixty-four times the time, up to ten
    // times more once the large dictionary outgrows the caches of a busy
    // machine; a search per key took some four thousand times.
    EXPECT_LT(testsupport::GrowthRatio(fill, 1000, 64000), 1600.0);
}

// Random bytes and damaged copies of a real document: each either parses to
// a tree that survives a write and a second parse unchanged, or is refused.
TEST(PlistParse, RandomAndDamagedInputNeverCrashes)
{
    const std::string seed = Document(
        "<dict><key>a&amp;b</key><string>x&lt;y&#65;</string><key>n</key><integer>-5</integer>"
        "<key>d</key><data>AAEC</data><key>t</key><date>2020-01-01T00:00:00Z</date>"
        "<key>r</key><real>1.5</real><key>arr</key><array><true/><false/><string/><dict/>"
        "<array><string>deep</string></array></array></dict>");
    std::mt19937 random(20240607u);
    int parsed = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string bytes;
        if (round % 4 == 0) {
            bytes.resize(random() % 300);
            for (char& c : bytes) c = static_cast<char>(random());
        } else {
            bytes = seed;
            int edits = 1 + static_cast<int>(random() % 8);
            for (int e = 0; e < edits && !bytes.empty(); ++e) {
                std::size_t at = random() % bytes.size();
                switch (random() % 4) {
                case 0: bytes[at] = static_cast<char>(random()); break;
                case 1: bytes.insert(at, 1, "<>/&;#x\"ak"[random() % 10]); break;
                case 2: bytes.erase(at, 1 + random() % 20); break;
                default: bytes.insert(at, bytes.substr(random() % bytes.size(), random() % 40)); break;
                }
            }
        }
        std::optional<PlistValue> value = ParsePlist(bytes);
        if (!value) continue;
        ++parsed;
        std::optional<std::string> xml = PlistToXml(*value);
        if (!xml) continue;  // e.g. a date outside what the format can write
        std::optional<PlistValue> again = ParsePlist(*xml);
        ASSERT_TRUE(again.has_value()) << "round " << round;
        EXPECT_TRUE(*again == *value) << "round " << round;
    }
    EXPECT_GT(parsed, 100);  // the damaged copies must exercise the tree walk too
}

}  // namespace
