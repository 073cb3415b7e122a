#include "FileContent.h"

#include "SettingValues.h"
#include "text/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace qel {

QString notRegularFileMessage() {
    return QStringLiteral("通常のファイルではありません");
}

namespace {

// Reads up to `maxBytes` (all when negative) of a regular file.
QByteArray readRegular(const QString& path, qint64 maxBytes, bool* wholeFile) {
    if (!isUsablePath(path))
        throw Error(unusablePathMessage());
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw Error(notRegularFileMessage());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(file.errorString());
    QByteArray bytes = maxBytes < 0 ? file.readAll() : file.read(maxBytes);
    if (file.error() != QFileDevice::NoError)
        throw Error(file.errorString());
    if (wholeFile)
        *wholeFile = file.atEnd();
    return bytes;
}

} // namespace

QByteArray readRegularFile(const QString& path) {
    return readRegular(path, -1, nullptr);
}

QByteArray readRegularFileStart(const QString& path, qsizetype maxBytes, bool* wholeFile) {
    return readRegular(path, maxBytes, wholeFile);
}

void writeWholeFile(const QString& path, QByteArrayView bytes) {
    if (!isUsablePath(path))
        throw Error(unusablePathMessage());
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    // Unbuffered, so that a write that does not go through reports why: a buffered
    // one is found short only when the buffer is flushed, and then without a reason.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw Error(file.errorString());
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        // A short write is followed by one that fails and says why (a full disk).
        const qint64 written = file.write(data, left);
        if (written <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            throw Error(reason);
        }
        data += written;
        left -= written;
    }
    if (!file.commit())
        throw Error(file.errorString());
}

} // namespace qel
