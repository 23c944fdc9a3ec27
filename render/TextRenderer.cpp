// What every text backend shares: the one renderer of the process and the point-to-pixel
// rule.
#include "render/TextRenderer.h"

#include <algorithm>
#include <cstdlib>

namespace gridloom {

namespace {
constexpr int MaxPixelSize = 400;
}  // namespace

std::shared_ptr<TTextRenderer> TTextRenderer::Shared() {
    static const std::shared_ptr<TTextRenderer> shared = std::make_shared<TTextRenderer>();
    return shared;
}

int TTextRenderer::PixelSize(int32_t points) {
    int64_t pt = points == 0 ? 8 : std::llabs(int64_t(points));
    // points x 4/3 never ends in a half, so rounding half up is rounding to nearest.
    const int64_t px = (pt * 96 + 36) / 72;
    return int(std::clamp<int64_t>(px, 1, MaxPixelSize));
}

}  // namespace gridloom
