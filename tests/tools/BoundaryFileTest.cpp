// Writing Countries.dat: exact bytes, a round trip through the reader, the atomic
// replacement, and the program's exit statuses.
#include "data/Cartography.h"
#include "HeapCount.h"
#include "tools/import/BoundaryFile.h"
#include "tools/import/BoundaryImport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace gridloom::import {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

TEST(BoundaryFileBytes, RecordsAreLittleEndianWithATerminator) {
    const std::vector<BoundarySegment> segments = {{1, {{-2, 258}}}};
    const std::vector<uint8_t> expected = {1, 0, 0, 0, 1, 0xfe, 0xff, 0x02, 0x01, 0, 0, 0, 0, 0};
    EXPECT_EQ(EncodeBoundaryFile(segments), expected);
}

TEST(BoundaryFileBytes, RoundTripThroughTheReader) {
    std::vector<BoundarySegment> segments = {
        {0, {{-10800, -5400}, {10800, -5400}, {0, 5400}}},
        {1, {{1, 2}, {3, 4}}},
        {5, {{-32768, 32767}, {32767, -32768}}},
        {8, {{100, 100}, {200, 100}, {150, 200}, {120, 180}}},
    };
    const std::vector<uint8_t> bytes = EncodeBoundaryFile(segments);
    TByteStream stream(bytes.data(), bytes.size());
    TCartogList list;
    list.LoadFromStream(stream);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.MaxPoints(), 4);
    for (int i = 0; i < list.Count(); ++i) {
        const TLineSegment& read = list.GetSegment(i);
        EXPECT_EQ(read.Kind, segments[i].Kind);
        ASSERT_EQ(read.Count, static_cast<int32_t>(segments[i].Points.size()));
        for (int32_t j = 0; j < read.Count; ++j) {
            EXPECT_EQ(read.Points[j].Longitude, segments[i].Points[j].Longitude);
            EXPECT_EQ(read.Points[j].Latitude, segments[i].Points[j].Latitude);
        }
    }
}

TEST(BoundaryFileBytes, FiguresCountKindsPointsAndTheLargestSegment) {
    const std::vector<BoundarySegment> segments = {
        {0, {{0, 0}, {1, 0}, {1, 1}}}, {0, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}}, {1, {{0, 0}, {1, 1}}}};
    const ImportFigures figures = Measure(segments);
    EXPECT_EQ(figures.Segments, 3u);
    EXPECT_EQ(figures.SegmentsPerKind[0], 2u);
    EXPECT_EQ(figures.SegmentsPerKind[1], 1u);
    EXPECT_EQ(figures.Points, 9u);
    EXPECT_EQ(figures.LargestSegment, 4u);
    EXPECT_EQ(DescribeFigures(figures), "3 segments (kind 0: 2, kind 1: 1), 9 points, largest segment 4 points");
}

class ImportFiles : public ::testing::Test {
protected:
    void SetUp() override {
        FDir = fs::temp_directory_path() / ("gridloom-import-test-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(FDir);
    }
    void TearDown() override { fs::remove_all(FDir); }

    std::size_t FilesInDir() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(FDir), fs::directory_iterator()));
    }

    // Runs the importer; returns its exit status, or -1 when it has not been built.
    int Run(const std::string& arguments) {
        const fs::path program = fs::path(GRIDLOOM_BINARY_DIR) / "tools" / "gridloom-import";
        if (!fs::exists(program)) return -1;
        const std::string command =
            "cd '" + FDir.string() + "' && '" + program.string() + "' " + arguments + " >out.txt 2>err.txt";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    }

    std::string Text(const std::string& name) const {
        const auto bytes = ReadBytes(FDir / name);
        return {bytes.begin(), bytes.end()};
    }

    fs::path FDir;
};

TEST_F(ImportFiles, AtomicWriteCreatesAndReplaces) {
    const fs::path target = FDir / "Countries.dat";
    WriteFileAtomically(target.string(), {1, 2, 3});
    EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{1, 2, 3}));
    WriteFileAtomically(target.string(), {4, 5});
    EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{4, 5}));
    EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left behind
}

