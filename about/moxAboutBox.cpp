#include "about/moxAboutBox.h"

#include <QApplication>
#include <QFileInfo>
#include <QMouseEvent>
#include <QShowEvent>

#include "platform/Shell.h"

namespace gridloom {

TAboutBoxMOX::TAboutBoxMOX(QWidget* parent) : TAboutBox(parent), FOpenUrl(ShellOpen) {
    setObjectName(QStringLiteral("AboutBoxMOX"));
    setWindowTitle(objectName());

    ProgramIcon->setGeometry(16, 16, 32, 32);
    QFont bold = ProductName->font();
    bold.setBold(true);
    ProductName->setFont(bold);
    ProductName->move(64, ProductName->y());
    FitToText(ProductName);
    Version->move(64, Version->y());
    CancelButton = OKButton;

    WebSite = new QLabel(QStringLiteral("WebSite"), Panel1);
    WebSite->setObjectName(QStringLiteral("WebSite"));
    WebSite->setGeometry(232, 136, 41, 13);
    WebSite->setCursor(Qt::PointingHandCursor);
    QFont link = AboutBoxFont();
    link.setUnderline(true);
    WebSite->setFont(link);
    QPalette navy = WebSite->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
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
    setWindowTitle(QStringLiteral("About Veskar's ") + VI->ProductName());
    ProgramIcon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    Version->setText(program + QStringLiteral(", V") + VI->FileVersionNumber().AsString() + QStringLiteral(", ") +
                     VI->Comments());
    FitToText(Version);
    WebSite->setText(VI->GetNamedValue(QStringLiteral("Web site")));
    FitToText(WebSite);
    WebSite->move(WebSiteRight - WebSite->width(), WebSite->y());
}

void TAboutBoxMOX::WebSiteClick() {
    QString address = WebSite->text();
    if (address.isEmpty()) return;
    if (!address.contains(QStringLiteral("http://"), Qt::CaseSensitive)) address.prepend(QStringLiteral("http://"));
    if (FOpenUrl) FOpenUrl(address.toStdString());
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
