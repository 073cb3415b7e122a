#pragma once

#include "JournalFormat.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QFile;

namespace qel::recovery {

// The journal of a running program on the disk, written by a thread of its own: each
// piece is written and flushed to the disk there, so that the disk never holds up
// the window. Work is done in the order it is asked for.
class JournalFile {
public:
    explicit JournalFile(QString path);
    // Does what was asked, then stops; the file stays.
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // Starts the file afresh with `origin`. When the edits start from a file that is
    // still as `origin` describes it, its digest goes in, and its bytes too when it
    // holds no more than `keepUpTo`: then the edits can be replayed even after the file
    // changed.
    void begin(Origin origin, qint64 keepUpTo);
    // Appends entries.
    void append(QByteArray entries);
    // Keeps the origin and replaces every entry after it by `entries`.
    void rewrite(QByteArray entries);
    void remove();
    // Blocks until everything asked for is done.
    void wait();
    // The reason the first write that failed since the last call gave; empty if none.
    QString takeError();

    const QString& path() const { return path_; }

private:
    void post(std::function<void()> work);
    void run();
    void writeBeginning(Origin origin, qint64 keepUpTo);
    void writeEntries(const QByteArray& entries);
    void writeRewritten(const QByteArray& entries);
    void fail(const QString& reason);

    const QString path_;
    // Used by the thread only.
    std::unique_ptr<QFile> file_;
    QByteArray beginning_; // the heading and the origin entries
    qint64 goodSize_ = 0;  // where the last complete write ended

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::deque<std::function<void()>> work_;
    bool busy_ = false;
    bool stopping_ = false;
    QString error_;
    std::thread thread_;
};

} // namespace qel::recovery
