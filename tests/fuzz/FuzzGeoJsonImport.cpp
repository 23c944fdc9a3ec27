// Feeds arbitrary text to the GeoJSON importer as the program would see it, under a kind
// taken from the first byte, and holds what comes out to the rules of the boundary file:
// the conversion either fails with ImportError or yields segments that lie on the map,
// have enough points to be drawn and no repeated neighbours, and read back from their
// encoded bytes exactly, undamaged.
#include "data/Cartography.h"
#include "tools/import/BoundaryFile.h"
#include "tools/import/BoundaryImport.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

constexpr uint8_t Kinds[] = {0, 1, 4, 5, 8, 9, 2, 255};

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace gridloom;
    using namespace gridloom::import;
    if (size < 1) return 0;
    const uint8_t kind = Kinds[data[0] % sizeof Kinds];
    const nlohmann::json document = nlohmann::json::parse(data + 1, data + size, nullptr, false);
    if (document.is_discarded()) return 0;

    std::vector<BoundarySegment> segments;
    try {
        ConvertGeoJson(document, kind, "fuzz", segments, [](const std::string&) {});
    } catch (const ImportError&) {
        return 0;  // refused with a message: what the program reports and exits 1 on
    }
    // Any other exception escapes and is reported by the fuzzer as a crash.

    for (const BoundarySegment& segment : segments) {
        const bool line = (segment.Kind & 1) != 0;
        Check(segment.Points.size() >= (line ? 2u : 3u));
        for (std::size_t i = 0; i < segment.Points.size(); ++i) {
            const BoundaryPoint& p = segment.Points[i];
            Check(p.Longitude >= -180 * 60 && p.Longitude <= 180 * 60);
            if (i > 0)
                Check(p.Longitude != segment.Points[i - 1].Longitude || p.Latitude != segment.Points[i - 1].Latitude);
        }
    }

    const std::vector<uint8_t> bytes = EncodeBoundaryFile(segments);
    TByteStream stream(bytes.data(), bytes.size());
    TCartogList list;
    list.LoadFromStream(stream);
    Check(!list.LoadReport().Damaged);
    Check(list.Count() == static_cast<int>(segments.size()));
    for (int i = 0; i < list.Count(); ++i) {
        const TLineSegment read = list.GetSegment(i);
        const BoundarySegment& written = segments[static_cast<std::size_t>(i)];
        Check(read.Kind == written.Kind);
        Check(read.Count == static_cast<int32_t>(written.Points.size()));
        for (int32_t j = 0; j < read.Count; ++j)
            Check(read.Points[j].Longitude == written.Points[j].Longitude &&
                  read.Points[j].Latitude == written.Points[j].Latitude);
    }
    return 0;
}
