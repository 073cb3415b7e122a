#include "FileContent.h"

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

void openRegularFile(QFile& file) {
    const QFileInfo info(file.fileName());
    if (info.exists() && !info.isFile())
        throw Error(notRegularFileMessage());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw Error(file.errorString());
}

} // namespace

RegularFileSource::RegularFileSource(const QString& path) : file_(path) {
    openRegularFile(file_);
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
    QFile file(path);
    openRegularFile(file);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(file.errorString());
    return bytes;
}

void writeWholeFile(const QString& path, QByteArrayView bytes) {
    writeWholeFile(path, [&](const PieceWriter& write) { write(bytes); });
}

void writeWholeFile(const QString& path, const std::function<void(const PieceWriter&)>& produce) {
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    // Unbuffered, so that a write that does not go through reports why: a buffered
    // one is found short only when the buffer is flushed, and then without a reason.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw Error(file.errorString());
    try {
        produce([&](QByteArrayView piece) {
            const char* data = piece.data();
            qsizetype left = piece.size();
            while (left > 0) {
                // A short write is followed by one that fails and says why (a full disk).
                const qint64 written = file.write(data, left);
                if (written <= 0)
                    throw Error(file.errorString());
                data += written;
                left -= written;
            }
        });
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    if (!file.commit())
        throw Error(file.errorString());
}

} // namespace qel
