#pragma once

// The text the document benchmarks open: mixed Japanese and English lines, as the
// editor's users write them, of at least `bytes` code page 932 bytes.

#include "text/Cp932.h"

#include <QString>

namespace qel::bench {

inline QString mixedDocument(qsizetype bytes) {
    const QString lines[] = {
        QStringLiteral("今日は晴れ。The quick brown fox jumps over the lazy dog 0123456789."),
        QStringLiteral("日本語の文章と English sentences が混ざった行です。全角ＡＢＣと半角ｶﾅ。"),
        QStringLiteral("    indented code line: for (int i = 0; i < n; ++i) total += value[i];"),
        QString(),
    };
    qsizetype lineBytes[4];
    for (int i = 0; i < 4; ++i)
        lineBytes[i] = cp932::byteLength(lines[i]) + 2;
    QString text;
    text.reserve(bytes);
    for (qsizetype size = 0, i = 0; size < bytes; ++i) {
        text += lines[i % 4];
        text += u'\n';
        size += lineBytes[i % 4];
    }
    return text;
}

} // namespace qel::bench
