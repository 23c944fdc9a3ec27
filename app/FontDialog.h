// The font dialog of the window: the toolkit's font chooser (face, style, size, underline
// and strike-out) with a colour choice of the 16 basic colours, and OK and Cancel, in one
// dialog. Only fonts that exist can be chosen; sizes have no limits.
//
// The dialog opens on the face a font name is drawn with, which need not carry that name:
// "Arial" is drawn with Liberation Sans where Arial is not installed. What the user leaves
// alone keeps its value exactly: OK without a change gives back the very font the dialog
// started from, name included, and changing only the size keeps the face and the style.
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
    TFont FStart;  // the font given to SetFont
    TFont FShown;  // the same as the chooser first showed it (the face found for its name)
};

// The Qt font for a canvas font, and back (name, size in points, bold, italic, underline,
// strike-out; the colour is not part of a Qt font).
QFont ToQFont(const TFont& font);
// ToQFont with the family the name is drawn with (an alias or missing name replaced by the
// face the font system chooses for it), as a font chooser can list it.
QFont ResolvedQFont(const TFont& font);
TFont FromQFont(const QFont& font, TColor colour);

}  // namespace gridloom
