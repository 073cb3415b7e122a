// The main editor and the three sub-window editors showing one document, under any run of
// edits made in any of them: loads, whole texts, selections replaced, lines inserted,
// Replace All, undo and redo, sub-windows shown and hidden. After every step each
// editor holds the text a plain string given the same edits holds, its byte measures
// are those of that text, its search finds what the plain search finds, and the bytes
// it would save read back as its text.
//
// Input: a run of steps, each an operation byte, an editor byte, two two-byte numbers
// and a text field (code page 932).
#include "../FuzzSupport.h"

#include "platform/ByteEditor.h"
#include "platform/EditorSearch.h"
#include "search/ReplaceAll.h"
#include "search/TextMatch.h"
#include "text/Cp932.h"

#include <QApplication>

#include <array>
#include <memory>

using namespace qel;
using qel::fuzz::FuzzInput;
using qel::fuzz::scratchFile;
using qel::fuzz::writeFile;

namespace {

void startApplication() {
    static std::unique_ptr<QApplication> app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_editors";
        static char* argv[] = {name, nullptr};
        return std::make_unique<QApplication>(argc, argv);
    }();
}

// Lines as the user counts them: an empty last line is not counted.
int linesOf(const QString& text) {
    const int breaks = int(text.count(u'\n'));
    return text.isEmpty() || text.endsWith(u'\n') ? breaks : breaks + 1;
}

// The main window's editor and the sub-windows' three, showing one document as the
// windows do.
struct Editors {
    std::array<std::unique_ptr<ByteEditor>, 4> editors; // the main one, owning the document, first

    Editors() {
        for (auto& e : editors) {
            e = std::make_unique<ByteEditor>();
            e->resize(400, 300);
            if (e != editors[0])
                e->setDocument(editors[0]->document());
        }
        editors[0]->show(); // sub-windows start hidden
    }
};

void checkEditor(ByteEditor& e, const QString& text, int a, int b) {
    FUZZ_CHECK_EQ(e.text(), text);
    FUZZ_CHECK_EQ(e.byteLength(), cp932::byteLength(text));
    FUZZ_CHECK_EQ(e.lineCount(), linesOf(text));
    for (const qsizetype p :
         {qsizetype(a) % (text.size() + 1), qsizetype(b) % (text.size() + 1), text.size()}) {
        FUZZ_CHECK_EQ(e.byteOffsetOf(p), cp932::byteOffset(text, p));
        FUZZ_CHECK_EQ(e.positionOf(cp932::byteOffset(text, p)), p);
    }
    FUZZ_CHECK_EQ(e.positionOf(a), cp932::charPosition(text, a));
    // No step leaves a selection behind, so the caret is where the selection starts.
    FUZZ_CHECK_EQ(e.selLength(), 0);
    const qsizetype caret = cp932::charPosition(text, e.selStart());
    const qsizetype lineStart = caret == 0 ? 0 : text.lastIndexOf(u'\n', caret - 1) + 1;
    FUZZ_CHECK_EQ(e.caretLine(), int(QStringView(text).first(caret).count(u'\n')));
    FUZZ_CHECK_EQ(e.caretColumn(),
                  cp932::byteLength(QStringView(text).sliced(lineStart, caret - lineStart)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    startApplication();
    Editors all;
    ByteEditor& main = *all.editors[0];
    QString text;  // what every editor must hold
    QString saved; // the text at the last markSaved()
    main.markSaved();

    FuzzInput in(data, size);
    for (int step = 0; step < 48 && !in.atEnd(); ++step) {
        const int operation = in.byte() % 11;
        ByteEditor& e = *all.editors[in.byte() % 4];
        const int a = in.number16();
        const int b = in.number16();
        const QByteArrayView bytes = in.field();
        const QString typed = cp932::decodeText(bytes);
        const QString clean = cp932::toRepresentable(typed);
        switch (operation) {
        case 0:
            e.setText(typed);
            text = clean;
            break;
        case 1: {
            e.setSelection(a, b);
            const qsizetype total = cp932::byteLength(text);
            const qsizetype start = std::clamp<qsizetype>(a, 0, total);
            const qsizetype end = start + std::clamp<qsizetype>(b, 0, total - start);
            const qsizetype from = cp932::charPosition(text, start);
            const qsizetype to = cp932::charPosition(text, end);
            FUZZ_CHECK_EQ(e.selStart(), cp932::byteOffset(text, from));
            FUZZ_CHECK_EQ(e.selLength(), cp932::byteOffset(text, to) - e.selStart());
            FUZZ_CHECK_EQ(e.selText(), text.sliced(from, to - from));
            e.replaceSelection(typed);
            text.replace(from, to - from, clean);
            break;
        }
        case 2: {
            e.replaceCharacters(a, b, typed, a + b);
            const qsizetype position = std::min<qsizetype>(a, text.size());
            text.replace(position, std::min<qsizetype>(b, text.size() - position), clean);
            break;
        }
        case 3: {
            const int index = a % 8;
            e.insertLine(index, typed);
            if (index < linesOf(text)) {
                const qsizetype at = index == 0 ? 0 : [&] {
                    qsizetype p = -1;
                    for (int i = 0; i < index; ++i)
                        p = text.indexOf(u'\n', p + 1);
                    return p + 1;
                }();
                text.insert(at, clean + u'\n');
            } else {
                if (!text.isEmpty() && !text.endsWith(u'\n'))
                    text += u'\n';
                text += clean + u'\n';
            }
            break;
        }
        case 4: {
            // Replace All as the replace dialog applies it, in the editor the user
            // works in.
            const search::Options options{.wholeWord = (a & 1) != 0, .matchCase = (a & 2) != 0};
            const QString what = clean.left(b % 4 + 1);
            const QString with = clean.sliced(what.size());
            const search::ReplaceAllResult result = search::replaceAll(text, what, with, options);
            EditorSearch(e).applyReplaceAll(result);
            text = result.text;
            break;
        }
        case 5:
            e.undo();
            text = e.text();
            break;
        case 6:
            e.redo();
            text = e.text();
            break;
        case 7:
            if (&e != &main)
                e.setVisible(!e.isVisible());
            break;
        case 8: {
            const search::Options options{.wholeWord = (a & 1) != 0, .matchCase = (a & 2) != 0};
            FUZZ_CHECK_EQ(e.findText(clean, a, b, options),
                          search::find(text, clean, a, b, options));
            break;
        }
        case 9: {
            const QString path = scratchFile(QStringLiteral("document.txt"));
            writeFile(path, bytes);
            main.loadFromFile(path);
            main.markSaved();
            text = saved = cp932::decodeText(bytes);
            FUZZ_CHECK_EQ(main.encoded(), fuzz::withCrLf(bytes));
            break;
        }
        case 10:
            main.markSaved();
            saved = text;
            break;
        }
        for (auto& editor : all.editors)
            checkEditor(*editor, text, a, b);
        if (!fuzz::leadByteMeetsTrail(text))
            FUZZ_CHECK_EQ(cp932::decodeText(main.encoded()), text);
        FUZZ_CHECK(main.differsFromSaved() == (text != saved));
    }
    return 0;
}
