#include "engine/crawl/site_index.h"

#include "engine/url/url_identity.h"

CSiteIndex::CSiteIndex() { mNodes.emplace_back(); }

// Every look-up goes by the URL's identity form, so the spellings of one URL
// share one entry, keyed by that form.
CSiteIndex::Item* CSiteIndex::Find(std::string_view url)
{
    std::string scratch;
    auto found = mEntries.find(URLIdentity(url, scratch));
    return found == mEntries.end() ? nullptr : &*found;
}

const CSiteIndex::Item* CSiteIndex::Find(std::string_view url) const
{
    std::string scratch;
    auto found = mEntries.find(URLIdentity(url, scratch));
    return found == mEntries.end() ? nullptr : &*found;
}

CSiteIndex::Item& CSiteIndex::FindOrAdd(std::string_view url)
{
    std::string scratch;
    const std::string_view key = URLIdentity(url, scratch);
    auto found = mEntries.find(key);
    if (found != mEntries.end()) return *found;
    return *mEntries.emplace(std::string(key), CSiteEntry{}).first;
}

bool CSiteIndex::IsVisited(std::string_view url) const
{
    const Item* item = Find(url);
    return item != nullptr && item->second.visited;
}

void CSiteIndex::MarkVisited(std::string_view url, const std::vector<std::string>& directoryComponents,
                             const std::string& title)
{
    Item& item = FindOrAdd(url);
    if (!title.empty() || item.second.title.empty()) item.second.title = title;
    if (item.second.visited) return;
    item.second.visited = true;
    mNodes[NodeFor(directoryComponents)].records.push_back(&item);
}

std::uint32_t CSiteIndex::NodeFor(const std::vector<std::string>& components)
{
    std::uint32_t node = kRoot;
    std::string path;
    for (const std::string& component : components) {
        path += component;
        path += '\0';
        auto found = mNodeByPath.find(path);
        if (found != mNodeByPath.end()) {
            node = found->second;
            continue;
        }
        const auto child = static_cast<std::uint32_t>(mNodes.size());
        mNodes.push_back(Node{component, {}, {}});
        mNodes[node].children.push_back(child);
        mNodeByPath.emplace(path, child);
        node = child;
    }
    return node;
}

bool CSiteIndex::ClaimPath(const std::string& path, const std::string& urlKey, bool force)
{
    auto [owner, added] = mPathOwners.try_emplace(CTextHash{}(path), &urlKey);
    if (added || *owner->second == urlKey) return true;
    if (!force) return false;
    owner->second = &urlKey;
    return true;
}

void CSiteIndex::Clear()
{
    mPathOwners.clear();
    mEntries.clear();
    mNodes.clear();
    mNodes.emplace_back();
    mNodeByPath.clear();
}
