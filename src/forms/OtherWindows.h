#pragma once

#include <QDialog>

// Windows whose behaviour is still to come: they exist in the window set so that the
// creation order and the global instances are right from the start.
namespace qel {

class TPropertyForm : public QDialog {
    Q_OBJECT
public:
    explicit TPropertyForm(QWidget* parent = nullptr);
};

} // namespace qel
