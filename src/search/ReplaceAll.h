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
    // Places where replacing again would have gone on for ever (see replaceAll()).
    qsizetype repetitionsStopped = 0;
    // True when the safety bound on the number of replacements ended the run.
    bool cutOff = false;
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

// The bound replaceAll() uses by default for a text of `size` characters. A
// replacement that shortens the text can happen at most once per byte (two per
// character), so such runs never come near it; it is there so that Replace All ends
// whatever the texts, should an endless loop of another shape than the one below exist.
qsizetype defaultReplaceAllBound(qsizetype size);

// Replace All as the user knows it: search from the top of the text over the length
// the text had at the start (in code page 932 bytes), replace the first match, and
// search from the top again, until nothing is found. Text produced by a replacement is
// searched again, and matches beyond the original length are not found.
//
// The result is exactly that of the restart-from-the-top loop whenever the loop ends
// by itself, but it costs one pass over the text rather than one search per
// replacement: after replacing at p the first match can only start at p - size of
// the find text or later (earlier candidates, word boundaries included, are
// untouched), so the search resumes there.
//
// The loop would never end when a replacement's own text matches again at the same
// place, before anything else: "a" by "ab" in "a" finds "a" at 0 again and again. The
// next search then sees exactly what it saw before, so this is certain to repeat for
// ever. Instead of repeating, the replacement is kept (and counted once) and searching
// goes on after the text it inserted. Every endless loop found by trying all small
// texts over small alphabets has this shape. `maxCount` replacements (-1: the default
// bound) end the run in any case.
//
// `what` and `with` are taken as they are; the search commands first reduce them to
// what code page 932 can hold, as the editor does with everything it takes in.
ReplaceAllResult replaceAll(QStringView text, QStringView what, QStringView with, Options options,
                            qsizetype maxCount = -1);

} // namespace qel::search
