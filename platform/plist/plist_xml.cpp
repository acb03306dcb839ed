#include "platform/plist/plist_xml.h"

#include <plist/plist.h>

#include <pthread.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "platform/posix/atomic_file.h"

namespace {

// Property-list dates count seconds from 1 January 2001 UTC.
constexpr std::int64_t kPlistEpochInUnixSeconds = 978307200;

std::uint32_t ChildCount(plist_t node)
{
    plist_type type = plist_get_node_type(node);
    if (type == PLIST_ARRAY) return plist_array_get_size(node);
    if (type == PLIST_DICT) return plist_dict_get_size(node);
    return 0;
}

bool HasChildren(plist_t node) { return ChildCount(node) > 0; }

bool IsContainerNode(plist_t node)
{
    plist_type type = plist_get_node_type(node);
    return type == PLIST_ARRAY || type == PLIST_DICT;
}

// Any one child of a container: the last item of an array (cheapest to
// remove), the first value of a dictionary.
plist_t SomeChild(plist_t node)
{
    plist_type type = plist_get_node_type(node);
    if (type == PLIST_ARRAY) {
        std::uint32_t count = plist_array_get_size(node);
        return count > 0 ? plist_array_get_item(node, count - 1) : nullptr;
    }
    if (type != PLIST_DICT || plist_dict_get_size(node) == 0) return nullptr;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    if (iter == nullptr) return nullptr;
    char* key = nullptr;
    plist_t value = nullptr;
    plist_dict_next_item(node, iter, &key, &value);
    std::free(key);
    std::free(iter);
    return value;
}

// Detaches and frees `child`, which has no children of its own.
void RemoveChild(plist_t parent, plist_t child)
{
    if (plist_get_node_type(parent) == PLIST_ARRAY) {
        plist_array_remove_item(parent, plist_array_get_item_index(child));
        return;
    }
    char* key = nullptr;
    plist_dict_get_item_key(child, &key);
    if (key != nullptr) {
        plist_dict_remove_item(parent, key);
        std::free(key);
    }
}

// libplist frees trees recursively, which a tree nested deep enough (a few
// hundred kilobytes of "<array>") turns into a stack overflow. This takes a
// tree apart one childless node at a time instead.
void FreeWithoutRecursion(plist_t root)
{
    plist_t node = root;
    while (node != nullptr) {
        if (HasChildren(node)) {
            node = SomeChild(node);
            continue;
        }
        plist_t parent = (node == root) ? nullptr : plist_get_parent(node);
        if (parent == nullptr) {
            plist_free(node);
            return;
        }
        std::uint32_t before = ChildCount(parent);
        RemoveChild(parent, node);
        // A child that cannot be found again is left to leak rather than
        // looping for ever.
        if (ChildCount(parent) == before) return;
        node = parent;
    }
}

// True when no container lies deeper than kPlistMaxDepth, found without
// recursion: the parse itself does not limit nesting.
bool IsShallowEnough(plist_t root)
{
    struct Pending {
        plist_t node;
        int depth;
    };
    std::vector<Pending> pending;
    if (IsContainerNode(root)) pending.push_back({root, 1});
    while (!pending.empty()) {
        Pending current = pending.back();
        pending.pop_back();
        auto visit = [&](plist_t child) {
            if (!IsContainerNode(child)) return true;
            if (current.depth + 1 > kPlistMaxDepth) return false;
            pending.push_back({child, current.depth + 1});
            return true;
        };
        if (plist_get_node_type(current.node) == PLIST_ARRAY) {
            std::uint32_t count = plist_array_get_size(current.node);
            for (std::uint32_t i = 0; i < count; ++i) {
                if (!visit(plist_array_get_item(current.node, i))) return false;
            }
            continue;
        }
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(current.node, &iter);
        bool ok = true;
        while (ok) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(current.node, iter, &key, &value);
            std::free(key);
            if (value == nullptr) break;
            ok = visit(value);
        }
        std::free(iter);
        if (!ok) return false;
    }
    return true;
}

bool ConvertNode(plist_t node, PlistValue& out, int depth);

