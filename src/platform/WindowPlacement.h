#pragma once

#include "settings/WindowPlace.h"

#include <QRect>

class QWidget;

namespace qel {

// Every top-level window places itself with placeWindow() and stores its place from
// outerGeometry(), so that the two are the same measure and closing and starting again
// never moves or resizes it.

// Places a top-level window by its outer frame (title bar and borders included),
// fitted to the screens (see fitToScreens()). The frame is known only once the window
// manager has framed the shown window; until then the frame of a window framed earlier
// stands in for it, and the size is corrected as soon as the real frame is known.
void placeWindow(QWidget* window, const WindowPlace& stored);
// The outer frame the window has, or is about to have once its frame is known.
QRect outerGeometry(const QWidget* window);

} // namespace qel
