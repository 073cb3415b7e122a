// The main window's command table, menus and tool bar, and its view, appearance,
// printing and clipboard commands.
#include "forms/Autocopy.h"
#include "forms/OtherWindows.h"
#include "forms/Subw.h"
#include "forms/Windows.h"
#include "platform/ByteEditor.h"
#include "platform/Printers.h"
#include "platform/ScriptedDialogs.h"
#include "platform/StatusPanels.h"
#include "settings/ProgramFolder.h"
#include "text/Cp932.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <memory>

using namespace qel;
using namespace Qt::StringLiterals;

namespace {

QAction* command(const char* name) {
    return MainForm->commands().action(QString::fromLatin1(name));
}

template <typename T> T* part(const char* name) {
    return MainForm->findChild<T*>(QString::fromLatin1(name));
}

// A menu or tool bar as a list: command or item names, "-" for a separator and
// "[title]" for a submenu.
QStringList entries(const QList<QAction*>& actions) {
    QStringList out;
    for (const QAction* a : actions) {
        if (a->isSeparator())
            out << u"-"_s;
        else if (a->menu())
            out << u"["_s + a->text() + u"]";
        else
            out << a->objectName();
    }
    return out;
}

QMenu* submenu(const QWidget* owner, const QString& title) {
    for (QAction* a : owner->actions())
        if (a->menu() && a->text() == title)
            return a->menu();
    return nullptr;
}

QStringList split(const char16_t* list) {
    return QString::fromUtf16(list).split(u' ');
}

} // namespace

class MainCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<WindowSet> windows_;

    QString path(const QString& name) const { return folder_->filePath(name); }
    void start() { windows_ = std::make_unique<WindowSet>(QStringList{}); }
    static bool activate(QWidget* window) {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window);
    }
    static QLabel* staticText() { return part<QLabel>("StaticText1"); }

