// What the main window's logic (TFormMainLogic) asks of the toolkit that shows it. Each
// toolkit's window implements this: it builds the controls, draws them and reports the
// user's actions to the logic's handlers; everything the window decides is in the logic.
//
// Texts handed to the view are the engine's 8-bit text (Windows-1252); message texts may
// hold carriage returns (character 13) as line breaks.
#pragma once

#include <cstdint>
#include <string>

#include "render/Bitmap.h"
#include "render/Font.h"

namespace gridloom {

// The three check boxes of the options group.
enum class TFormCheckBox { ShowScale, GridOnTop, ShowBoundaries };
// The two width up-downs, with their edit boxes.
enum class TFormWidth { Gridline, Boundary };

// The icon and buttons of a message box.
enum class TMessageIcon { None, Question, Warning };
enum class TMessageButtons { Ok, OkCancel, YesNo };

class IFormMainView {
public:
    virtual ~IFormMainView() = default;

    // The grid-interval radio group's selected index; -1 when no button is checked. An index
    // outside the group's buttons checks none of them (and reads back as -1, or as itself
    // where the toolkit's group keeps it; either way the logic keeps the stored index until
    // the user picks a button).
    virtual int GridItemIndex() const = 0;
    virtual void SetGridItemIndex(int index) = 0;

    virtual bool Checked(TFormCheckBox box) const = 0;
    virtual void SetChecked(TFormCheckBox box, bool checked) = 0;

    // An up-down's position (signed 16-bit, as the control holds it); setting it shows it in
    // the buddy edit box, held within the up-down's range 1-5.
    virtual int16_t UpDownPosition(TFormWidth width) const = 0;
    virtual void SetUpDownPosition(TFormWidth width, int16_t position) = 0;
    // A width typed into an edit box but not yet taken by its up-down (the box still has
    // the focus) becomes the up-down's position, as a step would, with its click. Called
    // before a run so that what the user sees is what is drawn.
    virtual void TakeTypedWidths() = 0;

    // The zoom button: enabled or not, and its caption ("Zoom in" / "Zoom out").
    virtual void SetZoomEnabled(bool enabled) = 0;
    virtual void SetZoomCaption(const std::string& caption) = 0;

    // The status bar's one text area, replaced.
    virtual void SetStatusText(const std::string& text) = 0;
    // Lets every waiting window message run (painting and user input included); returns when
    // none is left.
    virtual void ProcessMessages() = 0;
    // The progress bar's position, 0-100.
    virtual void SetProgress(int position) = 0;
    // The hourglass over the whole program while a run works (and the ordinary pointer while
    // a message box of the run waits for an answer).
    virtual void SetBusy(bool busy) = 0;

    // The image display. NewPicture puts a new, empty bitmap into the display's picture and
    // returns it; the picture owns it. The display then shows whatever is drawn into it.
    virtual TBitmap& NewPicture() = 0;
    // The scroll box's outer size (border included), in the window's pixels.
    virtual int ScrollBoxWidth() const = 0;
    virtual int ScrollBoxHeight() const = 0;
    // Whether the picture is stretched to fill the display control (aspect ratio not kept)
    // or drawn one image pixel per screen pixel from its top-left corner.
    virtual void SetDisplayStretch(bool stretch) = 0;
    virtual void SetDisplaySize(int width, int height) = 0;
    // Both of the scroll box's scroll bars put in use or taken out of use; out of use, the
    // view returns to the origin.
    virtual void SetScrollBarsInUse(bool inUse) = 0;
    // Repaints the display now (synchronously), from the picture's current pixels.
    virtual void RepaintDisplay() = 0;

    // A modal message box with the given icon, caption, text and buttons; true for OK or Yes.
    virtual bool ShowMessage(TMessageIcon icon, const std::string& caption, const std::string& text,
                             TMessageButtons buttons) = 0;
    // The application's title, the caption of a plain information message.
    virtual std::string ApplicationTitle() const = 0;
    // The modal font dialog, starting from font (all its attributes). On OK, font takes the
    // dialog's choice (name, size, style, colour, character set) and the result is true; on
    // Cancel font is left alone and the result is false.
    virtual bool ExecuteFontDialog(TFont& font) = 0;
    // The About box, shown modally; its answer is ignored.
    virtual void ShowAboutBox() = 0;
    // Asks the toolkit to close the window. The toolkit asks TFormMainLogic::CloseQuery
    // before it closes, and the window's destruction runs TFormMainLogic::FormDestroy.
    virtual void CloseWindow() = 0;
};

}  // namespace gridloom
