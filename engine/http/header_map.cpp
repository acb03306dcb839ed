#include "engine/http/header_map.h"

CHeaderMap::CHeaderMap(const CHeaderMap& other) : mDefaultValue(other.mDefaultValue), mEntries(other.mEntries)
{
    RebuildOrderFrom(other);
}

CHeaderMap& CHeaderMap::operator=(const CHeaderMap& other)
{
    if (this != &other) {
        mDefaultValue = other.mDefaultValue;
        mEntries = other.mEntries;
        RebuildOrderFrom(other);
    }
    return *this;
}

// The order list holds iterators into the other map; find the same names in ours.
void CHeaderMap::RebuildOrderFrom(const CHeaderMap& other)
{
    mOrder.clear();
    mOrder.reserve(other.mOrder.size());
    for (auto entry : other.mOrder) mOrder.push_back(mEntries.find(entry->first));
}

bool CHeaderMap::Insert(std::string_view name, std::string_view value)
{
    auto [entry, inserted] = mEntries.try_emplace(std::string(name), value);
    if (inserted) mOrder.push_back(entry);
    return inserted;
}

const std::string& CHeaderMap::Lookup(std::string_view name) const
{
    const std::string* value = Find(name);
    return value ? *value : mDefaultValue;
}

const std::string* CHeaderMap::Find(std::string_view name) const
{
    auto entry = mEntries.find(name);
    return entry == mEntries.end() ? nullptr : &entry->second;
}

void CHeaderMap::Clear()
{
    mOrder.clear();
    mEntries.clear();
}

void CHeaderMap::ForEachInOrder(const std::function<void(const std::string&, const std::string&)>& visit) const
{
    for (auto entry : mOrder) visit(entry->first, entry->second);
}
