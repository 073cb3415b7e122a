#pragma once

// The text the document benchmarks open: mixed Japanese and English lines, as the
// editor's users write them, of at least `bytes` code page 932 bytes.

#include "text/Cp932.h"

#include <QString>

namespace qel::bench {

// The four lines the document repeats.
inline const QString& mixedLine(qsizetype i) {
    static const QString lines[] = {
        QStringLiteral("今日は晴れ。The quick brown fox jumps over the lazy dog 0123456789."),
        QStringLiteral("日本語の文章と English sentences が混ざった行です。全角ＡＢＣと半角ｶﾅ。"),
        QStringLiteral("    indented code line: for (int i = 0; i < n; ++i) total += value[i];"),
        QString(),
    };
    return lines[i % 4];
}

inline QString mixedDocument(qsizetype bytes) {
    QString text;
    text.reserve(bytes);
    for (qsizetype size = 0, i = 0; size < bytes; ++i) {
        text += mixedLine(i);
        text += u'\n';
        size += cp932::byteLength(mixedLine(i)) + 2;
    }
    return text;
}

// The bytes of mixedDocument(bytes) written to `file` a block at a time, so that a
// document of a gigabyte needs no copy of it in memory. Returns the size written, or
// -1 when writing failed.
template <typename File> qsizetype writeMixedDocument(File& file, qsizetype bytes) {
    QString block;
    for (int i = 0; i < 4 * 4096; ++i)
        block += mixedLine(i) + u'\n';
    const QByteArray blockBytes = cp932::encode(block);
    qsizetype size = 0;
    while (size + blockBytes.size() < bytes) {
        if (file.write(blockBytes) != blockBytes.size())
            return -1;
        size += blockBytes.size();
    }
    QString rest;
    for (qsizetype i = 0; size < bytes; ++i) {
        rest += mixedLine(i) + u'\n';
        size += cp932::byteLength(mixedLine(i)) + 2;
    }
    const QByteArray restBytes = cp932::encode(rest);
    return file.write(restBytes) == restBytes.size() ? size : -1;
}

} // namespace qel::bench
