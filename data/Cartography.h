// Boundary data: the segments of Countries.dat in memory.
//
// Countries.dat has no header. It is a sequence of records, all integers little-endian:
//   int32 Count, uint8 Kind, then Count points of (int16 longitude, int16 latitude),
//   both in minutes of arc, east and north positive.
// The end is recognised only by position: when the read position reaches the end of
// the data right after a record's Count and Kind, that record is a terminator and has
// no points. A file may end with such a five-byte record or right after a point array.
//
// Kind: bit 0 set is an open line, clear a closed filled area. Only the kinds of
// TBoundaryKind (0, 1, 4, 5, 8 and 9) are ever drawn; other kinds are kept in the list but
// not drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gridloom {

// The kind codes that are drawn. An area kind with bit 0 set (KindLineBit) is the line kind
// of the same family: its segments are drawn as open lines in the boundary colour.
enum class TBoundaryKind : uint8_t {
    Land = 0,         // filled green
    Border = 1,       // a country border
    LandInLake = 4,   // an island in a lake, filled green
    StateBorder = 5,  // a state or province border
    Water = 8,        // a lake or inland sea, filled navy
    WaterLine = 9,    // a river or shoreline
};
inline constexpr uint8_t KindLineBit = 1;

constexpr uint8_t KindCode(TBoundaryKind kind) { return static_cast<uint8_t>(kind); }
constexpr bool IsLineKind(uint8_t kind) { return (kind & KindLineBit) != 0; }
// The area kind of a code's family: the code with the line bit cleared.
constexpr uint8_t AreaKindOf(uint8_t kind) { return static_cast<uint8_t>(kind & ~KindLineBit); }

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
    void SetPosition(std::size_t position);              // a position past the end is taken as the end
    const unsigned char* Data() const { return FData; }  // all of the bytes, from the first

    // Copies up to count bytes to buffer and advances; returns how many were copied
    // (fewer at the end of the data, never more than is left). Reading at the end copies
    // nothing and leaves the position at the end.
    std::size_t Read(void* buffer, std::size_t count);

private:
    const unsigned char* FData;
    std::size_t FSize;
    std::size_t FPosition = 0;
};

// The points of one segment: either its own array (a segment built to be added to a list)
// or a read-only view of the list's single array of all points (a segment taken from a list,
// valid until the list changes). Used like the pointer to an array it stands for.
class TSegmentPoints {
public:
    TSegmentPoints() = default;
    TSegmentPoints(std::unique_ptr<BoundaryPoint[]> owned) : FOwned(std::move(owned)), FData(FOwned.get()) {}
    TSegmentPoints(TSegmentPoints&& other) noexcept : FOwned(std::move(other.FOwned)), FData(other.FData) {
        other.FData = nullptr;
    }
    TSegmentPoints& operator=(TSegmentPoints&& other) noexcept {
        if (this == &other) return *this;
        FOwned = std::move(other.FOwned);
        FData = other.FData;
        other.FData = nullptr;
        return *this;
    }
    TSegmentPoints& operator=(std::unique_ptr<BoundaryPoint[]> owned) {
        FOwned = std::move(owned);
        FData = FOwned.get();
        return *this;
    }
    static TSegmentPoints View(const BoundaryPoint* points) {
        TSegmentPoints view;
        view.FData = const_cast<BoundaryPoint*>(points);  // the list hands views out only as const segments
        return view;
    }

    const BoundaryPoint* get() const { return FData; }
    BoundaryPoint& operator[](std::size_t i) { return FData[i]; }
    const BoundaryPoint& operator[](std::size_t i) const { return FData[i]; }
    explicit operator bool() const { return FData != nullptr; }
    friend bool operator==(const TSegmentPoints& points, std::nullptr_t) { return points.FData == nullptr; }

private:
    std::unique_ptr<BoundaryPoint[]> FOwned;
    BoundaryPoint* FData = nullptr;
};

// One polygon or polyline.
class TLineSegment {
public:
    int32_t Count = 0;      // number of points
    uint8_t Kind = 0;       // kind code, see above
    TSegmentPoints Points;  // Count points, host byte order; null when Count is 0
};

