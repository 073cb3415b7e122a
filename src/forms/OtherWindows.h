#pragma once

#include <QWidget>

// Windows whose behaviour is still to come: they exist in the window set so that the
// creation order and the global instances are right from the start.
namespace qel {

class TListWindow : public QWidget {
    Q_OBJECT
public:
    explicit TListWindow(QWidget* parent = nullptr);
};

} // namespace qel
