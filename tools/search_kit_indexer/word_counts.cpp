#include "tools/search_kit_indexer/word_counts.h"

#include <memory>
#include <unordered_map>

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

std::vector<std::pair<std::string, long>> CountWords(std::string_view text)
{
    std::vector<std::pair<std::string, long>> counts;
    if (text.empty()) return counts;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> words(icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !words) return counts;
    const icu::UnicodeString unicode =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
    words->setText(unicode);
    std::unordered_map<std::string, std::size_t> index;
    std::int32_t start = words->first();
    for (std::int32_t end = words->next(); end != icu::BreakIterator::DONE; start = end, end = words->next()) {
        // Segments of blanks, punctuation and symbols carry the "none" status.
        if (words->getRuleStatus() < UBRK_WORD_NONE_LIMIT) continue;
        std::string word;
        unicode.tempSubStringBetween(start, end).toUTF8String(word);
        auto [at, added] = index.try_emplace(word, counts.size());
        if (added) counts.emplace_back(std::move(word), 0);
        ++counts[at->second].second;
    }
    return counts;
}

PlistValue WordListOf(const std::vector<std::pair<std::string, long>>& counts)
{
    PlistValue list = PlistValue::MakeDictionary();
    for (const auto& [word, count] : counts) list.AddNewEntry(word, PlistValue::MakeInteger(count));
    return list;
}
