#include "data/Cartography.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/FileContents.h"

namespace gridloom {

TByteStream::TByteStream(const void* data, std::size_t size)
    : FData(static_cast<const unsigned char*>(data)), FSize(data ? size : 0) {}

void TByteStream::SetPosition(std::size_t position) { FPosition = std::min(position, FSize); }

std::size_t TByteStream::Read(void* buffer, std::size_t count) {
    const std::size_t n = std::min(count, FSize - FPosition);
    if (n > 0) {
        std::memcpy(buffer, FData + FPosition, n);
        FPosition += n;
    }
    return n;
}

namespace {

constexpr std::size_t HeaderSize = 5;
// Segment indices are int, point positions 32-bit: beyond these the file is refused as
// damaged. Either takes a file of more than ten gigabytes.
constexpr std::size_t MaxSegments = INT_MAX;
constexpr std::size_t MaxTotalPoints = UINT32_MAX;

// The header's fields are decoded from their bytes, so the host's byte order does not matter.
int32_t DecodeCount(const unsigned char* bytes) {
    const uint32_t value =
        uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    return static_cast<int32_t>(value);
}

void PointsToHostOrder([[maybe_unused]] BoundaryPoint* points, [[maybe_unused]] std::size_t count) {
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

// Where and how a walk through the records ended.
struct TWalk {
    std::size_t Size = 0;  // of all the data, from its first byte
    std::size_t Segments = 0;
    std::size_t Points = 0;
    std::size_t End = 0;  // the position after the last byte read
    int32_t MaxPoints = 0;
    bool Damaged = false;
    std::size_t StopOffset = 0;
    const char* Damage = "";
};

namespace {

// Walks the records of data[begin, size) by the format's rules, calling
// keep(kind, count, offsetOfPoints) for each record that is kept, in order. Decides every
// question of where the data end and whether they are damaged, so that the file and the
// stream are read by one set of rules.
template <class Keep>
TWalk WalkRecords(const unsigned char* data, std::size_t begin, std::size_t size, Keep&& keep) {
    TWalk walk;
    walk.Size = size;
    std::size_t pos = begin;
    const auto stop = [&](std::size_t at, const char* why) {
        walk.Damaged = true;
        walk.StopOffset = at;
        walk.Damage = why;
    };
    for (;;) {
        const std::size_t start = pos;
        const std::size_t left = size - pos;
        // A header cut short by the end leaves the missing bytes zero, as if the fields had
        // been read into a zeroed record.
        unsigned char header[HeaderSize] = {0, 0, 0, 0, 0};
        if (left > 0) std::memcpy(header, data + pos, std::min(left, HeaderSize));
        const int32_t count = DecodeCount(header);
        // Raised before the end test, so a terminator's Count counts too.
        walk.MaxPoints = std::max(walk.MaxPoints, count);
        if (left <= HeaderSize) {
            // Five bytes are a terminator, none the end right after a point array; anything
            // in between is a record cut short.
            pos = size;
            if (left != 0 && left != HeaderSize) stop(start, "the data end in the middle of a record");
            break;
        }
        pos += HeaderSize;
        // A Count that is negative, or that asks for more points than the bytes left could
        // hold, means the file is damaged or cut short: the load ends here, before anything
        // is allocated for it, so no file can make the reader ask for more memory than the
        // file's own size.
        if (count < 0) {
            stop(start, "a record has a negative number of points");
            break;
        }
        const std::size_t points = static_cast<std::size_t>(count);
        if (points > (size - pos) / sizeof(BoundaryPoint)) {
            stop(start, "a record has more points than the data hold");
            break;
        }
        if (walk.Segments == MaxSegments || walk.Points + points > MaxTotalPoints) {
            stop(start, "there are more records than this program can hold");
            break;
        }
        keep(header[4], points, pos);
        pos += points * sizeof(BoundaryPoint);
        ++walk.Segments;
        walk.Points += points;
    }
    walk.End = pos;
    return walk;
}

// The reason a file cannot be read, in the system's words.
std::string ReasonFor(int error) { return std::strerror(error); }

}  // namespace

TCartogList::TCartogList() = default;

TCartogList::~TCartogList() {
    // Clear is virtual, but a destructor only ever reaches this class's own version,
    // which is the one that frees what this class owns.
    TCartogList::Clear();
}

void TCartogList::ReleasePoints() {
    std::free(FPoints);
    FPoints = nullptr;
    FPointCount = 0;
    FPointCapacity = 0;
}

bool TCartogList::ReservePoints(std::size_t count) {
    if (count <= FPointCapacity) return true;
    void* grown = std::realloc(FPoints, count * sizeof(BoundaryPoint));
    if (grown == nullptr) return false;
    FPoints = static_cast<BoundaryPoint*>(grown);
    FPointCapacity = count;
    return true;
}

void TCartogList::Clear() {
    ReleasePoints();
    // Swapped with empty vectors, so that their memory is returned, not just emptied.
    std::vector<uint32_t>{0}.swap(FStarts);
    std::vector<uint8_t>().swap(FKinds);
    FMaxPoints = 0;
    FReport = TLoadReport();
}

void TCartogList::AddSegment(std::unique_ptr<TLineSegment> segment) {
    const std::size_t count = segment && segment->Points && segment->Count > 0 ? std::size_t(segment->Count) : 0;
    if (FKinds.size() >= MaxSegments || FPointCount + count > MaxTotalPoints)
        throw std::length_error("too many boundary segments");
    if (!ReservePoints(std::max(FPointCount + count, FPointCapacity + FPointCapacity / 2))) throw std::bad_alloc();
    // Room for one more is made before anything changes, so that a failed allocation leaves
    // the list as it was; by half as much again, since a reserve of exactly one more would
    // copy the whole list at every addition.
    const auto makeRoom = [](auto& items) {
        if (items.size() == items.capacity()) items.reserve(items.size() + items.size() / 2 + 1);
    };
    makeRoom(FStarts);
    makeRoom(FKinds);
    if (count > 0) std::memcpy(FPoints + FPointCount, segment->Points.get(), count * sizeof(BoundaryPoint));
    FPointCount += count;
    FStarts.push_back(static_cast<uint32_t>(FPointCount));
    FKinds.push_back(segment ? segment->Kind : 0);
}

const TLineSegment TCartogList::GetSegment(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= FKinds.size())
        throw std::out_of_range("segment index out of range");
    const std::size_t i = static_cast<std::size_t>(index);
    const uint32_t first = FStarts[i];
    const auto count = static_cast<int32_t>(FStarts[i + 1] - first);
    return TLineSegment{count, FKinds[i], TSegmentPoints::View(count > 0 ? FPoints + first : nullptr)};
}

void TCartogList::LoadFromFile(const std::string& path) {
    Clear();
    ReadFromFile(path);
}

void TCartogList::ReadFromFile(const std::string& path) {
    const auto unreadable = [&](int error) {
        FReport.File = TLoadReport::TFile::Unreadable;
        FReport.FileError = ReasonFor(error);
    };
    TFileContents contents = ReadWholeFile(path);
    switch (contents.Status) {
    case TFileContents::TStatus::Missing:
        FReport.File = TLoadReport::TFile::Missing;
        FReport.FileError.clear();
        return;
    case TFileContents::TStatus::NotRegular:
        // Only a regular file has a size worth trusting: a device or a pipe would report
        // nonsense or never end.
        FReport.File = TLoadReport::TFile::Unreadable;
        FReport.FileError = "Not a regular file";
        return;
    case TFileContents::TStatus::Failed: unreadable(contents.Error); return;
    case TFileContents::TStatus::Read: break;
    }
    unsigned char* bytes = contents.Bytes;
    const std::size_t size = contents.Size;

    // The file's bytes become the point array: each record's points move towards the front,
    // over headers already read but never past the next record, since every record read so
    // far leaves its five header bytes behind.
    Clear();
    const TWalk measured = WalkRecords(bytes, 0, size, [](uint8_t, std::size_t, std::size_t) {});
    if (!ReserveSegments(measured.Segments)) {
        std::free(bytes);
        unreadable(ENOMEM);
        return;
    }
    FPoints = reinterpret_cast<BoundaryPoint*>(bytes);
    FPointCapacity = size / sizeof(BoundaryPoint);
    const TWalk walk = WalkRecords(bytes, 0, size, [&](uint8_t kind, std::size_t count, std::size_t from) {
        if (count > 0) std::memmove(FPoints + FPointCount, bytes + from, count * sizeof(BoundaryPoint));
        Append(kind, count);
    });
    // What the records did not need is given back; realloc shrinks a large block in place.
    if (FPointCount == 0) {
        ReleasePoints();
    } else if (void* shrunk = std::realloc(FPoints, FPointCount * sizeof(BoundaryPoint))) {
        FPoints = static_cast<BoundaryPoint*>(shrunk);
        FPointCapacity = FPointCount;
    }
    Finish(walk);
}

void TCartogList::LoadFromStream(TByteStream& stream) {
    Clear();
    const unsigned char* data = stream.Data();
    const std::size_t size = stream.Size();
    // The first walk only measures, so that the arrays are allocated once, at their size.
    const TWalk measured = WalkRecords(data, stream.Position(), size, [](uint8_t, std::size_t, std::size_t) {});
    if (!ReserveSegments(measured.Segments) || !ReservePoints(measured.Points)) {
        // An allocation that fails ends the load like any other read error.
        Clear();
        FMaxPoints = measured.MaxPoints;
        stream.SetPosition(size);
        return;
    }
    const TWalk walk =
        WalkRecords(data, stream.Position(), size, [&](uint8_t kind, std::size_t count, std::size_t from) {
            if (count > 0) std::memcpy(FPoints + FPointCount, data + from, count * sizeof(BoundaryPoint));
            Append(kind, count);
        });
    Finish(walk);
    stream.SetPosition(walk.End);
}

bool TCartogList::ReserveSegments(std::size_t count) {
    try {
        FStarts.reserve(count + 1);
        FKinds.reserve(count);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void TCartogList::Append(uint8_t kind, std::size_t count) {
    PointsToHostOrder(FPoints + FPointCount, count);
    FPointCount += count;
    FStarts.push_back(static_cast<uint32_t>(FPointCount));
    FKinds.push_back(kind);
}

void TCartogList::Finish(const TWalk& walk) {
    FMaxPoints = walk.MaxPoints;
    FReport.Damaged = walk.Damaged;
    FReport.StopOffset = walk.StopOffset;
    FReport.DataSize = walk.Size;
    FReport.Damage = walk.Damage;
}

}  // namespace gridloom
