#include "platform/plist/plist_value.h"

#include <utility>

namespace {
const std::string& EmptyText()
{
    static const std::string text;
    return text;
}
}

PlistValue::PlistValue(const PlistValue& other)
    : mKind(other.mKind),
      mBoolean(other.mBoolean),
      mInteger(other.mInteger),
      mReal(other.mReal),
      mText(other.mText),
      mItems(other.mItems),
      mKeys(other.mKeys),
      mKeyIndex(other.mKeyIndex ? std::make_unique<KeyIndex>(*other.mKeyIndex) : nullptr)
{
}

PlistValue& PlistValue::operator=(const PlistValue& other)
{
    if (this != &other) *this = PlistValue(other);
    return *this;
}

PlistValue PlistValue::MakeString(std::string_view text)
{
    PlistValue value;
    value.mText.assign(text);
    return value;
}

PlistValue PlistValue::MakeInteger(std::int64_t number)
{
    PlistValue value;
    value.mKind = Kind::kInteger;
    value.mInteger = number;
    return value;
}

PlistValue PlistValue::MakeReal(double number)
{
    PlistValue value;
    value.mKind = Kind::kReal;
    value.mReal = number;
    return value;
}

PlistValue PlistValue::MakeBoolean(bool flag)
{
    PlistValue value;
    value.mKind = Kind::kBoolean;
    value.mBoolean = flag;
    return value;
}

PlistValue PlistValue::MakeDate(std::int64_t unixSeconds)
{
    PlistValue value;
    value.mKind = Kind::kDate;
    value.mInteger = unixSeconds;
    return value;
}

PlistValue PlistValue::MakeData(std::string_view bytes)
{
    PlistValue value;
    value.mKind = Kind::kData;
    value.mText.assign(bytes);
    return value;
}

PlistValue PlistValue::MakeArray()
{
    PlistValue value;
    value.mKind = Kind::kArray;
    return value;
}

PlistValue PlistValue::MakeDictionary()
{
    PlistValue value;
    value.mKind = Kind::kDictionary;
    return value;
}

PlistValue PlistValue::MakeStringArray(const std::vector<std::string>& texts)
{
    PlistValue value = MakeArray();
    value.mItems.reserve(texts.size());
    for (const std::string& text : texts) value.mItems.push_back(MakeString(text));
    return value;
}

const std::string& PlistValue::Text() const
{
    return (mKind == Kind::kString || mKind == Kind::kData) ? mText : EmptyText();
}

double PlistValue::Real() const
{
    if (mKind == Kind::kReal) return mReal;
    if (mKind == Kind::kInteger) return static_cast<double>(mInteger);
    return 0.0;
}

void PlistValue::Append(PlistValue item)
{
    if (mKind == Kind::kArray) mItems.push_back(std::move(item));
}

void PlistValue::RemoveAt(std::size_t index)
{
    if (index >= mItems.size()) return;
    mItems.erase(mItems.begin() + static_cast<std::ptrdiff_t>(index));
    if (mKind != Kind::kDictionary) return;
    mKeys.erase(mKeys.begin() + static_cast<std::ptrdiff_t>(index));
    RebuildKeyIndex();
}

void PlistValue::RebuildKeyIndex()
{
    if (mKeys.size() < kIndexedKeyCount) {
        mKeyIndex.reset();
        return;
    }
    if (!mKeyIndex) mKeyIndex = std::make_unique<KeyIndex>();
    mKeyIndex->clear();
    for (std::size_t i = 0; i < mKeys.size(); ++i) mKeyIndex->emplace(mKeys[i], i);
}

std::ptrdiff_t PlistValue::IndexOfKey(std::string_view key) const
{
    if (mKind != Kind::kDictionary) return -1;
    if (mKeyIndex) {
        auto found = mKeyIndex->find(key);
        return found == mKeyIndex->end() ? -1 : static_cast<std::ptrdiff_t>(found->second);
    }
    for (std::size_t i = 0; i < mKeys.size(); ++i) {
        if (mKeys[i] == key) return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

const PlistValue* PlistValue::Find(std::string_view key) const
{
    std::ptrdiff_t index = IndexOfKey(key);
    return index < 0 ? nullptr : &mItems[static_cast<std::size_t>(index)];
}

PlistValue* PlistValue::Find(std::string_view key)
{
    return const_cast<PlistValue*>(static_cast<const PlistValue*>(this)->Find(key));
}

void PlistValue::Set(std::string_view key, PlistValue value)
{
    if (mKind != Kind::kDictionary) return;
    if (PlistValue* existing = Find(key)) {
        *existing = std::move(value);
        return;
    }
    AppendEntry(key, std::move(value));
}

void PlistValue::AddNewEntry(std::string_view key, PlistValue value)
{
    if (mKind != Kind::kDictionary) return;
    AppendEntry(key, std::move(value));
}

// Keeps the key index, once there is one, in step with every key added.
void PlistValue::AppendEntry(std::string_view key, PlistValue value)
{
    mKeys.emplace_back(key);
    mItems.push_back(std::move(value));
    if (mKeyIndex)
        mKeyIndex->emplace(mKeys.back(), mKeys.size() - 1);
    else if (mKeys.size() >= kIndexedKeyCount)
        RebuildKeyIndex();
}

bool PlistValue::Remove(std::string_view key)
{
    std::ptrdiff_t index = IndexOfKey(key);
    if (index < 0) return false;
    RemoveAt(static_cast<std::size_t>(index));
    return true;
}

std::vector<std::string> PlistValue::StringItems() const
{
    std::vector<std::string> texts;
    if (mKind != Kind::kArray) return texts;
    for (const PlistValue& item : mItems) {
        if (item.IsString()) texts.push_back(item.mText);
    }
    return texts;
}

bool operator==(const PlistValue& a, const PlistValue& b)
{
    if (a.mKind != b.mKind) return false;
    switch (a.mKind) {
    case PlistValue::Kind::kString:
    case PlistValue::Kind::kData:
        return a.mText == b.mText;
    case PlistValue::Kind::kInteger:
    case PlistValue::Kind::kDate:
        return a.mInteger == b.mInteger;
    case PlistValue::Kind::kReal:
        return a.mReal == b.mReal;
    case PlistValue::Kind::kBoolean:
        return a.mBoolean == b.mBoolean;
    case PlistValue::Kind::kArray:
    case PlistValue::Kind::kDictionary:
        return a.mKeys == b.mKeys && a.mItems == b.mItems;
    }
    return false;
}
