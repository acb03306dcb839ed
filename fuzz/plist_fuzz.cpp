// Property lists from outside: cookie files, version lists, location files.
#include "fuzz/fuzz_check.h"
#include "platform/plist/plist_xml.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    std::optional<PlistValue> value = ParsePlist(FuzzText(data, size));
    if (!value) return 0;
    // Whatever was read can be written, and the writing reads back equal.
    std::optional<std::string> xml = PlistToXml(*value);
    if (!xml) return 0;
    std::optional<PlistValue> again = ParsePlist(*xml);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(*again == *value);
    return 0;
}
