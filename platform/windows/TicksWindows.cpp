#include "platform/Ticks.h"

#include "platform/windows/WinApi.h"

namespace gridloom {

namespace {
class TSystemTicks final : public ITickSource {
public:
    uint32_t TickCount() override { return ::GetTickCount(); }
};
}  // namespace

ITickSource& SystemTicks() {
    static TSystemTicks ticks;
    return ticks;
}

}  // namespace gridloom
