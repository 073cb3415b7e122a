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
#include <QTextBlock>

using qel::ByteEditor;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
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
    void measuresCountDoubleByteCharactersAndLineBreaksAsTwo() {
        ByteEditor e;
        e.setText(QStringLiteral("あa\nb"));
        QCOMPARE(e.byteLength(), qsizetype(6));
        QCOMPARE(e.lineCount(), 2);

        e.setText(QStringLiteral("abc\n"));
        QCOMPARE(e.lineCount(), 1); // the empty line after the break is not counted
        QCOMPARE(e.byteLength(), qsizetype(5));

        e.setText(QString());
        QCOMPARE(e.lineCount(), 0);
        QCOMPARE(e.byteLength(), qsizetype(0));

        e.setText(QStringLiteral("ｱ半"));
        QCOMPARE(e.byteLength(), qsizetype(3)); // half-width kana is one byte
    }

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
        auto* rng = QRandomGenerator::global();
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
        e.setText(QStringLiteral("one\ntwo"));
        e.insertLine(1, QStringLiteral("new"));
        QCOMPARE(e.text(), QStringLiteral("one\nnew\ntwo"));
        e.insertLine(5, QStringLiteral("end"));
        QCOMPARE(e.text(), QStringLiteral("one\nnew\ntwo\nend\n"));
        e.insertLine(4, QStringLiteral("last"));
        QCOMPARE(e.text(), QStringLiteral("one\nnew\ntwo\nend\nlast\n"));
    }

    void setTextAlwaysReportsAChange() {
        ByteEditor e;
        QSignalSpy spy(&e, &ByteEditor::changed);
        e.setText(QString());
        QCOMPARE(spy.count(), 1);
        e.setText(QStringLiteral("a"));
        QCOMPARE(spy.count(), 2);
        e.setText(QStringLiteral("a"));
        QVERIFY(spy.count() >= 3);
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
        e.moveCursor(QTextCursor::Start);
        e.replaceSelection(QStringLiteral("x"));
        e.saveToFile(path);
        QCOMPARE(readAll(path).left(10), QByteArray::fromHex("7887908281e0fa5ced40"));
    }

    void failedLoadAndSaveLeaveEverythingAsItWas() {
        QTemporaryDir dir;
        ByteEditor e;
        e.setText(QStringLiteral("keep me"));
        QVERIFY_THROWS_EXCEPTION(qel::Error, e.loadFromFile(dir.filePath(QStringLiteral("none"))));
        QCOMPARE(e.text(), QStringLiteral("keep me"));
        try {
            e.loadFromFile(dir.filePath(QStringLiteral("none")));
        } catch (const qel::Error& error) {
            QVERIFY(!error.message().isEmpty());
        }

        // Saving onto a folder fails and leaves the folder alone.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        QVERIFY_THROWS_EXCEPTION(qel::Error, e.saveToFile(dir.filePath(QStringLiteral("folder"))));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());

        // A save into a missing folder fails; an existing file is replaced whole.
        const QString path = dir.filePath(QStringLiteral("doc.txt"));
        writeAll(path, "old");
        QVERIFY_THROWS_EXCEPTION(qel::Error,
                                 e.saveToFile(dir.filePath(QStringLiteral("no/such/doc.txt"))));
        e.saveToFile(path);
        QCOMPARE(readAll(path), QByteArray("keep me"));
    }

    void hintShowsOnlyWhenSwitchedOn() {
        ByteEditor e;
        e.setHint(QStringLiteral("ＭＳ ゴシック, Size:10"));
        QCOMPARE(e.toolTip(), QString());
        e.setShowHint(true);
        QCOMPARE(e.toolTip(), QStringLiteral("ＭＳ ゴシック, Size:10"));
        e.setShowHint(false);
        QCOMPARE(e.toolTip(), QString());
    }
};

QTEST_MAIN(ByteEditorTest)
#include "ByteEditorTest.moc"
