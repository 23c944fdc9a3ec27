// The plain About template: an icon, four labels in a bevelled panel, and an OK button
// that Enter presses. The boxes the program shows are built on it (moxAboutBox.h).
#pragma once

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace gridloom {

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QFrame* Panel1;
    QLabel* ProgramIcon;  // the picture is stretched to the label
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Copyright;
    QLabel* Comments;  // wraps its words
    QPushButton* OKButton;

    // The button Esc presses; none in the template, where Esc does nothing.
    QPushButton* CancelButton = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Makes a label as wide and high as its text, as the box's labels are.
    static void FitToText(QLabel* label);
};

// The box's text font: "MS Sans Serif" 11 pixels high (8 points at 96 pixels an inch), or
// Liberation Sans in its place.
QFont AboutBoxFont();

}  // namespace gridloom
