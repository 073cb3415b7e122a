#include "forms/Autocopy.h"
#include "platform/ByteEditor.h"
#include "platform/Guard.h"
#include "platform/Printers.h"
#include "platform/ScriptedDialogs.h"
#include "platform/StatusPanels.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolder.h"
#include "text/Cp932.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace qel;

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

QByteArray bytes(const QString& text) {
    return cp932::encode(text);
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<ScriptedDialogs> dialogs_;

    QString path(const QString& name) const { return folder_->filePath(name); }
    std::unique_ptr<TMainForm> start(const QStringList& arguments = {}) {
        return std::make_unique<TMainForm>(arguments);
    }
    static StatusPanels* panels(TMainForm& w) {
        return w.findChild<StatusPanels*>(QStringLiteral("StatusBar1"));
    }
    static QString panel(TMainForm& w, int i) { return panels(w)->panelText(i); }
    // Types text as the keyboard (or an input method) would, Japanese included.
    static void type(TMainForm& w, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w.editor(), &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w.editor(), &release);
        }
    }

private Q_SLOTS:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        setProgramFolder(folder_->path() + u'/');
        dialogs_ = std::make_unique<ScriptedDialogs>();
        setInstalledPrinterCountForTesting(0);
    }

    void cleanup() {
        const auto& unexpected = dialogs_->unexpectedCalls();
        QVERIFY2(unexpected.isEmpty(), unexpected.isEmpty() ? ""
                                                            : qPrintable(u"unexpected dialog: " +
                                                                         unexpected.first().kind));
        QCOMPARE(dialogs_->pendingAnswers(), 0);
        dialogs_.reset();
        setProgramFolder(QString());
        folder_.reset();
    }

    void firstStartShowsTheDefaults() {
        auto w = start();
        QCOMPARE(w->windowTitle(), QStringLiteral("QelEditor - UnTitledDoc"));
        QCOMPARE(outerGeometry(w.get()), QRect(100, 100, 500, 350));
        QCOMPARE(panel(*w, 0), QStringLiteral("1 行目： 0 バイト目"));
        QCOMPARE(panel(*w, 1), QStringLiteral("全0行：0bytes"));
        QCOMPARE(panel(*w, 2), QString());
        QCOMPARE(panel(*w, 3), QStringLiteral("[yyyy'-'mm'-'dd'('aaa')' hh:nnAM/PM]"));
        QCOMPARE(panels(*w)->panelWidth(0), 150);
        QCOMPARE(panels(*w)->panelWidth(3), 280);

        const QFont font = w->editor()->font();
        QCOMPARE(font.family(), QStringLiteral("ＭＳ ゴシック"));
        QCOMPARE(font.pointSize(), 10);
        QVERIFY(!font.bold() && !font.italic());
        QCOMPARE(w->editor()->backgroundColor(), QColor(Qt::white));
        QCOMPARE(w->editor()->textColor(), QColor(Qt::black));
        QVERIFY(w->editor()->toolTip().isEmpty()); // no font hint

        QVERIFY(!w->findChild<QWidget*>(QStringLiteral("PageScroller1"))->isHidden());
        QVERIFY(w->findChild<QLabel*>(QStringLiteral("StaticText1"))->isHidden());
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("StaticText1"))->text(),
                 QStringLiteral("ＭＳ ゴシック,Size:10,Normal"));
        QVERIFY(w->commands().action(QStringLiteral("VisibleToolBar"))->isChecked());
        QVERIFY(w->commands().action(QStringLiteral("VisibleStatusBar"))->isChecked());
        QVERIFY(!w->commands().action(QStringLiteral("VisibleStaticText"))->isChecked());
        QCOMPARE(w->findChild<QAction*>(QStringLiteral("ActiveMainWindow1"))->text(),
                 QStringLiteral("QelEditor表示"));
    }

    void firstExitWritesBothSettingsFiles() {
        auto w = start();
        w->show();
        QVERIFY(w->close());
        const QString folder = folder_->path() + u'/';
        QCOMPARE(readAll(path(QStringLiteral("QelEditor.ini"))),
                 bytes(u"[UseQelWFile]\nMain=" + folder +
                       u"DefaultMain.QelW\n[InitialFolder]\nSave=\nLoad=\n"));
        QCOMPARE(
            readAll(path(QStringLiteral("DefaultMain.QelW"))),
            bytes(QStringLiteral("[Form]\nTop=100\nLeft=100\nHeight=350\nWidth=500\n"
                                 "WindowName=QelEditor\n"
                                 "[Editor]\nFont=ＭＳ ゴシック\nFontStyle=Normal\nFontSize=10\n"
                                 "FontColor=0\nBackColor=16777215\n"
                                 "[Visible]\nToolBar=1\nFontInfo=0\nStatusBar=1\n"
                                 "[Date&TimeFormat]\nYO=yyyy\nMO=mm\nDO=dd\nDNO='('aaa')'\n"
                                 "OO=hh\nMiO=nn\nSO=ss\nCredit=0\nAMPM=4\nMonthNumberring=0\n"
                                 "DayNames=0\nDateSortType=0\nDateTimeSortType=0\n"
                                 "DateFormat=[yyyy'-'mm'-'dd'('aaa')']\nTimeFormat=[hh:nnAM/PM]\n"
                                 "Date&TimeFormat=[yyyy'-'mm'-'dd'('aaa')' hh:nnAM/PM]\n")));
        QVERIFY(dialogs_->calls().isEmpty()); // nothing was asked
    }

    void settingsComeBackAtTheNextStart() {
        {
            auto w = start();
            w->show();
            placeWindow(w.get(), QRect(40, 60, 640, 480));
            w->VisibleToolBarExecute();
            w->VisibleStaticTextExecute();
            QFont font = w->editor()->font();
            font.setBold(true);
            font.setItalic(true);
            font.setPointSize(14);
            w->editor()->setFont(font);
            w->editor()->setBackgroundColor(QColor(0x10, 0x20, 0x30));
            QVERIFY(w->close());
        }
        IniFile(path(QStringLiteral("DefaultMain.QelW")))
            .writeString(u"Form", u"WindowName", QStringLiteral("原稿"));
        auto w = start();
        QCOMPARE(outerGeometry(w.get()), QRect(40, 60, 640, 480));
        QCOMPARE(w->windowTitle(), QStringLiteral("原稿 - UnTitledDoc"));
        QCOMPARE(w->findChild<QAction*>(QStringLiteral("ActiveMainWindow1"))->text(),
                 QStringLiteral("原稿表示"));
        QVERIFY(w->findChild<QWidget*>(QStringLiteral("PageScroller1"))->isHidden());
        QVERIFY(!w->commands().action(QStringLiteral("VisibleToolBar"))->isChecked());
        QVERIFY(!w->findChild<QLabel*>(QStringLiteral("StaticText1"))->isHidden());
        QCOMPARE(w->editor()->toolTip(), QStringLiteral("ＭＳ ゴシック, Size:14"));
        QVERIFY(w->editor()->font().bold() && w->editor()->font().italic());
        QCOMPARE(w->editor()->backgroundColor(), QColor(0x10, 0x20, 0x30));
    }

    void oddStoredValues() {
        writeAll(path(QStringLiteral("DefaultMain.QelW")),
                 bytes(QStringLiteral("[form]\nWindowName=\nTop=abc\n"
                                      "[EDITOR]\nFontStyle=bold\nFontSize=12\n")));
        auto w = start();
        QCOMPARE(w->windowTitle(), QStringLiteral(" - UnTitledDoc"));
        QCOMPARE(w->findChild<QAction*>(QStringLiteral("ActiveMainWindow1"))->text(),
                 QStringLiteral("表示"));
        QCOMPARE(outerGeometry(w.get()).top(), 100);
        QCOMPARE(w->editor()->font().pointSize(), 12);
        QVERIFY(!w->editor()->font().bold()); // an unknown style name changes nothing
    }

    void captionAndPanelsFollowTheText() {
        auto w = start();
        w->show();
        type(*w, QStringLiteral("a"));
        QCOMPARE(w->windowTitle(), QStringLiteral("QelEditor - UnTitledDoc (変更有り)"));
        QCOMPARE(panel(*w, 1), QStringLiteral("全1行：1bytes"));
        QCOMPARE(panel(*w, 2), QStringLiteral("modify"));
        QCOMPARE(panel(*w, 0), QStringLiteral("1 行目： 1 バイト目"));

        QTest::keyClick(w->editor(), Qt::Key_Backspace);
        QCOMPARE(w->windowTitle(), QStringLiteral("QelEditor - UnTitledDoc"));
        QCOMPARE(panel(*w, 2), QString());
        QVERIFY(w->close()); // nothing to ask
    }

    void sizePanelSwitchesAt1024Bytes() {
        auto w = start();
        ByteEditor* e = w->editor();
        e->setText(QString(1023, u'a'));
        QCOMPARE(panel(*w, 1), QStringLiteral("全1行：1023bytes"));
        QCOMPARE(panels(*w)->panelWidth(1), 100);
        e->moveCursor(QTextCursor::End);
        e->replaceSelection(QStringLiteral("b"));
        QCOMPARE(panel(*w, 1), QStringLiteral("全1行：1024bytes(1kbytes)"));
        QCOMPARE(panels(*w)->panelWidth(1), 200);
        e->setText(QString(1021, u'a') + u"\nあ"); // 1021 + 2 + 2 bytes
        QCOMPARE(panel(*w, 1), QStringLiteral("全2行：1025bytes(1kbytes)"));
        e->setText(QString(2047, u'a'));
        QCOMPARE(panel(*w, 1), QStringLiteral("全1行：2047bytes(1kbytes)"));
        e->setText(QStringLiteral("あ\n"));
        QCOMPARE(panel(*w, 1), QStringLiteral("全1行：4bytes"));
        QCOMPARE(panels(*w)->panelWidth(1), 100);

        // The caret column counts bytes.
        e->setSelection(2, 0);
        w->GetCaretPosition();
        QCOMPARE(panel(*w, 0), QStringLiteral("1 行目： 2 バイト目"));
        e->setSelection(4, 0);
        w->GetCaretPosition();
        QCOMPARE(panel(*w, 0), QStringLiteral("2 行目： 0 バイト目"));
        dialogs_->answer(Answer::No);
        QVERIFY(w->close());
    }

    void hiddenStatusBarKeepsItsOldPanels() {
        auto w = start();
        w->editor()->setText(QStringLiteral("abc"));
        w->VisibleStatusBarExecute();
        QCOMPARE(w->commands().action(QStringLiteral("VisibleStatusBar"))->toolTip(),
                 QStringLiteral("ステータスバーを表示します"));
        w->editor()->setText(QStringLiteral("abcdef"));
        w->VisibleStatusBarExecute();
        QCOMPARE(panel(*w, 1), QStringLiteral("全1行：3bytes"));
        dialogs_->answer(Answer::No);
        QVERIFY(w->close());
    }

    void saveAsWritesCodePage932WithCrLf() {
        auto w = start();
        w->show();
        type(*w, QStringLiteral("日本語 text"));
        QTest::keyClick(w->editor(), Qt::Key_Return);
        type(*w, QStringLiteral("二行目"));
        const QString file = path(QStringLiteral("out.txt"));
        dialogs_->answerFile(file);
        w->FileSaveAsExecute();

        QCOMPARE(readAll(file), bytes(QStringLiteral("日本語 text\n二行目")));
        QCOMPARE(w->windowTitle(), QStringLiteral("QelEditor - out.txt"));
        QCOMPARE(panel(*w, 2), QString());
        const FileRequest request = dialogs_->calls().last().file;
        QCOMPARE(request.title, QStringLiteral("名前を付けて保存"));
        QCOMPARE(request.proposedName, QStringLiteral("UnTitledDoc"));
        QCOMPARE(request.defaultExtension, QStringLiteral("txt"));
        QCOMPARE(request.selectedFilter, 9);
        QVERIFY(request.overwritePrompt);
        QCOMPARE(request.filters.size(), 11);
        QVERIFY(
            request.filters[8].startsWith(QStringLiteral("QelEditor設定ファイル (*.Qel,QelW) (")));
        QCOMPARE(request.filters[9],
                 QStringLiteral("すべてのテキストファイル (*.txt *.log *.ini *.hed "
                                "*.me *.zuvmd *.lyr *.cpp *.h *.Qel *.QelW)"));

        // Save writes to the same file without asking.
        type(*w, QStringLiteral("!"));
        w->FileSaveExecute();
        QCOMPARE(readAll(file), bytes(QStringLiteral("日本語 text\n二行目!")));
        QCOMPARE(w->windowTitle(), QStringLiteral("QelEditor - out.txt"));
        QCOMPARE(dialogs_->kinds(), QStringList{QStringLiteral("saveFile")});
    }

    void openLoadsAndResets() {
        const QString file = path(QStringLiteral("Doc.txt"));
        writeAll(file, QByteArray::fromHex("82a082a20d0a41")); // あい CR LF A
        auto w = start();
        dialogs_->answerFile(file);
        w->FileOpenAExecute();
        QCOMPARE(w->editor()->text(), QStringLiteral("あい\nA"));
        QCOMPARE(w->windowTitle(), QStringLiteral("QelEditor - Doc.txt"));
        QCOMPARE(w->documentPath(), file);
        QCOMPARE(panel(*w, 1), QStringLiteral("全2行：7bytes"));
        QCOMPARE(panel(*w, 2), QString());
        const FileRequest request = dialogs_->calls().last().file;
        QCOMPARE(request.title, QStringLiteral("ファイルを開く"));
        QVERIFY(
            request.filters[8].startsWith(QStringLiteral("QelEditor設定ファイル (*.Qel,QelW)) (")));
        QVERIFY(request.fileMustExist);
        QCOMPARE(request.startFolder, QString()); // no remembered folder

        // Saving without an edit writes the same bytes back.
        w->FileSaveExecute();
        QCOMPARE(readAll(file), QByteArray::fromHex("82a082a20d0a41"));

        // The next open proposes the name chosen last time.
        dialogs_->answerFile(std::nullopt);
        w->FileOpenAExecute();
        QCOMPARE(dialogs_->calls().last().file.proposedName, QStringLiteral("Doc.txt"));
        QCOMPARE(w->documentPath(), file);
    }

    void failedLoadChangesNothing() {
        auto w = start();
        w->show();
        type(*w, QStringLiteral("x"));
        dialogs_->answer(Answer::No);
        dialogs_->answerFile(path(QStringLiteral("missing.txt")));
        QVERIFY(!guarded([&] { w->FileOpenAExecute(); }));
        QCOMPARE(dialogs_->kinds().last(), QStringLiteral("showException"));
        QCOMPARE(w->editor()->text(), QStringLiteral("x"));
        QCOMPARE(w->documentPath(), QStringLiteral("UnTitledDoc"));
        QCOMPARE(w->windowTitle(), QStringLiteral("QelEditor - UnTitledDoc (変更有り)"));
        QVERIFY(w->isModified());

        // After a failed load of an unmodified document the next edit still counts.
        w->editor()->setText(QString());
        QVERIFY(!w->isModified());
        dialogs_->answerFile(path(QStringLiteral("missing.txt")));
        QVERIFY(!guarded([&] { w->FileOpenAExecute(); }));
        type(*w, QStringLiteral("y"));
        QVERIFY(w->isModified());
        dialogs_->answer(Answer::No);
        QVERIFY(w->close());
    }

    void failedSaveKeepsPathAndFlags() {
        auto w = start();
        w->show();
        type(*w, QStringLiteral("x"));
        QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("dir")));
        dialogs_->answerFile(path(QStringLiteral("dir")));
        QVERIFY(!guarded([&] { w->FileSaveAsExecute(); }));
        QCOMPARE(w->documentPath(), QStringLiteral("UnTitledDoc"));
        QVERIFY(w->isModified());
        QCOMPARE(panel(*w, 2), QStringLiteral("modify"));
        dialogs_->answer(Answer::No);
        QVERIFY(w->close());
    }

    void saveQuestionInNew() {
        auto w = start();
        w->show();
        type(*w, QStringLiteral("draft"));

        dialogs_->answer(Answer::Cancel);
        w->FileNewExecute();
        QCOMPARE(dialogs_->texts(QStringLiteral("askYesNoCancel")),
                 QStringList{QStringLiteral("UnTitledDocを保存しますか？")});
        QCOMPARE(w->editor()->text(), QStringLiteral("draft"));
        QCOMPARE(w->windowTitle(), QStringLiteral("QelEditor - UnTitledDoc (変更有り)"));
        QVERIFY(!w->saveCheckCancelled());

        // Yes, then the save dialog cancelled: the text stays (nothing is lost).
        dialogs_->answer(Answer::Yes);
        dialogs_->answerFile(std::nullopt);
        w->FileNewExecute();
        QCOMPARE(w->editor()->text(), QStringLiteral("draft"));
        QVERIFY(!w->saveCheckCancelled());

        // Yes and saved: the new document follows.
        const QString file = path(QStringLiteral("draft.txt"));
        dialogs_->answer(Answer::Yes);
        dialogs_->answerFile(file);
        w->FileNewExecute();
        QCOMPARE(readAll(file), QByteArray("draft"));
        QCOMPARE(w->editor()->text(), QString());
        QCOMPARE(w->windowTitle(), QStringLiteral("QelEditor - UnTitledDoc"));

        // No: the text goes.
        type(*w, QStringLiteral("more"));
        dialogs_->answer(Answer::No);
        w->FileNewExecute();
        QCOMPARE(w->editor()->text(), QString());
        QVERIFY(w->close());
    }

    void saveQuestionOnClose() {
        auto w = start();
        w->show();
        type(*w, QStringLiteral("x"));
        dialogs_->answer(Answer::Cancel);
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QVERIFY(!QFile::exists(path(QStringLiteral("DefaultMain.QelW")))); // nothing stored

        // A document with a path is still saved through the save dialog.
        const QString file = path(QStringLiteral("named.txt"));
        dialogs_->answer(Answer::Yes);
        dialogs_->answerFile(file);
        QVERIFY(w->close());
        QCOMPARE(readAll(file), QByteArray("x"));
        QVERIFY(QFile::exists(path(QStringLiteral("DefaultMain.QelW"))));
    }

    void saveQuestionInOpen() {
        const QString file = path(QStringLiteral("other.txt"));
        writeAll(file, "other");
        auto w = start();
        w->show();
        type(*w, QStringLiteral("x"));
        dialogs_->answer(Answer::Cancel);
        w->FileOpenAExecute(); // stops before the open dialog
        QCOMPARE(dialogs_->kinds(), QStringList{QStringLiteral("askYesNoCancel")});
        dialogs_->answer(Answer::No);
        dialogs_->answerFile(file);
        w->FileOpenAExecute();
        QCOMPARE(w->editor()->text(), QStringLiteral("other"));
        QVERIFY(w->close());
    }

    void commandLineOpensTheFirstMatch() {
        writeAll(path(QStringLiteral("MixedCase.TXT")), "mixed");
        writeAll(path(QStringLiteral("b.txt")), "b");
        {
            auto w = start({path(QStringLiteral("mixedcase.txt"))});
            QCOMPARE(w->windowTitle(), QStringLiteral("QelEditor - MixedCase.TXT"));
            QCOMPARE(w->editor()->text(), QStringLiteral("mixed"));
            QCOMPARE(panel(*w, 0), QStringLiteral("1 行目： 0 バイト目"));
        }
        {
            auto w = start({path(QStringLiteral("*.txt"))});
            QCOMPARE(w->documentPath(), path(QStringLiteral("b.txt")));
        }
        {
            auto w = start({path(QStringLiteral("none*.txt"))});
            QCOMPARE(w->windowTitle(), QStringLiteral("QelEditor - UnTitledDoc"));
            QCOMPARE(w->editor()->text(), QString());
        }
        {
            // A bare name is taken from the current folder and stays bare.
            const QString before = QDir::currentPath();
            QDir::setCurrent(folder_->path());
            auto w = start({QStringLiteral("b.txt")});
            QDir::setCurrent(before);
            QCOMPARE(w->documentPath(), QStringLiteral("b.txt"));
        }
        QVERIFY(dialogs_->calls().isEmpty());
    }

    void droppedFilesOpenTheLastOne() {
        QStringList files;
        for (const char* name : {"one.txt", "two.txt", "three.txt"}) {
            files << path(QString::fromLatin1(name));
            writeAll(files.last(), name);
        }
        auto w = start();
        w->show();
        w->dropOpen(files);
        QCOMPARE(w->editor()->text(), QStringLiteral("three.txt"));
        QCOMPARE(w->windowTitle(), QStringLiteral("QelEditor - three.txt"));
        QVERIFY(!w->isModified());
        QVERIFY(dialogs_->calls().isEmpty());

        // Unsaved text is not dropped without asking.
        type(*w, QStringLiteral("!"));
        dialogs_->answer(Answer::Cancel);
        w->dropOpen({files.first()});
        QCOMPARE(w->editor()->text(), QStringLiteral("!three.txt"));
        dialogs_->answer(Answer::No);
        w->dropOpen({files.first()});
        QCOMPARE(w->editor()->text(), QStringLiteral("one.txt"));
    }

    void reactivationRestoresTheCaret() {
        auto w = start();
        w->editor()->setText(QStringLiteral("abcdef"));
        w->editor()->setSelection(3, 2);
        w->FormDeactivate();
        w->editor()->setSelection(0, 6);
        w->FormActivate();
        QCOMPARE(w->editor()->selStart(), qsizetype(3));
        QCOMPARE(w->editor()->selLength(), qsizetype(0));
        dialogs_->answer(Answer::No);
        QVERIFY(w->close());
    }
};

QTEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
