// The URL record's split of an address taken from a page or a redirect.
#include "engine/url/url_record.h"
#include "fuzz/mirror_check.h"

namespace {

bool HasAnyOf(std::string_view text, std::string_view chars) { return text.find_first_of(chars) != text.npos; }

void CheckSameParts(const CURL& a, const CURL& b)
{
    FUZZ_CHECK(a.mScheme == b.mScheme);
    FUZZ_CHECK(a.mHost == b.mHost);
    FUZZ_CHECK(a.mDirectory == b.mDirectory);
    FUZZ_CHECK(a.mFileName == b.mFileName);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view text = FuzzText(data, size);
    if (text.empty()) return 0;
    CURL url(text);

    // The parts never reach across the separators that delimit them.
    FUZZ_CHECK(!HasAnyOf(url.mHost, "/?#@"));
    FUZZ_CHECK(url.mFileName.find('/') == std::string::npos);
    for (const std::string& component : url.mDirectoryComponents)
        FUZZ_CHECK(!component.empty() && component.find('/') == std::string::npos);

    // Parsing the stored text again changes nothing (a second '#' would be
    // cut off again: the record keeps all but the last fragment).
    if (url.mURL.find('#') == std::string::npos) CheckSameParts(url, CURL(url.mURL));

    // An address rebuilt from plain parts parses back into them.
    if (text.find("://") != std::string_view::npos && !HasAnyOf(url.mDirectory, "?#$") &&
        !HasAnyOf(url.mFileName, "?#$")) {
        const char* scheme = url.mScheme == kSchemeFTP ? "ftp" : url.mScheme == kSchemeHTTPS ? "https" : "http";
        std::string rebuilt = std::string(scheme) + "://" + url.mHost + "/";
        if (!url.mDirectory.empty()) rebuilt += url.mDirectory + "/";
        rebuilt += url.mFileName;
        CheckSameParts(url, CURL(rebuilt));
    }

    // Whatever the address, its mirror levels and file name stay inside the mirror.
    for (const std::string& segment : url.MirrorFolderSegments(true)) CheckMirrorName(MirrorNameFromSegment(segment));
    for (bool dynamicIndex : {false, true})
        CheckMirrorName(SafeMirrorName(url.MirrorFileName("index.html", dynamicIndex, dynamicIndex)));

    (void)url.GetCookieDomain();
    (void)url.IsDynamic();
    return 0;
}
