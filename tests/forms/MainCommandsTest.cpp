// The main window's command table, menus and tool bar, and its view, appearance,
// printing and clipboard commands.
#include "FormTestSupport.h"

#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QScopeGuard>
#include <QToolBar>
#include <QToolButton>

#include <atomic>
#include <chrono>
#include <thread>

using namespace qel;
using namespace qel::testing;

namespace {

QMenu* submenu(const QWidget* owner, const QString& title) {
    for (QAction* a : owner->actions())
        if (a->menu() && a->text() == title)
            return a->menu();
    return nullptr;
}

} // namespace

class MainCommandsTest : public QObject, ProgramFixture {
    Q_OBJECT

    template <typename T> T* part(const char* name) {
        return mainWindow()->findChild<T*>(QString::fromLatin1(name));
    }

    QLabel* staticText() { return part<QLabel>("StaticText1"); }

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void everyCommandAsTheUserSeesIt() {
        start();
        struct Row {
            const char* name;
            const char16_t *category, *caption, *hint; // hint empty: none
            const char* shortcut;
            int check; // -1: no check mark, 0: unticked, 1: ticked at first
        };
        const Row rows[] = {
            {"FileNew", u"ファイル", u"新規作成(&N)", u"新規作成", "Ctrl+N", -1},
            {"FileOpenA", u"ファイル", u"ファイルを開く(&O)", u"ファイルを開く", "Ctrl+O", -1},
            {"FileSave", u"ファイル", u"上書き保存(&S)", u"上書き保存", "Ctrl+S", -1},
            {"FileSaveAs", u"ファイル", u"名前を付けて保存(&W)", u"名前を付けて保存", "", -1},
            {"Print", u"ファイル", u"印刷(&P)", u"印刷", "Ctrl+P", -1},
            {"PrintC", u"ファイル", u"プリンタ設定(&Q)", u"プリンタ設定", "", -1},
            {"FileExit", u"ファイル", u"終了(&X)", u"終了", "", -1},
            {"EditCut1", u"編集", u"切り取り(&T)", u"切り取り", "Ctrl+X", -1},
            {"EditCopy1", u"編集", u"コピー(&C)", u"コピー", "Ctrl+C", -1},
            {"EditPaste1", u"編集", u"貼り付け(&P)", u"貼り付け", "Ctrl+V", -1},
            {"EditDelete1", u"編集", u"削除(&D)", u"削除", "Ctrl+Del", -1},
            {"EditSelectAll1", u"編集", u"すべて選択(&A)", u"すべて選択", "Ctrl+A", -1},
            {"EditUndo1", u"編集", u"元に戻す(&U)", u"やり直し", "Alt+Backspace", -1},
            {"InsertDateLines", u"編集", u"日付の挿入 - 行", u"", "Ctrl+D", -1},
            {"InsertDateText", u"編集", u"日付の挿入 - 文", u"", "Ctrl+Alt+D", -1},
            {"InsertTimeNowLines", u"編集", u"時刻の挿入 - 行", u"", "Ctrl+T", -1},
            {"InsertTimeNowText", u"編集", u"時刻の挿入 - 文", u"", "Ctrl+Alt+T", -1},
            {"InsertDateTimeNowLines", u"編集", u"日付と時刻の挿入 - 行", u"", "Ctrl+U", -1},
            {"InsertDateTimeNowText", u"編集", u"日付と時刻の挿入 - 文", u"", "Ctrl+Alt+U", -1},
            {"Find", u"検索", u"検索(&F)", u"", "Ctrl+F", -1},
            {"Replace", u"検索", u"置換(&R)", u"", "Ctrl+R", -1},
            {"VisibleToolBar", u"表示", u"ツールバー", u"ツールバーを隠します", "Ctrl+Alt+B", 1},
            {"VisibleStatusBar", u"表示", u"ステータスバー", u"ステータスバーを隠します",
             "Ctrl+Alt+S", 1},
            {"VisibleStaticText", u"表示", u"フォント情報",
             u"フォント情報の表示／非表示を切り替えます", "Ctrl+Alt+F", 0},
            {"OpenFileList", u"ウィンドウ", u"ファイルリスト", u"ファイルリストを開きます",
             "Ctrl+F12", 0},
            {"OpenSubWindow", u"ウィンドウ", u"サブウィンドウ", u"サブウィンドウ１を開きます", "F1",
             0},
            {"OpenSubWindow2", u"ウィンドウ", u"OpenSubWindow2", u"サブウィンドウ２を開きます",
             "F2", 0},
            {"OpenSubWindow3", u"ウィンドウ", u"OpenSubWindow3", u"サブウィンドウ３を開きます",
             "F3", 0},
            {"SOTSubWindow", u"ウィンドウ", u"サブウィンドウ１最前面表示",
             u"サブウィンドウ１を最前面に表示します", "Ctrl+F1", 0},
            {"SOTSubWindow2", u"ウィンドウ", u"サブウィンドウ２最前面表示",
             u"サブウィンドウ２を最前面に表示します", "Ctrl+F2", 0},
            {"SOTSubWindow3", u"ウィンドウ", u"サブウィンドウ３最前面表示",
             u"サブウィンドウ３を最前面に表示します", "Ctrl+F3", 0},
            {"ActiveMainWindow", u"ウィンドウ", u"メインウィンドウ表示",
             u"メインウィンドウをアクティヴにします", "Ctrl+F5", -1},
            {"OpenDateTimeFormat", u"ウィンドウ", u"挿入日時書式設定",
             u"日付の挿入で挿入される項目を編集します", "F7", -1},
            {"FontChange", u"設定", u"フォント変更", u"フォント変更", "F10", -1},
            {"FontColorChange", u"設定", u"文字色変更", u"文字色変更", "F11", -1},
            {"ColorChange", u"設定", u"背景色設定", u"背景色変更", "F12", -1},
            {"OpenProperty", u"設定", u"設定(&O)", u"設定", "Ctrl+Alt+P", -1},
        };
        QStringList expectedNames;
        for (const Row& row : rows) {
            expectedNames << QString::fromLatin1(row.name);
            const QAction* a = command(row.name);
            QVERIFY2(a, row.name);
            QCOMPARE(commandCategory(a), QString::fromUtf16(row.category));
            QCOMPARE(a->text(), QString::fromUtf16(row.caption));
            // The hint is the status tip and, where there is one, the tool tip.
            QCOMPARE(a->statusTip(), QString::fromUtf16(row.hint));
            if (*row.hint)
                QCOMPARE(a->toolTip(), QString::fromUtf16(row.hint));
            QCOMPARE(a->shortcut(), QKeySequence::fromString(QString::fromLatin1(row.shortcut)));
            QCOMPARE(a->isCheckable(), row.check >= 0);
            QCOMPARE(a->isChecked(), row.check == 1);
        }
        // Nothing more: internal steps are not commands the user can reach.
        QStringList names;
        for (const QAction* a : mainWindow()->commands().actions())
            names << a->objectName();
        QCOMPARE(names, expectedNames);
    }

