#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>

// Digests that tell whether bytes are still the ones they were: a file a journal's
// edits start from, an entry of a journal. They catch change and damage, not someone
// who sets out to fool them.
namespace qel::recovery {

quint64 digestOf(QByteArrayView bytes);
// The check of one journal entry.
quint32 checksumOf(QByteArrayView bytes);

// A digest taken a piece at a time.
class Digest {
public:
    Digest();
    ~Digest();
    Digest(const Digest&) = delete;
    Digest& operator=(const Digest&) = delete;
    void add(QByteArrayView bytes);
    quint64 value() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// A file as the system describes it: enough to notice that it changed.
struct FileStamp {
    qint64 size = -1;
    qint64 modified = 0; // milliseconds since the epoch
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
// The stamp of the file at `path`; size -1 when there is no such regular file.
FileStamp stampOf(const QString& path);

struct FileDigest {
    quint64 digest = 0;
    QByteArray bytes; // the bytes themselves, when there were no more than asked for
};
// Reads the file at `path` and digests it, keeping its bytes when it holds no more
// than `keepUpTo`. Nothing when it cannot be read, or when it is not (or stops being,
// while it is read) the file `expected` describes.
std::optional<FileDigest> digestFile(const QString& path, const FileStamp& expected,
                                     qint64 keepUpTo);

} // namespace qel::recovery
