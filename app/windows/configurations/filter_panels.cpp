#include "app/windows/configurations/filter_panels.h"

#include <climits>

#include "app/windows/configurations/configurations_layout.h"
#include "app/windows/configurations/file_choosers.h"
#include "foundation/settings/preference_accessors.h"

using namespace configwin;

namespace {

constexpr PaneIDT kGrabOnlyPanes[] = {8, 18, 26};

constexpr CStringFiltersPanel::ListMember kNegativeLists[8] = {
    &CFilterSet::filenameDoesNotContain, &CFilterSet::filenameDoesNotBeginWith, &CFilterSet::filenameDoesNotEndWith,
    &CFilterSet::suffixIsNot,           &CFilterSet::pathDoesNotContain,       &CFilterSet::pathDoesNotBeginWith,
    &CFilterSet::pathDoesNotEndWith,    &CFilterSet::mimeDoesNotContain,
};

constexpr CStringFiltersPanel::ListMember kPositiveLists[8] = {
    &CFilterSet::filenameContains, &CFilterSet::filenameBeginsWith, &CFilterSet::filenameEndsWith,
    &CFilterSet::suffixIs,         &CFilterSet::pathContains,       &CFilterSet::pathBeginsWith,
    &CFilterSet::pathEndsWith,     &CFilterSet::mimeContains,
};

}  // namespace

CFilterSet& FilterSetNumber(CConfiguration& configuration, int set)
{
    if (set == 1) return configuration.mGrabFilters;
    if (set == 3) return configuration.mSaveFilters;
    return configuration.mCrawlFilters;
}

std::string SizeInThousands(std::int32_t size)
{
    return size == CFilterSet::kSizeNotSet ? std::string() : std::to_string(size / 1000);
}

std::int32_t SizeFromThousands(const std::string& text)
{
    if (text.empty()) return CFilterSet::kSizeNotSet;
    const std::int64_t bytes = static_cast<std::int64_t>(ReadDecimalPrefix(text)) * 1000;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(bytes, INT32_MIN, INT32_MAX));
}

std::string FileTypeWords(const TPooledList<OSType>& types)
{
    std::string words;
    for (OSType type : types) {
        if (!words.empty()) words += ' ';
        for (int shift = 24; shift >= 0; shift -= 8) words += static_cast<char>((type >> shift) & 0xFF);
    }
    return words;
}

void FileTypesFromWords(const std::string& text, TPooledList<OSType>& types)
{
    types.Clear();
    TPooledList<CFixedString255> words;
    SplitWords(text, words);
    for (const CFixedString255& word : words) {
        OSType code = 0;
        for (std::size_t i = 0; i < 4; ++i)
            code = (code << 8) | static_cast<unsigned char>(i < word.Length() ? word.c_str()[i] : ' ');
        types.Append(code);
    }
}

CStringFiltersPanel::CStringFiltersPanel(CConfigurationPanelHost& window, CPane& view, const ListMember (&lists)[8])
    : CEditConfigurationPanel(window, view)
{
    for (PaneIDT pane = 1; pane <= 8; ++pane) {
        const ListMember member = lists[pane - 1];
        BindWordList(pane, [this, member](CConfiguration& c) -> FilterStringList& {
            return FilterSetNumber(c, mSet).*member;
        });
    }
}

void CStringFiltersPanel::FinishCreateSelf()
{
    Listen({kFilterSetPopup});
    ShowSet(1);
}

void CStringFiltersPanel::ShowSet(int set)
{
    mSet = set;
    for (PaneIDT id : kGrabOnlyPanes)
        if (CPane* pane = Pane(id)) pane->SetVisible(set != 1);
    LoadBindings();
    if (CPane* first = Pane(1)) first->MakeKeyboardTarget();
}

void CStringFiltersPanel::ListenToMessage(MessageT message, void* ioParam)
{
    if (message != kFilterSetPopup) {
        CEditConfigurationPanel::ListenToMessage(message, ioParam);
        return;
    }
    SaveToConfiguration();
    const std::int32_t set = Value(kFilterSetPopup);
    ShowSet(set >= 1 && set <= 3 ? set : mSet);
}

CNegativeFiltersPanel::CNegativeFiltersPanel(CConfigurationPanelHost& window, CPane& view)
    : CStringFiltersPanel(window, view, kNegativeLists)
{
}

CPositiveFiltersPanel::CPositiveFiltersPanel(CConfigurationPanelHost& window, CPane& view)
    : CStringFiltersPanel(window, view, kPositiveLists)
{
}

COtherFiltersPanel::COtherFiltersPanel(CConfigurationPanelHost& window, CPane& view)
    : CEditConfigurationPanel(window, view)
{
    auto set = [this](CConfiguration& c) -> CFilterSet& { return FilterSetNumber(c, mSet); };
    for (auto [pane, member] : {std::pair{PaneIDT{1}, &CFilterSet::sizeLessThan},
                                std::pair{PaneIDT{2}, &CFilterSet::sizeGreaterThan}}) {
        Bind(pane, [set, member = member](CConfiguration& c) { return SizeInThousands(set(c).*member); },
             [set, member = member](CConfiguration& c, const std::string& text) {
                 set(c).*member = SizeFromThousands(text);
             });
    }
    BindText(3, [set](CConfiguration& c) -> CFixedString255& { return set(c).afterDate; });
    BindText(4, [set](CConfiguration& c) -> CFixedString255& { return set(c).beforeDate; });
    BindWordList(5, [set](CConfiguration& c) -> FilterStringList& { return set(c).contentQuery; });
    Bind(18, [set](CConfiguration& c) { return FileTypeWords(set(c).fileTypes); },
         [set](CConfiguration& c, const std::string& text) { FileTypesFromWords(text, set(c).fileTypes); });
    BindText(6, [set](CConfiguration& c) -> CFixedString255& { return set(c).pathToScript; });
}

void COtherFiltersPanel::FinishCreateSelf()
{
    Listen({kChooseScript, kFilterSetPopup});
    LoadBindings();
    if (CPane* first = Pane(1)) first->MakeKeyboardTarget();
}

void COtherFiltersPanel::ListenToMessage(MessageT message, void* ioParam)
{
    if (message == kFilterSetPopup) {
        SaveToConfiguration();
        mSet = Value(kFilterSetPopup) == 2 ? 3 : 2;
        LoadBindings();
    } else if (message == kChooseScript) {
        const std::optional<std::string> chosen =
            ChooseFile(SChooserRequest{.kind = SChooserRequest::kOpenFile, .caption = "Choose a script"});
        if (chosen && chosen->size() <= 1024) SetText(6, *chosen);
    } else {
        CEditConfigurationPanel::ListenToMessage(message, ioParam);
    }
}
