// Labels kept on a file-system item in extended attributes: the comment (the
// crawl stores the item's URL there), the origin URL, and the four-character
// type and creator codes.
//
// Every call acts on the item itself and never follows a symbolic link that
// the path names (a link cannot carry user attributes, so the call fails).
// Results are 0 on success or a negative errno value: -ENOTSUP when the file
// system keeps no user attributes, -ENODATA when the item has no such label.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr const char* kCommentAttribute = "user.xdg.comment";
inline constexpr const char* kOriginURLAttribute = "user.xdg.origin.url";
inline constexpr const char* kFileTypeAttribute = "user.tidewell.type";
inline constexpr const char* kFileCreatorAttribute = "user.tidewell.creator";

// Raw access by attribute name.
int ReadItemAttribute(const char* path, const char* name, std::string& value);
int WriteItemAttribute(const char* path, const char* name, std::string_view value);
int RemoveItemAttribute(const char* path, const char* name);
int ReadOpenItemAttribute(int fd, const char* name, std::string& value);
int WriteOpenItemAttribute(int fd, const char* name, std::string_view value);

// Copies every "user." attribute of one open file to another, so that a file
// replaced by a new copy keeps its labels. An error other than "no support"
// on the source is returned; a source without support copies nothing.
int CopyUserAttributes(int fromFd, int toFd);

// A four-character code is stored as its four bytes, high byte first
// ('TEXT' is the text "TEXT").
int ReadItemCode(const char* path, const char* name, std::uint32_t& code);
int WriteItemCode(const char* path, const char* name, std::uint32_t code);
int WriteOpenItemCode(int fd, const char* name, std::uint32_t code);
