// Files in other encodings opened in the main window: the question before anything
// changes, each answer, every way of opening a file, and the original kept until the
// user saves.
#include "FormTestSupport.h"

#include "textmodel/TextDocument.h"

#include <QTableView>

using namespace qel;
using namespace qel::testing;

namespace {

QByteArray utf16(const QString& text, bool littleEndian) {
    QByteArray out(littleEndian ? "\xFF\xFE" : "\xFE\xFF");
    for (const QChar c : text) {
        const char low = char(c.unicode() & 0xFF), high = char(c.unicode() >> 8);
        out.append(littleEndian ? low : high).append(littleEndian ? high : low);
    }
    return out;
}

const QString kNote = u"会議室の予約〜\n😀"_s;
const QString kNoteConverted = u"会議室の予約～\n?"_s;

enum { Convert, AsItIs, Cancel }; // the buttons

} // namespace

class ForeignDocumentTest : public QObject, ProgramFixture {
    Q_OBJECT

    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString p = path(name);
        writeBytes(p, bytes);
        return p;
    }
    Choice lastChoice() const { return dialogs_->calls().last().choice; }
    // A drop is taken once the event loop runs.
    static bool dropNow(ByteEditor* target, const QStringList& files) {
        const bool taken = drop(target, files);
        QCoreApplication::processEvents();
        return taken;
    }

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void convertedOnOpen_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("loss");
        const QString oneLost = u"変換すると、シフトJIS にない 1 文字が「?」になります: 「😀」"_s;
        const QString noneLost = u"変換しても失われる文字はありません。"_s;
        QTest::newRow("UTF-8") << kNote.toUtf8() << u"UTF-8"_s << kNoteConverted << oneLost;
        QTest::newRow("UTF-8, every character in code page 932")
            << u"会議室の予約〜\n"_s.toUtf8() << u"UTF-8"_s << u"会議室の予約～\n"_s << noneLost;
        QTest::newRow("UTF-16LE") << utf16(kNote, true) << u"UTF-16 (リトルエンディアン)"_s
                                  << kNoteConverted << oneLost;
        QTest::newRow("UTF-16BE") << utf16(kNote, false) << u"UTF-16 (ビッグエンディアン)"_s
                                  << kNoteConverted << oneLost;
        QTest::newRow("EUC-JP") << QByteArray("\xB2\xF1\xB5\xC4\xBC\xBC\xA4\xCE\xCD\xBD\xCC\xF3\n"
                                              "\xA1\xC1")
                                << u"EUC-JP"_s << u"会議室の予約\n～"_s << noneLost;
        QTest::newRow("ISO-2022-JP") << QByteArray("\x1B$B2q5D<<$NM=Ls\x1B(B\r\n")
                                     << u"JIS (ISO-2022-JP)"_s << u"会議室の予約\n"_s << noneLost;
    }
    void convertedOnOpen() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, encoding);
        QFETCH(QString, text);
        QFETCH(QString, loss);
        const QString file = writeFile(u"note.txt"_s, bytes);
        start();
        dialogs_->answerFile(file);
        dialogs_->answerChoice(Convert);
        mainWindow()->openFile();
        QCOMPARE(dialogs_->kinds(), (QStringList{u"openFile"_s, u"choose"_s}));
        const Choice question = lastChoice();
        QCOMPARE(question.text,
                 file + u" は "_s + encoding +
                     u" で書かれているようです。\nシフトJIS に変換して開きますか？\n\n"_s + loss +
                     u"\n変換して開いても、保存するまで元のファイルは変わりません。\n"
                     u"そのまま開くと、変換せずに読み込みます (文字化けして表示されます)。"_s);
        QCOMPARE(question.buttons,
                 (QStringList{u"変換して開く(&C)"_s, u"そのまま開く(&O)"_s, u"キャンセル"_s}));
        QCOMPARE(question.defaultButton, int(Convert));
        QCOMPARE(question.escapeButton, int(Cancel)); // closing the box cancels

        // The converted text, in every editor, modified, with nothing to undo; the file
        // is as it was.
        QCOMPARE(allTexts(), fourTimes(text));
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - note.txt (変更有り)"_s);
        QCOMPARE(panel(2), u"modify"_s);
        QCOMPARE(panel(0), u"1 行目： 0 バイト目"_s);
        QVERIFY(!editor()->document()->canUndo());
        QCOMPARE(readFile(file), bytes);
        // Saving writes code page 932 over it.
        mainWindow()->save();
        QCOMPARE(readFile(file), cp932::encode(text));
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - note.txt"_s);
    }

    void openedAsItIsOrNotAtAll() {
        const QString before = writeFile(u"before.txt"_s, cp932::encode(u"前の文書"_s));
        const QByteArray bytes = kNote.toUtf8();
        const QString file = writeFile(u"note.txt"_s, bytes);
        start({before});
        // Cancel: nothing changes, as for a cancelled open.
        dialogs_->answerFile(file);
        dialogs_->answerChoice(Cancel);
        mainWindow()->openFile();
        QCOMPARE(allTexts(), fourTimes(u"前の文書"_s));
        QCOMPARE(mainWindow()->documentPath(), before);
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - before.txt"_s);
        QVERIFY(!mainWindow()->isModified());
        // As it is: the bytes as any file's, nothing converted, nothing modified.
        dialogs_->answerFile(file);
        dialogs_->answerChoice(AsItIs);
        mainWindow()->openFile();
        QCOMPARE(editor()->text(), cp932::decodeText(bytes));
        QCOMPARE(mainWindow()->documentPath(), file);
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - note.txt"_s);
        QVERIFY(!mainWindow()->isModified());
        QVERIFY(exitProgram()); // no save question
        QCOMPARE(readFile(file), bytes);
    }

    // Open, a drop on the main window or on a sub-window, the file list and the command
    // line all ask the same question.
    void everyWayOfOpeningAsks_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("open") << 0;
        QTest::newRow("drop on the main window") << 1;
        QTest::newRow("drop on a sub-window") << 2;
        QTest::newRow("file list") << 3;
        QTest::newRow("command line") << 4;
    }
    void everyWayOfOpeningAsks() {
        QFETCH(int, way);
        const QString file = writeFile(u"note.txt"_s, kNote.toUtf8());
        if (way == 0)
            dialogs_->answerFile(file);
        dialogs_->answerChoice(Convert);
        if (way == 4) {
            start({file});
        } else {
            start();
            switch (way) {
            case 0:
                mainWindow()->openFile();
                break;
            case 1:
                QVERIFY(dropNow(editor(), {file}));
                break;
            case 2:
                QVERIFY(dropNow(subWindow(1)->editor(), {file}));
                break;
            case 3:
                fileListWindow()->addPaths({file});
                fileListWindow()->listView()->selectRow(0);
                fileListWindow()->openSelectedFile();
                break;
            }
        }
        QCOMPARE(dialogs_->kinds().count(u"choose"_s), 1);
        QVERIFY(lastChoice().text.startsWith(file + u" は UTF-8 で"_s));
        QCOMPARE(allTexts(), fourTimes(kNoteConverted));
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - note.txt (変更有り)"_s);
    }

    // Code page 932 and ASCII files load as they always did: no question.
    void codePage932FilesAreNotAsked() {
        const QStringList texts = {u"plain ASCII"_s, u"日本語の文書。①㈱髙"_s, u"ｵﾂｶﾚｻﾏﾃﾞｼﾀ"_s};
        start();
        for (const QString& text : texts) {
            const QString file = writeFile(u"doc.txt"_s, cp932::encode(text));
            dialogs_->answerFile(file);
            mainWindow()->openFile();
            QCOMPARE(editor()->text(), text);
            QVERIFY(!mainWindow()->isModified());
        }
        QVERIFY(!dialogs_->kinds().contains(u"choose"_s));
    }

    // The converted document is not saved over the original without asking.
    void originalKeptUntilSaved() {
        const QByteArray bytes = kNote.toUtf8();
        const QString file = writeFile(u"note.txt"_s, bytes);
        dialogs_->answerChoice(Convert);
        start({file});
        // Typing and deleting again leaves it modified: the file still holds UTF-8.
        type(editor(), u"x"_s);
        QTest::keyClick(editor(), Qt::Key_Backspace);
        QVERIFY(mainWindow()->isModified());
        dialogs_->answer(Answer::No);
        QVERIFY(exitProgram());
        QCOMPARE(dialogs_->texts(u"askYesNoCancel"_s), QStringList{file + u"を保存しますか？"_s});
        QCOMPARE(readFile(file), bytes);
    }

    // Several files dropped at once: each is asked about in turn; Cancel passes one by.
    void droppedFilesAskedInTurn() {
        const QString foreign = writeFile(u"note.txt"_s, kNote.toUtf8());
        const QString plain = writeFile(u"plain.txt"_s, "plain");
        start();
        dialogs_->answerChoice(Cancel);
        QVERIFY(dropNow(editor(), {plain, foreign}));
        QCOMPARE(editor()->text(), u"plain"_s);
        QCOMPARE(mainWindow()->documentPath(), plain);
        dialogs_->answerChoice(Convert);
        QVERIFY(dropNow(editor(), {foreign, plain}));
        QCOMPARE(editor()->text(), u"plain"_s); // the last one stays
        QVERIFY(!mainWindow()->isModified());
    }
};

QTEST_MAIN(ForeignDocumentTest)
#include "ForeignDocumentTest.moc"
