// Boundary data that is damaged or cannot be read, as the run and gridloom-make report it:
// damage is drawn and told once at the end (or refused when asked to be strict); a file that
// is there but cannot be read is an error naming the reason, never the download offer.
#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>

#include "RunFakes.h"
#include "tools/make/MakeCommand.h"

namespace gridloom {
namespace {

using test::ModeOf;
using test::WriteFile;

// The small world (38 bytes before its terminator), then a record claiming a negative
// number of points.
std::string DamagedCountries(std::size_t& damageOffset) {
    std::string data = test::SmallCountries();
    data.resize(data.size() - 5);  // without its terminator
    damageOffset = data.size();
    test::AppendRecord(data, 1, {{0, 0}});
    data[damageOffset + 3] = char(0x80);  // Count = -2^31 + 1
    return data;
}

const std::string NegativeCount = "a record has a negative number of points";

class BoundaryDataRun : public test::TRunTest {
protected:
    void SetUp() override {
        TRunTest::SetUp();
        WriteFile(Host.Countries, DamagedCountries(DamageOffset));
    }
    std::size_t DamageOffset = 0;
};

TEST_F(BoundaryDataRun, DamagedDataIsDrawnSavedAndToldOnceAtTheEnd) {
    TGenerationRun run(Host, Host, Host, Services);
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::Saved);
    const std::string told = "inform:" + DamagedDataDrawnText(Host.Countries, DamageOffset, NegativeCount, 2);
    EXPECT_EQ(Host.Count("inform:"), 1);
    ASSERT_FALSE(Host.Events.empty());
    EXPECT_EQ(Host.Events.back(), told);
    EXPECT_EQ(Host.Events.back(), "inform:The image is incomplete: the boundary data file " + Host.Countries +
                                      " is damaged: reading stopped at byte 38, where " + NegativeCount +
                                      ".\rOnly the 2 segments read before that point were drawn.");
    EXPECT_TRUE(Host.Saw("status:Overlay master image saved to " + Output));
    EXPECT_FALSE(run.Closed());
    // What was read before the damage is on the image: the land and its boundary line.
    EXPECT_EQ(Host.Bitmap.Pixel(3960 + 22 * 10, 1980 - 22 * 20), clGreen);
}

// The message comes over the finished map, not over what the display last showed while the
// boundaries were being drawn.
TEST_F(BoundaryDataRun, TheFinishedMapIsShownBeforeTheDamageIsTold) {
    const TPoint land{3960 + 22 * 10, 1980 - 22 * 20};
    TColor shown = clBlack, shownWhenTold = clBlack;
    Host.OnRefresh = [&] { shown = Host.Bitmap.Pixel(land.X, land.Y); };
    Host.OnDialog = [&] { shownWhenTold = shown; };
    TGenerationRun run(Host, Host, Host, Services);
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::Saved);
    ASSERT_EQ(Host.Count("inform:"), 1);
    EXPECT_EQ(shownWhenTold, clGreen);
}

TEST_F(BoundaryDataRun, DamagedDataIsToldEvenWhenTheSaveFails) {
    TGenerationRun run(Host, Host, Host, Services);
    EXPECT_EQ(run.MakeMasterImage(Folder / "absent/Overlay.bmp"), TRunOutcome::SaveFailed);
    EXPECT_EQ(Host.Count("inform:"), 2);
    EXPECT_EQ(Host.Events.back(), "inform:" + DamagedDataDrawnText(Host.Countries, DamageOffset, NegativeCount, 2));
}

TEST_F(BoundaryDataRun, StrictRunRefusesDamagedDataAndSavesNothing) {
    TGenerationRun run(Host, Host, Host, Services);
    run.SetRejectDamagedData(true);
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::DrawFailed);
    EXPECT_EQ(Host.Count("inform:" + DrawErrorText(DamagedDataText(Host.Countries, DamageOffset, NegativeCount))), 1);
    EXPECT_EQ(Host.Count("inform:"), 1);
    EXPECT_EQ(ModeOf(Output), mode_t(-1));
    EXPECT_FALSE(run.Closed());
}

TEST_F(BoundaryDataRun, UndamagedDataIsToldNothing) {
    WriteFile(Host.Countries, test::SmallCountries());
    TGenerationRun run(Host, Host, Host, Services);
    run.SetRejectDamagedData(true);
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::Saved);
    EXPECT_EQ(Host.Count("inform:"), 0);
}

