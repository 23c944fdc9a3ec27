#include "about/HelpAboutBox.h"

#include "about/AboutLayout.h"
#include "about/AboutTexts.h"

namespace gridloom {

TAboutBoxMOX1::TAboutBoxMOX1(QWidget* parent) : TAboutBoxMOX(parent) {
    using namespace about_layout;
    setObjectName(QStringLiteral("AboutBoxMOX1"));
    setWindowTitle(QString::fromLatin1(HelpAboutCaption));
    setFixedSize(ClientWidth, ClientHeight);
    Panel1->setGeometry(Panel.Left, Panel.Top, Panel.Width, Panel.Height);
    OKButton->setGeometry(about_layout::OKButton.Left, about_layout::OKButton.Top, about_layout::OKButton.Width,
                          about_layout::OKButton.Height);

    LabelNotice = new QLabel(QString::fromStdString(DeveloperNotice()), Panel1);
    LabelNotice->setObjectName(QStringLiteral("LabelNotice"));
    LabelNotice->setGeometry(about_layout::LabelNotice.Left, about_layout::LabelNotice.Top,
                             about_layout::LabelNotice.Width, about_layout::LabelNotice.Height);
    LabelNotice->setWordWrap(true);
    LabelNotice->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    // Plain text: an ampersand in a name is shown as itself, never as a shortcut mark.
    LabelNotice->setTextFormat(Qt::PlainText);

    EditSupport = new QLineEdit(QString::fromStdString(SupportAddress()), Panel1);
    EditSupport->setObjectName(QStringLiteral("EditSupport"));
    EditSupport->setGeometry(about_layout::EditSupport.Left, about_layout::EditSupport.Top,
                             about_layout::EditSupport.Width, about_layout::EditSupport.Height);
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