    void menus() {
        start();
        const QMenuBar* bar = part<QMenuBar>("MainMenu1");
        QVERIFY(bar);
        QCOMPARE(entries(bar->actions()), words(u"[ファイル(&F)] [編集(&E)] [検索(&S)] [表示(&V)] "
                                                u"[ウィンドウ(&W)] [設定(&O)] Ver1301"));
        QCOMPARE(bar->actions().last()->text(), u"Ver1.30"_s);
        QVERIFY(!bar->actions().last()->isEnabled());
        const QMenu* popup = part<QMenu>("PopupMenu1");
        QVERIFY(popup);
        QCOMPARE(entries(popup->actions()),
                 words(u"EditCut1 EditCopy1 EditPaste1 EditDelete1 EditSelectAll1 EditUndo1 - "
                       u"[ファイル] [日時の挿入] [表示] [ウィンドウ] [設定] Find Replace"));

        // Menu bar and context menu share most submenus, under other titles.
        const QStringList file = words(u"FileNew FileOpenA FileSave FileSaveAs - Print PrintC - "
                                       u"FileExit");
        const QStringList insert = words(u"InsertDateLines InsertDateText InsertTimeNowLines "
                                         u"InsertTimeNowText InsertDateTimeNowLines "
                                         u"InsertDateTimeNowText");
        const QStringList view = words(u"VisibleToolBar VisibleStatusBar VisibleStaticText");
        const QStringList settings =
            words(u"FontChange FontColorChange ColorChange - OpenProperty OpenDateTimeFormat");
        QCOMPARE(entries(submenu(bar, u"ファイル(&F)"_s)->actions()), file);
        QCOMPARE(entries(submenu(popup, u"ファイル"_s)->actions()), file);
        QCOMPARE(entries(submenu(bar, u"編集(&E)"_s)->actions()),
                 words(u"EditCut1 EditCopy1 EditPaste1 EditDelete1 EditSelectAll1 - EditUndo1 -") +
                     insert);
        QCOMPARE(entries(submenu(popup, u"日時の挿入"_s)->actions()), insert);
        QCOMPARE(entries(submenu(bar, u"検索(&S)"_s)->actions()), words(u"Find Replace"));
        QCOMPARE(entries(submenu(bar, u"表示(&V)"_s)->actions()), view);
        QCOMPARE(entries(submenu(popup, u"表示"_s)->actions()), view);
        QCOMPARE(entries(submenu(bar, u"設定(&O)"_s)->actions()), settings);
        QCOMPARE(entries(submenu(popup, u"設定"_s)->actions()), settings);

        // The window menu carries the sub-windows' names, the context menu fixed captions.
        const QMenu* windows = submenu(bar, u"ウィンドウ(&W)"_s);
        QCOMPARE(entries(windows->actions()),
                 words(u"OpenFileList N7 OpenSubWindow22 OpenSubWindow32 - N22 N23 N24 "
                       u"ActiveMainWindow1"));
        QCOMPARE(
            captions(windows->actions()),
            QStringList({u"ファイルリスト"_s, u"SubWindow1"_s, u"SubWindow2"_s, u"SubWindow3"_s,
                         QString(), u"SubWindow1前面表示"_s, u"SubWindow2前面表示"_s,
                         u"SubWindow3前面表示"_s, u"QelEditor表示"_s}));
        const QMenu* popupWindows = submenu(popup, u"ウィンドウ"_s);
        QCOMPARE(captions(popupWindows->actions()),
                 QStringList({u"ファイルリスト"_s, u"サブウィンドウ１"_s, u"サブウィンドウ２"_s,
                              u"サブウィンドウ３"_s, QString(), u"サブウィンドウ１最前面表示"_s,
                              u"サブウィンドウ２最前面表示"_s, u"サブウィンドウ３最前面表示"_s}));

        // Items of their own run their command, show its shortcut and follow its mark.
        QAction* n7 = windows->actions().at(1);
        QCOMPARE(n7->shortcut(), QKeySequence(Qt::Key_F1));
        QVERIFY(n7->isCheckable() && !n7->isChecked());
        command("OpenSubWindow")->trigger();
        QVERIFY(n7->isChecked() && subWindow(1)->isVisible());
        n7->trigger();
        QVERIFY(!n7->isChecked() && !command("OpenSubWindow")->isChecked() &&
                subWindow(1)->isHidden());
        popupWindows->actions().at(3)->trigger();
        QVERIFY(subWindow(3)->isVisible() && command("OpenSubWindow3")->isChecked());
    }

