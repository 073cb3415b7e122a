#pragma once

#include <QStatusBar>

#include <vector>

class QLabel;

namespace qel {

// A status bar of fixed-width text panels, left to right.
class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    struct Panel {
        int width;
        Qt::Alignment alignment;
        bool bevel = true;
    };
    StatusPanels(const std::vector<Panel>& panels, QWidget* parent = nullptr);

    int panelCount() const { return static_cast<int>(labels_.size()); }
    QString panelText(int index) const;
    void setPanelText(int index, const QString& text);
    int panelWidth(int index) const;
    void setPanelWidth(int index, int width);

private:
    QWidget* strip_ = nullptr;
    std::vector<QLabel*> labels_;
};

} // namespace qel
