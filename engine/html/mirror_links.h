// Links from one saved page to another file of the mirror.
//
// The crawl keeps, for each target, its path from the mirror's root (the
// download folder), already written for a link; a page adds one "../" for
// each of its own folders. The path names exactly the file that the save
// step writes: the folders and the file name go through the same naming as
// the mirror (foundation/mirror/mirror_names.h), then every byte that a link
// cannot carry as it is ('%', '?', '#', blanks, quotes, parentheses, bytes
// above 0x7F...) is written as %XX, so a file "a b.html" is linked as
// "a%20b.html" and a saved "x.php?y=1" as "x.php%3Fy=1".
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CURL;

// How the save step names files.
struct CMirrorNaming {
    std::string indexName = "Index.html";  // for a URL without a file name, and for the dynamic ones below
    bool flat = false;                     // every file right in its host's folder
    bool indexForDynamic = false;          // a URL with a query or '$' part is saved as indexName
    bool remapAllPHP = false;              // with indexForDynamic: so is every .php, .php3, .phtml
};

// Where the save step puts a URL: its folder levels as the URL writes them
// (host, port when given, directory components unless flat) and its file
// name, percent-decoded.
struct CMirrorLocation {
    std::vector<std::string> folders;
    std::string fileName;
};
CMirrorLocation MirrorLocationForURL(const CURL& url, const CMirrorNaming& naming);
CMirrorLocation MirrorLocationForURL(std::string_view url, const CMirrorNaming& naming);

// A name as it stands on disk, written for use in a link.
std::string EncodeMirrorNameForLink(std::string_view onDiskName);

// The location's path from the mirror's root, each level as the disk names
// it (empty levels skipped, an empty file name as "Index.html") and written
// for a link: "example.com/8080/a%20b/x.php%3Fy=1".
std::string EncodedMirrorPath(const CMirrorLocation& location);

// The link from a page `pageFolderDepth` folders deep to the target at
// `encodedPathFromRoot`.
std::string LinkFromMirrorRoot(std::string_view encodedPathFromRoot, int pageFolderDepth);
