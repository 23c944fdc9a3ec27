// Stand-ins for what the drawing reads and reports, and a surface that records the
// drawing calls instead of rasterising them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/Cartography.h"
#include "platform/Ticks.h"
#include "render/Canvas.h"
#include "render/RenderSettings.h"

namespace gridloom::test {

// Plain fields the test may change at any time, even while a drawing runs; counts reads.
// The drawing's tests and the run's share it.
class TFakeSettings final : public IRenderSettings {
public:
    int Index = 3;
    bool Annotation = false;
    bool OnTop = false;
    bool Show = true;
    int32_t GridWidth = 1;
    int32_t BorderWidth = 1;
    std::function<void()> GridIndexHook;  // runs before each GridIndex answer; may throw
    std::function<bool()> OnTopHook;      // when set, answers GridOverlaysCountries in place of OnTop
    mutable int ShowBoundariesReads = 0;
    mutable int OnTopReads = 0;

    int GridIndex() const override {
        if (GridIndexHook) GridIndexHook();
        return Index;
    }
    bool ShowScaleAnnotation() const override { return Annotation; }
    bool GridOverlaysCountries() const override {
        ++OnTopReads;
        return OnTopHook ? OnTopHook() : OnTop;
    }
    bool ShowBoundaries() const override {
        ++ShowBoundariesReads;
        return Show;
    }
    int32_t GridlineWidth() const override { return GridWidth; }
    int32_t BoundaryWidth() const override { return BorderWidth; }
};

class TFakeProgress final : public IDrawProgress {
public:
    std::vector<int> Positions;
    std::vector<std::size_t> RefreshedAt;  // the number of positions set before each refresh
    std::function<void(int)> OnProgress;

    void SetProgress(int position) override {
        Positions.push_back(position);
        if (OnProgress) OnProgress(position);
    }
    void RefreshDisplay() override { RefreshedAt.push_back(Positions.size()); }
};

// Returns Now and then moves it on by Step.
class TFakeTicks final : public ITickSource {
public:
    uint32_t Now = 100000;
    uint32_t Step = 0;
    uint32_t TickCount() override {
        const uint32_t t = Now;
        Now += Step;
        return t;
    }
};

// A segment from points given in minutes of arc.
inline std::unique_ptr<TLineSegment> Segment(uint8_t kind, const std::vector<std::pair<int, int>>& minutes) {
    auto s = std::make_unique<TLineSegment>();
    s->Kind = kind;
    s->Count = static_cast<int32_t>(minutes.size());
    if (!minutes.empty()) {
        s->Points = std::make_unique<BoundaryPoint[]>(minutes.size());
        for (std::size_t i = 0; i < minutes.size(); ++i)
            s->Points[i] = {static_cast<int16_t>(minutes[i].first), static_cast<int16_t>(minutes[i].second)};
    }
    return s;
}

// Records every call of the canvas members the grid and boundary drawings use. Text is
// measured as 7 pixels a character and LineHeight pixels high (18 unless a test sets an
// odd height, where halving it rounds), so placements can be worked out.
class TRecordingSurface {
public:
    struct TCall {
        enum TKind { Line, Text, Polygon, Polyline } Kind;
        TPoint From, To;             // Line
        std::string Label;           // Text, at From
        std::vector<TPoint> Points;  // Polygon, Polyline
        TPen Pen;
        TBrush Brush;
        TFont Font;
    };

    TPen Pen;
    TBrush Brush;
    TFont Font;
    int LineHeight = 18;
    std::vector<TCall> Calls;

    void MoveTo(int32_t x, int32_t y) { FPos = {x, y}; }
    void LineTo(int32_t x, int32_t y) {
        Calls.push_back({TCall::Line, FPos, {x, y}, {}, {}, Pen, Brush, Font});
        FPos = {x, y};
    }
    int TextWidth(std::string_view text) { return 7 * static_cast<int>(text.size()); }
    int TextHeight(std::string_view) { return LineHeight; }
    void TextOut(int32_t x, int32_t y, std::string_view text) {
        Calls.push_back({TCall::Text, {x, y}, {}, std::string(text), {}, Pen, Brush, Font});
    }
    void Polygon(const TPoint* p, int n) {
        Calls.push_back({TCall::Polygon, {}, {}, {}, std::vector<TPoint>(p, p + n), Pen, Brush, Font});
    }
    void Polyline(const TPoint* p, int n) {
        Calls.push_back({TCall::Polyline, {}, {}, {}, std::vector<TPoint>(p, p + n), Pen, Brush, Font});
    }

private:
    TPoint FPos;
};

}  // namespace gridloom::test
