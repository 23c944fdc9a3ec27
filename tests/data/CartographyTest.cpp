#include "data/Cartography.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include <utility>
#include <vector>

#include "tests/platform/TempFolder.h"

namespace gridloom {
namespace {

// Builds boundary data byte by byte, little-endian whatever the host.
class DataBuilder {
public:
    DataBuilder& Header(int32_t count, uint8_t kind) {
        for (int i = 0; i < 4; ++i) Byte(static_cast<uint8_t>(static_cast<uint32_t>(count) >> (8 * i)));
        return Byte(kind);
    }
    DataBuilder& Point(int16_t longitude, int16_t latitude) { return Int16(longitude).Int16(latitude); }
    DataBuilder& Int16(int16_t value) {
        return Byte(static_cast<uint8_t>(value & 0xff)).Byte(static_cast<uint8_t>(static_cast<uint16_t>(value) >> 8));
    }
    DataBuilder& Byte(uint8_t value) {
        FBytes.push_back(value);
        return *this;
    }
    const std::vector<uint8_t>& Bytes() const { return FBytes; }

private:
    std::vector<uint8_t> FBytes;
};

using PointList = std::vector<std::pair<int16_t, int16_t>>;

struct TSegment {
    uint8_t Kind;
    PointList Points;
};

void Load(TCartogList& list, const std::vector<uint8_t>& bytes) {
    TByteStream stream(bytes.data(), bytes.size());
    list.LoadFromStream(stream);
}

// Not damaged: the load went to the end of the data.
constexpr std::size_t Whole = SIZE_MAX;

// Every segment, kind and point the list holds, its MaxPoints, and where damage stopped the
// load (Whole when it did not).
void ExpectList(const TCartogList& list, const std::vector<TSegment>& expected, int32_t maxPoints,
                std::size_t stop = Whole) {
    EXPECT_EQ(list.MaxPoints(), maxPoints);
    EXPECT_EQ(list.LoadReport().Damaged, stop != Whole);
    if (stop != Whole) {
        EXPECT_EQ(list.LoadReport().StopOffset, stop);
        EXPECT_FALSE(list.LoadReport().Damage.empty());
    }
    ASSERT_EQ(list.Count(), static_cast<int>(expected.size()));
    for (int i = 0; i < list.Count(); ++i) {
        const TLineSegment& segment = list.GetSegment(i);
        EXPECT_EQ(segment.Kind, expected[i].Kind) << "segment " << i;
        ASSERT_EQ(segment.Count, static_cast<int32_t>(expected[i].Points.size())) << "segment " << i;
        if (segment.Count == 0) {
            EXPECT_EQ(segment.Points, nullptr) << "segment " << i;
        }
        PointList points;
        for (int32_t j = 0; j < segment.Count; ++j)
            points.emplace_back(segment.Points[j].Longitude, segment.Points[j].Latitude);
        EXPECT_EQ(points, expected[i].Points) << "segment " << i;
    }
}

// Data loaded first, so that every case also shows a load leaving nothing of the last one.
std::vector<uint8_t> Previous() {
    return DataBuilder().Header(3, 7).Point(9, 9).Point(9, 8).Point(9, 7).Header(40, 0).Bytes();
}

struct TLoadCase {
    std::string Name;
    std::vector<uint8_t> Bytes;
    std::vector<TSegment> Segments;
    int32_t MaxPoints;
    std::size_t Stop = Whole;  // the first byte of the damaged record that ended the load
};
// Test listings name a case rather than dump its bytes.
void PrintTo(const TLoadCase& c, std::ostream* os) { *os << c.Name; }

std::vector<TLoadCase> LoadCases() {
    std::vector<TLoadCase> cases = {
        {"SegmentsInFileOrderWithPointsAsStored",
         DataBuilder()
             .Header(2, 0)
             .Point(-10800, 5400)
             .Point(10799, -5400)
             .Header(1, 9)
             .Point(-1, 1)
             .Header(0, 0)
             .Bytes(),
         {{0, {{-10800, 5400}, {10799, -5400}}}, {9, {{-1, 1}}}},
         2},
        {"EmptyData", {}, {}, 0},
        // MaxPoints follows every Count read, a terminator's too.
        {"TerminatorAloneRaisesMaxPoints", DataBuilder().Header(777, 0).Bytes(), {}, 777},
        {"NegativeTerminator", DataBuilder().Header(-5, 0).Bytes(), {}, 0},
        {"TerminatorCountAboveEverySegment",
         DataBuilder().Header(1, 0).Point(1, 1).Header(50, 0).Bytes(),
         {{0, {{1, 1}}}},
         50},
        {"DataEndingRightAfterPoints",
         DataBuilder().Header(1, 0).Point(1, 2).Header(2, 1).Point(3, 4).Point(5, 6).Bytes(),
         {{0, {{1, 2}}}, {1, {{3, 4}, {5, 6}}}},
         2},
        {"ZeroCountInTheMiddleStaysAsEmptySegment",
         DataBuilder().Header(1, 0).Point(1, 2).Header(0, 5).Header(1, 1).Point(3, 4).Bytes(),
         {{0, {{1, 2}}}, {5, {}}, {1, {{3, 4}}}},
         1},
        {"UndrawnKindsAreStillLoaded",
         DataBuilder().Header(1, 2).Point(0, 0).Header(1, 255).Point(0, 0).Bytes(),
         {{2, {{0, 0}}}, {255, {{0, 0}}}},
         1},
        // The low bytes of a Count of 300, then nothing: read into zeroed fields, not kept.
        {"HeaderCutShort",
         DataBuilder().Header(1, 0).Point(1, 1).Byte(0x2c).Byte(0x01).Bytes(),
         {{0, {{1, 1}}}},
         300,
         9},

        // Damaged and crafted data: the load ends at the bad record, keeps what came before,
        // and never allocates for what the data cannot hold.
        {"NegativeCountEndsTheLoad",
         DataBuilder().Header(1, 0).Point(1, 1).Header(-1, 0).Point(2, 2).Header(1, 0).Point(3, 3).Bytes(),
         {{0, {{1, 1}}}},
         1,
         9},
        {"MostNegativeCountEndsTheLoad", DataBuilder().Header(INT32_MIN, 0).Point(2, 2).Bytes(), {}, 0, 0},
        // Were this honoured it would ask for 8 GiB; the sanitizer build would abort on it.
        {"HugeCountEndsTheLoadWithoutAllocating",
         DataBuilder().Header(1, 0).Point(1, 1).Header(INT32_MAX, 0).Point(2, 2).Point(3, 3).Bytes(),
         {{0, {{1, 1}}}},
         INT32_MAX,
         9},
        // Half of the third point's longitude is all that is left.
        {"PointArrayCutShortIsDropped",
         DataBuilder().Header(1, 0).Point(1, 1).Header(3, 1).Point(5, 5).Point(6, 6).Byte(7).Bytes(),
         {{0, {{1, 1}}}},
         3,
         9},
        // Two points announced, six bytes present.
        {"CountOneBeyondTheBytesLeftIsDropped", DataBuilder().Header(2, 0).Point(1, 1).Int16(0).Bytes(), {}, 2, 0},
        // One byte past a point array is a record cut short too; five are a terminator.
        {"OneStrayByteAtTheEnd", DataBuilder().Header(1, 0).Point(1, 1).Byte(0).Bytes(), {{0, {{1, 1}}}}, 1, 9},
    };
    // Many empty records do not loop; the last five bytes are read as the terminator.
    TLoadCase many{"ManyEmptyRecords", {}, {}, 0};
    DataBuilder data;
    for (int i = 0; i < 10000; ++i) {
        data.Header(0, static_cast<uint8_t>(i));
        if (i < 9999) many.Segments.push_back({static_cast<uint8_t>(i), {}});
    }
    many.Bytes = data.Bytes();
    cases.push_back(std::move(many));
    return cases;
}

class CartogListLoad : public ::testing::TestWithParam<TLoadCase> {};

TEST_P(CartogListLoad, FromStreamAndFileOverEarlierData) {
    const TLoadCase& c = GetParam();
    TCartogList list;
    Load(list, c.Bytes);
    ExpectList(list, c.Segments, c.MaxPoints, c.Stop);

    TCartogList reused;
    Load(reused, Previous());
    Load(reused, c.Bytes);
    ExpectList(reused, c.Segments, c.MaxPoints, c.Stop);

    test::TTempFolder folder;
    const std::string path = folder / "Countries.dat";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(c.Bytes.data()), static_cast<std::streamsize>(c.Bytes.size()));
    Load(reused, Previous());
    reused.LoadFromFile(path);
    ExpectList(reused, c.Segments, c.MaxPoints, c.Stop);
    EXPECT_EQ(reused.LoadReport().File, TLoadReport::TFile::Read);
    EXPECT_EQ(reused.LoadReport().DataSize, c.Bytes.size());
}

INSTANTIATE_TEST_SUITE_P(Cases, CartogListLoad, ::testing::ValuesIn(LoadCases()),
                         [](const auto& info) { return info.param.Name; });

TEST(ByteStream, ReadStopsAtTheEnd) {
    const uint8_t data[3] = {1, 2, 3};
    TByteStream stream(data, sizeof data);
    uint8_t buffer[8] = {};
    EXPECT_EQ(stream.Read(buffer, 2), 2u);
    EXPECT_EQ(stream.Read(buffer, 8), 1u);
    EXPECT_EQ(buffer[0], 3);
    EXPECT_EQ(stream.Position(), 3u);
    EXPECT_EQ(stream.Read(buffer, 8), 0u);
    EXPECT_EQ(stream.Position(), 3u);
    stream.SetPosition(100);
    EXPECT_EQ(stream.Position(), 3u);
}

TEST(CartogList, ParsingStartsAtTheStreamsPosition) {
    DataBuilder data;
    data.Int16(0x7777).Header(1, 4).Point(8, 9);
    TByteStream stream(data.Bytes().data(), data.Bytes().size());
    stream.SetPosition(2);
    TCartogList list;
    list.LoadFromStream(stream);
    ExpectList(list, {{4, {{8, 9}}}}, 1);
}

TEST(CartogList, ClearEmptiesAndResetsMaxPoints) {
    TCartogList list;
    Load(list, Previous());
    list.Clear();
    ExpectList(list, {}, 0);
}

TEST(CartogList, AddSegmentAppendsACopyAndGetSegmentChecksTheIndex) {
    TCartogList list;
    Load(list, Previous());
    auto segment = std::make_unique<TLineSegment>();
    segment->Kind = 8;
    segment->Count = 2;
    segment->Points = std::make_unique<BoundaryPoint[]>(2);
    segment->Points[0] = {4, 5};
    segment->Points[1] = {6, 7};
    list.AddSegment(std::move(segment));
    // Points promised but never given, and a negative Count: added without points.
    auto hollow = std::make_unique<TLineSegment>();
    hollow->Count = 3;
    hollow->Kind = 1;
    list.AddSegment(std::move(hollow));
    auto negative = std::make_unique<TLineSegment>();
    negative->Count = -1;
    negative->Points = std::make_unique<BoundaryPoint[]>(1);
    list.AddSegment(std::move(negative));
    ExpectList(list, {{7, {{9, 9}, {9, 8}, {9, 7}}}, {8, {{4, 5}, {6, 7}}}, {1, {}}, {0, {}}}, 40);
    EXPECT_THROW(list.GetSegment(4), std::out_of_range);
    EXPECT_THROW(list.GetSegment(-1), std::out_of_range);
}

std::atomic<bool> CountingAllocations{false};
std::atomic<std::size_t> Allocations{0};

// Segments added one by one cost a number of allocations that grows with the logarithm of
// their number, not one or two each: otherwise every addition copies the whole list.
TEST(CartogList, AddingSegmentsOneByOneAllocatesRarely) {
    constexpr int Added = 100000;
    TCartogList list;
    Allocations = 0;
    CountingAllocations = true;
    for (int i = 0; i < Added; ++i) list.AddSegment(nullptr);
    CountingAllocations = false;
    EXPECT_LT(Allocations.load(), std::size_t(200));
    ASSERT_EQ(list.Count(), Added);
    EXPECT_EQ(list.GetSegment(Added - 1).Count, 0);
}

// What lies at the path decides between "missing" (the caller offers a download) and
// "cannot be read" (the caller names the reason); neither ever waits on a pipe.
struct TFileCase {
    const char* Name;
    std::function<std::string(const test::TTempFolder&)> Make;  // returns the path to load
    TLoadReport::TFile File;
    const char* Error;
};
void PrintTo(const TFileCase& c, std::ostream* os) { *os << c.Name; }

const TFileCase FileCases[] = {
    {"NoSuchFile", [](const test::TTempFolder& f) { return f / "no-such-file.dat"; }, TLoadReport::TFile::Missing, ""},
    {"InAFolderThatIsAFile",
     [](const test::TTempFolder& f) {
         std::ofstream(f / "plain") << "x";
         return f / "plain/Countries.dat";
     },
     TLoadReport::TFile::Missing, ""},
    {"DanglingLink",
     [](const test::TTempFolder& f) {
         EXPECT_EQ(::symlink("gone.dat", (f / "link.dat").c_str()), 0);
         return f / "link.dat";
     },
     TLoadReport::TFile::Missing, ""},
    {"Folder", [](const test::TTempFolder& f) { return f.Path(); }, TLoadReport::TFile::Unreadable, "Is a directory"},
    {"Pipe",
     [](const test::TTempFolder& f) {
         EXPECT_EQ(::mkfifo((f / "pipe.dat").c_str(), 0644), 0);
         return f / "pipe.dat";
     },
     TLoadReport::TFile::Unreadable, "Not a regular file"},
    {"Device", [](const test::TTempFolder&) { return std::string("/dev/zero"); }, TLoadReport::TFile::Unreadable,
     "Not a regular file"},
    {"EmptyFile",
     [](const test::TTempFolder& f) {
         std::ofstream(f / "empty.dat");
         return f / "empty.dat";
     },
     TLoadReport::TFile::Read, ""},
};

class CartogListFile : public ::testing::TestWithParam<TFileCase> {};

TEST_P(CartogListFile, ClearsToAnEmptyListAndSaysWhy) {
    const TFileCase& c = GetParam();
    test::TTempFolder folder;
    const std::string path = c.Make(folder);
    TCartogList list;
    Load(list, Previous());
    list.LoadFromFile(path);
    ExpectList(list, {}, 0);
    EXPECT_EQ(list.LoadReport().File, c.File);
    EXPECT_EQ(list.LoadReport().FileError, c.Error);
}

INSTANTIATE_TEST_SUITE_P(Paths, CartogListFile, ::testing::ValuesIn(FileCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(CartogListFile, ReadFromFileThatFailsKeepsTheListAsItWas) {
    TCartogList list;
    Load(list, Previous());
    list.ReadFromFile("/dev/null");
    EXPECT_EQ(list.LoadReport().File, TLoadReport::TFile::Unreadable);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.GetSegment(0).Kind, 7);
}

// A read that fails must not make the next, good one fail too.
TEST(CartogListFile, ReadFromFileAfterAFailedOneReadsTheFile) {
    test::TTempFolder folder;
    const std::string path = folder / "Countries.dat";
    const std::vector<uint8_t> bytes = DataBuilder().Header(1, 9).Point(4, 5).Bytes();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    for (const std::string& failing : {std::string("/dev/null"), folder.Path()}) {
        TCartogList list;
        list.ReadFromFile(failing);
        ASSERT_EQ(list.LoadReport().File, TLoadReport::TFile::Unreadable) << failing;
        list.ReadFromFile(path);
        EXPECT_EQ(list.LoadReport().File, TLoadReport::TFile::Read) << failing;
        EXPECT_EQ(list.LoadReport().FileError, "") << failing;
        ExpectList(list, {{9, {{4, 5}}}}, 1);

        list.ReadFromFile(failing);
        list.ReadFromFile(folder / "missing.dat");
        EXPECT_EQ(list.LoadReport().File, TLoadReport::TFile::Missing) << failing;
        EXPECT_EQ(list.LoadReport().FileError, "") << failing;
    }
}

// Bytes the C library has handed out, however it got them.
std::size_t HeapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A file of many records without points must not cost an allocation, or tens of bytes, per
// record: the list holds a handful of bytes per segment.
TEST(CartogListFile, RecordDenseFilesCostAFewBytesPerSegment) {
    constexpr int Records = 1 << 20;
    DataBuilder data;
    for (int i = 0; i < Records; ++i) data.Header(0, static_cast<uint8_t>(i & 9));
    test::TTempFolder folder;
    const std::string path = folder / "dense.dat";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.Bytes().data()), static_cast<std::streamsize>(data.Bytes().size()));

    for (bool fromFile : {false, true}) {
        const std::size_t before = HeapInUse();
        TCartogList list;
        if (fromFile)
            list.LoadFromFile(path);
        else
            Load(list, data.Bytes());
        const std::size_t used = HeapInUse() - before;
        ASSERT_EQ(list.Count(), Records - 1) << fromFile;  // the last record is the terminator
        EXPECT_LT(used, std::size_t(Records) * 6) << fromFile;
        EXPECT_EQ(list.GetSegment(Records - 2).Kind, (Records - 2) & 9);
        EXPECT_EQ(list.GetSegment(Records - 2).Points, nullptr);
    }
}

}  // namespace
}  // namespace gridloom

// Every allocation of this test program goes through here, so that a test can count those
// made while it looks.
void* operator new(std::size_t size) {
    if (gridloom::CountingAllocations) ++gridloom::Allocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
// The compiler sees free() given what new returned, not that this new is malloc underneath.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
#pragma GCC diagnostic pop
