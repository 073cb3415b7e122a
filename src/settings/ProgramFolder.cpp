#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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
        return settingsFolder(QCoreApplication::applicationDirPath(),
                              QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    return withSeparator(QDir::currentPath());
}

QString settingsFolder(const QString& executableFolder, const QString& userFolder) {
    const QFileInfo folder(executableFolder);
    if (folder.isDir() && folder.isWritable())
        return withSeparator(executableFolder);
    // When it cannot be made, saves fail quietly as every failed settings save does.
    QDir().mkpath(userFolder);
    return withSeparator(userFolder);
}

void setProgramFolder(const QString& folder) {
    const std::lock_guard lock(overrideMutex());
    overrideFolder() = folder;
}

} // namespace qel