    void toolBar() {
        start();
        const QToolBar* bar = part<QToolBar>("ToolBar1");
        QVERIFY(bar);
        QCOMPARE(bar->parentWidget()->objectName(), u"PageScroller1"_s);
        QCOMPARE(entries(bar->actions()),
                 words(u"FileNew FileOpenA FileSave FileSaveAs - EditCut1 EditCopy1 EditPaste1 "
                       u"EditDelete1 EditSelectAll1 - EditUndo1 - OpenProperty "
                       u"OpenDateTimeFormat - OpenFileList ToolButton21 ToolButton6 ToolButton7"));
        for (QAction* a : bar->actions()) {
            if (a->isSeparator())
                continue;
            QVERIFY2(!a->icon().isNull(), qPrintable(a->objectName()));
            QCOMPARE(bar->widgetForAction(a)->toolTip(), a->statusTip());
        }
        QCOMPARE(part<QToolButton>("ToolButton21")->toolTip(), u"サブウィンドウ１を開きます"_s);

        // The file list button follows the command's hint, which says what it does next.
        auto* list = part<QToolButton>("ToolButton20");
        QVERIFY(list);
        list->click();
        QVERIFY(fileListWindow()->isVisible() && list->isChecked());
        QCOMPARE(list->toolTip(), u"ファイルリストを閉じます"_s);
        command("OpenFileList")->trigger();
        QVERIFY(fileListWindow()->isHidden() && !command("OpenFileList")->isChecked());
        QCOMPARE(list->toolTip(), u"ファイルリストを開きます"_s);
        fileListWindow()->showMinimized();
        command("OpenFileList")->trigger();
        QVERIFY(!fileListWindow()->isMinimized() && fileListWindow()->isVisible());
        QVERIFY(command("OpenFileList")->isChecked());
    }

