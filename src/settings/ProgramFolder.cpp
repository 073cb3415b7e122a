#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

#include <mutex>

namespace qel {
namespace {

std::mutex& overrideMutex() {
    static std::mutex m;
    return m;
}

QString& overrideFolder() {
    static QString folder;
    return folder;
}

QString withSeparator(QString folder) {
    folder = QDir::fromNativeSeparators(folder);
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

} // namespace

QString programFolder() {
    {
        const std::lock_guard lock(overrideMutex());
        if (!overrideFolder().isEmpty())
            return withSeparator(overrideFolder());
    }
    // Without an application object there is no executable's folder to ask for.
    if (QCoreApplication::instance())
        return withSeparator(QCoreApplication::applicationDirPath());
    return withSeparator(QDir::currentPath());
}

void setProgramFolder(const QString& folder) {
    const std::lock_guard lock(overrideMutex());
    overrideFolder() = folder;
}

} // namespace qel
