// A journal left after a crash, whatever it holds: reading and replaying it onto the
// text it starts from never crashes and never reaches outside the text; the replayed
// text is what the standing edits make of it, made one by one on a plain string; a
// journal cut short gives a prefix of the edits of the whole one.
//
// Input: a mode byte, the text the edits start from (code page 932, one field), then
// either the journal's bytes as they are (even mode), or edits to write as a journal
// with valid checks (odd mode), each a kind byte and its fields:
//   0 replace: position (2 bytes), removed (1 byte), text (a field)
//   1 run:     count (1 byte), that many positions (2 bytes each), removed (1 byte), text
//   2 mark:    characters, bytes (2 bytes each, 0xFFFF: not known)
//   3 the rest of the input as garbage after the last entry
// A text field is code page 932, or Latin-1 (so that CR and characters code page 932
// lacks come in too) when the kind byte has bit 7 set.
#include "../FuzzSupport.h"

#include "recovery/JournalFormat.h"
#include "recovery/Replay.h"
#include "text/Cp932.h"
#include "textmodel/TextDocument.h"

#include <algorithm>

using namespace qel;
using namespace qel::recovery;

namespace {

QString textField(fuzz::FuzzInput& in, bool latin1) {
    const QByteArrayView bytes = in.field();
    return latin1 ? QString::fromLatin1(bytes) : cp932::decodeText(bytes);
}

QByteArray writtenJournal(fuzz::FuzzInput& in) {
    QByteArray out = journalHeading() + originEntry({});
    while (!in.atEnd()) {
        const std::uint8_t kind = in.byte();
        const bool latin1 = kind & 0x80;
        switch (kind % 4) {
        case 0: {
            Edit edit;
            edit.position = in.number16();
            edit.removed = in.byte();
            edit.text = textField(in, latin1);
            out += editEntry(edit);
            break;
        }
        case 1: {
            Edit edit;
            const int count = 1 + in.byte() % 16;
            for (int i = 0; i < count; ++i)
                edit.positions.push_back(in.number16());
            edit.removed = in.byte() % 8;
            edit.text = textField(in, latin1);
            out += editEntry(edit);
            break;
        }
        case 2: {
            const int chars = in.number16();
            const int bytes = in.number16();
            out += markEntry({0, chars == 0xFFFF ? -1 : chars, bytes == 0xFFFF ? -1 : bytes, 0});
            break;
        }
        case 3:
            out += in.rest().toByteArray();
            break;
        }
    }
    return out;
}

// The edits made one by one on a plain string, as the document takes text in.
QString madeOnAString(QString text, const std::vector<Edit>& edits, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const Edit& edit = edits[i];
        const QString clean = cp932::toRepresentable(edit.text);
        if (edit.positions.empty())
            text.replace(edit.position, edit.removed, clean);
        for (const qsizetype at : edit.positions)
            text.replace(at, edit.removed, clean);
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const bool written = in.byte() & 1;
    const QByteArray start = in.field().toByteArray();
    const QByteArray journal = written ? writtenJournal(in) : in.rest().toByteArray();

    const JournalContents read = readJournal(journal);
    FUZZ_CHECK(read.completeBytes <= journal.size());
    FUZZ_CHECK(read.damaged == (read.completeBytes < journal.size()));
    // Cut anywhere, the journal gives a prefix of the edits.
    const qsizetype cut = journal.isEmpty() ? 0 : qsizetype(size * 7919 % journal.size());
    const JournalContents cutShort = readJournal(QByteArrayView(journal).first(cut));
    FUZZ_CHECK(cutShort.edits.size() <= read.edits.size());
    FUZZ_CHECK(std::equal(cutShort.edits.begin(), cutShort.edits.end(), read.edits.begin()));

    textmodel::TextDocument doc;
    doc.load(cp932::decode(start));
    const QString before = doc.text();
    const Replayed replayed = replay(read, doc);
    FUZZ_CHECK(replayed.edits <= read.edits.size());
    FUZZ_CHECK_EQ(doc.text(), madeOnAString(before, read.edits, replayed.edits));
    // What lies outside the span the edits touched is the text they started from.
    const qsizetype shorter = std::min(before.size(), doc.length());
    const qsizetype head = std::min(replayed.span.head(), shorter);
    const qsizetype tail = std::min(replayed.span.tail(), shorter);
    FUZZ_CHECK(head >= 0 && tail >= 0);
    FUZZ_CHECK_EQ(doc.text(0, head), before.first(head));
    FUZZ_CHECK_EQ(doc.text(doc.length() - tail, doc.length()), before.last(tail));
    return 0;
}
