// The font dialog of the window: the toolkit's font chooser (face, style, size, underline
// and strike-out) with a colour choice of the 16 basic colours, and OK and Cancel, in one
// dialog. Only fonts that exist can be chosen; sizes have no limits.
#pragma once

#include <QDialog>

#include "render/Font.h"

class QComboBox;
class QFont;
class QFontDialog;

namespace gridloom {

class TFontDialog : public QDialog {
    Q_OBJECT

public:
    explicit TFontDialog(QWidget* parent = nullptr);

    // The font the dialog starts from, all attributes.
    void SetFont(const TFont& font);
    // The font as the user left it; meaningful after OK.
    TFont Font() const;

    // Shows the dialog modally; true when the user confirmed.
    bool Execute();

    QFontDialog* FontChooser() const { return FChooser; }
    QComboBox* ColourChoice() const { return FColour; }

private:
    void SelectColour(TColor colour);

    QFontDialog* FChooser;
    QComboBox* FColour;
};

// The Qt font for a canvas font, and back (name, size in points, bold, italic, underline,
// strike-out; the colour is not part of a Qt font).
QFont ToQFont(const TFont& font);
TFont FromQFont(const QFont& font, TColor colour);

}  // namespace gridloom
