// Feeds arbitrary bytes to the boundary data reader and reads back every point it kept, so
// a segment whose Count promises more points than were allocated shows up as a bad read.
#include "data/Cartography.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    gridloom::TByteStream stream(data, size);
    gridloom::TCartogList list;
    list.LoadFromStream(stream);

    int64_t total = 0;
    for (int i = 0; i < list.Count(); ++i) {
        const gridloom::TLineSegment& segment = list.GetSegment(i);
        if (segment.Count > list.MaxPoints()) __builtin_trap();  // MaxPoints must bound every segment
        for (int32_t j = 0; j < segment.Count; ++j) total += segment.Points[j].Longitude + segment.Points[j].Latitude;
    }
    // Keeps the sums from being optimised away.
    volatile int64_t sink = total;
    (void)sink;
    return 0;
}