    void toolBarAndStatusBarSwitching() {
        start();
        QVERIFY(activate(mainWindow()));
        QWidget* strip = part<QWidget>("PageScroller1");
        QWidget* statusBar = part<QWidget>("StatusBar1");
        const auto press = [this](Qt::Key key) {
            QTest::keyClick(editor(), key, Qt::ControlModifier | Qt::AltModifier);
        };
        press(Qt::Key_B);
        QVERIFY(strip->isHidden() && !command("VisibleToolBar")->isChecked());
        QCOMPARE(command("VisibleToolBar")->statusTip(), u"ツールバーを表示します"_s);
        press(Qt::Key_B);
        QVERIFY(!strip->isHidden() && command("VisibleToolBar")->isChecked());
        QCOMPARE(command("VisibleToolBar")->toolTip(), u"ツールバーを隠します"_s);
        press(Qt::Key_S);
        QVERIFY(statusBar->isHidden() && !command("VisibleStatusBar")->isChecked());
        QCOMPARE(command("VisibleStatusBar")->statusTip(), u"ステータスバーを表示します"_s);
        press(Qt::Key_S);
        QVERIFY(!statusBar->isHidden());
        QCOMPARE(command("VisibleStatusBar")->statusTip(), u"ステータスバーを隠します"_s);
    }

