#pragma once
// Fixed tables of numbered slots. Every access checks the slot number and
// raises SubscriptError outside 0..N-1, so a wrong index never reads or
// writes past a table.

#include "errors.h"

#include <array>
#include <cstddef>

namespace plimbo {

template <typename T, int N>
class SlotTable {
public:
    static constexpr int size() { return N; }

    T& operator[](int slot) { return slots_[index(slot)]; }
    const T& operator[](int slot) const { return slots_[index(slot)]; }

    auto begin() const { return slots_.begin(); }
    auto end() const { return slots_.end(); }

private:
    static std::size_t index(int slot)
    {
        if (slot < 0 || slot >= N)
            throw SubscriptError(slot);
        return static_cast<std::size_t>(slot);
    }

    std::array<T, N> slots_{};
};

} // namespace plimbo
