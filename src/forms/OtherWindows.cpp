#include "OtherWindows.h"

namespace qel {

TListWindow::TListWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ListWindow"));
}
TPropertyForm::TPropertyForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PropertyForm"));
}

} // namespace qel
