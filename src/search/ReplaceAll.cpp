#include "ReplaceAll.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace qel::search {

namespace {

// Beyond this many replacements the steps cost more memory than one edit costs time.
constexpr std::size_t kMaxSteps = 1000000;

} // namespace

// The loop is run as a stack machine over the current text:
//
//   done     the text before the scan position; every match starting in it has been
//            replaced or passed over, except candidates that end exactly at its end
//   pending  replace text not yet scanned again (top at the back), then the unread
//            rest of the original text
//
// Each step looks at the one candidate that ends at the end of `done`; the next
// character it needs for the word boundary is the next unread one. A match pops the
// find text off `done` and pushes the replace text onto `pending`, so the candidates
// that overlap the new text are looked at again, in order. Every character of `done`
// carries the length of the run of inserted characters it ends (0 for a character
// of the original text), which tells at once whether a match lies wholly within
// inserted text.
ReplaceAllResult replaceAll(QStringView text, QStringView what, QStringView with, Options options) {
    ReplaceAllResult result;
    const Pattern pattern(what, options);
    const qsizetype n = text.size();
    const qsizetype k = pattern.size();
    const qsizetype q = with.size();
    result.matchLength = k;
    result.replacement = with.toString();
    if (k == 0) {
        result.text = text.toString();
        return result;
    }
    const char16_t* const in = text.utf16();
    const QString keys = [&] {
        QString s(k, Qt::Uninitialized);
        for (qsizetype i = 0; i < k; ++i)
            s[i] = QChar(pattern.key(what[i].unicode()));
        return s;
    }();
    const char16_t* const key = QStringView(keys).utf16();
    const char16_t lastKey = key[k - 1];

    std::vector<char16_t> done;
    std::vector<std::uint32_t> insertedRun; // alongside `done`, saturating
    done.reserve(static_cast<std::size_t>(n + n / 8 + 16));
    insertedRun.reserve(done.capacity());
    std::vector<char16_t> pending; // inserted text only
    qsizetype next = 0;            // first unread character of `text`
    qsizetype firstChange = n;

    const auto boundariesAllow = [&](qsizetype s) {
        const qsizetype top = static_cast<qsizetype>(done.size());
        const WordClass first = wordClass(done[s]);
        if (first != WordClass::None && s > 0 && wordClass(done[s - 1]) == first)
            return false;
        const WordClass last = wordClass(done[top - 1]);
        if (last == WordClass::None)
            return true;
        if (!pending.empty())
            return wordClass(pending.back()) != last;
        return next >= n || wordClass(in[next]) != last;
    };
    const auto matchesAtTop = [&] {
        const qsizetype top = static_cast<qsizetype>(done.size());
        const qsizetype s = top - k;
        if (pattern.key(done[top - 1]) != lastKey)
            return false;
        for (qsizetype i = 0; i < k - 1; ++i)
            if (pattern.key(done[s + i]) != key[i])
                return false;
        return !options.wholeWord || boundariesAllow(s);
    };
    const auto push = [&](char16_t c, bool inserted) {
        const std::uint32_t before = insertedRun.empty() ? 0 : insertedRun.back();
        insertedRun.push_back(inserted ? before + (before < UINT32_MAX) : 0);
        done.push_back(c);
    };

    for (;;) {
        if (static_cast<qsizetype>(done.size()) >= k && qsizetype(insertedRun.back()) < k &&
            matchesAtTop()) {
            const qsizetype at = static_cast<qsizetype>(done.size()) - k;
            done.resize(static_cast<std::size_t>(at));
            insertedRun.resize(static_cast<std::size_t>(at));
            for (qsizetype i = q - 1; i >= 0; --i)
                pending.push_back(with[i].unicode());
            ++result.count;
            if (result.stepsKept && result.steps.size() < kMaxSteps) {
                result.steps.push_back(at);
            } else if (result.stepsKept) {
                result.stepsKept = false;
                result.steps = {};
            }
            result.caret = at + q;
            firstChange = std::min(firstChange, at);
            continue;
        }
        if (!pending.empty()) {
            push(pending.back(), true);
            pending.pop_back();
        } else if (next < n) {
            push(in[next++], false);
        } else {
            break;
        }
    }

    if (result.count == 0) {
        result.text = text.toString();
        return result;
    }
    QString out(static_cast<qsizetype>(done.size()), Qt::Uninitialized);
    std::copy(done.begin(), done.end(), reinterpret_cast<char16_t*>(out.data()));
    done = {};
    insertedRun = {};

    // The one edit: text before the first replacement is untouched; widen the kept
    // head and tail to what actually came out the same.
    const char16_t* const outChars = QStringView(out).utf16();
    const qsizetype m = out.size();
    qsizetype head = std::min(firstChange, std::min(n, m));
    while (head < n && head < m && in[head] == outChars[head])
        ++head;
    qsizetype tail = 0;
    while (tail < n - head && tail < m - head && in[n - 1 - tail] == outChars[m - 1 - tail])
        ++tail;
    result.position = head;
    result.removed = n - head - tail;
    result.inserted = m - head - tail;
    result.text = std::move(out);
    return result;
}

} // namespace qel::search
