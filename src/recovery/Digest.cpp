#include "Digest.h"

#include <QFile>
#include <QFileInfo>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace qel::recovery {

quint64 digestOf(QByteArrayView bytes) {
    return XXH3_64bits(bytes.data(), std::size_t(bytes.size()));
}

quint32 checksumOf(QByteArrayView bytes) {
    return quint32(XXH3_64bits(bytes.data(), std::size_t(bytes.size())));
}

struct Digest::State {
    XXH3_state_t state;
};

Digest::Digest() : state_(std::make_unique<State>()) {
    XXH3_64bits_reset(&state_->state);
}

Digest::~Digest() = default;

void Digest::add(QByteArrayView bytes) {
    XXH3_64bits_update(&state_->state, bytes.data(), std::size_t(bytes.size()));
}

quint64 Digest::value() const {
    return XXH3_64bits_digest(&state_->state);
}

FileStamp stampOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return {};
    return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}

std::optional<FileDigest> digestFile(const QString& path, const FileStamp& expected,
                                     qint64 keepUpTo) {
    if (expected.size < 0 || stampOf(path) != expected)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    FileDigest result;
    const bool keep = expected.size <= keepUpTo;
    if (keep)
        result.bytes.reserve(expected.size);
    Digest digest;
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 n = file.read(chunk.data(), chunk.size());
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        const QByteArrayView piece(chunk.constData(), n);
        digest.add(piece);
        if (keep && total + n <= keepUpTo)
            result.bytes.append(piece);
        total += n;
    }
    // A file that changed while it was read is not the one described.
    if (total != expected.size || stampOf(path) != expected)
        return std::nullopt;
    result.digest = digest.value();
    return result;
}

} // namespace qel::recovery
