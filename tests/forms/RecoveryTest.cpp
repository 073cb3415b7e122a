// Unsaved work through a crash: a normal session leaves nothing behind and asks nothing
// new; a program ended without closing leaves its journal, and the next start offers
// it back (with its path, untitled, or into an untitled document when the file
// changed), before the command line's document; the copy of a file being overwritten
// in place comes back the same way.
#include "FormTestSupport.h"

#include "platform/Guard.h"
#include "recovery/EditJournal.h"

#include <QDir>

using namespace qel;
using namespace qel::testing;

class RecoveryTest : public QObject, ProgramFixture {
    Q_OBJECT

    QString recoveryFolder() const { return folder() + u"recovery"_s; }
    QStringList recoveryFiles() const {
        return QDir(recoveryFolder()).entryList(QDir::Files | QDir::Hidden);
    }
    // Writes the journal now, as the delay would.
    void flushJournal() {
        mainWindow()->journal().flush();
        mainWindow()->journal().waitUntilWritten();
    }
    // The program ends without closing, as after a kill.
    void crash() { windows_.reset(); }
    QString caption() const { return mainWindow()->windowTitle(); }
    // What the program asked, leaving out the file list's word at a start after an exit
    // (its list was never saved).
    QStringList questions() const {
        QStringList out;
        for (const ScriptedDialogs::Call& call : dialogs_->calls())
            if (!call.text.startsWith(u"設定で指定されたファイルが存在しない"_s))
                out << call.kind;
        return out;
    }
    Choice firstChoice() const {
        for (const ScriptedDialogs::Call& call : dialogs_->calls())
            if (call.kind == u"choose"_s)
                return call.choice;
        return {};
    }

    // A document on the disk, opened from the command line, with a line typed at its end.
    QString startEditing(const QString& name, const QByteArray& bytes, const QString& typed) {
        const QString file = path(name);
        if (!writeBytes(file, bytes))
            return QString();
        start({file});
        mainWindow()->show();
        editor()->setSelection(editor()->byteLength(), 0);
        type(editor(), typed);
        return file;
    }

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void aNormalSessionLeavesNothingBehind() {
        QVERIFY(writeBytes(path(u"other.txt"_s), "other"));
        struct CleanEnd {
            const char* what;
            std::function<void()> end;
        };
        const std::vector<CleanEnd> ends = {
            {"save", [&] { mainWindow()->save(); }},
            {"save as",
             [&] {
                 dialogs_->answerFile(path(u"saved as.txt"_s));
                 mainWindow()->saveAs();
             }},
            {"new, not saved",
             [&] {
                 dialogs_->answer(Answer::No);
                 mainWindow()->newFile();
             }},
            {"open, not saved",
             [&] {
                 dialogs_->answer(Answer::No);
                 dialogs_->answerFile(path(u"other.txt"_s));
                 mainWindow()->openFile();
             }},
            {"drop, not saved",
             [&] {
                 dialogs_->answer(Answer::No);
                 QVERIFY(drop(editor(), {path(u"other.txt"_s)}));
                 QTRY_COMPARE(mainWindow()->documentPath(), path(u"other.txt"_s));
             }},
            {"exit, not saved",
             [&] {
                 dialogs_->answer(Answer::No);
                 QVERIFY(exitProgram());
             }},
        };
        for (const CleanEnd& c : ends) {
            const QString file = startEditing(u"doc.txt"_s, "text", u" more"_s);
            flushJournal();
            QVERIFY2(recoveryFiles().size() == 2, c.what); // the journal and its lock
            c.end();
            if (windows_) {
                mainWindow()->journal().waitUntilWritten();
                QVERIFY2(recoveryFiles().size() == 1, c.what); // the lock of the running one
                QVERIFY(!mainWindow()->isModified());
                QVERIFY(exitProgram());
            }
            QVERIFY2(!QFileInfo::exists(recoveryFolder()), c.what);
            // Nothing is offered at the next start.
            start();
            QVERIFY2(questions().count(u"choose"_s) == 0, c.what);
            QVERIFY(exitProgram());
            dialogs_->clearCalls();
        }
        // A session that edits nothing makes no folder at all.
        start({path(u"other.txt"_s)});
        mainWindow()->save();
        QVERIFY(exitProgram());
        QVERIFY(!QFileInfo::exists(recoveryFolder()));
        QCOMPARE(questions(), QStringList());
    }

