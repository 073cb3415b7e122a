// The three sub-windows as real windows of a whole window set: placement, text
// mirroring, caret keeping, always-on-top, the main window's commands that open them,
// and their settings files.
#include "FormTestSupport.h"

#include "settings/IniFile.h"

#include <QClipboard>
#include <QDialog>
#include <QToolButton>
#include <QWindow>

using namespace qel;
using namespace qel::testing;

namespace {

QString hint(const QAction* action) {
    return action->statusTip();
}

bool onTopFlag(QWidget* window) {
    return window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
}

} // namespace

class SubWindowTest : public QObject, ProgramFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void firstStartTakesTheMainWindowsLook() {
        QVERIFY(writeText(path(u"DefaultMain.QelW"_s),
                          u"[Editor]\nFont=Test Face\nFontSize=14\nFontStyle=ItalicBold\n"
                          u"FontColor=255\nBackColor=65280\n"_s));
        start();
        for (int n = 1; n <= 3; ++n) {
            SubWindow* w = subWindow(n);
            QCOMPARE(outerGeometry(w), QRect(200, 200, 250, 175)); // next to the main window
            QVERIFY(w->isHidden() && !w->staysOnTop());
            QCOMPARE(w->windowTitle(), u"SubWindow%1 - UnTitledDoc"_s.arg(n));
            QCOMPARE(look(w->editor()), u"Test Face,14,bold,italic #ff0000/#00ff00"_s);
            QCOMPARE(w->editor()->hint(), u"Test Face, Size:14"_s);
        }
        // The window menu names the sub-windows by their window names; the context
        // menu keeps its fixed captions.
        QCOMPARE(item("N7")->text(), u"SubWindow1"_s);
        QCOMPARE(item("OpenSubWindow32")->text(), u"SubWindow3"_s);
        QCOMPARE(item("N24")->text(), u"SubWindow3前面表示"_s);
        QCOMPARE(item("PopupOpenSubWindow1")->text(), u"サブウィンドウ１"_s);
    }

    void commandsAndContextMenu() {
        start();
        struct Row {
            const char* name;
            const char16_t *category, *caption, *hint;
            const char* shortcut;
        };
        const Row rows[] = {
            {"FontChange", u"設定", u"フォント変更", u"フォント変更", "F10"},
            {"ColorChange", u"設定", u"背景色変更", u"背景色変更", "F12"},
            {"FontColorChange", u"設定", u"文字色変更", u"文字色変更", "F11"},
            {"StayOnTop", u"設定", u"常に前面に表示", u"常に前面に表示します", "F9"},
            {"EditCopy", u"編集", u"コピー(&C)", u"コピー", "Ctrl+C"},
            {"EditCut", u"編集", u"切り取り(&T)", u"切り取り", "Ctrl+X"},
            {"EditPaste", u"編集", u"貼り付け(&P)", u"貼り付け", "Ctrl+V"},
        };
        for (SubWindow* w :
             {static_cast<SubWindow*>(subWindow(1)), static_cast<SubWindow*>(subWindow(3))}) {
            QCOMPARE(w->commands().actions().size(), std::size(rows));
            for (const Row& row : rows) {
                const QAction* a = w->commands().action(QString::fromLatin1(row.name));
                QVERIFY2(a, row.name);
                QCOMPARE(commandCategory(a), QString::fromUtf16(row.category));
                QCOMPARE(a->text(), QString::fromUtf16(row.caption));
                QCOMPARE(hint(a), QString::fromUtf16(row.hint));
                QCOMPARE(a->shortcut(),
                         QKeySequence::fromString(QString::fromLatin1(row.shortcut)));
                QCOMPARE(a->isCheckable(), a->objectName() == u"StayOnTop");
            }
            // The clipboard commands show the main window's pictures.
            QCOMPARE(w->commands().action(u"EditCopy"_s)->icon().cacheKey(),
                     command("EditCopy1")->icon().cacheKey());
            const auto* popup = w->findChild<QMenu*>(u"PopupMenu"_s);
            QVERIFY(popup);
            QCOMPARE(entries(popup->actions()),
                     words(u"EditCut EditCopy EditPaste EditDelete1 EditSelectAll1 - EditUndo1 - "
                           u"[設定]"));
            QCOMPARE(entries(popup->actions().last()->menu()->actions()),
                     words(u"StayOnTop FontChange FontColorChange ColorChange - OpenProperty"));
            // The borrowed entries are the main window's own commands.
            QCOMPARE(popup->actions().at(6), command("EditUndo1"));
        }
    }

    void typingInOneSubWindowReachesEveryEditor() {
        start();
        editor()->setText(u"xyz"_s);
        mainWindow()->toggleSubWindow(1); // 2 and 3 stay hidden
        subWindow(2)->setRememberedCaret(2);
        ByteEditor* sub = subWindow(1)->editor();
        sub->setSelection(3, 0);
        QString expected = u"xyz"_s;
        for (QChar c : u"a日本b"_s) {
            type(sub, QString(c));
            expected += c;
            QCOMPARE(allTexts(), fourTimes(expected));
        }
        QTest::keyClick(sub, Qt::Key_Return);
        type(sub, u"二行目"_s);
        QCOMPARE(allTexts(), fourTimes(u"xyza日本b\n二行目"_s));
        QCOMPARE(editor()->byteLength(), qsizetype(17));
        // The main document is modified; the sub-windows' captions do not show it.
        QVERIFY(mainWindow()->isModified());
        QCOMPARE(subWindow(2)->windowTitle(), u"SubWindow2 - UnTitledDoc"_s);
        QCOMPARE(subWindow(2)->rememberedCaret(), qsizetype(2)); // hidden: not moved

        // An edit in the main editor reaches every sub-window too.
        editor()->setSelection(0, 1);
        editor()->replaceSelection(u"X"_s);
        QCOMPARE(allTexts(), fourTimes(u"Xyza日本b\n二行目"_s));

        // At exit the edit made in the sub-window is the document to save.
        dialogs_->answer(Answer::No);
        QVERIFY(exitProgram());
        QCOMPARE(dialogs_->texts(u"askYesNoCancel"_s),
                 QStringList{u"UnTitledDocを保存しますか？"_s});
    }

    // The four editors show one document: a load is in every one of them at once, shown
    // or hidden; each keeps its own caret; undo from any of them takes back the
    // document's last step, and the edits of two windows are never one step.
    void oneDocumentInEveryWindowWithOneUndoHistory() {
        start();
        mainWindow()->toggleSubWindow(2); // 2 shown; 1 and 3 hidden
        QVERIFY(activate(subWindow(2)));
        type(subWindow(2)->editor(), u"abc"_s);
        QVERIFY(activate(mainWindow()));
        editor()->setSelection(3, 0);
        type(editor(), u"def"_s);
        QTest::keyClick(editor(), Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(allTexts(), fourTimes(u"abc"_s));
        QVERIFY(activate(subWindow(2)));
        QTest::keyClick(subWindow(2)->editor(), Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(allTexts(), fourTimes(QString()));

        const QString file = path(u"big.txt"_s);
        QVERIFY(writeText(file, u"読み込んだ\n文書"_s));
        mainWindow()->loadDocument(file);
        QCOMPARE(allTexts(), fourTimes(u"読み込んだ\n文書"_s));
        QVERIFY(!editor()->document()->canUndo());
        // A hidden sub-window's caret follows the edits before it, like a shown one's.
        subWindow(3)->editor()->setSelection(12, 0); // before 文書
        subWindow(2)->editor()->setSelection(2, 0);
        editor()->setSelection(0, 0);
        type(editor(), u"x"_s);
        QCOMPARE(subWindow(3)->editor()->selStart(), qsizetype(13));
        QCOMPARE(subWindow(2)->editor()->selStart(), qsizetype(3));
        mainWindow()->toggleSubWindow(3);
        QCOMPARE(subWindow(3)->editor()->selText(), QString());
        type(subWindow(3)->editor(), u"新しい"_s);
        QCOMPARE(allTexts(), fourTimes(u"x読み込んだ\n新しい文書"_s));
        dialogs_->answer(Answer::No);
        QVERIFY(exitProgram());
    }

    void anotherShownSubWindowRemembersWhereTheEditWas() {
        start();
        editor()->setText(u"abcdef"_s);
        mainWindow()->toggleSubWindow(1);
        mainWindow()->toggleSubWindow(2);
        subWindow(1)->editor()->setSelection(0, 0);
        subWindow(1)->setRememberedCaret(1);
        subWindow(2)->editor()->setSelection(3, 0);
        type(subWindow(2)->editor(), u"X"_s);
        QCOMPARE(allTexts(), fourTimes(u"abcXdef"_s));
        QCOMPARE(subWindow(1)->rememberedCaret(), qsizetype(4));
        QCOMPARE(subWindow(3)->rememberedCaret(), qsizetype(0)); // hidden
        // Activating sub-window 1 puts its caret where the edit took place.
        QVERIFY(activate(subWindow(1)));
        QCOMPARE(subWindow(1)->editor()->selStart(), qsizetype(4));

        // Carets that already agree leave the remembered position alone.
        subWindow(1)->setRememberedCaret(1);
        subWindow(1)->editor()->setSelection(4, 0);
        subWindow(2)->editor()->setSelection(4, 0);
        type(subWindow(2)->editor(), u"Y"_s);
        QCOMPARE(subWindow(1)->editor()->selStart(), subWindow(2)->editor()->selStart());
        QCOMPARE(subWindow(1)->rememberedCaret(), qsizetype(1));
        // Leaving a sub-window remembers its caret.
        QVERIFY(activate(subWindow(2)));
        subWindow(2)->editor()->setSelection(2, 0);
        QVERIFY(activate(mainWindow()));
        QCOMPARE(subWindow(2)->rememberedCaret(), qsizetype(2));
    }

    void alwaysOnTopSwitching() {
        start();
        editor()->setText(u"abcdef"_s);
        mainWindow()->toggleSubWindow(1);
        QAction* own = subWindow(1)->commands().action(u"StayOnTop"_s);
        QAction* main = command("SOTSubWindow");
        QVERIFY(activate(subWindow(1)));
        subWindow(1)->editor()->setSelection(3, 0);
        QTest::keyClick(subWindow(1)->editor(), Qt::Key_F9);
        QVERIFY(subWindow(1)->staysOnTop() && onTopFlag(subWindow(1)) && subWindow(1)->isVisible());
        QCOMPARE(subWindow(1)->editor()->selStart(), qsizetype(3));
        QVERIFY(own->isChecked() && main->isChecked() && item("N22")->isChecked());
        QCOMPARE(hint(own), u"前面表示を解除します"_s);
        QCOMPARE(hint(main), u"サブウィンドウ１の前面表示を解除します"_s);
        QCOMPARE(outerGeometry(subWindow(1)), QRect(200, 200, 250, 175)); // stays in place

        subWindow(1)->toggleStayOnTop();
        QVERIFY(!subWindow(1)->staysOnTop() && !onTopFlag(subWindow(1)) &&
                subWindow(1)->isVisible());
        QCOMPARE(subWindow(1)->editor()->selStart(), qsizetype(3));
        QVERIFY(!own->isChecked() && !main->isChecked());
        QCOMPARE(hint(own), u"常に前面に表示します"_s);
        QCOMPARE(hint(main), u"サブウィンドウ１を最前面に表示します"_s);

        // Ctrl+F1 in the main window opens sub-window 1 on top; again, it stays on top
        // and comes to the front.
        subWindow(1)->close();
        for (int round = 0; round < 2; ++round) {
            QVERIFY(activate(mainWindow()));
            QTest::keyClick(editor(), Qt::Key_F1, Qt::ControlModifier);
            QVERIFY(subWindow(1)->isVisible() && subWindow(1)->staysOnTop());
            QVERIFY(own->isChecked() && main->isChecked() && command("OpenSubWindow")->isChecked());
            QCOMPARE(hint(item("ToolButton21")), u"サブウィンドウ１を閉じます"_s);
        }
        QVERIFY(QTest::qWaitForWindowActive(subWindow(1)));
    }

    void f1OpensHidesAndRestores() {
        start();
        QVERIFY(activate(mainWindow()));
        type(editor(), u"本文"_s);
        QAction* open = command("OpenSubWindow");
        auto* button = mainWindow()->findChild<QToolButton*>(u"ToolButton21"_s);
        QVERIFY(button);
        const auto shown = [&](bool on) {
            return subWindow(1)->isVisible() == on && open->isChecked() == on &&
                   item("N7")->isChecked() == on &&
                   item("PopupOpenSubWindow1")->isChecked() == on && button->isChecked() == on;
        };

        QTest::keyClick(editor(), Qt::Key_F1);
        QVERIFY(shown(true));
        QCOMPARE(subWindow(1)->editor()->text(), u"本文"_s);
        QCOMPARE(button->toolTip(), u"サブウィンドウ１を閉じます"_s);
        QCOMPARE(hint(open), u"サブウィンドウ１を開きます"_s); // the command keeps its hint
        QVERIFY(activate(mainWindow()));
        QTest::keyClick(editor(), Qt::Key_F1);
        QVERIFY(shown(false));
        QCOMPARE(button->toolTip(), u"サブウィンドウ１を開きます"_s);
        button->click(); // the tool button does the same as the key
        QVERIFY(shown(true));
        subWindow(1)->showMinimized();
        QVERIFY(activate(mainWindow()));
        QTest::keyClick(editor(), Qt::Key_F1);
        QVERIFY(shown(true) && !subWindow(1)->isMinimized());

        // The close box hides it, unticks it and stores its settings at once.
        QVERIFY(!QFile::exists(path(u"DefaultSub1.QelW"_s)));
        QVERIFY(subWindow(1)->close());
        QVERIFY(shown(false));
        QCOMPARE(hint(item("ToolButton21")), u"サブウィンドウ１を開きます"_s);
        IniFile stored(path(u"DefaultSub1.QelW"_s));
        QCOMPARE(stored.readInteger(u"Form", u"Top", -1), 200);
        QCOMPARE(stored.readInteger(u"Form", u"Visible", -1), 0); // stays closed next time
        QCOMPARE(IniFile(path(u"QelEditor.ini"_s)).readString(u"UseQelWFile", u"Sub1", {}),
                 path(u"DefaultSub1.QelW"_s));
        QVERIFY(!QFile::exists(path(u"DefaultSub2.QelW"_s)));

        // Sub-windows 2 and 3 have their own keys.
        QVERIFY(activate(mainWindow()));
        QTest::keyClick(editor(), Qt::Key_F3);
        QVERIFY(subWindow(3)->isVisible() && subWindow(2)->isHidden());
        QCOMPARE(hint(item("ToolButton7")), u"サブウィンドウ３を閉じます"_s);
    }

    void undoAndOptionsFromTheSubWindowsKeyboard() {
        start();
        editor()->setText(u"xyz"_s);
        QVERIFY(activate(subWindow(1)));
        subWindow(1)->editor()->setFocus();
        subWindow(1)->editor()->setSelection(1, 1);
        QApplication::clipboard()->setText(u"貼り付け"_s);
        subWindow(1)->commands().action(u"EditPaste"_s)->trigger();
        QCOMPARE(allTexts(), fourTimes(u"x貼り付けz"_s));
        // The main window's undo, from the sub-window's keyboard, undoes there.
        QTest::keyClick(subWindow(1)->editor(), Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(allTexts(), fourTimes(u"xyz"_s));
        type(subWindow(1)->editor(), u"Q"_s);
        command("EditUndo1")->trigger(); // from the context menu
        QCOMPARE(allTexts(), fourTimes(u"xyz"_s));

        dialogs_->answerExec(int(QDialog::Rejected));
        QTest::keyClick(subWindow(1)->editor(), Qt::Key_P, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(dialogs_->kinds(), QStringList{u"exec"_s});
        QCOMPARE(dialogs_->calls().last().dialogName, u"PropertyForm"_s);
    }

    void droppedFilesOpenInTheMainWindow() {
        const QString one = path(u"one.txt"_s);
        const QString two = path(u"two.txt"_s);
        QVERIFY(writeText(one, u"一"_s) && writeText(two, u"二\n行"_s));
        start();
        mainWindow()->toggleSubWindow(2);
        QVERIFY(drop(subWindow(2)->editor(), {one, two})); // the last one stays open
        QTRY_COMPARE(mainWindow()->documentPath(), two);
        QCOMPARE(allTexts(), fourTimes(u"二\n行"_s));
        QCOMPARE(subWindow(2)->windowTitle(), u"SubWindow2 - two.txt"_s);
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - two.txt"_s);
        QVERIFY(!mainWindow()->isModified());
        QVERIFY(dialogs_->calls().isEmpty());

        // Unsaved text is not thrown away without asking.
        type(subWindow(2)->editor(), u"!"_s);
        dialogs_->answer(Answer::Cancel);
        QVERIFY(drop(subWindow(2)->editor(), {one}));
        QTRY_COMPARE(dialogs_->kinds(), QStringList{u"askYesNoCancel"_s});
        QCOMPARE(allTexts(), fourTimes(u"!二\n行"_s));
        dialogs_->answer(Answer::No);
        QVERIFY(drop(subWindow(2)->editor(), {one}));
        QTRY_COMPARE(mainWindow()->documentPath(), one);
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
        subWindow(3)->chooseFont();
        const ScriptedDialogs::Call call = dialogs_->calls().last();
        QCOMPARE(call.fontRequest, (FontRequest{.minSize = 0, .maxSize = 0, .effects = false}));
        QCOMPARE(call.font.font.family(), u"ＭＳ ゴシック"_s);
        QCOMPARE(look(subWindow(3)->editor()), u"Chosen Face,7,italic #000000/#ffffff"_s);
        QCOMPARE(subWindow(3)->editor()->hint(), u"Chosen Face, Size:7"_s);
        // Sub-window 1 offers them.
        dialogs_->answerFont(FontChoice{chosen, QColor(Qt::blue)});
        subWindow(1)->chooseFont();
        QVERIFY(dialogs_->calls().last().fontRequest.effects);
        QCOMPARE(look(subWindow(1)->editor()), u"Chosen Face,7,italic,underline #0000ff/#ffffff"_s);

        // Colours start from the editor's own and change only that editor.
        dialogs_->answerColor(QColor(Qt::yellow));
        subWindow(3)->chooseBackgroundColor();
        QCOMPARE(dialogs_->calls().last().color, QColor(Qt::white));
        dialogs_->answerColor(QColor(Qt::darkGreen));
        subWindow(3)->chooseTextColor();
        QCOMPARE(dialogs_->calls().last().color, QColor(Qt::black));
        const QString changed = u"Chosen Face,7,italic #008000/#ffff00"_s;
        QCOMPARE(look(subWindow(3)->editor()), changed);
        QCOMPARE(look(subWindow(2)->editor()), u"ＭＳ ゴシック,10 #000000/#ffffff"_s);
        // Cancelled dialogs change nothing.
        dialogs_->answerFont(std::nullopt);
        dialogs_->answerColor(std::nullopt);
        dialogs_->answerColor(std::nullopt);
        subWindow(3)->chooseFont();
        subWindow(3)->chooseBackgroundColor();
        subWindow(3)->chooseTextColor();
        QCOMPARE(look(subWindow(3)->editor()), changed);

        // Underline is not stored: it is gone after the next start.
        QVERIFY(exitProgram());
        start();
        QCOMPARE(look(subWindow(1)->editor()), u"Chosen Face,7,italic #0000ff/#ffffff"_s);
    }

    void settingsSurviveARestart() {
        start();
        mainWindow()->toggleSubWindow(2);
        dialogs_->answerFont(
            FontChoice{QFont(u"Restart Face"_s, 16, QFont::Bold), QColor(0x123456)});
        subWindow(2)->chooseFont();
        dialogs_->answerColor(QColor(0xfedcba));
        subWindow(2)->chooseBackgroundColor();
        placeWindow(subWindow(2), QRect(320, 240, 400, 300));
        subWindow(2)->toggleStayOnTop();
        QVERIFY(exitProgram());
        IniFile(path(u"DefaultSub2.QelW"_s)).writeString(u"Form", u"WindowName", u"右の窓"_s);
        IniFile(path(u"DefaultSub1.QelW"_s)).writeString(u"Form", u"WindowName", QString());

        start();
        QVERIFY(subWindow(2)->isVisible() && subWindow(2)->staysOnTop() && onTopFlag(subWindow(2)));
        QVERIFY(subWindow(1)->isHidden() && subWindow(3)->isHidden());
        QCOMPARE(outerGeometry(subWindow(2)), QRect(320, 240, 400, 300));
        QCOMPARE(subWindow(2)->windowTitle(), u"右の窓 - UnTitledDoc"_s);
        QCOMPARE(item("OpenSubWindow22")->text(), u"右の窓"_s);
        QCOMPARE(item("N23")->text(), u"右の窓前面表示"_s);
        QCOMPARE(look(subWindow(2)->editor()), u"Restart Face,16,bold #123456/#fedcba"_s);
        QVERIFY(subWindow(2)->commands().action(u"StayOnTop"_s)->isChecked());
        QVERIFY(command("OpenSubWindow2")->isChecked() && command("SOTSubWindow2")->isChecked());
        // The hints keep their texts until the command is next used; a window shown from
        // its settings offers to close on its tool button.
        QCOMPARE(hint(command("SOTSubWindow2")), u"サブウィンドウ２を最前面に表示します"_s);
        QCOMPARE(hint(item("ToolButton6")), u"サブウィンドウ２を閉じます"_s);
        QCOMPARE(hint(item("ToolButton21")), u"サブウィンドウ１を開きます"_s);
        // An empty window name stays empty, in the caption, the menu and the file.
        QCOMPARE(subWindow(1)->windowTitle(), u" - UnTitledDoc"_s);
        QCOMPARE(item("N22")->text(), u"前面表示"_s);
        // The other windows kept their defaults.
        QCOMPARE(look(subWindow(1)->editor()), u"ＭＳ ゴシック,10 #000000/#ffffff"_s);
        QCOMPARE(subWindow(3)->windowName(), u"SubWindow3"_s);

        // Any other style number than the stored one gives an ordinary window.
        QVERIFY(exitProgram());
        QCOMPARE(IniFile(path(u"DefaultSub1.QelW"_s)).readString(u"Form", u"WindowName", u"?"_s),
                 QString());
        IniFile(path(u"DefaultSub2.QelW"_s)).writeInteger(u"Form", u"StayOnTop", 1);
        start();
        QVERIFY(!subWindow(2)->staysOnTop() && !command("SOTSubWindow2")->isChecked());
    }
};

QTEST_MAIN(SubWindowTest)
#include "SubWindowTest.moc"
