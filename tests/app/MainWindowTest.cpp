// The main window as the user first meets it, its layout as the window grows and shrinks,
// the settings it keeps between starts, and its keys.
#include <QCheckBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTest>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "WindowFixture.h"
#include "tests/settings/HeldLock.h"
#include "app/FontDialog.h"
#include "app/ImageDisplay.h"
#include "app/RadioGroup.h"
#include "app/UpDown.h"
#include "app/WindowFont.h"
#include "settings/moxCheckBox.h"
#include "tools/make/MakeOptions.h"

namespace gridloom::test {
namespace {

using MainWindow = WindowFixture;

// A first start draws what gridloom-make draws without options: the two read their
// defaults from one place, and this holds them to it.
TEST_F(MainWindow, FirstStartDrawsWhatGridloomMakeDrawsByDefault) {
    std::filesystem::remove(UserFile());
    TFormMain& form = Open();
    const TMakeOptions defaults = ParseMakeCommand({}).Options;
    EXPECT_EQ(form.RenderSettings().GridIndex(), defaults.GridIndex);
    EXPECT_EQ(form.RenderSettings().ShowScaleAnnotation(), defaults.Labels);
    EXPECT_EQ(form.RenderSettings().GridOverlaysCountries(), defaults.GridOnTop);
    EXPECT_EQ(form.RenderSettings().ShowBoundaries(), defaults.ShowBoundaries);
    EXPECT_EQ(form.RenderSettings().GridlineWidth(), defaults.GridlineWidth);
    EXPECT_EQ(form.RenderSettings().BoundaryWidth(), defaults.BoundaryWidth);
    EXPECT_EQ(form.EditGridlineWidth->text().toInt(), defaults.GridlineWidth);
    EXPECT_EQ(form.EditBoundaryWidth->text().toInt(), defaults.BoundaryWidth);
    const TFont& font = form.MasterBitmap().Canvas().Font;
    EXPECT_EQ(font.Name, defaults.FontName);
    EXPECT_EQ(font.Size, defaults.FontSize);
    EXPECT_EQ(font.Style, defaults.FontStyle);
}

TEST_F(MainWindow, FirstStartOnAnEmptyRegistry) {
    std::filesystem::remove(UserFile());
    TFormMain& form = Open();

    EXPECT_EQ(form.windowTitle().toStdString(), "Gridloom - Make an overlay master image for Skylune");
    EXPECT_EQ(form.size(), QSize(760, 588));
    EXPECT_EQ(form.minimumSize(), QSize(623, 474));
    EXPECT_EQ(form.RadioGroupGrid->ItemIndex(), 3);
    EXPECT_TRUE(form.RadioGroupGrid->Button(3)->isChecked());
    EXPECT_EQ(form.RadioGroupGrid->Button(3)->text(), "10 degrees");
    EXPECT_FALSE(form.CheckBoxShowScale->isChecked());
    EXPECT_FALSE(form.CheckBoxGridOnTop->isChecked());
    EXPECT_TRUE(form.CheckBoxShowBoundaries->isChecked());
    EXPECT_EQ(form.EditGridlineWidth->text(), "1");
    EXPECT_EQ(form.EditBoundaryWidth->text(), "1");
    EXPECT_EQ(form.MasterBitmap().Canvas().Font, (TFont{"Arial", 11, fsBold, clBlack}));
    EXPECT_FALSE(form.ButtonZoom->isEnabled());
    EXPECT_EQ(form.ButtonZoom->text(), "Zoom in");
    EXPECT_TRUE(form.StatusText().isEmpty());
    EXPECT_EQ(form.ProgressBar->value(), 0);
    EXPECT_EQ(form.ProgressBar->maximum(), 100);
    // Skylune is not registered: both files are looked for in the current folder.
    EXPECT_EQ(form.CountriesFilePath(), "Countries.dat");
    EXPECT_EQ(form.OverlayFile(), "Overlay.bmp");
    // The display opens fitted into the inside of the scroll box's border.
    EXPECT_EQ(form.ImageDisplay->size(), QSize(728, 371));
    EXPECT_TRUE(form.ImageDisplay->Stretch());
}

TEST_F(MainWindow, ControlsSitWhereDesignedAndHaveTheirHints) {
    TFormMain& form = Open();
    const std::pair<QWidget*, QRect> design[] = {
        {form.ScrollBox, {12, 10, 732, 375}},          {form.RadioGroupGrid, {8, 398, 139, 163}},
        {form.GroupBoxOptions, {168, 398, 448, 98}},   {form.ButtonMake, {168, 520, 139, 31}},
        {form.LabelProgress, {364, 525, 55, 16}},      {form.ProgressBar, {432, 526, 168, 21}},
        {form.ButtonZoom, {640, 406, 112, 30}},        {form.ButtonAbout, {640, 462, 112, 31}},
        {form.ButtonClose, {640, 518, 112, 31}},       {form.StatusBar, {0, 565, 760, 23}},
        {form.CheckBoxShowScale, {16, 24, 177, 20}},   {form.CheckBoxShowBoundaries, {16, 48, 177, 20}},
        {form.CheckBoxGridOnTop, {16, 72, 177, 20}},   {form.ButtonFont, {200, 39, 90, 31}},
        {form.EditGridlineWidth, {320, 20, 31, 24}},   {form.UpDownGridlineWidth, {351, 20, 18, 24}},
        {form.LabelGridlineWidth, {376, 17, 49, 32}},  {form.EditBoundaryWidth, {320, 59, 31, 24}},
        {form.UpDownBoundaryWidth, {351, 59, 18, 24}}, {form.LabelBoundaryLineWidth, {376, 59, 61, 32}},
    };
    for (const auto& [control, rect] : design)
        EXPECT_EQ(control->geometry(), rect) << control->objectName().toStdString();

    EXPECT_EQ(form.RadioGroupGrid->title(), " Grid Interval ");
    EXPECT_EQ(form.GroupBoxOptions->title(), " Options ");
    EXPECT_EQ(form.ButtonFont->toolTip(), "Choose font for annotation");
    EXPECT_EQ(form.CheckBoxShowScale->toolTip(), "Add latitude and longitude numbers to the grid");
    EXPECT_EQ(form.CheckBoxGridOnTop->toolTip(), "Put grid and annotations in front of or behind the countries");
    EXPECT_EQ(form.LabelGridlineWidth->toolTip(), "Set line width for gridlines");
    EXPECT_EQ(form.LabelBoundaryLineWidth->toolTip(), "Set line width for boundaries");
    int hinted = 0;
    for (const QWidget* w : form.findChildren<QWidget*>()) hinted += !w->toolTip().isEmpty();
    EXPECT_EQ(hinted, 5);
}

TEST_F(MainWindow, EveryCaptionShowsWholeInTheWindowFont) {
    TFormMain& form = Open();
    EXPECT_LE(form.font().pixelSize(), 14);
    EXPECT_GE(form.font().pixelSize(), 9) << "a font this small is unreadable";
    for (QWidget* control : form.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&form)) continue;
        if (auto* box = qobject_cast<QCheckBox*>(control)) {
            // The indicator, the gap and the text must fit across the box.
            const int indicator = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                                  box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
            EXPECT_LE(indicator + box->fontMetrics().horizontalAdvance(box->text()), box->width())
                << box->text().toStdString();
        }
        if (auto* label = qobject_cast<QLabel*>(control)) {
            const QRect needed =
                label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 1000), Qt::TextWordWrap, label->text());
            EXPECT_LE(needed.width(), label->width()) << label->text().toStdString();
            EXPECT_LE(needed.height(), label->height()) << label->text().toStdString();
        }
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()), button->width())
                << button->text().toStdString();
        }
    }
}

