// The main window and its document: caption, status panels, the file commands with
// their questions, the command line, and the settings files stored at exit.
#include "FormTestSupport.h"

#include "platform/Guard.h"
#include "platform/LoadProgress.h"
#include "settings/IniFile.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QScreen>
#include <QTimer>

#include <atomic>
#include <thread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace qel;
using namespace qel::testing;

namespace {

QString subWindowFile(int n, bool visible) {
    return u"[Form]\nTop=200\nLeft=200\nHeight=175\nWidth=250\nWindowName=SubWindow%1\n"
           u"StayOnTop=0\nVisible=%2\n[Editor]\nFont=ＭＳ ゴシック\nFontStyle=Normal\n"
           u"FontSize=10\nFontColor=0\nBackColor=16777215\n"_s.arg(n)
               .arg(visible ? 1 : 0);
}

} // namespace

class MainWindowTest : public QObject, ProgramFixture {
    Q_OBJECT

    QLabel* staticText() { return mainWindow()->findChild<QLabel*>(u"StaticText1"_s); }

    bool toolBarShown() {
        return !mainWindow()->findChild<QWidget*>(u"PageScroller1"_s)->isHidden();
    }

    QStringList allPanels() { return {panel(0), panel(1), panel(2), panel(3)}; }

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void firstStartShowsTheDefaults() {
        start();
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - UnTitledDoc"_s);
        QCOMPARE(outerGeometry(mainWindow()), QRect(100, 100, 500, 350));
        QCOMPARE(allPanels(), (QStringList{u"1 行目： 0 バイト目"_s, u"全0行：0bytes"_s, QString(),
                                           u"[yyyy'-'mm'-'dd'('aaa')' hh:nnAM/PM]"_s}));
        QCOMPARE(panels()->panelWidth(0), 150);
        QCOMPARE(panels()->panelWidth(3), 280);
        QCOMPARE(look(editor()), u"ＭＳ ゴシック,10 #000000/#ffffff"_s);
        QVERIFY(editor()->toolTip().isEmpty()); // no font hint
        QVERIFY(toolBarShown() && staticText()->isHidden());
        QCOMPARE(staticText()->text(), u"ＭＳ ゴシック,Size:10,Normal"_s);
        QCOMPARE(item("ActiveMainWindow1")->text(), u"QelEditor表示"_s);
    }

    void firstExitWritesEverySettingsFile() {
        start();
        mainWindow()->show();
        mainWindow()->toggleSubWindow(1);
        QVERIFY(exitProgram());
        QVERIFY(dialogs_->calls().isEmpty()); // nothing was asked
        // The sub-windows and the file list store theirs before the main window.
        QCOMPARE(readFile(path(u"QelEditor.ini"_s)),
                 cp932::encode(u"[UseQelWFile]\nSub1=%1DefaultSub1.QelW\nSub2=%1DefaultSub2.QelW\n"
                               u"Sub3=%1DefaultSub3.QelW\nMain=%1DefaultMain.QelW\n"
                               u"[FileList]\nTop=0\nLeft=0\nHeight=230\nWidth=330\nVisible=0\n"
                               u"UseListFile=%1新規リスト\n"
                               u"[InitialFolder]\nSave=\nLoad=\n"_s.arg(folder())));
        QCOMPARE(readFile(path(u"DefaultMain.QelW"_s)),
                 cp932::encode(
                     u"[Form]\nTop=100\nLeft=100\nHeight=350\nWidth=500\nWindowName=QelEditor\n"
                     u"[Editor]\nFont=ＭＳ ゴシック\nFontStyle=Normal\nFontSize=10\n"
                     u"FontColor=0\nBackColor=16777215\n"
                     u"[Visible]\nToolBar=1\nFontInfo=0\nStatusBar=1\n"
                     u"[Date&TimeFormat]\nYO=yyyy\nMO=mm\nDO=dd\nDNO='('aaa')'\n"
                     u"OO=hh\nMiO=nn\nSO=ss\nCredit=0\nAMPM=4\nMonthNumberring=0\n"
                     u"DayNames=0\nDateSortType=0\nDateTimeSortType=0\n"
                     u"DateFormat=[yyyy'-'mm'-'dd'('aaa')']\nTimeFormat=[hh:nnAM/PM]\n"
                     u"Date&TimeFormat=[yyyy'-'mm'-'dd'('aaa')' hh:nnAM/PM]\n"_s));
        QCOMPARE(readFile(path(u"DefaultSub1.QelW"_s)), cp932::encode(subWindowFile(1, true)));
        QCOMPARE(readFile(path(u"DefaultSub3.QelW"_s)), cp932::encode(subWindowFile(3, false)));
        // Spelled out once: CR LF line ends, the face name in code page 932.
        const QByteArray raw = readFile(path(u"DefaultSub1.QelW"_s));
        QVERIFY(raw.startsWith("[Form]\r\nTop=200\r\n"));
        QVERIFY(raw.contains(QByteArray::fromHex("0d0a466f6e743d826c827220835383568362834e0d0a")));
    }

