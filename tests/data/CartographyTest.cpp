#include "data/Cartography.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace gridloom {
namespace {

// Builds boundary data byte by byte, little-endian whatever the host.
class DataBuilder {
public:
    DataBuilder& Header(int32_t count, uint8_t kind)
    {
        Int32(count);
        FBytes.push_back(kind);
        return *this;
    }
    DataBuilder& Point(int16_t longitude, int16_t latitude)
    {
        Int16(longitude);
        Int16(latitude);
        return *this;
    }
    DataBuilder& Int32(int32_t value)
    {
        for (int i = 0; i < 4; ++i)
            FBytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
        return *this;
    }
    DataBuilder& Int16(int16_t value)
    {
        FBytes.push_back(static_cast<uint8_t>(value & 0xff));
        FBytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(value) >> 8));
        return *this;
    }
    const std::vector<uint8_t>& Bytes() const { return FBytes; }

private:
    std::vector<uint8_t> FBytes;
};

void Load(TCartogList& list, const std::vector<uint8_t>& bytes)
{
    TByteStream stream(bytes.data(), bytes.size());
    list.LoadFromStream(stream);
}

TEST(ByteStream, ReadStopsAtTheEnd)
{
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

TEST(CartogList, ReadsSegmentsInFileOrderWithPointsAsStored)
{
    DataBuilder data;
    data.Header(2, 0).Point(-10800, 5400).Point(10799, -5400);
    data.Header(1, 9).Point(-1, 1);
    data.Header(0, 0);
    TCartogList list;
    Load(list, data.Bytes());
    ASSERT_EQ(list.Count(), 2);
    const TLineSegment& first = list.GetSegment(0);
    EXPECT_EQ(first.Count, 2);
    EXPECT_EQ(first.Kind, 0);
    EXPECT_EQ(first.Points[0].Longitude, -10800);
    EXPECT_EQ(first.Points[0].Latitude, 5400);
    EXPECT_EQ(first.Points[1].Longitude, 10799);
    EXPECT_EQ(first.Points[1].Latitude, -5400);
    const TLineSegment& second = list.GetSegment(1);
    EXPECT_EQ(second.Kind, 9);
    EXPECT_EQ(second.Points[0].Longitude, -1);
    EXPECT_EQ(second.Points[0].Latitude, 1);
    EXPECT_EQ(list.MaxPoints(), 2);
}

TEST(CartogList, TerminatorAloneGivesEmptyListButRaisesMaxPoints)
{
    TCartogList list;
    Load(list, DataBuilder().Header(777, 0).Bytes());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.MaxPoints(), 777);

    Load(list, DataBuilder().Header(-5, 0).Bytes());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.MaxPoints(), 0);
}

TEST(CartogList, TerminatorCountAboveEverySegmentIsTheMax)
{
    DataBuilder data;
    data.Header(1, 0).Point(1, 1).Header(50, 0);
    TCartogList list;
    Load(list, data.Bytes());
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.MaxPoints(), 50);
}

TEST(CartogList, DataEndingRightAfterPointsKeepsEverySegment)
{
    DataBuilder data;
    data.Header(1, 0).Point(1, 2).Header(2, 1).Point(3, 4).Point(5, 6);
    TCartogList list;
    Load(list, data.Bytes());
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetSegment(1).Points[1].Latitude, 6);
    EXPECT_EQ(list.MaxPoints(), 2);
}

TEST(CartogList, ZeroCountInTheMiddleStaysAsEmptySegment)
{
    DataBuilder data;
    data.Header(1, 0).Point(1, 2).Header(0, 5).Header(1, 1).Point(3, 4);
    TCartogList list;
    Load(list, data.Bytes());
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetSegment(1).Count, 0);
    EXPECT_EQ(list.GetSegment(1).Kind, 5);
    EXPECT_EQ(list.GetSegment(1).Points, nullptr);
    EXPECT_EQ(list.GetSegment(2).Points[0].Longitude, 3);
}

TEST(CartogList, UndrawnKindsAreStillLoaded)
{
    DataBuilder data;
    data.Header(1, 2).Point(0, 0).Header(1, 255).Point(0, 0);
    TCartogList list;
    Load(list, data.Bytes());
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetSegment(0).Kind, 2);
    EXPECT_EQ(list.GetSegment(1).Kind, 255);
}

TEST(CartogList, EmptyDataGivesEmptyList)
{
    TCartogList list;
    Load(list, {});
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.MaxPoints(), 0);
}

TEST(CartogList, HeaderCutShortIsReadIntoZeroedFieldsAndNotKept)
{
    DataBuilder data;
    data.Header(1, 0).Point(1, 1);
    std::vector<uint8_t> bytes = data.Bytes();
    bytes.push_back(0x2c);  // low byte of a Count of 300, then nothing
    bytes.push_back(0x01);
    TCartogList list;
    Load(list, bytes);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.MaxPoints(), 300);
}

// Damaged and crafted data: the load ends at the bad record, keeps what came before, and
// never allocates for what the data cannot hold.
TEST(CartogListDamaged, NegativeCountEndsTheLoad)
{
    DataBuilder data;
    data.Header(1, 0).Point(1, 1).Header(-1, 0).Point(2, 2).Header(1, 0).Point(3, 3);
    TCartogList list;
    Load(list, data.Bytes());
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.GetSegment(0).Points[0].Longitude, 1);
    EXPECT_EQ(list.MaxPoints(), 1);
}