TEST_F(MainWindow, ResizingGrowsTheScrollBoxAndKeepsTheRestAtTheBottomLeft) {
    TFormMain& form = Open();
    form.resize(960, 688);
    QApplication::processEvents();
    EXPECT_EQ(form.ScrollBox->geometry(), QRect(12, 10, 932, 475));
    EXPECT_EQ(form.ImageDisplay->size(), QSize(928, 471));
    EXPECT_EQ(form.ButtonClose->geometry(), QRect(640, 618, 112, 31));
    EXPECT_EQ(form.RadioGroupGrid->geometry(), QRect(8, 498, 139, 163));
    EXPECT_EQ(form.StatusBar->geometry(), QRect(0, 665, 960, 23));

    // At the smallest size the right-hand buttons lie partly outside the window.
    form.resize(100, 100);
    QApplication::processEvents();
    EXPECT_EQ(form.size(), QSize(623, 474));
    EXPECT_EQ(form.ButtonAbout->x(), 640);
    EXPECT_EQ(form.ImageDisplay->size(), QSize(595 - 4, 261 - 4));
}

TEST_F(MainWindow, StoredSettingsComeBackAndAreWrittenAsLoaded) {
    Store(SettingsKey, [](TRegistry& r) {
        r.WriteInteger("GridSpacing", 7);
        r.WriteInteger("GridlineWidth", 65538);
        r.WriteInteger("BoundaryWidth", 7);
        r.WriteInteger("Annotation", 1);
        r.WriteInteger("GridOnTop", 1);
        r.WriteInteger("ShowBoundaries", 0);
        r.WriteString("FontName", "Courier");
        r.WriteInteger("FontSize", 30);
    });
    TFormMain& form = Open();
    EXPECT_TRUE(form.RadioGroupGrid->Button(7)->isChecked());
    EXPECT_EQ(form.RadioGroupGrid->Button(7)->text(), "(none)");
    EXPECT_TRUE(form.CheckBoxShowScale->isChecked());
    EXPECT_TRUE(form.CheckBoxGridOnTop->isChecked());
    EXPECT_FALSE(form.CheckBoxShowBoundaries->isChecked());
    // The up-down shows the low 16 bits; the drawing uses the stored width as it is.
    EXPECT_EQ(form.UpDownGridlineWidth->Position(), 2);
    EXPECT_EQ(form.EditGridlineWidth->text(), "2");
    EXPECT_EQ(form.RenderSettings().GridlineWidth(), 65538);
    EXPECT_EQ(form.RenderSettings().BoundaryWidth(), 7);
    // Stored fonts are not read back: every start begins with Arial 11 bold.
    EXPECT_EQ(form.MasterBitmap().Canvas().Font.Name, "Arial");
    EXPECT_EQ(form.MasterBitmap().Canvas().Font.Size, 11);

    form.MasterBitmap().Canvas().Font = TFont{"Liberation Serif", 14, fsItalic, clRed};
    form.CheckBoxShowScale->setChecked(false);
    CloseAndDestroy();

    EXPECT_EQ(Stored("GridSpacing"), 7);
    EXPECT_EQ(Stored("GridlineWidth"), 65538);  // never clicked: written back exactly as loaded
    EXPECT_EQ(Stored("BoundaryWidth"), 7);
    EXPECT_EQ(Stored("Annotation"), 0);
    EXPECT_EQ(Stored("GridOnTop"), 1);
    EXPECT_EQ(Stored("ShowBoundaries"), 0);
    EXPECT_EQ(StoredString("FontName"), "Liberation Serif");
    EXPECT_EQ(Stored("FontSize"), 14);
    EXPECT_EQ(Stored("FontStyle"), 2);
    EXPECT_EQ(Stored("FontColour"), int32_t(clRed));

    TFormMain& again = Open();
    EXPECT_EQ(again.MasterBitmap().Canvas().Font, (TFont{"Arial", 11, fsBold, clBlack}));
    EXPECT_FALSE(again.CheckBoxShowScale->isChecked());
}

