// The three sub-windows as real windows of a whole window set: placement, text
// mirroring, caret keeping, always-on-top, the main window's commands that open them,
// and their settings files.
#include "forms/Autocopy.h"
#include "forms/Subw.h"
#include "forms/Windows.h"
#include "platform/ByteEditor.h"
#include "platform/Printers.h"
#include "platform/ScriptedDialogs.h"
#include "platform/StatusPanels.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolder.h"
#include "text/Cp932.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <QWindow>

#include <memory>
#include <string_view>

using namespace qel;
using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QString& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(cp932::encode(text)) >= 0;
}

// Settings file text as the program writes it: code page 932, CR LF.
QByteArray settingsBytes(const QString& text) {
    return cp932::encode(text);
}

QAction* mainCommand(const char* name) {
    return MainForm->commands().action(QString::fromLatin1(name));
}

QAction* mainItem(const char* name) {
    return MainForm->commands().item(QString::fromLatin1(name));
}

QString hint(const QAction* action) {
    return action->statusTip();
}

// A menu as a list: command names, "-" for a separator and "[title]" for a submenu.
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

// Types as the keyboard (or an input method) would, Japanese included.
void type(ByteEditor* editor, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(editor, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(editor, &release);
    }
}

// The text of the main editor and of the three sub-window editors.
QStringList allTexts() {
    return {MainForm->editor()->text(), SubForm->editor()->text(), SubForm2->editor()->text(),
            SubForm3->editor()->text()};
}

QStringList fourTimes(const QString& text) {
    return {text, text, text, text};
}

} // namespace

class SubWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<WindowSet> windows_;

    QString path(const QString& name) const { return folder_->filePath(name); }
    QString folder() const { return folder_->path() + u'/'; }

    void start() { windows_ = std::make_unique<WindowSet>(QStringList{}); }
    // Ends the program as the user does: the main window closes and stores everything.
    bool exitProgram() {
        const bool closed = MainForm->close();
        windows_.reset();
        return closed;
    }
    static bool activate(QWidget* window) {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window);
    }

