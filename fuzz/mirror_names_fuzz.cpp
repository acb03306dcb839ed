// The on-disk names a URL's levels and file name become in the mirror.
#include "fuzz/mirror_check.h"

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
    return 0;
}