// A file that is there but from which nothing could be read is damaged data, not missing
// data: no download offer, the window stays open, and nothing is drawn or saved, strict or not.
struct TNothingReadableCase {
    const char* Name;
    std::string Data;  // the file's bytes; none: the path names a file of the system's
    const char* Damage;
};

void PrintTo(const TNothingReadableCase& c, std::ostream* out) { *out << c.Name; }

std::string RandomBytes() {
    std::string bytes;
    unsigned seed = 12345;
    for (int i = 0; i < 4096; ++i) bytes += char((seed = seed * 1103515245 + 12345) >> 16);
    bytes[3] = char(0x80);  // a negative first count, whatever the seed gives
    return bytes;
}

const TNothingReadableCase NothingReadableCases[] = {
    {"Empty", "", "the file is empty"},
    {"DamagedAtByte0",
     std::string("\xff\xff\xff\xff\x00"
                 "AAAA",
                 9),
     "a record has a negative number of points"},
    {"RandomBytes", RandomBytes(), "a record has a negative number of points"},
    {"ProcMaps", {}, nullptr},
};

class NothingReadable : public test::TRunTest, public ::testing::WithParamInterface<TNothingReadableCase> {};

TEST_P(NothingReadable, IsDamageToldWithTheByteWhereReadingStopped) {
    const TNothingReadableCase& c = GetParam();
    if (c.Damage != nullptr) {
        WriteFile(Host.Countries, c.Data);
    } else {
        Host.Countries = "/proc/self/maps";
    }
    for (bool strict : {false, true}) {
        SCOPED_TRACE(strict);
        Host.Events.clear();
        TGenerationRun run(Host, Host, Host, Services);
        run.SetRejectDamagedData(strict);
        EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::DrawFailed);
        EXPECT_EQ(Host.Count("ask:"), 0);
        EXPECT_EQ(Host.Count("close"), 0);
        EXPECT_FALSE(run.Closed());
        const std::string told = "inform:Error generating overlay master image: the boundary data file " +
                                 Host.Countries + " is damaged: reading stopped at byte ";
        ASSERT_EQ(Host.Count("inform:"), 1);
        EXPECT_TRUE(Host.Saw("status:Overlay master image could not be generated"));
        if (c.Damage != nullptr) {
            EXPECT_EQ(Host.Count(told + "0, where " + c.Damage + "."), 1);
        }
        EXPECT_EQ(ModeOf(Output), mode_t(-1));
    }
}

INSTANTIATE_TEST_SUITE_P(Files, NothingReadable, ::testing::ValuesIn(NothingReadableCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// A file holding a valid empty list is no data, as a missing file is: the download is offered.
TEST_F(BoundaryDataRun, AValidEmptyListOffersTheDownload) {
    std::string terminator;
    test::AppendRecord(terminator, 0, {});
    terminator.resize(5);
    WriteFile(Host.Countries, terminator);
    TGenerationRun run(Host, Host, Host, Services);
    EXPECT_EQ(run.MakeMasterImage(Output), TRunOutcome::DataMissing);
    EXPECT_EQ(Host.Count("ask:"), 1);
    EXPECT_TRUE(run.Closed());
}

// A data file that exists but cannot be read: an error naming the file and the reason, no
// download offer, and the window stays open.
struct TUnreadableCase {
    const char* Name;
    void (*Make)(const std::string& path);
    const char* Reason;
    bool AsNobody;  // root reads any file: the case needs another user
};

void PrintTo(const TUnreadableCase& c, std::ostream* out) { *out << c.Name; }

const TUnreadableCase UnreadableCases[] = {
    {"Folder", [](const std::string& path) { ASSERT_EQ(::mkdir(path.c_str(), 0755), 0); }, "Is a directory", false},
    {"Pipe", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); }, "Not a regular file", false},
    {"NoPermission",
     [](const std::string& path) {
         WriteFile(path, test::SmallCountries());
         ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
     },
     "Permission denied", true},
};

class UnreadableData : public ::testing::TestWithParam<TUnreadableCase> {};

