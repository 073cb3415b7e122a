#include "SubWindow.h"

#include "MainWindow.h"
#include "WindowSettings.h"
#include "document/DocumentRules.h"
#include "platform/ByteEditor.h"
#include "platform/Dialogs.h"
#include "platform/FileDrops.h"
#include "platform/Guard.h"
#include "platform/WindowPlacement.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolder.h"
#include "settings/SettingValues.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QMenu>
#include <QMimeData>
#include <QVBoxLayout>

namespace qel {

namespace {

const QString kForm = QStringLiteral("Form");

const SubWindowTraits kTraits[3] = {
    {u"SubForm", u"Sub1", u"DefaultSub1.QelW", u"SubWindow1", u"OpenSubWindow", u"SOTSubWindow",
     u"N7", u"N22", u"ToolButton21", u"サブウィンドウ１を開きます", u"サブウィンドウ１を閉じます",
     u"サブウィンドウ１を最前面に表示します", u"サブウィンドウ１の前面表示を解除します", true},
    {u"SubForm2", u"Sub2", u"DefaultSub2.QelW", u"SubWindow2", u"OpenSubWindow2", u"SOTSubWindow2",
     u"OpenSubWindow22", u"N23", u"ToolButton6", u"サブウィンドウ２を開きます",
     u"サブウィンドウ２を閉じます", u"サブウィンドウ２を最前面に表示します",
     u"サブウィンドウ２の前面表示を解除します", true},
    {u"SubForm3", u"Sub3", u"DefaultSub3.QelW", u"SubWindow3", u"OpenSubWindow3", u"SOTSubWindow3",
     u"OpenSubWindow32", u"N24", u"ToolButton7", u"サブウィンドウ３を開きます",
     u"サブウィンドウ３を閉じます", u"サブウィンドウ３を最前面に表示します",
     u"サブウィンドウ３の前面表示を解除します", false}};

QString str(const char16_t* text) {
    return QString::fromUtf16(text);
}

void setHint(QAction* action, const QString& hint) {
    if (action) {
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
}

struct SubCommand {
    const char16_t* name;
    const char16_t* category;
    const char16_t* caption;
    const char16_t* hint;
    int shortcut;
    void (SubWindow::*handler)();
};

constexpr int key(QKeyCombination combination) {
    return combination.toCombined();
}

const SubCommand kSubCommands[] = {
    {u"FontChange", u"設定", u"フォント変更", u"フォント変更", key(QKeyCombination(Qt::Key_F10)),
     &SubWindow::chooseFont},
    {u"ColorChange", u"設定", u"背景色変更", u"背景色変更", key(QKeyCombination(Qt::Key_F12)),
     &SubWindow::chooseBackgroundColor},
    {u"FontColorChange", u"設定", u"文字色変更", u"文字色変更", key(QKeyCombination(Qt::Key_F11)),
     &SubWindow::chooseTextColor},
    {u"StayOnTop", u"設定", u"常に前面に表示", u"常に前面に表示します",
     key(QKeyCombination(Qt::Key_F9)), &SubWindow::toggleStayOnTop},
    {u"EditCopy", u"編集", u"コピー(&C)", u"コピー", key(Qt::CTRL | Qt::Key_C), &SubWindow::copy},
    {u"EditCut", u"編集", u"切り取り(&T)", u"切り取り", key(Qt::CTRL | Qt::Key_X), &SubWindow::cut},
    {u"EditPaste", u"編集", u"貼り付け(&P)", u"貼り付け", key(Qt::CTRL | Qt::Key_V),
     &SubWindow::paste},
};

} // namespace

SubWindow::SubWindow(int number, MainWindow& mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window), traits_(kTraits[number - 1]), mainWindow_(mainWindow),
      commands_(this) {
    setObjectName(str(traits_.objectName));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    editor_ = new ByteEditor(this);
    editor_->setObjectName(QStringLiteral("RichEdit"));
    editor_->setHideSelectionWhenUnfocused(true);
    layout->addWidget(editor_);
    createCommands();
    const auto onDrop = [this](const QStringList& paths) { openDropped(paths); };
    new FileDropTarget(this, onDrop);
    new FileDropTarget(editor_->viewport(), onDrop);

    // Its settings, then the main window's document.
    programFolder_ = qel::programFolder();
    captionSeparator_ = QStringLiteral(" - ");
    readSettings();
    followMainDocument();
    updateFontHint();
    updateCaption();
}

SubWindow::~SubWindow() = default;

QAction* SubWindow::mainAction(const char16_t* name) const {
    if (QAction* a = mainWindow_.commands().action(str(name)))
        return a;
    return mainWindow_.commands().item(str(name));
}

void SubWindow::createCommands() {
    for (const SubCommand& c : kSubCommands) {
        CommandSpec spec;
        spec.name = str(c.name);
        spec.category = str(c.category);
        spec.caption = str(c.caption);
        spec.hint = str(c.hint);
        spec.shortcut = QKeySequence(c.shortcut);
        spec.checkable = spec.name == u"StayOnTop";
        QAction* a = commands_.add(spec, [this, handler = c.handler] { (this->*handler)(); });
        addAction(a);
        // The clipboard commands show the main window's pictures.
        const char16_t* mainName = spec.name == u"EditCopy"    ? u"EditCopy1"
                                   : spec.name == u"EditCut"   ? u"EditCut1"
                                   : spec.name == u"EditPaste" ? u"EditPaste1"
                                                               : nullptr;
        if (QAction* m = mainName ? mainWindow_.commands().action(str(mainName)) : nullptr)
            a->setIcon(m->icon());
    }

    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName(QStringLiteral("PopupMenu"));
    commands_.fill(contextMenu_, {QStringLiteral("EditCut"), QStringLiteral("EditCopy"),
                                  QStringLiteral("EditPaste")});
    // The main window's commands in the context menu keep their shortcuts here too.
    const auto borrow = [this](const char16_t* name, QMenu* menu) {
        if (QAction* a = mainWindow_.commands().action(str(name))) {
            menu->addAction(a);
            addAction(a);
        }
    };
    borrow(u"EditDelete1", contextMenu_);
    borrow(u"EditSelectAll1", contextMenu_);
    contextMenu_->addSeparator();
    borrow(u"EditUndo1", contextMenu_);
    contextMenu_->addSeparator();
    QMenu* settings = contextMenu_->addMenu(QStringLiteral("設定"));
    commands_.fill(settings, {QStringLiteral("StayOnTop"), QStringLiteral("FontChange"),
                              QStringLiteral("FontColorChange"), QStringLiteral("ColorChange"),
                              QStringLiteral("-")});
    borrow(u"OpenProperty", settings);
    editor_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(editor_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { contextMenu_->popup(editor_->mapToGlobal(at)); });
}

bool SubWindow::staysOnTop() const {
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void SubWindow::setOnTop(bool onTop) {
    if (staysOnTop() == onTop)
        return;
    const bool shown = isVisible();
    const QRect outer = outerGeometry(this);
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop); // hides the window
    if (shown) {
        placeWindow(this, outer);
        show();
    }
}

void SubWindow::readSettings() {
    {
        IniFile ini(programFolder_ + u"QelEditor.ini");
        windowSettingsPath_ = ini.readString(u"UseQelWFile", QStringView(traits_.settingsFileKey),
                                             programFolder_ + str(traits_.defaultSettingsFile));
    }
    readWindowSettings();
}

void SubWindow::readWindowSettings() {
    {
        IniFile ini(windowSettingsPath_);
        const WindowPlace main = outerGeometry(&mainWindow_);
        // Halving truncates towards zero, as integer division does.
        placeWindow(this, readPlacement(ini, WindowPlace(main.left + 100, main.top + 100,
                                                         main.width / 2, main.height / 2)));

        windowName_ = ini.readString(kForm, u"WindowName", str(traits_.defaultName));
        if (QAction* item = mainAction(traits_.nameItem))
            item->setText(windowName_);
        if (QAction* item = mainAction(traits_.onTopItem))
            item->setText(windowName_ + u"前面表示");

        setOnTop(isOnTopStyle(ini.readInteger(kForm, u"StayOnTop", kOrdinaryWindowStyle)));

        const bool shown = ini.readBool(kForm, u"Visible", false);
        setVisible(shown);
        if (QAction* open = mainAction(traits_.openCommand))
            open->setChecked(shown);
        // The tool button says what pressing it does next, as after the open command.
        setHint(mainAction(traits_.toolButton), str(shown ? traits_.closeHint : traits_.openHint));

        // Whatever the file leaves out is taken from the main editor.
        const ByteEditor* mainEditor = mainWindow_.editor();
        readEditorLook(
            ini, editor_,
            {mainEditor->font(), mainEditor->textColor(), mainEditor->backgroundColor()});

        const bool onTop = staysOnTop();
        commands_.action(QStringLiteral("StayOnTop"))->setChecked(onTop);
        if (QAction* sot = mainAction(traits_.onTopCommand))
            sot->setChecked(onTop);
    }
    updateCaption();
}

void SubWindow::writeSettings() {
    {
        IniFile ini(programFolder_ + u"QelEditor.ini");
        ini.writeString(u"UseQelWFile", QStringView(traits_.settingsFileKey), windowSettingsPath_);
    }
    writeWindowSettings();
}

void SubWindow::writeWindowSettings() {
    IniFile ini(windowSettingsPath_);
    writePlacement(ini, this);
    ini.writeString(kForm, u"WindowName", windowName_);
    ini.writeInteger(kForm, u"StayOnTop", windowStyleNumber(staysOnTop()));
    ini.writeBool(kForm, u"Visible", isVisible());
    writeEditorLook(ini, editor_);
}

void SubWindow::followMainDocument() {
    // The sub-window's editor is a view of the main window's document.
    if (editor_->document() != mainWindow_.editor()->document())
        editor_->setDocument(mainWindow_.editor()->document());
}

void SubWindow::shareCaretWithOtherSubWindows() {
    // Runs after an edit made here, once every view of the document has it: another
    // shown sub-window remembers where the edit took place.
    const qsizetype caret = editor_->selStart();
    for (int n = 1; n <= 3; ++n) {
        SubWindow* other = mainWindow_.subWindow(n);
        if (!other || other == this || !other->isVisible())
            continue;
        if (other->editor()->selStart() != caret)
            other->setRememberedCaret(caret);
    }
}

void SubWindow::updateFontHint() {
    editor_->setHint(fontHintText(editor_->font()));
}

void SubWindow::updateCaption() {
    setWindowTitle(
        documentCaption(windowName_, captionSeparator_, mainWindow_.documentPath(), false));
}

void SubWindow::toggleStayOnTop() {
    const qsizetype caret = editor_->selStart();
    QAction* own = commands_.action(QStringLiteral("StayOnTop"));
    QAction* main = mainAction(traits_.onTopCommand);
    if (staysOnTop()) {
        setOnTop(false);
        own->setChecked(false);
        setHint(own, QStringLiteral("常に前面に表示します"));
        if (main) {
            main->setChecked(false);
            setHint(main, str(traits_.onTopOffHint));
        }
    } else {
        setOnTop(true);
        own->setChecked(true);
        setHint(own, QStringLiteral("前面表示を解除します"));
        if (main) {
            main->setChecked(true);
            setHint(main, str(traits_.onTopOnHint));
        }
    }
    // The text is the main text already: every editor shows the one document.
    editor_->setSelection(caret, 0);
}

void SubWindow::chooseFont() {
    FontRequest request;
    request.effects = traits_.fontEffects;
    const std::optional<FontChoice> chosen =
        dialogs().chooseFont({editor_->font(), editor_->textColor()}, request);
    if (!chosen)
        return;
    QFont font = chosen->font;
    if (!traits_.fontEffects) {
        font.setUnderline(editor_->font().underline());
        font.setStrikeOut(editor_->font().strikeOut());
    }
    editor_->setFont(font);
    if (traits_.fontEffects && chosen->color.isValid())
        editor_->setTextColor(chosen->color);
    updateFontHint();
}

void SubWindow::chooseBackgroundColor() {
    if (const std::optional<QColor> c = dialogs().chooseColor(editor_->backgroundColor()))
        editor_->setBackgroundColor(*c);
}

void SubWindow::chooseTextColor() {
    if (const std::optional<QColor> c = dialogs().chooseColor(editor_->textColor()))
        editor_->setTextColor(*c);
}

void SubWindow::copy() {
    editor_->copy();
}

void SubWindow::cut() {
    editor_->cut();
}

void SubWindow::paste() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    editor_->replaceSelection(data && data->hasText() ? data->text() : QString());
}

void SubWindow::openDropped(const QStringList& paths) {
    activateWindow();
    raise();
    mainWindow_.openDropped(paths);
}

void SubWindow::onShown() {
    editor_->setShowHint(mainWindow_.isFontInfoShown());
}

void SubWindow::onActivated() {
    editor_->setFocus();
    editor_->setSelection(caretPosition_, 0);
}

void SubWindow::onDeactivated() {
    caretPosition_ = editor_->selStart();
}

void SubWindow::finishClose() {
    if (QAction* open = mainAction(traits_.openCommand))
        open->setChecked(false);
    setHint(mainAction(traits_.toolButton), str(traits_.openHint));
    writeSettings();
}

void SubWindow::closeEvent(QCloseEvent* event) {
    // Closed by the user: the window is gone from the screen, and its settings file
    // says so, so that it stays closed at the next start.
    hide();
    guarded([this] { finishClose(); });
    event->accept(); // only hides: the window lives as long as the program
}

void SubWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    guarded([this] { onShown(); });
}

void SubWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        guarded([this] { isActiveWindow() ? onActivated() : onDeactivated(); });
}

} // namespace qel
