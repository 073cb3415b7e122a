#include "OtherWindows.h"

namespace qel {

TListWindow::TListWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ListWindow"));
}

} // namespace qel
