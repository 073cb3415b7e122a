#include "StatusPanels.h"

#include <QHBoxLayout>
#include <QLabel>

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

} // namespace qel
