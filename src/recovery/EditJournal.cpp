#include "EditJournal.h"

#include "Digest.h"
#include "JournalFile.h"
#include "RecoveryFolder.h"
#include "settings/DiskWrites.h"
#include "text/Error.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace qel::recovery {

namespace {

std::chrono::milliseconds& delaySetting() {
    static std::chrono::milliseconds delay{1000};
    return delay;
}

qint64 now() {
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

std::chrono::milliseconds EditJournal::flushDelay() {
    return delaySetting();
}

void EditJournal::setFlushDelay(std::chrono::milliseconds delay) {
    delaySetting() = delay;
}

EditJournal::EditJournal(textmodel::TextDocument& document, RecoverySession& session,
                         QObject* parent)
    : QObject(parent), document_(document), session_(session) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &EditJournal::flush);
    document_.addObserver(this);
    startFrom(QString(), false);
}

EditJournal::~EditJournal() {
    document_.removeObserver(this);
}

JournalFile& EditJournal::file() {
    if (!file_)
        file_ = std::make_unique<JournalFile>(session_.journalPath());
    return *file_;
}

void EditJournal::startFrom(const QString& documentPath, bool fromFile) {
    timer_.stop();
    pending_.clear();
    if (begun_)
        file().remove();
    begun_ = suspended_ = broken_ = false;
    origin_ = Origin();
    origin_.fromFile = fromFile;
    if (!documentPath.isEmpty())
        origin_.documentPath = QFileInfo(documentPath).absoluteFilePath();
    if (fromFile) {
        const FileStamp stamp = stampOf(documentPath);
        origin_.size = stamp.size;
        origin_.modified = stamp.modified;
    }
    originLength_ = document_.length();
    span_ = ChangedSpan(originLength_);
    bodyBytes_ = 0;
}

void EditJournal::recordChangedSpan(qsizetype head, qsizetype tail) {
    // An untouched text says so by a head and a tail as long as the text.
    const qsizetype shorter = std::min(originLength_, document_.length());
    head = std::clamp<qsizetype>(head, 0, shorter);
    tail = std::clamp<qsizetype>(tail, 0, shorter - head);
    suspended_ = false;
    span_ = ChangedSpan(originLength_);
    span_.note(head, originLength_ - head - tail, originLength_);
    pending_.clear();
    const qsizetype end = document_.length() - tail;
    add({head, originLength_ - head - tail, document_.text(head, end), {}});
    flush();
}

void EditJournal::textChanged(const textmodel::TextChange& change) {
    if (change.cause == textmodel::TextChange::Cause::Load) {
        // The text was replaced: the edits before no longer lead to it.
        suspended_ = true;
        pending_.clear();
        timer_.stop();
        return;
    }
    span_.note(change.position, change.removed, document_.length() - change.added + change.removed);
    if (suspended_ || broken_)
        return;
    Edit edit;
    if (change.run) {
        edit.positions = change.run->positions;
        edit.removed = change.run->length;
        edit.text = change.run->with.toString();
    } else {
        edit.position = change.position;
        edit.removed = change.removed;
        edit.text = document_.text(change.position, change.position + change.added);
    }
    add(std::move(edit));
    if (!timer_.isActive())
        timer_.start(flushDelay());
}

void EditJournal::add(Edit edit) {
    if (!pending_.empty() && pending_.back().positions.empty() && edit.positions.empty()) {
        // Typing, Backspace and Delete next to the edit before join it: [start, end) is
        // the text that edit put in.
        Edit& last = pending_.back();
        const qsizetype start = last.position;
        const qsizetype end = start + last.text.size();
        if (edit.position >= start && edit.position + edit.removed <= end) {
            last.text.replace(edit.position - start, edit.removed, edit.text);
            return;
        }
        if (edit.position + edit.removed == start) {
            last.position = edit.position;
            last.removed += edit.removed;
            last.text.prepend(edit.text);
            return;
        }
        if (edit.position == end) {
            last.removed += edit.removed;
            last.text.append(edit.text);
            return;
        }
    }
    pending_.push_back(std::move(edit));
}

