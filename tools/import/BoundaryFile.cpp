#include "tools/import/BoundaryFile.h"

#include <cstring>
#include <limits>

#include "platform/ReplacementFile.h"

namespace gridloom::import {
namespace {

void PutInt32(std::vector<uint8_t>& bytes, int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(bits >> shift));
}

void PutInt16(std::vector<uint8_t>& bytes, int16_t value) {
    const auto bits = static_cast<uint16_t>(value);
    bytes.push_back(static_cast<uint8_t>(bits));
    bytes.push_back(static_cast<uint8_t>(bits >> 8));
}

}  // namespace

std::vector<uint8_t> EncodeBoundaryFile(const std::vector<BoundarySegment>& segments) {
    std::size_t size = 5;
    for (const BoundarySegment& segment : segments) size += 5 + 4 * segment.Points.size();
    std::vector<uint8_t> bytes;
    bytes.reserve(size);
    for (const BoundarySegment& segment : segments) {
        if (segment.Points.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max() / 4))
            throw ImportError("a segment has too many points for the file format");
        PutInt32(bytes, static_cast<int32_t>(segment.Points.size()));
        bytes.push_back(segment.Kind);
        for (const BoundaryPoint& point : segment.Points) {
            PutInt16(bytes, point.Longitude);
            PutInt16(bytes, point.Latitude);
        }
    }
    PutInt32(bytes, 0);
    bytes.push_back(0);
    return bytes;
}

void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    TReplacementFile file(path);
    file.Write(bytes.data(), bytes.size());
    if (file.Commit(true)) return;
    std::string what;
    switch (file.FailedStep()) {
    case TReplacementFile::TStep::Target:
        throw ImportError(path + ": is " + file.TargetKind() + ", not a regular file; nothing written");
    case TReplacementFile::TStep::Create: what = path + ": cannot create a temporary file in " + file.Folder(); break;
    case TReplacementFile::TStep::Sync: what = path + ": cannot flush to disk"; break;
    case TReplacementFile::TStep::Rename: what = path + ": cannot replace"; break;
    default: what = path + ": cannot write"; break;
    }
    throw ImportError(what + ": " + std::strerror(file.FailedErrno()));
}

ImportFigures Measure(const std::vector<BoundarySegment>& segments) {
    ImportFigures figures;
    for (const BoundarySegment& segment : segments) {
        ++figures.SegmentsPerKind[segment.Kind];
        ++figures.Segments;
        figures.Points += segment.Points.size();
        figures.LargestSegment = std::max(figures.LargestSegment, segment.Points.size());
    }
    return figures;
}

std::string DescribeFigures(const ImportFigures& figures) {
    std::string text = std::to_string(figures.Segments) + " segments (";
    bool first = true;
    for (std::size_t kind = 0; kind < figures.SegmentsPerKind.size(); ++kind) {
        if (figures.SegmentsPerKind[kind] == 0) continue;
        if (!first) text += ", ";
        first = false;
        text += "kind " + std::to_string(kind) + ": " + std::to_string(figures.SegmentsPerKind[kind]);
    }
    text += "), " + std::to_string(figures.Points) + " points, largest segment " +
            std::to_string(figures.LargestSegment) + " points";
    return text;
}

}  // namespace gridloom::import
