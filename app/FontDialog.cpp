#include "app/FontDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QFormLayout>
#include <QPixmap>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/EngineText.h"

namespace gridloom {

namespace {

struct TNamedColour {
    const char* Name;
    TColor Colour;
};

// The colours a font can take in the classic font dialog, in its order.
constexpr TNamedColour BasicColours[] = {
    {"Black", RGB(0, 0, 0)},       {"Maroon", RGB(128, 0, 0)},    {"Green", RGB(0, 128, 0)},
    {"Olive", RGB(128, 128, 0)},   {"Navy", RGB(0, 0, 128)},      {"Purple", RGB(128, 0, 128)},
    {"Teal", RGB(0, 128, 128)},    {"Gray", RGB(128, 128, 128)},  {"Silver", RGB(192, 192, 192)},
    {"Red", RGB(255, 0, 0)},       {"Lime", RGB(0, 255, 0)},      {"Yellow", RGB(255, 255, 0)},
    {"Blue", RGB(0, 0, 255)},      {"Fuchsia", RGB(255, 0, 255)}, {"Aqua", RGB(0, 255, 255)},
    {"White", RGB(255, 255, 255)},
};

QIcon Swatch(TColor colour) {
    QPixmap pixmap(24, 12);
    pixmap.fill(QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
    return QIcon(pixmap);
}

}  // namespace

QFont ToQFont(const TFont& font) {
    QFont q(FromEngineText(font.Name));
    // A canvas takes a negative size as its magnitude and 0 as its default of 8 points.
    const int points = font.Size == 0 ? 8 : (font.Size < 0 ? -font.Size : font.Size);
    q.setPointSize(points);
    q.setBold(font.Style & fsBold);
    q.setItalic(font.Style & fsItalic);
    q.setUnderline(font.Style & fsUnderline);
    q.setStrikeOut(font.Style & fsStrikeOut);
    return q;
}

QFont ResolvedQFont(const TFont& font) {
    QFont q = ToQFont(font);
    q.setFamily(QFontInfo(q).family());
    return q;
}

TFont FromQFont(const QFont& font, TColor colour) {
    TFont f;
    f.Name = ToEngineText(font.family());
    f.Size = font.pointSize() > 0 ? font.pointSize() : int32_t(std::lround(std::max(font.pointSizeF(), 0.0)));
    f.Style = TFontStyles((font.bold() ? fsBold : 0) | (font.italic() ? fsItalic : 0) |
                          (font.underline() ? fsUnderline : 0) | (font.strikeOut() ? fsStrikeOut : 0));
    f.Color = colour;
    return f;
}

TFontDialog::TFontDialog(QWidget* parent)
    : QDialog(parent), FChooser(new QFontDialog(this)), FColour(new QComboBox(this)) {
    setWindowTitle("Font");
    // The toolkit's chooser, used as a part of this dialog rather than as a window of its own.
    FChooser->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    FChooser->setWindowFlags(Qt::Widget);
    FChooser->setSizeGripEnabled(false);
    for (const TNamedColour& c : BasicColours)
        FColour->addItem(Swatch(c.Colour), c.Name, QVariant::fromValue(c.Colour));

    auto* colourRow = new QFormLayout;
    colourRow->addRow("&Colour:", FColour);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FChooser);
    layout->addLayout(colourRow);
    layout->addWidget(buttons);
}

void TFontDialog::SetFont(const TFont& font) {
    // The chooser lists faces, not the names that stand for them; given a name it does not
    // list it would show the toolkit's default face instead.
    FChooser->setCurrentFont(ResolvedQFont(font));
    SelectColour(font.Color);
    FStart = font;
    FShown = FromQFont(FChooser->currentFont(), font.Color);
}

TFont TFontDialog::Font() const {
    const TFont chosen = FromQFont(FChooser->currentFont(), FColour->currentData().value<TColor>());
    // Each attribute the user changed is taken; the others keep the starting font's value.
    TFont font = FStart;
    if (chosen.Name != FShown.Name) font.Name = chosen.Name;
    if (chosen.Size != FShown.Size) font.Size = chosen.Size;
    const TFontStyles changed = chosen.Style ^ FShown.Style;
    font.Style = TFontStyles((FStart.Style & ~changed) | (chosen.Style & changed));
    font.Color = chosen.Color;
    return font;
}

bool TFontDialog::Execute() { return exec() == QDialog::Accepted; }

void TFontDialog::SelectColour(TColor colour) {
    int index = FColour->findData(QVariant::fromValue(colour));
    if (index < 0) {
        // A colour outside the basic sixteen stays choosable as it is.
        FColour->addItem(Swatch(colour), "Custom", QVariant::fromValue(colour));
        index = FColour->count() - 1;
    }
    FColour->setCurrentIndex(index);
}

}  // namespace gridloom