    void settingsComeBackAtTheNextStart() {
        start();
        mainWindow()->show();
        placeWindow(mainWindow(), QRect(40, 60, 640, 480));
        mainWindow()->toggleToolBar();
        mainWindow()->toggleFontInfo();
        editor()->setFont(QFont(u"ＭＳ ゴシック"_s, 14, QFont::Bold, true));
        editor()->setBackgroundColor(QColor(0x10, 0x20, 0x30));
        QVERIFY(exitProgram());
        IniFile(path(u"DefaultMain.QelW"_s)).writeString(u"Form", u"WindowName", u"原稿"_s);

        start();
        QCOMPARE(outerGeometry(mainWindow()), QRect(40, 60, 640, 480));
        QCOMPARE(mainWindow()->windowTitle(), u"原稿 - UnTitledDoc"_s);
        QCOMPARE(item("ActiveMainWindow1")->text(), u"原稿表示"_s);
        QVERIFY(!toolBarShown() && !command("VisibleToolBar")->isChecked());
        QVERIFY(!staticText()->isHidden());
        QCOMPARE(editor()->toolTip(), u"ＭＳ ゴシック, Size:14"_s);
        QCOMPARE(look(editor()), u"ＭＳ ゴシック,14,bold,italic #000000/#102030"_s);

        // Odd stored values: section names in any case, an empty window name, a number
        // that is none, a style name the program does not know.
        QVERIFY(exitProgram());
        QVERIFY(
            writeText(path(u"DefaultMain.QelW"_s),
                      u"[form]\nWindowName=\nTop=abc\n[EDITOR]\nFontStyle=bold\nFontSize=12\n"_s));
        start();
        QCOMPARE(mainWindow()->windowTitle(), u" - UnTitledDoc"_s);
        QCOMPARE(item("ActiveMainWindow1")->text(), u"表示"_s);
        QCOMPARE(outerGeometry(mainWindow()).top(), 100);
        QCOMPARE(look(editor()), u"ＭＳ ゴシック,12 #000000/#ffffff"_s);
    }