TEST_P(UnreadableData, IsAnErrorThatKeepsTheWindowOpen) {
    const TUnreadableCase& c = GetParam();
    test::TTempFolder folder;
    const auto body = [&] {
        test::TFakeHost host;
        test::TFakeServices services;
        host.Countries = folder / "Countries.dat";
        c.Make(host.Countries);
        TGenerationRun run(host, host, host, services);
        EXPECT_EQ(run.MakeMasterImage(folder / "Overlay.bmp"), TRunOutcome::DrawFailed);
        const std::string what = "cannot read the boundary data file " + host.Countries + ": " + c.Reason + ".";
        EXPECT_EQ(UnreadableDataText(host.Countries, c.Reason), what);
        EXPECT_EQ(host.Count("inform:" + DrawErrorText(what)), 1);
        EXPECT_EQ(host.Count("ask:"), 0);
        EXPECT_FALSE(run.Closed());
        EXPECT_EQ(run.LastError(), what);
        EXPECT_EQ(ModeOf(folder / "Overlay.bmp"), mode_t(-1));
    };
    if (!c.AsNobody) {
        body();
    } else if (::geteuid() == 0) {
        ASSERT_EQ(::chown(folder.Path().c_str(), test::NobodyId, test::NobodyId), 0);
        test::InChild(body, true);
    } else {
        body();
    }
}

INSTANTIATE_TEST_SUITE_P(Causes, UnreadableData, ::testing::ValuesIn(UnreadableCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// gridloom-make: damage is printed and the image saved (exit 0); --strict makes it an error.
class MakeWithDamagedData : public BoundaryDataRun {
protected:
    int Make(std::vector<std::string> args) {
        std::FILE* err = std::tmpfile();
        const int status = MakeMain(args, stdout, err, false, Services);
        std::rewind(err);
        char buffer[4096];
        std::size_t got;
        Stderr.clear();
        while ((got = std::fread(buffer, 1, sizeof buffer, err)) > 0) Stderr.append(buffer, got);
        std::fclose(err);
        return status;
    }
    std::string Stderr;
};

TEST_F(MakeWithDamagedData, SavesAndPrintsTheDamage) {
    EXPECT_EQ(Make({"--data", Host.Countries, "--out", Output, "--quiet"}), 0);
    EXPECT_EQ(Stderr, "The image is incomplete: the boundary data file " + Host.Countries +
                          " is damaged: reading stopped at byte " + std::to_string(DamageOffset) + ", where " +
                          NegativeCount + ".\nOnly the 2 segments read before that point were drawn.\n");
    EXPECT_TRUE(IsReadOnlyAttributes(GetFileAttributes(Output)));
}

TEST_F(MakeWithDamagedData, StrictExits1AndSavesNothing) {
    EXPECT_EQ(Make({"--data", Host.Countries, "--out", Output, "--quiet", "--strict"}), 1);
    EXPECT_NE(Stderr.find("is damaged: reading stopped at byte " + std::to_string(DamageOffset)), std::string::npos)
        << Stderr;
    EXPECT_EQ(ModeOf(Output), mode_t(-1));
}

TEST_F(MakeWithDamagedData, DataWithNothingReadableExits1StrictOrNot) {
    WriteFile(Host.Countries, "");
    for (bool strict : {false, true}) {
        std::vector<std::string> args{"--data", Host.Countries, "--out", Output, "--quiet"};
        if (strict) args.push_back("--strict");
        EXPECT_EQ(Make(args), 1) << strict;
        EXPECT_NE(Stderr.find("is damaged: reading stopped at byte 0, where the file is empty."), std::string::npos)
            << Stderr;
        EXPECT_EQ(Stderr.find("cannot find"), std::string::npos) << Stderr;
        EXPECT_EQ(ModeOf(Output), mode_t(-1));
    }
}

TEST_F(MakeWithDamagedData, AFolderForDataExits1WithTheReason) {
    const std::string data = Folder / "data";
    ASSERT_EQ(::mkdir(data.c_str(), 0755), 0);
    EXPECT_EQ(Make({"--data", data, "--out", Output, "--quiet"}), 1);
    EXPECT_NE(Stderr.find("cannot read the boundary data file " + data + ": Is a directory."), std::string::npos)
        << Stderr;
    EXPECT_EQ(Stderr.find("cannot find"), std::string::npos) << Stderr;
}

}  // namespace
}  // namespace gridloom