// What the last load found, beyond the segments themselves.
struct TLoadReport {
    enum class TFile {
        Read,        // the file was read (its data may still be damaged, see below)
        Missing,     // there is no such file
        Unreadable,  // it exists but cannot be read: see FileError
    };
    TFile File = TFile::Read;
    std::string FileError;  // why the file cannot be read: "Permission denied", "Is a directory"...

    // The data ended the load early. The segments before StopOffset were kept.
    bool Damaged = false;
    std::size_t StopOffset = 0;  // the first byte of the record where reading stopped
    std::size_t DataSize = 0;    // the size of the data that was parsed
    std::string Damage;          // what was wrong there, as a phrase: "a negative point count"
};

struct TWalk;  // how a parse went, inside the reader

// The ordered list of all segments of one boundary file, in file order.
//
// The points of all segments lie in one array, each segment a run of it, so that a file of
// many short records costs a few bytes per record beyond its own size, not an allocation
// each. Segments are handed out as views of that array.
class TCartogList {
public:
    TCartogList();
    virtual ~TCartogList();
    TCartogList(const TCartogList&) = delete;
    TCartogList& operator=(const TCartogList&) = delete;

    // Frees every segment, sets MaxPoints to 0, empties the list and its load report.
    virtual void Clear();

    // Appends a copy of the segment's points and its kind. A segment without points, or
    // with a Count below 1, is added with none.
    void AddSegment(std::unique_ptr<TLineSegment> segment);

    // The segment at index, a view valid until the list next changes. index must lie in
    // 0 .. Count() - 1; outside it std::out_of_range is thrown.
    const TLineSegment GetSegment(int index) const;

    int Count() const { return static_cast<int>(FKinds.size()); }

    // The largest Count read since the last Clear, a terminator's Count included.
    int32_t MaxPoints() const { return FMaxPoints; }

    // What the last load found: whether the file could be read and where damaged data
    // ended it.
    const TLoadReport& LoadReport() const { return FReport; }

    // Clear, then ReadFromFile. A missing, unreadable or empty file leaves the list empty;
    // the load report says which it was.
    void LoadFromFile(const std::string& path);

    // Reads the whole file into memory in one piece and parses it as LoadFromStream does,
    // in place: the points are gathered at the front of the file's own bytes, so that the
    // file is never held twice. A file that cannot be opened or read (missing, no access,
    // a folder, a pipe or device, an I/O error) leaves the list as it was and is recorded in
    // the load report; nothing here waits on a pipe or reads a device.
    void ReadFromFile(const std::string& path);

    // Clears the list and parses records from the stream's current position to its end.
    //
    // Each record's Count raises MaxPoints as soon as it is read, before anything else is
    // known about the record, so a terminator's Count counts and so does the Count of a
    // damaged record that ends the load.
    //
    // Damaged data is never an error; the load simply ends, the segments read before stay,
    // and the load report records where and why:
    //  - a header cut short by the end of the data: its missing bytes count as zero and the
    //    record is not kept;
    //  - a negative Count: the record is not kept and the load ends;
    //  - a Count whose point array is longer than the bytes left, which includes a point
    //    array cut short by the end of the data: the record is dropped, not kept with
    //    made-up points, and the load ends. Nothing is allocated for it, so however they
    //    are crafted, the data never make the list hold more points than they contain;
    //  - more than 2^31 - 1 segments or 2^32 - 1 points in all (a file of over 10 GB).
    // A record with Count 0 in the middle of the data is kept, with no points.
    virtual void LoadFromStream(TByteStream& stream);

private:
    void ReleasePoints();
    bool ReservePoints(std::size_t count);
    bool ReserveSegments(std::size_t count);
    void Append(uint8_t kind, std::size_t count);  // the next count points of FPoints, as a segment
    void Finish(const TWalk& walk);

    // All points of all segments, segment after segment; allocated with malloc, so that the
    // file's own bytes can become the array and be shrunk in place.
    BoundaryPoint* FPoints = nullptr;
    std::size_t FPointCount = 0;
    std::size_t FPointCapacity = 0;
    std::vector<uint32_t> FStarts{0};  // segment i is points FStarts[i] .. FStarts[i + 1] - 1
    std::vector<uint8_t> FKinds;       // one per segment
    int32_t FMaxPoints = 0;
    TLoadReport FReport;
};

}  // namespace gridloom
