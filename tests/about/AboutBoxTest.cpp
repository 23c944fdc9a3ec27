// The About box the program shows, made offscreen: what it shows from a block, the link's
// address rule, and the three ways of closing it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "AboutTestSupport.h"
#include "about/HelpAboutBox.h"
#include "about/ProgramIcon.h"

namespace gridloom {
namespace {

using test::ProgramLikeDescription;
using test::WithString;

class AboutBox : public ::testing::Test {
protected:
    static void SetUpTestSuite() { QApplication::setWindowIcon(GridloomIcon()); }
    void SetUp() override {
        Box = std::make_unique<TAboutBoxMOX1>();
        Box->SetUrlOpener([this](const std::string& url) {
            Opened.push_back(url);
            return true;
        });
    }
    // What FormShow fills, as one line each, read from the shown box.
    std::vector<QString> ShownTexts() {
        Box->show();
        std::vector<QString> texts = {Box->windowTitle(), Box->ProductName->text(), Box->Version->text(),
                                      Box->Copyright->text(), Box->WebSite->text()};
        Box->hide();
        return texts;
    }
    void ClickWebSite() {
        QPointF inside(2, 2);
        QMouseEvent press(QEvent::MouseButtonPress, inside, Box->WebSite->mapToGlobal(inside), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, inside, Box->WebSite->mapToGlobal(inside), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(Box->WebSite, &press);
        QApplication::sendEvent(Box->WebSite, &release);
    }
    std::unique_ptr<TAboutBoxMOX1> Box;
    std::vector<std::string> Opened;
    test::TProgramFiles Files;
};

// This test program carries the program's own block, as the real program does.
TEST_F(AboutBox, ShowsTheProgramsOwnBlockTheSameAtEveryShow) {
    std::vector<QString> first = ShownTexts();
    EXPECT_EQ(first[0], "About Veskar's Skylune - Make master overlay");
    EXPECT_EQ(first[1], "Skylune - Make master overlay");
    EXPECT_EQ(first[2], "gridloom_about_tests, V1.4.0.10, 2002 Apr 04");
    EXPECT_EQ(first[3], "Copyright \u00A9 1998-2002 Tarnwick");
    EXPECT_EQ(first[4], "www.tarnwick.example");
    EXPECT_EQ(ShownTexts(), first);
    EXPECT_EQ(Box->LabelNotice->text(),
              "Software developed by Tarnwick, Kellsmouth, e-mail: software@tarnwick.example.  "
              "Support is from your software supplier or via:");
    EXPECT_EQ(Box->EditSupport->text(), "skylune-subscribe@lists.tarnwick.example");
    EXPECT_FALSE(Box->ProgramIcon->pixmap().isNull());
}

TEST_F(AboutBox, TheLayoutHoldsItsPlaces) {
    Box->show();
    EXPECT_EQ(Box->size(), QSize(298, 322));
    EXPECT_EQ(Box->Panel1->geometry(), QRect(8, 8, 281, 265));
    EXPECT_EQ(Box->OKButton->geometry(), QRect(111, 284, 75, 25));
    EXPECT_EQ(Box->ProgramIcon->geometry(), QRect(16, 16, 32, 32));
    EXPECT_EQ(Box->ProductName->pos(), QPoint(64, 16));
    EXPECT_TRUE(Box->ProductName->font().bold());
    EXPECT_EQ(Box->Version->pos(), QPoint(64, 40));
    EXPECT_EQ(Box->LabelNotice->geometry(), QRect(8, 168, 262, 57));
    EXPECT_EQ(Box->EditSupport->geometry(), QRect(8, 236, 265, 21));
    EXPECT_TRUE(Box->EditSupport->isReadOnly());
    EXPECT_EQ(Box->focusWidget(), Box->OKButton);
    EXPECT_EQ(Box->WebSite->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(Box->WebSite->font().underline());
    Box->hide();
}

TEST_F(AboutBox, TheLinksRightEdgeStaysWhateverItsLength) {
    for (const char* site : {"a.example", "www.tarnwick.example", "a-much-longer-host-name.tarnwick.example"}) {
        Box->VI->SetFilename(Files.Write("site", WithString(ProgramLikeDescription(), "Web site", site)));
        Box->show();
        EXPECT_EQ(Box->WebSite->text(), site);
        EXPECT_EQ(Box->WebSite->geometry().right() + 1, 273) << site;
        EXPECT_GE(Box->WebSite->width(), Box->WebSite->sizeHint().width()) << site;
        Box->hide();
    }
}

TEST_F(AboutBox, AnEmptyCommentLeavesTheVersionLineEndingInACommaAndBlank) {
    Box->VI->SetFilename(Files.Write("no-comment", WithString(ProgramLikeDescription(), "Comments", "")));
    EXPECT_EQ(ShownTexts()[2], "gridloom_about_tests, V1.4.0.10, ");
}

TEST_F(AboutBox, WithoutABlockTheBoxIsEmptyAndTheLinkDoesNothing) {
    Box->VI->SetFilename(Files.WriteWithoutBlock("plain"));
    std::vector<QString> texts = ShownTexts();
    EXPECT_EQ(texts, std::vector<QString>({"About Veskar's ", "", "gridloom_about_tests, V, ", "", ""}));
    ClickWebSite();
    EXPECT_TRUE(Opened.empty());
}

TEST_F(AboutBox, TheLinkOpensItsAddressWithTheSchemeOnlyWhereItIsMissingExactly) {
    const std::pair<const char*, const char*> cases[] = {
        {"www.tarnwick.example", "http://www.tarnwick.example"},
        {"see http://www.tarnwick.example/skylune", "see http://www.tarnwick.example/skylune"},
        {"HTTP://WWW.TARNWICK.EXAMPLE", "http://HTTP://WWW.TARNWICK.EXAMPLE"},
        {"https://www.tarnwick.example", "http://https://www.tarnwick.example"},
    };
    for (const auto& [site, opened] : cases) {
        Box->VI->SetFilename(Files.Write("site", WithString(ProgramLikeDescription(), "Web site", site)));
        Box->show();
        Opened.clear();
        ClickWebSite();
        EXPECT_EQ(Opened, std::vector<std::string>({opened})) << site;
        Box->hide();
    }
}

TEST_F(AboutBox, OkEnterAndEscAllCloseWithTheResultOk) {
    struct TWay {
        const char* Name;
        std::function<void(TAboutBoxMOX1&)> Press;
    };
    auto key = [](int code) {
        return [code](TAboutBoxMOX1& box) {
            QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
            QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : &box, &press);
        };
    };
    const TWay ways[] = {{"OK", [](TAboutBoxMOX1& box) { box.OKButton->click(); }},
                         {"Enter", key(Qt::Key_Return)},
                         {"Esc", key(Qt::Key_Escape)}};
    for (const TWay& way : ways) {
        bool pressed = false;
        QTimer::singleShot(0, Box.get(), [&] {
            way.Press(*Box);
            pressed = true;
        });
        QTimer::singleShot(2000, Box.get(), [&] { Box->done(-1); });  // a way that fails cannot hang the test
        int result = Box->exec();
        EXPECT_TRUE(pressed) << way.Name;
        EXPECT_EQ(result, QDialog::Accepted) << way.Name;
        EXPECT_FALSE(Box->isVisible()) << way.Name;
    }
}

}  // namespace
}  // namespace gridloom
