#include "JournalFile.h"

#include "Digest.h"
#include "settings/DiskWrites.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace qel::recovery {

namespace {

constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

} // namespace

JournalFile::JournalFile(QString path) : path_(std::move(path)), thread_([this] { run(); }) {}

JournalFile::~JournalFile() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void JournalFile::begin(Origin origin, qint64 keepUpTo) {
    post([this, origin = std::move(origin), keepUpTo] { writeBeginning(origin, keepUpTo); });
}

void JournalFile::append(QByteArray entries) {
    post([this, entries = std::move(entries)] { writeEntries(entries); });
}

void JournalFile::rewrite(QByteArray entries) {
    post([this, entries = std::move(entries)] { writeRewritten(entries); });
}

void JournalFile::remove() {
    post([this] {
        file_.reset();
        beginning_.clear();
        if (QFile::exists(path_) && !QFile::remove(path_))
            fail(QFile(path_).errorString());
    });
}

void JournalFile::wait() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return work_.empty() && !busy_; });
}

QString JournalFile::takeError() {
    const std::lock_guard lock(mutex_);
    return std::exchange(error_, QString());
}

void JournalFile::post(std::function<void()> work) {
    {
        const std::lock_guard lock(mutex_);
        work_.push_back(std::move(work));
    }
    wake_.notify_one();
}

void JournalFile::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !work_.empty(); });
        if (work_.empty()) {
            if (stopping_)
                return;
            continue;
        }
        std::function<void()> work = std::move(work_.front());
        work_.pop_front();
        busy_ = true;
        lock.unlock();
        work();
        lock.lock();
        busy_ = false;
        if (work_.empty())
            idle_.notify_all();
    }
}

void JournalFile::fail(const QString& reason) {
    const std::lock_guard lock(mutex_);
    if (error_.isEmpty())
        error_ = reason.isEmpty() ? QStringLiteral("?") : reason;
}

void JournalFile::writeBeginning(Origin origin, qint64 keepUpTo) {
    file_.reset();
    beginning_ = journalHeading();
    if (origin.fromFile) {
        // The bytes the edits start from, if the file is still the one loaded or saved.
        const std::optional<FileDigest> read =
            digestFile(origin.documentPath, {origin.size, origin.modified}, keepUpTo);
        origin.digest.reset();
        if (read)
            origin.digest = read->digest;
        beginning_ += originEntry(origin);
        if (read && origin.size <= keepUpTo)
            beginning_ += originBytesEntry(read->bytes);
    } else {
        beginning_ += originEntry(origin);
    }
    auto file = std::make_unique<QFile>(path_);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered,
                    kOwnerOnly) ||
        file->write(beginning_) != beginning_.size() || !syncToDisk(*file) ||
        !syncFolderToDisk(QFileInfo(path_).absolutePath())) {
        fail(file->errorString());
        beginning_.clear();
        return;
    }
    goodSize_ = beginning_.size();
    file_ = std::move(file);
}

void JournalFile::writeEntries(const QByteArray& entries) {
    if (!file_)
        return; // its beginning failed, which was said
    if (file_->write(entries) != entries.size() || !syncToDisk(*file_)) {
        fail(file_->errorString());
        // What did get written is cut off, so that later entries follow whole ones.
        file_->resize(goodSize_);
        file_->seek(goodSize_);
        return;
    }
    goodSize_ += entries.size();
}

void JournalFile::writeRewritten(const QByteArray& entries) {
    if (!file_)
        return;
    // Written beside it and renamed over it: a power cut leaves one or the other.
    QSaveFile out(path_);
    if (!out.open(QIODevice::WriteOnly) || out.write(beginning_) != beginning_.size() ||
        out.write(entries) != entries.size() || !out.commit()) {
        fail(out.errorString());
        return;
    }
    syncFolderToDisk(QFileInfo(path_).absolutePath());
    auto file = std::make_unique<QFile>(path_);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        fail(file->errorString());
        file_.reset();
        return;
    }
    file_ = std::move(file);
    goodSize_ = beginning_.size() + entries.size();
}

} // namespace qel::recovery
