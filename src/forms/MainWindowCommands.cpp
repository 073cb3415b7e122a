// The main window's command table, and the menus, context menu and tool bar built
// from it.
#include "MainWindow.h"

#include "icons/Icons.h"
#include "platform/ByteEditor.h"

#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <functional>

namespace qel {

namespace {

struct MainCommand {
    const char16_t* name;
    const char16_t* category;
    const char16_t* caption;
    const char16_t* hint; // nullptr: none
    int shortcut;         // 0: none
    bool checkable;
    bool checked;
    std::function<void(MainWindow&)> handler;
};

constexpr int key(QKeyCombination combination) {
    return combination.toCombined();
}
constexpr int key(Qt::Key k) {
    return key(QKeyCombination(k));
}
constexpr Qt::KeyboardModifiers kCtrlAlt = Qt::ControlModifier | Qt::AltModifier;

const MainCommand kMainCommands[] = {
    {u"FileNew", u"ファイル", u"新規作成(&N)", u"新規作成", key(Qt::CTRL | Qt::Key_N), false, false,
     &MainWindow::newFile},
    {u"FileOpenA", u"ファイル", u"ファイルを開く(&O)", u"ファイルを開く", key(Qt::CTRL | Qt::Key_O),
     false, false, &MainWindow::openFile},
    {u"FileSave", u"ファイル", u"上書き保存(&S)", u"上書き保存", key(Qt::CTRL | Qt::Key_S), false,
     false, &MainWindow::save},
    {u"FileSaveAs", u"ファイル", u"名前を付けて保存(&W)", u"名前を付けて保存", 0, false, false,
     &MainWindow::saveAs},
    {u"Print", u"ファイル", u"印刷(&P)", u"印刷", key(Qt::CTRL | Qt::Key_P), false, false,
     &MainWindow::print},
    {u"PrintC", u"ファイル", u"プリンタ設定(&Q)", u"プリンタ設定", 0, false, false,
     &MainWindow::setUpPrinter},
    {u"FileExit", u"ファイル", u"終了(&X)", u"終了", 0, false, false, &MainWindow::exitProgram},
    {u"EditCut1", u"編集", u"切り取り(&T)", u"切り取り", key(Qt::CTRL | Qt::Key_X), false, false,
     &MainWindow::cut},
    {u"EditCopy1", u"編集", u"コピー(&C)", u"コピー", key(Qt::CTRL | Qt::Key_C), false, false,
     &MainWindow::copy},
    {u"EditPaste1", u"編集", u"貼り付け(&P)", u"貼り付け", key(Qt::CTRL | Qt::Key_V), false, false,
     &MainWindow::paste},
    {u"EditDelete1", u"編集", u"削除(&D)", u"削除", key(Qt::CTRL | Qt::Key_Delete), false, false,
     &MainWindow::deleteSelection},
    {u"EditSelectAll1", u"編集", u"すべて選択(&A)", u"すべて選択", key(Qt::CTRL | Qt::Key_A), false,
     false, &MainWindow::selectAll},
    {u"EditUndo1", u"編集", u"元に戻す(&U)", u"やり直し", key(Qt::ALT | Qt::Key_Backspace), false,
     false, &MainWindow::undo},
    {u"InsertDateLines", u"編集", u"日付の挿入 - 行", nullptr, key(Qt::CTRL | Qt::Key_D), false,
     false, &MainWindow::insertDateLine},
    {u"InsertDateText", u"編集", u"日付の挿入 - 文", nullptr, key(kCtrlAlt | Qt::Key_D), false,
     false, &MainWindow::insertDate},
    {u"InsertTimeNowLines", u"編集", u"時刻の挿入 - 行", nullptr, key(Qt::CTRL | Qt::Key_T), false,
     false, &MainWindow::insertTimeLine},
    {u"InsertTimeNowText", u"編集", u"時刻の挿入 - 文", nullptr, key(kCtrlAlt | Qt::Key_T), false,
     false, &MainWindow::insertTime},
    {u"InsertDateTimeNowLines", u"編集", u"日付と時刻の挿入 - 行", nullptr,
     key(Qt::CTRL | Qt::Key_U), false, false, &MainWindow::insertDateTimeLine},
    {u"InsertDateTimeNowText", u"編集", u"日付と時刻の挿入 - 文", nullptr,
     key(kCtrlAlt | Qt::Key_U), false, false, &MainWindow::insertDateTime},
    {u"Find", u"検索", u"検索(&F)", nullptr, key(Qt::CTRL | Qt::Key_F), false, false,
     &MainWindow::showFindDialog},
    {u"Replace", u"検索", u"置換(&R)", nullptr, key(Qt::CTRL | Qt::Key_R), false, false,
     &MainWindow::showReplaceDialog},
    {u"VisibleToolBar", u"表示", u"ツールバー", u"ツールバーを隠します", key(kCtrlAlt | Qt::Key_B),
     true, true, &MainWindow::toggleToolBar},
    {u"VisibleStatusBar", u"表示", u"ステータスバー", u"ステータスバーを隠します",
     key(kCtrlAlt | Qt::Key_S), true, true, &MainWindow::toggleStatusBar},
    {u"VisibleStaticText", u"表示", u"フォント情報", u"フォント情報の表示／非表示を切り替えます",
     key(kCtrlAlt | Qt::Key_F), true, false, &MainWindow::toggleFontInfo},
    {u"OpenFileList", u"ウィンドウ", u"ファイルリスト", u"ファイルリストを開きます",
     key(Qt::CTRL | Qt::Key_F12), true, false, &MainWindow::toggleFileList},
    {u"OpenSubWindow", u"ウィンドウ", u"サブウィンドウ", u"サブウィンドウ１を開きます",
     key(Qt::Key_F1), true, false, [](MainWindow& w) { w.toggleSubWindow(1); }},
    {u"OpenSubWindow2", u"ウィンドウ", u"OpenSubWindow2", u"サブウィンドウ２を開きます",
     key(Qt::Key_F2), true, false, [](MainWindow& w) { w.toggleSubWindow(2); }},
    {u"OpenSubWindow3", u"ウィンドウ", u"OpenSubWindow3", u"サブウィンドウ３を開きます",
     key(Qt::Key_F3), true, false, [](MainWindow& w) { w.toggleSubWindow(3); }},
    {u"SOTSubWindow", u"ウィンドウ", u"サブウィンドウ１最前面表示",
     u"サブウィンドウ１を最前面に表示します", key(Qt::CTRL | Qt::Key_F1), true, false,
     [](MainWindow& w) { w.showSubWindowOnTop(1); }},
    {u"SOTSubWindow2", u"ウィンドウ", u"サブウィンドウ２最前面表示",
     u"サブウィンドウ２を最前面に表示します", key(Qt::CTRL | Qt::Key_F2), true, false,
     [](MainWindow& w) { w.showSubWindowOnTop(2); }},
    {u"SOTSubWindow3", u"ウィンドウ", u"サブウィンドウ３最前面表示",
     u"サブウィンドウ３を最前面に表示します", key(Qt::CTRL | Qt::Key_F3), true, false,
     [](MainWindow& w) { w.showSubWindowOnTop(3); }},
    {u"ActiveMainWindow", u"ウィンドウ", u"メインウィンドウ表示",
     u"メインウィンドウをアクティヴにします", key(Qt::CTRL | Qt::Key_F5), false, false,
     &MainWindow::activateMainWindow},
    {u"OpenDateTimeFormat", u"ウィンドウ", u"挿入日時書式設定",
     u"日付の挿入で挿入される項目を編集します", key(Qt::Key_F7), false, false,
     &MainWindow::showDateTimeFormatDialog},
    {u"FontChange", u"設定", u"フォント変更", u"フォント変更", key(Qt::Key_F10), false, false,
     &MainWindow::chooseFont},
    {u"FontColorChange", u"設定", u"文字色変更", u"文字色変更", key(Qt::Key_F11), false, false,
     &MainWindow::chooseTextColor},
    {u"ColorChange", u"設定", u"背景色設定", u"背景色変更", key(Qt::Key_F12), false, false,
     &MainWindow::chooseBackgroundColor},
    {u"OpenProperty", u"設定", u"設定(&O)", u"設定", key(kCtrlAlt | Qt::Key_P), false, false,
     &MainWindow::showOptionsDialog},
};

// Menu items and tool buttons with a caption or hint of their own: item, command,
// caption (empty: the command's).
struct OwnItem {
    const char16_t* item;
    const char16_t* command;
    const char16_t* caption;
};

const OwnItem kOwnItems[] = {
    {u"N7", u"OpenSubWindow", u"サブウィンドウ１"},
    {u"OpenSubWindow22", u"OpenSubWindow2", u"サブウィンドウ２"},
    {u"OpenSubWindow32", u"OpenSubWindow3", u"サブウィンドウ３"},
    {u"N22", u"SOTSubWindow", u""},
    {u"N23", u"SOTSubWindow2", u""},
    {u"N24", u"SOTSubWindow3", u""},
    {u"ActiveMainWindow1", u"ActiveMainWindow", u""},
    // The context menu keeps fixed captions for the sub-window entries.
    {u"PopupOpenSubWindow1", u"OpenSubWindow", u"サブウィンドウ１"},
    {u"PopupOpenSubWindow2", u"OpenSubWindow2", u"サブウィンドウ２"},
    {u"PopupOpenSubWindow3", u"OpenSubWindow3", u"サブウィンドウ３"},
    // Tool buttons whose hint says whether the button opens or closes.
    {u"ToolButton21", u"OpenSubWindow", u""},
    {u"ToolButton6", u"OpenSubWindow2", u""},
    {u"ToolButton7", u"OpenSubWindow3", u""},
};

QStringList names(std::initializer_list<const char16_t*> list) {
    QStringList out;
    for (const char16_t* n : list)
        out << QString::fromUtf16(n);
    return out;
}

} // namespace

void MainWindow::createCommands() {
    for (const MainCommand& c : kMainCommands) {
        CommandSpec spec;
        spec.name = QString::fromUtf16(c.name);
        spec.category = QString::fromUtf16(c.category);
        spec.caption = QString::fromUtf16(c.caption);
        spec.hint = c.hint ? QString::fromUtf16(c.hint) : QString();
        spec.shortcut = c.shortcut != 0 ? QKeySequence(c.shortcut) : QKeySequence();
        spec.checkable = c.checkable;
        spec.checked = c.checked;
        QAction* a = commands_.add(spec, [this, handler = c.handler] { handler(*this); });
        a->setIcon(commandIcon(spec.name));
        addAction(a); // shortcuts work while the window is active
    }
    for (const OwnItem& i : kOwnItems)
        commands_.addItem(QString::fromUtf16(i.item), QString::fromUtf16(i.command),
                          QString::fromUtf16(i.caption));
    activateItem_ = commands_.item(QStringLiteral("ActiveMainWindow1"));

    QMenuBar* bar = menuBar();
    const auto addMenu = [&](QWidget* parent, const char16_t* title,
                             std::initializer_list<const char16_t*> entries) {
        QMenu* menu = parent == bar
                          ? bar->addMenu(QString::fromUtf16(title))
                          : static_cast<QMenu*>(parent)->addMenu(QString::fromUtf16(title));
        commands_.fill(menu, names(entries));
        return menu;
    };
    addMenu(bar, u"ファイル(&F)",
            {u"FileNew", u"FileOpenA", u"FileSave", u"FileSaveAs", u"-", u"Print", u"PrintC", u"-",
             u"FileExit"});
    addMenu(bar, u"編集(&E)",
            {u"EditCut1", u"EditCopy1", u"EditPaste1", u"EditDelete1", u"EditSelectAll1", u"-",
             u"EditUndo1", u"-", u"InsertDateLines", u"InsertDateText", u"InsertTimeNowLines",
             u"InsertTimeNowText", u"InsertDateTimeNowLines", u"InsertDateTimeNowText"});
    addMenu(bar, u"検索(&S)", {u"Find", u"Replace"});
    addMenu(bar, u"表示(&V)", {u"VisibleToolBar", u"VisibleStatusBar", u"VisibleStaticText"});
    addMenu(bar, u"ウィンドウ(&W)",
            {u"OpenFileList", u"N7", u"OpenSubWindow22", u"OpenSubWindow32", u"-", u"N22", u"N23",
             u"N24", u"ActiveMainWindow1"});
    addMenu(bar, u"設定(&O)",
            {u"FontChange", u"FontColorChange", u"ColorChange", u"-", u"OpenProperty",
             u"OpenDateTimeFormat"});
    QAction* version = bar->addAction(QStringLiteral("Ver1.30"));
    version->setObjectName(QStringLiteral("Ver1301"));
    version->setEnabled(false);

    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName(QStringLiteral("PopupMenu1"));
    commands_.fill(contextMenu_, names({u"EditCut1", u"EditCopy1", u"EditPaste1", u"EditDelete1",
                                        u"EditSelectAll1", u"EditUndo1", u"-"}));
    addMenu(contextMenu_, u"ファイル",
            {u"FileNew", u"FileOpenA", u"FileSave", u"FileSaveAs", u"-", u"Print", u"PrintC", u"-",
             u"FileExit"});
    addMenu(contextMenu_, u"日時の挿入",
            {u"InsertDateLines", u"InsertDateText", u"InsertTimeNowLines", u"InsertTimeNowText",
             u"InsertDateTimeNowLines", u"InsertDateTimeNowText"});
    addMenu(contextMenu_, u"表示", {u"VisibleToolBar", u"VisibleStatusBar", u"VisibleStaticText"});
    addMenu(contextMenu_, u"ウィンドウ",
            {u"OpenFileList", u"PopupOpenSubWindow1", u"PopupOpenSubWindow2",
             u"PopupOpenSubWindow3", u"-", u"SOTSubWindow", u"SOTSubWindow2", u"SOTSubWindow3"});
    addMenu(contextMenu_, u"設定",
            {u"FontChange", u"FontColorChange", u"ColorChange", u"-", u"OpenProperty",
             u"OpenDateTimeFormat"});
    commands_.fill(contextMenu_, names({u"Find", u"Replace"}));
    editor_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(editor_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { contextMenu_->popup(editor_->mapToGlobal(at)); });

    commands_.fill(toolBar_, names({u"FileNew",
                                    u"FileOpenA",
                                    u"FileSave",
                                    u"FileSaveAs",
                                    u"-",
                                    u"EditCut1",
                                    u"EditCopy1",
                                    u"EditPaste1",
                                    u"EditDelete1",
                                    u"EditSelectAll1",
                                    u"-",
                                    u"EditUndo1",
                                    u"-",
                                    u"OpenProperty",
                                    u"OpenDateTimeFormat",
                                    u"-",
                                    u"OpenFileList",
                                    u"ToolButton21",
                                    u"ToolButton6",
                                    u"ToolButton7"}));
    toolBar_->widgetForAction(commands_.action(QStringLiteral("OpenFileList")))
        ->setObjectName(QStringLiteral("ToolButton20"));
    for (const char16_t* button : {u"ToolButton21", u"ToolButton6", u"ToolButton7"}) {
        const QString name = QString::fromUtf16(button);
        toolBar_->widgetForAction(commands_.item(name))->setObjectName(name);
    }
}

} // namespace qel