    // Stored places that would make a window unusable are fitted to the screen when
    // applied; what is stored at exit is the place the window had.
    void unusableStoredPlacesAreFittedToTheScreen() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QString places[] = {
            u"Left=9000\nTop=-5000\nWidth=100000\nHeight=100000"_s,
            u"Top=2147483647\nLeft=-2147483648\nWidth=-1\nHeight=0"_s,
        };
        for (const QString& place : places) {
            QVERIFY(writeText(path(u"DefaultMain.QelW"_s), u"[Form]\n"_s + place));
            start();
            mainWindow()->show();
            mainWindow()->toggleSubWindow(1); // placed after the main window by default
            const QRect main = outerGeometry(mainWindow());
            const QRect sub = outerGeometry(subWindow(1));
            QVERIFY2(screen.contains(main) && screen.contains(sub), qPrintable(place));
            if (place.contains(u"Width=-1"_s)) {
                QCOMPARE(mainWindow()->size(), mainWindow()->minimumSize()); // as small as it goes
            } else {
                QCOMPARE(sub, QRect(main.left() + 100, main.top() + 100, main.width() / 2,
                                    main.height() / 2));
            }
            QVERIFY(exitProgram());
            const IniFile stored(path(u"DefaultMain.QelW"_s));
            QCOMPARE(QRect(stored.readInteger(u"Form", u"Left", -1),
                           stored.readInteger(u"Form", u"Top", -1),
                           stored.readInteger(u"Form", u"Width", -1),
                           stored.readInteger(u"Form", u"Height", -1)),
                     main);
        }
    }

    // In a program folder whose name code page 932 cannot hold, the settings are found
    // again at every start: the master file, which holds the paths, is UTF-8.
    void settingsComeBackInAFolderNamedOutsideCodePage932() {
        const QString jose = path(u"josé"_s) + u'/';
        QVERIFY(QDir().mkpath(jose));
        setProgramFolder(jose);
        for (int run = 1; run <= 3; ++run) {
            start();
            mainWindow()->show();
            if (run == 1) {
                placeWindow(mainWindow(), QRect(40, 60, 640, 480));
                mainWindow()->toggleSubWindow(1);
            } else {
                QCOMPARE(outerGeometry(mainWindow()), QRect(40, 60, 640, 480));
                QVERIFY(subWindow(1)->isVisible());
            }
            QVERIFY(exitProgram());
            const QByteArray master = readFile(jose + u"QelEditor.ini"_s);
            QVERIFY(master.startsWith("\xEF\xBB\xBF[UseQelWFile]\r\n"));
            QVERIFY(master.contains((u"\r\nMain="_s + jose + u"DefaultMain.QelW\r\n"_s).toUtf8()));
            // A file that holds nothing of the kind stays code page 932.
            QVERIFY(readFile(jose + u"DefaultMain.QelW"_s).startsWith("[Form]\r\n"));
        }
        // Nothing went anywhere else.
        QCOMPARE(QDir(folder_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{u"josé"_s});
    }

    void captionAndPanelsFollowTheText() {
        start();
        mainWindow()->show();
        type(editor(), u"a"_s);
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - UnTitledDoc (変更有り)"_s);
        QCOMPARE(allPanels().mid(0, 3),
                 (QStringList{u"1 行目： 1 バイト目"_s, u"全1行：1bytes"_s, u"modify"_s}));
        QTest::keyClick(editor(), Qt::Key_Backspace);
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - UnTitledDoc"_s);
        QCOMPARE(panel(2), QString());

        // The size panel switches at 1024 bytes, and widens.
        const std::pair<QString, QString> sizes[] = {
            {QString(1023, u'a'), u"全1行：1023bytes"_s},
            {QString(1024, u'a'), u"全1行：1024bytes(1kbytes)"_s},
            {QString(1021, u'a') + u"\nあ", u"全2行：1025bytes(1kbytes)"_s},
            {QString(2047, u'a'), u"全1行：2047bytes(1kbytes)"_s},
            {u"あ\n"_s, u"全1行：4bytes"_s}};
        for (const auto& [text, shown] : sizes) {
            editor()->setText(text);
            QCOMPARE(panel(1), shown);
            QCOMPARE(panels()->panelWidth(1), shown.contains(u'k') ? 200 : 100);
        }
        // The caret column counts bytes.
        editor()->setSelection(2, 0);
        mainWindow()->updateCaretPanel();
        QCOMPARE(panel(0), u"1 行目： 2 バイト目"_s);
        editor()->setSelection(4, 0);
        mainWindow()->updateCaretPanel();
        QCOMPARE(panel(0), u"2 行目： 0 バイト目"_s);
        // A hidden status bar is not kept up to date; shown again, it has its old texts.
        mainWindow()->toggleStatusBar();
        editor()->setText(u"abcdef"_s);
        mainWindow()->toggleStatusBar();
        QCOMPARE(panel(1), u"全1行：4bytes"_s);

        // At the default width the panels keep their widths, side by side from the
        // left, and those that do not fit are cut off at the window's edge.
        editor()->setText(QString(1024, u'a'));
        QCoreApplication::sendPostedEvents();
        int right = 0;
        for (const auto& [index, width] : {std::pair{0, 150}, {1, 200}, {2, 50}, {3, 280}}) {
            const QLabel* p = panels()->findChild<QLabel*>(u"Panel%1"_s.arg(index));
            QCOMPARE(p->width(), width);
            QVERIFY2(p->x() >= right, qPrintable(u"panel %1 over the one before"_s.arg(index)));
            right = p->x() + p->width();
        }
        const QLabel* last = panels()->findChild<QLabel*>(u"Panel3"_s);
        QVERIFY(last->mapTo(mainWindow(), QPoint(last->width(), 0)).x() > mainWindow()->width());
    }

    void saveAsWritesCodePage932WithCrLf() {
        start();
        mainWindow()->show();
        type(editor(), u"日本語 text"_s);
        QTest::keyClick(editor(), Qt::Key_Return);
        type(editor(), u"二行目"_s);
        const QString file = path(u"out.txt"_s);
        dialogs_->answerFile(file);
        mainWindow()->saveAs();
        QCOMPARE(readFile(file),
                 QByteArray("\x93\xfa\x96{\x8c\xea text\r\n\x93\xf1\x8d\x73\x96\xda"));
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - out.txt"_s);
        QCOMPARE(panel(2), QString());
        const FileRequest request = dialogs_->calls().last().file;
        QCOMPARE(request.title, u"名前を付けて保存"_s);
        QCOMPARE(request.proposedName, u"UnTitledDoc"_s);
        QCOMPARE(request.defaultExtension, u"txt"_s);
        QVERIFY(request.overwritePrompt && request.filters.size() == 11);
        QCOMPARE(request.filters.value(request.selectedFilter),
                 u"すべてのテキストファイル (*.txt *.log *.ini *.hed *.me *.zuvmd *.lyr *.cpp "
                 u"*.h *.Qel *.QelW)"_s);
        QVERIFY(request.filters[8].startsWith(u"QelEditor設定ファイル (*.Qel,QelW) ("_s));

        // Save writes to the same file without asking.
        type(editor(), u"!"_s);
        mainWindow()->save();
        QCOMPARE(readFile(file), cp932::encode(u"日本語 text\n二行目!"_s));
        QCOMPARE(dialogs_->kinds(), QStringList{u"saveFile"_s});
    }

    void openLoadsAndSavesTheSameBytes() {
        const QString file = path(u"Doc.txt"_s);
        const QByteArray bytes = QByteArray::fromHex("82a082a20d0a41"); // あい CR LF A
        QVERIFY(writeBytes(file, bytes));
        start();
        dialogs_->answerFile(file);
        mainWindow()->openFile();
        QCOMPARE(editor()->text(), u"あい\nA"_s);
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - Doc.txt"_s);
        QCOMPARE(panel(1), u"全2行：7bytes"_s);
        const FileRequest request = dialogs_->calls().last().file;
        QCOMPARE(request.title, u"ファイルを開く"_s);
        QVERIFY(request.filters[8].startsWith(u"QelEditor設定ファイル (*.Qel,QelW)) ("_s));
        QVERIFY(request.fileMustExist);
        QCOMPARE(request.startFolder, QString()); // no remembered folder
        mainWindow()->save();
        QCOMPARE(readFile(file), bytes);
        // The next open proposes the name chosen last time.
        dialogs_->answerFile(std::nullopt);
        mainWindow()->openFile();
        QCOMPARE(dialogs_->calls().last().file.proposedName, u"Doc.txt"_s);
        QCOMPARE(mainWindow()->documentPath(), file);
    }

    void failedLoadOrSaveChangesNothing() {
        start();
        mainWindow()->show();
        type(editor(), u"x"_s);
        dialogs_->answer(Answer::No);
        dialogs_->answerFile(path(u"missing.txt"_s));
        QVERIFY(!guarded([this] { mainWindow()->openFile(); }));
        QCOMPARE(dialogs_->kinds().last(), u"showException"_s);
        QCOMPARE(editor()->text(), u"x"_s);
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - UnTitledDoc (変更有り)"_s);
        // Saving onto a folder fails: the name and the modified mark stay.
        QVERIFY(QDir(folder_->path()).mkdir(u"dir"_s));
        dialogs_->answerFile(path(u"dir"_s));
        QVERIFY(!guarded([this] { mainWindow()->saveAs(); }));
        QCOMPARE(mainWindow()->documentPath(), u"UnTitledDoc"_s);
        QCOMPARE(panel(2), u"modify"_s);
        // After a failed load of an unmodified document the next edit still counts.
        editor()->setText(QString());
        QVERIFY(!mainWindow()->isModified());
        dialogs_->answerFile(path(u"missing.txt"_s));
        QVERIFY(!guarded([this] { mainWindow()->openFile(); }));
        type(editor(), u"y"_s);
        QVERIFY(mainWindow()->isModified());
    }

    void unsavedTextIsNeverLostWithoutAsking() {
        QVERIFY(writeBytes(path(u"other.txt"_s), "other"));
        start();
        mainWindow()->show();
        type(editor(), u"draft"_s);
        // New: Cancel keeps everything; so does Yes with the save dialog cancelled.
        dialogs_->answer(Answer::Cancel);
        mainWindow()->newFile();
        QCOMPARE(dialogs_->texts(u"askYesNoCancel"_s),
                 QStringList{u"UnTitledDocを保存しますか？"_s});
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - UnTitledDoc (変更有り)"_s);
        dialogs_->answer(Answer::Yes);
        dialogs_->answerFile(std::nullopt);
        mainWindow()->newFile();
        QCOMPARE(editor()->text(), u"draft"_s);
        // Yes and saved: the new document follows.
        dialogs_->answer(Answer::Yes);
        dialogs_->answerFile(path(u"draft.txt"_s));
        mainWindow()->newFile();
        QCOMPARE(readFile(path(u"draft.txt"_s)), QByteArray("draft"));
        QCOMPARE(editor()->text(), QString());
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - UnTitledDoc"_s);

        // Open: Cancel stops before the open dialog; No lets the file in.
        type(editor(), u"x"_s);
        dialogs_->clearCalls();
        dialogs_->answer(Answer::Cancel);
        mainWindow()->openFile();
        QCOMPARE(dialogs_->kinds(), QStringList{u"askYesNoCancel"_s});
        dialogs_->answer(Answer::No);
        dialogs_->answerFile(path(u"other.txt"_s));
        mainWindow()->openFile();
        QCOMPARE(editor()->text(), u"other"_s);

        // Exit: Cancel keeps the window open and stores nothing; Yes saves through the
        // save dialog even for a document that has a name.
        type(editor(), u"!"_s);
        dialogs_->answer(Answer::Cancel);
        QVERIFY(!mainWindow()->close());
        QVERIFY(mainWindow()->isVisible());
        QVERIFY(!QFile::exists(path(u"DefaultMain.QelW"_s)));
        dialogs_->answer(Answer::Yes);
        dialogs_->answerFile(path(u"named.txt"_s));
        QVERIFY(exitProgram());
        QCOMPARE(readFile(path(u"named.txt"_s)), QByteArray("!other"));
        QVERIFY(QFile::exists(path(u"DefaultMain.QelW"_s)));
    }

    void commandLineOpensTheFirstMatch() {
        QVERIFY(writeBytes(path(u"MixedCase.TXT"_s), "mixed") && writeBytes(path(u"b.txt"_s), "b"));
        start({path(u"mixedcase.txt"_s)});
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - MixedCase.TXT"_s);
        QCOMPARE(editor()->text(), u"mixed"_s);
        QCOMPARE(panel(0), u"1 行目： 0 バイト目"_s);
        start({path(u"*.txt"_s)});
        QCOMPARE(mainWindow()->documentPath(), path(u"b.txt"_s));
        start({path(u"none*.txt"_s)});
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - UnTitledDoc"_s);
        // A bare name is taken from the current folder and stays bare.
        const QString before = QDir::currentPath();
        QDir::setCurrent(folder_->path());
        start({u"b.txt"_s});
        QDir::setCurrent(before);
        QCOMPARE(mainWindow()->documentPath(), u"b.txt"_s);
        QVERIFY(dialogs_->calls().isEmpty());
    }

    // New, Open, a drop and the command line each start a document with nothing to
    // undo, in the main editor and in a sub-window alike.
    void aNewOrLoadedDocumentHasNothingToUndo() {
        const QString other = path(u"other.txt"_s);
        QVERIFY(writeBytes(other, "other"));
        enum class Way { New, Open, Drop, CommandLine };
        const std::pair<Way, QString> ways[] = {{Way::New, QString()},
                                                {Way::Open, u"other"_s},
                                                {Way::Drop, u"other"_s},
                                                {Way::CommandLine, u"other"_s}};
        for (const auto& [way, after] : ways) {
            start(way == Way::CommandLine ? QStringList{other} : QStringList());
            QVERIFY(activate(mainWindow()));
            mainWindow()->toggleSubWindow(1);
            QVERIFY(activate(mainWindow()));
            if (way != Way::CommandLine) {
                type(editor(), u"secret"_s);
                dialogs_->answer(Answer::No);
            }
            if (way == Way::New) {
                QTest::keyClick(editor(), Qt::Key_N, Qt::ControlModifier);
            } else if (way == Way::Open) {
                dialogs_->answerFile(other);
                QTest::keyClick(editor(), Qt::Key_O, Qt::ControlModifier);
            } else if (way == Way::Drop) {
                QVERIFY(drop(editor(), {other}));
                QTRY_COMPARE(mainWindow()->documentPath(), other);
            }
            QCOMPARE(allTexts(), fourTimes(after));
            for (ByteEditor* e : {editor(), subWindow(1)->editor()}) {
                QVERIFY(activate(e->window()));
                e->setFocus();
                QTest::keyClick(e, Qt::Key_Backspace, Qt::AltModifier);
                QCOMPARE(allTexts(), fourTimes(after));
                QVERIFY(!mainWindow()->windowTitle().endsWith(u" (変更有り)"_s));
            }
            // What is typed afterwards is undone as before.
            type(subWindow(1)->editor(), u"new"_s);
            QTest::keyClick(subWindow(1)->editor(), Qt::Key_Backspace, Qt::AltModifier);
            QCOMPARE(allTexts(), fourTimes(after));
            QVERIFY(exitProgram());
        }
    }

    void panelZeroShowsWhereTheClickPutTheCaret() {
        start();
        QVERIFY(activate(mainWindow()));
        editor()->setText(u"abc\nあいう"_s);
        editor()->setSelection(0, 0);
        mainWindow()->updateCaretPanel();
        // Between い and う.
        QTest::mouseClick(editor()->viewport(), Qt::LeftButton, {},
                          editor()->cursorRect(6).center() + QPoint(1, 0));
        QCOMPARE(editor()->selStart(), qsizetype(9));
        QCOMPARE(panel(0), u"2 行目： 4 バイト目"_s);
    }

    // A folder, a pipe or a device is a load that fails with a message, from the
    // command line or dropped; nothing else changes and nothing waits on the pipe.
    void onlyRegularFilesLoad() {
        QVERIFY(QDir(folder_->path()).mkdir(u"folder"_s));
        QStringList paths = {path(u"folder"_s), path(u"folder/"_s)};
#ifdef Q_OS_UNIX
        QVERIFY(::mkfifo(QFile::encodeName(path(u"pipe.txt"_s)).constData(), 0600) == 0);
        paths << path(u"pipe.txt"_s);
        if (QFile::exists(u"/dev/zero"_s))
            paths << u"/dev/zero"_s;
#endif
        for (const QString& p : paths) {
            dialogs_->clearCalls();
            start({p});
            QCOMPARE(dialogs_->kinds(), QStringList{u"showException"_s});
            QCOMPARE(dialogs_->texts(u"showException"_s),
                     QStringList{u"通常のファイルではありません"_s});
            QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - UnTitledDoc"_s);

            type(editor(), u"kept"_s);
            dialogs_->answer(Answer::No);
            dialogs_->clearCalls();
            QVERIFY(drop(editor(), {p}));
            QTRY_COMPARE(dialogs_->kinds().value(1), u"showException"_s);
            QCOMPARE(editor()->text(), u"kept"_s);
            QCOMPARE(mainWindow()->documentPath(), u"UnTitledDoc"_s);
            windows_.reset();
        }
    }

    // A load that takes a while shows its progress, and the window keeps repainting.
    // Escape cancels it: a failed load, which changes nothing (text, caption, path,
    // the modified state) but says why. Left to run, it ends with the document loaded.
    void aLongLoadShowsItsProgressAndEscapeCancelsIt() {
        const LoadTuning usual = loadTuning();
        const auto restore = qScopeGuard([usual] { loadTuning() = usual; });
        const QString file = path(u"big.txt"_s);
        QVERIFY(writeText(file, u"一行 of text\n"_s.repeated(20000)));
        loadTuning().progressAfter = std::chrono::milliseconds(0);
        loadTuning().loader.pieceBytes = 4096;
        loadTuning().loader.threadBytes = 4096;
        // The threads wait after their first piece until the test lets them go.
        std::atomic<bool> go = false;
        loadTuning().loader.afterPiece = [&go] {
            while (!go)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
        const auto progress = [] {
            return qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        };

        start();
        mainWindow()->show();
        type(editor(), u"draft"_s);
        const QString caption = mainWindow()->windowTitle();
        for (const bool cancel : {true, false}) {
            go = false;
            QString label;
            bool shown = false;
            QTimer::singleShot(0, this, [&] {
                QProgressDialog* dialog = progress();
                shown = dialog && dialog->isVisible() && dialog->objectName() == u"LoadProgress"_s;
                label = dialog ? dialog->labelText() : QString();
                mainWindow()->repaint(); // the window underneath still paints
                if (dialog && cancel)
                    QTest::keyClick(dialog, Qt::Key_Escape);
                go = true;
            });
            dialogs_->answer(Answer::No);
            dialogs_->answerFile(file);
            dialogs_->clearCalls();
            const bool loaded = guarded([this] { mainWindow()->openFile(); });
            QVERIFY(shown);
            QCOMPARE(label, u"big.txtを読み込んでいます…"_s);
            QCOMPARE(progress(), nullptr);
            QCOMPARE(loaded, !cancel);
            if (cancel) {
                QCOMPARE(dialogs_->texts(u"showException"_s),
                         QStringList{u"読み込みを中止しました"_s});
                QCOMPARE(editor()->text(), u"draft"_s);
                QCOMPARE(mainWindow()->windowTitle(), caption);
                QCOMPARE(mainWindow()->documentPath(), u"UnTitledDoc"_s);
                QVERIFY(mainWindow()->isModified());
            } else {
                QCOMPARE(editor()->text(), u"一行 of text\n"_s.repeated(20000));
                QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - big.txt"_s);
                QVERIFY(!mainWindow()->isModified());
            }
        }
    }

    void reactivationRestoresTheCaret() {
        start();
        editor()->setText(u"abcdef"_s);
        editor()->setSelection(3, 2);
        mainWindow()->onDeactivated();
        editor()->setSelection(0, 6);
        mainWindow()->onActivated();
        QCOMPARE(editor()->selStart(), qsizetype(3));
        QCOMPARE(editor()->selLength(), qsizetype(0));

        // A caret far down is brought back into view.
        mainWindow()->show();
        editor()->setText(QString(u"line\n"_s).repeated(300));
        editor()->setSelection(250 * 6, 0);
        mainWindow()->onDeactivated();
        editor()->setSelection(0, 0);
        QCOMPARE(editor()->firstVisibleLine(), 0);
        mainWindow()->onActivated();
        QVERIFY(editor()->viewport()->rect().contains(editor()->cursorRect(250 * 5).center()));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
