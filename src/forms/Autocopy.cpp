#include "Autocopy.h"

#include "document/DocumentRules.h"
#include "platform/ByteEditor.h"
#include "platform/Dialogs.h"
#include "platform/FileDrops.h"
#include "platform/Guard.h"
#include "platform/StatusPanels.h"
#include "settings/ProgramFolder.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace qel {

namespace {

QFont defaultEditorFont() {
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPointSize(10);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace

TMainForm::TMainForm(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), commands_(this) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("QelEditor"));
    QFont windowFont(QStringLiteral("ＭＳ Ｐゴシック"));
    windowFont.setPointSize(9);
    setFont(windowFont);
    createComponents();
    createCommands();

    // FormCreate
    programFolder_ = qel::programFolder();
    LoadIni();
    EditHintChange();
    StaticTextChange();
    {
        QPalette p = staticText_->palette();
        p.setColor(QPalette::Window, editor_->backgroundColor());
        staticText_->setPalette(p);
    }
    modifiedFlag_ = 0;
    loadingFlag_ = 0;
    captionSeparator_ = QStringLiteral(" - ");
    PrinterCheck();
    FileNewExecute();
    saveCheckCancel_ = 0;
    if (!arguments.isEmpty())
        openCommandLine(arguments.first());
    GetCaretPosition();
    ChangeFormatSBText();
}

TMainForm::~TMainForm() = default;

void TMainForm::createComponents() {
    auto* menu = new QMenuBar(this);
    menu->setObjectName(QStringLiteral("MainMenu1"));
    setMenuBar(menu);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pageScroller_ = new QWidget(central);
    pageScroller_->setObjectName(QStringLiteral("PageScroller1"));
    pageScroller_->setFixedHeight(25);
    auto* stripLayout = new QHBoxLayout(pageScroller_);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    toolBar_ = new QToolBar(pageScroller_);
    toolBar_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar_->setIconSize(QSize(16, 16));
    stripLayout->addWidget(toolBar_);
    layout->addWidget(pageScroller_);

    staticText_ = new QLabel(central);
    staticText_->setObjectName(QStringLiteral("StaticText1"));
    staticText_->setFixedHeight(16);
    staticText_->setFrameShape(QFrame::Box);
    staticText_->setAutoFillBackground(true);
    staticText_->hide();
    layout->addWidget(staticText_);

    editor_ = new ByteEditor(central);
    editor_->setObjectName(QStringLiteral("RichEdit1"));
    editor_->setFont(defaultEditorFont());
    editor_->setBackgroundColor(Qt::white);
    editor_->setTextColor(Qt::black);
    layout->addWidget(editor_);
    setCentralWidget(central);
    editor_->setFocus();

    statusBar_ = new StatusPanels({{150, Qt::AlignHCenter},
                                   {100, Qt::AlignHCenter},
                                   {50, Qt::AlignHCenter},
                                   {280, Qt::AlignLeft},
                                   {10, Qt::AlignLeft, false}},
                                  this);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(statusBar_);

    connect(editor_, &ByteEditor::changed, this,
            [this] { guarded([this] { RichEdit1Change(); }); });
    connect(editor_, &ByteEditor::keyUp, this, [this] { guarded([this] { GetCaretPosition(); }); });
    connect(editor_, &ByteEditor::mouseDown, this,
            [this] { guarded([this] { GetCaretPosition(); }); });

    const auto onDrop = [this](const QStringList& paths) { dropOpen(paths); };
    new FileDropTarget(this, onDrop);
    new FileDropTarget(editor_->viewport(), onDrop);
}

namespace {

// The main window's user commands: name, category, caption, hint, shortcut, check mark.
struct MainCommand {
    const char16_t* name;
    const char16_t* category;
    const char16_t* caption;
    const char16_t* hint;
    int shortcut; // 0: none
    bool checkable;
    bool checked;
    void (TMainForm::*handler)();
};

constexpr int key(QKeyCombination combination) {
    return combination.toCombined();
}

const MainCommand kMainCommands[] = {
    {u"FileNew", u"ファイル", u"新規作成(&N)", u"新規作成", key(Qt::CTRL | Qt::Key_N), false, false,
     &TMainForm::FileNewExecute},
    {u"FileOpenA", u"ファイル", u"ファイルを開く(&O)", u"ファイルを開く", key(Qt::CTRL | Qt::Key_O),
     false, false, &TMainForm::FileOpenAExecute},
    {u"FileSave", u"ファイル", u"上書き保存(&S)", u"上書き保存", key(Qt::CTRL | Qt::Key_S), false,
     false, &TMainForm::FileSaveExecute},
    {u"FileSaveAs", u"ファイル", u"名前を付けて保存(&W)", u"名前を付けて保存", 0, false, false,
     &TMainForm::FileSaveAsExecute},
    {u"FileExit", u"ファイル", u"終了(&X)", u"終了", 0, false, false, &TMainForm::FileExitExecute},
    {u"VisibleToolBar", u"表示", u"ツールバー", u"ツールバーを隠します",
     key(Qt::CTRL | Qt::ALT | Qt::Key_B), true, true, &TMainForm::VisibleToolBarExecute},
    {u"VisibleStatusBar", u"表示", u"ステータスバー", u"ステータスバーを隠します",
     key(Qt::CTRL | Qt::ALT | Qt::Key_S), true, true, &TMainForm::VisibleStatusBarExecute},
    {u"VisibleStaticText", u"表示", u"フォント情報", u"フォント情報の表示／非表示を切り替えます",
     key(Qt::CTRL | Qt::ALT | Qt::Key_F), true, false, &TMainForm::VisibleStaticTextExecute},
    {u"ActiveMainWindow", u"ウィンドウ", u"メインウィンドウ表示",
     u"メインウィンドウをアクティヴにします", key(Qt::CTRL | Qt::Key_F5), false, false,
     &TMainForm::ActiveMainWindowExecute},
};

} // namespace

