#include "StatusPanels.h"

#include <algorithm>

#include <QLabel>
#include <QResizeEvent>

namespace qel {

namespace {

constexpr int kPanelSpacing = 2;

// Holds the panels side by side at their own widths, from the left. What does not fit
// is cut off at the right edge: a layout would squeeze the fixed-width panels' places
// and draw them over each other instead.
class PanelStrip : public QWidget {
public:
    explicit PanelStrip(QWidget* parent) : QWidget(parent) {
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }

    void add(QLabel* label) {
        panels_.push_back(label);
        arrange();
    }

    void arrange() {
        int x = 0;
        for (QLabel* p : panels_) {
            p->setGeometry(x, 0, p->width(), height());
            x += p->width() + kPanelSpacing;
        }
    }

    QSize sizeHint() const override {
        int h = 0;
        for (const QLabel* p : panels_)
            h = std::max(h, p->sizeHint().height());
        return QSize(0, h);
    }
    QSize minimumSizeHint() const override { return QSize(0, sizeHint().height()); }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        arrange();
    }

private:
    std::vector<QLabel*> panels_;
};

} // namespace

StatusPanels::StatusPanels(const std::vector<Panel>& panels, QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(true);
    // The panels keep their widths and are cut off at the right edge of a narrow
    // window; they never make the window wider.
    strip_ = new PanelStrip(this);
    for (const Panel& p : panels) {
        auto* label = new QLabel(strip_);
        label->setAlignment(p.alignment | Qt::AlignVCenter);
        label->setFixedWidth(p.width);
        label->setFrameShape(p.bevel ? QFrame::Panel : QFrame::NoFrame);
        label->setFrameShadow(QFrame::Sunken);
        label->setObjectName(QStringLiteral("Panel%1").arg(labels_.size()));
        static_cast<PanelStrip*>(strip_)->add(label);
        labels_.push_back(label);
    }
    addWidget(strip_, 1);
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
    static_cast<PanelStrip*>(strip_)->arrange();
}

} // namespace qel
