#include "foundation/containers/pooled_list.h"
#include "foundation/containers/pooled_map.h"
#include "foundation/text/fixed_string.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

template <typename T>
std::vector<T> Items(const TPooledList<T>& list)
{
    return std::vector<T>(list.begin(), list.end());
}

TEST(PooledList, RemoveKeepsHeadAndTailConsistent)
{
    struct Case {
        std::vector<int> initial;
        int remove;
        bool removed;
        std::vector<int> after;
    };
    const Case cases[] = {
        {{1}, 1, true, {}},
        {{1, 2, 3}, 1, true, {2, 3}},
        {{1, 2, 3}, 2, true, {1, 3}},
        {{1, 2, 3}, 3, true, {1, 2}},
        {{1, 2, 2}, 2, true, {1, 2}},
        {{1, 2, 3}, 4, false, {1, 2, 3}},
        {{}, 1, false, {}},
    };
    for (const auto& c : cases) {
        TPooledList<int> list;
        for (int v : c.initial) list.Append(v);
        EXPECT_EQ(list.Remove(c.remove), c.removed);
        EXPECT_EQ(Items(list), c.after);
        EXPECT_EQ(list.Count(), static_cast<std::int32_t>(c.after.size()));
        if (c.after.empty()) {
            EXPECT_EQ(list.Head(), nullptr);
            EXPECT_EQ(list.Tail(), nullptr);
        } else {
            EXPECT_EQ(list.Tail()->element, c.after.back());
            EXPECT_EQ(list.Tail()->next, nullptr);
        }
        // The list stays usable: appends after a removal land at the end.
        list.Append(99);
        EXPECT_EQ(list.Tail()->element, 99);
        EXPECT_EQ(list.Head()->element, c.after.empty() ? 99 : c.after.front());
    }
}

TEST(PooledList, ClearAndCopy)
{
    TPooledList<CFixedString255> list;
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    list.Append("a");
    list.Append("b");
    TPooledList<CFixedString255> copy(list);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Head(), nullptr);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_STREQ(copy.Head()->element.c_str(), "a");
    const auto& self = copy;  // an alias, so the compiler lets the self-assignment through
    copy = self;
    EXPECT_EQ(copy.Count(), 2);
}

#if !TIDEWELL_POOL_DIRECT
TEST(NodePool, RefillsAFullBlockAtATimeInAddressOrder)
{
    struct Probe {
        int value;
        bool operator==(const Probe& o) const { return value == o.value; }
    };
    using Pool = TPooledList<Probe>::Pool;
    TPooledList<Probe> list;
    const std::size_t before = Pool::BlockCount();
    list.Append({0});
    EXPECT_EQ(Pool::BlockCount(), before + 1);
    auto* first = list.Head();
    for (int i = 1; i < 256; ++i) list.Append({i});
    EXPECT_EQ(Pool::BlockCount(), before + 1);
    EXPECT_EQ(list.Head()->next, first + 1);
    list.Append({256});  // the 257th node needs a second block
    EXPECT_EQ(Pool::BlockCount(), before + 2);
    list.Clear();
    for (int i = 0; i < 257; ++i) list.Append({i});
    EXPECT_EQ(Pool::BlockCount(), before + 2);  // freed nodes are reused
}
#endif

TEST(PooledMap, InsertKeepsTheFirstValue)
{
    TPooledMap<CFixedString255, CFixedString255> map;
    auto* a = map.Insert("key", "first");
    auto* b = map.Insert("key", "second");
    EXPECT_EQ(a, b);
    EXPECT_EQ(map.Count(), 1);
    EXPECT_STREQ(map.Find("key")->value.c_str(), "first");
    EXPECT_EQ(map.Find("missing"), nullptr);
    EXPECT_STREQ(map.Lookup("missing").c_str(), "");
}

TEST(PooledMap, OrdersKeysByTheirTypeAndRemembersInsertion)
{
    TPooledMap<char, int> chars;
    for (char c : {'b', static_cast<char>(0xE9), 'a', '\x01'}) chars.Insert(c, c);
    std::vector<char> inOrder;
    chars.ForEachInOrder([&](const auto& node) { inOrder.push_back(node.key); });
    // Chars compare as signed: 0xE9 sorts before the ASCII ones.
    EXPECT_EQ(inOrder, (std::vector<char>{static_cast<char>(0xE9), '\x01', 'a', 'b'}));
    std::vector<char> inserted;
    for (auto* node : chars.Order()) inserted.push_back(node->key);
    EXPECT_EQ(inserted, (std::vector<char>{'b', static_cast<char>(0xE9), 'a', '\x01'}));
}

TEST(PooledMap, SortedKeysStayFastAndShallow)
{
    // 100,000 sorted keys would be a 100,000-deep chain in a plain search tree.
    TPooledMap<int, int> map;
    for (int i = 0; i < 100000; ++i) map.Insert(i, -i);
    EXPECT_EQ(map.Count(), 100000);
    for (int i = 0; i < 100000; i += 997) {
        auto* node = map.Find(i);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->value, -i);
    }
    int previous = -1;
    int seen = 0;
    bool ordered = true;
    map.ForEachInOrder([&](const auto& node) {
        ordered = ordered && node.key > previous;
        previous = node.key;
        ++seen;
    });
    EXPECT_TRUE(ordered);
    EXPECT_EQ(seen, 100000);
    map.Clear();
    EXPECT_EQ(map.Count(), 0);
    EXPECT_EQ(map.Find(5), nullptr);
}

TEST(PooledMap, MatchesAStandardMapOnRandomInput)
{
    std::mt19937 random(12345);
    TPooledMap<CFixedString255, int> map;
    std::map<std::string, int> reference;
    for (int i = 0; i < 5000; ++i) {
        std::string key = "k" + std::to_string(random() % 2000);
        map.Insert(key.c_str(), i);
        reference.emplace(key, i);
    }
    EXPECT_EQ(map.Count(), static_cast<std::int32_t>(reference.size()));
    std::vector<std::string> keys;
    map.ForEachInOrder([&](const auto& node) {
        keys.emplace_back(node.key.c_str());
        EXPECT_EQ(node.value, reference.at(node.key.c_str()));
    });
    std::vector<std::string> expected;
    for (const auto& [k, v] : reference) expected.push_back(k);
    EXPECT_EQ(keys, expected);
}

}  // namespace
