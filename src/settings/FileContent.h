#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

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

// Makes `bytes` the whole content of the file at `path`. The new content is written
// beside it and renamed over it, so that a failure leaves the old file whole; where no
// file can be made beside it (a folder the user may not write), a file the user may
// write is written in place, keeping its mode and owner. Throws Error with the
// system's own reason ("No space left on device") when it cannot be written, and
// with unusablePathMessage() for a path that names no file.
void writeWholeFile(const QString& path, QByteArrayView bytes);

} // namespace qel
