// An ordered map whose nodes come from a node pool.
//
// The tree is a treap: each node carries a random priority, which keeps the
// depth logarithmic whatever order the keys arrive in (sorted URL lists would
// otherwise turn a plain search tree into a chain). Every walk is a loop, so
// no operation recurses. The order list remembers insertion order.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>

#include "foundation/containers/node_pool.h"
#include "foundation/containers/pooled_list.h"

// Key order: strings by strcmp, chars as signed chars, everything else by <.
template <typename K>
struct TPooledMapKeyLess {
    bool operator()(const K& a, const K& b) const { return std::less<K>()(a, b); }
};
template <>
struct TPooledMapKeyLess<char> {
    bool operator()(char a, char b) const { return static_cast<signed char>(a) < static_cast<signed char>(b); }
};

template <typename K, typename V, typename Less = TPooledMapKeyLess<K>>
class TPooledMap {
public:
    struct Node {
        Node(const K& k, const V& v, std::uint32_t p) : key(k), value(v), priority(p) {}
        K key;
        V value;
        Node* left = nullptr;
        Node* right = nullptr;
        Node* parent = nullptr;
        std::uint32_t priority;
    };
    using Pool = TNodePool<Node>;

    TPooledMap() = default;
    TPooledMap(const TPooledMap& other) { InsertAll(other); }
    TPooledMap& operator=(const TPooledMap& other)
    {
        if (this != &other) {
            Clear();
            InsertAll(other);
        }
        return *this;
    }
    ~TPooledMap() { Clear(); }

    Node* Find(const K& key) const
    {
        Less less;
        Node* node = mRoot;
        while (node) {
            if (less(key, node->key)) node = node->left;
            else if (less(node->key, key)) node = node->right;
            else return node;
        }
        return nullptr;
    }

    // Inserts a new entry; an existing key keeps its first value.
    Node* Insert(const K& key, const V& value)
    {
        Less less;
        Node* parent = nullptr;
        Node** link = &mRoot;
        while (*link) {
            parent = *link;
            if (less(key, parent->key)) link = &parent->left;
            else if (less(parent->key, key)) link = &parent->right;
            else return parent;
        }
        Node* node = Pool::Take(key, value, NextPriority());
        node->parent = parent;
        *link = node;
        while (node->parent && node->priority > node->parent->priority) RotateUp(node);
        mOrder.Append(node);
        ++mCount;
        return node;
    }

    // The value stored under `key`, or the shared default value.
    const V& Lookup(const K& key) const
    {
        const Node* node = Find(key);
        return node ? node->value : DefaultValue();
    }
    static const V& DefaultValue()
    {
        static const V value{};
        return value;
    }

    void Clear()
    {
        for (Node* node : mOrder) Pool::Give(node);
        mOrder.Clear();
        mRoot = nullptr;
        mCount = 0;
    }

    [[nodiscard]] std::int32_t Count() const { return mCount; }
    [[nodiscard]] bool IsEmpty() const { return mCount == 0; }
    // Nodes in insertion order.
    const TPooledList<Node*>& Order() const { return mOrder; }
    TPooledList<Node*>& Order() { return mOrder; }

    // Nodes in key order.
    template <typename Fn>
    void ForEachInOrder(Fn&& fn) const
    {
        Node* node = mRoot;
        while (node && node->left) node = node->left;
        while (node) {
            fn(*node);
            node = Successor(node);
        }
    }

private:
    static Node* Successor(Node* node)
    {
        if (node->right) {
            node = node->right;
            while (node->left) node = node->left;
            return node;
        }
        while (node->parent && node->parent->right == node) node = node->parent;
        return node->parent;
    }

    void RotateUp(Node* node)
    {
        Node* parent = node->parent;
        Node* grand = parent->parent;
        if (parent->left == node) {
            parent->left = node->right;
            if (node->right) node->right->parent = parent;
            node->right = parent;
        } else {
            parent->right = node->left;
            if (node->left) node->left->parent = parent;
            node->left = parent;
        }
        parent->parent = node;
        node->parent = grand;
        if (!grand) mRoot = node;
        else if (grand->left == parent) grand->left = node;
        else grand->right = node;
    }

    std::uint32_t NextPriority()
    {
        // xorshift32: cheap, and good enough to keep the tree shallow.
        std::uint32_t x = mSeed;
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        mSeed = x;
        return x;
    }

    void InsertAll(const TPooledMap& other)
    {
        for (const Node* node : other.mOrder) Insert(node->key, node->value);
    }

    Node* mRoot = nullptr;
    TPooledList<Node*> mOrder;
    std::int32_t mCount = 0;
    std::uint32_t mSeed = 0x9E3779B9u;
};
