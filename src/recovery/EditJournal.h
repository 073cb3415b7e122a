#pragma once

#include "JournalFormat.h"
#include "Replay.h"
#include "settings/FileContent.h"
#include "textmodel/TextDocument.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>
#include <vector>

namespace qel::recovery {

class JournalFile;
class RecoverySession;

// Keeps the journal of a document's unsaved edits: each edit as it is made (typing runs
// and Replace All as one entry each), on the disk within a second of the edit, and
// flushed there. A document that is not modified has none: the journal begins with the
// first edit and goes when the document is saved, replaced or left.
class EditJournal : public QObject, private textmodel::TextObserver {
    Q_OBJECT
public:
    EditJournal(textmodel::TextDocument& document, RecoverySession& session,
                QObject* parent = nullptr);
    // The journal stays on the disk with what had reached it, as after a crash.
    ~EditJournal() override;

    // What the edits from now on start from: an empty untitled document, a new one with
    // a path, or the file just loaded or saved at `documentPath`. The journal of the
    // edits before goes.
    void startFrom(const QString& documentPath, bool fromFile);
    // Records that the text, as it stands, differs from what it started from only
    // between `head` characters at its start and `tail` at its end: one edit.
    void recordChangedSpan(qsizetype head, qsizetype tail);
    // Writes what is waiting now, instead of when the delay runs out.
    void flush();
    // Blocks until everything flushed is on the disk.
    void waitUntilWritten();
    // The document was saved, or its edits are let go: the journal goes.
    void discard();
    // Keeps the old content of a file overwritten in place, in the recovery folder.
    InPlaceCopy& inPlaceCopy() { return copy_; }

    // How long an edit waits before it is written.
    static std::chrono::milliseconds flushDelay();
    static void setFlushDelay(std::chrono::milliseconds delay);
    // Files up to this size are kept whole in the journal, so that their edits can be
    // recovered even after the file changed.
    static constexpr qint64 kOriginBytesKept = 8 << 20;
    // A journal longer than this, and than twice the text its edits touched, is
    // written again as that text alone.
    static constexpr qint64 kCompactAbove = 1 << 20;

Q_SIGNALS:
    // Writing the journal failed: the reason, once.
    void failed(const QString& reason);

private:
    class Copy : public InPlaceCopy {
    public:
        explicit Copy(EditJournal& journal) : journal_(journal) {}
        void keep(const QString& path, QByteArrayView oldContent) override;
        void release() override;

    private:
        EditJournal& journal_;
    };

    void textChanged(const textmodel::TextChange& change) override;
    void add(Edit edit);
    void compact();
    JournalFile& file();
    void takeFailure();
    void fail(const QString& reason);

    textmodel::TextDocument& document_;
    RecoverySession& session_;
    std::unique_ptr<JournalFile> file_;
    QTimer timer_;
    Origin origin_;
    qsizetype originLength_ = 0;
    ChangedSpan span_;
    std::vector<Edit> pending_;
    bool begun_ = false;     // the journal of this origin is on the disk
    bool suspended_ = false; // the text was replaced: nothing is recorded until startFrom()
    bool broken_ = false;    // it cannot be written; until startFrom()
    bool failureSaid_ = false;
    qint64 bodyBytes_ = 0; // written after the origin
    Copy copy_{*this};
};

} // namespace qel::recovery
