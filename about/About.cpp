#include "about/About.h"

#include <QKeyEvent>
#include <QScreen>

namespace gridloom {

QFont AboutBoxFont() {
    QFont font;
    // Where the Windows face is missing, Liberation Sans (Arial's metrics, and installed
    // with the program for the labels) keeps the texts within the widths laid out for it.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPixelSize(11);
    return font;
}

void TAboutBox::FitToText(QLabel* label) { label->resize(label->sizeHint()); }

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    // A dialog border: fixed size, no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(298, 213);
    setFont(AboutBoxFont());
    setForegroundRole(QPalette::WindowText);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 281, 161);
    // A lowered outer bevel round a raised inner one reads as an etched edge.
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(8, 8, 65, 57);
    ProgramIcon->setScaledContents(true);

    auto label = [this](const char* name, const char* text, int left, int top) {
        auto* l = new QLabel(QString::fromLatin1(text), Panel1);
        l->setObjectName(QString::fromLatin1(name));
        l->move(left, top);
        FitToText(l);
        return l;
    };
    ProductName = label("ProductName", "Product Name", 88, 16);
    Version = label("Version", "Version", 88, 40);
    Copyright = label("Copyright", "Copyright", 8, 80);
    Comments = label("Comments", "Comments", 8, 104);
    Comments->setWordWrap(true);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(111, 180, 75, 25);
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
