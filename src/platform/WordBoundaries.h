#pragma once

#include <QString>

#include <utility>
#include <vector>

namespace qel {

// The words of a stretch of text as ICU's word break rules for Japanese find them: its
// dictionary splits runs of kanji and kana into words (日本語|の|テキスト|です|。), spaces
// and punctuation make segments of their own. A word start is the start of any segment
// that is not blank. Indexes are into the text given.
class WordBoundaries {
public:
    explicit WordBoundaries(const QString& text);

    // The last word start before `index`; 0 when there is none.
    qsizetype startBefore(qsizetype index) const;
    // The first word start after `index`; the text's length when there is none.
    qsizetype startAfter(qsizetype index) const;
    // The segment that holds the character at `index`.
    std::pair<qsizetype, qsizetype> segmentAt(qsizetype index) const;

private:
    bool startsWord(std::size_t k) const; // the segment from boundary k is not blank

    QString text_;
    std::vector<qsizetype> bounds_; // from 0 to the length, in order
};

} // namespace qel
