// What the crawl shows while it runs: status texts, log lines, the counters
// and the progress of the level.
#include "engine/config/configuration.h"
#include "engine/crawl/elapsed_time.h"
#include "engine/crawl/site_iterator.h"
#include "engine/owner/window_interfaces.h"
#include "foundation/text/text_encodings.h"

void CSiteIterator::ShowStatus(const std::string& text)
{
    if (mGrabber != nullptr) mGrabber->SetStatusText(" " + text);
    else if (mQuickGrabber != nullptr) mQuickGrabber->SetTaskText(text);
}

void CSiteIterator::LogLine(const std::string& text)
{
    if (mGrabber != nullptr) mGrabber->LogText(text);
    else if (mQuickGrabber != nullptr) mQuickGrabber->SetMessageText(text);
}

// Pages write addresses and anchors as HTML ("ann&#64;example.com", "R&amp;D");
// the report holds the text. An address met again keeps its place and takes
// the newest anchor text.
void CSiteIterator::AddEmailAddress(const std::string& address, const std::string& anchorText)
{
    std::string text = DecodeEntities(address);
    // One line per address: the anchor's line breaks and tabs become blanks.
    std::string anchor;
    for (char c : DecodeEntities(anchorText)) {
        const bool blank = IsAsciiSpace(static_cast<unsigned char>(c));
        if (!blank) anchor += c;
        else if (!anchor.empty() && anchor.back() != ' ') anchor += ' ';
    }
    if (!anchor.empty() && anchor.back() == ' ') anchor.pop_back();
    auto [found, added] = mEmailIndex.try_emplace(std::move(text), mEmailAddresses.size());
    if (added) mEmailAddresses.emplace_back(found->first, std::move(anchor));
    else if (!anchor.empty()) mEmailAddresses[found->second].second = std::move(anchor);
}

void CSiteIterator::ShowProgress()
{
    const std::int64_t now = mCollaborators.clock();
    mLastTime = now;
    const std::int32_t nextLevelSize = NextLevelSize();
    if (mGrabber != nullptr) {
        mGrabber->SetPaneText(MakeFourCharCode("STIM"), TimeOfDayText(mStartTime));
        mGrabber->SetPaneText(MakeFourCharCode("ETIM"), ElapsedTimeText(now - mStartTime));
        mGrabber->SetPaneText(MakeFourCharCode("UNAU"), std::to_string(mCounters.unauthorized));
        mGrabber->SetPaneText(MakeFourCharCode("ERRO"), std::to_string(mCounters.errors));
        mGrabber->SetPaneText(MakeFourCharCode("REQU"), std::to_string(mCounters.files));
        mGrabber->SetPaneText(MakeFourCharCode("BYTE"), std::to_string(mCounters.bytes));
        if (mConfiguration->mMiscOptions.extractEmailAddresses)
            mGrabber->SetPaneText(MakeFourCharCode("MAIL"), std::to_string(mEmailAddresses.size()));
        if (mConfiguration->mGeneralOptions.useCookies)
            mGrabber->SetPaneText(MakeFourCharCode("COOK"), std::to_string(mCookies.CountCookies()));
        // The start URL is the first level.
        mGrabber->SetPaneText(MakeFourCharCode("LEVE"), std::to_string(mLevel + 1));
        mGrabber->SetPaneText(MakeFourCharCode("CLFI"), std::to_string(mIndex));
        mGrabber->SetPaneText(MakeFourCharCode("LFIL"), std::to_string(mLevelSize));
        mGrabber->SetPaneText(MakeFourCharCode("NXTL"), std::to_string(nextLevelSize));
        const PaneIDT bar = MakeFourCharCode("LPRO");
        const std::int64_t minimum = mGrabber->GetPaneMinValue(bar);
        const std::int64_t maximum = mGrabber->GetPaneMaxValue(bar);
        const std::int64_t value = mLevelSize > 0 ? minimum + (maximum - minimum) * mIndex / mLevelSize : minimum;
        mGrabber->SetPaneValue(bar, static_cast<std::int32_t>(value));
    } else if (mQuickGrabber != nullptr) {
        std::string text = std::to_string(mIndex) + " of " + std::to_string(mLevelSize);
        if (mLevel < mConfiguration->mGeneralOptions.linkDepth - 1)
            text += " (" + std::to_string(nextLevelSize) +
                    (nextLevelSize == 1 ? " URL on next level)" : " URLs on next level)");
        mQuickGrabber->SetProgressText(text);
    }
    if (mCollaborators.outlets.drawTile) mCollaborators.outlets.drawTile(mLevel, mIndex, mLevelSize);
}

void CSiteIterator::ClearLevelPanes()
{
    if (mGrabber == nullptr) return;
    static constexpr PaneIDT kLevelPanes[] = {MakeFourCharCode("HFIL"), MakeFourCharCode("HSIZ"),
                                              MakeFourCharCode("HTRA"), MakeFourCharCode("LEVE"),
                                              MakeFourCharCode("CLFI"), MakeFourCharCode("LFIL"),
                                              MakeFourCharCode("NXTL")};
    for (PaneIDT pane : kLevelPanes) mGrabber->SetPaneText(pane, "");
    mGrabber->SetPaneValue(MakeFourCharCode("HPRO"), 0);
    mGrabber->SetPaneValue(MakeFourCharCode("LPRO"), 0);
}
