#include "WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>

namespace qel {

namespace {

// The outer frame a placed window is to have until its frame is known, and the
// client area it was given meanwhile.
const char* const kPendingProperty = "qelPendingOuterGeometry";
const char* const kClientProperty = "qelPendingClientGeometry";

// The frame margins of the window framed last: the best guess for the next one.
QMargins lastKnownFrame;

QMargins frameOf(const QWidget* window) {
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

bool isFramed(const QWidget* window) {
    return window->isVisible() && !frameOf(window).isNull();
}

void setOuter(QWidget* window, const QRect& outer, const QMargins& frame) {
    window->resize(outer.size().shrunkBy(frame));
    window->move(outer.topLeft());
}

// Finishes a placement once the window manager has put its frame round the window:
// the client area is made the stored size less the frame.
class FrameWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize)
            return false;
        auto* window = static_cast<QWidget*>(watched);
        const QRect outer = window->property(kPendingProperty).toRect();
        if (!outer.isValid() || !isFramed(window))
            return false;
        const QMargins frame = frameOf(window);
        lastKnownFrame = frame;
        // Once placed, the window goes where the user takes it.
        window->setProperty(kPendingProperty, QRect());
        if (window->frameGeometry() != outer)
            setOuter(window, outer, frame);
        return false;
    }
};

} // namespace

void placeWindow(QWidget* window, const WindowPlace& stored) {
    const QMargins frame = isFramed(window) ? frameOf(window) : lastKnownFrame;
    ScreenLimits limits;
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen == QGuiApplication::primaryScreen())
            limits.screens.insert(limits.screens.begin(), screen->availableGeometry());
        else
            limits.screens.push_back(screen->availableGeometry());
    }
    limits.minimum = window->minimumSize().expandedTo(window->minimumSizeHint()).grownBy(frame);
    limits.titleBarHeight = frame.top();
    const QRect outer = fitToScreens(stored, limits);

    if (window->property(kPendingProperty).isNull())
        window->installEventFilter(new FrameWatch(window));
    // Until the window is framed, the target is kept: stored meanwhile, it is the place.
    window->setProperty(kPendingProperty, isFramed(window) ? QRect() : outer);
    setOuter(window, outer, frame);
    window->setProperty(kClientProperty, window->geometry());
}

QRect outerGeometry(const QWidget* window) {
    const QRect pending = window->property(kPendingProperty).toRect();
    // Without a window manager no frame ever comes: once the window has been moved or
    // resized since, its own geometry is the place.
    if (pending.isValid() && window->geometry() == window->property(kClientProperty).toRect())
        return pending;
    return window->frameGeometry();
}

} // namespace qel
