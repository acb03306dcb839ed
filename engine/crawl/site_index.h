// Everything the crawl knows about each URL, found by one hash look-up of
// its full text: whether it was visited, which level list holds it, where
// its file lies in the mirror (for links to it), the name its file is saved
// under when that is not the URL's own, and the saved pages that already
// link to that place before the file was there.
//
// Beside the index stands the visited tree, the source of the site map: one
// node per directory component path, each holding its visited URLs in the
// order they were visited and its child folders in the order they appeared.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/html/text_hash.h"

enum class ETargetState : std::uint8_t {
    kKnown,     // linked, neither queued nor visited
    kExpected,  // queued: its file should appear at localPath
    kSaved,     // its file is in the mirror at localPath
    kNotSaved,  // visited, and no file was saved for it
};

// What a link to the URL is, decided once when the crawl first meets it.
enum class ELinkSite : std::uint8_t {
    kUnknown,
    kDropped,  // a guess of the dotted-link scan that the server does not have
    kOnSite,
    kOffsite,
};

struct CSiteEntry {
    // The file's path from the mirror's root, each level written for a link
    // ("host/8080/a%20b/x.html"); empty while not decided.
    std::string localPath;
    // The on-disk name the save uses in place of the URL's own (a generated
    // name for a dynamic URL, a name with a type extension, a distinct name
    // where the URL's own is another URL's); empty for none.
    std::string fileName;
    std::string title;
    // Indexes of saved pages that link to localPath while the file is not
    // there yet; settled when it is saved there, corrected at the end
    // otherwise.
    std::vector<std::uint32_t> pendingPages;
    std::int32_t queuedLevel = -1;
    ETargetState state = ETargetState::kKnown;
    ELinkSite linkKind = ELinkSite::kUnknown;
    bool visited = false;
    // RecordLinkPath has decided fileName and localPath.
    bool pathDecided = false;
    // localPath was written into some saved page.
    bool linked = false;
};

class CSiteIndex {
public:
    using Map = TextMap<CSiteEntry>;
    using Item = Map::value_type;  // stable address for the life of the index

    CSiteIndex();

    Item* Find(std::string_view url);
    const Item* Find(std::string_view url) const;
    Item& FindOrAdd(std::string_view url);

    [[nodiscard]] bool IsVisited(std::string_view url) const;
    // Marks the URL visited (once) and lists it in the tree under its
    // directory components.
    void MarkVisited(std::string_view url, const std::vector<std::string>& directoryComponents,
                     const std::string& title);

    // Claims the mirror path (from the root, as written for links) for the
    // URL, given as an entry's key (Item::first, kept, not copied): true when
    // it was free or already the URL's. With `force` the claim is taken over
    // (the URL's file is there now).
    bool ClaimPath(const std::string& path, const std::string& urlKey, bool force = false);

    [[nodiscard]] std::size_t Size() const { return mEntries.size(); }
    const Map& Entries() const { return mEntries; }
    Map& MutableEntries() { return mEntries; }
    void Clear();

    // The visited tree --------------------------------------------------------
    struct Node {
        std::string name;
        std::vector<std::uint32_t> children;
        std::vector<const Item*> records;
    };
    static constexpr std::uint32_t kRoot = 0;
    const Node& TreeNode(std::uint32_t index) const { return mNodes[index]; }

private:
    std::uint32_t NodeFor(const std::vector<std::string>& components);

    Map mEntries;
    std::vector<Node> mNodes;
    // "a/b/c" (components joined by NUL, which no component holds) -> node.
    TextMap<std::uint32_t> mNodeByPath;
    // Hash of a mirror path -> the URL whose file it is (or will be). Two
    // paths of one hash only cost the later URL a distinct name.
    std::unordered_map<std::size_t, const std::string*> mPathOwners;
};
