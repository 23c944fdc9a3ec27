#include "about/VersInfo.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QTreeWidgetItem>
#include <climits>
#include <cstddef>
#include <cstring>

#include "about/VersionValues.h"
#include "platform/ModuleFile.h"
#include "platform/VersionBlock.h"
#include "platform/VersionInfo.h"

namespace gridloom {

const char* const PreDefKeys[PreDefCount] = {"CompanyName",    "FileDescription", "FileVersion",      "InternalName",
                                             "LegalCopyright", "LegalTrademarks", "OriginalFilename", "ProductName",
                                             "ProductVersion", "Comments",        "BuildFlags"};

namespace {

const char* const PreDefCaptionTexts[PreDefCount] = {
    QT_TRANSLATE_NOOP("VersInfo", "Company Name"),      QT_TRANSLATE_NOOP("VersInfo", "File Description"),
    QT_TRANSLATE_NOOP("VersInfo", "File Version"),      QT_TRANSLATE_NOOP("VersInfo", "Internal Name"),
    QT_TRANSLATE_NOOP("VersInfo", "Legal Copyright"),   QT_TRANSLATE_NOOP("VersInfo", "Legal Trademarks"),
    QT_TRANSLATE_NOOP("VersInfo", "Original Filename"), QT_TRANSLATE_NOOP("VersInfo", "Product Name"),
    QT_TRANSLATE_NOOP("VersInfo", "Product Version"),   QT_TRANSLATE_NOOP("VersInfo", "Comments"),
    QT_TRANSLATE_NOOP("VersInfo", "Build Flags")};

const char* const FixedFlagCaptionTexts[FixedFileFlagCount] = {
    QT_TRANSLATE_NOOP("VersInfo", "Debug"),   QT_TRANSLATE_NOOP("VersInfo", "Info Inferred"),
    QT_TRANSLATE_NOOP("VersInfo", "Patched"), QT_TRANSLATE_NOOP("VersInfo", "Pre-Release"),
    QT_TRANSLATE_NOOP("VersInfo", "Private"), QT_TRANSLATE_NOOP("VersInfo", "Special")};

// The record's flag bit for each element of TFixedFileFlag.
constexpr uint32_t FixedFlagBits[FixedFileFlagCount] = {VS_FF_DEBUG,      VS_FF_INFOINFERRED, VS_FF_PATCHED,
                                                        VS_FF_PRERELEASE, VS_FF_PRIVATEBUILD, VS_FF_SPECIALBUILD};

// An address inside whichever module this code was linked into.
void ModuleAnchor() {}

const void* ThisModule() { return reinterpret_cast<const void*>(&ModuleAnchor); }

// Whether a component with no file of its own reads the program's executable: compiled into
// the program, or told to read it from a library.
bool ReadsTheProgram(bool forceExe) { return forceExe || !IsInsideLibrary(ThisModule()); }

}  // namespace

QString PreDefCaption(TPreDef item) { return QCoreApplication::translate("VersInfo", PreDefCaptionTexts[item]); }
QString FixedFlagCaption(TFixedFileFlag flag) {
    return QCoreApplication::translate("VersInfo", FixedFlagCaptionTexts[flag]);
}
QString ResourceColumnCaption() { return QCoreApplication::translate("VersInfo", "Resource"); }
QString ValueColumnCaption() { return QCoreApplication::translate("VersInfo", "Value"); }

uint16_t TVersionNumberInformation::Part(int index) const {
    if (!Valid) return 0;
    switch (index) {
    case 0: return static_cast<uint16_t>(VersionMS >> 16);
    case 1: return static_cast<uint16_t>(VersionMS);
    case 2: return static_cast<uint16_t>(VersionLS >> 16);
    case 3: return static_cast<uint16_t>(VersionLS);
    default: return 0;
    }
}

QString TVersionNumberInformation::AsString() const {
    if (!Valid) return {};
    return QString::fromStdString(VersionNumberText(VersionMS, VersionLS, VersionText.toStdString()));
}

uint32_t TFixedFileVersionInfo::Field(int index) const {
    if (Record == nullptr) return 0;
    uint32_t value;
    std::memcpy(&value, Record + std::ptrdiff_t(index) * 4, 4);
    return value;
}
uint32_t TFixedFileVersionInfo::FileVersionMS() const { return Field(2); }
uint32_t TFixedFileVersionInfo::FileVersionLS() const { return Field(3); }
uint32_t TFixedFileVersionInfo::ProductVersionMS() const { return Field(4); }
uint32_t TFixedFileVersionInfo::ProductVersionLS() const { return Field(5); }
TFixedFileFlags TFixedFileVersionInfo::FileFlags() const {
    uint32_t word = Field(7);
    TFixedFileFlags flags = 0;
    for (int i = 0; i < FixedFileFlagCount; ++i)
        if (word & FixedFlagBits[i]) flags = static_cast<TFixedFileFlags>(flags | (1u << i));
    return flags;
}

TVersionInfoResource::TVersionInfoResource(QObject* owner)
    : QObject(owner),
      FFixedInfo(std::make_unique<TFixedFileVersionInfo>()),
      FFileVersionNumber(std::make_unique<TVersionNumberInformation>(0, 0)),
      FProductVersionNumber(std::make_unique<TVersionNumberInformation>(0, 0)) {}

TVersionInfoResource::~TVersionInfoResource() = default;

QString TVersionInfoResource::Version() const { return QStringLiteral("TVersionInfoResource v2.35"); }

void TVersionInfoResource::SetFilename(const TVersionFilename& filename) {
    FFilename = filename;
    ReadVersionInfo();
}

void TVersionInfoResource::SetForceEXE(bool force) {
    if (force == FForceEXE) return;
    FForceEXE = force;
    ReadVersionInfo();
}

void TVersionInfoResource::LinkLabel(QPointer<QLabel>& field, QLabel* label, TPreDef item) {
    field = label;
    if (label == nullptr) return;
    FShowResource = static_cast<TPreDefs>(FShowResource & ~(1u << item));
    PopulateControls();
}

void TVersionInfoResource::SetVersionLabel(QLabel* label) { LinkLabel(FVersionLabel, label, pdFileVersion); }
void TVersionInfoResource::SetCopyrightLabel(QLabel* label) { LinkLabel(FCopyrightLabel, label, pdLegalCopyright); }
void TVersionInfoResource::SetProductLabel(QLabel* label) { LinkLabel(FProductLabel, label, pdProductName); }
void TVersionInfoResource::SetDescriptionLabel(QLabel* label) {
    LinkLabel(FDescriptionLabel, label, pdFileDescription);
}

void TVersionInfoResource::SetVersionListView(QTreeWidget* view) {
    FVersionListView = view;
    if (view != nullptr) PopulateControls();
}

void TVersionInfoResource::SetShowResource(TPreDefs items) {
    if (items == FShowResource) return;
    FShowResource = items;
    PopulateControls();
}

QString TVersionInfoResource::GetIndexedValue(int index) const {
    if (index < 0 || index >= PreDefCount) return {};
    return GetNamedValue(QString::fromLatin1(PreDefKeys[index]));
}

QString TVersionInfoResource::GetNamedValue(const QString& name) const {
    if (!FVersionBlock) return {};
    const std::string key = FTranslationIndex >= 0 && FTranslationIndex < FTranslations.size()
                                ? FTranslations[FTranslationIndex].toStdString()
                                : std::string(DefaultTranslationKey);
    return QString::fromUtf8(LookUpStringValue(FVersionBlock.get(), key, name.toStdString()));
}

QString TVersionInfoResource::GetResourceFilename() const {
    if (!FFilename.isEmpty()) return FFilename;
    if (ReadsTheProgram(FForceEXE)) return QString::fromStdString(ExecutableFileName());
    // Room for any path: cut to the names this reads, it could name another file, where a
    // whole name too long is read as nothing.
    char buffer[PATH_MAX + 1];
    GetModuleFileNameA(ThisModule(), buffer, sizeof buffer);
    return QString::fromUtf8(buffer);
}

QString TVersionInfoResource::BuildFlagsText() const {
    QString text;
    TFixedFileFlags flags = FFixedInfo->FileFlags();
    for (int i = 0; i < FixedFileFlagCount; ++i)
        if (flags & (1u << i)) text += FixedFlagCaption(static_cast<TFixedFileFlag>(i)) + QStringLiteral(", ");
    if (!text.isEmpty()) text.chop(2);
    return text;
}

void TVersionInfoResource::ReadVersionInfo() {
    FTranslations.clear();
    FFixedInfo->Record = nullptr;
    FVersionBlock.reset();

    // The program's own file is opened by a name that fits whatever the length of its path;
    // names given by a caller, and libraries, keep the platform's limit.
    QByteArray name = FFilename.isEmpty() && ReadsTheProgram(FForceEXE)
                          ? QByteArray::fromStdString(ExecutableOpenName())
                          : GetResourceFilename().toUtf8();
    TVersionBlockRead read = ReadVersionBlock(name.toStdString());
    FVersionBlockSize = read.ReportedSize;
    FVersionBlock = std::move(read.Block);

    if (!FVersionBlock) {
        FFileVersionNumber->Valid = false;
        FProductVersionNumber->Valid = false;
    } else {
        FFixedInfo->Record = FixedRecordOf(FVersionBlock.get());
        for (const std::string& key : ReadTranslationKeys(FVersionBlock.get()))
            FTranslations.append(QString::fromStdString(key));
        if (FTranslationIndex >= FTranslations.size()) FTranslationIndex = 0;
        auto fill = [this](TVersionNumberInformation& number, uint32_t ms, uint32_t ls, TPreDef text) {
            number.Valid = true;
            number.VersionMS = ms;
            number.VersionLS = ls;
            number.VersionText = GetIndexedValue(text);
        };
        fill(*FFileVersionNumber, FFixedInfo->FileVersionMS(), FFixedInfo->FileVersionLS(), pdFileVersion);
        fill(*FProductVersionNumber, FFixedInfo->ProductVersionMS(), FFixedInfo->ProductVersionLS(), pdProductVersion);
    }
    PopulateControls();
}

void TVersionInfoResource::Loaded() {
    FLoading = false;
    if (FLoadedOnce) return;
    FLoadedOnce = true;
    ReadVersionInfo();
}

void TVersionInfoResource::PopulateControls() {
    if (FLoading || FDesigning) return;
    if (FVersionLabel) FVersionLabel->setText(FFileVersionNumber->AsString());
    if (FCopyrightLabel) FCopyrightLabel->setText(LegalCopyright());
    if (FProductLabel) FProductLabel->setText(ProductName());
    if (FDescriptionLabel) FDescriptionLabel->setText(FileDescription());
    if (FVersionListView) PopulateListView();
}

void TVersionInfoResource::PopulateListView() {
    QTreeWidget* view = FVersionListView;
    if (view == nullptr) return;
    view->clear();
    view->setColumnCount(2);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->header()->setSectionsClickable(false);
    view->setSortingEnabled(false);
    view->setHeaderLabels({ResourceColumnCaption(), ValueColumnCaption()});

    const TPreDef rows[] = {pdProductName,      pdProductVersion,  pdCompanyName, pdLegalCopyright,
                            pdLegalTrademarks,  pdFileDescription, pdFileVersion, pdInternalName,
                            pdOriginalFilename, pdBuildFlags,      pdComments};
    for (TPreDef row : rows) {
        QString value;
        switch (row) {
        case pdProductVersion: value = FProductVersionNumber->AsString(); break;
        case pdFileVersion: value = FFileVersionNumber->AsString(); break;
        case pdBuildFlags: value = BuildFlagsText(); break;
        default: value = GetIndexedValue(row); break;
        }
        if (value.isEmpty() || !InPreDefs(FShowResource, row)) continue;
        new QTreeWidgetItem(view, {PreDefCaption(row), value});
    }
    // Each column as wide as its header and its widest value.
    view->resizeColumnToContents(0);
    view->resizeColumnToContents(1);
}

}  // namespace gridloom
