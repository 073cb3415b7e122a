#include "Autocopy.h"

#include "Filelist.h"
#include "Subw.h"
#include "datetime/NameTables.h"
#include "document/DocumentRules.h"
#include "platform/ByteEditor.h"
#include "platform/Dialogs.h"
#include "platform/FileDrops.h"
#include "platform/Guard.h"
#include "platform/StatusPanels.h"
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

TMainForm::TMainForm(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), commands_(this) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("QelEditor"));
    QFont windowFont(QStringLiteral("ＭＳ Ｐゴシック"));
    windowFont.setPointSize(9);
    setFont(windowFont);
    createComponents();
    createCommands();
    createSearchDialogs();
    connect(qApp, &QApplication::focusChanged, this, &TMainForm::watchFocusedEditor);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &TMainForm::updateEditCommands);
    updateEditCommands();

    // FormCreate
    setJapaneseDesignators(currentNameTables());
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

TMainForm::~TMainForm() {
    // The base class still hides the window and moves the focus, after this class's
    // members are gone: nothing may call back into them from here on.
    qApp->disconnect(this);
    QApplication::clipboard()->disconnect(this);
    for (const QMetaObject::Connection& c : focusedEditorWatch_)
        disconnect(c);
    focusedEditorWatch_.clear();
}

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
    // The panels have fixed widths; a slightly smaller face keeps their texts whole.
    QFont panelFont = statusBar_->font();
    panelFont.setPointSize(8);
    statusBar_->setFont(panelFont);
    setStatusBar(statusBar_);

    connect(editor_, &ByteEditor::changed, this,
            [this] { guarded([this] { RichEdit1Change(); }); });
    connect(editor_, &ByteEditor::keyUp, this, [this] { guarded([this] { GetCaretPosition(); }); });
    connect(editor_, &ByteEditor::mouseDown, this,
            [this] { guarded([this] { GetCaretPosition(); }); });

    // An edit made in a sub-window, once every view has it: the caret rule follows.
    connect(editor_->document(), &textmodel::TextDocument::changed, this,
            [this](const textmodel::TextChange& change) {
                for (int n = 1; n <= 3; ++n) {
                    SubWindow* w = subWindow(n);
                    if (w && change.source == static_cast<const TextView*>(w->editor()))
                        guarded([w] { w->ChangeOtherText(); });
                }
            });
    const auto onDrop = [this](const QStringList& paths) { dropOpen(paths); };
    new FileDropTarget(this, onDrop);
    new FileDropTarget(editor_->viewport(), onDrop);
}

void TMainForm::openCommandLine(const QString& argument) {
    const std::optional<QString> path = findCommandLineDocument(argument);
    if (!path)
        return;
    // A file that cannot be read is reported; start-up goes on with the empty document.
    guarded([&] { loadDocument(*path); });
}

void TMainForm::FormActivate() {
    editor_->setFocus();
    editor_->setSelection(caretPosition_, selectionLength_);
}

void TMainForm::FormDeactivate() {
    caretPosition_ = editor_->selStart();
    selectionLength_ = 0;
}

void TMainForm::rememberSelection() {
    caretPosition_ = editor_->selStart();
    selectionLength_ = editor_->selLength();
}

bool TMainForm::event(QEvent* event) {
    // Menu hints stay in their tool tips: the status bar keeps its panels.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

void TMainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        guarded([this] { isActiveWindow() ? FormActivate() : FormDeactivate(); });
}

bool TMainForm::FormCloseQuery() {
    SaveCheck();
    if (takeSaveCheckCancel())
        return false;
    // The file list asks about its changes now, so that Cancel there keeps the program
    // running instead of dropping them.
    return !fileListWindow_ || fileListWindow_->FormCloseQuery();
}

void TMainForm::FormClose() {
    // Each sub-window stores its settings as on any close, before the main window; then
    // the windows leave the screen, and nothing reaches them from here on.
    const auto closeAndLeave = [](auto* w) {
        if (!w)
            return;
        guarded([w] { w->FormClose(); });
        w->hide();
    };
    for (SubWindow*& w : subWindows_) {
        closeAndLeave(w);
        w = nullptr;
    }
    closeAndLeave(fileListWindow_);
    fileListWindow_ = nullptr;
    SaveIni();
}

void TMainForm::setSubWindow(int number, SubWindow* window) {
    subWindows_[std::size_t(number - 1)] = window;
}

SubWindow* TMainForm::subWindow(int number) const {
    return number >= 1 && number <= 3 ? subWindows_[std::size_t(number - 1)] : nullptr;
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

} // namespace qel
