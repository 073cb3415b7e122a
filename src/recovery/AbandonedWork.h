#pragma once

#include "JournalFormat.h"
#include "Replay.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QLockFile;

namespace qel::textmodel {
class TextDocument;
}

namespace qel::recovery {

// The text a piece of abandoned work gives back.
struct RecoveredText {
    std::unique_ptr<textmodel::TextDocument> text;
    QString documentPath; // empty: untitled
    // The file at documentPath is what the edits started from: the document is that
    // file with `span` changed. Otherwise nothing on the disk holds any of it.
    bool editsOfFile = false;
    ChangedSpan span;
    RecoveredText();
    RecoveredText(RecoveredText&&) noexcept;
    RecoveredText& operator=(RecoveredText&&) noexcept;
    ~RecoveredText();
};

// What a program that is no longer running left in the recovery folder: the journal of
// its unsaved edits, the copy of a file it was overwriting in place, or both. Found with
// its lock taken, so that no other program starting now takes it too.
class AbandonedWork {
public:
    enum class Outcome {
        Document, // the document comes back with its path (or untitled, as it was)
        Untitled, // the file the edits started from changed: back as an untitled document
        Lost,     // the file changed and its old content is not kept: nothing to replay onto
    };

    AbandonedWork(AbandonedWork&&) noexcept;
    AbandonedWork& operator=(AbandonedWork&&) noexcept;
    ~AbandonedWork(); // lets go of the lock; the files stay unless discarded

    Outcome outcome() const { return outcome_; }
    // The document's path as it was; empty for an untitled one.
    const QString& documentPath() const { return documentPath_; }
    // When its edits last reached the disk.
    const QDateTime& lastEdited() const { return lastEdited_; }
    // Its size then, in bytes as it would be saved; -1 when not known.
    qsizetype bytes() const { return bytes_; }
    // The journal ended in damage: its complete entries are what comes back.
    bool damaged() const { return damaged_; }

    // Builds the text (nothing for Lost).
    RecoveredText recover() const;
    // Removes its files.
    void discard();

    // The work found in `folder`, oldest first, each with its lock taken.
    static std::vector<AbandonedWork> findIn(const QString& folder);

private:
    AbandonedWork() = default;
    void evaluate();

    std::shared_ptr<QLockFile> lock_; // shared by the work one program left
    QString journalPath_, copyPath_;
    JournalContents journal_, copy_;
    bool empty_ = false; // nothing in it to give back
    QByteArray base_;    // the bytes the edits start from, once found
    bool baseIsFile_ = false;
    Outcome outcome_ = Outcome::Lost;
    QString documentPath_;
    QDateTime lastEdited_;
    qsizetype bytes_ = -1;
    bool damaged_ = false;
};

// The question asked for abandoned work, in the program's words, and its buttons: the
// first one (the default) recovers, the second discards, the last keeps it for later.
// Lost work has no button to recover.
QString recoveryQuestion(const AbandonedWork& work);
QStringList recoveryButtons(const AbandonedWork& work);

} // namespace qel::recovery
