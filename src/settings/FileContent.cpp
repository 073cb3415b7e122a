#include "FileContent.h"

#include "DiskWrites.h"
#include "SettingValues.h"
#include "text/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <unistd.h>

namespace qel {

QString notRegularFileMessage() {
    return QStringLiteral("通常のファイルではありません");
}

namespace {

// Opens a regular file for reading; refuses a path that names no file, and anything but
// a regular file, before opening it.
void openRegular(QFile& file, QIODevice::OpenMode mode = QIODevice::ReadOnly) {
    const QString path = file.fileName();
    if (!isUsablePath(path))
        throw Error(unusablePathMessage());
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw Error(notRegularFileMessage());
    if (!file.open(mode))
        throw Error(file.errorString());
}

// Reads up to `maxBytes` (all when negative) of a regular file.
QByteArray readRegular(const QString& path, qint64 maxBytes, bool* wholeFile) {
    QFile file(path);
    openRegular(file);
    QByteArray bytes = maxBytes < 0 ? file.readAll() : file.read(maxBytes);
    if (file.error() != QFileDevice::NoError)
        throw Error(file.errorString());
    if (wholeFile)
        *wholeFile = file.atEnd();
    return bytes;
}

// Writes all of `bytes`; false when a write fails (a short write is followed by one
// that fails and says why, as on a full disk).
bool writeAll(QFileDevice& file, QByteArrayView bytes) {
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const qint64 written = file.write(data, left);
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// The old content of `file` back as it was, as far as the disk lets it.
bool putBack(QFile& file, QByteArrayView old) {
    return file.seek(0) && writeAll(file, old) && file.resize(old.size()) && syncToDisk(file);
}

void writeInPlace(const QString& path, QByteArrayView bytes, InPlaceCopy* copy) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        throw Error(file.errorString());
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(file.errorString());
    if (copy)
        copy->keep(path, old);
    // Until the copy is released it is the one whole version of the file: whatever
    // fails below leaves it, unless the old content is back in place.
    const auto fail = [&](const QString& reason) {
        if (putBack(file, old) && copy)
            copy->release();
        throw Error(reason);
    };
    const QString noRoom = reserveRoom(file, bytes.size());
    if (!noRoom.isEmpty()) {
        // Nothing was overwritten; the file may only have grown.
        if (file.size() == old.size() || file.resize(old.size())) {
            if (copy)
                copy->release();
            throw Error(noRoom);
        }
        fail(noRoom);
    }
    if (!file.seek(0) || !writeAll(file, bytes) || !file.resize(bytes.size()))
        fail(file.errorString());
    if (!syncToDisk(file))
        throw Error(file.errorString());
    file.close();
    if (copy)
        copy->release();
}

} // namespace

RegularFileSource::RegularFileSource(const QString& path) : file_(path) {
    openRegular(file_, QIODevice::ReadOnly | QIODevice::Unbuffered);
    size_ = file_.size();
}

qsizetype RegularFileSource::read(qsizetype offset, char* to, qsizetype n) const {
    qsizetype done = 0;
    while (done < n) {
        const ssize_t got =
            ::pread(file_.handle(), to + done, std::size_t(n - done), off_t(offset + done));
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw Error(qt_error_string(errno));
        }
        done += got;
    }
    return done;
}

QByteArray readRegularFile(const QString& path) {
    return readRegular(path, -1, nullptr);
}

QByteArray readRegularFileStart(const QString& path, qsizetype maxBytes, bool* wholeFile) {
    return readRegular(path, maxBytes, wholeFile);
}

void writeWholeFile(const QString& path, QByteArrayView bytes, InPlaceCopy* copy) {
    writeWholeFile(
        path, [&](const PieceWriter& write) { write(bytes); }, copy);
}

void writeWholeFile(const QString& path, const std::function<void(const PieceWriter&)>& produce,
                    InPlaceCopy* copy) {
    if (!isUsablePath(path))
        throw Error(unusablePathMessage());
    QSaveFile file(path);
    // Unbuffered, so that a write that does not go through reports why: a buffered
    // one is found short only when the buffer is flushed, and then without a reason.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // No file can be made beside it: a file the user may write is written in place.
        const QFileInfo info(path);
        if (!info.exists() || !info.isFile())
            throw Error(file.errorString());
        QByteArray whole;
        produce([&](QByteArrayView piece) { whole += piece; });
        writeInPlace(path, whole, copy);
        return;
    }
    try {
        produce([&](QByteArrayView piece) {
            if (!writeAll(file, piece))
                throw Error(file.errorString());
        });
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    if (!file.commit())
        throw Error(file.errorString());
}

} // namespace qel
