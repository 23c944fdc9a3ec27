#include "data/Cartography.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace gridloom {

TByteStream::TByteStream(const void* data, std::size_t size)
    : FData(static_cast<const unsigned char*>(data)), FSize(data ? size : 0)
{
}

void TByteStream::SetPosition(std::size_t position)
{
    FPosition = std::min(position, FSize);
}

std::size_t TByteStream::Read(void* buffer, std::size_t count)
{
    const std::size_t n = std::min(count, FSize - FPosition);
    if (n > 0) {
        std::memcpy(buffer, FData + FPosition, n);
        FPosition += n;
    }
    return n;
}

TCartogList::TCartogList() = default;

TCartogList::~TCartogList()
{
    // Clear is virtual, but a destructor only ever reaches this class's own version,
    // which is the one that frees what this class owns.
    TCartogList::Clear();
}

void TCartogList::Clear()
{
    // Segments are freed in list order, each point array with its segment.
    for (auto& segment : FSegments)
        segment.reset();
    FMaxPoints = 0;
    FSegments.clear();
}

void TCartogList::AddSegment(std::unique_ptr<TLineSegment> segment)
{
    FSegments.push_back(std::move(segment));
}

const TLineSegment& TCartogList::GetSegment(int index) const
{
    return *FSegments.at(static_cast<std::size_t>(index));
}

void TCartogList::LoadFromFile(const std::string& path)
{
    Clear();
    ReadFromFile(path);
}

void TCartogList::ReadFromFile(const std::string& path)
{
    // Every failure is silent by design: the caller reads an empty list as "no data" and
    // offers the download, so there is nobody here to report to.
    try {
        // Only a regular file has a size worth trusting: a folder or a device would report
        // nonsense or never end.
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error))
            return;
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        if (error || size == 0)
            return;
        std::ifstream file(path, std::ios::binary);
        if (!file)
            return;
        std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
        if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
            return;
        TByteStream stream(bytes.data(), bytes.size());
        LoadFromStream(stream);
    } catch (...) {
    }
}

namespace {

// The header's fields are decoded from their bytes, so the host's byte order does not matter.
int32_t DecodeCount(const unsigned char (&bytes)[4])
{
    const uint32_t value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                           uint32_t(bytes[3]) << 24;
    return static_cast<int32_t>(value);
}

void PointsToHostOrder([[maybe_unused]] BoundaryPoint* points, [[maybe_unused]] std::size_t count)
{
    if constexpr (std::endian::native == std::endian::big) {
        const auto swap = [](int16_t value) {
            const auto bits = static_cast<uint16_t>(value);
            return static_cast<int16_t>(static_cast<uint16_t>(bits << 8 | bits >> 8));
        };
        for (std::size_t i = 0; i < count; ++i) {
            points[i].Longitude = swap(points[i].Longitude);
            points[i].Latitude = swap(points[i].Latitude);
        }
    }
}

}  // namespace

void TCartogList::LoadFromStream(TByteStream& stream)
{
    Clear();
    const std::size_t size = stream.Size();
    try {
        for (;;) {
            auto segment = std::make_unique<TLineSegment>();

            // A header cut short by the end leaves the missing bytes zero, as if the
            // fields had been read into a zeroed record.
            unsigned char countBytes[4] = {0, 0, 0, 0};
            stream.Read(countBytes, sizeof countBytes);
            segment->Count = DecodeCount(countBytes);
            // Raised before the end test, so a terminator's Count counts too.
            if (segment->Count > FMaxPoints)
                FMaxPoints = segment->Count;

            unsigned char kind = 0;
            stream.Read(&kind, 1);
            segment->Kind = kind;

            if (stream.Position() == size)
                return;  // terminator, or the end right after a point array

            // A Count that is negative, or that asks for more points than the bytes left
            // could hold, means the file is damaged or cut short: the load ends here, before
            // anything is allocated for it, so no file can make the reader ask for more
            // memory than the file's own size.
            if (segment->Count < 0)
                return;
            const std::size_t left = size - stream.Position();
            const std::size_t count = static_cast<std::size_t>(segment->Count);
            if (count > left / sizeof(BoundaryPoint))
                return;

            if (count > 0) {
                segment->Points.reset(new BoundaryPoint[count]);
                stream.Read(segment->Points.get(), count * sizeof(BoundaryPoint));
                PointsToHostOrder(segment->Points.get(), count);
            }
            AddSegment(std::move(segment));
        }
    } catch (...) {
        // An allocation that fails ends the load like any other read error; the segments
        // read so far stay.
    }
}

}  // namespace gridloom
