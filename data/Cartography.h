// Boundary data: the segments of Countries.dat in memory.
//
// Countries.dat has no header. It is a sequence of records, all integers little-endian:
//   int32 Count, uint8 Kind, then Count points of (int16 longitude, int16 latitude),
//   both in minutes of arc, east and north positive.
// The end is recognised only by position: when the read position reaches the end of
// the data right after a record's Count and Kind, that record is a terminator and has
// no points. A file may end with such a five-byte record or right after a point array.
//
// Kind: bit 0 set is an open line, clear a closed filled area. Only 0, 1, 4, 5, 8 and 9
// are ever drawn; other kinds are kept in the list but not drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gridloom {

// One point exactly as the file stores it, so a segment's point array is the file's bytes.
struct BoundaryPoint {
    int16_t Longitude;  // minutes of arc, east positive; above 180 degrees means 360 less
    int16_t Latitude;   // minutes of arc, north positive
};
static_assert(sizeof(BoundaryPoint) == 4, "a point is four bytes in the file");

// A read-only view of bytes in memory with a read position: the stream the list parses.
class TByteStream {
public:
    TByteStream(const void* data, std::size_t size);

    std::size_t Size() const { return FSize; }
    std::size_t Position() const { return FPosition; }
    void SetPosition(std::size_t position);  // a position past the end is taken as the end

    // Copies up to count bytes to buffer and advances; returns how many were copied
    // (fewer at the end of the data, never more than is left). Reading at the end copies
    // nothing and leaves the position at the end.
    std::size_t Read(void* buffer, std::size_t count);

private:
    const unsigned char* FData;
    std::size_t FSize;
    std::size_t FPosition = 0;
};

// One polygon or polyline.
class TLineSegment {
public:
    int32_t Count = 0;                       // number of points
    uint8_t Kind = 0;                        // kind code, see above
    std::unique_ptr<BoundaryPoint[]> Points; // Count points, host byte order; null when Count is 0
};

// The ordered list of all segments of one boundary file, in file order. Owns its segments.
class TCartogList {
public:
    TCartogList();
    virtual ~TCartogList();
    TCartogList(const TCartogList&) = delete;
    TCartogList& operator=(const TCartogList&) = delete;

    // Frees every segment, sets MaxPoints to 0 and empties the list.
    virtual void Clear();

    void AddSegment(std::unique_ptr<TLineSegment> segment);

    // index must lie in 0 .. Count() - 1; outside it std::out_of_range is thrown.
    const TLineSegment& GetSegment(int index) const;

    int Count() const { return static_cast<int>(FSegments.size()); }

    // The largest Count read since the last Clear, a terminator's Count included.
    int32_t MaxPoints() const { return FMaxPoints; }

    // Clear, then ReadFromFile. A missing, unreadable or empty file leaves the list empty;
    // nothing is reported: the caller learns of it from Count() == 0.
    void LoadFromFile(const std::string& path);

    // Reads the whole file into memory in one piece and parses it with LoadFromStream.
    // Errors opening or reading the file are swallowed and leave the list as it was.
    void ReadFromFile(const std::string& path);

    // Clears the list and parses records from the stream's current position to its end.
    //
    // Each record's Count raises MaxPoints as soon as it is read, before anything else is
    // known about the record, so a terminator's Count counts and so does the Count of a
    // damaged record that ends the load.
    //
    // Damaged data is never an error; the load simply ends and the segments read before stay:
    //  - a header cut short by the end of the data: its missing bytes count as zero and the
    //    record is not kept (it is read like a terminator);
    //  - a negative Count: the record is not kept and the load ends;
    //  - a Count whose point array is longer than the bytes left, which includes a point
    //    array cut short by the end of the data: the record is dropped, not kept with
    //    made-up points, and the load ends. Nothing is allocated for it, so however they
    //    are crafted, the data never make the list hold more points than they contain.
    // A record with Count 0 in the middle of the data is kept, with no points.
    virtual void LoadFromStream(TByteStream& stream);

private:
    std::vector<std::unique_ptr<TLineSegment>> FSegments;
    int32_t FMaxPoints = 0;
};

}  // namespace gridloom
