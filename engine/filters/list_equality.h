// Equality of two pooled lists: same count, elements pairwise equal in order.
#pragma once

#include "foundation/containers/pooled_list.h"

template <typename T>
[[nodiscard]] bool SameItems(const TPooledList<T>& a, const TPooledList<T>& b)
{
    if (a.Count() != b.Count()) return false;
    auto other = b.begin();
    for (const T& item : a) {
        if (!(item == *other)) return false;
        ++other;
    }
    return true;
}