bool ConvertContainer(plist_t node, PlistValue& out, int depth)
{
    if (depth >= kPlistMaxDepth) return false;
    if (plist_get_node_type(node) == PLIST_ARRAY) {
        out = PlistValue::MakeArray();
        std::uint32_t count = plist_array_get_size(node);
        for (std::uint32_t i = 0; i < count; ++i) {
            PlistValue item;
            if (!ConvertNode(plist_array_get_item(node, i), item, depth + 1)) return false;
            out.Append(std::move(item));
        }
        return true;
    }
    out = PlistValue::MakeDictionary();
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    bool ok = true;
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iter, &key, &value);
        if (value == nullptr) {
            std::free(key);
            break;
        }
        PlistValue item;
        ok = key != nullptr && ConvertNode(value, item, depth + 1);
        // libplist keeps a dictionary's keys unique already.
        if (ok) out.AddNewEntry(key, std::move(item));
        std::free(key);
        if (!ok) break;
    }
    std::free(iter);
    return ok;
}

bool ConvertNode(plist_t node, PlistValue& out, int depth)
{
    if (node == nullptr) return false;
    switch (plist_get_node_type(node)) {
    case PLIST_STRING: {
        char* text = nullptr;
        plist_get_string_val(node, &text);
        if (text == nullptr) return false;
        out = PlistValue::MakeString(text);
        std::free(text);
        return true;
    }
    case PLIST_UINT: {
        // libplist keeps integers as 64 bits and writes them back signed.
        std::uint64_t bits = 0;
        plist_get_uint_val(node, &bits);
        out = PlistValue::MakeInteger(static_cast<std::int64_t>(bits));
        return true;
    }
    case PLIST_REAL: {
        double number = 0.0;
        plist_get_real_val(node, &number);
        out = PlistValue::MakeReal(number);
        return true;
    }
    case PLIST_BOOLEAN: {
        std::uint8_t flag = 0;
        plist_get_bool_val(node, &flag);
        out = PlistValue::MakeBoolean(flag != 0);
        return true;
    }
    case PLIST_DATE: {
        std::int32_t seconds = 0;
        std::int32_t micros = 0;
        plist_get_date_val(node, &seconds, &micros);
        out = PlistValue::MakeDate(kPlistEpochInUnixSeconds + seconds);
        return true;
    }
    case PLIST_DATA: {
        char* bytes = nullptr;
        std::uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        out = PlistValue::MakeData(std::string_view(bytes ? bytes : "", bytes ? length : 0));
        std::free(bytes);
        return true;
    }
    case PLIST_ARRAY:
    case PLIST_DICT:
        return ConvertContainer(node, out, depth);
    default:
        return false;
    }
}

struct PlistFree {
    void operator()(void* node) const { plist_free(node); }
};
using OwnedNode = std::unique_ptr<void, PlistFree>;

bool DepthAtMost(const PlistValue& value, int limit)
{
    if (!value.IsContainer()) return true;
    if (limit <= 0) return false;
    for (const PlistValue& item : value.Items()) {
        if (!DepthAtMost(item, limit - 1)) return false;
    }
    return true;
}

bool HasNul(const std::string& text) { return text.find('\0') != std::string::npos; }

plist_t BuildNode(const PlistValue& value)
{
    switch (value.GetKind()) {
    case PlistValue::Kind::kString:
        return HasNul(value.Text()) ? nullptr : plist_new_string(value.Text().c_str());
    case PlistValue::Kind::kInteger:
        return plist_new_uint(static_cast<std::uint64_t>(value.Integer()));
    case PlistValue::Kind::kReal:
        return plist_new_real(value.Real());
    case PlistValue::Kind::kBoolean:
        return plist_new_bool(value.Boolean() ? 1 : 0);
    case PlistValue::Kind::kDate: {
        std::int64_t seconds = value.DateSeconds() - kPlistEpochInUnixSeconds;
        if (seconds < std::numeric_limits<std::int32_t>::min() ||
            seconds > std::numeric_limits<std::int32_t>::max()) {
            return nullptr;
        }
        return plist_new_date(static_cast<std::int32_t>(seconds), 0);
    }
    case PlistValue::Kind::kData:
        return plist_new_data(value.Text().data(), value.Text().size());
    case PlistValue::Kind::kArray: {
        OwnedNode array(plist_new_array());
        for (const PlistValue& item : value.Items()) {
            plist_t child = BuildNode(item);
            if (child == nullptr) return nullptr;
            plist_array_append_item(array.get(), child);
        }
        return array.release();
    }
    case PlistValue::Kind::kDictionary: {
        OwnedNode dictionary(plist_new_dict());
        for (std::size_t i = 0; i < value.Count(); ++i) {
            if (HasNul(value.KeyAt(i))) return nullptr;
            plist_t child = BuildNode(value.ItemAt(i));
            if (child == nullptr) return nullptr;
            plist_dict_set_item(dictionary.get(), value.KeyAt(i).c_str(), child);
        }
        return dictionary.release();
    }
    }
    return nullptr;
}