private Q_SLOTS:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        setProgramFolder(folder_->path() + u'/');
        dialogs_ = std::make_unique<ScriptedDialogs>();
        setInstalledPrinterCountForTesting(0);
    }

    void cleanup() {
        windows_.reset();
        const auto& unexpected = dialogs_->unexpectedCalls();
        QVERIFY2(unexpected.isEmpty(), unexpected.isEmpty() ? ""
                                                            : qPrintable(u"unexpected dialog: " +
                                                                         unexpected.first().kind));
        QCOMPARE(dialogs_->pendingAnswers(), 0);
        dialogs_.reset();
        setProgramFolder(QString());
        folder_.reset();
        setInstalledPrinterCountForTesting(0);
    }

    void everyCommandAsTheUserSeesIt() {
        start();
        struct Row {
            const char* name;
            const char16_t* category;
            const char16_t* caption;
            const char16_t* hint; // empty: none
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
        for (const QAction* a : MainForm->commands().actions())
            names << a->objectName();
        QCOMPARE(names, expectedNames);
    }

    void mainMenu() {
        start();
        const QMenuBar* bar = part<QMenuBar>("MainMenu1");
        QVERIFY(bar);
        QCOMPARE(entries(bar->actions()),
                 split(u"[ファイル(&F)] [編集(&E)] [検索(&S)] [表示(&V)] [ウィンドウ(&W)] "
                       u"[設定(&O)] Ver1301"));
        const QAction* version = bar->actions().last();
        QCOMPARE(version->text(), u"Ver1.30"_s);
        QVERIFY(!version->isEnabled());

        QCOMPARE(entries(submenu(bar, u"ファイル(&F)"_s)->actions()),
                 split(u"FileNew FileOpenA FileSave FileSaveAs - Print PrintC - FileExit"));
        QCOMPARE(entries(submenu(bar, u"編集(&E)"_s)->actions()),
                 split(u"EditCut1 EditCopy1 EditPaste1 EditDelete1 EditSelectAll1 - EditUndo1 - "
                       u"InsertDateLines InsertDateText InsertTimeNowLines InsertTimeNowText "
                       u"InsertDateTimeNowLines InsertDateTimeNowText"));
        QCOMPARE(entries(submenu(bar, u"検索(&S)"_s)->actions()), split(u"Find Replace"));
        QCOMPARE(entries(submenu(bar, u"表示(&V)"_s)->actions()),
                 split(u"VisibleToolBar VisibleStatusBar VisibleStaticText"));
        QCOMPARE(entries(submenu(bar, u"設定(&O)"_s)->actions()),
                 split(u"FontChange FontColorChange ColorChange - OpenProperty "
                       u"OpenDateTimeFormat"));

        const QMenu* windows = submenu(bar, u"ウィンドウ(&W)"_s);
        QCOMPARE(entries(windows->actions()),
                 split(u"OpenFileList N7 OpenSubWindow22 OpenSubWindow32 - N22 N23 N24 "
                       u"ActiveMainWindow1"));
        QStringList captions;
        for (const QAction* a : windows->actions())
            captions << a->text();
        // The sub-window entries carry the sub-windows' names.
        QCOMPARE(captions, QStringList({u"ファイルリスト"_s, u"SubWindow1"_s, u"SubWindow2"_s,
                                        u"SubWindow3"_s, QString(), u"SubWindow1前面表示"_s,
                                        u"SubWindow2前面表示"_s, u"SubWindow3前面表示"_s,
                                        u"QelEditor表示"_s}));
        // Items of their own run their command, show its shortcut and follow its mark.
        const QAction* n7 = windows->actions().at(1);
        QCOMPARE(n7->shortcut(), QKeySequence(Qt::Key_F1));
        QVERIFY(n7->isCheckable() && !n7->isChecked());
        command("OpenSubWindow")->trigger();
        QVERIFY(n7->isChecked());
        QVERIFY(SubForm->isVisible());
        windows->actions().at(1)->trigger();
        QVERIFY(!n7->isChecked() && !command("OpenSubWindow")->isChecked());
        QVERIFY(SubForm->isHidden());
    }

    void contextMenu() {
        start();
        const QMenu* popup = part<QMenu>("PopupMenu1");
        QVERIFY(popup);
        QCOMPARE(entries(popup->actions()),
                 split(u"EditCut1 EditCopy1 EditPaste1 EditDelete1 EditSelectAll1 EditUndo1 - "
                       u"[ファイル] [日時の挿入] [表示] [ウィンドウ] [設定] Find Replace"));
        QCOMPARE(entries(submenu(popup, u"ファイル"_s)->actions()),
                 split(u"FileNew FileOpenA FileSave FileSaveAs - Print PrintC - FileExit"));
        QCOMPARE(entries(submenu(popup, u"日時の挿入"_s)->actions()),
                 split(u"InsertDateLines InsertDateText InsertTimeNowLines InsertTimeNowText "
                       u"InsertDateTimeNowLines InsertDateTimeNowText"));
        QCOMPARE(entries(submenu(popup, u"表示"_s)->actions()),
                 split(u"VisibleToolBar VisibleStatusBar VisibleStaticText"));
        QCOMPARE(entries(submenu(popup, u"設定"_s)->actions()),
                 split(u"FontChange FontColorChange ColorChange - OpenProperty "
                       u"OpenDateTimeFormat"));
        const QMenu* windows = submenu(popup, u"ウィンドウ"_s);
        QCOMPARE(entries(windows->actions()).size(), 8);
        QStringList captions;
        for (const QAction* a : windows->actions())
            captions << a->text();
        // Fixed captions here, whatever the sub-windows are called.
        QCOMPARE(captions,
                 QStringList({u"ファイルリスト"_s, u"サブウィンドウ１"_s, u"サブウィンドウ２"_s,
                              u"サブウィンドウ３"_s, QString(), u"サブウィンドウ１最前面表示"_s,
                              u"サブウィンドウ２最前面表示"_s, u"サブウィンドウ３最前面表示"_s}));
        windows->actions().at(3)->trigger();
        QVERIFY(SubForm3->isVisible());
        QVERIFY(command("OpenSubWindow3")->isChecked());
    }

    void toolBar() {
        start();
        const QToolBar* bar = part<QToolBar>("ToolBar1");
        QVERIFY(bar);
        QCOMPARE(bar->parentWidget()->objectName(), u"PageScroller1"_s);
        QCOMPARE(entries(bar->actions()),
                 split(u"FileNew FileOpenA FileSave FileSaveAs - EditCut1 EditCopy1 EditPaste1 "
                       u"EditDelete1 EditSelectAll1 - EditUndo1 - OpenProperty "
                       u"OpenDateTimeFormat - OpenFileList ToolButton21 ToolButton6 "
                       u"ToolButton7"));
        QStringList tips;
        for (QAction* a : bar->actions()) {
            if (a->isSeparator())
                continue;
            const QWidget* button = bar->widgetForAction(a);
            QVERIFY2(!a->icon().isNull(), qPrintable(a->objectName()));
            tips << button->toolTip();
        }
        QCOMPARE(
            tips,
            QStringList({u"新規作成"_s, u"ファイルを開く"_s, u"上書き保存"_s, u"名前を付けて保存"_s,
                         u"切り取り"_s, u"コピー"_s, u"貼り付け"_s, u"削除"_s, u"すべて選択"_s,
                         u"やり直し"_s, u"設定"_s, u"日付の挿入で挿入される項目を編集します"_s,
                         u"ファイルリストを開きます"_s, u"サブウィンドウ１を開きます"_s,
                         u"サブウィンドウ２を開きます"_s, u"サブウィンドウ３を開きます"_s}));
        for (const char* name : {"ToolButton20", "ToolButton21", "ToolButton6", "ToolButton7"})
            QVERIFY2(part<QToolButton>(name), name);
        QCOMPARE(part<QToolButton>("ToolButton20")->defaultAction(), command("OpenFileList"));

        // The file list button follows the command's hint, which says what it does next.
        part<QToolButton>("ToolButton20")->click();
        QVERIFY(ListWindow->isVisible());
        QVERIFY(part<QToolButton>("ToolButton20")->isChecked());
        QCOMPARE(part<QToolButton>("ToolButton20")->toolTip(), u"ファイルリストを閉じます"_s);
        command("OpenFileList")->trigger();
        QVERIFY(ListWindow->isHidden());
        QVERIFY(!command("OpenFileList")->isChecked());
        QCOMPARE(part<QToolButton>("ToolButton20")->toolTip(), u"ファイルリストを開きます"_s);
        ListWindow->showMinimized();
        command("OpenFileList")->trigger();
        QVERIFY(!ListWindow->isMinimized() && ListWindow->isVisible());
        QVERIFY(command("OpenFileList")->isChecked());
    }

    void toolBarAndStatusBarSwitching() {
        start();
        QVERIFY(activate(MainForm));
        QWidget* strip = part<QWidget>("PageScroller1");
        QWidget* statusBar = part<QWidget>("StatusBar1");

        QTest::keyClick(MainForm->editor(), Qt::Key_B, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(strip->isHidden());
        QVERIFY(!command("VisibleToolBar")->isChecked());
        QCOMPARE(command("VisibleToolBar")->statusTip(), u"ツールバーを表示します"_s);
        QTest::keyClick(MainForm->editor(), Qt::Key_B, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(!strip->isHidden());
        QVERIFY(command("VisibleToolBar")->isChecked());
        QCOMPARE(command("VisibleToolBar")->toolTip(), u"ツールバーを隠します"_s);

        QTest::keyClick(MainForm->editor(), Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(statusBar->isHidden());
        QVERIFY(!command("VisibleStatusBar")->isChecked());
        QCOMPARE(command("VisibleStatusBar")->statusTip(), u"ステータスバーを表示します"_s);
        QTest::keyClick(MainForm->editor(), Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(!statusBar->isHidden());
        QCOMPARE(command("VisibleStatusBar")->statusTip(), u"ステータスバーを隠します"_s);

        // The state is what the next start shows.
        command("VisibleToolBar")->trigger();
        QVERIFY(MainForm->close());
        windows_.reset();
        start();
        QVERIFY(part<QWidget>("PageScroller1")->isHidden());
        QVERIFY(!command("VisibleToolBar")->isChecked());
        QVERIFY(command("VisibleStatusBar")->isChecked());
    }

    void fontInformationSwitchesEveryFontHint() {
        start();
        MainForm->OpenSubWindow2Execute(); // shown; 1 and 3 exist hidden
        QVERIFY(activate(MainForm));
        const auto hints = [] {
            return QStringList{MainForm->editor()->toolTip(), SubForm->editor()->toolTip(),
                               SubForm2->editor()->toolTip(), SubForm3->editor()->toolTip()};
        };
        const QString hint = u"ＭＳ ゴシック, Size:10"_s;
        QCOMPARE(hints(), QStringList(4, QString()));

        QTest::keyClick(MainForm->editor(), Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(!staticText()->isHidden());
        QVERIFY(command("VisibleStaticText")->isChecked());
        QCOMPARE(hints(), QStringList(4, hint));
        // Sub-windows shown later offer it too.
        MainForm->OpenSubWindowExecute();
        QCOMPARE(SubForm->editor()->toolTip(), hint);

        QTest::keyClick(MainForm->editor(), Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(staticText()->isHidden());
        QVERIFY(!command("VisibleStaticText")->isChecked());
        QCOMPARE(hints(), QStringList(4, QString()));
        MainForm->OpenSubWindow3Execute();
        QCOMPARE(SubForm3->editor()->toolTip(), QString());
        // The hint text of the command never changes.
        QCOMPARE(command("VisibleStaticText")->statusTip(),
                 u"フォント情報の表示／非表示を切り替えます"_s);
    }

    void fontChange() {
        start();
        MainForm->VisibleStaticTextExecute();
        QFont chosen(u"Chosen Face"_s);
        chosen.setPointSize(20);
        chosen.setBold(true);
        chosen.setUnderline(true);
        dialogs_->answerFont(FontChoice{chosen, QColor(Qt::red)});
        command("FontChange")->trigger();

        const ScriptedDialogs::Call call = dialogs_->calls().last();
        QCOMPARE(call.kind, u"chooseFont"_s);
        QCOMPARE(call.fontRequest.minSize, 8);
        QCOMPARE(call.fontRequest.maxSize, 48);
        QVERIFY(!call.fontRequest.effects);
        QCOMPARE(call.font.font.family(), u"ＭＳ ゴシック"_s);
        QCOMPARE(call.font.font.pointSize(), 10);

        const QFont font = MainForm->editor()->font();
        QCOMPARE(font.family(), u"Chosen Face"_s);
        QCOMPARE(font.pointSize(), 20);
        QVERIFY(font.bold());
        QVERIFY(!font.underline()); // no effects offered, none taken
        QCOMPARE(MainForm->editor()->textColor(), QColor(Qt::black));
        QCOMPARE(staticText()->text(), u"Chosen Face,Size:20,Bold"_s);
        QCOMPARE(staticText()->font().family(), u"Chosen Face"_s);
        QCOMPARE(MainForm->editor()->toolTip(), u"Chosen Face, Size:20"_s);
        // The sub-windows keep their own fonts.
        QCOMPARE(SubForm->editor()->font().family(), u"ＭＳ ゴシック"_s);

        dialogs_->answerFont(std::nullopt);
        MainForm->FontChangeExecute();
        QCOMPARE(MainForm->editor()->font().family(), u"Chosen Face"_s);
        QCOMPARE(staticText()->text(), u"Chosen Face,Size:20,Bold"_s);
    }

    void colourChanges() {
        start();
        const auto labelColor = [](QPalette::ColorRole role) {
            return staticText()->palette().color(role);
        };
        dialogs_->answerColor(QColor(0x20, 0x40, 0x60));
        command("ColorChange")->trigger();
        QCOMPARE(dialogs_->calls().last().color, QColor(Qt::white));
        QCOMPARE(MainForm->editor()->backgroundColor(), QColor(0x20, 0x40, 0x60));
        QCOMPARE(labelColor(QPalette::Window), QColor(0x20, 0x40, 0x60));

        dialogs_->answerColor(QColor(0xf0, 0xe0, 0xd0));
        command("FontColorChange")->trigger();
        QCOMPARE(dialogs_->calls().last().color, QColor(Qt::black));
        QCOMPARE(MainForm->editor()->textColor(), QColor(0xf0, 0xe0, 0xd0));
        QCOMPARE(labelColor(QPalette::WindowText), QColor(0xf0, 0xe0, 0xd0));

        // Cancelled: nothing changes.
        dialogs_->answerColor(std::nullopt);
        dialogs_->answerColor(std::nullopt);
        MainForm->ColorChangeExecute();
        MainForm->FontColorChangeExecute();
        QCOMPARE(MainForm->editor()->backgroundColor(), QColor(0x20, 0x40, 0x60));
        QCOMPARE(labelColor(QPalette::WindowText), QColor(0xf0, 0xe0, 0xd0));

        // A font change keeps the information line in the text colour.
        QFont font(u"Another"_s);
        font.setPointSize(12);
        dialogs_->answerFont(FontChoice{font, QColor()});
        MainForm->FontChangeExecute();
        QCOMPARE(labelColor(QPalette::WindowText), QColor(0xf0, 0xe0, 0xd0));
        QCOMPARE(labelColor(QPalette::Window), QColor(0x20, 0x40, 0x60));
    }

    void printingNeedsAPrinterAtStartUp() {
        start();
        const QMenu* popupFile = submenu(part<QMenu>("PopupMenu1"), u"ファイル"_s);
        QVERIFY(!command("Print")->isEnabled());
        QVERIFY(!command("PrintC")->isEnabled());
        QVERIFY(popupFile->actions().contains(command("Print")));
        // A printer installed later does not change this run.
        setInstalledPrinterCountForTesting(1);
        QVERIFY(!command("Print")->isEnabled());
        windows_.reset();

        start();
        QVERIFY(command("Print")->isEnabled());
        QVERIFY(command("PrintC")->isEnabled());
    }

    void printWritesTheWholeTextWithTheDocumentPathAsTitle() {
        setInstalledPrinterCountForTesting(1);
        const QString document = path(u"手紙.txt"_s);
        {
            QFile f(document);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(cp932::encode(u"拝啓\n印刷のテスト\n敬具"_s));
        }
        start();
        MainForm->LoadText(document);
        MainForm->editor()->setSelection(0, 4); // a selection does not limit printing

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
        const PrintRequest request = dialogs_->calls().last().print;
        QVERIFY(request.printToFileShown);
        QVERIFY(request.printToFileChecked);
        QVERIFY(used);
        QCOMPARE(used->docName(), document);
        QCOMPARE(used->printRange(), QPrinter::AllPages);
        QFile out(pdf);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QVERIFY(out.read(4) == "%PDF");
        QVERIFY(out.size() > 500);
        out.close();

        // Cancelled: nothing is printed.
        QVERIFY(QFile::remove(pdf));
        dialogs_->answerPrint(false);
        MainForm->PrintExecute();
        QVERIFY(!QFile::exists(pdf));

        // Printer set-up asks once and prints nothing.
        dialogs_->answerPrinterSetup(true);
        command("PrintC")->trigger();
        QCOMPARE(dialogs_->kinds().last(), u"printerSetup"_s);
        QVERIFY(!QFile::exists(pdf));
    }

    void clipboardCommandsActOnTheMainEditor() {
        start();
        MainForm->editor()->setText(u"abcdef"_s);
        MainForm->editor()->setSelection(2, 2);

        // An image is no text: pasting it deletes the selection.
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        QApplication::clipboard()->setImage(image);
        MainForm->EditPaste1Execute();
        QCOMPARE(MainForm->editor()->text(), u"abef"_s);
        QCOMPARE(SubForm->editor()->text(), u"abef"_s);
        MainForm->EditUndo1Execute();
        QCOMPARE(MainForm->editor()->text(), u"abcdef"_s);
        QCOMPARE(SubForm3->editor()->text(), u"abcdef"_s);

        // Copy, cut and paste take the main editor's selection, even while a
        // sub-window's editor has the focus.
        QVERIFY(activate(SubForm));
        SubForm->editor()->setFocus();
        SubForm->editor()->setSelection(4, 2);
        MainForm->editor()->setSelection(0, 2);
        MainForm->EditCopy1Execute();
        QCOMPARE(QApplication::clipboard()->text(), u"ab"_s);
        MainForm->editor()->setSelection(2, 1);
        MainForm->EditCut1Execute();
        QCOMPARE(QApplication::clipboard()->text(), u"c"_s);
        QCOMPARE(SubForm->editor()->text(), u"abdef"_s);
        MainForm->editor()->setSelection(0, 0);
        QApplication::clipboard()->setText(u"日本"_s);
        MainForm->EditPaste1Execute();
        QCOMPARE(MainForm->editor()->text(), u"日本abdef"_s);

        // Delete, select all and undo act on the editor that has the focus.
        SubForm->editor()->setSelection(4, 2); // "ab"
        MainForm->EditDelete1Execute();
        QCOMPARE(MainForm->editor()->text(), u"日本def"_s);
        MainForm->EditUndo1Execute();
        QCOMPARE(MainForm->editor()->text(), u"日本abdef"_s);
        MainForm->EditSelectAll1Execute();
        QCOMPARE(SubForm->editor()->selLength(), qsizetype(9));
        QCOMPARE(MainForm->editor()->selLength(), qsizetype(0));
    }

    void optionsAndFormatDialogsAreMadeForOneUse() {
        start();
        TPropertyForm* startup = PropertyForm;
        QDialog* shown = nullptr;
        bool shownIsTheGlobal = false;
        dialogs_->answerExec([&](QDialog& dialog) {
            shown = &dialog;
            shownIsTheGlobal = PropertyForm == &dialog;
            return int(QDialog::Accepted);
        });
        command("OpenProperty")->trigger();
        QVERIFY(shown && shown != startup);
        QVERIFY(shownIsTheGlobal);
        QCOMPARE(dialogs_->calls().last().dialogName, u"PropertyForm"_s);
        QCOMPARE(PropertyForm, startup);

        dialogs_->answerExec(int(QDialog::Rejected));
        command("OpenDateTimeFormat")->trigger();
        QCOMPARE(dialogs_->calls().last().dialogName, u"DateTimeFormatForm"_s);
    }

    void activeMainWindowBringsTheMainWindowToTheFront() {
        start();
        QVERIFY(activate(MainForm));
        MainForm->OpenSubWindowExecute();
        QVERIFY(activate(SubForm));
        command("ActiveMainWindow")->trigger();
        QVERIFY(QTest::qWaitForWindowActive(MainForm));
    }
};

QTEST_MAIN(MainCommandsTest)
#include "MainCommandsTest.moc"
