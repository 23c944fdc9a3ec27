// The version-information component: reads the version block of a program file (normally
// the running program's own) and offers its string values, its two four-part version
// numbers and its flags as text. It can write chosen values into linked labels and fill a
// linked list view with a two-column table of values.
//
// It reads when the window holding it has finished building it (Loaded), and again
// whenever Filename is assigned or ForceEXE changes; every query afterwards looks only in
// the copy of the block held since then, never at the file. Reading never reports
// anything: a file without a block simply gives empty values.
#pragma once

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTreeWidget>
#include <cstdint>
#include <initializer_list>
#include <memory>

namespace gridloom {

// The eleven predefined values; the ordinal selects the key, the caption, the property and
// the bit in ShowResource.
enum TPreDef {
    pdCompanyName,
    pdFileDescription,
    pdFileVersion,
    pdInternalName,
    pdLegalCopyright,
    pdLegalTrademarks,
    pdOriginalFilename,
    pdProductName,
    pdProductVersion,
    pdComments,
    pdBuildFlags
};
constexpr int PreDefCount = 11;

// A set of TPreDef, bit n for ordinal n; 2047 is all eleven.
using TPreDefs = uint16_t;
constexpr TPreDefs AllPreDefs = 2047;
constexpr TPreDefs PreDefSet(std::initializer_list<TPreDef> items) {
    TPreDefs set = 0;
    for (TPreDef item : items) set = static_cast<TPreDefs>(set | (1u << item));
    return set;
}
constexpr bool InPreDefs(TPreDefs set, TPreDef item) { return (set >> item) & 1u; }

// The fixed record's six flags, in the component's own order (not the order of the bits).
enum TFixedFileFlag { ffDebug, ffInfoInferred, ffPatched, ffPreRelease, ffPrivate, ffSpecial };
constexpr int FixedFileFlagCount = 6;
using TFixedFileFlags = uint8_t;  // bit n for element n

// The keys of the string table, by ordinal ("CompanyName" ... "BuildFlags").
extern const char* const PreDefKeys[PreDefCount];
// The translatable texts: row captions ("Company Name" ...), flag captions ("Debug" ...)
// and the list view's two column headers ("Resource", "Value").
QString PreDefCaption(TPreDef item);
QString FixedFlagCaption(TFixedFileFlag flag);
QString ResourceColumnCaption();
QString ValueColumnCaption();

using TVersionFilename = QString;

// One four-part version number: major.minor.release.build.
class TVersionNumberInformation {
public:
    TVersionNumberInformation(uint32_t versionMS, uint32_t versionLS) : VersionMS(versionMS), VersionLS(versionLS) {}

    bool Valid = false;      // true once a block has been read
    uint32_t VersionMS = 0;  // major (high 16 bits), minor (low 16 bits)
    uint32_t VersionLS = 0;  // release, build
    QString VersionText;     // the string table's text for the version, if any

    // Part 0 to 3, high to low; 0 for any other index and while not Valid.
    uint16_t Part(int index) const;
    // Empty while not Valid; VersionText when it is not empty; else "major.minor.release.build".
    QString AsString() const;
};

// A read-only view of the fixed record inside the component's copy of the block; every
// accessor gives 0 (or no flags) while the component holds no record.
class TFixedFileVersionInfo {
public:
    uint32_t FileVersionMS() const;
    uint32_t FileVersionLS() const;
    uint32_t ProductVersionMS() const;
    uint32_t ProductVersionLS() const;
    // Made from the record's flags word; the flags mask is not consulted.
    TFixedFileFlags FileFlags() const;

    const uint8_t* Record = nullptr;  // not owned

private:
    uint32_t Field(int index) const;
};

class TVersionInfoResource : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Version READ Version WRITE SetVersion STORED false)
    Q_PROPERTY(QString Filename READ Filename WRITE SetFilename)
    Q_PROPERTY(bool ForceEXE READ ForceEXE WRITE SetForceEXE)
    Q_PROPERTY(QString CompanyName READ CompanyName)
    Q_PROPERTY(QString FileDescription READ FileDescription)
    Q_PROPERTY(QString InternalName READ InternalName)
    Q_PROPERTY(QString LegalCopyright READ LegalCopyright)
    Q_PROPERTY(QString LegalTrademarks READ LegalTrademarks)
    Q_PROPERTY(QString OriginalFilename READ OriginalFilename)
    Q_PROPERTY(QString ProductName READ ProductName)
    Q_PROPERTY(QString Comments READ Comments)
    Q_PROPERTY(QLabel* VersionLabel READ VersionLabel WRITE SetVersionLabel)
    Q_PROPERTY(QTreeWidget* VersionListView READ VersionListView WRITE SetVersionListView)
    Q_PROPERTY(QLabel* DescriptionLabel READ DescriptionLabel WRITE SetDescriptionLabel)
    Q_PROPERTY(QLabel* CopyrightLabel READ CopyrightLabel WRITE SetCopyrightLabel)
    Q_PROPERTY(QLabel* ProductLabel READ ProductLabel WRITE SetProductLabel)
    Q_PROPERTY(uint16_t ShowResource READ ShowResource WRITE SetShowResource)

