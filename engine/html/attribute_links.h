// Links that stand as attribute values of the markup, in the shapes the
// delimiter pairs do not see: an href, src or background value with blanks
// or a line break around its '=' (`<a href = "x.html">`), and the pictures
// of a srcset ("small.jpg 1x, large.jpg 2x"), each a link of its own.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

enum class ELinkAttribute { kNone, kLink, kSrcset };

// The attribute whose name ends at `nameEnd` (the '=' or the blanks before
// it follow): href, src or background (kLink) or srcset, any case, standing
// after a blank or at the start of the text.
ELinkAttribute LinkAttributeEndingAt(std::string_view text, std::size_t nameEnd);

// Every picture address of a srcset value, in order, as offset and length
// within `value`: each candidate is an address up to a blank (commas at its
// end are no part of it), then descriptors up to the next ','.
void ForEachSrcsetCandidate(std::string_view value, const std::function<void(std::size_t, std::size_t)>& each);

// Those links of `text`, in order, as views of it: the spaced-out values of
// href, src and background and every srcset picture. A quoted value holding
// '<' or '>' is none, nor an unquoted one starting with '<'. One forward
// pass over the text.
void CollectAttributeLinks(std::string_view text, std::vector<std::string_view>& out);
