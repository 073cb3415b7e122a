#include "JournalFormat.h"

#include "Digest.h"

#include <QtEndian>

#include <limits>

namespace qel::recovery {

namespace {

enum Kind : char {
    OriginKind = 1,
    OriginBytesKind = 2,
    ReplaceKind = 3,
    RunKind = 4,
    MarkKind = 5
};

enum OriginFlags : unsigned char { FromFile = 1, DigestKnown = 2 };

constexpr char kHeading[] = "QelEditor journal 1\n";
// No position or count is larger than a text can be.
constexpr qint64 kLargest = std::numeric_limits<qsizetype>::max() / 4;

// Numbers are written seven bits a byte, low bits first; signed ones zigzagged so that
// small negative numbers stay short.
void putNumber(QByteArray& out, quint64 n) {
    while (n >= 0x80) {
        out.append(char(n | 0x80));
        n >>= 7;
    }
    out.append(char(n));
}

void putSigned(QByteArray& out, qint64 n) {
    putNumber(out, (quint64(n) << 1) ^ quint64(n >> 63));
}

void putText(QByteArray& out, QStringView text) {
    putNumber(out, quint64(text.size()));
    if (text.isEmpty())
        return;
    const qsizetype at = out.size();
    out.resize(at + text.size() * 2);
    qToLittleEndian<char16_t>(text.utf16(), text.size(), out.data() + at);
}

QByteArray entry(Kind kind, const QByteArray& content) {
    QByteArray out;
    out.reserve(content.size() + 16);
    out.append(char(kind));
    putNumber(out, quint64(content.size()));
    out.append(content);
    char check[4];
    qToLittleEndian<quint32>(checksumOf(out), check);
    out.append(check, 4);
    return out;
}

// Reads an entry's content; every read past its end or out of range marks it bad.
class Reader {
public:
    explicit Reader(QByteArrayView bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    bool atEnd() const { return at_ == bytes_.size(); }
    qsizetype at() const { return at_; }

    quint64 number() {
        quint64 n = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (at_ >= bytes_.size())
                return fail();
            const auto byte = quint8(bytes_[at_++]);
            n |= quint64(byte & 0x7F) << shift;
            if (!(byte & 0x80))
                return n;
        }
        return fail();
    }
    qint64 signedNumber() {
        const quint64 n = number();
        return qint64(n >> 1) ^ -qint64(n & 1);
    }
    // A count or a position: no larger than a text can be.
    qsizetype size() {
        const quint64 n = number();
        if (n > quint64(kLargest))
            return qsizetype(fail());
        return qsizetype(n);
    }
    QString text() {
        const qsizetype n = size();
        if (!ok_ || n > (bytes_.size() - at_) / 2)
            return fail(), QString();
        if (n == 0)
            return QString();
        QString out(n, Qt::Uninitialized);
        qFromLittleEndian<char16_t>(bytes_.data() + at_, n, out.data());
        at_ += n * 2;
        return out;
    }
    QByteArrayView rest() {
        const QByteArrayView out = bytes_.sliced(at_);
        at_ = bytes_.size();
        return out;
    }
    quint64 fixed64() {
        if (bytes_.size() - at_ < 8)
            return fail();
        const quint64 n = qFromLittleEndian<quint64>(bytes_.data() + at_);
        at_ += 8;
        return n;
    }

private:
    quint64 fail() {
        ok_ = false;
        at_ = bytes_.size();
        return 0;
    }