// Two windows over one settings file, closed in either order: neither undoes the other's
// change by writing back what it loaded.
TEST_F(MainWindow, TwoWindowsKeepEachOthersSettings) {
    for (bool aClosesFirst : {true, false}) {
        std::filesystem::remove(UserFile());
        auto a = std::make_unique<TFormMain>(Services);
        auto b = std::make_unique<TFormMain>(Services);
        a->RadioGroupGrid->Button(0)->click();  // "1 degree"
        b->CheckBoxShowScale->setChecked(true);
        b->CheckBoxShowBoundaries->setChecked(false);
        if (aClosesFirst) {
            a.reset();
            b.reset();
        } else {
            b.reset();
            a.reset();
        }
        EXPECT_EQ(Stored("GridSpacing"), 0) << aClosesFirst;
        EXPECT_EQ(Stored("Annotation"), 1) << aClosesFirst;
        EXPECT_EQ(Stored("ShowBoundaries"), 0) << aClosesFirst;
        EXPECT_EQ(Stored("GridOnTop"), 0) << aClosesFirst;
    }
}

// Another process holding the settings lock delays the window's start and its close by one
// patience each, not one per setting; the close then stores nothing. The bound is several
// times the patience: what it tells apart is one wait from ten.
TEST_F(MainWindow, AHeldSettingsLockIsWaitedForOnceAtStartAndOnceAtClose) {
    Store(SettingsKey, [](TRegistry& r) { r.WriteInteger("GridSpacing", 5); });
    const std::string before = ReadText(UserFile());
    const auto patience = std::chrono::milliseconds(300);
    SetRegistryLockPatience({patience, patience});
    const int lock = HoldUserLock();
    ASSERT_GE(lock, 0);
    auto started = std::chrono::steady_clock::now();
    TFormMain& form = Open();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3 * patience);
    EXPECT_TRUE(form.RadioGroupGrid->Button(5)->isChecked());
    form.RadioGroupGrid->Button(0)->click();
    started = std::chrono::steady_clock::now();
    CloseAndDestroy();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3 * patience);
    EXPECT_EQ(ReadText(UserFile()), before);
    ::close(lock);
}

