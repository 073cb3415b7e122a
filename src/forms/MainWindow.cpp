#include "MainWindow.h"

#include "FileListWindow.h"
#include "SubWindow.h"
#include "datetime/NameTables.h"
#include "document/DocumentRules.h"
#include "platform/ByteEditor.h"
#include "platform/Dialogs.h"
#include "platform/FileDrops.h"
#include "platform/Guard.h"
#include "platform/StatusPanels.h"
#include "recovery/EditJournal.h"
#include "settings/ProgramFolder.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
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

MainWindow::MainWindow(recovery::RecoverySession& recovery, QWidget* parent)
    : QMainWindow(parent), commands_(this) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("QelEditor"));
    QFont windowFont(QStringLiteral("ＭＳ Ｐゴシック"));
    windowFont.setPointSize(9);
    setFont(windowFont);
    createWidgets();
    journal_ = std::make_unique<recovery::EditJournal>(*editor_->document(), recovery);
    connect(journal_.get(), &recovery::EditJournal::failed, this, [](const QString& reason) {
        guarded([&] {
            dialogs().message(QStringLiteral("異常終了に備えた編集内容の控えを書き込めません。\n") +
                              reason);
        });
    });
    createCommands();
    connect(qApp, &QApplication::focusChanged, this, &MainWindow::watchFocusedEditor);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &MainWindow::updateEditCommands);
    updateEditCommands();

    // The settings, then a new document, or the one the command line names.
    setJapaneseDesignators(currentNameTables());
    programFolder_ = qel::programFolder();
    readSettings();
    updateFontHint();
    updateFontInfo();
    {
        QPalette p = fontInfo_->palette();
        p.setColor(QPalette::Window, editor_->backgroundColor());
        fontInfo_->setPalette(p);
    }
    modified_ = false;
    loading_ = false;
    captionSeparator_ = QStringLiteral(" - ");
    countPrinters();
    newFile();
    saveCancelled_ = false;
    updateCaretPanel();
    updateFormatPanel();
}

MainWindow::~MainWindow() {
    // The base class still hides the window and moves the focus, after this class's
    // members are gone: nothing may call back into them from here on.
    qApp->disconnect(this);
    QApplication::clipboard()->disconnect(this);
    for (const QMetaObject::Connection& c : focusedEditorWatch_)
        disconnect(c);
    focusedEditorWatch_.clear();
}

void MainWindow::createWidgets() {
    auto* menu = new QMenuBar(this);
    menu->setObjectName(QStringLiteral("MainMenu1"));
    setMenuBar(menu);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    toolBarStrip_ = new QWidget(central);
    toolBarStrip_->setObjectName(QStringLiteral("PageScroller1"));
    toolBarStrip_->setFixedHeight(25);
    auto* stripLayout = new QHBoxLayout(toolBarStrip_);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    toolBar_ = new QToolBar(toolBarStrip_);
    toolBar_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar_->setIconSize(QSize(16, 16));
    stripLayout->addWidget(toolBar_);
    layout->addWidget(toolBarStrip_);

    fontInfo_ = new QLabel(central);
    fontInfo_->setObjectName(QStringLiteral("StaticText1"));
    fontInfo_->setFixedHeight(16);
    fontInfo_->setFrameShape(QFrame::Box);
    fontInfo_->setAutoFillBackground(true);
    fontInfo_->hide();
    layout->addWidget(fontInfo_);

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
    // The panels have fixed widths; a slightly smaller face keeps their texts whole.
    QFont panelFont = statusBar_->font();
    panelFont.setPointSize(8);
    statusBar_->setFont(panelFont);
    setStatusBar(statusBar_);

    connect(editor_, &ByteEditor::changed, this, [this] { guarded([this] { onTextChanged(); }); });
    connect(editor_, &ByteEditor::keyUp, this, [this] { guarded([this] { updateCaretPanel(); }); });
    connect(editor_, &ByteEditor::mouseDown, this,
            [this] { guarded([this] { updateCaretPanel(); }); });

    // An edit made in a sub-window, once every view has it: the caret rule follows.
    connect(editor_->document(), &textmodel::TextDocument::changed, this,
            [this](const textmodel::TextChange& change) {
                for (int n = 1; n <= 3; ++n) {
                    SubWindow* w = subWindow(n);
                    if (w && change.source == static_cast<const TextView*>(w->editor()))
                        guarded([w] { w->shareCaretWithOtherSubWindows(); });
                }
            });
    const auto onDrop = [this](const QStringList& paths) { openDropped(paths); };
    new FileDropTarget(this, onDrop);
    new FileDropTarget(editor_->viewport(), onDrop);
}

void MainWindow::openCommandLine(const QString& argument) {
    const std::optional<QString> path = findCommandLineDocument(argument);
    if (!path)
        return;
    // A file that cannot be read is reported; start-up goes on with the document it had.
    guarded([&] {
        askToSave();
        if (!takeSaveCancelled())
            loadDocument(*path);
    });
}

void MainWindow::onActivated() {
    editor_->setFocus();
    editor_->setSelection(caretPosition_, selectionLength_);
}

void MainWindow::onDeactivated() {
    caretPosition_ = editor_->selStart();
    selectionLength_ = 0;
}

void MainWindow::rememberSelection() {
    caretPosition_ = editor_->selStart();
    selectionLength_ = editor_->selLength();
}

bool MainWindow::event(QEvent* event) {
    // Menu hints stay in their tool tips: the status bar keeps its panels.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        guarded([this] { isActiveWindow() ? onActivated() : onDeactivated(); });
}

bool MainWindow::mayClose() {
    askToSave();
    if (takeSaveCancelled())
        return false;
    // The file list asks about its changes now, so that Cancel there keeps the program
    // running instead of dropping them.
    return !fileListWindow_ || fileListWindow_->mayClose();
}

void MainWindow::closeOthersAndWriteSettings() {
    // Each sub-window stores its settings as on any close, before the main window; then
    // the windows leave the screen, and nothing reaches them from here on.
    const auto closeAndLeave = [](auto* w) {
        if (!w)
            return;
        guarded([w] { w->finishClose(); });
        w->hide();
    };
    for (SubWindow*& w : subWindows_) {
        closeAndLeave(w);
        w = nullptr;
    }
    closeAndLeave(fileListWindow_);
    fileListWindow_ = nullptr;
    writeSettings();
}

void MainWindow::setSubWindow(int number, SubWindow* window) {
    subWindows_[std::size_t(number - 1)] = window;
}

SubWindow* MainWindow::subWindow(int number) const {
    return number >= 1 && number <= 3 ? subWindows_[std::size_t(number - 1)] : nullptr;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    bool closing = false;
    if (!guarded([&] { closing = mayClose(); }) || !closing) {
        event->ignore();
        return;
    }
    // The unsaved text was saved or let go: nothing to recover.
    guarded([this] { journal_->discard(); });
    guarded([this] { closeOthersAndWriteSettings(); });
    event->accept();
    Q_EMIT closed();
}

void MainWindow::exitProgram() {
    close();
}

} // namespace qel
