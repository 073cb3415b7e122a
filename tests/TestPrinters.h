#pragma once

// Readable GoogleTest failure messages: text as UTF-8 with control characters and
// lone surrogates spelled out, bytes in hex.

#include <QByteArray>
#include <QString>

#include <iomanip>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"';
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF))
            *os << "\\u" << std::hex << std::setw(4) << std::setfill('0') << int(c) << std::dec
                << std::setfill(' ');
        else
            *os << QString(ch).toStdString();
    }
    *os << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '[' << bytes.toHex(' ').toStdString() << ']';
}