// Text crosses between Qt and the engine as Windows-1252, the engine's 8-bit text: a font
// family with an accented letter is kept as its 1252 bytes and shown as itself again, and so
// is the run's text in the status line.
TEST_F(MainWindow, TextCrossesToAndFromTheEngineAsWindows1252) {
    const QString cafe = QString::fromUtf8("Caf\u00e9 Sans \u20ac");
    const TFont engine = FromQFont(QFont(cafe), clRed);
    EXPECT_EQ(engine.Name, "Caf\xE9 Sans \x80");
    EXPECT_EQ(ToQFont(engine).family(), cafe);
    EXPECT_EQ(FromQFont(QFont(QString::fromUtf8("\u03a9")), clRed).Name, "?");  // no byte for it

    TFormMain& form = Open();
    form.ShowStatus("Overlay master image saved to /srv/caf\xE9/Overlay.bmp");
    EXPECT_EQ(form.StatusText(), QString::fromUtf8("Overlay master image saved to /srv/caf\u00e9/Overlay.bmp"));
}

TEST_F(MainWindow, AGridIndexWithoutAButtonSelectsNoneAndSurvivesAClose) {
    Store(SettingsKey, [](TRegistry& r) { r.WriteInteger("GridSpacing", 12); });
    TFormMain& form = Open();
    for (int i = 0; i < form.RadioGroupGrid->Count(); ++i) EXPECT_FALSE(form.RadioGroupGrid->Button(i)->isChecked());
    EXPECT_EQ(form.RenderSettings().GridIndex(), 12);  // drawn as 10 degrees
    CloseAndDestroy();
    EXPECT_EQ(Stored("GridSpacing"), 12);

    TFormMain& again = Open();
    again.RadioGroupGrid->Button(0)->click();
    EXPECT_EQ(again.RenderSettings().GridIndex(), 0);
    CloseAndDestroy();
    EXPECT_EQ(Stored("GridSpacing"), 0);
}

