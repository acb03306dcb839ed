#include "foundation/unicode/compatibility_fold.h"

#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>
#include <unicode/stringpiece.h>

#include <climits>

std::string FoldCompatibility(std::string_view utf8)
{
    if (utf8.size() > static_cast<std::size_t>(INT32_MAX)) return std::string(utf8);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
    if (U_FAILURE(status) || nfkc == nullptr) return std::string(utf8);
    const icu::StringPiece piece(utf8.data(), static_cast<std::int32_t>(utf8.size()));
    // Most text (plain ASCII above all) is folded already: no copy through
    // the normaliser then.
    if (nfkc->isNormalizedUTF8(piece, status) && U_SUCCESS(status)) return std::string(utf8);
    status = U_ZERO_ERROR;
    std::string folded;
    folded.reserve(utf8.size());
    icu::StringByteSink<std::string> sink(&folded);
    nfkc->normalizeUTF8(0, piece, sink, nullptr, status);
    return U_SUCCESS(status) ? folded : std::string(utf8);
}
