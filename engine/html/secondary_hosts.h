// Absolute links to the other hosts of a crawl, made to point at those
// hosts' folders in the mirror.
//
// A link names a host when its authority ("http://", "https://" or "//"
// followed by host[:port], any "user@" dropped) is that host and port
// exactly, ignoring letter case: "a.com" never matches "a.company.com", and
// "a.com" is another host than "a.com:8080". Only hosts whose files were
// saved are remapped, and the link goes to the very file the save step
// wrote, through the host's folder and, for a port, the port's folder.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/html/mirror_links.h"
#include "engine/html/text_hash.h"

class CSecondaryHosts {
public:
    // Whether the mirror holds files of a host[:port] (as the hosts list
    // writes it).
    using SavedHostTest = std::function<bool(std::string_view hostAndPort)>;

    CSecondaryHosts(const std::vector<std::string>& hostsAndPorts, SavedHostTest isSaved);

    // The host[:port] of an "http://", "https://" or "//" link; empty for
    // any other.
    static std::string_view LinkHost(std::string_view link);

    // True when the host is listed and saved.
    bool IsRemapped(std::string_view hostAndPort) const;

    // For a link to a remapped host: the link from a page `pageFolderDepth`
    // folders deep (the page at `pageURL`, which gives "//" links their
    // scheme) to the target's file, with the link's fragment. False, with
    // `out` untouched, for any other link.
    bool Remap(std::string_view link, std::string_view pageURL, int pageFolderDepth, const CMirrorNaming& naming,
               std::string& out) const;

private:
    TextSet mHosts;  // lower-cased
    SavedHostTest mIsSaved;
};
