#include "about/moxAboutBox.h"

#include <QApplication>
#include <QFileInfo>
#include <QMouseEvent>
#include <QShowEvent>

#include "about/AboutLayout.h"
#include "about/AboutTexts.h"
#include "platform/Shell.h"

namespace gridloom {

TAboutBoxMOX::TAboutBoxMOX(QWidget* parent) : TAboutBox(parent), FOpenUrl(ShellOpen) {
    using namespace about_layout;
    setObjectName(QStringLiteral("AboutBoxMOX"));
    setWindowTitle(QString::fromLatin1(VersionAboutCaption));

    ProgramIcon->setGeometry(about_layout::ProgramIcon.Left, about_layout::ProgramIcon.Top,
                             about_layout::ProgramIcon.Width, about_layout::ProgramIcon.Height);
    QFont bold = ProductName->font();
    bold.setBold(true);
    ProductName->setFont(bold);
    ProductName->move(about_layout::ProductName.Left, about_layout::ProductName.Top);
    FitToText(ProductName);
    Version->move(about_layout::Version.Left, about_layout::Version.Top);
    CancelButton = OKButton;

    WebSite = new QLabel(QString::fromLatin1(WebSiteDesignText), Panel1);
    WebSite->setObjectName(QStringLiteral("WebSite"));
    WebSite->setGeometry(WebSiteAtDesign.Left, WebSiteAtDesign.Top, WebSiteAtDesign.Width, WebSiteAtDesign.Height);
    WebSite->setCursor(Qt::PointingHandCursor);
    QFont link = AboutBoxFont();
    link.setUnderline(true);
    WebSite->setFont(link);
    QPalette navy = WebSite->palette();
    navy.setColor(QPalette::WindowText, QColor(LinkRed, LinkGreen, LinkBlue));
    WebSite->setPalette(navy);
    WebSite->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    WebSite->installEventFilter(this);

    VI = new TVersionInfoResource(this);
    VI->setObjectName(QStringLiteral("VI"));
    VI->BeginLoading();
    VI->SetCopyrightLabel(Copyright);
    VI->SetProductLabel(ProductName);
    VI->SetShowResource(PreDefSet({pdCompanyName, pdFileDescription, pdInternalName, pdLegalTrademarks,
                                   pdOriginalFilename, pdProductVersion, pdComments, pdBuildFlags}));
    // The box's controls are all in place: the component reads the program's block now and
    // writes the product name and copyright, which stay as they are from then on.
    VI->Loaded();
    FitToText(ProductName);
    FitToText(Copyright);
}

void TAboutBoxMOX::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) FormShow();
    TAboutBox::showEvent(event);
}

void TAboutBoxMOX::FormShow() {
    setWindowTitle(QString::fromStdString(AboutBoxCaption(VI->ProductName().toStdString())));
    ProgramIcon->setPixmap(
        QApplication::windowIcon().pixmap(about_layout::ProgramIcon.Width, about_layout::ProgramIcon.Height));
    QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    Version->setText(QString::fromStdString(AboutVersionLine(
        program.toStdString(), VI->FileVersionNumber().AsString().toStdString(), VI->Comments().toStdString())));
    FitToText(Version);
    WebSite->setText(VI->GetNamedValue(QString::fromLatin1(WebSiteKey)));
    FitToText(WebSite);
    WebSite->move(about_layout::WebSiteRight - WebSite->width(), WebSite->y());
}

void TAboutBoxMOX::WebSiteClick() {
    const std::string address = WebSiteAddress(WebSite->text().toStdString());
    if (address.empty()) return;
    if (FOpenUrl) FOpenUrl(address);
}

bool TAboutBoxMOX::eventFilter(QObject* watched, QEvent* event) {
    if (watched == WebSite && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && WebSite->rect().contains(mouse->position().toPoint())) {
            WebSiteClick();
            return true;
        }
    }
    return TAboutBox::eventFilter(watched, event);
}

}  // namespace gridloom
