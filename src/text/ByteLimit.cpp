#include "ByteLimit.h"

#include "Cp932.h"

#include <algorithm>

namespace qel::cp932 {

LimitedEdit limitEdit(QStringView before, QStringView after, qsizetype cursor, qsizetype limit) {
    cursor = std::clamp<qsizetype>(cursor, 0, after.size());
    if (byteLength(after) <= limit)
        return {after.toString(), cursor};

    // The inserted text ends at the cursor when what follows the cursor is the end of
    // the old text; otherwise it is the middle part the two texts do not share.
    qsizetype tail = after.size() - cursor;
    if (tail > before.size() || !before.endsWith(after.sliced(cursor))) {
        tail = 0;
        const qsizetype most = std::min(before.size(), after.size());
        while (tail < most && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
            ++tail;
    }
    const qsizetype insertEnd = after.size() - tail;
    qsizetype insertStart = 0;
    const qsizetype most = std::min(insertEnd, before.size() - tail);
    while (insertStart < most && before[insertStart] == after[insertStart])
        ++insertStart;

    const QStringView head = after.first(insertStart);
    const QStringView inserted = after.sliced(insertStart, insertEnd - insertStart);
    const QStringView rest = after.sliced(insertEnd);
    qsizetype room = limit - byteLength(head) - byteLength(rest);
    qsizetype kept = 0;
    while (kept < inserted.size()) {
        // A surrogate pair is one character: both halves go, or neither.
        const qsizetype size =
            inserted[kept].isHighSurrogate() && kept + 1 < inserted.size() ? 2 : 1;
        const qsizetype bytes = byteLength(inserted.sliced(kept, size));
        if (bytes > room)
            break;
        room -= bytes;
        kept += size;
    }
    return {head.toString() + inserted.first(kept) + rest, insertStart + kept};
}

} // namespace qel::cp932
