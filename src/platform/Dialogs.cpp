#include "platform/Dialogs.h"

#include "platform/QtDialogs.h"

namespace qel {

namespace {

Dialogs* installed = nullptr;

QString& title() {
    static QString text = QStringLiteral("QelEditor130");
    return text;
}

} // namespace

QString fileFilter(const QString& shown, const QString& patterns) {
    return shown + u" (" + patterns + u')';
}

Dialogs& dialogs() {
    if (installed)
        return *installed;
    static QtDialogs qtDialogs;
    return qtDialogs;
}

void setDialogs(Dialogs* service) {
    installed = service;
}

Dialogs* installedDialogs() {
    return installed;
}

// Kept to ourselves on purpose: as QGuiApplication::applicationDisplayName the title
// would be appended to every window caption.
QString applicationTitle() {
    return title();
}

void setApplicationTitle(const QString& text) {
    title() = text;
}

} // namespace qel
