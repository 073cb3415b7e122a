#pragma once

#include "search/TextMatch.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace qel::search {

// The outcome of Replace All, to be applied to the editor as one edit.
struct ReplaceAllResult {
    QString text;        // the whole text afterwards
    qsizetype count = 0; // replacements made
    // The one edit that turns the old text into `text`, in character positions:
    // `removed` characters at `position` give way to `inserted` characters of `text`.
    // Empty (removed == inserted == 0) when the text came out unchanged.
    qsizetype position = 0;
    qsizetype removed = 0;
    qsizetype inserted = 0;
    // Character position in `text` just after the last inserted replace text, where
    // the last single replacement would have left the caret.
    qsizetype caret = 0;
    // The replacements one by one, as the loop made them: where each match stood in
    // the text as it was at that moment. Each one took out `matchLength` characters
    // and put the replace text in; made in this order they turn the old text into
    // `text`, so an editor can make them itself (as small edits) instead of taking
    // one edit over the whole span.
    // Past a million replacements the steps are not kept (stepsKept is false) and the
    // one edit above is the way to apply the result.
    std::vector<qsizetype> steps;
    bool stepsKept = true;
    qsizetype matchLength = 0;
    QString replacement; // the replace text each step put in

    QStringView insertedText() const { return QStringView(text).sliced(position, inserted); }
};

// Replace All as the user knows it: search from the top of the text to its end,
// replace the first match, and search from the top again, until nothing is found.
// Text produced by a replacement is searched again, so a match that joins inserted
// text to the text around it is replaced too; but a match lying wholly within text
// this run inserted (neighbouring inserted pieces count as one) is passed over and
// the search goes on at the next character. So every occurrence the text had is
// replaced, every replacement takes out at least one character the text had (the run
// ends after at most as many replacements as the text had characters), and when it
// ends every match left lies wholly within inserted text.
//
// The result is exactly that of the restart-from-the-top loop, but it costs one pass
// over the text rather than one search per replacement: after replacing at p the
// first match can only start at p - size of the find text or later (earlier
// candidates, word boundaries included, are untouched), so the search resumes there.
//
// `what` and `with` are taken as they are; the search commands first reduce them to
// what code page 932 can hold, as the editor does with everything it takes in.
ReplaceAllResult replaceAll(QStringView text, QStringView what, QStringView with, Options options);

} // namespace qel::search