    void workLeftByAKilledProgramComesBackWithItsPath() {
        const QString file = startEditing(u"メモ.txt"_s, "first line\r\n", u"typed, unsaved"_s);
        flushJournal();
        type(editor(), u" and more after the flush"_s); // lost with the crash
        const QStringList left = recoveryFiles();
        crash();

        dialogs_->answerChoice(0);
        start();
        QCOMPARE(questions(), QStringList{u"choose"_s});
        const Choice asked = firstChoice();
        QVERIFY2(asked.text.contains(u"文書："_s + QDir::toNativeSeparators(file)),
                 qPrintable(asked.text));
        QVERIFY(asked.text.contains(u"大きさ：26 バイト"_s));
        QVERIFY(asked.text.endsWith(u"復元しますか？"_s));
        QCOMPARE(asked.buttons, (QStringList{u"復元する"_s, u"破棄する"_s, u"後で決める"_s}));
        QCOMPARE(asked.defaultButton, 0); // Return recovers
        QCOMPARE(asked.escapeButton, 2);  // closing the box keeps it
        QCOMPARE(editor()->text(), u"first line\ntyped, unsaved"_s);
        QCOMPARE(allTexts(), fourTimes(editor()->text()));
        QCOMPARE(mainWindow()->documentPath(), file);
        QCOMPARE(caption(), u"QelEditor - メモ.txt (変更有り)"_s);
        QCOMPARE(panel(2), u"modify"_s);
        QCOMPARE(readFile(file), QByteArray("first line\r\n")); // untouched until saved
        // The old journal is gone; this program keeps its own, with its lock.
        const QStringList files = recoveryFiles();
        QCOMPARE(files.size(), 2);
        for (const QString& name : left)
            QVERIFY(!files.contains(name));
        // Saved with the usual command: back to normal.
        mainWindow()->save();
        QCOMPARE(readFile(file), QByteArray("first line\r\ntyped, unsaved"));
        QVERIFY(exitProgram());
        QVERIFY(!QFileInfo::exists(recoveryFolder()));
    }

    void untitledWorkStaysUntitled() {
        start();
        mainWindow()->show();
        type(editor(), u"無題の下書き"_s);
        flushJournal();
        crash();
        dialogs_->answerChoice(0);
        start();
        QVERIFY(firstChoice().text.contains(u"文書：UnTitledDoc\n"_s));
        QCOMPARE(editor()->text(), u"無題の下書き"_s);
        QCOMPARE(caption(), u"QelEditor - UnTitledDoc (変更有り)"_s);
        // Save goes through the save dialog, as for any untitled document.
        dialogs_->answerFile(path(u"kept.txt"_s));
        mainWindow()->save();
        QCOMPARE(readFile(path(u"kept.txt"_s)), cp932::encode(u"無題の下書き"_s));
    }

    void laterAsksAgainAndDiscardForgets() {
        start();
        mainWindow()->show();
        type(editor(), u"draft"_s);
        flushJournal();
        crash();
        // Later: the document stays empty, and the next start asks again.
        dialogs_->answerChoice(2);
        start();
        QCOMPARE(editor()->text(), QString());
        QVERIFY(!mainWindow()->isModified());
        QVERIFY(exitProgram());
        dialogs_->answerChoice(1);
        start();
        QCOMPARE(questions(), (QStringList{u"choose"_s, u"choose"_s}));
        QCOMPARE(editor()->text(), QString());
        QVERIFY(exitProgram());
        start();
        QCOMPARE(questions().size(), 2);
        QVERIFY(exitProgram());
        QVERIFY(!QFileInfo::exists(recoveryFolder()));
    }

    void aFileChangedSinceComesBackAsAnUntitledDocument() {
        const QString file = startEditing(u"doc.txt"_s, "original\r\n", u"mine"_s);
        flushJournal();
        crash();
        QVERIFY(writeBytes(file, "someone else's\r\n"));
        dialogs_->answerChoice(0);
        start();
        const Choice asked = firstChoice();
        QVERIFY(asked.text.contains(u"元のファイルはその後変更されています。"_s));
        QCOMPARE(asked.buttons.first(), u"無題で復元する"_s);
        QCOMPARE(editor()->text(), u"original\nmine"_s);
        QCOMPARE(caption(), u"QelEditor - UnTitledDoc (変更有り)"_s);
        QCOMPARE(readFile(file), QByteArray("someone else's\r\n"));
        // Closing the program asks about it as about any unsaved document.
        dialogs_->answer(Answer::No);
        QVERIFY(exitProgram());

        // A file too big to be kept whole in the journal, changed since: nothing to
        // replay the edits onto. The question says so and offers no recovery; Return
        // keeps it for later, Discard lets it go.
        const QByteArray big(recovery::EditJournal::kOriginBytesKept + 1, 'b');
        const QString bigFile = startEditing(u"big.txt"_s, big, u"mine"_s);
        flushJournal();
        crash();
        QVERIFY(writeBytes(bigFile, "changed"));
        dialogs_->clearCalls();
        dialogs_->answerChoice(0);
        start();
        const Choice lost = firstChoice();
        QVERIFY(lost.text.endsWith(u"元のファイルがその後変更され、編集前の内容が残っていないため、"
                                   u"復元できません。"_s));
        QCOMPARE(lost.buttons, (QStringList{u"破棄する"_s, u"後で決める"_s}));
        QCOMPARE(lost.defaultButton, 1);
        QCOMPARE(lost.escapeButton, 1);
        QCOMPARE(editor()->text(), QString());
        QVERIFY(exitProgram());
        QVERIFY(!QFileInfo::exists(recoveryFolder()));
    }

