// The millisecond tick counter: a monotonic clock that wraps around every 49.7 days.
#pragma once

#include <cstdint>

namespace gridloom {

class ITickSource {
public:
    virtual ~ITickSource() = default;
    virtual uint32_t TickCount() = 0;  // milliseconds since some fixed moment, modulo 2^32
};

// The system's monotonic clock.
ITickSource& SystemTicks();

}  // namespace gridloom
