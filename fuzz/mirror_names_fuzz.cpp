// The on-disk names a URL's levels and file name become in the mirror, and
// the paths from the mirror's root that links to saved files are made of.
#include "engine/html/mirror_links.h"
#include "fuzz/mirror_check.h"

namespace {

// Every level of a path from the mirror's root names something inside it.
void CheckMirrorPath(std::string_view path)
{
    FUZZ_CHECK(!path.empty() && path.front() != '/');
    FUZZ_CHECK(path.find('\0') == std::string_view::npos);
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view level = path.substr(start, end - start);
        FUZZ_CHECK(!level.empty() && level != "." && level != "..");
        start = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view text = FuzzText(data, size);
    const std::string fromSegment = MirrorNameFromSegment(text);
    CheckMirrorName(fromSegment);
    FUZZ_CHECK(fromSegment.empty() == text.empty());
    const std::string safe = SafeMirrorName(text);
    CheckMirrorName(safe);
    FUZZ_CHECK(safe.empty() == text.empty());
    // A safe name is already safe: saving twice lands on the same file.
    FUZZ_CHECK(SafeMirrorName(safe) == safe);

    for (int options = 0; options < 4; ++options) {
        CMirrorNaming naming;
        naming.flat = options & 1;
        naming.indexForDynamic = naming.remapAllPHP = options & 2;
        CheckMirrorPath(EncodedMirrorPath(MirrorLocationForURL(text, naming)));
    }
    return 0;
}
