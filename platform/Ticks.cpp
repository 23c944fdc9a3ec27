#include "platform/Ticks.h"

#include <chrono>

namespace gridloom {

namespace {
class TSteadyTicks final : public ITickSource {
public:
    uint32_t TickCount() override {
        auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    }
};
}  // namespace

ITickSource& SystemTicks() {
    static TSteadyTicks ticks;
    return ticks;
}

}  // namespace gridloom
