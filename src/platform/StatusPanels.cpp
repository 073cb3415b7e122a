#include "StatusPanels.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>

namespace qel {

StatusPanels::StatusPanels(const std::vector<Panel>& panels, QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(true);
    // The panels keep their widths and are cut off at the right edge of a narrow
    // window; they never make the window wider.
    auto* strip = new QWidget(this);
    strip->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* layout = new QHBoxLayout(strip);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (const Panel& p : panels) {
        auto* label = new QLabel(strip);
        label->setAlignment(p.alignment | Qt::AlignVCenter);
        label->setFixedWidth(p.width);
        label->setFrameShape(p.bevel ? QFrame::Panel : QFrame::NoFrame);
        label->setFrameShadow(QFrame::Sunken);
        label->setObjectName(QStringLiteral("Panel%1").arg(labels_.size()));
        layout->addWidget(label);
        labels_.push_back(label);
    }
    layout->addStretch(1);
    addWidget(strip, 1);
}

QString StatusPanels::panelText(int index) const {
    return labels_.at(index)->text();
}

void StatusPanels::setPanelText(int index, const QString& text) {
    labels_.at(index)->setText(text);
}

int StatusPanels::panelWidth(int index) const {
    return labels_.at(index)->width();
}

void StatusPanels::setPanelWidth(int index, int width) {
    labels_.at(index)->setFixedWidth(width);
}

namespace {

const char* const kOuterProperty = "qelOuterGeometry";

// Corrects the client size once the frame is known.
class FrameFix : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* w = static_cast<QWidget*>(watched);
            const QRect outer = w->property(kOuterProperty).toRect();
            if (outer.isValid()) {
                const QSize frame = w->frameGeometry().size() - w->geometry().size();
                w->resize(outer.size() - frame);
                w->move(outer.topLeft());
                // Once placed, the window goes where the user takes it.
                w->setProperty(kOuterProperty, QRect());
            }
        }
        return false;
    }
};

} // namespace

void placeWindow(QWidget* window, const QRect& outer) {
    if (window->property(kOuterProperty).isNull())
        window->installEventFilter(new FrameFix(window));
    window->setProperty(kOuterProperty, outer);
    const QSize frame = window->isVisible()
                            ? window->frameGeometry().size() - window->geometry().size()
                            : QSize(0, 0);
    window->resize(outer.size() - frame);
    window->move(outer.topLeft());
}

QRect outerGeometry(const QWidget* window) {
    return window->frameGeometry();
}

} // namespace qel
