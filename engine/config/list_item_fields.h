// Items of the realm and input-item lists: each item is several fields joined
// by TAB, and the items are joined by ",".
//
// A field may itself hold "," or TAB: those are written as %2C and %09, and a
// '%' that would read as one of the three escapes is written as %25. Reading
// decodes only those three escapes, so a file from before the escapes (where
// a '%' was written as it stands) reads the same unless it held one of these
// exact three-character texts.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

std::string EncodeItemField(std::string_view field);
std::string DecodeItemField(std::string_view field);

// The encoded fields joined by TAB.
std::string JoinItemFields(std::initializer_list<std::string_view> fields);
// Splits an item into `count` decoded fields at its first count - 1 TABs,
// keeping empty fields in place; missing fields are empty, and the last field
// takes the rest of the item (a TAB that old files wrote inside it included).
std::vector<std::string> SplitItemFields(std::string_view item, std::size_t count);

// The non-empty ","-separated items of a list value.
std::vector<std::string_view> SplitListItems(std::string_view value);