    void theCommandLinesDocumentComesAfterTheRecoveredOne() {
        QVERIFY(writeBytes(path(u"other.txt"_s), "other"));
        start();
        mainWindow()->show();
        type(editor(), u"recovered"_s);
        flushJournal();
        crash();
        // Recovered first; then opening the command line's file asks to save it.
        dialogs_->answerChoice(0);
        dialogs_->answer(Answer::Cancel);
        start({path(u"other.txt"_s)});
        QCOMPARE(questions(), (QStringList{u"choose"_s, u"askYesNoCancel"_s}));
        QCOMPARE(editor()->text(), u"recovered"_s);
        dialogs_->answer(Answer::No);
        QVERIFY(exitProgram());
        // Not recovered: the command line's file opens without a question.
        QVERIFY(writeBytes(path(u"doc.txt"_s), "doc"));
        start({path(u"doc.txt"_s)});
        type(editor(), u"!"_s);
        flushJournal();
        crash();
        dialogs_->clearCalls();
        dialogs_->answerChoice(2);
        start({path(u"other.txt"_s)});
        QCOMPARE(questions(), QStringList{u"choose"_s});
        QCOMPARE(editor()->text(), u"other"_s);
        QCOMPARE(mainWindow()->documentPath(), path(u"other.txt"_s));
        QVERIFY(exitProgram());
        // Kept for later, it is there at the next start.
        dialogs_->answerChoice(1);
        start();
        QCOMPARE(questions().count(u"choose"_s), 2);
    }

    void aConvertedFileComesBackConvertedWithoutAskingAgain() {
        // A UTF-8 file converted on opening: the conversion is the first of the edits.
        const QString file = path(u"utf8.txt"_s);
        const QByteArray original = u"会議室の予約〜\n"_s.toUtf8();
        QVERIFY(writeBytes(file, original));
        dialogs_->answerChoice(0); // convert
        start({file});
        mainWindow()->show();
        editor()->setSelection(editor()->byteLength(), 0);
        type(editor(), u"追記"_s);
        flushJournal();
        crash();
        dialogs_->clearCalls();
        dialogs_->answerChoice(0); // recover
        start();
        QCOMPARE(questions(), QStringList{u"choose"_s}); // not the encoding question again
        QCOMPARE(editor()->text(), u"会議室の予約～\n追記"_s);
        QCOMPARE(mainWindow()->documentPath(), file);
        QCOMPARE(readFile(file), original);
        dialogs_->answer(Answer::No);
        QVERIFY(exitProgram());
    }

    void theJournalIsWrittenWithinTheDelay() {
        recovery::EditJournal::setFlushDelay(std::chrono::milliseconds(200));
        start();
        mainWindow()->show();
        type(editor(), u"abc"_s);
        mainWindow()->journal().waitUntilWritten();
        QVERIFY(!QFileInfo::exists(recoveryFolder()));
        QTRY_VERIFY_WITH_TIMEOUT(recoveryFiles().size() == 2, 3000);
        crash();
        dialogs_->answerChoice(0);
        start();
        QCOMPARE(editor()->text(), u"abc"_s);
    }

    void aFileKilledWhileWrittenInPlaceComesBack() {
        // The program was killed between keeping the copy and writing the new content:
        // the file is half written, the copy is what it was.
        const QString file = startEditing(u"doc.txt"_s, "old content, whole\r\n", u"new"_s);
        flushJournal();
        QVERIFY(guarded(
            [&] { mainWindow()->journal().inPlaceCopy().keep(file, "old content, whole\r\n"); }));
        QVERIFY(writeBytes(file, "old cont"));
        crash();
        dialogs_->answerChoice(0);
        start();
        QCOMPARE(questions(), QStringList{u"choose"_s});
        QCOMPARE(firstChoice().buttons.first(), u"復元する"_s);
        QCOMPARE(editor()->text(), u"old content, whole\nnew"_s);
        QCOMPARE(mainWindow()->documentPath(), file);
        QVERIFY(mainWindow()->isModified());
        mainWindow()->save();
        QCOMPARE(readFile(file), QByteArray("old content, whole\r\nnew"));
        QVERIFY(exitProgram());
        QVERIFY(!QFileInfo::exists(recoveryFolder()));

        // Without a journal (nothing was typed), the copy alone comes back as it was.
        QVERIFY(writeBytes(file, "saved again\r\n"));
        start({file});
        QVERIFY(
            guarded([&] { mainWindow()->journal().inPlaceCopy().keep(file, "saved again\r\n"); }));
        QVERIFY(writeBytes(file, "sav"));
        crash();
        dialogs_->clearCalls();
        dialogs_->answerChoice(0);
        start();
        QVERIFY(firstChoice().text.contains(u"大きさ：13 バイト"_s));
        QCOMPARE(editor()->text(), u"saved again\n"_s);
        QCOMPARE(mainWindow()->documentPath(), file);
        QVERIFY(mainWindow()->isModified());
        dialogs_->answer(Answer::No);
        QVERIFY(exitProgram());
    }
};

QTEST_MAIN(RecoveryTest)
#include "RecoveryTest.moc"
