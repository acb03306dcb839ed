// One value of a property list, held in our own small tree: a scalar (text,
// integer, real, switch, date, bytes) or a container (array, dictionary).
//
// Dictionaries keep their keys in the order they were read or set; setting a
// key that is already there replaces its value in place. Texts are UTF-8 bytes
// as far as the writer of the list was concerned: nothing here re-encodes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class PlistValue {
public:
    enum class Kind : std::uint8_t { kString, kInteger, kReal, kBoolean, kDate, kData, kArray, kDictionary };

    // An empty text.
    PlistValue() = default;
    PlistValue(const PlistValue& other);
    PlistValue& operator=(const PlistValue& other);
    PlistValue(PlistValue&&) noexcept = default;
    PlistValue& operator=(PlistValue&&) noexcept = default;
    ~PlistValue() = default;

    static PlistValue MakeString(std::string_view text);
    static PlistValue MakeInteger(std::int64_t value);
    static PlistValue MakeReal(double value);
    static PlistValue MakeBoolean(bool value);
    // Seconds since 1 January 1970 UTC.
    static PlistValue MakeDate(std::int64_t unixSeconds);
    static PlistValue MakeData(std::string_view bytes);
    static PlistValue MakeArray();
    static PlistValue MakeDictionary();
    static PlistValue MakeStringArray(const std::vector<std::string>& texts);

    Kind GetKind() const { return mKind; }
    bool IsString() const { return mKind == Kind::kString; }
    bool IsInteger() const { return mKind == Kind::kInteger; }
    bool IsArray() const { return mKind == Kind::kArray; }
    bool IsDictionary() const { return mKind == Kind::kDictionary; }
    bool IsContainer() const { return IsArray() || IsDictionary(); }

    // The text of a string or the bytes of data; empty for other kinds.
    const std::string& Text() const;
    // An integer's value; 0 for other kinds.
    std::int64_t Integer() const { return mKind == Kind::kInteger ? mInteger : 0; }
    // A real's value, or an integer's as a real; 0 for other kinds.
    double Real() const;
    bool Boolean() const { return mKind == Kind::kBoolean && mBoolean; }
    std::int64_t DateSeconds() const { return mKind == Kind::kDate ? mInteger : 0; }

    // Containers: the items of an array, or the values of a dictionary in key
    // order. Empty for scalars.
    std::size_t Count() const { return mItems.size(); }
    const std::vector<PlistValue>& Items() const { return mItems; }
    const PlistValue& ItemAt(std::size_t index) const { return mItems.at(index); }
    PlistValue& ItemAt(std::size_t index) { return mItems.at(index); }
    // Arrays only; ignored for other kinds.
    void Append(PlistValue item);
    // Removes the item (or dictionary entry) at `index`; ignored when outside.
    void RemoveAt(std::size_t index);

    // Dictionaries: keys in order, parallel to Items(). Large dictionaries
    // keep a hash index of their keys, so filling one stays linear.
    const std::vector<std::string>& Keys() const { return mKeys; }
    const std::string& KeyAt(std::size_t index) const { return mKeys.at(index); }
    const PlistValue* Find(std::string_view key) const;
    PlistValue* Find(std::string_view key);
    // Ignored for other kinds.
    void Set(std::string_view key, PlistValue value);
    // Adds an entry whose key the caller knows is new, without the look-up
    // Set makes: large dictionaries (a file's word list) build in linear time.
    void AddNewEntry(std::string_view key, PlistValue value);
    bool Remove(std::string_view key);

    // Every item of an array that is a string, in order; other items are
    // skipped. Empty for other kinds.
    std::vector<std::string> StringItems() const;

    // Kind and contents, recursively; dictionaries compare in key order.
    friend bool operator==(const PlistValue& a, const PlistValue& b);

private:
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
    };
    using KeyIndex = std::unordered_map<std::string, std::size_t, KeyHash, std::equal_to<>>;
    // Below this many keys a scan is as quick as a hash.
    static constexpr std::size_t kIndexedKeyCount = 16;

    std::ptrdiff_t IndexOfKey(std::string_view key) const;
    void RebuildKeyIndex();
    void AppendEntry(std::string_view key, PlistValue value);

    Kind mKind = Kind::kString;
    bool mBoolean = false;
    std::int64_t mInteger = 0;  // integers, and dates as Unix seconds
    double mReal = 0.0;
    std::string mText;  // strings and data
    std::vector<PlistValue> mItems;
    std::vector<std::string> mKeys;
    std::unique_ptr<KeyIndex> mKeyIndex;  // dictionaries of kIndexedKeyCount keys or more
};