TEST_F(ImportFiles, FailedWriteLeavesNothingBehind) {
    EXPECT_THROW(WriteFileAtomically((FDir / "missing" / "Countries.dat").string(), {1}), ImportError);
    // A folder in the target's place cannot be replaced by a file.
    fs::create_directory(FDir / "Countries.dat");
    WriteText(FDir / "Countries.dat" / "keep", "kept");
    EXPECT_THROW(WriteFileAtomically((FDir / "Countries.dat").string(), {1, 2}), ImportError);
    EXPECT_EQ(FilesInDir(), 1u);
    EXPECT_EQ(Text("Countries.dat/keep"), "kept");
}

// The importer's output follows the rule of every save: a link is followed to the file it
// names, and anything but a regular file in the output's place is refused untouched.
TEST_F(ImportFiles, AtomicWriteFollowsLinksAndRefusesNonFiles) {
    WriteText(FDir / "real.dat", "old");
    fs::create_symlink("real.dat", FDir / "Countries.dat");
    WriteFileAtomically((FDir / "Countries.dat").string(), {7, 8});
    EXPECT_TRUE(fs::is_symlink(FDir / "Countries.dat"));
    EXPECT_EQ(ReadBytes(FDir / "real.dat"), (std::vector<uint8_t>{7, 8}));

    ASSERT_EQ(::mkfifo((FDir / "pipe.dat").c_str(), 0644), 0);
    fs::create_symlink("pipe.dat", FDir / "to-pipe.dat");
    try {
        WriteFileAtomically((FDir / "to-pipe.dat").string(), {1});
        ADD_FAILURE() << "a pipe was replaced";
    } catch (const ImportError& error) {
        EXPECT_NE(std::string(error.what()).find("is a pipe, not a regular file"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(fs::is_fifo(FDir / "pipe.dat"));
    EXPECT_EQ(FilesInDir(), 4u);
}

TEST_F(ImportFiles, MissingFileAndBadJsonAreNamedInTheError) {
    const auto errorOf = [&](const std::string& name) -> std::string {
        std::vector<BoundarySegment> segments;
        try {
            ImportGeoJsonFile((FDir / name).string(), 1, segments, nullptr);
        } catch (const ImportError& error) {
            return error.what();
        }
        return "no error";
    };
    EXPECT_NE(errorOf("absent.json").find("absent.json"), std::string::npos);
    WriteText(FDir / "broken.json", R"({"type":"LineString","coordinates":[[0,0],)");
    const std::string broken = errorOf("broken.json");
    EXPECT_NE(broken.find("broken.json"), std::string::npos) << broken;
    EXPECT_NE(broken.find("JSON"), std::string::npos) << broken;
    // A number beyond a double's range is its own kind of parser failure.
    WriteText(FDir / "huge.json", R"({"type":"LineString","coordinates":[[1e400,0],[1,1]]})");
    EXPECT_NE(errorOf("huge.json"), "no error");
}

// A FeatureCollection is converted feature by feature as it is read: the importer never
// holds the whole file, let alone the whole tree of its values.
TEST_F(ImportFiles, ALargeCollectionIsConvertedWhileItIsRead) {
    for (uint8_t kind : {uint8_t(1), uint8_t(0)}) {
        std::string text = R"({"type":"FeatureCollection","features":[)";
        for (int f = 0; f < 20000; ++f) {
            const double x = (f % 300) * 0.5, y = (f / 300) * 0.5 - 20;
            text += f ? "," : "";
            text += R"({"type":"Feature","properties":{"name":"F)" + std::to_string(f) + R"("},"geometry":)";
            text += kind == 1 ? R"({"type":"LineString","coordinates":[)" : R"({"type":"Polygon","coordinates":[[)";
            for (int p = 0; p < 12; ++p)
                text += (p ? "," : "") + ("[" + std::to_string(x + 0.03 * p) + "," +
                                          std::to_string(y + (p % 2 ? 0.2 : 0.0) + 0.01 * p) + "]");
            text += kind == 1 ? "]}}" : "]]}}";
        }
        text += "]}";
        WriteText(FDir / "large.json", text);
        std::vector<BoundarySegment> segments;
        const std::size_t before = test::LiveHeapBytes();
        test::ResetHeapPeak();
        ImportGeoJsonFile((FDir / "large.json").string(), kind, segments, nullptr);
        const std::size_t peak = test::PeakHeapBytes() - before;
        EXPECT_EQ(segments.size(), 20000u) << int(kind);
        EXPECT_LT(peak, text.size() / 2) << int(kind) << ": " << text.size() << " bytes of text";
    }
}

// Text from the file that is not UTF-8 is shown escaped, never sent raw to the terminal.
TEST_F(ImportFiles, InvalidBytesInMessagesAreEscaped) {
    WriteText(FDir / "bytes.json", "{\"type\":\"Feature\",\"properties\":{\"name\":\"S\xe3o Paulo\"}}");
    std::vector<BoundarySegment> segments;
    try {
        ImportGeoJsonFile((FDir / "bytes.json").string(), 1, segments, nullptr);
        ADD_FAILURE() << "invalid UTF-8 accepted";
    } catch (const ImportError& error) {
        const std::string what = error.what();
        EXPECT_EQ(what.find('\xe3'), std::string::npos) << what;
        EXPECT_NE(what.find("\\xe3"), std::string::npos) << what;
    }
}

TEST_F(ImportFiles, ProgramWritesTheFileAndReportsFigures) {
    WriteText(FDir / "land.json", R"({"type":"Polygon","coordinates":[[[0,0],[1,0],[1,1],[0,0]]]})");
    WriteText(FDir / "borders.json", R"({"type":"LineString","coordinates":[[0,0],[1,1]]})");
    const int status = Run("-o out.dat --land land.json --border borders.json");
    if (status == -1) GTEST_SKIP() << "gridloom-import is not built";
    ASSERT_EQ(status, 0) << Text("err.txt");
    EXPECT_NE(Text("out.txt").find("2 segments (kind 0: 1, kind 1: 1)"), std::string::npos) << Text("out.txt");
    TCartogList list;
    list.LoadFromFile((FDir / "out.dat").string());
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetSegment(1).Kind, 1);
}

// Help or version text that never reached its reader is no success.
TEST_F(ImportFiles, ProgramFailsWhenItsTextCannotBeWritten) {
    const fs::path program = fs::path(GRIDLOOM_BINARY_DIR) / "tools" / "gridloom-import";
    if (!fs::exists(program)) GTEST_SKIP() << "gridloom-import is not built";
    for (const char* option : {"--help", "--version"}) {
        const std::string command =
            "'" + program.string() + "' " + option + " >/dev/full 2>'" + (FDir / "err.txt").string() + "'";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << option;
        EXPECT_EQ(WEXITSTATUS(status), 1) << option;
        EXPECT_EQ(Text("err.txt"), "gridloom-import: cannot write the output\n") << option;
    }
}

TEST_F(ImportFiles, ProgramExitStatuses) {
    if (Run("--help") == -1) GTEST_SKIP() << "gridloom-import is not built";
    EXPECT_EQ(Run("--help"), 0);
    EXPECT_NE(Text("out.txt").find("--state-border"), std::string::npos);
    EXPECT_EQ(Run(""), 2);
    EXPECT_EQ(Run("--bogus x.json"), 2);
    EXPECT_EQ(Run("--land"), 2);
    EXPECT_EQ(Run("--kind 256 x.json"), 2);
    EXPECT_EQ(Run("x.json"), 2);

    // Bad data fails with 1 and leaves the existing output exactly as it was.
    WriteText(FDir / "Countries.dat", "old");
    WriteText(FDir / "good.json", R"({"type":"LineString","coordinates":[[0,0],[1,1]]})");
    WriteText(FDir / "far.json", R"({"type":"LineString","coordinates":[[0,0],[1,700]]})");
    EXPECT_EQ(Run("--border good.json --border far.json"), 1);
    EXPECT_NE(Text("err.txt").find("far.json"), std::string::npos) << Text("err.txt");
    EXPECT_EQ(Run("--border good.json --land missing.json"), 1);
    EXPECT_EQ(Run("--land good.json"), 1);  // a line cannot be land
    EXPECT_EQ(Text("Countries.dat"), "old");
    EXPECT_EQ(FilesInDir(), 5u);  // the two inputs, the old output, out.txt, err.txt
}

}  // namespace
}  // namespace gridloom::import
