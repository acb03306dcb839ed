// The header of an HTTP response as a server sends it.
#include <string>

#include "engine/http/response_header.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view text = FuzzText(data, size);
    CResponseHeader header(text);
    FUZZ_CHECK(header.mStatusCode == StatusCodeFromLine(header.mStatusLine));
    FUZZ_CHECK(header.mStatusLine.find('\n') == std::string::npos);

    if (std::optional<std::uint64_t> length = header.ContentLengthBytes())
        FUZZ_CHECK(ParseContentLength(std::to_string(*length)) == length);

    CHeaderBlock block;
    ParseHeaderBlock(text, block);
    block.fields.ForEachInOrder([](const std::string& name, const std::string& value) {
        for (char c : name) FUZZ_CHECK(!(c >= 'A' && c <= 'Z') && c != '\n');
        FUZZ_CHECK(value.find('\n') == std::string::npos);
    });
    FUZZ_CHECK(block.fields.Lookup("location") == header.mLocation);
    (void)RealmFromAuthenticate(text);
    return 0;
}
