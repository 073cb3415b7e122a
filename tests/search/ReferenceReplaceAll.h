#pragma once

// Replace All written the slow, obvious way, to hold the fast one against: search
// from the top to the end of the current text; replace the first match unless it lies
// wholly within text inserted by this run, in which case go on at the next character;
// after a replacement start again at the top.
//
// Again "at the top" is taken as far as it can matter. A match that ends, with the
// character after it, before the replaced text is the same match as before the
// replacement, and every such match has been passed over already; so the search starts
// again at the first position whose match could reach the replaced text, what.size()
// characters before it. Starting at the very top would find the same next match, only
// at a cost that grows with the square of the replacements.

#include "search/TextMatch.h"
#include "text/Cp932.h"

#include <QString>

#include <algorithm>
#include <vector>

namespace qel::search::testing {

struct ReferenceResult {
    QString text;
    qsizetype count = 0;
    qsizetype caret = 0;        // character position after the last inserted text
    std::vector<bool> inserted; // per character of `text`: put in by this run
};

inline ReferenceResult referenceReplaceAll(QString text, const QString& what, const QString& with,
                                           Options options) {
    ReferenceResult r;
    r.inserted.assign(std::size_t(text.size()), false);
    qsizetype start = 0;
    for (;;) {
        const qsizetype at = find(text, what, start, cp932::byteLength(text) - start, options);
        if (at < 0)
            break;
        const qsizetype p = cp932::charPosition(text, at);
        const auto first = r.inserted.begin() + p;
        if (std::all_of(first, first + what.size(), [](bool b) { return b; })) {
            start = cp932::byteLength(QStringView(text).left(p + 1));
            continue;
        }
        text.replace(p, what.size(), with);
        r.inserted.erase(first, first + what.size());
        r.inserted.insert(r.inserted.begin() + p, std::size_t(with.size()), true);
        ++r.count;
        r.caret = p + with.size();
        const qsizetype again = std::max<qsizetype>(0, p - what.size());
        start = cp932::byteLength(QStringView(text).left(again));
    }
    r.text = text;
    return r;
}

} // namespace qel::search::testing
