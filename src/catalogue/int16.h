#pragma once
// A 16-bit signed whole number whose arithmetic is checked: a result outside
// -32768..32767 raises OverflowError instead of wrapping.

#include "errors.h"

#include <compare>
#include <cstdint>
#include <limits>

namespace plimbo {

class Int16 {
public:
    static constexpr std::int32_t Min = std::numeric_limits<std::int16_t>::min();
    static constexpr std::int32_t Max = std::numeric_limits<std::int16_t>::max();

    constexpr Int16() = default;
    // Any wider value converts only when it fits.
    constexpr Int16(std::int64_t v) : value_(check(v)) {} // NOLINT(google-explicit-constructor)

    static constexpr bool fits(std::int64_t v) { return v >= Min && v <= Max; }

    constexpr std::int16_t value() const { return value_; }

    friend constexpr Int16 operator+(Int16 a, Int16 b) { return Int16(std::int64_t{a.value_} + b.value_); }
    friend constexpr Int16 operator-(Int16 a, Int16 b) { return Int16(std::int64_t{a.value_} - b.value_); }
    friend constexpr Int16 operator*(Int16 a, Int16 b) { return Int16(std::int64_t{a.value_} * b.value_); }
    constexpr Int16& operator+=(Int16 b) { return *this = *this + b; }
    constexpr Int16 operator-() const { return Int16(-std::int64_t{value_}); }

    friend constexpr bool operator==(Int16 a, Int16 b) = default;
    friend constexpr auto operator<=>(Int16 a, Int16 b) = default;

private:
    static constexpr std::int16_t check(std::int64_t v)
    {
        if (!fits(v))
            throw OverflowError();
        return static_cast<std::int16_t>(v);
    }

    std::int16_t value_ = 0;
};

} // namespace plimbo
