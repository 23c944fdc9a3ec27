#include "about/HelpAboutBox.h"

#include "GridloomIdentity.h"

namespace gridloom {

QString DeveloperNotice() {
    return QStringLiteral("Software developed by ") + QString::fromUtf8(identity::Developer) + QStringLiteral(", ") +
           QString::fromUtf8(identity::Town) + QStringLiteral(", e-mail: ") + QString::fromUtf8(identity::Email) +
           QStringLiteral(".  Support is from your software supplier or via:");
}

TAboutBoxMOX1::TAboutBoxMOX1(QWidget* parent) : TAboutBoxMOX(parent) {
    setObjectName(QStringLiteral("AboutBoxMOX1"));
    setWindowTitle(objectName());
    setFixedSize(298, 322);
    Panel1->resize(Panel1->width(), 265);
    OKButton->move(OKButton->x(), 284);

    LabelNotice = new QLabel(DeveloperNotice(), Panel1);
    LabelNotice->setObjectName(QStringLiteral("LabelNotice"));
    LabelNotice->setGeometry(8, 168, 262, 57);
    LabelNotice->setWordWrap(true);
    LabelNotice->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    // Plain text: an ampersand in a name is shown as itself, never as a shortcut mark.
    LabelNotice->setTextFormat(Qt::PlainText);

    EditSupport = new QLineEdit(QString::fromUtf8(identity::SupportAddress), Panel1);
    EditSupport->setObjectName(QStringLiteral("EditSupport"));
    EditSupport->setGeometry(8, 236, 265, 21);
    EditSupport->setFrame(false);
    EditSupport->setReadOnly(true);
    EditSupport->setFocusPolicy(Qt::ClickFocus);
    QPalette face = EditSupport->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    EditSupport->setPalette(face);
    EditSupport->setCursorPosition(0);

    // The button comes first, so it has the focus when the box opens.
    setTabOrder(OKButton, Panel1);
    OKButton->setFocus();
}

}  // namespace gridloom