private Q_SLOTS:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        setProgramFolder(folder());
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
    }

    void firstStartPlacesThemNextToTheMainWindow() {
        // The main window's own look is what the sub-windows take over.
        QVERIFY(writeAll(path(u"DefaultMain.QelW"_s),
                         u"[Editor]\nFont=Test Face\nFontSize=14\nFontStyle=ItalicBold\n"
                         u"FontColor=255\nBackColor=65280\n"_s));
        start();
        QCOMPARE(outerGeometry(MainForm), QRect(100, 100, 500, 350));
        for (int n = 1; n <= 3; ++n) {
            SubWindow* w = subWindow(n);
            const QString name = u"SubWindow"_s + QString::number(n);
            QCOMPARE(outerGeometry(w), QRect(200, 200, 250, 175));
            QVERIFY(w->isHidden());
            QVERIFY(!w->isStayOnTop());
            QCOMPARE(w->windowName(), name);
            QCOMPARE(w->windowTitle(), QString(name + u" - UnTitledDoc"));
            QCOMPARE(w->qelwPath(),
                     QString(folder() + u"DefaultSub" + QString::number(n) + u".QelW"));
            const QFont font = w->editor()->font();
            QCOMPARE(font.family(), u"Test Face"_s);
            QCOMPARE(font.pointSize(), 14);
            QVERIFY(font.bold() && font.italic());
            QCOMPARE(w->editor()->textColor(), QColor(Qt::red));
            QCOMPARE(w->editor()->backgroundColor(), QColor(Qt::green));
            QCOMPARE(w->editor()->hint(), u"Test Face, Size:14"_s);
        }
        // The window menu names the sub-windows by their window names; the context
        // menu keeps its fixed captions.
        QCOMPARE(mainItem("N7")->text(), u"SubWindow1"_s);
        QCOMPARE(mainItem("OpenSubWindow22")->text(), u"SubWindow2"_s);
        QCOMPARE(mainItem("OpenSubWindow32")->text(), u"SubWindow3"_s);
        QCOMPARE(mainItem("N22")->text(), u"SubWindow1前面表示"_s);
        QCOMPARE(mainItem("N24")->text(), u"SubWindow3前面表示"_s);
        QCOMPARE(mainItem("PopupOpenSubWindow1")->text(), u"サブウィンドウ１"_s);
        for (const char* command : {"OpenSubWindow", "OpenSubWindow2", "OpenSubWindow3",
                                    "SOTSubWindow", "SOTSubWindow2", "SOTSubWindow3"})
            QVERIFY2(!mainCommand(command)->isChecked(), command);
    }

    void commandsAndContextMenu() {
        start();
        struct Row {
            const char* name;
            QString category, caption, hint, shortcut;
        };
        const Row rows[] = {
            {"FontChange", u"設定"_s, u"フォント変更"_s, u"フォント変更"_s, u"F10"_s},
            {"ColorChange", u"設定"_s, u"背景色変更"_s, u"背景色変更"_s, u"F12"_s},
            {"FontColorChange", u"設定"_s, u"文字色変更"_s, u"文字色変更"_s, u"F11"_s},
            {"StayOnTop", u"設定"_s, u"常に前面に表示"_s, u"常に前面に表示します"_s, u"F9"_s},
            {"EditCopy", u"編集"_s, u"コピー(&C)"_s, u"コピー"_s, u"Ctrl+C"_s},
            {"EditCut", u"編集"_s, u"切り取り(&T)"_s, u"切り取り"_s, u"Ctrl+X"_s},
            {"EditPaste", u"編集"_s, u"貼り付け(&P)"_s, u"貼り付け"_s, u"Ctrl+V"_s},
        };
        for (SubWindow* w : {static_cast<SubWindow*>(SubForm), static_cast<SubWindow*>(SubForm3)}) {
            QCOMPARE(w->commands().actions().size(), std::size(rows));
            for (const Row& row : rows) {
                const QAction* a = w->commands().action(QString::fromLatin1(row.name));
                QVERIFY2(a, row.name);
                QCOMPARE(commandCategory(a), row.category);
                QCOMPARE(a->text(), row.caption);
                QCOMPARE(hint(a), row.hint);
                QCOMPARE(a->shortcut(), QKeySequence::fromString(row.shortcut));
                QCOMPARE(a->isCheckable(), row.name == std::string_view("StayOnTop"));
            }
            // The clipboard commands show the main window's pictures.
            QCOMPARE(w->commands().action(u"EditCopy"_s)->icon().cacheKey(),
                     mainCommand("EditCopy1")->icon().cacheKey());

            const auto* popup = w->findChild<QMenu*>(u"PopupMenu"_s);
            QVERIFY(popup);
            QCOMPARE(
                entries(popup->actions()),
                QStringList({u"EditCut"_s, u"EditCopy"_s, u"EditPaste"_s, u"EditDelete1"_s,
                             u"EditSelectAll1"_s, u"-"_s, u"EditUndo1"_s, u"-"_s, u"[設定]"_s}));
            QCOMPARE(entries(popup->actions().last()->menu()->actions()),
                     QStringList({u"StayOnTop"_s, u"FontChange"_s, u"FontColorChange"_s,
                                  u"ColorChange"_s, u"-"_s, u"OpenProperty"_s}));
            // The borrowed entries are the main window's own commands.
            QCOMPARE(popup->actions().at(6), mainCommand("EditUndo1"));
        }
    }

    void typingInOneSubWindowReachesEveryEditor() {
        start();
        MainForm->editor()->setText(u"xyz"_s);
        MainForm->OpenSubWindowExecute(); // 2 and 3 stay hidden
        SubForm2->setRememberedCaret(2);
        SubForm3->setRememberedCaret(2);
        ByteEditor* editor = SubForm->editor();
        editor->setSelection(3, 0);
        QString expected = u"xyz"_s;
        for (QChar c : u"a日本b"_s) {
            type(editor, QString(c));
            expected += c;
            QCOMPARE(allTexts(), fourTimes(expected));
        }
        QTest::keyClick(editor, Qt::Key_Return);
        type(editor, u"二行目"_s);
        QCOMPARE(allTexts(), fourTimes(u"xyza日本b\n二行目"_s));
        QCOMPARE(MainForm->editor()->byteLength(), qsizetype(17));
        // The main document is modified, and the sub-windows' captions do not show it.
        QVERIFY(MainForm->isModified());
        QCOMPARE(SubForm2->windowTitle(), u"SubWindow2 - UnTitledDoc"_s);
        // Hidden sub-windows do not remember where the edit took place.
        QCOMPARE(SubForm2->rememberedCaret(), qsizetype(2));
        QCOMPARE(SubForm3->rememberedCaret(), qsizetype(2));

        // An edit in the main editor reaches every sub-window too.
        MainForm->editor()->setSelection(0, 1);
        MainForm->editor()->replaceSelection(u"X"_s);
        QCOMPARE(allTexts(), fourTimes(u"Xyza日本b\n二行目"_s));

        // At exit the edit made in the sub-window is the document to save.
        dialogs_->answer(Answer::No);
        QVERIFY(exitProgram());
        QCOMPARE(dialogs_->texts(u"askYesNoCancel"_s),
                 QStringList{u"UnTitledDocを保存しますか？"_s});
    }

    void anotherShownSubWindowRemembersWhereTheEditWas() {
        start();
        MainForm->editor()->setText(u"abcdef"_s);
        MainForm->OpenSubWindowExecute();
        MainForm->OpenSubWindow2Execute();

        // Sub-window 1 has its caret at the start; the edit happens further on.
        SubForm->editor()->setSelection(0, 0);
        SubForm->setRememberedCaret(1);
        SubForm2->editor()->setSelection(3, 0);
        type(SubForm2->editor(), u"X"_s);
        QCOMPARE(allTexts(), fourTimes(u"abcXdef"_s));
        QCOMPARE(SubForm->rememberedCaret(), qsizetype(4));
        QCOMPARE(SubForm3->rememberedCaret(), qsizetype(0)); // hidden

        // Activating sub-window 1 puts its caret where the edit took place.
        QVERIFY(activate(SubForm));
        QCOMPARE(SubForm->editor()->selStart(), qsizetype(4));

        // Carets that already agree leave the remembered position alone. A caret at
        // the place of an insertion moves with it.
        SubForm->setRememberedCaret(1);
        SubForm->editor()->setSelection(4, 0);
        SubForm2->editor()->setSelection(4, 0);
        type(SubForm2->editor(), u"Y"_s);
        QCOMPARE(SubForm->editor()->selStart(), SubForm2->editor()->selStart());
        QCOMPARE(SubForm->rememberedCaret(), qsizetype(1));

        // Leaving a sub-window remembers its caret.
        QVERIFY(activate(SubForm2));
        SubForm2->editor()->setSelection(2, 0);
        QVERIFY(activate(MainForm));
        QCOMPARE(SubForm2->rememberedCaret(), qsizetype(2));
    }

    void alwaysOnTopSwitching() {
        start();
        MainForm->editor()->setText(u"abcdef"_s);
        MainForm->OpenSubWindowExecute();
        QAction* own = SubForm->commands().action(u"StayOnTop"_s);
        QAction* main = mainCommand("SOTSubWindow");
        SubForm->editor()->setSelection(3, 0);

        QVERIFY(activate(SubForm));
        SubForm->editor()->setSelection(3, 0);
        QTest::keyClick(SubForm->editor(), Qt::Key_F9);
        QVERIFY(SubForm->isStayOnTop());
        QVERIFY(SubForm->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(SubForm->isVisible());
        QCOMPARE(SubForm->editor()->selStart(), qsizetype(3));
        QCOMPARE(SubForm->editor()->text(), u"abcdef"_s);
        QVERIFY(own->isChecked() && main->isChecked() && mainItem("N22")->isChecked());
        QCOMPARE(hint(own), u"前面表示を解除します"_s);
        QCOMPARE(hint(main), u"サブウィンドウ１の前面表示を解除します"_s);
        QCOMPARE(outerGeometry(SubForm), QRect(200, 200, 250, 175)); // stays in place

        SubForm->StayOnTopExecute();
        QVERIFY(!SubForm->isStayOnTop());
        QVERIFY(!SubForm->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(SubForm->isVisible());
        QCOMPARE(SubForm->editor()->selStart(), qsizetype(3));
        QVERIFY(!own->isChecked() && !main->isChecked());
        QCOMPARE(hint(own), u"常に前面に表示します"_s);
        QCOMPARE(hint(main), u"サブウィンドウ１を最前面に表示します"_s);
    }

    void onTopFromTheSettingsFile() {
        QVERIFY(writeAll(path(u"DefaultSub2.QelW"_s), u"[Form]\nStayOnTop=3\nVisible=1\n"_s));
        start();
        QVERIFY(SubForm2->isStayOnTop());
        QVERIFY(SubForm2->isVisible());
        QVERIFY(SubForm2->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(SubForm2->commands().action(u"StayOnTop"_s)->isChecked());
        QVERIFY(mainCommand("SOTSubWindow2")->isChecked());
        QVERIFY(mainCommand("OpenSubWindow2")->isChecked());
        // The hints keep their texts until the command is next used.
        QCOMPARE(hint(SubForm2->commands().action(u"StayOnTop"_s)), u"常に前面に表示します"_s);
        QCOMPARE(hint(mainCommand("SOTSubWindow2")), u"サブウィンドウ２を最前面に表示します"_s);
        // A window shown from its settings offers to close on its tool button.
        QCOMPARE(hint(mainItem("ToolButton6")), u"サブウィンドウ２を閉じます"_s);
        QCOMPARE(hint(mainItem("ToolButton21")), u"サブウィンドウ１を開きます"_s);
        QVERIFY(!SubForm->isStayOnTop());

        // Any other style number gives an ordinary window.
        QVERIFY(exitProgram());
        IniFile(path(u"DefaultSub2.QelW"_s)).writeInteger(u"Form", u"StayOnTop", 1);
        start();
        QVERIFY(!SubForm2->isStayOnTop());
        QVERIFY(!mainCommand("SOTSubWindow2")->isChecked());
    }

    void filesWrittenAtTheFirstExit() {
        start();
        MainForm->OpenSubWindowExecute();
        QVERIFY(exitProgram());
        QCOMPARE(readAll(path(u"DefaultSub1.QelW"_s)),
                 settingsBytes(u"[Form]\nTop=200\nLeft=200\nHeight=175\nWidth=250\n"
                               u"WindowName=SubWindow1\nStayOnTop=0\nVisible=1\n"
                               u"[Editor]\nFont=ＭＳ ゴシック\nFontStyle=Normal\nFontSize=10\n"
                               u"FontColor=0\nBackColor=16777215\n"_s));
        // Spelled out once: CR LF line ends, the face name in code page 932.
        const QByteArray raw = readAll(path(u"DefaultSub1.QelW"_s));
        QVERIFY(raw.startsWith("[Form]\r\nTop=200\r\n"));
        QVERIFY(raw.contains(QByteArray::fromHex("0d0a466f6e743d826c827220835383568362834e0d0a")));
        QCOMPARE(readAll(path(u"DefaultSub3.QelW"_s)),
                 settingsBytes(u"[Form]\nTop=200\nLeft=200\nHeight=175\nWidth=250\n"
                               u"WindowName=SubWindow3\nStayOnTop=0\nVisible=0\n"
                               u"[Editor]\nFont=ＭＳ ゴシック\nFontStyle=Normal\nFontSize=10\n"
                               u"FontColor=0\nBackColor=16777215\n"_s));
        // The sub-windows store their paths before the main window stores its own.
        // The file list window has no settings of its own yet, so there is no
        // FileList section.
        QCOMPARE(readAll(path(u"QelEditor.ini"_s)),
                 settingsBytes(u"[UseQelWFile]\nSub1="_s + folder() + u"DefaultSub1.QelW\nSub2=" +
                               folder() + u"DefaultSub2.QelW\nSub3=" + folder() +
                               u"DefaultSub3.QelW\nMain=" + folder() +
                               u"DefaultMain.QelW\n[InitialFolder]\nSave=\nLoad=\n"));
        QVERIFY(dialogs_->calls().isEmpty());
    }

    void f1OpensHidesAndRestores() {
        start();
        QVERIFY(activate(MainForm));
        type(MainForm->editor(), u"本文"_s);
        QAction* open = mainCommand("OpenSubWindow");
        QAction* button = mainItem("ToolButton21");
        auto* buttonWidget = MainForm->findChild<QToolButton*>(u"ToolButton21"_s);
        QVERIFY(buttonWidget);

        QTest::keyClick(MainForm->editor(), Qt::Key_F1);
        QVERIFY(SubForm->isVisible());
        QCOMPARE(SubForm->editor()->text(), u"本文"_s);
        QVERIFY(open->isChecked());
        QVERIFY(mainItem("N7")->isChecked());
        QVERIFY(mainItem("PopupOpenSubWindow1")->isChecked());
        QVERIFY(buttonWidget->isChecked());
        QCOMPARE(hint(button), u"サブウィンドウ１を閉じます"_s);
        QCOMPARE(buttonWidget->toolTip(), u"サブウィンドウ１を閉じます"_s);
        QCOMPARE(hint(open), u"サブウィンドウ１を開きます"_s); // the command keeps its hint

        QVERIFY(activate(MainForm));
        QTest::keyClick(MainForm->editor(), Qt::Key_F1);
        QVERIFY(SubForm->isHidden());
        QVERIFY(!open->isChecked() && !mainItem("N7")->isChecked() && !buttonWidget->isChecked());
        QCOMPARE(hint(button), u"サブウィンドウ１を開きます"_s);

        // The tool button does the same as the key.
        buttonWidget->click();
        QVERIFY(SubForm->isVisible());
        QVERIFY(open->isChecked() && buttonWidget->isChecked());

        SubForm->showMinimized();
        QVERIFY(activate(MainForm));
        QTest::keyClick(MainForm->editor(), Qt::Key_F1);
        QVERIFY(!SubForm->isMinimized());
        QVERIFY(SubForm->isVisible());
        QVERIFY(open->isChecked() && buttonWidget->isChecked());

        // Sub-windows 2 and 3 have their own keys.
        QVERIFY(activate(MainForm));
        QTest::keyClick(MainForm->editor(), Qt::Key_F3);
        QVERIFY(SubForm3->isVisible() && SubForm2->isHidden());
        QCOMPARE(hint(mainItem("ToolButton7")), u"サブウィンドウ３を閉じます"_s);
    }

    void ctrlF1PinsOnTop() {
        start();
        MainForm->editor()->setText(u"main"_s);
        QVERIFY(activate(MainForm));
        QTest::keyClick(MainForm->editor(), Qt::Key_F1, Qt::ControlModifier);
        QVERIFY(SubForm->isVisible());
        QVERIFY(SubForm->isStayOnTop());
        QCOMPARE(SubForm->editor()->text(), u"main"_s);
        QVERIFY(mainCommand("SOTSubWindow")->isChecked());
        QVERIFY(mainCommand("OpenSubWindow")->isChecked());
        QCOMPARE(hint(mainItem("ToolButton21")), u"サブウィンドウ１を閉じます"_s);

        // Again: the window comes to the front and stays on top.
        QVERIFY(activate(MainForm));
        QTest::keyClick(MainForm->editor(), Qt::Key_F1, Qt::ControlModifier);
        QVERIFY(SubForm->isVisible());
        QVERIFY(SubForm->isStayOnTop());
        QVERIFY(mainCommand("SOTSubWindow")->isChecked());
        QVERIFY(mainItem("N22")->isChecked());
        QVERIFY(SubForm->commands().action(u"StayOnTop"_s)->isChecked());
        QVERIFY(QTest::qWaitForWindowActive(SubForm));
    }

    void undoInASubWindowReachesEveryEditor() {
        start();
        MainForm->editor()->setText(u"xyz"_s);
        QVERIFY(activate(SubForm));
        SubForm->editor()->setFocus();
        SubForm->editor()->setSelection(1, 1);
        QApplication::clipboard()->setText(u"貼り付け"_s);
        SubForm->commands().action(u"EditPaste"_s)->trigger();
        QCOMPARE(allTexts(), fourTimes(u"x貼り付けz"_s));

        // The main window's undo, from the sub-window's keyboard, undoes there.
        QTest::keyClick(SubForm->editor(), Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(allTexts(), fourTimes(u"xyz"_s));

        type(SubForm->editor(), u"Q"_s);
        QCOMPARE(allTexts().first(), SubForm->editor()->text());
        mainCommand("EditUndo1")->trigger(); // from the context menu
        QCOMPARE(allTexts(), fourTimes(u"xyz"_s));

        // The options dialog of the context menu opens from the sub-window's keyboard.
        dialogs_->answerExec(int(QDialog::Rejected));
        QTest::keyClick(SubForm->editor(), Qt::Key_P, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(dialogs_->kinds(), QStringList{u"exec"_s});
        QCOMPARE(dialogs_->calls().last().dialogName, u"PropertyForm"_s);
    }

    void emptyWindowName() {
        QVERIFY(writeAll(path(u"DefaultSub1.QelW"_s), u"[Form]\nWindowName=\n"_s));
        start();
        QVERIFY(SubForm->windowTitle().startsWith(u" - "_s));
        QCOMPARE(SubForm->windowTitle(), u" - UnTitledDoc"_s);
        QCOMPARE(mainItem("N22")->text(), u"前面表示"_s);
        // Saved back as empty, not as the default name.
        QVERIFY(exitProgram());
        QCOMPARE(IniFile(path(u"DefaultSub1.QelW"_s)).readString(u"Form", u"WindowName", u"?"_s),
                 QString());
    }

    void droppedFilesOpenInTheMainWindow() {
        const QString one = path(u"one.txt"_s);
        const QString two = path(u"two.txt"_s);
        QVERIFY(writeAll(one, u"一"_s));
        QVERIFY(writeAll(two, u"二\n行"_s));
        start();
        MainForm->OpenSubWindow2Execute();

        const auto drop = [](SubWindow* w, const QStringList& files) {
            auto* data = new QMimeData;
            QList<QUrl> urls;
            for (const QString& f : files)
                urls << QUrl::fromLocalFile(f);
            data->setUrls(urls);
            // The drag enters first: that makes the editor the target of the drop.
            QWidget* target = w->editor()->viewport();
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, data,
                                  Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &enter);
            QDropEvent event(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(target, &event);
            delete data;
            return enter.isAccepted() && event.isAccepted() && event.dropAction() == Qt::CopyAction;
        };
        QVERIFY(drop(SubForm2, {one, two}));
        QTRY_COMPARE(MainForm->documentPath(), two);
        QCOMPARE(allTexts(), fourTimes(u"二\n行"_s));
        QCOMPARE(SubForm2->windowTitle(), u"SubWindow2 - two.txt"_s);
        QCOMPARE(MainForm->windowTitle(), u"QelEditor - two.txt"_s);
        QVERIFY(!MainForm->isModified());
        QVERIFY(dialogs_->calls().isEmpty());

        // Unsaved text is not thrown away without asking, whichever window the files
        // were dropped on.
        type(SubForm2->editor(), u"!"_s);
        QVERIFY(MainForm->isModified());
        dialogs_->answer(Answer::Cancel);
        QVERIFY(drop(SubForm2, {one}));
        QTRY_COMPARE(dialogs_->kinds(), QStringList{u"askYesNoCancel"_s});
        QCOMPARE(MainForm->documentPath(), two);
        QCOMPARE(allTexts(), fourTimes(u"!二\n行"_s));
        dialogs_->answer(Answer::No);
        QVERIFY(drop(SubForm2, {one}));
        QTRY_COMPARE(MainForm->documentPath(), one);
        QCOMPARE(allTexts(), fourTimes(u"一"_s));
    }

    void fontAndColourDialogs() {
        start();
        QFont chosen(u"Chosen Face"_s);
        chosen.setPointSize(7); // no size limits in the sub-windows
        chosen.setItalic(true);
        chosen.setUnderline(true);

        // Sub-window 3 offers no effects: colour and underline are not taken.
        dialogs_->answerFont(FontChoice{chosen, QColor(Qt::blue)});
        SubForm3->FontChangeExecute();
        const ScriptedDialogs::Call call = dialogs_->calls().last();
        QCOMPARE(call.kind, u"chooseFont"_s);
        QVERIFY(!call.fontRequest.effects);
        QCOMPARE(call.fontRequest.minSize, 0);
        QCOMPARE(call.fontRequest.maxSize, 0);
        QCOMPARE(call.font.font.family(), u"ＭＳ ゴシック"_s);
        QFont font = SubForm3->editor()->font();
        QCOMPARE(font.family(), u"Chosen Face"_s);
        QCOMPARE(font.pointSize(), 7);
        QVERIFY(font.italic() && !font.underline());
        QCOMPARE(SubForm3->editor()->textColor(), QColor(Qt::black));
        QCOMPARE(SubForm3->editor()->hint(), u"Chosen Face, Size:7"_s);

        // Sub-window 1 offers them.
        dialogs_->answerFont(FontChoice{chosen, QColor(Qt::blue)});
        SubForm->FontChangeExecute();
        QVERIFY(dialogs_->calls().last().fontRequest.effects);
        QVERIFY(SubForm->editor()->font().underline());
        QCOMPARE(SubForm->editor()->textColor(), QColor(Qt::blue));

        // Colours start from the editor's own and change only that editor.
        dialogs_->answerColor(QColor(Qt::yellow));
        SubForm3->ColorChangeExecute();
        QCOMPARE(dialogs_->calls().last().color, QColor(Qt::white));
        dialogs_->answerColor(QColor(Qt::darkGreen));
        SubForm3->FontColorChangeExecute();
        QCOMPARE(dialogs_->calls().last().color, QColor(Qt::black));
        QCOMPARE(SubForm3->editor()->backgroundColor(), QColor(Qt::yellow));
        QCOMPARE(SubForm3->editor()->textColor(), QColor(Qt::darkGreen));
        QCOMPARE(MainForm->editor()->backgroundColor(), QColor(Qt::white));
        QCOMPARE(SubForm2->editor()->textColor(), QColor(Qt::black));

        // Cancelled dialogs change nothing.
        dialogs_->answerFont(std::nullopt);
        dialogs_->answerColor(std::nullopt);
        dialogs_->answerColor(std::nullopt);
        SubForm3->FontChangeExecute();
        SubForm3->ColorChangeExecute();
        SubForm3->FontColorChangeExecute();
        QCOMPARE(SubForm3->editor()->font().family(), u"Chosen Face"_s);
        QCOMPARE(SubForm3->editor()->backgroundColor(), QColor(Qt::yellow));
        QCOMPARE(SubForm3->editor()->textColor(), QColor(Qt::darkGreen));

        // Underline is not stored: it is gone after the next start.
        QVERIFY(exitProgram());
        start();
        QVERIFY(SubForm->editor()->font().italic());
        QVERIFY(!SubForm->editor()->font().underline());
    }

    void closeBoxUnticksAndStores() {
        start();
        MainForm->OpenSubWindowExecute();
        QVERIFY(!QFile::exists(path(u"DefaultSub1.QelW"_s)));
        QVERIFY(SubForm->close());
        QVERIFY(SubForm->isHidden());
        QVERIFY(!mainCommand("OpenSubWindow")->isChecked());
        QVERIFY(!mainItem("N7")->isChecked());
        QCOMPARE(hint(mainItem("ToolButton21")), u"サブウィンドウ１を開きます"_s);
        IniFile stored(path(u"DefaultSub1.QelW"_s));
        QCOMPARE(stored.readInteger(u"Form", u"Top", -1), 200);
        QCOMPARE(stored.readString(u"Form", u"WindowName", QString()), u"SubWindow1"_s);
        // The window has been closed, so it stays closed at the next start.
        QCOMPARE(stored.readInteger(u"Form", u"Visible", -1), 0);
        QCOMPARE(IniFile(path(u"QelEditor.ini"_s)).readString(u"UseQelWFile", u"Sub1", QString()),
                 QString(folder() + u"DefaultSub1.QelW"));
        QVERIFY(!QFile::exists(path(u"DefaultSub2.QelW"_s)));

        // F1 opens it again.
        MainForm->OpenSubWindowExecute();
        QVERIFY(SubForm->isVisible());
        QVERIFY(mainCommand("OpenSubWindow")->isChecked());
    }

    void settingsSurviveARestart() {
        start();
        MainForm->OpenSubWindow2Execute();
        QFont font(u"Restart Face"_s);
        font.setPointSize(16);
        font.setBold(true);
        dialogs_->answerFont(FontChoice{font, QColor(0x12, 0x34, 0x56)});
        SubForm2->FontChangeExecute();
        dialogs_->answerColor(QColor(0xfe, 0xdc, 0xba));
        SubForm2->ColorChangeExecute();
        placeWindow(SubForm2, QRect(320, 240, 400, 300));
        SubForm2->StayOnTopExecute();
        QVERIFY(exitProgram());
        QVERIFY(!SubForm2);

        IniFile(path(u"DefaultSub2.QelW"_s)).writeString(u"Form", u"WindowName", u"右の窓"_s);
        start();
        QVERIFY(SubForm2->isVisible());
        QVERIFY(SubForm->isHidden() && SubForm3->isHidden());
        QVERIFY(SubForm2->isStayOnTop());
        QCOMPARE(outerGeometry(SubForm2), QRect(320, 240, 400, 300));
        QCOMPARE(SubForm2->windowTitle(), u"右の窓 - UnTitledDoc"_s);
        QCOMPARE(mainItem("OpenSubWindow22")->text(), u"右の窓"_s);
        QCOMPARE(mainItem("N23")->text(), u"右の窓前面表示"_s);
        QCOMPARE(SubForm2->editor()->font().family(), u"Restart Face"_s);
        QCOMPARE(SubForm2->editor()->font().pointSize(), 16);
        QVERIFY(SubForm2->editor()->font().bold());
        QCOMPARE(SubForm2->editor()->textColor(), QColor(0x12, 0x34, 0x56));
        QCOMPARE(SubForm2->editor()->backgroundColor(), QColor(0xfe, 0xdc, 0xba));
        QVERIFY(mainCommand("OpenSubWindow2")->isChecked());
        QVERIFY(mainCommand("SOTSubWindow2")->isChecked());
        // The other windows kept their defaults.
        QCOMPARE(SubForm->editor()->font().family(), u"ＭＳ ゴシック"_s);
        QCOMPARE(SubForm3->windowName(), u"SubWindow3"_s);
    }
};

QTEST_MAIN(SubWindowTest)
#include "SubWindowTest.moc"