public:
    explicit TVersionInfoResource(QObject* owner = nullptr);
    ~TVersionInfoResource() override;

    // Always "TVersionInfoResource v2.35"; assigning it changes nothing.
    QString Version() const;
    void SetVersion(const QString&) {}

    // The file to read; empty chooses it (see GetResourceFilename). Assigning reads again,
    // even the same name.
    TVersionFilename Filename() const { return FFilename; }
    void SetFilename(const TVersionFilename& filename);
    // Inside a library, read the host program rather than the library. Reads again only
    // when the value changes.
    bool ForceEXE() const { return FForceEXE; }
    void SetForceEXE(bool force);

    QString CompanyName() const { return GetIndexedValue(pdCompanyName); }
    QString FileDescription() const { return GetIndexedValue(pdFileDescription); }
    QString InternalName() const { return GetIndexedValue(pdInternalName); }
    QString LegalCopyright() const { return GetIndexedValue(pdLegalCopyright); }
    QString LegalTrademarks() const { return GetIndexedValue(pdLegalTrademarks); }
    QString OriginalFilename() const { return GetIndexedValue(pdOriginalFilename); }
    QString ProductName() const { return GetIndexedValue(pdProductName); }
    QString Comments() const { return GetIndexedValue(pdComments); }

    // Links to controls the component fills; not owned, and null again once the control is
    // destroyed. Linking a label takes its value out of ShowResource (the list view need
    // not repeat it); unlinking leaves ShowResource alone.
    QLabel* VersionLabel() const { return FVersionLabel; }
    void SetVersionLabel(QLabel* label);
    QTreeWidget* VersionListView() const { return FVersionListView; }
    void SetVersionListView(QTreeWidget* view);
    QLabel* DescriptionLabel() const { return FDescriptionLabel; }
    void SetDescriptionLabel(QLabel* label);
    QLabel* CopyrightLabel() const { return FCopyrightLabel; }
    void SetCopyrightLabel(QLabel* label);
    QLabel* ProductLabel() const { return FProductLabel; }
    void SetProductLabel(QLabel* label);

    // The rows the list view may show. A new value fills the linked controls again.
    TPreDefs ShowResource() const { return FShowResource; }
    void SetShowResource(TPreDefs items);

    // The value of predefined item index (0 to 10); empty for any other index.
    QString GetIndexedValue(int index) const;
    // The value of key name in the string table of the translation in use (the block's
    // first; "040904E4" when it lists none); empty when there is none.
    QString GetNamedValue(const QString& name) const;

    TVersionNumberInformation& FileVersionNumber() { return *FFileVersionNumber; }
    const TVersionNumberInformation& FileVersionNumber() const { return *FFileVersionNumber; }
    TVersionNumberInformation& ProductVersionNumber() { return *FProductVersionNumber; }
    const TVersionNumberInformation& ProductVersionNumber() const { return *FProductVersionNumber; }
    const TFixedFileVersionInfo& FixedInfo() const { return *FFixedInfo; }
    // One eight-digit key per translation of the block, upper-case ("080904E4").
    const QStringList& Translations() const { return FTranslations; }
    uint32_t VersionBlockSize() const { return FVersionBlockSize; }
    // The copy of the block read last (VersionBlockSize bytes), for VerQueryValueA; null
    // when none was read.
    const uint8_t* VersionBlock() const { return FVersionBlock.get(); }

    // The window building the component calls BeginLoading before it sets the links and
    // Loaded when it is done: the first Loaded reads the block and fills the links.
    void BeginLoading() { FLoading = true; }
    virtual void Loaded();
    bool Loading() const { return FLoading; }
    // A component being designed fills no controls.
    bool Designing() const { return FDesigning; }
    void SetDesigning(bool designing) { FDesigning = designing; }

    // Filename when given; otherwise the running program's file, or, for a component
    // compiled into a shared library, that library's file unless ForceEXE.
    virtual QString GetResourceFilename() const;
    virtual void PopulateControls();
    virtual void PopulateListView();
    // The captions of the set flags in element order, separated by ", ".
    virtual QString BuildFlagsText() const;
    virtual void ReadVersionInfo();

private:
    void LinkLabel(QPointer<QLabel>& field, QLabel* label, TPreDef item);

    std::unique_ptr<uint8_t[]> FVersionBlock;
    uint32_t FVersionBlockSize = 0;
    TVersionFilename FFilename;
    QStringList FTranslations;
    int32_t FTranslationIndex = 0;
    std::unique_ptr<TFixedFileVersionInfo> FFixedInfo;
    bool FForceEXE = false;
    std::unique_ptr<TVersionNumberInformation> FFileVersionNumber;
    std::unique_ptr<TVersionNumberInformation> FProductVersionNumber;
    QPointer<QLabel> FVersionLabel;
    QPointer<QLabel> FCopyrightLabel;
    QPointer<QTreeWidget> FVersionListView;
    QPointer<QLabel> FDescriptionLabel;
    QPointer<QLabel> FProductLabel;
    TPreDefs FShowResource = AllPreDefs;
    bool FLoading = false;
    bool FLoadedOnce = false;
    bool FDesigning = false;
};

}  // namespace gridloom
