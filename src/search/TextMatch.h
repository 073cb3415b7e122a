#pragma once

#include <QString>
#include <QStringView>

// Matching a find text in editor text: case folding, word classes for whole-word
// matches, and the forward search over a range of code page 932 byte offsets.
namespace qel::search {

struct Options {
    bool wholeWord = false;
    bool matchCase = false;
    friend bool operator==(const Options&, const Options&) = default;
};

// What a character is when deciding whether a match is a whole word. A match is a
// whole word when it does not continue a word of the same class on either side:
// "東京都" is one in "東京都に" (kanji, then hiragana) but "東京" is not one in "東京都".
//
//   Alphanumeric  letters and digits of any alphabet (ASCII, Latin, Greek, Cyrillic,
//                 full-width Ａ-Ｚ ０-９ and the rest), "_" and "＿"
//   Hiragana      ぁ-ゖ, the voicing marks and ゝゞ
//   Katakana      ァ-ヺ, ー, ヽヾ, the small katakana extension and half-width ｦ-ﾟ
//   Kanji         CJK ideographs (with extensions and compatibility ideographs), 々, 〆, 〇
//   None          everything else: spaces, line breaks, punctuation, symbols, "・"
enum class WordClass : unsigned char { None, Alphanumeric, Hiragana, Katakana, Kanji };

WordClass wordClass(char16_t c);

// `c` as compared when case does not matter: its simple case folding, so "A" and "a",
// "Ａ" and "ａ", "Ω" and "ω" are the same letter. One UTF-16 unit maps to one unit.
char16_t foldCase(char16_t c);

// A find text prepared for searching. Offsets are character positions in a QString;
// characters outside the text given (before its start, after its end) count as
// non-word characters.
class Pattern {
public:
    Pattern(QStringView what, Options options);

    qsizetype size() const { return keys_.size(); }
    Options options() const { return options_; }

    // The comparison key of a text character.
    char16_t key(char16_t c) const { return options_.matchCase ? c : foldCase(c); }

    // True when the characters at `pos` match and, for whole words, the neighbours
    // allow it. `pos + size()` must not exceed text.size().
    bool matchesAt(QStringView text, qsizetype pos) const;
    // Only the word boundaries of a match at `pos` (the characters already match).
    bool boundariesAllow(QStringView text, qsizetype pos) const;
    // The first match starting at `from` or later and ending at `until` or before;
    // -1 when there is none.
    qsizetype indexIn(QStringView text, qsizetype from, qsizetype until) const;

private:
    QString what_;
    QString keys_; // key() of each character of the find text
    Options options_;
};

// The editor's forward search: the byte offset of the first match lying entirely in
// the `length` bytes from byte `start` of `text`, or -1. Offsets are code page 932
// byte offsets ('\n' counts 2); the range may reach past the end of the text. A
// start inside a double-byte character begins at the next character.
qsizetype find(QStringView text, QStringView what, qsizetype start, qsizetype length,
               Options options);

} // namespace qel::search
