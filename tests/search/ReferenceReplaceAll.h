#pragma once

// Replace All written the slow, obvious way, to hold the fast one against: search
// from the top over the original length, replace the first match, start again.

#include "search/TextMatch.h"
#include "text/Cp932.h"

#include <QString>

#include <optional>

namespace qel::search::testing {

struct ReferenceResult {
    QString text;
    qsizetype count = 0;
    qsizetype caret = 0; // character position after the last inserted text
    qsizetype repetitionsStopped = 0;
};

// The loop as it stands; with `stopRepetitions`, a match found right after a
// replacement at the same place and inside the text just inserted is not replaced
// again: the search goes on after that text instead. nullopt when `cap` rounds were
// not enough to end it.
inline std::optional<ReferenceResult> referenceReplaceAll(QString text, const QString& what,
                                                          const QString& with, Options options,
                                                          bool stopRepetitions, int cap = 400) {
    ReferenceResult r;
    const qsizetype range = cp932::byteLength(text);
    const qsizetype whatBytes = cp932::byteLength(what);
    const qsizetype withBytes = cp932::byteLength(with);
    qsizetype start = 0;
    qsizetype lastAt = -1;
    for (int round = 0; round < cap; ++round) {
        const qsizetype at = find(text, what, start, range - start, options);
        if (at < 0) {
            r.text = text;
            return r;
        }
        if (stopRepetitions && at == lastAt && at + whatBytes <= lastAt + withBytes) {
            ++r.repetitionsStopped;
            start = lastAt + withBytes;
            lastAt = -1;
            continue;
        }
        const qsizetype p = cp932::charPosition(text, at);
        text.replace(p, what.size(), with);
        ++r.count;
        r.caret = p + with.size();
        lastAt = at;
    }
    return std::nullopt;
}

} // namespace qel::search::testing
