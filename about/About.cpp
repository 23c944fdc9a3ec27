#include "about/About.h"

#include <QKeyEvent>
#include <QScreen>

#include "about/AboutLayout.h"
#include "about/AboutTexts.h"

namespace gridloom {

QFont AboutBoxFont() {
    QFont font;
    // Where the Windows face is missing, Liberation Sans (Arial's metrics, and installed
    // with the program for the labels) keeps the texts within the widths laid out for it.
    font.setFamilies(
        {QString::fromLatin1(about_layout::FontFace), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPixelSize(about_layout::FontPixelHeight);
    return font;
}

void TAboutBox::FitToText(QLabel* label) { label->resize(label->sizeHint()); }

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    using namespace about_layout;
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QString::fromLatin1(PlainAboutCaption));
    // A dialog border: fixed size, no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, plain::ClientHeight);
    setFont(AboutBoxFont());
    setForegroundRole(QPalette::WindowText);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(plain::Panel.Left, plain::Panel.Top, plain::Panel.Width, plain::Panel.Height);
    // A lowered outer bevel round a raised inner one reads as an etched edge.
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(plain::ProgramIcon.Left, plain::ProgramIcon.Top, plain::ProgramIcon.Width,
                             plain::ProgramIcon.Height);
    ProgramIcon->setScaledContents(true);

    auto label = [this](const char* name, const char* text, TPoint at) {
        auto* l = new QLabel(QString::fromLatin1(text), Panel1);
        l->setObjectName(QString::fromLatin1(name));
        l->move(at.Left, at.Top);
        FitToText(l);
        return l;
    };
    ProductName = label("ProductName", ProductNameDesignText, plain::ProductName);
    Version = label("Version", VersionDesignText, plain::Version);
    Copyright = label("Copyright", CopyrightDesignText, about_layout::Copyright);
    Comments = label("Comments", CommentsText, about_layout::Comments);
    Comments->setWordWrap(true);

    OKButton = new QPushButton(QString::fromLatin1(OKButtonText), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(plain::OKButton.Left, plain::OKButton.Top, plain::OKButton.Width, plain::OKButton.Height);
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(Panel1, OKButton);
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (CancelButton != nullptr && CancelButton->isEnabled()) CancelButton->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    // Centred on the screen each time it is shown.
    if (QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}

}  // namespace gridloom
