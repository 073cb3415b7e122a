#include "Datetimeformat.h"

namespace qel {

TDateTimeFormatForm::TDateTimeFormatForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DateTimeFormatForm"));
}

} // namespace qel
