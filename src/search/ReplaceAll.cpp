#include "ReplaceAll.h"

#include "text/Cp932.h"

#include <algorithm>
#include <vector>

namespace qel::search {

namespace {

// Beyond this many replacements the steps cost more memory than one edit costs time.
constexpr std::size_t kMaxSteps = 1000000;

} // namespace

qsizetype defaultReplaceAllBound(qsizetype size) {
    return 4 * (size + 1) + 65536;
}

// The loop is run as a stack machine over the current text:
//
//   done     the text before the scan position; every match starting in it has been
//            ruled out, except candidates that end exactly at its end
//   pending  replace text not yet scanned again (top at the back), then the unread
//            rest of the original text
//
// Each step looks at the one candidate that ends at the end of `done`; the next
// character it needs for the word boundary is the next unread one. A match pops the
// find text off `done` and pushes the replace text onto `pending`, so the candidates
// that overlap the new text are looked at again, in order. Candidates below `floor`
// (the end of a replacement whose match would repeat for ever) are not searched.
ReplaceAllResult replaceAll(QStringView text, QStringView what, QStringView with, Options options,
                            qsizetype maxCount) {
    ReplaceAllResult result;
    const Pattern pattern(what, options);
    const qsizetype n = text.size();
    const qsizetype k = pattern.size();
    const qsizetype q = with.size();
    if (maxCount < 0)
        maxCount = defaultReplaceAllBound(n);
    result.matchLength = k;
    result.replacement = with.toString();
    if (k == 0 || maxCount == 0) {
        result.text = text.toString();
        return result;
    }
    const qsizetype range = cp932::byteLength(text);
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
    done.reserve(static_cast<std::size_t>(n + n / 8 + 16));
    qsizetype doneBytes = 0;
    std::vector<char16_t> pending;
    qsizetype next = 0; // first unread character of `text`
    qsizetype floor = 0;
    qsizetype firstChange = n;
    // The last replacement: where it was, and how much was unread below its text.
    qsizetype lastAt = -1;
    qsizetype lastMark = 0;

    const auto unread = [&] { return static_cast<qsizetype>(pending.size()) + (n - next); };
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
        if (s < floor || pattern.key(done[top - 1]) != lastKey)
            return false;
        for (qsizetype i = 0; i < k - 1; ++i)
            if (pattern.key(done[s + i]) != key[i])
                return false;
        return !options.wholeWord || boundariesAllow(s);
    };
    const auto push = [&](char16_t c) {
        done.push_back(c);
        doneBytes += cp932::byteLength(c);
    };

    for (;;) {
        if (doneBytes <= range && static_cast<qsizetype>(done.size()) >= k && matchesAtTop()) {
            const qsizetype at = static_cast<qsizetype>(done.size()) - k;
            if (at == lastAt && unread() >= lastMark) {
                // Only the last replace text has been scanned since it went in here, and
                // it matches at the same place: everything the next search would see is
                // as before, so it would match here for ever. Step over that text.
                ++result.repetitionsStopped;
                for (qsizetype rest = unread() - lastMark; rest > 0; --rest) {
                    push(pending.back());
                    pending.pop_back();
                }
                floor = static_cast<qsizetype>(done.size());
                lastAt = -1;
                continue;
            }
            if (result.count == maxCount) {
                result.cutOff = true;
                break;
            }
            for (qsizetype i = 0; i < k; ++i) {
                doneBytes -= cp932::byteLength(done.back());
                done.pop_back();
            }
            lastAt = at;
            lastMark = unread();
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
        // Every later candidate ends beyond the range.
        if (doneBytes > range)
            break;
        if (!pending.empty()) {
            push(pending.back());
            pending.pop_back();
        } else if (next < n) {
            push(in[next++]);
        } else {
            break;
        }
    }

    if (result.count == 0) {
        result.text = text.toString();
        return result;
    }
    const qsizetype doneSize = static_cast<qsizetype>(done.size());
    QString out(doneSize + static_cast<qsizetype>(pending.size()) + (n - next), Qt::Uninitialized);
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    o = std::copy(done.begin(), done.end(), o);
    o = std::copy(pending.rbegin(), pending.rend(), o);
    std::copy(in + next, in + n, o);
    done = {};
    pending = {};

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
