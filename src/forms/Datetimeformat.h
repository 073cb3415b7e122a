#pragma once

#include <QDialog>

namespace qel {

// The date and time format dialog.
class TDateTimeFormatForm : public QDialog {
    Q_OBJECT
public:
    explicit TDateTimeFormatForm(QWidget* parent = nullptr);
};

} // namespace qel