TEST(CartogListDamaged, MostNegativeCountEndsTheLoad)
{
    DataBuilder data;
    data.Header(INT32_MIN, 0).Point(2, 2);
    TCartogList list;
    Load(list, data.Bytes());
    EXPECT_EQ(list.Count(), 0);
}

TEST(CartogListDamaged, HugeCountEndsTheLoadWithoutAllocating)
{
    // Were this honoured it would ask for 8 GiB; the sanitizer build would abort on it.
    DataBuilder data;
    data.Header(1, 0).Point(1, 1).Header(INT32_MAX, 0).Point(2, 2).Point(3, 3);
    TCartogList list;
    Load(list, data.Bytes());
    ASSERT_EQ(list.Count(), 1);
    // MaxPoints follows every Count read; the renderer copes with a huge one itself.
    EXPECT_EQ(list.MaxPoints(), INT32_MAX);
}

TEST(CartogListDamaged, PointArrayCutShortIsDropped)
{
    DataBuilder data;
    data.Header(1, 0).Point(1, 1).Header(3, 1).Point(5, 5).Point(6, 6);
    std::vector<uint8_t> bytes = data.Bytes();
    bytes.push_back(7);  // half of the third point's longitude
    TCartogList list;
    Load(list, bytes);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.GetSegment(0).Kind, 0);
    EXPECT_EQ(list.MaxPoints(), 3);
}

TEST(CartogListDamaged, CountOneBeyondTheBytesLeftIsDropped)
{
    DataBuilder data;
    data.Header(2, 0).Point(1, 1).Int16(0);  // two points announced, six bytes present
    TCartogList list;
    Load(list, data.Bytes());
    EXPECT_EQ(list.Count(), 0);
}

TEST(CartogListDamaged, ManyEmptyRecordsDoNotLoop)
{
    DataBuilder data;
    for (int i = 0; i < 10000; ++i)
        data.Header(0, static_cast<uint8_t>(i));
    TCartogList list;
    Load(list, data.Bytes());
    // The last five bytes are read as the terminator.
    EXPECT_EQ(list.Count(), 9999);
}

TEST(CartogList, LoadingTwiceGivesTheSameResult)
{
    DataBuilder data;
    data.Header(2, 0).Point(1, 2).Point(3, 4).Header(1, 1).Point(5, 6).Header(9, 0);
    TCartogList list;
    Load(list, data.Bytes());
    Load(list, data.Bytes());
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.MaxPoints(), 9);
    EXPECT_EQ(list.GetSegment(1).Points[0].Latitude, 6);
}

TEST(CartogList, ParsingStartsAtTheStreamsPosition)
{
    DataBuilder data;
    data.Int16(0x7777).Header(1, 4).Point(8, 9);
    TByteStream stream(data.Bytes().data(), data.Bytes().size());
    stream.SetPosition(2);
    TCartogList list;
    list.LoadFromStream(stream);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.GetSegment(0).Kind, 4);
}

TEST(CartogList, ClearEmptiesAndResetsMaxPoints)
{
    DataBuilder data;
    data.Header(1, 0).Point(1, 2).Header(20, 0);
    TCartogList list;
    Load(list, data.Bytes());
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.MaxPoints(), 0);
}

TEST(CartogList, AddSegmentAppendsAndGetSegmentChecksTheIndex)
{
    TCartogList list;
    auto segment = std::make_unique<TLineSegment>();
    segment->Kind = 8;
    list.AddSegment(std::move(segment));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.GetSegment(0).Kind, 8);
    EXPECT_THROW(list.GetSegment(1), std::out_of_range);
    EXPECT_THROW(list.GetSegment(-1), std::out_of_range);
}

class CartogListFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        FDir = std::filesystem::temp_directory_path() /
               ("gridloom-data-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(FDir);
    }
    void TearDown() override { std::filesystem::remove_all(FDir); }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        const auto path = FDir / name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    std::filesystem::path FDir;
};

TEST_F(CartogListFile, LoadsAFile)
{
    DataBuilder data;
    data.Header(2, 0).Point(60, 120).Point(-60, -120).Header(1, 5).Point(7, 8).Header(0, 0);
    const std::string path = Write("Countries.dat", data.Bytes());
    TCartogList list;
    list.LoadFromFile(path);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetSegment(0).Points[1].Latitude, -120);
    EXPECT_EQ(list.GetSegment(1).Kind, 5);
}

TEST_F(CartogListFile, MissingPathClearsAndGivesEmptyList)
{
    DataBuilder data;
    data.Header(1, 0).Point(1, 1).Header(4, 0);
    TCartogList list;
    list.LoadFromFile(Write("a.dat", data.Bytes()));
    ASSERT_EQ(list.Count(), 1);
    list.LoadFromFile((FDir / "no-such-file.dat").string());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.MaxPoints(), 0);
}

TEST_F(CartogListFile, EmptyFileAndFolderGiveEmptyList)
{
    TCartogList list;
    list.LoadFromFile(Write("empty.dat", {}));
    EXPECT_EQ(list.Count(), 0);
    list.LoadFromFile(FDir.string());
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(CartogListFile, LoadingTheSameFileTwiceGivesTheSameResult)
{
    DataBuilder data;
    data.Header(3, 0).Point(1, 1).Point(2, 2).Point(3, 3).Header(1, 1).Point(4, 4);
    const std::string path = Write("twice.dat", data.Bytes());
    TCartogList list;
    list.LoadFromFile(path);
    list.LoadFromFile(path);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.MaxPoints(), 3);
}

}  // namespace
}  // namespace gridloom
