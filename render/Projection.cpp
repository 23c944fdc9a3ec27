#include "render/Projection.h"

#include <cmath>
#include <limits>

namespace gridloom {

namespace {

// Rounds half to even, as the default floating-point rounding mode does, without a library
// call: the boundary drawing projects millions of points, and nearbyint's bookkeeping of
// the floating-point environment costs more than the projection itself. Adding and taking
// away 2^52 leaves no room for a fraction, so the hardware rounds the value to an integer.
inline double RoundHalfEven(double v) {
    constexpr double Shift = 4503599627370496.0;  // 2^52
    if (!(std::fabs(v) < Shift)) return v;        // already whole (or not a number)
    return v >= 0 ? (v + Shift) - Shift : (v - Shift) + Shift;
}

// Values beyond the 32-bit range cannot be a pixel anyone draws; they are held at the range's
// ends (and a non-number at 0) instead of converting them, which would be undefined.
inline int32_t ToPixel(double v) {
    if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    if (v != v) return 0;
    return static_cast<int32_t>(v);
}

}  // namespace

TPoint LonLatToPixel(double longitude, double latitude) {
    if (longitude > 180) longitude -= 360;
    // Add, multiply, divide in this order: ties such as 0.25 degrees -> 3965.5 must come
    // out of exactly this arithmetic to round the way Skylune's own projection does.
    const double x = (longitude + 180) * MasterWidth / 360;
    const double y = (90 - latitude) * MasterHeight / 180;
    return {ToPixel(RoundHalfEven(x)), ToPixel(RoundHalfEven(y))};
}

}  // namespace gridloom
