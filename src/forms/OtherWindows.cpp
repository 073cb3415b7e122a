#include "OtherWindows.h"

namespace qel {

TSubForm::TSubForm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SubForm"));
}
TSubForm2::TSubForm2(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SubForm2"));
}
TSubForm3::TSubForm3(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SubForm3"));
}
TListWindow::TListWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ListWindow"));
}
TPropertyForm::TPropertyForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PropertyForm"));
}

} // namespace qel
