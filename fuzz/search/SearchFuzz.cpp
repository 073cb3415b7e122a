// Find and Replace All against the slow, obvious versions: the forward search over a
// byte range against a scan of every position, Replace All against the loop that
// searches again after each replacement. Both must agree on every input (Replace All
// on every input small enough for the loop to finish quickly).
//
// Input: an options byte, the find text, the replace text (fields), two two-byte
// numbers for the search range, then the text. All are read as code page 932.
#include "../../tests/search/ReferenceReplaceAll.h"
#include "../FuzzSupport.h"

#include "search/ReplaceAll.h"
#include "search/TextMatch.h"
#include "text/Cp932.h"

using namespace qel;
using namespace qel::search;
using qel::fuzz::FuzzInput;

namespace {

// Every character position in turn: the characters compare equal (folded when case
// does not matter), the match lies in the byte range, and for whole words neither end
// carries on a word of its own class.
qsizetype naiveFind(const QString& text, const QString& what, qsizetype start, qsizetype length,
                    Options options) {
    if (what.isEmpty() || length < 0)
        return -1;
    const auto same = [&](QChar a, QChar b) {
        return options.matchCase ? a == b : foldCase(a.unicode()) == foldCase(b.unicode());
    };
    const auto classAt = [&](qsizetype p) {
        return p < 0 || p >= text.size() ? WordClass::None : wordClass(text[p].unicode());
    };
    for (qsizetype p = 0; p + what.size() <= text.size(); ++p) {
        const qsizetype at = cp932::byteOffset(text, p);
        const qsizetype end = cp932::byteOffset(text, p + what.size());
        if (at < start || end - start > length)
            continue;
        bool equal = true;
        for (qsizetype i = 0; equal && i < what.size(); ++i)
            equal = same(text[p + i], what[i]);
        if (!equal)
            continue;
        if (options.wholeWord) {
            const WordClass first = classAt(p);
            const WordClass last = classAt(p + what.size() - 1);
            if (first != WordClass::None && classAt(p - 1) == first)
                continue;
            if (last != WordClass::None && classAt(p + what.size()) == last)
                continue;
        }
        return at;
    }
    return -1;
}

// Whether the reference Replace All can be held against the program on these sizes in
// little time. It searches once per replacement and once per position it passes over
// (the match and the replacement around each replacement), and every search runs over
// the whole text, which grows by the replacement each time: on a long text with many
// replacements that is seconds, where the program takes microseconds. Past the bound
// the other checks still run, so the target's speed stays the program's.
bool referenceAffordable(qsizetype text, qsizetype what, qsizetype with) {
    constexpr qint64 kBudget = qint64(1) << 22; // characters searched
    const qint64 searches = qint64(text) * (what + with + 1) + 1;
    const qint64 longest = qint64(text) * (with + 1) + 1;
    return searches * longest <= kBudget;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t flags = in.byte();
    const Options options{.wholeWord = (flags & 1) != 0, .matchCase = (flags & 2) != 0};
    const QString what = cp932::decodeText(in.field());
    const QString with = cp932::decodeText(in.field());
    const qsizetype start = in.number16();
    const qsizetype length = in.number16();
    // The restarting loop costs a search per replacement: keep texts short.
    const QByteArrayView rest = in.rest();
    const QString text = cp932::decodeText(rest.first(std::min<qsizetype>(rest.size(), 2048)));

    FUZZ_CHECK_EQ(find(text, what, start, length, options),
                  naiveFind(text, what, start, length, options));

    if (what.isEmpty())
        return 0;
    const ReplaceAllResult fast = replaceAll(text, what, with, options);
    if (referenceAffordable(text.size(), what.size(), with.size())) {
        const testing::ReferenceResult slow =
            testing::referenceReplaceAll(text, what, with, options);
        FUZZ_CHECK_EQ(fast.text, slow.text);
        FUZZ_CHECK_EQ(fast.count, slow.count);
        if (fast.count > 0)
            FUZZ_CHECK_EQ(fast.caret, slow.caret);
    }

    // The one edit, and the steps made in turn, each turn the old text into the new.
    QString edited = text;
    edited.replace(fast.position, fast.removed, fast.insertedText().toString());
    FUZZ_CHECK_EQ(edited, fast.text);
    FUZZ_CHECK(fast.stepsKept && qsizetype(fast.steps.size()) == fast.count);
    QString stepped = text;
    for (const qsizetype at : fast.steps)
        stepped.replace(at, fast.matchLength, fast.replacement);
    FUZZ_CHECK_EQ(stepped, fast.text);
    return 0;
}
