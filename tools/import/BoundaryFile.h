// Writing boundary segments as Countries.dat, and the figures the importer reports.
#pragma once

#include "tools/import/BoundaryImport.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace gridloom::import {

// The bytes of a boundary file: each segment's record (int32 Count, uint8 Kind, the points,
// little-endian on every host) in order, then a five-byte terminator with Count 0, which
// leaves the reader's MaxPoints at the largest segment.
std::vector<uint8_t> EncodeBoundaryFile(const std::vector<BoundarySegment>& segments);

// Writes bytes to path so that the file is either replaced whole or left as it was: they go
// to a temporary file in the same folder, which is flushed to disk and then renamed over
// path. A link is followed to the file it names, which is replaced; anything but a regular
// file in path's place is refused. On failure the temporary file is removed and ImportError
// is thrown.
void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

struct ImportFigures {
    std::array<std::size_t, 256> SegmentsPerKind{};
    std::size_t Segments = 0;
    std::size_t Points = 0;
    std::size_t LargestSegment = 0;  // points in the longest segment
};

ImportFigures Measure(const std::vector<BoundarySegment>& segments);

// One line, e.g. "12 segments (kind 0: 10, kind 1: 2), 345 points, largest segment 120 points".
std::string DescribeFigures(const ImportFigures& figures);

}  // namespace gridloom::import
