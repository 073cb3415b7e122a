#include "WindowPlace.h"

#include <algorithm>
#include <limits>

namespace qel {

namespace {

// Screen rectangles as half-open spans in 64 bits, so that sums cannot overflow.
struct Span {
    qint64 left, top, right, bottom; // right and bottom exclusive

    explicit Span(const QRect& r)
        : left(r.left()), top(r.top()), right(qint64(r.left()) + r.width()),
          bottom(qint64(r.top()) + r.height()) {}
    Span(qint64 l, qint64 t, qint64 r, qint64 b) : left(l), top(t), right(r), bottom(b) {}
};

qint64 gapBetween(qint64 aBegin, qint64 aEnd, qint64 bBegin, qint64 bEnd) {
    if (aEnd <= bBegin)
        return bBegin - aEnd;
    if (bEnd <= aBegin)
        return aBegin - bEnd;
    return 0;
}

int toInt(qint64 v) {
    return int(
        std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

QRect fitToScreens(const WindowPlace& stored, const ScreenLimits& limits) {
    qint64 width = stored.width;
    qint64 height = stored.height;
    if (!limits.screens.empty()) {
        Span desk(limits.screens.front());
        for (const QRect& s : limits.screens) {
            const Span span(s);
            desk = {std::min(desk.left, span.left), std::min(desk.top, span.top),
                    std::max(desk.right, span.right), std::max(desk.bottom, span.bottom)};
        }
        width = std::min(width, desk.right - desk.left);
        height = std::min(height, desk.bottom - desk.top);
    }
    // The minimum wins over the screens: the window could not be made smaller anyway.
    width = std::max<qint64>({width, limits.minimum.width(), 1});
    height = std::max<qint64>({height, limits.minimum.height(), 1});
    // Keep the whole frame within what a QRect can hold.
    constexpr qint64 kLimit = std::numeric_limits<int>::max();
    width = std::min(width, kLimit / 2);
    height = std::min(height, kLimit / 2);
    qint64 left = std::clamp(stored.left, -kLimit / 2, kLimit / 2);
    qint64 top = std::clamp(stored.top, -kLimit / 2, kLimit / 2);
    if (limits.screens.empty())
        return QRect(toInt(left), toInt(top), toInt(width), toInt(height));

    const qint64 titleHeight =
        limits.titleBarHeight > 0 ? limits.titleBarHeight : kAssumedTitleBarHeight;
    const qint64 grip = std::min<qint64>(kTitleGripWidth, width);
    const Span title(left, top, left + width, top + std::min(titleHeight, height));
    const auto reachable = [&](const Span& s) {
        const qint64 across = std::min(title.right, s.right) - std::max(title.left, s.left);
        return across >= grip && title.top >= s.top && title.bottom <= s.bottom;
    };
    bool fits = false;
    for (const QRect& s : limits.screens)
        fits = fits || reachable(Span(s));
    if (!fits) {
        // Onto the screen nearest to the title bar (the first of equals: the primary).
        const QRect* nearest = nullptr;
        qint64 nearestDistance = 0;
        for (const QRect& r : limits.screens) {
            const Span s(r);
            const qint64 dx = gapBetween(title.left, title.right, s.left, s.right);
            const qint64 dy = gapBetween(title.top, title.bottom, s.top, s.bottom);
            const qint64 distance = dx + dy;
            if (!nearest || distance < nearestDistance) {
                nearest = &r;
                nearestDistance = distance;
            }
        }
        const Span s(*nearest);
        left = std::clamp(left, s.left, std::max(s.left, s.right - width));
        top = std::clamp(top, s.top, std::max(s.top, s.bottom - height));
    }
    return QRect(toInt(left), toInt(top), toInt(width), toInt(height));
}

} // namespace qel
