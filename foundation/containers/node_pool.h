// Node pools: every container of one node type takes its nodes from a shared
// free list that is refilled 256 nodes at a time. Blocks are never returned to
// the system, so a node costs a few pointer moves to take and to give back.
//
// Built with TIDEWELL_POOL_DIRECT, each node is allocated on its own and freed
// at once, so a sanitizer sees every use of a node after it was given back.
#pragma once

#include <cstddef>
#include <new>
#include <utility>

template <typename Node>
class TNodePool {
public:
    static constexpr std::size_t kBlockNodes = 256;

    template <typename... Args>
    static Node* Take(Args&&... args)
    {
#if TIDEWELL_POOL_DIRECT
        return new Node(std::forward<Args>(args)...);
#else
        Slot* slot = sFree;
        if (slot == nullptr) slot = Refill();
        sFree = slot->next;
        return ::new (static_cast<void*>(slot)) Node(std::forward<Args>(args)...);
#endif
    }

    static void Give(Node* node)
    {
#if TIDEWELL_POOL_DIRECT
        delete node;
#else
        node->~Node();
        Slot* slot = reinterpret_cast<Slot*>(node);
        slot->next = sFree;
        sFree = slot;
#endif
    }

    // Number of blocks allocated so far (always 0 with direct allocation).
    [[nodiscard]] static std::size_t BlockCount() { return sBlocks; }

private:
    union Slot {
        Slot* next;
        alignas(Node) unsigned char storage[sizeof(Node)];
    };

    static Slot* Refill()
    {
        Slot* block = static_cast<Slot*>(::operator new(sizeof(Slot) * kBlockNodes));
        ++sBlocks;
        // Linked from the last to the second so they are handed out in
        // address order; the first goes straight to the caller.
        Slot* head = nullptr;
        for (std::size_t i = kBlockNodes; i-- > 1;) {
            block[i].next = head;
            head = &block[i];
        }
        block[0].next = head;
        return &block[0];
    }

    static inline Slot* sFree = nullptr;
    static inline std::size_t sBlocks = 0;
};
