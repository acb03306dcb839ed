// CRecentItems: the starting URLs grabbed most recently, newest first, kept
// in one preference (an array of texts) and shown in the 'Rcnt' popups.
// Every grab window shows the one list, so the list tells its popups when
// it changes and each builds itself again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/messaging/broadcaster.h"

class CPane;

// Broadcast by CRecentItems after every change of the list.
inline constexpr MessageT kMsgRecentItemsChanged = MakeFourCharCode("RItm");

class CRecentItems : public CBroadcaster {
public:
    // Reads the key: an array gives the list (cut to `capacity`); anything
    // else an empty list.
    CRecentItems(std::string key, std::int32_t capacity);
    ~CRecentItems() override = default;

    // A URL already listed keeps its place and nothing is written; otherwise
    // it goes first (the oldest drops off a full list) and the list is stored.
    virtual void AddItem(std::string_view url);
    // Empties the list and removes the key.
    void Clear();

    // Popup: "Clear Menu", "-" (disabled), then the items, current item 2;
    // empty: one disabled "(No Recent Items". Item n >= 3 is GetItem(n - 3).
    void BuildMenu(CPane& popup) const;

    std::int32_t Count() const { return static_cast<std::int32_t>(mItems.size()); }
    // "" outside the list.
    std::string GetItem(std::int32_t index) const;
    bool Contains(std::string_view url) const;
    const std::vector<std::string>& Items() const { return mItems; }

private:
    std::vector<std::string> mItems;
    std::int32_t mCapacity;
    std::string mKey;
};

// The settings' recent items (made at start-up); null before.
CRecentItems* GetRecentItems();

// One window's 'Rcnt' popup, built from the settings' recent items at once
// and again whenever the list changes, from whichever window.
class CRecentItemsPopup : public CListener {
public:
    explicit CRecentItemsPopup(CPane& popup);

    // What choosing `item` does: "Clear Menu" empties the list (and so every
    // popup); an entry gives its own text, as the popup shows it.
    std::optional<std::string> Choose(std::int32_t item);

    void ListenToMessage(MessageT message, void* ioParam) override;

private:
    CPane& mPopup;
};
