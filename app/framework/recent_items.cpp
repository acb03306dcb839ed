#include "app/framework/recent_items.h"

#include <algorithm>

#include "app/framework/pane.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_store.h"

namespace {

constexpr const char* kClearMenu = "Clear Menu";

}  // namespace

CRecentItems::CRecentItems(std::string key, std::int32_t capacity)
    : mCapacity(std::max<std::int32_t>(capacity, 0)), mKey(std::move(key))
{
    std::optional<PlistValue> stored = GetPreferenceValue(mKey.c_str());
    if (stored && stored->IsArray()) {
        mItems = stored->StringItems();
        if (mItems.size() > static_cast<std::size_t>(mCapacity)) mItems.resize(static_cast<std::size_t>(mCapacity));
    }
}

void CRecentItems::AddItem(std::string_view url)
{
    if (Contains(url) || mCapacity == 0) return;
    mItems.insert(mItems.begin(), std::string(url));
    if (mItems.size() > static_cast<std::size_t>(mCapacity)) mItems.resize(static_cast<std::size_t>(mCapacity));
    (void)SetPreferenceStrings(mKey.c_str(), mItems);
    BroadcastMessage(kMsgRecentItemsChanged, this);
}

void CRecentItems::Clear()
{
    mItems.clear();
    (void)RemovePreference(mKey.c_str());
    BroadcastMessage(kMsgRecentItemsChanged, this);
}

void CRecentItems::BuildMenu(CPane& popup) const
{
    popup.RemoveAllMenuItems();
    if (mItems.empty()) {
        popup.AppendMenuItem("(No Recent Items", false);
        return;
    }
    popup.AppendMenuItem(kClearMenu, true);
    popup.AppendMenuItem("-", false);
    for (const std::string& item : mItems) popup.AppendMenuItem(item, true);
    popup.SetValue(2);
}

std::string CRecentItems::GetItem(std::int32_t index) const
{
    if (index < 0 || index >= Count()) return "";
    return mItems[static_cast<std::size_t>(index)];
}

bool CRecentItems::Contains(std::string_view url) const
{
    return std::find(mItems.begin(), mItems.end(), url) != mItems.end();
}

CRecentItems* GetRecentItems() { return gAppSettings != nullptr ? gAppSettings->mRecentItems.get() : nullptr; }

CRecentItemsPopup::CRecentItemsPopup(CPane& popup) : mPopup(popup)
{
    if (CRecentItems* items = GetRecentItems()) {
        items->BuildMenu(mPopup);
        items->AddListener(this);
    }
}

std::optional<std::string> CRecentItemsPopup::Choose(std::int32_t item)
{
    // The item's own text, not the list's entry at its place: another window
    // may have changed the list since this popup was built.
    const std::string text = mPopup.GetMenuItemText(item);
    if (item == 1 && text == kClearMenu) {
        if (CRecentItems* items = GetRecentItems()) items->Clear();
        return std::nullopt;
    }
    if (item < 3 || text.empty() || !mPopup.IsMenuItemEnabled(item)) return std::nullopt;
    return text;
}

void CRecentItemsPopup::ListenToMessage(MessageT message, void* ioParam)
{
    if (message == kMsgRecentItemsChanged && ioParam != nullptr)
        static_cast<CRecentItems*>(ioParam)->BuildMenu(mPopup);
}
