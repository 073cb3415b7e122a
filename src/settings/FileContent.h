#pragma once

#include "text/ByteSource.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <functional>

// Whole files as documents and settings files are read and written.
namespace qel {

// The reason given for a path that names a folder, a pipe, a device or anything else
// that is not a regular file.
QString notRegularFileMessage();

// Reads the whole file at `path`. Only a regular file is read: anything else could
// block (a pipe) or never end (a device), and is refused before it is opened, as is a
// path that names no file (isUsablePath). Throws Error with notRegularFileMessage(),
// unusablePathMessage() or the system's own reason.
QByteArray readRegularFile(const QString& path);
// The first `maxBytes` of the file (fewer when it is shorter), refused and failing as
// readRegularFile() does; `wholeFile` tells whether nothing follows them.
QByteArray readRegularFileStart(const QString& path, qsizetype maxBytes, bool* wholeFile);

// A regular file opened for reading, refused as readRegularFile() refuses what it
// refuses, and read a piece at a time and at any offset, by several threads at once
// if need be. Its size is the one it had when it was opened.
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

// Keeps the old content of a file that is overwritten in place, until the new content
// is written and on the disk: a program killed in between leaves the copy behind.
class InPlaceCopy {
public:
    // Before the first byte of the file at `path` is overwritten. Throws Error when
    // no copy can be kept; the file is then left as it is.
    virtual void keep(const QString& path, QByteArrayView oldContent) = 0;
    // The new content is complete and on the disk: the copy may go.
    virtual void release() = 0;

protected:
    ~InPlaceCopy() = default;
};

// Makes `bytes` the whole content of the file at `path`. The new content is written
// beside it and renamed over it, so that a failure leaves the old file whole; where no
// file can be made beside it (a folder the user may not write), a file the user may
// write is written in place, keeping its mode and owner: the room the new content
// needs is reserved before a byte is overwritten, so that a full disk leaves the old
// file whole too, and `copy` (when given) keeps the old content meanwhile. Throws Error
// with the system's own reason ("No space left on device") when it cannot be written,
// and with unusablePathMessage() for a path that names no file.
void writeWholeFile(const QString& path, QByteArrayView bytes, InPlaceCopy* copy = nullptr);
// The same with the content made a piece at a time, so that a big file needs no copy
// of it in memory: `produce` hands each piece, in order, to the writer it is given.
// (Only a file written in place is put together whole first.)
using PieceWriter = std::function<void(QByteArrayView piece)>;
void writeWholeFile(const QString& path, const std::function<void(const PieceWriter&)>& produce,
                    InPlaceCopy* copy = nullptr);

} // namespace qel