    void fontInformationSwitchesEveryFontHint() {
        start();
        mainWindow()->toggleSubWindow(2); // shown; 1 and 3 exist hidden
        QVERIFY(activate(mainWindow()));
        const auto hints = [this] {
            return QStringList{editor()->toolTip(), subWindow(1)->editor()->toolTip(),
                               subWindow(2)->editor()->toolTip(),
                               subWindow(3)->editor()->toolTip()};
        };
        QCOMPARE(hints(), fourTimes(QString()));
        QTest::keyClick(editor(), Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(!staticText()->isHidden() && command("VisibleStaticText")->isChecked());
        QCOMPARE(hints(), fourTimes(u"ＭＳ ゴシック, Size:10"_s));
        QTest::keyClick(editor(), Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(staticText()->isHidden() && !command("VisibleStaticText")->isChecked());
        QCOMPARE(hints(), fourTimes(QString()));
        // The hint text of the command never changes.
        QCOMPARE(command("VisibleStaticText")->statusTip(),
                 u"フォント情報の表示／非表示を切り替えます"_s);
    }

    void fontAndColourChanges() {
        start();
        mainWindow()->toggleFontInfo();
        QFont chosen(u"Chosen Face"_s);
        chosen.setPointSize(20);
        chosen.setBold(true);
        chosen.setUnderline(true);
        dialogs_->answerFont(FontChoice{chosen, QColor(Qt::red)});
        command("FontChange")->trigger();
        const ScriptedDialogs::Call call = dialogs_->calls().last();
        QCOMPARE(call.fontRequest, (FontRequest{.minSize = 8, .maxSize = 48, .effects = false}));
        QCOMPARE(call.font.font.family(), u"ＭＳ ゴシック"_s);
        QCOMPARE(call.font.font.pointSize(), 10);
        // No effects offered, none taken.
        QCOMPARE(look(editor()), u"Chosen Face,20,bold #000000/#ffffff"_s);
        QCOMPARE(staticText()->text(), u"Chosen Face,Size:20,Bold"_s);
        QCOMPARE(staticText()->font().family(), u"Chosen Face"_s);
        QCOMPARE(editor()->toolTip(), u"Chosen Face, Size:20"_s);
        QCOMPARE(subWindow(1)->editor()->font().family(), u"ＭＳ ゴシック"_s); // its own font

        // The colours reach the information line too; cancelled dialogs change nothing.
        const auto labelColor = [this](QPalette::ColorRole role) {
            return staticText()->palette().color(role);
        };
        const QColor back(0x20, 0x40, 0x60), ink(0xf0, 0xe0, 0xd0);
        dialogs_->answerColor(back);
        command("ColorChange")->trigger();
        QCOMPARE(dialogs_->calls().last().color, QColor(Qt::white));
        dialogs_->answerColor(ink);
        command("FontColorChange")->trigger();
        QCOMPARE(dialogs_->calls().last().color, QColor(Qt::black));
        dialogs_->answerFont(std::nullopt);
        dialogs_->answerColor(std::nullopt);
        dialogs_->answerColor(std::nullopt);
        mainWindow()->chooseFont();
        mainWindow()->chooseBackgroundColor();
        mainWindow()->chooseTextColor();
        QCOMPARE(look(editor()), u"Chosen Face,20,bold #f0e0d0/#204060"_s);
        QCOMPARE(labelColor(QPalette::Window), back);
        QCOMPARE(labelColor(QPalette::WindowText), ink);
        // A font change keeps the information line in the text colour.
        dialogs_->answerFont(FontChoice{QFont(u"Another"_s, 12), QColor()});
        mainWindow()->chooseFont();
        QCOMPARE(labelColor(QPalette::WindowText), ink);
        QCOMPARE(labelColor(QPalette::Window), back);
        QCOMPARE(staticText()->text(), u"Another,Size:12,Normal"_s);
    }

    void printingNeedsAPrinterAtStartUp() {
        start();
        QVERIFY(!command("Print")->isEnabled() && !command("PrintC")->isEnabled());
        // A printer installed later does not change this run.
        setInstalledPrinterCountForTesting(1);
        QVERIFY(!command("Print")->isEnabled());
        start();
        QVERIFY(command("Print")->isEnabled() && command("PrintC")->isEnabled());
    }

    // The print system is asked once the window is up, so that the window does not wait
    // for it: printing stays off until it answers, then follows its count.
    void printingWaitsForThePrintSystemsAnswer() {
        std::atomic<bool> answer = false;
        // Answers when the test lets it, or after a few seconds (a window that waited
        // for it then shows printing on at once).
        setPrinterCounterForTesting([&answer] {
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
            while (!answer && std::chrono::steady_clock::now() < end)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return 2;
        });
        const auto restore = qScopeGuard([&answer] {
            answer = true;
            installedPrinterCount(); // the counting thread is done with `answer`
            setPrinterCounterForTesting(nullptr);
        });
        setInstalledPrinterCountForTesting(-1);
        start();
        QVERIFY(!command("Print")->isEnabled() && !command("PrintC")->isEnabled());
        QTest::qWait(100);
        QVERIFY(!command("Print")->isEnabled());
        answer = true;
        QTRY_VERIFY(command("Print")->isEnabled() && command("PrintC")->isEnabled());
    }

    void printWritesTheWholeTextWithTheDocumentPathAsTitle() {
        setInstalledPrinterCountForTesting(1);
        const QString document = path(u"手紙.txt"_s);
        QVERIFY(writeText(document, u"拝啓\n印刷のテスト\n敬具"_s));
        start();
        mainWindow()->loadDocument(document);
        editor()->setSelection(0, 4); // a selection does not limit printing
        const QString pdf = path(u"out.pdf"_s);
        QPrinter* used = nullptr;
        dialogs_->answerPrint([&](QPrinter& printer) {
            used = &printer;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPrintRange(QPrinter::Selection);
            return true;
        });
        command("Print")->trigger();
        QCOMPARE(dialogs_->kinds(), QStringList{u"print"_s});
        QCOMPARE(dialogs_->calls().last().print,
                 (PrintRequest{.printToFileShown = true, .printToFileChecked = true}));
        QVERIFY(used);
        QCOMPARE(used->docName(), document);
        QCOMPARE(used->printRange(), QPrinter::AllPages);
        QVERIFY(readFile(pdf).startsWith("%PDF"));
        QVERIFY(readFile(pdf).size() > 500);

        // Cancelled: nothing is printed. Printer set-up asks once and prints nothing.
        QVERIFY(QFile::remove(pdf));
        dialogs_->answerPrint(false);
        mainWindow()->print();
        dialogs_->answerPrinterSetup(true);
        command("PrintC")->trigger();
        QCOMPARE(dialogs_->kinds().last(), u"printerSetup"_s);
        QVERIFY(!QFile::exists(pdf));
    }

    void clipboardCommandsActOnTheMainEditor() {
        start();
        editor()->setText(u"abcdef"_s);
        editor()->setSelection(2, 2);
        // An image is no text: pasting it deletes the selection.
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        QApplication::clipboard()->setImage(image);
        mainWindow()->paste();
        QCOMPARE(allTexts(), fourTimes(u"abef"_s));
        mainWindow()->undo();
        QCOMPARE(allTexts(), fourTimes(u"abcdef"_s));

        // Copy, cut and paste take the main editor's selection, even while a
        // sub-window's editor has the focus.
        QVERIFY(activate(subWindow(1)));
        subWindow(1)->editor()->setFocus();
        subWindow(1)->editor()->setSelection(4, 2);
        editor()->setSelection(0, 2);
        mainWindow()->copy();
        QCOMPARE(QApplication::clipboard()->text(), u"ab"_s);
        editor()->setSelection(2, 1);
        mainWindow()->cut();
        QCOMPARE(QApplication::clipboard()->text(), u"c"_s);
        editor()->setSelection(0, 0);
        QApplication::clipboard()->setText(u"日本"_s);
        mainWindow()->paste();
        QCOMPARE(allTexts(), fourTimes(u"日本abdef"_s));

        // Delete, select all and undo act on the editor that has the focus.
        subWindow(1)->editor()->setSelection(4, 2); // "ab"
        mainWindow()->deleteSelection();
        QCOMPARE(editor()->text(), u"日本def"_s);
        mainWindow()->undo();
        QCOMPARE(editor()->text(), u"日本abdef"_s);
        mainWindow()->selectAll();
        QCOMPARE(subWindow(1)->editor()->selLength(), qsizetype(9));
        QCOMPARE(editor()->selLength(), qsizetype(0));
    }

    void activeMainWindowBringsTheMainWindowToTheFront() {
        start();
        QVERIFY(activate(mainWindow()));
        mainWindow()->toggleSubWindow(1);
        QVERIFY(activate(subWindow(1)));
        command("ActiveMainWindow")->trigger();
        QVERIFY(QTest::qWaitForWindowActive(mainWindow()));
    }
};

QTEST_MAIN(MainCommandsTest)
#include "MainCommandsTest.moc"