TEST_F(MainWindow, UpDownsStoreTheirPositionAtEveryClick) {
    Store(SettingsKey, [](TRegistry& r) { r.WriteInteger("BoundaryWidth", 7); });
    TFormMain& form = Open();
    form.UpDownGridlineWidth->Step(TUDBtnType::btNext);
    form.UpDownGridlineWidth->Step(TUDBtnType::btNext);
    EXPECT_EQ(form.RenderSettings().GridlineWidth(), 3);
    EXPECT_EQ(form.EditGridlineWidth->text(), "3");
    for (int i = 0; i < 6; ++i) form.UpDownGridlineWidth->Step(TUDBtnType::btPrev);
    EXPECT_EQ(form.RenderSettings().GridlineWidth(), 1);  // no wrap below 1

    // A stored 7 is drawn as 7 until the up-down is stepped; then it takes the position.
    EXPECT_EQ(form.RenderSettings().BoundaryWidth(), 7);
    form.UpDownBoundaryWidth->Step(TUDBtnType::btNext);
    EXPECT_EQ(form.RenderSettings().BoundaryWidth(), 5);

    form.EditBoundaryWidth->setFocus();
    QTest::keyClick(form.EditBoundaryWidth, Qt::Key_Down);  // the arrow keys step the buddy's up-down
    EXPECT_EQ(form.EditBoundaryWidth->text(), "4");
    EXPECT_EQ(form.RenderSettings().BoundaryWidth(), 4);
    CloseAndDestroy();
    EXPECT_EQ(Stored("GridlineWidth"), 1);
    EXPECT_EQ(Stored("BoundaryWidth"), 4);
}

