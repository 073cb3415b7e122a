#include "TextMatch.h"

#include "text/Cp932.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <limits>
#include <memory>

namespace qel::search {

namespace {

constexpr bool in(char16_t c, char16_t first, char16_t last) {
    return c >= first && c <= last;
}

WordClass classify(char16_t c) {
    if (c == u'_' || c == u'\uFF3F')
        return WordClass::Alphanumeric;
    if (in(c, u'\u3041', u'\u3096') || in(c, u'\u3099', u'\u309F'))
        return WordClass::Hiragana;
    if (in(c, u'\u30A1', u'\u30FA') || in(c, u'\u30FC', u'\u30FF') || in(c, u'\u31F0', u'\u31FF') ||
        in(c, u'\uFF66', u'\uFF9F'))
        return WordClass::Katakana;
    if (in(c, u'\u4E00', u'\u9FFF') || in(c, u'\u3400', u'\u4DBF') || in(c, u'\uF900', u'\uFAFF') ||
        in(c, u'\u3005', u'\u3007'))
        return WordClass::Kanji;
    // The rest of the CJK symbol and kana blocks is punctuation and marks ("・", "〃").
    if (in(c, u'\u3000', u'\u30FF'))
        return WordClass::None;
    if (QChar::isLetterOrNumber(c))
        return WordClass::Alphanumeric;
    return WordClass::None;
}

struct Tables {
    std::array<WordClass, 0x10000> wordClass;
    std::array<char16_t, 0x10000> fold;
    Tables() {
        for (char32_t c = 0; c < 0x10000; ++c) {
            const auto u = static_cast<char16_t>(c);
            wordClass[c] = classify(u);
            const char32_t folded = QChar::toCaseFolded(c);
            fold[c] = folded < 0x10000 ? static_cast<char16_t>(folded) : u;
        }
    }
};

const Tables& tables() {
    static const auto t = std::make_unique<const Tables>();
    return *t;
}

} // namespace

WordClass wordClass(char16_t c) {
    return tables().wordClass[c];
}

char16_t foldCase(char16_t c) {
    return tables().fold[c];
}

Pattern::Pattern(QStringView what, Options options) : what_(what.toString()), options_(options) {
    keys_.resize(what_.size());
    for (qsizetype i = 0; i < what_.size(); ++i)
        keys_[i] = QChar(key(what_[i].unicode()));
}

bool Pattern::boundariesAllow(QStringView text, qsizetype pos) const {
    if (!options_.wholeWord)
        return true;
    const Tables& t = tables();
    const qsizetype end = pos + size();
    const WordClass first = t.wordClass[text[pos].unicode()];
    if (first != WordClass::None && pos > 0 && t.wordClass[text[pos - 1].unicode()] == first)
        return false;
    const WordClass last = t.wordClass[text[end - 1].unicode()];
    if (last != WordClass::None && end < text.size() && t.wordClass[text[end].unicode()] == last)
        return false;
    return true;
}

bool Pattern::matchesAt(QStringView text, qsizetype pos) const {
    const qsizetype n = size();
    for (qsizetype i = 0; i < n; ++i)
        if (key(text[pos + i].unicode()) != keys_[i].unicode())
            return false;
    return boundariesAllow(text, pos);
}

qsizetype Pattern::indexIn(QStringView text, qsizetype from, qsizetype until) const {
    const qsizetype n = size();
    from = std::max<qsizetype>(from, 0);
    until = std::min(until, text.size());
    if (n == 0 || until - from < n)
        return -1;
    const qsizetype lastStart = until - n;
    if (options_.matchCase) {
        // Exact characters: Qt's own search is the fastest way to the candidates.
        for (qsizetype p = text.indexOf(what_, from); p != -1 && p <= lastStart;
             p = text.indexOf(what_, p + 1)) {
            if (boundariesAllow(text, p))
                return p;
        }
        return -1;
    }
    const char16_t head = keys_[0].unicode();
    const char16_t* chars = text.utf16();
    for (qsizetype p = from; p <= lastStart; ++p) {
        if (key(chars[p]) == head && matchesAt(text, p))
            return p;
    }
    return -1;
}

qsizetype find(QStringView text, QStringView what, qsizetype start, qsizetype length,
               Options options) {
    if (what.isEmpty() || length < 0)
        return -1;
    start = std::max<qsizetype>(start, 0);
    const qsizetype end = length > std::numeric_limits<qsizetype>::max() - start
                              ? std::numeric_limits<qsizetype>::max()
                              : start + length;
    // Character positions of the range: the first character starting at `start` or
    // later, and the last boundary at or before `end`.
    const qsizetype n = text.size();
    qsizetype bytes = 0;
    qsizetype from = 0;
    while (from < n && bytes < start)
        bytes += cp932::byteLength(text[from++].unicode());
    if (bytes < start)
        return -1;
    const qsizetype fromBytes = bytes;
    qsizetype until = from;
    while (until < n) {
        const int next = cp932::byteLength(text[until].unicode());
        if (bytes + next > end)
            break;
        bytes += next;
        ++until;
    }
    const qsizetype p = Pattern(what, options).indexIn(text, from, until);
    if (p < 0)
        return -1;
    return fromBytes + cp932::byteLength(text.sliced(from, p - from));
}

} // namespace qel::search
