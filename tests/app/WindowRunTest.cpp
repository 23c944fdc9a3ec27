// Generation runs started from the window: zoom after a run, clicks that arrive while the
// run lets the window breathe, the missing-data offer, the overwrite question, and the
// font dialog.
#include <QComboBox>
#include <QCheckBox>
#include <QFontDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include "WindowFixture.h"
#include "app/FontDialog.h"
#include "app/ImageDisplay.h"
#include "run/GenerationRun.h"
#include "render/Projection.h"

namespace gridloom::test {
namespace {

using WindowRun = WindowFixture;

// Runs `act` at the first moment the run lets the window process events.
void DuringTheRun(std::function<void()> act) { QTimer::singleShot(0, act); }

TEST_F(WindowRun, ZoomWorksOnlyAfterARunAndTogglesBetweenFittedAndFullSize) {
    TFormMain& form = Open();
    EXPECT_FALSE(form.ButtonZoom->isEnabled());
    EXPECT_EQ(form.MakeMasterImage(form.OverlayFile()), TRunOutcome::Saved);
    ASSERT_TRUE(form.ButtonZoom->isEnabled());

    form.ButtonZoom->click();
    EXPECT_EQ(form.ButtonZoom->text(), "Zoom out");
    EXPECT_EQ(form.ImageDisplay->size(), QSize(7920, 3960));
    EXPECT_FALSE(form.ImageDisplay->Stretch());
    QApplication::processEvents();
    EXPECT_TRUE(form.ScrollBox->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(form.ScrollBox->verticalScrollBar()->isVisible());

    // Zoomed, a resize changes only how much is visible; the scroll position stays.
    form.ScrollBox->horizontalScrollBar()->setValue(3000);
    form.ScrollBox->verticalScrollBar()->setValue(1000);
    form.resize(900, 700);
    QApplication::processEvents();
    EXPECT_EQ(form.ImageDisplay->size(), QSize(7920, 3960));
    EXPECT_EQ(form.ScrollBox->horizontalScrollBar()->value(), 3000);
    EXPECT_EQ(form.ScrollBox->verticalScrollBar()->value(), 1000);

    form.ButtonZoom->click();
    EXPECT_EQ(form.ButtonZoom->text(), "Zoom in");
    EXPECT_TRUE(form.ImageDisplay->Stretch());
    EXPECT_EQ(form.ImageDisplay->pos(), QPoint(0, 0));
    EXPECT_EQ(form.ImageDisplay->size(), QSize(872 - 4, 487 - 4));
    QApplication::processEvents();
    EXPECT_FALSE(form.ScrollBox->horizontalScrollBar()->isVisible());
}

TEST_F(WindowRun, ScrollingTheFullSizeViewConvertsOnlyTheExposedStrip) {
    TFormMain& form = Open();
    ASSERT_EQ(form.MakeMasterImage(form.OverlayFile()), TRunOutcome::Saved);
    form.ButtonZoom->click();
    QApplication::processEvents();
    const QSize view = form.ScrollBox->viewport()->size();
    const uint64_t before = form.ImageDisplay->ConvertedPixels();
    form.ScrollBox->horizontalScrollBar()->setValue(16);
    QApplication::processEvents();
    const uint64_t converted = form.ImageDisplay->ConvertedPixels() - before;
    EXPECT_GT(converted, 0u);
    EXPECT_LE(converted, uint64_t(16 * view.height()));
}

TEST_F(WindowRun, TheFittedDisplayShowsTheMapTheRunDrew) {
    TFormMain& form = Open();
    ASSERT_EQ(form.MakeMasterImage(form.OverlayFile()), TRunOutcome::Saved);
    QImage shown;
    form.ImageDisplay->Render(form.ImageDisplay->rect(), shown);
    // The land square of the sample world (10 W - 30 E, 10 S - 30 N) is green at its
    // middle, the sea navy far from it.
    const auto at = [&](double lon, double lat) {
        return shown.pixel(int((lon + 180) / 360 * shown.width()), int((90 - lat) / 180 * shown.height()));
    };
    EXPECT_EQ(QColor(at(5, 5)), QColor(0, 128, 0));
    EXPECT_EQ(QColor(at(-95, -45)), QColor(0, 0, 128));
}

TEST_F(WindowRun, ATickOnTheGridBoxDuringTheRunReachesTheLaterStage) {
    TFormMain& form = Open();
    ASSERT_FALSE(form.CheckBoxGridOnTop->isChecked());
    DuringTheRun([&] { form.CheckBoxGridOnTop->click(); });
    ASSERT_EQ(form.MakeMasterImage(form.OverlayFile()), TRunOutcome::Saved);
    // The 0-degree meridian crosses the land square: red only when the grid was drawn last.
    const TPoint p = LonLatToPixel(0, 5);
    EXPECT_EQ(form.MasterBitmap().Pixel(p.X, p.Y), clRed);

    // Unticked again, the next run draws the land over the grid.
    form.CheckBoxGridOnTop->click();
    AnswerMessage(QMessageBox::Yes);  // the image of the first run is read-only now
    ASSERT_EQ(form.MakeMasterImage(form.OverlayFile()), TRunOutcome::Saved);
    EXPECT_EQ(form.MasterBitmap().Pixel(p.X, p.Y), clGreen);
}

TEST_F(WindowRun, MakeImageAndCloseDuringARunWaitForIt) {
    TFormMain& form = Open();
    TRunOutcome inner = TRunOutcome::Saved;
    DuringTheRun([&] {
        inner = form.MakeMasterImage(form.OverlayFile());
        form.ButtonClose->click();
        EXPECT_TRUE(form.isVisible());
    });
    EXPECT_EQ(form.MakeMasterImage(form.OverlayFile()), TRunOutcome::Saved);
    EXPECT_EQ(inner, TRunOutcome::Ignored);
    EXPECT_FALSE(form.isVisible());  // closed once the run had ended
}

// The pointer is the hourglass while the run works, the arrow while a question waits for
// an answer, and the arrow again once the run has ended.
TEST_F(WindowRun, TheHourglassShowsWhileTheRunWorks) {
    TFormMain& form = Open();
    ASSERT_EQ(form.MakeMasterImage(form.OverlayFile()), TRunOutcome::Saved);
    auto pointer = [] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        return cursor ? cursor->shape() : Qt::ArrowCursor;
    };
    Qt::CursorShape working = Qt::ArrowCursor, asking = Qt::WaitCursor;
    DuringTheRun([&] { working = pointer(); });
    WhenModal<QMessageBox>([&](QMessageBox& box) {
        asking = pointer();
        box.button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(form.MakeMasterImage(form.OverlayFile()), TRunOutcome::Saved);  // over the read-only image
    EXPECT_EQ(working, Qt::WaitCursor);
    EXPECT_EQ(asking, Qt::ArrowCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(WindowRun, MissingDataOffersTheDownloadAndClosesTheWindowStoringTheSettings) {
    std::filesystem::remove(Skylune + "Countries.dat");
    TFormMain& form = Open();
    form.CheckBoxShowScale->setChecked(true);
    TSeenMessage seen;
    AnswerMessage(QMessageBox::Yes, &seen);
    EXPECT_EQ(form.MakeMasterImage(form.OverlayFile()), TRunOutcome::DataMissing);
    EXPECT_EQ(seen.Caption.toStdString(), "Skylune - Country and State boundary data missing");
    EXPECT_TRUE(
        seen.Text.startsWith(QString::fromStdString("Gridloom cannot find the file " + Skylune + "Countries.dat!\n")));
    EXPECT_TRUE(seen.Text.endsWith(" (size 459KB)"));
    ASSERT_EQ(Services.Opened.size(), 1u);
    EXPECT_EQ(Services.Opened[0], CountriesDownloadUrl);
    EXPECT_FALSE(form.isVisible());
    Form.reset();  // the program's end
    EXPECT_EQ(Stored("Annotation"), 1);
}

TEST_F(WindowRun, ASecondRunAsksBeforeOverwritingTheReadOnlyImage) {
    TFormMain& form = Open();
    ASSERT_EQ(form.MakeMasterImage(form.OverlayFile()), TRunOutcome::Saved);
    TSeenMessage seen;
    AnswerMessage(QMessageBox::No, &seen);
    EXPECT_EQ(form.MakeMasterImage(form.OverlayFile()), TRunOutcome::SaveCancelled);
    EXPECT_EQ(seen.Caption, "Confirm");
    EXPECT_EQ(seen.Text, "Do you wish to overwrite the existing read-only file?");
    EXPECT_EQ(form.StatusText(), "Overlay master image save cancelled by user");
    EXPECT_TRUE(form.ButtonZoom->isEnabled());
}

TEST_F(WindowRun, TheFontDialogChangesTheLabelFontOnlyOnOk) {
    TFormMain& form = Open();
    const TFont before = form.MasterBitmap().Canvas().Font;
    WhenModal<TFontDialog>([](TFontDialog& dialog) {
        QFont other("Liberation Serif");
        other.setPointSize(20);
        dialog.FontChooser()->setCurrentFont(other);
        dialog.reject();
    });
    form.ButtonFont->click();
    EXPECT_EQ(form.MasterBitmap().Canvas().Font, before);

    WhenModal<TFontDialog>([](TFontDialog& dialog) {
        QFont chosen("Liberation Serif");
        chosen.setPointSize(20);
        chosen.setItalic(true);
        chosen.setUnderline(true);
        chosen.setStrikeOut(true);
        dialog.FontChooser()->setCurrentFont(chosen);
        dialog.ColourChoice()->setCurrentIndex(dialog.ColourChoice()->findText("Maroon"));
        dialog.accept();
    });
    form.ButtonFont->click();
    const TFont& font = form.MasterBitmap().Canvas().Font;
    EXPECT_EQ(font.Name, "Liberation Serif");
    EXPECT_EQ(font.Size, 20);
    EXPECT_EQ(font.Style, fsItalic | fsUnderline | fsStrikeOut);
    EXPECT_EQ(font.Color, RGB(128, 0, 0));
}

}  // namespace
}  // namespace gridloom::test