void TMainForm::createCommands() {
    for (const MainCommand& c : kMainCommands) {
        CommandSpec spec;
        spec.name = QString::fromUtf16(c.name);
        spec.category = QString::fromUtf16(c.category);
        spec.caption = QString::fromUtf16(c.caption);
        spec.hint = QString::fromUtf16(c.hint);
        spec.shortcut = c.shortcut != 0 ? QKeySequence(c.shortcut) : QKeySequence();
        spec.checkable = c.checkable;
        spec.checked = c.checked;
        commands_.add(spec, [this, handler = c.handler] { (this->*handler)(); });
    }
    for (QAction* a : commands_.actions())
        addAction(a); // shortcuts work while the window is active

    QMenuBar* bar = menuBar();
    QMenu* fileMenu = bar->addMenu(QStringLiteral("ファイル(&F)"));
    commands_.fill(fileMenu, {QStringLiteral("FileNew"), QStringLiteral("FileOpenA"),
                              QStringLiteral("FileSave"), QStringLiteral("FileSaveAs"),
                              QStringLiteral("-"), QStringLiteral("FileExit")});
    QMenu* viewMenu = bar->addMenu(QStringLiteral("表示(&V)"));
    commands_.fill(viewMenu, {QStringLiteral("VisibleToolBar"), QStringLiteral("VisibleStatusBar"),
                              QStringLiteral("VisibleStaticText")});
    QMenu* windowMenu = bar->addMenu(QStringLiteral("ウィンドウ(&W)"));
    // The menu item carries the window name as its own caption.
    activeMainWindowItem_ = windowMenu->addAction(QString());
    activeMainWindowItem_->setObjectName(QStringLiteral("ActiveMainWindow1"));
    QAction* activate = commands_.action(QStringLiteral("ActiveMainWindow"));
    activeMainWindowItem_->setToolTip(activate->toolTip());
    activeMainWindowItem_->setStatusTip(activate->statusTip());
    activeMainWindowItem_->setShortcut(activate->shortcut());
    activeMainWindowItem_->setShortcutContext(Qt::WidgetShortcut); // the command owns the key
    connect(activeMainWindowItem_, &QAction::triggered, activate, &QAction::trigger);

    commands_.fill(toolBar_, {QStringLiteral("FileNew"), QStringLiteral("FileOpenA"),
                              QStringLiteral("FileSave"), QStringLiteral("FileSaveAs")});
}

void TMainForm::openCommandLine(const QString& argument) {
    const std::optional<QString> path = findCommandLineDocument(argument);
    if (!path)
        return;
    // A file that cannot be read is reported; start-up goes on with the empty document.
    guarded([&] { loadDocument(*path); });
}

void TMainForm::FormShow() {}

void TMainForm::FormActivate() {
    editor_->setFocus();
    editor_->setSelection(caretPosition_, 0);
}

void TMainForm::FormDeactivate() {
    caretPosition_ = editor_->selStart();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void TMainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        guarded([this] { isActiveWindow() ? FormActivate() : FormDeactivate(); });
}

bool TMainForm::FormCloseQuery() {
    SaveCheck();
    if (saveCheckCancel_ == 0)
        return true;
    saveCheckCancel_ = 0;
    return false;
}

void TMainForm::FormClose() {
    // Sub-windows and the file list store their settings as they close (later).
    SaveIni();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    bool mayClose = false;
    if (!guarded([&] { mayClose = FormCloseQuery(); }) || !mayClose) {
        event->ignore();
        return;
    }
    guarded([this] { FormClose(); });
    event->accept();
    Q_EMIT closed();
}

void TMainForm::FileExitExecute() {
    close();
}

void TMainForm::ActiveMainWindowExecute() {
    showNormal();
    raise();
    activateWindow();
}

} // namespace qel
