// A singly linked list whose nodes come from a node pool.
//
// The list carries a cursor that callers move while they iterate; removing
// the node under the cursor moves the cursor on to the next node.
#pragma once

#include <cstdint>
#include <iterator>
#include <type_traits>

#include "foundation/containers/node_pool.h"

template <typename T>
class TPooledList {
public:
    struct Node {
        explicit Node(const T& value) : element(value) {}
        T element;
        Node* next = nullptr;
    };
    using Pool = TNodePool<Node>;

    TPooledList() = default;
    TPooledList(const TPooledList& other) { AppendAll(other); }
    TPooledList& operator=(const TPooledList& other)
    {
        if (this != &other) {
            Clear();
            AppendAll(other);
        }
        return *this;
    }
    TPooledList(TPooledList&& other) noexcept { Steal(other); }
    TPooledList& operator=(TPooledList&& other) noexcept
    {
        if (this != &other) {
            Clear();
            Steal(other);
        }
        return *this;
    }
    ~TPooledList() { Clear(); }

    Node* Append(const T& element)
    {
        Node* node = Pool::Take(element);
        if (mTail) mTail->next = node;
        else mHead = node;
        mTail = node;
        ++mCount;
        return node;
    }

    void Clear()
    {
        Node* node = mHead;
        while (node) {
            Node* next = node->next;
            Pool::Give(node);
            node = next;
        }
        mHead = mTail = nullptr;
        mCount = 0;
    }

    // Unlinks the first node equal to `element`.
    bool Remove(const T& element)
    {
        Node* previous = nullptr;
        for (Node* node = mHead; node; previous = node, node = node->next) {
            if (!(node->element == element)) continue;
            if (previous) previous->next = node->next;
            else mHead = node->next;
            if (mTail == node) mTail = previous;
            Pool::Give(node);
            --mCount;
            return true;
        }
        return false;
    }

    [[nodiscard]] bool Contains(const T& element) const
    {
        for (const T& item : *this)
            if (item == element) return true;
        return false;
    }

    Node* Head() const { return mHead; }
    Node* Tail() const { return mTail; }
    [[nodiscard]] std::int32_t Count() const { return mCount; }
    [[nodiscard]] bool IsEmpty() const { return mCount == 0; }

    template <typename NodePtr, typename Ref>
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using reference = Ref;
        using pointer = std::remove_reference_t<Ref>*;
        Iterator() = default;
        explicit Iterator(NodePtr node) : mNode(node) {}
        Ref operator*() const { return mNode->element; }
        pointer operator->() const { return &mNode->element; }
        Iterator& operator++()
        {
            mNode = mNode->next;
            return *this;
        }
        bool operator==(const Iterator& other) const { return mNode == other.mNode; }
        bool operator!=(const Iterator& other) const { return mNode != other.mNode; }

    private:
        NodePtr mNode = nullptr;
    };
    using iterator = Iterator<Node*, T&>;
    using const_iterator = Iterator<const Node*, const T&>;
    iterator begin() { return iterator(mHead); }
    iterator end() { return iterator(nullptr); }
    const_iterator begin() const { return const_iterator(mHead); }
    const_iterator end() const { return const_iterator(nullptr); }

private:
    void AppendAll(const TPooledList& other)
    {
        for (const T& item : other) Append(item);
    }
    void Steal(TPooledList& other)
    {
        mHead = other.mHead;
        mTail = other.mTail;
        mCount = other.mCount;
        other.mHead = other.mTail = nullptr;
        other.mCount = 0;
    }

    Node* mHead = nullptr;
    Node* mTail = nullptr;
    std::int32_t mCount = 0;
};
