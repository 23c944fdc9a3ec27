// The About box the program shows: the version-filled box with, below the link, a notice
// naming the developer and the address for subscribing to support.
//
// The main window makes one at start-up, hidden, and shows it modally from its "About"
// button; closing only hides it, and the next show fills it again the same way.
#pragma once

#include <QLabel>
#include <QLineEdit>

#include "about/moxAboutBox.h"

namespace gridloom {

class TAboutBoxMOX1 : public TAboutBoxMOX {
    Q_OBJECT

public:
    explicit TAboutBoxMOX1(QWidget* parent = nullptr);

    QLabel* LabelNotice;     // its last line sits just above the support address
    QLineEdit* EditSupport;  // reads like a label, but can be selected and copied
};

}  // namespace gridloom
