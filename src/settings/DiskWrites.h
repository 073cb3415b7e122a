#pragma once

#include <QString>

class QFileDevice;

// What writing a file safely needs beyond QFile: knowing that the bytes reached the
// disk, and room on the disk before the first byte is overwritten.
namespace qel {

// Flushes what was written to `file` to stable storage; false when the system says it
// could not.
bool syncToDisk(QFileDevice& file);
// Makes the entries of `folder` (a file just made, renamed or removed there) last
// through a power cut. False when the system says it could not.
bool syncFolderToDisk(const QString& folder);
// Reserves room for `size` bytes of `file` on its disk without changing what it holds
// (it may grow to `size`, with zeros). Returns an empty text when the room is there, or
// where the file system cannot reserve it ahead; otherwise the system's reason ("No space
// left on device").
QString reserveRoom(QFileDevice& file, qint64 size);

} // namespace qel