void EditJournal::flush() {
    timer_.stop();
    takeFailure();
    if (pending_.empty() || suspended_ || broken_)
        return;
    if (!document_.differsFromSaved()) {
        // Back to the text it started from: nothing to recover.
        pending_.clear();
        if (begun_)
            file().remove();
        begun_ = false;
        span_ = ChangedSpan(originLength_);
        bodyBytes_ = 0;
        return;
    }
    if (!begun_) {
        QString reason;
        if (!session_.prepare(&reason)) {
            broken_ = true;
            pending_.clear();
            fail(reason);
            return;
        }
        origin_.startedAt = now();
        file().begin(origin_, kOriginBytesKept);
        begun_ = true;
        bodyBytes_ = 0;
    }
    QByteArray entries;
    for (const Edit& edit : pending_)
        entries += editEntry(edit);
    pending_.clear();
    entries += markEntry({now(), document_.length(), document_.byteLength(), 0});
    bodyBytes_ += entries.size();
    file().append(std::move(entries));
    const qint64 compacted = 2 * qint64(document_.length() - span_.tail() - span_.head()) + 64;
    if (bodyBytes_ > kCompactAbove && bodyBytes_ > 2 * compacted)
        compact();
}

void EditJournal::compact() {
    const qsizetype head = span_.head();
    const qsizetype tail = span_.tail();
    QByteArray entries = editEntry(
        {head, originLength_ - head - tail, document_.text(head, document_.length() - tail), {}});
    entries += markEntry({now(), document_.length(), document_.byteLength(), 0});
    bodyBytes_ = entries.size();
    file().rewrite(std::move(entries));
}

void EditJournal::waitUntilWritten() {
    if (file_)
        file_->wait();
    takeFailure();
}

void EditJournal::discard() {
    timer_.stop();
    pending_.clear();
    if (begun_)
        file().remove();
    begun_ = false;
    span_ = ChangedSpan(document_.length());
    originLength_ = document_.length();
    bodyBytes_ = 0;
}

void EditJournal::takeFailure() {
    if (!file_)
        return;
    const QString reason = file_->takeError();
    if (!reason.isEmpty())
        fail(reason);
}

void EditJournal::fail(const QString& reason) {
    if (failureSaid_)
        return;
    failureSaid_ = true;
    Q_EMIT failed(reason);
}

void EditJournal::Copy::keep(const QString& path, QByteArrayView oldContent) {
    // The journal is complete on the disk before the file it starts from is touched.
    journal_.flush();
    journal_.waitUntilWritten();
    QString reason;
    if (journal_.session_.prepare(&reason)) {
        const FileStamp stamp = stampOf(path);
        Origin origin;
        origin.documentPath = QFileInfo(path).absoluteFilePath();
        origin.fromFile = true;
        origin.size = oldContent.size();
        origin.modified = stamp.modified;
        origin.digest = digestOf(oldContent);
        origin.startedAt = now();
        const QString copyPath = journal_.session_.copyPath();
        QFile copy(copyPath);
        const QByteArray entries = journalHeading() + originEntry(origin) +
                                   originBytesEntry(oldContent) +
                                   markEntry({now(), -1, oldContent.size(), 0});
        if (copy.open(QIODevice::WriteOnly | QIODevice::Truncate,
                      QFile::ReadOwner | QFile::WriteOwner) &&
            copy.write(entries) == entries.size() && syncToDisk(copy) &&
            syncFolderToDisk(journal_.session_.folder()))
            return;
        reason = copy.errorString();
        copy.close();
        QFile::remove(copyPath);
    }
    throw Error(QStringLiteral("上書きの間の控えを作れないため、保存しませんでした。\n") + reason);
}

void EditJournal::Copy::release() {
    QFile::remove(journal_.session_.copyPath());
}

} // namespace qel::recovery
