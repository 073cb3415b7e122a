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
    std::vector<QLabel*> labels_;
};

// Places a top-level window by its outer frame (title bar and borders included). The
// frame is known only once the window is shown, so the size is corrected then; a
// window saved by outerGeometry() and placed again comes back exactly where it was.
void placeWindow(QWidget* window, const QRect& outer);
QRect outerGeometry(const QWidget* window);

} // namespace qel