// libplist builds the tree without recursion but frees it recursively, also
// inside the parser when a document breaks off: one stack frame per level of
// nesting. A container needs a tag, so the number of "<array" and "<dict"
// tags bounds the nesting whatever the rest of the text does. Documents with
// few of them are parsed where the caller stands; larger ones on a thread
// whose stack is sized for the worst case; beyond kMaxContainerTags they are
// refused.
constexpr std::size_t kInlineContainerTags = 1000;
constexpr std::size_t kMaxContainerTags = 250000;
constexpr std::size_t kStackBytesPerLevel = 256;
constexpr std::size_t kStackBaseBytes = 1024 * 1024;

std::size_t CountContainerTags(std::string_view bytes)
{
    std::size_t count = 0;
    for (std::size_t at = bytes.find('<'); at != std::string_view::npos; at = bytes.find('<', at + 1)) {
        std::string_view rest = bytes.substr(at + 1);
        auto startsWith = [&](std::string_view name) {
            if (rest.size() < name.size()) return false;
            for (std::size_t i = 0; i < name.size(); ++i) {
                char c = rest[i];
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
                if (c != name[i]) return false;
            }
            return true;
        };
        if (startsWith("array") || startsWith("dict")) ++count;
    }
    return count;
}

bool RunOnStackOfSize(std::size_t stackBytes, const std::function<void()>& job)
{
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    bool started = pthread_attr_setstacksize(&attributes, stackBytes) == 0;
    pthread_t thread;
    auto run = [](void* argument) -> void* {
        (*static_cast<const std::function<void()>*>(argument))();
        return nullptr;
    };
    started = started && pthread_create(&thread, &attributes, run, const_cast<std::function<void()>*>(&job)) == 0;
    pthread_attr_destroy(&attributes);
    if (started) pthread_join(thread, nullptr);
    return started;
}

// Parses, checks the depth and converts, with every libplist tree freed
// before returning.
bool ParseHere(const std::string& text, PlistValue& out)
{
    try {
        plist_t root = nullptr;
        plist_from_xml(text.data(), static_cast<std::uint32_t>(text.size()), &root);
        if (root == nullptr) return false;
        if (!IsShallowEnough(root)) {
            FreeWithoutRecursion(root);
            return false;
        }
        OwnedNode owner(root);
        PlistValue value;
        if (!ConvertNode(root, value, 0)) return false;
        out = std::move(value);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

bool ParsePlist(std::string_view bytes, PlistValue& out)
{
    if (bytes.empty() || bytes.size() >= std::numeric_limits<std::uint32_t>::max()) return false;
    // Binary lists go through a parser with a long record of faults on bad
    // input; nothing of ours needs them.
    if (plist_is_binary(bytes.data(), static_cast<std::uint32_t>(bytes.size()))) return false;
    // XML has no place for a NUL byte, and libplist aborts on a text that
    // holds one.
    if (bytes.find('\0') != std::string_view::npos) return false;
    std::size_t containerTags = CountContainerTags(bytes);
    if (containerTags > kMaxContainerTags) return false;
    // The parser reads C strings: hand it a copy that ends in a NUL.
    std::string text(bytes);
    if (containerTags <= kInlineContainerTags) return ParseHere(text, out);
    bool parsed = false;
    if (!RunOnStackOfSize(containerTags * kStackBytesPerLevel + kStackBaseBytes,
                          [&] { parsed = ParseHere(text, out); })) {
        return false;
    }
    return parsed;
}

std::optional<PlistValue> ParsePlist(std::string_view bytes)
{
    PlistValue value;
    if (!ParsePlist(bytes, value)) return std::nullopt;
    return value;
}

std::optional<std::string> PlistToXml(const PlistValue& value)
{
    if (!DepthAtMost(value, kPlistMaxDepth)) return std::nullopt;
    OwnedNode root(BuildNode(value));
    if (!root) return std::nullopt;
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    if (xml == nullptr) return std::nullopt;
    std::string text(xml, length);
    std::free(xml);
    return text;
}

int ReadPlistFile(const std::string& path, PlistValue& out)
{
    std::string bytes;
    int status = ReadFileBytes(path, bytes);
    if (status != 0) return status;
    return ParsePlist(bytes, out) ? 0 : kPlistMalformed;
}

int WritePlistFile(const std::string& path, const PlistValue& value, mode_t mode)
{
    std::optional<std::string> xml = PlistToXml(value);
    if (!xml) return kPlistMalformed;
    AtomicWriteOptions options;
    options.mode = mode;
    options.syncFolder = true;
    return WriteFileAtomically(path, *xml, options);
}
