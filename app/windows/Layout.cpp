#include "app/windows/Layout.h"

namespace gridloom {

TRect ScrollBoxRect(int clientWidth, int clientHeight) {
    const TRect& d = Design::ScrollBox;
    return {d.Left, d.Top, d.Width + clientWidth - Design::ClientWidth, d.Height + clientHeight - Design::ClientHeight};
}

TRect AnchoredRect(const TRect& design, int clientHeight) {
    return {design.Left, design.Top + clientHeight - Design::ClientHeight, design.Width, design.Height};
}

TRect InOptionsGroup(const TRect& design, int clientHeight) {
    const TRect group = AnchoredRect(Design::GroupBoxOptions, clientHeight);
    return {group.Left + design.Left, group.Top + design.Top, design.Width, design.Height};
}

TRect StatusBarRect(int clientWidth, int clientHeight) {
    return {0, clientHeight - Design::StatusBarHeight, clientWidth, Design::StatusBarHeight};
}

TRect RadioItemRect(const TRect& group, int index, int count, int textHeight) {
    if (count < 1) count = 1;
    // The caption's line and a few pixels of frame take the top; the rest is the buttons'.
    const int inside = group.Height - textHeight - 5;
    const int itemHeight = inside / count;
    const int topMargin = textHeight + 1 + (inside % count) / 2;
    return {group.Left + 8, group.Top + topMargin + index * itemHeight, group.Width - 10, itemHeight};
}

}  // namespace gridloom
