// A signed 128-bit integer for compilers that have none (32-bit targets): two's complement in
// two 64-bit halves, with the arithmetic the rasterizers' set-up needs. Division truncates
// towards zero and the remainder takes the dividend's sign, as for the built-in integers;
// overflow wraps. Division is bit by bit: slow, but only set-up arithmetic divides.
#pragma once

#include <concepts>
#include <cstdint>

namespace gridloom {

class TInt128 {
public:
    constexpr TInt128() = default;
    template <std::integral T>
    constexpr TInt128(T value)
        : FLow(uint64_t(value)), FHigh(std::signed_integral<T> && value < 0 ? ~uint64_t(0) : 0) {}

    explicit constexpr operator int64_t() const { return int64_t(FLow); }

    friend constexpr TInt128 operator+(TInt128 a, TInt128 b) {
        TInt128 r;
        r.FLow = a.FLow + b.FLow;
        r.FHigh = a.FHigh + b.FHigh + (r.FLow < a.FLow ? 1 : 0);
        return r;
    }
    friend constexpr TInt128 operator-(TInt128 a, TInt128 b) {
        TInt128 r;
        r.FLow = a.FLow - b.FLow;
        r.FHigh = a.FHigh - b.FHigh - (a.FLow < b.FLow ? 1 : 0);
        return r;
    }
    friend constexpr TInt128 operator-(TInt128 a) { return TInt128() - a; }
    friend constexpr TInt128 operator*(TInt128 a, TInt128 b) {
        TInt128 r = MultiplyHalves(a.FLow, b.FLow);
        r.FHigh += a.FHigh * b.FLow + a.FLow * b.FHigh;
        return r;
    }
    friend constexpr TInt128 operator/(TInt128 a, TInt128 b) {
        TInt128 quotient, remainder;
        DivideMagnitudes(a, b, quotient, remainder);
        return a.Negative() != b.Negative() ? -quotient : quotient;
    }
    friend constexpr TInt128 operator%(TInt128 a, TInt128 b) {
        TInt128 quotient, remainder;
        DivideMagnitudes(a, b, quotient, remainder);
        return a.Negative() ? -remainder : remainder;
    }
    constexpr TInt128& operator+=(TInt128 b) { return *this = *this + b; }
    constexpr TInt128& operator-=(TInt128 b) { return *this = *this - b; }
    constexpr TInt128& operator++() { return *this += 1; }
    constexpr TInt128& operator--() { return *this -= 1; }

    friend constexpr bool operator==(TInt128 a, TInt128 b) { return a.FLow == b.FLow && a.FHigh == b.FHigh; }
    friend constexpr bool operator<(TInt128 a, TInt128 b) {
        return int64_t(a.FHigh) != int64_t(b.FHigh) ? int64_t(a.FHigh) < int64_t(b.FHigh) : a.FLow < b.FLow;
    }
    friend constexpr bool operator>(TInt128 a, TInt128 b) { return b < a; }
    friend constexpr bool operator<=(TInt128 a, TInt128 b) { return !(b < a); }
    friend constexpr bool operator>=(TInt128 a, TInt128 b) { return !(a < b); }

private:
    uint64_t FLow = 0;
    uint64_t FHigh = 0;

    constexpr bool Negative() const { return int64_t(FHigh) < 0; }

    // The whole 128-bit product of two 64-bit numbers, from four 32-bit products.
    static constexpr TInt128 MultiplyHalves(uint64_t a, uint64_t b) {
        const uint64_t aLow = a & 0xFFFFFFFF, aHigh = a >> 32, bLow = b & 0xFFFFFFFF, bHigh = b >> 32;
        const uint64_t low = aLow * bLow, middle1 = aHigh * bLow, middle2 = aLow * bHigh, high = aHigh * bHigh;
        const uint64_t carry = ((low >> 32) + (middle1 & 0xFFFFFFFF) + (middle2 & 0xFFFFFFFF)) >> 32;
        TInt128 r;
        r.FLow = low + (middle1 << 32) + (middle2 << 32);
        r.FHigh = high + (middle1 >> 32) + (middle2 >> 32) + carry;
        return r;
    }

    // |a| / |b| and |a| % |b| by shifting and subtracting; a divisor of 0 gives 0 and |a|.
    static constexpr void DivideMagnitudes(TInt128 a, TInt128 b, TInt128& quotient, TInt128& remainder) {
        const TInt128 n = a.Negative() ? -a : a;
        const TInt128 d = b.Negative() ? -b : b;
        quotient = TInt128();
        remainder = TInt128();
        if (d == TInt128()) {
            remainder = n;
            return;
        }
        for (int bit = 127; bit >= 0; --bit) {
            remainder.FHigh = (remainder.FHigh << 1) | (remainder.FLow >> 63);
            remainder.FLow = (remainder.FLow << 1) | (((bit >= 64 ? n.FHigh : n.FLow) >> (bit & 63)) & 1);
            // Compared as unsigned: the magnitudes may use all 128 bits.
            if (remainder.FHigh > d.FHigh || (remainder.FHigh == d.FHigh && remainder.FLow >= d.FLow)) {
                remainder = remainder - d;
                (bit >= 64 ? quotient.FHigh : quotient.FLow) |= uint64_t(1) << (bit & 63);
            }
        }
    }
};

}  // namespace gridloom
