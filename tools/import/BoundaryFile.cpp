#include "tools/import/BoundaryFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <limits>
#include <unistd.h>

namespace gridloom::import {
namespace {

void PutInt32(std::vector<uint8_t>& bytes, int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<uint8_t>(bits >> shift));
}

void PutInt16(std::vector<uint8_t>& bytes, int16_t value)
{
    const auto bits = static_cast<uint16_t>(value);
    bytes.push_back(static_cast<uint8_t>(bits));
    bytes.push_back(static_cast<uint8_t>(bits >> 8));
}

std::string SystemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

}  // namespace

std::vector<uint8_t> EncodeBoundaryFile(const std::vector<BoundarySegment>& segments)
{
    std::size_t size = 5;
    for (const BoundarySegment& segment : segments)
        size += 5 + 4 * segment.Points.size();
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

void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const std::filesystem::path target(path);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        throw ImportError(SystemError(path + ": cannot create a temporary file in " + folder.string()));

    const auto fail = [&](const std::string& what) {
        const std::string message = SystemError(what);
        ::close(fd);
        ::unlink(temporary.c_str());
        throw ImportError(message);
    };
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(path + ": cannot write");
        }
        written += static_cast<std::size_t>(n);
    }
    // mkstemp makes the file private; a boundary file is ordinary data that anyone may read.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0)
        fail(path + ": cannot set the permissions");
    if (::fsync(fd) != 0)
        fail(path + ": cannot flush to disk");
    if (::close(fd) != 0) {
        const std::string message = SystemError(path + ": cannot write");
        ::unlink(temporary.c_str());
        throw ImportError(message);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string message = SystemError(path + ": cannot replace");
        ::unlink(temporary.c_str());
        throw ImportError(message);
    }
}

ImportFigures Measure(const std::vector<BoundarySegment>& segments)
{
    ImportFigures figures;
    for (const BoundarySegment& segment : segments) {
        ++figures.SegmentsPerKind[segment.Kind];
        ++figures.Segments;
        figures.Points += segment.Points.size();
        figures.LargestSegment = std::max(figures.LargestSegment, segment.Points.size());
    }
    return figures;
}

std::string DescribeFigures(const ImportFigures& figures)
{
    std::string text = std::to_string(figures.Segments) + " segments (";
    bool first = true;
    for (std::size_t kind = 0; kind < figures.SegmentsPerKind.size(); ++kind) {
        if (figures.SegmentsPerKind[kind] == 0)
            continue;
        if (!first)
            text += ", ";
        first = false;
        text += "kind " + std::to_string(kind) + ": " + std::to_string(figures.SegmentsPerKind[kind]);
    }
    text += "), " + std::to_string(figures.Points) + " points, largest segment " +
            std::to_string(figures.LargestSegment) + " points";
    return text;
}

}  // namespace gridloom::import
