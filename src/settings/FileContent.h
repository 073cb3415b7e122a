#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include "text/ByteSource.h"

#include <functional>

// Whole files as documents and settings files are read and written.
namespace qel {

// The reason given for a path that names a folder, a pipe, a device or anything else
// that is not a regular file.
QString notRegularFileMessage();

// Reads the whole file at `path`. Only a regular file is read: anything else could
// block (a pipe) or never end (a device), and is refused before it is opened. Throws
// Error with notRegularFileMessage() or the system's own reason.
QByteArray readRegularFile(const QString& path);

// A regular file opened for reading, as readRegularFile() opens it, read a piece at a
// time and at any offset, by several threads at once if need be. Its size is the one
// it had when it was opened.
class RegularFileSource final : public ByteSource {
public:
    // Throws Error as readRegularFile() does.
    explicit RegularFileSource(const QString& path);
    qsizetype size() const override { return size_; }
    qsizetype read(qsizetype offset, char* to, qsizetype n) const override;

private:
    QFile file_;
    qsizetype size_ = 0;
};

// Makes `bytes` the whole content of the file at `path`. The new content is written
// beside it and renamed over it, so that a failure leaves the old file whole; where no
// file can be made beside it (a folder the user may not write), a file the user may
// write is written in place, keeping its mode and owner. Throws Error with the
// system's own reason ("No space left on device") when it cannot be written.
void writeWholeFile(const QString& path, QByteArrayView bytes);
// The same with the content made a piece at a time, so that a big file needs no copy
// of it in memory: `produce` hands each piece, in order, to the writer it is given.
using PieceWriter = std::function<void(QByteArrayView piece)>;
void writeWholeFile(const QString& path, const std::function<void(const PieceWriter&)>& produce);

} // namespace qel
