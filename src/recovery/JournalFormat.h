#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

// The journal of unsaved edits as it lies on the disk: a line that names it, then
// entries, each kind, length, content and a check of its own, so that a journal cut
// short or ending in garbage still gives every entry before the damage.
//
// The first entry says what the edits start from (the origin): the document's path
// and, when the edits start from a file, its size, modification time and digest;
// the file's bytes themselves may follow. Then come the edits, each followed, once it
// is written to the disk, by a mark: when, and how long the text then was.
namespace qel::recovery {

struct Origin {
    QString documentPath;  // the document's path; empty for an untitled one
    bool fromFile = false; // the edits start from that file, not from an empty text
    qint64 size = -1;      // the file as it was: size, modification time (ms since the epoch)
    qint64 modified = 0;
    std::optional<quint64> digest; // none when the file changed before it could be read
    qint64 startedAt = 0;          // when the journal began, ms since the epoch
    friend bool operator==(const Origin&, const Origin&) = default;
};

// One edit: `removed` characters at `position` gave way to `text`. A run of
// replacements (positions not empty) is Replace All's: at each position in turn,
// `removed` characters gave way to `text`.
struct Edit {
    qsizetype position = 0;
    qsizetype removed = 0;
    QString text;
    std::vector<qsizetype> positions;
    friend bool operator==(const Edit&, const Edit&) = default;
};

// What the text was after the edits before it had reached the disk.
struct Mark {
    qint64 time = 0;       // ms since the epoch
    qsizetype chars = -1;  // -1: not known
    qsizetype bytes = -1;  // in code page 932, as the document would be saved
    std::size_t edits = 0; // how many edits come before it (set when read)
    friend bool operator==(const Mark&, const Mark&) = default;
};

// The line every journal begins with.
QByteArray journalHeading();
QByteArray originEntry(const Origin& origin);
QByteArray originBytesEntry(QByteArrayView bytes);
QByteArray editEntry(const Edit& edit);
QByteArray markEntry(const Mark& mark);

struct JournalContents {
    std::optional<Origin> origin;
    std::optional<QByteArray> originBytes;
    std::vector<Edit> edits;
    std::vector<Mark> marks;
    qsizetype completeBytes = 0; // where the last complete entry ends
    bool damaged = false;        // something follows that is not a complete entry
};

// Reads every complete entry up to the first damage (or the end).
JournalContents readJournal(QByteArrayView bytes);

} // namespace qel::recovery
