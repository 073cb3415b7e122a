#include "platform/ByteEditor.h"
#include "text/Error.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using qel::ByteEditor;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The editor's kept line measures must always agree with a fresh count of its text.
void checkMeasures(const ByteEditor& e) {
    const QString text = e.text();
    QCOMPARE(e.byteLength(), qel::cp932::byteLength(text));
    for (qsizetype pos : {qsizetype(0), text.size() / 3, text.size() / 2, text.size()}) {
        const qsizetype offset = qel::cp932::byteOffset(text, pos);
        QCOMPARE(e.byteOffsetOf(pos), offset);
        QCOMPARE(e.positionOf(offset), pos);
    }
}

} // namespace

class ByteEditorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void selectionAndCaretAreInBytes() {
        ByteEditor e;
        e.setText(QStringLiteral("日本\nabc漢字"));
        e.setSelection(7, 5); // "bc漢"
        QCOMPARE(e.selText(), QStringLiteral("bc漢"));
        QCOMPARE(e.selStart(), qsizetype(7));
        QCOMPARE(e.selLength(), qsizetype(4));
        QCOMPARE(e.caretLine(), 1);
        QCOMPARE(e.caretColumn(), qsizetype(5));

        e.setSelection(4, 2); // the line break
        QCOMPARE(e.selText(), QStringLiteral("\n"));
        e.setSelection(1, 0); // inside "日": rounds down to its start
        QCOMPARE(e.selStart(), qsizetype(0));
        e.setSelection(100, 5); // past the end: clamped
        QCOMPARE(e.selStart(), e.byteLength());
        QCOMPARE(e.selLength(), qsizetype(0));
    }

    void measuresFollowEveryKindOfEdit() {
        ByteEditor e;
        e.setText(QStringLiteral("一行目\nsecond line\n三\n"));
        QRandomGenerator seeded(932); // fixed, so a failure can be replayed
        auto* rng = &seeded;
        const QStringList pieces = {QStringLiteral("x"), QStringLiteral("\n"),
                                    QStringLiteral("漢字"), QStringLiteral("a\nb\nc"), QString()};
        for (int i = 0; i < 400; ++i) {
            const qsizetype total = e.byteLength();
            const qsizetype start = rng->bounded(int(total + 1));
            const qsizetype length = rng->bounded(int(std::min<qsizetype>(total - start, 8) + 1));
            e.setSelection(start, length);
            e.replaceSelection(pieces[rng->bounded(int(pieces.size()))]);
            checkMeasures(e);
            if (QTest::currentTestFailed())
                return;
        }
        // Undo and redo change the text behind the editor's back.
        for (int i = 0; i < 50; ++i)
            e.undo();
        checkMeasures(e);
        for (int i = 0; i < 20; ++i)
            e.redo();
        checkMeasures(e);
    }

    void typedAndPastedTextIsReducedToWhatCanBeSaved() {
        ByteEditor e;
        e.show();
        for (const QString& typed : {QStringLiteral("a"), QStringLiteral("あ")}) {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, typed);
            QApplication::sendEvent(&e, &key);
        }
        QKeyEvent emoji(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("😀"));
        QApplication::sendEvent(&e, &emoji);
        QCOMPARE(e.text(), QStringLiteral("aあ?"));

        auto* clip = new QMimeData;
        clip->setText(QStringLiteral("€x\r\ny"));
        QApplication::clipboard()->setMimeData(clip);
        e.selectAll();
        e.paste();
        QCOMPARE(e.text(), QStringLiteral("?x\ny"));

        e.setText(QStringLiteral("Ω€"));
        QCOMPARE(e.text(), QStringLiteral("Ω?"));
    }

    void insertLineAddsAWholeLine() {
        ByteEditor e;
        QSignalSpy changes(&e, &ByteEditor::changed);
        e.setText(QStringLiteral("one\ntwo"));
        e.insertLine(1, QStringLiteral("new"));
        QCOMPARE(e.text(), QStringLiteral("one\nnew\ntwo"));
        e.insertLine(5, QStringLiteral("end"));
        QCOMPARE(e.text(), QStringLiteral("one\nnew\ntwo\nend\n"));
        e.insertLine(4, QStringLiteral("last"));
        QCOMPARE(e.text(), QStringLiteral("one\nnew\ntwo\nend\nlast\n"));
        // Setting the same text again still reports a change (the windows rely on it).
        const int before = int(changes.count());
        e.setText(e.text());
        QVERIFY(changes.count() > before);
    }

    void fileRoundTripKeepsEveryByte() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.txt"));
        // NEC and IBM forms of the same characters, an undecodable byte, half-width
        // kana and a line break of each kind.
        const QByteArray original =
            QByteArray::fromHex("87908281e0fa5ced400d0a8541b1ff0a410d42") + QByteArray("\r\n");
        writeAll(path, original);
        ByteEditor e;
        e.loadFromFile(path);
        QCOMPARE(e.encoded(), QByteArray::fromHex("87908281e0fa5ced400d0a8541b1ff0d0a410d0a42") +
                                  QByteArray("\r\n"));
        checkMeasures(e);

        // An edit elsewhere keeps the forms the file used.
        e.setCursorPosition(0);
        e.replaceSelection(QStringLiteral("x"));
        e.saveToFile(path);
        QCOMPARE(readAll(path).left(10), QByteArray::fromHex("7887908281e0fa5ced40"));
    }

    void failedLoadAndSaveLeaveEverythingAsItWas() {
        QTemporaryDir dir;
        ByteEditor e;
        e.setText(QStringLiteral("keep me"));
        try {
            e.loadFromFile(dir.filePath(QStringLiteral("none")));
            QFAIL("a missing file loaded");
        } catch (const qel::Error& error) {
            QVERIFY(!error.message().isEmpty());
        }
        QCOMPARE(e.text(), QStringLiteral("keep me"));

        // Saving onto a folder or into a missing one fails and leaves the folder alone;
        // an existing file is replaced whole.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        QVERIFY_THROWS_EXCEPTION(qel::Error, e.saveToFile(dir.filePath(QStringLiteral("folder"))));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());
        QVERIFY_THROWS_EXCEPTION(qel::Error,
                                 e.saveToFile(dir.filePath(QStringLiteral("no/such/doc.txt"))));
        const QString path = dir.filePath(QStringLiteral("doc.txt"));
        writeAll(path, "old");
        e.saveToFile(path);
        QCOMPARE(readAll(path), QByteArray("keep me"));
    }
};

QTEST_MAIN(ByteEditorTest)
#include "ByteEditorTest.moc"
