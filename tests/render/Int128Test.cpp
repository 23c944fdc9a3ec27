// The 128-bit integer of 32-bit targets against the compiler's own, where there is one.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/Int128.h"

namespace gridloom {
namespace {

const std::vector<int64_t> Values = {0,
                                     1,
                                     -1,
                                     2,
                                     -3,
                                     7,
                                     1000003,
                                     -999983,
                                     INT32_MAX,
                                     INT32_MIN,
                                     INT64_MAX,
                                     INT64_MIN,
                                     0x123456789ABLL,
                                     -0x7FFFFFFFFFFLL};

// A 128-bit value made from two 64-bit ones, so that both halves are exercised (only where
// the compiler has a 128-bit integer to check it against).
[[maybe_unused]] TInt128 Wide(int64_t a, int64_t b) { return TInt128(a) * TInt128(b) + TInt128(b); }

TEST(Int128, ArithmeticAgreesWithExactValues) {
    EXPECT_EQ(int64_t(TInt128(6) * TInt128(-7)), -42);
    EXPECT_EQ(int64_t(TInt128(-7) / TInt128(2)), -3);  // truncated towards zero
    EXPECT_EQ(int64_t(TInt128(-7) % TInt128(2)), -1);  // the dividend's sign
    EXPECT_EQ(int64_t(TInt128(7) % TInt128(-2)), 1);
    // (2^62)^2 = 2^124, and back.
    const TInt128 big = TInt128(int64_t(1) << 62) * TInt128(int64_t(1) << 62);
    EXPECT_GT(big, TInt128(INT64_MAX));
    EXPECT_EQ(int64_t(big / TInt128(int64_t(1) << 62)), int64_t(1) << 62);
    EXPECT_LT(-big, TInt128(INT64_MIN));
    EXPECT_EQ(int64_t((big + TInt128(5)) % TInt128(int64_t(1) << 62)), 5);
    TInt128 counter = -1;
    ++counter;
    EXPECT_EQ(counter, TInt128(0));
    --counter;
    EXPECT_EQ(counter, TInt128(-1));
}

#ifdef __SIZEOF_INT128__
__extension__ typedef __int128 TBuiltIn;

TBuiltIn BuiltIn(int64_t a, int64_t b) { return TBuiltIn(a) * TBuiltIn(b) + TBuiltIn(b); }

TEST(Int128, AgreesWithTheCompilersOwn) {
    for (int64_t a : Values)
        for (int64_t b : Values) {
            const TInt128 x = Wide(a, b), y = Wide(b, a) + TInt128(1);
            const TBuiltIn bx = BuiltIn(a, b), by = BuiltIn(b, a) + 1;
            EXPECT_EQ(x < y, bx < by) << a << " " << b;
            if (by != 0) {
                EXPECT_EQ(int64_t(x / y), int64_t(bx / by)) << a << " " << b;
                EXPECT_EQ(int64_t(x % y), int64_t(bx % by)) << a << " " << b;
            }
            if (b != 0) {
                EXPECT_EQ(int64_t(x / TInt128(b)), int64_t(bx / b)) << a << " " << b;
                EXPECT_EQ(int64_t((x / TInt128(b)) >= TInt128(0)), int64_t(bx / b >= 0));
            }
        }
}
#endif

}  // namespace
}  // namespace gridloom
