#include "RecoveryFolder.h"

#include "settings/ProgramFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace qel::recovery {

namespace {

QString withSeparator(QString folder) {
    folder = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;

} // namespace

QString recoveryFolderFor(const QString& programFolder, const QString& userConfigFolder,
                          const QString& stateHome, const QString& home) {
    if (withSeparator(programFolder) != withSeparator(userConfigFolder))
        return withSeparator(programFolder) + QStringLiteral("recovery/");
    // As the XDG base directories have it, a relative $XDG_STATE_HOME is ignored.
    const QString state = !stateHome.isEmpty() && QDir::isAbsolutePath(stateHome)
                              ? stateHome
                              : home + QStringLiteral("/.local/state");
    return withSeparator(state) + QStringLiteral("QelEditor/recovery/");
}

QString recoveryFolder() {
    return recoveryFolderFor(programFolder(),
                             QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
                             qEnvironmentVariable("XDG_STATE_HOME"), QDir::homePath());
}

bool makePrivateFolder(const QString& folder, QString* reason) {
    const QFileInfo info(folder);
    QDir dir;
    if (!info.isDir()) {
        const QString parent = QFileInfo(QDir::cleanPath(folder)).absolutePath();
        if (!dir.mkpath(parent) || !(dir.mkdir(folder, kOwnerOnly) || QFileInfo(folder).isDir())) {
            if (reason)
                *reason = QStringLiteral("フォルダーを作れません: %1")
                              .arg(QDir::toNativeSeparators(folder));
            return false;
        }
    }
#ifdef Q_OS_UNIX
    // A folder made by other means is closed to others too, when it is ours.
    if ((QFile::permissions(folder) & ~kOwnerOnly) != 0 &&
        QFileInfo(folder).ownerId() == ::getuid())
        QFile::setPermissions(folder, kOwnerOnly);
#endif
    return true;
}

std::unique_ptr<QLockFile> lockFile(const QString& path) {
    auto lock = std::make_unique<QLockFile>(path);
    // Held for as long as the program runs: only a program that is gone leaves a stale
    // one.
    lock->setStaleLockTime(0);
    return lock;
}

RecoverySession::RecoverySession(QString folder) : folder_(withSeparator(std::move(folder))) {
    name_ = QStringLiteral("%1-%2-%3")
                .arg(QCoreApplication::applicationPid())
                .arg(QDateTime::currentMSecsSinceEpoch(), 0, 36)
                .arg(QRandomGenerator::global()->generate(), 0, 36);
}

RecoverySession::~RecoverySession() {
    if (lock_) {
        lock_->unlock();
        lock_.reset();
        // Nothing left: the folder goes too (it stays while another program has files
        // in it).
        QDir().rmdir(folder_);
    }
}

bool RecoverySession::prepare(QString* reason) {
    if (lock_)
        return true;
    // Twice: another program that just ended may take away the empty folder between.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!makePrivateFolder(folder_, reason))
            return false;
        auto lock = lockFile(lockPath());
        if (lock->tryLock(0)) {
            lock_ = std::move(lock);
            return true;
        }
    }
    if (reason)
        *reason = QStringLiteral("ロックファイルを作れません: %1")
                      .arg(QDir::toNativeSeparators(lockPath()));
    return false;
}

} // namespace qel::recovery
