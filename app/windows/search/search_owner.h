// What a search thread asks of the window that started it: the query and
// its options when it is made, then its captions, progress and results.
#pragma once

#include <cstdint>
#include <string>

#include "app/framework/framework_codes.h"
#include "app/windows/search/search_words.h"

class CHierOutlineTable;
class CSearchIterator;

class CSearchOwner {
public:
    // The radio group's value (30, 31, 40...), 0 when the group is missing.
    virtual std::int32_t OptionValue(PaneIDT group) = 0;
    virtual std::string QueryText() = 0;
    virtual const CWordDelimiters& GetDelimiters() const = 0;

    virtual void SetCaption(PaneIDT pane, const std::string& text) = 0;
    virtual void SetProgressValue(std::uint64_t value) = 0;
    virtual void ShowArrows(bool shown) = 0;
    virtual CHierOutlineTable* GetResults() const = 0;
    // The end steps of the thread, in their order; `failure` tells what kept
    // the search from reading every file (empty when nothing did).
    virtual void SearchThreadEnded(CSearchIterator* thread, const std::string& failure) = 0;

protected:
    ~CSearchOwner() = default;
};
