#pragma once

// What the fuzz targets share: reading an input as fields, and the check that stops
// a run when a property fails.

#include "text/Cp932.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <type_traits>

// Fails the run: libFuzzer keeps the input as a finding; the replay test fails.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// Fails the run unless the two are equal, printing both.
#define FUZZ_CHECK_EQ(a, b)                                                                        \
    do {                                                                                           \
        const auto& left_ = (a);                                                                   \
        const auto& right_ = (b);                                                                  \
        if (!(left_ == right_))                                                                    \
            ::qel::fuzz::failEqual(__FILE__, __LINE__, #a, #b, ::qel::fuzz::describe(left_),       \
                                   ::qel::fuzz::describe(right_));                                 \
    } while (false)

namespace qel::fuzz {

// Values as a failed check prints them: text with every character outside printable
// ASCII as \uXXXX, bytes in hex.
inline std::string describe(const QString& s) {
    std::string out = "\"";
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7F && u != u'\\') {
            out += char(u);
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", unsigned(u));
            out += buffer;
        }
    }
    return out + "\"";
}
inline std::string describe(const QByteArray& b) {
    std::string out(1, '[');
    out.append(b.toHex(' ').constData());
    out.push_back(']');
    return out;
}
inline std::string describe(const QStringList& list) {
    std::string out = "{";
    for (const QString& s : list)
        out += describe(s) + " ";
    return out + "}";
}
template <typename T>
requires std::is_arithmetic_v<T> std::string describe(T value) {
    return std::to_string(value);
}

[[noreturn]] inline void failEqual(const char* file, int line, const char* a, const char* b,
                                   const std::string& valueA, const std::string& valueB) {
    std::fprintf(stderr, "%s:%d: property failed: %s == %s\n  left:  %s\n  right: %s\n", file, line,
                 a, b, valueA.c_str(), valueB.c_str());
    std::abort();
}

// An input read front to back. A field is the bytes up to the next NUL byte (or the
// end), so seeds can be written by hand with printf; numbers are single bytes. Reading
// past the end gives empty fields and zeros.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : data_(reinterpret_cast<const char*>(data)), size_(qsizetype(size)) {}

    bool atEnd() const { return pos_ >= size_; }

    QByteArrayView field() {
        const qsizetype begin = pos_;
        while (pos_ < size_ && data_[pos_] != '\0')
            ++pos_;
        const QByteArrayView out(data_ + begin, pos_ - begin);
        if (pos_ < size_)
            ++pos_; // the NUL
        return out;
    }

    // Everything not read yet.
    QByteArrayView rest() {
        const QByteArrayView out(data_ + pos_, size_ - pos_);
        pos_ = size_;
        return out;
    }

    std::uint8_t byte() { return pos_ < size_ ? std::uint8_t(data_[pos_++]) : 0; }

    // Two bytes, little end first.
    int number16() {
        const int low = byte();
        return low | (byte() << 8);
    }

private:
    const char* data_;
    qsizetype size_;
    qsizetype pos_ = 0;
};

// A file of this name in a folder of the run's own, removed when the run ends.
inline QString scratchFile(const QString& name) {
    // In memory where the system has such a folder: every save syncs to disk.
    static QTemporaryDir folder((QFileInfo(QStringLiteral("/dev/shm")).isDir()
                                     ? QStringLiteral("/dev/shm")
                                     : QDir::tempPath()) +
                                QStringLiteral("/qel-fuzz-XXXXXX"));
    FUZZ_CHECK(folder.isValid());
    return folder.filePath(name);
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString& path, QByteArrayView bytes) {
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes.data(), bytes.size()) == bytes.size());
}

// The bytes a document is saved with: every line break (CR LF, CR or LF) as CR LF. A
// trail byte is never CR or LF, so line breaks can be found byte by byte.
inline QByteArray withCrLf(QByteArrayView in) {
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '\r' || in[i] == '\n') {
            out.append("\r\n");
            if (in[i] == '\r' && i + 1 < in.size() && in[i + 1] == '\n')
                ++i;
        } else {
            out.append(in[i]);
        }
    }
    return out;
}

// True when the text holds an undecodable lead byte (its reserved code point) directly
// before a character whose code begins with a byte that can trail it: saved, the two
// read back as one double-byte character. No bytes can keep them apart, so such text
// does not survive a save and load; the checks leave it out.
inline bool leadByteMeetsTrail(QStringView text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!cp932::isReserved(c))
            continue;
        const unsigned lead = c - cp932::reservedFor(0);
        if (!((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)))
            continue;
        const QByteArray next = cp932::encode(text.sliced(i + 1, 1));
        const unsigned trail = static_cast<unsigned char>(next.front());
        if ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC))
            return true;
    }
    return false;
}

// Whether a value written reads back as it was. In code page 932 an undecodable lead
// byte may pair with what follows it (see leadByteMeetsTrail); in UTF-8 the bytes kept
// from reading are written as they were, and two of them side by side may make a
// valid sequence.
inline bool keepsValue(const QString& value, bool utf8File) {
    if (!utf8File)
        return !leadByteMeetsTrail(value);
    const auto isByte = [](QChar c) {
        return cp932::isReserved(c.unicode()) || (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF);
    };
    for (qsizetype i = 0; i + 1 < value.size(); ++i)
        if (isByte(value[i]) && isByte(value[i + 1]))
            return false;
    return true;
}

// Settings files that hold a value code page 932 lacks are UTF-8 behind this mark.
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

inline bool isUtf8File(const QString& path) {
    return readFile(path).startsWith(kByteOrderMark);
}

// Blanks in settings files are spaces and tabs.
inline QString trimBlanks(const QString& s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && (s[begin] == u' ' || s[begin] == u'\t'))
        ++begin;
    while (end > begin && (s[end - 1] == u' ' || s[end - 1] == u'\t'))
        --end;
    return s.sliced(begin, end - begin);
}

// What a value written to a settings file reads back as: a line break (CR LF, CR or LF)
// is written as a space, blanks around the value go, then one pair of matching quotes
// around it.
inline QString readBack(QString value) {
    value.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    value = trimBlanks(value);
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return value;
}

} // namespace qel::fuzz
