#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <algorithm>
#include <cstring>

namespace qel {

// Where the bytes of a text come from: a file, or bytes already in memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual qsizetype size() const = 0;
    // Reads up to `n` bytes at `offset` into `to`; returns how many it read, fewer
    // than `n` only at the end. May be called from several threads at once. Throws
    // Error with the system's reason when reading fails.
    virtual qsizetype read(qsizetype offset, char* to, qsizetype n) const = 0;
};

class BytesInMemory final : public ByteSource {
public:
    // The bytes are not copied: they must outlive this.
    explicit BytesInMemory(QByteArrayView bytes) : bytes_(bytes) {}
    qsizetype size() const override { return bytes_.size(); }
    qsizetype read(qsizetype offset, char* to, qsizetype n) const override {
        const qsizetype count = std::clamp<qsizetype>(bytes_.size() - offset, 0, n);
        if (count > 0)
            std::memcpy(to, bytes_.data() + offset, std::size_t(count));
        return count;
    }

private:
    QByteArrayView bytes_;
};

} // namespace qel
