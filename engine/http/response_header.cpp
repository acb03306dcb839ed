#include "engine/http/response_header.h"

#include <ctime>

#include "foundation/system/http_dates.h"
#include "foundation/text/text_encodings.h"

namespace {

// The lines of one header text, grouped into blocks at blank lines.
std::vector<std::vector<std::string_view>> SplitIntoBlocks(std::string_view text)
{
    std::vector<std::vector<std::string_view>> blocks;
    bool startNewBlock = true;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        at = end + 1;
        if (line.empty()) {
            startNewBlock = true;
            continue;
        }
        if (startNewBlock) blocks.emplace_back();
        startNewBlock = false;
        blocks.back().push_back(line);
    }
    return blocks;
}

bool IsInterimResponse(std::string_view firstLine)
{
    if (firstLine.substr(0, 5) != "HTTP/") return false;
    std::int32_t code = StatusCodeFromLine(firstLine);
    return code >= 100 && code <= 199;
}

}  // namespace

void ParseHeaderBlock(std::string_view text, CHeaderBlock& out)
{
    out = CHeaderBlock();
    auto blocks = SplitIntoBlocks(text);
    if (blocks.empty()) return;
    const std::vector<std::string_view>* chosen = &blocks.back();
    for (const auto& block : blocks) {
        if (!IsInterimResponse(block.front())) {
            chosen = &block;
            break;
        }
    }
    out.statusLine = chosen->front();
    out.statusCode = StatusCodeFromLine(out.statusLine);
    std::string name, value;
    for (std::string_view line : *chosen) {
        SplitHeaderLine(line, name, value);
        if (name == "set-cookie")
            out.setCookies.push_back(value);
        else
            out.fields.Insert(name, value);
    }
}

std::int32_t StatusCodeFromLine(std::string_view statusLine)
{
    std::size_t first = statusLine.find(' ');
    if (first == std::string_view::npos) return 0;
    std::size_t second = statusLine.find(' ', first + 1);
    if (second == std::string_view::npos) return 0;
    std::string_view digits = statusLine.substr(first + 1, second - first - 1);
    if (digits.empty() || digits.size() > 9) return 0;
    std::int32_t code = 0;
    for (char c : digits) {
        if (!IsAsciiDigit(static_cast<unsigned char>(c))) return 0;
        code = code * 10 + (c - '0');
    }
    return code;
}

void SplitHeaderLine(std::string_view line, std::string& name, std::string& value)
{
    // ": " and a tab both separate; the name ends at the first separator and
    // the value at the next one.
    auto separatorAt = [&](std::size_t at, std::size_t& length) {
        for (; at < line.size(); ++at) {
            if (line[at] == '\t') {
                length = 1;
                return at;
            }
            if (line[at] == ':' && at + 1 < line.size() && line[at + 1] == ' ') {
                length = 2;
                return at;
            }
        }
        length = 0;
        return line.size();
    };
    std::size_t length = 0;
    std::size_t nameEnd = separatorAt(0, length);
    name.assign(line.substr(0, nameEnd));
    for (char& c : name) c = AsciiLower(c);
    value.clear();
    if (length == 0) return;
    std::size_t valueStart = nameEnd + length;
    std::size_t valueEnd = separatorAt(valueStart, length);
    value.assign(line.substr(valueStart, valueEnd - valueStart));
}

std::string RealmFromAuthenticate(std::string_view value)
{
    static constexpr std::string_view kMarker = "realm=\"";
    std::size_t start = value.find(kMarker);
    if (start == std::string_view::npos) return std::string();
    start += kMarker.size();
    std::size_t end = value.find('"', start);
    if (end == std::string_view::npos) return std::string();
    return std::string(value.substr(start, end - start));
}

std::optional<std::uint64_t> ParseContentLength(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    std::uint64_t length = 0;
    for (char c : text) {
        if (!IsAsciiDigit(static_cast<unsigned char>(c))) return std::nullopt;
        std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (length > (UINT64_MAX - digit) / 10) return std::nullopt;
        length = length * 10 + digit;
    }
    return length;
}

std::int64_t ModificationSecondsFor(std::string_view lastModified)
{
    std::int64_t seconds = 0;
    if (!lastModified.empty() && ParseDateTimeText(std::string(lastModified).c_str(), seconds)) return seconds;
    return static_cast<std::int64_t>(std::time(nullptr));
}

void CResponseHeader::Parse(std::string_view headerText)
{
    mHeaderText.assign(headerText);
    CHeaderBlock block;
    ParseHeaderBlock(headerText, block);
    mStatusLine = std::move(block.statusLine);
    mStatusCode = block.statusCode;
    CopyHeaderFields(block, *this);
    mSetCookies = std::move(block.setCookies);
}
