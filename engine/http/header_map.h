// CHeaderMap: the name-to-value map of one parsed response header.
//
// Names compare exactly (the parser lower-cases them first). The first value
// inserted for a name is kept, so of two "location" lines the first wins. A
// look-up of an absent name gives the map's default value.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class CHeaderMap {
public:
    explicit CHeaderMap(std::string defaultValue = std::string()) : mDefaultValue(std::move(defaultValue)) {}
    CHeaderMap(const CHeaderMap& other);
    CHeaderMap& operator=(const CHeaderMap& other);
    CHeaderMap(CHeaderMap&&) = default;
    CHeaderMap& operator=(CHeaderMap&&) = default;

    // False, the present value kept, when the name is already there.
    bool Insert(std::string_view name, std::string_view value);
    // The value, or the default value when the name is absent.
    const std::string& Lookup(std::string_view name) const;
    // The value, or null when the name is absent.
    const std::string* Find(std::string_view name) const;
    [[nodiscard]] bool Contains(std::string_view name) const { return Find(name) != nullptr; }

    [[nodiscard]] std::int32_t Count() const { return static_cast<std::int32_t>(mOrder.size()); }
    void Clear();

    // Name and value of every entry in the order they were inserted.
    void ForEachInOrder(const std::function<void(const std::string& name, const std::string& value)>& visit) const;

private:
    using Entries = std::map<std::string, std::string, std::less<>>;
    void RebuildOrderFrom(const CHeaderMap& other);

    std::string mDefaultValue;
    Entries mEntries;
    std::vector<Entries::const_iterator> mOrder;
};
