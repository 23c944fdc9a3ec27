// The About box that fills itself from the program's own version block: product name,
// file name with version and release date, copyright, and a link to the developer's web
// site. OK, Enter and Esc all close it with the result Accepted.
#pragma once

#include <QLabel>
#include <functional>
#include <string>

#include "about/About.h"
#include "about/VersInfo.h"

namespace gridloom {

class TAboutBoxMOX : public TAboutBox {
    Q_OBJECT

public:
    explicit TAboutBoxMOX(QWidget* parent = nullptr);

    QLabel* WebSite;           // right edge held in place; a longer text grows left
    TVersionInfoResource* VI;  // reads the version block once, when the box is made

    // Fills the caption, the icon, the version line and the link from VI; runs each time
    // the box is shown.
    virtual void FormShow();
    // Opens the link's address in the browser, with "http://" put in front unless the text
    // already holds it exactly. An empty link does nothing; a failure to open is silent.
    virtual void WebSiteClick();

    // How an address is opened; the desktop's opener unless a test puts another in place.
    using TUrlOpener = std::function<bool(const std::string&)>;
    void SetUrlOpener(TUrlOpener opener) { FOpenUrl = std::move(opener); }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TUrlOpener FOpenUrl;
};

}  // namespace gridloom
