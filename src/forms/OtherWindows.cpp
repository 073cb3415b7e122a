#include "OtherWindows.h"

namespace qel {

TPropertyForm::TPropertyForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PropertyForm"));
}

} // namespace qel
