// The version-information component on blocks described in the test, on the programs the
// build makes, and with the controls it fills.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <filesystem>
#include <QTreeWidget>
#include <cstdlib>
#include <memory>
#include <sys/wait.h>

#include "AboutTestSupport.h"
#include "about/VersInfo.h"
#include "platform/ModuleFile.h"
#include "platform/VersionInfo.h"

namespace gridloom {
namespace {

using test::ProgramLikeDescription;
using test::WithString;

class VersInfo : public ::testing::Test {
protected:
    // A component that has read the block of d.
    std::unique_ptr<TVersionInfoResource> Read(const TVersionDescription& d) {
        auto vi = std::make_unique<TVersionInfoResource>();
        vi->SetFilename(Files.Write("program-" + std::to_string(++Count), d));
        return vi;
    }
    test::TProgramFiles Files;
    int Count = 0;
};

TEST_F(VersInfo, TheTranslationChoosesTheStringTable) {
    struct TCase {
        const char* Name;
        std::vector<std::pair<uint16_t, uint16_t>> Translations;
        const char* TableKey;  // where the builder puts the strings
        QStringList Expected;
    };
    const TCase cases[] = {
        {"UK English, Western", {{0x0809, 1252}}, "", {"080904E4"}},
        {"neutral entry", {{0, 0}}, "040904E4", {"040904E4"}},
        {"no translation array", {}, "040904E4", {}},
        {"first of two", {{0x0407, 1252}, {0x0809, 1252}}, "040704E4", {"040704E4", "080904E4"}},
    };
    for (const TCase& c : cases) {
        TVersionDescription d = ProgramLikeDescription();
        d.Translations = c.Translations;
        d.StringTableKey = c.TableKey;
        auto vi = Read(d);
        EXPECT_EQ(vi->Translations(), c.Expected) << c.Name;
        EXPECT_EQ(vi->ProductName(), "Skylune - Make master overlay") << c.Name;
        EXPECT_EQ(vi->GetNamedValue("Web site"), "www.tarnwick.example") << c.Name;
    }
}

TEST_F(VersInfo, ANeutralTranslationIsCorrectedInTheBlockCopy) {
    TVersionDescription d = ProgramLikeDescription();
    d.Translations = {{0, 0}, {0x0809, 0}};
    auto vi = Read(d);
    void* value = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(VerQueryValueA(vi->VersionBlock(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 8u);
    const uint8_t* e = static_cast<uint8_t*>(value);
    EXPECT_EQ(e[0] | e[1] << 8, 1033);
    EXPECT_EQ(e[2] | e[3] << 8, 1252);
    EXPECT_EQ(e[4] | e[5] << 8, 0x0809);
    EXPECT_EQ(e[6] | e[7] << 8, 1252);
    EXPECT_EQ(vi->Translations(), QStringList({"040904E4", "080904E4"}));
}

TEST_F(VersInfo, TheStringTablesVersionTextWinsOverTheFixedNumbers) {
    auto numbersOnly = Read(WithString(ProgramLikeDescription(), "FileVersion", ""));
    EXPECT_EQ(numbersOnly->FileVersionNumber().AsString(), "1.4.0.10");
    EXPECT_EQ(numbersOnly->FileVersionNumber().Part(0), 1);
    EXPECT_EQ(numbersOnly->FileVersionNumber().Part(1), 4);
    EXPECT_EQ(numbersOnly->FileVersionNumber().Part(2), 0);
    EXPECT_EQ(numbersOnly->FileVersionNumber().Part(3), 10);
    EXPECT_EQ(numbersOnly->FileVersionNumber().Part(4), 0);
    EXPECT_EQ(numbersOnly->FileVersionNumber().Part(-1), 0);

    auto withText = Read(WithString(ProgramLikeDescription(), "FileVersion", "1.4 beta"));
    EXPECT_EQ(withText->FileVersionNumber().AsString(), "1.4 beta");
    EXPECT_EQ(withText->FileVersionNumber().Part(3), 10);
    EXPECT_EQ(withText->ProductVersionNumber().AsString(), "1.4");

    TVersionDescription big = WithString(ProgramLikeDescription(), "FileVersion", "");
    big.FileVersion[0] = 65535;
    big.FileVersion[3] = 40000;
    EXPECT_EQ(Read(big)->FileVersionNumber().AsString(), "65535.4.0.40000");
}

TEST_F(VersInfo, AFileWithoutABlockGivesNothing) {
    auto vi = Read(ProgramLikeDescription());
    QLabel copyright, product;
    vi->SetCopyrightLabel(&copyright);
    vi->SetProductLabel(&product);
    EXPECT_EQ(product.text(), "Skylune - Make master overlay");

    vi->SetFilename(Files.WriteWithoutBlock("plain"));
    EXPECT_EQ(vi->VersionBlock(), nullptr);
    EXPECT_EQ(vi->VersionBlockSize(), 0u);
    for (int i = 0; i < PreDefCount; ++i) EXPECT_EQ(vi->GetIndexedValue(i), "") << i;
    EXPECT_EQ(vi->GetNamedValue("Web site"), "");
    EXPECT_FALSE(vi->FileVersionNumber().Valid);
    EXPECT_EQ(vi->FileVersionNumber().AsString(), "");
    for (int i = 0; i < 4; ++i) EXPECT_EQ(vi->FileVersionNumber().Part(i), 0) << i;
    EXPECT_EQ(vi->ProductVersionNumber().AsString(), "");
    EXPECT_EQ(vi->BuildFlagsText(), "");
    EXPECT_EQ(vi->FixedInfo().FileVersionMS(), 0u);
    // The labels are emptied too, not left with the last file's values.
    EXPECT_EQ(copyright.text(), "");
    EXPECT_EQ(product.text(), "");
}

TEST_F(VersInfo, FlagsAreNamedInTheComponentsOrder) {
    const std::pair<uint32_t, QString> cases[] = {
        {0x00, ""},
        {0x12, "Info Inferred, Pre-Release"},
        {0x3F, "Debug, Info Inferred, Patched, Pre-Release, Private, Special"},
        {0x08, "Private"},
        {0xFFFFFFC0, ""},  // bits the component has no names for
    };
    for (const auto& [word, text] : cases) {
        TVersionDescription d = ProgramLikeDescription();
        d.FileFlags = word;
        d.FileFlagsMask = 0;  // not consulted
        EXPECT_EQ(Read(d)->BuildFlagsText(), text) << std::hex << word;
    }
}

TEST_F(VersInfo, IndexesOutsideThePredefinedItemsGiveNothing) {
    // The block holds values under every predefined key, so only the index can make empty.
    TVersionDescription d = ProgramLikeDescription();
    for (const char* key : PreDefKeys) d = WithString(d, key, std::string("value of ") + key);
    auto vi = Read(d);
    EXPECT_EQ(vi->GetIndexedValue(-1), "");
    EXPECT_EQ(vi->GetIndexedValue(11), "");
    EXPECT_EQ(vi->GetIndexedValue(0), "value of CompanyName");
    EXPECT_EQ(vi->GetIndexedValue(10), "value of BuildFlags");
    EXPECT_EQ(vi->LegalTrademarks(), "value of LegalTrademarks");
    EXPECT_EQ(vi->Version(), "TVersionInfoResource v2.35");
    vi->SetVersion("something else");
    EXPECT_EQ(vi->Version(), "TVersionInfoResource v2.35");
}

TEST_F(VersInfo, LinkingALabelTakesItsItemOutOfShowResource) {
    struct TLink {
        const char* Name;
        void (TVersionInfoResource::*Set)(QLabel*);
        TPreDef Item;
    };
    const TLink links[] = {{"version", &TVersionInfoResource::SetVersionLabel, pdFileVersion},
                           {"copyright", &TVersionInfoResource::SetCopyrightLabel, pdLegalCopyright},
                           {"product", &TVersionInfoResource::SetProductLabel, pdProductName},
                           {"description", &TVersionInfoResource::SetDescriptionLabel, pdFileDescription}};
    for (const TLink& link : links) {
        TVersionInfoResource vi;
        QLabel label;
        (vi.*link.Set)(nullptr);
        EXPECT_EQ(vi.ShowResource(), AllPreDefs) << link.Name;
        (vi.*link.Set)(&label);
        EXPECT_EQ(vi.ShowResource(), AllPreDefs & ~(1u << link.Item)) << link.Name;
        vi.SetShowResource(AllPreDefs);  // a later assignment can put it back
        EXPECT_EQ(vi.ShowResource(), AllPreDefs) << link.Name;
    }
    TVersionInfoResource vi;
    QTreeWidget view;
    vi.SetVersionListView(&view);
    EXPECT_EQ(vi.ShowResource(), AllPreDefs);
}

TEST_F(VersInfo, FilenameAlwaysReadsAgainForceEXEOnlyWhenItChanges) {
    QString path = Files.Write("changing", ProgramLikeDescription());
    TVersionInfoResource vi;
    vi.SetFilename(path);
    ASSERT_EQ(vi.ProductName(), "Skylune - Make master overlay");

    Files.Write("changing", WithString(ProgramLikeDescription(), "ProductName", "Second"));
    vi.SetForceEXE(false);  // its own value
    EXPECT_EQ(vi.ProductName(), "Skylune - Make master overlay");
    vi.SetFilename(path);  // its own value, read all the same
    EXPECT_EQ(vi.ProductName(), "Second");

    Files.Write("changing", WithString(ProgramLikeDescription(), "ProductName", "Third"));
    vi.SetForceEXE(true);  // a change: read again, and Filename still wins
    EXPECT_EQ(vi.ProductName(), "Third");
}

TEST_F(VersInfo, ADestroyedLabelIsNoLongerLinked) {
    auto vi = Read(ProgramLikeDescription());
    auto both = std::make_unique<QLabel>();
    QLabel product;
    vi->SetCopyrightLabel(both.get());
    vi->SetDescriptionLabel(both.get());
    vi->SetProductLabel(&product);
    EXPECT_EQ(both->text(), "");  // the description is empty in this block, and came second
    both.reset();
    EXPECT_EQ(vi->CopyrightLabel(), nullptr);
    EXPECT_EQ(vi->DescriptionLabel(), nullptr);
    EXPECT_EQ(vi->ProductLabel(), &product);
    vi->SetFilename(Files.Write("other", WithString(ProgramLikeDescription(), "ProductName", "Other")));
    EXPECT_EQ(product.text(), "Other");

    auto view = std::make_unique<QTreeWidget>();
    vi->SetVersionListView(view.get());
    view.reset();
    EXPECT_EQ(vi->VersionListView(), nullptr);
    vi->PopulateControls();
}

TEST_F(VersInfo, ReadsNothingUntilLoadedOrGivenAFile) {
    TVersionInfoResource created;
    QLabel product;
    product.setText("design");
    created.BeginLoading();
    created.SetProductLabel(&product);
    EXPECT_EQ(product.text(), "design");  // links made while loading wait for Loaded
    EXPECT_EQ(created.VersionBlock(), nullptr);
    EXPECT_EQ(created.ProductName(), "");

    // This test program carries the program's own block, so Loaded finds it.
    created.Loaded();
    EXPECT_EQ(product.text(), "Skylune - Make master overlay");
    product.setText("changed");
    created.Loaded();  // once only
    EXPECT_EQ(product.text(), "changed");

    TVersionInfoResource designed;
    designed.SetDesigning(true);
    designed.SetProductLabel(&product);
    designed.SetFilename(QString::fromStdString(ExecutableFileName()));
    EXPECT_EQ(product.text(), "changed");  // a component being designed fills nothing
    EXPECT_EQ(designed.ProductName(), "Skylune - Make master overlay");
}

TEST_F(VersInfo, TheListViewShowsTheNonEmptyRowsInItsOrder) {
    TVersionDescription d = ProgramLikeDescription();
    d.FileFlags = 0x01;
    d = WithString(d, "InternalName", "Gridloom");
    auto vi = Read(d);
    QTreeWidget view;
    view.setColumnCount(5);
    new QTreeWidgetItem(&view, {"left over"});
    vi->SetShowResource(AllPreDefs & ~(1u << pdComments));
    vi->SetVersionListView(&view);

    ASSERT_EQ(view.columnCount(), 2);
    EXPECT_EQ(view.headerItem()->text(0), "Resource");
    EXPECT_EQ(view.headerItem()->text(1), "Value");
    QStringList rows;
    for (int i = 0; i < view.topLevelItemCount(); ++i)
        rows << view.topLevelItem(i)->text(0) + "=" + view.topLevelItem(i)->text(1);
    EXPECT_EQ(rows,
              QStringList({"Product Name=Skylune - Make master overlay", "Product Version=1.4",
                           "Company Name=Tarnwick, Kellsmouth", "Legal Copyright=Copyright \u00A9 1998-2002 Tarnwick",
                           "File Version=1.4.0.10", "Internal Name=Gridloom", "Build Flags=Debug"}));
    EXPECT_EQ(view.editTriggers(), QAbstractItemView::NoEditTriggers);
}

// The programs the build makes carry the block described once for the whole project.
TEST_F(VersInfo, TheBuiltProgramsCarryTheProgramsBlock) {
    std::vector<std::string> programs = {GRIDLOOM_MAKE_PROGRAM, ExecutableFileName()};
#ifdef GRIDLOOM_WINDOW_PROGRAM
    programs.push_back(GRIDLOOM_WINDOW_PROGRAM);
#endif
    for (const std::string& program : programs) {
        TVersionInfoResource vi;
        vi.SetFilename(QString::fromStdString(program));
        EXPECT_EQ(vi.ProductName(), "Skylune - Make master overlay") << program;
        EXPECT_EQ(vi.FileVersionNumber().AsString(), "1.4.0.10") << program;
        EXPECT_EQ(vi.Comments(), "2002 Apr 04") << program;
        EXPECT_EQ(vi.Translations(), QStringList({"080904E4"})) << program;
        EXPECT_EQ(vi.BuildFlagsText(), "") << program;
        EXPECT_EQ(vi.FixedInfo().ProductVersionLS(), 10u) << program;
    }
}

// The file a component compiled into the library at path chooses to read; "<not loaded>"
// when the library cannot be loaded.
std::string FileChosenInLibrary(const std::string& path, bool forceExe) {
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return std::string("<not loaded> ") + ::dlerror();
    auto probe = reinterpret_cast<void (*)(bool, char*, unsigned)>(::dlsym(library, "ProbeResourceFilename"));
    char name[1024] = "<no probe>";
    if (probe != nullptr) probe(forceExe, name, sizeof name);
    ::dlclose(library);
    return name;
}

TEST_F(VersInfo, InsideALibraryItReadsTheLibraryUnlessForcedToTheProgram) {
    EXPECT_EQ(FileChosenInLibrary(GRIDLOOM_VERSINFO_PROBE, false),
              std::filesystem::canonical(GRIDLOOM_VERSINFO_PROBE).string());
    EXPECT_EQ(FileChosenInLibrary(GRIDLOOM_VERSINFO_PROBE, true), ExecutableFileName());
}

// A library whose path is longer than the component's names is not read under a shorter
// name, which would be another file's: its own full name is the one chosen (and then read
// as nothing).
TEST_F(VersInfo, ALibraryWithALongPathIsNotTakenForItsShortenedName) {
    test::TTempFolder folder;
    const std::string deep = folder / std::string(240, 'd');
    std::filesystem::create_directory(deep);
    const std::string copy = deep + "/probe.so";
    std::filesystem::copy_file(GRIDLOOM_VERSINFO_PROBE, copy);
    ASSERT_GT(std::filesystem::canonical(copy).string().size(), 255u);
    EXPECT_EQ(FileChosenInLibrary(copy, false), std::filesystem::canonical(copy).string());
}

// The program's own block is read however long the path of its file: a copy of this test
// program lying deeper than 255 bytes runs this test again, and there it must find the block.
TEST_F(VersInfo, TheProgramsOwnBlockIsReadWhateverItsPathsLength) {
    if (ExecutableFileName().size() > 255) {
        TVersionInfoResource own;
        own.Loaded();
        EXPECT_EQ(own.ProductName(), "Skylune - Make master overlay");
        EXPECT_EQ(own.FileVersionNumber().AsString(), "1.4.0.10");
        // A name given by the caller keeps the platform's limit: read as nothing.
        TVersionInfoResource named;
        named.SetFilename(QString::fromStdString(ExecutableFileName()));
        EXPECT_EQ(named.ProductName(), "");
        return;
    }
    test::TTempFolder folder;
    const std::string deep = folder / (std::string(200, 'd') + "/" + std::string(100, 'e'));
    std::filesystem::create_directories(deep);
    const std::string copy = deep + "/about-tests";
    std::filesystem::copy_file(ExecutableFileName(), copy);
    const std::string command =
        "'" + copy + "' --gtest_filter=VersInfo.TheProgramsOwnBlockIsReadWhateverItsPathsLength >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
}  // namespace gridloom
