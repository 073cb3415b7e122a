// Find and replace through the main window's own dialogs, as a user works them.
#include "forms/Autocopy.h"
#include "forms/Subw.h"
#include "forms/Windows.h"
#include "platform/ByteEditor.h"
#include "platform/Printers.h"
#include "platform/ScriptedDialogs.h"
#include "platform/StatusPanels.h"
#include "settings/ProgramFolder.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace qel;

class FindReplaceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<WindowSet> windows_;

    static QDialog* dialog(const char* name) {
        return MainForm->findChild<QDialog*>(QString::fromLatin1(name));
    }
    template <typename T> static T* control(QDialog* d, const char* name) {
        return d->findChild<T*>(QString::fromLatin1(name));
    }
    static void press(QDialog* d, const char* button) {
        auto* b = control<QAbstractButton>(d, button);
        QVERIFY2(b && b->isEnabled(), button);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    static void typeInto(QDialog* d, const char* field, const QString& text) {
        auto* edit = control<QLineEdit>(d, field);
        edit->clear();
        for (QChar c : text) { // as the keyboard or an input method sends it
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &key);
        }
    }
    static ByteEditor* editor() { return MainForm->editor(); }

private Q_SLOTS:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        setProgramFolder(folder_->path() + u'/');
        dialogs_ = std::make_unique<ScriptedDialogs>();
        setInstalledPrinterCountForTesting(0);
        windows_ = std::make_unique<WindowSet>(QStringList());
        MainForm->show();
    }

    void cleanup() {
        QVERIFY(dialogs_->unexpectedCalls().isEmpty());
        windows_.reset();
        dialogs_.reset();
        setProgramFolder(QString());
        folder_.reset();
    }

    void findWalksDownAndUpWithoutWrapping() {
        editor()->setText(QStringLiteral("abc ABC abc"));
        editor()->setSelection(5, 0); // the caret in the middle: the search starts at the top
        MainForm->commands().action(QStringLiteral("Find"))->trigger();
        QDialog* find = dialog("FindDialog1");
        QVERIFY(find && find->isVisible());
        QVERIFY(!control<QAbstractButton>(find, "findNextButton")->isEnabled());

        typeInto(find, "findText", QStringLiteral("abc"));
        press(find, "findNextButton");
        QCOMPARE(editor()->selStart(), qsizetype(0));
        press(find, "findNextButton"); // "ABC": letter case does not matter
        QCOMPARE(editor()->selStart(), qsizetype(4));
        QCOMPARE(editor()->selText(), QStringLiteral("ABC"));
        press(find, "findNextButton");
        press(find, "findNextButton"); // nothing after the last one
        QCOMPARE(dialogs_->texts(QStringLiteral("message")),
                 QStringList{QStringLiteral("指定された文字が見つかりませんでした")});
        QCOMPARE(editor()->selStart(), qsizetype(8));

        QTest::mouseClick(control<QRadioButton>(find, "up"), Qt::LeftButton);
        press(find, "findNextButton");
        QCOMPARE(editor()->selStart(), qsizetype(4));

        // Closing and opening again keeps the text and the options.
        find->close();
        MainForm->FindExecute();
        QCOMPARE(control<QLineEdit>(find, "findText")->text(), QStringLiteral("abc"));
        QVERIFY(control<QRadioButton>(find, "up")->isChecked());
        dialogs_->answer(Answer::No);
        QVERIFY(MainForm->close());
    }

    void replaceAllIsOneEditReachingEveryWindow() {
        MainForm->OpenSubWindowExecute();
        editor()->setText(QStringLiteral("日本の本と本"));
        MainForm->ReplaceExecute();
        QDialog* replace = dialog("ReplaceDialog1");
        typeInto(replace, "findText", QStringLiteral("本"));
        typeInto(replace, "replaceText", QStringLiteral("ほん"));
        press(replace, "replaceAllButton");

        // The range is the length before the first replacement: as the text grows, the
        // last occurrence moves out of it.
        QCOMPARE(editor()->text(), QStringLiteral("日ほんのほんと本"));
        QCOMPARE(dialogs_->texts(QStringLiteral("message")),
                 QStringList{QStringLiteral("置き換えが終了しました")});
        QCOMPARE(SubForm->editor()->text(), editor()->text());
        QCOMPARE(SubForm2->editor()->text(), editor()->text());
        QCOMPARE(MainForm->findChild<StatusPanels*>(QStringLiteral("StatusBar1"))->panelText(1),
                 QStringLiteral("全1行：16bytes"));
        QVERIFY(MainForm->windowTitle().endsWith(QStringLiteral(" (変更有り)")));
        // The caret stands after the last replacement, as after a single Replace.
        QCOMPARE(editor()->selStart(), qsizetype(12));
        QCOMPARE(editor()->selLength(), qsizetype(0));

        editor()->undo(); // one step takes the whole Replace All back
        QCOMPARE(editor()->text(), QStringLiteral("日本の本と本"));
        QCOMPARE(SubForm->editor()->text(), editor()->text());

        // Replace: a selection that is the find text is replaced at once; otherwise the
        // next occurrence after the caret is found and replaced.
        editor()->setSelection(6, 2);
        press(replace, "replaceButton");
        QCOMPARE(editor()->text(), QStringLiteral("日本のほんと本"));
        editor()->setSelection(0, 0);
        press(replace, "replaceButton");
        QCOMPARE(editor()->text(), QStringLiteral("日ほんのほんと本"));
        QCOMPARE(editor()->selStart(), qsizetype(6)); // after the inserted text
        press(replace, "replaceButton"); // from the caret on, past the one already done
        QCOMPARE(editor()->text(), QStringLiteral("日ほんのほんとほん"));

        typeInto(replace, "findText", QStringLiteral("無い"));
        press(replace, "replaceAllButton");
        QCOMPARE(dialogs_->texts(QStringLiteral("message")).last(),
                 QStringLiteral("置き換え可能な文字がありませんでした"));
        dialogs_->answer(Answer::No);
        QVERIFY(MainForm->close());
    }
};

QTEST_MAIN(FindReplaceTest)
#include "FindReplaceTest.moc"
