#include "DiskWrites.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <io.h>
#endif

namespace qel {

bool syncToDisk(QFileDevice& file) {
    if (!file.flush())
        return false;
#if defined(Q_OS_LINUX)
    return ::fdatasync(file.handle()) == 0;
#elif defined(Q_OS_UNIX)
    return ::fsync(file.handle()) == 0;
#elif defined(Q_OS_WIN)
    return ::_commit(file.handle()) == 0;
#else
    return true;
#endif
}

bool syncFolderToDisk(const QString& folder) {
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
#else
    // Folder entries are written through with the file on the other systems.
    Q_UNUSED(folder);
    return true;
#endif
}

QString reserveRoom(QFileDevice& file, qint64 size) {
    if (size <= 0)
        return QString();
#ifdef Q_OS_UNIX
    const int error = ::posix_fallocate(file.handle(), 0, off_t(size));
    // A file system that cannot reserve ahead is written as before.
    if (error == 0 || error == EOPNOTSUPP || error == ENOSYS)
        return QString();
    return QString::fromLocal8Bit(std::strerror(error));
#else
    // Growing the file to its new size takes the room it needs.
    if (file.size() < size && !file.resize(size))
        return file.errorString();
    return QString();
#endif
}

} // namespace qel