    QByteArrayView bytes_;
    qsizetype at_ = 0;
    bool ok_ = true;
};

std::optional<Origin> readOrigin(QByteArrayView content) {
    Reader r(content);
    Origin origin;
    const quint64 flags = r.number();
    origin.documentPath = r.text();
    origin.fromFile = flags & FromFile;
    origin.size = r.signedNumber();
    origin.modified = r.signedNumber();
    const quint64 digest = r.fixed64();
    if (flags & DigestKnown)
        origin.digest = digest;
    origin.startedAt = r.signedNumber();
    if (!r.ok() || !r.atEnd() || flags > (FromFile | DigestKnown))
        return std::nullopt;
    return origin;
}

std::optional<Edit> readEdit(Kind kind, QByteArrayView content) {
    Reader r(content);
    Edit edit;
    if (kind == ReplaceKind) {
        edit.position = r.size();
        edit.removed = r.size();
        edit.text = r.text();
    } else {
        const qsizetype count = r.size();
        if (count < 1 || count > content.size())
            return std::nullopt;
        edit.positions.reserve(std::size_t(count));
        qint64 position = qint64(r.size());
        edit.positions.push_back(qsizetype(position));
        for (qsizetype i = 1; i < count && r.ok(); ++i) {
            const qint64 step = r.signedNumber();
            if (step < -position || step > kLargest - position)
                return std::nullopt;
            position += step;
            edit.positions.push_back(qsizetype(position));
        }
        edit.removed = r.size();
        edit.text = r.text();
    }
    if (!r.ok() || !r.atEnd())
        return std::nullopt;
    return edit;
}

std::optional<Mark> readMark(QByteArrayView content) {
    Reader r(content);
    Mark mark;
    mark.time = r.signedNumber();
    mark.chars = qsizetype(r.signedNumber());
    mark.bytes = qsizetype(r.signedNumber());
    if (!r.ok() || !r.atEnd())
        return std::nullopt;
    return mark;
}

} // namespace

QByteArray journalHeading() {
    return QByteArray(kHeading);
}

QByteArray originEntry(const Origin& origin) {
    QByteArray content;
    putNumber(content, (origin.fromFile ? FromFile : 0) | (origin.digest ? DigestKnown : 0));
    putText(content, origin.documentPath);
    putSigned(content, origin.size);
    putSigned(content, origin.modified);
    char digest[8];
    qToLittleEndian<quint64>(origin.digest.value_or(0), digest);
    content.append(digest, 8);
    putSigned(content, origin.startedAt);
    return entry(OriginKind, content);
}

QByteArray originBytesEntry(QByteArrayView bytes) {
    return entry(OriginBytesKind, bytes.toByteArray());
}

QByteArray editEntry(const Edit& edit) {
    QByteArray content;
    if (edit.positions.empty()) {
        putNumber(content, quint64(edit.position));
        putNumber(content, quint64(edit.removed));
        putText(content, edit.text);
        return entry(ReplaceKind, content);
    }
    putNumber(content, quint64(edit.positions.size()));
    putNumber(content, quint64(edit.positions.front()));
    for (std::size_t i = 1; i < edit.positions.size(); ++i)
        putSigned(content, qint64(edit.positions[i]) - qint64(edit.positions[i - 1]));
    putNumber(content, quint64(edit.removed));
    putText(content, edit.text);
    return entry(RunKind, content);
}

QByteArray markEntry(const Mark& mark) {
    QByteArray content;
    putSigned(content, mark.time);
    putSigned(content, mark.chars);
    putSigned(content, mark.bytes);
    return entry(MarkKind, content);
}

JournalContents readJournal(QByteArrayView bytes) {
    JournalContents out;
    const QByteArrayView heading(kHeading);
    if (!bytes.startsWith(heading)) {
        out.damaged = !bytes.isEmpty();
        return out;
    }
    qsizetype at = heading.size();
    out.completeBytes = at;
    while (at < bytes.size()) {
        const auto kind = Kind(quint8(bytes[at]));
        Reader length(bytes.sliced(at + 1));
        const qsizetype size = length.size();
        const qsizetype contentAt = at + 1 + length.at();
        if (!length.ok() || size > bytes.size() - contentAt - 4)
            break;
        const QByteArrayView content = bytes.sliced(contentAt, size);
        const qsizetype end = contentAt + size + 4;
        if (qFromLittleEndian<quint32>(bytes.data() + contentAt + size) !=
            checksumOf(bytes.sliced(at, contentAt + size - at)))
            break;
        // Entries come in their order: the origin (with its bytes) first, then edits and
        // marks.
        bool fits = false;
        if (kind == OriginKind && !out.origin) {
            out.origin = readOrigin(content);
            fits = out.origin.has_value();
        } else if (kind == OriginBytesKind && out.origin && !out.originBytes && out.edits.empty() &&
                   out.marks.empty()) {
            out.originBytes = content.toByteArray();
            fits = true;
        } else if ((kind == ReplaceKind || kind == RunKind) && out.origin) {
            if (std::optional<Edit> edit = readEdit(kind, content)) {
                out.edits.push_back(std::move(*edit));
                fits = true;
            }
        } else if (kind == MarkKind && out.origin) {
            if (std::optional<Mark> mark = readMark(content)) {
                mark->edits = out.edits.size();
                out.marks.push_back(*mark);
                fits = true;
            }
        }
        if (!fits)
            break;
        at = end;
        out.completeBytes = at;
    }
    out.damaged = out.completeBytes < bytes.size();
    return out;
}

} // namespace qel::recovery
