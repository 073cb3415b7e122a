#pragma once

#include <QRect>
#include <QSize>

#include <vector>

namespace qel {

// A window's place as stored: its outer frame (title bar and borders included) in
// screen pixels. The fields are wide enough that no arithmetic on stored values, such
// as a sub-window's default "main window's top + 100", can overflow.
struct WindowPlace {
    qint64 left = 0;
    qint64 top = 0;
    qint64 width = 0;
    qint64 height = 0;

    WindowPlace() = default;
    WindowPlace(qint64 left, qint64 top, qint64 width, qint64 height)
        : left(left), top(top), width(width), height(height) {}
    WindowPlace(const QRect& r) : WindowPlace(r.left(), r.top(), r.width(), r.height()) {}
    friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

// What a place is fitted to.
struct ScreenLimits {
    std::vector<QRect> screens; // the available area of each screen, the primary first
    QSize minimum;              // the window's smallest outer size
    int titleBarHeight = 0;     // height of the frame's title bar, 0 when not known
};

// How much of the title bar must lie on a screen for the user to take hold of it.
inline constexpr int kTitleGripWidth = 64;
// The title bar's height when the frame is not known yet.
inline constexpr int kAssumedTitleBarHeight = 24;

// The place a window is given for a stored one, so that it is usable: no wider or
// higher than the available area of all screens together, at least its minimum size,
// and with a part of its title bar (kTitleGripWidth wide, or the whole width of a
// narrower window, and the whole title bar high) on some screen. A window whose title
// bar cannot be reached is moved onto the screen nearest to it, wholly where its size
// allows. A place that already fits comes back exactly as stored. Without any screen
// only the size limits apply.
QRect fitToScreens(const WindowPlace& stored, const ScreenLimits& limits);

} // namespace qel