// Types text into a width box as a user does: select what is there, type over it.
void TypeInto(QLineEdit* box, const char* text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

// Focus moves between the controls only in the active window.
TFormMain& Activated(TFormMain& form) {
    form.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    return form;
}

TEST_F(MainWindow, ATypedWidthIsTheWidthDrawn) {
    TFormMain& form = Activated(Open());
    // Enter takes it (and goes on to make the image).
    TypeInto(form.EditGridlineWidth, "4");
    QTest::keyClick(form.EditGridlineWidth, Qt::Key_Return);
    EXPECT_EQ(form.RenderSettings().GridlineWidth(), 4);
    EXPECT_TRUE(std::filesystem::exists(Skylune + "Overlay.bmp"));

    // Leaving the box takes it.
    TypeInto(form.EditBoundaryWidth, "3");
    form.CheckBoxShowScale->setFocus();
    EXPECT_EQ(form.RenderSettings().BoundaryWidth(), 3);
    EXPECT_EQ(form.EditBoundaryWidth->text(), "3");

    // "Make image" takes a number still being typed before it draws.
    TypeInto(form.EditBoundaryWidth, "5");
    AnswerMessage(QMessageBox::Yes);  // replace the read-only image of the first run
    form.ButtonMake->click();
    EXPECT_EQ(form.RenderSettings().BoundaryWidth(), 5);
    Activated(form);  // the question took the activation away

    // Letters cannot be typed; a number outside 1-5, or an empty box, is not taken, and
    // the box shows the width again once it is left.
    TypeInto(form.EditBoundaryWidth, "x");
    EXPECT_EQ(form.EditBoundaryWidth->text(), "5");
    for (const char* typed : {"9", "0", ""}) {
        TypeInto(form.EditBoundaryWidth, typed);
        if (!*typed) QTest::keyClick(form.EditBoundaryWidth, Qt::Key_Delete);
        form.CheckBoxShowScale->setFocus();
        EXPECT_EQ(form.EditBoundaryWidth->text(), "5") << typed;
        EXPECT_EQ(form.RenderSettings().BoundaryWidth(), 5) << typed;
    }

    // A step starts from the typed number.
    TypeInto(form.EditGridlineWidth, "2");
    QTest::keyClick(form.EditGridlineWidth, Qt::Key_Up);
    EXPECT_EQ(form.EditGridlineWidth->text(), "3");
    EXPECT_EQ(form.RenderSettings().GridlineWidth(), 3);
    CloseAndDestroy();
    EXPECT_EQ(Stored("GridlineWidth"), 3);
    EXPECT_EQ(Stored("BoundaryWidth"), 5);
}

TEST_F(MainWindow, TabStopsOnTheWidthBoxesNotOnTheirArrows) {
    TFormMain& form = Activated(Open());
    EXPECT_EQ(form.UpDownGridlineWidth->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(form.UpDownBoundaryWidth->focusPolicy(), Qt::NoFocus);
    form.ButtonFont->setFocus();
    std::vector<QString> stops;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
        stops.push_back(form.focusWidget()->objectName());
    }
    EXPECT_EQ(stops,
              (std::vector<QString>{"EditGridlineWidth", "EditBoundaryWidth", "CheckBoxShowBoundaries", "ButtonMake"}));
}

TEST_F(MainWindow, TheFontDialogStartsFromTheLabelFont) {
    TFormMain& form = Open();
    const TFont labels = form.MasterBitmap().Canvas().Font;
    // The dialog shows the face "Arial" is drawn with, its size and its style.
    TFontDialog& dialog = *form.FontDialog;
    WhenModal<TFontDialog>([&](TFontDialog& shown) {
        const QFont start = shown.FontChooser()->currentFont();
        EXPECT_EQ(start.family(), QFontInfo(QFont("Arial")).family());
        EXPECT_EQ(start.pointSize(), 11);
        EXPECT_TRUE(start.bold());
        EXPECT_FALSE(start.italic());
        shown.accept();
    });
    form.ButtonFont->click();
    // OK without a change leaves the font exactly as it was.
    EXPECT_EQ(form.MasterBitmap().Canvas().Font, labels);

    // Changing only the size keeps the face and bold.
    WhenModal<TFontDialog>([&](TFontDialog& shown) {
        QFont larger = shown.FontChooser()->currentFont();
        larger.setPointSize(14);
        shown.FontChooser()->setCurrentFont(larger);
        shown.accept();
    });
    form.ButtonFont->click();
    EXPECT_EQ(form.MasterBitmap().Canvas().Font, (TFont{"Arial", 14, fsBold, clBlack}));
    EXPECT_EQ(&dialog, form.FontDialog);
}

TEST(OpeningSize, IsTheDesignSizeWhereItFitsAndNeverBelowTheMinimum) {
    EXPECT_EQ(OpeningClientSize({0, 0, 1920, 1050}), QSize(760, 588));
    // 1920 x 1080 at twice the density, less a panel.
    EXPECT_EQ(OpeningClientSize({0, 0, 960, 510}), QSize(760, 476));
    EXPECT_EQ(OpeningClientSize({0, 0, 700, 1000}), QSize(692, 588));
    EXPECT_EQ(OpeningClientSize({0, 0, 320, 240}), QSize(623, 474));
}

class TCountingAbout : public QDialog {
public:
    int Shown = 0;
    int exec() override { return ++Shown; }
};

TEST_F(MainWindow, EnterMakesTheImageUnlessAButtonHasFocusAndEscCloses) {
    TFormMain& form = Open();
    TCountingAbout about;
    form.SetAboutBox(&about);

    form.ButtonAbout->setFocus();
    QTest::keyClick(form.ButtonAbout, Qt::Key_Return);
    EXPECT_EQ(about.Shown, 1);
    EXPECT_FALSE(std::filesystem::exists(Skylune + "Overlay.bmp"));

    form.CheckBoxShowScale->setFocus();
    QTest::keyClick(form.CheckBoxShowScale, Qt::Key_Return);
    EXPECT_EQ(about.Shown, 1);
    EXPECT_TRUE(std::filesystem::exists(Skylune + "Overlay.bmp"));
    EXPECT_EQ(form.StatusText().toStdString(), "Overlay master image saved to " + Skylune + "Overlay.bmp");

    form.CheckBoxGridOnTop->setFocus();
    QTest::keyClick(form.CheckBoxGridOnTop, Qt::Key_Space);
    QTest::keyClick(form.CheckBoxGridOnTop, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    Form.reset();
    EXPECT_EQ(Stored("GridOnTop"), 1);
}

}  // namespace
}  // namespace gridloom::test
