// What the drawing reads from its owner at the moment it draws. The owner (the window,
// the command-line maker, a test) may change the values while a run is in progress.
//
// The annotation font is not here: it is the font of the master image's canvas, which the
// owner sets there and the grid drawing reads (and colours red) there.
#pragma once

#include <cstdint>

namespace gridloom {

class IRenderSettings {
public:
    virtual ~IRenderSettings() = default;

    // Index of the grid-interval choice in GridIntervals (render/GridIntervals.h); any
    // other value draws 10 degrees.
    virtual int GridIndex() const = 0;
    virtual bool ShowScaleAnnotation() const = 0;    // degree labels at the 10-degree crossings
    virtual bool GridOverlaysCountries() const = 0;  // grid drawn after the boundaries
    virtual bool ShowBoundaries() const = 0;         // yellow boundary pen, else green
    virtual int32_t GridlineWidth() const = 0;       // pixels, unchecked
    virtual int32_t BoundaryWidth() const = 0;       // pixels, unchecked
};

// How the boundary drawing shows its progress while it works.
class IDrawProgress {
public:
    virtual ~IDrawProgress() = default;
    virtual void SetProgress(int position) = 0;  // 0..100
    virtual void RefreshDisplay() = 0;           // the image changed: repaint it now
};

}  // namespace gridloom
